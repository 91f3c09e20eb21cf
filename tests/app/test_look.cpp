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
#include "res/commandids.h"
#include "frame_fixture.h"

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

// A few thousand units of a small shop, for the goods page's screenshot.
void fillShop(vorn::ui::AppState& state) {
    const QStringList names = {QStringLiteral("康源矿泉水"), QStringLiteral("金穗大米"), QStringLiteral("鲜乐酸奶"),
                               QStringLiteral("雅洁洗发水"), QStringLiteral("百味薯片"), QStringLiteral("清泉绿茶")};
    const QStringList sizes = {QStringLiteral("550ml"), QStringLiteral("5kg"), QStringLiteral("200g")};
    std::vector<vorn::SRec> units;
    const int64_t t0 = vorn::parse_time("2026-03-02 09:30:00");
    for (int i = 0; i < 3000; ++i) {
        vorn::SRec u;
        const int k = i / 50;
        u.FSs_Code = gbk(QStringLiteral("69012345%1").arg(k, 5, 10, QLatin1Char('0')));
        u.FSs_Name = gbk(names[k % names.size()]);
        u.FSi_Type = 1;
        u.FSs_Size = gbk(sizes[k % sizes.size()]);
        u.FSd_OriP = 2.0 + k % 7;
        u.FSd_RetP = u.FSd_OriP * 1.5;
        u.FSd_MemP = u.FSd_GolP = u.FSd_WhoP = u.FSd_SpeP = u.FSd_RetP * 0.9;
        u.FSt_StoT = t0 + k * 86400;
        u.FSi_Flag = i % 3 == 0 ? 1 : 0;
        u.FSd_ReaP = u.FSi_Flag ? u.FSd_RetP : 0.0;
        u.FSt_SalT = u.FSi_Flag ? u.FSt_StoT + 3 * 86400 + i * 60 : 0;
        u.FSi_Supplier = 1;
        units.push_back(u);
    }
    QCOMPARE(state.core.insert_srec(units.data(), static_cast<int>(units.size())), 3000);
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
        fillShop(f.frame->state());
        f.frame->selectTab(1);
        flush();
        f.frame->onCommand(114); // 搜索商品
        flush();
        shoot(*f.frame, QStringLiteral("goods.png"));
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
#include "test_look.moc"
