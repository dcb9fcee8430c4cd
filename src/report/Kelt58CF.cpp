#include "report/Kelt58CF.h"

#include "platform/DateTime.h"
#include "runtime/FieldChecks.h"
#include "runtime/RequestBlock.h"
#include "support/LibStrs.h"
#include "ui/Forms.h"

#include <algorithm>

namespace nuv {

namespace {

// The messages of the basic page.
constexpr const char* StartDateBeforeToday = "100062";

// A one-line word list for a panel's BeginWords or FinalWords.
void SetWords(TSelectPanel* Panel, void (TSelectPanel::*Setter)(TStrings*), const char* Word) {
    TStringList words;
    words.Add(Word);
    (Panel->*Setter)(&words);
}

// The panel's sub-control hints with its range edits and its list naming the look-up that F2
// opens there; the other lines keep the panel's own hints.
void SetLookupHints(TSelectPanel* Panel, const std::string& Hint) {
    TStringList hints;
    hints.Assign(Panel->ChildHints());
    for (int line : {1, 3, 5}) // edBegin, edFinal, ListBox
        if (line < hints.Count())
            hints.Put(line, Hint);
    Panel->SetChildHints(&hints);
}

} // namespace

const TClassInfo& TfrmKelt58::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmKelt58", &TfrmBaseRpt::StaticClassInfo());
    return info;
}

// --- the form resource -----------------------------------------------------------------------

