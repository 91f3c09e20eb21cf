// Moving the shop from its store file onto a PostgreSQL server ("迁移到服务器"):
// the whole file copied into an empty server database in one transaction,
// compared table by table, and the [Database] section of vorn.ini written so
// that the next start of the program uses the server. No widgets: the shop page
// runs it under the busy window and words the outcome.
#pragma once

#include <QString>
#include <string>

#include "backupjob.h"

namespace vorn {
class Core;
}

namespace vorn::ui::server {

// What the user typed as the connection text libpq takes: a connection string
// ("host=... dbname=..."), a URI (postgresql://...) or a service name of
// libpq's service file, which becomes "service=<name>". Blanks around it go;
// empty stays empty.
QString connectionText(const QString& typed);

// A password in the text ("password=..." or a URI's user:password@): never
// accepted, passwords belong in libpq's password file.
bool holdsPassword(const QString& conninfo);

// Whether the open store holds a shop of its own: goods, members, sales, or
// users beyond the built-in administrator a new store has. A store that
// cannot be read counts as holding one.
bool holdsShop(vorn::Core& store);

enum class MoveResult {
    Done,          // copied, checked, vorn.ini names the server
    CannotConnect, // the server could not be opened (message: why, GBK)
    HoldsShop,     // the server database already holds a shop: nothing copied
    CopyFailed,    // the copy failed or differed: the server keeps nothing of it (message: the table)
    NotWritten,    // copied, but vorn.ini could not be written
};

struct MoveReport {
    MoveResult result = MoveResult::CopyFailed;
    std::string message; // GBK
};

// Copies the store open in `file` into the server database conninfo names
// and, once it is there and checked, writes conninfo into iniPath's [Database]
// section. Runs on the busy window's worker: no widgets.
MoveReport moveToServer(vorn::Core& file, const QString& conninfo, const QString& iniPath,
                        const backup::CopyProgress& progress = {});

} // namespace vorn::ui::server
