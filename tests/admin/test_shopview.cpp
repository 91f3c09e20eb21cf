// The shop page: the four settings, their limits, the status line and the
// picture's corner; then its backup and restore commands with their questions,
// file dialogs, messages and the reloaded type list.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <unistd.h>
#include <vector>

#include "backupfiles.h"
#include "backupprompt.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/dialog/vornlabel.h"
#include "res/commandids.h"
#include "shoppicture.h"
#include "shopview.h"
#include "storefixture.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

// Counts the close requests of a window.
class CloseWatch : public QObject {
public:
    int closes = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Close) ++closes;
        return false;
    }
};

void addType(vorn::Core& core, const char* name) {
    vorn::TRec t;
    t.FTs_Name = name;
    QCOMPARE(core.insert_trec(&t, 1), 1);
}

void addUnits(vorn::Core& core, int n) {
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        units[i].FSs_Code = "C" + std::to_string(i % 300);
        units[i].FSs_Name = "unit";
        units[i].FSi_Type = units[i].FSi_Supplier = 1;
    }
    QCOMPARE(core.insert_srec(units.data(), n), n);
}

QStringList typeNames(const AppState& st) {
    QStringList out;
    for (const auto& t : st.types)
        out << fromGbk(t.FTs_Name);
    return out;
}

} // namespace

class TestShopView : public QObject {
    Q_OBJECT

private slots:
    void init() { fx.setUp(); }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    // ---- shop information ------------------------------------------------------

    void settingsReadAndSaved() {
        fx.core().set_shop_name(gbk(QStringLiteral("好邻居便利店")).c_str());
        fx.core().set_shop_pa("line1\nline2");
        CShopView page(*fx.shell);
        page.initialUpdate();
        QCOMPARE(page.nameEdit()->text(), QStringLiteral("好邻居便利店"));
        QCOMPARE(page.remarkEdit()->toPlainText(), QStringLiteral("line1\nline2"));
        QVERIFY(page.statusLabel()->text().isEmpty());
        QCOMPARE(page.statusLabel()->textColor(), QColor(255, 0, 0));
        QVERIFY(!page.statusLabel()->drawBorder());
        QVERIFY(!page.statusLabel()->fillBackground());

        page.nameEdit()->setText(QStringLiteral("O'Shop 小店"));
        page.phoneEdit()->setText(QStringLiteral("010-1234"));
        page.addrEdit()->setText(QStringLiteral("北京路1号"));
        page.remarkEdit()->setPlainText(QStringLiteral("谢谢惠顾"));
        page.save();
        QCOMPARE(fromGbk(fx.core().get_shop_name()), QStringLiteral("O'Shop 小店"));
        QCOMPARE(fromGbk(fx.core().get_shop_phone()), QStringLiteral("010-1234"));
        QCOMPARE(fromGbk(fx.core().get_shop_addr()), QStringLiteral("北京路1号"));
        QCOMPARE(fromGbk(fx.core().get_shop_pa()), QStringLiteral("谢谢惠顾"));
        QCOMPARE(page.statusLabel()->text(), QStringLiteral("店铺信息设置成功"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("店铺信息设置成功"));
    }

    void emptySettingsSavedAndReadBack() {
        fx.core().set_shop_name("x");
        fx.core().set_shop_addr("y");
        {
            CShopView page(*fx.shell);
            page.initialUpdate();
            for (QLineEdit* e : {page.nameEdit(), page.phoneEdit(), page.addrEdit()})
                e->clear();
            page.remarkEdit()->clear();
            page.save();
            QCOMPARE(fx.shell->statusText(), QStringLiteral("店铺信息设置成功"));
        }
        QCOMPARE(fx.core().get_shop_name(), std::string());
        QCOMPARE(fx.core().get_shop_phone(), std::string());
        QCOMPARE(fx.core().get_shop_addr(), std::string());
        QCOMPARE(fx.core().get_shop_pa(), std::string());
        CShopView again(*fx.shell);
        again.initialUpdate();
        QVERIFY(again.nameEdit()->text().isEmpty());
        QVERIFY(again.remarkEdit()->toPlainText().isEmpty());
    }

    void failedSaveIsReportedAndStoresNothing_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected");
        // A store that takes no write (a read-only file, a busy lock).
        QTest::newRow("no write taken")
            << QStringLiteral("PRAGMA query_only=1;")
            << QStringLiteral("未知异常导致\"店铺信息\"设置失败，放弃该次\"设置\"操作");
        // A store that may grow no further, with room left for the first settings
        // only: the later ones fail, and the earlier ones must not stay either.
        QTest::newRow("disk full") << QStringLiteral("UPDATE Addition SET FAs_Value='%1' WHERE FAi_Id=5;"
                                                     "PRAGMA max_page_count=1;")
                                          .arg(QString(600, QLatin1Char('f')))
                                   << QStringLiteral("未知异常导致\"店铺信息\"设置失败（磁盘空间不足），"
                                                     "放弃该次\"设置\"操作");
    }

