#include "forms/BaseRpt.h"

#include "runtime/DLLFunc.h"
#include "runtime/NuMsg.h"

#include <initializer_list>

namespace nuv {

namespace {

// The items of cboDateType; item i is the date layout (TDateType) i + 1.
const char* const DateTypeItems[] = {"西元年 YYYYMMDD", "西元年 MMDDYYYY", "西元年 DDMMYYYY",
                                     "民國年 YYMMDD", "民國年 YYYMMDD"};

// Template kinds of table CMSMS.
const char* const NoteKind = "1";
const char* const SignInKind = "2";

// The element of a one-dimensional array as text; empty when the array has no such element.
std::string ElementText(const Variant& Row, int Index) {
    if (!Row.IsArray() || Row.ArrayDimCount() != 1 || Index < Row.ArrayLowBound() ||
        Index > Row.ArrayHighBound())
        return "";
    return Row[Index].ToString();
}

bool ElementIsYes(const Variant& Row, int Index) {
    return ElementText(Row, Index) == "Y";
}

} // namespace

const TClassInfo& TfrmBaseRpt::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TfrmBaseRpt", &TfrmBaseOpt::StaticClassInfo());
    return info;
}

TfrmBaseRpt::TfrmBaseRpt(TComponent* AOwner) : TfrmBaseOpt(AOwner) {
    SetName("frmBaseRpt");
    SetHeight(476);

    grpGenTime->SetHint("資料產生時程");
    grpGenTime->SetWidth(225);

    lblDateType = new TLabel(this);
    lblDateType->SetName("lblDateType");
    lblDateType->SetParent(tsOption2);
    lblDateType->SetCaption("日期型態");
    lblDateType->SetBounds(228, 9, lblDateType->Width(), lblDateType->Height());

    cboDateType = new TComboBox(this);
    cboDateType->SetName("cboDateType");
    cboDateType->SetParent(tsOption2);
    cboDateType->SetStyle(csDropDownList);
    for (const char* item : DateTypeItems)
        cboDateType->Items()->Add(item);

    grpGenType = new TGroupBox(this);
    grpGenType->SetName("grpGenType");
    grpGenType->SetParent(tsOption2);
    grpGenType->SetCaption("報表產生選項");
    grpGenType->SetHint("資料產生的類型");

    auto checkBox = [this](TWinControl* parent, const char* name, const char* caption) {
        auto* box = new TBitCheckBox(this);
        box->SetName(name);
        box->SetParent(parent);
        box->SetCaption(caption);
        return box;
    };
    chkView = checkBox(grpGenType, "chkView", "可供報表檢視");
    chkView->SetHint("產生報表檔");
    chkView->SetChecked(true);
    chkHTML = checkBox(grpGenType, "chkHTML", "可供網頁瀏灠");
    chkHTML->SetHint("直接產生HTML");
    chkDirectPrint = checkBox(grpGenType, "chkDirectPrint", "直接列印");
    chkDirectPrint->SetEnabled(false);
    for (TBitCheckBox* box : {chkView, chkHTML, chkDirectPrint})
        box->OnClick = TNotifyEvent(this, &TfrmBaseRpt::chkViewClick);

    // The note and the sign-off blocks are built alike: a code with its look-up button, three
    // lines, and "on every page".
    struct Block {
        TGroupBox*& group;
        const char* groupName;
        const char* caption;
        TLabel*& codeLabel;
        const char* codeLabelName;
        TEdit*& code;
        const char* codeName;
        const char* codeHint;
        TF2Button*& button;
        const char* buttonName;
        const char* buttonHint;
        TLabel* (&labels)[3];
        TEdit* (&lines)[3];
        const char* lineName;
        const char* const (&lineCaptions)[3];
        TBitCheckBox*& everyPage;
        const char* everyPageName;
        const char* everyPageCaption;
    };
    static const char* const noteCaptions[3] = {"註記一", "註記二", "註記三"};
    static const char* const signInCaptions[3] = {"簽核一", "簽核二", "簽核三"};
    TLabel* noteLabels[3] = {};
    TEdit* noteLines[3] = {};
    TLabel* signInLabels[3] = {};
    TEdit* signInLines[3] = {};
    const Block blocks[] = {
        {grpNote, "grpNote", "註記", lblNoteID, "lblNoteID", edNoteID, "edNoteID",
         "[F2]註記資料查詢", btnNote, "btnNote", "註記資料查詢", noteLabels, noteLines, "edNote",
         noteCaptions, chkNoteEPPrint, "chkNoteEPPrint", "每頁列印註記"},
        {grpSignIn, "grpSignIn", "簽核", lblSignInID, "lblSignInID", edSignInID, "edSignInID",
         "[F2]簽核資料查詢", btnSignIn, "btnSignIn", "簽核資料查詢", signInLabels, signInLines,
         "edSignIn", signInCaptions, chkSignInEPPrint, "chkSignInEPPrint", "每頁列印簽核"},
    };
    for (const Block& b : blocks) {
        b.group = new TGroupBox(this);
        b.group->SetName(b.groupName);
        b.group->SetParent(tsOption2);
        b.group->SetCaption(b.caption);

        b.codeLabel = new TLabel(this);
        b.codeLabel->SetName(b.codeLabelName);
        b.codeLabel->SetParent(b.group);
        b.codeLabel->SetCaption("代號");
        b.codeLabel->SetBounds(10, 22, b.codeLabel->Width(), b.codeLabel->Height());

        b.code = new TEdit(this);
        b.code->SetName(b.codeName);
        b.code->SetParent(b.group);
        b.code->SetBounds(58, 17, 80, 20);
        b.code->SetMaxLength(6);
        b.code->SetHint(b.codeHint);
        b.code->SetTabOrder(0);
        b.code->OnEnter = TNotifyEvent(this, &TfrmBaseRpt::edNoteIDEnter);

        b.button = new TF2Button(this);
        b.button->SetName(b.buttonName);
        b.button->SetParent(b.group);
        b.button->SetFlat(true);
        b.button->SetF2Control(b.code);
        b.button->SetGlyphIndex(81);
        b.button->SetHint(b.buttonHint);

        b.everyPage = checkBox(b.group, b.everyPageName, b.everyPageCaption);
        b.everyPage->SetBounds(262, 19, 150, 17);
        b.everyPage->SetTabOrder(4);

        for (int i = 0; i < 3; ++i) {
            const int top = 39 + 19 * i;
            b.labels[i] = new TLabel(this);
            b.labels[i]->SetName(std::string("lbl") + (b.lineName + 2) + std::to_string(i + 1));
            b.labels[i]->SetParent(b.group);
            b.labels[i]->SetCaption(b.lineCaptions[i]);
            b.labels[i]->SetBounds(10, top + 3, b.labels[i]->Width(), b.labels[i]->Height());
            b.lines[i] = new TEdit(this);
            b.lines[i]->SetName(b.lineName + std::to_string(i + 1));
            b.lines[i]->SetParent(b.group);
            b.lines[i]->SetBounds(58, top, 352, 19);
            b.lines[i]->SetTabOrder(1 + i);
        }
    }
    lblNote1 = noteLabels[0], lblNote2 = noteLabels[1], lblNote3 = noteLabels[2];
    edNote1 = noteLines[0], edNote2 = noteLines[1], edNote3 = noteLines[2];
    lblSignIn1 = signInLabels[0], lblSignIn2 = signInLabels[1], lblSignIn3 = signInLabels[2];
    edSignIn1 = signInLines[0], edSignIn2 = signInLines[1], edSignIn3 = signInLines[2];
    edNoteID->OnExit = TNotifyEvent(this, &TfrmBaseRpt::edNoteIDExit);
    edSignInID->OnExit = TNotifyEvent(this, &TfrmBaseRpt::edSignInIDExit);

    chkPrintOption = checkBox(tsOption2, "chkPrintOption", "列印製表條件");
    chkPrintUser = checkBox(tsOption2, "chkPrintUser", "列印製表人 ");
}

