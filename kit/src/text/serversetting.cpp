#include "kit/text/serversetting.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include "kit/text/gbk.h"
#include "kit/text/inifile.h"

namespace vorn::ui {

namespace {
const QString kSection = QStringLiteral("Database");

// "password=..." anywhere in a key=value connection string, or in a URI's
// user:password@ part.
bool holdsPassword(const QString& conninfo) {
    static const QRegularExpression key(QStringLiteral("(^|\\s)password\\s*="),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://[^/@]*:[^/@]*@"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression parameter(QStringLiteral("^postgres(ql)?://.*[?&]password="),
                                              QRegularExpression::CaseInsensitiveOption);
    return conninfo.contains(key) || conninfo.contains(uri) || conninfo.contains(parameter);
}
} // namespace

QString readServerSetting(const QString& iniPath, QString* passwordError) {
    const IniFile ini = IniFile::read(iniPath);
    QString conninfo = ini.value(kSection, QStringLiteral("connection")).trimmed();
    const QString service = ini.value(kSection, QStringLiteral("service")).trimmed();
    if (conninfo.isEmpty() && !service.isEmpty()) conninfo = QStringLiteral("service=") + service;
    if (holdsPassword(conninfo)) {
        if (passwordError != nullptr)
            *passwordError = QStringLiteral("vorn.ini的[Database]中不能写入数据库密码，请把密码写入PostgreSQL的密码文件(.pgpass)");
        return {};
    }
    return conninfo;
}

bool writeServerSetting(const QString& iniPath, const QString& conninfo) {
    QStringList lines;
    QFile in(iniPath);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly)) return false;
        // As IniFile reads it: UTF-8, else GBK (a file from a Chinese Windows);
        // written back as UTF-8, which it reads as well.
        const QByteArray bytes = in.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (utf8.hasError()) text = fromGbk(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        lines = text.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    }
    // The old section goes whole; the new one is written at the end.
    QStringList kept;
    bool inSection = false;
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('['))) inSection = t.mid(1).section(QLatin1Char(']'), 0, 0).trimmed().compare(kSection, Qt::CaseInsensitive) == 0;
        if (!inSection) kept << line;
    }
    while (!kept.isEmpty() && kept.back().trimmed().isEmpty())
        kept.removeLast();
    if (!kept.isEmpty()) kept << QString();
    kept << QStringLiteral("[%1]").arg(kSection) << QStringLiteral("connection=%1").arg(conninfo);
    QSaveFile out(iniPath);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write((kept.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return out.commit();
}

} // namespace vorn::ui
