// Radio buttons, radio groups, check boxes and spin edits of the run options: caption
// indents and painting, the radio rules, the group's arrangement and clamping, the sign rule
// of the spin edit.
#include "controls/NuCheckBox.h"
#include "controls/NuRadioButton.h"
#include "controls/NuRadioGroup.h"
#include "controls/NuSpin.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include "ButtonsFixture.h"

using namespace nuv;
using namespace nuv::test;

namespace {

// ---------------------------------------------------------------------------------------------
// Caption indent

TEST(CaptionIndent, ByFontSize) {
    const std::vector<std::pair<int, int>> table = {
        {0, 44},  {1, 17},  {8, 17},  {9, 19},  {15, 19}, {16, 20}, {17, 20}, {18, 21},
        {23, 21}, {24, 23}, {29, 23}, {30, 25}, {35, 25}, {36, 27}, {41, 27}, {42, 29},
        {43, 29}, {44, 31}, {60, 31}, {61, 39}, {80, 39}, {81, 44}, {-3, 44}};
    for (auto [size, indent] : table)
        EXPECT_EQ(CaptionIndent(size), indent) << size << " points";
}

// The first column, from the left, that differs from the control's colour in the rows of
// the caption (the mark excluded).
int FirstInkColumn(const QImage& img, int from) {
    QRgb bg = img.pixel(img.width() - 1, 0);
    for (int x = from; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(x, y) != bg)
                return x;
    return -1;
}

class NuCaption : public ControlsTest {};

TEST_F(NuCaption, ARadioButtonDrawsItsCaptionAtTheIndentOfItsFontSize) {
    auto* r9 = Make<TNuRadioButton>(form, "rdo09", 8, 8, 200, 20);
    r9->SetCaption("置入工作佇列");
    r9->Font()->SetSize(9);
    auto* r20 = Make<TNuRadioButton>(form, "rdo20", 8, 40, 260, 34);
    r20->SetCaption("置入工作佇列");
    r20->Font()->SetSize(20);
    form->SetActiveControl(Make<TEdit>(form, "ed01", 300, 8, 80, 22));
    ShowForm();
    QImage client = GrabClient(form, "nuradio-indent");
    // The mark ends before the fill; from there the first ink is the caption's.
    int x9 = FirstInkColumn(ControlImage(client, r9), PlatformMarkWidth);
    int x20 = FirstInkColumn(ControlImage(client, r20), PlatformMarkWidth);
    EXPECT_GE(x9, 19);
    EXPECT_LE(x9, 20);
    EXPECT_GE(x20, 21);
    EXPECT_LE(x20, 22);
}

TEST_F(NuCaption, TheRepaintedCaptionLeavesTheMarkAsThePlatformDrewIt) {
    // Same state and caption: the mark of the plain check box and of ours are pixel for pixel
    // the same, for 8 and 9 points and for the caption on either side.
    struct Case {
        int size;
        TAlignment alignment;
    };
    for (Case c : {Case{8, taRightJustify}, Case{9, taRightJustify}, Case{8, taLeftJustify},
                   Case{9, taLeftJustify}}) {
        auto* plain = Make<TCheckBox>(form, "", 8, 8, 120, 17);
        auto* ours = Make<TNuCheckBox>(form, "", 8, 40, 120, 17);
        for (TCustomCheckBox* b :
             {static_cast<TCustomCheckBox*>(plain), static_cast<TCustomCheckBox*>(ours)}) {
            b->SetCaption("執行畫面保留");
            b->Font()->SetSize(c.size);
            b->SetAlignment(c.alignment);
            b->SetChecked(true);
        }
        ShowForm();
        QImage client = GrabClient(form, "nucheck-mark");
        int markLeft = c.alignment == taRightJustify ? 0 : 120 - PlatformMarkWidth;
        EXPECT_EQ(ControlImage(client, plain).copy(markLeft, 0, PlatformMarkWidth, 17),
                  ControlImage(client, ours).copy(markLeft, 0, PlatformMarkWidth, 17))
            << c.size << " points, caption " << (c.alignment == taRightJustify ? "right" : "left");
        plain->Free();
        ours->Free();
    }
}

TEST_F(NuCaption, ACheckBoxWithTheCaptionLeftShowsItOnceForEverySize) {
    // One caption, right-aligned to 6 pixels a CP950 byte: "列印" is 4 bytes, 24 pixels. The
    // platform's own copy, next to the mark, is covered. An 8-point caption is drawn inside
    // the control too.
    for (int size : {8, 9}) {
        auto* box = Make<TNuCheckBox>(form, "", 8, 8, 100, 17);
        box->SetCaption("列印");
        box->Font()->SetSize(size);
        box->SetAlignment(taLeftJustify);
        ShowForm();
        QImage img = ControlImage(GrabClient(form, "nucheck-left"), box);
        QRgb bg = img.pixel(50, 0);
        EXPECT_TRUE(HasInk(img, 0, 0, 28, 17, bg)) << size << " points: the caption is there";
        EXPECT_FALSE(HasInk(img, 30, 0, 100 - PlatformMarkWidth, 17, bg))
            << size << " points: only once";
        box->Free();
    }
}

// Counts the caption repaints.
class CountingRadio : public TNuRadioButton {
public:
    using TNuRadioButton::TNuRadioButton;
    int repaints = 0;

protected:
    void CaptionRepaint() override {
        ++repaints;
        TNuRadioButton::CaptionRepaint();
    }
};

TEST_F(NuCaption, EnablingOrDisablingRepaintsAtOnce) {
    auto* r = Make<CountingRadio>(form, "rdo01", 8, 8, 120, 17);
    r->SetCaption("即時產生資料");
    ShowForm();
    int before = r->repaints;
    r->SetEnabled(false);
    EXPECT_GT(r->repaints, before) << "repainted before the event loop ran";
    before = r->repaints;
    r->SetEnabled(true);
    EXPECT_GT(r->repaints, before);
}

TEST_F(NuCaption, ADisabledCaptionIsGrey) {
    auto* r = Make<TNuRadioButton>(form, "rdo01", 8, 8, 120, 17);
    r->SetCaption("即時產生資料");
    r->SetEnabled(false);
    ShowForm();
    QImage img = ControlImage(GrabClient(form, "nuradio-disabled"), r);
    int darkest = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 19; x < img.width(); ++x)
            darkest = std::min(darkest, qGray(img.pixel(x, y)));
    EXPECT_GE(darkest, 100) << "no black text";
    EXPECT_LT(darkest, 200) << "but text";
}

