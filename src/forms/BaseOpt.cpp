#include "forms/BaseOpt.h"

#include "forms/ScheduleRules.h"
#include "platform/AsciiText.h"
#include "platform/DateTime.h"
#include "runtime/DLLFunc.h"
#include "runtime/FieldChecks.h"
#include "runtime/NuMsg.h"
#include "support/HostObjects.h"
#include "support/LibStrs.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace nuv {

namespace {

// The code page the request's byte texts are written in before they are sent.
constexpr int RequestCodePage = 950;

// A text put into a message reference as one argument. The reference cuts its arguments at
// ";", so a server text such as "runs every day; first run at ..." would lose everything after
// its first semicolon (and more than ten would make the reference unusable); the full-width
// semicolon keeps the text whole and readable.
std::string MessageArgument(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ';')
            out += "；";
        else
            out += c;
    }
    return out;
}

// One part of a time of day written in a spin edit: one or two digits within 0..limit.
// Anything else (an emptied field, a sign, a number typed beyond the range) is no time.
std::optional<int> TimePart(const std::string& text, int limit) {
    const std::string_view t = TrimBlanks(text);
    if (t.empty() || t.size() > 2)
        return std::nullopt;
    int value = 0;
    for (char c : t) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > limit)
        return std::nullopt;
    return value;
}

// The component name of a required-fields item "name[;flag[;part]]", trimmed.
std::string ItemName(const std::string& item) {
    return std::string(TrimBlanks(GetDelimitedField(item, ";", 1)));
}

// True when the comma-separated list holds an item of that name (without case).
bool ListNames(const std::string& list, const std::string& name) {
    const int n = FieldCount(list, ",");
    for (int i = 1; i <= n; ++i)
        if (SameTextAscii(ItemName(GetDelimitedField(list, ",", i)), name))
            return true;
    return false;
}

} // namespace

// --- construction ----------------------------------------------------------------------------

const TClassInfo& TfrmBaseOpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmBaseOpt", &TfrmBaseGene::StaticClassInfo());
    return info;
}

