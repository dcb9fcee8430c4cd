#include "forms/BaseGene.h"

#include "controls/SelectPnl.h"
#include "platform/AsciiText.h"
#include "platform/Automation.h"
#include "platform/SystemServices.h"
#include "runtime/DLLFunc.h"
#include "runtime/DialogText.h"
#include "runtime/FieldWiring.h"
#include "runtime/NuMsg.h"
#include "runtime/RequestBlock.h"
#include "support/HostObjects.h"
#include "support/LibStrs.h"
#include "ui/Dialogs.h"
#include "ui/Grids.h"

#include <algorithm>

namespace nuv {

namespace {

// The identity a stand-alone dialog starts with.
Variant StandAloneIdentity() {
    return Variant::ArrayOf({"NU", "SDTest", "SDTest", Variant(0), ""});
}

// The high bound of a one-dimensional array; -1 for anything else.
int HighBoundOf(const Variant& Value) {
    if (!Value.IsArray() || Value.ArrayDimCount() != 1)
        return -1;
    return Value.ArrayHighBound();
}

} // namespace

// --- construction ----------------------------------------------------------------------------

const TClassInfo& TfrmBaseGene::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmBaseGene", &TNuForm::StaticClassInfo());
    return info;
}

TfrmBaseGene::TfrmBaseGene(TComponent* AOwner) : TBaseGeneDialogOf<TNuForm>(AOwner) {
    SetName("frmBaseGene");
    SetBounds(Left(), Top(), 496, 276);
    SetBorderIcons({biMaximize});
    Font()->SetCharset(CHINESEBIG5_CHARSET);
    Font()->SetHeight(-16);
    Font()->SetName("新細明體");
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetScaled(false);
    OnClose = TCloseEvent(this, &TfrmBaseGene::FormClose);
    OnCreate = TNotifyEvent(this, &TfrmBaseGene::FormCreate);
    OnDestroy = TNotifyEvent(this, &TfrmBaseGene::FormDestroy);
    OnKeyDown = TKeyEvent(this, &TfrmBaseGene::FormKeyDown);
    OnKeyPress = TKeyPressEvent(this, &TfrmBaseGene::FormKeyPress);
    OnResize = TNotifyEvent(this, &TfrmBaseGene::FormResize);
    OnShow = TNotifyEvent(this, &TfrmBaseGene::FormShow);

    // The right-hand parts first, so that the option panel fills what is left.
    USERPAN03 = new TPanel(this);
    Panel1 = new TPanel(this);
    baseGeenPA01 = new TPanel(this);
    baseGeenPA01->SetName("baseGeenPA01");
    baseGeenPA01->SetParent(this);
    baseGeenPA01->SetCaption("");
    baseGeenPA01->SetAlign(alClient);

    pgOption = new TExtPageControl(this);
    pgOption->SetName("pgOption");
    pgOption->SetParent(baseGeenPA01);
    pgOption->SetAlign(alClient);
    pgOption->SetHint("請輸入選項條件");
    pgOption->OnChange = TNotifyEvent(this, &TfrmBaseGene::pgOptionChange);
    pgOption->OnChanging = TTabChangingEvent(this, &TfrmBaseGene::pgOptionChanging);

    tsOption1 = new TTabSheet(this);
    tsOption1->SetName("tsOption1");
    tsOption1->SetPageControl(pgOption);
    tsOption1->SetCaption("基本選項");

    tsOption2 = new TTabSheet(this);
    tsOption2->SetName("tsOption2");
    tsOption2->SetPageControl(pgOption);
    tsOption2->SetCaption("系統選項");
    tsOption2->Font()->SetHeight(-12);
    tsOption2->OnShow = TNotifyEvent(this, &TfrmBaseGene::tsOption2Show);

    lblToday = new TLabel(this);
    lblToday->SetName("lblToday");
    lblToday->SetParent(tsOption2);
    lblToday->SetCaption("製表日期");

    edPrintDate = new TMaskEdit(this);
    edPrintDate->SetName("edPrintDate");
    edPrintDate->SetParent(tsOption2);
    edPrintDate->SetHint("[F2]日期快手");
    edPrintDate->SetText("");

    btnPrintDate = new TF2Button(this);
    btnPrintDate->SetName("btnPrintDate");
    btnPrintDate->SetParent(tsOption2);
    btnPrintDate->SetF2Control(edPrintDate);
    btnPrintDate->SetGlyphIndex(9);
    btnPrintDate->SetHint("日期快手");
    pgOption->SetActivePage(tsOption1);

    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alRight);
    Panel1->SetWidth(88);

    auto button = [this](const char* name, const std::string& caption, int top,
                         void (TfrmBaseGene::*click)(TObject*)) {
        auto* b = new TBitBtn(this);
        b->SetName(name);
        b->SetParent(Panel1);
        b->SetBounds(6, top, 76, 30);
        b->SetCaption(caption);
        b->SetHint(caption);
        b->OnClick = TNotifyEvent(this, click);
        return b;
    };
    btnOk = button("btnOk", "確定", 8, &TfrmBaseGene::btnOkClick);
    btnCancel = button("btnCancel", "取消", 44, &TfrmBaseGene::btnCancelClick);
    btnCancel->SetKind(bkCancel);
    btnCancel->SetCaption("取消");
    USERBTN01 = button("USERBTN01", "自訂", 80, &TfrmBaseGene::USERBTN01Click);
    USERBTN01->SetHint("顯示使用者自訂條件式畫面");
    USERBTN02 = button("USERBTN02", "隱藏", 80, &TfrmBaseGene::USERBTN02Click);
    USERBTN02->SetHint("隱藏使用者自訂條件式畫面");
    USERBTN02->SetVisible(false);

    USERPAN03->SetName("USERPAN03");
    USERPAN03->SetParent(this);
    USERPAN03->SetCaption("");
    USERPAN03->SetAlign(alRight);
    USERPAN03->SetWidth(188);
    USERPAN03->SetVisible(false);

    USERPAN01 = new TPanel(this);
    USERPAN01->SetName("USERPAN01");
    USERPAN01->SetParent(USERPAN03);
    USERPAN01->SetAlign(alTop);
    USERPAN01->SetHeight(32);
    USERPAN01->SetCaption("使用者自訂條件式");
    USERPAN01->Font()->SetHeight(-13);

    USERPAN02 = new TPanel(this);
    USERPAN02->SetName("USERPAN02");
    USERPAN02->SetParent(USERPAN03);
    // Placed below the caption before it is aligned: top-aligned controls keep the order of
    // their tops, and a fresh panel's top of 0 would put the button row above the caption.
    USERPAN02->SetBounds(0, USERPAN01->Top() + USERPAN01->Height(), USERPAN03->Width(), 30);
    USERPAN02->SetAlign(alTop);
    USERPAN02->SetCaption("");

    auto userButton = [this](const char* name, int glyph, const char* hint, int left) {
        auto* b = new TF2Button(this);
        b->SetName(name);
        b->SetParent(USERPAN02);
        b->SetAutoAlign(false);
        b->SetBounds(left, 3, 24, 24);
        b->SetGlyphIndex(glyph);
        b->SetHint(hint);
        return b;
    };
    USERF2004 = userButton("USERF2004", 47, "清除畫面選項內容", 6);
    USERF201 = userButton("USERF201", 85, "儲存", 34);
    USERF202 = userButton("USERF202", 4, "刪除自訂", 62);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    N1 = new TMenuItem(this);
    N1->SetName("N1");
    N1->SetCaption("顯示條件內容");
    PopupMenu1->Items()->Add(N1);
    N2 = new TMenuItem(this);
    N2->SetName("N2");
    N2->SetCaption("刪 除");
    N2->SetShortCut(ShortCut(VK_DELETE, {ssCtrl}));
    PopupMenu1->Items()->Add(N2);

    USERLV01 = new TListView(this);
    USERLV01->SetName("USERLV01");
    USERLV01->SetParent(USERPAN03);
    USERLV01->SetAlign(alClient);
    USERLV01->SetViewStyle(vsReport);
    USERLV01->SetReadOnly(true);
    USERLV01->SetRowSelect(true);
    USERLV01->SetPopupMenu(PopupMenu1);
    USERLV01->SetHint(
        "查看此自訂條件選項值\r\n1.請用滑鼠點擊二下\r\n2.或按右鍵選擇\"顯示條件內容\"");
    const std::pair<const char*, int> columns[] = {
        {"代號", 45}, {"名稱", 55}, {"共用", 38}, {"擁有者", 60}};
    for (const auto& [caption, width] : columns) {
        TListColumn* c = USERLV01->Columns()->Add();
        c->SetCaption(caption);
        c->SetWidth(width);
    }

    ActionList1 = new TActionList(this);
    ActionList1->SetName("ActionList1");

    WireUserConditionPanel();

    // Look-up buttons of a dialog are flat.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f2 = dynamic_cast<TF2Button*>(Components(i)))
            f2->SetFlat(true);
}

