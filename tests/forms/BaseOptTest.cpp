// The run-options dialog as the controller drives it: a small report dialog derived from
// TfrmBaseOpt, the host's objects doubled (FakeServices), the application server doubled by a
// recording "ReportCounterS.dmReportCounter" served in-process (the client configuration names
// the local address), and the scripted dialog presenter. What the tests look at is what the
// server receives and what the user is shown.
#include "forms/BaseOpt.h"

#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "runtime/FieldChecks.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

const char* const ServerClass = "ReportCounterS.dmReportCounter";

// A report dialog of module KEL with one report field of its own.
class TfrmOptTest : public TfrmBaseOpt {
public:
    explicit TfrmOptTest(TComponent* AOwner) : TfrmBaseOpt(AOwner) {
        SetName("frmKelt58");
        edit = new TEdit(this);
        edit->SetName("ed11");
        edit->SetParent(tsOption1);
        edit->SetBounds(12, 12, 120, 24);
        edit->SetTabOrder(0);
    }
    TEdit* edit = nullptr;
};

// What the recording server answers.
struct ServerScript {
    std::string Reply = "Job 7 accepted: KELT58 waits in the work queue.";
    bool FailRequest = false;
    // The reply is an array instead of a text.
    bool GarbageReply = false;
    std::string ErrorDescript = "the user 'NU' is not known";
    Variant Power =
        Variant::ArrayOf({"Y", "SALES1,林美麗,KELT58,YYYYYYYN", "庫存異動表", "林美麗"});
    bool FailPower = false;
};

class BaseOptTest : public ::testing::Test, protected TDialogScene<TfrmOptTest> {
protected:
    void SetUp() override {
        fakes.Host->Validate = ProgramRowOnly([this] {
            return Variant::ArrayOf({"庫存異動表", "", "", "", programAttr});
        });
        fakes.Host->Messages = {{"I000004", "報表請求已送出：%s"},
                                {"E000013", "伺服器拒絕報表請求：%s"},
                                {"E000005", "日期資料不正確，請重新輸入！%s"},
                                {"I000009", "排程日期時間不正確，"},
                                {"I000010", "請檢查日期與時、分、秒欄位。"},
                                {"E000037", "此欄位為必要輸入欄位，不可空白！"}};
        RegisterOleFactory(ServerClass, [this] {
            auto* server = new RecordingObject(ServerClass, serverLog);
            server->Method("Request", [this](std::span<Variant>) -> Variant {
                if (script.FailRequest)
                    throw EOleError("the connection to the server was lost");
                if (script.GarbageReply)
                    return Variant::ArrayOf({1, "Job", Variant::MakeNull()});
                return Variant(script.Reply);
            });
            server->Method("GetPower", [this](std::span<Variant>) -> Variant {
                if (script.FailPower)
                    throw EOleError("GetPower: the user 'NU' is not known");
                return script.Power;
            });
            server->Method("ErrorDescript",
                           [this](std::span<Variant>) { return Variant(script.ErrorDescript); });
            return DispatchPtr::Adopt(server);
        });
        clock.emplace(EncodeDateTime({2026, 12, 1, 9, 30}));
    }
    void TearDown() override {
        Close();
        UnregisterOleFactory(ServerClass);
    }

    // Opens a new dialog through a new controller that records its notifications.
    TfrmOptTest* Open() {
        return OpenController(
            fakes.NewManager(),
            Variant::ArrayOf({"NU", "SD01", "DS01", Variant(0), Variant::MakeNull()}));
    }

    // The requests the server received, in order.
    std::vector<Variant> Sent() const {
        std::vector<Variant> requests;
        for (const RecordedCall& c : *serverLog)
            if (c.name == "Request")
                requests.push_back(c.args.at(0).value);
        return requests;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : presenter.Messages())
            texts.push_back(m.Text);
        return texts;
    }
    bool ShownText(const std::string& part) const {
        for (const auto& t : Texts())
            if (t.find(part) != std::string::npos)
                return true;
        return false;
    }

    ScopedEnv acp{"NUV_ACP", "950"};
    std::optional<ScopedNow> clock;
    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    ServerScript script;
    std::shared_ptr<CallLog> serverLog = std::make_shared<CallLog>();
    std::string programAttr = "N";
};

double At(int y, int m, int d, int h, int n, int s) {
    return EncodeDateTime({y, m, d, h, n, s});
}

} // namespace