TfrmBaseOpt::TfrmBaseOpt(TComponent* AOwner) : TfrmBaseGene(AOwner) {
    SetName("frmBaseOpt");

    grpGenTime = new TGroupBox(this);
    grpGenTime->SetName("grpGenTime");
    grpGenTime->SetParent(tsOption2);
    grpGenTime->SetCaption("產生時間");
    grpGenTime->SetBounds(8, 35, 220, 115);

    auto radio = [this](const char* name, const char* caption, const char* hint, int top) {
        auto* r = new TNuRadioButton(this);
        r->SetName(name);
        r->SetParent(grpGenTime);
        r->SetBounds(12, top, 196, 18);
        r->SetCaption(caption);
        r->SetHint(hint);
        r->SetShowHint(true);
        return r;
    };
    rdoRealTime = radio("rdoRealTime", "即時產生資料", "資料需要立即產生", 16);
    rdoQueue = radio("rdoQueue", "置入工作佇列", "排入工作佇列等候執行", 34);
    rdoExceptTime = radio("rdoExceptTime", "依下列時程產生資料", "依設定時間產生報表", 52);
    // Checked as designed, before the handlers are bound: building the form is no click.
    rdoQueue->SetChecked(true);
    rdoRealTime->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoQueueClick);
    rdoQueue->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoQueueClick);
    rdoExceptTime->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoExceptTimeClick);

    pnlTime = new TPanel(this);
    pnlTime->SetName("pnlTime");
    pnlTime->SetParent(grpGenTime);
    pnlTime->SetCaption("");
    pnlTime->SetBevelOuter(bvNone);
    pnlTime->SetBounds(28, 70, 186, 42);
    pnlTime->SetEnabled(false);

    edDate = new TMaskEdit(this);
    edDate->SetName("edDate");
    edDate->SetParent(pnlTime);
    edDate->SetBounds(0, 0, 96, 20);
    edDate->SetHint("[F2]日期快手");
    edDate->SetShowHint(true);
    edDate->OnEnter = TNotifyEvent(this, &TfrmBaseOpt::edDateEnter);
    edDate->OnExit = TNotifyEvent(this, &TfrmBaseOpt::edDateExit);

    btnDate = new TF2Button(this);
    btnDate->SetName("btnDate");
    btnDate->SetParent(pnlTime);
    btnDate->SetAutoAlign(false);
    btnDate->SetF2Control(edDate);
    btnDate->SetGlyphIndex(9);
    btnDate->SetHint("日期快手");
    btnDate->SetBounds(98, 0, 20, 20);
    btnDate->SetFlat(true);

    auto spin = [this](const char* name, int maxValue, const char* hint, int left) {
        auto* s = new TSpinEdit(this);
        s->SetName(name);
        s->SetParent(pnlTime);
        s->SetBounds(left, 22, 40, 20);
        s->SetMinValue(0);
        s->SetMaxValue(maxValue);
        s->SetMaxLength(2);
        s->SetValue(0);
        s->SetHint(hint);
        s->SetShowHint(true);
        return s;
    };
    auto label = [this](const char* name, const char* caption, int left) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(pnlTime);
        l->SetCaption(caption);
        l->SetBounds(left, 25, 14, 14);
        return l;
    };
    edHour = spin("edHour", 23, "時間: 時", 0);
    edMin = spin("edMin", 59, "時間: 分", 62);
    edSec = spin("edSec", 59, "時間: 秒", 124);
    lalHour = label("lalHour", "時", 42);
    lblMin = label("lblMin", "分", 104);
    lblSec = label("lblSec", "秒", 166);

    grpAlarm = new TGroupBox(this);
    grpAlarm->SetName("grpAlarm");
    grpAlarm->SetParent(tsOption2);
    grpAlarm->SetCaption("通知方式");
    grpAlarm->SetBounds(8, 154, 220, 52);

    auto check = [this](const char* name, const char* caption, TWinControl* parent) {
        auto* c = new TBitCheckBox(this);
        c->SetName(name);
        c->SetParent(parent);
        c->SetCaption(caption);
        return c;
    };
    chkAlarm = check("chkAlarm", "顯示訊息", grpAlarm);
    chkAlarm->SetBounds(12, 22, 96, 18);
    chkNuPager = check("chkNuPager", "B.B.CALL", grpAlarm);
    chkNuPager->SetBounds(112, 22, 96, 18);
    chkKeepFrame = check("chkKeepFrame", "執行畫面保留", tsOption2);
    chkKeepFrame->SetBounds(15, 214, 120, 18);

    btnPeriod = new TSpeedButton(this);
    btnPeriod->SetName("btnPeriod");
    btnPeriod->SetParent(Panel1);
    btnPeriod->SetCaption("週期性");
    btnPeriod->SetHint("週期性工作設定");
    btnPeriod->SetShowHint(true);
    btnPeriod->SetGroupIndex(2);
    btnPeriod->SetAllowAllUp(true);
    btnPeriod->OnClick = TNotifyEvent(this, &TfrmBaseOpt::btnPeriodClick);

    tsPeriodOption = new TTabSheet(this);
    tsPeriodOption->SetName("tsPeriodOption");
    tsPeriodOption->SetPageControl(pgOption);
    tsPeriodOption->SetCaption("週期性設定");
    tsPeriodOption->SetTabVisible(false);
    CreatePeriodPage();

    // This level's OK and Cancel replace the base's.
    btnOk->OnClick = TNotifyEvent(this, &TfrmBaseOpt::btnOkClick);
    btnCancel->OnClick = TNotifyEvent(this, &TfrmBaseOpt::btnCancelClick);
}

TfrmBaseOpt::~TfrmBaseOpt() = default;

// --- virtual operations ----------------------------------------------------------------------

