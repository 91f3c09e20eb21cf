// The goods page driven as the main window drives it: commands by id, the
// ribbon's inputs, the list, its footers and the editing panel.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "goodsstate.h"
#include "footerstrip.h"
#include "goodscells.h"
#include "storeinputdlg.h"
#include "storeview.h"
#include "typeinputdlg.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

QString cell(CStoreView& page, int row, int col) {
    return page.model()->data(page.model()->index(row, col)).toString();
}

void selectRows(CStoreView& page, std::initializer_list<int> rows) {
    auto* sel = page.table()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
        sel->select(page.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

} // namespace

class TestStoreView : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fx.setUp();
        // Five units: purchase 1..5, retail 10..50, codes E D C B A by id.
        std::vector<vorn::SRec> units;
        const char* codes[] = {"E", "D", "C", "B", "A"};
        for (int i = 0; i < 5; ++i)
            units.push_back(GoodsFixture::unit(codes[i], i + 1, 10 * (i + 1)));
        fx.insert(units);
        page = std::make_unique<CStoreView>(*fx.shell);
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void startsEmptyWithZeroFooters() {
        QCOMPARE(page->model()->rowCount(), 0);
        for (int c : {ColOriP, ColRetP, ColReaP})
            QCOMPARE(page->footer()->text(c), QStringLiteral("0.0"));
        QVERIFY(!page->isCommandEnabled(cmd::EditGoods));
        QVERIFY(!page->isCommandEnabled(cmd::RemoveGoods));
        QVERIFY(page->isCommandEnabled(cmd::SearchGoods));
        QVERIFY(page->isCommandEnabled(cmd::AddGoods));
    }

    void searchWithoutInputsListsAll() {
        QVERIFY(page->onCommand(cmd::SearchGoods));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到5件商品"));
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(page->searchCondition(), std::string());
        QCOMPARE(page->footer()->text(ColOriP), QStringLiteral("15.0"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("150.0"));
        QCOMPARE(page->footer()->text(ColReaP), QStringLiteral("0.0"));
        QCOMPARE(cell(*page, 0, ColType), QStringLiteral("未知"));
        QCOMPARE(cell(*page, 0, ColSupplier), QStringLiteral("未指定"));
        QCOMPARE(cell(*page, 0, ColFlag), QStringLiteral("库存中"));
        QCOMPARE(cell(*page, 0, ColSalT), QString());
        QVERIFY(page->isCommandEnabled(cmd::EditGoods));
        QVERIFY(page->isCommandEnabled(cmd::RemoveGoods));
    }

    void searchFindingNothing() {
        page->onCommand(cmd::SearchGoods);
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("nope"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到0件商品"));
        QCOMPARE(page->model()->rowCount(), 0);
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("0.0"));
        QVERIFY(!page->isCommandEnabled(cmd::EditGoods));
    }

    void quotedCodeIsSearchedAndShownAsTyped() {
        fx.insert({GoodsFixture::unit("it's", 1, 1)});
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("it's"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 1);
        QCOMPARE(cell(*page, 0, ColCode), QStringLiteral("it's"));
        QCOMPARE(page->searchCondition(), std::string("FSs_Code='it''s'"));
    }

    void typeAndStateInputs() {
        fx.shell->setRibbonText(cmd::GoodsType, QStringLiteral("未知"));
        fx.shell->setRibbonIndex(cmd::GoodsState, 1); // 已销售
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->searchCondition(), std::string("FSi_Type=1 AND FSi_Flag=1"));
        QCOMPARE(page->model()->rowCount(), 0);
        fx.shell->setRibbonIndex(cmd::GoodsState, 0);
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 5);
    }

    void headerSortReloadsInOrder() {
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->sortClause(), std::string());
        QCOMPARE(cell(*page, 0, ColCode), QStringLiteral("E")); // id order before any sort
        page->sortBy(ColCode, true);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FSs_Code ASC"));
        QCOMPARE(cell(*page, 0, ColCode), QStringLiteral("A"));
        page->sortBy(ColRetP, false);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FSd_RetP DESC"));
        QCOMPARE(cell(*page, 0, ColRetP), QStringLiteral("50.0"));
        QCOMPARE(cell(*page, 4, ColRetP), QStringLiteral("10.0"));
        // The remark cannot be sorted: clause, rows and the header's arrow stay.
        page->sortBy(ColRemark, true);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FSd_RetP DESC"));
        QCOMPARE(page->table()->horizontalHeader()->sortIndicatorSection(), int(ColRetP));
        QCOMPARE(cell(*page, 0, ColRetP), QStringLiteral("50.0"));
    }

    void sortOnAPageNeverSearchedShowsWhatItLists() {
        // Conditions typed but not searched: the page's own condition is still empty.
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("A"));
        fx.shell->statuses.clear();
        page->sortBy(ColRetP, false);
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(page->footer()->text(ColOriP), QStringLiteral("15.0"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("150.0"));
        QCOMPARE(page->footer()->text(ColReaP), QStringLiteral("0.0"));
        QCOMPARE(fx.shell->statuses, QStringList{QStringLiteral("成功按\"零售价(元)\"降序排列5件商品")});
        QVERIFY(page->isCommandEnabled(cmd::EditGoods));
        // The search then narrows it, and a sort keeps to what the search found.
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 1);
        page->sortBy(ColCode, true);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功按\"商品编码\"升序排列1件商品"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("50.0"));
        // Rows that went meanwhile are gone from the list and from its totals.
        QCOMPARE(fx.core().exec_sql("DELETE FROM Store;"), 0);
        page->sortBy(ColCode, false);
        QCOMPARE(page->model()->rowCount(), 0);
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("0.0"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功按\"商品编码\"降序排列0件商品"));
    }

    void hugeAndOverflowingSumsAreShown() {
        fx.insert({GoodsFixture::unit("H", 1e308, 1e20), GoodsFixture::unit("H", 1e308, 1e20)});
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("H"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 2);
        QCOMPARE(page->footer()->text(ColOriP), QStringLiteral("溢出"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("2e+20"));
        QCOMPARE(page->footer()->text(ColReaP), QStringLiteral("0.0"));
    }

    void sortClauseRidesAfterTheCondition() {
        fx.insert({GoodsFixture::unit("A", 9, 9)});
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("A"));
        page->onCommand(cmd::SearchGoods);
        page->sortBy(ColOriP, false);
        QCOMPARE(page->model()->rowCount(), 2);
        QCOMPARE(cell(*page, 0, ColOriP), QStringLiteral("9.0"));
        QCOMPARE(page->searchCondition(), std::string("FSs_Code='A'"));
    }

    void spansSetCaptionsAndSearch() {
        const QDate day = QDateTime::fromSecsSinceEpoch(GoodsFixture::unit("x", 0, 0).FSt_StoT).date();
        SpanAnswer answer{1, QDate(2012, 1, 1), QDate(2012, 1, 31)};
        QDate askedFrom, askedTo;
        page->setSpanPrompt([&](const QDate& f, const QDate& t, QWidget*) {
            askedFrom = f;
            askedTo = t;
            return answer;
        });
        page->onCommand(cmd::StockTime);
        QCOMPARE(fx.shell->captions[cmd::StockTime], QStringLiteral("入库时间: 2012-01-01 到 2012-01-31"));
        QVERIFY(!askedFrom.isValid());

        // A span around the units' stock day finds them; the dialog opens on the span held.
        answer = {1, day, day};
        page->onCommand(cmd::StockTime);
        QCOMPARE(askedFrom, QDate(2012, 1, 1));
        QCOMPARE(askedTo, QDate(2012, 1, 31));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 5);

        answer = {1, QDate(2020, 1, 1), QDate(2020, 1, 2)};
        page->onCommand(cmd::SaleTime);
        QCOMPARE(fx.shell->captions[cmd::SaleTime], QStringLiteral("售出时间: 2020-01-01 到 2020-01-02"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 0);

        answer = {-1, {}, {}}; // cancelled: nothing changes
        page->onCommand(cmd::SaleTime);
        QCOMPARE(fx.shell->captions[cmd::SaleTime], QStringLiteral("售出时间: 2020-01-01 到 2020-01-02"));
        answer = {0, {}, {}}; // no span
        page->onCommand(cmd::SaleTime);
        QCOMPARE(fx.shell->captions[cmd::SaleTime], QStringLiteral("售出时间"));
        QVERIFY(!goodsState(fx.shell->st).spans[cmd::SaleTime].isSet());
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 5);
    }

    void clearingAllConditions() {
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("A"));
        fx.shell->setRibbonText(cmd::GoodsName, QStringLiteral("n"));
        fx.shell->setRibbonText(cmd::GoodsSize, QStringLiteral("s"));
        fx.shell->setRibbonIndex(cmd::GoodsType, 0);
        fx.shell->setRibbonIndex(cmd::GoodsState, 1);
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) {
            return SpanAnswer{1, QDate(2012, 1, 1), QDate(2012, 1, 2)};
        });
        page->onCommand(cmd::StockTime);
        page->onCommand(cmd::SaleTime);
        page->onCommand(cmd::SearchGoods);
        const int listed = page->model()->rowCount();

        page->onCommand(cmd::ClearGoodsSearch);
        for (int id : {cmd::GoodsCode, cmd::GoodsName, cmd::GoodsSize, cmd::GoodsType, cmd::GoodsState})
            QCOMPARE(fx.shell->ribbonText(id), QString());
        QCOMPARE(fx.shell->captions[cmd::StockTime], QStringLiteral("入库时间"));
        QCOMPARE(fx.shell->captions[cmd::SaleTime], QStringLiteral("售出时间"));
        QVERIFY(!goodsState(fx.shell->st).spans[cmd::StockTime].isSet());
        QCOMPARE(page->model()->rowCount(), listed); // the list waits for the next search
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 5);
    }

    void inputsOutliveThePageButTheListDoesNot() {
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("B"));
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) {
            return SpanAnswer{1, QDate(2001, 1, 1), QDate(2030, 1, 1)};
        });
        page->onCommand(cmd::StockTime);
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->model()->rowCount(), 1);
        page = std::make_unique<CStoreView>(*fx.shell);
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(goodsState(fx.shell->st).rows.empty());
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(page->searchCondition().substr(0, 19), std::string("FSs_Code='B' AND FS"));
        QCOMPARE(page->model()->rowCount(), 1);
    }

    void deletingTwoOfFive() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {3, 1});
        fx.boxes.answers = {true};
        page->onCommand(cmd::RemoveGoods);
        QCOMPARE(fx.boxes.shown.value(0),
                 QStringLiteral("你的下一步操作将永久\"删除\"商品的信息，是否要继续？"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"删除\"2件商品信息"));
        QCOMPARE(page->model()->rowCount(), 3);
        QCOMPARE(cell(*page, 0, ColCode), QStringLiteral("E"));
        QCOMPARE(cell(*page, 1, ColCode), QStringLiteral("C"));
        QCOMPARE(cell(*page, 2, ColCode), QStringLiteral("A"));
        QCOMPARE(page->footer()->text(ColOriP), QStringLiteral("9.0"));  // 1 + 3 + 5
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("90.0")); // 10 + 30 + 50
        QCOMPARE(fx.stored().size(), size_t(3));
        QCOMPARE(fx.core().get_srec_count("FSs_Code='D' OR FSs_Code='B'"), 0);
    }

    void deletingAnsweredNoOrEverything() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        fx.boxes.answers = {false};
        page->onCommand(cmd::RemoveGoods);
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(fx.stored().size(), size_t(5));

        selectRows(*page, {0, 1, 2, 3, 4});
        fx.boxes.answers = {true};
        page->onCommand(cmd::RemoveGoods);
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(!page->hasRecord());
        QCOMPARE(page->footer()->text(ColOriP), QStringLiteral("0.0"));
        QVERIFY(fx.stored().empty());
    }

    void failedDeleteKeepsTheRows() {
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(fx.core().exec_sql(
                     "CREATE TRIGGER keep BEFORE DELETE ON Store BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        selectRows(*page, {0, 2});
        fx.boxes.answers = {true};
        page->onCommand(cmd::RemoveGoods);
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("未知异常导致商品\"删除\"失败，放弃该次\"删除\"操作"));
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(fx.stored().size(), size_t(5));
    }

    void editingOneRemarkLeavesTheFooters() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {1});
        page->onCommand(cmd::EditGoods);
        CStoreInputDlg* panel = page->panel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->windowTitle(), QStringLiteral("商品编辑"));
        QVERIFY(!page->isCommandEnabled(cmd::SearchGoods));
        QVERIFY(!page->isCommandEnabled(cmd::RemoveGoods));
        QVERIFY(page->isCommandEnabled(cmd::EditGoods));
        QCOMPARE(field<QLineEdit>(panel, "stoT")->text(), timeText(GoodsFixture::unit("x", 0, 0).FSt_StoT));

        page->footer()->setText(ColRetP, QStringLiteral("marker")); // shows whether they were recomputed
        field<QPlainTextEdit>(panel, "remark")->setPlainText(QStringLiteral("新备注"));
        panel->save();
        QVERIFY(!panel->isVisible());
        QVERIFY(page->isCommandEnabled(cmd::SearchGoods));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"编辑\"1件商品信息"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("marker"));
        QCOMPARE(cell(*page, 1, ColRemark), QStringLiteral("新备注"));
        QCOMPARE(fx.stored("FSs_Code='D'").at(0).FSs_Remark, gbk(QStringLiteral("新备注")));
    }

    void editingOneRetailPriceUpdatesTheFooters() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        field<QLineEdit>(page->panel(), "retP")->setText(QStringLiteral("110"));
        QTest::keyClick(field<QLineEdit>(page->panel(), "code"), Qt::Key_Return); // Enter saves
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("250.0"));
        QCOMPARE(cell(*page, 0, ColRetP), QStringLiteral("110.0"));
        QCOMPARE(fx.stored("FSs_Code='E'").at(0).FSd_RetP, 110.0);
    }

    void editingTwoUnitsWithDifferentCodes() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {4, 2});
        page->onCommand(cmd::EditGoods);
        CStoreInputDlg* panel = page->panel();
        QCOMPARE(panel->recordCount(), 2);
        QCOMPARE(panel->windowTitle(), QStringLiteral("商品编辑(注意: 当前编辑针对所有选定商品)"));
        QCOMPARE(field<QLineEdit>(panel, "stoT")->text(), QString());
        QCOMPARE(field<QLineEdit>(panel, "reaP")->text(), QString());
        QCOMPARE(field<QLineEdit>(panel, "code")->text(), QStringLiteral("A")); // the first selected
        field<QLineEdit>(panel, "code")->setText(QStringLiteral("Z'1"));
        field<QComboBox>(panel, "type")->setEditText(QStringLiteral("不存在的类型"));
        panel->save();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"编辑\"2件商品信息"));
        const auto rows = fx.stored("FSs_Code='Z''1'");
        QCOMPARE(rows.size(), size_t(2));
        QVERIFY(rows[0].FSi_Id != rows[1].FSi_Id);
        for (const auto& r : rows) {
            QCOMPARE(r.FSi_Type, 1);
            QCOMPARE(r.FSs_Name, std::string("name-A")); // the template's values for both
            QCOMPARE(r.FSd_OriP, 5.0);
            QCOMPARE(r.FSt_StoT, GoodsFixture::unit("x", 0, 0).FSt_StoT);
        }
        QCOMPARE(cell(*page, 2, ColCode), QStringLiteral("Z'1"));
        QCOMPARE(cell(*page, 4, ColCode), QStringLiteral("Z'1"));
        QCOMPARE(cell(*page, 3, ColCode), QStringLiteral("B"));
    }

    void panelRefusesPricesItCannotKeep() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        CStoreInputDlg* panel = page->panel();
        field<QLineEdit>(panel, "whoP")->setText(QStringLiteral("1e26"));
        panel->save();
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("\"批发价(元)\"必须在0.0到99999999.9之间，请修改后重试"));
        QVERIFY(panel->isVisible()); // open on the field to mend
        QCOMPARE(panel->focusWidget(), field<QLineEdit>(panel, "whoP"));
        QCOMPARE(fx.stored("FSs_Code='E'").at(0).FSd_WhoP, 10.0);
        field<QLineEdit>(panel, "whoP")->setText(QStringLiteral("99999999.9"));
        panel->save();
        QVERIFY(!panel->isVisible());
        QCOMPARE(fx.stored("FSs_Code='E'").at(0).FSd_WhoP, 99999999.9);
    }

    void storedHugePriceIsNotWrittenBackChanged() {
        // A unit from an older store holds a price the edits cannot show whole.
        fx.insert({GoodsFixture::unit("Q", 2, 1e26)});
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("Q"));
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        field<QPlainTextEdit>(page->panel(), "remark")->setPlainText(QStringLiteral("只改备注"));
        page->panel()->save();
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("\"零售价(元)\"必须在0.0到99999999.9之间，请修改后重试"));
        const auto rows = fx.stored("FSs_Code='Q'");
        QCOMPARE(rows.at(0).FSd_RetP, 1e26);
        QVERIFY(rows.at(0).FSs_Remark.empty());
    }

    void panelFieldsDropWhatGbkCannotHold() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        CStoreInputDlg* panel = page->panel();
        QLineEdit* name = field<QLineEdit>(panel, "name");
        name->clear();
        fx.shell->statuses.clear();
        name->insert(QStringLiteral("新\U0001F600名"));
        QCOMPARE(name->text(), QStringLiteral("新名"));
        QCOMPARE(fx.shell->statuses, QStringList{unrepresentableTextMessage()});
        auto* supplier = field<QComboBox>(panel, "supplier");
        supplier->lineEdit()->insert(QStringLiteral("\U0001F600"));
        QCOMPARE(supplier->currentText(), QStringLiteral("未指定"));
        panel->save();
        QCOMPARE(fx.stored("FSs_Code='E'").at(0).FSs_Name, gbk(QStringLiteral("新名")));
    }

    void displayFieldsAreReadOnly() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        for (const char* name : {"stoT", "reaP", "salT"}) {
            QLineEdit* display = field<QLineEdit>(page->panel(), name);
            QVERIFY(display->isReadOnly());
            QVERIFY(!(display->focusPolicy() & Qt::TabFocus));
        }
        QVERIFY(!field<QLineEdit>(page->panel(), "code")->isReadOnly());
    }

    void panelClosedWithEscapeWritesNothing() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        field<QLineEdit>(page->panel(), "name")->setText(QStringLiteral("other"));
        QTest::keyClick(page->panel(), Qt::Key_Escape);
        QVERIFY(!page->panel()->isVisible());
        QCOMPARE(cell(*page, 0, ColName), QStringLiteral("name-E"));
        QCOMPARE(fx.stored("FSs_Name='other'").size(), size_t(0));
    }

    void failedEditReloadsFromTheStore() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0});
        page->onCommand(cmd::EditGoods);
        QCOMPARE(fx.core().exec_sql(
                     "CREATE TRIGGER keep BEFORE UPDATE ON Store BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        field<QLineEdit>(page->panel(), "retP")->setText(QStringLiteral("99"));
        page->panel()->save();
        QCOMPARE(fx.shell->failures.value(0),
                 QStringLiteral("未知异常导致商品信息\"编辑\"失败，放弃该次\"编辑\"操作"));
        QCOMPARE(cell(*page, 0, ColRetP), QStringLiteral("10.0"));
        QCOMPARE(page->footer()->text(ColRetP), QStringLiteral("150.0"));
    }

    void panelSurvivesAResortWhileOpen() {
        page->onCommand(cmd::SearchGoods);
        selectRows(*page, {0}); // code E
        page->onCommand(cmd::EditGoods);
        page->sortBy(ColCode, true); // E moves to the end
        field<QLineEdit>(page->panel(), "name")->setText(QStringLiteral("renamed"));
        page->panel()->save();
        QCOMPARE(cell(*page, 4, ColName), QStringLiteral("renamed"));
        QCOMPARE(cell(*page, 0, ColName), QStringLiteral("name-A"));
    }

    void doubleClickOpensThePanelForThatRow() {
        page->onCommand(cmd::SearchGoods);
        page->resize(1000, 400);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        QTableView* t = page->table();
        const QRect r = t->visualRect(page->model()->index(2, ColName));
        // A real double click is press, release, press, double click, release.
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mousePress(t->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(page->panel()->isVisible());
        QCOMPARE(page->panel()->recordCount(), 1);
        QCOMPARE(field<QLineEdit>(page->panel(), "code")->text(), QStringLiteral("C"));
    }

    void removingAUsedTypeShowsTheFallback() {
        QCOMPARE(fx.core().exec_sql("INSERT INTO Type VALUES(NULL,'Drinks');"), 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        const int drinks = fx.shell->st.types.back().FTi_Id;
        std::vector<vorn::SRec> units(10, GoodsFixture::unit("T", 1, 1));
        for (auto& u : units)
            u.FSi_Type = drinks;
        fx.insert(units);
        fx.shell->setRibbonText(cmd::GoodsCode, QStringLiteral("T"));
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(cell(*page, 0, ColType), QStringLiteral("Drinks"));

        page->setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CStoreTypeInputDlg&>(d);
            dlg.list()->setCurrentRow(dlg.list()->count() - 1);
            fx.boxes.answers = {true};
            dlg.removeSelected();
            dlg.save();
            return d.result();
        });
        const int refills = fx.shell->typeRefills;
        page->onCommand(cmd::GoodsTypes);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功修改1个\"商品类型\""));
        QCOMPARE(fx.core().get_srec_count(("FSi_Type=" + std::to_string(drinks)).c_str()), 0);
        QCOMPARE(fx.core().get_srec_count("FSi_Type=1"), 15);
        for (int r = 0; r < 10; ++r)
            QCOMPARE(cell(*page, r, ColType), QStringLiteral("未知"));
        QCOMPARE(fx.shell->st.types.size(), size_t(1));
        QCOMPARE(fx.shell->typeRefills, refills + 1);
    }

    void entryOutcomesAreReported() {
        page->setDialogRunner([](QDialog& d) {
            d.reject();
            return d.result();
        });
        page->onCommand(cmd::AddGoods);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"录入\"操作"));
        page->setDialogRunner([](QDialog& d) {
            QMetaObject::invokeMethod(&d, "save");
            return d.result();
        });
        page->onCommand(cmd::AddGoods);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"录入\"任何商品"));
        // Entering does not refresh the list.
        QCOMPARE(page->model()->rowCount(), 0);
    }

private:
    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;
};

QTEST_MAIN(TestStoreView)
#include "test_storeview.moc"
