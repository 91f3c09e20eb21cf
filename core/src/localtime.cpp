#include "localtime.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace vorn::detail {

namespace {

int64_t plain_mktime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&tm));
}

// Days since 1970-01-01 of a proleptic Gregorian date; only used as a cache key.
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// What mktime says about one local day: the second of its midnight, and whether
// the day is plain (exactly 86400 s, no daylight-saving change inside it). On a
// plain day every time is midnight plus the seconds since, exactly as mktime
// computes it; days with a change go to mktime itself.
struct DayEntry {
    int64_t key = INT64_MIN;
    int64_t midnight = 0;
    bool plain = false;
};

// The zone the cache was filled in. Two zones may share their offset and
// abbreviations (Berlin and Paris) yet differ in their history, so the TZ
// setting itself is compared too.
struct ZoneStamp {
    bool set = false;
    bool hasTz = false;
    std::string tz;
    long zone = 0;
    const char* name0 = nullptr;
    const char* name1 = nullptr;

    bool matchesNow() const {
        const char* now = std::getenv("TZ");
        if (!set || hasTz != (now != nullptr) || (now && tz != now)) return false;
        return zone == timezone && name0 == tzname[0] && name1 == tzname[1];
    }
    void takeNow() {
        const char* now = std::getenv("TZ");
        set = true;
        hasTz = now != nullptr;
        tz = now ? now : "";
        zone = timezone;
        name0 = tzname[0];
        name1 = tzname[1];
    }
};

int days_in_month(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return days[month - 1];
}

constexpr unsigned kCacheSize = 2048; // about five years of days

} // namespace

int64_t fast_mktime(int year, int month, int day, int hour, int minute, int second) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 60 || day > days_in_month(year, month))
        return plain_mktime(year, month, day, hour, minute, second);

    thread_local DayEntry cache[kCacheSize];
    thread_local ZoneStamp stamp;
    if (!stamp.matchesNow()) {
        tzset();
        for (DayEntry& e : cache) e.key = INT64_MIN;
        stamp.takeNow();
    }
    const int64_t key = days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    DayEntry& e = cache[static_cast<uint64_t>(key) % kCacheSize];
    if (e.key != key) {
        const int64_t start = plain_mktime(year, month, day, 0, 0, 0);
        const int64_t end = plain_mktime(year, month, day, 23, 59, 59);
        e.key = key;
        e.midnight = start;
        e.plain = start != -1 && end != -1 && end - start == 86399;
    }
    if (!e.plain) return plain_mktime(year, month, day, hour, minute, second);
    return e.midnight + hour * 3600 + minute * 60 + second;
}

} // namespace vorn::detail