TfrmBaseGene::~TfrmBaseGene() = default;

// --- virtual operations ----------------------------------------------------------------------

void TfrmBaseGene::LayoutSystemPage() {
    tsOption2->SetParentFont(true);
    tsOption2->Font()->SetSize(9);
    if (Height() < 110)
        SetHeight(110);
    if (Width() < 315)
        SetWidth(315);
    lblToday->SetLeft(8);
    lblToday->SetTop(12);
    lblToday->SetAutoSize(true);
    edPrintDate->SetBounds(60, 8, 120, edPrintDate->Height());
    btnPrintDate->SetAutoAlign(false);
    btnPrintDate->SetAutoAlign(true);
}

bool TfrmBaseGene::PrepareRequest() {
    return BuildRequestBlock(*this);
}

void TfrmBaseGene::DefineProgram() {
    TBaseGeneState::SetDateFields("edPrintDate");
    RequestClass = "R";
    EnvironmentCount = 9;
    ServiceFlags = 0;
    TBaseGeneState::SetProgramCode(ProgramIdFromModule());
    TBaseGeneState::SetConditionCount(0);
}

void TfrmBaseGene::OpenPhraseLookup(TControl* Control) {
    ApplyPhrase(*this, Control);
}

void TfrmBaseGene::SetRequiredFields(const std::string& Names) {
    nuv::SetRequiredFields(*this, Names);
}

