// Typed integers: the value C's atoi gives wherever atoi's result is defined,
// the ends of int past it, and "whole" exactly where a strict integer field
// (the reminder limits) took the text before.
#include <QtTest>
#include <cstdlib>
#include <limits>

#include "kit/text/integertext.h"

using namespace vorn::ui;

class TestIntegerText : public QObject {
    Q_OBJECT
private slots:
    void readsAsAtoiAndTellsWholeNumbers_data() {
        QTest::addColumn<QString>("text");
        for (const char* t :
             {"",           "abc",         "12x",  "-5",   "+8",   "  42", "\t7", "\n9", "-7x",
              "3.9",        "1.5",         " 12 ", "+-5",  "- 5",  "++1",  "0",   "-0",  "007",
              "2147483647", "-2147483648", "5 6",  "0x10", "12\t", "+",    "-",   " "})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    void readsAsAtoiAndTellsWholeNumbers() {
        QFETCH(QString, text);
        const TypedInteger read = readInteger(text);
        QCOMPARE(read.value, std::atoi(text.toLatin1().constData()));
        bool strict = false;
        text.trimmed().toInt(&strict, 10);
        QCOMPARE(read.whole, strict);
    }

    void beyondIntIsItsNearestEnd() {
        struct Case {
            const char* text;
            int value;
        };
        const Case cases[] = {
            {"2147483648", std::numeric_limits<int>::max()},
            {"99999999999", std::numeric_limits<int>::max()},
            {"-2147483649", std::numeric_limits<int>::min()},
            {"-99999999999", std::numeric_limits<int>::min()},
            {"123456789012345678901234567890", std::numeric_limits<int>::max()},
        };
        for (const Case& c : cases) {
            const TypedInteger read = readInteger(QString::fromLatin1(c.text));
            QCOMPARE(read.value, c.value);
            QVERIFY2(!read.whole, c.text);
        }
    }

    void nonLatinTextHasNoNumber() {
        QCOMPARE(readInteger(QStringLiteral("十二")).value, 0);
        QVERIFY(!readInteger(QStringLiteral("１２")).whole);
        QCOMPARE(readInteger(QStringLiteral("12件")).value, 12);
    }
};

QTEST_MAIN(TestIntegerText)
#include "test_integertext.moc"