// Run mode, scheduled time and notification, as the server receives them.
TEST_F(BaseOptTest, HeaderCarriesRunModeTimeAndNotification) {
    struct Case {
        const char* name;
        const char* run; // "queue", "now" or "time"
        bool alarm, pager;
        std::vector<std::pair<std::string, std::string>> settings; // Sys001, Sys002
        const char* date;
        const char* hour;
        const char* minute;
        const char* second;
        int runMode;
        double runAt; // 0: the time of the request
        int notify;
    };
    const double now = At(2026, 12, 1, 9, 30, 0);
    const Case cases[] = {
        {"queue, no notification", "queue", false, false, {}, "", "0", "0", "0", 0, 0, 1},
        {"at once, message only", "now", true, false, {}, "", "0", "0", "0", 1, 0, 2},
        {"queue, pager only", "queue", false, true, {}, "", "0", "0", "0", 0, 0, 3},
        {"given time, both",
         "time",
         true,
         true,
         {},
         "2026/12/07",
         "8",
         "5",
         "0",
         2,
         At(2026, 12, 7, 8, 5, 0),
         4},
        {"given time in layout MMDDYYYY with '-'",
         "time",
         false,
         false,
         {{"Sys001", "2"}, {"Sys002", "-"}},
         "12-07-2026",
         "23",
         "59",
         "59",
         2,
         At(2026, 12, 7, 23, 59, 59),
         1},
        {"given time in the Minguo layout",
         "time",
         false,
         false,
         {{"Sys001", "4"}},
         "115/12/07",
         "08",
         "05",
         "00",
         2,
         At(2026, 12, 7, 8, 5, 0),
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serverLog->clear();
        fakes.Host->Settings = c.settings;
        TfrmOptTest* d = Open();
        ASSERT_NE(d, nullptr);
        const std::string run = c.run;
        (run == "now"    ? d->rdoRealTime
         : run == "time" ? d->rdoExceptTime
                         : d->rdoQueue)
            ->SetChecked(true);
        d->chkAlarm->SetChecked(c.alarm);
        d->chkNuPager->SetChecked(c.pager);
        d->edDate->SetText(c.date);
        d->edHour->SetText(c.hour);
        d->edMin->SetText(c.minute);
        d->edSec->SetText(c.second);
        d->btnOk->Click();

        const auto sent = Sent();
        ASSERT_EQ(sent.size(), 1u) << testing::PrintToString(Texts());
        const Variant header = sent[0][0];
        EXPECT_EQ(header.ArrayLowBound(), 1);
        EXPECT_EQ(header.ArrayHighBound(), 12);
        EXPECT_EQ(header[2].ToInt(), 12);
        EXPECT_EQ(header[9].ToString(), "R");
        EXPECT_EQ(header[10].ToInt(), c.runMode);
        EXPECT_DOUBLE_EQ(header[11].ToDate(), c.runAt != 0 ? c.runAt : now);
        EXPECT_EQ(header[12].ToInt(), c.notify);
        DrainEvents();
        EXPECT_TRUE(ctl->IsDialogFreed());
    }
}

// A scheduled time that cannot be read is reported and nothing is sent; the dialog stays open
// and usable, and run mode 0 is what the header would have carried.
TEST_F(BaseOptTest, AnUnreadableScheduledTimeSendsNothing) {
    struct Case {
        const char* name;
        const char* date;
        const char* hour;
        const char* minute;
        const char* second;
    };
    const Case cases[] = {
        {"the minute emptied", "2026/12/07", "8", "", "0"},
        {"the hour emptied", "2026/12/07", "", "5", "0"},
        {"blanks in the second", "2026/12/07", "8", "5", "  "},
        {"a minute beyond the hour", "2026/12/07", "8", "75", "0"},
        {"an hour of 24", "2026/12/07", "24", "0", "0"},
        {"a negative hour", "2026/12/07", "-1", "0", "0"},
        {"letters in the hour", "2026/12/07", "8h", "0", "0"},
        {"a date that is no date", "2026/13/45", "8", "5", "0"},
        {"letters for a date", "tomorrow", "8", "5", "0"},
    };
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->rdoExceptTime->SetChecked(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.Clear();
        d->edDate->SetText(c.date);
        d->edHour->SetText(c.hour);
        d->edMin->SetText(c.minute);
        d->edSec->SetText(c.second);
        Variant header = Variant::CreateArray({{1, 12}});
        EXPECT_FALSE(d->FillRequestHeader(header, 12));
        EXPECT_EQ(header[10].ToInt(), 0);
        d->btnOk->Click();
        EXPECT_TRUE(Sent().empty());
        ASSERT_EQ(Texts().size(), 2u) << "once for the header, once for OK";
        EXPECT_EQ(Texts()[1],
                  "日期資料不正確，請重新輸入！排程日期時間不正確，請檢查日期與時、分、秒欄位。");
        EXPECT_EQ(presenter.Messages()[1].Kind, mtError);
        EXPECT_EQ(d->RequestAccepted, 0);
    }
    // Mended, the same dialog sends.
    d->edDate->SetText("2026/12/07");
    d->edHour->SetText("8");
    d->edMin->SetText("5");
    d->edSec->SetText("0");
    d->btnOk->Click();
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_DOUBLE_EQ(Sent()[0][0][11].ToDate(), At(2026, 12, 7, 8, 5, 0));
}

// The server's answer: "ERROR" in any case (or a call that fails) is a refusal with the
// server's reason; anything else is accepted, shown whole and handed to the host.
TEST_F(BaseOptTest, TheServersReplyDecidesTheOutcome) {
    struct Case {
        const char* name;
        const char* reply;
        bool fail;
        bool accepted;
    };
    const Case cases[] = {
        {"upper case", "ERROR", false, false},
        {"lower case", "error", false, false},
        {"mixed case", "ErRoR", false, false},
        {"the call fails", "", true, false},
        {"an answer that is no text", nullptr, false, false},
        {"accepted", "Job 7 accepted: KELT58 waits in the work queue.", false, true},
        {"accepted, with semicolons",
         "Job 8 accepted: KELT58 runs every day; first run at 2026/12/07 08:05.", false, true},
        {"a reply that merely contains ERROR", "ERRORS: none", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.Clear();
        notes.clear();
        script.FailRequest = c.fail;
        script.GarbageReply = c.reply == nullptr;
        script.Reply = c.reply != nullptr ? c.reply : "";
        TfrmOptTest* d = Open();
        ASSERT_NE(d, nullptr);
        d->btnOk->Click();
        ASSERT_EQ(Texts().size(), 1u);
        if (c.accepted) {
            // Shown whole: a semicolon would otherwise end the message's argument.
            std::string whole = c.reply;
            for (auto at = whole.find(';'); at != std::string::npos; at = whole.find(';'))
                whole.replace(at, 1, "；");
            EXPECT_EQ(Texts()[0], "報表請求已送出：" + whole);
            EXPECT_EQ(presenter.Messages()[0].Kind, mtInformation);
            EXPECT_EQ(d->RequestAccepted, 1);
            EXPECT_EQ(d->ServerReply.ToString(), c.reply);
            DrainEvents();
            ASSERT_TRUE(ctl->IsDialogFreed());
            EXPECT_EQ(notes.back(), 304);
            EXPECT_EQ(ctl->ResultCode, 1);
            EXPECT_EQ(Variant(ctl->ResultValue).ToString(), c.reply);
        } else {
            EXPECT_EQ(Texts()[0], "伺服器拒絕報表請求：the user 'NU' is not known");
            EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
            EXPECT_EQ(d->RequestAccepted, 0);
            DrainEvents();
            EXPECT_FALSE(ctl->IsDialogFreed()) << "a refused request leaves the dialog open";
        }
    }
}

// Started by the host with run mode 2, the dialog sends unseen and only records its success.
TEST_F(BaseOptTest, AnUnattendedRunRecordsTheSuccessWithoutShowingIt) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"Note", "ed11"})});
    Variant values = Variant::ArrayOf({"hello"});
    EXPECT_EQ(
        ctl->ApplyValues(Variant::ArrayOf(
            {Variant(), Variant::ArrayOf(
                            {Variant(2), Variant::ArrayOf({Variant(true),
                                                           Variant::ArrayOf({pairs, values})})})})),
        0);
    EXPECT_TRUE(presenter.Messages().empty());
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_NE(d->MessageRefs.find("I;-000004;Job 7 accepted"), std::string::npos);
    DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->ResultCode, 1);
}

