// The counter's money and price rules, without a store or a widget.
#include <QList>
#include <QTest>
#include <limits>

#include "vorn/sqltext.h"

#include "pricing.h"
#include "salecounter.h"
#include "salelist.h"

using namespace vorn::ui;

namespace {
vorn::SRec unit(int id, double ret, double mem, double gol, double who = 0, double spe = 0) {
    vorn::SRec u;
    u.FSi_Id = id;
    u.FSs_Code = "C1";
    u.FSs_Name = "n";
    u.FSd_RetP = ret;
    u.FSd_MemP = mem;
    u.FSd_GolP = gol;
    u.FSd_WhoP = who;
    u.FSd_SpeP = spe;
    u.FSd_ReaP = ret;
    return u;
}
} // namespace

class TestPricing : public QObject {
    Q_OBJECT
private slots:
    void tenthsRoundAsMoneyIsShown() {
        QCOMPARE(toTenths(0.1), int64_t(1));
        QCOMPARE(toTenths(0.2), int64_t(2));
        QCOMPARE(toTenths(11.25), int64_t(113)); // halfway: away from zero
        QCOMPARE(toTenths(12.35), int64_t(124)); // 12.3499999... as a double, 12.35 as typed
        QCOMPARE(toTenths(-11.25), int64_t(-113));
        QCOMPARE(toTenths(0.04), int64_t(0));
        QCOMPARE(toTenths(2.96), int64_t(30));
        QVERIFY(toTenths(1e300) > 0); // clamped, not overflowed
        QVERIFY(toTenths(-1e300) < 0);
        QCOMPARE(toTenths(std::numeric_limits<double>::quiet_NaN()), int64_t(0));
        // Whatever the double, the tenths are what format_money shows.
        for (double v : {0.05, 0.15, 1.45, 2.675, 99.95, 123456.75, 0.3 + 1e-12})
            QCOMPARE(vorn::ui::tenthsText(toTenths(v)), QString::fromStdString(vorn::format_money(v)));
    }

    void tenthsTexts_data() {
        QTest::addColumn<qint64>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0.0";
        QTest::newRow("three tenths") << qint64(3) << "0.3";
        QTest::newRow("negative") << qint64(-15) << "-1.5";
        QTest::newRow("small negative") << qint64(-4) << "-0.4";
        QTest::newRow("large") << qint64(1234567891) << "123456789.1";
    }
    void tenthsTexts() {
        QFETCH(qint64, tenths);
        QFETCH(QString, text);
        QCOMPARE(vorn::ui::tenthsText(tenths), text);
        QCOMPARE(vorn::ui::tenthsValue(tenths), text.toDouble());
    }

    void pointOnePlusPointTwoIsPointThree() {
        // As doubles the sum is 0.30000000000000004 and a payment of 0.3 looks short.
        QVERIFY(0.1 + 0.2 > 0.3);
        int64_t paid = 0;
        QVERIFY(parseAmount(QStringLiteral("0.3"), paid));
        QCOMPARE(toTenths(0.1) + toTenths(0.2), paid);
        QCOMPARE(paid - (toTenths(0.1) + toTenths(0.2)), int64_t(0));
    }

    void amountsAsTyped() {
        int64_t t = -1;
        QVERIFY(parseAmount(QStringLiteral("12"), t));
        QCOMPARE(t, int64_t(120));
        QVERIFY(parseAmount(QStringLiteral("12."), t));
        QCOMPARE(t, int64_t(120));
        QVERIFY(parseAmount(QStringLiteral(".5"), t));
        QCOMPARE(t, int64_t(5));
        QVERIFY(parseAmount(QStringLiteral("0"), t));
        QCOMPARE(t, int64_t(0));
        QVERIFY(parseAmount(QStringLiteral("999999999.9"), t));
        QCOMPARE(t, int64_t(9999999999));
        t = 77;
        for (const char* bad : {"", ".", "1.25", "abc", "1,5", "-1", "1.2.3", " 1"})
            QVERIFY2(!parseAmount(QString::fromLatin1(bad), t), bad);
        QCOMPARE(t, int64_t(77)); // refused text leaves the amount alone
    }

