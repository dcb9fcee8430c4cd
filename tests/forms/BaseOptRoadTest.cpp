// The whole road of a request from a run-options dialog: opened through the controller, filled
// in, OK, the real application server ("ReportCounterS.dmReportCounter": in-process for the
// local address, over TCP to a reportcounterd the test starts), the job in the server's queue,
// the dialog closed and the host told (notification 304, ResultCode 1, the reply).
#include "forms/BaseOpt.h"

#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "platform/WireFormat.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "server/ServerFixture.h"
#include "uitest/UiTestSupport.h"

#include "SqliteJobStore.h"

#include <gtest/gtest.h>

#include <QCborValue>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace nuv;
using namespace nuv::test;

namespace {

class TfrmRoadTest : public TfrmBaseOpt {
public:
    explicit TfrmRoadTest(TComponent* AOwner) : TfrmBaseOpt(AOwner) { SetName("frmKelt58"); }
};

// Client and server installed in one temporary folder: the registry names both paths and the
// server library; TarvelC.ini says where the server is, TarvelS.ini where its files are.
class BaseOptRoadTest : public ::testing::Test, protected TDialogScene<TfrmRoadTest> {
protected:
    void SetUp() override {
        fakes.Host->Validate = ProgramRowOnly([] {
            return Variant::ArrayOf({"客戶別品號出貨排程表", "KEL", "R", "1", "N"});
        });
        fakes.Host->Messages = {{"I000004", "報表請求已送出：%s"},
                                {"E000013", "伺服器拒絕報表請求：%s"}};
        base = dir / "App/";
        std::filesystem::create_directories(base + "Data");
        CreateErpFixture(base + "Data/erp.db");
        dir.Write("App/TarvelS.ini", "[DBPasswordCtrl]\r\nServerPort=0\r\n"
                                     "[ReportCounter]\r\nErpDatabase=" +
                                         base + "Data/erp.db\r\n");
        // The scene's registry file, rewritten: both paths and the server library.
        dir.Write("registry.reg",
                  "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\NUV\\Tarvel]\r\n"
                  "\"ClientPath\"=\"" +
                      base + "\"\r\n\"ServerPath\"=\"" + base +
                      "\"\r\n\r\n[HKEY_CLASSES_ROOT\\ReportCounterS.dmReportCounter\\"
                      "InprocServer32]\r\n@=\"" NUV_REPORTCOUNTER_LIBRARY "\"\r\n");
    }
    void TearDown() override { Close(); }

    void ClientConfig(const std::string& address, int port) {
        WriteClientIni("[Server Information]\r\nComputerName=" + address +
                       "\r\nServerPort=" + std::to_string(port) + "\r\n");
    }

    TfrmRoadTest* Open(const std::string& user) {
        return OpenController(
            fakes.NewManager(),
            Variant::ArrayOf({user, "NUV01", "DEMO", Variant(0), Variant::MakeNull()}));
    }

    // A job sent from a shown dialog, at a given time or (periodic) every day from a start;
    // the dialog's answer, the host's notification and the job in the queue.
    void RunTheRoad(bool periodic) {
        TfrmRoadTest* d = Open("MARY");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->UserGroup, "SALES1") << "the rights come from the server";
        EXPECT_TRUE(d->F2Flag1);
        EXPECT_FALSE(d->F2Flag2);
        d->Show();
        DrainEvents();
        d->chkAlarm->SetChecked(true);
        if (periodic) {
            ClickAt(d->btnPeriod, 10, 10);
            DrainEvents();
            ASSERT_TRUE(d->btnPeriod->Down());
            d->sePeriodHour->SetText("8");
            d->sePeriodMin->SetText("5");
            d->meStartDate->SetText("2030/01/15");
            d->rbCycleRang_2->SetChecked(true);
            d->meCycleRang_2->SetText("3");
        } else {
            d->pgOption->SetActivePage(d->tsOption2);
            d->rdoExceptTime->SetChecked(true);
            d->edDate->SetText("2030/01/15");
            d->edHour->SetText("8");
            d->edMin->SetText("5");
        }
        d->btnOk->Click();

