// The web tabs with the real embedded browser, on a page of our own (no network).
// The browser's helper process is not built for the sanitizers, so this runs in
// the plain build only.
#include <QtTest>

#include "frame/desktopopener.h"
#include "frame/helpguide.h"
#include "frame/internetview.h"
#include "frame/webwindow.h"
#include "res/commandids.h"
#include "frame_fixture.h"
#include "res/tabs.h"

#ifdef VORN_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

using namespace vorn::ui;
using namespace vorn::ui::test;

class TestWeb : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
#if !defined(VORN_HAVE_WEBENGINE) || defined(VORN_SANITIZED)
        QSKIP("no embedded browser in this build");
#endif
        CInternetView::useBrowser(true);
    }
    // A test that stopped early must not leave its opener to the next.
    void cleanup() { setDesktopOpener({}); }

    void pageLoadsAndItsStatusTextReachesTheStatusBar() {
#ifdef VORN_HAVE_WEBENGINE
        FrameFixture f;
        QFile page(f.path("shop.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        // A script error on the page must not bring up anything.
        page.write("<html><head><meta charset='utf-8'><title>本店</title></head><body>"
                   "<a href='next.html'>下一页</a><script>undefinedCall();</script></body></html>");
        page.close();
        QFile ini(f.path("vorn.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("[internet]\nshop=" + QUrl::fromLocalFile(f.path("shop.html")).toString() + "\n").toUtf8());
        ini.close();
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Web[0]);
        auto* view = f.frame->view()->findChild<QWebEngineView*>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("本店"), 20000);
        emit view->page()->linkHovered(QStringLiteral("file:///next.html"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("file:///next.html"));
        QVERIFY(f.messages.shown.isEmpty());
        // A tab without an address shows a blank page in the same view.
        f.frame->selectTab(tabs::Web[1]);
        QCOMPARE(f.frame->view()->findChild<QWebEngineView*>(), view);
        QTRY_COMPARE_WITH_TIMEOUT(view->url(), QUrl(QStringLiteral("about:blank")), 20000);
#endif
    }

    // Where the desktop opens nothing (no browser, no help viewer), the web
    // buttons and the user's guide show in the program's own browser window,
    // and that counts as opened.
    void pagesTheDesktopCannotOpenShowInTheProgramsOwnBrowser() {
#ifdef VORN_HAVE_WEBENGINE
        FrameFixture f;
        QFile page(f.path("join.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><head><meta charset='utf-8'><title>加盟</title></head><body>加盟</body></html>");
        page.close();
        const QString address = QUrl::fromLocalFile(f.path("join.html")).toString();
        QFile ini(f.path("vorn.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("[shop]\nshop_1=" + address + "\n").toUtf8());
        ini.close();
        QFile chm(f.path("vorn_helper.chm"));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        int asked = 0;
        setDesktopOpener([&](const QUrl&) {
            ++asked;
            return false;
        });
        f.ribbon().clickTab(tabs::Web[0]);
        f.ribbon().trigger(cmd::FirstWebButton);
        QCOMPARE(asked, 1);
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"%1\"成功").arg(address));
        QVERIFY(f.messages.shown.isEmpty());
        CWebWindow* window = f.frame->webWindow();
        QVERIFY(window && window->isVisible());
        auto* view = window->findChild<QWebEngineView*>();
        QVERIFY(view);
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("加盟"), 20000);
        QVERIFY(window->width() <= 1024 && window->height() <= 768);

        // The guide's HTML pages beside the program, in the same window.
        const QString guide = helpGuidePage();
        if (guide.isEmpty()) QSKIP("the user's guide is not built beside the program (target vornhelp)");
        f.ribbon().clickTab(tabs::About);
        f.ribbon().trigger(cmd::Help);
        QCOMPARE(asked, 2);
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开帮助文件"));
        QCOMPARE(f.frame->webWindow(), window);
        QTRY_COMPARE_WITH_TIMEOUT(view->url(), QUrl::fromLocalFile(guide), 20000);
#endif
    }
};

// The browser needs its settings before the application object exists, as the
// program makes them at start-up (tests run as root in CI).
int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestWeb test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_web.moc"
