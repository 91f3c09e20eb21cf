#include "servermove.h"

#include <QRegularExpression>

#include "kit/text/serversetting.h"
#include "vorn/core.h"
#include "vorn/storecopy.h"

namespace vorn::ui::server {

QString connectionText(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return t;
    // key=value pairs and URIs go to libpq as they are; a bare word names a service.
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (t.contains(QLatin1Char('=')) || t.contains(uri)) return t;
    return QStringLiteral("service=") + t;
}

bool holdsPassword(const QString& conninfo) {
    static const QRegularExpression key(QStringLiteral("(^|\\s)password\\s*="),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://[^/@]*:[^/@]*@"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression param(QStringLiteral("[?&]password="),
                                          QRegularExpression::CaseInsensitiveOption);
    return conninfo.contains(key) || conninfo.contains(uri) || conninfo.contains(param);
}

bool holdsShop(vorn::Core& store) {
    const int units = store.get_srec_count(nullptr);
    const int members = store.get_viprec_count(nullptr);
    const int users = store.get_urec_count(nullptr);
    const int admins = store.get_urec_count("FUs_Name='admin' AND FUi_Auth=0");
    // Addition always holds its nine rows: 1 exactly when there is a sale.
    const int sales = store.get_arec_count("FAi_Id=1 AND EXISTS(SELECT 1 FROM Sale)");
    if (units < 0 || members < 0 || users < 0 || admins < 0 || sales < 0) return true;
    return units > 0 || members > 0 || sales > 0 || users > 1 || (users == 1 && admins != 1);
}

MoveReport moveToServer(vorn::Core& file, const QString& conninfo, const QString& iniPath,
                        const backup::CopyProgress& progress) {
    MoveReport report;
    vorn::Core server;
    // An empty text would mean the file again.
    if (conninfo.trimmed().isEmpty()) {
        report.result = MoveResult::CannotConnect;
        return report;
    }
    server.set_server(conninfo.toStdString());
    // A database without the shop's tables gets them (and a new store's
    // defaults) here, as the program's first start on it would.
    if (server.open() != 0) {
        report.result = MoveResult::CannotConnect;
        report.message = server.open_message();
        return report;
    }
    if (holdsShop(server)) {
        server.close();
        report.result = MoveResult::HoldsShop;
        return report;
    }
    const int rc = vorn::copy_store(file, server, progress, report.message);
    server.close();
    if (rc != 0) {
        report.result = MoveResult::CopyFailed;
        return report;
    }
    report.result = writeServerSetting(iniPath, conninfo) ? MoveResult::Done : MoveResult::NotWritten;
    return report;
}

} // namespace vorn::ui::server
