// A test host: loads the test build of the plug-in library with dlopen, finds its exports,
// registers the test dialog class through the test build's hook and drives the controller
// through GetController, exactly as a host program does. The library holds its own copy of the
// platform layer; the test dialog lives in this program's copy, and the library reaches it
// only through the dialog's virtual operations.
#include "TestDialog.h"

#include "plugin/DLLRPCtrller.h"
#include "plugin/DialogClassHook.h"
#include "uitest/UiTestSupport.h"

#include <nuv/DLLBaseCtrller.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace nuv;
using nuv::test::SetDialogClassName;
using nuv::test::TSetDialogClassFunc;
using nuv::test::TTestDialog;

namespace {

// The loaded library and its two exports; loaded once, kept for the life of the process.
struct PluginLibrary {
    void* handle = nullptr;
    TGetControllerFunc getController = nullptr;
    TSetDialogClassFunc setDialogClass = nullptr;

    static PluginLibrary& Get() {
        static PluginLibrary lib;
        return lib;
    }

private:
    PluginLibrary() {
        handle = dlopen(NUV_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            throw std::runtime_error(std::string("cannot load the plug-in: ") + dlerror());
        getController = reinterpret_cast<TGetControllerFunc>(dlsym(handle, GetControllerName));
        setDialogClass = reinterpret_cast<TSetDialogClassFunc>(dlsym(handle, SetDialogClassName));
    }
};

std::vector<std::string>& Log() {
    return TTestDialog::Log();
}

class ControllerThroughExport : public ::testing::Test {
protected:
    PluginLibrary& lib = PluginLibrary::Get();
    TDLLBaseController* ctl = nullptr;
    TfrmBaseGeneClass previousClass = nullptr;
    nuv::test::ScriptedPresenter presenter;
    nuv::test::ScopedPresenter scopedPresenter{presenter};
    // Runs inside the host's notification handler, after the code was logged.
    std::function<void(std::int32_t)> onNotify;

    void SetUp() override {
        ASSERT_NE(lib.getController, nullptr);
        ASSERT_NE(lib.setDialogClass, nullptr);
        Log().clear();
        previousClass = lib.setDialogClass(&DialogClassOf<TTestDialog>);
        ctl = lib.getController();
        ctl->OnNotify = TDLLNotifyEvent::Bind<&ControllerThroughExport::Notified>(this);
    }

    void TearDown() override {
        delete ctl;
        nuv::test::DrainEvents(); // released dialogs go now
        EXPECT_EQ(TTestDialog::Live(), nullptr) << "a dialog outlived its controller";
        lib.setDialogClass(previousClass);
    }

    void Notified(std::int32_t code, TDLLBaseController* sender) {
        EXPECT_EQ(sender, ctl) << "notification " << code;
        Log().push_back("notify " + std::to_string(code));
        if (onNotify)
            onNotify(code);
    }

    TTestDialog* Open() {
        EXPECT_EQ(ctl->OpenDialog(nuv::test::InitArray()), 0);
        return TTestDialog::Live();
    }

    // The log from the given entry on.
    static std::vector<std::string> LogFrom(std::size_t start) {
        return {Log().begin() + static_cast<std::ptrdiff_t>(std::min(start, Log().size())),
                Log().end()};
    }
};

using Lines = std::vector<std::string>;

// The library's start-up block has put in the report dialog before any host call: the class
// the test replaced was there already.
TEST_F(ControllerThroughExport, TheStartUpBlockRegistersTheReportDialog) {
    EXPECT_NE(previousClass, nullptr);
    EXPECT_NE(previousClass, &DialogClassOf<TTestDialog>);
}

TEST_F(ControllerThroughExport, LifecycleNotifiesInOrderAfterTheDialogsOwnHandlers) {
    ASSERT_TRUE(ctl->IsDialogFreed());
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Log(), (Lines{"dialog created", "notify 256"}));
    EXPECT_FALSE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->GetVisible(), LongFalse) << "an opened dialog stays hidden";
    ASSERT_EQ(dialog->InitParams.size(), 1u);
    EXPECT_TRUE(dialog->InitParams[0].SameAs(nuv::test::InitArray()))
        << "the array goes on unchanged";

