// LibStrs: stateless date, text and variant operations shared by all dialogs.
//
// Dates are TDateTime values: days since 1899-12-30 as a double, 0 meaning "no date". Stored
// dates are eight-digit "yyyymmdd" texts, year-month values six-digit "yyyymm" texts. What a
// user sees follows a date layout (TDateType) and a separator.
#pragma once

#include "platform/DateTime.h"
#include <nuv/Variant.h>

#include <string>
#include <string_view>

namespace nuv {

// Date layouts of the dialogs and the selection panel. The ordinals are stored (environment
// setting "Sys001", the report's date-layout entry), so they must not change.
enum TDateType : int {
    dt_NoneCare = 0, // no layout: dates are shown as empty texts
    dt_YYYYMMDD = 1, // year, month, day (Gregorian, four-digit year)
    dt_MMDDYYYY = 2, // month, day, year
    dt_DDMMYYYY = 3, // day, month, year
    dt_YYMMDD = 4,   // Minguo year (Gregorian - 1911), at least two digits, month, day
    dt_YYYMMDD = 5   // Minguo year, three digits, month, day
};

// Years between the Gregorian and the Minguo (Republic of China) era: 2003 is Minguo 92.
inline constexpr int MinguoYearOffset = 1911;

// --- dates and layouts ----------------------------------------------------------------------

// The date in the layout, its parts joined by the first character of separator (none when the
// separator is empty). A date of 0, a date outside the years 1..9999 and dt_NoneCare (or any
// value outside the enumeration) give an empty text.
std::string FormatDateByLayout(TDateType layout, std::string_view separator, double date);

// The year and month of the date in the layout ("2003/12", "12/2003", "92/12", "092/12").
std::string FormatYearMonthByLayout(TDateType layout, std::string_view separator, double date);

// Reads a date written in the layout with the first character of separator between its three
// parts. Each part must be a positive number below 65536 and the month 1..12; a day past the
// end of its month runs on into the next month (2003/02/30 is 2 March 2003). Anything
// unreadable, a layout outside 1..5 and a result outside the years 1..9999 give 0.
double ParseDateByLayout(std::string_view text, TDateType layout, std::string_view separator);

// The date of an eight-character "yyyymmdd" text; 0 for any other length, a part that is not
// all digits, and an impossible date.
double DateFromYYYYMMDD(std::string_view text);

// True for an empty text and for a text whose characters 1-4, 5-6 and 7-8 are the year, month
// and day of a real date. The length is not checked: a shorter text lacks a part and is
// invalid, a longer one is judged by its first eight characters.
bool IsValidYYYYMMDD(std::string_view text);

// Shifts a date by amount years ("Y"), months ("M") or days ("D"); the unit ignores case. The
// value is a "yyyymmdd" text or a Variant date. Year and month shifts keep the day where the
// new month has it and otherwise take the month's last day (31 January + 1 month is the end
// of February). The result is "yyyymmdd"; it is empty for an unusable value, a date of 0,
// another unit, or a result outside the years 1..9999.
std::string ShiftDate(const Variant& value, std::string_view unit, int amount);

// DaysInMonth(year, month) comes with the platform's calendar (platform/DateTime.h): 28..31,
// 0 for a month outside 1..12.

// --- texts ----------------------------------------------------------------------------------

// The n-th field (counted from 1) of text cut at separator, which may be several characters.
// Fewer than n fields and n <= 0 give an empty text. An empty separator cuts nothing: the whole
// text is the one field.
std::string GetDelimitedField(std::string_view text, std::string_view separator, int n);

// Number of fields of text cut at separator: 0 for an empty text, else the number of
// separator occurrences plus 1.
int FieldCount(std::string_view text, std::string_view separator);

// Removes and returns the part of text before the first separator; text keeps what follows
// the separator. Without a separator (or with an empty one) the head is the whole text and
// text becomes empty.
std::string SplitHead(std::string& text, std::string_view separator);

// True exactly for "127.0.0.1".
bool IsLocalHost(std::string_view text);

// --- variants -------------------------------------------------------------------------------

// A copy of a when flag is true, else a copy of b.
Variant IfThenVar(bool flag, const Variant& a, const Variant& b);

// True for an unassigned or Null variant; an empty text is neither.
bool VarIsEmptyOrNull(const Variant& v);

// Looks a named switch up in the host's option table: a two-dimensional array whose first
// index runs 0..1, names in [0, i] and Boolean values in [1, i]. The first name equal to name
// (ignoring ASCII case) gives its value; a name that is not listed counts as on; a malformed
// table (or an unreadable value) counts as off.
bool HostOptionEnabled(const Variant& table, std::string_view name);

// Decodes bytes written in the code page into Unicode text (UTF-8). When the code page has no
// conversion, the bytes are decoded in the system code page instead; when that has none
// either, an Exception is raised.
std::string ToWideText(std::string_view bytes, int codePage);

// Turns the byte texts of a value into Unicode texts, decoding them in the code page: a byte
// text itself, the byte texts of a one-dimensional array and, recursively, of the arrays it
// holds, and the byte texts of a two-dimensional array (whose nested arrays are left alone).
// Unicode texts and every other kind are left as they are: re-encoding a Unicode text through
// a code page would corrupt it. A failure of the general class is written to the alert log
// "libstrs" and the value is returned unchanged.
Variant ToWideVariant(const Variant& value, int codePage);

} // namespace nuv
