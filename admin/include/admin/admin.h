// Shop administration's exports: its page (店铺设置), the start-up clean-up
// of what an interrupted backup or restore left beside the store, and the one
// rule that turns a typed shop key into the key the store is encrypted with.
#pragma once

#include <string>

class QString;

namespace vorn::ui {

class PageRegistry;

void registerAdmin(PageRegistry& registry);

// Removes the temporary files and folders a backup or restore killed midway
// left in the store's folder (and where the store's notes point). The program
// calls it once it holds the folder's lock; returns how many it removed.
int sweepInterruptedBackups(const QString& storeFolder);

// The bytes of a shop key as typed (UTF-8, whatever the program's text
// encoding): the dialog that sets it and every prompt that asks for it must
// agree, or a store could never be opened again.
std::string shopKeyFromText(const QString& typed);

} // namespace vorn::ui