void TfrmBaseGene::PrepareDialog() {
    // Fields are wired through the date-field list that DefineProgram and the descendants set;
    // the wiring of the required fields follows SetRequiredFields.
    ConnectServices();
    try {
        VersionType = ManagerVersionType(Manager);
    } catch (const Exception&) {
        VersionType = 0;
    }
    DefineProgram();
    AfterServices();
}

bool TfrmBaseGene::InitDialog(const Variant& Param) {
    if (!CompanyCode.empty())
        return false;
    bool result = true;
    try {
        ReleaseListsAndServices();
        BaseEntryCount = 1;
        TBaseGeneState::AddFailureText("");
        edPrintDate->SetText("");
        HostValues = Variant::MakeNull();
        ApplyByName = true;
        AutoRun = false;
        CustomConditionsAllowed = true;

        const int high = HighBoundOf(Param);
        HostWindow = high >= 3 ? static_cast<HWND>(Param[3].ToInt()) : 0;
        if (high >= 4)
            HostOptions = Param[4];
        else
            ShowMessageById("E", "000038");
        SetVisible(false);
        if (high < 2) {
            // Without user, company and data source there is no identity to run under.
            throw Exception("The initialisation array holds " + std::to_string(high + 1) +
                            " elements; user, company and data source are needed");
        }
        TBaseGeneState::SetIdentity(Param);
        PrepareDialog();

        // The form's module prefix (characters 4 to 6 of its name) must be the program's.
        const std::string formPrefix =
            UpperAscii(Name().substr(std::min<size_t>(3, Name().size()), 3));
        const std::string programPrefix = UpperAscii(ProgramCode.substr(0, 3));
        if (formPrefix != programPrefix) {
            ShowMessageById("E", "000036");
            PostMessage(Handle(), WM_CLOSE, 0, 0);
        } else {
            MainMidas.Close();
            bool connected = ConnectToServer(*this, MainMidas);
            if (connected) {
                AfterConnect(MainMidas);
                if (!MainMidas.ServerName.empty())
                    connected = ConnectServer();
            }
            if (!connected) {
                ShowMessageById("E", "000006");
                PostMessage(Handle(), WM_CLOSE, 0, 0);
                result = false;
            }
        }
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        result = false;
    }
    UserConditionLines.Clear();
    return result;
}