    Log().clear();
    ctl->SetVisible(WordTrue);
    EXPECT_EQ(ctl->GetVisible(), LongTrue);
    ctl->SetVisible(WordFalse);
    EXPECT_EQ(ctl->GetVisible(), LongFalse);
    ctl->SetVisible(1); // any non-zero value shows
    EXPECT_EQ(ctl->GetVisible(), LongTrue);
    EXPECT_EQ(Log(), (Lines{"dialog OnShow", "notify 272", "dialog OnHide", "notify 288",
                            "dialog OnShow", "notify 272"}));

    // The dialog closes itself (close action "free"): it is hidden, then destroyed.
    Log().clear();
    dialog->Close();
    nuv::test::DrainEvents();
    EXPECT_EQ(Log(), (Lines{"dialog OnHide", "notify 288", "dialog OnDestroy", "notify 304"}));
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(TTestDialog::Live(), nullptr);
    EXPECT_EQ(ctl->ResultCode, 0);
    EXPECT_TRUE(ctl->ResultValue.IsEmpty());

    // Back to a controller without dialog: a new one can be opened.
    Log().clear();
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Log(), (Lines{"dialog created", "notify 256"}));
}

TEST_F(ControllerThroughExport, AnUnattendedRunHandsTheResultToTheHost) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    std::int32_t codeAtNotify = -1;
    Variant valueAtNotify;
    onNotify = [&](std::int32_t code) {
        if (code == ncDialogDestroy) {
            codeAtNotify = ctl->ResultCode;
            valueAtNotify = ctl->ResultValue;
        }
    };
    const Variant pairs = Variant::ArrayOf({Variant::ArrayOf({"Item", "sp01"})});
    const Variant values = Variant::ArrayOf({"A001"});
    const Variant block =
        Variant::ArrayOf({2, Variant::ArrayOf({true, Variant::ArrayOf({pairs, values})})});

    EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({"ignored", block})), 0);
    ASSERT_EQ(dialog->HostValues.size(), 1u);
    const Variant& handed = dialog->HostValues[0];
    ASSERT_EQ(handed.ArrayCount(), 2);
    EXPECT_TRUE(handed[0].SameAs(Variant(true)));
    EXPECT_TRUE(handed[1].SameAs(block));

    nuv::test::DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->ResultCode, 1);
    EXPECT_EQ(ctl->ResultValue.ToString(), "Job 17 queued");
    EXPECT_EQ(codeAtNotify, 1) << "the result is taken before 304";
    EXPECT_EQ(valueAtNotify.ToString(), "Job 17 queued");
    EXPECT_EQ(Log().back(), "notify 304");
}

TEST_F(ControllerThroughExport, ManagerIsCopiedIntoTheNewDialog) {
    ctl->Manager = "the host's manager";
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Manager.ToString(), "the host's manager");
}

TEST_F(ControllerThroughExport, ApplyValuesTakesOnlyArrays) {
    struct Case {
        const char* label;
        Variant param;
        std::int32_t expected;
    };
    const Variant block = Variant::ArrayOf({0, Variant::MakeNull()});
    const Case cases[] = {
        {"Null", Variant::MakeNull(), -1},
        {"unassigned", Variant(), -1},
        {"integer", Variant(5), -1},
        {"text", Variant("values"), -1},
        {"array without element 1", Variant::ArrayOf({0}), -1},
        {"host value array", Variant::ArrayOf({0, block}), 0},
    };
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        dialog->HostValues.clear();
        EXPECT_EQ(ctl->ApplyValues(c.param), c.expected);
        EXPECT_EQ(dialog->HostValues.size(), c.expected == 0 ? 1u : 0u);
    }
    dialog->ApplyFailure = true;
    EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({0, block})), -1) << "a failure is swallowed";
}

