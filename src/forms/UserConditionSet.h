// UserConditionSet: the stored form of a user-defined condition set, without controls.
//
// A set is what a user saved of a dialog's condition controls under a code and a name. It
// travels to the counter service as an array with bounds 0..n-1, one line per condition
// component, each line an array with bounds 0..3:
//
//   [0] the component name (trimmed)
//   [1] the value: a text, or for a selection panel's list its rows (an array 0..rows-1 of
//       rows, each an array 0..k of caption and sub-items); an empty text for a missing
//       component, a control that keeps no value, or an empty list
//   [2] a selection panel's style: "sp_Range", "sp_Discrete" or "sp_UserChoice"; empty for
//       other controls
//   [3] a panel in user-choice style: "Y" when its range part was active, "N" when its list
//       was; empty otherwise
//
// A range is stored as begin + "~" + end. The answers of the counter service are read here
// too: the list of sets ([n, [code, name, shared, owner], ...]) and a loaded set ([n, line 1,
// ..., line n]). Sets stored by an older layout of a dialog are read as far as they fit: a line
// that is no line at all is reported and left out, the rest is handed on.
#pragma once

#include <nuv/Variant.h>

#include <string>
#include <vector>

namespace nuv {

// The tilde between the begin and end of a stored range.
inline constexpr char RangeSeparator = '~';

// The super-user group: its members save shared sets and delete the sets of others.
inline constexpr const char* SuperUserGroup = "000000";

// One line of a stored set.
struct TConditionLine {
    std::string Name;
    Variant Value;           // text, or list rows
    std::string Style;       // StyleName of a panel, or empty
    std::string RangeActive; // "Y"/"N" for a user-choice panel, or empty
};

// A selection panel's style by its stored name and back: sp_Range 0, sp_Discrete 1,
// sp_UserChoice 2; -1 for a name that is none of them.
std::string SelectStyleName(int style);
int SelectStyleOfName(const std::string& name);

// The stored line [name, value, style, range active], bounds 0..3.
Variant StoredLine(const TConditionLine& line);
// The stored set: the lines with bounds 0..n-1.
Variant StoredSet(const std::vector<TConditionLine>& lines);

// begin + "~" + end.
std::string JoinRange(const std::string& begin, const std::string& end);
// The part before the first tilde and the part after it; a text without a tilde is all begin.
// Keeping everything after the first tilde as the end keeps an end code that holds a tilde.
void SplitRange(const std::string& text, std::string& begin, std::string& end);

// The rows of a panel's list.
using TStoredRows = std::vector<std::vector<std::string>>;
// The stored rows (0..rows-1, each 0..k); an empty text when there are none.
Variant StoredRows(const TStoredRows& rows);
// Reads stored rows. An empty text (or unassigned, Null) is an empty list. A row that is not a
// one-dimensional array of texts and numbers, or is empty, is left out and counted in Skipped.
// False when the value is no list at all (a text that is not empty, a number); rows stays
// empty then.
bool ReadStoredRows(const Variant& value, TStoredRows& rows, int& Skipped);

// One row of the list of sets: [code, name, shared, owner].
struct TSetRow {
    std::string Code;
    std::string Name;
    std::string Shared;
    std::string Owner;
};
// The answer of the list call [n, row 1, ..., row n]: the rows there are, at most n; a row
// that is not an array of four elements is left out. Anything but an array answers no rows.
std::vector<TSetRow> ReadSetList(const Variant& answer);

// A loaded set: its lines and, for every element that could not be read as a line, a text
// saying which and why.
struct TLoadedSet {
    std::vector<TConditionLine> Lines;
    std::vector<std::string> Skipped;
};
// The answer of the load call [n, line 1, ..., line n]. A count of 0 (or an answer that is no
// array) gives no lines. A line must be an array of at least two elements whose first is a
// non-empty text; missing style and choice read as empty.
TLoadedSet ReadLoadedSet(const Variant& answer);

// The set's code and name entered in TfrmUserDefOpt: the limits in characters.
inline constexpr int SetCodeMaxLength = 20;
inline constexpr int SetNameMaxLength = 30;

} // namespace nuv