bool TfrmBaseGene::CollectConditionData(Variant& Data, std::int32_t Count) {
    const bool ok = TBaseGeneState::CollectConditionData(Data, Count);
    TBaseGeneState::PostMessageRef("");
    return ok;
}

bool TfrmBaseGene::ApplyCustomValues(const Variant& Values) {
    return TBaseGeneState::ApplyCustomValues(Values);
}

bool TfrmBaseGene::FillRequestHeader(Variant& Header, std::int32_t Count) {
    return TBaseGeneState::FillRequestHeader(Header, Count);
}

bool TfrmBaseGene::CollectConditionText(Variant& Texts, std::int32_t Count) {
    const bool ok = TBaseGeneState::CollectConditionText(Texts, Count);
    TBaseGeneState::PostMessageRef("");
    return ok;
}

void TfrmBaseGene::UserRightsApplied() {}

void TfrmBaseGene::OpenF2Window(const std::string& Table, const std::string& Key, Variant& Result,
                                bool MultiSelect, const std::string& InitialText,
                                const Variant& Params) {
    LastF2Call = Table + "-" + Key;
    if (F2Window.IsEmptyOrNull()) {
        Result = Variant();
        return;
    }
    // The look-up runs on the database's texts: the parameters and the typed text go in the
    // storage code page, the answer comes back for display.
    const Variant args = Variant::ArrayOf(
        {Table, Key, ConvertToStorage(*this, Params), Variant(MultiSelect),
         ConvertToStorage(*this, Variant(InitialText)), CompanyCode, DataSourceCode,
         Variant(static_cast<std::int32_t>(Handle())), Variant::MakeNull(), Variant::MakeNull(),
         Variant(F2Flag2), Variant(F2Flag1)});
    Result = StoredForDisplay(*this, F2WindowF2GetData(F2Window, args));
}

void TfrmBaseGene::AfterConnect(TSocketConnection&) {}

// --- dynamic operations ----------------------------------------------------------------------

void TfrmBaseGene::DoF2Lookup(Word, TControl* Control) {
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win != nullptr && win->CanFocus())
        win->SetFocus();
    if (Control == edPrintDate) {
        std::string result;
        PickDate(edPrintDate->Text(), result);
        edPrintDate->SetText(result);
    }
}

void TfrmBaseGene::DoF3Key(Word, TControl* Control) {
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win != nullptr && win->CanFocus())
        win->SetFocus();
}

void TfrmBaseGene::ConnectServices() {
    nuv::ConnectServices(*this);
}

void TfrmBaseGene::AfterServices() {
    nuv::AfterServices(*this);
}

// --- host values and the server --------------------------------------------------------------

void TfrmBaseGene::ApplyHostValues(const Variant& Values) {
    if (!Values.IsArray() || HighBoundOf(Values) < 1)
        return;
    const Variant v = Values[1];
    HostValues = v;
    if (!v.IsArray() || HighBoundOf(v) < 0)
        return;
    const std::int32_t runMode = v[0].IsNumeric() ? v[0].ToInt() : 0;
    NormalMessages = runMode == 0 || runMode == 1;
    AutoRun = false;
    if (HighBoundOf(v) >= 1 && v[1].IsArray() && HighBoundOf(v[1]) >= 1) {
        ApplyByName = v[1][0].ToBoolDef(false);
        const Variant w = v[1][1];
        if (w.IsArray() && HighBoundOf(w) >= 0) {
            const bool applied = ApplyByName ? ApplyValuesByName(*this, w) : ApplyCustomValues(w);
            AutoRun = applied && runMode != 0;
        }
    }
    ConvertCaptions();
    if (AutoRun) {
        btnOk->Click();
        return; // the click may have closed the dialog
    }
    SetVisible(true);
}

bool TfrmBaseGene::ConnectServer() {
    try {
        ServerObject = OleVariant();
        if (MainMidas.Connected())
            MainMidas.Close();
        LocalServer = IsLocalHost(MainMidas.Address);
        if (LocalServer) {
            ServerObject = CreateAutomationObject(MainMidas.ServerName);
        } else {
            MainMidas.Open();
            if (MainMidas.Connected())
                ServerObject = MainMidas.AppServer();
        }
        return true;
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        return false;
    }
}

