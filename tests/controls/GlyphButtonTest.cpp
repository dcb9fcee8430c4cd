// Glyph speed buttons and look-up buttons: glyph numbers and frames, the glyph library's
// search order, the binding of a look-up button to its edit and the look-up request.
#include "controls/F2Button.h"
#include "controls/GSpdBtn.h"
#include "controls/GlyphLib.h"
#include "platform/SystemServices.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include "ButtonsFixture.h"

#include <cstdlib>

using namespace nuv;
using namespace nuv::test;

#ifdef NUV_PEMTAL_PATH
// Every test of this binary finds the Pemtal.so that was built with it, as a host finds the
// one installed beside the plug-in.
static const bool pemtalFromBuild = [] { return setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0) == 0; }();
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// The glyph library

class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old, had_ = true;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentVariable() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(PemtalSearch, EnvironmentThenModuleThenExecutableThenDefault) {
    EnvironmentVariable env("NUV_PEMTAL", "/srv/glyphs/Pemtal-test.so");
    SetModuleFileNameOverride("/opt/nuv/lib/Kelt58C.so");
    std::vector<std::string> paths = PemtalSearchPaths();
    SetModuleFileNameOverride("");
    std::string exeDir = GetExecutablePath().substr(0, GetExecutablePath().rfind('/') + 1);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/srv/glyphs/Pemtal-test.so", "/opt/nuv/lib/Pemtal.so",
                                        exeDir + "Pemtal.so", "Pemtal.so"}));
}

TEST(PemtalSearch, AnEmptyVariableIsNoCandidate) {
    EnvironmentVariable env("NUV_PEMTAL", "");
    SetModuleFileNameOverride("/opt/nuv/lib/Kelt58C.so");
    std::vector<std::string> paths = PemtalSearchPaths();
    SetModuleFileNameOverride("");
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), "/opt/nuv/lib/Pemtal.so");
}

#ifdef NUV_PEMTAL_PATH
TEST(PemtalLibrary, TheFirstCandidateThatOpensWins) {
    TPemtalLibrary lib({"/nonexistent/Pemtal.so", NUV_PEMTAL_PATH, "Pemtal.so"});
    ASSERT_TRUE(lib.Loaded());
    EXPECT_EQ(lib.Path(), NUV_PEMTAL_PATH);
    EXPECT_GE(lib.GetMaxBmpID(), 96);
    TBitmap bmp;
    ASSERT_TRUE(lib.LoadBmp(&bmp, 4));
    EXPECT_EQ(bmp.Width(), 32);
    EXPECT_EQ(bmp.Height(), 16);
    EXPECT_FALSE(lib.LoadBmp(&bmp, lib.GetMaxBmpID() + 1));
    EXPECT_EQ(bmp.Width(), 32) << "a failed load leaves the bitmap as it was";
}
#endif

TEST(PemtalLibrary, NoLibraryMeansNoGlyphs) {
    TPemtalLibrary lib({"/nonexistent/Pemtal.so"});
    EXPECT_FALSE(lib.Loaded());
    EXPECT_EQ(lib.Path(), "");
    EXPECT_EQ(lib.GetMaxBmpID(), 0);
    TBitmap bmp;
    EXPECT_FALSE(lib.LoadBmp(&bmp, 8));
    EXPECT_TRUE(bmp.Empty());
}

TEST(GlyphPixels, TransparentPixelsGetTheKeyColourAndOpaqueOnesStay) {
    // An opaque black pixel must survive drawing with the transparent colour left out, even
    // though the library's transparent pixels are black with alpha 0.
    const std::uint32_t px[] = {0x00000000, 0xFF000000, 0x80123456, 0xFFFFFFFF};
    TBitmap bmp;
    LoadGlyphPixels(&bmp, 2, 2, px);
    EXPECT_TRUE(bmp.Transparent());
    EXPECT_EQ(bmp.TransparentColor(), GlyphTransparentColor);
    TCanvas* c = bmp.Canvas();
    EXPECT_EQ(c->Pixel(0, 0), GlyphTransparentColor);
    EXPECT_EQ(c->Pixel(1, 0), clBlack);
    EXPECT_EQ(c->Pixel(0, 1) & 0xFFFFFF, RGB(0x12, 0x34, 0x56));
}

// ---------------------------------------------------------------------------------------------
// TGSpeedButton