void TfrmBaseOpt::LoadUserRights() {
    try {
        const Variant answer = ServerGetPower(ServerObject, DataSourceCode, UserCode, ProgramCode);
        if (answer.IsEmpty())
            return; // no server object: nothing to apply
        ApplyUserRights(answer);
    } catch (const Exception& e) {
        // Without the rights the dialog stays usable with the switches it has.
        TBaseGeneState::AddFailureText(e.what());
    }
}

void TfrmBaseOpt::ApplyUserRights(const Variant& Answer) {
    if (!Answer.IsArray() || Answer.ArrayDimCount() != 1 || Answer.ArrayLowBound() > 1 ||
        Answer.ArrayHighBound() < 1 || Answer[1].IsArray()) {
        TBaseGeneState::AddFailureText(
            "The server's rights answer (GetPower) is not an array holding the rights text at "
            "element 1; the user's rights were left as they were");
        return;
    }
    const std::string rights = Answer[1].ToString();
    UserGroup = GetDelimitedField(rights, ",", 1);
    const std::string flags = GetDelimitedField(rights, ",", 4);
    F2Flag1 = flags.size() < 7 || flags[6] != 'N';
    F2Flag2 = flags.size() < 8 || flags[7] != 'N';
    UserRightsApplied();
}

void TfrmBaseOpt::LayoutSystemPage() {
    TfrmBaseGene::LayoutSystemPage();
    if (Width() < 340)
        SetWidth(340);
    if (Height() < 275)
        SetHeight(275);
    grpGenTime->SetBounds(8, 35, 220, 115);
    grpAlarm->SetBounds(8, 154, 220, 52);
    chkKeepFrame->SetBounds(15, 214, chkKeepFrame->Width(), chkKeepFrame->Height());
    // The page must show the keep-window box whole; where the frame around the page takes more
    // room than the form allows for (a taller tab row), the form grows by the difference.
    const int missing = chkKeepFrame->Top() + chkKeepFrame->Height() + 6 - tsOption2->Height();
    if (missing > 0)
        SetHeight(Height() + missing);
    edPrintDate->SetTabOrder(0);
    grpGenTime->SetTabOrder(1);
    grpAlarm->SetTabOrder(2);
    chkKeepFrame->SetTabOrder(3);
    rdoRealTime->SetTabOrder(0);
    rdoQueue->SetTabOrder(1);
    rdoExceptTime->SetTabOrder(2);
    pnlTime->SetTabOrder(3);
    edDate->SetTabOrder(0);
    edHour->SetTabOrder(1);
    edMin->SetTabOrder(2);
    edSec->SetTabOrder(3);
    chkAlarm->SetTabOrder(0);
    chkNuPager->SetTabOrder(1);
}

bool TfrmBaseOpt::PrepareRequest() {
    bool result = TfrmBaseGene::PrepareRequest();
    if (result && btnPeriod->Down())
        result = CompletePeriodicRequest();
    return result;
}

void TfrmBaseOpt::DefineProgram() {
    TfrmBaseGene::DefineProgram();
    TBaseGeneState::SetDateFields("edDate,meStartDate,meEndDate");
    EnvironmentCount = 12;
    ServiceFlags = sf_F2Window;
}

void TfrmBaseOpt::SetRequiredFields(const std::string& Names) {
    std::string kept;
    const int n = FieldCount(RequiredFields, ",");
    for (int i = 1; i <= n; ++i) {
        const std::string item(TrimBlanks(GetDelimitedField(RequiredFields, ",", i)));
        const std::string name = ItemName(item);
        if (name.empty() || ListNames(kept, name) || ListNames(Names, name))
            continue;
        auto* control = dynamic_cast<TWinControl*>(FindComponent(name));
        if (control == nullptr)
            continue;
        // The page that holds the control: the child of the page control (or of the form).
        TWinControl* page = control;
        while (page->Parent() != nullptr && page->Parent() != pgOption && page->Parent() != this)
            page = page->Parent();
        const bool ownPage = page == tsOption2 || page == tsPeriodOption;
        if (SettingOwnRequired && !ownPage)
            kept += "," + item;
        else if (!SettingOwnRequired && ownPage)
            kept += "," + name;
    }
    std::string list(TrimBlanks(Names));
    if (list.empty() && !kept.empty())
        kept.erase(0, 1);
    TfrmBaseGene::SetRequiredFields(list + kept);
}

