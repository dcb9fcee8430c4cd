#include "runtime/FieldWiring.h"

#include "controls/SelectPnl.h"
#include "platform/AsciiText.h"
#include "runtime/FieldChecks.h"
#include "runtime/NuMsg.h"
#include "support/LibStrs.h"
#include "ui/ComCtrls.h"
#include "ui/TypInfo.h"

namespace nuv {

namespace {

const char* const DateEvents[] = {"OnEnter", "OnExit"};
const char* const ConfirmButtons[] = {"btnOk", "btnPeriod"};

bool ListNames(const std::string& list, const std::string& name) {
    for (const std::string& item : SplitNames(list))
        if (SameTextAscii(item, name))
            return true;
    return false;
}

// The handler of the dialog that goes onto a date field's event.
const TNotifyEvent& DateHandler(TBaseGeneState& dialog, const std::string& event) {
    return event == "OnEnter" ? dialog.OnDateFieldEnter : dialog.OnDateFieldExit;
}

// True for a handler of the dialog's own: saving it as a field's handler would make the
// dialog's handler call itself.
bool IsOwnHandler(TBaseGeneState& dialog, const TMethod& m) {
    return m == dialog.OnDateFieldEnter.Method() || m == dialog.OnDateFieldExit.Method() ||
           m == dialog.OnRequiredExit.Method();
}

TSelectPanel* EnclosingPanel(TControl* control) {
    for (TControl* c = control; c != nullptr; c = c->Parent())
        if (auto* panel = dynamic_cast<TSelectPanel*>(c))
            return panel;
    return nullptr;
}

} // namespace

void WireDateFields(TBaseGeneState& dialog, const std::string& names) {
    for (const std::string& name : SplitNames(names)) {
        TComponent* c = dialog.FindDialogComponent(name);
        if (c == nullptr)
            continue;
        for (const char* event : DateEvents) {
            if (!HasProperty(c, event))
                continue;
            TMethod current = GetMethodPropByName(c, event);
            if (!IsOwnHandler(dialog, current))
                dialog.SavedHandlers.Save(c->Name() + "." + event, current);
            SetMethodPropByName(c, event, DateHandler(dialog, event).Method());
        }
        if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
            panel->SetValueType(vt_Date);
            panel->SetDateSign(dialog.DateSeparator);
            panel->SetDateType(dialog.DateLayout >= 1 && dialog.DateLayout <= 5
                                   ? static_cast<TDateType>(dialog.DateLayout)
                                   : dt_NoneCare);
        }
    }
}

void UnwireFields(TBaseGeneState& dialog, const std::string& names) {
    for (const std::string& name : SplitNames(names)) {
        TComponent* c = dialog.FindDialogComponent(name);
        if (c == nullptr)
            continue;
        for (const char* event : DateEvents)
            if (HasProperty(c, event))
                SetMethodPropByName(c, event, dialog.SavedHandlers.Find(c->Name() + "." + event));
    }
}

void SetDateFields(TBaseGeneState& dialog, const std::string& names) {
    std::string list(TrimBlanks(names));
    if (list == dialog.DateFieldList)
        return;
    const std::string previous = dialog.DateFieldList;
    UnwireFields(dialog, previous);
    if (!previous.empty() && !ListNames(list, "edPrintDate")) {
        // The previous fields stay after the new ones; a name already listed is not repeated, so
        // setting the same fields again does not make the list grow.
        for (const std::string& name : SplitNames(previous))
            if (!ListNames(list, name))
                list = list.empty() ? name : list + "," + name;
    }
    dialog.DateFieldList = list;
    WireDateFields(dialog, list);
}

void SetYearMonthFields(TBaseGeneState& dialog, const std::string& names) {
    std::string list(TrimBlanks(names));
    if (list == dialog.YearMonthFieldList)
        return;
    UnwireFields(dialog, dialog.YearMonthFieldList);
    dialog.YearMonthFieldList = list;
    WireDateFields(dialog, list);
}

void HookConfirmButtons(TBaseGeneState& dialog) {
    for (const char* name : ConfirmButtons) {
        TComponent* c = dialog.FindDialogComponent(name);
        if (c == nullptr || !HasProperty(c, "OnClick"))
            continue;
        TMethod current = GetMethodPropByName(c, "OnClick");
        if (!IsOwnHandler(dialog, current))
            dialog.RequiredChecks.Save(c->Name() + ".OnClick", current);
        SetMethodPropByName(c, "OnClick", dialog.OnRequiredExit.Method());
    }
}

