#include "forms/ScheduleRules.h"

#include "platform/DateTime.h"
#include "support/LibStrs.h"

#include <nuv/RequestMarkers.h>

#include <cstdint>
#include <cstdio>
#include <limits>

namespace nuv {

namespace {

// True for a selection panel's list value: [ListMarker, row 1, .., row n].
bool IsListValue(const Variant& v) {
    if (v.ArrayDimCount() != 1 || v.ArrayLowBound() > 0 || v.ArrayHighBound() < 0)
        return false;
    const Variant& marker = v[0];
    return marker.IsText() && marker.ToString() == ListMarker;
}

// A whole decimal number with an optional sign, surrounding blanks allowed; anything else
// raises, as a rule text that is no number makes the rule unusable.
int ReadInteger(std::string_view text) {
    std::string_view s = detail::Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    std::int64_t v = 0;
    // Ten digits at most, checked before any digit is added: more could overflow v.
    bool ok = !s.empty() && s.size() <= 10;
    for (std::size_t i = 0; ok && i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            ok = false;
        else
            v = v * 10 + (s[i] - '0');
    }
    if (negative)
        v = -v;
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Exception("'" + std::string(text) + "' is not a valid integer value");
    return static_cast<int>(v);
}

int ReadIntegerOf(const Variant& v) {
    return ReadInteger(v.ToString());
}

// date + days as "YYYYMMDD"; empty when date is unusable or the result leaves the calendar.
std::string AddDays(std::string_view date, std::int64_t days) {
    if (days < std::numeric_limits<int>::min() || days > std::numeric_limits<int>::max())
        return {};
    return ShiftDate(Variant(date), "D", static_cast<int>(days));
}

// A date text that the next step cannot do without.
std::string Require(std::string date) {
    if (date.empty())
        throw Exception("No usable date");
    return date;
}

// Weekday number (1 Sunday .. 7 Saturday) of a "YYYYMMDD" text.
int WeekdayOf(std::string_view date) {
    double d = DateFromYYYYMMDD(date);
    if (d == 0)
        throw Exception("'" + std::string(date) + "' is not a date");
    return DayOfWeek(d);
}

// The year and month of a "YYYYMMDD" text, written "YYYYMM".
std::string YearMonthOf(const std::string& date) {
    return date.substr(0, 6);
}

int DaysInMonthOf(const std::string& date) {
    return DaysInMonth(std::stoi(date.substr(0, 4)), std::stoi(date.substr(4, 2)));
}

std::string TwoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", v);
    return buf;
}

int CheckedWeekdayIndex(int w) {
    if (w < 0 || w > 6)
        throw Exception("Weekday index " + std::to_string(w) + " is outside 0..6");
    return w;
}

// Weeks or months between runs: a cycle of less than one would put the first run before the
// start (and never move on from it).
int CheckedCycleCount(int n) {
    if (n < 1)
        throw Exception("A cycle of " + std::to_string(n) + " weeks or months is not possible");
    return n;
}

// Every N weeks on weekday index w: the chosen weekday in the N-th week counted from the week
// of start (weeks run Sunday to Saturday), or a week later when it is already past.
std::string FirstWeekly(const std::string& start, const Variant& params) {
    int n = CheckedCycleCount(ReadIntegerOf(params[0]));
    int t = CheckedWeekdayIndex(params[1].ToInt()) + 1;
    int d = WeekdayOf(start);
    std::int64_t k = static_cast<std::int64_t>(t >= d ? n - 1 : n) * 7;
    std::string x = Require(AddDays(start, k));
    return AddDays(x, t - WeekdayOf(x));
}

// Every M months on day D: this month when D is not yet past, else the next one; a day that
// the month lacks becomes its last day.
std::string FirstMonthlyOnDay(const std::string& start, const Variant& params) {
    int months = CheckedCycleCount(ReadIntegerOf(params[1]));
    int day = ReadIntegerOf(params[2]);
    int startDay = std::stoi(start.substr(6, 2));
    int m = day >= startDay ? months - 1 : months;
    std::string x = Require(ShiftDate(Variant(start), "M", m));
    std::string c = YearMonthOf(x) + TwoDigits(day);
    // A day of three digits would make a longer text that still starts with a valid date.
    if (c.size() == 8 && IsValidYYYYMMDD(c))
        return c;
    return YearMonthOf(x) + TwoDigits(DaysInMonthOf(x));
}

// The ordinal-th weekday (index w) of the month of x; ordinal 4 is the last one.
std::string WeekdayInMonth(const std::string& x, int ordinal, int w) {
    if (ordinal < 0 || ordinal > LastWeekdayOfMonth)
        throw Exception("Weekday ordinal " + std::to_string(ordinal) + " is outside 0..4");
    int t = w + 1;
    if (ordinal == LastWeekdayOfMonth) {
        std::string last = YearMonthOf(x) + TwoDigits(DaysInMonthOf(x));
        int e = WeekdayOf(last) - t;
        return AddDays(last, e >= 0 ? -e : -(e + 7));
    }
    std::string first = YearMonthOf(x) + "01";
    int diff = t - WeekdayOf(first);
    return AddDays(first, diff >= 0 ? diff + 7 * ordinal : diff + 7 * (ordinal + 1));
}

// Every M months on the ordinal-th weekday: in the month M - 1 months after start, or M months
// after it when that day is earlier than start.
std::string FirstMonthlyOnWeekday(const std::string& start, const Variant& params) {
    int months = CheckedCycleCount(ReadIntegerOf(params[1]));
    int ordinal = params[2].ToInt();
    int w = CheckedWeekdayIndex(params[3].ToInt());
    std::string result;
    // The second pass lies in a later month than start and ends the search.
    for (int k : {months - 1, months}) {
        std::string x = Require(ShiftDate(Variant(start), "M", k));
        result = WeekdayInMonth(x, ordinal, w);
        if (result >= start)
            break;
    }
    return result;
}

// The rule applied to one value: unmoved base when the rule is all zeros.
std::string MovedValue(const std::string& base, const std::string& count, const std::string& unit,
                       const std::string& days, const std::string& mode) {
    if (count == "0" && mode == "0" && days == "0")
        return base;
    return ShiftByRule(base, count, unit, days, mode);
}

std::string RuleFields(const DateMoveRule& r) {
    std::string sep(DynamicFieldSeparator);
    return std::string(r.Moves ? "Y" : "N") + sep + r.Count + sep + std::to_string(r.Unit) + sep +
           std::to_string(r.Mode) + sep + r.Days;
}

// The rule in fields first..first+4 of a line.
DateMoveRule RuleFrom(std::string_view line, int first) {
    auto field = [&](int k) { return GetDelimitedField(line, DynamicFieldSeparator, k); };
    DateMoveRule r;
    r.Moves = field(first) == "Y";
    r.Count = field(first + 1);
    r.Unit = ReadInteger(field(first + 2));
    r.Mode = ReadInteger(field(first + 3));
    r.Days = field(first + 4);
    return r;
}

} // namespace

