// The user-condition panel of the base dialog: users save the dialog's conditions under a code
// and a name of their own (optionally shared with everybody), list the sets of the program,
// load one back into the controls, delete one and clear the controls.
//
// The sets live on the server behind the counter service (Counter.GetCounter with the names
// "GETUSERDEFOPTION", "INSERTUSERDEFOPTION" and "DELUSERDEFOPTION"); their stored form is in
// UserConditionSet.h. Texts go to the server in the storage code page and come back converted
// for display. A failed call is reported and changes nothing in the list, so the list never
// shows a set that was not saved or hides one that was not deleted.
//
// Loading a set saved by an older layout of the dialog applies every line that fits its
// control as a whole and leaves the control alone otherwise (a component that is gone, a range
// for a list-only panel, a text where a list belongs, a number that is none, a date that does
// not read); the lines left out are named in one message afterwards.
#include "forms/BaseGene.h"

#include "controls/BtChkBox.h"
#include "controls/NuCheckBox.h"
#include "controls/NuRadioButton.h"
#include "controls/NuRadioGroup.h"
#include "controls/SelectPnl.h"
#include "forms/UserConditionSet.h"
#include "forms/UserDefOptCF.h"
#include "platform/UnicodeText.h"
#include "runtime/DialogText.h"
#include "runtime/FieldChecks.h"
#include "support/HostObjects.h"
#include "support/LibStrs.h"
#include "ui/Spin.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace nuv {

namespace {

// The user-condition panel's width.
constexpr int UserPanelWidth = 188;

// The page the periodic schedule lives on; its controls belong to no set.
constexpr const char* PeriodicPageName = "tsPeriodOption";

// Fixed texts of the panel.
constexpr const char* OverwritePrefix = "此條件代號:[";
constexpr const char* OverwriteSuffix = "]已存在，是否覆蓋? ";
constexpr const char* NotOwnerText = "非此自定條件擁有者OR超級使用者，\r無法刪除此筆自訂資料!";
constexpr const char* DeleteQuestion = "確定要刪除此筆條件設定？";
constexpr const char* SkippedPrefix = "下列條件與此畫面不符, 未載入:";
constexpr const char* NoServiceText = "無法取得自訂條件服務, 請確認工作中心的連線!";

// Why a stored line was left out.
constexpr const char* NoComponent = "元件不存在";
constexpr const char* WrongValue = "值的型態不符";
constexpr const char* WrongStyle = "選取樣式不符";
constexpr const char* BadDate = "日期無法辨識";

// A name as a whole item of a comma-separated list, without case.
bool InNameList(const std::string& list, const std::string& name) {
    const std::vector<std::string> names = SplitNames(list);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return uitext::SameText(n, name); });
}

// A value that reads as one text.
std::optional<std::string> TextOf(const Variant& v) {
    if (v.IsEmptyOrNull())
        return std::string();
    if (v.IsText() || v.IsNumeric())
        return v.ToString();
    return std::nullopt;
}

