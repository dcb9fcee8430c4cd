// The report settings of a report dialog, driven through the controller as a host drives it:
// a small report dialog of module KEL with three conditions of its own, the host's objects
// doubled (FakeServices, with CMSMT and CMSMS rows in the columns the reference Manager
// answers), a local application server object, and the scripted dialog presenter.
#include "forms/BaseRpt.h"

#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "platform/Automation.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "support/FakeAutomation.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

// A report dialog with three conditions of its own (entries 1..3).
class TfrmKeltRpt : public TfrmBaseRpt {
public:
    explicit TfrmKeltRpt(TComponent* AOwner) : TfrmBaseRpt(AOwner) {
        SetName("frmKelt58");
        for (int i = 0; i < 3; ++i) {
            own[i] = new TEdit(this);
            own[i]->SetName("ed0" + std::to_string(i + 1));
            own[i]->SetParent(tsOption1);
            own[i]->SetBounds(12, 12 + 30 * i, 120, 24);
            own[i]->SetTabOrder(i);
        }
    }
    void DefineProgram() override {
        TfrmBaseRpt::DefineProgram();
        ServiceFlags |= sf_F2Window;
        SetConditionCount(3);
    }
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override {
        if (!TfrmBaseRpt::CollectConditionText(Texts, Count))
            return false;
        for (int i = 0; i < Count && i < 3; ++i)
            Texts[i + 1] = Variant::ArrayOf({"條件" + std::to_string(i + 1), own[i]->Name()});
        return true;
    }
    bool CollectConditionData(Variant& Data, std::int32_t Count) override {
        if (!TfrmBaseRpt::CollectConditionData(Data, Count))
            return false;
        for (int i = 0; i < Count && i < 3; ++i)
            Data[i + 1] = own[i]->Text();
        return true;
    }
    TEdit* own[3] = {};
};

// A CMSMT row as the reference Manager answers it (19 columns).
Variant SettingsRow(const char* note, const char* noteChangeable, const char* signIn,
                    const char* signInChangeable, const char* flags /* 15..18 */) {
    std::vector<Variant> row(19, Variant(std::string()));
    row[0] = note;
    row[1] = noteChangeable;
    row[3] = std::string(note) + " 一";
    row[4] = std::string(note) + " 二";
    row[5] = std::string(note) + " 三";
    row[6] = signIn;
    row[7] = signInChangeable;
    row[9] = std::string(signIn) + " 一";
    row[10] = std::string(signIn) + " 二";
    row[11] = std::string(signIn) + " 三";
    for (int i = 0; i < 4; ++i)
        row[static_cast<std::size_t>(15 + i)] = std::string(1, flags[i]);
    return Variant::ArrayOf(row);
}

class BaseRptTest : public ::testing::Test, protected TDialogScene<TfrmKeltRpt> {
protected:
    void SetUp() override {
        fakes.Host->Messages = {{"W000004", "查無此%s，請重新輸入或按 F2 查詢。"},
                                {"I000005", "至少要選擇一種輸出方式！%s"},
                                {"R100235", "備註代號"},
                                {"R100236", "簽核代號"}};
        templates = {{"1N01", {"一般備註", "內部參考", "截止至列印日", ""}},
                     {"1N02", {"機密備註", "機密文件", "妥善保管", "洽資訊課"}},
                     {"2S01", {"三層簽核", "製表：", "覆核：", "核准："}}};
        fakes.Host->Validate = [this](bool query, const std::string& table, const std::string&,
                                      const Variant& params,
                                      Variant& row) { return Answer(query, table, params, row); };
        // The application server runs in-process: its object is created by class name.
        RegisterRecordingReportServer(server.log, Variant("JOB 1"));
        WriteClientIni("[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n");
    }
    void TearDown() override {
        Close();
        UnregisterOleFactory("ReportCounterS.dmReportCounter");
    }