    void pointsTruncateTowardZero() {
        QCOMPARE(pointsFor(129), 12);
        QCOMPARE(pointsFor(9), 0);
        QCOMPARE(pointsFor(0), 0);
        QCOMPARE(pointsFor(-19), -1);
    }

    void ratePricesFromRetail() {
        double f = 0;
        QVERIFY(parseRate(QStringLiteral("9"), f));
        QCOMPARE(f, 0.9);
        QCOMPARE(ratePrice(f, 12.0), 10.8);
        QCOMPARE(ratePrice(f, 12.5), 11.3); // 11.25 lies halfway: away from zero
        QVERIFY(parseRate(QStringLiteral("10"), f));
        QCOMPARE(ratePrice(f, 12.5), 12.5);
        QVERIFY(parseRate(QStringLiteral("1"), f));
        QCOMPARE(ratePrice(f, 12.5), 1.3); // 1.25
        QVERIFY(parseRate(QStringLiteral("8.5"), f));
        QCOMPARE(ratePrice(f, 20.0), 17.0);
        QVERIFY(parseRate(QStringLiteral("  9.5abc"), f)); // read as atof reads it
        QCOMPARE(f, 0.95);
    }

    void ratesOutOfRangeRefused() {
        for (const char* bad : {"0.5", "11", "abc", "", "0.99", "10.01", "-9", "nan", "inf", "1e5"}) {
            double f = 0.42;
            QVERIFY2(!parseRate(QString::fromLatin1(bad), f), bad);
            QCOMPARE(f, 0.42);
        }
        // Only the first 31 characters are read.
        double f = 0;
        QVERIFY(parseRate(QStringLiteral("9") + QString(40, QLatin1Char('0')), f) == false);
        QVERIFY(parseRate(QString(30, QLatin1Char(' ')) + QStringLiteral("9"), f));
        QVERIFY(!parseRate(QString(31, QLatin1Char(' ')) + QStringLiteral("9"), f));
    }

    void priceLevels() {
        const vorn::SRec u = unit(1, 10.0, 9.0, 8.0, 7.0, 6.0);
        QCOMPARE(addedPrice(u, kNoMember), 10.0);
        QCOMPARE(addedPrice(u, kOrdinaryMember), 9.0);
        QCOMPARE(addedPrice(u, kGoldMember), 8.0);
        QCOMPARE(addedPrice(u, 7), 10.0);
        const double expected[] = {10.0, 9.0, 8.0, 7.0, 6.0};
        for (int i = 0; i < kPresetCount; ++i)
            QCOMPARE(presetPrice(u, i), expected[i]);
        QCOMPARE(presetPrice(u, -1), 10.0);
        QCOMPARE(presetPrice(u, 5), 10.0);
        QCOMPARE(presetCaption(4), QStringLiteral("特价"));
        QCOMPARE(memberTypeText(0), QStringLiteral("普通会员"));
        QCOMPARE(memberTypeText(1), QStringLiteral("金卡会员"));
        QCOMPARE(memberTypeText(2), QStringLiteral("未知"));
    }

