// The selection panel as a control: sub-controls, layout, style switching, size swapping, the
// user-choice box, look-up requests, event forwarding and the exit check.
#include "SelectPanelFixture.h"

#include "ui/TypInfo.h"

using namespace nuv;

namespace {

int Right(const TControl* c) {
    return c->Left() + c->Width();
}
int Bottom(const TControl* c) {
    return c->Top() + c->Height();
}

TSize SizeOf(const TControl* c) {
    return {c->Width(), c->Height()};
}

} // namespace

TEST_F(SelectPanelTest, BuildsItsNamedSubControls) {
    EXPECT_EQ(SizeOf(panel), (TSize{353, 45}));
    EXPECT_EQ((TSize{panel->OtherWidth(), panel->OtherHeight()}), (TSize{200, 105}));
    struct Part {
        const char* name;
        TControl* control;
        const TWinControl* parent;
    };
    const Part parts[] = {
        {"chkUserChoice", panel->chkUserChoice, panel},
        {"pnlRange", panel->pnlRange, panel},
        {"lblBegin", panel->lblBegin, panel->pnlRange},
        {"edBegin", panel->edBegin, panel->pnlRange},
        {"btnBegin", panel->btnBegin, panel->pnlRange},
        {"lblFinal", panel->lblFinal, panel->pnlRange},
        {"edFinal", panel->edFinal, panel->pnlRange},
        {"btnFinal", panel->btnFinal, panel->pnlRange},
        {"pnlDiscrete", panel->pnlDiscrete, panel},
        {"btnList", panel->btnList, panel->pnlDiscrete},
        {"btnDelete", panel->btnDelete, panel->pnlDiscrete},
        {"btnClear", panel->btnClear, panel->pnlDiscrete},
        {"ListBox", panel->ListBox, panel->pnlDiscrete},
    };
    for (const Part& p : parts) {
        EXPECT_EQ(panel->FindComponent(p.name), p.control) << p.name;
        EXPECT_EQ(p.control->Parent(), p.parent) << p.name;
    }
    EXPECT_EQ(panel->btnDelete->GlyphIndex(), 47);
    EXPECT_EQ(panel->btnClear->GlyphIndex(), 4);
    EXPECT_EQ(panel->btnClear->NumGlyphs(), 2);
    EXPECT_EQ(panel->btnBegin->GlyphIndex(), 8);
    EXPECT_TRUE(panel->btnBegin->AutoAlign());
    EXPECT_FALSE(panel->btnList->AutoAlign());
    EXPECT_EQ(panel->edBegin->Height(), 24);
    TBrelListView* list = panel->ListBox;
    EXPECT_TRUE(list->MultiSelect() && list->RowSelect() && list->ReadOnly());
    EXPECT_FALSE(list->ShowColumnHeaders() || list->HideSelection());
    EXPECT_EQ(list->ViewStyle(), vsReport);
    EXPECT_EQ(list->Cursor(), crHandPoint);
    // Only the range part is shown, so the focus cannot wander into the hidden list.
    EXPECT_TRUE(panel->pnlRange->Visible());
    EXPECT_FALSE(panel->pnlDiscrete->Visible());
}