    // The Validator's rows: the program, its report settings, the templates.
    bool Answer(bool query, const std::string& table, const Variant& params, Variant& row) {
        if (table == "ADMMB") {
            row = Variant::ArrayOf({"客戶別品號出貨排程表", "", "", "", "Y"});
            return true;
        }
        if (table == "CMSMT") {
            if (!programSettings)
                return false;
            row = *programSettings;
            return true;
        }
        if (table == "CMSMS" && !query) {
            auto it = templates.find(params[0].ToString() + params[1].ToString());
            if (it == templates.end())
                return false;
            std::vector<Variant> r;
            for (const std::string& s : it->second)
                r.emplace_back(s);
            row = Variant::ArrayOf(r);
            return true;
        }
        return false;
    }

    // Opens the dialog through the controller with the company's settings.
    TfrmKeltRpt* Open(std::vector<std::pair<std::string, std::string>> settings = {}) {
        fakes.Host->Settings = std::move(settings);
        TfrmKeltRpt* d = OpenController(
            fakes.NewManager(),
            Variant::ArrayOf({"NU", "SD01", "DS01", Variant(0), Variant::MakeNull()}));
        EXPECT_NE(d, nullptr);
        return d;
    }
    // The dialog shown on its system page.
    TfrmKeltRpt* OpenShown() {
        TfrmKeltRpt* d = Open();
        d->Show();
        d->pgOption->SetActivePage(d->tsOption2);
        DrainEvents();
        return d;
    }

    static Variant Header(TfrmKeltRpt* d) {
        Variant header = Variant::CreateArray({{1, d->EnvironmentCount}});
        EXPECT_TRUE(d->FillRequestHeader(header, d->EnvironmentCount));
        return header;
    }
    static Variant Texts(TfrmKeltRpt* d) {
        Variant texts = Variant::CreateArray({{1, d->ConditionCount}});
        EXPECT_TRUE(d->CollectConditionText(texts, d->ConditionCount - d->BaseEntryCount));
        return texts;
    }
    static Variant Data(TfrmKeltRpt* d) {
        Variant data = Variant::CreateArray({{1, d->ConditionCount}});
        EXPECT_TRUE(d->CollectConditionData(data, d->ConditionCount - d->BaseEntryCount));
        return data;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : presenter.Messages())
            out.push_back(m.Text);
        return out;
    }
    std::size_t TemplateChecks() const {
        std::size_t n = 0;
        for (const RecordedCall& c : fakes.CallsOf("CheckValue"))
            if (c.args[0].value.ToString() == "CMSMS")
                ++n;
        return n;
    }

    ScopedEnv acp{"NUV_ACP", "950"};
    FakeServices fakes;
    FakeObject server;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    std::optional<Variant> programSettings;
    std::map<std::string, std::vector<std::string>> templates;
};

std::string BlockText(const std::vector<TEdit*>& edits) {
    std::string s;
    for (TEdit* e : edits)
        s += e->Text() + "|";
    return s;
}

} // namespace

