// The goods by article on the goods tab: the check box that swaps the list of
// units for the articles and back, the columns and footers against the store,
// the search box, the order, the export, and "调价" and "入库" from a row.
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "articlemode.h"
#include "articlemodel.h"
#include "articlepricedlg.h"
#include "articleview.h"
#include "goodscells.h"
#include "goodsfixture.h"
#include "kit/text/csv.h"
#include "kit/page/footerstrip.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetwriter.h"
#include "res/commandids.h"
#include "storeadddlg.h"
#include "storeview.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

// Units of a code in a state, with the retail (and every other selling) price.
std::vector<vorn::SRec> units(const std::string& code, const QString& name, int n, int flag, double retail) {
    vorn::SRec u = GoodsFixture::unit(code, 1, retail);
    u.FSs_Name = gbk(name);
    u.FSi_Flag = flag;
    return std::vector<vorn::SRec>(static_cast<size_t>(n), u);
}

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

} // namespace

class TestArticle : public QObject {
    Q_OBJECT

    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;

    CArticleView& view() { return *page->articles()->view(); }
    QString cell(int row, int col) { return view().model()->index(row, col).data().toString(); }
    void select(int row) {
        view().table()->selectionModel()->select(
            view().model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    int count(const std::string& cond) { return fx.core().get_srec_count(cond.c_str()); }

private slots:
    void init() {
        fx.setUp();
        fx.insert(units("6901", QStringLiteral("清泉料酒"), 12, 0, 8.5));
        fx.insert(units("6901", QStringLiteral("清泉料酒"), 30, 1, 8));
        fx.insert(units("6901", QStringLiteral("清泉料酒"), 2, 2, 8));
        fx.insert(units("7002", QStringLiteral("Cola"), 5, 1, 3));
        fx.insert(units("50%", QStringLiteral("half"), 1, 0, 1));
        page = std::make_unique<CStoreView>(*fx.shell);
    }
    void cleanup() {
        setExportPathPrompt({});
        page.reset();
        fx.tearDown();
    }

    void checkBoxSwapsTheViewsAndBack() {
        QVERIFY(!page->isCommandChecked(cmd::ByArticle));
        QVERIFY(page->isCommandEnabled(cmd::ByArticle));
        QVERIFY(!page->isCommandEnabled(cmd::SetPrices));
        QVERIFY(!page->isCommandEnabled(cmd::Restock));
        QVERIFY(page->onCommand(cmd::ByArticle));
        QVERIFY(page->isCommandChecked(cmd::ByArticle));
        QVERIFY(view().isVisibleTo(page.get()));
        QVERIFY(!page->table()->isVisibleTo(page.get()));
        QVERIFY(!page->footer()->isVisibleTo(page.get()));
        // Shown at once, listing every article.
        QCOMPARE(fx.shell->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到3种商品"));
        QCOMPARE(view().model()->rowCount(), 3);
        // What works on single units waits for their view.
        for (int id : {cmd::EditGoods, cmd::RemoveGoods, cmd::ImportGoods})
            QVERIFY(!page->isCommandEnabled(id));
        QVERIFY(page->isCommandEnabled(cmd::SearchGoods));
        QVERIFY(page->isCommandEnabled(cmd::ExportGoods));

        QVERIFY(page->onCommand(cmd::ByArticle));
        QVERIFY(!page->isCommandChecked(cmd::ByArticle));
        QVERIFY(!view().isVisibleTo(page.get()));
        QVERIFY(page->table()->isVisibleTo(page.get()));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功切换到逐件列出的商品列表"));
        // The units' search is the units' again.
        QVERIFY(page->onCommand(cmd::SearchGoods));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到50件商品"));
        QCOMPARE(page->model()->rowCount(), 50);
    }

    void columnsAndFootersFollowTheStore() {
        page->onCommand(cmd::ByArticle);
        QCOMPARE(view().model()->columnCount(), int(ArticleColumnCount));
        QCOMPARE(view().model()->headerData(ArtInStock, Qt::Horizontal).toString(), QStringLiteral("库存"));
        QCOMPARE(cell(1, ArtCode), QStringLiteral("6901"));
        QCOMPARE(cell(1, ArtName), QStringLiteral("清泉料酒"));
        QCOMPARE(cell(1, ArtType), QStringLiteral("未知"));
        QCOMPARE(cell(1, ArtSupplier), QStringLiteral("未指定"));
        QCOMPARE(cell(1, ArtInStock), QString::number(count("FSs_Code='6901' AND FSi_Flag=0")));
        QCOMPARE(cell(1, ArtSold), QString::number(count("FSs_Code='6901' AND FSi_Flag=1")));
        QCOMPARE(cell(1, ArtWrittenOff), QString::number(count("FSs_Code='6901' AND FSi_Flag=2")));
        QCOMPARE(cell(1, ArtRetail), QStringLiteral("8.5"));
        QCOMPARE(cell(2, ArtInStock), QStringLiteral("0"));
        QCOMPARE(view().footer()->text(ArtCode), QStringLiteral("共3种"));
        QCOMPARE(view().footer()->text(ArtInStock), QString::number(count("FSi_Flag=0")));
        QCOMPARE(view().footer()->text(ArtSold), QString::number(count("FSi_Flag=1")));
        QCOMPARE(view().footer()->text(ArtWrittenOff), QString::number(count("FSi_Flag=2")));
    }

    void searchBoxFindsPartsAsTypedOnEnter() {
        page->onCommand(cmd::ByArticle);
        const struct {
            QString text;
            QStringList codes;
        } cases[] = {
            {QStringLiteral("泉料"), {"6901"}},
            {QStringLiteral("col"), {}},
            {QStringLiteral("Col"), {"7002"}},
            {QStringLiteral("%"), {"50%"}},
            {QStringLiteral("0"), {"50%", "6901", "7002"}},
        };
        for (const auto& c : cases) {
            view().searchEdit()->setText(c.text);
            QTest::keyClick(view().searchEdit(), Qt::Key_Return);
            QStringList got;
            for (int r = 0; r < view().model()->rowCount(); ++r)
                got << cell(r, ArtCode);
            QCOMPARE(got, c.codes);
            QCOMPARE(fx.shell->statusText(),
                     QStringLiteral("在当前设定条件下，\"搜索\"到%1种商品").arg(c.codes.size()));
        }
        // The clear command empties the box; the next search lists all again.
        page->onCommand(cmd::ClearGoodsSearch);
        QVERIFY(view().searchEdit()->text().isEmpty());
        page->onCommand(cmd::SearchGoods);
        QCOMPARE(view().model()->rowCount(), 3);
    }

    void headerClickOrdersThroughTheStore() {
        page->onCommand(cmd::ByArticle);
        view().sortBy(ArtSold, false);
        QCOMPARE(cell(0, ArtCode), QStringLiteral("6901"));
        QCOMPARE(cell(1, ArtCode), QStringLiteral("7002"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功按\"已售\"降序排列3种商品"));
        view().sortBy(ArtRetail, true);
        QCOMPARE(cell(0, ArtCode), QStringLiteral("50%"));
        QCOMPARE(cell(2, ArtCode), QStringLiteral("6901"));
    }

    void orderTextRoundTrips() {
        for (int c = 0; c < ArticleColumnCount; ++c) {
            for (bool asc : {true, false}) {
                vorn::ArticleOrder order;
                bool desc = !asc;
                readArticleOrder(articleOrderText(c, asc), order, desc);
                QCOMPARE(desc, !asc);
                QCOMPARE(articleOrderText(c, asc).empty(), false);
                if (c == ArtCode) QCOMPARE(order, vorn::ArticleOrder::Code);
                if (c == ArtEntry) QCOMPARE(order, vorn::ArticleOrder::Entry);
            }
        }
        vorn::ArticleOrder order = vorn::ArticleOrder::Sold;
        bool desc = true;
        for (const char* junk : {"", "x", "99:d", "3:", "3:dd", "-1:d"}) {
            readArticleOrder(junk, order, desc);
            QCOMPARE(order, vorn::ArticleOrder::Code);
            QVERIFY(!desc);
        }
        QCOMPARE(articleOrderText(ArticleColumnCount, true), std::string());
    }

    void exportWritesTheListedArticles() {
        page->onCommand(cmd::ByArticle);
        view().sortBy(ArtInStock, false);
        const QString path = fx.path(QStringLiteral("汇总.csv"));
        setExportPathPrompt([&](QWidget*, const QString&, const QString&) { return path; });
        QVERIFY(page->onCommand(cmd::ExportGoods));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const std::vector<CsvRecord> rec = parseCsv(decodeText(f.readAll(), TextEncoding::Utf8));
        QCOMPARE(rec.size(), size_t(4));
        QCOMPARE(rec[0].fields, articleSheetHeadings());
        QCOMPARE(rec[1].fields.mid(0, 10),
                 (QStringList{"6901", "清泉料酒", "未知", "S", "未指定", "12", "30", "2", "1.0", "8.5"}));
        QCOMPARE(rec[3].fields[0], QStringLiteral("7002"));
    }

    void priceChangeFromARow() {
        page->onCommand(cmd::ByArticle);
        QVERIFY(!page->isCommandEnabled(cmd::SetPrices));
        select(2); // 7002: nothing in stock to reprice
        QVERIFY(!page->isCommandEnabled(cmd::SetPrices));
        QVERIFY(page->isCommandEnabled(cmd::Restock));
        QVERIFY(!view().button(cmd::SetPrices)->isEnabled());
        QVERIFY(view().button(cmd::Restock)->isEnabled());
        select(1);
        QVERIFY(page->isCommandEnabled(cmd::SetPrices));
        QVERIFY(view().button(cmd::SetPrices)->isEnabled());

        QStringList prefilled;
        view().setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CArticlePriceDlg&>(d);
            for (int p = 0; p < vorn::kPriceLevels; ++p)
                prefilled << dlg.priceEdit(p)->text();
            dlg.priceEdit(vorn::kRetailPrice)->setText(QStringLiteral("9.9"));
            dlg.priceEdit(vorn::kSpecialPrice)->setText(QStringLiteral("7"));
            dlg.save();
            return d.result();
        });
        view().button(cmd::SetPrices)->click();
        QCOMPARE(prefilled, QStringList(5, QStringLiteral("8.5")));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功为12件库存商品\"调价\""));
        QCOMPARE(count("FSs_Code='6901' AND FSi_Flag=0 AND FSd_RetP=9.9 AND FSd_SpeP=7 AND FSd_MemP=8.5"),
                 12);
        QCOMPARE(count("FSs_Code='6901' AND FSi_Flag<>0 AND FSd_RetP=8"), 32);
        QCOMPARE(cell(1, ArtRetail), QStringLiteral("9.9"));
        QVERIFY(!view().button(cmd::SetPrices)->isEnabled()); // the reload let go of the row
        std::vector<vorn::PriceHistoryRec> h;
        QCOMPARE(vorn::Articles(fx.core()).select_history("6901", h), 1);
        QCOMPARE(h[0].units, 12);
    }

    void priceDialogOutcomesAreReported() {
        page->onCommand(cmd::ByArticle);
        select(1);
        const struct {
            QString retail;
            bool cancel;
            QString status, failure;
        } cases[] = {
            {QStringLiteral("9"), true, QStringLiteral("放弃该次商品\"调价\"操作"), QString()},
            {QStringLiteral("8.5"), false, QStringLiteral("未对任何商品\"调价\""), QString()},
            {QStringLiteral("-1"), true, QStringLiteral("放弃该次商品\"调价\"操作"),
             priceRangeMessage(QStringLiteral("零售价(元)"))},
        };
        for (const auto& c : cases) {
            fx.shell->failures.clear();
            view().setDialogRunner([&](QDialog& d) {
                auto& dlg = static_cast<CArticlePriceDlg&>(d);
                dlg.priceEdit(vorn::kRetailPrice)->setText(c.retail);
                if (!c.cancel || !c.failure.isEmpty()) dlg.save();
                if (c.cancel) d.reject();
                return d.result();
            });
            page->onCommand(cmd::SetPrices);
            QCOMPARE(fx.shell->statusText(), c.status);
            QCOMPARE(fx.shell->failures.join(QString()), c.failure);
        }
        QCOMPARE(count("FSd_RetP=8.5"), 12);
        // A store that refuses the history takes nothing and says so.
        QCOMPARE(fx.core().exec_sql("DROP TABLE PriceHistory;"), 0);
        view().setDialogRunner([](QDialog& d) {
            auto& dlg = static_cast<CArticlePriceDlg&>(d);
            dlg.priceEdit(vorn::kRetailPrice)->setText(QStringLiteral("20"));
            dlg.save();
            if (d.result() != QDialog::Accepted) d.reject();
            return d.result();
        });
        page->onCommand(cmd::SetPrices);
        QVERIFY(fx.shell->failures.last().startsWith(QStringLiteral("未知异常导致商品\"调价\"失败")));
        QCOMPARE(count("FSd_RetP=8.5"), 12);
    }

    void restockOpensEntryPrefilledAndRelists() {
        page->onCommand(cmd::ByArticle);
        select(1);
        QString code, name, retail;
        view().setDialogRunner([&](QDialog& d) {
            code = field<QLineEdit>(&d, "code")->text();
            name = field<QLineEdit>(&d, "name")->text();
            retail = field<QLineEdit>(&d, "speP")->text();
            field<QLineEdit>(&d, "quantity")->setText(QStringLiteral("3"));
            auto& dlg = static_cast<CStoreAddDlg&>(d);
            dlg.addLine();
            dlg.save();
            return d.result();
        });
        view().button(cmd::Restock)->click();
        QCOMPARE(code, QStringLiteral("6901"));
        QCOMPARE(name, QStringLiteral("清泉料酒"));
        QCOMPARE(retail, QStringLiteral("8.5"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"录入\"3件商品"));
        QCOMPARE(count("FSs_Code='6901' AND FSi_Flag=0"), 15);
        QCOMPARE(cell(1, ArtInStock), QStringLiteral("15"));
    }

    void pictureFitsTheScreen() {
        page->onCommand(cmd::ByArticle);
        select(1);
        page->resize(1024, 600);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const QImage shot = page->grab().toImage();
        QVERIFY(shot.save(QStringLiteral("/tmp/article-view.png")));
        int width = 0;
        for (int c = 0; c < ArticleColumnCount; ++c)
            width += view().table()->horizontalHeader()->sectionSize(c);
        QVERIFY2(width <= 1024, qPrintable(QString::number(width)));
        CArticlePriceDlg dlg(*fx.shell, articleState(*fx.shell).rows[1]);
        dlg.show();
        QVERIFY(dlg.grab().toImage().save(QStringLiteral("/tmp/article-price.png")));
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
    }
};

QTEST_MAIN(TestArticle)
#include "test_article.moc"
