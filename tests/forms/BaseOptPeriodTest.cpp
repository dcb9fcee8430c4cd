// The periodic schedule page of the run-options dialog, driven through the controller on a small
// report dialog with a date range (sp01), a single date (me02) and a year-month field (me03).
// The server object is a recording double served in-process; the requests the page completes
// are compared with the schedule rules and checked by the server's own request check.
#include "forms/BaseOpt.h"

#include "controls/SelectPnl.h"
#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "forms/Schedule.h"
#include "forms/ScheduleRules.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "runtime/FieldChecks.h"
#include "runtime/FieldWiring.h"
#include "support/FakeAutomation.h"
#include "uitest/UiTestSupport.h"

#include "RequestCheck.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

enum Weekday { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

const std::string Sep(DynamicFieldSeparator);

class TfrmKeltPeriodTest : public TfrmBaseOpt {
public:
    explicit TfrmKeltPeriodTest(TComponent* AOwner) : TfrmBaseOpt(AOwner) {
        SetName("frmKelt58");
        sp01 = new TSelectPanel(this);
        sp01->SetName("sp01");
        sp01->SetParent(tsOption1);
        sp01->SetBounds(12, 8, 300, 60);
        sp01->SetCaption("單據日期");
        sp01->SetTabOrder(0);
        me02 = new TMaskEdit(this);
        me02->SetName("me02");
        me02->SetParent(tsOption1);
        me02->SetBounds(12, 80, 100, 20);
        me02->SetTabOrder(1);
        me03 = new TMaskEdit(this);
        me03->SetName("me03");
        me03->SetParent(tsOption1);
        me03->SetBounds(12, 108, 80, 20);
        me03->SetTabOrder(2);
        // A date panel that some tests list as a date field without sending it as a condition.
        sp09 = new TSelectPanel(this);
        sp09->SetName("sp09");
        sp09->SetParent(tsOption1);
        sp09->SetBounds(12, 136, 300, 60);
        sp09->SetCaption("備用日期");
    }
    void DefineProgram() override {
        TfrmBaseOpt::DefineProgram();
        TBaseGeneState::SetDateFields(dateFields);
        nuv::SetYearMonthFields(*this, "me03");
        TBaseGeneState::SetConditionCount(3);
    }
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override {
        if (!TfrmBaseOpt::CollectConditionText(Texts, Count))
            return false;
        Texts[1] = Variant::ArrayOf({"單據日期", "sp01"});
        Texts[2] = Variant::ArrayOf({"預交日期", "me02"});
        Texts[3] = Variant::ArrayOf({"年月", "me03"});
        return true;
    }
    bool CollectConditionData(Variant& Data, std::int32_t Count) override {
        if (!TfrmBaseOpt::CollectConditionData(Data, Count))
            return false;
        // The panel's range as a report sends it: [marker, begin, end], dates as "yyyymmdd".
        Data[1] = Variant::ArrayOf({RangeMarker,
                                    DateTextToStorage(*this, sp01->edBegin->Text()),
                                    DateTextToStorage(*this, sp01->edFinal->Text())});
        Data[2] = DateTextToStorage(*this, me02->Text());
        Data[3] = YearMonthTextToStorage(*this, me03->Text());
        return true;
    }
    static inline std::string dateFields = "sp01,me02";
    TSelectPanel* sp01 = nullptr;
    TMaskEdit* me02 = nullptr;
    TMaskEdit* me03 = nullptr;
    TSelectPanel* sp09 = nullptr;
};

const char* const ServerClass = "ReportCounterS.dmReportCounter";

class BaseOptPeriodTest : public ::testing::Test, protected TDialogScene<TfrmKeltPeriodTest> {
protected:
    void SetUp() override {
        TfrmKeltPeriodTest::dateFields = "sp01,me02";
        fakes.Host->Validate = ProgramRowOnly([] {
            return Variant::ArrayOf({"客戶別品號出貨排程表", "", "", "", "N"});
        });
        RegisterOleFactory(ServerClass, [this] {
            auto* server = new RecordingObject(ServerClass, serverLog);
            server->Method("GetPower", [](std::span<Variant>) {
                return Variant::ArrayOf({"", "000000,,,YYYYYYYY", ""});
            });
            server->Method("Request", [this](std::span<Variant>) { return Variant(reply); });
            server->Property("ErrorDescript", "the queue is full");
            return DispatchPtr::Adopt(server);
        });
    }
    void TearDown() override {
        Close();
        UnregisterOleFactory(ServerClass);
    }

