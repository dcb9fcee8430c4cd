// The base parameter dialog as the controller drives it: a small descendant registered as the
// controller's dialog class, the host's objects doubled (FakeServices), a real client
// configuration in a temporary installation, and the scripted dialog presenter.
#include "KeltTestDialog.h"

#include "controls/SelectPnl.h"
#include "fakes/DialogScene.h"
#include "fakes/FakeServices.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
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

class BaseGeneTest : public ::testing::Test, protected TDialogScene<TfrmKeltTest> {
protected:
    void SetUp() override {
        fakes.Host->Validate = ProgramRowOnly([] {
            return Variant::ArrayOf({"庫存異動表", "", "", "", "R"});
        });
        Install("[Server Information]\nComputerName=10.0.0.1\nServerPort=211\n");
        ctl.reset(NewController());
        ctl->Manager = fakes.NewManager();
    }
    void TearDown() override { Close(); }

    void Install(const std::string& ini) { WriteClientIni(ini); }

    static Variant Init(int elements) {
        std::vector<Variant> v = {"NU", "SD01", "DS01", Variant(4711), Variant::MakeNull()};
        v.resize(static_cast<std::size_t>(elements));
        return Variant::ArrayOf(v);
    }
    bool Shown(const std::string& id) const {
        for (const auto& m : presenter.Messages())
            if (m.Text.find(id) != std::string::npos)
                return true;
        return false;
    }

    ScopedEnv acp{"NUV_ACP", "950"};
    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
};

} // namespace

TEST_F(BaseGeneTest, OpensHiddenWithItsIdentityAndOnlyOnce) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(d->ProgramCode, "KELT58");
    EXPECT_EQ(d->ProgramName, "庫存異動表");
    EXPECT_EQ(d->ServerClassName, "KELT58S.Class1");
    EXPECT_EQ(d->HostWindow, 4711);
    EXPECT_EQ(d->MainMidas.Address, "10.0.0.1");
    EXPECT_TRUE(presenter.Messages().empty());

    Variant identity;
    ASSERT_EQ(ctl->GetIdentity(identity), 0);
    EXPECT_EQ(identity[1].ToString(), "SD01");
    EXPECT_EQ(identity[2].ToString(), "KELT58");

    // A second initialisation is refused and changes nothing.
    EXPECT_EQ(ctl->OpenDialog(Variant::ArrayOf({"XX", "YY", "ZZ", Variant(1), Variant()})), -1);
    EXPECT_EQ(d->UserCode, "NU");
    EXPECT_EQ(d->CompanyCode, "SD01");
    EXPECT_EQ(d->HostWindow, 4711);
}

// Short and malformed initialisation arrays: reported, never a crash.
TEST_F(BaseGeneTest, InitialisationArraysOfEveryShape) {
    struct Case {
        const char* name;
        Variant param;
        int result;
        HWND hostWindow;
        bool noOptionsReported;
    };
    Variant twoD = Variant::CreateArray({{0, 4}, {0, 1}});
    Variant lowOne = Variant::CreateArray({{1, 5}});
    const Case cases[] = {
        {"four elements", Init(4), 0, 4711, true},
        {"three elements", Init(3), 0, 0, true},
        {"two elements", Init(2), -1, 0, true},
        {"Null", Variant::MakeNull(), -1, 0, true},
        {"a scalar", Variant("NU"), -1, 0, true},
        {"two-dimensional", twoD, -1, 0, true},
        {"lower bound 1, no element 0", lowOne, -1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.Clear();
        ctl.reset(NewController());
        ctl->Manager = fakes.NewManager();
        EXPECT_EQ(ctl->OpenDialog(c.param), c.result);
        ASSERT_NE(Dialog(), nullptr);
        EXPECT_EQ(Dialog()->HostWindow, c.hostWindow);
        EXPECT_EQ(Shown("000038"), c.noOptionsReported);
        if (c.result != 0) {
            EXPECT_NE(Dialog()->MessageRefs.find("E;-1"), std::string::npos)
                << "the failure is queued for the user";
        }
        ctl.reset();
    }
}

TEST_F(BaseGeneTest, AFormOfAnotherModuleClosesItselfButInitialises) {
    frmBaseGeneClass = DialogClassOf<TfrmBaseGene>; // "frmBaseGene" is not of module KEL
    std::vector<int> notes;
    ctl->OnNotify = {[](void* data, std::int32_t code, TDLLBaseController*) {
                         static_cast<std::vector<int>*>(data)->push_back(code);
                     },
                     &notes};
    EXPECT_EQ(ctl->OpenDialog(Init(5)), 0);
    EXPECT_TRUE(Shown("000036"));
    DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(notes.back(), 304);
}

TEST_F(BaseGeneTest, NoServerConfiguredFailsAndClosesTheDialog) {
    Install("[Server Information]\nComputerName= ;\n");
    EXPECT_EQ(ctl->OpenDialog(Init(5)), -1);
    EXPECT_TRUE(Shown("000006"));
    DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
}

TEST_F(BaseGeneTest, TheRequestHeaderNamesProgramIdentityAndServer) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    Variant header = Variant::CreateArray({{1, 9}});
    ASSERT_TRUE(Dialog()->FillRequestHeader(header, 9));
    EXPECT_EQ(header[1].ToString(), "KELT58");
    EXPECT_EQ(header[2].ToInt(), 9);
    EXPECT_EQ(header[3].ToInt(), 1) << "the print date's entry of the base";
    EXPECT_EQ(header[4].ToString(), "SD01");
    EXPECT_EQ(header[5].ToString(), "NU");
    EXPECT_EQ(header[6].ToString(), "DS01");
    EXPECT_GT(header[7].ToDouble(), 40000.0);
    EXPECT_EQ(header[8].ToString(), "KELT58S.Class1");
    EXPECT_EQ(header[9].ToString(), "R");
}

