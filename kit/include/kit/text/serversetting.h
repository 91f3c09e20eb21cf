// Where the shop's store lives, from the [Database] section of vorn.ini beside
// it: without the section the store is the encrypted file of the data folder;
// with it, a PostgreSQL server named by a libpq connection string
// ("connection=host=... dbname=...") or a service of libpq's service file
// ("service=shop"). Passwords never stand here: libpq takes them from its own
// password file (~/.pgpass).
#pragma once

#include <QString>

namespace vorn::ui {

// The connection text for the store (a service as "service=<name>"); empty
// for the file. A password in the text is refused: passwordError is set and
// the result is empty, so the program says why instead of connecting.
QString readServerSetting(const QString& iniPath, QString* passwordError = nullptr);

// Writes the [Database] section (connection=<conninfo>) into the file,
// keeping every other line as it stands; false when the file cannot be
// written (nothing changed then).
bool writeServerSetting(const QString& iniPath, const QString& conninfo);

} // namespace vorn::ui
