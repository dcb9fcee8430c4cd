#include "platform/DateTime.h"
#include <nuv/Exception.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ctime>

using namespace nuv;

struct DateCase {
    int y, m, d;
    double serial;
};

TEST(DateTime, EncodeAndDecodeKnownDays) {
    const DateCase cases[] = {
        {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},         {1900, 3, 1, 61},
        {1970, 1, 1, 25569}, {2000, 2, 29, 36585}, {2004, 3, 5, 38051},     {2026, 12, 10, 46366},
        {1899, 12, 29, -1},  {1, 1, 1, -693593},   {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
        int y = 0, m = 0, d = 0;
        DecodeDate(c.serial, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.serial;
    }
}

TEST(DateTime, DatesThatDoNotExistAreRefused) {
    const int bad[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                          {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
    for (const auto& b : bad) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], d)) << b[0] << "-" << b[1] << "-" << b[2];
        EXPECT_EQ(d, 123) << "left untouched";
        EXPECT_THROW(EncodeDate(b[0], b[1], b[2]), Exception);
    }
    TDateTime d = 0;
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, d)) << "2000 is a leap year (divisible by 400)";
}

TEST(DateTime, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2004));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(DateTime, TimeOfDayRoundsToTheMillisecondWithoutReaching24h) {
    TDateTime t = EncodeTime(13, 45, 30, 250);
    int h, n, s, ms;
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::array{h, n, s, ms}), (std::array{13, 45, 30, 250}));

    // Just below midnight rounds up into the next day, for date and time together.
    TDateTime almost = EncodeDate(2004, 3, 5) + (86400000.0 - 0.2) / 86400000.0;
    DateTimeParts p = DecodeDateTime(almost);
    EXPECT_EQ(p.day, 6);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(p.millisecond, 0);

    EXPECT_THROW(EncodeTime(24, 0, 0, 0), Exception);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), Exception);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), Exception);
}

TEST(DateTime, NegativeValuesKeepTheirTimeForwardFromTheDay) {
    // -1.25: 1899-12-29 at 06:00, the way the platform reads dates before its epoch.
    DateTimeParts p = DecodeDateTime(-1.25);
    EXPECT_EQ(p.year * 10000 + p.month * 100 + p.day, 18991229);
    EXPECT_EQ(p.hour, 6);
    EXPECT_EQ(EncodeDateTime(p), -1.25);
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2004, 3, 5)), 6);   // a Friday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 13)), 1); // a Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6); // before the epoch
}

TEST(DateTime, NowCanBeFixedAndRestored) {
    const TDateTime fixed = EncodeDate(2004, 3, 5) + EncodeTime(8, 9, 10, 11);
    {
        ScopedNow clock(fixed);
        EXPECT_EQ(Now(), fixed);
        EXPECT_EQ(Today(), EncodeDate(2004, 3, 5));
    }
    // Back on the system clock: the local date agrees with the C library's.
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    TDateTime expect = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    TDateTime today = Today();
    EXPECT_TRUE(today == expect || today == expect + 1) << "midnight may pass between the calls";
    EXPECT_GE(Now(), today);
}