TEST(BaseGeneHelp, TopicFromTheProgramCode) {
    struct Case {
        const char* code;
        const char* topic;
    };
    const Case cases[] = {
        {"ABCR12", "12120000"},
        {"ABCB07", "13070000"},
        {"ABCAR5", "62R50000"},
        {"ABCMB9", "83B90000"},
        {"ABCX12", ""},
        {"ABCAX1", ""},
        {"AB", ""},
    };
    for (const Case& c : cases) {
        std::string module;
        EXPECT_EQ(TfrmBaseGene::HelpTopic(c.code, module), c.topic) << c.code;
        if (*c.topic != '\0') {
            EXPECT_EQ(module, "ABC");
        }
    }
}

// Host values: run mode 0 shows the dialog; run mode 2 with values presses OK unseen and
// records the success message instead of showing it.
TEST_F(BaseGeneTest, HostValuesShowOrRunUnattended) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    auto values = [](int runMode) {
        Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"Note", "ed11"})});
        Variant data = Variant::ArrayOf({"hello"});
        return Variant::ArrayOf(
            {Variant(runMode), Variant::ArrayOf({Variant(true), Variant::ArrayOf({pairs, data})})});
    };
    EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({Variant(), values(0)})), 0);
    EXPECT_TRUE(d->Visible());
    EXPECT_EQ(d->okPresses, 0);
    EXPECT_TRUE(d->NormalMessages);
    EXPECT_EQ(d->edit->Text(), "hello");

    d->SetVisible(false);
    EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({Variant(), values(2)})), 0);
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(d->okPresses, 1);
    EXPECT_TRUE(d->AutoRun);
    EXPECT_FALSE(d->NormalMessages);
}

// Keys on the shown dialog: Enter in a memo, Ctrl+arrows between pages, Ctrl+Alt+I.
TEST_F(BaseGeneTest, KeysOnTheShownDialog) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    d->Show();
    DrainEvents();
    d->memo->SetFocus();
    DrainEvents();
    ASSERT_EQ(FocusedControl(), d->memo);

    // Enter on lines 1 and 2 of a memo adds a line; from line 3 on it leaves the memo.
    PressKey(VK_RETURN, {}, "\r");
    PressKey(VK_RETURN, {}, "\r");
    EXPECT_EQ(d->memo->Lines()->Count(), 3);
    EXPECT_EQ(FocusedControl(), d->memo);
    PressKey(VK_RETURN, {}, "\r");
    DrainEvents();
    EXPECT_EQ(FocusedControl(), d->edit);

    // Enter on a listed control goes to the next page, except on the last page.
    d->PageEndControls.emplace_back(d->edit);
    PressKey(VK_RETURN, {}, "\r");
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption2);
    DrainEvents();
    d->edPrintDate->SetFocus();
    DrainEvents();
    d->PageEndControls.emplace_back(d->edPrintDate);
    PressKey(VK_RETURN, {}, "\r");
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption2);
    d->PageEndControls.clear();

    PressKey(VK_LEFT, {ssCtrl});
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption1);
    PressKey(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(d->pgOption->ActivePage(), d->tsOption2);

    d->LastF2Call = "INVMB-01";
    PressKey('I', {ssCtrl, ssAlt});
    ASSERT_FALSE(presenter.Boxes().empty());
    EXPECT_NE(presenter.Boxes().back().Text.find("F2Window   : INVMB-01"), std::string::npos);
}

