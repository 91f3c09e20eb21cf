// The shop page inside the real main window: its commands follow the page, the
// settings and the accounts are saved through it, backup and restore run from
// the ribbon with their boxes, and a store that cannot be reopened ends the
// program. With VORN_SCREENSHOT_DIR set it also writes shop.png and users.png.
#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "backupfiles.h"
#include "frame/look.h"
#include "frame_fixture.h"
#include "res/commandids.h"
#include "shoppicture.h"
#include "shopview.h"
#include "userinputdlg.h"
#include "res/tabs.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

const QList<int> kShopCommands = {cmd::SystemUsers, cmd::Backup,       cmd::QuickBackup, cmd::BackupTo,
                                  cmd::Restore,     cmd::QuickRestore, cmd::RestoreFrom};

void settle(QWidget& w) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        if (w.layout()) w.layout()->activate();
    }
}

void shoot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    settle(w);
    const QString file = QDir(dir).filePath(name);
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

CShopView* openShop(FrameFixture& f) {
    f.frame->selectTab(tabs::Shop);
    flush();
    return qobject_cast<CShopView*>(f.frame->view());
}

} // namespace

class TestFrameAdmin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void commandsFollowThePage() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        for (int id : kShopCommands)
            QVERIFY2(!f.frame->isEnabled(id), qPrintable(QString::number(id)));
        CShopView* page = openShop(f);
        QVERIFY(page);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 店铺设置"));
        for (int id : kShopCommands)
            QVERIFY2(f.frame->isEnabled(id), qPrintable(QString::number(id)));
        f.frame->selectTab(tabs::Goods);
        flush();
        for (int id : kShopCommands)
            QVERIFY2(!f.frame->isEnabled(id), qPrintable(QString::number(id)));
    }

    void settingsAndPicture() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->state().core.set_shop_name(gbk(QStringLiteral("旧名")).c_str());
        CShopView* page = openShop(f);
        QVERIFY(page);
        QCOMPARE(page->nameEdit()->text(), QStringLiteral("旧名"));
        page->nameEdit()->setText(QStringLiteral("好邻居便利店"));
        page->phoneEdit()->setText(QStringLiteral("0571-88886666"));
        page->addrEdit()->setText(QStringLiteral("杭州市西湖区文三路 128 号"));
        page->remarkEdit()->setPlainText(
            QStringLiteral("谢谢惠顾，欢迎再次光临！\n本店商品七日内凭小票退换。"));
        QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("save")), Qt::LeftButton);
        QCOMPARE(f.frame->statusText(), QStringLiteral("店铺信息设置成功"));
        QCOMPARE(f.frame->paneText(0), QStringLiteral("  店铺信息设置成功"));
        QCOMPARE(fromGbk(f.frame->state().core.get_shop_name()), QStringLiteral("好邻居便利店"));
        QVERIFY(f.messages.shown.isEmpty());

        // The picture sits in the page's corner, however the window is sized.
        for (QSize size : {QSize(1280, 800), QSize(1024, 700), QSize(1500, 900)}) {
            f.frame->resize(size);
            settle(*f.frame);
            QCOMPARE(page->picture()->geometry().bottomRight(), page->rect().bottomRight());
            QVERIFY(page->picture()->isVisible());
        }
        f.frame->resize(1280, 800);
        shoot(*f.frame, QStringLiteral("shop.png"));
    }

    void accountsThroughTheRibbon() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("clerk"), QStringLiteral("c1"), 2);
        QVERIFY(f.loginAsAdmin());
        CShopView* page = openShop(f);
        QVERIFY(page);
        const QString newPassword = QStringLiteral("S3cret'9");
        page->setDialogRunner([&](QDialog& d) {
            auto* dlg = qobject_cast<CUserInputDlg*>(&d);
            if (!dlg) return 0;
            dlg->nameEdit()->setText(QStringLiteral("小李"));
            dlg->passwordEdit()->setText(QStringLiteral("l1"));
            dlg->addUser();
            dlg->list()->setCurrentRow(0); // the administrator
            dlg->passwordEdit()->setText(newPassword);
            dlg->changePassword();
            shoot(*dlg, QStringLiteral("users.png"));
            // The administrator itself cannot go.
            dlg->removeSelected();
            dlg->save();
            return dlg->result();
        });
        f.frame->onCommand(cmd::SystemUsers);
        QCOMPARE(f.messages.shown, QStringList({QStringLiteral("不能删除权限为\"系统超级管理员\"的用户。")}));
        QCOMPARE(f.frame->statusText(), QStringLiteral("成功修改2个\"用户\""));
        QCOMPARE(f.frame->state().users.size(), size_t(3));
        // The old password no longer opens the administrator's account; the new one does.
        QCOMPARE(f.frame->login(kAdmin, kAdminPassword), 0);
        QCOMPARE(f.frame->login(kAdmin, newPassword), 1);
        QCOMPARE(f.frame->login(QStringLiteral("小李"), QStringLiteral("l1")), 1);
    }

    void backupAndRestoreFromTheRibbon() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CShopView* page = openShop(f);
        QVERIFY(page);
        vorn::Core& core = f.frame->state().core;

        f.frame->onCommand(cmd::QuickBackup);
        QCOMPARE(f.frame->statusText(), QStringLiteral("数据备份成功"));
        vorn::TRec t;
        t.FTs_Name = "Later";
        QCOMPARE(core.insert_trec(&t, 1), 1);
        QVERIFY(f.frame->state().loadTypesAndSuppliers()); // the type drop-down follows by itself
        QCOMPARE(f.frame->state().types.size(), size_t(2));

        f.frame->onCommand(cmd::QuickRestore);
        QCOMPARE(f.frame->statusText(), QStringLiteral("数据恢复成功"));
        QCOMPARE(core.get_trec_count("FTs_Name='Later'"), 0);
        QCOMPARE(f.frame->state().types.size(), size_t(1));
        // The logged-in user stays, and the store takes writes again.
        QCOMPARE(f.frame->state().currentUser.FUs_Name, std::string("admin"));
        QCOMPARE(core.insert_trec(&t, 1), 1);

        // A file that is no store is refused, with the box.
        const QString junk = f.path(QStringLiteral("junk.vorndb"));
        {
            QFile file(junk);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, '\x5a'));
        }
        page->setFilePrompt([&](QWidget*, BackupFileDialog, const QString&) { return junk; });
        f.messages.shown.clear();
        f.frame->onCommand(cmd::RestoreFrom);
        QCOMPARE(f.messages.shown,
                 QStringList(
                     {QStringLiteral("你的下一步操作将恢复指定位置的数据，并覆盖当前所有数据，是否要继续？"),
                      QStringLiteral("数据恢复失败。")}));
        QCOMPARE(f.frame->statusText(), QStringLiteral("数据恢复失败"));
        QCOMPARE(core.get_trec_count("FTs_Name='Later'"), 1);
        QVERIFY(f.frame->isVisible());
    }

    void failingReopenEndsTheProgram() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        CShopView* page = openShop(f);
        QVERIFY(page);
        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        page->setReopen([](vorn::Core&) { return false; });
        f.frame->onCommand(cmd::QuickBackup);
        QCOMPARE(f.messages.shown.last(), QStringLiteral("数据备份导致程序异常，程序即将退出。"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("数据备份导致程序异常，程序即将退出"));
        QCOMPARE(closed.count(), 1);
        flush();
        QVERIFY(!f.frame->isVisible());
        QVERIFY(!f.frame->state().core.is_open());
        // What the failed reopen left on disk is the shop's file, whole.
        QVERIFY(QFileInfo(backup::storeFile(QDir::currentPath())).isFile());
    }
};

QTEST_MAIN(TestFrameAdmin)
#include "test_admin.moc"
