// Reads an INI file the way the shop's installations write it: "[section]" and
// "key=value" lines, names matched without regard to case, whole lines starting
// with ';' are comments, and values are taken as they stand (no escapes, so an
// address keeps its ';', '"' and ','; one pair of enclosing quotes is removed).
#pragma once

#include <QHash>
#include <QString>

namespace vorn::ui {

class IniFile {
public:
    // A missing or unreadable file reads as empty.
    static IniFile read(const QString& path);
    // The value, or an empty text; the first of repeated keys wins.
    QString value(const QString& section, const QString& key) const;

private:
    QHash<QString, QString> values_; // "section\nkey", both lower case
};

} // namespace vorn::ui
