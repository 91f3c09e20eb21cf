// The search condition, the sort clause and the load, without any widget.
#include <QTest>
#include <algorithm>
#include <limits>

#include "goodscells.h"
#include "goodsquery.h"
#include "goodsrows.h"
#include "goodsfixture.h"
#include "kit/text/gbk.h"
#include "kit/text/integertext.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

std::vector<vorn::TRec> someTypes() {
    std::vector<vorn::TRec> types(3);
    types[0].FTi_Id = 1;
    types[0].FTs_Name = gbk(QStringLiteral("未知"));
    types[1].FTi_Id = 4;
    types[1].FTs_Name = gbk(QStringLiteral("饮料"));
    types[2].FTi_Id = 7;
    types[2].FTs_Name = gbk(QStringLiteral("饮料")); // a second entry of the same name: the first wins
    return types;
}

std::string condition(const GoodsSearch& in) {
    std::string out = "unset";
    if (!buildGoodsCondition(in, someTypes(), out)) return "<refused>";
    return out;
}

} // namespace

class TestGoodsQuery : public QObject {
    Q_OBJECT

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    // Each state a unit can be in reads as the search's drop-down names it,
    // so a state shown can be searched for.
    void stateTextsMatchTheSearch() {
        for (int flag : {0, 1, 2}) {
            GoodsSearch in;
            in.state = choiceText(goodsStates(), flag);
            std::string cond;
            QVERIFY(buildGoodsCondition(in, {}, cond));
            QVERIFY2(cond.find("FSi_Flag=" + std::to_string(flag)) != std::string::npos, cond.c_str());
        }
        QCOMPARE(choiceText(goodsStates(), 2), QStringLiteral("已报损"));
    }

    void emptyInputsListEverything() {
        QCOMPARE(condition({}), std::string());
        QCOMPARE(queryText("", ""), std::string("1 "));
        QCOMPARE(queryText("", sortClauseOf(goodsColumns(), 1, false)), std::string("1  ORDER BY FSs_Name DESC"));
    }