TfrmKelt58::TfrmKelt58(TComponent* AOwner) : TfrmBaseRpt(AOwner) {
    SetName("frmKelt58");
    SetWidth(579);

    auto label = [this](const char* name, const std::string& caption, TWinControl* parent, int left,
                        int top) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(parent);
        l->SetCaption(caption);
        l->SetLeft(left);
        l->SetTop(top);
        return l;
    };
    auto checkBox = [this](const char* name, const std::string& caption, TWinControl* parent,
                           int left, int top, int width) {
        auto* c = new TBitCheckBox(this);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(left, top, width, 20);
        c->SetCaption(caption);
        c->SetChecked(true);
        return c;
    };
    auto panel = [this](const char* name, const std::string& caption, int top, int glyph,
                        const std::string& childHint, int tabOrder) {
        auto* p = new TSelectPanel(this);
        p->SetName(name);
        p->SetParent(tsOption1);
        p->SetBounds(8, top, 460, 92);
        p->SetCaption(caption);
        p->SetUserChoice(true);
        p->SetCanOpenWin(true);
        p->SetGlyphIndex(glyph);
        SetWords(p, &TSelectPanel::SetBeginWords, "起");
        SetWords(p, &TSelectPanel::SetFinalWords, "迄");
        p->SetHintWord("區間選擇");
        p->SetDateSign("/");
        p->SetColumnsAutoSize(true);
        p->SetShowColumnHeader(false);
        p->SetUseDiscard(false);
        p->SetUseVertical(false);
        p->SetHideSelection(false);
        p->SetOtherHeight(64);
        p->SetOtherWidth(353);
        SetLookupHints(p, childHint);
        p->SetTabOrder(tabOrder);
        return p;
    };

    // Page tsOption1: the schedule's start, the classification and the three selections.
    lbl01 = label("lbl01", "輸入排程之起始日期", tsOption1, 8, 10);
    me01 = new TMaskEdit(this);
    me01->SetName("me01");
    me01->SetParent(tsOption1);
    me01->SetBounds(159, 6, 102, 24);
    me01->SetHint("[F2]日期快手");
    me01->SetTabOrder(0);
    me01->OnExit = TNotifyEvent(this, &TfrmKelt58::me01Exit);
    lbl01->SetFocusControl(me01);

    F2Button1 = new TF2Button(this);
    F2Button1->SetName("F2Button1");
    F2Button1->SetParent(tsOption1);
    F2Button1->SetGlyphIndex(9);
    F2Button1->SetHint("日期快手");
    F2Button1->SetF2Control(me01);
    F2Button1->SetAutoAlign(true);
    F2Button1->SetFlat(true);

    lbl02 = label("lbl02", "分類方式", tsOption1, 8, 40);
    cbo02 = new TComboBox(this);
    cbo02->SetName("cbo02");
    cbo02->SetParent(tsOption1);
    cbo02->SetStyle(csDropDownList);
    cbo02->SetBounds(159, 36, 200, 24);
    cbo02->SetTabOrder(1);
    lbl02->SetFocusControl(cbo02);

    sp03 = panel("sp03", "類別", 66, 8, "[F2]品號類別查詢", 2);
    sp03->SetStyle(sp_Discrete);
    sp03->SetSortListBox(true);
    sp03->SetValueType(vt_String);

    chk05 = checkBox("chk05", "依客戶列印", tsOption1, 8, 162, 160);
    chk05->SetTabOrder(3);
    chk05->OnClick = TNotifyEvent(this, &TfrmKelt58::chk05Click);

    sp06 = panel("sp06", "選擇客戶", 186, 60, "[F2]客戶資料查詢", 4);
    sp06->SetStyle(sp_UserChoice);
    sp04 = panel("sp04", "選擇品號", 282, 68, "[F2]品號資料查詢", 5);
    sp04->SetStyle(sp_UserChoice);

    // Page TabSheet1: the e-mail delivery, between the basic and the system page.
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetPageControl(pgOption);
    TabSheet1->SetCaption("進階選項");
    TabSheet1->SetPageIndex(tsOption1->PageIndex() + 1);

    edTemp = new TEdit(this);
    edTemp->SetName("edTemp");
    edTemp->SetParent(TabSheet1);
    edTemp->SetBounds(0, 0, 0, 24);
    edTemp->SetText("edTemp");
    edTemp->SetTabOrder(0);

    chk09 = checkBox("chk09", "Email", TabSheet1, 16, 16, 120);
    chk09->SetTabOrder(1);
    chk09->OnClick = TNotifyEvent(this, &TfrmKelt58::chk09Click);

    lbl10 = label("lbl10", "選擇Email傳送方式", TabSheet1, 16, 52);
    cbo10 = new TComboBox(this);
    cbo10->SetName("cbo10");
    cbo10->SetParent(TabSheet1);
    cbo10->SetStyle(csDropDownList);
    cbo10->SetBounds(170, 48, 240, 24);
    cbo10->Items()->Add("1.Email To 廠商/客戶");
    cbo10->Items()->Add("2.Email To 自訂對象");
    cbo10->SetTabOrder(2);
    cbo10->OnChange = TNotifyEvent(this, &TfrmKelt58::cbo10Change);
    lbl10->SetFocusControl(cbo10);

    lbl11 = label("lbl11", "Email Address", TabSheet1, 16, 88);
    lbl11->SetEnabled(false);
    ed11 = new TEdit(this);
    ed11->SetName("ed11");
    ed11->SetParent(TabSheet1);
    ed11->SetBounds(170, 84, 240, 24);
    ed11->SetHint("[F2]片語資料查詢");
    ed11->SetEnabled(false);
    ed11->SetTabOrder(3);

    btn11 = new TF2Button(this);
    btn11->SetName("btn11");
    btn11->SetParent(TabSheet1);
    btn11->SetGlyphIndex(11);
    btn11->SetHint("片語資料查詢");
    btn11->SetF2Control(ed11);
    btn11->SetFlat(true);
    btn11->SetEnabled(false);

    chk07 = checkBox("chk07", "列印採購資料", TabSheet1, 16, 124, 160);
    chk07->SetVisible(false);
}

TfrmKelt58::~TfrmKelt58() = default;

// --- the program -----------------------------------------------------------------------------

void TfrmKelt58::DefineProgram() {
    TfrmBaseRpt::DefineProgram();
    ServiceFlags = sf_Counter | sf_F2Window | sf_Phrase;
    SetRequiredFields("me01");
    TBaseGeneState::SetDateFields("me01");
    TBaseGeneState::SetConditionCount(9);
}

