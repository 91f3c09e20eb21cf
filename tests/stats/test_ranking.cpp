// The sales ranking dialog: a span and types give the store's figures per code
// with their sums below; a unit set back in stock leaves the ranking; header
// clicks sort and reverse; the export writes the rows as shown and the sums.
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>
#include <cmath>

#include "kit/page/footerstrip.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/text/gbk.h"
#include "rankingdlg.h"
#include "rankingmodel.h"
#include "statfixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

vorn::SRec sold(const char* code, int type, double ori, double rea, const QDateTime& when) {
    vorn::SRec r = soldUnit(type, ori, rea, when);
    r.FSs_Code = code;
    r.FSs_Name = gbk(QStringLiteral("商品") + QString::fromLatin1(code));
    return r;
}

QStringList column(const CSalesRankingDlg& dlg, int c) {
    QStringList out;
    for (int r = 0; r < dlg.table()->model()->rowCount(); ++r)
        out << dlg.table()->model()->index(r, c).data().toString();
    return out;
}

} // namespace

class TestRanking : public QObject {
    Q_OBJECT
private slots:
    void init() { fx.setUp(); }
    void cleanup() {
        setExportPathPrompt({});
        fx.tearDown();
    }

    void figuresAndSumsComeFromTheStore() {
        insertUnits(fx.core(), {sold("A", 1, 4.0, 9.5, at(2026, 5, 1, 0, 0, 0)),
                                sold("A", 1, 4.0, 9.5, at(2026, 5, 31, 23, 59, 59)),
                                sold("B", 1, 1.0, 30.0, at(2026, 5, 10)),
                                sold("C", 1, 1.0, 99.0, at(2026, 6, 1, 0, 0, 0))}); // after the span
        CSalesRankingDlg dlg(*fx.shell);
        dlg.setSpan(QDate(2026, 5, 1), QDate(2026, 5, 31));
        dlg.query();
        QCOMPARE(column(dlg, RankCode), (QStringList{"B", "A"}));
        QCOMPARE(column(dlg, RankPlace), (QStringList{"1", "2"}));
        QCOMPARE(column(dlg, RankQuantity), (QStringList{"1", "2"}));
        QCOMPARE(column(dlg, RankSales), (QStringList{"30.0", "19.0"}));
        QCOMPARE(column(dlg, RankCost), (QStringList{"1.0", "8.0"}));
        QCOMPARE(column(dlg, RankProfit), (QStringList{"29.0", "11.0"}));
        QCOMPARE(column(dlg, RankShare), (QStringList{"61.22%", "38.78%"}));
        QCOMPARE(column(dlg, RankName).first(), QStringLiteral("商品B"));
        double sums[2] = {0, 0};
        QCOMPARE(fx.core().get_srec_total(sums, "FSd_ReaP", "FSd_OriP",
                                          "FSi_Flag=1 AND FSt_SalT>='2026-05-01 00:00:00' AND "
                                          "FSt_SalT<'2026-06-01 00:00:00'"),
                 1);
        QCOMPARE(dlg.footer()->text(RankSales), rankingMoneyText(std::llround(sums[0] * 10)));
        QCOMPARE(dlg.footer()->text(RankCost), rankingMoneyText(std::llround(sums[1] * 10)));
        QCOMPARE(dlg.footer()->text(RankQuantity), QStringLiteral("3"));
        QCOMPARE(dlg.footer()->text(RankCode), QStringLiteral("2种商品"));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功统计2种商品的销售排行"));

        // A unit back in stock is no longer sold: the ranking follows the store.
        std::vector<vorn::SRec> b(1);
        QCOMPARE(fx.core().select_srec(b.data(), "FSs_Code='B'"), 1);
        b[0].FSi_Flag = 0;
        b[0].FSd_ReaP = 0;
        b[0].FSt_SalT = 0;
        QCOMPARE(fx.core().update_srec(b.data(), 1), 1);
        dlg.query();
        QCOMPARE(column(dlg, RankCode), (QStringList{"A"}));
        QCOMPARE(dlg.footer()->text(RankSales), QStringLiteral("19.0"));
        QCOMPARE(dlg.footer()->text(RankShare), QStringLiteral("100.00%"));
    }