// A whole number, written as decimal text.
std::optional<int> IntegerOf(const Variant& v) {
    const std::optional<std::string> text = TextOf(v);
    if (!text)
        return std::nullopt;
    const std::string t = TrimText(*text);
    if (t.empty())
        return std::nullopt;
    std::size_t used = 0;
    try {
        const long n = std::stol(t, &used, 10);
        if (used != t.size() || n < INT32_MIN || n > INT32_MAX)
            return std::nullopt;
        return static_cast<int>(n);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// "Y" or "N" as a Boolean.
std::optional<bool> FlagOf(const Variant& v) {
    const std::optional<std::string> text = TextOf(v);
    if (text == "Y")
        return true;
    if (text == "N")
        return false;
    return std::nullopt;
}

// A sub-item of a list row, empty when the row has fewer.
std::string SubItem(TListItem* item, int index) {
    TStrings* subs = item->SubItems();
    return index < subs->Count() ? subs->Strings(index) : std::string();
}

} // namespace

// The lines of a set and their way back into the controls: one object per use, over the
// dialog's state.
class TUserSetLines {
public:
    explicit TUserSetLines(TfrmBaseGene& dialog) : d_(dialog) {}

    // The stored line of one condition component.
    TConditionLine Collect(const std::string& rawName) {
        TConditionLine line;
        line.Name = TrimText(rawName);
        line.Value = Variant("");
        TComponent* c = d_.TBaseGeneState::FindDialogComponent(line.Name);
        const bool date = InNameList(d_.DateFieldList, line.Name);
        const bool month = !date && InNameList(d_.YearMonthFieldList, line.Name);
        if (auto* edit = dynamic_cast<TEdit*>(c)) {
            line.Value = edit->Text();
        } else if (auto* memo = dynamic_cast<TCustomMemo*>(c)) {
            line.Value = memo->Text();
        } else if (auto* mask = dynamic_cast<TCustomMaskEdit*>(c)) {
            line.Value = date    ? DateTextToStorage(d_, mask->Text(), true, "")
                         : month ? YearMonthTextToStorage(d_, mask->Text())
                                 : mask->Text();
        } else if (auto* group = dynamic_cast<TNuRadioGroup*>(c)) {
            line.Value = std::to_string(group->ItemIndex());
        } else if (auto* radio = dynamic_cast<TNuRadioButton*>(c)) {
            line.Value = radio->Checked() ? "Y" : "N";
        } else if (auto* plainRadio = dynamic_cast<TRadioButton*>(c)) {
            line.Value = plainRadio->Checked() ? "Y" : "N";
        } else if (auto* spin = dynamic_cast<TSpinEdit*>(c)) {
            line.Value = std::to_string(spin->Value());
        } else if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
            line.Style = SelectStyleName(panel->Style());
            const bool range = panel->IsRangeActive();
            if (panel->Style() == sp_UserChoice)
                line.RangeActive = range ? "Y" : "N";
            if (range) {
                std::string b = panel->edBegin->Text(), e = panel->edFinal->Text();
                if (date) {
                    b = DateTextToStorage(d_, b, true, "");
                    e = DateTextToStorage(d_, e, true, "");
                } else if (month) {
                    b = YearMonthTextToStorage(d_, b);
                    e = YearMonthTextToStorage(d_, e);
                }
                line.Value = JoinRange(b, e);
            } else {
                line.Value = d_.ListRows(panel);
            }
        } else if (auto* combo = dynamic_cast<TComboBox*>(c)) {
            line.Value = std::to_string(combo->ItemIndex());
        } else if (auto* bit = dynamic_cast<TBitCheckBox*>(c)) {
            line.Value = bit->Checked() ? "Y" : "N";
        } else if (auto* check = dynamic_cast<TCustomCheckBox*>(c)) {
            line.Value = check->Checked() ? "Y" : "N";
        }
        return line;
    }

    // Writes a loaded line back into its control; the reason when it does not fit (the
    // control is then left as it was).
    std::optional<std::string> Restore(const TConditionLine& line) {
        TComponent* c = d_.TBaseGeneState::FindDialogComponent(line.Name);
        if (c == nullptr)
            return NoComponent;
        date_ = InNameList(d_.DateFieldList, line.Name);
        month_ = !date_ && InNameList(d_.YearMonthFieldList, line.Name);
        const Variant& v = line.Value;
        if (auto* edit = dynamic_cast<TEdit*>(c))
            return RestoreText(edit, v);
        if (auto* memo = dynamic_cast<TCustomMemo*>(c))
            return RestoreText(memo, v);
        if (auto* mask = dynamic_cast<TCustomMaskEdit*>(c))
            return RestoreMask(mask, v);
        if (auto* group = dynamic_cast<TNuRadioGroup*>(c)) {
            const std::optional<int> index = IntegerOf(v);
            if (!index || *index < -1 || *index >= group->Items()->Count())
                return WrongValue;
            group->SetItemIndex(*index);
            d_.TBaseGeneState::RunExitHandler(group, "OnClick");
            return std::nullopt;
        }
        if (dynamic_cast<TNuRadioButton*>(c) != nullptr ||
            dynamic_cast<TRadioButton*>(c) != nullptr) {
            const std::optional<bool> flag = FlagOf(v);
            if (!flag)
                return WrongValue;
            if (auto* radio = dynamic_cast<TNuRadioButton*>(c))
                radio->SetChecked(*flag);
            else
                static_cast<TRadioButton*>(c)->SetChecked(*flag);
            d_.TBaseGeneState::RunExitHandler(static_cast<TControl*>(c), "OnClick");
            return std::nullopt;
        }
        if (auto* spin = dynamic_cast<TSpinEdit*>(c)) {
            const std::optional<int> value = IntegerOf(v);
            if (!value)
                return WrongValue;
            spin->SetValue(*value);
            return std::nullopt;
        }
        if (auto* panel = dynamic_cast<TSelectPanel*>(c))
            return RestorePanel(panel, line);
        if (auto* combo = dynamic_cast<TComboBox*>(c)) {
            const std::optional<int> index = IntegerOf(v);
            if (!index || *index < -1 || *index >= combo->Items()->Count())
                return WrongValue;
            combo->SetItemIndex(0);
            combo->SetItemIndex(*index);
            d_.TBaseGeneState::RunExitHandler(combo, "OnChange");
            return std::nullopt;
        }
        auto* bit = dynamic_cast<TBitCheckBox*>(c);
        auto* check = dynamic_cast<TCustomCheckBox*>(c);
        if (bit != nullptr || check != nullptr) {
            const std::optional<bool> flag = FlagOf(v);
            if (!flag)
                return WrongValue;
            if (bit != nullptr)
                bit->SetChecked(*flag);
            else
                check->SetChecked(*flag);
            d_.TBaseGeneState::RunExitHandler(static_cast<TControl*>(c), "OnClick");
            d_.TBaseGeneState::RunExitHandler(static_cast<TControl*>(c), "OnExit");
            return std::nullopt;
        }
        // A control that keeps no value: nothing to restore, nothing lost.
        return std::nullopt;
    }

    // Empties one condition control (combo boxes, check boxes and radio buttons stay).
    void Clear(const std::string& rawName) {
        TComponent* c = d_.TBaseGeneState::FindDialogComponent(TrimText(rawName));
        if (dynamic_cast<TEdit*>(c) != nullptr || dynamic_cast<TCustomMemo*>(c) != nullptr ||
            dynamic_cast<TCustomMaskEdit*>(c) != nullptr) {
            static_cast<TCustomEdit*>(c)->SetText("");
            d_.TBaseGeneState::RunExitHandler(static_cast<TControl*>(c), "OnExit");
        } else if (auto* group = dynamic_cast<TNuRadioGroup*>(c)) {
            group->SetItemIndex(0);
            d_.TBaseGeneState::RunExitHandler(group, "OnClick");
        } else if (auto* spin = dynamic_cast<TSpinEdit*>(c)) {
            spin->SetValue(0);
        } else if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
            if (panel->IsRangeActive()) {
                panel->edBegin->SetText("");
                panel->edFinal->SetText("");
            } else {
                panel->ListBox->ClearItems();
            }
            d_.TBaseGeneState::RunExitHandler(panel, "OnExit");
        }
    }

