// Start-up, the status bar, closing, and the web and help commands of the main window.
#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QPointer>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

#include "frame/desktopopener.h"
#include "frame/internetview.h"
#include "frame/login.h"
#include "frame/logoninputdlg.h"
#include "frame/logonview.h"
#include "frame/ribbontable.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "frame_fixture.h"
#include "vorn/journal.h"
#include "res/tabs.h"

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
// Counts the busy windows with a progress band that are shown, and the percent
// the last one showed when it went.
class BusyWatch : public QObject {
public:
    BusyWatch() { qApp->installEventFilter(this); }
    ~BusyWatch() override { qApp->removeEventFilter(this); }
    int progressWindows = 0;
    int lastPercent = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* wnd = qobject_cast<CLoadingWnd*>(watched);
        if (wnd && wnd->hasProgress()) {
            if (event->type() == QEvent::Show) ++progressWindows;
            if (event->type() == QEvent::Hide) lastPercent = wnd->percent();
        }
        return false;
    }
};

} // namespace

class TestFrameStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
    }
    // A test that stopped early must not leave its opener to the next.
    void cleanup() { setDesktopOpener({}); }

    void firstStartInEmptyDirectoryShowsLoginPage() {
        FrameFixture f;
        QVERIFY(!QFile::exists(f.path("__vorn__")));
        QVERIFY(f.create());
        QVERIFY(QFile::exists(f.path("__vorn__")));

        QCOMPARE(f.frame->currentPage(), tabs::Login);
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

    // Units sold before the journal existed get their sales into it at the next
    // start, under the busy window with its progress band, before anybody logs
    // in. A failure is said and the program goes on; the next start tries again,
    // and once all is recorded no start does it again.
    void soldUnitsGetTheirHistoryAtStart() {
        FrameFixture f;
        {
            vorn::Core core;
            QCOMPARE(core.open(), 0);
            const int64_t t0 = QDateTime(QDate(2026, 3, 2), QTime(10, 0)).toSecsSinceEpoch();
            // Two checkouts (two units, then one) and a unit still in stock.
            std::vector<vorn::SRec> units(4);
            for (size_t i = 0; i < units.size(); ++i) {
                units[i].FSs_Code = "A" + std::to_string(i);
                units[i].FSs_Name = "unit";
                units[i].FSi_Type = units[i].FSi_Supplier = 1;
                units[i].FSd_RetP = 5.5;
                units[i].FSt_StoT = t0 - 86400;
                units[i].FSi_Flag = i < 3 ? 1 : 0;
                units[i].FSd_ReaP = i < 3 ? 5.5 : 0.0;
                units[i].FSt_SalT = i < 2 ? t0 : i == 2 ? t0 + 600 : 0;
            }
            QCOMPARE(core.insert_srec(units.data(), 4), 4);
            // A journal that takes no rows, as a store that went wrong would.
            QCOMPARE(core.exec_sql("CREATE TRIGGER refuse BEFORE INSERT ON Sale BEGIN SELECT RAISE(ABORT,'no'); END;"),
                     0);
            QVERIFY(vorn::Journal(core).history_pending());
            QCOMPARE(core.close(), 0);
        }
        BusyWatch busy;
        QVERIFY(f.create());
        QCOMPARE(busy.progressWindows, 1);
        QCOMPARE(f.messages.shown.size(), qsizetype(1));
        const QString failure = f.messages.shown[0];
        QVERIFY2(failure.startsWith(QStringLiteral("未知异常导致以前的销售写入销售记录失败")), qPrintable(failure));
        QVERIFY2(failure.contains(QStringLiteral("下次启动时将再次写入")), qPrintable(failure));
        QCOMPARE(f.messages.shown[0], f.frame->statusText() + QStringLiteral("。"));
        QCOMPARE(f.frame->currentPage(), tabs::Login);
        QVERIFY(vorn::Journal(f.frame->state().core).history_pending());
        QVERIFY(f.loginAsAdmin()); // the program goes on
        QCOMPARE(f.frame->state().core.exec_sql("DROP TRIGGER refuse;"), 0);
        f.frame.reset();
        flush();

        f.messages.shown.clear();
        busy.progressWindows = 0;
        QVERIFY(f.create());
        QCOMPARE(busy.progressWindows, 1);
        QCOMPARE(busy.lastPercent, 100);
        QVERIFY(f.messages.shown.isEmpty());
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"用户登录\"页面"));
        vorn::Journal journal(f.frame->state().core);
        QVERIFY(!journal.history_pending());
        QCOMPARE(journal.unrecorded_units(), 0);
        std::vector<vorn::SaleRecord> sales;
        QCOMPARE(journal.select_sales(vorn::SaleFilter{}, sales), 2);
        QCOMPARE(sales[0].units, 2);
        QCOMPARE(sales[1].units, 1);
        f.frame.reset();
        flush();

        // Nothing left to do: no busy window, no new sale.
        busy.progressWindows = 0;
        QVERIFY(f.create());
        QCOMPARE(busy.progressWindows, 0);
        QCOMPARE(vorn::Journal(f.frame->state().core).count_sales(vorn::SaleFilter{}), 2);
    }

    void noTabCanBeUsedBeforeLogin() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.enabledTabs().isEmpty());
        f.ribbon().clickTab(tabs::Members);
        QCOMPARE(f.frame->currentPage(), tabs::Login);
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
        f.ribbon().clickTab(tabs::Web[0]);
        QCOMPARE(f.frame->currentPage(), tabs::Web[0]);
        f.messages.shown.clear();
        f.ribbon().trigger(cmd::FirstWebButton);
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"\"失败"));
        QCOMPARE(f.messages.shown, QStringList{QStringLiteral("打开\"\"失败。")});

        f.ribbon().clickTab(tabs::About);
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

    // A data directory that takes no file: the store opens for reading only,
    // the status bar says so for the whole run, and nothing can change the file.
    void storeOfADirectoryThatTakesNoFileIsReadOnly() {
        FrameFixture f;
        QVERIFY(f.create());
        f.addUser(QStringLiteral("店员"), QStringLiteral("pw-1"), 3);
        f.frame->close();
        flush();
        auto digest = [&] {
            QFile store(f.path("__vorn__"));
            return store.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(store.readAll(), QCryptographicHash::Sha256)
                                                   : QByteArray();
        };
        const QByteArray before = digest();
        QVERIFY(!before.isEmpty());

        f.frame = std::make_unique<CMainFrame>();
        f.frame->setReadOnlyStore(true);
        QVERIFY(f.frame->create());
        f.frame->resize(1280, 800);
        f.frame->show();
        QVERIFY(f.frame->readOnlyStore());
        QVERIFY2(f.frame->statusText().contains(QStringLiteral("只读")), qPrintable(f.frame->statusText()));
        auto* pane = f.frame->findChild<QLabel*>(QStringLiteral("statusReadOnly"));
        QVERIFY(pane);
        QCOMPARE(pane->text(), QStringLiteral("数据只读"));
        // It stays when the status sentence moves on.
        QVERIFY(f.loginAsAdmin());
        QVERIFY(!f.frame->statusText().contains(QStringLiteral("只读")));
        QVERIFY(pane->isVisible());
        QCOMPARE(f.frame->paneWidth(0), f.frame->width() - 32 - f.frame->paneWidth(1) - f.frame->paneWidth(2) -
                                            pane->width());
        // Everything reads; nothing writes.
        vorn::Core& core = f.frame->state().core;
        QCOMPARE(core.get_urec_count(nullptr), 2);
        vorn::TRec type;
        type.FTs_Name = "more";
        QCOMPARE(core.insert_trec(&type, 1), -1);
        QVERIFY(!core.set_shop_name("changed"));
        f.frame->close();
        flush();
        QCOMPARE(digest(), before);
        QVERIFY(!QFile::exists(f.path("__vorn__.lock")));

        // Where the directory takes files, none of this shows.
        QVERIFY(f.create());
        QVERIFY(!f.frame->findChild<QLabel*>(QStringLiteral("statusReadOnly")));
        QVERIFY(!f.frame->statusText().contains(QStringLiteral("只读")));
    }

    // The status panes keep their texts whole at the smallest screen: the
    // longest role name and a long user name widen their panes.
    void statusPanesShowTheirTextsWholeAt1024() {
        FrameFixture f;
        QVERIFY(f.create());
        const QString longName = QStringLiteral("店主张三李四王五赵六孙七周八");
        f.addUser(longName, QStringLiteral("pw-2"), 1);
        for (const auto& [name, password] : {std::pair{kAdmin, kAdminPassword}, std::pair{longName, QStringLiteral("pw-2")}}) {
            QCOMPARE(f.frame->login(name, password), 1);
            f.frame->setMinimumSize(0, 0);
            f.frame->resize(1024, 768);
            QCoreApplication::processEvents();
            f.frame->statusBar()->layout()->activate();
            for (int i = 1; i < 3; ++i) {
                auto* label = f.frame->findChild<QLabel*>(QStringLiteral("statusPane%1").arg(i));
                QVERIFY(label);
                const QString text = label->text();
                const int room = label->contentsRect().width() - 2 * label->margin();
                QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= room,
                         qPrintable(QStringLiteral("%1: %2 px of text in %3 px").arg(text).arg(
                             label->fontMetrics().horizontalAdvance(text)).arg(room)));
                const QRect inFrame(label->mapTo(f.frame.get(), QPoint(0, 0)), label->size());
                QVERIFY2(f.frame->rect().contains(inFrame), qPrintable(text));
            }
            QCOMPARE(f.frame->paneText(2), QStringLiteral("权限: ") + roleName(name == kAdmin ? 0 : 1));
            QCOMPARE(f.frame->paneText(1), QStringLiteral("当前登录用户: ") + name);
            QCOMPARE(f.frame->paneWidth(0), 1024 - 32 - f.frame->paneWidth(1) - f.frame->paneWidth(2));
        }
    }

    // The web buttons and the user's guide report success only when something
    // opened them; without a desktop program and without a browser of the
    // program's own, they report the failure.
    void openingSucceedsOnlyWhenSomethingOpened() {
        FrameFixture f;
        QFile ini(f.path("vorn.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[shop]\nshop_1=http://shop.example/join\n");
        ini.close();
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        QList<QUrl> asked;
        bool desktopTakes = false;
        setDesktopOpener([&](const QUrl& url) {
            asked << url;
            return desktopTakes;
        });
        struct Case {
            QString tab;
            int id;
            QString success;
            QString failure;
        };
        QFile chm(f.path("vorn_helper.chm"));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        const Case cases[] = {
            {tabs::Web[0], cmd::FirstWebButton, QStringLiteral("打开\"http://shop.example/join\"成功"),
             QStringLiteral("打开\"http://shop.example/join\"失败")},
            {tabs::About, cmd::Help, QStringLiteral("打开帮助文件"), QStringLiteral("未找到帮助文件\"vorn_helper.chm\"")},
        };
        for (const Case& c : cases) {
            f.ribbon().clickTab(c.tab);
            for (bool takes : {false, true}) {
                desktopTakes = takes;
                asked.clear();
                f.messages.shown.clear();
                f.ribbon().trigger(c.id);
                QCOMPARE(asked.size(), qsizetype(1));
                if (c.id == cmd::Help) {
                    const QString file = asked[0].toLocalFile();
                    QVERIFY2(file.endsWith(QStringLiteral("vorn_helper.chm")) || file.endsWith(QStringLiteral("index.html")),
                             qPrintable(file));
                } else {
                    QCOMPARE(asked[0], QUrl(QStringLiteral("http://shop.example/join")));
                }
                QCOMPARE(f.frame->statusText(), takes ? c.success : c.failure);
                QCOMPARE(f.messages.shown, takes ? QStringList() : QStringList{c.failure + QStringLiteral("。")});
                QVERIFY(!f.frame->webWindow());
            }
        }
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
