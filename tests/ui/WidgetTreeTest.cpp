// The widgets behind the controls: a control's widget wherever it waits before it has a parent,
// the stacking of graphic and windowed controls, and fonts that follow the parent or stay.
#include "ui/ExtCtrls.h"
#include "ui/Grids.h"
#include "ui/StdCtrls.h"
#include "ui/qt/QtBridge.h"

#include "UiFixture.h"

#include <QComboBox>

#include <functional>

using namespace nuv;

namespace {

int QtComboOfFont(TControl* c) {
    return WidgetOf(c)->findChild<QComboBox*>()->font().pixelSize();
}

TEST_F(UiTest, AControlWithoutParentOutlivesTheControlsMadeBeforeIt) {
    auto* panel = Make<TPanel>(form, "pnl", 0, 0, 200, 100);
    Make<TEdit>(panel, "edInside", 10, 10, 80, 20);
    auto* loose = new TEdit(form);
    loose->SetName("edLoose");
    panel->Free();
    test::DrainEvents();

    ASSERT_NE(WidgetOf(loose), nullptr) << "the loose edit's widget went with the panel";
    loose->SetParent(form);
    loose->SetBounds(10, 120, 80, 20);
    loose->SetText("留下");
    form->Show();
    test::DrainEvents();
    EXPECT_TRUE(WidgetOf(loose)->isVisible());
    EXPECT_EQ(loose->Text(), "留下");
}

TEST_F(UiTest, GraphicControlsStayBelowWindowedOnesWhateverTheOrderTheyCame) {
    auto* first = Make<TEdit>(form, "edFirst", 10, 10, 100, 20);
    auto* label = Make<TLabel>(form, "lblOver", 10, 10, 100, 20);
    auto* second = Make<TEdit>(form, "edSecond", 10, 40, 100, 20);
    auto* label2 = Make<TLabel>(form, "lblLast", 10, 40, 100, 20);
    const QObjectList order = WidgetOf(form)->children(); // bottom to top
    auto at = [&](TControl* c) { return order.indexOf(WidgetOf(c)); };
    EXPECT_LT(at(label), at(label2));
    EXPECT_LT(at(label2), at(first));
    EXPECT_LT(at(first), at(second));

    form->Show();
    test::DrainEvents();
    QWidget* top = WidgetOf(form)->childAt(15, 15);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top == WidgetOf(first) || WidgetOf(first)->isAncestorOf(top))
        << "the label covers the edit it was put on";
}

// Bringing a control to the front or sending it to the back changes what covers what, also
// when asked twice, and never lifts a graphic control over a windowed one.
TEST_F(UiTest, BringToFrontAndSendToBackChangeWhatIsOnTop) {
    auto* a = Make<TPanel>(form, "pnlA", 10, 10, 100, 60);
    auto* b = Make<TPanel>(form, "pnlB", 20, 20, 100, 60);
    auto* c = Make<TPanel>(form, "pnlC", 30, 30, 100, 60);
    auto* label = Make<TLabel>(form, "lblUnder", 40, 40, 60, 14);
    form->Show();
    test::DrainEvents();
    auto topAt = [&](int x, int y) -> std::string {
        QWidget* w = WidgetOf(form)->childAt(x, y);
        for (TControl* k : {static_cast<TControl*>(a), static_cast<TControl*>(b),
                            static_cast<TControl*>(c), static_cast<TControl*>(label)})
            if (w == WidgetOf(k) || WidgetOf(k)->isAncestorOf(w))
                return k->Name();
        return "(none)";
    };
    ASSERT_EQ(topAt(50, 45), "pnlC");

    struct Step {
        std::function<void()> act;
        const char* top;
    };
    const Step steps[] = {
        {[&] { a->BringToFront(); }, "pnlA"},     {[&] { a->BringToFront(); }, "pnlA"},
        {[&] { label->BringToFront(); }, "pnlA"}, {[&] { a->SendToBack(); }, "pnlC"},
        {[&] { a->SendToBack(); }, "pnlC"},       {[&] { c->SendToBack(); }, "pnlB"},
        {[&] { c->BringToFront(); }, "pnlC"},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act();
        EXPECT_EQ(topAt(50, 45), steps[i].top) << "after step " << i;
    }
}

