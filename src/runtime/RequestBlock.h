// RequestBlock: what the dialog sends to the application server, and host values put back into
// the dialog's controls.
//
// A request block is [header, condition texts, condition data]: the header has the elements
// 1..EnvironmentCount, the two condition arrays 1..ConditionCount (both with lower bound 1;
// the block itself starts at 0). A condition text is [caption, component name]; a condition
// value is a text, "Y"/"N", [item number, text] for a combo box, or a selection panel's value:
// [RangeMarker, begin, end] for a range, [ListMarker, row 1, row 2, ...] for a list, each row
// [caption, sub-item 1, ...]. Each dialog level fills its elements through the hooks
// FillRequestHeader, CollectConditionText and CollectConditionData; the program level fills
// the first ConditionCount - BaseEntryCount elements and the base levels the ones after them.
#pragma once

#include "runtime/BaseGeneState.h"

#include <nuv/RequestMarkers.h>
#include <nuv/Variant.h>

#include <string>
#include <string_view>

namespace nuv {

class TSelectPanel;
class TListItems;

// Builds Request from the hooks and checks it: no header or no conditions (unless AutoRun)
// gives "I;000003"; a header or condition array of another size "W;000002", an unassigned or
// Null element "W;000003" (each shown, with the array's name, the expected size and the upper
// bound or index). The condition arrays are converted for the database. True when Request was
// built.
bool BuildRequestBlock(TBaseGeneState& Dialog);

// ConditionCount := N + BaseEntryCount, unless BaseEntryCount is already smaller than
// ConditionCount (then N alone).
void SetConditionCount(TBaseGeneState& Dialog, std::int32_t N);

// Writes the panel's value at Data[Index] (a negative index replaces Data itself).
bool AddSelectPanelData(TSelectPanel* Panel, Variant& Data, int Index);
// The list form [Marker, rows...] of the items at Target[Index] (negative: Target itself).
void ListItemsToVariant(TListItems* Items, Variant& Target, int Index, std::string_view Marker);

// The base levels' own condition: [caption of lblToday, "edPrintDate"] at Texts[Index], and the
// print date as "yyyymmdd" (empty while unfilled) at Data[Index]. A failure posts "E;000030"
// and gives False.
bool BaseConditionText(TBaseGeneState& Dialog, Variant& Texts, int Index);
bool BaseConditionData(TBaseGeneState& Dialog, Variant& Data, int Index);

// Puts host values addressed by component name into the controls: Values is [pairs, values],
// pairs[i][1] a component name, values[i] its value in the request's condition-data form
// (dates as "yyyymmdd"). When a name is unknown or its control takes no such value (a date
// field's value that is no stored date, a text longer than the edit's maximum length, an item
// number past the combo box's items), nothing is changed and "W;000014" is posted with the
// name; the result is False.
bool ApplyValuesByName(TBaseGeneState& Dialog, const Variant& Values);

} // namespace nuv