    void failedSaveIsReportedAndStoresNothing() {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        fx.core().set_shop_name("old name");
        CShopView page(*fx.shell);
        page.initialUpdate();
        QCOMPARE(fx.core().exec_sql(setup.toLatin1().constData()), 0);
        page.nameEdit()->setText(QStringLiteral("n"));
        page.phoneEdit()->setText(QString(250, QLatin1Char('p')));
        page.addrEdit()->setText(QString(250, QLatin1Char('a')));
        page.remarkEdit()->setPlainText(QString(250, QLatin1Char('r')));
        page.save();
        QCOMPARE(fx.shell->failures, QStringList({expected}));
        QCOMPARE(page.statusLabel()->text(), expected);
        QCOMPARE(fx.core().get_shop_name(), std::string("old name"));
        QCOMPARE(fx.core().get_shop_phone(), std::string());
        QCOMPARE(fx.core().get_shop_pa(), std::string());
        // What was typed stays for a second try.
        QCOMPARE(page.phoneEdit()->text(), QString(250, QLatin1Char('p')));
        // The sentence is read whole on the page at the smallest window.
        page.resize(1024, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY2(page.statusLabel()->width() >=
                     page.statusLabel()->fontMetrics().horizontalAdvance(page.statusLabel()->text()),
                 qPrintable(QString::number(page.statusLabel()->width())));
        const QString shots = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (!shots.isEmpty()) page.grab().save(QDir(shots).filePath(QStringLiteral("shopfailed.png")));
    }

    void byte253IsRefused() {
        CShopView page(*fx.shell);
        page.initialUpdate();
        for (QLineEdit* e : {page.nameEdit(), page.phoneEdit(), page.addrEdit()}) {
            QTest::keyClicks(e, QString(252, QLatin1Char('a')));
            QTest::keyClicks(e, QStringLiteral("b"));
            QCOMPARE(e->text(), QString(252, QLatin1Char('a')));
            e->clear();
            for (int i = 0; i < 127; ++i)
                e->insert(QStringLiteral("店")); // two bytes each
            QCOMPARE(e->text().size(), 126);
        }
        page.remarkEdit()->insertPlainText(QString(251, QLatin1Char('r')));
        page.remarkEdit()->insertPlainText(QStringLiteral("st"));
        QCOMPARE(page.remarkEdit()->toPlainText(), QString(251, QLatin1Char('r')) + QLatin1Char('s'));
        page.save();
        QCOMPARE(fx.core().get_shop_name().size(), size_t(252));
        QCOMPARE(fx.core().get_shop_pa().size(), size_t(252));
    }

    void pictureKeepsTheBottomRightCorner() {
        CShopView page(*fx.shell);
        page.resize(900, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QSize size = page.picture()->size();
        QVERIFY(!size.isEmpty());
        QCOMPARE(page.picture()->geometry().bottomRight(), page.rect().bottomRight());
        page.resize(1300, 777);
        QCoreApplication::processEvents();
        QCOMPARE(page.picture()->size(), size);
        QCOMPARE(page.picture()->geometry().bottomRight(), page.rect().bottomRight());
    }

    // ---- backup and restore ----------------------------------------------------

    void quickBackupThenQuickRestore() {
        CShopView page(*fx.shell);
        addType(fx.core(), "Drinks");
        fx.boxes.answers = {true};
        QVERIFY(page.onCommand(cmd::QuickBackup));
        QCOMPARE(
            fx.boxes.shown.value(0),
            QStringLiteral("你的下一步操作将备份当前所有数据，并覆盖上次\"快速备份\"的数据，是否要继续？"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        QVERIFY(QFileInfo::exists(backup::quickBackupFile(QDir::currentPath())));

        addType(fx.core(), "Toys");
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        QCOMPARE(typeNames(fx.shell->st), QStringList({QStringLiteral("未知"), "Drinks", "Toys"}));
        const int refills = fx.shell->typeRefills;

        // "No" leaves everything as it is.
        fx.boxes.answers = {false};
        page.onCommand(cmd::QuickRestore);
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Toys'"), 1);

        fx.boxes.answers = {true};
        page.onCommand(cmd::QuickRestore);
        QCOMPARE(
            fx.boxes.shown.last(),
            QStringLiteral("你的下一步操作将恢复上次\"快速备份\"的数据，并覆盖当前所有数据，是否要继续？"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QVERIFY(fx.shell->failures.isEmpty());
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Toys'"), 0);
        // The type list follows the restored store at once.
        QCOMPARE(typeNames(fx.shell->st), QStringList({QStringLiteral("未知"), "Drinks"}));
        QCOMPARE(fx.shell->typeRefills, refills + 1);
    }

    void restoreReloadsTheShopForm() {
        CShopView page(*fx.shell);
        fx.core().set_shop_name(gbk(QStringLiteral("好邻居便利店")).c_str());
        fx.core().set_shop_addr("Road 1");
        page.initialUpdate();
        page.onCommand(cmd::QuickBackup);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));

        page.nameEdit()->setText(QStringLiteral("新店名"));
        page.addrEdit()->clear();
        page.save();
        QCOMPARE(fx.core().get_shop_addr(), std::string());
        page.onCommand(cmd::QuickRestore);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QCOMPARE(page.nameEdit()->text(), QStringLiteral("好邻居便利店"));
        QCOMPARE(page.addrEdit()->text(), QStringLiteral("Road 1"));
        // "保存" now keeps the restored shop as it is.
        page.save();
        QCOMPARE(fromGbk(fx.core().get_shop_name()), QStringLiteral("好邻居便利店"));
        QCOMPARE(fx.core().get_shop_addr(), std::string("Road 1"));
    }

    void damagedMiddlePageIsRefusedAndTheGoodsStay() {
        // A backup read back from a failing stick: 8 bytes zeroed in its middle.
        QTemporaryDir stick;
        const QString file = stick.filePath(QStringLiteral("2026-01-02.vorndb"));
        CShopView page(*fx.shell);
        page.setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) { return file; });
        addUnits(fx.core(), 20000);
        page.onCommand(cmd::BackupTo);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(f.size() / 2));
        QCOMPARE(f.write(QByteArray(8, '\0')), qint64(8));
        f.close();

        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("数据恢复失败")}));
        QCOMPARE(fx.core().get_srec_count(nullptr), 20000);
        QCOMPARE(fx.core().quick_check(), 0);
    }

    void fullDiskDuringBackupIsNamed() {
        CShopView page(*fx.shell);
        backup::setTargetWriteForTests([](int, const char*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        page.onCommand(cmd::QuickBackup);
        backup::setTargetWriteForTests({});
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("数据备份失败（磁盘空间不足）")}));
        QVERIFY(!QFileInfo::exists(backup::quickBackupFile(QDir::currentPath())));
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({QStringLiteral("__vorn__")}));
        QVERIFY(fx.core().is_open());
    }

    void quickRestoreWithoutBackupFails() {
        CShopView page(*fx.shell);
        addType(fx.core(), "Kept");
        page.onCommand(cmd::QuickRestore);
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("数据恢复失败")}));
        QVERIFY(fx.core().is_open());
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Kept'"), 1);
    }

    void backupToAndRestoreFromChosenFiles() {
        QTemporaryDir elsewhere;
        const QString here = QDir::currentPath();
        setNowForTests(QDateTime(QDate(2012, 3, 5), QTime(12, 0)).toSecsSinceEpoch());
        CShopView page(*fx.shell);
        QStringList asked;
        const QString chosen = elsewhere.filePath(QStringLiteral("2012-03-05.vorndb"));
        page.setFilePrompt([&](QWidget*, BackupFileDialog kind, const QString& proposed) {
            asked << QStringLiteral("%1:%2").arg(kind == BackupFileDialog::Save ? "save" : "open", proposed);
            QDir::setCurrent(elsewhere.path()); // as a dialog may leave it
            return chosen;
        });
        addType(fx.core(), "Before");
        page.onCommand(cmd::BackupTo);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        QVERIFY(fx.boxes.shown.isEmpty()); // no question before a chosen backup
        QCOMPARE(QDir::currentPath(), here);
        QVERIFY(QFileInfo::exists(chosen));

        addType(fx.core(), "After");
        fx.boxes.answers = {false};
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(fx.boxes.shown.value(0),
                 QStringLiteral("你的下一步操作将恢复指定位置的数据，并覆盖当前所有数据，是否要继续？"));
        QCOMPARE(QDir::currentPath(), here);
        QCOMPARE(fx.core().get_trec_count("FTs_Name='After'"), 1);

        fx.boxes.answers = {true};
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QCOMPARE(fx.core().get_trec_count("FTs_Name='After'"), 0);
        QCOMPARE(fx.core().get_trec_count("FTs_Name='Before'"), 1);
        QCOMPARE(QDir::currentPath(), here);
        QCOMPARE(asked, QStringList({"save:2012-03-05", "open:", "open:"}));
    }

    void cancelledDialogsLeaveTheDirectory() {
        QTemporaryDir elsewhere;
        const QString here = QDir::currentPath();
        CShopView page(*fx.shell);
        int asked = 0;
        page.setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) {
            ++asked;
            QDir::setCurrent(elsewhere.path());
            return QString();
        });
        const QString before = fx.shell->statusText();
        page.onCommand(cmd::BackupTo);
        QCOMPARE(QDir::currentPath(), here);
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(QDir::currentPath(), here);
        QCOMPARE(asked, 2);
        QVERIFY(fx.boxes.shown.isEmpty()); // the restore question comes after the dialog
        QVERIFY(fx.shell->failures.isEmpty());
        QCOMPARE(fx.shell->statusText(), before);
        QVERIFY(fx.core().is_open());
        QVERIFY(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void failingReopenClosesTheProgram() {
        CloseWatch watch;
        fx.shell->win.show();
        fx.shell->win.installEventFilter(&watch);
        CShopView page(*fx.shell);
        page.setReopen([](vorn::Core&) { return false; });
        page.onCommand(cmd::QuickBackup);
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("数据备份导致程序异常，程序即将退出")}));
        QCOMPARE(watch.closes, 1);
        QVERIFY(!fx.core().is_open());
        QCOMPARE(fx.core().open(), 0); // for the fixture's tear-down

        fx.shell->win.show();
        page.onCommand(cmd::QuickRestore); // the backup exists
        QCOMPARE(fx.shell->failures.last(), QStringLiteral("数据恢复导致程序异常，程序即将退出"));
        QCOMPARE(watch.closes, 2);
        QCOMPARE(fx.core().open(), 0);
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestShopView)
#include "test_shopview.moc"
