#include "codepage/CodeConverter.h"

#include "controls/SelectPnl.h"
#include "support/HostObjects.h"
#include "support/TarvelINI.h"
#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace nuv {

namespace {

// Font names as the forms and the host write them; Qt's font substitutions (ui/qt) map them
// onto the installed CJK fonts.
constexpr const char* TraditionalFontName = "細明體";
constexpr const char* TraditionalFontNameEn = "MingLiU";
constexpr const char* SimplifiedFontNameEn = "SimSun";
constexpr const char* SimplifiedFontName = "宋体";

// The Manager must answer a conversion with a value of the kind it was given: a text (plain or
// in a code page) with a text, a number with a number, an unassigned or Null element (sent as
// part of an array) with nothing or a text, anything else with its own kind. Another kind
// would put, say, a number where a caption or a database text belongs.
bool AnswerFits(const Variant& argument, const Variant& answer) {
    if (argument.IsText())
        return answer.IsText();
    if (argument.IsNumeric())
        return answer.IsNumeric();
    if (argument.IsEmptyOrNull())
        return answer.IsEmptyOrNull() || answer.IsText();
    return argument.Type() == answer.Type();
}

const Variant& CheckedAnswer(const char* call, const Variant& argument, const Variant& answer) {
    const Variant& a = answer.Deref();
    if (!AnswerFits(argument.Deref(), a))
        throw EConvertError(std::string("The Manager's ") + call + " answered a value of kind " +
                            a.TypeName() + " for one of kind " + argument.Deref().TypeName());
    return a;
}

const char* CallName(TConvertCall call) {
    return call == TConvertCall::BIG5toGB ? "BIG5toGB" : "GBtoBig5";
}

// The Manager call of a conversion direction; none for a mode that converts nothing.
std::optional<TConvertCall> CallOfMode(int mode) {
    if (mode == cmBig5ToGB)
        return TConvertCall::BIG5toGB;
    if (mode == cmGBToBig5)
        return TConvertCall::GBtoBig5;
    return std::nullopt;
}

bool SameTypeName(const TPropInfo* p, const char* typeName) {
    return p != nullptr && uitext::SameText(p->TypeName, typeName);
}

// The published property of that name when it holds an object (of the named type), else null.
template <class T> T* ObjectProp(TComponent* c, const char* name, const char* typeName) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (!SameTypeName(p, typeName) || p->Kind != TTypeKind::Class || !p->GetObject)
        return nullptr;
    return dynamic_cast<T*>(p->GetObject(c));
}

// The published string property of that name, or null.
const TPropInfo* StringProp(TComponent* c, const char* name) {
    const TPropInfo* p = GetPropInfo(c, name);
    if (p == nullptr || p->Kind != TTypeKind::String || !p->GetStr || !p->SetStr)
        return nullptr;
    return p;
}

// ---------------------------------------------------------------------------------------------
// The conversion of a form is done in two passes: every text is converted first and what is to
// change is recorded; the form is changed only once every conversion has succeeded. A Manager
// that fails half way thus leaves the form as it was, and the caller (the root form) does not
// mark it converted.

class TFormConversion {
public:
    TFormConversion(TCodeConverter& converter, int mode) : cv_(converter), mode_(mode) {}

    void Later(std::function<void()> write) { writes_.push_back(std::move(write)); }
    void Commit() {
        for (auto& w : writes_)
            w();
    }

    std::string Value(int mode, const std::string& text) {
        return cv_.ConvertValue(mode, Variant(text)).ToString();
    }
    std::string Text(const std::string& text) { return cv_.ConvertText(text); }

    void Font(TFont* font) {
        if (font != nullptr)
            Later([this, font] { cv_.AdjustFont(mode_, font); });
    }

    void StringStep(TComponent* c, const char* name) {
        const TPropInfo* p = StringProp(c, name);
        if (p == nullptr)
            return;
        std::string value = p->GetStr(c);
        if (value.empty())
            return;
        std::string converted = Value(mode_, value);
        Later([p, c, converted] { p->SetStr(c, converted); });
    }