    void listFiguresInTenths() {
        SaleList list;
        list.addRow(SaleRow({unit(1, 0.1, 0.1, 0.1)}, QStringLiteral("未知")));
        list.addRow(SaleRow({unit(2, 0.2, 0.2, 0.2)}, QStringLiteral("未知")));
        list.addRow(SaleRow({unit(3, 12.5, 11, 10), unit(4, 12.5, 11, 10), unit(5, 12.5, 11, 10)},
                            QStringLiteral("饮料")));
        list.recount();
        QCOMPARE(list.totals().quantity, 5);
        QCOMPARE(list.totals().amount, int64_t(1 + 2 + 375));
        QCOMPARE(list.totals().retail, int64_t(1 + 2 + 125)); // unit prices, not price x N
        QCOMPARE(list.totals().discount, int64_t(0));

        // Rate 8 on the last row: every unit at 0.8 x its own retail price.
        list.applyRate({2}, 0.8);
        list.recount();
        const SaleRow& r = list.rows()[2];
        for (const vorn::SRec& u : r.units())
            QCOMPARE(u.FSd_ReaP, 10.0);
        QCOMPARE(r.discountTenths(), int64_t(-75));
        QCOMPARE(list.totals().amount, int64_t(3 + 300));

        // Preset 特价 on the first row only; a member afterwards reprices everything.
        list.applyPreset({0, 99}, 4);
        QCOMPARE(list.rows()[0].first().FSd_ReaP, 0.0);
        list.applyMemberPrices(kGoldMember);
        list.recount();
        QCOMPARE(list.rows()[2].priceTenths(), int64_t(100));
        QCOMPARE(list.rows()[0].priceTenths(), int64_t(1));
        // A member type with no price of its own leaves prices as they are.
        list.applyPreset({2}, 0);
        list.applyMemberPrices(5);
        QCOMPARE(list.rows()[2].priceTenths(), int64_t(125));
    }

    void mixedPricesInOneRowChargeEachUnit() {
        // Units of one code stocked at different prices: the row charges what each
        // unit will be recorded at.
        SaleList list;
        list.addRow(SaleRow({unit(1, 3.0, 3, 3), unit(2, 3.5, 3, 3)}, QString()));
        list.recount();
        QCOMPARE(list.rows()[0].priceTenths(), int64_t(30));
        QCOMPARE(list.totals().amount, int64_t(65));
        QCOMPARE(list.rows()[0].discountTenths(), int64_t(0));
        const auto lines = list.receiptLines();
        QCOMPARE(lines.size(), size_t(1));
        QCOMPARE(lines[0].amount, 6.5);
        QCOMPARE(lines[0].quantity, 2);
    }

    // Units of one code as the store hands them out (ascending ids), each with
    // its five price levels; a row per distinct set of levels.
    void splitByPrice_data() {
        QTest::addColumn<QList<QList<double>>>("units"); // ret, mem, gol, who, spe
        QTest::addColumn<QList<QList<int>>>("groups");   // ids per group, in order
        using P = QList<QList<double>>;
        using G = QList<QList<int>>;
        const QList<double> a{12.8, 12.0, 11.0, 10.0, 9.0};
        const QList<double> b{14.2, 13.0, 12.0, 11.0, 10.0};
        QTest::newRow("one price") << P{a, a, a} << G{{1, 2, 3}};
        QTest::newRow("a dearer unit among them") << P{a, a, a, b, a, a} << G{{1, 2, 3, 5, 6}, {4}};
        QTest::newRow("alternating") << P{b, a, b, a} << G{{1, 3}, {2, 4}};
        QTest::newRow("same retail, other gold card price")
            << P{a, {12.8, 12.0, 10.5, 10.0, 9.0}} << G{{1}, {2}};
        QTest::newRow("same retail, other special price")
            << P{a, {12.8, 12.0, 11.0, 10.0, 8.0}, a} << G{{1, 3}, {2}};
        QTest::newRow("three prices") << P{a, b, {1, 1, 1, 1, 1}, b} << G{{1}, {2, 4}, {3}};
        QTest::newRow("none") << P{} << G{};
    }
    void splitByPrice() {
        QFETCH(QList<QList<double>>, units);
        QFETCH(QList<QList<int>>, groups);
        std::vector<vorn::SRec> in;
        for (const QList<double>& p : units)
            in.push_back(unit(static_cast<int>(in.size()) + 1, p[0], p[1], p[2], p[3], p[4]));
        const auto out = vorn::ui::splitByPrice(in);
        QCOMPARE(static_cast<int>(out.size()), groups.size());
        for (size_t g = 0; g < out.size(); ++g) {
            QList<int> ids;
            for (const vorn::SRec& u : out[g]) {
                ids << u.FSi_Id;
                // Every level alike within the group, so any later price is too.
                QCOMPARE(u.FSd_RetP, out[g].front().FSd_RetP);
                QCOMPARE(u.FSd_GolP, out[g].front().FSd_GolP);
                QCOMPARE(u.FSd_SpeP, out[g].front().FSd_SpeP);
            }
            QCOMPARE(ids, groups[static_cast<qsizetype>(g)]);
        }
    }

