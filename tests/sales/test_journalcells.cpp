// What the sale journal's list shows and asks for, without a widget: money in
// tenths as yuan, the methods and marks of a sale, the footers of the sums,
// the store's order behind each column and the filter made of the ribbon's
// inputs.
#include <QDateTime>
#include <QTest>
#include <climits>

#include "journalcolumns.h"
#include "journalsearch.h"
#include "kit/text/gbk.h"

using namespace vorn::ui;

namespace {

qint64 at(int y, int m, int d, int h = 0, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min)).toSecsSinceEpoch();
}

} // namespace

class TestJournalCells : public QObject {
    Q_OBJECT

private slots:
    void tenths_data() {
        QTest::addColumn<qint64>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0.0";
        QTest::newRow("one tenth") << qint64(1) << "0.1";
        QTest::newRow("yuan") << qint64(123) << "12.3";
        QTest::newRow("negative below one") << qint64(-5) << "-0.5";
        QTest::newRow("negative") << qint64(-1230) << "-123.0";
        QTest::newRow("largest") << qint64(LLONG_MAX) << "922337203685477580.7";
        QTest::newRow("smallest") << qint64(LLONG_MIN) << "-922337203685477580.8";
    }
    void tenths() {
        QFETCH(qint64, tenths);
        QFETCH(QString, text);
        QCOMPARE(tenthsText(tenths), text);
    }

    void methods_data() {
        QTest::addColumn<uint>("bits");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0u << "";
        QTest::newRow("cash") << (1u << vorn::kPayCash) << "现金";
        QTest::newRow("split, method order")
            << ((1u << vorn::kPayWeChat) | (1u << vorn::kPayCash)) << "现金、微信";
        QTest::newRow("all five") << 31u << "现金、微信、支付宝、银行卡、其他";
        QTest::newRow("recovered") << (1u << vorn::kPayUnknown) << "未知";
    }
    void methods() {
        QFETCH(uint, bits);
        QFETCH(QString, text);
        QCOMPARE(methodsText(bits), text);
    }

    void cellsOfOneSale() {
        vorn::SaleRecord s;
        s.number = "20261207-0012";
        s.time = at(2026, 12, 7, 9, 5);
        s.cashier = gbk(QStringLiteral("王小二"));
        s.member = "M'01";
        s.units = 7;
        s.due = 2455;
        s.discount = 45;
        s.paid = 2500;
        s.methods = (1u << vorn::kPayCard) | (1u << vorn::kPayCash);
        const QStringList expected = {
            "20261207-0012", "2026-12-07 09:05:00", "王小二", "M'01", "7", "245.5", "4.5",
            "250.0",         "现金、银行卡",        ""};
        QCOMPARE(int(journalColumns().size()), int(JournalColumnCount));
        for (int c = 0; c < JournalColumnCount; ++c)
            QCOMPARE(journalCellText(s, c), expected[c]);
        QCOMPARE(journalCellText(s, JournalColumnCount), QString());

        s.recovered = true;
        QCOMPARE(journalCellText(s, JColMark), QStringLiteral("补录"));
        s.kind = vorn::kKindReturn; // a return says so even when recovered
        QCOMPARE(journalCellText(s, JColMark), QStringLiteral("退货"));
    }

    void columnsAndCaptions() {
        const QStringList captions = {"单号", "时间", "收银员", "会员",     "件数",
                                      "应收", "优惠", "实收",   "付款方式", "备注"};
        for (int c = 0; c < JournalColumnCount; ++c) {
            QCOMPARE(QString::fromUtf8(journalColumns()[size_t(c)].caption), captions[c]);
            QVERIFY(journalColumns()[size_t(c)].width > 0);
        }
    }

    void footers() {
        vorn::SaleSums sums;
        sums.sales = 3;
        sums.units = 12;
        sums.due = 1001;
        sums.discount = -3;
        sums.paid = 1100;
        sums.by_method[vorn::kPayWeChat] = 300;
        sums.by_method[vorn::kPayCash] = 800;
        sums.by_method[vorn::kPayUnknown] = 1;
        const QStringList expected = {
            "3笔", "", "", "", "12", "100.1", "-0.3", "110.0", "现金80.0 微信30.0 未知0.1", ""};
        for (int c = 0; c < JournalColumnCount; ++c)
            QCOMPARE(journalFooterText(sums, c), expected[c]);
        QCOMPARE(journalFooterText(vorn::SaleSums{}, JColMethods), QString());
        QCOMPARE(journalFooterText(vorn::SaleSums{}, JColNumber), QStringLiteral("0笔"));
    }

