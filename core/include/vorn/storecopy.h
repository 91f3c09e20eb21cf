// Copying a whole store into another: a file into a server, a server into a
// backup file, a backup file back into a server. One backup format and one
// way of moving a shop serve both engines.
#pragma once

#include <functional>
#include <string>

#include "vorn/core.h"
#include "vorn/export.h"

namespace vorn {

// Copies every table of the store open in `from` (the six and every table the
// program keeps beside them) into the store open in `to`, ids kept, in one
// transaction on `to`: its rows of those tables go first, and either all of
// `from` arrives or `to` stays exactly as it was. `from` is read under one
// snapshot, so a till writing meanwhile never leaves the copy half of a sale.
//
// Before the commit every table is compared on both sides (its row count, the
// total of each numeric column and the total length of each text column); a
// difference rolls everything back. On a server target the tables' id
// sequences are moved past the highest id copied, so new rows never collide.
//
// progress, when given, hears (rows copied, rows in all) as the copy goes, on
// the calling thread. 0 on success; else the SQLite code of what failed, with
// `problem` saying which table and what (GBK, for the status line).
VORNCORE_API int copy_store(Core& from, Core& to, const std::function<void(int done, int total)>& progress,
                            std::string& problem);

} // namespace vorn