bool TfrmBaseOpt::InitDialog(const Variant& Param) {
    const bool result = TfrmBaseGene::InitDialog(Param);
    if (!result)
        return false;
    edDate->SetText("");
    if (ProgramAttr == "Y")
        chkKeepFrame->SetState(cbChecked);
    else if (ProgramAttr == "N")
        chkKeepFrame->SetState(cbUnchecked);
    else
        chkKeepFrame->SetState(cbGrayed);
    LoadUserRights();
    if (!IsDllVersion())
        SetVisible(true);
    tsPeriodOption->SetTabVisible(btnPeriod->Down());
    PeriodDefaultsPending = true;
    return result;
}

bool TfrmBaseOpt::FillRequestHeader(Variant& Header, std::int32_t Count) {
    bool result = TfrmBaseGene::FillRequestHeader(Header, Count);
    if (!Header.IsArray() || Header.ArrayHighBound() < 12)
        return false;
    const bool periodic = btnPeriod->Down();
    if (periodic) {
        std::string lower = RequestClass;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        Header[9] = lower;
    }
    Header[11] = Variant::FromDate(Now());
    if (rdoQueue->Checked()) {
        Header[10] = 0;
    } else if (rdoRealTime->Checked()) {
        Header[10] = 1;
    } else {
        Header[10] = 2;
        try {
            TDateTime date = 0;
            if (periodic) {
                std::string hour, minute;
                FirstRunDate = PeriodicFirstRun(hour, minute);
                date = DateFromYYYYMMDD(FirstRunDate);
                edHour->SetText(hour);
                edMin->SetText(minute);
                edSec->SetText("00");
            } else {
                date = ParseDateByLayout(edDate->Text(),
                                         static_cast<TDateType>(TBaseGeneState::GetDateLayout()),
                                         TBaseGeneState::GetDateSeparator());
            }
            const auto hour = TimePart(edHour->Text(), 23);
            const auto minute = TimePart(edMin->Text(), 59);
            const auto second = TimePart(edSec->Text(), 59);
            // A date that cannot be read is no schedule: sending it would ask for a run on the
            // calendar's day 0.
            if (date == 0 || !hour || !minute || !second)
                throw Exception("The scheduled date and time cannot be read");
            Header[11] = Variant::FromDate(date + EncodeTime(*hour, *minute, *second, 0));
        } catch (const Exception&) {
            Header[10] = 0;
            TBaseGeneState::PostMessageRef("E;000005;" +
                                           MessageArgument(GetMessageText(*this, "I", "000009") +
                                                           GetMessageText(*this, "I", "000010")));
            result = false;
        }
    }
    const bool alarm = chkAlarm->Checked();
    const bool pager = chkNuPager->Checked();
    Header[12] = alarm ? (pager ? 4 : 2) : (pager ? 3 : 1);
    return result;
}

void TfrmBaseOpt::AfterConnect(TBaseGeneConnection& Connection) {
    TfrmBaseGene::AfterConnect(Connection);
    Connection.ServerName = "ReportCounterS.dmReportCounter";
}

void TfrmBaseOpt::DoF2Lookup(Word Key, TControl* Control) {
    TfrmBaseGene::DoF2Lookup(Key, Control);
    auto* edit = dynamic_cast<TCustomEdit*>(Control);
    if (edit == nullptr)
        return;
    if (Control == edDate || Control == meStartDate || Control == meEndDate) {
        std::string result;
        PickDate(edit->Text(), result);
        edit->SetText(result);
    }
}

// --- the periodic job's first run ------------------------------------------------------------