TfrmBaseRpt::~TfrmBaseRpt() = default;

// --- operations ------------------------------------------------------------------------------

void TfrmBaseRpt::FormCreate(TObject* Sender) {
    TfrmBaseOpt::FormCreate(Sender);
    HeaderText.clear();
    LastCodeText.clear();
    if (!IsDllVersion())
        SetVisible(true);
}

void TfrmBaseRpt::DefineProgram() {
    TfrmBaseOpt::DefineProgram();
    EnvironmentCount = 14;
    BaseEntryCount = 6;
    TBaseGeneState::SetConditionCount(0);
    RequestClass = "R";
    OutputSet = ro_View;
    cboDateType->SetItemIndex(GetDateLayout() - 1);
    for (TEdit* line : {edNote1, edNote2, edNote3, edSignIn1, edSignIn2, edSignIn3})
        line->SetMaxLength(255);
}

bool TfrmBaseRpt::InitDialog(const Variant& Param) {
    const bool result = TfrmBaseOpt::InitDialog(Param);
    LoadNoteDefaults();
    std::string gregorianOnly;
    TBaseGeneState::GetSetting("SYS026", gregorianOnly);
    if (gregorianOnly == "2" && cboDateType->Items()->Count() == 5) {
        cboDateType->Items()->Delete(4);
        cboDateType->Items()->Delete(3);
    }
    return result;
}

