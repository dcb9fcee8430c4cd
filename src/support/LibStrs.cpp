#include "support/LibStrs.h"

#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "support/NUVLIB.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace nuv {

namespace {

constexpr int MinYear = 1;
constexpr int MaxYear = 9999;

// Day numbers of 0001-01-01 and 9999-12-31, the platform's date range.
constexpr std::int64_t FirstDay = -693593;
constexpr std::int64_t LastDay = 2958465;

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The day number of a date value, when it is a date inside the years 1..9999. The time of day
// is dropped toward 1899-12-30, as the platform does.
bool DayNumber(double date, std::int64_t& days) {
    if (!std::isfinite(date))
        return false;
    double whole = std::trunc(date);
    if (whole < static_cast<double>(FirstDay) || whole > static_cast<double>(LastDay))
        return false;
    days = static_cast<std::int64_t>(whole);
    return true;
}

CivilDate Civil(std::int64_t days) {
    CivilDate c;
    DecodeDate(static_cast<double>(days), c.year, c.month, c.day);
    return c;
}

// Day number of a date known to exist.
std::int64_t DayOf(std::int64_t year, int month, int day) {
    return static_cast<std::int64_t>(EncodeDate(static_cast<int>(year), month, day));
}

// The first UTF-8 character of a separator text.
std::string_view FirstCharacter(std::string_view s) {
    if (s.empty())
        return s;
    // A byte that starts no well-formed sequence is taken on its own.
    return s.substr(0, std::max<std::size_t>(Utf8SequenceLength(s, 0), 1));
}

// A text made only of decimal digits, read as a number; anything else (also an empty text)
// reads as fallback.
int DigitsOr(std::string_view s, int fallback) {
    if (s.empty() || s.size() > 9)
        return fallback;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return fallback;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A trimmed decimal integer with an optional sign; -1 when the text is no such number or does
// not fit in 32 bits.
std::int64_t IntegerOrMinusOne(std::string_view s) {
    s = detail::Trim(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 10)
        return -1;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

// The part of s from character position `from` (counted from 1), at most count characters;
// empty when s is shorter.
std::string_view Part(std::string_view s, std::size_t from, std::size_t count) {
    if (s.size() < from)
        return {};
    return s.substr(from - 1, count);
}

std::string YYYYMMDD(std::int64_t days) {
    CivilDate c = Civil(days);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.4d%.2d%.2d", c.year, c.month, c.day);
    return buf;
}

std::string FormatDateParts(TDateType layout, std::string_view separator, double date,
                            bool withDay) {
    std::int64_t days;
    if (date == 0 || !DayNumber(date, days))
        return {};
    CivilDate c = Civil(days);
    std::string sep(FirstCharacter(separator));
    const char* s = sep.c_str();
    char buf[64];
    switch (layout) {
    case dt_YYYYMMDD:
        if (withDay)
            std::snprintf(buf, sizeof buf, "%.4d%s%.2d%s%.2d", c.year, s, c.month, s, c.day);
        else
            std::snprintf(buf, sizeof buf, "%.4d%s%.2d", c.year, s, c.month);
        break;
    case dt_MMDDYYYY:
        if (withDay)
            std::snprintf(buf, sizeof buf, "%.2d%s%.2d%s%.4d", c.month, s, c.day, s, c.year);
        else
            std::snprintf(buf, sizeof buf, "%.2d%s%.4d", c.month, s, c.year);
        break;
    case dt_DDMMYYYY:
        if (withDay)
            std::snprintf(buf, sizeof buf, "%.2d%s%.2d%s%.4d", c.day, s, c.month, s, c.year);
        else
            std::snprintf(buf, sizeof buf, "%.2d%s%.4d", c.month, s, c.year);
        break;
    case dt_YYMMDD:
    case dt_YYYMMDD: {
        // "%.2d" and "%.3d" are minimum widths: Minguo 100 and later prints three digits in
        // both layouts.
        const char* fmtDay = layout == dt_YYMMDD ? "%.2d%s%.2d%s%.2d" : "%.3d%s%.2d%s%.2d";
        const char* fmtMonth = layout == dt_YYMMDD ? "%.2d%s%.2d" : "%.3d%s%.2d";
        int year = c.year - MinguoYearOffset;
        if (withDay)
            std::snprintf(buf, sizeof buf, fmtDay, year, s, c.month, s, c.day);
        else
            std::snprintf(buf, sizeof buf, fmtMonth, year, s, c.month);
        break;
    }
    default:
        return {};
    }
    return buf;
}

} // namespace

// --- dates and layouts ----------------------------------------------------------------------

std::string FormatDateByLayout(TDateType layout, std::string_view separator, double date) {
    return FormatDateParts(layout, separator, date, true);
}

std::string FormatYearMonthByLayout(TDateType layout, std::string_view separator, double date) {
    return FormatDateParts(layout, separator, date, false);
}

double ParseDateByLayout(std::string_view text, TDateType layout, std::string_view separator) {
    if (detail::Trim(text).empty())
        return 0;
    std::string rest(text);
    std::string_view sep = FirstCharacter(separator);
    std::int64_t f[3];
    for (std::int64_t& field : f) {
        field = IntegerOrMinusOne(SplitHead(rest, sep));
        if (field <= 0 || field > 0xFFFF)
            return 0;
    }
    std::int64_t year, month, day;
    switch (layout) {
    case dt_YYYYMMDD:
        year = f[0], month = f[1], day = f[2];
        break;
    case dt_MMDDYYYY:
        year = f[2], month = f[0], day = f[1];
        break;
    case dt_DDMMYYYY:
        year = f[2], month = f[1], day = f[0];
        break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
        year = f[0] + MinguoYearOffset, month = f[1], day = f[2];
        break;
    default:
        return 0;
    }
    if (month < 1 || month > 12 || year < MinYear || year > MaxYear)
        return 0;
    // The day is not checked against the month: a day past its end runs on.
    std::int64_t days = DayOf(year, static_cast<int>(month), 1) + day - 1;
    if (days > LastDay)
        return 0;
    return static_cast<double>(days);
}

double DateFromYYYYMMDD(std::string_view text) {
    if (text.size() != 8)
        return 0;
    int year = DigitsOr(text.substr(0, 4), 0);
    int month = DigitsOr(text.substr(4, 2), 0);
    int day = DigitsOr(text.substr(6, 2), 0);
    if (year == 0 || month == 0 || day == 0 || month > 12 || day > DaysInMonth(year, month))
        return 0;
    return static_cast<double>(DayOf(year, month, day));
}

bool IsValidYYYYMMDD(std::string_view text) {
    if (text.empty())
        return true;
    int year = DigitsOr(Part(text, 1, 4), 0);
    int month = DigitsOr(Part(text, 5, 2), 0);
    int day = DigitsOr(Part(text, 7, 2), 0);
    return year >= MinYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

std::string ShiftDate(const Variant& value, std::string_view unit, int amount) {
    double date = 0;
    switch (value.Type()) {
    case VarType::Text:
    case VarType::ByteText:
        date = DateFromYYYYMMDD(value.ToString());
        break;
    case VarType::Date:
        date = value.ToDate();
        break;
    default:
        return {};
    }
    std::int64_t days;
    if (date == 0 || !DayNumber(date, days) || unit.size() != 1)
        return {};
    CivilDate c = Civil(days);
    switch (unit[0]) {
    case 'Y':
    case 'y': {
        std::int64_t year = static_cast<std::int64_t>(c.year) + amount;
        if (year < MinYear || year > MaxYear)
            return {};
        int day = std::min(c.day, DaysInMonth(static_cast<int>(year), c.month));
        return YYYYMMDD(DayOf(year, c.month, day));
    }
    case 'M':
    case 'm': {
        // Months counted from year 0: total / 12 is the year, total % 12 the month, where a
        // remainder of 0 is December of the year before.
        std::int64_t total = static_cast<std::int64_t>(c.year) * 12 + c.month + amount;
        if (total < 12 * MinYear + 1 || total > 12 * MaxYear + 12)
            return {};
        std::int64_t year = total / 12;
        int month = static_cast<int>(total % 12);
        if (month == 0) {
            month = 12;
            --year;
        }
        int day = std::min(c.day, DaysInMonth(static_cast<int>(year), month));
        return YYYYMMDD(DayOf(year, month, day));
    }
    case 'D':
    case 'd': {
        std::int64_t shifted = days + amount;
        if (shifted < FirstDay || shifted > LastDay)
            return {};
        return YYYYMMDD(shifted);
    }
    default:
        return {};
    }
}

// --- texts ----------------------------------------------------------------------------------

std::string GetDelimitedField(std::string_view text, std::string_view separator, int n) {
    if (n <= 0)
        return {};
    if (separator.empty())
        return n == 1 ? std::string(text) : std::string();
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos)
            return {};
        start = at + separator.size();
    }
    std::size_t end = text.find(separator, start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

int FieldCount(std::string_view text, std::string_view separator) {
    if (text.empty())
        return 0;
    int count = 1;
    if (separator.empty())
        return count;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, at + separator.size()))
        ++count;
    return count;
}

std::string SplitHead(std::string& text, std::string_view separator) {
    std::size_t at = separator.empty() ? std::string::npos : text.find(separator);
    std::string head;
    if (at == std::string::npos) {
        head.swap(text);
    } else {
        head = text.substr(0, at);
        text.erase(0, at + separator.size());
    }
    return head;
}

bool IsLocalHost(std::string_view text) {
    return text == "127.0.0.1";
}

// --- variants -------------------------------------------------------------------------------

Variant IfThenVar(bool flag, const Variant& a, const Variant& b) {
    return flag ? a : b;
}

bool VarIsEmptyOrNull(const Variant& v) {
    return v.IsEmptyOrNull();
}

bool HostOptionEnabled(const Variant& table, std::string_view name) {
    try {
        if (table.ArrayDimCount() != 2 || table.ArrayLowBound(1) != 0 ||
            table.ArrayHighBound(1) != 1)
            return false;
        // 64-bit counter: a table whose last column is INT_MAX must end too.
        for (std::int64_t i = table.ArrayLowBound(2); i <= table.ArrayHighBound(2); ++i)
            if (detail::EqualsNoCase(table.Element(0, static_cast<int>(i)).ToString(), name))
                return table.Element(1, static_cast<int>(i)).ToBool();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

std::string ToWideText(std::string_view bytes, int codePage) {
    if (bytes.empty())
        return {};
    // A code page the platform cannot convert decodes nothing; the system code page stands in.
    return DecodeBytes(bytes, IsCodePageSupported(codePage) ? codePage : 0);
}

namespace {

// The byte texts of a two-dimensional array, decoded; nested arrays are left as they are.
// The counters are 64 bits wide so that bounds ending at INT_MAX end the loops.
Variant WidenGrid(const Variant& grid, int codePage) {
    Variant result = grid;
    for (std::int64_t i = grid.ArrayLowBound(1); i <= grid.ArrayHighBound(1); ++i)
        for (std::int64_t j = grid.ArrayLowBound(2); j <= grid.ArrayHighBound(2); ++j) {
            Variant& item = result.Element(static_cast<int>(i), static_cast<int>(j));
            if (item.Type() == VarType::ByteText)
                item = ToWideText(item.Bytes(), codePage);
        }
    return result;
}

Variant WidenLogged(const Variant& value, int codePage, int depth);

// Nested arrays are widened level by level, at most MaxVariantNesting deep: deeper nesting,
// or a reference inside an array that leads back into it, raises EVariantError.
Variant Widen(const Variant& original, int codePage, int depth) {
    if (depth > MaxVariantNesting)
        throw EVariantError("Variant arrays nested deeper than " +
                            std::to_string(MaxVariantNesting) + " levels");
    const Variant& value = original.Deref(); // a by-reference argument converts its target
    switch (value.Type()) {
    case VarType::ByteText:
        return ToWideText(value.Bytes(), codePage);
    case VarType::Array: {
        if (value.ArrayDimCount() == 2)
            return WidenGrid(value, codePage);
        Variant result = value;
        for (std::int64_t i = value.ArrayLowBound(); i <= value.ArrayHighBound(); ++i) {
            Variant& item = result[static_cast<int>(i)];
            if (item.IsArray())
                item = WidenLogged(item, codePage, depth + 1);
            else if (item.Type() == VarType::ByteText)
                item = ToWideText(item.Bytes(), codePage);
        }
        return result;
    }
    default:
        // Unicode texts are already wide; unassigned, Null, numbers, dates and objects have
        // no text to decode.
        return value;
    }
}

// A value that cannot be widened is logged and kept as it is; for a nested array that is the
// nested array alone.
Variant WidenLogged(const Variant& value, int codePage, int depth) {
    try {
        return Widen(value, codePage, depth);
    } catch (const Exception& e) {
        WriteAlertLog("libstrs", std::string("LINE[115] ") + e.what(), "D");
        return value;
    }
}

} // namespace

Variant ToWideVariant(const Variant& value, int codePage) {
    return WidenLogged(value, codePage, 1);
}

} // namespace nuv