    void eachInputAlone_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("code") << 0 << "A01"
                              << "FSs_Code='A01'";
        QTest::newRow("name") << 1 << "Cola"
                              << "FSs_Name='Cola'";
        QTest::newRow("known type") << 2 << "饮料"
                                    << "FSi_Type=4";
        QTest::newRow("fallback type") << 2 << "未知"
                                       << "FSi_Type=1";
        QTest::newRow("unknown type") << 2 << "玩具"
                                      << "FSi_Type=-1";
        QTest::newRow("size") << 3 << "500ml"
                              << "FSs_Size='500ml'";
        QTest::newRow("in stock") << 4 << "库存中"
                                  << "FSi_Flag=0";
        QTest::newRow("sold") << 4 << "已销售"
                              << "FSi_Flag=1";
        QTest::newRow("written off") << 4 << "已报损"
                                     << "FSi_Flag=2";
        QTest::newRow("other state") << 4 << "返厂"
                                     << "FSi_Flag=-1";
        QTest::newRow("quote in code") << 0 << "O'Neil"
                                       << "FSs_Code='O''Neil'";
        QTest::newRow("quote in size") << 3 << "1'2"
                                       << "FSs_Size='1''2'";
    }
    void eachInputAlone() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        GoodsSearch in;
        QString* fields[] = {&in.code, &in.name, &in.type, &in.size, &in.state};
        *fields[field] = text;
        QCOMPARE(condition(in), expected.toStdString());
    }

    void chineseNameIsSearchedInGbk() {
        GoodsSearch in;
        in.name = QStringLiteral("可乐");
        QCOMPARE(condition(in), "FSs_Name='" + gbk(QStringLiteral("可乐")) + "'");
    }

    void spans() {
        GoodsSearch in;
        in.stockFrom = QDate(2012, 1, 1);
        in.stockTo = QDate(2012, 1, 31);
        QCOMPARE(condition(in),
                 std::string("FSt_StoT>='2012-01-01 00:00:00' AND FSt_StoT<='2012-01-31 23:59:59'"));
        GoodsSearch sale;
        sale.saleFrom = QDate(2011, 5, 1);
        sale.saleTo = QDate(2011, 5, 1);
        QCOMPARE(condition(sale),
                 std::string("FSt_SalT>='2011-05-01 00:00:00' AND FSt_SalT<='2011-05-01 23:59:59'"));
    }

    void allInputsInFixedOrder() {
        GoodsSearch in;
        // Filled in another order than the clauses come out.
        in.saleFrom = QDate(2012, 3, 1);
        in.saleTo = QDate(2012, 3, 2);
        in.state = QStringLiteral("已销售");
        in.size = QStringLiteral("L");
        in.stockFrom = QDate(2012, 1, 1);
        in.stockTo = QDate(2012, 2, 1);
        in.type = QStringLiteral("饮料");
        in.name = QStringLiteral("N");
        in.code = QStringLiteral("C");
        QCOMPARE(condition(in),
                 std::string("FSs_Code='C' AND FSs_Name='N' AND FSi_Type=4 AND FSs_Size='L' AND "
                             "FSi_Flag=1 AND FSt_StoT>='2012-01-01 00:00:00' AND "
                             "FSt_StoT<='2012-02-01 23:59:59' AND FSt_SalT>='2012-03-01 "
                             "00:00:00' AND FSt_SalT<='2012-03-02 23:59:59'"));
    }

    void sortClauses() {
        const char* keys[] = {"FSs_Code", "FSs_Name", "FSi_Type", "FSs_Size", "FSd_OriP",    "FSd_RetP",
                              "FSt_StoT", "FSd_ReaP", "FSt_SalT", "FSi_Flag", "FSi_Supplier"};
        for (int c = 0; c <= 10; ++c) {
            QCOMPARE(sortClauseOf(goodsColumns(), c, true), std::string(" ORDER BY ") + keys[c] + " ASC");
            QCOMPARE(sortClauseOf(goodsColumns(), c, false), std::string(" ORDER BY ") + keys[c] + " DESC");
        }
        QCOMPARE(sortClauseOf(goodsColumns(), -1, false), std::string(" ORDER BY FSs_Code ASC"));
        QCOMPARE(sortClauseOf(goodsColumns(), ColRemark, true), std::string());
        QCOMPARE(sortClauseOf(goodsColumns(), 12, true), std::string());
    }

    void sortClauseFollowsTheCondition() {
        GoodsSearch in;
        in.code = QStringLiteral("A01");
        QCOMPARE(queryText(condition(in), ""), std::string("FSs_Code='A01'"));
        QCOMPARE(queryText(condition(in), sortClauseOf(goodsColumns(), ColName, false)),
                 std::string("FSs_Code='A01' ORDER BY FSs_Name DESC"));
    }

    void textGbkCannotHoldIsRefused() {
        GoodsSearch in;
        in.code = QStringLiteral("A\U0001F600");
        std::string out = "x";
        QVERIFY(!buildGoodsCondition(in, someTypes(), out));
        QVERIFY(out.empty());
    }

    void loadFindsQuotedCodeAndSorts() {
        fx.insert({GoodsFixture::unit("it's", 1, 2), GoodsFixture::unit("B", 1, 3),
                   GoodsFixture::unit("A", 1, 4), GoodsFixture::unit("it", 1, 5)});
        GoodsSearch in;
        in.code = QStringLiteral("it's");
        std::string cond;
        QVERIFY(buildGoodsCondition(in, fx.shell->st.types, cond));
        std::vector<vorn::SRec> rows(5); // replaced, not appended to
        QCOMPARE(loadQueried(fx.core(), cond, "", rows), 1);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].FSs_Code, std::string("it's"));

        QCOMPARE(loadQueried(fx.core(), "", sortClauseOf(goodsColumns(), ColRetP, false), rows), 4);
        QCOMPARE(rows.size(), size_t(4));
        for (size_t i = 1; i < rows.size(); ++i)
            QVERIFY(rows[i - 1].FSd_RetP > rows[i].FSd_RetP);
        QCOMPARE(loadQueried(fx.core(), "", sortClauseOf(goodsColumns(), -1, true), rows), 4);
        QCOMPARE(rows.front().FSs_Code, std::string("A"));
    }

    void loadNothingAndFailure() {
        fx.insert({GoodsFixture::unit("A", 1, 1)});
        std::vector<vorn::SRec> rows(3);
        QCOMPARE(loadQueried(fx.core(), "FSs_Code='none'", " ORDER BY FSs_Name ASC", rows), 0);
        QVERIFY(rows.empty());
        rows.resize(2);
        QCOMPARE(loadQueried(fx.core(), "FSs_Code=='", "", rows), -1);
        QVERIFY(rows.empty());
    }

    void removingRowsKeepsTheOthersInOrder() {
        std::vector<vorn::SRec> rows;
        for (int i = 0; i < 6; ++i) {
            rows.push_back(GoodsFixture::unit(std::to_string(i), i, i));
            rows.back().FSi_Id = 100 + i;
        }
        QCOMPARE(removeGoodsRows(rows, {4, 1, 4, -1, 9}), 2);
        QCOMPARE(rows.size(), size_t(4));
        const int ids[] = {100, 102, 103, 105};
        for (size_t i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i].FSi_Id, ids[i]);
        QCOMPARE(removeGoodsRows(rows, {0, 1, 2, 3}), 4);
        QVERIFY(rows.empty());
    }

    void editedUnitsFindTheirRowsAfterAResort() {
        std::vector<vorn::SRec> rows;
        for (int i = 0; i < 4; ++i) {
            rows.push_back(GoodsFixture::unit("c" + std::to_string(i), 1, 1));
            rows.back().FSi_Id = 10 + i;
        }
        std::vector<vorn::SRec> edited = {rows[1], rows[3]};
        for (auto& u : edited)
            u.FSs_Remark = "changed";
        std::reverse(rows.begin(), rows.end()); // ids now 13 12 11 10
        QCOMPARE(applyEditedUnits(rows, {1, 3}, edited), 2);
        QCOMPARE(rows[0].FSs_Remark, std::string("changed")); // id 13
        QCOMPARE(rows[2].FSs_Remark, std::string("changed")); // id 11
        QVERIFY(rows[1].FSs_Remark.empty());
        QVERIFY(rows[3].FSs_Remark.empty());
    }

    void totalsAndCells() {
        std::vector<vorn::SRec> rows = {GoodsFixture::unit("a", 1.25, 2.5), GoodsFixture::unit("b", 3, 4)};
        rows[1].FSd_ReaP = 3.5;
        const GoodsTotals t = sumGoods(rows);
        QCOMPARE(t.ori, 4.25);
        QCOMPARE(t.ret, 6.5);
        QCOMPARE(t.rea, 3.5);

        std::vector<vorn::SPRec> suppliers(1);
        suppliers[0].FSPi_Id = 1;
        suppliers[0].FSPs_Name = gbk(QStringLiteral("未指定"));
        rows[0].FSi_Supplier = 99; // no such supplier: the fallback's name
        rows[0].FSi_Flag = 7;
        QCOMPARE(goodsCellText(rows[0], ColSupplier, someTypes(), suppliers), QStringLiteral("未指定"));
        QCOMPARE(goodsCellText(rows[0], ColFlag, someTypes(), suppliers), QStringLiteral("Err"));
        QCOMPARE(goodsCellText(rows[0], ColSalT, someTypes(), suppliers), QString());
        QCOMPARE(goodsCellText(rows[0], 12, someTypes(), suppliers), QStringLiteral("Err"));
        rows[0].FSi_Type = 7;
        QCOMPARE(goodsCellText(rows[0], ColType, someTypes(), suppliers), QStringLiteral("饮料"));
    }

    void pricesAsTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("with unit") << "12.5元" << true << 12.5;
        QTest::newRow("blanks") << "  3" << true << 3.0;
        QTest::newRow("no number") << "abc" << true << 0.0;
        QTest::newRow("empty") << "" << true << 0.0;
        QTest::newRow("highest") << "99999999.9" << true << 99999999.9;
        QTest::newRow("underflow") << "1e-400" << true << 0.0;
        QTest::newRow("above") << "99999999.95" << false << 0.0;
        QTest::newRow("1e26") << "1e26" << false << 0.0;
        QTest::newRow("beyond double") << "1e400" << false << 0.0;
        QTest::newRow("long digits") << QString(400, QLatin1Char('9')) << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("negative") << "-0.5" << false << 0.0;
    }
    void pricesAsTyped() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        double out = -7.0;
        QCOMPARE(parsePrice(text, out), accepted);
        QCOMPARE(out, accepted ? value : -7.0);
    }

    void integersAsTyped() {
        QCOMPARE(readInteger(QStringLiteral("abc")).value, 0);
        QCOMPARE(readInteger(QStringLiteral("12x")).value, 12);
        QCOMPARE(readInteger(QStringLiteral("-5")).value, -5);
    }

    void footerTotalsNeverHideASum() {
        QCOMPARE(totalText(0.0), QStringLiteral("0.0"));
        QCOMPARE(totalText(1234.25), QStringLiteral("1234.3"));
        QCOMPARE(totalText(-3.5), QStringLiteral("-3.5"));
        QCOMPARE(totalText(999999999999999.9), QStringLiteral("999999999999999.9"));
        QCOMPARE(totalText(1e26), QStringLiteral("1e+26"));
        QCOMPARE(totalText(-1.5e300), QStringLiteral("-1.5e+300"));
        QCOMPARE(totalText(std::numeric_limits<double>::infinity()), QStringLiteral("溢出"));
        QCOMPARE(totalText(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("溢出"));
        // A sum that overflows while adding up is reported, not shown as nothing.
        std::vector<vorn::SRec> rows(3, GoodsFixture::unit("x", 1e308, 1.0));
        QCOMPARE(totalText(sumGoods(rows).ori), QStringLiteral("溢出"));
        QCOMPARE(totalText(sumGoods(rows).ret), QStringLiteral("3.0"));
    }

private:
    GoodsFixture fx;
};

QTEST_MAIN(TestGoodsQuery)
#include "test_goodsquery.moc"
