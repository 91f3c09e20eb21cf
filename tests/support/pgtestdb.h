// A database of its own on the test cluster for a widget test, when the
// suite runs with VORN_TEST_SERVER_DIR naming a cluster that
// scripts/pgcluster.sh started. The widget tests do not link libpq: the
// database is made and dropped with the cluster's psql.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <atomic>
#include <unistd.h>

namespace vorn::ui::test {

// The cluster's connection string; empty with why when the run has none.
inline QString clusterUrl(QString& why) {
    const QString dir = qEnvironmentVariable("VORN_TEST_SERVER_DIR");
    if (dir.isEmpty()) {
        why = QStringLiteral("VORN_TEST_SERVER_DIR is not set: no PostgreSQL cluster for this run");
        return {};
    }
    QFile url(QDir(dir).filePath(QStringLiteral("url")));
    if (url.open(QIODevice::ReadOnly)) return QString::fromUtf8(url.readLine()).trimmed();
    QFile skipped(QDir(dir).filePath(QStringLiteral("skipped")));
    why = skipped.open(QIODevice::ReadOnly) ? QString::fromUtf8(skipped.readLine()).trimmed()
                                            : QStringLiteral("no cluster in ") + dir;
    return {};
}

// Runs sql with psql against the connection string; the error output on
// failure, empty on success.
inline QString runPsql(const QString& conninfo, const QString& sql) {
    QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (psql.isEmpty()) return QStringLiteral("psql not found");
    QProcess p;
    p.start(psql,
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"), conninfo, QStringLiteral("-c"), sql});
    if (!p.waitForFinished(60000)) return QStringLiteral("psql did not finish");
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromLocal8Bit(p.readAllStandardError()) + QStringLiteral(" (psql failed)");
    return {};
}

// A fresh UTF-8 database on the cluster, dropped with the object.
class TestDatabase {
public:
    // The database's connection string, or empty with the error.
    QString create(const QString& cluster, QString& error) {
        static std::atomic<int> counter{0};
        cluster_ = cluster;
        name_ = QStringLiteral("vq_%1_%2").arg(getpid()).arg(++counter);
        error = runPsql(cluster_, QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                                                 "LC_COLLATE 'C' LC_CTYPE 'C'")
                                      .arg(name_));
        if (!error.isEmpty()) {
            name_.clear();
            return {};
        }
        // A later dbname overrides the cluster string's own.
        return cluster_ + QStringLiteral(" dbname=") + name_;
    }
    ~TestDatabase() {
        if (!name_.isEmpty())
            runPsql(cluster_, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    }

private:
    QString cluster_, name_;
};

} // namespace vorn::ui::test