private:
    // A stored "yyyymmdd" (or "yyyymm") as the dialog shows it; nullopt when it does not read.
    std::optional<std::string> Shown(const std::string& stored) {
        if (stored.empty())
            return std::string();
        const auto layout = static_cast<TDateType>(d_.DateLayout);
        if (date_) {
            const double day = DateFromYYYYMMDD(stored);
            if (day == 0)
                return std::nullopt;
            return FormatDateByLayout(layout, d_.DateSeparator, day);
        }
        const double day = stored.size() == 6 ? DateFromYYYYMMDD(stored + "01") : 0;
        if (day == 0)
            return std::nullopt;
        return FormatYearMonthByLayout(layout, d_.DateSeparator, day);
    }

    std::optional<std::string> RestoreText(TCustomEdit* edit, const Variant& v) {
        const std::optional<std::string> text = TextOf(v);
        if (!text)
            return WrongValue;
        edit->SetText(*text);
        d_.TBaseGeneState::RunExitHandler(edit, "OnExit");
        return std::nullopt;
    }

    std::optional<std::string> RestoreMask(TCustomMaskEdit* mask, const Variant& v) {
        const std::optional<std::string> text = TextOf(v);
        if (!text)
            return WrongValue;
        std::string shown = *text;
        if (date_ || month_) {
            const std::optional<std::string> s = Shown(*text);
            if (!s)
                return BadDate;
            shown = *s;
        }
        mask->SetText("");
        if (date_)
            d_.TBaseGeneState::CheckDateField(mask, true);
        else if (month_)
            d_.TBaseGeneState::CheckYearMonthField(mask, true);
        if (!shown.empty())
            mask->SetText(shown);
        d_.TBaseGeneState::RunExitHandler(mask, "OnExit");
        return std::nullopt;
    }

    std::optional<std::string> RestorePanel(TSelectPanel* panel, const TConditionLine& line) {
        const int stored = SelectStyleOfName(line.Style);
        if (stored < 0)
            return WrongStyle;
        const bool range =
            stored == sp_Range || (stored == sp_UserChoice && line.RangeActive == "Y");
        if ((range && panel->Style() == sp_Discrete) || (!range && panel->Style() == sp_Range))
            return WrongStyle;
        if (range) {
            const std::optional<std::string> text = TextOf(line.Value);
            if (!text)
                return WrongValue;
            std::string b, e;
            SplitRange(*text, b, e);
            if (date_ || month_) {
                const std::optional<std::string> sb = Shown(b), se = Shown(e);
                if (!sb || !se)
                    return BadDate;
                b = *sb;
                e = *se;
            }
            panel->edBegin->SetText("");
            panel->edFinal->SetText("");
            if (!b.empty() || !e.empty())
                panel->SetEnabled(true);
            if (date_)
                d_.TBaseGeneState::CheckDateField(panel, true);
            else if (month_)
                d_.TBaseGeneState::CheckYearMonthField(panel, true);
            panel->edBegin->SetText(b);
            panel->edFinal->SetText(e);
            if (panel->Style() == sp_UserChoice)
                panel->SetUserChoice(true);
        } else {
            TStoredRows rows;
            int skipped = 0;
            if (!ReadStoredRows(line.Value, rows, skipped))
                return WrongValue;
            if (panel->Style() == sp_UserChoice)
                panel->SetUserChoice(false);
            d_.FillPanelList(line.Value, panel);
        }
        d_.TBaseGeneState::RunExitHandler(panel, "OnExit");
        return std::nullopt;
    }

    TfrmBaseGene& d_;
    bool date_ = false;
    bool month_ = false;
};