// The blocks' defaults from the program's CMSMT row: filled, locked where the code may not
// change; without a row or a look-up service both blocks stay empty and editable.
TEST_F(BaseRptTest, NoteAndSignOffDefaultsFromTheProgramsSettings) {
    struct Case {
        const char* name;
        std::optional<Variant> row;
        bool noValidator;
        const char* note;   // edNoteID and its lines
        const char* signIn; // edSignInID and its lines
        bool noteOpen, signInOpen;
        const char* flags; // chkNoteEPPrint, chkSignInEPPrint, chkPrintOption, chkPrintUser
    };
    const Case cases[] = {
        {"note open, sign-off locked", SettingsRow("N01", "Y", "S01", "N", "NYYN"), false,
         "N01|N01 一|N01 二|N01 三|", "S01|S01 一|S01 二|S01 三|", true, false, "NYYN"},
        {"both locked, every flag", SettingsRow("N02", "N", "S02", "n", "YYYY"), false,
         "N02|N02 一|N02 二|N02 三|", "S02|S02 一|S02 二|S02 三|", false, false, "YYYY"},
        {"a flag of another letter is off", SettingsRow("N01", "y", "S01", "Y", "yNXN"), false,
         "N01|N01 一|N01 二|N01 三|", "S01|S01 一|S01 二|S01 三|", false, true, "NNNN"},
        {"no row for the program", std::nullopt, false, "||||", "||||", true, true, "NNNN"},
        {"a short row fills what it has", Variant::ArrayOf({"N03", "Y"}), false, "N03||||", "||||",
         true, false, "NNNN"},
        {"no look-up service", SettingsRow("N01", "N", "S01", "N", "YYYY"), true, "||||", "||||",
         true, true, "NNNN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programSettings = c.row;
        fakes.Host->MissingServices.clear();
        if (c.noValidator)
            fakes.Host->MissingServices.insert("Com_Validator");
        TfrmKeltRpt* d = Open();
        EXPECT_EQ(BlockText({d->edNoteID, d->edNote1, d->edNote2, d->edNote3}), c.note);
        EXPECT_EQ(BlockText({d->edSignInID, d->edSignIn1, d->edSignIn2, d->edSignIn3}), c.signIn);
        EXPECT_EQ(d->btnNote->Enabled(), c.noteOpen);
        EXPECT_EQ(d->btnSignIn->Enabled(), c.signInOpen);
        for (TEdit* e : {d->edNoteID, d->edNote1, d->edNote2, d->edNote3})
            EXPECT_EQ(e->ReadOnly(), !c.noteOpen) << e->Name();
        for (TEdit* e : {d->edSignInID, d->edSignIn1, d->edSignIn2, d->edSignIn3})
            EXPECT_EQ(e->ReadOnly(), !c.signInOpen) << e->Name();
        std::string flags;
        for (TBitCheckBox* b :
             {d->chkNoteEPPrint, d->chkSignInEPPrint, d->chkPrintOption, d->chkPrintUser})
            flags += b->Checked() ? 'Y' : 'N';
        EXPECT_EQ(flags, c.flags);
        EXPECT_TRUE(presenter.Messages().empty());
        ctl.reset();
        FreeAllForms();
    }
    // The program's row is asked for by its code.
    const auto calls = fakes.CallsOf("CheckValue");
    bool asked = false;
    for (const RecordedCall& call : calls)
        if (call.args[0].value.ToString() == "CMSMT")
            asked = call.args[3].value[0].ToString() == "KELT58";
    EXPECT_TRUE(asked);
}

// The date layouts offered, and the one chosen from the company's layout.
TEST_F(BaseRptTest, DateLayoutsFollowTheCompanysSettings) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> settings;
        int items;
        int index;
    };
    const Case cases[] = {
        {"Gregorian layout", {{"Sys001", "1"}}, 5, 0},
        {"Minguo layout", {{"Sys001", "5"}}, 5, 4},
        {"no layout set", {}, 5, 0},
        {"Gregorian years only", {{"Sys001", "3"}, {"SYS026", "2"}}, 3, 2},
        {"SYS026 of another value", {{"Sys001", "4"}, {"SYS026", "1"}}, 5, 3},
        // A Minguo layout where only Gregorian years are offered leaves no item chosen.
        {"Minguo layout, Gregorian years only", {{"Sys001", "4"}, {"SYS026", "2"}}, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmKeltRpt* d = Open(c.settings);
        EXPECT_EQ(d->cboDateType->Items()->Count(), c.items);
        EXPECT_EQ(d->cboDateType->ItemIndex(), c.index);
        if (c.items == 3) {
            EXPECT_EQ(d->cboDateType->Items()->Strings(2), "西元年 DDMMYYYY");
        }
        ctl.reset();
        FreeAllForms();
    }
}