TEST_F(SelectPanelTest, PublishesItsPropertiesInStoredOrder) {
    std::vector<std::string> names;
    for (const TPropInfo& p : panel->ClassInfo().OwnProps())
        names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"AutoChangeDateSite",
                                               "BeginWords",
                                               "ColumnsAutoSize",
                                               "CanOpenWin",
                                               "CheckDuplicate",
                                               "ChildHints",
                                               "ColumnCaptions",
                                               "Columns",
                                               "DateType",
                                               "DateSign",
                                               "Discard",
                                               "EditMask",
                                               "FinalWords",
                                               "GlyphIndex",
                                               "HintWord",
                                               "HideSelection",
                                               "Items",
                                               "OtherHeight",
                                               "OtherWidth",
                                               "ShowColumnHeader",
                                               "SortListBox",
                                               "Style",
                                               "UseDiscard",
                                               "UserChoice",
                                               "UseVertical",
                                               "ValueType",
                                               "OnOpenWinClick",
                                               "OnClearClick",
                                               "OnDeleteClick",
                                               "OnTypeClick",
                                               "OnStyleChanging",
                                               "OnStyleChange",
                                               "OnExit",
                                               "OnItemSelect",
                                               "OnItemChange",
                                               "OnItemChanging",
                                               "OnKeyDown",
                                               "OnKeyUp",
                                               "OnKeyPress"}));
    // By name, as the stored forms and the dialogs reach them.
    EXPECT_EQ(GetEnumPropName(panel, "Style"), "sp_Range");
    SetOrdPropByName(panel, "Style", sp_Discrete);
    EXPECT_EQ(panel->Style(), sp_Discrete);
    EXPECT_EQ(GetStrPropByName(panel, "HintWord"), "區間選擇");
    EXPECT_EQ(GetOrdPropByName(panel, "GlyphIndex"), 8);
    // "OnExit" is the panel's own event, not the inherited one.
    SetMethodPropByName(panel, "OnExit", TNotifyEvent([](TObject*) {}).Method());
    EXPECT_TRUE(panel->OnExit.Assigned());
    EXPECT_FALSE(static_cast<TWinControl*>(panel)->OnExit.Assigned());
}

// Layout of every style and orientation, with and without the look-up buttons.
namespace {

struct LayoutCase {
    const char* name;
    TSelectStyle style;
    bool vertical;
    bool canOpenWin;
    bool userChoice;
};

class SelectPanelLayout : public SelectPanelTest,
                          public ::testing::WithParamInterface<LayoutCase> {};

void ExpectHorizontalRows(TSelectPanel* p, bool buttons) {
    const int w = p->pnlRange->Width();
    const int top = (p->pnlRange->Height() - p->edBegin->Height()) / 2;
    EXPECT_EQ(p->lblBegin->Left(), 2);
    EXPECT_EQ(p->edBegin->Left(), Right(p->lblBegin) + 1);
    EXPECT_EQ(p->edFinal->Width(), p->edBegin->Width());
    EXPECT_EQ(p->edFinal->Left(), Right(p->lblFinal) + 2);
    for (TControl* c : {static_cast<TControl*>(p->lblBegin), static_cast<TControl*>(p->edBegin),
                        static_cast<TControl*>(p->lblFinal), static_cast<TControl*>(p->edFinal)})
        EXPECT_EQ(c->Top(), top) << c->Name();
    if (buttons) {
        EXPECT_EQ(p->btnBegin->Left(), Right(p->edBegin) + 2);
        EXPECT_EQ(p->lblFinal->Left(), Right(p->btnBegin) + 2);
        EXPECT_EQ(p->btnFinal->Left(), Right(p->edFinal) + 2);
        EXPECT_EQ(p->btnBegin->Top(), top);
        EXPECT_EQ(p->btnFinal->Top(), top);
        // The row fills the part: at most the rounding of the halves is left over.
        EXPECT_LE(Right(p->btnFinal), w);
        EXPECT_GE(Right(p->btnFinal), w - 2);
    } else {
        EXPECT_EQ(p->lblFinal->Left(), Right(p->edBegin) + 4);
        // Clear of the frame by a few pixels, so that the edit's border shows.
        EXPECT_GE(Right(p->edFinal), w - 4);
        EXPECT_LE(Right(p->edFinal), w - 3);
    }
}

void ExpectVerticalRows(TSelectPanel* p, bool buttons) {
    const int w = p->pnlRange->Width();
    const int gap = (p->pnlRange->Height() - 2 * p->edBegin->Height()) / 3;
    EXPECT_EQ(p->lblBegin->Left(), 2);
    EXPECT_EQ(p->lblBegin->Top(), gap);
    EXPECT_EQ(p->edBegin->Left(), Right(p->lblBegin) + 2);
    EXPECT_EQ(p->edBegin->Top(), gap);
    EXPECT_EQ(p->lblFinal->Left(), 2);
    EXPECT_EQ(p->lblFinal->Top(), 2 * gap + p->edBegin->Height());
    EXPECT_EQ(p->edFinal->Left(), p->edBegin->Left());
    EXPECT_EQ(p->edFinal->Top(), p->lblFinal->Top());
    EXPECT_EQ(p->edFinal->Width(), p->edBegin->Width());
    if (buttons) {
        EXPECT_EQ(p->btnBegin->Left(), Right(p->edBegin) + 1);
        EXPECT_EQ(Right(p->btnBegin), w - 1);
        EXPECT_EQ(p->btnFinal->Left(), p->btnBegin->Left());
        EXPECT_EQ(p->btnFinal->Top(), p->lblFinal->Top());
    } else {
        EXPECT_EQ(Right(p->edBegin), w);
    }
}

void ExpectListLayout(TSelectPanel* p) {
    TPanel* part = p->pnlDiscrete;
    EXPECT_EQ(p->ListBox->BoundsRect(), Bounds(0, 0, part->Width() - 26, part->Height()));
    EXPECT_EQ(p->btnList->BoundsRect(), Bounds(part->Width() - 24, 0, 23, 23));
    EXPECT_EQ(p->btnDelete->BoundsRect(), Bounds(part->Width() - 24, 23, 23, 23));
    EXPECT_EQ(p->btnClear->BoundsRect(), Bounds(part->Width() - 24, 46, 23, 23));
}

} // namespace

