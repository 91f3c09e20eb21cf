// The member search and list without widgets: the condition of the ribbon's
// inputs, the sort clauses of the header, the load, the cell texts and the
// conversions of points and birthdays.
#include <QTest>
#include <limits>

#include "membercells.h"
#include "kit/text/integertext.h"
#include "memberquery.h"
#include "memberrows.h"
#include "vipfixture.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

class TestMemberQuery : public QObject {
    Q_OBJECT

    VipFixture fx;

    std::string condition(const MemberSearch& in) {
        std::string out = "stale";
        if (!buildMemberCondition(in, out)) return "<refused>";
        return out;
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void clausesComeInTheFixedOrder() {
        MemberSearch in;
        QCOMPARE(condition(in), std::string());
        in.code = QStringLiteral("M01");
        QCOMPARE(condition(in), std::string("FVs_Code='M01'"));
        // Filled name first, type last: the clauses still read code, type, name, span.
        in.name = QStringLiteral("张三");
        in.type = QStringLiteral("金卡会员");
        in.createdFrom = QDate(2012, 1, 1);
        in.createdTo = QDate(2012, 1, 31);
        QCOMPARE(condition(in), std::string("FVs_Code='M01' AND FVi_Type=1 AND FVs_Name='") +
                                    gbk(QStringLiteral("张三")) +
                                    "' AND FVt_CreT>='2012-01-01 00:00:00' AND FVt_CreT<='2012-01-31 23:59:59'");
    }

    void typeTextsMapToCodes() {
        MemberSearch in;
        in.type = QStringLiteral("普通会员");
        QCOMPARE(condition(in), std::string("FVi_Type=0"));
        in.type = QStringLiteral("金卡会员");
        QCOMPARE(condition(in), std::string("FVi_Type=1"));
        in.type = QStringLiteral("金卡");
        QCOMPARE(condition(in), std::string("FVi_Type=-1"));
    }

    void spanAloneAndHalfSet() {
        MemberSearch in;
        in.createdFrom = QDate(2012, 1, 1);
        in.createdTo = QDate(2012, 1, 31);
        QCOMPARE(condition(in),
                 std::string("FVt_CreT>='2012-01-01 00:00:00' AND FVt_CreT<='2012-01-31 23:59:59'"));
        in.createdTo = QDate();
        QCOMPARE(condition(in),
                 std::string("FVt_CreT>='2012-01-01 00:00:00' AND FVt_CreT<='2012-01-01 23:59:59'"));
    }

    void quotesInUserTextAreData() {
        MemberSearch in;
        in.code = QStringLiteral("x' OR '1'='1");
        in.name = QStringLiteral("O'Brien");
        QCOMPARE(condition(in), std::string("FVs_Code='x'' OR ''1''=''1' AND FVs_Name='O''Brien'"));
        QCOMPARE(memberCodeCondition("a'b"), std::string("FVs_Code='a''b'"));

        fx.insert({VipFixture::member("O'1", QStringLiteral("O'Brien")), VipFixture::member("B", QStringLiteral("乙"))});
        std::vector<vorn::VIPRec> rows;
        in = {};
        in.name = QStringLiteral("O'Brien");
        std::string cond;
        QVERIFY(buildMemberCondition(in, cond));
        QCOMPARE(loadQueried(fx.core(), cond, "", rows), 1);
        QCOMPARE(rows.at(0).FVs_Code, std::string("O'1"));
        in = {};
        in.code = QStringLiteral("x' OR '1'='1");
        QVERIFY(buildMemberCondition(in, cond));
        QCOMPARE(loadQueried(fx.core(), cond, "", rows), 0);
        QVERIFY(rows.empty());
        QCOMPARE(fx.core().get_viprec_count(memberCodeCondition("O'1").c_str()), 1);
    }

    void textGbkCannotHoldIsRefused() {
        MemberSearch in;
        in.name = QStringLiteral("\U0001F600");
        std::string out = "stale";
        QVERIFY(!buildMemberCondition(in, out));
        QVERIFY(out.empty());
    }

    void sortKeysOfEveryColumn() {
        const char* keys[] = {"FVs_Code", "FVi_Type",  "FVs_Name",  "FVt_BirT", "FVi_Grade",
                              "FVs_EMail", "FVs_Phone", "FVs_Addr", "FVt_CreT"};
        for (int c = 0; c < MColRemark; ++c) {
            QCOMPARE(sortClauseOf(memberColumns(), c, true), std::string(" ORDER BY ") + keys[c] + " ASC");
            QCOMPARE(sortClauseOf(memberColumns(), c, false), std::string(" ORDER BY ") + keys[c] + " DESC");
        }
        QCOMPARE(sortClauseOf(memberColumns(), MColRemark, true), std::string());
        QCOMPARE(sortClauseOf(memberColumns(), 10, false), std::string());
        QCOMPARE(sortClauseOf(memberColumns(), -1, false), std::string(" ORDER BY FVs_Code ASC"));
    }

    void queryTextListsAllWhenEmpty() {
        QCOMPARE(queryText("", ""), std::string("1 "));
        QCOMPARE(queryText("", " ORDER BY FVs_Name DESC"), std::string("1  ORDER BY FVs_Name DESC"));
        QCOMPARE(queryText("FVs_Code='M01'", " ORDER BY FVs_Name DESC"),
                 std::string("FVs_Code='M01' ORDER BY FVs_Name DESC"));
    }

    void loadCountsThenSelectsInOrder() {
        fx.insert({VipFixture::member("C", QStringLiteral("丙"), 0, 0, 30), VipFixture::member("A", QStringLiteral("甲"), 1, 0, 5),
                   VipFixture::member("B", QStringLiteral("乙"), 0, 0, 700)});
        std::vector<vorn::VIPRec> rows(7);
        QCOMPARE(loadQueried(fx.core(), "", sortClauseOf(memberColumns(), MColGrade, false), rows), 3);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].FVi_Grade, 700);
        QCOMPARE(rows[2].FVi_Grade, 5);
        QCOMPARE(loadQueried(fx.core(), "FVi_Type=1", sortClauseOf(memberColumns(), MColCode, true), rows), 1);
        QCOMPARE(rows[0].FVs_Code, std::string("A"));
        QCOMPARE(loadQueried(fx.core(), "FVi_Type=7", "", rows), 0);
        QVERIFY(rows.empty());
        // A condition the store cannot run is a failure, not an empty result.
        QCOMPARE(loadQueried(fx.core(), "NoSuchColumn=1", "", rows), -1);
        QVERIFY(rows.empty());
    }

    void cellTexts() {
        vorn::VIPRec m = VipFixture::member("M01", QStringLiteral("王小明"), 1, VipFixture::at(1990, 5, 12), 1234,
                                            VipFixture::at(2012, 1, 15, 9, 30, 5));
        m.FVs_Remark = gbk(QStringLiteral("老顾客"));
        QCOMPARE(memberCellText(m, MColCode), QStringLiteral("M01"));
        QCOMPARE(memberCellText(m, MColType), QStringLiteral("金卡会员"));
        QCOMPARE(memberCellText(m, MColName), QStringLiteral("王小明"));
        QCOMPARE(memberCellText(m, MColBirT), QStringLiteral("1990-05-12"));
        QCOMPARE(memberCellText(m, MColGrade), QStringLiteral("1234"));
        QCOMPARE(memberCellText(m, MColEMail), QStringLiteral("M01@example.com"));
        QCOMPARE(memberCellText(m, MColAddr), QStringLiteral("人民路M01号"));
        QCOMPARE(memberCellText(m, MColCreT), QStringLiteral("2012-01-15 09:30:05"));
        QCOMPARE(memberCellText(m, MColRemark), QStringLiteral("老顾客"));
        QCOMPARE(memberCellText(m, MemberColumnCount), QStringLiteral("Err"));
        m.FVi_Type = 0;
        QCOMPARE(memberCellText(m, MColType), QStringLiteral("普通会员"));
        m.FVi_Type = 2;
        QCOMPARE(memberCellText(m, MColType), QStringLiteral("Err"));
        m.FVt_BirT = 0;
        m.FVt_CreT = 0;
        QCOMPARE(memberCellText(m, MColBirT), QString());
        QCOMPARE(memberCellText(m, MColCreT), QString());
        m.FVi_Grade = -3;
        QCOMPARE(memberCellText(m, MColGrade), QStringLiteral("-3"));
    }

    void pointsAreTheLeadingNumber() {
        QCOMPARE(readInteger(QStringLiteral("12abc")).value, 12);
        QCOMPARE(readInteger(QStringLiteral("abc")).value, 0);
        QCOMPARE(readInteger(QString()).value, 0);
        QCOMPARE(readInteger(QStringLiteral("  42")).value, 42);
        QCOMPARE(readInteger(QStringLiteral("-7x")).value, -7);
        QCOMPARE(readInteger(QStringLiteral("+8")).value, 8);
        QCOMPARE(readInteger(QStringLiteral("3.9")).value, 3);
        QCOMPARE(readInteger(QStringLiteral("99999999999")).value, std::numeric_limits<int>::max());
        QCOMPARE(readInteger(QStringLiteral("-99999999999")).value, std::numeric_limits<int>::min());
    }

    void birthdaysAtOneSecondPastMidnight() {
        const int64_t t = birthdayOf(QDate(1990, 5, 12));
        QCOMPARE(QString::fromStdString(vorn::format_time(t)), QStringLiteral("1990-05-12 00:00:01"));
        // Before 1970, and 1970-01-01 itself, are real days, not "no birthday".
        const int64_t old = birthdayOf(QDate(1955, 3, 1));
        QVERIFY(old < 0);
        QCOMPARE(QString::fromStdString(vorn::format_time(old)), QStringLiteral("1955-03-01 00:00:01"));
        QCOMPARE(localDateOf(old), QDate(1955, 3, 1));
        QVERIFY(birthdayOf(QDate(1970, 1, 1)) != 0);
        QVERIFY(!localDateOf(0).isValid());
        // A changed day keeps the stored time of day.
        const int64_t moved = atTimeOfDay(QDate(1961, 12, 31), VipFixture::at(1990, 5, 12, 7, 8, 9));
        QCOMPARE(QString::fromStdString(vorn::format_time(moved)), QStringLiteral("1961-12-31 07:08:09"));
    }

    void editTemplateTouchesTheEightFields() {
        vorn::VIPRec m = VipFixture::member("M01", QStringLiteral("甲"), 0, 11, 1, 22);
        m.FVi_Id = 9;
        vorn::VIPRec t = VipFixture::member("T", QStringLiteral("乙"), 1, 33, 44, 55);
        t.FVi_Id = 77;
        t.FVs_Remark = "r";
        applyMemberTemplate(m, t);
        QCOMPARE(m.FVi_Id, 9);
        QCOMPARE(m.FVs_Code, std::string("M01"));
        QCOMPARE(m.FVt_CreT, int64_t(22));
        QCOMPARE(m.FVi_Type, 1);
        QCOMPARE(m.FVs_Name, t.FVs_Name);
        QCOMPARE(m.FVt_BirT, int64_t(33));
        QCOMPARE(m.FVi_Grade, 44);
        QCOMPARE(m.FVs_EMail, t.FVs_EMail);
        QCOMPARE(m.FVs_Phone, t.FVs_Phone);
        QCOMPARE(m.FVs_Addr, t.FVs_Addr);
        QCOMPARE(m.FVs_Remark, std::string("r"));
    }

    // Each field of the set, and only it, comes from the template.
    void editTemplateWritesOnlyTheFieldsOfTheSet() {
        const vorn::VIPRec m = VipFixture::member("M01", QStringLiteral("甲"), 0, 11, 1, 22);
        vorn::VIPRec t = VipFixture::member("T", QStringLiteral("乙"), 1, 33, 44, 55);
        t.FVs_Remark = "r";
        t.FVs_Addr = "a";
        const unsigned each[] = {MeType, MeName, MeBirthday, MePoints, MeEMail, MePhone, MeAddr, MeRemark};
        for (unsigned bit : each) {
            vorn::VIPRec x = m;
            applyMemberTemplate(x, t, bit);
            QCOMPARE(x.FVi_Type, bit == MeType ? t.FVi_Type : m.FVi_Type);
            QCOMPARE(x.FVs_Name, bit == MeName ? t.FVs_Name : m.FVs_Name);
            QCOMPARE(x.FVt_BirT, bit == MeBirthday ? t.FVt_BirT : m.FVt_BirT);
            QCOMPARE(x.FVi_Grade, bit == MePoints ? t.FVi_Grade : m.FVi_Grade);
            QCOMPARE(x.FVs_EMail, bit == MeEMail ? t.FVs_EMail : m.FVs_EMail);
            QCOMPARE(x.FVs_Phone, bit == MePhone ? t.FVs_Phone : m.FVs_Phone);
            QCOMPARE(x.FVs_Addr, bit == MeAddr ? t.FVs_Addr : m.FVs_Addr);
            QCOMPARE(x.FVs_Remark, bit == MeRemark ? t.FVs_Remark : m.FVs_Remark);
            QCOMPARE(x.FVs_Code, m.FVs_Code);
        }
        vorn::VIPRec none = m;
        applyMemberTemplate(none, t, 0);
        QCOMPARE(none.FVs_Name, m.FVs_Name);
        QCOMPARE(none.FVi_Grade, m.FVi_Grade);
    }

    void rowsEditedAndRemovedInPlace() {
        std::vector<vorn::VIPRec> rows;
        for (int i = 0; i < 5; ++i) {
            rows.push_back(VipFixture::member(std::to_string(i), QStringLiteral("n")));
            rows.back().FVi_Id = i + 1;
        }
        // Member 2 was at row 1 when the panel opened; a re-sort moved it to row 4.
        std::swap(rows[1], rows[4]);
        vorn::VIPRec edited = rows[4];
        edited.FVi_Grade = 99;
        QCOMPARE(applyEditedMembers(rows, {1}, {edited}), 1);
        QCOMPARE(rows[4].FVi_Grade, 99);
        QCOMPARE(rows[1].FVi_Grade, 0);

        QCOMPARE(removeMemberRows(rows, {3, 1, 3, 9, -1}), 2);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].FVi_Id, 1);
        QCOMPARE(rows[1].FVi_Id, 3);
        QCOMPARE(rows[2].FVi_Id, 2);
    }
};

QTEST_MAIN(TestMemberQuery)
#include "test_memberquery.moc"
