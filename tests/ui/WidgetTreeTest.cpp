// The widgets behind the controls: a control's widget wherever it waits before it has a parent,
// the stacking of graphic and windowed controls, and fonts that follow the parent or stay.
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "ui/qt/QtBridge.h"

#include "UiFixture.h"

#include <QComboBox>

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
