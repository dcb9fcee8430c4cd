// The base dialog on the host's road: a host program loads a test build of Kelt58C.so with
// dlopen, hands over its Manager (FakeServices, living in the host) and its own window, and
// drives the dialog through the exported controller only. The library keeps its copy of the
// platform layer to itself, so everything here crosses the module boundary as a host's would.
#include "fakes/FakeServices.h"
#include "platform/TestFiles.h"
#include "uitest/UiTestSupport.h"

#include <nuv/DLLBaseCtrller.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <dlfcn.h>

#include <memory>
#include <set>

using namespace nuv;
using namespace nuv::test;

namespace {

// The host's main window: counts how often it is painted.
class HostWindow : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TGetControllerFunc LoadModule() {
    static void* lib = dlopen(KELT_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
    return lib != nullptr ? reinterpret_cast<TGetControllerFunc>(dlsym(lib, GetControllerName))
                          : nullptr;
}

class BaseGeneHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0); }
    void SetUp() override {
        fakes.Host->Validate = [](bool, const std::string& table, const std::string&,
                                  const Variant&, Variant& row) {
            row = Variant::ArrayOf({"庫存異動表", "", "", "", "R"});
            return table == "ADMMB";
        };
        dir.Write("App/TarvelC.ini", "[Server Information]\nComputerName=10.0.0.1\n");
        get = LoadModule();
        ASSERT_NE(get, nullptr) << dlerror();
        host.setWindowTitle("host");
        host.resize(320, 200);
        host.show();
        DrainEvents();
    }
    void TearDown() override {
        ctl.reset();
        DrainEvents();
    }

    // Opens the dialog with the host's window handle (0: none) and shows it; the dialog's
    // top-level window as Qt knows it.
    QWidget* OpenAndShow(std::int32_t hostWindow) {
        const auto before = QApplication::topLevelWidgets();
        ctl.reset(get());
        ctl->Manager = fakes.NewManager();
        if (ctl->OpenDialog(
                Variant::ArrayOf({"NU", "SD01", "DS01", hostWindow, Variant::MakeNull()})) != 0)
            return nullptr;
        ctl->SetVisible(WordTrue);
        DrainEvents();
        const std::set<QWidget*> old(before.begin(), before.end());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!old.count(w) && w->isVisible())
                return w;
        return nullptr;
    }

    TempDir dir;
    ScopedEnv registry{
        "NUV_REGISTRY",
        dir.Write("registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n"
                                  "\"ClientPath\"=\"" +
                                      dir / "App" + "\"\n")};
    ScopedEnv acp{"NUV_ACP", "950"};
    FakeServices fakes;
    HostWindow host;
    TGetControllerFunc get = nullptr;
    std::unique_ptr<TDLLBaseController> ctl;
};

TEST_F(BaseGeneHost, TheDialogKnowsItsProgramFromTheLibrarysFileName) {
    ASSERT_NE(OpenAndShow(0), nullptr);
    OleVariant identity;
    ASSERT_EQ(ctl->GetIdentity(identity), 0);
    EXPECT_EQ(identity[2].ToString(), "KELT58");
    EXPECT_EQ(identity[3].ToString(), "庫存異動表") << "from the host's Validator";
    EXPECT_EQ(fakes.CallsOf("CheckValue").size(), 1u);
}

// Moving or resizing the dialog repaints the host's window at once (the host handed its
// native window id); with no window handed over nothing of the host is repainted.
TEST_F(BaseGeneHost, MovingOrResizingTheDialogRepaintsTheHostWindow) {
    for (bool withHandle : {true, false}) {
        SCOPED_TRACE(withHandle ? "with the host's window" : "without a window");
        QWidget* dialog = OpenAndShow(withHandle ? static_cast<std::int32_t>(host.winId()) : 0);
        ASSERT_NE(dialog, nullptr);

        // The user moves and resizes the dialog: the window system moves its window.
        QWindow* window = dialog->windowHandle();
        ASSERT_NE(window, nullptr);
        host.paints = 0;
        window->setPosition(window->position() + QPoint(24, 16));
        DrainEvents();
        const int afterMove = host.paints;
        window->resize(window->size() + QSize(40, 20));
        DrainEvents();
        if (withHandle) {
            EXPECT_GE(afterMove, 1) << "moving";
            EXPECT_GT(host.paints, afterMove) << "resizing";
        } else {
            EXPECT_EQ(host.paints, 0);
        }
        ctl->FreeDialog();
        DrainEvents();
        EXPECT_TRUE(ctl->IsDialogFreed());
    }
}

} // namespace