// --- wiring ----------------------------------------------------------------------------------

void TfrmBaseGene::WireUserConditionPanel() {
    USERF2004->OnClick = TNotifyEvent(this, &TfrmBaseGene::USERF2004Click);
    USERF201->OnClick = TNotifyEvent(this, &TfrmBaseGene::USERF201Click);
    USERF202->OnClick = TNotifyEvent(this, &TfrmBaseGene::USERF202Click);
    USERLV01->OnDblClick = TNotifyEvent(this, &TfrmBaseGene::USERLV01DblClick);
    N1->OnClick = TNotifyEvent(this, &TfrmBaseGene::USERLV01DblClick);
    N2->OnClick = TNotifyEvent(this, &TfrmBaseGene::USERF202Click);
}

// --- showing and hiding the panel --------------------------------------------------------------

void TfrmBaseGene::USERBTN01Click(TObject*) {
    if (Panel1->CanFocus())
        Panel1->SetFocus();
    pgOption->SetActivePageIndex(0);
    USERBTN01->SetVisible(false);
    USERBTN02->SetVisible(true);
    SetWidth(Width() + UserPanelWidth);
    USERPAN03->SetWidth(UserPanelWidth);
    USERPAN03->SetVisible(true);
    if (CollectConditionControls())
        LoadConditionSets();
}