// --- records ---------------------------------------------------------------------------------

Variant CycleSpecEveryNDays(const std::string& days) {
    return Variant::ArrayOf({static_cast<int>(CycleMode::EveryNDays), days});
}

Variant CycleSpecEveryNWeeks(const std::string& weeks, int weekdayIndex) {
    return Variant::ArrayOf(
        {static_cast<int>(CycleMode::EveryNWeeks), Variant::ArrayOf({weeks, weekdayIndex})});
}

Variant CycleSpecMonthlyOnDay(const std::string& months, const std::string& day) {
    return Variant::ArrayOf(
        {static_cast<int>(CycleMode::EveryNMonths), Variant::ArrayOf({MonthlyOnDay, months, day})});
}

Variant CycleSpecMonthlyOnWeekday(const std::string& months, int ordinal, int weekdayIndex) {
    return Variant::ArrayOf({static_cast<int>(CycleMode::EveryNMonths),
                             Variant::ArrayOf({MonthlyOnWeekday, months, ordinal, weekdayIndex})});
}

Variant CycleSpecHourMinute(int hours, int minutes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2d%.2d", hours, minutes);
    return Variant::ArrayOf({static_cast<int>(CycleMode::HourMinute), std::string(buf)});
}

Variant CycleRangeNoEnd(const std::string& start) {
    return Variant::ArrayOf({start, 0});
}

Variant CycleRangeRepetitions(const std::string& start, const std::string& repetitions) {
    return Variant::ArrayOf({start, 1, repetitions});
}

Variant CycleRangeUntil(const std::string& start, const std::string& end) {
    return Variant::ArrayOf({start, 2, end});
}

Variant MakeScheduleRecord(int hour, int minute, const Variant& cycleSpec,
                           const Variant& cycleRange) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2d:%.2d", hour, minute);
    return Variant::ArrayOf({"Y", std::string(time), cycleSpec, cycleRange});
}

