// "迁移到服务器" and the shop's backup and restore with its store on a server:
// the dialog's refusals, who may use the command, the move into an empty
// database (and the refusal of one holding a shop), the [Database] section it
// writes, and a backup file out of the server restored into it again. The
// tests that need a server skip, saying so, without VORN_TEST_SERVER_DIR.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "backupfiles.h"
#include "kit/text/gbk.h"
#include "kit/text/serversetting.h"
#include "movetoserverdlg.h"
#include "pgtestdb.h"
#include "res/commandids.h"
#include "servermove.h"
#include "shopview.h"
#include "storecheck.h"
#include "storefixture.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

const QString kPasswordRefused =
    QStringLiteral("连接字符串中不能写入数据库密码，请把密码写入PostgreSQL的密码文件(~/.pgpass)");

// A shop worth moving: a type, goods with Chinese names, a member, a cashier.
void fillShop(vorn::Core& core) {
    vorn::TRec t;
    t.FTs_Name = gbk(QStringLiteral("饮料"));
    QCOMPARE(core.insert_trec(&t, 1), 1);
    std::vector<vorn::SRec> units(3);
    for (auto& u : units) {
        u.FSs_Code = "690001";
        u.FSs_Name = gbk(QStringLiteral("矿泉水"));
        u.FSi_Type = u.FSi_Supplier = 1;
        u.FSd_RetP = 1.5;
    }
    QCOMPARE(core.insert_srec(units.data(), 3), 3);
    vorn::VIPRec v;
    v.FVs_Code = "V1";
    v.FVs_Name = gbk(QStringLiteral("王五"));
    QCOMPARE(core.insert_viprec(&v, 1), 1);
    vorn::URec u;
    u.FUs_Name = gbk(QStringLiteral("收银员"));
    u.FUs_Pas = "x";
    u.FUi_Auth = 2;
    QCOMPARE(core.insert_urec(&u, 1), 1);
    QVERIFY(core.set_shop_name(gbk(QStringLiteral("新华超市")).c_str()));
}

// What the shop above looks like in a store, to compare two of them.
QStringList shopOf(vorn::Core& core) {
    return {
        QString::number(core.get_srec_count(("FSs_Name='" + gbk(QStringLiteral("矿泉水")) + "'").c_str())),
        QString::number(core.get_viprec_count(("FVs_Name='" + gbk(QStringLiteral("王五")) + "'").c_str())),
        QString::number(core.get_urec_count(nullptr)), QString::number(core.get_trec_count(nullptr)),
        fromGbk(core.get_shop_name())};
}

} // namespace

