// The owner's shop key: the dialog's rules, the command for the administrator
// alone, re-keying a large store through the page, backups under the key and
// restores across keys, and a look at the files with the sqlcipher tool: under
// the program's own key (or an old one) a re-keyed store and its backup do not
// open.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <vector>

#include "admin/admin.h"
#include "backupfiles.h"
#include "backupjob.h"
#include "res/commandids.h"
#include "shopkeydlg.h"
#include "shopview.h"
#include "storecheck.h"
#include "storefixture.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

const std::string kFirstKey = "葡萄架下 8 号 spring";
const std::string kSecondKey = "another-key-2026";
// The marker every unit's name carries: no store file may show it in the clear.
const QByteArray kMarker = "UNIT-NAME-MARKER";

void addUnits(vorn::Core& core, int n) {
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        units[i].FSs_Code = "K" + std::to_string(i % 500);
        units[i].FSs_Name = kMarker.toStdString() + std::to_string(i % 10);
        units[i].FSi_Type = units[i].FSi_Supplier = 1;
        units[i].FSd_RetP = 3 + i % 11;
    }
    QCOMPARE(core.insert_srec(units.data(), n), n);
}

void addUser(vorn::Core& core, const char* name) {
    vorn::URec u;
    u.FUs_Name = name;
    u.FUs_Pas = "pw";
    u.FUi_Auth = 2;
    QCOMPARE(core.insert_urec(&u, 1), 1);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What a scripted user does with the dialogs the page runs.
struct Script {
    std::function<void(CShopKeyDlg&)> shopKey;
    QList<QString> backupKeys; // typed into each backup key prompt; none left: cancel
    int backupPrompts = 0;
    QList<bool> retries;

    int run(QDialog& d) {
        if (auto* dlg = qobject_cast<CShopKeyDlg*>(&d)) {
            if (!shopKey) return QDialog::Rejected;
            shopKey(*dlg);
            return dlg->result();
        }
        if (auto* dlg = qobject_cast<CBackupKeyDlg*>(&d)) {
            ++backupPrompts;
            retries << dlg->findChild<QLabel*>(QStringLiteral("prompt"))
                           ->text()
                           .contains(QStringLiteral("不正确"));
            if (backupKeys.isEmpty()) return QDialog::Rejected;
            dlg->keyEdit()->setText(backupKeys.takeFirst());
            dlg->confirm();
            return dlg->result();
        }
        return QDialog::Rejected;
    }
};

// Types a new key (twice) into the dialog, the present one first when asked.
std::function<void(CShopKeyDlg&)> choose(const std::string& current, const std::string& next) {
    return [current, next](CShopKeyDlg& dlg) {
        if (dlg.currentEdit()) dlg.currentEdit()->setText(QString::fromStdString(current));
        if (next.empty()) {
            dlg.removeCheck()->setChecked(true);
        } else {
            dlg.newEdit()->setText(QString::fromStdString(next));
            dlg.repeatEdit()->setText(QString::fromStdString(next));
        }
        dlg.confirm();
    };
}

// The sqlcipher tool's answer to reading the file's schema under key: the
// count of its entries, or -1 when the file does not open under it.
int schemaEntriesUnder(const QString& file, const std::string& key) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (tool.isEmpty()) return -2;
    QProcess p;
    p.start(tool, {QStringLiteral("-bail"), file});
    if (!p.waitForStarted()) return -2;
    p.write("PRAGMA key='" + QByteArray::fromStdString(key) + "';\nSELECT count(*) FROM sqlite_master;\n");
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) return -2;
    bool ok = false;
    const int n = QString::fromUtf8(p.readAllStandardOutput()).trimmed().toInt(&ok);
    return p.exitCode() == 0 && ok ? n : -1;
}

// The program's own key, as the sqlcipher tool is given it. The test shows it
// is the right one on a store that has it before showing that it fails.
const std::string kProgramKey("Kest_wob ~o~", 12);

} // namespace