void UnhookConfirmButtons(TBaseGeneState& dialog) {
    for (const char* name : ConfirmButtons) {
        TComponent* c = dialog.FindDialogComponent(name);
        if (c != nullptr && HasProperty(c, "OnClick"))
            SetMethodPropByName(c, "OnClick", dialog.RequiredChecks.Find(c->Name() + ".OnClick"));
    }
}

void SetRequiredFields(TBaseGeneState& dialog, const std::string& names) {
    const std::string list(TrimBlanks(names));
    TCustomForm& form = dialog.DialogForm();
    if (!dialog.RequiredFields.empty()) {
        RestoreColors(dialog, &form, &dialog.SavedColors);
        UnhookConfirmButtons(dialog);
    }
    // The colours to come back to are those from before the first list painted anything.
    if (dialog.SavedColors.Count() == 0)
        SaveColors(dialog, &form, &dialog.SavedColors);
    dialog.RequiredFields = list;
    for (const std::string& item : SplitNames(list)) {
        const std::string name(TrimBlanks(GetDelimitedField(item, ";", 1)));
        int part = Variant(std::string(TrimBlanks(GetDelimitedField(item, ";", 3)))).ToIntDef(0);
        if (part < 0 || part > 3)
            part = 0;
        TComponent* c = dialog.FindDialogComponent(name);
        if (c == nullptr)
            continue;
        if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
            if ((part == 0 || part == 1) && panel->edBegin)
                panel->edBegin->SetColor(RequiredColor);
            if ((part == 0 || part == 2) && panel->edFinal)
                panel->edFinal->SetColor(RequiredColor);
            if ((part == 0 || part == 3) && panel->ListBox)
                panel->ListBox->SetColor(RequiredColor);
        } else if (HasProperty(c, "Color")) {
            SetOrdPropByName(c, "Color", RequiredColor);
        }
        HookConfirmButtons(dialog);
    }
}

void HandleDateFieldEvent(TBaseGeneState& dialog, TControl* control, const std::string& event) {
    dialog.CheckFailed = false;
    if (control == nullptr)
        return;
    const std::string name = control->Name();
    const bool prepare = event == "OnEnter";
    std::string failRef;
    bool ok = true;
    // Whole names: a year-month field "ed1" is no date field because "ed10" is one.
    if (ListNames(dialog.DateFieldList, name))
        ok = CheckDateField(dialog, control, prepare, failRef);
    else if (ListNames(dialog.YearMonthFieldList, name))
        ok = CheckYearMonthField(dialog, control, prepare, failRef);
    if (!ok) {
        dialog.CheckFailed = true;
        if (!failRef.empty())
            PostMessageRef(dialog, failRef);
        return;
    }
    CallSavedHandler(dialog.SavedHandlers, control, event);
}

void HandleRequiredClick(TBaseGeneState& dialog, TControl* control) {
    dialog.CheckFailed = false;
    if (control == nullptr)
        return;
    TComponent* ok = dialog.FindDialogComponent("btnOk");
    TComponent* period = dialog.FindDialogComponent("btnPeriod");
    bool runCheck = control == ok;
    if (period != nullptr && GetOrdPropByName(period, "Down") != 0)
        runCheck = true;
    const bool blank = runCheck && CheckRequiredFields(dialog, dialog.RequiredFields);
    dialog.CheckFailed = blank;
    if (!blank) {
        CallSavedHandler(dialog.RequiredChecks, control, "OnClick");
        return;
    }
    if (period == nullptr)
        return;
    auto* pages = dynamic_cast<TPageControl*>(dialog.FindDialogComponent("pgOption"));
    if (pages != nullptr && pages->PageCount() > 0) {
        TTabSheet* last = pages->Pages(pages->PageCount() - 1);
        if (pages->ActivePage() != last) {
            SetOrdPropByName(period, "Down", 0);
            last->SetTabVisible(false);
        }
    }
}

void CallSavedHandler(const THandlerList& list, TControl* control, const std::string& event) {
    if (control == nullptr)
        return;
    TMethod m = list.Find(control->Name() + "." + event);
    if (m.Assigned())
        CallNotifyMethod(m, control);
}

void RunExitHandler(TBaseGeneState& dialog, TControl* control, const std::string& event) {
    if (TSelectPanel* panel = EnclosingPanel(control))
        control = panel;
    dialog.CheckFailed = false;
    if (control == nullptr)
        return;
    TMethod m = GetMethodPropByName(control, event);
    if (m.Assigned())
        CallNotifyMethod(m, control);
}

} // namespace nuv