class GlyphButton : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        glyphs.maxId = 90;
        glyphs.sizes = {{8, {16, 16}}, {4, {32, 16}}, {12, {46, 23}}, {13, {20, 16}}};
    }
    FakeGlyphSource glyphs;
    ScopedGlyphSource scoped{glyphs};
    ScriptedPresenter presenter;
    ScopedPresenter scopedPresenter{presenter};
};

struct GlyphCase {
    const char* name;
    int index;
    std::string caption;
    int width;
    int frames;
};

class GlyphNumbers : public GlyphButton, public ::testing::WithParamInterface<GlyphCase> {};

TEST_P(GlyphNumbers, SetTheGlyphOrShowTheNumber) {
    const GlyphCase& c = GetParam();
    auto* b = Make<TPanel>(form, "pnl", 0, 0, 100, 40);
    auto* btn = new TGSpeedButton(form);
    btn->SetParent(b);
    btn->SetGlyphIndex(8);
    btn->SetGlyphIndex(c.index);
    EXPECT_EQ(btn->GlyphIndex(), c.index);
    EXPECT_EQ(btn->Caption(), c.caption);
    EXPECT_EQ(btn->Glyph()->Width(), c.width);
    EXPECT_EQ(btn->NumGlyphs(), c.frames);
    EXPECT_TRUE(presenter.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    GlyphButton, GlyphNumbers,
    ::testing::Values(GlyphCase{"ZeroClearsTheGlyph", 0, "0", 0, 1},
                      GlyphCase{"AboveTheHighestClearsTheGlyph", 91, "91", 0, 1},
                      GlyphCase{"TwoFramesSideBySide", 4, "", 32, 2},
                      GlyphCase{"FramesAsWideAsTheBitmapIsHigh", 12, "", 46, 2},
                      GlyphCase{"AWidthThatIsNoMultipleGivesOneFrame", 13, "", 20, 1},
                      GlyphCase{"AGlyphTheLibraryRefusesKeepsTheOldPicture", 50, "50", 16, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GlyphButton, DefaultsAndTheSameNumberAgainLoadsNothing) {
    auto* btn = new TGSpeedButton(form);
    EXPECT_EQ(btn->GlyphIndex(), 0);
    EXPECT_EQ(btn->HintIndex(), 0);
    EXPECT_TRUE(btn->Flat());
    btn->SetGlyphIndex(8);
    btn->SetGlyphIndex(8);
    EXPECT_EQ(glyphs.loads, std::vector<int>{8});
}

TEST_F(GlyphButton, AnUnreadableGlyphShowsTheErrorAndKeepsTheNumber) {
    glyphs.throwIndex = 9;
    auto* btn = new TGSpeedButton(form);
    btn->SetGlyphIndex(8);
    btn->SetGlyphIndex(9);
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_EQ(presenter.Messages()[0].Text, "讀取 BMP 發生錯誤");
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
    EXPECT_EQ(presenter.Messages()[0].Buttons, TMsgDlgButtons{mbOK});
    EXPECT_EQ(btn->GlyphIndex(), 9);
    EXPECT_EQ(btn->Caption(), "9");
    EXPECT_EQ(btn->Glyph()->Width(), 16) << "the picture of glyph 8 stays";
}

TEST_F(GlyphButton, WithoutTheLibraryTheButtonsShowTheirNumbers) {
    TPemtalLibrary missing({"/nonexistent/Pemtal.so"});
    ScopedGlyphSource none(missing);
    auto* f2 = new TF2Button(form);
    auto* btn = new TGSpeedButton(form);
    btn->SetGlyphIndex(47);
    EXPECT_EQ(f2->Caption(), "8");
    EXPECT_EQ(btn->Caption(), "47");
    EXPECT_TRUE(btn->Glyph()->Empty());
    EXPECT_TRUE(presenter.Messages().empty()) << "a missing library is no error per button";
}

TEST_F(GlyphButton, PublishedByName) {
    auto* btn = new TF2Button(form);
    SetOrdPropByName(btn, "GlyphIndex", 4);
    SetOrdPropByName(btn, "HintIndex", 7);
    SetOrdPropByName(btn, "Gap", 5);
    EXPECT_EQ(btn->GlyphIndex(), 4);
    EXPECT_EQ(btn->HintIndex(), 7);
    EXPECT_EQ(btn->Gap(), 5);
    EXPECT_EQ(GetPropTypeName(btn, "F2Control"), "TWinControl");
    EXPECT_EQ(GetOrdPropByName(btn, "AutoAlign"), 1);
    EXPECT_TRUE(HasProperty(btn, "Glyph"));
}

#ifdef NUV_PEMTAL_PATH
struct PemtalGlyph {
    int index;
    int frames;
};

class PemtalGlyphs : public ControlsTest, public ::testing::WithParamInterface<PemtalGlyph> {};

TEST_P(PemtalGlyphs, ButtonsTakeTheLibrarysFrames) {
    TPemtalLibrary lib({NUV_PEMTAL_PATH});
    ScopedGlyphSource scoped(lib);
    auto* btn = new TGSpeedButton(form);
    btn->SetGlyphIndex(GetParam().index);
    EXPECT_EQ(btn->Caption(), "");
    EXPECT_EQ(btn->Glyph()->Height(), 16);
    EXPECT_EQ(btn->NumGlyphs(), GetParam().frames);
    EXPECT_EQ(btn->Glyph()->Width(), 16 * GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(GlyphButton, PemtalGlyphs,
                         ::testing::Values(PemtalGlyph{4, 2}, PemtalGlyph{8, 1}, PemtalGlyph{9, 1},
                                           PemtalGlyph{11, 1}, PemtalGlyph{47, 1},
                                           PemtalGlyph{60, 1}, PemtalGlyph{68, 1}),
                         [](const auto& info) {
                             return "Glyph" + std::to_string(info.param.index);
                         });
#endif

// ---------------------------------------------------------------------------------------------
// TF2Button

// A dialog that records the look-up requests it receives.
class LookupForm : public TForm {
public:
    explicit LookupForm(TComponent* owner) : TForm(owner) { SetBounds(100, 100, 400, 200); }
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_F2LOOKUP) {
            requests.push_back({m.WParam, reinterpret_cast<TControl*>(m.LParam)});
            focusedAtRequest = test::FocusedControl();
            m.Result = 1;
            return;
        }
        TForm::WndProc(m);
    }
    std::vector<std::pair<WPARAM, TControl*>> requests;
    TWinControl* focusedAtRequest = nullptr;
};

class F2Button : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = CreateForm<LookupForm>(nullptr);
        other = new TEdit(dialog);
        other->SetName("ed01");
        other->SetParent(dialog);
        other->SetBounds(8, 40, 100, 24);
        me01 = new TEdit(dialog);
        me01->SetName("me01");
        me01->SetParent(dialog);
        me01->SetBounds(159, 6, 102, 24);
        btn = new TF2Button(dialog);
        btn->SetParent(dialog);
        dialog->SetActiveControl(other);
    }
    void TearDown() override { FreeAllForms(); }
    void Show() {
        dialog->Show();
        DrainEvents();
    }

    FakeGlyphSource glyphs;
    ScopedGlyphSource scoped{glyphs};
    ScriptedPresenter presenter;
    ScopedPresenter scopedPresenter{presenter};
    LookupForm* dialog = nullptr;
    TEdit* other = nullptr;
    TEdit* me01 = nullptr;
    TF2Button* btn = nullptr;
};

TEST_F(F2Button, Defaults) {
    EXPECT_TRUE(btn->AutoAlign());
    EXPECT_EQ(btn->Gap(), 2);
    EXPECT_EQ(btn->GlyphIndex(), 8);
    EXPECT_TRUE(btn->Flat());
    EXPECT_EQ(btn->F2Control(), nullptr);
}

TEST_F(F2Button, BindingPlacesTheButtonSquareBesideTheEdit) {
    btn->SetBounds(0, 0, 23, 23);
    btn->SetF2Control(me01);
    EXPECT_EQ(btn->BoundsRect(), Bounds(263, 6, 24, 24));
    btn->SetGap(10);
    EXPECT_EQ(btn->Left(), 271);
    btn->SetAutoAlign(false);
    me01->SetBounds(20, 50, 80, 30);
    btn->SetGap(2);
    EXPECT_EQ(btn->BoundsRect(), Bounds(271, 6, 24, 24)) << "without AutoAlign the button stays";
    btn->SetAutoAlign(true);
    EXPECT_EQ(btn->BoundsRect(), Bounds(102, 50, 30, 30));
}

TEST_F(F2Button, PressingFocusesTheEditAndAsksTheDialogForALookup) {
    btn->SetF2Control(me01);
    std::vector<std::string> order;
    btn->OnClick = TNotifyEvent([&](TObject*) {
        order.push_back(dialog->requests.empty() ? "click before request" : "click after request");
    });
    Show();
    ASSERT_EQ(FocusedControl(), other);
    ClickAt(btn, 5, 5);
    ASSERT_EQ(dialog->requests.size(), 1u);
    EXPECT_EQ(dialog->requests[0].first, 0u);
    EXPECT_EQ(dialog->requests[0].second, me01);
    EXPECT_EQ(dialog->focusedAtRequest, me01);
    EXPECT_EQ(order, std::vector<std::string>{"click before request"});
}

TEST_F(F2Button, NoRequestForAControlThatCannotTakeTheFocus) {
    btn->SetF2Control(me01);
    int clicks = 0;
    btn->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    Show();
    me01->SetEnabled(false);
    btn->Click();
    me01->SetEnabled(true);
    me01->SetVisible(false);
    btn->Click();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(dialog->requests.empty());
    EXPECT_EQ(FocusedControl(), other);
}

TEST_F(F2Button, WithoutAControlOnlyOnClickRuns) {
    int clicks = 0;
    btn->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
    Show();
    btn->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(dialog->requests.empty());
}

TEST_F(F2Button, ASecondButtonForTheSameEditIsRefused) {
    btn->SetF2Control(me01);
    auto* second = new TF2Button(dialog);
    second->SetParent(dialog);
    second->SetF2Control(me01);
    EXPECT_EQ(second->F2Control(), nullptr);
    ASSERT_EQ(presenter.Messages().size(), 1u);
    EXPECT_EQ(presenter.Messages()[0].Text, "不能同時有兩個 F2Button 指到同一個 Edit.");
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
    EXPECT_EQ(presenter.Messages()[0].Buttons, TMsgDlgButtons{mbOK});
    // The second button may still serve another control.
    second->SetF2Control(other);
    EXPECT_EQ(second->F2Control(), other);
}

TEST_F(F2Button, BindingTheSameEditAgainChangesNothingAndSaysNothing) {
    btn->SetF2Control(me01);
    btn->SetAutoAlign(false);
    btn->SetBounds(0, 0, 23, 23);
    btn->SetF2Control(me01);
    EXPECT_EQ(btn->F2Control(), me01);
    EXPECT_EQ(btn->BoundsRect(), Bounds(0, 0, 23, 23));
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_F(F2Button, TheCheckLooksAmongTheComponentsOfTheButtonsParent) {
    // Buttons on a panel that owns nothing are not seen by each other's check.
    auto* panel = new TPanel(dialog);
    panel->SetParent(dialog);
    btn->SetParent(panel);
    btn->SetF2Control(me01);
    auto* second = new TF2Button(dialog);
    second->SetParent(panel);
    EXPECT_TRUE(second->CheckUnique(me01));
    // On the form, which owns both, it is seen.
    second->SetParent(dialog);
    btn->SetParent(dialog);
    EXPECT_FALSE(second->CheckUnique(me01));
    EXPECT_FALSE(btn->CheckUnique(me01)) << "this button already serves it";
}

TEST_F(F2Button, UnbindingAndAFreedEditLeaveNoControl) {
    btn->SetF2Control(me01);
    btn->SetF2Control(nullptr);
    EXPECT_EQ(btn->F2Control(), nullptr);
    auto* second = new TF2Button(dialog);
    second->SetParent(dialog);
    second->SetF2Control(me01);
    EXPECT_EQ(second->F2Control(), me01) << "the first button let go of it";
    me01->Free();
    EXPECT_EQ(second->F2Control(), nullptr);
    Show();
    second->Click();
    EXPECT_TRUE(dialog->requests.empty());
}

TEST_F(F2Button, AHandlerThatFreesTheDialogEndsTheClick) {
    btn->SetF2Control(me01);
    btn->OnClick = TNotifyEvent([&](TObject*) { dialog->Free(); });
    Show();
    btn->Click();
    EXPECT_EQ(Screen->FormCount(), 0);
}

} // namespace