TEST_F(ControllerThroughExport, ExecuteCommandHandsOverOnlyWithCodesFiveAndNine) {
    const Variant param = Variant::ArrayOf({0, Variant::ArrayOf({0, Variant::MakeNull()})});
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (std::int32_t code : {4, 5, 6, 9, 10}) {
        SCOPED_TRACE(code);
        dialog->HostValues.clear();
        const bool takes = code == 5 || code == 9;
        EXPECT_EQ(ctl->ExecuteCommand(code, 0xDEADBEEF, param), takes ? 0 : -1);
        ASSERT_EQ(dialog->HostValues.size(), takes ? 1u : 0u);
        if (takes) {
            EXPECT_TRUE(dialog->HostValues[0].SameAs(param)) << "Param itself, not rewrapped";
        }
    }
    dialog->ApplyFailure = true;
    EXPECT_EQ(ctl->ExecuteCommand(9, 0, param), -1) << "a failure is swallowed";
}

TEST_F(ControllerThroughExport, WithoutADialogEveryOperationGivesItsNeutralValue) {
    Variant info = "kept";
    EXPECT_EQ(ctl->GetVersion(), u"");
    EXPECT_EQ(ctl->GetVisible(), LongFalse);
    ctl->SetVisible(WordTrue);
    EXPECT_EQ(ctl->GetWindowHandle(), 0);
    EXPECT_EQ(ctl->ApplyValues(Variant::ArrayOf({0, 1})), -1);
    EXPECT_EQ(ctl->ExecuteCommand(5, 0, Variant::ArrayOf({0, 1})), -1);
    Variant modal = ctl->ShowDialogModal();
    EXPECT_EQ(modal.Type(), VarType::Integer);
    EXPECT_EQ(modal.ToInt(), 2);
    ctl->FreeDialog();
    EXPECT_EQ(ctl->GetIdentity(info), -1);
    EXPECT_EQ(info.ToString(), "kept");
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_TRUE(Log().empty());
}

TEST_F(ControllerThroughExport, IdentityHasFourElementsEvenWhenEmpty) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Variant info;
    ASSERT_EQ(ctl->GetIdentity(info), 0);
    ASSERT_EQ(info.ArrayDimCount(), 1);
    EXPECT_EQ(info.ArrayLowBound(), 0);
    EXPECT_EQ(info.ArrayHighBound(), 3);
    EXPECT_EQ(info[0].ToString(), "NU");
    EXPECT_EQ(info[1].ToString(), "SDTest");
    EXPECT_EQ(info[2].ToString(), "KELT58");
    EXPECT_EQ(info[3].ToString(), "Stock movement report");

    dialog->UserCode.clear();
    dialog->ProgramName.clear();
    info = Variant::ArrayOf({1, 2, 3, 4, 5, 6});
    ASSERT_EQ(ctl->GetIdentity(info), 0);
    EXPECT_EQ(info.ArrayHighBound(), 3) << "a fresh array replaces what Info held";
    EXPECT_TRUE(info[0].SameAs(Variant("")));
    EXPECT_TRUE(info[3].SameAs(Variant("")));
}

TEST_F(ControllerThroughExport, VersionAndHandleComeFromTheDialog) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ctl->GetVersion(), u"870401-0.00.00");
    dialog->VersionText = "版本 1.2 \xF0\x9F\x93\x84";
    EXPECT_EQ(ctl->GetVersion(), u"版本 1.2 \U0001F4C4");
    const HWND handle = ctl->GetWindowHandle();
    EXPECT_NE(handle, 0);
    EXPECT_EQ(handle, dialog->Handle());
}

TEST_F(ControllerThroughExport, ShowingAMinimisedDialogRestoresIt) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    dialog->SetWindowState(wsMinimized);
    ctl->SetVisible(WordTrue);
    EXPECT_EQ(dialog->WindowState(), wsNormal);
    EXPECT_TRUE(dialog->Visible());
    EXPECT_TRUE(dialog->Active());
}