// Header elements 13 and 14, and the five settings entries between the report's own entries
// and the print date, with their captions and names.
TEST_F(BaseRptTest, RequestCarriesTheSettingsAfterTheReportsOwnEntries) {
    programSettings = SettingsRow("N01", "Y", "S01", "Y", "NYYN");
    TfrmKeltRpt* d = Open({{"Sys001", "5"}});
    EXPECT_EQ(d->EnvironmentCount, 14);
    EXPECT_EQ(d->BaseEntryCount, 6);
    ASSERT_EQ(d->ConditionCount, 9) << "three own entries, five settings, the print date";

    const Variant header = Header(d);
    EXPECT_EQ(header[2].ToInt(), 14);
    EXPECT_EQ(header[3].ToInt(), 9);
    EXPECT_EQ(header[9].ToString(), "R");
    EXPECT_EQ(header[13].ToInt(), 1);
    EXPECT_TRUE(header[14].IsText());
    EXPECT_EQ(header[14].ToString(), "");

    d->own[0]->SetText("A001");
    const Variant texts = Texts(d);
    const std::pair<const char*, const char*> expected[] = {
        {"條件1", "ed01"},
        {"條件2", "ed02"},
        {"條件3", "ed03"},
        {"簽核", "grpSignIn"},
        {"註記", "grpNote"},
        {"日期型態", "cboDateType"},
        {"列印製表條件", "chkPrintOption"},
        {"列印製表人 ", "chkPrintUser"},
        {"製表日期", "edPrintDate"},
    };
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(texts[i].IsArray());
        EXPECT_EQ(texts[i][0].ToString(), expected[i - 1].first);
        EXPECT_EQ(texts[i][1].ToString(), expected[i - 1].second);
    }

    d->edSignIn2->SetText("主管：王");
    d->chkNoteEPPrint->SetChecked(true);
    const Variant data = Data(d);
    EXPECT_EQ(data[1].ToString(), "A001");
    const Variant& signIn = data[4];
    ASSERT_EQ(signIn.ArrayCount(), 6);
    EXPECT_EQ(signIn[0].ToString(), "每頁列印簽核");
    EXPECT_TRUE(signIn[1].Type() == VarType::Boolean);
    EXPECT_TRUE(signIn[1].ToBool());
    EXPECT_EQ(signIn[2].ToString(), "S01");
    EXPECT_EQ(signIn[3].ToString(), "S01 一");
    EXPECT_EQ(signIn[4].ToString(), "主管：王");
    const Variant& note = data[5];
    ASSERT_EQ(note.ArrayCount(), 6);
    EXPECT_EQ(note[0].ToString(), "每頁列印註記");
    EXPECT_TRUE(note[1].ToBool());
    EXPECT_EQ(note[2].ToString(), "N01");
    EXPECT_EQ(note[5].ToString(), "N01 三");
    // The Minguo layout of the company: "民國年 YYYMMDD" is date layout 5.
    ASSERT_EQ(data[6].ArrayCount(), 2);
    EXPECT_EQ(data[6][0].ToInt(), 5);
    EXPECT_EQ(data[6][1].ToString(), "民國年 YYYMMDD");
    EXPECT_TRUE(data[7].Type() == VarType::Boolean);
    EXPECT_TRUE(data[7].ToBool());
    EXPECT_FALSE(data[8].ToBool());
    EXPECT_EQ(data[9].ToString(), "") << "the print date, unfilled";

    // A layout chosen by the user.
    d->cboDateType->SetItemIndex(1);
    const Variant chosen = Data(d);
    EXPECT_EQ(chosen[6][0].ToInt(), 2);
    EXPECT_EQ(chosen[6][1].ToString(), "西元年 MMDDYYYY");
}

