// ScheduleRules: the date rules of periodic report jobs.
//
// The periodic page turns its controls into records (CycleSpec, ScheduleRecord, DynamicEntry);
// the routines here turn those records into dates: the first scheduled run, and the dates of
// the report's conditions moved to a run date. They hold no state and take and give dates as
// eight-digit "YYYYMMDD" texts (year-month values as "YYYYMM").
//
// Weekday numbers are 1 Sunday .. 7 Saturday; weekday indexes stored in a CycleSpec are
// 0 Sunday .. 6 Saturday.
#pragma once

#include <nuv/Variant.h>

#include <string>
#include <string_view>

namespace nuv {

// --- CycleSpec: [mode, parameters], bounds 0..1 ------------------------------------------------

enum class CycleMode : int {
    EveryNDays = 0,   // [0, days text]
    EveryNWeeks = 1,  // [1, [weeks text, weekday index]]
    EveryNMonths = 2, // [2, [0, months text, day text]] or [2, [1, months text, ordinal, weekday]]
    HourMinute = 3    // [3, "HHMM"]: every H hours M minutes
};

// Kinds of the monthly cycle (element 0 of its parameter array).
inline constexpr int MonthlyOnDay = 0;
inline constexpr int MonthlyOnWeekday = 1;
// Ordinal of the monthly weekday cycle: 0..3 the first to fourth, 4 the last of the month.
inline constexpr int LastWeekdayOfMonth = 4;

Variant CycleSpecEveryNDays(const std::string& days);
Variant CycleSpecEveryNWeeks(const std::string& weeks, int weekdayIndex);
Variant CycleSpecMonthlyOnDay(const std::string& months, const std::string& day);
Variant CycleSpecMonthlyOnWeekday(const std::string& months, int ordinal, int weekdayIndex);
Variant CycleSpecHourMinute(int hours, int minutes);

// --- ScheduleRecord: ["Y", "hh:nn", CycleSpec, cycle range], bounds 0..3 ------------------------

// Cycle ranges: [start, 0] no end; [start, 1, repetitions text]; [start, 2, end].
Variant CycleRangeNoEnd(const std::string& start);
Variant CycleRangeRepetitions(const std::string& start, const std::string& repetitions);
Variant CycleRangeUntil(const std::string& start, const std::string& end);

Variant MakeScheduleRecord(int hour, int minute, const Variant& cycleSpec,
                           const Variant& cycleRange);

// --- DynamicEntry: how one date condition moves with each run ----------------------------------

// Fields of an entry line are separated by the character with code 3.
inline constexpr std::string_view DynamicFieldSeparator{"\x03", 1};
// Kinds (field 1): a single date condition and a range (selection panel) condition.
inline constexpr std::string_view DynamicSingleDate = "1";
inline constexpr std::string_view DynamicDateRange = "0";

// One moving rule: the date moves by Count weeks or months (Unit 0 week, 1 month), then either
// by Days (Mode 0) or to the first (Mode 1) or last (Mode 2) day of that week or month.
struct DateMoveRule {
    bool Moves = false;
    std::string Count = "0";
    int Unit = 0;
    int Mode = 0;
    std::string Days = "0";
};

// The line layout: kind, component name, then for a single date its rule (fields 3-7) and the
// type letter ("D" full date, "M" year-month) in field 8; for a range the start rule (3-7), the
// end rule (8-12) and the type letter in field 13. A request appends the condition's position
// in the request arrays (field 9 or 14).
struct DynamicEntry {
    std::string Kind{DynamicSingleDate};
    std::string Component;
    DateMoveRule Begin; // the single date's rule, or the start of a range
    DateMoveRule End;   // the end of a range; unused for a single date
    std::string DateType = "D";

    bool IsRange() const { return Kind == DynamicDateRange; }
    // The line without a position field.
    std::string Line() const;
    // Reads a line; unit and mode fields that are not numbers raise an Exception.
    static DynamicEntry FromLine(std::string_view line);
};

// --- the rules ---------------------------------------------------------------------------------

// The first run of a cycle that starts on start. Mode 0 runs on start itself; mode 1 on the
// chosen weekday of the N-th week counted from start's week (a week later when that weekday
// is already past in start's week); mode 2 on the chosen day (or n-th weekday) of the first
// month that has it on or after start, every M months. Mode 3, other modes, an unusable start
// and a malformed spec (counts that are no number or below 1, weekday indexes outside 0..6,
// ordinals outside 0..4) give an empty text.
std::string ComputeFirstRun(std::string_view start, const Variant& spec);

// Moves the date values of a request's condition data to runDate. block is [condition data,
// ScheduleRecord, dynamic list] with bounds 1..3, the dynamic list [n, line 1, .., line n] with
// each line's position field appended. Returns the condition data with the moved values, or an
// empty text when any line cannot be applied (a missing or bad position, a malformed rule).
Variant ApplyDynamicDates(const Variant& block, std::string_view runDate);

// One moved date: base ("YYYYMMDD", or "YYYYMM" for a year-month condition) moved by the rule
// texts as stored in a DynamicEntry. An unusable base gives an empty text; a count or days text
// that is no number, or an unknown month mode, raises an Exception.
std::string ShiftByRule(std::string_view base, std::string_view count, std::string_view unit,
                        std::string_view days, std::string_view mode);

// The Sunday (mode "1") or Saturday (any other mode) of the week count weeks from base.
std::string WeekBoundary(std::string_view base, std::string_view count, std::string_view mode);

} // namespace nuv
