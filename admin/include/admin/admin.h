// Shop administration's exports: its page (店铺设置), and the start-up clean-up
// of what an interrupted backup or restore left beside the store.
#pragma once

class QString;

namespace vorn::ui {

class PageRegistry;

void registerAdmin(PageRegistry& registry);

// Removes the temporary files and folders a backup or restore killed midway
// left in the store's folder. The program calls it once it holds the folder's
// lock; returns how many it removed.
int sweepInterruptedBackups(const QString& storeFolder);

} // namespace vorn::ui
