// The ribbon as the user sees it: every control inside its panel, none over
// another, captions not cut, icons present, the blink icons distinct. With
// VORN_SCREENSHOT_DIR set it also writes the screenshots of the main window.
#include <QAbstractButton>
#include <QApplication>
#include <QLayout>
#include <QStackedWidget>
#include <QtTest>

#include "frame/internetview.h"
#include "frame/look.h"
#include "frame/ribbontable.h"
#include "kit/commandids.h"
#include "test_frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {
QImage pixels(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage();
}

void settle(QWidget& w) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        if (w.layout()) w.layout()->activate();
    }
}

void shoot(CMainFrame& frame, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    settle(frame);
    const QString file = QDir(dir).filePath(name);
    QVERIFY2(frame.grab().save(file), qPrintable(file));
}

// Control widgets of one tab, by command id.
std::vector<std::pair<int, QWidget*>> controlsOf(Ribbon& ribbon, int tab) {
    std::vector<std::pair<int, QWidget*>> out;
    for (const auto& group : ribbonTable()[static_cast<size_t>(tab)].groups)
        for (const auto& c : group.controls)
            if (QWidget* w = ribbon.widget(c.id)) out.emplace_back(c.id, w);
    return out;
}
} // namespace

class TestFrameLook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        QVERIFY(!styleSheet().isEmpty());
    }

    void controlsFitTheirPanels() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        Ribbon& ribbon = f.ribbon();
        for (int tab = 0; tab < ribbon.tabCount(); ++tab) {
            f.frame->selectTab(tab);
            settle(*f.frame);
            QWidget* panel =
                ribbon.findChild<QStackedWidget*>(QStringLiteral("ribbonPanels"))->currentWidget();
            QVERIFY(panel);
            std::vector<std::pair<int, QRect>> rects;
            for (auto [id, w] : controlsOf(ribbon, tab)) {
                const QString what = QStringLiteral("tab %1 control %2").arg(tab).arg(id);
                QVERIFY2(w->isVisible(), qPrintable(what));
                const QRect r(w->mapTo(panel, QPoint(0, 0)), w->size());
                QVERIFY2(panel->rect().contains(r), qPrintable(what));
                for (const auto& [other, o] : rects)
                    QVERIFY2(!o.intersects(r), qPrintable(what + QStringLiteral(" overlaps %1").arg(other)));
                rects.emplace_back(id, r);
                if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                    const int need = b->fontMetrics().horizontalAdvance(b->text());
                    QVERIFY2(need <= b->width(), qPrintable(what + QStringLiteral(" caption cut")));
                }
            }
        }
    }

    void largeButtonsHaveIcons() {
        FrameFixture f;
        QVERIFY(f.create());
        for (const auto& tab : ribbonTable())
            for (const auto& group : tab.groups)
                for (const auto& c : group.controls)
                    if (c.kind == RibbonKind::Large || c.kind == RibbonKind::LargePopup ||
                        c.kind == RibbonKind::Small)
                        QVERIFY2(!f.ribbon().commandIcon(c.id).isNull(), qPrintable(QString::number(c.id)));
        // The reminder button starts with the alarm's normal icon.
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Birthday)), pixels(f.ribbon().commandIcon(cmd::Alarm)));
    }

    void blinkIconsDiffer() {
        const QImage a = pixels(Ribbon::icon("alarm_201"));
        const QImage b = pixels(Ribbon::icon("alarm_202"));
        const QImage c = pixels(Ribbon::icon("alarm_203"));
        QVERIFY(!a.isNull() && !b.isNull() && !c.isNull());
        QVERIFY(a != b);
        QVERIFY(b != c);
        QVERIFY(a != c);
    }

    void chineseFontIsFound() { QVERIFY(!chineseFamily().isEmpty()); }

    void screenshots() {
        FrameFixture f;
        QVERIFY(f.create());
        shoot(*f.frame, QStringLiteral("login.png"));
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(0);
        flush();
        shoot(*f.frame, QStringLiteral("main-admin.png"));
        if (qEnvironmentVariableIsSet("VORN_SCREENSHOT_TABS")) {
            for (int tab = 1; tab < f.ribbon().tabCount(); ++tab) {
                f.frame->selectTab(tab);
                flush();
                shoot(*f.frame, QStringLiteral("tab-%1.png").arg(tab));
            }
        }
        f.addUser(QStringLiteral("小王"), QStringLiteral("xw"), 2);
        f.frame.reset();
        flush();
        QVERIFY(f.create());
        QCOMPARE(f.frame->login(QStringLiteral("小王"), QStringLiteral("xw")), 1);
        f.frame->selectTab(0);
        flush();
        shoot(*f.frame, QStringLiteral("main-salesperson.png"));
    }
};

QTEST_MAIN(TestFrameLook)
#include "test_frame_look.moc"
