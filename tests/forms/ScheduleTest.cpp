// The run times of a periodic job's schedule: what the runner plans and the periodic page shows.
#include "forms/Schedule.h"

#include "forms/ScheduleRules.h"

#include <nuv/Exception.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace nuv;

namespace {

enum Weekday { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

using Runs = std::vector<std::string>;

TSchedule ScheduleOf(const Variant& cycle, const Variant& range, int hour = 8, int minute = 5) {
    return TSchedule::FromRecord(MakeScheduleRecord(hour, minute, cycle, range));
}

// The run times found by stepping from the first occurrence one run at a time.
std::string SteppedFirstRun(const TSchedule& s, const std::string& notBefore) {
    std::string run = s.FirstRun("");
    while (!run.empty() && run < notBefore)
        run = s.NextRun(run, 0);
    return run;
}

} // namespace

TEST(Schedule, RunTimesOfEveryCycleAndEnd) {
    const struct {
        const char* name;
        TSchedule schedule;
        Runs runs;
    } cases[] = {
        {"every 2 days, 3 runs",
         ScheduleOf(CycleSpecEveryNDays("2"), CycleRangeRepetitions("20261207", "3")),
         {"2026-12-07 08:05:00", "2026-12-09 08:05:00", "2026-12-11 08:05:00"}},
        {"every 2 weeks on Friday until 2027-01-10",
         ScheduleOf(CycleSpecEveryNWeeks("2", Friday), CycleRangeUntil("20261207", "20270110")),
         {"2026-12-18 08:05:00", "2027-01-01 08:05:00"}},
        {"every 2 months on the last Friday",
         ScheduleOf(CycleSpecMonthlyOnWeekday("2", LastWeekdayOfMonth, Friday),
                    CycleRangeRepetitions("20261207", "3")),
         {"2027-01-29 08:05:00", "2027-03-26 08:05:00", "2027-05-28 08:05:00"}},
        {"every 1 h 30 min",
         ScheduleOf(CycleSpecHourMinute(1, 30), CycleRangeRepetitions("20261207", "3"), 23, 0),
         {"2026-12-07 23:00:00", "2026-12-08 00:30:00", "2026-12-08 02:00:00"}},
        {"until a date that the first run already passed",
         ScheduleOf(CycleSpecEveryNWeeks("1", Friday), CycleRangeUntil("20261207", "20261210")),
         {}},
        {"until the day of the first run",
         ScheduleOf(CycleSpecEveryNWeeks("1", Friday), CycleRangeUntil("20261207", "20261211")),
         {"2026-12-11 08:05:00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.schedule.UpcomingRuns("", 4), c.runs);
    }
}

// A day the month lacks becomes its last day, in every month length; the day itself comes back
// in the months that have it.
TEST(Schedule, MonthlyDay31InEveryMonthLength) {
    TSchedule s = ScheduleOf(CycleSpecMonthlyOnDay("1", "31"), CycleRangeNoEnd("20271201"));
    EXPECT_EQ(s.UpcomingRuns("", 6),
              (Runs{"2027-12-31 08:05:00", "2028-01-31 08:05:00", "2028-02-29 08:05:00",
                    "2028-03-31 08:05:00", "2028-04-30 08:05:00", "2028-05-31 08:05:00"}));
    // Every 12 months on day 30, first in the twelfth month counted from March 2026.
    TSchedule feb = ScheduleOf(CycleSpecMonthlyOnDay("12", "30"), CycleRangeNoEnd("20260301"));
    EXPECT_EQ(feb.UpcomingRuns("", 3),
              (Runs{"2027-02-28 08:05:00", "2028-02-29 08:05:00", "2029-02-28 08:05:00"}));
}

// The last weekday counts back from the month's own last day: 28, 29, 30 and 31 days.
TEST(Schedule, LastWeekdayInEveryMonthLength) {
    TSchedule s = ScheduleOf(CycleSpecMonthlyOnWeekday("1", LastWeekdayOfMonth, Sunday),
                             CycleRangeNoEnd("20270201"));
    // February 2027 has 28 days, March 31, April 30; February 2028 has 29 and ends on a Tuesday.
    EXPECT_EQ(s.UpcomingRuns("", 3),
              (Runs{"2027-02-28 08:05:00", "2027-03-28 08:05:00", "2027-04-25 08:05:00"}));
    TSchedule leap = ScheduleOf(CycleSpecMonthlyOnWeekday("1", LastWeekdayOfMonth, Tuesday),
                                CycleRangeNoEnd("20280201"));
    EXPECT_EQ(leap.UpcomingRuns("", 2), (Runs{"2028-02-29 08:05:00", "2028-03-28 08:05:00"}));
}

TEST(Schedule, OccurrencesBeforeAcceptanceAreSkippedWithoutCounting) {
    TSchedule s = ScheduleOf(CycleSpecEveryNDays("1"), CycleRangeRepetitions("20261201", "2"));
    EXPECT_EQ(s.UpcomingRuns("2026-12-10 09:00:00", 5),
              (Runs{"2026-12-11 08:05:00", "2026-12-12 08:05:00"}));
}

// A start long past lands on the run that stepping through every occurrence finds, and a start
// decades back (every 7 minutes since 1990 is millions of runs) is not walked run by run.
TEST(Schedule, AStartLongPastLandsOnTheSameRunAsStepping) {
    const std::string now = "2026-12-10 09:17:30";
    const struct {
        const char* name;
        Variant cycle;
        const char* firstSince1990;
    } cases[] = {
        {"every 3 days", CycleSpecEveryNDays("3"), "2026-12-12 08:05:00"},
        {"every 2 weeks on Friday", CycleSpecEveryNWeeks("2", Friday), "2026-12-11 08:05:00"},
        {"every 7 minutes", CycleSpecHourMinute(0, 7), "2026-12-10 09:21:00"},
        {"every 23 h 59 min", CycleSpecHourMinute(23, 59), "2026-12-10 23:03:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSchedule recent = ScheduleOf(c.cycle, CycleRangeNoEnd("20261101"));
        const std::string first = recent.FirstRun(now);
        EXPECT_GE(first, now);
        EXPECT_EQ(first, SteppedFirstRun(recent, now));
        EXPECT_EQ(ScheduleOf(c.cycle, CycleRangeNoEnd("19900101")).FirstRun(now), c.firstSince1990);
    }
}

// The calendar ends with the year 9999: the schedule ends there instead of failing.
TEST(Schedule, RunsStopAtTheEndOfTheCalendar) {
    EXPECT_EQ(ScheduleOf(CycleSpecEveryNDays("1"), CycleRangeNoEnd("99991230")).UpcomingRuns("", 5),
              (Runs{"9999-12-30 08:05:00", "9999-12-31 08:05:00"}));
    EXPECT_EQ(ScheduleOf(CycleSpecHourMinute(12, 0), CycleRangeNoEnd("99991231"), 8, 0)
                  .UpcomingRuns("", 5),
              (Runs{"9999-12-31 08:00:00", "9999-12-31 20:00:00"}));
    EXPECT_EQ(ScheduleOf(CycleSpecMonthlyOnDay("1", "31"), CycleRangeNoEnd("99991201"))
                  .UpcomingRuns("", 5),
              (Runs{"9999-12-31 08:05:00"}));
}

// A start or end that is no full date is refused with the reason, not read as "no date".
TEST(Schedule, StartAndEndMustBeRealDates) {
    for (const char* start : {"", "2026120", "20261232", "2026120799"}) {
        SCOPED_TRACE(start);
        EXPECT_THROW(ScheduleOf(CycleSpecHourMinute(0, 30), CycleRangeNoEnd(start)), Exception);
    }
    EXPECT_THROW(ScheduleOf(CycleSpecEveryNDays("1"), CycleRangeUntil("20261207", "")), Exception);
    EXPECT_THROW(ScheduleOf(CycleSpecEveryNDays("1"), CycleRangeUntil("20261207", "20261201")),
                 Exception);
}