std::string TfrmBaseOpt::PeriodicFirstRun(std::string& Hour, std::string& Minute) {
    BuildCycleSpec();
    Hour = sePeriodHour->Text();
    Minute = sePeriodMin->Text();
    const std::string start = DateTextToStorage(*this, meStartDate->Text());
    const bool hourMinute =
        CycleSpec.IsArray() && CycleSpec.ArrayHighBound() >= 0 &&
        CycleSpec[CycleSpec.ArrayLowBound()].IsNumeric() &&
        CycleSpec[CycleSpec.ArrayLowBound()].ToInt() == static_cast<int>(CycleMode::HourMinute);
    return hourMinute ? start : ComputeFirstRun(start, CycleSpec);
}

void TfrmBaseOpt::InstallRequiredFields(std::initializer_list<std::string> Lists) {
    std::string names;
    for (const std::string& list : Lists) {
        if (list.empty())
            continue;
        if (!names.empty())
            names += ",";
        names += list;
    }
    SettingOwnRequired = true;
    try {
        SetRequiredFields(names);
    } catch (...) {
        SettingOwnRequired = false;
        throw;
    }
    SettingOwnRequired = false;
}

// --- event handlers --------------------------------------------------------------------------

void TfrmBaseOpt::FormCreate(TObject* Sender) {
    TfrmBaseGene::FormCreate(Sender);
    btnOk->SetBounds(10, 5, 72, 26);
    btnCancel->SetBounds(10, 45, 72, 26);
    btnPeriod->SetBounds(10, 85, 72, 26);
    // The custom-condition buttons go below the periodic button instead of under it.
    USERBTN01->SetBounds(10, 125, 72, 26);
    USERBTN02->SetBounds(10, 125, 72, 26);
    edDate->SetText("");
}

void TfrmBaseOpt::rdoQueueClick(TObject*) {
    pnlTime->SetEnabled(false);
    TimeRequiredFields.clear();
    InstallRequiredFields({CycleRequiredFields, RangeRequiredFields, TimeRequiredFields});
}

void TfrmBaseOpt::rdoExceptTimeClick(TObject*) {
    if (!rdoExceptTime->Checked())
        return;
    pnlTime->SetEnabled(true);
    TimeRequiredFields = "edDate";
    if (btnPeriod->Down())
        InstallRequiredFields({CycleRequiredFields, RangeRequiredFields, TimeRequiredFields});
    else
        InstallRequiredFields({TimeRequiredFields});
}

void TfrmBaseOpt::edDateEnter(TObject*) {}

void TfrmBaseOpt::edDateExit(TObject*) {}

void TfrmBaseOpt::btnOkClick(TObject* Sender) {
    TfrmBaseGene::btnOkClick(Sender);
    if (!PrepareRequest())
        return;
    std::string reply;
    try {
        Request = ToWideVariant(Request, RequestCodePage);
        reply = ServerRequest(ServerObject, Request);
    } catch (const std::exception&) {
        // A call that fails, a dead connection or an answer that is no text: not accepted.
        reply = "ERROR";
    }
    TComponentRef<TfrmBaseOpt> self(this);
    if (SameTextAscii(reply, "ERROR")) {
        std::string why;
        try {
            why = ServerErrorDescript(ServerObject);
        } catch (const std::exception& e) {
            why = e.what();
        }
        TBaseGeneState::PostMessageRef("E;000013;" + MessageArgument(why));
        return;
    }
    // Accepted: recorded before the message, which a person may leave open for a while.
    RequestAccepted = 1;
    ServerReply = reply;
    TBaseGeneState::PostMessageRef((NormalMessages ? "I;000004;" : "I;-000004;") +
                                   MessageArgument(reply));
    if (!self)
        return;
    if (!(chkKeepFrame->Checked() && Visible()))
        Close();
}

void TfrmBaseOpt::btnCancelClick(TObject* Sender) {
    TfrmBaseGene::btnCancelClick(Sender);
    RequestAccepted = 2;
}

} // namespace nuv