// ProgramAttr decides the keep-window box; an accepted request keeps only a visible dialog
// whose box is checked.
TEST_F(BaseOptTest, TheKeepWindowBoxFollowsTheProgramAttribute) {
    struct Case {
        const char* attr;
        TCheckBoxState state;
        bool keptWhenShown;
    };
    const Case cases[] = {
        {"Y", cbChecked, true},
        {"N", cbUnchecked, false},
        {"", cbGrayed, false},
        {"X", cbGrayed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attr);
        programAttr = c.attr;
        TfrmOptTest* d = Open();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->chkKeepFrame->State(), c.state);
        d->Show();
        DrainEvents();
        d->btnOk->Click();
        EXPECT_EQ(d->RequestAccepted, 1);
        DrainEvents();
        EXPECT_EQ(ctl->IsDialogFreed(), !c.keptWhenShown);
        if (c.keptWhenShown) {
            // Kept for another submission.
            d->btnOk->Click();
            EXPECT_EQ(Sent().size(), 2u);
            serverLog->clear();
        }
        serverLog->clear();
    }
    // A kept dialog that was never shown (unattended) still closes.
    programAttr = "Y";
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->btnOk->Click();
    DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
}

TEST_F(BaseOptTest, CancelClosesWithResultTwo) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->Show();
    DrainEvents();
    d->btnCancel->Click();
    EXPECT_EQ(d->RequestAccepted, 2);
    DrainEvents();
    ASSERT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->ResultCode, 2);
    EXPECT_TRUE(Sent().empty());
}