namespace {

// The elements of an answer joined into one text, with the panel's separator between them.
std::string JoinElements(const Variant& Value, const std::string& Separator) {
    if (!Value.IsArray() || Value.ArrayDimCount() != 1)
        return Value.ToString();
    std::string text;
    for (int i = Value.ArrayLowBound(); i <= Value.ArrayHighBound(); ++i) {
        if (i > Value.ArrayLowBound())
            text += Separator;
        text += Value[i].IsArray() ? JoinElements(Value[i], Separator) : Value[i].ToString();
    }
    return text;
}

// The columns of one chosen row; empty for an element that is not a row.
std::vector<std::string> RowColumns(const Variant& Row) {
    std::vector<std::string> columns;
    if (!Row.IsArray() || Row.ArrayDimCount() != 1)
        return columns;
    for (int i = Row.ArrayLowBound(); i <= Row.ArrayHighBound(); ++i)
        columns.push_back(Row[i].IsArray() ? JoinElements(Row[i], " ") : Row[i].ToString());
    return columns;
}

} // namespace

void TfrmBaseGene::LookupForControl(TControl* Control, const std::string& Table,
                                    const std::string& InitialText, const Variant& Params,
                                    const std::string& Key) {
    auto* panel = Control != nullptr ? dynamic_cast<TSelectPanel*>(Control->Owner()) : nullptr;
    if (panel == nullptr) {
        Application->MessageBox("同學, 你嗎幫幫忙, 這個 Procedure 是專門給TSelectPanel元件用的!",
                                Caption());
        return;
    }
    Variant result;
    if (Control == panel->ListBox) {
        OpenF2Window(Table, Key, result, true, InitialText, Params);
        if (!result.IsArray() || result.ArrayDimCount() != 1)
            return;
        for (int i = result.ArrayLowBound(); i <= result.ArrayHighBound(); ++i) {
            const Variant& row = result[i];
            if (panel->UseDiscard()) {
                panel->ListBox->AddItem({JoinElements(row, panel->Discard())});
            } else if (std::vector<std::string> columns = RowColumns(row); !columns.empty()) {
                panel->ListBox->AddItem(columns);
            }
        }
    } else if (Control == panel->edBegin || Control == panel->edFinal) {
        OpenF2Window(Table, Key, result, false, InitialText, Params);
        if (result.IsEmptyOrNull())
            return;
        std::string text;
        if (panel->UseDiscard())
            text = JoinElements(result, panel->Discard());
        else if (!result.IsArray())
            text = result.ToString();
        else if (HighBoundOf(result) >= result.ArrayLowBound()) {
            // The first chosen row's code; a flat answer is its own row.
            const Variant first = result[result.ArrayLowBound()];
            text = first.IsArray() && HighBoundOf(first) >= first.ArrayLowBound()
                       ? first[first.ArrayLowBound()].ToString()
                       : first.ToString();
        }
        static_cast<TWinControl*>(Control)->SetText(text);
    }
}

bool TfrmBaseGene::CheckData(const std::string& Table, const std::string& Key, bool Mode,
                             Variant& Result, const Variant& Params) {
    return nuv::CheckData(*this, Table, Key, Mode, Params, Result);
}

void TfrmBaseGene::PickDate(const std::string& Text, std::string& Result) {
    if (InputDay.IsEmptyOrNull()) {
        // Without the quick-date window the date the user typed stays as it is.
        Result = Text;
        return;
    }
    Result = nuv::PickDate(*this, Text, true);
}

std::string TfrmBaseGene::HelpTopic(const std::string& Code, std::string& Module) {
    Module.clear();
    if (Code.size() < 4)
        return "";
    const char kind4 = static_cast<char>(std::toupper(static_cast<unsigned char>(Code[3])));
    std::string topic;
    char kind;
    if (kind4 == 'A' || kind4 == 'M') {
        if (Code.size() < 5)
            return "";
        topic = kind4 == 'A' ? "6" : "8";
        kind = static_cast<char>(std::toupper(static_cast<unsigned char>(Code[4])));
    } else {
        topic = "1";
        kind = kind4;
    }
    if (kind == 'B')
        topic += "3";
    else if (kind == 'R')
        topic += "2";
    else
        return "";
    topic += Code.substr(Code.size() - 2) + "0000";
    Module = Code.substr(0, 3);
    return topic;
}

