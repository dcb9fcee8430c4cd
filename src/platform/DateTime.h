// Calendar arithmetic on TDateTime values: a double counting days since 1899-12-30, with the
// time of day as the fraction (0.5 = noon), local time. Every date helper of the project
// that needs year/month/day arithmetic uses these, so that the calendar lives in one place.
//
// Dates are proleptic Gregorian, years 1..9999 as the platform allows them.
#pragma once

#include <functional>

namespace nuv {

using TDateTime = double;

// Day number of 1970-01-01 (the Unix epoch).
inline constexpr double UnixDateDelta = 25569.0;

bool IsLeapYear(int year);
// Days of the month (1..12) in the year; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Day number of the date; false (and date untouched) when the date does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// As TryEncodeDate; raises Exception("Invalid argument to date encode") for a date that does
// not exist.
TDateTime EncodeDate(int year, int month, int day);
// Year, month and day of the date part. A value before 1899-12-30 keeps its day as the
// integral part towards zero, as the platform does (-1.5 is 1899-12-29 at noon). The decoders
// below raise Exception for NaN, infinities and values outside the years 1..9999.
void DecodeDate(TDateTime date, int& year, int& month, int& day);

// Fraction of a day; false when a part is out of range (hour 0..23, minute and second 0..59,
// millisecond 0..999).
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// Time of day of the value, rounded to the millisecond (never 24:00:00.000).
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);

// Date and time together, rounded to the millisecond: 23:59:59.9999 reads as the next day at
// 00:00:00.000, so date and time never disagree.
struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};
DateTimeParts DecodeDateTime(TDateTime value);
TDateTime EncodeDateTime(const DateTimeParts& parts);

// Day of the week, 1 = Sunday .. 7 = Saturday (the platform's DayOfWeek).
int DayOfWeek(TDateTime date);

// The current local date and time, to the millisecond.
TDateTime Now();
// Today's date (Now without the time).
TDateTime Today();

// Replaces the clock behind Now and Today (tests use it to stand on a given day); an empty
// function restores the system clock.
using NowFunction = std::function<TDateTime()>;
void SetNowFunction(NowFunction fn);

// Sets a fixed clock for the life of the object and restores the system clock afterwards.
class ScopedNow {
public:
    explicit ScopedNow(TDateTime fixed) {
        SetNowFunction([fixed] { return fixed; });
    }
    ~ScopedNow() { SetNowFunction({}); }
    ScopedNow(const ScopedNow&) = delete;
    ScopedNow& operator=(const ScopedNow&) = delete;
};

} // namespace nuv