    // Opens and shows the dialog; on Monday 2026-12-07 at 07:00 unless the test set a clock.
    TfrmKeltPeriodTest* Open() {
        TfrmKeltPeriodTest* d = OpenController(
            fakes.NewManager(),
            Variant::ArrayOf({"NU", "SD01", "DS01", Variant(0), Variant::MakeNull()}));
        EXPECT_NE(d, nullptr);
        d->Show();
        DrainEvents();
        return d;
    }
    // The user presses the periodic button.
    static void PressPeriod(TfrmKeltPeriodTest* d) {
        ClickAt(d->btnPeriod, 10, 10);
        DrainEvents();
    }
    TfrmKeltPeriodTest* OpenPeriodic() {
        TfrmKeltPeriodTest* d = Open();
        PressPeriod(d);
        EXPECT_TRUE(d->btnPeriod->Down());
        return d;
    }
    std::vector<RecordedCall> Requests() const {
        std::vector<RecordedCall> out;
        for (const auto& c : *serverLog)
            if (c.name == "Request")
                out.push_back(c);
        return out;
    }
    bool Posted(const TfrmKeltPeriodTest* d, const std::string& ref) const {
        return d->MessageRefs.find(ref) != std::string::npos;
    }
    // The lines of the next-runs list.
    static std::vector<std::string> Shown(const TfrmKeltPeriodTest* d) {
        std::vector<std::string> lines;
        const std::string text = d->lblNextRuns->Caption();
        std::size_t from = 0;
        while (from <= text.size() && !text.empty()) {
            const std::size_t nl = text.find('\n', from);
            lines.push_back(text.substr(from, nl - from));
            if (nl == std::string::npos)
                break;
            from = nl + 1;
        }
        return lines;
    }

    ScopedEnv acp{"NUV_ACP", "950"};
    ScopedNow clock{EncodeDateTime({2026, 12, 7, 7, 0})};
    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    std::shared_ptr<CallLog> serverLog = std::make_shared<CallLog>();
    std::string reply = "Job 7 accepted";
};

} // namespace

// --- switching on and off ----------------------------------------------------------------------

TEST_F(BaseOptPeriodTest, SwitchingOnShowsThePageForcesTheGivenTimeAndOffUndoesIt) {
    TfrmKeltPeriodTest* d = Open();
    EXPECT_FALSE(d->tsPeriodOption->TabVisible());
    PressPeriod(d);
    EXPECT_TRUE(d->tsPeriodOption->TabVisible());
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsPeriodOption);
    EXPECT_FALSE(d->grpGenTime->Enabled());
    EXPECT_TRUE(d->rdoExceptTime->Checked());
    EXPECT_EQ(d->meStartDate->Text(), "2026/12/07");
    EXPECT_EQ(d->edDate->Text(), "2026/12/07");
    EXPECT_EQ(d->RequiredFields, "meDay,meStartDate,edDate");
    // The page makes room for itself.
    EXPECT_GE(d->Width(), 538);
    EXPECT_GE(d->Height(), 424);
    // Defaults: every day, no end; the three conditions listed, the range first.
    EXPECT_TRUE(d->rdoEveryday->Checked());
    EXPECT_TRUE(d->pnDay->Visible());
    EXPECT_EQ(d->cbocondition->Items()->Count(), 3);
    EXPECT_EQ(d->cbocondition->Items()->Strings(0), "單據日期");
    EXPECT_EQ(d->cbocondition->Items()->Strings(1), "預交日期");
    EXPECT_EQ(d->cbocondition->Items()->Strings(2), "年月");
    EXPECT_TRUE(d->gbDynamicFields->Enabled());
    EXPECT_TRUE(d->pnSp->Visible());
    EXPECT_FALSE(d->pnEdit->Visible());

    PressPeriod(d);
    EXPECT_FALSE(d->btnPeriod->Down());
    EXPECT_FALSE(d->tsPeriodOption->TabVisible());
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption1);
    EXPECT_TRUE(d->grpGenTime->Enabled());
    EXPECT_TRUE(d->rdoQueue->Checked());
    EXPECT_EQ(d->RequiredFields, "");
}

TEST_F(BaseOptPeriodTest, ABlankRequiredReportFieldKeepsTheButtonUp) {
    TfrmKeltPeriodTest* d = Open();
    d->SetRequiredFields("me02");
    PressPeriod(d);
    EXPECT_FALSE(d->btnPeriod->Down());
    EXPECT_FALSE(d->tsPeriodOption->TabVisible());
    EXPECT_TRUE(Posted(d, "E;000037"));

    // Filled in, the page opens and the report's field stays required beside the page's.
    d->me02->SetText("2026/12/01");
    PressPeriod(d);
    EXPECT_TRUE(d->btnPeriod->Down());
    EXPECT_EQ(d->SavedRequiredFields, "me02");
    d->rdoEveryWeek->SetChecked(true);
    EXPECT_EQ(d->RequiredFields, "me02,meWeek,meStartDate,edDate");
}