bool TfrmBaseRpt::FillRequestHeader(Variant& Header, std::int32_t Count) {
    const bool result = TfrmBaseOpt::FillRequestHeader(Header, Count);
    // The boxes may have been set without a click (host values, a stored condition set): the
    // header follows what they show, as long as one of them is checked.
    if (const std::uint8_t shown = CheckedOutputs(); shown != 0)
        OutputSet = shown;
    const int low = Header.ArrayLowBound(), high = Header.ArrayHighBound();
    if (low <= 13 && high >= 13)
        Header[13] = Variant(static_cast<std::int32_t>(OutputSet));
    if (low <= 14 && high >= 14)
        Header[14] = HeaderText;
    return result;
}

bool TfrmBaseRpt::CollectConditionText(Variant& Texts, std::int32_t Count) {
    if (!TfrmBaseOpt::CollectConditionText(Texts, Count))
        return false;
    const int n = ConditionCount;
    if (n < 6)
        return true;
    Texts[n - 5] = Variant::ArrayOf({grpSignIn->Caption(), "grpSignIn"});
    Texts[n - 4] = Variant::ArrayOf({grpNote->Caption(), "grpNote"});
    Texts[n - 3] = Variant::ArrayOf({lblDateType->Caption(), "cboDateType"});
    Texts[n - 2] = Variant::ArrayOf({chkPrintOption->Caption(), "chkPrintOption"});
    Texts[n - 1] = Variant::ArrayOf({chkPrintUser->Caption(), "chkPrintUser"});
    return true;
}

bool TfrmBaseRpt::CollectConditionData(Variant& Data, std::int32_t Count) {
    // A code that was put into its field without being checked (host values, a stored condition
    // set) is checked now: an unknown one stops the request, a known one brings its lines.
    if (edNoteID->Text() != noteFilledFrom_ && !CheckNoteCode(edNoteID->Text(), true))
        return false;
    if (edSignInID->Text() != signInFilledFrom_ && !CheckSignInCode(edSignInID->Text(), true))
        return false;
    if (!TfrmBaseOpt::CollectConditionData(Data, Count))
        return false;
    const int n = ConditionCount;
    if (n < 6)
        return true;
    Data[n - 5] = Variant::ArrayOf({chkSignInEPPrint->Caption(),
                                    Variant(chkSignInEPPrint->Checked()), edSignInID->Text(),
                                    edSignIn1->Text(), edSignIn2->Text(), edSignIn3->Text()});
    Data[n - 4] =
        Variant::ArrayOf({chkNoteEPPrint->Caption(), Variant(chkNoteEPPrint->Checked()),
                          edNoteID->Text(), edNote1->Text(), edNote2->Text(), edNote3->Text()});
    const int index = cboDateType->ItemIndex();
    Data[n - 3] = Variant::ArrayOf(
        {Variant(index + 1), index >= 0 ? cboDateType->Items()->Strings(index) : std::string()});
    Data[n - 2] = Variant(chkPrintOption->Checked());
    Data[n - 1] = Variant(chkPrintUser->Checked());
    return true;
}

