// The bitmap check box: its state cycle and the ways a user toggles it, its pictures and
// their frames, and what it draws.
#include "controls/BtChkBox.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include "ButtonsFixture.h"

using namespace nuv;
using namespace nuv::test;

namespace {

class BitCheckBox : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        edit = Make<TEdit>(form, "ed01", 200, 8, 100, 22);
        box = Make<TBitCheckBox>(form, "chk01", 8, 8, 120, 17);
        box->SetCaption("區間選&X");
        box->OnClick = TNotifyEvent([this](TObject*) { clicks.push_back(box->State()); });
        form->SetActiveControl(edit);
    }
    // A picture of `frames` square frames of height h, frame i filled with colours[i].
    static std::unique_ptr<TBitmap> Picture(int frames, int h, std::vector<std::uint32_t> colours) {
        std::vector<std::uint32_t> px(static_cast<std::size_t>(frames * h * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < frames * h; ++x)
                px[static_cast<std::size_t>(y * frames * h + x)] =
                    colours[static_cast<std::size_t>(x / h)];
        // The bottom-left pixel names the colour that is left out.
        px[static_cast<std::size_t>((h - 1) * frames * h)] = 0xFFFF00FF;
        auto bmp = std::make_unique<TBitmap>();
        bmp->LoadFromPixels(frames * h, h, px.data());
        return bmp;
    }

    TEdit* edit = nullptr;
    TBitCheckBox* box = nullptr;
    std::vector<TCheckBoxState> clicks;
};

TEST_F(BitCheckBox, Defaults) {
    auto* fresh = new TBitCheckBox(form);
    EXPECT_EQ(fresh->Width(), 97);
    EXPECT_EQ(fresh->Height(), 17);
    EXPECT_EQ(fresh->Alignment(), taRightJustify);
    EXPECT_EQ(fresh->State(), cbUnchecked);
    EXPECT_FALSE(fresh->AllowGrayed());
    EXPECT_TRUE(fresh->TabStop());
    EXPECT_TRUE(fresh->ParentCtl3D());
    for (TBitmap* g : {fresh->CheckedGlyph(), fresh->GrayedGlyph(), fresh->UncheckedGlyph()}) {
        EXPECT_EQ(g->Width(), 19);
        EXPECT_EQ(g->Height(), 14);
    }
    EXPECT_EQ(fresh->CheckedNumGlyphs(), 1);
}

struct CycleCase {
    const char* name;
    bool allowGrayed;
    std::vector<TCheckBoxState> states; // after each click, starting unchecked
};

class StateCycle : public BitCheckBox, public ::testing::WithParamInterface<CycleCase> {};

TEST_P(StateCycle, EachClickAdvancesTheState) {
    box->SetAllowGrayed(GetParam().allowGrayed);
    ShowForm();
    std::vector<TCheckBoxState> seen;
    for (std::size_t i = 0; i < GetParam().states.size(); ++i) {
        ClickAt(box, 30, 8);
        seen.push_back(box->State());
    }
    EXPECT_EQ(seen, GetParam().states);
    EXPECT_EQ(clicks, GetParam().states) << "OnClick runs after the state has changed";
}