std::string TfrmBaseGene::DiagnosticsText() const {
    return "Last Common Group Message :\r\nF2Window   : " + LastF2Call + "\r\n" +
           "CheckValue : " + LastCheckCall + "\r\n" + "Message    : " + LastMessageKey;
}

// --- event handlers --------------------------------------------------------------------------

void TfrmBaseGene::FormCreate(TObject* Sender) {
    TNuForm::FormCreate(Sender);
    // No process-wide date separator exists to follow the locale under the Simplified Chinese
    // code page: dates travel as "YYYYMMDD" texts and date values, and are shown with the
    // dialog's own DateSeparator (setting "Sys002").
    Application->SetHintHidePause(500000);
    VersionText = "870401-0.00.00";
    CompanyCode.clear();
    ProgramCode.clear();
    ProgramName.clear();
    ProgramAttr.clear();
    RequiredFields.clear();
    DateFieldList.clear();
    YearMonthFieldList.clear();
    CheckFailed = false;
    SystemPageReady = false;
    TBaseGeneState::FocusControl = this;
    QuietMessages = false;
    NormalMessages = true;
    if (!IsDllVersion()) {
        // Stand-alone: the dialog finds its own host Manager and identity.
        try {
            Manager = CreateAutomationObject("ProwenWorkCenter.Manager");
            ManagerConnect(Manager);
            InitDialog(StandAloneIdentity());
        } catch (const Exception&) {
        }
    }
}

void TfrmBaseGene::FormShow(TObject*) {
    SetCaption(TitleText + "[" + CaptionTag + "]");
    pgOption->SetActivePage(tsOption1);
    pgOptionChange(pgOption);
    ConvertCaptions();
    if (!CustomConditionsAllowed) {
        USERBTN01->SetVisible(false);
        USERBTN02->SetVisible(false);
    }
}

void TfrmBaseGene::FormClose(TObject*, TCloseAction& Action) {
    try {
        MainMidas.Close();
    } catch (...) {
    }
    Action = caFree;
}

// Empties the dialog's lists and lets go of the Manager's services: at the start of an
// initialisation (so a failed one leaves nothing half set) and when the dialog is destroyed.
void TfrmBaseGene::ReleaseListsAndServices() {
    PageEndControls.clear();
    SettingsCache.Clear();
    SavedHandlers.Clear();
    SavedColors.Clear();
    RequiredChecks.Clear();
    VarManager = Variant();
    F2Window = Variant();
    InputDay = Variant();
    Validator = Variant();
    Counter = Variant();
    Phrase = Variant();
}

void TfrmBaseGene::FormDestroy(TObject*) {
    ReleaseListsAndServices();
    if (!LocalServer)
        MainMidas.Close();
    ServerObject = OleVariant();
    Manager = Variant();
}

void TfrmBaseGene::FormResize(TObject*) {
    RepaintHostWindow();
}

void TfrmBaseGene::RepaintHostWindow() {
    if (HostWindow != 0)
        UpdateWindow(HostWindow);
}

void TfrmBaseGene::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
    const bool ctrlAlt =
        Shift.Contains(ssCtrl) && Shift.Contains(ssAlt) && !Shift.Contains(ssShift);
    switch (Key) {
    case VK_ESCAPE:
        Close();
        return;
    case VK_F1: {
        std::string module;
        const std::string topic = HelpTopic(ProgramCode, module);
        if (!topic.empty())
            ManagerCallHelp(Manager, module, topic);
        return;
    }
    case VK_F2:
        DoF2Lookup(VK_F2, ActiveControl());
        return;
    case VK_F3:
        DoF3Key(VK_F3, ActiveControl());
        return;
    case VK_LEFT:
    case VK_RIGHT:
        if (Shift.Contains(ssCtrl)) {
            pgOption->SelectNextPage(Key == VK_RIGHT);
            Key = 0;
        }
        return;
    default:
        break;
    }
    if (ctrlAlt && Key == 'V') {
        ShowFileProperties(GetModuleFileName(), VersionText);
    } else if (ctrlAlt && Key == 'I') {
        Application->MessageBox(DiagnosticsText(), Caption());
    }
}