// --- cycle mode and range ----------------------------------------------------------------------

TEST_F(BaseOptPeriodTest, EachCycleModeGivesItsSpecPanelAndRequiredFields) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    struct Case {
        const char* name;
        std::function<void()> choose;
        TPanel* panel;
        Variant spec;
        const char* required;
    };
    const Case cases[] = {
        {"every 3 days",
         [&] {
             d->rdoEveryday->SetChecked(true);
             d->meDay->SetText("3");
         },
         d->pnDay, CycleSpecEveryNDays("3"), "meDay,meStartDate"},
        {"every 2 weeks on Friday",
         [&] {
             d->rdoEveryWeek->SetChecked(true);
             d->meWeek->SetText("2");
             d->cboDayofWeek->SetItemIndex(Friday);
         },
         d->pnWeek, CycleSpecEveryNWeeks("2", Friday), "meWeek,meStartDate"},
        {"every month on day 31",
         [&] {
             d->rdoEveryMonth->SetChecked(true);
             d->rdomonth_1->SetChecked(true);
             d->meMonth_M1->SetText("1");
             d->meMonth_D->SetText("31");
         },
         d->pnMonth, CycleSpecMonthlyOnDay("1", "31"), "meMonth_M1,meMonth_D,meStartDate"},
        {"every 2 months on the last Friday",
         [&] {
             d->rdoEveryMonth->SetChecked(true);
             d->rdomonth_2->SetChecked(true);
             d->meMonth_M2->SetText("2");
             d->cbo1Month_M2->SetItemIndex(LastWeekdayOfMonth);
             d->cbo2Month_M2->SetItemIndex(Friday);
         },
         d->pnMonth, CycleSpecMonthlyOnWeekday("2", LastWeekdayOfMonth, Friday),
         "meMonth_M2,meStartDate"},
        {"every 1 h 5 min",
         [&] {
             d->rdoHourMin->SetChecked(true);
             d->meHour->SetText("1");
             d->meMin->SetText("5");
         },
         d->pnHourMin, CycleSpecHourMinute(1, 5), "meHour,meMin,meStartDate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.choose();
        d->BuildCycleSpec();
        EXPECT_TRUE(d->CycleSpec.SameAs(c.spec));
        EXPECT_EQ(d->CycleRequiredFields, c.required);
        EXPECT_EQ(d->RequiredFields, std::string(c.required) + ",edDate");
        for (TPanel* p : {d->pnHourMin, d->pnDay, d->pnWeek, d->pnMonth})
            EXPECT_EQ(p->Visible(), p == c.panel) << p->Name();
        EXPECT_EQ(c.panel->Left(), 76);
        EXPECT_EQ(c.panel->Top(), 12);
    }
}

