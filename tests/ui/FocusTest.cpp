#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

#include "UiFixture.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>

using namespace nuv;

namespace {

// Edit1 | Panel1 { Edit2, Edit3 } | Group1 { Panel2 { Edit4 } }
class FocusOrder : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        edit1 = Make<TEdit>(form, "Edit1", 8, 8, 100, 21);
        panel1 = Make<TPanel>(form, "Panel1", 8, 40, 200, 60);
        edit2 = Make<TEdit>(panel1, "Edit2", 4, 4, 90, 21);
        edit3 = Make<TEdit>(panel1, "Edit3", 100, 4, 90, 21);
        group1 = Make<TGroupBox>(form, "Group1", 8, 110, 200, 80);
        panel2 = Make<TPanel>(group1, "Panel2", 8, 20, 180, 50);
        edit4 = Make<TEdit>(panel2, "Edit4", 4, 4, 90, 21);
        for (TWinControl* c : {static_cast<TWinControl*>(edit1), static_cast<TWinControl*>(panel1),
                               static_cast<TWinControl*>(edit2), static_cast<TWinControl*>(edit3),
                               static_cast<TWinControl*>(group1), static_cast<TWinControl*>(panel2),
                               static_cast<TWinControl*>(edit4)}) {
            std::string n = c->Name();
            c->OnEnter = TNotifyEvent([this, n](TObject*) { log.push_back("enter " + n); });
            c->OnExit = TNotifyEvent([this, n](TObject*) { log.push_back("exit " + n); });
        }
        form->SetActiveControl(edit1);
        form->Show();
        log.clear();
    }
    TEdit *edit1, *edit2, *edit3, *edit4;
    TPanel *panel1, *panel2;
    TGroupBox* group1;
    std::vector<std::string> log;
};

} // namespace

TEST_F(FocusOrder, FirstShowFocusesTheActiveControl) {
    EXPECT_EQ(test::FocusedControl(), edit1);
    EXPECT_TRUE(edit1->Focused());
    EXPECT_EQ(form->ActiveControl(), edit1);
}

TEST_F(FocusOrder, EnterAndExitFollowTheContainers) {
    struct Case {
        const char* to;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"Edit2", {"exit Edit1", "enter Panel1", "enter Edit2"}},
        {"Edit3", {"exit Edit2", "enter Edit3"}},
        {"Edit4", {"exit Edit3", "exit Panel1", "enter Group1", "enter Panel2", "enter Edit4"}},
        {"Edit1", {"exit Edit4", "exit Panel2", "exit Group1", "enter Edit1"}},
    };
    for (const Case& c : cases) {
        log.clear();
        auto* target = static_cast<TWinControl*>(form->FindComponent(c.to));
        target->SetFocus();
        EXPECT_EQ(log, c.expected) << "moving to " << c.to;
        EXPECT_EQ(test::FocusedControl(), target);
    }
}

TEST_F(FocusOrder, AnExitHandlerThatRefocusesEndsTheSequence) {
    edit1->OnExit = TNotifyEvent([this](TObject*) {
        log.push_back("exit Edit1");
        edit1->SetFocus();
    });
    edit2->SetFocus();
    // The focus came back to Edit1 (entered again); Panel1 and Edit2 were never entered.
    EXPECT_EQ(log, (std::vector<std::string>{"exit Edit1", "enter Edit1"}));
    EXPECT_EQ(test::FocusedControl(), edit1);
}

TEST_F(FocusOrder, TabAndNextDialogControlFollowTheTabOrder) {
    edit3->SetTabOrder(0); // Edit3 before Edit2 inside Panel1
    test::PressKey(VK_TAB);
    EXPECT_EQ(test::FocusedControl(), edit3);
    form->Perform(WM_NEXTDLGCTL, 0, 0);
    EXPECT_EQ(test::FocusedControl(), edit2);
    test::PressKey(VK_TAB, {ssShift});
    EXPECT_EQ(test::FocusedControl(), edit3);
    edit4->SetEnabled(false);
    edit2->SetFocus();
    test::PressKey(VK_TAB);
    EXPECT_EQ(test::FocusedControl(), edit1) << "a disabled control is skipped";
}

TEST_F(FocusOrder, FocusingInAHiddenFormRaises) {
    auto* hidden = CreateForm<TForm>(nullptr);
    auto* e = new TEdit(hidden);
    e->SetParent(hidden);
    EXPECT_THROW(e->SetFocus(), EInvalidOperation);
}

// A window of the host over the form (a look-up window parented to the dialog) takes the focus
// and the keys and closes; the form's active control stays, sees no exit, and has the focus
// again when the form is active again.
TEST_F(FocusOrder, AWindowOfTheHostOverTheFormLeavesTheActiveControlAlone) {
    edit3->SetFocus();
    log.clear();
    form->SetKeyPreview(true);
    form->OnKeyDown = TKeyEvent([this](TObject*, Word&, TShiftState) { log.push_back("key"); });
    {
        QDialog lookup(WidgetOf(form));
        auto* search = new QLineEdit(&lookup);
        lookup.show();
        lookup.activateWindow();
        QApplication::setActiveWindow(&lookup);
        search->setFocus();
        test::DrainEvents();
        ASSERT_EQ(QApplication::focusWidget(), search);
        test::TypeText("B01");
        EXPECT_EQ(search->text(), "B01");
        EXPECT_EQ(form->ActiveControl(), edit3);
    }
    WidgetOf(form)->activateWindow();
    QApplication::setActiveWindow(WidgetOf(form));
    test::DrainEvents();
    EXPECT_EQ(test::FocusedControl(), edit3);
    EXPECT_EQ(form->ActiveControl(), edit3);
    EXPECT_EQ(log, std::vector<std::string>{}) << "the form saw the other window's focus or keys";
}

// ---------------------------------------------------------------------------------------------
// Key preview

TEST_F(UiTest, KeyPreviewChangesAndConsumesKeys) {
    auto* edit = Make<TEdit>(form, "Edit1", 8, 8, 120, 21);
    form->SetKeyPreview(true);
    std::vector<std::string> seen;
    form->OnKeyPress = TKeyPressEvent([&](TObject*, TKeyChar& key) {
        seen.push_back("form " + std::string(1, static_cast<char>(key)));
        if (key == U'a')
            key = U'b'; // changed: the edit receives b
        else if (key == U'x')
            key = 0; // consumed
    });
    form->OnKeyDown = TKeyEvent([&](TObject*, Word& key, TShiftState) {
        if (key == VK_F2)
            key = 0;
    });
    edit->OnKeyPress = TKeyPressEvent([&](TObject*, TKeyChar& key) {
        seen.push_back("edit " + std::string(1, static_cast<char>(key)));
    });
    bool editSawF2 = false;
    edit->OnKeyDown =
        TKeyEvent([&](TObject*, Word& key, TShiftState) { editSawF2 |= key == VK_F2; });
    form->Show();
    ASSERT_EQ(test::FocusedControl(), edit);

    test::TypeText("axc");
    EXPECT_EQ(edit->Text(), "bc");
    EXPECT_EQ(seen, (std::vector<std::string>{"form a", "edit b", "form x", "form c", "edit c"}));
    test::PressKey(VK_F2);
    EXPECT_FALSE(editSawF2) << "the form consumed F2 before the edit saw it";
}