// ---------------------------------------------------------------------------------------------
// TNuRadioButton

class NuRadio : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            auto* r =
                Make<TNuRadioButton>(form, "rdo0" + std::to_string(i), 8, 8 + 22 * i, 120, 17);
            r->SetCaption("選項&" + std::string(1, static_cast<char>('A' + i)));
            r->OnClick = TNotifyEvent([this, i](TObject*) { clicks.push_back(i); });
            radios.push_back(r);
        }
        auto* panel = Make<TPanel>(form, "pnl", 200, 8, 150, 60);
        other = Make<TNuRadioButton>(panel, "rdoOther", 4, 4, 120, 17);
        other->SetChecked(true);
    }
    std::vector<TNuRadioButton*> radios;
    TNuRadioButton* other = nullptr;
    std::vector<int> clicks;
};

TEST_F(NuRadio, Defaults) {
    auto* r = new TNuRadioButton(form);
    EXPECT_EQ(r->Width(), 113);
    EXPECT_EQ(r->Height(), 17);
    EXPECT_EQ(r->Alignment(), taRightJustify);
    EXPECT_FALSE(r->Checked());
    EXPECT_FALSE(r->TabStop());
    EXPECT_TRUE(r->ControlStyle().Contains(csDoubleClicks));
}

TEST_F(NuRadio, CheckingOneUnchecksTheOthersOfTheSameParentAndMakesItATabStop) {
    radios[0]->SetChecked(true);
    radios[2]->SetChecked(true);
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_FALSE(radios[0]->TabStop());
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_TRUE(radios[2]->TabStop());
    EXPECT_TRUE(other->Checked()) << "another parent is another group";
    EXPECT_EQ(clicks, (std::vector<int>{0, 2})) << "only checking raises OnClick";
}