// OK sends the settings as the user left them to the application server.
TEST_F(BaseRptTest, OkSendsTheSettingsToTheServer) {
    programSettings = SettingsRow("N01", "Y", "S01", "Y", "NNYN");
    TfrmKeltRpt* d = OpenShown();
    ClickAt(d->chkHTML, 6, d->chkHTML->Height() / 2);
    d->cboDateType->SetItemIndex(2);
    d->edNote2->SetText("第二行");
    d->btnOk->Click();
    DrainEvents();

    const RecordedCall* sent = nullptr;
    for (const RecordedCall& c : *server.log)
        if (c.name == "Request")
            sent = &c;
    ASSERT_NE(sent, nullptr) << "the request reached the server";
    const Variant request = sent->args[0].value;
    const Variant& header = request[0];
    EXPECT_EQ(header.ArrayHighBound(), 14);
    EXPECT_EQ(header[2].ToInt(), 14);
    EXPECT_EQ(header[3].ToInt(), 9);
    EXPECT_EQ(header[13].ToInt(), 3);
    EXPECT_EQ(header[14].ToString(), "");
    EXPECT_EQ(request[1][6][1].ToString(), "cboDateType");
    EXPECT_EQ(request[2][5][4].ToString(), "第二行");
    EXPECT_EQ(request[2][6][0].ToInt(), 3);
    EXPECT_EQ(request[2][6][1].ToString(), "西元年 DDMMYYYY");
    EXPECT_TRUE(request[2][7].ToBool());
    EXPECT_EQ(d->RequestAccepted, 1);
}

// The output boxes clicked as a user clicks them: header element 13 follows the checked ones;
// unchecking the last one is refused with a message and the last valid kinds are sent.
TEST_F(BaseRptTest, OutputKindsFollowTheClickedBoxes) {
    struct Case {
        const char* name;
        std::vector<const char*> clicks;
        int element13;
        bool refused;
        const char* shown; // chkView, chkHTML
    };
    const Case cases[] = {
        {"as created", {}, 1, false, "YN"},
        {"web page added", {"chkHTML"}, 3, false, "YY"},
        {"web page only", {"chkHTML", "chkView"}, 2, false, "NY"},
        {"the last box unchecked", {"chkView"}, 1, true, "NN"},
        {"web page only, then its box unchecked", {"chkHTML", "chkView", "chkHTML"}, 2, true, "NN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.Clear();
        TfrmKeltRpt* d = OpenShown();
        for (const char* name : c.clicks) {
            auto* box = dynamic_cast<TBitCheckBox*>(d->FindComponent(name));
            ASSERT_NE(box, nullptr);
            ClickAt(box, 6, box->Height() / 2);
            DrainEvents();
        }
        std::string shown;
        shown += d->chkView->Checked() ? 'Y' : 'N';
        shown += d->chkHTML->Checked() ? 'Y' : 'N';
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(Header(d)[13].ToInt(), c.element13);
        const std::vector<std::string> messages = MessageTexts();
        EXPECT_EQ(messages.size(), c.refused ? 1u : 0u);
        if (c.refused && !messages.empty()) {
            EXPECT_NE(messages[0].find("至少要選擇一種輸出方式"), std::string::npos);
        }
        EXPECT_FALSE(d->chkDirectPrint->Enabled());
        ctl.reset();
        FreeAllForms();
    }
}

// Boxes set without a click (host values name the controls) are what the header sends.
TEST_F(BaseRptTest, OutputKindsSetByHostValuesReachTheHeader) {
    TfrmKeltRpt* d = Open();
    Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"view", "chkView"}),
                                      Variant::ArrayOf({"html", "chkHTML"}),
                                      Variant::ArrayOf({"layout", "cboDateType"})});
    Variant data = Variant::ArrayOf({"N", "Y", Variant::ArrayOf({Variant(3), ""})});
    EXPECT_EQ(
        ctl->ApplyValues(Variant::ArrayOf(
            {Variant(),
             Variant::ArrayOf({Variant(0), Variant::ArrayOf({Variant(true),
                                                             Variant::ArrayOf({pairs, data})})})})),
        0);
    EXPECT_FALSE(d->chkView->Checked());
    EXPECT_TRUE(d->chkHTML->Checked());
    EXPECT_EQ(Header(d)[13].ToInt(), 2);
    EXPECT_EQ(Data(d)[6][0].ToInt(), 3);
}

