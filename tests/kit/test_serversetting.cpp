// The [Database] section of vorn.ini: read as a connection string or a service,
// a password refused, and written back keeping every other line.
#include <QTemporaryDir>
#include <QtTest>

#include "kit/text/gbk.h"
#include "kit/text/serversetting.h"

using namespace vorn::ui;

class TestServerSetting : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("vorn.ini")); }
    void put(const QByteArray& bytes) {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray bytes() {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("conninfo");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no section") << QByteArray("[internet]\nshop=http://a\n") << QString() << false;
        QTest::newRow("connection") << QByteArray("[Database]\nconnection=host=till1 dbname=shop\n")
                                    << QStringLiteral("host=till1 dbname=shop") << false;
        QTest::newRow("service, any case") << QByteArray("[database]\nSERVICE = shop\n")
                                           << QStringLiteral("service=shop") << false;
        QTest::newRow("password key") << QByteArray("[Database]\nconnection=host=a password=x\n") << QString()
                                      << true;
        QTest::newRow("password in address")
            << QByteArray("[Database]\nconnection=postgresql://vorn:secret@a/shop\n") << QString() << true;
        QTest::newRow("password as a parameter")
            << QByteArray("[Database]\nconnection=postgresql://a/shop?sslmode=require&password=x\n") << QString()
            << true;
        QTest::newRow("address without one")
            << QByteArray("[Database]\nconnection=postgresql://vorn@a/shop\n")
            << QStringLiteral("postgresql://vorn@a/shop") << false;
    }
    void reads() {
        QFETCH(QByteArray, file);
        QFETCH(QString, conninfo);
        QFETCH(bool, refused);
        put(file);
        QString error;
        QCOMPARE(readServerSetting(path(), &error), conninfo);
        QCOMPARE(!error.isEmpty(), refused);
    }

    void writesKeepingTheRest() {
        // A GBK file from a Chinese Windows, with an old section in the middle.
        std::string gbkName;
        QVERIFY(toGbk(QStringLiteral("小店"), gbkName));
        put(QByteArray("[shop]\nname=") + QByteArray::fromStdString(gbkName) +
            "\n[Database]\nconnection=host=old\n[internet]\nshop=http://a\n");
        QVERIFY(writeServerSetting(path(), QStringLiteral("host=new dbname=shop")));
        QCOMPARE(readServerSetting(path()), QStringLiteral("host=new dbname=shop"));
        const QString text = QString::fromUtf8(bytes());
        QVERIFY(text.contains(QStringLiteral("name=小店")));
        QVERIFY(text.contains(QStringLiteral("[internet]\nshop=http://a")));
        QCOMPARE(text.count(QStringLiteral("[Database]")), 1);
        QVERIFY(!text.contains(QStringLiteral("host=old")));
        // A missing file is made.
        QFile::remove(path());
        QVERIFY(writeServerSetting(path(), QStringLiteral("service=shop")));
        QCOMPARE(readServerSetting(path()), QStringLiteral("service=shop"));
    }
};

QTEST_MAIN(TestServerSetting)
#include "test_serversetting.moc"