TEST_F(BaseOptPeriodTest, EachRangeGivesItsRecordAndRequiredField) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    struct Case {
        const char* name;
        std::function<void()> choose;
        TNuRadioButton* chosen;
        Variant range;
        const char* required;
    };
    const Case cases[] = {
        {"end after 10 runs: typing the count chooses it", [&] { d->meCycleRang_2->SetText("10"); },
         d->rbCycleRang_2, CycleRangeRepetitions("20261207", "10"), "meCycleRang_2"},
        {"end date: typing it chooses it", [&] { d->meEndDate->SetText("2027/01/31"); },
         d->rbCycleRang_3, CycleRangeUntil("20261207", "20270131"), "meEndDate"},
        {"no end", [&] { d->rbCycleRang_1->SetChecked(true); }, d->rbCycleRang_1,
         CycleRangeNoEnd("20261207"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.choose();
        EXPECT_TRUE(c.chosen->Checked());
        EXPECT_EQ(d->RangeRequiredFields, c.required);
        EXPECT_TRUE(d->BuildScheduleRecord().SameAs(
            MakeScheduleRecord(0, 0, CycleSpecEveryNDays("1"), c.range)));
    }
}

// --- the completed request ---------------------------------------------------------------------

// A range whose start moves to the first day and whose end moves to the last day of the month
// before the run, and a single date a week after the run: the request carries the schedule,
// the rules with their positions and the dates moved to the first run, as the rules give them
// and as the server reads them.
TEST_F(BaseOptPeriodTest, ThePeriodicRequestCarriesTheScheduleAndTheFirstRunsDates) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->sp01->edBegin->SetText("2026/10/01");
    d->sp01->edFinal->SetText("2026/10/31");
    d->me02->SetText("2026/10/15");
    d->me03->SetText("2026/10");
    d->sePeriodHour->SetText("8");
    d->sePeriodMin->SetText("5");
    d->rdoEveryMonth->SetChecked(true);
    d->meMonth_D->SetText("15");
    d->meCycleRang_2->SetText("12");

    // The range: both ends move a month back, to its first and its last day.
    d->cbocondition->SetItemIndex(0);
    d->cboconditionChange(d->cbocondition);
    d->seDay_B1Enter(d->seDay_B1);
    d->spChangeDate_B->SetChecked(true);
    d->seDay_B1->SetText("-1");
    d->cboDay_B1->SetItemIndex(1);
    d->cboDay_B2->SetItemIndex(1);
    d->cboDay_B2Change(d->cboDay_B2);
    d->spChangeDate_E->SetChecked(true);
    d->seDay_E1->SetText("-1");
    d->cboDay_E1->SetItemIndex(1);
    d->cboDay_E2->SetItemIndex(2);
    d->cboDay_E2Change(d->cboDay_E2);
    // The single date: a week after the run.
    d->cbocondition->SetItemIndex(1);
    d->cboconditionChange(d->cbocondition);
    d->seDay1Enter(d->seDay1);
    d->edChangeDate->SetChecked(true);
    d->seDay2->SetText("7");
    // The year-month value: a month back.
    d->cbocondition->SetItemIndex(2);
    d->cboconditionChange(d->cbocondition);
    d->seDay1Enter(d->seDay1);
    d->edChangeDate->SetChecked(true);
    d->seDay1->SetText("-1");

    ASSERT_TRUE(d->PrepareRequest()) << d->MessageRefs;
    EXPECT_EQ(d->FirstRunDate, "20261215");
    const Variant& r = d->Request;
    ASSERT_EQ(r.ArrayHighBound(), 4);
    EXPECT_EQ(r[0][9].ToString(), "r");
    EXPECT_EQ(r[0][10].ToInt(), 2);
    EXPECT_EQ(r[0][11].ToDouble(), EncodeDateTime({2026, 12, 15, 8, 5}));
    EXPECT_EQ(d->edHour->Text(), "8");
    EXPECT_EQ(d->edSec->Text(), "00");

    const Variant record = MakeScheduleRecord(8, 5, CycleSpecMonthlyOnDay("1", "15"),
                                              CycleRangeRepetitions("20261207", "12"));
    EXPECT_TRUE(r[3].SameAs(record));
    const std::string range = "0" + Sep + "sp01" + Sep + "Y" + Sep + "-1" + Sep + "1" + Sep + "1" +
                              Sep + "0" + Sep + "Y" + Sep + "-1" + Sep + "1" + Sep + "2" + Sep +
                              "0" + Sep + "D" + Sep + "1";
    const std::string single = "1" + Sep + "me02" + Sep + "Y" + Sep + "0" + Sep + "0" + Sep + "0" +
                               Sep + "7" + Sep + "D" + Sep + "2";
    const std::string yearMonth = "1" + Sep + "me03" + Sep + "Y" + Sep + "-1" + Sep + "1" + Sep +
                                  "0" + Sep + "0" + Sep + "M" + Sep + "3";
    EXPECT_TRUE(r[4].SameAs(Variant::ArrayOf({3, range, single, yearMonth})));

    // The dates as the rules move them, and as plainly expected.
    Variant unmoved = Variant::CreateArray({{1, 4}});
    unmoved[1] = Variant::ArrayOf({RangeMarker, "20261001", "20261031"});
    unmoved[2] = "20261015";
    unmoved[3] = "202610";
    unmoved[4] = "";
    Variant block = Variant::CreateArray({{1, 3}});
    block[1] = unmoved;
    block[2] = record;
    block[3] = r[4];
    EXPECT_TRUE(r[2].SameAs(ApplyDynamicDates(block, "20261215")));
    EXPECT_EQ(r[2][1][1].ToString(), "20261101");
    EXPECT_EQ(r[2][1][2].ToString(), "20261130");
    EXPECT_EQ(r[2][2].ToString(), "20261222");
    EXPECT_EQ(r[2][3].ToString(), "202611");

    // The server takes it: its check reads the same schedule and moves the dates alike.
    const TJobRequest job = CheckRequestShape(r);
    EXPECT_TRUE(job.Periodic);
    ASSERT_TRUE(job.Schedule.has_value());
    EXPECT_EQ(job.Schedule->UpcomingRuns("2026-12-07 07:00:00", 2),
              (std::vector<std::string>{"2026-12-15 08:05:00", "2027-01-15 08:05:00"}));
    Variant firstRun = ConditionsForRun(r, "20261215");
    EXPECT_EQ(firstRun[2].ToString(), "20261222");
}