    void ListStep(TComponent* c, const char* name, bool keepIndex) {
        auto* list = ObjectProp<TStrings>(c, name, "TStrings");
        if (list == nullptr)
            return;
        std::string converted = Value(mode_, list->Text());
        auto* combo = keepIndex ? dynamic_cast<TCustomComboBox*>(c) : nullptr;
        Later([list, combo, converted] {
            int index = combo != nullptr ? combo->ItemIndex() : -1;
            list->SetText(converted);
            if (combo != nullptr && combo->Items()->Count() > 0)
                combo->SetItemIndex(index);
        });
    }

    void StyleStep(TComponent* c) {
        const TPropInfo* p = GetPropInfo(c, "Style");
        if (p == nullptr || !p->GetOrd || !p->SetOrd)
            return;
        if (SameTypeName(p, "TComboBoxStyle")) {
            auto* combo = dynamic_cast<TCustomComboBox*>(c);
            Later([p, c, combo] {
                int index = combo != nullptr ? combo->ItemIndex() : -1;
                auto style = static_cast<TComboBoxStyle>(p->GetOrd(c));
                if (style == csDropDown)
                    p->SetOrd(c, static_cast<std::int64_t>(csOwnerDrawVariable));
                else if (style == csDropDownList)
                    p->SetOrd(c, static_cast<std::int64_t>(csOwnerDrawFixed));
                if (combo != nullptr && combo->Items()->Count() > 0 && combo->ItemIndex() < 0 &&
                    index >= 0)
                    combo->SetItemIndex(index);
            });
        } else if (SameTypeName(p, "TListBoxStyle")) {
            Later([p, c] {
                if (static_cast<TListBoxStyle>(p->GetOrd(c)) == lbStandard)
                    p->SetOrd(c, static_cast<std::int64_t>(lbOwnerDrawFixed));
            });
        }
    }

    void PanelsStep(TComponent* c) {
        auto* panels = ObjectProp<TStatusPanels>(c, "Panels", "TStatusPanels");
        if (panels == nullptr)
            return;
        for (int i = 0; i < panels->Count(); ++i) {
            TStatusPanel* panel = panels->Items(i);
            std::string converted = Value(mode_, panel->Text());
            Later([panel, converted] { panel->SetText(converted); });
        }
    }

    // Column captions and row texts of a list view, each column caption converted once: with
    // rows, at the first row; without rows, on its own.
    void ListView(TCustomListView* lv) {
        TListColumns* columns = lv->Columns();
        TListItems* items = lv->Items();
        for (int c = 0; c < columns->Count(); ++c) {
            TListColumn* column = columns->Items(c);
            if (items->Count() == 0)
                ColumnCaption(column);
            for (int r = 0; r < items->Count(); ++r) {
                TListItem* item = items->Item(r);
                if (r == 0)
                    ColumnCaption(column);
                if (c == 0) {
                    std::string converted = Text(item->Caption());
                    Later([item, converted] { item->SetCaption(converted); });
                } else if (c - 1 < item->SubItems()->Count()) {
                    // A row with fewer sub-items than the list has columns keeps its gap.
                    TStrings* sub = item->SubItems();
                    std::string converted = Text(sub->Get(c - 1));
                    Later([sub, c, converted] { sub->Put(c - 1, converted); });
                }
            }
        }
    }

    void SelectPanel(TSelectPanel* sp) {
        TStrings* hints = sp->ChildHints();
        std::vector<std::string> lines;
        for (int i = 0; i < hints->Count(); ++i)
            lines.push_back(Text(hints->Get(i)));
        Later([hints, lines] {
            for (int i = 0; i < static_cast<int>(lines.size()) && i < hints->Count(); ++i)
                hints->Put(i, lines[static_cast<std::size_t>(i)]);
        });
        Words(sp, sp->BeginWords(), &TSelectPanel::SetBeginWords);
        Words(sp, sp->FinalWords(), &TSelectPanel::SetFinalWords);
        std::string hintWord = Text(sp->HintWord());
        Later([sp, hintWord] { sp->SetHintWord(hintWord); });
        if (sp->ListBox != nullptr)
            ListView(sp->ListBox);
    }

private:
    void ColumnCaption(TListColumn* column) {
        std::string converted = Text(column->Caption());
        Later([column, converted] { column->SetCaption(converted); });
    }
    void Words(TSelectPanel* sp, TStrings* words, void (TSelectPanel::*set)(TStrings*)) {
        auto converted = std::make_shared<TStringList>();
        for (int i = 0; i < words->Count(); ++i)
            converted->Add(Text(words->Get(i)));
        Later([sp, set, converted] { (sp->*set)(converted.get()); });
    }

