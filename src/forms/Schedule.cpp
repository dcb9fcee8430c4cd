#include "forms/Schedule.h"

#include "forms/ScheduleRules.h"
#include "platform/DateTime.h"
#include "support/LibStrs.h"
#include <nuv/Exception.h>

#include <cmath>
#include <cstdio>

namespace nuv {

namespace {

const char* const WeekdayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
const char* const OrdinalNames[] = {"first", "second", "third", "fourth", "last"};

[[noreturn]] void Bad(const std::string& what) {
    throw Exception("The schedule cannot be read: " + what);
}

int WholeNumber(const Variant& v, const char* what, int low, int high) {
    int n = 0;
    try {
        if (v.IsText()) {
            std::string s(detail::Trim(v.ToString()));
            std::size_t used = 0;
            n = std::stoi(s, &used);
            if (used != s.size())
                throw Exception("");
        } else if (v.Type() == VarType::Integer) {
            n = v.ToInt();
        } else {
            throw Exception("");
        }
    } catch (const std::exception&) {
        Bad(std::string(what) + " is '" + v.ToString() + "', not a whole number");
    }
    if (n < low || n > high)
        Bad(std::string(what) + " " + std::to_string(n) + " is outside " + std::to_string(low) +
            ".." + std::to_string(high));
    return n;
}

const Variant& Part(const Variant& a, int i, const char* what) {
    if (!a.IsArray() || a.ArrayDimCount() != 1 || i < a.ArrayLowBound() || i > a.ArrayHighBound())
        Bad(std::string(what) + " is missing");
    return a[i];
}

std::string DateText8(const Variant& v, const char* what) {
    std::string s = v.ToString();
    if (s.size() != 8 || DateFromYYYYMMDD(s) == 0)
        Bad(std::string(what) + " '" + s + "' is not a date YYYYMMDD");
    return s;
}

std::string Join(const std::string& date8, int hour, int minute) {
    if (date8.size() != 8)
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4s-%.2s-%.2s %02d:%02d:00", date8.c_str(), date8.c_str() + 4,
                  date8.c_str() + 6, hour, minute);
    return buf;
}

std::string Slashed(const std::string& date8) {
    return date8.substr(0, 4) + "/" + date8.substr(4, 2) + "/" + date8.substr(6, 2);
}

} // namespace

std::string TimeText(double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
}

double TimeValue(const std::string& t) {
    DateTimeParts p;
    if (std::sscanf(t.c_str(), "%d-%d-%d %d:%d:%d", &p.year, &p.month, &p.day, &p.hour, &p.minute,
                    &p.second) != 6)
        return 0;
    try {
        return EncodeDateTime(p);
    } catch (const Exception&) {
        return 0;
    }
}

std::string RunDateOf(const std::string& t) {
    return t.size() >= 10 ? t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2) : std::string();
}

std::string NowText() {
    return TimeText(Now());
}

TSchedule TSchedule::FromRecord(const Variant& record) {
    if (!record.IsArray() || record.ArrayDimCount() != 1 || record.ArrayLowBound() != 0 ||
        record.ArrayHighBound() != 3)
        Bad("the schedule record must be an array 0..3");
    TSchedule s;
    if (record[0].ToString() != "Y")
        Bad("element 0 of the schedule record must be \"Y\"");
    const std::string time = record[1].ToString();
    int h = -1, m = -1;
    char tail = 0;
    if (time.size() != 5 || std::sscanf(time.c_str(), "%2d:%2d%c", &h, &m, &tail) != 2 || h < 0 ||
        h > 23 || m < 0 || m > 59)
        Bad("the execution time '" + time + "' is not hh:mm");
    s.Hour = h;
    s.Minute = m;

    s.CycleSpec = record[2];
    const Variant& spec = s.CycleSpec;
    if (!spec.IsArray() || spec.ArrayDimCount() != 1 || spec.ArrayLowBound() != 0 ||
        spec.ArrayHighBound() != 1)
        Bad("the cycle must be an array [mode, parameters]");
    s.Mode = WholeNumber(spec[0], "the cycle mode", 0, 3);
    switch (s.Mode) {
    case 0:
        s.Every = WholeNumber(spec[1], "the number of days", 1, 3660);
        break;
    case 1:
        s.Every =
            WholeNumber(Part(spec[1], 0, "the number of weeks"), "the number of weeks", 1, 520);
        s.Weekday = WholeNumber(Part(spec[1], 1, "the weekday"), "the weekday", 0, 6);
        break;
    case 2:
        s.MonthlyKind = WholeNumber(Part(spec[1], 0, "the monthly kind"), "the monthly kind", 0, 1);
        s.Every =
            WholeNumber(Part(spec[1], 1, "the number of months"), "the number of months", 1, 120);
        if (s.MonthlyKind == 0) {
            s.Day = WholeNumber(Part(spec[1], 2, "the day of the month"), "the day of the month", 1,
                                31);
        } else {
            s.Ordinal = WholeNumber(Part(spec[1], 2, "the week of the month"),
                                    "the week of the month", 0, 4);
            s.Weekday = WholeNumber(Part(spec[1], 3, "the weekday"), "the weekday", 0, 6);
        }
        break;
    case 3: {
        const std::string hm = spec[1].ToString();
        if (hm.size() != 4 || hm.find_first_not_of("0123456789") != std::string::npos)
            Bad("the interval '" + hm + "' is not four digits HHMM");
        s.Every = std::stoi(hm.substr(0, 2)) * 60 + std::stoi(hm.substr(2, 2));
        if (s.Every <= 0)
            Bad("the interval of hours and minutes is zero");
        break;
    }
    }

    const Variant& range = record[3];
    s.Start = DateText8(Part(range, 0, "the start date"), "the start date");
    s.RangeKind = WholeNumber(Part(range, 1, "the end rule"), "the end rule", 0, 2);
    if (s.RangeKind == 1)
        s.Repetitions =
            WholeNumber(Part(range, 2, "the number of runs"), "the number of runs", 1, 100000);
    if (s.RangeKind == 2) {
        s.End = DateText8(Part(range, 2, "the end date"), "the end date");
        if (s.End < s.Start)
            Bad("the end date " + s.End + " is before the start date " + s.Start);
    }
    if (s.Mode != 3 && ComputeFirstRun(s.Start, s.CycleSpec).empty())
        Bad("no first run can be computed from the start date " + s.Start);
    return s;
}

