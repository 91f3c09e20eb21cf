// Times: rendering, reading back, dates before 1970, daylight saving changes.
#include <array>
#include <cstdio>

#include "core_fixture.h"

using namespace vorntest;
using namespace vorn;

namespace {

int64_t mktime_of(int y, int mo, int d, int h, int mi, int s) {
    struct tm tm {};
    tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi, tm.tm_sec = s;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(mktime(&tm));
}

std::string text_of(int y, int mo, int d, int h, int mi, int s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return buf;
}

// Every 15 minutes of the day before, of and after each change day, against
// mktime. Returns how many of the checked days were not 24 hours long, to prove
// the zone really changes there.
int check_change_days(std::initializer_list<std::array<int, 3>> days) {
    int odd_days = 0;
    for (auto [y, m, day] : days) {
        for (int d = day - 1; d <= day + 1; ++d) { // no change day lies at a month's edge
            for (int q = 0; q < 96; ++q) {
                const std::string text = text_of(y, m, d, q / 4, q % 4 * 15, 0);
                EXPECT_EQ(parse_time(text.c_str()), mktime_of(y, m, d, q / 4, q % 4 * 15, 0)) << text;
                EXPECT_EQ(local_time_of(y, m, d, q / 4, q % 4 * 15, 0),
                          mktime_of(y, m, d, q / 4, q % 4 * 15, 0))
                    << text;
            }
            odd_days += mktime_of(y, m, d + 1, 12, 0, 0) - mktime_of(y, m, d, 12, 0, 0) != 86400;
        }
    }
    return odd_days;
}

// A spread over the years the store holds, birthdays included.
void check_spread() {
    for (int y = 1930; y <= 2037; y += 3) {
        for (int m = 1; m <= 12; ++m) {
            int d = 1 + (y * 7 + m * 3) % 28, h = (y + m) % 24, mi = (y * m) % 60, s = (y + 2 * m) % 60;
            const std::string text = text_of(y, m, d, h, mi, s);
            EXPECT_EQ(parse_time(text.c_str()), mktime_of(y, m, d, h, mi, s))
                << text << " in " << getenv("TZ");
            EXPECT_EQ(format_time(mktime_of(y, m, d, h, mi, s)), text);
        }
    }
}

} // namespace

TEST(Time, FormatAndParse) {
    const int64_t t = local_time_of(2012, 3, 5, 9, 30, 0), old = local_time_of(1950, 6, 15, 8, 0, 0);
    EXPECT_EQ(t, mktime_of(2012, 3, 5, 9, 30, 0));
    EXPECT_EQ(format_time(t) + "|" + format_date(t), "2012-03-05 09:30:00|2012-03-05");
    EXPECT_EQ(parse_time("2012-03-05 09:30:00"), t);
    EXPECT_EQ(format_time(0) + format_date(0), "");
    EXPECT_EQ(parse_time(nullptr), 0);
    EXPECT_EQ(parse_time(""), 0);
    EXPECT_LT(old, 0);
    EXPECT_EQ(old, mktime_of(1950, 6, 15, 8, 0, 0));
    EXPECT_EQ(format_time(old) + "|" + format_date(old), "1950-06-15 08:00:00|1950-06-15");
    EXPECT_EQ(parse_time("1950-06-15 08:00:00"), old);
    EXPECT_EQ(parse_time(format_time(-1).c_str()), -1); // a second before 1970 is a time, not "not set"
}

TEST(Time, AgreesWithMktimeAcrossDaylightSaving) {
    {
        TzGuard tz("Europe/Berlin");
        EXPECT_EQ(check_change_days({{2011, 3, 27}, {2011, 10, 30}, {2024, 3, 31}, {2024, 10, 27}}), 4);
        check_spread();
    }
    {
        // The same abbreviations and offset as Berlin but another history (no
        // summer time in 1948, other change days in 1978): nothing may be reused.
        TzGuard tz("Europe/Paris");
        check_spread();
    }
    {
        TzGuard tz("America/New_York");
        EXPECT_EQ(check_change_days({{2011, 3, 13}, {2011, 11, 6}, {2024, 3, 10}, {2024, 11, 3}}), 4);
        check_spread();
    }
    TzGuard tz("Asia/Shanghai");
    check_spread();
}

TEST_F(StoreTest, TimesRoundTripThroughTheStore) {
    const int64_t now = static_cast<int64_t>(time(nullptr)), old = local_time_of(1950, 6, 15, 8, 0, 0);
    SRec units[] = {unit("T1", "n", 0, 10, 0, now, 0), unit("T2", "n", 1, 10, 9, old, now - 60),
                    unit("T3", "n")};
    ASSERT_EQ(core.insert_srec(units, 3), 3);
    std::vector<SRec> got = all_units(core);
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].FSt_StoT, units[i].FSt_StoT);
        EXPECT_EQ(got[i].FSt_SalT, units[i].FSt_SalT);
    }
    // 0 is SQL NULL, and set times are the local text that conditions compare with.
    EXPECT_EQ(core.get_srec_count("FSt_SalT IS NULL"), 2);
    EXPECT_EQ(core.get_srec_count("FSt_StoT IS NULL"), 1);
    EXPECT_EQ(core.get_srec_count("FSt_StoT='1950-06-15 08:00:00'"), 1);
    EXPECT_EQ(core.get_srec_count(("FSt_StoT='" + format_time(now) + "'").c_str()), 1);

    VIPRec ms[] = {
        member("A", "a", old, 0), member("B", "b", 0, now),
        member("C", "c", local_time_of(1969, 12, 31, 23, 59, 59), local_time_of(1970, 1, 1, 0, 0, 1))};
    ASSERT_EQ(core.insert_viprec(ms, 3), 3);
    VIPRec back[3];
    ASSERT_EQ(core.select_viprec(back, nullptr), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].FVt_BirT, ms[i].FVt_BirT);
        EXPECT_EQ(back[i].FVt_CreT, ms[i].FVt_CreT);
    }
    // The birthday is the last column, whatever the field order.
    EXPECT_EQ(core.get_viprec_count("FVt_BirT='1950-06-15 08:00:00' AND FVt_CreT IS NULL AND FVs_Code='A'"),
              1);
    EXPECT_EQ(core.get_viprec_count("FVt_BirT IS NULL AND FVs_Code='B'"), 1);
}