TEST_F(UiTest, FontsFollowTheParentUnlessTheControlHasItsOwn) {
    auto* page = Make<TPanel>(form, "pnlPage", 0, 0, 300, 200);
    page->Font()->SetHeight(-12);
    Make<TLabel>(page, "lblFirst", 10, 10, 60, 14);
    auto* follows = Make<TEdit>(page, "edFollows", 10, 30, 80, 20);
    auto* own = Make<TEdit>(page, "edOwn", 10, 60, 80, 20);
    own->SetParentFont(false); // the same font as the page, but its own from now on
    auto* combo = Make<TComboBox>(page, "cboFollows", 10, 90, 80, 20);
    EXPECT_FALSE(own->ParentFont());

    for (TControl* c : std::initializer_list<TControl*>{follows, own, combo})
        EXPECT_EQ(WidgetOf(c)->font().pixelSize(), 12) << c->Name();

    page->Font()->SetHeight(-20);
    page->Font()->SetColor(clRed);
    EXPECT_EQ(WidgetOf(follows)->font().pixelSize(), 20);
    EXPECT_EQ(QtComboOfFont(combo), 20);
    EXPECT_EQ(WidgetOf(follows)->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(WidgetOf(own)->font().pixelSize(), 12);
    EXPECT_NE(WidgetOf(own)->palette().color(QPalette::Text), QColor(Qt::red));
}

// Colours as a user sees them: a control that follows its parent's colour shows it (also after
// the parent's colour changes, and under another parent), one with its own keeps it, and a
// button shows the colour it was given last, also when it goes back to an earlier one.
TEST_F(UiTest, ColoursFollowTheParentUnlessTheControlHasItsOwn) {
    auto* left = Make<TPanel>(form, "pnlLeft", 0, 0, 150, 200);
    auto* right = Make<TPanel>(form, "pnlRight", 150, 0, 150, 200);
    left->SetColor(clYellow);
    right->SetColor(clAqua);
    auto* follows = Make<TPanel>(left, "pnlFollows", 10, 10, 60, 40);
    auto* own = Make<TPanel>(left, "pnlOwn", 10, 60, 60, 40);
    own->SetColor(clLime);
    auto* button = Make<TButton>(form, "btnColour", 10, 150, 80, 24);
    form->Show();
    test::DrainEvents();

    auto shown = [](TControl* c) { return WidgetOf(c)->palette().color(QPalette::Window); };
    EXPECT_EQ(shown(follows), QColor(Qt::yellow));
    EXPECT_EQ(shown(own), QColor(Qt::green));

    left->SetColor(clRed);
    EXPECT_EQ(shown(follows), QColor(Qt::red));
    EXPECT_EQ(shown(own), QColor(Qt::green));

    follows->SetParent(right);
    EXPECT_EQ(follows->Color(), clAqua);
    EXPECT_EQ(shown(follows), QColor(Qt::cyan));

    const TColor first = button->Color();
    for (TColor c : {clRed, first, clBlue, clBlue}) {
        button->SetColor(c);
        EXPECT_EQ(WidgetOf(button)->palette().color(QPalette::Button), ToQColor(c)) << c;
    }
}

// What a control shows inside its frame, right of any text in it.
QColor ShownInside(TControl* c) {
    QWidget* w = WidgetOf(c);
    return w->grab().toImage().pixelColor(w->width() - 6, w->height() / 2);
}

// Controls with a colour of their own keep it when the colour around them changes and when they
// move, also those whose colour was the same as their surroundings' until then (they showed it
// by inheriting); edits keep the white of text areas unless they follow their parent's colour.
// Plain windowed controls show their colour through their widget's background.
TEST_F(UiTest, OwnColoursStayWhenTheColourAroundThemChanges) {
    auto* area = Make<TWinControl>(form, "wcArea", 0, 0, 300, 200); // white, its own
    auto* follows = Make<TPanel>(area, "pnlFollows", 10, 60, 120, 60);
    auto* same = Make<TWinControl>(area, "wcSame", 10, 10, 120, 40);    // white like the area
    auto* inner = Make<TWinControl>(follows, "wcInner", 5, 5, 100, 30); // white like the panel
    auto* edit = Make<TEdit>(area, "edOwn", 150, 10, 120, 21);
    auto* followingEdit = Make<TEdit>(area, "edFollows", 150, 40, 120, 21);
    followingEdit->SetParentColor(true);
    auto* target = Make<TPanel>(form, "pnlTarget", 0, 210, 300, 80);
    target->SetColor(clAqua);
    form->Show();
    test::DrainEvents();
    const QColor white = ToQColor(clWindow);
    struct Case {
        TControl* control;
        QColor shown;
    };
    for (const Case& c : {Case{same, white}, Case{follows, white}, Case{inner, white}})
        ASSERT_EQ(ShownInside(c.control), c.shown) << c.control->Name();

    area->SetColor(clYellow);
    for (const Case& c : {Case{area, Qt::yellow}, Case{same, white}, Case{follows, Qt::yellow},
                          Case{inner, white}, Case{edit, white}, Case{followingEdit, Qt::yellow}})
        EXPECT_EQ(ShownInside(c.control), c.shown) << c.control->Name();

    follows->SetParent(target);
    same->SetParent(target);
    edit->SetParent(target);
    for (const Case& c :
         {Case{follows, Qt::cyan}, Case{inner, white}, Case{same, white}, Case{edit, white}})
        EXPECT_EQ(ShownInside(c.control), c.shown) << c.control->Name() << " after the move";

    edit->SetColor(clLime);
    EXPECT_EQ(ShownInside(edit), QColor(Qt::green));
}

// Controls that paint all of themselves (a panel, a group box, a grid, a bit check box) get no
// background filled under them first: what they paint must cover them whole, on every paint,
// whatever their last paint left in the canvas (a grid whose cells are drawn with a clear brush).
TEST_F(UiTest, ControlsThatPaintAllOfThemselvesCoverThemselvesOnEveryPaint) {
    auto* grid = Make<TDrawGrid>(form, "grdCells", 0, 0, 200, 100);
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetDefaultColWidth(30);
    grid->SetDefaultRowHeight(20);
    grid->OnDrawCell = TDrawCellEvent([grid](TObject*, int, int, TRect rect, TGridDrawState) {
        grid->Canvas()->Brush()->SetStyle(bsClear);
        grid->Canvas()->DrawText("1", rect, DT_SINGLELINE);
    });
    auto* panel = Make<TPanel>(form, "pnlWhole", 0, 110, 200, 40);
    panel->SetColor(clAqua);
    auto* group = Make<TGroupBox>(form, "grpWhole", 210, 0, 150, 80);
    group->SetColor(clYellow);
    form->Show();
    test::DrainEvents();
    // Beyond the cells and inside the frames: the control's own colour, on a first and a later
    // paint (a widget grabbed whole starts from nothing when it says it paints all of itself).
    for (int paint = 1; paint <= 2; ++paint) {
        for (TControl* c : std::initializer_list<TControl*>{grid, panel, group}) {
            QWidget* w = WidgetOf(c);
            EXPECT_EQ(w->grab().toImage().pixelColor(w->width() - 10, w->height() - 10),
                      ToQColor(c->Color()))
                << c->Name() << ", paint " << paint;
        }
    }
}

// A label draws its caption itself; screen readers find it as the widget's name, without the
// accelerator marks unless the label shows "&" as it is.
TEST_F(UiTest, ALabelNamesItsCaptionForScreenReaders) {
    auto* label = Make<TLabel>(form, "lblName", 10, 10, 80, 17);
    const struct {
        const char* caption;
        bool accel;
        const char* name;
    } cases[] = {{"&Name:", true, "Name:"},
                 {"R&&D &Code", true, "R&D Code"},
                 {"R&&D &Code", false, "R&&D &Code"},
                 {"日期(&D)", true, "日期(D)"},
                 {"", true, ""}};
    for (const auto& c : cases) {
        label->SetShowAccelChar(c.accel);
        label->SetCaption(c.caption);
        EXPECT_EQ(WidgetOf(label)->accessibleName().toStdString(), c.name) << c.caption;
    }
}

} // namespace

