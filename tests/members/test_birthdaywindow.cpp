// The birthday window and its member condition, without widgets: month ends,
// the year end, leap years, leads beyond 28 days, and what the condition finds
// among members written to a real store. Runs in a time zone east of UTC, where
// a birthday at 00:00:01 local time is still the day before in UTC.
#include <QTest>
#include <cstdlib>
#include <ctime>

#include "birthdaywindow.h"
#include "kit/text/gbk.h"
#include "storefixture.h"
#include "vorn/sqltext.h"

using namespace vorn::ui;
using vorn::ui::test::StoreFixture;

namespace {

[[maybe_unused]] const bool kZone = [] {
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    return true;
}();

int64_t at(int y, int m, int d, int hh = 12, int mm = 0, int ss = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss)).toSecsSinceEpoch();
}

// The month and day tests, spelled out the way the store reads a birthday.
QString month(int m) {
    return QStringLiteral("CAST(STRFTIME('%m',FVt_BirT) AS INTEGER)=%1").arg(m);
}
QString days(int from, int to) {
    return QStringLiteral("CAST(STRFTIME('%d',FVt_BirT) AS INTEGER)>=%1 AND "
                          "CAST(STRFTIME('%d',FVt_BirT) AS INTEGER)<=%2")
        .arg(from)
        .arg(to);
}
QString within(int m, int from, int to) {
    return month(m) + " AND " + days(from, to);
}
QString across(int m1, int from, int last, int m2, int to) {
    return "(" + within(m1, from, last) + ") OR (" + within(m2, 1, to) + ")";
}

QString conditionAt(int64_t t, int limit) {
    return QString::fromStdString(birthdayCondition(computeBirthdayWindow(t, limit)));
}

} // namespace

class TestBirthdayWindow : public QObject {
    Q_OBJECT

    StoreFixture fx;

    // Members born on these dates (00:00:01 local, as the entry dialog stores
    // them), plus one without a birthday; their codes are the dates.
    void addMembers(const QList<QDate>& births) {
        std::vector<vorn::VIPRec> members;
        for (const QDate& b : births) {
            vorn::VIPRec m;
            m.FVs_Code = gbk(b.toString(Qt::ISODate));
            m.FVs_Name = gbk(QStringLiteral("会员") + b.toString(Qt::ISODate));
            m.FVt_BirT = vorn::local_time_of(b.year(), b.month(), b.day(), 0, 0, 1);
            m.FVt_CreT = at(2020, 1, 1);
            members.push_back(m);
        }
        vorn::VIPRec none;
        none.FVs_Code = "none";
        none.FVt_CreT = at(2020, 1, 1);
        members.push_back(none);
        QCOMPARE(fx.core().insert_viprec(members.data(), static_cast<int>(members.size())),
                 static_cast<int>(members.size()));
    }

    // Codes of the members the window's condition finds, in id order.
    QStringList found(int64_t t, int limit) {
        const std::string cond = birthdayCondition(computeBirthdayWindow(t, limit));
        if (cond.empty()) return {};
        const int n = fx.core().get_viprec_count(cond.c_str());
        if (n < 0) return {QStringLiteral("failed")};
        std::vector<vorn::VIPRec> rows(static_cast<size_t>(n));
        if (fx.core().select_viprec(rows.data(), cond.c_str()) != n) return {QStringLiteral("failed")};
        QStringList codes;
        for (const auto& r : rows)
            codes << fromGbk(r.FVs_Code);
        return codes;
    }

private slots:
    // Everything below is worked out in China's time (UTC+8, no summer time):
    // the zone set above must be the one Qt and the C library both apply.
    void initTestCase() {
        QCOMPARE(QDateTime(QDate(2024, 1, 15), QTime(12, 0)).offsetFromUtc(), 8 * 3600);
        QCOMPARE(QDateTime(QDate(2024, 7, 15), QTime(12, 0)).offsetFromUtc(), 8 * 3600);
        const std::time_t epoch = 0;
        std::tm local{};
        QVERIFY(localtime_r(&epoch, &local));
        QCOMPARE(local.tm_hour, 8);
    }
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    void windowAddsTheLeadInDays() {
        const int64_t t = at(2024, 3, 30, 9, 15);
        const BirthdayWindow w = computeBirthdayWindow(t, 5);
        QCOMPARE(w.start.toSecsSinceEpoch(), t);
        QCOMPARE(w.end.date(), QDate(2024, 4, 4));
        QCOMPARE(w.end.time(), QTime(9, 15));
        QCOMPARE(w.limit, 5);
        // A negative lead adds nothing but is kept as stored.
        const BirthdayWindow n = computeBirthdayWindow(t, -4);
        QCOMPARE(n.end.date(), QDate(2024, 3, 30));
        QCOMPARE(n.limit, -4);
        QVERIFY(!BirthdayWindow{}.start.isValid());
    }