TEST_P(SelectPanelLayout, PlacesEveryPart) {
    const LayoutCase& c = GetParam();
    Show();
    panel->SetCanOpenWin(c.canOpenWin);
    panel->SetStyle(c.style);
    panel->SetUseVertical(c.vertical);
    panel->SetUserChoice(c.userChoice);
    const int w = panel->Width(), h = panel->Height();
    TPanel* range = panel->pnlRange;
    for (TControl* b :
         {static_cast<TControl*>(panel->btnBegin), static_cast<TControl*>(panel->btnFinal),
          static_cast<TControl*>(panel->btnList)})
        EXPECT_EQ(b->Visible(), c.canOpenWin);
    if (c.style == sp_UserChoice) {
        EXPECT_TRUE(panel->chkUserChoice->Visible());
        EXPECT_EQ(panel->chkUserChoice->Left(), 16);
        EXPECT_EQ(panel->chkUserChoice->Caption(), "區間選擇");
        // The parts start right below the check box and fill the frame.
        EXPECT_EQ(range->BoundsRect(), Rect(2, Bottom(panel->chkUserChoice), w - 2, h - 2));
        EXPECT_EQ(panel->pnlDiscrete->BoundsRect(), range->BoundsRect());
        EXPECT_EQ(range->Visible(), c.userChoice);
        EXPECT_NE(panel->pnlDiscrete->Visible(), c.userChoice);
        ExpectVerticalRows(panel, c.canOpenWin);
        ExpectListLayout(panel);
        return;
    }
    EXPECT_FALSE(panel->chkUserChoice->Visible());
    // Inside the frame: 2 pixels from the left, clear of the bevel and the border elsewhere.
    EXPECT_EQ(range->Left(), 2);
    EXPECT_EQ(Right(range), w - 3);
    EXPECT_EQ(Bottom(range), h - 3);
    EXPECT_GT(range->Top(), 3);
    EXPECT_EQ(panel->pnlDiscrete->BoundsRect(), range->BoundsRect());
    if (c.style == sp_Discrete) {
        EXPECT_TRUE(panel->pnlDiscrete->Visible());
        EXPECT_FALSE(range->Visible());
        ExpectListLayout(panel);
    } else if (c.vertical) {
        EXPECT_TRUE(range->Visible());
        ExpectVerticalRows(panel, c.canOpenWin);
    } else {
        EXPECT_TRUE(range->Visible());
        ExpectHorizontalRows(panel, c.canOpenWin);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SelectPanelLayout,
    ::testing::Values(LayoutCase{"RangeOneRow", sp_Range, false, true, true},
                      LayoutCase{"RangeOneRowNoButtons", sp_Range, false, false, true},
                      LayoutCase{"RangeTwoRows", sp_Range, true, true, true},
                      LayoutCase{"RangeTwoRowsNoButtons", sp_Range, true, false, true},
                      LayoutCase{"Discrete", sp_Discrete, false, true, true},
                      LayoutCase{"DiscreteNoButtons", sp_Discrete, false, false, true},
                      LayoutCase{"ChoiceRange", sp_UserChoice, false, true, true},
                      LayoutCase{"ChoiceList", sp_UserChoice, false, true, false},
                      LayoutCase{"ChoiceNoButtons", sp_UserChoice, false, false, false}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST_F(SelectPanelTest, WordsFollowTheOrientation) {
    Show();
    TStringList words;
    for (const char* w : {"從", "起始日期", "多餘"})
        words.Add(w);
    panel->SetBeginWords(&words);
    EXPECT_EQ(panel->BeginWords()->Count(), 2);
    EXPECT_EQ(panel->lblBegin->Caption(), "從");
    panel->SetUseVertical(true);
    EXPECT_EQ(panel->lblBegin->Caption(), "起始日期");
    ExpectVerticalRows(panel, true);

    // A single word serves both layouts; the end label's width is the one it shows.
    TStringList one;
    one.Add("截止日期到");
    panel->SetFinalWords(&one);
    panel->SetUseVertical(false);
    EXPECT_EQ(panel->lblFinal->Caption(), "截止日期到");
    ExpectHorizontalRows(panel, true);
    // Assigning the panel's own list keeps it.
    panel->SetBeginWords(panel->BeginWords());
    EXPECT_EQ(panel->BeginWords()->Count(), 2);
}

TEST_F(SelectPanelTest, StyleSwitchesSwapTheSize) {
    Show();
    struct Step {
        const char* action;
        std::function<void()> run;
        TSize size;
        TSize other;
    };
    const Step steps[] = {
        {"to list", [&] { panel->SetStyle(sp_Discrete); }, {200, 105}, {353, 45}},
        {"list to choice", [&] { panel->SetStyle(sp_UserChoice); }, {200, 105}, {353, 45}},
        {"two rows ignored", [&] { panel->SetUseVertical(true); }, {200, 105}, {353, 45}},
        {"back to range", [&] { panel->SetStyle(sp_Range); }, {353, 45}, {200, 105}},
        {"same style", [&] { panel->SetStyle(sp_Range); }, {353, 45}, {200, 105}},
        {"two rows", [&] { panel->SetUseVertical(true); }, {200, 105}, {353, 45}},
        {"two-row range to list", [&] { panel->SetStyle(sp_Discrete); }, {200, 105}, {353, 45}},
    };
    for (const Step& s : steps) {
        s.run();
        EXPECT_EQ(SizeOf(panel), s.size) << s.action;
        EXPECT_EQ((TSize{panel->OtherWidth(), panel->OtherHeight()}), s.other) << s.action;
    }
    EXPECT_TRUE(panel->UseVertical());
}

TEST_F(SelectPanelTest, StyleChangingMayVetoOrRedirect) {
    Show();
    std::vector<std::string> log;
    TSelectStyle redirect = sp_Discrete;
    bool accept = true;
    panel->OnStyleChanging = [&](TObject* s, TSelectStyle now, TSelectStyle& next, bool& ok) {
        EXPECT_EQ(s, panel);
        EXPECT_TRUE(ok);
        log.push_back("changing " + std::to_string(now) + ">" + std::to_string(next));
        next = redirect;
        ok = accept;
    };
    panel->OnStyleChange = [&](TObject*, TSelectStyle old, TSelectStyle next) {
        log.push_back("change " + std::to_string(old) + ">" + std::to_string(next) + " while " +
                      std::to_string(panel->Style()));
    };
    accept = false;
    panel->SetStyle(sp_Discrete);
    EXPECT_EQ(panel->Style(), sp_Range);
    EXPECT_EQ(SizeOf(panel), (TSize{353, 45}));
    EXPECT_TRUE(panel->pnlRange->Visible());
    EXPECT_FALSE(panel->pnlDiscrete->Visible());

    accept = true;
    redirect = sp_UserChoice;
    panel->SetStyle(sp_Discrete);
    EXPECT_EQ(panel->Style(), sp_UserChoice);
    EXPECT_TRUE(panel->chkUserChoice->Visible());
    EXPECT_EQ(SizeOf(panel), (TSize{200, 105}));
    EXPECT_EQ(log,
              (std::vector<std::string>{"changing 0>1", "changing 0>1", "change 0>2 while 0"}));
}

TEST_F(SelectPanelTest, UserChoiceBoxSwitchesThePart) {
    Show();
    int typeClicks = 0;
    panel->OnTypeClick = [&](TObject* s) {
        EXPECT_EQ(s, panel);
        ++typeClicks;
    };
    panel->SetUserChoice(false); // not a user-choice panel: ignored
    EXPECT_TRUE(panel->UserChoice());
    EXPECT_EQ(typeClicks, 0);

    panel->SetStyle(sp_UserChoice);
    EXPECT_TRUE(panel->IsRangeActive());
    EXPECT_TRUE(panel->pnlRange->Visible());
    panel->SetUserChoice(false);
    EXPECT_FALSE(panel->UserChoice());
    EXPECT_FALSE(panel->IsRangeActive());
    EXPECT_TRUE(panel->pnlDiscrete->Visible());
    EXPECT_FALSE(panel->pnlRange->Visible());
    EXPECT_EQ(typeClicks, 1);

    // The user clicks the box.
    test::ClickAt(panel->chkUserChoice, 5, 5);
    EXPECT_TRUE(panel->chkUserChoice->Checked());
    EXPECT_TRUE(panel->UserChoice());
    EXPECT_TRUE(panel->pnlRange->Visible());
    EXPECT_EQ(typeClicks, 2);
    ExpectVerticalRows(panel, true);
}

namespace {

// A dialog whose layout stores two panels, built inside the loading bracket.
class StoredForm : public TForm {
public:
    explicit StoredForm(TComponent* owner) : TForm(owner) {
        SetBounds(0, 0, 500, 300);
        choice = new TSelectPanel(this);
        choice->SetName("sp04");
        choice->SetParent(this);
        choice->SetBounds(8, 8, 353, 110);
        choice->SetCaption("選擇品號");
        choice->SetStyle(sp_UserChoice);
        choice->SetUserChoice(false);
        list = new TSelectPanel(this);
        list->SetName("sp03");
        list->SetParent(this);
        list->SetBounds(8, 130, 185, 110);
        list->SetOtherWidth(353);
        list->SetOtherHeight(64);
        list->SetCaption("類別");
        list->SetStyle(sp_Discrete);
    }
    TSelectPanel* choice;
    TSelectPanel* list;
};

} // namespace

TEST_F(SelectPanelTest, StoredPanelsKeepTheirSizeAndPart) {
    auto* stored = CreateForm<StoredForm>(nullptr);
    stored->Show();
    test::DrainEvents();
    EXPECT_EQ(SizeOf(stored->list), (TSize{185, 110}));
    EXPECT_EQ((TSize{stored->list->OtherWidth(), stored->list->OtherHeight()}), (TSize{353, 64}));
    EXPECT_TRUE(stored->list->pnlDiscrete->Visible());
    EXPECT_FALSE(stored->choice->UserChoice());
    EXPECT_FALSE(stored->choice->IsRangeActive());
    EXPECT_TRUE(stored->choice->pnlDiscrete->Visible());
    EXPECT_FALSE(stored->choice->pnlRange->Visible());
    EXPECT_EQ(SizeOf(stored->choice), (TSize{353, 110}));
}

TEST_F(SelectPanelTest, ChildHintsReachTheSubControlsByLine) {
    EXPECT_EQ(panel->ChildHints()->Count(), 9);
    EXPECT_EQ(panel->ListBox->Hint(), ""); // the defaults wait for an assignment
    TStringList hints;
    hints.Add("切換");
    hints.Add("起");
    panel->SetChildHints(&hints);
    EXPECT_EQ(panel->chkUserChoice->Hint(), "切換");
    EXPECT_EQ(panel->edBegin->Hint(), "起");
    EXPECT_EQ(panel->btnBegin->Hint(), "");
    panel->ChildHints()->Add("起開窗");
    EXPECT_EQ(panel->btnBegin->Hint(), "起開窗");
    panel->SetChildHints(nullptr);
    EXPECT_EQ(panel->ChildHints()->Count(), 3);

    TStringList all;
    for (int i = 0; i < 9; ++i)
        all.Add("h" + std::to_string(i));
    panel->SetChildHints(&all);
    TControl* order[] = {panel->chkUserChoice, panel->edBegin,   panel->btnBegin,
                         panel->edFinal,       panel->btnFinal,  panel->ListBox,
                         panel->btnList,       panel->btnDelete, panel->btnClear};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(order[i]->Hint(), "h" + std::to_string(i));
}

TEST_F(SelectPanelTest, DisablingReachesEveryNestedSubControl) {
    panel->SetStyle(sp_UserChoice);
    panel->SetEnabled(false);
    for (int i = 0; i < panel->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(panel->Components(i));
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(c->Enabled()) << c->Name();
    }
    panel->SetEnabled(true);
    EXPECT_TRUE(panel->edFinal->Enabled());
    EXPECT_TRUE(panel->btnClear->Enabled());
}

namespace {

// Answers the look-up request as a dialog does: records the target and whether it had the focus.
class LookupForm : public TForm {
public:
    explicit LookupForm(TComponent* owner) : TForm(owner) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_USER + 10) {
            auto* target = reinterpret_cast<TWinControl*>(m.LParam);
            log.push_back("request " + target->Name() + (target->Focused() ? " focused" : ""));
            return;
        }
        TForm::WndProc(m);
    }
    std::vector<std::string> log;
};

} // namespace

TEST_F(SelectPanelTest, LookupButtonsAskTheOwnerForm) {
    auto* dialog = CreateForm<LookupForm>(nullptr);
    dialog->SetBounds(50, 50, 420, 200);
    auto* sp = new TSelectPanel(dialog);
    sp->SetName("sp06");
    sp->SetParent(dialog);
    sp->SetBounds(8, 8, 353, 110);
    sp->SetStyle(sp_UserChoice);
    dialog->Show();
    test::DrainEvents();
    sp->OnOpenWinClick = [&](TObject* parent, TObject* target) {
        EXPECT_EQ(parent, sp);
        dialog->log.push_back("open " + static_cast<TComponent*>(target)->Name());
    };
    test::ClickAt(sp->btnBegin, 5, 5);
    test::ClickAt(sp->btnFinal, 5, 5);
    sp->SetUserChoice(false);
    test::ClickAt(sp->btnList, 5, 5);
    EXPECT_EQ(dialog->log, (std::vector<std::string>{"request edBegin focused", "open edBegin",
                                                     "request edFinal focused", "open edFinal",
                                                     "request ListBox focused", "open ListBox"}));
}

// Events of the sub-controls reach the panel's own events.
TEST_F(SelectPanelTest, ForwardsSubControlEvents) {
    panel->SetStyle(sp_UserChoice);
    std::vector<std::string> log;
    auto who = [&](TObject* s) {
        return s == panel ? std::string("panel") : static_cast<TComponent*>(s)->Name();
    };
    panel->OnClick = [&](TObject* s) { log.push_back("click " + who(s)); };
    panel->OnDblClick = [&](TObject* s) { log.push_back("dblclick " + who(s)); };
    panel->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        log.push_back("down " + who(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    panel->OnKeyDown = [&](TObject* s, Word& key, TShiftState) {
        log.push_back("key " + who(s) + " " + std::to_string(key));
    };
    panel->OnDragOver = [&](TObject* s, TObject*, int x, int y, TDragState, bool& accept) {
        log.push_back("over " + who(s) + " " + std::to_string(x) + "," + std::to_string(y));
        accept = false;
    };
    panel->OnUnDock = [&](TObject* s, TControl* client, TWinControl*, bool&) {
        log.push_back("undock " + who(s) + " " + who(client));
    };
    const TPoint list{panel->pnlDiscrete->Left() + panel->ListBox->Left(),
                      panel->pnlDiscrete->Top() + panel->ListBox->Top()};
    const TPoint btn{panel->pnlDiscrete->Left() + panel->btnList->Left(),
                     panel->pnlDiscrete->Top() + panel->btnList->Top()};
    const TPoint lbl{panel->pnlRange->Left() + panel->lblBegin->Left(),
                     panel->pnlRange->Top() + panel->lblBegin->Top()};
    auto pt = [](TPoint p, int dx, int dy) {
        return std::to_string(p.X + dx) + "," + std::to_string(p.Y + dy);
    };
    struct Case {
        std::function<void()> raise;
        std::string expected;
    };
    Word f2 = VK_F2;
    bool accept = true;
    const Case cases[] = {
        {[&] { panel->lblBegin->OnClick(panel->lblBegin); }, "click panel"},
        {[&] { panel->pnlDiscrete->OnClick(panel->pnlDiscrete); }, "click panel"},
        {[&] { panel->edFinal->OnClick(panel->edFinal); }, "click edFinal"},
        {[&] { panel->ListBox->OnClick(panel->ListBox); }, "click ListBox"},
        {[&] { panel->chkUserChoice->OnDblClick(panel->chkUserChoice); }, "dblclick panel"},
        {[&] { panel->edBegin->OnDblClick(panel->edBegin); }, "dblclick edBegin"},
        {[&] { panel->btnList->OnMouseDown(panel->btnList, mbLeft, {}, 3, 4); },
         "down panel " + pt(btn, 3, 4)},
        {[&] { panel->lblBegin->OnMouseDown(panel->lblBegin, mbLeft, {}, 1, 2); },
         "down panel " + pt(lbl, 1, 2)},
        {[&] { panel->ListBox->OnMouseDown(panel->ListBox, mbLeft, {}, 7, 8); },
         "down ListBox 7,8"},
        {[&] { panel->ListBox->OnKeyDown(panel->ListBox, f2, {}); }, "key ListBox 113"},
        {[&] { panel->chkUserChoice->OnKeyDown(panel->chkUserChoice, f2, {}); },
         "key chkUserChoice 113"},
        {[&] { panel->ListBox->OnDragOver(panel->ListBox, nullptr, 1, 1, dsDragMove, accept); },
         "over panel " + pt(list, 1, 1)},
        {[&] {
             bool allow = true;
             panel->ListBox->OnUnDock(panel->ListBox, panel->ListBox, nullptr, allow);
         },
         "undock panel panel"},
    };
    for (const Case& c : cases) {
        log.clear();
        c.raise();
        EXPECT_EQ(log, std::vector<std::string>{c.expected});
    }
    EXPECT_FALSE(accept);
    // Through the real input path as well.
    Show();
    log.clear();
    test::ClickAt(panel->lblBegin, 2, 2);
    EXPECT_EQ(log.back(), "click panel");
}

TEST_F(SelectPanelTest, ExitCheckRunsWhenTheFocusLeavesThePanel) {
    Show();
    std::vector<std::string> log;
    panel->OnExit = [&](TObject* s) {
        EXPECT_EQ(s, panel);
        log.push_back("exit " + panel->edBegin->Text() + "~" + panel->edFinal->Text());
    };
    static_cast<TWinControl*>(panel)->OnExit = [&](TObject*) { log.push_back("inherited exit"); };
    panel->edBegin->SetFocus();
    panel->edBegin->SetText("B ");
    panel->edFinal->SetText(" A");
    panel->edFinal->SetFocus(); // inside the panel: no check
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(panel->edBegin->Text(), "B ");
    outside->SetFocus();
    EXPECT_EQ(log, std::vector<std::string>{"exit A~B"});

    // Dates of the panel's layout and separator.
    panel->SetValueType(vt_Date);
    panel->SetDateType(dt_DDMMYYYY);
    panel->SetDateSign("-");
    panel->edBegin->SetText("01-02-2004");
    panel->edFinal->SetText("31-01-2004");
    panel->edBegin->SetFocus();
    outside->SetFocus();
    EXPECT_EQ(log.back(), "exit 31-01-2004~01-02-2004");
    EXPECT_EQ(panel->DateValue("01-02-2004"), EncodeDate(2004, 2, 1));
}

TEST_F(SelectPanelTest, EditMaskKeepsTheBeginTextWithoutChangeNotice) {
    int changes = 0;
    panel->edBegin->OnChange = [&](TObject*) { ++changes; };
    panel->edBegin->SetText("2004/05/01");
    changes = 0;
    panel->SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(panel->BlankMaskText(), "    /  /  ");
    EXPECT_EQ(panel->edBegin->EditMask(), "9999/99/99;1; ");
    EXPECT_EQ(panel->edFinal->EditMask(), "9999/99/99;1; ");
    EXPECT_EQ(panel->edFinal->Text(), "    /  /  ");
    EXPECT_EQ(panel->edBegin->Text(), "2004/05/01");
    panel->edBegin->SetText("2003/01/01");
    EXPECT_EQ(changes, 1);
    // An untouched end keeps the range as it is.
    panel->CheckRange();
    EXPECT_EQ(panel->edBegin->Text(), "2003/01/01");
    EXPECT_EQ(panel->edFinal->Text(), "    /  /  ");
}

TEST_F(SelectPanelTest, SetFocusGoesToTheListWhenTheListCounts) {
    Show();
    panel->SetStyle(sp_Discrete);
    panel->SetFocus();
    EXPECT_EQ(test::FocusedControl(), panel->ListBox);
}

TEST_F(SelectPanelTest, GlyphIndexReachesTheLookupButtons) {
    panel->SetGlyphIndex(60);
    EXPECT_EQ(panel->GlyphIndex(), 60);
    for (TF2Button* b : {panel->btnBegin, panel->btnFinal, panel->btnList})
        EXPECT_EQ(b->GlyphIndex(), 60) << b->Name();
    EXPECT_EQ(panel->btnDelete->GlyphIndex(), 47);
}

TEST_F(SelectPanelTest, WithoutLookupTheListKeepsItsWidth) {
    panel->SetStyle(sp_Discrete);
    const int width = panel->ListBox->Width();
    panel->SetCanOpenWin(false);
    EXPECT_EQ(panel->ListBox->Width(), width);
    EXPECT_FALSE(panel->btnList->Visible());
    EXPECT_TRUE(panel->btnDelete->Visible());
}

TEST_F(SelectPanelTest, SizeAndFontChangesLayOutAgain) {
    Show();
    panel->SetWidth(480);
    EXPECT_EQ(Right(panel->pnlRange), 480 - 3);
    ExpectHorizontalRows(panel, true);

    const int wordWidth = panel->lblBegin->Width();
    const int top = panel->pnlRange->Top();
    panel->Font()->SetHeight(-20);
    EXPECT_GT(panel->lblBegin->Width(), wordWidth);
    EXPECT_GT(panel->pnlRange->Top(), top); // the caption is higher
    ExpectHorizontalRows(panel, true);

    panel->SetStyle(sp_UserChoice);
    panel->SetHintWord("使用區間範圍");
    const int boxWidth = panel->chkUserChoice->Width();
    panel->SetHintWord("區間");
    EXPECT_LT(panel->chkUserChoice->Width(), boxWidth);
    EXPECT_EQ(panel->chkUserChoice->Caption(), "區間");
}
