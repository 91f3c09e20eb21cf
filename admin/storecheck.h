// Whether a file is one of our stores, before it is allowed to replace the
// shop's data.
#pragma once

#include <QString>

namespace vorn::ui::backup {

// True when the file "__vorn__" in folder opens with the store's key and every
// table of the store answers a query. The store can only open "__vorn__" in the
// current directory, so the check steps into folder and back; it runs while no
// other store is being opened. The file is only read.
bool holdsStore(const QString& folder);

} // namespace vorn::ui::backup