    void conditionWithinOneMonth() {
        QCOMPARE(conditionAt(at(2024, 5, 10), 10),
                 QStringLiteral("CAST(STRFTIME('%m',FVt_BirT) AS INTEGER)=5 AND "
                                "CAST(STRFTIME('%d',FVt_BirT) AS INTEGER)>=10 AND "
                                "CAST(STRFTIME('%d',FVt_BirT) AS INTEGER)<=20"));
        // Limit 0: today only.
        QCOMPARE(conditionAt(at(2024, 5, 10), 0), within(5, 10, 10));
        QCOMPARE(conditionAt(at(2024, 1, 1), 30), within(1, 1, 31));
    }

    void conditionAcrossOneMonthEnd_data() {
        QTest::addColumn<int64_t>("today");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("March 30 + 5") << at(2024, 3, 30) << 5 << across(3, 30, 31, 4, 4);
        QTest::newRow("December 28 + 10") << at(2024, 12, 28) << 10 << across(12, 28, 31, 1, 7);
        QTest::newRow("December 20 + 25") << at(2023, 12, 20) << 25 << across(12, 20, 31, 1, 14);
        QTest::newRow("February 20 + 10, common year") << at(2023, 2, 20) << 10 << across(2, 20, 28, 3, 2);
        QTest::newRow("February 20 + 10, leap year") << at(2024, 2, 20) << 10 << across(2, 20, 29, 3, 1);
        QTest::newRow("February 20 + 10, 1900 (no leap)") << at(1900, 2, 20) << 10 << across(2, 20, 28, 3, 2);
        QTest::newRow("February 20 + 10, 2000 (leap)") << at(2000, 2, 20) << 10 << across(2, 20, 29, 3, 1);
        QTest::newRow("April 30 + 1") << at(2024, 4, 30) << 1 << across(4, 30, 30, 5, 1);
        QTest::newRow("January 31 + 28") << at(2023, 1, 31) << 28 << across(1, 31, 31, 2, 28);
    }
    void conditionAcrossOneMonthEnd() {
        QFETCH(int64_t, today);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        QCOMPARE(conditionAt(today, limit), expected);
    }

    void noConditionBeyondOneMonthEnd() {
        // January 31 + 29 days is March 1 (2023): two month ends.
        QVERIFY(conditionAt(at(2023, 1, 31), 29).isEmpty());
        QCOMPARE(birthdayMonthEnds(computeBirthdayWindow(at(2023, 1, 31), 29)), 2);
        QVERIFY(conditionAt(at(2024, 6, 15), 60).isEmpty());
        // A whole year on ends in the start's month again, twelve month ends later.
        QCOMPARE(birthdayMonthEnds(computeBirthdayWindow(at(2023, 1, 15), 365)), 12);
        QVERIFY(conditionAt(at(2023, 1, 15), 365).isEmpty());
        QVERIFY(birthdayCondition(BirthdayWindow{}).empty());
    }