// A hour-minute cycle runs from the start date itself; a report without date conditions sends
// an empty rule list.
TEST_F(BaseOptPeriodTest, HourMinuteCycleWithoutDateConditions) {
    TfrmKeltPeriodTest::dateFields = "edPrintDate";
    TfrmKeltPeriodTest* d = Open();
    nuv::SetYearMonthFields(*d, "");
    PressPeriod(d);
    EXPECT_EQ(d->cbocondition->Items()->Count(), 0);
    EXPECT_FALSE(d->gbDynamicFields->Enabled());
    d->rdoHourMin->SetChecked(true);
    d->meHour->SetText("1");
    d->meMin->SetText("5");
    ASSERT_TRUE(d->PrepareRequest()) << d->MessageRefs;
    EXPECT_EQ(d->FirstRunDate, "20261207");
    EXPECT_TRUE(d->Request[3][2].SameAs(CycleSpecHourMinute(1, 5)));
    EXPECT_TRUE(d->Request[4].SameAs(Variant::ArrayOf({0})));
}

// A date field that the request does not carry as a condition has nothing to move: its rule is
// left out, and the other conditions still move.
TEST_F(BaseOptPeriodTest, ARuleWithoutItsConditionIsLeftOut) {
    TfrmKeltPeriodTest::dateFields = "sp01,sp09,me02";
    TfrmKeltPeriodTest* d = OpenPeriodic();
    ASSERT_EQ(d->cbocondition->Items()->Count(), 4);
    EXPECT_EQ(d->cbocondition->Items()->Strings(1), "備用日期");
    d->me02->SetText("2026/10/15");
    d->cbocondition->SetItemIndex(2);
    d->cboconditionChange(d->cbocondition);
    d->edChangeDate->SetChecked(true);
    ASSERT_TRUE(d->PrepareRequest()) << d->MessageRefs;
    const Variant& rules = d->Request[4];
    ASSERT_EQ(rules[0].ToInt(), 3);
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(GetDelimitedField(rules[i].ToString(), Sep, 2), "sp09");
    EXPECT_EQ(d->Request[2][2].ToString(), "20261207") << "the single date moved to the run";
    EXPECT_NO_THROW(CheckRequestShape(d->Request));
}

// Pressing OK again after the server refused sends the same rules, not ones with a second
// position appended.
TEST_F(BaseOptPeriodTest, ARefusedRequestSentAgainCarriesTheSameRules) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->me02->SetText("2026/10/15");
    d->sp01->edBegin->SetText("2026/10/01");
    d->sp01->edFinal->SetText("2026/10/31");
    reply = "error";
    d->btnOk->Click();
    EXPECT_TRUE(Posted(d, "E;000013;the queue is full"));
    reply = "Job 8 accepted";
    d->btnOk->Click();
    const auto sent = Requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(sent[0].args[0].value[4].SameAs(sent[1].args[0].value[4]));
    EXPECT_EQ(d->RequestAccepted, 1);
}

// --- the system page shows the first run -------------------------------------------------------

TEST_F(BaseOptPeriodTest, TheSystemPageShowsTheFirstScheduledRun) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->rdoEveryWeek->SetChecked(true);
    d->cboDayofWeek->SetItemIndex(Friday);
    d->sePeriodHour->SetText("21");
    d->sePeriodMin->SetText("45");
    d->pgOption->SelectNextPage(false);
    ASSERT_EQ(d->pgOption->ActivePage(), d->tsOption2);
    EXPECT_EQ(d->edDate->Text(), "2026/12/11");
    EXPECT_EQ(d->edHour->Text(), "21");
    EXPECT_EQ(d->edMin->Text(), "45");
}

// --- the next runs -----------------------------------------------------------------------------