void TfrmBaseGene::FormKeyPress(TObject*, TKeyChar& Key) {
    if (Key != U'\r')
        return;
    TWinControl* active = ActiveControl();
    auto* memo = dynamic_cast<TCustomMemo*>(active);
    const int line = memo != nullptr ? memo->CaretPos().Y : 0;
    if (auto* grid = dynamic_cast<TDrawGrid*>(active)) {
        Key = 0;
        if (grid->Col() == grid->ColCount() - 1) {
            if (grid->Row() == grid->RowCount() - 1)
                grid->SetRowCount(grid->RowCount() + 1);
            grid->SetRow(grid->Row() + 1);
            grid->SetCol(grid->FixedCols());
        } else {
            grid->SetCol(grid->Col() + 1);
        }
        return;
    }
    // A listed selection panel ends its page at its last part: the end of the range, or the
    // list (the focus is always on one of its parts, never on the panel itself).
    auto* panel = active != nullptr ? dynamic_cast<TSelectPanel*>(active->Owner()) : nullptr;
    const bool panelEnd =
        panel != nullptr &&
        active == (panel->IsRangeActive() ? static_cast<TWinControl*>(panel->edFinal)
                                          : static_cast<TWinControl*>(panel->ListBox));
    const bool pageEnd =
        std::any_of(PageEndControls.begin(), PageEndControls.end(),
                    [active, panel, panelEnd](const TComponentRef<TWinControl>& c) {
                        return c.Get() == active || (panelEnd && c.Get() == panel);
                    });
    auto nextPage = [this] {
        if (pgOption->ActivePageIndex() < pgOption->PageCount() - 1)
            pgOption->SelectNextPage(true);
    };
    if (!pageEnd) {
        if (memo != nullptr && line <= 1)
            return; // a new line in the memo
        Key = 0;
        Perform(WM_NEXTDLGCTL, 0, 0);
        return;
    }
    if (memo != nullptr) {
        if (line <= 1)
            return;
        Key = 0;
        nextPage();
        return;
    }
    Key = 0;
    nextPage();
}

void TfrmBaseGene::btnOkClick(TObject*) {}

void TfrmBaseGene::btnCancelClick(TObject*) {
    Close();
}

void TfrmBaseGene::pgOptionChange(TObject*) {
    TTabSheet* page = pgOption->ActivePage();
    if (page == nullptr)
        return;
    std::vector<TWinControl*> children;
    for (int i = 0; i < page->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(page->Controls(i)))
            children.push_back(w);
    for (int order = 0;; ++order) {
        auto it = std::find_if(children.begin(), children.end(),
                               [order](TWinControl* w) { return w->TabOrder() == order; });
        if (it == children.end())
            return;
        TWinControl* w = *it;
        if (!w->Enabled())
            continue;
        if (auto* panel = dynamic_cast<TSelectPanel*>(w)) {
            TWinControl* part = panel->Style() == sp_Range
                                    ? static_cast<TWinControl*>(panel->edBegin)
                                    : static_cast<TWinControl*>(panel->ListBox);
            if (part != nullptr && part->CanFocus())
                part->SetFocus();
        } else if (w->CanFocus()) {
            w->SetFocus();
        }
        return;
    }
}

void TfrmBaseGene::pgOptionChanging(TObject*, bool& AllowChange) {
    QuietMessages = true;
    if (auto* active = ActiveControl())
        TBaseGeneState::RunExitHandler(active, "OnExit");
    QuietMessages = false;
    AllowChange = !CheckFailed;
}

void TfrmBaseGene::tsOption2Show(TObject*) {
    if (SystemPageReady)
        return;
    LayoutSystemPage();
    SystemPageReady = true;
}

// --- messages --------------------------------------------------------------------------------

void TfrmBaseGene::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_F2LOOKUP:
        DoF2Lookup(VK_F2, reinterpret_cast<TControl*>(Message.LParam));
        return;
    case WM_USER + 11:
        DoF3Key(VK_F3, reinterpret_cast<TControl*>(Message.LParam));
        return;
    case WM_MOVE:
        TBaseGeneDialogOf<TNuForm>::WndProc(Message);
        RepaintHostWindow();
        return;
    case CM_FOCUSCHANGED:
        // Error messages give the focus back to the control that had it last.
        if (TWinControl* active = ActiveControl())
            TBaseGeneState::FocusControl = active;
        TBaseGeneDialogOf<TNuForm>::WndProc(Message);
        return;
    default:
        TBaseGeneDialogOf<TNuForm>::WndProc(Message);
    }
}

} // namespace nuv