// Codes given by host values are checked when the request is built: a known one brings its
// template's lines, an unknown one stops the request.
TEST_F(BaseRptTest, CodesFromHostValuesAreCheckedBeforeTheyAreSent) {
    struct Case {
        const char* name;
        const char* note;
        bool sent;
        const char* lines; // the note lines sent
    };
    const Case cases[] = {
        {"a known note", "N02", true, "機密文件|妥善保管|洽資訊課"},
        {"the default note", "N01", true, "N01 一|N01 二|N01 三"},
        {"no note", "", true, "||"},
        {"an unknown note", "N77", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programSettings = SettingsRow("N01", "Y", "S01", "Y", "NNNN");
        presenter.Clear();
        server.log->clear();
        ASSERT_NE(Open(), nullptr);
        Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"note", "edNoteID"})});
        Variant data = Variant::ArrayOf({c.note});
        ctl->ApplyValues(Variant::ArrayOf(
            {Variant(),
             Variant::ArrayOf({Variant(2), Variant::ArrayOf({Variant(true),
                                                             Variant::ArrayOf({pairs, data})})})}));
        DrainEvents();
        const RecordedCall* sent = nullptr;
        for (const RecordedCall& call : *server.log)
            if (call.name == "Request")
                sent = &call;
        EXPECT_EQ(sent != nullptr, c.sent);
        if (sent != nullptr) {
            const Variant note = sent->args[0].value[2][5];
            EXPECT_EQ(note[2].ToString(), c.note);
            EXPECT_EQ(note[3].ToString() + "|" + note[4].ToString() + "|" + note[5].ToString(),
                      c.lines);
        } else {
            const std::vector<std::string> messages = MessageTexts();
            ASSERT_FALSE(messages.empty());
            EXPECT_NE(messages[0].find("查無此備註代號"), std::string::npos);
        }
        ctl.reset();
        FreeAllForms();
    }
}

// Codes typed into the note and sign-off fields, checked when the field is left.
TEST_F(BaseRptTest, CodesAreCheckedWhenTheFieldIsLeft) {
    struct Case {
        const char* name;
        bool signIn;
        const char* typed; // replaces the default code; nullptr leaves it as it is
        const char* after; // the code field and its lines afterwards
        std::size_t checks;
        const char* message; // part of the message shown, or empty
        bool focusStays;
    };
    const Case cases[] = {
        {"left unchanged: no look-up", false, nullptr, "N01|N01 一|N01 二|N01 三|", 0, "", false},
        {"cleared: lines cleared, no message", false, "", "||||", 0, "", false},
        {"another note", false, "N02", "N02|機密文件|妥善保管|洽資訊課|", 1, "", false},
        {"an unknown note", false, "N09", "||||", 1, "查無此備註代號", true},
        {"a sign-off code is no note", false, "S01", "||||", 1, "查無此備註代號", true},
        {"an unknown sign-off", true, "S09", "||||", 1, "查無此簽核代號", true},
        {"a known sign-off", true, "S01", "S01|製表：|覆核：|核准：|", 1, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programSettings = SettingsRow("N01", "Y", "S07", "Y", "NNNN");
        presenter.Clear();
        TfrmKeltRpt* d = OpenShown();
        TEdit* code = c.signIn ? d->edSignInID : d->edNoteID;
        std::vector<TEdit*> block =
            c.signIn ? std::vector<TEdit*>{d->edSignInID, d->edSignIn1, d->edSignIn2, d->edSignIn3}
                     : std::vector<TEdit*>{d->edNoteID, d->edNote1, d->edNote2, d->edNote3};
        const std::size_t before = TemplateChecks();
        code->SetFocus();
        DrainEvents();
        ASSERT_EQ(FocusedControl(), code);
        if (c.typed != nullptr) {
            code->SetText("");
            TypeText(c.typed);
        }
        d->chkPrintUser->SetFocus();
        DrainEvents();
        EXPECT_EQ(BlockText(block), c.after);
        EXPECT_EQ(TemplateChecks() - before, c.checks);
        const std::vector<std::string> messages = MessageTexts();
        if (*c.message == '\0') {
            EXPECT_TRUE(messages.empty());
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].find(c.message), std::string::npos) << messages[0];
        }
        EXPECT_EQ(FocusedControl() == code, c.focusStays);
        ctl.reset();
        FreeAllForms();
    }
}