bool TfrmKelt58::InitDialog(const Variant& Param) {
    // A dialog initialised before keeps what the user entered: the inherited call refuses
    // the second initialisation, and the defaults below are not put back either.
    const bool initialisedBefore = !CompanyCode.empty();
    bool result = TfrmBaseRpt::InitDialog(Param);
    if (initialisedBefore)
        return result;
    try {
        TBaseGeneState::CheckDateField(me01, true);
        me01->SetText(
            FormatDateByLayout(static_cast<TDateType>(DateLayout), DateSeparator, Today()));

        cbo02->Items()->Clear();
        for (const char* key : {"Sys007", "Sys008", "Sys009", "Sys010"}) {
            std::string value;
            TBaseGeneState::GetSetting(key, value);
            if (!value.empty())
                cbo02->Items()->Add(value);
        }
        cbo02->SetItemIndex(cbo02->Items()->Count() > 0 ? 0 : -1);

        chk09->SetChecked(false);
        chk05Click(chk05);

        for (TSelectPanel* p : {sp04, sp06}) {
            const int length = p == sp04 ? 40 : 10;
            p->edBegin->SetMaxLength(length);
            p->edFinal->SetMaxLength(length);
        }

        AddPageEnd(sp04);
        cbo10->SetItemIndex(0);
        AddPageEnd(cbo10);
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        result = false;
    }
    return result;
}

std::int32_t TfrmKelt58::ClassificationNumber() const {
    return cbo02->ItemIndex() + 1;
}

bool TfrmKelt58::EmailOptionOn() const {
    return HostOptionEnabled(HostOptions, "FEP");
}

// --- look-ups --------------------------------------------------------------------------------

void TfrmKelt58::DoF2Lookup(Word Key, TControl* Control) {
    TfrmBaseRpt::DoF2Lookup(Key, Control);
    if (Control == nullptr)
        return;
    if (Control == me01) {
        std::string date;
        PickDate(me01->Text(), date);
        me01->SetText(date);
    } else if (Control->Owner() == sp03) {
        LookupForControl(Control, "INVMA", "",
                         Variant::ArrayOf({std::to_string(ClassificationNumber())}), "02");
    } else if (Control->Owner() == sp04) {
        LookupForControl(Control, "INVMB", Control->Text(), Variant::ArrayOf({""}), "01");
    } else if (Control->Owner() == sp06) {
        LookupForControl(Control, "COPMA", Control->Text(), Variant::ArrayOf({""}), "01");
    } else if (Control == ed11) {
        OpenPhraseLookup(ed11);
    }
}

// --- event handlers --------------------------------------------------------------------------

void TfrmKelt58::me01Exit(TObject*) {
    const std::string text = me01->Text();
    if (text == BlankDateText(*this))
        return;
    // Compared as stored dates ("yyyymmdd"), so that layouts with the year last compare by
    // date, not by the day or month in front.
    const std::string today =
        FormatDateByLayout(static_cast<TDateType>(DateLayout), DateSeparator, Today());
    const std::string entered = DateTextToStorage(*this, text);
    const std::string todayStored = DateTextToStorage(*this, today);
    if (entered.size() == 8 && todayStored.size() == 8 && entered < todayStored) {
        ShowMessageById("E", StartDateBeforeToday);
        if (me01->CanFocus())
            me01->SetFocus();
    }
}

void TfrmKelt58::RestartPageEnds() {
    PageEndControls.clear();
    AddPageEnd(sp04);
}

void TfrmKelt58::AddPageEnd(TWinControl* Control) {
    PageEndControls.emplace_back(Control);
}

void TfrmKelt58::EnableOwnAddress(bool Value) {
    lbl11->SetEnabled(Value);
    ed11->SetEnabled(Value);
    btn11->SetEnabled(Value);
}

