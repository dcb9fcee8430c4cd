// The road of a request from a real dialog to the application server, through both branches of
// the dialog's ConnectServer: the client configuration naming "127.0.0.1" creates the server
// class in-process, any other address opens the socket connection to a reportcounterd that the
// test starts on a free loopback port. Either way the request the dialog built becomes a job in
// the queue, the daemon runs it and the run writes its output.
#include "ServerFixture.h"

#include "controls/SelectPnl.h"
#include "fakes/FakeServices.h"
#include "forms/BaseGene.h"
#include "platform/SystemServices.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "support/HostObjects.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

// The request block's panel values (runtime/RequestBlock.h), declared here: that header's
// marker constants share their names with the server's.
namespace nuv {
bool AddSelectPanelData(TSelectPanel* Panel, Variant& Data, int Index);
}

using namespace nuv;
using namespace nuv::test;

namespace {

// A report dialog of module KEL with one condition, an item range, that names its server as
// the run-options level does.
class TfrmKeltRoad : public TfrmBaseGene {
public:
    explicit TfrmKeltRoad(TComponent* AOwner) : TfrmBaseGene(AOwner) {
        SetName("frmKelt58");
        items = new TSelectPanel(this);
        items->SetName("sp04");
        items->SetParent(tsOption1);
        items->SetBounds(12, 12, 300, 60);
        items->SetCaption("選擇品號");
    }
    void DefineProgram() override {
        TfrmBaseGene::DefineProgram();
        SetConditionCount(1);
    }
    void AfterConnect(TSocketConnection& Connection) override {
        TfrmBaseGene::AfterConnect(Connection);
        Connection.ServerName = ReportServerName;
    }
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override {
        if (!TfrmBaseGene::CollectConditionText(Texts, Count))
            return false;
        Texts[1] = Variant::ArrayOf({items->Caption(), items->Name()});
        return true;
    }
    bool CollectConditionData(Variant& Data, std::int32_t Count) override {
        return TfrmBaseGene::CollectConditionData(Data, Count) &&
               AddSelectPanelData(items, Data, 1);
    }
    TSelectPanel* items = nullptr;
};

class DialogServerRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0); }
    void SetUp() override {
        SetModuleFileNameOverride(install.Base() + "Kelt58C.so");
        previous = frmBaseGeneClass;
        frmBaseGeneClass = DialogClassOf<TfrmKeltRoad>;
        fakes.Host->Validate = [](bool, const std::string& table, const std::string&,
                                  const Variant&, Variant& row) {
            row = Variant::ArrayOf({"客戶別品號出貨排程表", "", "", "", "R"});
            return table == "ADMMB";
        };
    }
    void TearDown() override {
        ctl.reset();
        FreeAllForms();
        frmBaseGeneClass = previous;
        SetModuleFileNameOverride("");
    }

    // Opens a dialog of user MARY against the server the client configuration names.
    TfrmKeltRoad* Open(const std::string& address, int port) {
        install.WriteClientIni("[Server Information]\r\nComputerName=" + address +
                               "\r\nServerPort=" + std::to_string(port) + "\r\n");
        ctl.reset(NewController());
        ctl->Manager = fakes.NewManager();
        if (ctl->OpenDialog(Variant::ArrayOf({"MARY", "NUV01", "DEMO", 0, Variant()})) != 0)
            return nullptr;
        return dynamic_cast<TfrmKeltRoad*>(static_cast<TDLLRPCtrller*>(ctl.get())->Form);
    }

    Installation install;
    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    ScopedEnv acp{"NUV_ACP", "950"};
    TfrmBaseGeneClass previous = nullptr;
    std::unique_ptr<TDLLBaseController> ctl;
};

TEST_F(DialogServerRoad, BothBranchesOfConnectServerCarryTheDialogsRequestToARun) {
    Daemon daemon;
    const struct {
        const char* name;
        const char* address;
        bool local;
    } branches[] = {{"in-process", "127.0.0.1", true}, {"TCP", "localhost", false}};
    for (const auto& b : branches) {
        SCOPED_TRACE(b.name);
        TfrmKeltRoad* d = Open(b.address, daemon.Port());
        ASSERT_NE(d, nullptr) << "messages: "
                              << (presenter.Messages().empty() ? std::string()
                                                               : presenter.Messages().back().Text);
        EXPECT_EQ(d->LocalServer, b.local);
        EXPECT_EQ(d->MainMidas.Connected(), !b.local);
        ASSERT_TRUE(IsObjectAssigned(d->ServerObject));

        d->items->edBegin->SetText("A001");
        d->items->edFinal->SetText("A002");
        ASSERT_TRUE(d->PrepareRequest());
        const std::string reply = ServerRequest(d->ServerObject, d->Request);
        ASSERT_EQ(reply.rfind("Job ", 0), 0u) << reply << ServerErrorDescript(d->ServerObject);
        const std::int64_t id = std::stoll(reply.substr(4));

        const auto runs = WaitForRun(install.QueueFile(), id);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].Status, RunDone) << runs[0].Message;
        const std::string output = ReadFile(runs[0].Output);
        EXPECT_NE(output.find("Requested by MARY"), std::string::npos) << output;
        EXPECT_NE(output.find("選擇品號 [sp04]"), std::string::npos) << output;
        EXPECT_NE(output.find("Items selected: 2"), std::string::npos) << output;

        // Closing the dialog lets go of the connection.
        d->Close();
        DrainEvents();
        EXPECT_TRUE(ctl->IsDialogFreed());
    }
    EXPECT_EQ(daemon.Stop(), 0);
}

// A server that is not there: the connection gives up within its time limit, the dialog says
// "E;000006", answers -1 and closes itself.
TEST_F(DialogServerRoad, AServerThatIsNotThereFailsTheInitialisation) {
    int port = 0;
    {
        Daemon daemon;
        port = daemon.Port();
    } // stopped: nothing listens on the port now
    EXPECT_EQ(Open("localhost", port), nullptr);
    bool reported = false;
    for (const auto& m : presenter.Messages())
        reported = reported || m.Text.find("000006") != std::string::npos;
    EXPECT_TRUE(reported);
    DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
}

} // namespace