TEST_F(ControllerThroughExport, ShowingBringsTheDialogToTheForeground) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ctl->SetVisible(WordTrue);
    TForm* other = CreateForm<TForm>(nullptr);
    struct FreeForm {
        TForm* form;
        ~FreeForm() { form->Free(); }
    } freeOther{other};
    other->Show();
    SetForegroundWindow(other->Handle());
    nuv::test::DrainEvents();
    ASSERT_TRUE(other->Active());
    ASSERT_FALSE(dialog->Active());

    ctl->SetVisible(WordTrue);
    nuv::test::DrainEvents();
    EXPECT_TRUE(dialog->Active());
}

TEST_F(ControllerThroughExport, ASecondOpenChangesNothing) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Log().clear();
    EXPECT_EQ(ctl->OpenDialog(nuv::test::InitArray()), -1) << "the dialog is initialised already";
    EXPECT_EQ(TTestDialog::Live(), dialog);
    EXPECT_EQ(dialog->InitParams.size(), 2u) << "InitDialog decides, not the controller";
    EXPECT_TRUE(Log().empty()) << "no second 256";

    // Each handler still chains to the dialog's own one, once.
    ctl->SetVisible(WordTrue);
    dialog->Free();
    EXPECT_EQ(Log(), (Lines{"dialog OnShow", "notify 272", "dialog OnHide", "notify 288",
                            "dialog OnDestroy", "notify 304"}));
}

TEST_F(ControllerThroughExport, AFailedInitialisationLeavesTheDialogAlive) {
    lib.setDialogClass([](TComponent* owner) -> TBaseGeneDialog* {
        TTestDialog* d = CreateForm<TTestDialog>(owner);
        d->InitResult = false;
        return d;
    });
    EXPECT_EQ(ctl->OpenDialog(nuv::test::InitArray()), -1);
    EXPECT_FALSE(ctl->IsDialogFreed());
    EXPECT_NE(TTestDialog::Live(), nullptr);
}

TEST_F(ControllerThroughExport, FreeDialogDestroysOnceAndAllowsANewDialog) {
    ASSERT_NE(Open(), nullptr);
    Log().clear();
    ctl->FreeDialog();
    ctl->FreeDialog();
    EXPECT_EQ(Log(), (Lines{"dialog OnDestroy", "notify 304"}));
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(TTestDialog::Live(), nullptr);
    ASSERT_NE(Open(), nullptr);
}

TEST_F(ControllerThroughExport, ModalShowAnswersTheModalResult) {
    ASSERT_NE(Open(), nullptr);
    Log().clear();
    presenter.OnModalForm([](TCustomForm& f) { f.SetModalResult(mrOk); });
    Variant result = ctl->ShowDialogModal();
    EXPECT_EQ(result.Type(), VarType::Integer);
    EXPECT_EQ(result.ToInt(), mrOk);
    EXPECT_EQ(Log(), (Lines{"dialog OnShow", "notify 272", "dialog OnHide", "notify 288"}));

    // Closed modally (its close action is "free"): the dialog goes once the loop runs.
    presenter.OnModalForm([](TCustomForm& f) { f.Close(); });
    EXPECT_EQ(ctl->ShowDialogModal().ToInt(), mrCancel);
    nuv::test::DrainEvents();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(Log().back(), "notify 304");
}

TEST_F(ControllerThroughExport, FreeingTheControllerFreesTheOpenDialogFirst) {
    ASSERT_NE(Open(), nullptr);
    ctl->SetVisible(WordTrue);
    Log().clear();
    delete ctl;
    ctl = nullptr;
    EXPECT_EQ(Log(), (Lines{"dialog OnHide", "notify 288", "dialog OnDestroy", "notify 304"}));
    EXPECT_EQ(TTestDialog::Live(), nullptr);
}