// Leaving the page from an unknown code is refused like leaving it from a bad date: the user
// stays in the (cleared) code field; the emptied field then lets the page change.
TEST_F(BaseRptTest, APageChangeWaitsForAnUnknownCode) {
    programSettings = SettingsRow("N01", "Y", "S01", "Y", "NNNN");
    TfrmKeltRpt* d = OpenShown();
    d->edSignInID->SetFocus();
    DrainEvents();
    d->edSignInID->SetText("");
    TypeText("S77");
    bool allow = true;
    d->pgOptionChanging(d->pgOption, allow);
    EXPECT_FALSE(allow);
    EXPECT_EQ(BlockText({d->edSignInID, d->edSignIn1, d->edSignIn2, d->edSignIn3}), "||||");
    DrainEvents();
    EXPECT_EQ(FocusedControl(), d->edSignInID);
    d->pgOptionChanging(d->pgOption, allow);
    EXPECT_TRUE(allow);
}

// F2 in a code field (or its look-up button) opens the templates of its kind; the pick fills
// the block and counts as checked. A locked block's F2 does nothing.
TEST_F(BaseRptTest, LookupFillsTheBlockUnlessItIsLocked) {
    programSettings = SettingsRow("N01", "Y", "S01", "N", "NNNN");
    TfrmKeltRpt* d = OpenShown();
    fakes.Host->F2Answer =
        Variant::ArrayOf({Variant::ArrayOf({"N03", "出貨備註", "以排程為準", "以出貨單為憑", ""})});
    d->btnNote->Click();
    DrainEvents();
    ASSERT_EQ(fakes.CallsOf("F2GetData").size(), 1u);
    const Variant args = fakes.CallsOf("F2GetData")[0].args[0].value;
    EXPECT_EQ(args[0].ToString(), "CMSMS");
    EXPECT_EQ(args[1].ToString(), "01");
    EXPECT_EQ(args[2][0].ToString(), "1");
    EXPECT_FALSE(args[3].ToBool());
    EXPECT_EQ(BlockText({d->edNoteID, d->edNote1, d->edNote2, d->edNote3}),
              "N03|以排程為準|以出貨單為憑||");
    EXPECT_EQ(d->LastCodeText, "N03");
    EXPECT_EQ(FocusedControl(), d->edNoteID);

    // Leaving the field after the pick looks nothing up again.
    const std::size_t before = TemplateChecks();
    d->chkPrintUser->SetFocus();
    DrainEvents();
    EXPECT_EQ(TemplateChecks(), before);
    EXPECT_TRUE(presenter.Messages().empty());

    // Nothing chosen leaves the block alone.
    fakes.Host->F2Answer = Variant();
    d->DoF2Lookup(VK_F2, d->edNoteID);
    EXPECT_EQ(d->edNoteID->Text(), "N03");

    // The sign-off block is locked: F2 in its field opens nothing.
    fakes.Host->F2Answer = Variant::ArrayOf({Variant::ArrayOf({"S02", "", "a", "b", "c"})});
    d->DoF2Lookup(VK_F2, d->edSignInID);
    EXPECT_EQ(fakes.CallsOf("F2GetData").size(), 2u);
    EXPECT_EQ(d->edSignInID->Text(), "S01");
}

// The system page as a user sees it.
TEST_F(BaseRptTest, Screenshot) {
    programSettings = SettingsRow("N01", "Y", "S01", "N", "NYYY");
    TfrmKeltRpt* d = OpenShown();
    EXPECT_TRUE(d->SystemPageReady);
    EXPECT_GE(d->Width(), 538);
    EXPECT_GE(d->Height(), 468);
    const std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/forms-baserpt-settings.png";
    EXPECT_TRUE(GrabForm(d, path));
    EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
}
