// FieldChecks: the dialog's date fields and required fields, as values.
//
// Date fields show dates in the dialog's layout (DateLayout, DateSeparator) under an edit mask
// that keeps the separators and shows blanks for empty positions ("9999/99/99;1; "); the
// stored form is "yyyymmdd" ("yyyymm" for year-month fields). The checks run when the user
// leaves a field; a bad date is reported as "E;000005" and the first bad edit gets the focus.
// Required fields are items "name[;flag[;part]]": a flag "N" (any case) or a number marks the
// field without checking it; the part picks a selection panel's begin (1), end (2) or list (3),
// 0 or none all three.
#pragma once

#include "runtime/BaseGeneState.h"
#include "ui/Graphics.h"

#include <string>
#include <vector>

namespace nuv {

class TControl;
class TWinControl;
class TObject;

// The items of a comma-separated list, each trimmed; empty items are dropped.
std::vector<std::string> SplitNames(const std::string& List);

// Light yellow: the colour of a required field.
inline constexpr TColor RequiredColor = 0xAFFFFF;

// Masks and blank texts of the dialog's layout: year "9999" (layouts 1-3), "99" (4), "999" (5),
// none for any other; layouts 2 and 3 put the year last.
std::string DateEditMask(TBaseGeneState& Dialog);
std::string YearMonthEditMask(TBaseGeneState& Dialog);
std::string BlankDateText(TBaseGeneState& Dialog);
std::string BlankYearMonthText(TBaseGeneState& Dialog);

// A displayed date as "yyyymmdd": empty for an untouched field; the text itself when a part is
// not a number; the date is not checked (a 30th of February passes). An empty text gives the
// default when UseDefault is set ("-1" stands for tomorrow).
std::string DateTextToStorage(TBaseGeneState& Dialog, const std::string& Text,
                              bool UseDefault = false, const std::string& Default = "");
// A displayed year and month as "yyyymm": empty for an untouched or empty field; the text
// itself when a part is 0.
std::string YearMonthTextToStorage(TBaseGeneState& Dialog, const std::string& Text);

// Prepare (on entering): gives the field the mask of its kind, or a plain edit without text its
// blank text. Check (on leaving): every date of the field must be real; the first bad edit gets
// the focus and FailRef becomes "E;000005". A control that is no selection panel, masked edit
// or edit gets a plain message box and False.
bool CheckDateField(TBaseGeneState& Dialog, TControl* Control, bool Prepare, std::string& FailRef);
bool CheckYearMonthField(TBaseGeneState& Dialog, TControl* Control, bool Prepare,
                         std::string& FailRef);

// True when the control's Text shows nothing but what its empty mask shows; an edit that does
// not publish its Text (a spin edit) is blank when emptied; False for any other component
// without a published Text.
bool IsFieldBlank(TObject* Control);

// Reports the first required field left blank ("E;000037"), shows its page and focuses it; True
// when there was one.
bool CheckRequiredFields(TBaseGeneState& Dialog, const std::string& List);

// Colours of the controls inside Container as name=colour lines (a selection panel gives its
// three parts), and back.
void SaveColors(TBaseGeneState& Dialog, TWinControl* Container, TStrings* List);
void RestoreColors(TBaseGeneState& Dialog, TWinControl* Container, TStrings* List);

} // namespace nuv