TEST_F(BaseOptPeriodTest, TheNextRunsFollowTheScheduleAsEntered) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->sePeriodHour->SetText("8");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2026/12/07 (一) 08:00", "2026/12/08 (二) 08:00",
                                                  "2026/12/09 (三) 08:00", "2026/12/10 (四) 08:00",
                                                  "2026/12/11 (五) 08:00"}));
    // A time already past today moves the first run to tomorrow, as the server will.
    d->sePeriodHour->SetText("6");
    EXPECT_EQ(Shown(d).front(), "2026/12/08 (二) 06:00");

    d->rdoEveryWeek->SetChecked(true);
    d->meWeek->SetText("2");
    d->cboDayofWeek->SetItemIndex(Friday);
    d->cboDayofWeek->OnChange(d->cboDayofWeek);
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2026/12/18 (五) 06:00", "2027/01/01 (五) 06:00",
                                                  "2027/01/15 (五) 06:00", "2027/01/29 (五) 06:00",
                                                  "2027/02/12 (五) 06:00"}));

    // The range ends first: the list says so.
    d->meCycleRang_2->SetText("2");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2026/12/18 (五) 06:00", "2027/01/01 (五) 06:00",
                                                  TfrmBaseOpt::NoFurtherRunsText}));
    d->meEndDate->SetText("2026/12/17");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{TfrmBaseOpt::NoFurtherRunsText}));

    // Every 1 h 30 min from 23:00.
    d->rbCycleRang_1->SetChecked(true);
    d->rdoHourMin->SetChecked(true);
    d->meHour->SetText("1");
    d->meMin->SetText("30");
    d->sePeriodHour->SetText("23");
    d->sePeriodMin->SetText("0");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2026/12/07 (一) 23:00", "2026/12/08 (二) 00:30",
                                                  "2026/12/08 (二) 02:00", "2026/12/08 (二) 03:30",
                                                  "2026/12/08 (二) 05:00"}));
}

// A day the month lacks becomes its last day; the last weekday counts back from the month's own
// last day, in months of 28, 29, 30 and 31 days.
TEST_F(BaseOptPeriodTest, ShortMonthsAndLastWeekdaysInTheNextRuns) {
    ScopedNow early(EncodeDateTime({2027, 1, 1, 0, 0}));
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->rdoEveryMonth->SetChecked(true);
    d->meMonth_D->SetText("31");
    d->meStartDate->SetText("2027/02/01");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2027/02/28 (日) 00:00", "2027/03/31 (三) 00:00",
                                                  "2027/04/30 (五) 00:00", "2027/05/31 (一) 00:00",
                                                  "2027/06/30 (三) 00:00"}));
    d->rdomonth_2->SetChecked(true);
    d->cbo1Month_M2->SetItemIndex(LastWeekdayOfMonth);
    d->cbo2Month_M2->SetItemIndex(Tuesday);
    d->meStartDate->SetText("2028/02/01");
    EXPECT_EQ(Shown(d), (std::vector<std::string>{"2028/02/29 (二) 00:00", "2028/03/28 (二) 00:00",
                                                  "2028/04/25 (二) 00:00", "2028/05/30 (二) 00:00",
                                                  "2028/06/27 (二) 00:00"}));
}

// --- bad input ---------------------------------------------------------------------------------

// Numbers typed beyond a field's range count as the range's end, also before the field is left;
// leaving a field applies its rule.
TEST_F(BaseOptPeriodTest, OutOfRangeNumbersAndTheExitRules) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    struct Case {
        const char* name;
        TSpinEdit* field;
        const char* typed;
        std::function<void()> leave;
        const char* shown;
    };
    const Case cases[] = {
        {"day 45", d->meMonth_D, "45", [&] { d->meMonth_DExit(d->meMonth_D); }, "31"},
        {"every 0 days", d->meDay, "0", [&] { d->meDayExit(d->meDay); }, "1"},
        {"emptied repetitions", d->meCycleRang_2, "", [&] { d->meDayExit(d->meCycleRang_2); }, "1"},
        {"emptied execution hour", d->sePeriodHour, "",
         [&] { d->sePeriodHourExit(d->sePeriodHour); }, "0"},
        {"emptied days of a rule", d->seDay_B2, "", [&] { d->seDay_B1Exit(d->seDay_B2); }, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.field->SetText(c.typed);
        c.leave();
        EXPECT_EQ(c.field->Text(), c.shown);
    }

    d->rdoEveryMonth->SetChecked(true);
    d->meMonth_D->SetText("45");
    d->BuildCycleSpec();
    EXPECT_TRUE(d->CycleSpec.SameAs(CycleSpecMonthlyOnDay("1", "31")));
    d->sePeriodHour->SetText("99");
    EXPECT_EQ(d->BuildScheduleRecord()[1].ToString(), "23:00");

    // An interval of no time becomes 30 minutes when the user leaves the minutes.
    d->rdoHourMin->SetChecked(true);
    d->meHour->SetText("0");
    d->meMin->SetFocus();
    DrainEvents();
    ASSERT_EQ(FocusedControl(), d->meMin);
    d->meMin->SetText("0");
    d->sePeriodHour->SetFocus();
    DrainEvents();
    EXPECT_EQ(d->meHour->Text(), "0");
    EXPECT_EQ(d->meMin->Text(), "30");
    EXPECT_EQ(Shown(d).front(), "2026/12/07 (一) 23:00") << "every 30 minutes from 23:00";
}