void TfrmBaseGene::USERBTN02Click(TObject*) {
    if (pgOption->CanFocus())
        pgOption->SetFocus();
    pgOption->SetActivePageIndex(0);
    USERBTN01->SetVisible(true);
    USERBTN02->SetVisible(false);
    SetWidth(Width() - UserPanelWidth);
    USERPAN03->SetWidth(0);
    USERPAN03->SetVisible(false);
}

// --- the condition components ----------------------------------------------------------------

namespace {

void CollectChildren(TWinControl* parent, TStrings& names) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (dynamic_cast<TSelectPanel*>(c) != nullptr) {
            names.Add(c->Name());
        } else if (dynamic_cast<TGroupBox*>(c) != nullptr ||
                   dynamic_cast<TCustomPanel*>(c) != nullptr) {
            CollectChildren(static_cast<TWinControl*>(c), names);
        } else if (dynamic_cast<TCustomLabel*>(c) != nullptr ||
                   dynamic_cast<TF2Button*>(c) != nullptr || dynamic_cast<TButton*>(c) != nullptr) {
            // labels, look-up buttons and buttons hold no condition
        } else if (!c->Name().empty()) {
            names.Add(c->Name());
        }
    }
}

} // namespace

bool TfrmBaseGene::CollectConditionControls() {
    if (UserConditionLines.Count() > 0)
        return true;
    try {
        for (int i = 0; i < ComponentCount(); ++i) {
            auto* sheet = dynamic_cast<TTabSheet*>(Components(i));
            if (sheet == nullptr || uitext::SameText(sheet->Name(), PeriodicPageName))
                continue;
            CollectChildren(sheet, UserConditionLines);
        }
        return true;
    } catch (const Exception& e) {
        UserConditionLines.Clear();
        TBaseGeneState::AddFailureText("(" + std::string(e.what()) + ")");
        TBaseGeneState::PostMessageRef("");
        return false;
    }
}

Variant TfrmBaseGene::ListRows(TSelectPanel* Panel) {
    TStoredRows rows;
    TListItems* items = Panel->ListBox->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        std::vector<std::string> row{item->Caption()};
        for (int j = 0; j < item->SubItems()->Count(); ++j)
            row.push_back(item->SubItems()->Strings(j));
        rows.push_back(std::move(row));
    }
    return StoredRows(rows);
}

void TfrmBaseGene::FillPanelList(const Variant& Rows, TSelectPanel* Panel) {
    Panel->ListBox->ClearItems();
    TStoredRows rows;
    int skipped = 0;
    if (!ReadStoredRows(Rows, rows, skipped))
        return;
    for (const auto& row : rows)
        Panel->ListBox->AddItem(row);
}

// --- the server's operations -----------------------------------------------------------------

