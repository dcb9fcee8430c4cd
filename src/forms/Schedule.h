// Schedule: when a periodic job runs.
//
// A periodic request carries a schedule record ["Y", "hh:mm", cycle spec, cycle range] (the
// layouts are those of forms/ScheduleRules.h). TSchedule is that record read and checked once;
// FirstRun and NextRun give the run times it stands for, as "YYYY-MM-DD hh:mm:ss" texts. The
// server's runner plans its runs with it, and the periodic page shows the coming runs with the
// same code, so what the user sees is what will run.
#pragma once

#include <nuv/Variant.h>

#include <string>
#include <vector>

namespace nuv {

struct TSchedule {
    int Hour = 0, Minute = 0;
    int Mode = 0;        // 0 days, 1 weeks, 2 months, 3 hours and minutes
    int Every = 1;       // days, weeks or months between runs; minutes for mode 3
    int Weekday = 0;     // 0 Sunday .. 6 Saturday (weekly, and monthly on a weekday)
    int MonthlyKind = 0; // 0 on a day of the month, 1 on the n-th weekday
    int Day = 1;         // day of the month
    int Ordinal = 0;     // 0..3 first to fourth, 4 last
    int RangeKind = 0;   // 0 never ends, 1 after Repetitions runs, 2 until End
    std::string Start;   // "YYYYMMDD"
    int Repetitions = 0;
    std::string End; // "YYYYMMDD"
    Variant CycleSpec;

    // Reads a schedule record; raises Exception with a text that says what is wrong.
    static TSchedule FromRecord(const Variant& record);

    // The first run at or after notBefore ("YYYY-MM-DD hh:mm:ss"); empty when none is left.
    std::string FirstRun(const std::string& notBefore) const;
    // The run after the one at last, given how many runs were made; empty when the schedule
    // has ended.
    std::string NextRun(const std::string& last, int runsDone) const;
    // The first max runs at or after notBefore, in order: fewer when the schedule ends first.
    std::vector<std::string> UpcomingRuns(const std::string& notBefore, int max) const;
    // "every 2 weeks on Friday at 08:05, from 2026/12/07, ending after 5 runs"
    std::string Describe() const;

private:
    std::string Candidate(const std::string& last) const;
    // A run of the cycle shortly before notBefore, reached without stepping through every
    // occurrence in between (cycles of a fixed length only); run itself otherwise.
    std::string SkipAhead(const std::string& run, const std::string& notBefore) const;
    bool Ended(const std::string& run, int runsDone) const;
};

// "YYYY-MM-DD hh:mm:ss" of a date-time value, and back (0 for an unreadable text).
std::string TimeText(double dateTime);
double TimeValue(const std::string& text);
// "YYYYMMDD" of such a text.
std::string RunDateOf(const std::string& timeText);
// Now as "YYYY-MM-DD hh:mm:ss".
std::string NowText();

} // namespace nuv
