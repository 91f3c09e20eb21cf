#include "kit/text/inifile.h"

#include <QFile>
#include <QStringDecoder>

#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {
QString keyOf(const QString& section, const QString& key) {
    return section.trimmed().toLower() + QLatin1Char('\n') + key.trimmed().toLower();
}

// Files written on a Chinese Windows are GBK; files written here are UTF-8.
QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return fromGbk(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
} // namespace

IniFile IniFile::read(const QString& path) {
    IniFile ini;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return ini;
    QString section;
    const QString text = decode(file.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, end < 0 ? -1 : end - 1);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        const QString key = keyOf(section, line.left(eq));
        if (!ini.values_.contains(key)) ini.values_.insert(key, value);
    }
    return ini;
}

QString IniFile::value(const QString& section, const QString& key) const {
    return values_.value(keyOf(section, key));
}

} // namespace vorn::ui