INSTANTIATE_TEST_SUITE_P(
    BitCheckBox, StateCycle,
    ::testing::Values(CycleCase{"WithGrayed", true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
                      CycleCase{"WithoutGrayed", false, {cbChecked, cbUnchecked, cbChecked}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BitCheckBox, AGrayedBoxBecomesCheckedEvenWithoutAllowGrayed) {
    box->SetState(cbGrayed);
    ShowForm();
    ClickAt(box, 30, 8);
    EXPECT_EQ(box->State(), cbChecked);
}

struct InputCase {
    const char* name;
    std::function<void(TBitCheckBox*)> act;
};

class UserToggles : public BitCheckBox, public ::testing::WithParamInterface<InputCase> {};

TEST_P(UserToggles, ToggleRaiseOnClickOnceAndTakeTheFocus) {
    ShowForm();
    if (std::string(GetParam().name) == "Space")
        box->SetFocus();
    else
        ASSERT_EQ(FocusedControl(), edit);
    GetParam().act(box);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(clicks, std::vector<TCheckBoxState>{cbChecked});
    EXPECT_EQ(FocusedControl(), box);
}

INSTANTIATE_TEST_SUITE_P(
    BitCheckBox, UserToggles,
    ::testing::Values(InputCase{"Mouse", [](TBitCheckBox* b) { ClickAt(b, 30, 8); }},
                      InputCase{"Space", [](TBitCheckBox*) { PressKey(VK_SPACE, {}, " "); }},
                      InputCase{"Accelerator", [](TBitCheckBox*) { PressKey('X', {ssAlt}, "x"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BitCheckBox, AKeyPressHandlerThatTakesTheSpaceStopsTheToggle) {
    box->OnKeyPress = TKeyPressEvent([](TObject*, TKeyChar& key) { key = 0; });
    ShowForm();
    box->SetFocus();
    PressKey(VK_SPACE, {}, " ");
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(BitCheckBox, ADisabledBoxIgnoresItsAccelerator) {
    ShowForm();
    box->SetEnabled(false);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(FocusedControl(), edit);
}

TEST_F(BitCheckBox, CodeChangesTheStateWithoutOnClick) {
    box->SetChecked(true);
    EXPECT_EQ(box->State(), cbChecked);
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->Checked());
    box->SetChecked(false);
    EXPECT_EQ(box->State(), cbUnchecked);
    SetOrdPropByName(box, "State", static_cast<int>(cbChecked));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(GetEnumPropName(box, "State"), "cbChecked");
    EXPECT_TRUE(clicks.empty());
}

TEST_F(BitCheckBox, AHandlerThatFreesTheFormEndsTheClick) {
    box->OnClick = TNotifyEvent([this](TObject*) { form->Free(); });
    ShowForm();
    ClickAt(box, 30, 8);
    EXPECT_EQ(Screen->FormCount(), 0);
}

struct FrameCase {
    const char* name;
    int width;
    int height;
    int frames; // expected after assigning, starting from 1
};

class GlyphFrames : public BitCheckBox, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(GlyphFrames, AWholeMultipleOfTheHeightSetsTheFrames) {
    const FrameCase& c = GetParam();
    std::vector<std::uint32_t> px(static_cast<std::size_t>(c.width * c.height), 0xFF000000);
    TBitmap bmp;
    bmp.LoadFromPixels(c.width, c.height, px.data());
    box->SetGrayedGlyph(&bmp);
    EXPECT_EQ(box->GrayedGlyph()->Width(), c.width) << "the picture is copied";
    EXPECT_NE(box->GrayedGlyph(), &bmp);
    EXPECT_EQ(box->GrayedNumGlyphs(), c.frames);
    EXPECT_EQ(box->CheckedNumGlyphs(), 1) << "the other states keep theirs";
}

INSTANTIATE_TEST_SUITE_P(BitCheckBox, GlyphFrames,
                         ::testing::Values(FrameCase{"BuiltInSize", 19, 14, 1},
                                           FrameCase{"TwoFrames", 28, 14, 2},
                                           FrameCase{"ThreeFramesCountAsTwo", 42, 14, 2},
                                           FrameCase{"OneSquareFrame", 14, 14, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BitCheckBox, FrameCountsStayWithinOneAndTwo) {
    box->SetCheckedNumGlyphs(0);
    box->SetGrayedNumGlyphs(5);
    box->SetUncheckedNumGlyphs(2);
    EXPECT_EQ(box->CheckedNumGlyphs(), 1);
    EXPECT_EQ(box->GrayedNumGlyphs(), 2);
    EXPECT_EQ(box->UncheckedNumGlyphs(), 2);
}

TEST_F(BitCheckBox, RestoringTheBuiltInPictureRestoresOneFrame) {
    auto two = Picture(2, 14, {0xFFFF0000, 0xFF0000FF});
    box->SetCheckedGlyph(two.get());
    ASSERT_EQ(box->CheckedNumGlyphs(), 2);
    box->SetCheckedGlyph(nullptr);
    EXPECT_EQ(box->CheckedGlyph()->Width(), 19);
    EXPECT_EQ(box->CheckedNumGlyphs(), 1) << "else only half of the built-in box would be drawn";
}

TEST(CheckBoxGlyphs, TheThreeBuiltInPicturesByName) {
    TBitmap checked, grayed, unchecked, other;
    ASSERT_TRUE(LoadCheckBoxGlyph("CHECKED", &checked));
    ASSERT_TRUE(LoadCheckBoxGlyph("GRAYED", &grayed));
    ASSERT_TRUE(LoadCheckBoxGlyph("UNCHECKED", &unchecked));
    EXPECT_FALSE(LoadCheckBoxGlyph("checked", &other));
    EXPECT_TRUE(other.Empty());
    auto pixel = [](TBitmap& b, int x, int y) { return b.Canvas()->Pixel(x, y); };
    // The corner names the transparent colour, the well holds the mark.
    EXPECT_EQ(checked.TransparentColor(), pixel(checked, 0, 0));
    EXPECT_EQ(pixel(unchecked, 10, 9), clWhite);
    EXPECT_EQ(pixel(checked, 10, 9), clBlack);
    EXPECT_EQ(pixel(grayed, 10, 9), clGray);
    EXPECT_EQ(pixel(grayed, 8, 4), clSilver);
}

// What the box draws: the frame for the state and the enabled state, at its side.
class BitCheckBoxPainting : public BitCheckBox {
protected:
    QRgb At(int x, int y) {
        QImage img = ControlImage(GrabClient(form, "bitcheckbox"), box);
        return img.pixel(x, y) & 0xFFFFFF;
    }
};

TEST_F(BitCheckBoxPainting, ADisabledBoxShowsTheSecondFrame) {
    auto two = Picture(2, 14, {0xFFFF0000, 0xFF0000FF});
    box->SetUncheckedGlyph(two.get());
    ShowForm();
    // The picture sits at the left, centred vertically: (17 - 14) / 2 = 1.
    EXPECT_EQ(At(7, 8), 0xFF0000u);
    box->SetEnabled(false);
    EXPECT_EQ(At(7, 8), 0x0000FFu);
    box->SetState(cbChecked);
    EXPECT_NE(At(10, 8), 0x0000FFu) << "the checked picture is the built-in one";
}

TEST_F(BitCheckBoxPainting, ASingleFrameIsWashedOutWhenDisabled) {
    box->SetState(cbChecked);
    ShowForm();
    QRgb mark = At(10, 10); // a pixel of the check mark
    ASSERT_EQ(mark, 0x000000u);
    box->SetEnabled(false);
    QRgb washed = At(10, 10);
    EXPECT_NE(washed, mark);
    EXPECT_EQ(qRed(washed), qGreen(washed));
    EXPECT_GE(qRed(washed), 128);
}

TEST_F(BitCheckBoxPainting, WithTheCaptionLeftThePictureSitsAtTheRight) {
    auto one = Picture(1, 14, {0xFF00FF00});
    box->SetUncheckedGlyph(one.get());
    box->SetAlignment(taLeftJustify);
    ShowForm();
    EXPECT_EQ(At(box->Width() - 7, 8), 0x00FF00u);
    EXPECT_NE(At(7, 8), 0x00FF00u);
}

TEST_F(BitCheckBox, PublishedForTheForms) {
    for (const char* name : {"Alignment",
                             "AllowGrayed",
                             "Caption",
                             "Checked",
                             "CheckedGlyph",
                             "CheckedNumGlyphs",
                             "Color",
                             "Ctl3D",
                             "DragCursor",
                             "DragMode",
                             "Enabled",
                             "Font",
                             "GrayedGlyph",
                             "GrayedNumGlyphs",
                             "ParentColor",
                             "ParentCtl3D",
                             "ParentFont",
                             "ParentShowHint",
                             "PopupMenu",
                             "ShowHint",
                             "State",
                             "TabOrder",
                             "TabStop",
                             "UncheckedGlyph",
                             "UncheckedNumGlyphs",
                             "Visible",
                             "OnClick",
                             "OnDragDrop",
                             "OnDragOver",
                             "OnEndDrag",
                             "OnEnter",
                             "OnExit",
                             "OnKeyDown",
                             "OnKeyPress",
                             "OnKeyUp",
                             "OnMouseDown",
                             "OnMouseMove",
                             "OnMouseUp",
                             "OnStartDrag"})
        EXPECT_TRUE(HasProperty(box, name)) << name;
}

} // namespace