    TCodeConverter& cv_;
    int mode_;
    std::vector<std::function<void()>> writes_;
};

} // namespace

// ---------------------------------------------------------------------------------------------

const TClassInfo& TCodeConverter::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TCodeConverter", &TComponent::StaticClassInfo())
            .Enum<TCodeConverter>("DesignType", "TDesignType", {"dtClient", "dtServer"},
                                  &TCodeConverter::DesignType, &TCodeConverter::SetDesignType);
    return info;
}

TCodeConverter::TCodeConverter(TComponent* owner) : TComponent(owner) {
    ReadCodePages();
}

TCodeConverter::~TCodeConverter() = default;

void TCodeConverter::SetManager(const Variant& value) {
    manager_ = value;
}

void TCodeConverter::ReadCodePages() {
    auto take = [this](const TTarvelSettings& s) {
        systemCodePage_ = s.SystemCodePage;
        uiCodePage_ = s.UICodePage;
        dbCodePage_ = s.DBCodePage;
        uiConvertMode_ = s.UIConvertMode;
        dbConvertMode_ = s.DBConvertMode;
    };
    if (designType_ == dtServer)
        take(TTarvelIniS());
    else
        take(TTarvelIniC());
}

Variant TCodeConverter::ConvertValue(int mode, const Variant& V) {
    Variant value = V.Deref();
    if (!IsObjectAssigned(manager_) || mode == cmNone || value.IsEmptyOrNull())
        return value;
    if (value.IsArray())
        return ConvertArray(mode, value);
    const std::optional<TConvertCall> call = CallOfMode(mode);
    if (!call)
        return value;
    Variant argument = value;
    Variant answer = ManagerConvertValue(manager_, *call, value);
    return CheckedAnswer(CallName(*call), argument, answer);
}

Variant TCodeConverter::ConvertArray(int mode, const Variant& A) {
    Variant result = A.Deref();
    if (!result.IsArray())
        return result;
    if (result.ArrayDimCount() == 1) {
        const std::optional<TConvertCall> call = CallOfMode(mode);
        for (int i = result.ArrayLowBound(); i <= result.ArrayHighBound(); ++i) {
            Variant& e = result.Element(i);
            if (e.IsArray())
                e = ConvertArray(mode, e);
            else if (call)
                e = CheckedAnswer(CallName(*call), e, ManagerConvertElement(manager_, *call, e));
        }
    } else if (result.ArrayDimCount() == 2) {
        for (int i = result.ArrayLowBound(1); i <= result.ArrayHighBound(1); ++i)
            for (int j = result.ArrayLowBound(2); j <= result.ArrayHighBound(2); ++j)
                result.Element(i, j) = ConvertValue(mode, result.Element(i, j));
    }
    return result;
}

std::string TCodeConverter::ConvertText(const std::string& S) {
    if (S.empty())
        return S;
    std::string text = S;
    Variant answer = ManagerBig5ToGB(manager_, text);
    return CheckedAnswer("Big5ToGB", Variant(S), answer).ToString();
}

Variant TCodeConverter::ToDisplay(const Variant& V) {
    return ConvertValue(uiConvertMode_, V);
}

Variant TCodeConverter::FromStorage(const Variant& V) {
    return ConvertValue(dbConvertMode_, V);
}

Variant TCodeConverter::ToStorage(const Variant& V) {
    if (dbConvertMode_ == 1)
        return ConvertValue(cmGBToBig5, V);
    if (dbConvertMode_ == 2)
        return ConvertValue(cmBig5ToGB, V);
    return V.Deref();
}

void TCodeConverter::AdjustFont(int mode, TFont* Font) {
    if (Font == nullptr)
        return;
    // Name and character set reach the font as one change: each change of a container's font
    // is handed to every control inside that follows it.
    TFont target;
    target.Assign(Font);
    AdjustFontFields(mode, &target);
    Font->Assign(&target);
}