// Tool tips follow the control's hint at once and the application's hint settings after the
// event loop's next turn, however often those settings moved meanwhile.
TEST_F(UiTest, ToolTipsFollowTheHintAndTheApplicationsSettings) {
    auto* edit = Make<TEdit>(form, "edHint", 10, 10, 80, 20);
    auto* quiet = Make<TEdit>(form, "edQuiet", 10, 40, 80, 20);
    edit->SetHint("[F2]日期快手|long text");
    edit->SetShowHint(true);
    quiet->SetHint("not shown");
    EXPECT_EQ(WidgetOf(edit)->toolTip(), QStringLiteral("[F2]日期快手"));
    EXPECT_EQ(WidgetOf(quiet)->toolTip(), QString());

    const bool shown = Application->ShowHint();
    const int pause = Application->HintHidePause();
    Application->SetShowHint(false);
    test::DrainEvents();
    EXPECT_EQ(WidgetOf(edit)->toolTip(), QString()) << "hints stayed on after they were turned off";

    Application->SetShowHint(true);
    Application->SetHintHidePause(4321);
    Application->SetShowHint(false);
    Application->SetShowHint(true);
    test::DrainEvents();
    EXPECT_EQ(WidgetOf(edit)->toolTip(), QStringLiteral("[F2]日期快手"));
    EXPECT_EQ(WidgetOf(edit)->toolTipDuration(), 4321);
    edit->SetHint("new");
    EXPECT_EQ(WidgetOf(edit)->toolTip(), QStringLiteral("new"));

    Application->SetHintHidePause(pause);
    Application->SetShowHint(shown);
    test::DrainEvents();
}