std::string DynamicEntry::Line() const {
    std::string sep(DynamicFieldSeparator);
    std::string line = Kind + sep + Component + sep + RuleFields(Begin) + sep;
    if (IsRange())
        line += RuleFields(End) + sep;
    return line + DateType;
}

DynamicEntry DynamicEntry::FromLine(std::string_view line) {
    DynamicEntry e;
    e.Kind = GetDelimitedField(line, DynamicFieldSeparator, 1);
    e.Component = GetDelimitedField(line, DynamicFieldSeparator, 2);
    e.Begin = RuleFrom(line, 3);
    if (e.IsRange())
        e.End = RuleFrom(line, 8);
    e.DateType = GetDelimitedField(line, DynamicFieldSeparator, e.IsRange() ? 13 : 8);
    return e;
}

// --- the rules -------------------------------------------------------------------------------

std::string ComputeFirstRun(std::string_view startText, const Variant& spec) {
    std::string start(startText);
    std::string result;
    try {
        switch (spec[0].ToInt()) {
        case static_cast<int>(CycleMode::EveryNDays):
            result = AddDays(start, 0);
            break;
        case static_cast<int>(CycleMode::EveryNWeeks):
            if (DateFromYYYYMMDD(start) != 0)
                result = FirstWeekly(start, spec[1]);
            break;
        case static_cast<int>(CycleMode::EveryNMonths): {
            if (DateFromYYYYMMDD(start) == 0)
                break;
            const Variant& params = spec[1];
            int kind = params[0].ToInt();
            if (kind == MonthlyOnDay)
                result = FirstMonthlyOnDay(start, params);
            else if (kind == MonthlyOnWeekday)
                result = FirstMonthlyOnWeekday(start, params);
            break;
        }
        default:
            break; // hour-minute cycles start on the start date itself, chosen by the caller
        }
    } catch (const Exception&) {
        // A malformed spec gives no first run.
    }
    return result;
}

Variant ApplyDynamicDates(const Variant& block, std::string_view runDateText) {
    try {
        std::string runDate(runDateText);
        Variant data = block[1];
        const Variant& list = block[3];
        int n = list[0].ToInt();
        for (int i = 1; i <= n; ++i) {
            std::string line = list[i].ToString();
            auto field = [&](int k) { return GetDelimitedField(line, DynamicFieldSeparator, k); };
            bool range = field(1) == DynamicDateRange;
            std::string base = field(range ? 13 : 8) == "D" ? runDate : runDate.substr(0, 6);
            Variant& value = data.Element(ReadInteger(field(range ? 14 : 9)));
            if (!range) {
                if (field(3) == "Y")
                    value = MovedValue(base, field(4), field(5), field(7), field(6));
                continue;
            }
            // A panel that holds a list of single values instead of a range: its rows are
            // not dates to move, and writing into them would destroy the list.
            if (IsListValue(value))
                continue;
            if (field(3) == "Y")
                value.Element(1) = MovedValue(base, field(4), field(5), field(7), field(6));
            if (field(8) == "Y")
                value.Element(2) = MovedValue(base, field(9), field(10), field(12), field(11));
        }
        return data;
    } catch (const Exception&) {
        return Variant("");
    }
}

std::string ShiftByRule(std::string_view baseText, std::string_view count, std::string_view unit,
                        std::string_view days, std::string_view mode) {
    std::string base(baseText);
    if (base.size() < 7) // a year-month value moves by months only
        return YearMonthOf(ShiftDate(Variant(base + "01"), "M", ReadInteger(count)));
    if (unit != "0") {
        std::string x = ShiftDate(Variant(base), "M", ReadInteger(count));
        if (x.empty())
            return {};
        if (mode == "0")
            return AddDays(x, ReadInteger(days));
        if (mode == "1")
            return YearMonthOf(x) + "01";
        if (mode == "2")
            return YearMonthOf(x) + TwoDigits(DaysInMonthOf(x));
        throw Exception("Unknown date rule mode '" + std::string(mode) + "'");
    }
    if (mode != "0")
        return WeekBoundary(base, count, mode);
    return AddDays(base, static_cast<std::int64_t>(ReadInteger(count)) * 7 + ReadInteger(days));
}

std::string WeekBoundary(std::string_view base, std::string_view count, std::string_view mode) {
    std::string x = AddDays(base, static_cast<std::int64_t>(ReadInteger(count)) * 7);
    if (x.empty())
        return {};
    int d = WeekdayOf(x);
    return AddDays(x, mode == "1" ? 1 - d : 7 - d);
}

} // namespace nuv