void TfrmKelt58::chk05Click(TObject*) {
    RestartPageEnds();
    const bool byCustomer = chk05->Checked();
    sp06->SetEnabled(byCustomer);
    if (!byCustomer) {
        sp06->edBegin->SetText("");
        sp06->edFinal->SetText("");
        sp06->Items()->Clear();
    }
    if (EmailOptionOn()) {
        chk09->SetChecked(false);
        // Without e-mail the sending method goes back to the supplier or customer, and the own
        // address is no longer required: it is disabled and could not be filled in.
        cbo10->SetItemIndex(0);
        SetRequiredFields("me01");
        chk09->SetEnabled(byCustomer);
        lbl10->SetEnabled(chk09->Checked());
        cbo10->SetEnabled(chk09->Checked());
        EnableOwnAddress(chk09->Checked() && cbo10->ItemIndex() == 1);
        chk09->SetTabStop(byCustomer);
        cbo10->SetTabStop(byCustomer);
        ed11->SetTabStop(byCustomer);
    }
    if (ed11->Enabled())
        AddPageEnd(ed11);
    else if (cbo10->Enabled())
        AddPageEnd(cbo10);
    else if (chk09->Enabled())
        AddPageEnd(chk09);
    else
        AddPageEnd(edTemp);
}

void TfrmKelt58::chk09Click(TObject*) {
    RestartPageEnds();
    const bool email = chk09->Checked();
    lbl10->SetEnabled(email);
    cbo10->SetEnabled(email);
    if (!email)
        cbo10->SetItemIndex(0);
    if (cbo10->ItemIndex() == 1) {
        EnableOwnAddress(email);
        SetRequiredFields("me01,ed11");
        AddPageEnd(ed11->Enabled() ? static_cast<TWinControl*>(ed11) : chk09);
    } else {
        EnableOwnAddress(false);
        SetRequiredFields("me01");
        AddPageEnd(cbo10->Enabled() ? static_cast<TWinControl*>(cbo10) : chk09);
    }
}

void TfrmKelt58::cbo10Change(TObject*) {
    RestartPageEnds();
    if (cbo10->ItemIndex() == 1) {
        EnableOwnAddress(true);
        SetRequiredFields("me01,ed11");
        AddPageEnd(ed11);
    } else {
        lbl11->SetEnabled(false);
        ed11->SetText("");
        ed11->SetEnabled(false);
        btn11->SetEnabled(false);
        SetRequiredFields("me01");
        AddPageEnd(cbo10);
    }
}

// --- the request -----------------------------------------------------------------------------

bool TfrmKelt58::CollectConditionText(Variant& Texts, std::int32_t Count) {
    const bool result = TfrmBaseRpt::CollectConditionText(Texts, Count);
    try {
        const std::pair<std::string, const char*> entries[] = {
            {lbl01->Caption(), "me01"}, {lbl02->Caption(), "cbo02"}, {sp03->Caption(), "sp03"},
            {sp04->Caption(), "sp04"},  {chk05->Caption(), "chk05"}, {sp06->Caption(), "sp06"},
            {"e-mail", "chk09"},        {"e-mail Add1", "ed11"},     {"e-mail Add2", "chk09"},
        };
        int index = 1;
        for (const auto& [caption, name] : entries)
            Texts[index++] = Variant::ArrayOf({caption, name});
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        return false;
    }
    return result;
}

bool TfrmKelt58::CollectConditionData(Variant& Data, std::int32_t Count) {
    const bool result = TfrmBaseRpt::CollectConditionData(Data, Count);
    try {
        Data[1] = DateTextToStorage(*this, me01->Text(), true, "");
        Data[2] = Variant::ArrayOf({Variant(ClassificationNumber()), cbo02->Text()});
        if (!AddSelectPanelData(sp03, Data, 3) || !AddSelectPanelData(sp04, Data, 4))
            return false;
        Data[5] = chk05->Checked() ? "Y" : "N";
        if (!AddSelectPanelData(sp06, Data, 6))
            return false;
        Data[7] = EmailOptionOn() && chk09->Checked() ? "Y" : "N";
        Data[8] = cbo10->ItemIndex() == 1 ? ed11->Text() : std::string();
        Data[9] = Variant::ArrayOf({"TC004", "COPMA", "MA009"});
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        return false;
    }
    return result;
}

} // namespace nuv
