// The capitals text under a receipt's total.
#include <QTest>
#include <cmath>
#include <limits>

#include "capitals.h"

using vorn::ui::capitalsText;

class TestCapitals : public QObject {
    Q_OBJECT
private slots:
    void writesAmounts_data();
    void writesAmounts();
    void roundsLikeThePrintedTotal_data();
    void roundsLikeThePrintedTotal();
    void amountsBeyondTheWrittenRangeGiveThePrefixAlone();
    void negativeAmountsSayNegative();
};

void TestCapitals::writesAmounts_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    // The examples every cashier knows.
    QTest::newRow("12.5") << 12.5 << QStringLiteral("大写:壹拾贰圆伍角整");
    QTest::newRow("0.0") << 0.0 << QStringLiteral("大写:零圆整");
    QTest::newRow("0.5") << 0.5 << QStringLiteral("大写:零圆伍角整");
    QTest::newRow("1001") << 1001.0 << QStringLiteral("大写:壹仟零壹圆整");
    QTest::newRow("100000") << 100000.0 << QStringLiteral("大写:壹拾万圆整");
    QTest::newRow("100001") << 100001.0 << QStringLiteral("大写:壹拾万零壹圆整");
    QTest::newRow("10101") << 10101.0 << QStringLiteral("大写:壹万零壹佰零壹圆整");
    QTest::newRow("100100000") << 100100000.0 << QStringLiteral("大写:壹亿零壹拾万圆整");
    QTest::newRow("123456789.5") << 123456789.5
                                 << QStringLiteral("大写:壹亿贰仟叁佰肆拾伍万陆仟柒佰捌拾玖圆伍角整");
    // Round tens, a 角 after a whole group, an empty 万 group.
    QTest::newRow("10") << 10.0 << QStringLiteral("大写:壹拾圆整");
    QTest::newRow("20.5") << 20.5 << QStringLiteral("大写:贰拾圆伍角整");
    QTest::newRow("100000000") << 100000000.0 << QStringLiteral("大写:壹亿圆整");
    QTest::newRow("999999999.9") << 999999999.9
                                 << QStringLiteral("大写:玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角整");
    // Zeros: one "零" per run before a later digit, none at a group's end.
    QTest::newRow("1010") << 1010.0 << QStringLiteral("大写:壹仟零壹拾圆整");
    QTest::newRow("10000") << 10000.0 << QStringLiteral("大写:壹万圆整");
    QTest::newRow("20000300") << 20000300.0 << QStringLiteral("大写:贰仟万零叁佰圆整");
    QTest::newRow("107000") << 107000.0 << QStringLiteral("大写:壹拾万柒仟圆整");
    QTest::newRow("100000001") << 100000001.0 << QStringLiteral("大写:壹亿零壹圆整");
    QTest::newRow("300000000.3") << 300000000.3 << QStringLiteral("大写:叁亿圆叁角整");
    QTest::newRow("5.7") << 5.7 << QStringLiteral("大写:伍圆柒角整");
    // The 亿 group carries on with the same rules up to four digits.
    QTest::newRow("1000000000") << 1000000000.0 << QStringLiteral("大写:壹拾亿圆整");
    QTest::newRow("1200000005") << 1200000005.0 << QStringLiteral("大写:壹拾贰亿零伍圆整");
    QTest::newRow("999999999999.9") << 999999999999.9
                                    << QStringLiteral(
                                           "大写:玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角整");
}

void TestCapitals::writesAmounts() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(capitalsText(amount), text);
}

void TestCapitals::roundsLikeThePrintedTotal_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("half a 角 rounds up") << 0.05 << QStringLiteral("大写:零圆壹角整");
    QTest::newRow("below half") << 12.349 << QStringLiteral("大写:壹拾贰圆叁角整");
    QTest::newRow("carry into 圆") << 9.96 << QStringLiteral("大写:壹拾圆整");
    QTest::newRow("sum of tenths") << (10.1 + 10.2 + 9.7) << QStringLiteral("大写:叁拾圆整");
    QTest::newRow("carry into the 亿 group") << 999999999.96 << QStringLiteral("大写:壹拾亿圆整");
}

void TestCapitals::roundsLikeThePrintedTotal() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(capitalsText(amount), text);
}

void TestCapitals::amountsBeyondTheWrittenRangeGiveThePrefixAlone() {
    const QString prefix = QStringLiteral("大写:");
    QCOMPARE(capitalsText(1e12), prefix);
    QCOMPARE(capitalsText(999999999999.96), prefix); // rounds up to 1e12
    QCOMPARE(capitalsText(1e300), prefix);
    QCOMPARE(capitalsText(std::numeric_limits<double>::infinity()), prefix);
    QCOMPARE(capitalsText(-std::numeric_limits<double>::infinity()), prefix);
    QCOMPARE(capitalsText(std::nan("")), prefix);
}

void TestCapitals::negativeAmountsSayNegative() {
    QCOMPARE(capitalsText(-12.5), QStringLiteral("大写:负壹拾贰圆伍角整"));
    QCOMPARE(capitalsText(-100001.0), QStringLiteral("大写:负壹拾万零壹圆整"));
    // What rounds to zero is zero, without a sign.
    QCOMPARE(capitalsText(-0.04), QStringLiteral("大写:零圆整"));
    QCOMPARE(capitalsText(-0.0), QStringLiteral("大写:零圆整"));
}

QTEST_APPLESS_MAIN(TestCapitals)
#include "test_capitals.moc"
