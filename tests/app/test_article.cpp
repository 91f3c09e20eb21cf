// Goods by article in the real main window: the ribbon's check box swaps the
// goods tab's list, the frame reads its state from the page, 调价 and 入库 are
// enabled by the article row chosen, and the view and the tab fit 1024x768.
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "articlemode.h"
#include "articleview.h"
#include "frame_fixture.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "storeview.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

class TestFrameArticle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    void checkBoxThroughTheFrame() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        vorn::SRec u;
        u.FSs_Code = "6901";
        u.FSs_Name = "Cola";
        u.FSi_Type = u.FSi_Supplier = 1;
        u.FSd_RetP = 3;
        std::vector<vorn::SRec> units(4, u);
        units[3].FSi_Flag = 1;
        QCOMPARE(f.frame->state().core.insert_srec(units.data(), 4), 4);
        f.frame->selectTab(tabs::Goods);
        flush();
        auto* page = qobject_cast<CStoreView*>(f.frame->view());
        QVERIFY(page);
        QVERIFY(f.frame->isEnabled(cmd::ByArticle));
        QVERIFY(!f.frame->isChecked(cmd::ByArticle));

        f.frame->onCommand(cmd::ByArticle);
        flush();
        QVERIFY(f.frame->isChecked(cmd::ByArticle));
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到1种商品"));
        CArticleView* view = page->articles()->view();
        QVERIFY(view && view->isVisible());
        QVERIFY(!f.frame->isEnabled(cmd::EditGoods));
        QVERIFY(!view->button(cmd::SetPrices)->isEnabled());
        view->table()->selectRow(0);
        flush();
        QVERIFY(view->button(cmd::SetPrices)->isEnabled());
        QVERIFY(view->button(cmd::Restock)->isEnabled());

        f.frame->resize(1024, 768);
        flush();
        const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR", QStringLiteral("/tmp"));
        QVERIFY(f.frame->grab().save(QDir(dir).filePath(QStringLiteral("goods-by-article.png"))));
        QVERIFY(view->table()->horizontalHeader()->length() <= view->table()->viewport()->width());

        f.frame->onCommand(cmd::ByArticle);
        flush();
        QVERIFY(!f.frame->isChecked(cmd::ByArticle));
        QVERIFY(!view->isVisible());
        QVERIFY(page->table()->isVisible());
    }
};

QTEST_MAIN(TestFrameArticle)
#include "test_article.moc"
