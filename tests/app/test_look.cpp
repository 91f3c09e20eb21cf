// The ribbon as the user sees it: every control inside its panel, none over
// another, captions not cut, icons present, the blink icons distinct. With
// VORN_SCREENSHOT_DIR set it also writes the screenshots of the main window.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QtTest>

#include "frame/internetview.h"
#include "frame/look.h"
#include "frame/ribbontable.h"
#include "res/commandids.h"
#include "spanprompt.h"
#include "storeinputdlg.h"
#include "storeview.h"
#include "frame_fixture.h"
#include "res/tabs.h"

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
// Every control of the tab's panel inside it, none over another, no caption cut.
void checkPanel(Ribbon& ribbon, int tab) {
    QWidget* panel = ribbon.findChild<QStackedWidget*>(QStringLiteral("ribbonPanels"))->currentWidget();
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
        for (int tab = 0; tab < f.ribbon().tabCount(); ++tab) {
            // A tab no page fills yet is laid out all the same.
            if (f.ribbon().isTabVisible(tab))
                f.frame->selectTab(f.ribbon().tabText(tab));
            else
                f.ribbon().setCurrentTab(tab);
            settle(*f.frame);
            checkPanel(f.ribbon(), tab);
        }
    }

    void spanCaptionsAndDropDownsFit() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        // A long type name, as a shop may well give one.
        vorn::TRec t;
        t.FTs_Name = gbk(QStringLiteral("进口休闲零食饮料礼盒"));
        QCOMPARE(f.frame->state().core.insert_trec(&t, 1), 1);
        QVERIFY(f.frame->state().loadTypesAndSuppliers()); // the type drop-down follows by itself
        f.frame->selectTab(tabs::Goods);
        flush();
        auto* page = qobject_cast<CStoreView*>(f.frame->view());
        QVERIFY(page);
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) {
            return SpanAnswer{1, QDate(2026, 12, 7), QDate(2026, 12, 7)};
        });
        f.frame->onCommand(cmd::StockTime);
        f.frame->onCommand(cmd::SaleTime);
        settle(*f.frame);
        QCOMPARE(f.ribbon().caption(cmd::StockTime), QStringLiteral("入库时间: 2026-12-07 到 2026-12-07"));
        for (int id : {cmd::StockTime, cmd::SaleTime}) {
            auto* b = qobject_cast<QAbstractButton*>(f.ribbon().widget(id));
            QVERIFY(b);
            // All the room the style asks for the icon and the whole caption.
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(QString::number(id)));
        }
        for (int id : {cmd::GoodsType, cmd::GoodsState}) {
            auto* combo = qobject_cast<QComboBox*>(f.ribbon().widget(id));
            QVERIFY(combo);
            QStyleOptionComboBox opt;
            opt.initFrom(combo);
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
            const QRect arrow =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, combo);
            QVERIFY(!field.intersects(arrow));
            for (int i = 0; i < combo->count(); ++i)
                QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= field.width(),
                         qPrintable(combo->itemText(i)));
            // The open list shows every entry, the last one whole.
            combo->showPopup();
            QAbstractItemView* view = combo->view();
            QVERIFY(view->isVisible());
            const QRect last = view->visualRect(view->model()->index(combo->count() - 1, 0));
            QVERIFY2(view->viewport()->rect().contains(last), qPrintable(QString::number(id)));
            QVERIFY(view->width() >= combo->width() - 2);
            combo->hidePopup();
        }
        checkPanel(f.ribbon(), f.ribbon().tabIndex(tabs::Goods));
        shoot(*f.frame, QStringLiteral("goods-span.png"));

        // Back to no span: the button goes back to its own width.
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) { return SpanAnswer{0, {}, {}}; });
        f.frame->onCommand(cmd::StockTime);
        settle(*f.frame);
        QCOMPARE(f.ribbon().widget(cmd::StockTime)->width(), 216);
    }

    void readOnlyFieldsLookReadOnly() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        fillShop(f.frame->state());
        f.frame->selectTab(tabs::Goods);
        flush();
        f.frame->onCommand(cmd::SearchGoods);
        auto* page = qobject_cast<CStoreView*>(f.frame->view());
        QVERIFY(page);
        page->openEditor({1});
        CStoreInputDlg* panel = page->panel();
        QVERIFY(panel->isVisible());
        settle(*panel);
        // The middle of the right end of a field: inside its frame, clear of its text.
        auto background = [](QWidget* w) {
            const QImage image = w->grab().toImage();
            return image.pixelColor(image.width() - 6, image.height() / 2);
        };
        const QColor editable = background(panel->findChild<QLineEdit*>(QStringLiteral("code")));
        QCOMPARE(editable, QColor(Qt::white));
        for (const char* name : {"stoT", "reaP", "salT"}) {
            const QColor shown = background(panel->findChild<QLineEdit*>(QString::fromLatin1(name)));
            QVERIFY2(shown != editable, name);
            QVERIFY2(shown.lightness() < 245, name);
        }
        const QColor state = background(panel->findChild<QComboBox*>(QStringLiteral("state")));
        QVERIFY(state != editable);
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
        if (!dir.isEmpty()) QVERIFY(panel->grab().save(QDir(dir).filePath(QStringLiteral("goods-edit.png"))));
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
        f.frame->selectTab(tabs::Counter);
        flush();
        shoot(*f.frame, QStringLiteral("main-admin.png"));
        fillShop(f.frame->state());
        f.frame->selectTab(tabs::Goods);
        flush();
        f.frame->onCommand(cmd::SearchGoods);
        flush();
        shoot(*f.frame, QStringLiteral("goods.png"));
        // The journal's tab at the smallest screen (its panel even before a page fills it).
        f.frame->resize(1024, 768);
        f.frame->selectTab(tabs::SaleJournal);
        f.ribbon().setCurrentTab(f.ribbon().tabIndex(tabs::SaleJournal));
        flush();
        shoot(*f.frame, QStringLiteral("journal-1024.png"));
        f.frame->selectTab(tabs::Counter);
        flush();
        shoot(*f.frame, QStringLiteral("counter-1024.png"));
        f.frame->resize(1280, 800);
        if (qEnvironmentVariableIsSet("VORN_SCREENSHOT_TABS")) {
            for (int tab = 1; tab < f.ribbon().tabCount(); ++tab) {
                f.frame->selectTab(f.ribbon().tabText(tab));
                flush();
                shoot(*f.frame, QStringLiteral("tab-%1.png").arg(tab));
            }
        }
        f.addUser(QStringLiteral("小王"), QStringLiteral("xw"), 2);
        f.frame.reset();
        flush();
        QVERIFY(f.create());
        QCOMPARE(f.frame->login(QStringLiteral("小王"), QStringLiteral("xw")), 1);
        f.frame->selectTab(tabs::Counter);
        flush();
        shoot(*f.frame, QStringLiteral("main-salesperson.png"));
    }
};

QTEST_MAIN(TestFrameLook)
#include "test_look.moc"
