// Times: rendering, reading back, dates before 1970 and daylight saving changes.
#include <cstdio>

#include "core_fixture.h"

using namespace vorntest;
using vorn::SRec;
using vorn::VIPRec;

namespace {

int64_t mktime_of(int y, int mo, int d, int h, int mi, int s) {
    struct tm tm {};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(mktime(&tm));
}

std::string text_of(int y, int mo, int d, int h, int mi, int s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return buf;
}

struct Day {
    int y, m, d;
};

// Every 15 minutes of the day before, of and after each change, compared with
// mktime; returns the number of days whose length was not 24 hours, to prove
// the zone really changes there.
int check_days_around(const std::vector<Day>& days) {
    int odd_days = 0;
    for (const Day& day : days) {
        for (int delta = -1; delta <= 1; ++delta) {
            int y = day.y, m = day.m, d = day.d + delta; // no change day falls on a month edge
            for (int q = 0; q < 24 * 4; ++q) {
                int h = q / 4, mi = (q % 4) * 15;
                std::string text = text_of(y, m, d, h, mi, 0);
                int64_t expected = mktime_of(y, m, d, h, mi, 0);
                EXPECT_EQ(vorn::parse_time(text.c_str()), expected) << text;
                expected = mktime_of(y, m, d, h, mi, 0);
                EXPECT_EQ(vorn::local_time_of(y, m, d, h, mi, 0), expected) << text;
            }
            if (mktime_of(y, m, d + 1, 12, 0, 0) - mktime_of(y, m, d, 12, 0, 0) != 86400) ++odd_days;
        }
    }
    return odd_days;
}

// A spread over the years the store can hold, birthdays included.
void check_spread() {
    for (int y = 1930; y <= 2037; y += 3) {
        for (int m = 1; m <= 12; ++m) {
            int d = 1 + (y * 7 + m * 3) % 28, h = (y + m) % 24, mi = (y * m) % 60, s = (y + 2 * m) % 60;
            std::string text = text_of(y, m, d, h, mi, s);
            int64_t expected = mktime_of(y, m, d, h, mi, s);
            EXPECT_EQ(vorn::parse_time(text.c_str()), expected) << text;
            EXPECT_EQ(vorn::format_time(expected), text);
        }
    }
}

using Store = StoreTest;

} // namespace

TEST(Time, FormatAndParse) {
    int64_t t = vorn::local_time_of(2012, 3, 5, 9, 30, 0);
    EXPECT_EQ(t, mktime_of(2012, 3, 5, 9, 30, 0));
    EXPECT_EQ(vorn::format_time(t), "2012-03-05 09:30:00");
    EXPECT_EQ(vorn::format_date(t), "2012-03-05");
    EXPECT_EQ(vorn::parse_time("2012-03-05 09:30:00"), t);
    EXPECT_EQ(vorn::format_time(0), "");
    EXPECT_EQ(vorn::format_date(0), "");
    EXPECT_EQ(vorn::parse_time(nullptr), 0);
    EXPECT_EQ(vorn::parse_time(""), 0);

    int64_t old = vorn::local_time_of(1950, 6, 15, 8, 0, 0);
    EXPECT_LT(old, 0);
    EXPECT_EQ(old, mktime_of(1950, 6, 15, 8, 0, 0));
    EXPECT_EQ(vorn::format_time(old), "1950-06-15 08:00:00");
    EXPECT_EQ(vorn::format_date(old), "1950-06-15");
    EXPECT_EQ(vorn::parse_time("1950-06-15 08:00:00"), old);
    // One second before the epoch in UTC terms is still a time, not "not set".
    EXPECT_EQ(vorn::parse_time(vorn::format_time(-1).c_str()), -1);
}

TEST(Time, AgreesWithMktimeAcrossDaylightSaving) {
    {
        TzGuard tz("Europe/Berlin");
        EXPECT_EQ(check_days_around({{2011, 3, 27}, {2011, 10, 30}, {2024, 3, 31}, {2024, 10, 27}}), 4);
        check_spread();
    }
    {
        TzGuard tz("America/New_York");
        EXPECT_EQ(check_days_around({{2011, 3, 13}, {2011, 11, 6}, {2024, 3, 10}, {2024, 11, 3}}), 4);
        check_spread();
    }
    {
        TzGuard tz("Asia/Shanghai");
        check_spread();
    }
}

TEST_F(Store, TimesRoundTripThroughTheStore) {
    const int64_t now = static_cast<int64_t>(time(nullptr));
    const int64_t old = vorn::local_time_of(1950, 6, 15, 8, 0, 0);
    SRec in_stock = unit("T1", "n", 0, 10.0, 0.0, now, 0);
    SRec sold = unit("T2", "n", 1, 10.0, 9.0, old, now - 60);
    SRec none = unit("T3", "n", 0, 10.0, 0.0, 0, 0);
    SRec units[] = {in_stock, sold, none};
    ASSERT_EQ(core.insert_srec(units, 3), 3);
    std::vector<SRec> got = all_units(core);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].FSt_StoT, now);
    EXPECT_EQ(got[0].FSt_SalT, 0);
    EXPECT_EQ(got[1].FSt_StoT, old);
    EXPECT_EQ(got[1].FSt_SalT, now - 60);
    EXPECT_EQ(got[2].FSt_StoT, 0);
    EXPECT_EQ(got[2].FSt_SalT, 0);
    // 0 is SQL NULL, and set times are the local text the conditions compare with.
    EXPECT_EQ(core.get_srec_count("FSt_SalT IS NULL"), 2);
    EXPECT_EQ(core.get_srec_count("FSt_StoT IS NULL"), 1);
    EXPECT_EQ(core.get_srec_count("FSt_StoT='1950-06-15 08:00:00'"), 1);
    EXPECT_EQ(core.get_srec_count(("FSt_StoT='" + vorn::format_time(now) + "'").c_str()), 1);

    VIPRec a = member("A", "a", old, 0);
    VIPRec b = member("B", "b", 0, now);
    VIPRec c = member("C", "c", vorn::local_time_of(1969, 12, 31, 23, 59, 59), vorn::local_time_of(1970, 1, 1, 0, 0, 1));
    VIPRec ms[] = {a, b, c};
    ASSERT_EQ(core.insert_viprec(ms, 3), 3);
    VIPRec got_v[3];
    ASSERT_EQ(core.select_viprec(got_v, nullptr), 3);
    EXPECT_EQ(got_v[0].FVt_BirT, old);
    EXPECT_EQ(got_v[0].FVt_CreT, 0);
    EXPECT_EQ(got_v[1].FVt_BirT, 0);
    EXPECT_EQ(got_v[1].FVt_CreT, now);
    EXPECT_EQ(got_v[2].FVt_BirT, c.FVt_BirT);
    EXPECT_EQ(got_v[2].FVt_CreT, c.FVt_CreT);
    // The birthday is the last column, whatever the field order.
    EXPECT_EQ(core.get_viprec_count("FVt_BirT='1950-06-15 08:00:00' AND FVt_CreT IS NULL AND FVs_Code='A'"), 1);
    EXPECT_EQ(core.get_viprec_count("FVt_BirT IS NULL AND FVs_Code='B'"), 1);
}