void TCodeConverter::AdjustFontFields(int mode, TFont* Font) {
    const bool big5 = systemCodePage_ == "950";
    const bool gb = systemCodePage_ == "936";
    switch (mode) {
    case cmBig5ToGB:
        if (big5)
            Font->SetName(SimplifiedFontNameEn);
        else if (gb)
            Font->SetName(SimplifiedFontName);
        Font->SetCharset(GB2312_CHARSET);
        break;
    case cmGBToBig5:
        if (big5)
            Font->SetName(TraditionalFontName);
        else if (gb)
            Font->SetName(TraditionalFontNameEn);
        Font->SetCharset(CHINESEBIG5_CHARSET);
        break;
    case cmBig5Fonts:
        if (gb)
            Font->SetName(TraditionalFontNameEn);
        Font->SetCharset(CHINESEBIG5_CHARSET);
        break;
    case cmNone:
        Font->SetName(big5 ? TraditionalFontName : TraditionalFontNameEn);
        Font->SetCharset(CHINESEBIG5_CHARSET);
        break;
    default:
        break;
    }
}

void TCodeConverter::ConvertForm(TCustomForm* Form) {
    if (Form == nullptr || !IsObjectAssigned(manager_))
        return;
    const int m = uiConvertMode_;
    TFormConversion run(*this, m);

    if (systemCodePage_ == "936") {
        std::string caption = run.Value(cmBig5ToGB, Form->Caption());
        run.Later([Form, caption] { Form->SetCaption(caption); });
    }
    run.StringStep(Form, "Hint");
    run.Font(Screen->HintFont());
    run.Font(Screen->IconFont());
    run.Font(Screen->MenuFont());
    // Showing hints off and on again makes the hint window take the new hint font.
    run.Later([] {
        Application->SetShowHint(!Application->ShowHint());
        Application->SetShowHint(!Application->ShowHint());
    });

    if (m != cmNone) {
        for (int i = 0; i < Form->ComponentCount(); ++i) {
            TComponent* c = Form->Components(i);
            run.Font(ObjectProp<TFont>(c, "Font", "TFont"));
            run.Font(ObjectProp<TFont>(c, "TitleFont", "TFont"));
            run.StringStep(c, "Caption");
            run.StringStep(c, "Hint");
            run.ListStep(c, "Items", true);
            run.ListStep(c, "Lines", false);
            run.StyleStep(c);
            run.PanelsStep(c);

            if (auto* sp = dynamic_cast<TSelectPanel*>(c)) {
                if (m == cmBig5ToGB)
                    run.SelectPanel(sp);
            } else if (auto* lv = dynamic_cast<TCustomListView*>(c)) {
                if (m == cmBig5ToGB)
                    run.ListView(lv);
            } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
                run.Later([popup] { popup->SetOwnerDraw(true); });
            } else if (auto* combo = dynamic_cast<TCustomComboBox*>(c)) {
                if (m == cmBig5ToGB)
                    run.Later([combo] {
                        if (combo->Style() != csSimple)
                            combo->SetStyle(csOwnerDrawFixed);
                        if (combo->ItemIndex() < 0 && combo->Items()->Count() > 0)
                            combo->SetItemIndex(0);
                    });
            } else if (auto* menu = dynamic_cast<TMainMenu*>(c)) {
                run.Later([menu] { menu->SetOwnerDraw(true); });
            }
        }
    }
    run.Commit();
}

int TCodeConverter::ShowMessageDlg(const std::string& Text, TMsgDlgType DialogType,
                                   TMsgDlgButtons Buttons) {
    if (Text.empty())
        return 0;
    std::string text = Text;
    // The GB message box measures its text narrower than it draws it; the blanks keep the last
    // characters clear of the frame.
    if (uiCodePage_ == "936" || systemCodePage_ == "936")
        text += "      ";
    std::unique_ptr<TMessageForm, void (*)(TMessageForm*)> dlg(
        CreateMessageDialog(text, DialogType, Buttons), [](TMessageForm* f) { f->Free(); });
    auto* owner = dynamic_cast<TCustomForm*>(Owner());
    if (owner != nullptr) {
        if (owner->WindowState() == wsMinimized)
            owner->SetWindowState(wsNormal);
        dlg->SetCaption(owner->Caption());
    }
    AdjustFont(uiConvertMode_, dlg->Font());
    dlg->SetFormStyle(fsStayOnTop);
    return dlg->ShowModal();
}

} // namespace nuv