void TfrmBaseRpt::LayoutSystemPage() {
    TfrmBaseOpt::LayoutSystemPage();
    if (Width() < 538)
        SetWidth(538);
    if (Height() < 468)
        SetHeight(468);
    edPrintDate->SetTabOrder(0);
    lblDateType->SetBounds(228, 9, lblDateType->Width(), lblDateType->Height());
    cboDateType->SetBounds(284, 5, 150, cboDateType->Height());
    cboDateType->SetTabOrder(1);
    grpGenTime->SetBounds(8, 31, 225, grpGenTime->Height());
    grpGenTime->SetTabOrder(2);
    grpGenType->SetBounds(242, 31, 186, 63);
    grpGenType->SetTabOrder(3);
    chkView->SetBounds(10, 14, 170, 16);
    chkHTML->SetBounds(10, 30, 170, 16);
    chkDirectPrint->SetBounds(10, 46, 170, 16);
    grpAlarm->SetBounds(242, 96, 186, grpAlarm->Height());
    grpAlarm->SetTabOrder(4);
    grpNote->SetBounds(8, 148, 420, 99);
    grpNote->SetTabOrder(5);
    grpSignIn->SetBounds(8, 250, 420, 99);
    grpSignIn->SetTabOrder(6);
    chkKeepFrame->SetBounds(8, 352, chkKeepFrame->Width(), chkKeepFrame->Height());
    chkKeepFrame->SetTabOrder(7);
    chkPrintOption->SetBounds(8, 370, 200, 17);
    chkPrintOption->SetTabOrder(8);
    chkPrintUser->SetBounds(8, 388, 200, 17);
    chkPrintUser->SetTabOrder(9);
}

void TfrmBaseRpt::DoF2Lookup(Word Key, TControl* Control) {
    const bool note = Control != nullptr && Control == edNoteID;
    const bool signIn = Control != nullptr && Control == edSignInID;
    if (!note && !signIn) {
        TfrmBaseOpt::DoF2Lookup(Key, Control);
        return;
    }
    if (!(note ? btnNote : btnSignIn)->Enabled())
        return;
    Variant result;
    OpenF2Window("CMSMS", "01", result, false, "",
                 Variant::ArrayOf({note ? NoteKind : SignInKind}));
    if (result.IsEmptyOrNull())
        return;
    const Variant row =
        result.IsArray() && result.ArrayCount() > 0 ? result[result.ArrayLowBound()] : Variant();
    TEdit* code = note ? edNoteID : edSignInID;
    TEdit* lines[3] = {note ? edNote1 : edSignIn1, note ? edNote2 : edSignIn2,
                       note ? edNote3 : edSignIn3};
    code->SetText(ElementText(row, 0));
    LastCodeText = code->Text();
    (note ? noteFilledFrom_ : signInFilledFrom_) = code->Text();
    for (int i = 0; i < 3; ++i)
        lines[i]->SetText(ElementText(row, 2 + i));
}