class TestShopKey : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        fx.shell->st.currentUser.FUs_Name = "admin";
        fx.shell->st.currentUser.FUi_Auth = 0;
    }
    void cleanup() { fx.tearDown(); }

    // ---- the dialog ----------------------------------------------------------------

    void dialogRules_data() {
        QTest::addColumn<QString>("current"); // the store's key now
        QTest::addColumn<QString>("typedCurrent");
        QTest::addColumn<QString>("typedNew");
        QTest::addColumn<QString>("typedRepeat");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("problem"); // empty: accepted
        QTest::addColumn<QString>("chosen");
        const QString none;
        QTest::newRow("seven characters")
            << none << none << QStringLiteral("abc4567") << QStringLiteral("abc4567") << false
            << QStringLiteral("店铺密钥至少需要8个字符") << none;
        QTest::newRow("typed differently")
            << none << none << QStringLiteral("abcd5678") << QStringLiteral("abcd5679") << false
            << QStringLiteral("两次输入的店铺密钥不一致，请重新输入") << none;
        QTest::newRow("eight characters")
            << none << none << QStringLiteral("abcd5678") << QStringLiteral("abcd5678") << false << none
            << QStringLiteral("abcd5678");
        // Characters, not bytes: eight Chinese characters are enough, four are not.
        QTest::newRow("eight Chinese characters")
            << none << none << QStringLiteral("春夏秋冬东南西北") << QStringLiteral("春夏秋冬东南西北")
            << false << none << QStringLiteral("春夏秋冬东南西北");
        QTest::newRow("four Chinese characters")
            << none << none << QStringLiteral("春夏秋冬") << QStringLiteral("春夏秋冬") << false
            << QStringLiteral("店铺密钥至少需要8个字符") << none;
        QTest::newRow("wrong present key")
            << QStringLiteral("present-key-1") << QStringLiteral("present-key-2")
            << QStringLiteral("abcd5678") << QStringLiteral("abcd5678") << false
            << QStringLiteral("当前的店铺密钥不正确") << none;
        QTest::newRow("changed") << QStringLiteral("present-key-1") << QStringLiteral("present-key-1")
                                 << QStringLiteral("newer-key-9") << QStringLiteral("newer-key-9") << false
                                 << none << QStringLiteral("newer-key-9");
        QTest::newRow("removed") << QStringLiteral("present-key-1") << QStringLiteral("present-key-1") << none
                                 << none << true << none << none;
        QTest::newRow("removed needs the present key")
            << QStringLiteral("present-key-1") << none << none << none << true
            << QStringLiteral("当前的店铺密钥不正确") << none;
    }

    void dialogRules() {
        QFETCH(QString, current);
        QFETCH(QString, typedCurrent);
        QFETCH(QString, typedNew);
        QFETCH(QString, typedRepeat);
        QFETCH(bool, remove);
        QFETCH(QString, problem);
        QFETCH(QString, chosen);
        CShopKeyDlg dlg(*fx.shell, shopKeyFromText(current));
        QCOMPARE(dlg.currentEdit() != nullptr, !current.isEmpty());
        QCOMPARE(dlg.removeCheck() != nullptr, !current.isEmpty());
        QCOMPARE(dlg.newEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(dlg.repeatEdit()->echoMode(), QLineEdit::Password);
        QVERIFY(dlg.warningLabel()->text().contains(QStringLiteral("无法找回")));
        if (dlg.currentEdit()) dlg.currentEdit()->setText(typedCurrent);
        if (remove) {
            dlg.removeCheck()->setChecked(true);
            QVERIFY(!dlg.newEdit()->isEnabled());
        }
        // Typed (QTest cannot click Chinese keys).
        dlg.newEdit()->insert(typedNew);
        dlg.repeatEdit()->insert(typedRepeat);
        QTest::keyClick(&dlg, Qt::Key_Return);
        if (problem.isEmpty()) {
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QVERIFY(fx.shell->failures.isEmpty());
            QCOMPARE(dlg.chosenKey(), shopKeyFromText(chosen));
        } else {
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(fx.shell->failures, QStringList({problem}));
        }
    }

    void dialogsFitTheSmallestScreen() {
        CShopKeyDlg first(*fx.shell, std::string());
        CShopKeyDlg change(*fx.shell, kFirstKey);
        CBackupKeyDlg ask(false);
        CBackupKeyDlg again(true);
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        int n = 0;
        for (QDialog* d : std::initializer_list<QDialog*>{&first, &change, &ask, &again}) {
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            d->adjustSize();
            QVERIFY2(d->width() <= 1024 && d->height() <= 768, qPrintable(d->objectName()));
            // Every label shows its whole text at the width it got.
            for (QLabel* l : d->findChildren<QLabel*>())
                QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(l->text()));
            if (!dir.isEmpty()) d->grab().save(QDir(dir).filePath(QStringLiteral("shopkey%1.png").arg(++n)));
        }
    }

    // ---- the command -----------------------------------------------------------------

    void commandIsTheAdministratorsAlone_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("administrator") << QByteArray("admin") << 0 << true;
        QTest::newRow("owner") << QByteArray("owner") << 1 << false;
        QTest::newRow("salesperson") << QByteArray("seller") << 2 << false;
        QTest::newRow("nobody logged in") << QByteArray() << 0 << false;
    }

    void commandIsTheAdministratorsAlone() {
        QFETCH(QByteArray, name);
        QFETCH(int, role);
        QFETCH(bool, enabled);
        fx.shell->st.currentUser.FUs_Name = name.toStdString();
        fx.shell->st.currentUser.FUi_Auth = role;
        CShopView page(*fx.shell);
        Script script;
        bool asked = false;
        script.shopKey = [&](CShopKeyDlg& dlg) {
            asked = true;
            choose("", kFirstKey)(dlg);
        };
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        QCOMPARE(page.isCommandEnabled(cmd::ShopKey), enabled);
        QVERIFY(page.onCommand(cmd::ShopKey));
        QCOMPARE(asked, enabled);
        QCOMPARE(fx.core().passphrase(), enabled ? kFirstKey : std::string());
    }

    void cancelledOrUnchangedKeyChangesNothing() {
        CShopView page(*fx.shell);
        Script script;
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        page.onCommand(cmd::ShopKey); // cancelled
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"店铺密钥\"设置操作"));
        script.shopKey = choose("", kFirstKey);
        page.onCommand(cmd::ShopKey);
        script.shopKey = choose(kFirstKey, kFirstKey);
        page.onCommand(cmd::ShopKey);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未修改任何\"店铺密钥\""));
        QCOMPARE(fx.core().passphrase(), kFirstKey);
    }

    // ---- re-keying a large store -------------------------------------------------------

    void rekeyedLargeStoreOpensOnlyWithItsKey() {
        const QString here = QDir::currentPath();
        constexpr int kUnits = 100000;
        addUnits(fx.core(), kUnits);
        CShopView page(*fx.shell);
        Script script;
        script.shopKey = choose("", kFirstKey);
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        page.onCommand(cmd::ShopKey);
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功设置\"店铺密钥\"，以后每次启动程序时须先输入该密钥"));
        QCOMPARE(fx.core().passphrase(), kFirstKey);
        QCOMPARE(fx.core().get_srec_count(nullptr), kUnits); // the open store goes on
        QCOMPARE(fx.core().close(), 0);

        vorn::Core plain; // without the passphrase
        QCOMPARE(plain.open(), 0);
        QVERIFY(plain.check_key() != 0);
        QCOMPARE(plain.get_srec_count(nullptr), -1);
        plain.close();
        QCOMPARE(backup::checkStore(here), backup::StoreVerdict::Unreadable);
        QCOMPARE(backup::checkStore(here, kFirstKey), backup::StoreVerdict::Sound);
        QVERIFY(!readAll(backup::storeFile(here)).contains(kMarker));

        fx.core().set_passphrase(kFirstKey);
        QCOMPARE(fx.core().open(), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), kUnits);

        // Removed again: the program's own key opens it.
        script.shopKey = choose(kFirstKey, "");
        page.onCommand(cmd::ShopKey);
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("成功取消\"店铺密钥\"，店铺数据恢复使用程序自带的密钥"));
        QCOMPARE(fx.core().passphrase(), std::string());
        QCOMPARE(fx.core().close(), 0);
        QCOMPARE(plain.open(), 0);
        QCOMPARE(plain.get_srec_count(nullptr), kUnits);
        QCOMPARE(plain.quick_check(), 0);
        plain.close();
        QCOMPARE(fx.core().open(), 0);
    }

    // ---- backups and restores across keys ------------------------------------------------

    void backupCarriesTheKeyAndRestoreAsksForAnother() {
        const QString here = QDir::currentPath();
        QTemporaryDir stick;
        const QString file = stick.filePath(QStringLiteral("under-first.vorndb"));
        CShopView page(*fx.shell);
        Script script;
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        page.setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) { return file; });
        addUser(fx.core(), "in the backup");
        script.shopKey = choose("", kFirstKey);
        page.onCommand(cmd::ShopKey);
        page.onCommand(cmd::BackupTo);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        {
            // The backup opens under the shop key only.
            QTemporaryDir look;
            QVERIFY(backup::replaceWithCopy(file, backup::storeFile(look.path())));
            QCOMPARE(backup::checkStore(look.path()), backup::StoreVerdict::Unreadable);
            QCOMPARE(backup::checkStore(look.path(), kFirstKey), backup::StoreVerdict::Sound);
        }

        script.shopKey = choose(kFirstKey, kSecondKey);
        page.onCommand(cmd::ShopKey);
        addUser(fx.core(), "after the backup");

        // Cancelled at the key prompt: nothing changes.
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(script.backupPrompts, 1);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次\"数据恢复\"操作"));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after the backup'"), 1);

        // Three wrong keys: refused.
        script.backupKeys = {QStringLiteral("wrong-1-key"), QStringLiteral("wrong-2-key"),
                             QStringLiteral("wrong-3-key"), QString::fromStdString(kFirstKey)};
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(script.backupPrompts, 4);
        QCOMPARE(fx.shell->failures.last(), QStringLiteral("数据恢复失败"));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after the backup'"), 1);
        QCOMPARE(fx.core().passphrase(), kSecondKey);

        // A wrong key, then the right one.
        script.backupKeys = {QStringLiteral("wrong-4-key"), QString::fromStdString(kFirstKey)};
        script.retries.clear();
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(script.retries, QList<bool>({false, true}));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QCOMPARE(fx.core().get_urec_count("FUs_Name='in the backup'"), 1);
        QCOMPARE(fx.core().get_urec_count("FUs_Name='after the backup'"), 0);
        // The restored store keeps the key it was backed up under.
        QCOMPARE(fx.core().passphrase(), kFirstKey);
        QCOMPARE(backup::checkStore(here, kFirstKey), backup::StoreVerdict::Sound);
    }

    void backupUnderTheProgramsKeyRestoresWithoutAsking() {
        CShopView page(*fx.shell);
        Script script;
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        addUser(fx.core(), "before any key");
        page.onCommand(cmd::QuickBackup);
        script.shopKey = choose("", kFirstKey);
        page.onCommand(cmd::ShopKey);
        page.onCommand(cmd::QuickRestore);
        QCOMPARE(script.backupPrompts, 0);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据恢复成功"));
        QCOMPARE(fx.core().passphrase(), std::string());
        QCOMPARE(fx.core().get_urec_count("FUs_Name='before any key'"), 1);
    }

    void foreignFilesAreNotAskedAKeyFor_data() {
        QTest::addColumn<QByteArray>("content");
        QByteArray plainSqlite("SQLite format 3", 16);
        plainSqlite.append(QByteArray(4096 - 16, '\1'));
        QTest::newRow("plain SQLite file") << plainSqlite;
        QTest::newRow("text") << QByteArray("not a store at all\n").repeated(30);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte over and over") << QByteArray(4096, '\x5a');
    }

    void foreignFilesAreNotAskedAKeyFor() {
        QFETCH(QByteArray, content);
        QTemporaryDir stick;
        const QString file = stick.filePath(QStringLiteral("x.vorndb"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        CShopView page(*fx.shell);
        Script script;
        script.backupKeys = {QStringLiteral("whatever-key")};
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        page.setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) { return file; });
        page.onCommand(cmd::RestoreFrom);
        QCOMPARE(script.backupPrompts, 0);
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("数据恢复失败")}));
    }

    // ---- what the sqlcipher tool makes of the files ----------------------------------------

    void oldKeysDoNotReadARekeyedStoreOrItsBackup() {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
            QSKIP("the sqlcipher tool is not installed (Debian package sqlcipher)");
        const QString here = QDir::currentPath();
        addUnits(fx.core(), 3000);
        QCOMPARE(fx.core().close(), 0);
        // The store's own tables at least; the program adds indexes as it reopens.
        const int entries = schemaEntriesUnder(backup::storeFile(here), kProgramKey);
        QVERIFY2(entries > 0, "the tool reads a store under the program's key");
        QCOMPARE(fx.core().open(), 0);

        CShopView page(*fx.shell);
        Script script;
        page.setDialogRunner([&](QDialog& d) { return script.run(d); });
        script.shopKey = choose("", kFirstKey);
        page.onCommand(cmd::ShopKey);
        page.onCommand(cmd::QuickBackup);
        script.shopKey = choose(kFirstKey, kSecondKey);
        page.onCommand(cmd::ShopKey);
        QTemporaryDir stick;
        const QString later = stick.filePath(QStringLiteral("second.vorndb"));
        page.setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) { return later; });
        page.onCommand(cmd::BackupTo);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("数据备份成功"));
        QCOMPARE(fx.core().close(), 0);

        const QString store = backup::storeFile(here);
        const QString first = backup::quickBackupFile(here);
        // The store and the later backup: only the second key reads them.
        for (const QString& file : {store, later}) {
            QCOMPARE(schemaEntriesUnder(file, kProgramKey), -1);
            QCOMPARE(schemaEntriesUnder(file, kFirstKey), -1);
            QVERIFY(schemaEntriesUnder(file, kSecondKey) >= entries);
            QVERIFY(!readAll(file).contains(kMarker));
        }
        // The backup made under the first key keeps it.
        QCOMPARE(schemaEntriesUnder(first, kProgramKey), -1);
        QVERIFY(schemaEntriesUnder(first, kFirstKey) >= entries);
        QVERIFY(!readAll(first).contains(kMarker));
        fx.core().set_passphrase(kSecondKey);
        QCOMPARE(fx.core().open(), 0);
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestShopKey)
#include "test_shopkey.moc"