TEST_F(NuRadio, ClicksDisabledSilencesChecking) {
    radios[1]->SetClicksDisabled(true);
    radios[1]->SetChecked(true);
    EXPECT_TRUE(radios[1]->Checked());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(NuRadio, TheUserChecksByMouseAndByAccelerator) {
    ShowForm();
    ClickAt(radios[1], 6, 8);
    EXPECT_TRUE(radios[1]->Checked());
    // Alt+C reaches the form as a dialog character (the platform's own button widgets may
    // also take a mnemonic themselves; the message is what the control answers).
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'c', 0), 1);
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_FALSE(radios[1]->Checked());
    EXPECT_EQ(FocusedControl(), radios[2]);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
}

TEST_F(NuRadio, ADoubleClickRaisesOnDblClick) {
    int doubles = 0;
    radios[0]->OnDblClick = TNotifyEvent([&](TObject*) { ++doubles; });
    ShowForm();
    DoubleClickAt(radios[0], 6, 8);
    EXPECT_EQ(doubles, 1);
    EXPECT_TRUE(radios[0]->Checked());
}

// ---------------------------------------------------------------------------------------------
// TNuRadioGroup

class NuGroup : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        group = Make<TNuRadioGroup>(form, "rgp01", 8, 8, 300, 100);
        group->SetCaption("執行方式");
        group->OnClick = TNotifyEvent([this](TObject*) { clicks.push_back(group->ItemIndex()); });
    }
    void Fill(int count) {
        for (int i = 0; i < count; ++i)
            group->Items()->Add("項目" + std::to_string(i));
    }
    TNuRadioGroup* group = nullptr;
    std::vector<int> clicks;
};

TEST_F(NuGroup, Defaults) {
    auto* g = new TNuRadioGroup(form);
    EXPECT_EQ(g->Columns(), 1);
    EXPECT_EQ(g->ItemIndex(), -1);
    EXPECT_EQ(g->Items()->Count(), 0);
    EXPECT_EQ(g->ButtonCount(), 0);
    EXPECT_FALSE(g->TabStop());
}

struct ArrangeCase {
    const char* name;
    int items;
    int columns;
    int rows;
};

class Arrangement : public NuGroup, public ::testing::WithParamInterface<ArrangeCase> {};

TEST_P(Arrangement, ColumnsAreFilledTopToBottom) {
    const ArrangeCase& c = GetParam();
    Fill(c.items);
    group->SetColumns(c.columns);
    ASSERT_EQ(group->ButtonCount(), c.items);
    const int columns = std::clamp(c.columns, 1, 16);
    const int columnWidth = (300 - 10) / columns;
    const int h = group->Canvas()->TextHeight("0");
    const int space = 100 - h - 5;
    const int rowHeight = space / c.rows;
    const int top = (space % c.rows) / 2 + h + 1;
    for (int i = 0; i < c.items; ++i) {
        TNuGroupButton* b = group->Buttons(i);
        EXPECT_EQ(b->BoundsRect(), Bounds((i / c.rows) * columnWidth + 8,
                                          (i % c.rows) * rowHeight + top, columnWidth, rowHeight))
            << "button " << i;
        EXPECT_TRUE(b->Visible());
        EXPECT_EQ(b->Caption(), "項目" + std::to_string(i));
    }
    EXPECT_LE(group->Buttons(c.items - 1)->Top() + rowHeight, 100);
}