// The run-time group installs only the system page's required fields, and the report's own
// stay required through every switch; the report's list keeps those of the system page.
TEST_F(BaseOptTest, ReportAndRunOptionRequiredFieldsKeepEachOther) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->SetRequiredFields("ed11;N");
    EXPECT_EQ(d->RequiredFields, "ed11;N");
    struct Step {
        TNuRadioButton* TfrmOptTest::*button;
        const char* required;
        bool timeEnabled;
    };
    const Step steps[] = {
        {&TfrmOptTest::rdoExceptTime, "edDate,ed11;N", true},
        {&TfrmOptTest::rdoQueue, "ed11;N", false},
        {&TfrmOptTest::rdoExceptTime, "edDate,ed11;N", true},
        {&TfrmOptTest::rdoRealTime, "ed11;N", false},
        {&TfrmOptTest::rdoExceptTime, "edDate,ed11;N", true},
    };
    for (const Step& s : steps) {
        (d->*s.button)->SetChecked(true);
        EXPECT_EQ(d->RequiredFields, s.required);
        EXPECT_EQ(d->pnlTime->Enabled(), s.timeEnabled);
        EXPECT_EQ(d->TimeRequiredFields, s.timeEnabled ? "edDate" : "");
        EXPECT_EQ(d->edit->Color(), RequiredColor) << "the report's field stays marked";
        EXPECT_EQ(d->edDate->Color() == RequiredColor, s.timeEnabled);
    }
    // The report replaces its own list; edDate stays required, without a part of its own.
    d->SetRequiredFields("ed11");
    EXPECT_EQ(d->RequiredFields, "ed11,edDate");
    d->SetRequiredFields("");
    EXPECT_EQ(d->RequiredFields, "edDate");
    d->rdoQueue->SetChecked(true);
    EXPECT_EQ(d->RequiredFields, "");
}

// A blank required date stops OK before anything is prepared or sent.
TEST_F(BaseOptTest, ABlankScheduledDateStopsOk) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->Show();
    DrainEvents();
    d->rdoExceptTime->SetChecked(true);
    d->edDate->SetText("");
    d->btnOk->Click();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(ShownText("此欄位為必要輸入欄位"));
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption2);
}