std::string TSchedule::Candidate(const std::string& last) const {
    const std::string date = RunDateOf(last);
    switch (Mode) {
    case 0:
        return Join(ShiftDate(Variant(date), "D", Every), Hour, Minute);
    case 1:
        return Join(ShiftDate(Variant(date), "D", 7 * Every), Hour, Minute);
    case 2: {
        const std::string month = ShiftDate(Variant(date.substr(0, 6) + "01"), "M", Every);
        Variant spec = MonthlyKind == 0 ? CycleSpecMonthlyOnDay("1", std::to_string(Day))
                                        : CycleSpecMonthlyOnWeekday("1", Ordinal, Weekday);
        return Join(ComputeFirstRun(month, spec), Hour, Minute);
    }
    default:
        return TimeText(TimeValue(last) + Every / 1440.0);
    }
}

bool TSchedule::Ended(const std::string& run, int runsDone) const {
    if (RangeKind == 1 && runsDone >= Repetitions)
        return true;
    if (RangeKind == 2 && RunDateOf(run) > End)
        return true;
    return false;
}

std::string TSchedule::SkipAhead(const std::string& run, const std::string& notBefore) const {
    // Minutes from one run to the next, for the cycles of a fixed length.
    long long step = 0;
    switch (Mode) {
    case 0:
        step = 1440LL * Every;
        break;
    case 1:
        step = 7 * 1440LL * Every;
        break;
    case 3:
        step = Every;
        break;
    default:
        return run; // months differ in length: the caller steps through them
    }
    const double from = TimeValue(run), to = TimeValue(notBefore);
    if (from == 0 || to <= from)
        return run;
    // Whole minutes between the two, less one cycle, so the caller's steps land exactly.
    const long long minutes = std::llround((to - from) * 1440.0);
    const long long cycles = minutes / step - 1;
    if (cycles <= 0)
        return run;
    // Runs sit on whole minutes; the sum is exact to far below the millisecond TimeText rounds to.
    return TimeText(from + double(cycles * step) / 1440.0);
}

std::string TSchedule::FirstRun(const std::string& notBefore) const {
    std::string run = Mode == 3 ? Join(Start, Hour, Minute)
                                : Join(ComputeFirstRun(Start, CycleSpec), Hour, Minute);
    // Occurrences before the job was accepted cannot run any more: the schedule starts with
    // the first one still ahead. A start long past is not walked through run by run.
    try {
        if (!run.empty() && run < notBefore)
            run = SkipAhead(run, notBefore);
        for (int guard = 0; !run.empty() && run < notBefore && guard < 1000000; ++guard)
            run = Candidate(run);
    } catch (const Exception&) {
        run.clear(); // the cycle left the calendar
    }
    return run.empty() || run < notBefore || Ended(run, 0) ? std::string() : run;
}

std::string TSchedule::NextRun(const std::string& last, int runsDone) const {
    std::string next;
    try {
        next = Candidate(last);
    } catch (const Exception&) {
        // The cycle left the calendar (beyond the year 9999): nothing comes after last.
    }
    return next.empty() || Ended(next, runsDone) ? std::string() : next;
}

std::vector<std::string> TSchedule::UpcomingRuns(const std::string& notBefore, int max) const {
    std::vector<std::string> runs;
    for (std::string run = FirstRun(notBefore); !run.empty() && static_cast<int>(runs.size()) < max;
         run = NextRun(run, static_cast<int>(runs.size())))
        runs.push_back(run);
    return runs;
}

std::string TSchedule::Describe() const {
    char at[16];
    std::snprintf(at, sizeof at, "%02d:%02d", Hour, Minute);
    std::string d;
    switch (Mode) {
    case 0:
        d = Every == 1 ? "every day" : "every " + std::to_string(Every) + " days";
        d += std::string(" at ") + at;
        break;
    case 1:
        d = (Every == 1 ? std::string("every week") : "every " + std::to_string(Every) + " weeks") +
            " on " + WeekdayNames[Weekday] + " at " + at;
        break;
    case 2:
        d = Every == 1 ? "every month" : "every " + std::to_string(Every) + " months";
        d += MonthlyKind == 0
                 ? " on day " + std::to_string(Day)
                 : std::string(" on the ") + OrdinalNames[Ordinal] + " " + WeekdayNames[Weekday];
        d += std::string(" at ") + at;
        break;
    default:
        d = "every";
        if (Every >= 60)
            d += " " + std::to_string(Every / 60) + " h";
        if (Every % 60)
            d += " " + std::to_string(Every % 60) + " min";
        d += std::string(" from ") + at;
    }
    d += ", from " + Slashed(Start);
    if (RangeKind == 1)
        d +=
            ", ending after " + std::to_string(Repetitions) + (Repetitions == 1 ? " run" : " runs");
    else if (RangeKind == 2)
        d += ", ending on " + Slashed(End);
    return d;
}

} // namespace nuv
