// A unit written off (returned damaged) reads "已报损" in the goods list and in
// its editing panel, and the state drop-down of the search finds it.
#include <QComboBox>
#include <QTableView>
#include <QTest>

#include "goodscells.h"
#include "goodsfixture.h"
#include "storeinputdlg.h"
#include "storeview.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

class TestWrittenOff : public QObject {
    Q_OBJECT

    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;

    QString cell(int row, int col) { return page->model()->data(page->model()->index(row, col)).toString(); }

private slots:
    void init() {
        fx.setUp();
        // One unit in each state, codes by state.
        std::vector<vorn::SRec> units;
        for (int flag : {0, 1, 2}) {
            vorn::SRec u = GoodsFixture::unit(std::string(1, char('P' + flag)), 1, 10);
            u.FSi_Flag = flag;
            units.push_back(u);
        }
        fx.insert(units);
        page = std::make_unique<CStoreView>(*fx.shell);
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void searchedAndShownByState() {
        fx.shell->comboItems[cmd::GoodsState] << choiceText(goodsStates(), 2);
        for (int flag : {0, 1, 2}) {
            fx.shell->setRibbonIndex(cmd::GoodsState, flag);
            QVERIFY(page->onCommand(cmd::SearchGoods));
            QCOMPARE(page->model()->rowCount(), 1);
            QCOMPARE(cell(0, ColFlag), choiceText(goodsStates(), flag));
            QCOMPARE(cell(0, ColCode), QString(QChar('P' + flag)));
        }
        QCOMPARE(cell(0, ColFlag), QStringLiteral("已报损"));

        page->table()->selectRow(0);
        QVERIFY(page->onCommand(cmd::EditGoods));
        auto* state = page->panel()->findChild<QComboBox*>(QStringLiteral("state"));
        QVERIFY(state);
        QCOMPARE(state->currentText(), QStringLiteral("已报损"));
    }
};

QTEST_MAIN(TestWrittenOff)
#include "test_writtenoff.moc"