namespace {

// The counter service's condition-set operation, with its failure reported: the answer
// converted for display, or nullopt (the failure shown) when there is no service or the call
// raised.
std::optional<Variant> UserSetCall(TfrmBaseGene& d, const std::string& name, Variant params) {
    if (!IsObjectAssigned(d.Counter))
        d.Counter = ManagerService(d.Manager, TManagerService::Counter);
    if (!IsObjectAssigned(d.Counter)) {
        d.ShowMessageDlg(ConvertToDisplay(d, Variant(NoServiceText)).ToString(), mtError, {mbOK});
        return std::nullopt;
    }
    try {
        Variant answer =
            CounterGetCounter(d.Counter, name, params, d.CompanyCode, d.DataSourceCode);
        return StoredForDisplay(d, answer);
    } catch (const Exception& e) {
        d.TBaseGeneState::AddFailureText(e.what());
        d.TBaseGeneState::PostMessageRef("");
        return std::nullopt;
    }
}

std::string Storage(TfrmBaseGene& d, const std::string& text) {
    return ConvertToStorage(d, Variant(text)).ToString();
}

// The row of USERLV01 that has the focus; nullptr when there is none.
TListItem* FocusedSetRow(TListView* list) {
    if (list->Items()->Count() == 0)
        return nullptr;
    return list->ItemFocused();
}

} // namespace

void TfrmBaseGene::LoadConditionSets() {
    const std::optional<Variant> answer = UserSetCall(
        *this, "GetUserDEFOption", Variant::ArrayOf({"1", CompanyCode, UserCode, ProgramCode}));
    USERLV01->Items()->Clear();
    if (!answer)
        return;
    for (const TSetRow& row : ReadSetList(*answer)) {
        TListItem* item = USERLV01->Items()->Add();
        item->SetCaption(row.Code);
        item->SubItems()->Add(row.Name);
        item->SubItems()->Add(row.Shared);
        item->SubItems()->Add(row.Owner);
    }
}

bool TfrmBaseGene::OwnSetExists(const Variant& Result) {
    if (!Result.IsArray() || Result.ArrayCount() == 0)
        return false;
    const std::string code = TrimText(Result[Result.ArrayLowBound()].ToString());
    TListItems* items = USERLV01->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        if (TrimText(item->Caption()) == code && SubItem(item, 2) == UserCode)
            return true;
    }
    return false;
}

// --- save, load, delete, clear ---------------------------------------------------------------

void TfrmBaseGene::USERF201Click(TObject*) {
    try {
        Variant result;
        {
            auto* form = new TfrmUserDefOpt(this);
            struct Free {
                TfrmUserDefOpt* f;
                ~Free() { delete f; }
            } free{form};
            form->SetConverterManager(GetConverterManager());
            form->UserGroup = UserGroup;
            std::vector<Variant> sets;
            TListItems* items = USERLV01->Items();
            for (int i = 0; i < items->Count(); ++i)
                sets.push_back(
                    Variant::ArrayOf({items->Item(i)->Caption(), SubItem(items->Item(i), 0)}));
            if (!sets.empty())
                form->ExistingSets = Variant::ArrayOf(std::move(sets));
            form->ShowModal();
            result = form->DialogResult;
        }
        Application->BringToFront();
        SetForegroundWindow(Handle());
        if (!result.IsArray() || result.ArrayCount() < 3)
            return;
        const int low = result.ArrayLowBound();
        const std::string code = result[low].ToString();
        const std::string name = result[low + 1].ToString();
        const std::string shared = result[low + 2].ToString();
        const bool replacing = OwnSetExists(result);
        if (replacing) {
            const std::string question =
                ConvertToDisplay(*this, Variant(OverwritePrefix)).ToString() + code +
                ConvertToDisplay(*this, Variant(OverwriteSuffix)).ToString();
            if (ShowMessageDlg(question, mtConfirmation, {mbYes, mbNo}) != mrYes)
                return;
        }
        if (!CollectConditionControls())
            return;
        TUserSetLines lines(*this);
        std::vector<TConditionLine> stored;
        for (int i = 0; i < UserConditionLines.Count(); ++i)
            stored.push_back(lines.Collect(UserConditionLines.Strings(i)));
        const Variant set = ConvertToStorage(*this, StoredSet(stored));
        if (!UserSetCall(*this, "InsertUserDEFOption",
                         Variant::ArrayOf({CompanyCode, UserCode, Storage(*this, code),
                                           Storage(*this, name), ProgramCode, set, shared})))
            return;
        if (replacing) {
            TListItems* items = USERLV01->Items();
            for (int i = 0; i < items->Count(); ++i) {
                TListItem* item = items->Item(i);
                if (TrimText(item->Caption()) != TrimText(code) || SubItem(item, 2) != UserCode)
                    continue;
                TStringList subs;
                subs.Add(name);
                subs.Add(shared);
                subs.Add(UserCode);
                item->SetSubItems(&subs);
            }
        } else {
            TListItem* item = USERLV01->Items()->Add();
            item->SetCaption(code);
            item->SubItems()->Add(name);
            item->SubItems()->Add(shared);
            item->SubItems()->Add(UserCode);
        }
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        TBaseGeneState::PostMessageRef("");
    }
}