    void typesAndAnEmptySpan() {
        QCOMPARE(fx.core().exec_sql("INSERT INTO Type VALUES(NULL,'Drinks');"), 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        QCOMPARE(fx.shell->st.types.back().FTi_Id, 2);
        insertUnits(fx.core(), {sold("A", 1, 1, 2, at(2026, 5, 2)), sold("B", 2, 1, 3, at(2026, 5, 2))});
        const struct {
            std::vector<int> types;
            QStringList codes;
        } cases[] = {{{}, {"B", "A"}}, {{1}, {"A"}}, {{2}, {"B"}}, {{1, 2}, {"B", "A"}}};
        for (const auto& c : cases) {
            CSalesRankingDlg dlg(*fx.shell);
            dlg.setSpan(QDate(2026, 5, 1), QDate(2026, 5, 2));
            dlg.setTypes(c.types);
            QCOMPARE(dlg.chosenTypes(), c.types);
            dlg.query();
            QCOMPARE(column(dlg, RankCode), c.codes);
        }
        CSalesRankingDlg dlg(*fx.shell);
        dlg.setSpan(QDate(2026, 5, 3), QDate(2026, 5, 9));
        dlg.query();
        QCOMPARE(dlg.table()->model()->rowCount(), 0);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未统计到任何商品的销售"));
        QCOMPARE(dlg.footer()->text(RankShare), QString());
    }

    void headerClicksSortAndReverse() {
        insertUnits(fx.core(), {sold("A", 1, 1, 5, at(2026, 5, 2)), sold("A", 1, 1, 5, at(2026, 5, 2)),
                                sold("B", 1, 9, 30, at(2026, 5, 2)), sold("C", 1, 0.5, 8, at(2026, 5, 2))});
        CSalesRankingDlg dlg(*fx.shell);
        dlg.setSpan(QDate(2026, 5, 1), QDate(2026, 5, 31));
        dlg.query();
        QHeaderView* header = dlg.table()->horizontalHeader();
        const struct {
            int section;
            QStringList codes;
        } clicks[] = {
            {RankCode, {"A", "B", "C"}},     {RankCode, {"C", "B", "A"}},   {RankQuantity, {"A", "C", "B"}},
            {RankQuantity, {"B", "C", "A"}}, {RankProfit, {"B", "A", "C"}}, {RankCost, {"B", "A", "C"}},
            {RankPlace, {"B", "A", "C"}},    {RankShare, {"B", "A", "C"}},  {RankShare, {"C", "A", "B"}},
        };
        for (const auto& c : clicks) {
            emit header->sectionClicked(c.section);
            QCOMPARE(column(dlg, RankCode), c.codes);
            QCOMPARE(column(dlg, RankPlace).first(), QStringLiteral("1"));
        }
        // A new query keeps the order chosen.
        dlg.query();
        QCOMPARE(column(dlg, RankCode), (QStringList{"C", "A", "B"}));
    }

    void exportWritesRowsAndSums() {
        insertUnits(fx.core(), {sold("A", 1, 1, 5, at(2026, 5, 2)), sold("B", 1, 2, 7, at(2026, 5, 2))});
        CSalesRankingDlg dlg(*fx.shell);
        dlg.setSpan(QDate(2026, 5, 1), QDate(2026, 5, 31));
        dlg.query();
        const QString path = fx.path(QStringLiteral("rank.csv"));
        setExportPathPrompt([&](QWidget*, const QString&, const QString&) { return path; });
        dlg.exportRows();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"),
                                                                                            Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("名次,商品编码,商品名称")));
        QVERIFY(lines[1].startsWith(QStringLiteral("1,B,")));
        QVERIFY(lines[3].startsWith(QStringLiteral("合计,2种商品,")));
        QVERIFY(lines[3].contains(QStringLiteral(",2,12.0,3.0,9.0,100.00%")));
        QVERIFY(fx.shell->statusText().startsWith(QStringLiteral("已导出2条商品销售排行记录")));

        // The look, for a person to check: Chinese, nothing cut, 1024x768.
        dlg.show();
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        dlg.grab().save(QStringLiteral("/tmp/g/ranking.png"));
    }

private:
    StoreFixture fx;
};

QTEST_MAIN(TestRanking)
#include "test_ranking.moc"
