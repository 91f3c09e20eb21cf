// Start-up, the status bar, closing, and the web and help commands of the main window.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QPointer>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

#include "frame/internetview.h"
#include "frame/logoninputdlg.h"
#include "frame/logonview.h"
#include "frame/ribbontable.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {
// Captures what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        file_ = std::tmpfile();
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QString text() {
        restore();
        std::rewind(file_);
        QByteArray all;
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0)
            all.append(buf, static_cast<qsizetype>(n));
        return QString::fromLocal8Bit(all);
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }
    int saved_ = -1;
    FILE* file_ = nullptr;
};
} // namespace

class TestFrameStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
    }

    void firstStartInEmptyDirectoryShowsLoginPage() {
        FrameFixture f;
        QVERIFY(!QFile::exists(f.path("__vorn__")));
        QVERIFY(f.create());
        QVERIFY(QFile::exists(f.path("__vorn__")));

        QCOMPARE(f.frame->currentPage(), 1);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 用户登录"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"用户登录\"页面"));
        QCOMPARE(f.frame->paneText(0), QStringLiteral("  打开\"用户登录\"页面"));
        QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户:"));
        QCOMPARE(f.frame->paneText(2), QStringLiteral("权限:"));
        QVERIFY(f.messages.shown.isEmpty());

        auto* logon = qobject_cast<CLogonView*>(f.frame->view());
        QVERIFY(logon);
        const QStringList lines = CLogonView::introLines();
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines[0].startsWith(QStringLiteral("欢迎使用Qelto进销存软件，下面是对软件的简单介绍：")));
        QVERIFY(lines[1].startsWith(QLatin1Char('\t')));
        QVERIFY(lines[7].isEmpty());

        // The login panel: every user name offered, nothing filled in, inputs limited.
        auto* panel = logon->panel();
        QVERIFY(panel);
        auto* name = panel->findChild<QComboBox*>(QStringLiteral("nameCombo"));
        auto* password = panel->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QVERIFY(name && password);
        QCOMPARE(name->count(), 1);
        QCOMPARE(name->itemText(0), kAdmin);
        QVERIFY(name->currentText().isEmpty());
        QVERIFY(password->text().isEmpty());
        QCOMPARE(password->maxLength(), 28);
        QCOMPARE(name->lineEdit()->maxLength(), 28);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        // The limit counts GBK bytes, as the column does: 14 Chinese characters.
        for (QChar c : QStringLiteral("店主张三李四王五赵六孙七周八吴九")) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(name->lineEdit(), &key);
        }
        QCOMPARE(name->currentText(), QStringLiteral("店主张三李四王五赵六孙七周八"));
        name->clearEditText();

        // The panel stays in the middle of the page.
        const QRect page = logon->rect();
        QVERIFY(qAbs(panel->geometry().center().x() - page.center().x()) <= 1);
        QVERIFY(qAbs(panel->geometry().center().y() - page.center().y()) <= 1);
        f.frame->resize(1000, 700);
        QVERIFY(qAbs(panel->geometry().center().x() - logon->rect().center().x()) <= 1);
    }

    void noTabCanBeUsedBeforeLogin() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.enabledTabs().isEmpty());
        f.ribbon().clickTab(3);
        QCOMPARE(f.frame->currentPage(), 1);
        QVERIFY(qobject_cast<CLogonView*>(f.frame->view()));
        // No command of any page, and no web button either, can be reached.
        QVERIFY(!f.frame->isEnabled(cmd::SwitchUser));
        QVERIFY(!f.frame->isEnabled(cmd::AddGoods));
        QVERIFY(!f.ribbon().isCommandEnabled(cmd::SearchGoods));
    }

    void storeThatCannotOpenEndsWithoutMessageBox() {
        FrameFixture f;
        QVERIFY(QDir(f.path(".")).mkdir("__vorn__")); // a folder where the file belongs
        StderrCapture err;
        QVERIFY(!f.create());
        const QString line = err.text();
        QVERIFY2(line.contains(QStringLiteral("__vorn__")), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("SQLite code")), qPrintable(line));
        QVERIFY(f.messages.shown.isEmpty());
        QVERIFY(!f.frame->state().core.is_open());
    }

    void statusPaneWidthsFollowTheWindow() {
        FrameFixture f;
        QVERIFY(f.create());
        f.frame->resize(1000, 700);
        QCOMPARE(f.frame->paneWidth(0), 1000 - 352);
        QCOMPARE(f.frame->paneWidth(1), 200);
        QCOMPARE(f.frame->paneWidth(2), 120);
        f.frame->setMinimumWidth(0);
        f.frame->resize(300, 700);
        QVERIFY(f.frame->paneWidth(0) <= 0);
        QCOMPARE(f.frame->paneWidth(1), 200);
        QCOMPARE(f.frame->paneWidth(2), 120);
    }

    void statusTextOfAnyLengthIsKeptWhole() {
        FrameFixture f;
        QVERIFY(f.create());
        QString text;
        for (int i = 0; i < 700; ++i)
            text += QStringLiteral("商品%1,").arg(i);
        QVERIFY(text.toUtf8().size() > 4096);
        f.frame->showStatus(text);
        QCOMPARE(f.frame->statusText(), text);
        QCOMPARE(f.frame->paneText(0), QStringLiteral("  ") + text);
        // Markup is shown as typed, never interpreted.
        f.frame->showStatus(QStringLiteral("<b>1</b>"));
        QCOMPARE(f.frame->paneText(0), QStringLiteral("  <b>1</b>"));
    }

    void webButtonWithoutIniReportsEmptyAddress() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.ribbon().clickTab(5);
        QCOMPARE(f.frame->currentPage(), 7);
        f.messages.shown.clear();
        f.ribbon().trigger(cmd::FirstWebButton);
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"\"失败"));
        QCOMPARE(f.messages.shown, QStringList{QStringLiteral("打开\"\"失败。")});

        f.ribbon().clickTab(10);
        f.messages.shown.clear();
        f.ribbon().trigger(cmd::Help);
        QCOMPARE(f.frame->statusText(), QStringLiteral("未找到帮助文件\"vorn_helper.chm\""));
        QCOMPARE(f.messages.shown, QStringList{QStringLiteral("未找到帮助文件\"vorn_helper.chm\"。")});
    }

    void iniAddressesAreRead() {
        FrameFixture f;
        QFile ini(f.path("vorn.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        // Addresses stand as written: ';' inside a value, quotes, commas, backslashes;
        // section and key names in any case; comment lines skipped.
        ini.write("; web pages\r\n[Internet]\r\nshop=http://shop.example/;jsessionid=9\r\n"
                  "mall = \"http://mall.example/a,b\\n\"\r\n"
                  "[buy]\nBUY_3=http://buy.example/3?q=\"z\"\n;buy_4=http://not.example/\n"
                  "[promotion]\npromotion_2=http://promo.example/2\npromotion_2=http://second.example/\n");
        ini.close();
        QVERIFY(f.create());
        const WebAddresses& web = f.frame->webAddresses();
        QCOMPARE(web.forWebTab(0), QStringLiteral("http://shop.example/;jsessionid=9"));
        QCOMPARE(web.forWebTab(1), QString());
        QCOMPARE(web.forWebTab(2), QStringLiteral("http://mall.example/a,b\\n"));
        QCOMPARE(web.forButton(cmd::FirstWebButton + 6), QStringLiteral("http://buy.example/3?q=\"z\""));
        QCOMPARE(web.forButton(cmd::FirstWebButton + 7), QString());
        QCOMPARE(web.forButton(cmd::LastWebButton), QStringLiteral("http://promo.example/2"));
        QCOMPARE(web.forButton(cmd::FirstWebButton), QString());
        QCOMPARE(web.forButton(cmd::LastWebButton + 1), QString());
    }

    void closingSavesLayoutAndClosesStore() {
        bool pageSawOpenStore = false;
        FrameFixture f;
        QVERIFY(f.create());
        QSignalSpy closed(f.frame.get(), &CMainFrame::closed);
        QVERIFY(f.frame->state().core.is_open());
        QPointer<CPage> page = f.frame->view();
        QVERIFY(page);
        // The page outlives the close call by a moment; the store stays open for it
        // and closes once it has gone.
        connect(page.data(), &QObject::destroyed, this, [&] { pageSawOpenStore = f.frame->state().core.is_open(); });
        f.frame->close();
        QCOMPARE(closed.count(), 1);
        QSettings settings;
        QVERIFY(!settings.value(QStringLiteral("CommandBars/geometry")).toByteArray().isEmpty());
        flush();
        QVERIFY(page.isNull());
        QVERIFY(pageSawOpenStore);
        QVERIFY(!f.frame->state().core.is_open());
        QVERIFY(f.frame->view() == nullptr);
    }
};

QTEST_MAIN(TestFrameStart)
#include "test_start.moc"