    void conditionFindsTheMembers() {
        addMembers({QDate(1980, 5, 15), QDate(1950, 3, 31), QDate(1992, 2, 29), QDate(1985, 2, 28),
                    QDate(1985, 3, 1), QDate(1960, 3, 3), QDate(1970, 1, 1), QDate(1999, 12, 31),
                    QDate(2001, 1, 7), QDate(2001, 1, 8), QDate(1969, 12, 31), QDate(1988, 4, 4),
                    QDate(1988, 4, 5)});
        // Born 1980-05-15: counted from May 10 with limit 5, not from May 9.
        QCOMPARE(found(at(2024, 5, 10), 5), QStringList{"1980-05-15"});
        QCOMPARE(found(at(2024, 5, 9), 5), QStringList());
        QCOMPARE(found(at(2024, 5, 15, 23, 59, 59), 0), QStringList{"1980-05-15"});
        // Across March's end, the 1950 member included.
        QCOMPARE(found(at(2024, 3, 30), 5), (QStringList{"1950-03-31", "1988-04-04"}));
        // Across the year end.
        QCOMPARE(found(at(2024, 12, 28), 10),
                 (QStringList{"1970-01-01", "1999-12-31", "2001-01-07", "1969-12-31"}));
        QCOMPARE(found(at(2024, 12, 31, 0, 0, 0), 0), (QStringList{"1999-12-31", "1969-12-31"}));
        QCOMPARE(found(at(2025, 1, 1, 0, 0, 30), 0), QStringList{"1970-01-01"});
        // February's end: a leap-day birthday is reminded in leap years only.
        QCOMPARE(found(at(2023, 2, 20), 10), (QStringList{"1985-02-28", "1985-03-01"}));
        QCOMPARE(found(at(2024, 2, 20), 10), (QStringList{"1992-02-29", "1985-02-28", "1985-03-01"}));
        // Beyond one month end nobody is found.
        QCOMPARE(found(at(2023, 1, 31), 29), QStringList());
        // In a leap year the same lead ends on February 29, one month end on.
        QCOMPARE(found(at(2024, 1, 31), 29), (QStringList{"1992-02-29", "1985-02-28"}));
    }

    void dateChangeIsTheLocalDay() {
        const BirthdayWindow w = computeBirthdayWindow(at(2024, 3, 30, 0, 0, 5), 5);
        QVERIFY(!birthdayDateChanged(w, at(2024, 3, 30, 23, 59, 59)));
        QVERIFY(birthdayDateChanged(w, at(2024, 3, 31, 0, 0, 0)));
        QVERIFY(birthdayDateChanged(w, at(2024, 3, 29, 23, 0, 0))); // the clock went back
        QVERIFY(birthdayDateChanged(w, at(2025, 3, 30)));           // a year on, same month and day
        QVERIFY(birthdayDateChanged(BirthdayWindow{}, at(2024, 3, 30)));
    }

    void birthdayTodayIgnoresTheYear() {
        const int64_t born = vorn::local_time_of(1980, 5, 15, 0, 0, 1);
        QVERIFY(isBirthdayToday(born, at(2024, 5, 15, 0, 0, 0)));
        QVERIFY(isBirthdayToday(born, at(2024, 5, 15, 23, 59, 59)));
        QVERIFY(!isBirthdayToday(born, at(2024, 5, 14, 23, 59, 59)));
        QVERIFY(!isBirthdayToday(born, at(2024, 5, 16, 0, 0, 0)));
        QVERIFY(!isBirthdayToday(born, at(2024, 6, 15)));
        const int64_t early = vorn::local_time_of(1960, 2, 29, 0, 0, 1);
        QVERIFY(early < 0);
        QVERIFY(isBirthdayToday(early, at(2024, 2, 29)));
        QVERIFY(!isBirthdayToday(early, at(2023, 2, 28)));
        QVERIFY(!isBirthdayToday(0, at(1970, 1, 1, 8, 0, 0))); // no birthday
    }
};

QTEST_MAIN(TestBirthdayWindow)
#include "test_birthdaywindow.moc"