void TfrmBaseRpt::LoadNoteDefaults() {
    btnNote->SetEnabled(true);
    btnSignIn->SetEnabled(true);
    Variant row;
    if (CheckData("CMSMT", "01", false, row, Variant::ArrayOf({ProgramCode})) &&
        !row.IsEmptyOrNull()) {
        TBaseGeneState::FromStorageText(row, row);
        edNoteID->SetText(ElementText(row, 0));
        edNote1->SetText(ElementText(row, 3));
        edNote2->SetText(ElementText(row, 4));
        edNote3->SetText(ElementText(row, 5));
        chkNoteEPPrint->SetChecked(ElementIsYes(row, 15));
        btnNote->SetEnabled(ElementIsYes(row, 1));
        edSignInID->SetText(ElementText(row, 6));
        edSignIn1->SetText(ElementText(row, 9));
        edSignIn2->SetText(ElementText(row, 10));
        edSignIn3->SetText(ElementText(row, 11));
        chkSignInEPPrint->SetChecked(ElementIsYes(row, 16));
        btnSignIn->SetEnabled(ElementIsYes(row, 7));
        chkPrintOption->SetChecked(ElementIsYes(row, 17));
        chkPrintUser->SetChecked(ElementIsYes(row, 18));
    }
    noteFilledFrom_ = edNoteID->Text();
    signInFilledFrom_ = edSignInID->Text();
    for (TEdit* e : {edNoteID, edNote1, edNote2, edNote3})
        e->SetReadOnly(!btnNote->Enabled());
    for (TEdit* e : {edSignInID, edSignIn1, edSignIn2, edSignIn3})
        e->SetReadOnly(!btnSignIn->Enabled());
}

namespace {

struct TCodeBlock {
    const char* kind;
    const char* kindMessage; // the message naming the kind of code
    TEdit* code;
    TEdit* lines[3];
    std::string& filledFrom; // the code whose template the lines show
};

// Fills a block from its CMSMS template; see CheckNoteCode.
bool CheckTemplateCode(TfrmBaseRpt& Form, const TCodeBlock& Block, const std::string& Code,
                       bool Report) {
    Block.code->SetText("");
    Block.filledFrom.clear();
    for (TEdit* line : Block.lines)
        line->SetText("");
    if (Code.empty())
        return true;
    Variant row;
    if (Form.CheckData("CMSMS", "01", false, row, Variant::ArrayOf({Block.kind, Code}))) {
        Block.code->SetText(Code);
        Block.filledFrom = Code;
        for (int i = 0; i < 3; ++i)
            Block.lines[i]->SetText(ElementText(row, 1 + i));
        return true;
    }
    if (!Report)
        return true;
    Form.ShowMessageById("W", "000004", {GetMessageText(Form, "R", Block.kindMessage)});
    return false;
}

} // namespace

bool TfrmBaseRpt::CheckNoteCode(const std::string& Code, bool Report) {
    return CheckTemplateCode(
        *this, {NoteKind, "100235", edNoteID, {edNote1, edNote2, edNote3}, noteFilledFrom_}, Code,
        Report);
}

bool TfrmBaseRpt::CheckSignInCode(const std::string& Code, bool Report) {
    return CheckTemplateCode(
        *this,
        {SignInKind, "100236", edSignInID, {edSignIn1, edSignIn2, edSignIn3}, signInFilledFrom_},
        Code, Report);
}

std::uint8_t TfrmBaseRpt::CheckedOutputs() const {
    std::uint8_t checked = 0;
    if (chkView->Checked())
        checked |= ro_View;
    if (chkHTML->Checked())
        checked |= ro_HTML;
    if (chkDirectPrint->Checked())
        checked |= ro_DirectPrint;
    return checked;
}

// --- event handlers --------------------------------------------------------------------------

void TfrmBaseRpt::chkViewClick(TObject*) {
    if (const std::uint8_t checked = CheckedOutputs(); checked != 0)
        OutputSet = checked;
    else
        ShowMessageById("I", "000005", {""});
}

void TfrmBaseRpt::edNoteIDEnter(TObject* Sender) {
    if (auto* edit = dynamic_cast<TEdit*>(Sender))
        LastCodeText = edit->Text();
}

// An unknown code also counts as a failed field check: a page change waits for it, as it waits
// for a bad date, so the user stays in the code field.
void TfrmBaseRpt::edNoteIDExit(TObject*) {
    const std::string text = edNoteID->Text();
    if (text != LastCodeText && !CheckNoteCode(text, true)) {
        CheckFailed = true;
        edNoteID->SetFocus();
    }
}

void TfrmBaseRpt::edSignInIDExit(TObject*) {
    const std::string text = edSignInID->Text();
    if (text != LastCodeText && !CheckSignInCode(text, true)) {
        CheckFailed = true;
        edSignInID->SetFocus();
    }
}

} // namespace nuv