        ASSERT_EQ(presenter.Messages().size(), 1u);
        const std::string shown = presenter.Messages()[0].Text;
        EXPECT_EQ(shown.rfind("報表請求已送出：Job ", 0), 0u) << shown;
        DrainEvents();
        ASSERT_TRUE(ctl->IsDialogFreed());
        EXPECT_EQ(notes.back(), 304);
        EXPECT_EQ(ctl->ResultCode, 1);
        const std::string reply = Variant(ctl->ResultValue).ToString();
        EXPECT_EQ(reply.rfind("Job ", 0), 0u) << reply;

        TSqliteJobStore store(base + "Data/ReportQueue.db");
        const auto jobs = store.ListJobs();
        ASSERT_EQ(jobs.size(), 1u);
        const TJobRecord& job = jobs[0];
        EXPECT_EQ(reply.rfind("Job " + std::to_string(job.Id) + " accepted", 0), 0u);
        EXPECT_EQ(job.Program, "KELT58");
        EXPECT_EQ(job.UserCode, "MARY");
        EXPECT_EQ(job.RunMode, 2);
        EXPECT_EQ(job.NotifyMode, 2);
        EXPECT_EQ(job.Periodic, periodic);
        EXPECT_EQ(job.NextRun.substr(0, 16), "2030-01-15 08:05") << job.NextRun;
        if (periodic) {
            EXPECT_NE(job.Schedule.find("every day at 08:05"), std::string::npos) << job.Schedule;
        }
        const Variant stored = CborToVariant(QCborValue::fromCbor(
            QByteArray(job.Request.data(), static_cast<qsizetype>(job.Request.size()))));
        ASSERT_EQ(stored.ArrayHighBound(), periodic ? 4 : 2);
        EXPECT_EQ(stored[0][9].ToString(), periodic ? "r" : "R");
        EXPECT_EQ(stored[0][12].ToInt(), 2);
        EXPECT_EQ(stored[1][1][1].ToString(), "edPrintDate");
    }

    std::string base;
    ScopedEnv acp{"NUV_ACP", "950"};
    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
};

} // namespace

TEST_F(BaseOptRoadTest, InProcessServerStoresTheJobAndTheDialogCloses) {
    ClientConfig("127.0.0.1", 211);
    RunTheRoad(false);
}

TEST_F(BaseOptRoadTest, InProcessServerStoresThePeriodicJobWithItsSchedule) {
    ClientConfig("127.0.0.1", 211);
    RunTheRoad(true);
}

// A refusal travels back as the server's reason; the dialog stays open for the user.
TEST_F(BaseOptRoadTest, InProcessServerRefusesAnInactiveUser) {
    ClientConfig("127.0.0.1", 211);
    TfrmRoadTest* d = Open("OLD");
    ASSERT_NE(d, nullptr);
    d->btnOk->Click();
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_NE(presenter.Messages()[0].Text.find("no longer active"), std::string::npos)
        << presenter.Messages()[0].Text;
    DrainEvents();
    EXPECT_FALSE(ctl->IsDialogFreed());
    EXPECT_EQ(d->RequestAccepted, 0);
    EXPECT_TRUE(TSqliteJobStore(base + "Data/ReportQueue.db").ListJobs().empty());
}

TEST_F(BaseOptRoadTest, TcpServerStoresTheJobAndTheDialogCloses) {
    Daemon daemon;
    ClientConfig("localhost", daemon.Port());
    RunTheRoad(false);
}

TEST_F(BaseOptRoadTest, TcpServerStoresThePeriodicJobWithItsSchedule) {
    Daemon daemon;
    ClientConfig("localhost", daemon.Port());
    RunTheRoad(true);
}

// The server goes away after the dialog connected: OK reports the failure with its reason and
// the dialog stays open, nothing accepted.
TEST_F(BaseOptRoadTest, AServerThatWentAwayLeavesTheDialogOpen) {
    std::optional<Daemon> daemon(std::in_place);
    ClientConfig("localhost", daemon->Port());
    TfrmRoadTest* d = Open("MARY");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->UserGroup, "SALES1");
    daemon.reset();
    d->btnOk->Click();
    ASSERT_EQ(presenter.Messages().size(), 1u);
    const std::string shown = presenter.Messages()[0].Text;
    EXPECT_EQ(shown.rfind("伺服器拒絕報表請求：", 0), 0u) << shown;
    EXPECT_GT(shown.size(), std::string("伺服器拒絕報表請求：").size()) << "with the reason";
    DrainEvents();
    EXPECT_FALSE(ctl->IsDialogFreed());
    EXPECT_EQ(d->RequestAccepted, 0);
}
