// FieldWiring: the dialog takes over its date and required fields without event code of the
// program's own.
//
// Date and year-month fields get the dialog's OnDateFieldEnter and OnDateFieldExit as their
// OnEnter and OnExit; the handlers they had are kept in SavedHandlers and run after the
// dialog's check passed. The OK button and "btnPeriod" get OnRequiredExit as their OnClick
// while fields are required; their own click handlers are kept in RequiredChecks and run when
// no required field is blank. Handlers are swapped through the published event properties, so
// a selection panel's own OnExit is the one that is taken over.
#pragma once

#include "runtime/BaseGeneState.h"

#include <string>

namespace nuv {

class TControl;

// Installs the date handlers on the named components (missing names are skipped); a selection
// panel also gets ValueType vt_Date, the dialog's separator and date layout.
void WireDateFields(TBaseGeneState& Dialog, const std::string& Names);
// Puts the saved OnEnter and OnExit back on the named components (none where none was saved).
void UnwireFields(TBaseGeneState& Dialog, const std::string& Names);
// Makes Names the date fields (DateFieldList): an unchanged list does nothing; otherwise the
// previous fields are unwired and, unless the new list names "edPrintDate", the previous list
// is kept after the new one, so the print date stays wired.
void SetDateFields(TBaseGeneState& Dialog, const std::string& Names);
// Makes Names the year-month fields (YearMonthFieldList), unwiring the previous ones.
void SetYearMonthFields(TBaseGeneState& Dialog, const std::string& Names);

// OnRequiredExit onto btnOk and "btnPeriod", keeping their OnClick; and back.
void HookConfirmButtons(TBaseGeneState& Dialog);
void UnhookConfirmButtons(TBaseGeneState& Dialog);

// The body of the dialog's SetRequiredFields: restores the colours and confirm buttons of the
// previous list, stores the new one in RequiredFields, paints its fields in RequiredColor and
// hooks the confirm buttons.
void SetRequiredFields(TBaseGeneState& Dialog, const std::string& List);

// The body of OnDateFieldEnter ("OnEnter") and OnDateFieldExit ("OnExit"): checks a field of
// DateFieldList or YearMonthFieldList (names compared as whole items, without case); a failed
// check sets CheckFailed and posts its reference, and the field's own handler does not run;
// otherwise the saved handler runs.
void HandleDateFieldEvent(TBaseGeneState& Dialog, TControl* Control, const std::string& EventName);
// The body of OnRequiredExit: the required check on btnOk (and on "btnPeriod" while it is
// down); the button's own click handler runs only when no field was blank.
void HandleRequiredClick(TBaseGeneState& Dialog, TControl* Control);

// Runs the handler saved in List for the control's event, with the control as sender.
void CallSavedHandler(const THandlerList& List, TControl* Control, const std::string& EventName);
// Runs the control's current handler of the event (for a part of a selection panel: the
// panel's) after clearing CheckFailed; the page change reads CheckFailed afterwards.
void RunExitHandler(TBaseGeneState& Dialog, TControl* Control, const std::string& EventName);

} // namespace nuv
