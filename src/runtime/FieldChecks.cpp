#include "runtime/FieldChecks.h"

#include "controls/NuSpin.h"
#include "controls/SelectPnl.h"
#include "platform/AsciiText.h"
#include "platform/DateTime.h"
#include "platform/UnicodeText.h"
#include "runtime/NuMsg.h"
#include "support/LibStrs.h"
#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include <cstdio>

namespace nuv {

namespace {

const char* const DateCheckKindError =
    "判斷日期的函數第一個參數錯誤, 只能傳下列三種物件:\rTSelectPanel, TMaskedit, TEdit";
const char* const YearMonthCheckKindError =
    "判斷年月的函數第一個參數錯誤, 只能傳下列三種物件:\rTSelectPanel, TMaskedit, TEdit";

// A decimal integer (optional sign, digits only, within 32 bits), or def.
int StrictInt(std::string_view s, int def) {
    s = TrimBlanks(s);
    if (s.empty())
        return def;
    bool neg = s[0] == '-';
    if (s[0] == '-' || s[0] == '+')
        s.remove_prefix(1);
    if (s.empty())
        return def;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return def;
        v = v * 10 + (c - '0');
        if (v > 2147483647LL)
            return def;
    }
    return static_cast<int>(neg ? -v : v);
}

// The year part of the masks: its digits by layout.
std::string YearDigits(std::int32_t layout) {
    switch (layout) {
    case 1:
    case 2:
    case 3:
        return "9999";
    case 4:
        return "99";
    case 5:
        return "999";
    default:
        return "";
    }
}

bool YearLast(std::int32_t layout) {
    return layout == 2 || layout == 3;
}

// The separator as mask literals: a character that the mask would read as an input or control
// character is escaped.
std::string MaskLiteral(const std::string& sep) {
    std::string out;
    for (char c : sep) {
        if (std::string_view("09#LlAaCc<>\\_!;").find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

std::string TwoDigits(int v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%.2d", v);
    return buf;
}

std::string Tomorrow() {
    int y = 0, m = 0, d = 0;
    DecodeDate(Today() + 1, y, m, d);
    return std::to_string(y) + TwoDigits(m) + TwoDigits(d);
}

// The tab sheet that holds the control, or nullptr.
TTabSheet* SheetOf(TControl* control) {
    for (TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent())
        if (auto* sheet = dynamic_cast<TTabSheet*>(p))
            return sheet;
    return nullptr;
}

void FocusIfPossible(TBaseGeneState& dialog, TWinControl* control) {
    TCustomForm* form = control ? GetParentForm(control) : nullptr;
    if (form == nullptr || !form->Visible() || !control->CanFocus())
        return;
    control->SetFocus();
    dialog.FocusControl = control;
}

enum class TFieldKind { Other, Panel, Masked, Plain };

TFieldKind KindOf(TControl* control) {
    if (dynamic_cast<TSelectPanel*>(control))
        return TFieldKind::Panel;
    if (dynamic_cast<TCustomMaskEdit*>(control))
        return TFieldKind::Masked;
    if (dynamic_cast<TCustomEdit*>(control))
        return TFieldKind::Plain;
    return TFieldKind::Other;
}

// The edits whose texts a date check reads.
std::vector<TCustomEdit*> EditsOf(TControl* control) {
    if (auto* panel = dynamic_cast<TSelectPanel*>(control))
        return {panel->edBegin, panel->edFinal};
    return {static_cast<TCustomEdit*>(control)};
}

void ShowKindError(TBaseGeneState& dialog, const char* text) {
    Application->MessageBox(text, dialog.DialogForm().Caption(), MB_OK);
}

// The shared body of the two field checks.
bool CheckField(TBaseGeneState& dialog, TControl* control, bool prepare, std::string& failRef,
                bool yearMonth) {
    TFieldKind kind = KindOf(control);
    if (kind == TFieldKind::Other) {
        ShowKindError(dialog, yearMonth ? YearMonthCheckKindError : DateCheckKindError);
        return false;
    }
    const std::string mask = yearMonth ? YearMonthEditMask(dialog) : DateEditMask(dialog);
    if (prepare) {
        if (kind == TFieldKind::Panel) {
            static_cast<TSelectPanel*>(control)->SetEditMask(mask);
        } else if (kind == TFieldKind::Masked) {
            static_cast<TCustomMaskEdit*>(control)->SetEditMask(mask);
        } else if (TrimBlanks(control->Text()).empty()) {
            // A plain edit shows the layout's separators; what the user typed stays.
            control->SetText(yearMonth ? BlankYearMonthText(dialog) : BlankDateText(dialog));
        }
        return true;
    }
    for (TCustomEdit* edit : EditsOf(control)) {
        if (edit == nullptr)
            continue;
        const std::string text = edit->Text();
        bool bad;
        if (yearMonth) {
            std::string trimmed(TrimBlanks(text));
            std::string stored = trimmed == dialog.DateSeparator
                                     ? std::string()
                                     : YearMonthTextToStorage(dialog, text);
            bad = !stored.empty() && !IsValidYYYYMMDD(stored + "01");
        } else {
            std::string stored = DateTextToStorage(dialog, text);
            bad = !stored.empty() && !IsValidYYYYMMDD(stored);
        }
        if (bad) {
            FocusIfPossible(dialog, edit);
            failRef = "E;000005";
            return false;
        }
    }
    return true;
}

bool IsPanelBlank(TSelectPanel* panel) {
    if (panel->IsRangeActive())
        return IsFieldBlank(panel->edBegin) || IsFieldBlank(panel->edFinal);
    return panel->Items()->Count() == 0;
}

void WalkColors(TWinControl* container, TStrings* list, bool save) {
    if (container == nullptr || list == nullptr)
        return;
    for (int i = 0; i < container->ControlCount(); ++i) {
        TControl* c = container->Controls(i);
        auto* win = c->AsWinControl();
        if (auto* panel = win != nullptr ? dynamic_cast<TSelectPanel*>(win) : nullptr) {
            const std::pair<const char*, TControl*> parts[] = {{".edBegin", panel->edBegin},
                                                               {".edFinal", panel->edFinal},
                                                               {".ListBox", panel->ListBox}};
            for (const auto& [suffix, part] : parts) {
                if (part == nullptr)
                    continue;
                const std::string key = panel->Name() + suffix;
                if (save) {
                    list->Add(key + "=" + std::to_string(part->Color()));
                } else if (std::string v = list->Values(key); !v.empty()) {
                    part->SetColor(StrictInt(v, part->Color()));
                }
            }
            continue;
        }
        if (win != nullptr && win->ControlCount() > 0 && !dynamic_cast<TNuSpinEdit*>(c)) {
            WalkColors(win, list, save);
            continue;
        }
        if (c->Name().empty())
            continue;
        const TPropInfo* color = GetPropInfo(c, "Color");
        if (color == nullptr || !color->GetOrd)
            continue;
        if (save) {
            list->Add(c->Name() + "=" + std::to_string(color->GetOrd(c)));
        } else if (std::string v = list->Values(c->Name()); !v.empty() && color->SetOrd) {
            color->SetOrd(c, StrictInt(v, c->Color()));
        }
    }
}

} // namespace

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        std::string item(TrimBlanks(std::string_view(list).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (!item.empty())
            out.push_back(std::move(item));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return out;
}

// --- masks ----------------------------------------------------------------------------------

std::string DateEditMask(TBaseGeneState& dialog) {
    const std::string y = YearDigits(dialog.DateLayout), s = MaskLiteral(dialog.DateSeparator);
    return (YearLast(dialog.DateLayout) ? "99" + s + "99" + s + y : y + s + "99" + s + "99") +
           ";1; ";
}

std::string YearMonthEditMask(TBaseGeneState& dialog) {
    const std::string y = YearDigits(dialog.DateLayout), s = MaskLiteral(dialog.DateSeparator);
    return (YearLast(dialog.DateLayout) ? "99" + s + y : y + s + "99") + ";1; ";
}

std::string BlankDateText(TBaseGeneState& dialog) {
    const std::string b(YearDigits(dialog.DateLayout).size(), ' '), s = dialog.DateSeparator;
    return YearLast(dialog.DateLayout) ? "  " + s + "  " + s + b : b + s + "  " + s + "  ";
}

std::string BlankYearMonthText(TBaseGeneState& dialog) {
    const std::string b(YearDigits(dialog.DateLayout).size(), ' '), s = dialog.DateSeparator;
    return YearLast(dialog.DateLayout) ? "  " + s + b : b + s + "  ";
}

// --- storage texts --------------------------------------------------------------------------

std::string DateTextToStorage(TBaseGeneState& dialog, const std::string& text, bool useDefault,
                              const std::string& def) {
    std::string trimmed(TrimBlanks(text));
    if (trimmed == TrimBlanks(BlankDateText(dialog)) && !trimmed.empty())
        return {};
    if (trimmed.empty()) {
        if (!useDefault)
            return {};
        return def == "-1" ? Tomorrow() : def;
    }
    const std::string& sep = dialog.DateSeparator;
    int f[3];
    for (int i = 0; i < 3; ++i) {
        f[i] = StrictInt(GetDelimitedField(trimmed, sep, i + 1), -1);
        if (f[i] == -1)
            return trimmed;
    }
    int y, m, d;
    switch (dialog.DateLayout) {
    case 1:
        y = f[0], m = f[1], d = f[2];
        break;
    case 2:
        y = f[2], m = f[0], d = f[1];
        break;
    case 3:
        y = f[2], m = f[1], d = f[0];
        break;
    case 4:
    case 5:
        y = f[0] + MinguoYearOffset, m = f[1], d = f[2];
        break;
    default:
        return {};
    }
    return std::to_string(y) + TwoDigits(m) + TwoDigits(d);
}

std::string YearMonthTextToStorage(TBaseGeneState& dialog, const std::string& text) {
    std::string trimmed(TrimBlanks(text));
    // An empty field stores nothing (it is no month to check either).
    if (trimmed.empty() || trimmed == TrimBlanks(BlankYearMonthText(dialog)))
        return {};
    const std::string& sep = dialog.DateSeparator;
    int a = StrictInt(GetDelimitedField(trimmed, sep, 1), -1);
    int b = StrictInt(GetDelimitedField(trimmed, sep, 2), -1);
    if (a == 0 || b == 0)
        return trimmed;
    switch (dialog.DateLayout) {
    case 1:
        return std::to_string(a) + TwoDigits(b);
    case 2:
    case 3:
        return std::to_string(b) + TwoDigits(a);
    case 4:
    case 5:
        return std::to_string(a + MinguoYearOffset) + TwoDigits(b);
    default:
        return {};
    }
}

// --- checks ---------------------------------------------------------------------------------

bool CheckDateField(TBaseGeneState& dialog, TControl* control, bool prepare, std::string& failRef) {
    return CheckField(dialog, control, prepare, failRef, false);
}

bool CheckYearMonthField(TBaseGeneState& dialog, TControl* control, bool prepare,
                         std::string& failRef) {
    return CheckField(dialog, control, prepare, failRef, true);
}

bool IsFieldBlank(TObject* control) {
    if (control == nullptr)
        return false;
    // A spin edit publishes its Value, not its Text; emptied, it is as blank as an edit.
    if (!GetPropInfo(control, "Text")) {
        auto* edit = dynamic_cast<TCustomEdit*>(control);
        return edit != nullptr && TrimBlanks(edit->Text()).empty();
    }
    const std::string text = GetStrPropByName(control, "Text");
    std::string empty;
    if (auto* masked = dynamic_cast<TCustomMaskEdit*>(control)) {
        const TEditMaskFormat& format = masked->MaskFormat();
        if (!format.Empty() && format.SaveLiterals())
            empty = Utf32ToUtf8(format.Text(format.EmptyChars()));
    } else if (GetPropInfo(control, "EditMask")) {
        // Another masked control: its empty text is what it shows once cleared with the
        // literals kept; the text is put back afterwards.
        const std::string mask = GetStrPropByName(control, "EditMask");
        const std::string keep = GetDelimitedField(mask, ";", 2);
        if (keep == "1") {
            const std::string head = GetDelimitedField(mask, ";", 1);
            const std::string blank = GetDelimitedField(mask, ";", 3);
            SetStrPropByName(control, "EditMask", head + ";0;" + blank);
            SetStrPropByName(control, "Text", "");
            SetStrPropByName(control, "EditMask", mask);
            empty = GetStrPropByName(control, "Text");
            SetStrPropByName(control, "Text", text);
        }
    }
    return TrimBlanks(text) == TrimBlanks(empty);
}

bool CheckRequiredFields(TBaseGeneState& dialog, const std::string& list) {
    for (const std::string& item : SplitNames(list)) {
        const std::string name(TrimBlanks(GetDelimitedField(item, ";", 1)));
        const std::string flag(TrimBlanks(GetDelimitedField(item, ";", 2)));
        if (SameTextAscii(flag, "N") || StrictInt(flag, -1) != -1 || flag == "-1")
            continue;
        auto* control = dynamic_cast<TControl*>(dialog.FindDialogComponent(name));
        if (control == nullptr)
            continue;
        auto* panel = dynamic_cast<TSelectPanel*>(control);
        if (!(panel ? IsPanelBlank(panel) : IsFieldBlank(control)))
            continue;
        TWinControl* target = nullptr;
        if (control->Enabled())
            target = panel ? (panel->IsRangeActive() ? static_cast<TWinControl*>(panel->edBegin)
                                                     : static_cast<TWinControl*>(panel->ListBox))
                           : dynamic_cast<TWinControl*>(control);
        // The error box gives the focus back to FocusControl: the blank field, not whichever
        // control had it last.
        if (target != nullptr)
            dialog.FocusControl = target;
        PostMessageRef(dialog, "E;000037");
        if (TTabSheet* sheet = SheetOf(control); sheet && sheet->PageControl())
            sheet->PageControl()->SetActivePage(sheet);
        FocusIfPossible(dialog, target);
        return true;
    }
    return false;
}

void SaveColors(TBaseGeneState&, TWinControl* container, TStrings* list) {
    WalkColors(container, list, true);
}

void RestoreColors(TBaseGeneState&, TWinControl* container, TStrings* list) {
    WalkColors(container, list, false);
}

} // namespace nuv
