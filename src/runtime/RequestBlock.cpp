#include "runtime/RequestBlock.h"

#include "controls/SelectPnl.h"
#include "platform/AsciiText.h"
#include "platform/UnicodeText.h"
#include "runtime/DialogText.h"
#include "runtime/FieldChecks.h"
#include "runtime/NuMsg.h"
#include "support/LibStrs.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/Mask.h"
#include "ui/Spin.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace nuv {

namespace {

const char* const HeaderName = "環境設定";
const char* const TextsName = "選擇條件文字";
const char* const DataName = "選擇條件資料";

// The upper bound of a one-dimensional array; -1 for anything else.
int UpperBound(const Variant& v) {
    return v.IsArray() && v.ArrayDimCount() == 1 ? v.ArrayHighBound() : -1;
}

// Checks an array filled by a hook: its size, then its elements 1..count in order.
bool CheckFilled(TBaseGeneState& dialog, const Variant& array, int count, const char* name) {
    const int high = UpperBound(array);
    if (high != count) {
        ShowMessageById(dialog, "W", "000002", {name, std::to_string(count), std::to_string(high)});
        return false;
    }
    for (int i = 1; i <= count; ++i) {
        if (i < array.ArrayLowBound() || array[i].IsEmptyOrNull()) {
            ShowMessageById(dialog, "W", "000003",
                            {name, std::to_string(count), std::to_string(i)});
            return false;
        }
    }
    return true;
}

void PutAt(Variant& target, int index, Variant value) {
    if (index < 0)
        target = std::move(value);
    else
        target[index] = std::move(value);
}

// Is a full date text "yyyymmdd" (or year-month "yyyymm") of digits.
bool AllDigits(const std::string& s, std::size_t size) {
    if (s.size() != size)
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A stored date as the field shows it; other texts as they are.
std::string DisplayDate(TBaseGeneState& dialog, const std::string& value, bool yearMonth) {
    const auto layout = static_cast<TDateType>(dialog.DateLayout);
    if (!yearMonth && AllDigits(value, 8)) {
        if (double d = DateFromYYYYMMDD(value); d != 0)
            return FormatDateByLayout(layout, dialog.DateSeparator, d);
    }
    if (yearMonth && AllDigits(value, 6)) {
        if (double d = DateFromYYYYMMDD(value + "01"); d != 0)
            return FormatYearMonthByLayout(layout, dialog.DateSeparator, d);
    }
    return value;
}

// A host value for a date field: empty, or the stored form "yyyymmdd" ("yyyymm" for a
// year-month field) of a real date. Anything else would land in the field's mask cut up and be
// read as some other date.
bool IsStoredDate(const std::string& value, bool yearMonth) {
    if (value.empty())
        return true;
    if (yearMonth)
        return AllDigits(value, 6) && DateFromYYYYMMDD(value + "01") != 0;
    return AllDigits(value, 8) && DateFromYYYYMMDD(value) != 0;
}

// A text that the edit can hold whole: an edit with a maximum length (counted as the edit
// counts, in UTF-16 units) would cut a longer one.
bool FitsEdit(const TCustomEdit* edit, const std::string& text) {
    return edit == nullptr || edit->MaxLength() <= 0 ||
           Utf8ToUtf16(text).size() <= static_cast<std::size_t>(edit->MaxLength());
}

bool IsListed(const std::string& list, const std::string& name) {
    for (const std::string& item : SplitNames(list))
        if (SameTextAscii(item, name))
            return true;
    return false;
}

// How a value goes into a component; empty when the component takes no such value.
using TApply = std::function<void()>;

TApply PanelApplier(TBaseGeneState& dialog, TSelectPanel* panel, const Variant& value) {
    if (!value.IsArray() || value.ArrayDimCount() != 1 || value.ArrayCount() < 1)
        return {};
    const int low = value.ArrayLowBound();
    const std::string marker = value[low].IsText() ? value[low].ToString() : std::string();
    const bool dates = panel->ValueType() == vt_Date;
    if (marker == RangeMarker && value.ArrayCount() == 3) {
        if (panel->Style() == sp_Discrete)
            return {};
        std::string b = value[low + 1].ToString(), e = value[low + 2].ToString();
        if (dates && (!IsStoredDate(b, false) || !IsStoredDate(e, false)))
            return {};
        if (!FitsEdit(panel->edBegin, b) || !FitsEdit(panel->edFinal, e))
            return {};
        if (dates)
            b = DisplayDate(dialog, b, false), e = DisplayDate(dialog, e, false);
        return [panel, b, e] {
            if (panel->Style() == sp_UserChoice)
                panel->SetUserChoice(true);
            panel->edBegin->SetText(b);
            panel->edFinal->SetText(e);
        };
    }
    if (marker == ListMarker) {
        if (panel->Style() == sp_Range)
            return {};
        std::vector<std::vector<std::string>> rows;
        for (int k = low + 1; k <= value.ArrayHighBound(); ++k) {
            const Variant& row = value[k];
            if (!row.IsArray() || row.ArrayDimCount() != 1)
                return {};
            std::vector<std::string> cells;
            for (int j = row.ArrayLowBound(); j <= row.ArrayHighBound(); ++j)
                cells.push_back(row[j].ToString());
            rows.push_back(std::move(cells));
        }
        return [panel, rows] {
            if (panel->Style() == sp_UserChoice)
                panel->SetUserChoice(false);
            panel->ListBox->ClearItems();
            for (const auto& r : rows)
                if (!r.empty())
                    panel->ListBox->AddItem(r);
        };
    }
    return {};
}

// "Y" or "N" (or a number) as a switch; nullopt for anything else.
std::optional<bool> SwitchValue(const Variant& value) {
    if (value.IsArray())
        return std::nullopt;
    if (value.IsNumeric())
        return value.ToBool();
    const std::string v = UpperAscii(TrimBlanks(value.ToString()));
    if (v != "Y" && v != "N")
        return std::nullopt;
    return v == "Y";
}

bool SpinAccepts(const TSpinEdit* spin, const std::string& text) {
    const std::string t(TrimBlanks(text));
    std::size_t digits = t.starts_with('-') ? 1 : 0;
    if (t.size() == digits || t.size() - digits > 9 ||
        !std::all_of(t.begin() + static_cast<std::ptrdiff_t>(digits), t.end(),
                     [](char ch) { return ch >= '0' && ch <= '9'; }))
        return false;
    const int v = std::stoi(t);
    return spin->MinValue() == spin->MaxValue() || (v >= spin->MinValue() && v <= spin->MaxValue());
}

TApply ControlApplier(TBaseGeneState& dialog, TComponent* c, const Variant& value) {
    if (auto* panel = dynamic_cast<TSelectPanel*>(c))
        return PanelApplier(dialog, panel, value);
    // A toggle button goes down or up through its click, so that what hangs on the switch
    // (pages shown, fields required) follows as for a person's click.
    if (auto* toggle = dynamic_cast<TSpeedButton*>(c); toggle && toggle->GroupIndex() != 0) {
        const std::optional<bool> on = SwitchValue(value);
        if (!on)
            return {};
        return [toggle, down = *on] {
            if (toggle->Down() == down)
                return;
            toggle->SetDown(down);
            toggle->Click();
        };
    }
    if (HasProperty(c, "Checked") && !value.IsArray()) {
        const std::optional<bool> on = SwitchValue(value);
        if (!on)
            return {};
        return [c, on = *on] { SetOrdPropByName(c, "Checked", on ? 1 : 0); };
    }
    if (HasProperty(c, "ItemIndex") && value.IsArray()) {
        if (value.ArrayCount() < 1)
            return {};
        const int item = value[value.ArrayLowBound()].ToIntDef(0);
        if (item < 1)
            return {};
        if (auto* combo = dynamic_cast<TCustomComboBox*>(c);
            combo && item > combo->Items()->Count())
            return {};
        return [c, item] { SetOrdPropByName(c, "ItemIndex", item - 1); };
    }
    if (auto* edit = dynamic_cast<TCustomEdit*>(c); edit && !value.IsArray()) {
        std::string text = value.ToString();
        std::string mask;
        if (!FitsEdit(edit, text))
            return {};
        // A spin edit takes a whole number within its range, as its buttons would give.
        if (auto* spin = dynamic_cast<TSpinEdit*>(c); spin && !SpinAccepts(spin, text))
            return {};
        if (IsListed(dialog.DateFieldList, c->Name())) {
            if (!IsStoredDate(text, false))
                return {};
            text = DisplayDate(dialog, text, false);
            mask = DateEditMask(dialog);
        } else if (IsListed(dialog.YearMonthFieldList, c->Name())) {
            if (!IsStoredDate(text, true))
                return {};
            text = DisplayDate(dialog, text, true);
            mask = YearMonthEditMask(dialog);
        }
        auto* masked = dynamic_cast<TCustomMaskEdit*>(c);
        return [edit, masked, mask, text] {
            // A date field that was never entered has no mask of the layout yet.
            if (masked != nullptr && !mask.empty())
                masked->SetEditMask(mask);
            // Through the control itself: not every edit publishes its text (a spin edit
            // publishes its value), and a property that is not there would drop the value.
            edit->SetText(text);
        };
    }
    return {};
}

} // namespace

bool BuildRequestBlock(TBaseGeneState& dialog) {
    const int a = dialog.EnvironmentCount;
    const int n = dialog.ConditionCount;
    if (a <= 0 || (n <= 0 && !dialog.AutoRun)) {
        ShowMessageById(dialog, "I", "000003", {""});
        return false;
    }
    const int conditions = n > 0 ? n : 0;
    Variant header = Variant::CreateArray({{1, a}});
    Variant texts = Variant::CreateArray({{1, conditions}});
    Variant data = Variant::CreateArray({{1, conditions}});
    if (!dialog.FillRequestHeader(header, a) || !CheckFilled(dialog, header, a, HeaderName))
        return false;
    const int own = conditions - dialog.BaseEntryCount;
    if (!dialog.CollectConditionText(texts, own) ||
        !CheckFilled(dialog, texts, conditions, TextsName))
        return false;
    if (!dialog.CollectConditionData(data, own) || !CheckFilled(dialog, data, conditions, DataName))
        return false;
    dialog.Request =
        Variant::ArrayOf({header, ConvertToStorage(dialog, texts), ConvertToStorage(dialog, data)});
    return true;
}

void SetConditionCount(TBaseGeneState& dialog, std::int32_t n) {
    dialog.ConditionCount =
        dialog.BaseEntryCount < dialog.ConditionCount ? n : n + dialog.BaseEntryCount;
}

bool AddSelectPanelData(TSelectPanel* panel, Variant& data, int index) {
    if (panel == nullptr)
        return false;
    if (panel->IsRangeActive()) {
        PutAt(data, index,
              Variant::ArrayOf({RangeMarker, panel->edBegin->Text(), panel->edFinal->Text()}));
        return true;
    }
    ListItemsToVariant(panel->Items(), data, index, ListMarker);
    return true;
}

void ListItemsToVariant(TListItems* items, Variant& target, int index, std::string_view marker) {
    const int count = items ? items->Count() : 0;
    Variant list = Variant::CreateArray({{0, count}});
    list[0] = marker;
    for (int k = 1; k <= count; ++k) {
        TListItem* item = items->Item(k - 1);
        TStrings* subs = item->SubItems();
        const int m = subs ? subs->Count() : 0;
        Variant row = Variant::CreateArray({{0, m}});
        row[0] = item->Caption();
        for (int j = 1; j <= m; ++j)
            row[j] = subs->Get(j - 1);
        list[k] = std::move(row);
    }
    PutAt(target, index, std::move(list));
}

bool BaseConditionText(TBaseGeneState& dialog, Variant& texts, int index) {
    try {
        auto* label = dynamic_cast<TControl*>(dialog.FindDialogComponent("lblToday"));
        if (label == nullptr)
            throw Exception("The dialog has no lblToday");
        texts[index] = Variant::ArrayOf({label->Caption(), "edPrintDate"});
        return true;
    } catch (const Exception&) {
        PostMessageRef(dialog, "E;000030;" + GetMessageText(dialog, "I", "000011"));
        return false;
    }
}

bool BaseConditionData(TBaseGeneState& dialog, Variant& data, int index) {
    try {
        auto* edit = dynamic_cast<TControl*>(dialog.FindDialogComponent("edPrintDate"));
        if (edit == nullptr)
            throw Exception("The dialog has no edPrintDate");
        const std::string text(TrimBlanks(edit->Text()));
        const std::string& sep = dialog.DateSeparator;
        std::string value;
        // A mask that shows only its separators and blanks is an unfilled date.
        const bool unfilled =
            text.empty() || (!sep.empty() && (text.starts_with(sep.substr(0, 1)) ||
                                              text.ends_with(sep.substr(sep.size() - 1))));
        if (!unfilled)
            value = DateTextToStorage(dialog, text);
        data[index] = value;
        return true;
    } catch (const Exception&) {
        PostMessageRef(dialog, "E;000030");
        return false;
    }
}

bool ApplyValuesByName(TBaseGeneState& dialog, const Variant& values) {
    std::vector<TApply> steps;
    try {
        if (!values.IsArray() || values.ArrayCount() < 2)
            throw Exception("");
        const Variant& pairs = values[values.ArrayLowBound()];
        const Variant& items = values[values.ArrayLowBound() + 1];
        if (!pairs.IsArray() || !items.IsArray() || pairs.ArrayDimCount() != 1 ||
            items.ArrayDimCount() != 1)
            throw Exception("");
        for (int i = pairs.ArrayLowBound(); i <= pairs.ArrayHighBound(); ++i) {
            const Variant& pair = pairs[i];
            std::string name;
            if (pair.IsArray() && pair.ArrayDimCount() == 1 && pair.ArrayCount() >= 2)
                name = pair[pair.ArrayLowBound() + 1].ToString();
            TComponent* c = name.empty() ? nullptr : dialog.FindDialogComponent(name);
            TApply step;
            if (c != nullptr && i >= items.ArrayLowBound() && i <= items.ArrayHighBound())
                step = ControlApplier(dialog, c, items[i]);
            if (!step) {
                PostMessageRef(dialog, "W;000014;" + name);
                return false;
            }
            steps.push_back(std::move(step));
        }
    } catch (const Exception&) {
        PostMessageRef(dialog, "W;000014");
        return false;
    }
    for (const TApply& step : steps)
        step();
    return !steps.empty();
}

} // namespace nuv