// Emptied counts stop OK at the required check; a start date that does not exist gets the date
// message; nothing goes to the server and the dialog stays usable.
TEST_F(BaseOptPeriodTest, EmptiedFieldsAndImpossibleDatesSendNothing) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->me02->SetText("2026/10/15");
    struct Case {
        const char* name;
        std::function<void()> spoil;
        const char* reference;
        const char* shown;
    };
    const Case cases[] = {
        // An emptied count raises no change: the list keeps its runs until the field is left.
        {"emptied day count", [&] { d->meDay->SetText(""); }, "E;000037", nullptr},
        {"emptied week count",
         [&] {
             d->rdoEveryWeek->SetChecked(true);
             d->meWeek->SetText("");
         },
         "E;000037", nullptr},
        {"30 February as the start", [&] { d->meStartDate->SetText("2027/02/30"); }, "E;000005",
         "請輸入正確的開始日期"},
        {"emptied start", [&] { d->meStartDate->SetText(""); }, "E;000037", "請輸入正確的開始日期"},
        {"31 April as the end", [&] { d->meEndDate->SetText("2027/04/31"); }, "E;000005",
         "請輸入正確的結束日期"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        d->rdoEveryday->SetChecked(true);
        d->rbCycleRang_1->SetChecked(true);
        d->meDay->SetText("1");
        d->meWeek->SetText("1");
        d->meStartDate->SetText("2026/12/07");
        d->MessageRefs.clear();
        c.spoil();
        if (c.shown != nullptr) {
            EXPECT_EQ(Shown(d), std::vector<std::string>{c.shown});
        }
        d->btnOk->Click();
        DrainEvents();
        EXPECT_TRUE(Posted(d, c.reference)) << d->MessageRefs;
        EXPECT_TRUE(Requests().empty());
        EXPECT_FALSE(ctl->IsDialogFreed());
    }
}

// An end before the start is refused on leaving the date (the page then stays) and at OK; in
// the month-first layout the dates compare as dates, not as texts.
TEST_F(BaseOptPeriodTest, AnEndBeforeTheStartIsRefused) {
    fakes.Host->Messages["E100082"] = "%s不可早於%s";
    struct Case {
        const char* name;
        const char* layout;
        const char* start;
        const char* end;
        bool refused;
    };
    const Case cases[] = {
        {"year first, a week early", "1", "2026/12/07", "2026/12/01", true},
        {"month first, next year", "2", "12/07/2026", "01/05/2027", false},
        {"month first, a day early", "2", "12/07/2026", "12/06/2026", true},
    };
    auto refusals = [this] {
        int n = 0;
        for (const auto& m : presenter.Messages())
            n += m.Text == "結束日期不可早於開始日期";
        return n;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.Host->Settings = {{"Sys001", c.layout}, {"Sys002", "/"}};
        presenter.Clear();
        TfrmKeltPeriodTest* d = OpenPeriodic();
        d->me02->SetText(c.layout[0] == '1' ? "2026/10/15" : "10/15/2026");
        d->meStartDate->SetText(c.start);
        d->meEndDate->SetText(c.end);
        ASSERT_TRUE(d->rbCycleRang_3->Checked());
        d->meEndDateExit(d->meEndDate);
        EXPECT_EQ(d->CheckFailed, c.refused);
        EXPECT_EQ(refusals(), c.refused ? 1 : 0);
        d->btnOk->Click();
        DrainEvents();
        EXPECT_EQ(refusals(), c.refused ? 2 : 0);
        EXPECT_EQ(Requests().size(), c.refused ? 0u : 1u);
        serverLog->clear();
        ctl.reset();
        FreeAllForms();
    }
}

// --- changing fields ---------------------------------------------------------------------------

