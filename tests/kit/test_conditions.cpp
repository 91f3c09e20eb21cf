// The pieces of a search condition: typed text quoted for the store, date spans
// as whole days, the ORDER BY of a list column and the text the store is given.
#include <QtTest>

#include "kit/text/conditions.h"

using namespace vorn::ui;

namespace {

const RecordColumn kColumns[] = {
    {"编号", 80, Qt::AlignLeft, "FSs_Code"},
    {"价格", 60, Qt::AlignRight, "FSd_RetP"},
    {"备注", 90, Qt::AlignLeft, nullptr},
};

} // namespace

class TestConditions : public QObject {
    Q_OBJECT
private slots:
    void textClauses() {
        struct Case {
            QString text;
            bool ok;
            std::string out;
        };
        const Case cases[] = {
            {QStringLiteral("A1"), true, "FSs_Code='A1' AND "},
            {QStringLiteral("O'Neil"), true, "FSs_Code='O''Neil' AND "},
            {QStringLiteral("😀"), false, ""},
        };
        for (const Case& c : cases) {
            std::string out;
            QCOMPARE(appendTextClause(out, "FSs_Code", c.text), c.ok);
            QCOMPARE(out, c.out);
        }
    }

    void choiceClausesNameTheValueOrNothing() {
        const ChoiceValue choices[] = {{QStringLiteral("库存中"), 0}, {QStringLiteral("已销售"), 1}, {"X", 1}};
        const struct {
            QString chosen;
            std::string out;
        } cases[] = {
            {QString(), "A=2 AND "},                   // any: nothing appended
            {QStringLiteral("库存中"), "A=2 AND F=0 AND "},
            {QStringLiteral("已销售"), "A=2 AND F=1 AND "},
            {QStringLiteral("已报损"), "A=2 AND F=-1 AND "}, // no such choice finds nothing
            {QStringLiteral("库存"), "A=2 AND F=-1 AND "},   // whole texts only
        };
        for (const auto& c : cases) {
            std::string out = "A=2 AND ";
            appendChoiceClause(out, "F", c.chosen, choices);
            QCOMPARE(out, c.out);
        }
    }

    // One table names a coded field both ways: the text a value shows as, the
    // first entry holding it, "Err" for a value none holds.
    void choiceTextsNameTheValue() {
        const ChoiceValue choices[] = {{QStringLiteral("甲"), 0}, {QStringLiteral("乙"), 3}, {QStringLiteral("丙"), 3}};
        const std::pair<int, QString> cases[] = {
            {0, QStringLiteral("甲")}, {3, QStringLiteral("乙")}, {1, QStringLiteral("Err")}, {-1, QStringLiteral("Err")}};
        for (const auto& [value, text] : cases)
            QCOMPARE(choiceText(choices, value), text);
        QCOMPARE(choiceText({}, 0), QStringLiteral("Err"));
        // A text shown is a text the search finds.
        std::string out;
        appendChoiceClause(out, "F", choiceText(choices, 3), choices);
        QCOMPARE(out, std::string("F=3 AND "));
        // A drop-down offers the texts in the table's order, a repeated value's too.
        QCOMPARE(choiceNames(choices), QStringList({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
        QVERIFY(choiceNames({}).isEmpty());
    }

    // A table of one function a column gives each column its text.
    void cellTextsFromATable() {
        const CellText<int> cells[] = {[](const int& v) { return QString::number(v); },
                                       [](const int& v) { return QString::number(v * 2); }};
        QCOMPARE(cellTextOf<int>(cells, 21, 0), QStringLiteral("21"));
        QCOMPARE(cellTextOf<int>(cells, 21, 1), QStringLiteral("42"));
        QCOMPARE(cellTextOf<int>(cells, 21, 2), QStringLiteral("Err"));
        QCOMPARE(cellTextOf<int>(cells, 21, -1), QStringLiteral("Err"));
    }

    void spanClausesAreWholeDays() {
        const QDate a(2020, 1, 2), b(2020, 3, 4);
        const std::string both = "T>='2020-01-02 00:00:00' AND T<='2020-03-04 23:59:59' AND ";
        const std::string dayA = "T>='2020-01-02 00:00:00' AND T<='2020-01-02 23:59:59' AND ";
        const std::string dayB = "T>='2020-03-04 00:00:00' AND T<='2020-03-04 23:59:59' AND ";
        struct Case {
            QDate from, to;
            std::string out;
        };
        const Case cases[] = {{a, b, both}, {a, QDate(), dayA}, {QDate(), b, dayB}, {QDate(), QDate(), ""}};
        for (const Case& c : cases) {
            std::string out;
            appendSpanClause(out, "T", c.from, c.to);
            QCOMPARE(out, c.out);
        }
    }

    void finishTakesOffTheLastAnd() {
        std::string cond = "A=1 AND B=2 AND ";
        finishCondition(cond);
        QCOMPARE(cond, std::string("A=1 AND B=2"));
        std::string empty;
        finishCondition(empty);
        QCOMPARE(empty, std::string());
    }

    void sortClauseOfAColumn() {
        struct Case {
            int column;
            bool ascending;
            std::string out;
        };
        const Case cases[] = {
            {0, false, " ORDER BY FSs_Code DESC"}, {1, true, " ORDER BY FSd_RetP ASC"},
            {-1, false, " ORDER BY FSs_Code ASC"}, {2, true, ""},
            {3, true, ""},
        };
        for (const Case& c : cases) QCOMPARE(sortClauseOf(kColumns, c.column, c.ascending), c.out);
        QCOMPARE(queryText("", " ORDER BY X ASC"), std::string("1  ORDER BY X ASC"));
        QCOMPARE(queryText("A=1", ""), std::string("A=1"));
    }
};

QTEST_MAIN(TestConditions)
#include "test_conditions.moc"