// The rights answer of "GetPower", in every shape; the dialog opens whatever it is.
TEST_F(BaseOptTest, UserRightsFromTheServersAnswer) {
    struct Case {
        const char* name;
        Variant power;
        bool fail;
        const char* group;
        bool flag1, flag2;
        bool reported;
    };
    const Case cases[] = {
        {"group and flags", Variant::ArrayOf({"Y", "SALES1,林美麗,KELT58,YYYYYYYN"}), false,
         "SALES1", true, false, false},
        {"character 7 off", Variant::ArrayOf({"Y", "SALES1,n,KELT58,YYYYYYNY"}), false, "SALES1",
         false, true, false},
        {"lower-case n is on", Variant::ArrayOf({"Y", "G1,n,KELT58,YYYYYYnn"}), false, "G1", true,
         true, false},
        {"a short rights field", Variant::ArrayOf({"Y", "000000,DS,KELT58,YY"}), false, "000000",
         true, true, false},
        {"no rights field", Variant::ArrayOf({"Y", "000000"}), false, "000000", true, true, false},
        {"a scalar", Variant("YYYYYYYY"), false, "", false, false, true},
        {"one element", Variant::ArrayOf({"Y"}), false, "", false, false, true},
        {"element 1 an array", Variant::ArrayOf({"Y", Variant::ArrayOf({"G"})}), false, "", false,
         false, true},
        {"the call fails", Variant(), true, "", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serverLog->clear();
        script.Power = c.power;
        script.FailPower = c.fail;
        TfrmOptTest* d = Open();
        ASSERT_NE(d, nullptr) << "the dialog opens whatever the rights answer";
        EXPECT_EQ(d->UserGroup, c.group);
        EXPECT_EQ(d->F2Flag1, c.flag1);
        EXPECT_EQ(d->F2Flag2, c.flag2);
        EXPECT_EQ(d->MessageRefs.find("E;-1") != std::string::npos, c.reported);
        ASSERT_FALSE(serverLog->empty());
        const RecordedCall& call = serverLog->front();
        EXPECT_EQ(call.name, "GetPower");
        const Variant& args = call.args.at(0).value;
        ASSERT_EQ(args.ArrayHighBound(), 3);
        EXPECT_EQ(args[0].ToString(), "DS01");
        EXPECT_EQ(args[1].ToString(), "NU");
        EXPECT_EQ(args[2].ToString(), "KELT58");
        EXPECT_EQ(args[3].ToString(), "");
    }
}

// The dialog opens its server by the run-options server's class, and F2 on the scheduled date
// opens the quick-date window.
TEST_F(BaseOptTest, ServerClassAndQuickDate) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->MainMidas.ServerName, ServerClass);
    EXPECT_EQ(d->EnvironmentCount, 12);
    EXPECT_NE(d->DateFieldList.find("edDate"), std::string::npos);

    d->Show();
    d->pgOption->SetActivePage(d->tsOption2);
    d->rdoExceptTime->SetChecked(true);
    DrainEvents();
    fakes.Host->InputDayAnswer = "20261207";
    d->edDate->SetText("");
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->edDate));
    EXPECT_EQ(d->edDate->Text(), "2026/12/07");
    d->edit->SetText("keep");
    d->Perform(WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(d->edit));
    EXPECT_EQ(d->edit->Text(), "keep") << "F2 on a report field is no date look-up";
    EXPECT_EQ(fakes.CallsOf("ShowInputDay").size(), 1u);
}

// The system page in each run mode, as a user sees it.
TEST_F(BaseOptTest, SystemPageScreenshots) {
    TfrmOptTest* d = Open();
    ASSERT_NE(d, nullptr);
    d->Show();
    DrainEvents();
    d->pgOption->SetActivePage(d->tsOption2);
    DrainEvents();
    EXPECT_GE(d->Width(), 340);
    EXPECT_GE(d->Height(), 275);
    EXPECT_EQ(d->chkKeepFrame->Left(), 15);
    EXPECT_EQ(d->chkKeepFrame->Top(), 214);
    EXPECT_LE(d->chkKeepFrame->Top() + d->chkKeepFrame->Height(), d->tsOption2->Height())
        << "the keep-window box is shown whole";
    EXPECT_EQ(d->btnPeriod->Top(), 85);
    EXPECT_FALSE(d->tsPeriodOption->TabVisible());
    struct Shot {
        TNuRadioButton* TfrmOptTest::*button;
        const char* file;
    };
    const Shot shots[] = {
        {&TfrmOptTest::rdoQueue, "forms-baseopt-queue.png"},
        {&TfrmOptTest::rdoRealTime, "forms-baseopt-realtime.png"},
        {&TfrmOptTest::rdoExceptTime, "forms-baseopt-time.png"},
    };
    d->chkAlarm->SetChecked(true);
    for (const Shot& s : shots) {
        (d->*s.button)->SetChecked(true);
        if (s.button == &TfrmOptTest::rdoExceptTime) {
            d->edDate->SetText("2026/12/07");
            d->edHour->SetText("8");
            d->edMin->SetText("5");
        }
        DrainEvents();
        const std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + s.file;
        EXPECT_TRUE(GrabForm(d, path));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
}