void TfrmBaseGene::USERLV01DblClick(TObject*) {
    TListItem* row = FocusedSetRow(USERLV01);
    if (row == nullptr)
        return;
    try {
        const std::string code = row->Caption();
        const std::string owner = SubItem(row, 2);
        const std::optional<Variant> answer =
            UserSetCall(*this, "GetUserDEFOption",
                        Variant::ArrayOf({"2", CompanyCode, Storage(*this, owner), ProgramCode,
                                          Storage(*this, code)}));
        if (!answer)
            return;
        const TLoadedSet set = ReadLoadedSet(*answer);
        if (set.Lines.empty() && set.Skipped.empty())
            return;
        pgOption->SetActivePageIndex(0);
        CollectConditionControls();
        std::vector<std::string> skipped = set.Skipped;
        TUserSetLines lines(*this);
        for (const TConditionLine& line : set.Lines) {
            std::optional<std::string> why;
            if (UserConditionLines.IndexOf(line.Name) < 0)
                why = NoComponent;
            else
                why = lines.Restore(line);
            if (why)
                skipped.push_back(line.Name + " (" + *why + ")");
        }
        if (!skipped.empty()) {
            std::string text = ConvertToDisplay(*this, Variant(SkippedPrefix)).ToString();
            for (const std::string& s : skipped)
                text += "\r" + ConvertToDisplay(*this, Variant(s)).ToString();
            ShowMessageDlg(text, mtWarning, {mbOK});
        }
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        TBaseGeneState::PostMessageRef("");
    }
}

void TfrmBaseGene::USERF202Click(TObject*) {
    TListItem* row = FocusedSetRow(USERLV01);
    if (row == nullptr)
        return;
    try {
        const std::string code = row->Caption();
        const std::string owner = Storage(*this, SubItem(row, 2));
        if (owner != UserCode && UserGroup != SuperUserGroup) {
            ShowMessageDlg(ConvertToDisplay(*this, Variant(NotOwnerText)).ToString(), mtError,
                           {mbOK});
            return;
        }
        if (ShowMessageDlg(ConvertToDisplay(*this, Variant(DeleteQuestion)).ToString(),
                           mtConfirmation, {mbYes, mbNo}) != mrYes)
            return;
        if (!UserSetCall(*this, "DelUserDEFOption",
                         Variant::ArrayOf({CompanyCode, owner, Storage(*this, code), ProgramCode})))
            return;
        row->Delete();
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        TBaseGeneState::PostMessageRef("");
    }
}

void TfrmBaseGene::USERF2004Click(TObject*) {
    try {
        if (!CollectConditionControls())
            return;
        TUserSetLines lines(*this);
        for (int i = 0; i < UserConditionLines.Count(); ++i)
            lines.Clear(UserConditionLines.Strings(i));
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        TBaseGeneState::PostMessageRef("");
    }
}

} // namespace nuv