INSTANTIATE_TEST_SUITE_P(NuGroup, Arrangement,
                         ::testing::Values(ArrangeCase{"FiveInTwoColumns", 5, 2, 3},
                                           ArrangeCase{"FiveInOneColumn", 5, 1, 5},
                                           ArrangeCase{"FourInTwoColumns", 4, 2, 2},
                                           ArrangeCase{"TwoInThreeColumns", 2, 3, 1},
                                           ArrangeCase{"TwentyColumnsAreSixteen", 20, 20, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NuGroup, ColumnsStayWithinOneAndSixteen) {
    group->SetColumns(20);
    EXPECT_EQ(group->Columns(), 16);
    group->SetColumns(0);
    EXPECT_EQ(group->Columns(), 1);
}

TEST_F(NuGroup, ItemIndexStaysWithinTheButtons) {
    Fill(5);
    const std::vector<std::pair<int, int>> table = {{9, 4}, {2, 2}, {-5, -1}, {5, 4}, {-1, -1}};
    for (auto [set, expected] : table) {
        group->SetItemIndex(set);
        EXPECT_EQ(group->ItemIndex(), expected) << "set " << set;
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(group->Buttons(i)->Checked(), i == expected)
                << "set " << set << ", button " << i;
    }
}

TEST_F(NuGroup, FewerItemsBringItemIndexDown) {
    Fill(5);
    group->SetItemIndex(4);
    group->Items()->Delete(4);
    group->Items()->Delete(3);
    EXPECT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_TRUE(group->Buttons(2)->Checked());
    group->Items()->Clear();
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(group->ButtonCount(), 0);
}

TEST_F(NuGroup, AButtonClickSelectsItsItemAndRaisesTheGroupsClick) {
    Fill(5);
    group->SetColumns(2);
    ShowForm();
    TNuGroupButton* b = group->Buttons(3);
    ClickAt(b, 6, b->Height() / 2);
    EXPECT_EQ(group->ItemIndex(), 3);
    EXPECT_EQ(clicks, std::vector<int>{3});
    // Setting ItemIndex in code checks the button, which raises the group's click too.
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, (std::vector<int>{3, 1}));
    EXPECT_FALSE(group->Buttons(3)->Checked());
}

TEST_F(NuGroup, KeysGoToTheButtonAndThenToTheGroup) {
    Fill(2);
    std::vector<std::string> order;
    group->Buttons(0)->OnKeyPress =
        TKeyPressEvent([&](TObject*, TKeyChar&) { order.push_back("button press"); });
    group->OnKeyPress =
        TKeyPressEvent([&](TObject*, TKeyChar&) { order.push_back("group press"); });
    group->Buttons(0)->OnKeyDown =
        TKeyEvent([&](TObject*, Word&, TShiftState) { order.push_back("button down"); });
    group->OnKeyDown =
        TKeyEvent([&](TObject*, Word&, TShiftState) { order.push_back("group down"); });
    group->SetItemIndex(0);
    ShowForm();
    group->Buttons(0)->SetFocus();
    TypeText("x");
    EXPECT_EQ(order, (std::vector<std::string>{"button down", "group down", "button press",
                                               "group press"}));
}

TEST_F(NuGroup, AButtonDoesNotFollowAClickIntoItsOwnClick) {
    Fill(2);
    int handled = 0;
    const WPARAM clicked = static_cast<WPARAM>(BN_CLICKED) << 16;
    group->OnClick = TNotifyEvent([&](TObject*) {
        ++handled;
        // While button 1's click runs, it is unchecked and clicked again.
        group->SetItemIndex(-1);
        group->Buttons(1)->Perform(CN_COMMAND, clicked, 0);
    });
    group->Buttons(1)->Perform(CN_COMMAND, clicked, 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    // Once the click is over the button takes clicks again.
    group->OnClick = TNotifyEvent([&](TObject*) { ++handled; });
    group->Buttons(1)->Perform(CN_COMMAND, clicked, 0);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(NuGroup, ButtonsFollowTheGroupsEnabledState) {
    Fill(3);
    group->SetEnabled(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(group->Buttons(i)->Enabled());
    group->Items()->Add("新項目");
    EXPECT_FALSE(group->Buttons(3)->Enabled()) << "a new button starts like the group";
    group->SetEnabled(true);
    EXPECT_TRUE(group->Buttons(3)->Enabled());
}

TEST_F(NuGroup, ResizingRearranges) {
    Fill(4);
    group->SetColumns(2);
    ShowForm();
    group->SetWidth(410);
    EXPECT_EQ(group->Buttons(2)->Left(), 8 + 200);
    EXPECT_EQ(group->Buttons(2)->Width(), 200);
}

// A form whose group is set up while the form is being built, as stored forms are.
class StoredGroupForm : public TForm {
public:
    explicit StoredGroupForm(TComponent* owner) : TForm(owner) {
        group = new TNuRadioGroup(this);
        group->SetParent(this);
        group->SetBounds(8, 8, 200, 90);
        group->SetItemIndex(2);
        group->OnClick = TNotifyEvent([this](TObject*) { ++clicks; });
        for (const char* item : {"日", "週", "月"})
            group->Items()->Add(item);
        buttonsWhileBuilding = group->ButtonCount();
        indexWhileBuilding = group->ItemIndex();
    }
    TNuRadioGroup* group;
    int buttonsWhileBuilding = -1;
    int indexWhileBuilding = -1;
    int clicks = 0;
};

TEST(NuGroupLoading, TheButtonsAreBuiltOnceTheFormHasLoaded) {
    auto* f = CreateForm<StoredGroupForm>(nullptr);
    EXPECT_EQ(f->buttonsWhileBuilding, 0);
    EXPECT_EQ(f->indexWhileBuilding, 2) << "stored as given while reading";
    ASSERT_EQ(f->group->ButtonCount(), 3);
    EXPECT_EQ(f->group->ItemIndex(), 2);
    EXPECT_TRUE(f->group->Buttons(2)->Checked());
    EXPECT_GT(f->group->Buttons(0)->Top(), 0) << "arranged";
    EXPECT_EQ(f->clicks, 0) << "loading raises no click";
    FreeAllForms();
}

TEST_F(NuGroup, PublishedForTheForms) {
    Fill(2);
    SetOrdPropByName(group, "ItemIndex", 1);
    SetOrdPropByName(group, "Columns", 2);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(group->Columns(), 2);
    EXPECT_EQ(GetObjectPropByName(group, "Items"), group->Items());
    EXPECT_EQ(GetPropTypeName(group, "Items"), "TStrings");
}

// ---------------------------------------------------------------------------------------------
// TNuSpinEdit

struct SignCase {
    const char* name;
    std::function<void()> type;
    std::string text;
    std::vector<std::string> changes;
};

class NuSpinSigns : public ControlsTest, public ::testing::WithParamInterface<SignCase> {};

TEST_P(NuSpinSigns, ASignAfterTheFirstCharacterIsDropped) {
    auto* spin = Make<TNuSpinEdit>(form, "meDay", 8, 8, 80, 22);
    spin->SetText("");
    std::vector<std::string> changes;
    spin->OnChange = TNotifyEvent([&](TObject*) { changes.push_back(spin->Text()); });
    ShowForm();
    spin->SetFocus();
    GetParam().type();
    EXPECT_EQ(spin->Text(), GetParam().text);
    EXPECT_EQ(changes, GetParam().changes);
}

INSTANTIATE_TEST_SUITE_P(
    NuSpin, NuSpinSigns,
    ::testing::Values(SignCase{"PlusAfterTwelve", [] { TypeText("12+"); }, "12", {"1", "12", "12"}},
                      SignCase{"MinusAfterFive", [] { TypeText("5-"); }, "5", {"5", "5"}},
                      SignCase{"LeadingMinusStays", [] { TypeText("-5"); }, "-5", {"-", "-5"}},
                      SignCase{"LeadingPlusStays", [] { TypeText("+7"); }, "+7", {"+", "+7"}},
                      SignCase{"ASignTypedInsideKeepsTheDigits",
                               [] {
                                   TypeText("12");
                                   PressKey(VK_LEFT);
                                   TypeText("+3");
                               },
                               "132",
                               {"1", "12", "12", "132"}},
                      SignCase{"ClearingRaisesNothing",
                               [] {
                                   TypeText("7");
                                   PressKey(VK_BACK);
                               },
                               "",
                               {"7"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, NuSpinEditBlankTextRaisesNoChange) {
    auto* spin = Make<TNuSpinEdit>(form, "meMonth_D", 8, 8, 80, 22);
    int changes = 0;
    spin->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    spin->SetText("  ");
    spin->SetText("");
    EXPECT_EQ(changes, 0);
    spin->SetValue(15);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(spin->Value(), 15);
}

} // namespace