TEST_F(BaseOptPeriodTest, ChangingFieldsEnableByRuleAndWriteBackOnlyWhenEdited) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    // The range: its two check boxes can be used; the rest opens with them.
    ASSERT_EQ(d->cbocondition->ItemIndex(), 0);
    EXPECT_TRUE(d->spChangeDate_B->Enabled());
    EXPECT_FALSE(d->seDay_B1->Enabled());
    d->spChangeDate_B->SetChecked(true);
    EXPECT_TRUE(d->seDay_B1->Enabled());
    EXPECT_TRUE(d->cboDay_B2->Enabled());
    EXPECT_TRUE(d->seDay_B2->Enabled());
    EXPECT_EQ(GetDelimitedField(d->DynamicEntries.Strings(0), Sep, 3), "Y");
    // The days count only for plus and minus.
    d->cboDay_B2->SetItemIndex(2);
    d->cboDay_B2Change(d->cboDay_B2);
    EXPECT_FALSE(d->seDay_B2->Enabled());
    // A value set without the user entering the field is not written back ...
    d->seDay_B1->SetText("3");
    EXPECT_EQ(GetDelimitedField(d->DynamicEntries.Strings(0), Sep, 4), "0");
    // ... one the user enters is.
    d->seDay_B1Enter(d->seDay_B1);
    d->seDay_B1->SetText("4");
    EXPECT_EQ(GetDelimitedField(d->DynamicEntries.Strings(0), Sep, 4), "4");
    EXPECT_EQ(GetDelimitedField(d->DynamicEntries.Strings(0), Sep, 6), "2");

    // The single date shows its own panel and its own (untouched) rule.
    d->cbocondition->SetItemIndex(1);
    d->cboconditionChange(d->cbocondition);
    EXPECT_TRUE(d->pnEdit->Visible());
    EXPECT_FALSE(d->pnSp->Visible());
    EXPECT_FALSE(d->edChangeDate->Checked());
    EXPECT_FALSE(d->seDay1->Enabled());
    EXPECT_FALSE(d->DynamicEditing);

    // The year-month value moves by months only: its count alone opens.
    d->cbocondition->SetItemIndex(2);
    d->cboconditionChange(d->cbocondition);
    d->edChangeDate->SetChecked(true);
    EXPECT_TRUE(d->seDay1->Enabled());
    EXPECT_FALSE(d->cboDay1->Enabled());
    EXPECT_FALSE(d->cboDay2->Enabled());
    EXPECT_FALSE(d->seDay2->Enabled());

    // Back on the range, its rule comes back as stored.
    d->cbocondition->SetItemIndex(0);
    d->cboconditionChange(d->cbocondition);
    EXPECT_TRUE(d->spChangeDate_B->Checked());
    EXPECT_EQ(d->seDay_B1->Text(), "4");
    EXPECT_EQ(d->cboDay_B2->ItemIndex(), 2);

    // Switching off and on keeps the cycle mode chosen and rebuilds the list.
    d->rdoEveryWeek->SetChecked(true);
    PressPeriod(d);
    PressPeriod(d);
    EXPECT_TRUE(d->rdoEveryWeek->Checked());
    EXPECT_TRUE(d->pnWeek->Visible());
    EXPECT_EQ(d->CycleRequiredFields, "meWeek,meStartDate");
    EXPECT_EQ(d->DynamicEntries.Count(), 3);
}

// --- pictures ----------------------------------------------------------------------------------

TEST_F(BaseOptPeriodTest, Screenshots) {
    TfrmKeltPeriodTest* d = OpenPeriodic();
    d->sePeriodHour->SetText("8");
    d->sePeriodMin->SetText("30");
    d->cbocondition->SetItemIndex(1);
    d->cboconditionChange(d->cbocondition);
    d->edChangeDate->SetChecked(true);
    d->seDay1->SetText("-1");
    d->cboDay1->SetItemIndex(1);
    d->cboDay2->SetItemIndex(2);
    d->cboDay2Change(d->cboDay2);
    const struct {
        const char* file;
        std::function<void()> choose;
    } modes[] = {
        {"forms-baseopt-period-daily.png", [&] { d->rdoEveryday->SetChecked(true); }},
        {"forms-baseopt-period-weekly.png",
         [&] {
             d->rdoEveryWeek->SetChecked(true);
             d->cboDayofWeek->SetItemIndex(Friday);
             d->meCycleRang_2->SetText("3");
         }},
        {"forms-baseopt-period-monthly-day.png",
         [&] {
             d->rdoEveryMonth->SetChecked(true);
             d->meMonth_D->SetText("31");
             d->meEndDate->SetText("2027/03/31");
         }},
        {"forms-baseopt-period-monthly-weekday.png",
         [&] {
             d->rdomonth_2->SetChecked(true);
             d->cbo1Month_M2->SetItemIndex(LastWeekdayOfMonth);
             d->cbo2Month_M2->SetItemIndex(Friday);
             d->rbCycleRang_1->SetChecked(true);
         }},
        {"forms-baseopt-period-hourminute.png",
         [&] {
             d->rdoHourMin->SetChecked(true);
             d->meHour->SetText("1");
             d->meMin->SetText("30");
         }},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE(m.file);
        m.choose();
        d->ShowNextRuns();
        DrainEvents();
        const std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + m.file;
        EXPECT_TRUE(GrabForm(d, path));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
}