    // A member's balance after a sale never wraps around and never passes the limit.
    void pointsStayWithinTheLimit_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("earned");
        QTest::addColumn<int>("after");
        QTest::newRow("plain") << 100 << 16 << 116;
        QTest::newRow("nothing earned") << 50 << 0 << 50;
        QTest::newRow("up to the limit") << kMaxPoints - 10 << 10 << kMaxPoints;
        QTest::newRow("past the limit") << kMaxPoints - 10 << 25 << kMaxPoints;
        QTest::newRow("at the limit") << kMaxPoints << 5 << kMaxPoints;
        // 2,147,483,600 + 3,435 wrapped to -2,147,480,261 when added as an int.
        QTest::newRow("near the int's end") << 2147483600 << 3435 << kMaxPoints;
        QTest::newRow("both at the int's end") << std::numeric_limits<int>::max()
                                                << std::numeric_limits<int>::max() << kMaxPoints;
        QTest::newRow("wrapped balance") << -2147480261 << 3435 << 0;
        QTest::newRow("negative sale") << 5 << -10 << 0;
    }
    void pointsStayWithinTheLimit() {
        QFETCH(int, before);
        QFETCH(int, earned);
        QFETCH(int, after);
        QCOMPARE(creditedPoints(before, earned), after);
    }

    void conditionsQuoteTheCode() {
        QCOMPARE(codeCondition("it's"), std::string("FSs_Code='it''s'"));
        QCOMPARE(stockTakeCondition("it's", 7), std::string("FSi_Flag=0 AND FSs_Code='it''s' ORDER BY FSi_Id LIMIT 7"));
        QCOMPARE(stockCondition(""), std::string("FSi_Flag=0 AND FSs_Code=''"));
        QCOMPARE(memberCondition("a'b"), std::string("FVs_Code='a''b'"));
        QCOMPARE(firstMemberCondition("x"), std::string("FVs_Code='x' ORDER BY FVi_Id LIMIT 1"));
    }

    void quantityReadLikeAtoi() {
        QCOMPARE(parseQuantity(QStringLiteral("12")), 12);
        QCOMPARE(parseQuantity(QStringLiteral(" 7x")), 7);
        QCOMPARE(parseQuantity(QStringLiteral("-3")), -3);
        QCOMPARE(parseQuantity(QStringLiteral("abc")), 0);
        QCOMPARE(parseQuantity(QString()), 0);
    }

    void removingRows() {
        SaleList list;
        for (int i = 0; i < 4; ++i)
            list.addRow(SaleRow({unit(i + 1, i + 1, 0, 0)}, QString()));
        QCOMPARE(list.removeRows({3, 1, 1, 7, -2}), 2);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.rows()[0].first().FSi_Id, 1);
        QCOMPARE(list.rows()[1].first().FSi_Id, 3);
        QCOMPARE(list.quantityOf("C1"), 2);
        QCOMPARE(list.quantityOf("c1"), 0); // exact, case-sensitive
        list.clear();
        list.recount();
        QCOMPARE(list.totals().quantity, 0);
        QCOMPARE(list.totals().amount, int64_t(0));
    }
};

QTEST_APPLESS_MAIN(TestPricing)
#include "test_pricing.moc"
