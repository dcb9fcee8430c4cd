#include "platform/DateTime.h"

#include <nuv/Exception.h>

#include <cmath>
#include <ctime>
#include <utility>

namespace nuv {

namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian); Howard Hinnant's algorithm.
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

constexpr long long MsPerDay = 86400000LL;

// Splits a TDateTime into a day number and milliseconds into that day, rounding to the
// millisecond. The fraction of a negative value counts forwards from its day, as the
// platform reads it: -1.25 is day -1 at 06:00.
void SplitMs(TDateTime value, long long& day, long long& ms) {
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    day = static_cast<long long>(whole);
    ms = std::llround(frac * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        day += value < 0 ? -1 : 1;
    }
}

NowFunction& NowOverride() {
    static NowFunction fn;
    return fn;
}

TDateTime SystemNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    TDateTime date = static_cast<double>(
        DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) + 25569);
    TDateTime time = 0;
    // tm_sec may be 60 on a leap second; the platform has no such second.
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                  static_cast<int>(ts.tv_nsec / 1000000), time);
    return date + time;
}

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, month, day) + 25569);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d = 0;
    if (!TryEncodeDate(year, month, day, d))
        throw Exception("Invalid argument to date encode");
    return d;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    long long dayNo = 0, ms = 0;
    SplitMs(date, dayNo, ms);
    CivilFromDays(dayNo - 25569, year, month, day);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        return false;
    long long ms = ((hour * 60LL + min) * 60 + sec) * 1000 + msec;
    time = static_cast<double>(ms) / static_cast<double>(MsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t = 0;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw Exception("Invalid argument to time encode");
    return t;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
    long long day = 0, ms = 0;
    SplitMs(time, day, ms);
    msec = static_cast<int>(ms % 1000);
    sec = static_cast<int>(ms / 1000 % 60);
    min = static_cast<int>(ms / 60000 % 60);
    hour = static_cast<int>(ms / 3600000);
}

DateTimeParts DecodeDateTime(TDateTime value) {
    DateTimeParts p;
    long long day = 0, ms = 0;
    SplitMs(value, day, ms);
    CivilFromDays(day - 25569, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.hour = static_cast<int>(ms / 3600000);
    return p;
}

TDateTime EncodeDateTime(const DateTimeParts& p) {
    TDateTime date = EncodeDate(p.year, p.month, p.day);
    TDateTime time = EncodeTime(p.hour, p.minute, p.second, p.millisecond);
    return date >= 0 ? date + time : date - time;
}

int DayOfWeek(TDateTime date) {
    long long day = 0, ms = 0;
    SplitMs(date, day, ms);
    // Day 1 (1899-12-31) was a Sunday.
    long long r = (day - 1) % 7;
    if (r < 0)
        r += 7;
    return static_cast<int>(r) + 1;
}

TDateTime Now() {
    const NowFunction& fn = NowOverride();
    return fn ? fn() : SystemNow();
}

TDateTime Today() {
    return std::trunc(Now());
}

void SetNowFunction(NowFunction fn) {
    NowOverride() = std::move(fn);
}

} // namespace nuv
