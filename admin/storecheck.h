// Whether a file is one of our stores, whole and usable, before it is allowed
// to replace the shop's data or to stand as its backup.
#pragma once

#include <QString>
#include <string>

namespace vorn::ui::backup {

enum class StoreVerdict {
    Sound,      // opens under the key, every page reads back, every table answers, somebody can log in
    Missing,    // no regular file "__vorn__" in the folder
    Unreadable, // does not open under the key: another key, or no store of ours at all
    Damaged,    // opens, but a page is cut off or altered (PRAGMA quick_check)
    Incomplete, // a table of the six is missing, or a table of the program's own does not answer
    NoUsers,    // table User is empty: nobody could log in after a restore
};

// Checks the file "__vorn__" in folder under passphrase (empty: the program's
// own key), reading every page of it. The store can only open "__vorn__" in the
// current directory, so the check steps into folder and back; it runs while no
// other store is being opened. The file is opened for reading only.
StoreVerdict checkStore(const QString& folder, const std::string& passphrase = {});

// checkStore() == Sound.
bool holdsStore(const QString& folder, const std::string& passphrase = {});

} // namespace vorn::ui::backup