    // Every sortable column stands for its own store order, both ways; the
    // methods and the mark cannot be ordered by the store.
    void orderOfEveryColumn() {
        using O = vorn::SaleOrder;
        const struct {
            int column;
            bool sortable;
            O order;
        } cases[] = {{JColNumber, true, O::Number},       {JColTime, true, O::Time},
                     {JColCashier, true, O::Cashier},     {JColMember, true, O::Member},
                     {JColUnits, true, O::Units},         {JColDue, true, O::Due},
                     {JColDiscount, true, O::Discount},   {JColPaid, true, O::Paid},
                     {JColMethods, false, O::Time},       {JColMark, false, O::Time},
                     {JournalColumnCount, false, O::Time}};
        for (const auto& c : cases)
            for (bool ascending : {true, false}) {
                const std::string key = journalOrderKey(c.column, ascending);
                QCOMPARE(key.empty(), !c.sortable);
                if (!c.sortable) continue;
                vorn::SaleOrder order = O::Paid;
                bool descending = ascending;
                QVERIFY(journalOrderOf(key, order, descending));
                QVERIFY(order == c.order);
                QCOMPARE(descending, !ascending);
            }
        // No column chosen yet: oldest first.
        vorn::SaleOrder order = vorn::SaleOrder::Paid;
        bool descending = true;
        QVERIFY(journalOrderOf(journalOrderKey(-1, false), order, descending));
        QVERIFY(order == vorn::SaleOrder::Time);
        QVERIFY(!descending);
        for (const char* bad : {"", "Due", "Due UP", "Nothing ASC", "due ASC", "Due  ASC"})
            QVERIFY2(!journalOrderOf(bad, order, descending), bad);
    }

    void methodChoices() {
        QCOMPARE(journalMethodChoices(), (QStringList{"全部", "现金", "微信", "支付宝", "银行卡", "其他"}));
        const int methods[] = {
            -1, vorn::kPayCash, vorn::kPayWeChat, vorn::kPayAlipay, vorn::kPayCard, vorn::kPayOther};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(methodOfChoice(journalMethodChoices()[i]), methods[i]);
        QCOMPARE(methodOfChoice(QString()), -1);
        QCOMPARE(methodOfChoice(QStringLiteral("未知")), -1); // not a choice: lists every method
        QCOMPARE(methodOfChoice(QStringLiteral(" 微信 ")), int(vorn::kPayWeChat));
    }

    // Texts reach the filter as the GBK bytes the store holds, trimmed; a quote
    // stays a quote (the store quotes it); the span covers whole local days.
    void filterFromInputs() {
        JournalSearch in;
        in.number = QStringLiteral(" 20261207-0001 ");
        in.cashier = QStringLiteral("王'小二");
        in.member = QStringLiteral("M1");
        in.goods = QStringLiteral("69'01");
        in.method = QStringLiteral("支付宝");
        in.from = QDate(2026, 12, 7);
        in.to = QDate(2026, 12, 9);
        vorn::SaleFilter f;
        QVERIFY(buildSaleFilter(in, f));
        QCOMPARE(f.number, std::string("20261207-0001"));
        QCOMPARE(f.cashier, gbk(QStringLiteral("王'小二")));
        QCOMPARE(f.member, std::string("M1"));
        QCOMPARE(f.goods_code, std::string("69'01"));
        QCOMPARE(f.method, int(vorn::kPayAlipay));
        QCOMPARE(f.from, at(2026, 12, 7));
        QCOMPARE(f.to, at(2026, 12, 10));
        QCOMPARE(f.kind, -1);
    }

    void filterSpans_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::newRow("none") << QDate() << QDate() << qint64(0) << qint64(0);
        QTest::newRow("one day") << QDate(2026, 1, 31) << QDate(2026, 1, 31) << at(2026, 1, 31)
                                 << at(2026, 2, 1);
        QTest::newRow("across a year")
            << QDate(2025, 12, 31) << QDate(2026, 1, 1) << at(2025, 12, 31) << at(2026, 1, 2);
        QTest::newRow("only from") << QDate(2026, 3, 1) << QDate() << at(2026, 3, 1) << at(2026, 3, 2);
        QTest::newRow("only to") << QDate() << QDate(2026, 3, 1) << at(2026, 3, 1) << at(2026, 3, 2);
    }
    void filterSpans() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        JournalSearch in;
        in.from = from;
        in.to = to;
        vorn::SaleFilter f;
        QVERIFY(buildSaleFilter(in, f));
        QCOMPARE(f.from, start);
        QCOMPARE(f.to, end);
        QVERIFY(f.number.empty() && f.cashier.empty() && f.member.empty() && f.goods_code.empty());
        QCOMPARE(f.method, -1);
    }

    // A character GBK cannot hold in any text: refused, the filter kept.
    void filterRefusesTextGbkCannotHold() {
        const QString odd = QStringLiteral("A\U0001F600");
        for (int field = 0; field < 4; ++field) {
            JournalSearch in;
            QString* texts[] = {&in.number, &in.cashier, &in.member, &in.goods};
            *texts[field] = odd;
            vorn::SaleFilter f;
            f.cashier = "kept";
            QVERIFY(!buildSaleFilter(in, f));
            QCOMPARE(f.cashier, std::string("kept"));
        }
    }
};

QTEST_MAIN(TestJournalCells)
#include "test_journalcells.moc"