class TestMigrate : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        fx.shell->st.currentUser.FUs_Name = "admin";
        fx.shell->st.currentUser.FUi_Auth = 0;
    }
    void cleanup() { fx.tearDown(); }

    // ---- the dialog ----------------------------------------------------------

    void dialogRefusesPasswordsAndEmptyText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem");  // empty: accepted
        QTest::addColumn<QString>("conninfo"); // what libpq gets then
        QTest::newRow("empty") << "  " << QStringLiteral("请填写服务器的连接字符串或服务名") << "";
        QTest::newRow("password key") << "host=db dbname=shop password=secret" << kPasswordRefused << "";
        QTest::newRow("password key, upper case") << "host=db PASSWORD = s" << kPasswordRefused << "";
        QTest::newRow("password in a URI") << "postgresql://shop:secret@db/shop" << kPasswordRefused << "";
        QTest::newRow("password as a URI parameter")
            << "postgres://db/shop?password=s" << kPasswordRefused << "";
        QTest::newRow("connection string") << " host=db dbname=shop user=till "
                                           << ""
                                           << "host=db dbname=shop user=till";
        QTest::newRow("URI without password") << "postgresql://till@db/shop"
                                              << ""
                                              << "postgresql://till@db/shop";
        QTest::newRow("service name") << "shop"
                                      << ""
                                      << "service=shop";
        QTest::newRow("a column named like it") << "host=db options=-cmy_password_col=1"
                                                << ""
                                                << "host=db options=-cmy_password_col=1";
    }
    void dialogRefusesPasswordsAndEmptyText() {
        QFETCH(QString, typed);
        QFETCH(QString, problem);
        QFETCH(QString, conninfo);
        CMoveToServerDlg dlg;
        dlg.serverEdit()->setText(typed);
        dlg.confirm();
        QCOMPARE(dlg.result() == QDialog::Accepted, problem.isEmpty());
        QCOMPARE(dlg.problemLabel()->text(), problem);
        QCOMPARE(dlg.conninfo(), conninfo);
    }

    // Its refusal shown, it still fits the smallest screen the program runs on.
    void dialogFitsTheScreen() {
        CMoveToServerDlg dlg;
        dlg.serverEdit()->setText(QStringLiteral("host=192.168.1.10 dbname=vornmart password=x"));
        dlg.confirm();
        dlg.show();
        dlg.adjustSize();
        QVERIFY(!dlg.problemLabel()->text().isEmpty());
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        QVERIFY(dlg.problemLabel()->height() >=
                dlg.problemLabel()->heightForWidth(dlg.problemLabel()->width()));
        const QString shots = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (!shots.isEmpty()) dlg.grab().save(shots + QStringLiteral("/move-to-server.png"));
    }

    // ---- the command ---------------------------------------------------------

    void onlyTheAdministratorOfAFileMoves_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("administrator") << "admin" << 0 << true;
        QTest::newRow("shop owner") << "boss" << 1 << false;
        QTest::newRow("salesperson") << "till" << 2 << false;
        QTest::newRow("nobody logged in") << "" << 0 << false;
    }
    void onlyTheAdministratorOfAFileMoves() {
        QFETCH(QString, user);
        QFETCH(int, role);
        QFETCH(bool, enabled);
        fx.shell->st.currentUser.FUs_Name = user.toStdString();
        fx.shell->st.currentUser.FUi_Auth = role;
        CShopView page(*fx.shell);
        QCOMPARE(page.isCommandEnabled(cmd::MoveToServer), enabled);
        int asked = 0;
        page.setDialogRunner([&](QDialog&) { return ++asked, QDialog::Rejected; });
        QVERIFY(page.onCommand(cmd::MoveToServer));
        QCOMPARE(asked, enabled ? 1 : 0);
        if (enabled) QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"迁移到服务器\"操作"));
    }

    void unreachableServerIsNamedAndNothingWritten() {
        CShopView page(*fx.shell);
        page.setDialogRunner([](QDialog& d) {
            auto& dlg = static_cast<CMoveToServerDlg&>(d);
            dlg.serverEdit()->setText(
                QStringLiteral("host=/nonexistent/vorn-socket port=1 dbname=shop connect_timeout=2"));
            dlg.confirm();
            return dlg.result();
        });
        QVERIFY(page.onCommand(cmd::MoveToServer));
        const QString status = fx.shell->statusText();
        QVERIFY2(status.startsWith(QStringLiteral("未知异常导致连接服务器失败（")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("放弃该次\"迁移到服务器\"操作")), qPrintable(status));
        QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("vorn.ini"))));
    }

    // ---- with a server -------------------------------------------------------

    void movesTheShopIntoAnEmptyDatabase() {
        QString why;
        const QString cluster = test::clusterUrl(why);
        if (cluster.isEmpty()) QSKIP(qPrintable(why));
        test::TestDatabase db;
        const QString url = db.create(cluster, why);
        QVERIFY2(!url.isEmpty(), qPrintable(why));
        fillShop(fx.core());
        QFile ini(QDir::current().filePath(QStringLiteral("vorn.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Web]\nhelp=http://example.org\n");
        ini.close();

        CShopView page(*fx.shell);
        page.setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CMoveToServerDlg&>(d);
            dlg.serverEdit()->setText(url);
            dlg.confirm();
            return dlg.result();
        });
        QVERIFY(page.onCommand(cmd::MoveToServer));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功将全部数据迁移到服务器，须重新启动程序才会使用服务器上的数据"));
        QCOMPARE(readServerSetting(ini.fileName()), url);
        QVERIFY(QFile(ini.fileName()).open(QIODevice::ReadOnly));
        // The file stays as it was and is still the running program's store.
        QVERIFY(!fx.core().on_server());
        vorn::Core server;
        server.set_server(url.toStdString());
        QCOMPARE(server.open(), 0);
        QCOMPARE(shopOf(server), shopOf(fx.core()));
        QCOMPARE(shopOf(server).value(4), QStringLiteral("新华超市"));
        // A second move finds the shop there and leaves it alone.
        QVERIFY(QFile::remove(ini.fileName()));
        vorn::TRec more;
        more.FTs_Name = "later";
        QCOMPARE(fx.core().insert_trec(&more, 1), 1);
        QVERIFY(page.onCommand(cmd::MoveToServer));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("未迁移任何数据：服务器上的数据库中已有店铺数据，请指定一个空的数据库"));
        QCOMPARE(server.get_trec_count("FTs_Name='later'"), 0);
        QVERIFY(!QFile::exists(ini.fileName()));
        server.close();
    }

    void aDatabaseHoldingAShopIsRefused_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("goods") << "INSERT INTO Store (FSs_Code) VALUES('A');";
        QTest::newRow("member") << "INSERT INTO VIP (FVs_Code) VALUES('V');";
        QTest::newRow("second user") << "INSERT INTO User (FUs_Name,FUi_Auth) VALUES('till',2);";
        QTest::newRow("administrator renamed") << "UPDATE User SET FUs_Name='boss';";
        QTest::newRow("a sale") << "INSERT INTO Sale (FSAs_No,FSAi_Seq) VALUES('20240101-0001',1);";
        QTest::newRow("new store") << "";
    }
    void aDatabaseHoldingAShopIsRefused() {
        QFETCH(QString, sql);
        QString why;
        const QString cluster = test::clusterUrl(why);
        if (cluster.isEmpty()) QSKIP(qPrintable(why));
        test::TestDatabase db;
        const QString url = db.create(cluster, why);
        QVERIFY2(!url.isEmpty(), qPrintable(why));
        vorn::Core server;
        server.set_server(url.toStdString());
        QCOMPARE(server.open(), 0);
        if (!sql.isEmpty()) QCOMPARE(server.exec_sql(sql.toUtf8().constData()), 0);
        QCOMPARE(server::holdsShop(server), !sql.isEmpty());
        server.close();
        fillShop(fx.core());
        const server::MoveReport report =
            server::moveToServer(fx.core(), url, QDir::current().filePath("vorn.ini"));
        QCOMPARE(report.result, sql.isEmpty() ? server::MoveResult::Done : server::MoveResult::HoldsShop);
        QCOMPARE(QFile::exists(QDir::current().filePath("vorn.ini")), sql.isEmpty());
    }

    void backupOutOfTheServerRestoresIntoIt() {
        QString why;
        const QString cluster = test::clusterUrl(why);
        if (cluster.isEmpty()) QSKIP(qPrintable(why));
        test::TestDatabase db;
        const QString url = db.create(cluster, why);
        QVERIFY2(!url.isEmpty(), qPrintable(why));
        // The program's store on the server, as a [Database] section makes it.
        vorn::Core& core = fx.core();
        core.close();
        core.set_server(url.toStdString());
        QCOMPARE(core.open(), 0);
        fillShop(core);
        const QStringList shop = shopOf(core);
        const QString folder = QDir::currentPath();

        CShopView page(*fx.shell);
        fx.boxes.answers = {true};
        QVERIFY(page.onCommand(cmd::QuickBackup));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        // The usual backup: an encrypted store file that opens and reads whole.
        const QString file = backup::quickBackupFile(folder);
        QVERIFY(QFile::exists(file));
        QDir().mkpath(folder + "/look");
        QVERIFY(QFile::copy(file, folder + "/look/__vorn__"));
        QCOMPARE(backup::checkStore(folder + "/look"), backup::StoreVerdict::Sound);
        {
            vorn::Core copy;
            copy.set_server(std::string());
            QDir::setCurrent(folder + "/look");
            QCOMPARE(copy.open(), 0);
            QDir::setCurrent(folder);
            QCOMPARE(shopOf(copy), shop);
            copy.close();
        }

        // Changed after the backup, then restored: the server holds the backup's shop.
        QCOMPARE(core.exec_sql("DELETE FROM VIP;UPDATE Store SET FSd_RetP=9;"), 0);
        QVERIFY(core.set_shop_name("changed"));
        fx.boxes.answers = {true};
        QVERIFY(page.onCommand(cmd::QuickRestore));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QVERIFY(core.on_server());
        QCOMPARE(shopOf(core), shop);
        QCOMPARE(core.get_srec_count("FSd_RetP=1.5"), 3);

        // A restore the server refuses halfway leaves it as it was and names the table.
        QCOMPARE(test::runPsql(
                     url,
                     "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                     "$$BEGIN RAISE EXCEPTION 'refused'; END$$;"
                     "CREATE TRIGGER refuse BEFORE INSERT ON vip FOR EACH ROW EXECUTE FUNCTION refuse();"),
                 QString());
        QCOMPARE(core.exec_sql("DELETE FROM Type WHERE FTi_Id>1;"), 0);
        fx.boxes.answers = {true};
        QVERIFY(page.onCommand(cmd::QuickRestore));
        const QString status = fx.shell->statusText();
        QVERIFY2(status.startsWith(QStringLiteral("数据恢复失败")) && status.contains(QStringLiteral("VIP")),
                 qPrintable(status));
        QCOMPARE(core.get_trec_count(nullptr), 1);
        QCOMPARE(core.get_viprec_count(nullptr), 1);
        core.close();
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestMigrate)
#include "test_migrate.moc"