TEST_F(ControllerThroughExport, WithoutOnNotifyNotificationsAreDropped) {
    ctl->OnNotify = {};
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ctl->SetVisible(WordTrue);
    ctl->SetVisible(WordFalse);
    ctl->NotifyExtra();
    ctl->FreeDialog();
    EXPECT_EQ(Log(),
              (Lines{"dialog created", "dialog OnShow", "dialog OnHide", "dialog OnDestroy"}));
    EXPECT_TRUE(ctl->IsDialogFreed());
}

TEST_F(ControllerThroughExport, OnlyTheHostRaisesTheExtraNotification) {
    ctl->NotifyExtra();
    ctl->Reserved();
    EXPECT_EQ(Log(), (Lines{"notify 320"}));
}

TEST_F(ControllerThroughExport, OpeningWithoutADialogClassRaisesTheInternalError) {
    lib.setDialogClass(nullptr);
    try {
        ctl->OpenDialog(nuv::test::InitArray());
        FAIL() << "no exception";
    } catch (const nuv::Exception& e) {
        EXPECT_STREQ(e.what(), "NUV DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
    }
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_TRUE(Log().empty()) << "no dialog, no notification";
}

TEST_F(ControllerThroughExport, TheDialogIsForgottenEvenWhenItsOwnDestroyHandlerRaises) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    dialog->DestroyFailure = true;
    dialog->Free();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(TTestDialog::Live(), nullptr);
}

// --- hosts that free things from inside their notification handler -------------------------

TEST_F(ControllerThroughExport, HostMayFreeTheControllerWhenTheDialogIsDestroyed) {
    TTestDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    onNotify = [&](std::int32_t code) {
        if (code == ncDialogDestroy) {
            delete ctl;
            ctl = nullptr;
        }
    };
    dialog->Close();
    nuv::test::DrainEvents();
    EXPECT_EQ(ctl, nullptr);
    EXPECT_EQ(Log().back(), "notify 304");
    EXPECT_EQ(TTestDialog::Live(), nullptr);
}

TEST_F(ControllerThroughExport, HostMayFreeTheControllerWhileFreeDialogRuns) {
    ASSERT_NE(Open(), nullptr);
    onNotify = [&](std::int32_t code) {
        if (code == ncDialogDestroy) {
            delete ctl;
            ctl = nullptr;
        }
    };
    ctl->FreeDialog();
    EXPECT_EQ(ctl, nullptr);
    EXPECT_EQ(TTestDialog::Live(), nullptr);
}

TEST_F(ControllerThroughExport, HostMayFreeTheDialogOrControllerWhenItIsCreated) {
    onNotify = [&](std::int32_t code) {
        if (code == ncDialogCreated)
            ctl->FreeDialog();
    };
    EXPECT_EQ(ctl->OpenDialog(nuv::test::InitArray()), -1);
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(TTestDialog::Live(), nullptr);

    TDLLBaseController* doomed = ctl;
    onNotify = [&](std::int32_t code) {
        if (code == ncDialogCreated) {
            delete ctl;
            ctl = nullptr;
        }
    };
    EXPECT_EQ(doomed->OpenDialog(nuv::test::InitArray()), -1);
    EXPECT_EQ(ctl, nullptr);
    EXPECT_EQ(TTestDialog::Live(), nullptr);
}

TEST_F(ControllerThroughExport, AHandlerRaisingAtCreationStillLeavesTheDialogHooked) {
    onNotify = [](std::int32_t code) {
        if (code == ncDialogCreated)
            throw std::runtime_error("host handler failed");
    };
    EXPECT_THROW(ctl->OpenDialog(nuv::test::InitArray()), std::runtime_error);
    ASSERT_NE(TTestDialog::Live(), nullptr);
    onNotify = nullptr;
    // The dialog frees itself later; the controller must learn of it.
    TTestDialog::Live()->Free();
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(Log().back(), "notify 304");
}

} // namespace