TEST_F(BaseGeneTest, APageChangeWaitsForTheActiveFieldsCheck) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    d->edit->OnExit = TNotifyEvent([d](TObject*) { d->CheckFailed = true; });
    d->Show();
    DrainEvents();
    d->edit->SetFocus();
    DrainEvents();
    bool allow = true;
    d->pgOptionChanging(d->pgOption, allow);
    EXPECT_FALSE(allow);
}

// The dialog on both pages, as a user sees it.
TEST_F(BaseGeneTest, Screenshots) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    d->Show();
    DrainEvents();
    for (auto [page, name] : {std::pair{d->tsOption1, "forms-basegene-page1.png"},
                              std::pair{d->tsOption2, "forms-basegene-page2.png"}}) {
        d->pgOption->SetActivePage(page);
        DrainEvents();
        const std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + name;
        EXPECT_TRUE(GrabForm(d, path));
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
    }
    EXPECT_TRUE(d->SystemPageReady);
    EXPECT_EQ(d->edPrintDate->Left(), 60);
}

// Answers of the F2 window written into the parts of a selection panel.
TEST_F(BaseGeneTest, LookupAnswersFillTheSelectionPanel) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    auto row = [](const char* code, const char* name) { return Variant::ArrayOf({code, name}); };
    struct Case {
        const char* name;
        bool list;
        bool useDiscard;
        Variant answer;
        int rows;         // list: rows added
        const char* text; // range: the edit's text; list with UseDiscard: the first row
    };
    const Case cases[] = {
        {"three rows", true, false, Variant::ArrayOf({row("A", "a"), row("B", "b"), row("C", "c")}),
         3, ""},
        {"a scalar among the rows is skipped", true, false,
         Variant::ArrayOf({row("A", "a"), "x", row("C", "c")}), 2, ""},
        {"joined rows", true, true, Variant::ArrayOf({row("A", "B")}), 1, "A-B"},
        {"single answer [[code, name]]", false, false, Variant::ArrayOf({row("A001", "Bolt")}), 0,
         "A001"},
        {"joined single answer", false, true, Variant::ArrayOf({"A", "B"}), 0, "A-B"},
        {"nothing chosen", false, false, Variant(), 0, "keep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        d->panel->ListBox->ClearItems();
        d->panel->edBegin->SetText("keep");
        d->panel->SetUseDiscard(c.useDiscard);
        d->panel->SetDiscard("-");
        fakes.Host->F2Answer = c.answer;
        TControl* target = c.list ? static_cast<TControl*>(d->panel->ListBox)
                                  : static_cast<TControl*>(d->panel->edBegin);
        d->LookupForControl(target, "INVMB", "", Variant(), "01");
        EXPECT_EQ(d->LastF2Call, "INVMB-01");
        if (c.list) {
            EXPECT_EQ(d->panel->ListBox->Items()->Count(), c.rows);
            if (*c.text != '\0') {
                EXPECT_EQ(d->panel->ListBox->Items()->Item(0)->Caption(), c.text);
            }
        } else {
            EXPECT_EQ(d->panel->edBegin->Text(), c.text);
        }
    }
    // The F2 window gets its 12 arguments; MultiSelect only for the list.
    const auto calls = fakes.CallsOf("F2GetData");
    ASSERT_EQ(calls.size(), std::size(cases));
    const Variant& args = calls.front().args[0].value;
    EXPECT_EQ(args.ArrayHighBound(), 11);
    EXPECT_EQ(args[0].ToString(), "INVMB");
    EXPECT_TRUE(args[3].ToBool());
    EXPECT_EQ(args[5].ToString(), "SD01");
    EXPECT_EQ(args[6].ToString(), "DS01");
    EXPECT_FALSE(calls.back().args[0].value[3].ToBool());

    // Only a panel's parts take look-ups.
    presenter.Clear();
    d->LookupForControl(d->edit, "INVMB", "", Variant(), "01");
    ASSERT_EQ(presenter.Boxes().size(), 1u);
    EXPECT_NE(presenter.Boxes()[0].Text.find("TSelectPanel"), std::string::npos);
}

// The quick-date window starts on an eight-character date, otherwise on today; without the
// window the typed date stays.
TEST_F(BaseGeneTest, QuickDateStartsOnAFullDateElseToday) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    fakes.Host->InputDayAnswer = "20240229";
    ScopedNow clock(EncodeDateTime({2025, 7, 4, 10, 30}));
    std::string result;
    d->PickDate("20240131", result);
    d->PickDate("12345", result);
    const auto calls = fakes.CallsOf("ShowInputDay");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args[0].value[1].ToString(), "20240131");
    EXPECT_EQ(calls[1].args[0].value[1].ToString(), "20250704");
    EXPECT_EQ(calls[0].args[0].value[2].ToString(), "DS01");
    EXPECT_EQ(result, "2024/02/29");

    d->InputDay = Variant();
    d->PickDate("2024/01/31", result);
    EXPECT_EQ(result, "2024/01/31");
}

// F1 asks the Manager for the program's help topic; a program whose kind letter has no help
// asks nothing.
TEST_F(BaseGeneTest, F1OpensTheProgramsHelpTopicOnly) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    d->Show();
    DrainEvents();
    d->ProgramCode = "KELR58";
    PressKey(VK_F1, {});
    d->ProgramCode = "KELT58"; // kind letter T: no help
    PressKey(VK_F1, {});
    const auto calls = fakes.CallsOf("CallHelp");
    ASSERT_EQ(calls.size(), 1u);
    const Variant& topic = calls[0].args[0].value;
    EXPECT_EQ(topic[0].ToString(), "KEL");
    EXPECT_EQ(topic[1].ToString(), "12580000");
}

// The shown dialog starts in the first control of its first page, and FocusControl follows
// every focus change, so that an error message gives the focus back to the control the user
// was in.
TEST_F(BaseGeneTest, FocusControlFollowsTheFocus) {
    ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
    TfrmKeltTest* d = Dialog();
    d->Show();
    DrainEvents();
    EXPECT_EQ(FocusedControl(), d->memo) << "the first page's first control";
    EXPECT_EQ(d->TBaseGeneState::FocusControl.Get(), d->memo);
    for (TWinControl* c : {static_cast<TWinControl*>(d->edit), static_cast<TWinControl*>(d->memo),
                           static_cast<TWinControl*>(d->panel->edBegin)}) {
        c->SetFocus();
        DrainEvents();
        ASSERT_EQ(FocusedControl(), c);
        EXPECT_EQ(d->TBaseGeneState::FocusControl.Get(), c) << c->Name();
    }
}

// Host value blocks of every shape: never a crash; only a block with applicable values and a
// run mode other than 0 presses OK unseen, anything else shows the dialog or leaves it be.
TEST_F(BaseGeneTest, HostValuesOfEveryShape) {
    Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"Note", "ed11"})});
    Variant values = Variant::ArrayOf({pairs, Variant::ArrayOf({"x"})});
    struct Case {
        const char* name;
        Variant block;
        bool visible;
        int okPresses;
    };
    const Case cases[] = {
        {"Null", Variant::MakeNull(), false, 0},
        {"a scalar", Variant(2), false, 0},
        {"an empty array", Variant::CreateArray({{0, -1}}), false, 0},
        {"run mode only", Variant::ArrayOf({2}), true, 0},
        {"values not an array", Variant::ArrayOf({2, "x"}), true, 0},
        {"two-dimensional values", Variant::ArrayOf({2, Variant::CreateArray({{0, 1}, {0, 1}})}),
         true, 0},
        {"by position: nothing applied", Variant::ArrayOf({2, Variant::ArrayOf({false, values})}),
         true, 0},
        {"unknown component",
         Variant::ArrayOf(
             {2,
              Variant::ArrayOf(
                  {true, Variant::ArrayOf({Variant::ArrayOf({Variant::ArrayOf({"?", "nothere"})}),
                                           Variant::ArrayOf({"x"})})})}),
         true, 0},
        {"applicable values, run mode 1", Variant::ArrayOf({1, Variant::ArrayOf({true, values})}),
         false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctl.reset(NewController());
        ctl->Manager = fakes.NewManager();
        ASSERT_EQ(ctl->OpenDialog(Init(5)), 0);
        EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({Variant(), c.block})), 0);
        EXPECT_EQ(Dialog()->Visible(), c.visible);
        EXPECT_EQ(Dialog()->okPresses, c.okPresses);
        ctl.reset();
        DrainEvents();
    }
}
