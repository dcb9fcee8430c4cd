// The dialog taking over its fields: handlers swapped and chained, date checks on entering and
// leaving, the confirm buttons refused while a required field is blank. The first test drives
// a small dialog by keys as a user would.
#include "runtime/FieldWiring.h"

#include "RuntimeFixture.h"
#include "controls/SelectPnl.h"
#include "runtime/FieldChecks.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace nuv;
using namespace nuv::test;

namespace {

class FieldWiringTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        dialog->Manager = fakes.NewManager();
        fakes.Host->Messages["E000005"] = "日期錯誤";
        fakes.Host->Messages["E000037"] = "必要欄位未輸入";
        edPrintDate = Field<TMaskEdit>("edPrintDate", 8);
        ed11 = Field<TMaskEdit>("ed11", 36);
        ed12 = Field<TEdit>("ed12", 64);
        ed13 = Field<TEdit>("ed13", 92);
        btnOk = new TButton(dialog);
        btnOk->SetName("btnOk");
        btnOk->SetParent(dialog);
        btnOk->SetBounds(8, 130, 75, 25);
        btnOk->OnClick = TNotifyEvent([this](TObject*) { log.push_back("ok"); });
    }

    template <class T> T* Field(const char* name, int top) {
        auto* f = new T(dialog);
        f->SetName(name);
        f->SetParent(dialog);
        f->SetBounds(8, top, 120, 21);
        std::string n = name;
        f->OnExit = TNotifyEvent([this, n](TObject*) { log.push_back("exit " + n); });
        return f;
    }

    void ShowAt(TWinControl* control) {
        dialog->SetActiveControl(control);
        dialog->Show();
        DrainEvents();
    }

    TMaskEdit* edPrintDate = nullptr;
    TMaskEdit* ed11 = nullptr;
    TEdit* ed12 = nullptr;
    TEdit* ed13 = nullptr;
    TButton* btnOk = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST_F(FieldWiringTest, TabBadDatesAndOkByKeys) {
    dialog->DateLayout = 1;
    SetDateFields(*dialog, "edPrintDate");
    SetDateFields(*dialog, "ed11");
    SetYearMonthFields(*dialog, "ed12");
    SetRequiredFields(*dialog, "ed13");
    EXPECT_EQ(dialog->DateFieldList, "ed11,edPrintDate");
    EXPECT_EQ(ed13->Color(), RequiredColor);

    ShowAt(edPrintDate);
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), ed11);
    EXPECT_EQ(ed11->EditMask(), "9999/99/99;1; ") << "entering a date field gives it its mask";
    TypeText("20030230");
    EXPECT_EQ(ed11->Text(), "2003/02/30");
    PressKey(VK_TAB);
    EXPECT_EQ(FocusedControl(), ed11) << "a bad date keeps the user in the field";
    EXPECT_EQ(Shown(), std::vector<std::string>{"日期錯誤"});
    EXPECT_EQ(presenter.Messages()[0].Kind, mtError);
    EXPECT_EQ(log, std::vector<std::string>{"exit edPrintDate"})
        << "the field's own exit handler does not run after a failed check";

    ed11->SetText("2003/02/28");
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), ed12);
    EXPECT_EQ(ed12->Text(), "    /  ") << "a plain year-month field shows its separators";
    TypeText("2003/13");
    PressKey(VK_TAB);
    EXPECT_EQ(FocusedControl(), ed12);
    EXPECT_EQ(Shown().size(), 2u);
    ed12->SetText("2003/12");
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), ed13);
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), btnOk);

    PressKey(VK_RETURN);
    EXPECT_EQ(FocusedControl(), ed13) << "OK refused: the blank required field has the focus";
    EXPECT_EQ(Shown().back(), "必要欄位未輸入");
    EXPECT_EQ(std::count(log.begin(), log.end(), "ok"), 0);
    TypeText("A");
    PressKey(VK_TAB);
    PressKey(VK_RETURN);
    EXPECT_EQ(log.back(), "ok");
    EXPECT_EQ(Shown().size(), 3u);
    EXPECT_EQ(log, (std::vector<std::string>{"exit edPrintDate", "exit ed11", "exit ed12",
                                             "exit ed13", "exit ed13", "ok"}));
}

TEST_F(FieldWiringTest, DateListKeepsThePrintDateAndUnwiringRestoresHandlers) {
    const TMethod own11 = ed11->OnExit.Method();
    SetDateFields(*dialog, "edPrintDate");
    SetDateFields(*dialog, "ed11");
    EXPECT_EQ(dialog->DateFieldList, "ed11,edPrintDate");
    EXPECT_TRUE(ed11->OnExit.Method() == dialog->OnDateFieldExit.Method());
    EXPECT_TRUE(edPrintDate->OnEnter.Method() == dialog->OnDateFieldEnter.Method());
    SetDateFields(*dialog, "ed11,edPrintDate");
    EXPECT_EQ(dialog->DateFieldList, "ed11,edPrintDate") << "an unchanged list stays";
    SetDateFields(*dialog, "ed12");
    SetDateFields(*dialog, "ed12");
    EXPECT_EQ(dialog->DateFieldList, "ed12,ed11,edPrintDate") << "setting it again adds nothing";
    EXPECT_TRUE(ed11->OnExit.Method() == dialog->OnDateFieldExit.Method());
    SetDateFields(*dialog, "edPrintDate");
    EXPECT_EQ(dialog->DateFieldList, "edPrintDate") << "a list naming the print date replaces";
    EXPECT_TRUE(ed11->OnExit.Method() == own11);
    EXPECT_FALSE(ed11->OnEnter.Assigned()) << "a field without a handler gets none back";
}

TEST_F(FieldWiringTest, WiringTwiceNeverChainsTheDialogToItself) {
    SetDateFields(*dialog, "ed11");
    WireDateFields(*dialog, "ed11,ed11");
    dialog->DateLayout = 1;
    ed11->SetEditMask(DateEditMask(*dialog));
    ed11->SetText("2003/12/01");
    ed11->OnExit(ed11);
    EXPECT_EQ(log, std::vector<std::string>{"exit ed11"});
}

TEST_F(FieldWiringTest, NamesMatchAsWholeItems) {
    auto* ed1 = Field<TEdit>("ed1", 160);
    auto* ed10 = Field<TMaskEdit>("ed10", 190);
    (void)ed10;
    dialog->DateLayout = 1;
    SetDateFields(*dialog, "ed10");
    SetYearMonthFields(*dialog, "ed1");
    ed1->SetText("2003/12");
    ed1->OnExit(ed1);
    EXPECT_FALSE(dialog->CheckFailed) << "ed1 is a year-month field although ed10 is a date field";
    EXPECT_EQ(log, std::vector<std::string>{"exit ed1"});
}

TEST_F(FieldWiringTest, DatePanelGetsTheLayout) {
    auto* sp = new TSelectPanel(dialog);
    sp->SetName("sp01");
    sp->SetParent(dialog);
    dialog->DateLayout = 5;
    dialog->DateSeparator = "-";
    SetDateFields(*dialog, "sp01");
    EXPECT_EQ(sp->ValueType(), vt_Date);
    EXPECT_EQ(sp->DateType(), dt_YYYMMDD);
    EXPECT_EQ(sp->DateSign(), "-");
    dialog->DateLayout = 9;
    WireDateFields(*dialog, "sp01");
    EXPECT_EQ(sp->DateType(), dt_NoneCare);
}

TEST_F(FieldWiringTest, RequiredListRepaintsAndUnhooks) {
    const TColor before = ed12->Color();
    SetRequiredFields(*dialog, "ed12;N, edMissing");
    EXPECT_EQ(ed12->Color(), RequiredColor) << "a field only marked is painted too";
    EXPECT_TRUE(btnOk->OnClick.Method() == dialog->OnRequiredExit.Method());
    SetRequiredFields(*dialog, "ed13");
    EXPECT_EQ(ed12->Color(), before);
    EXPECT_EQ(ed13->Color(), RequiredColor);
    SetRequiredFields(*dialog, "");
    EXPECT_EQ(ed13->Color(), before);
    EXPECT_FALSE(btnOk->OnClick.Method() == dialog->OnRequiredExit.Method());
    btnOk->Click();
    EXPECT_EQ(log, std::vector<std::string>{"ok"});
}

TEST_F(FieldWiringTest, PeriodButtonReleasedWhenARequiredFieldIsBlank) {
    auto* pages = new TPageControl(dialog);
    pages->SetName("pgOption");
    pages->SetParent(dialog);
    pages->SetBounds(200, 0, 200, 200);
    for (const char* n : {"tsOption1", "tsOption2", "tsPeriod"}) {
        auto* ts = new TTabSheet(dialog);
        ts->SetName(n);
        ts->SetPageControl(pages);
    }
    pages->SetActivePage(pages->Pages(0));
    auto* period = new TSpeedButton(dialog);
    period->SetName("btnPeriod");
    period->SetParent(dialog);
    period->SetGroupIndex(1);
    period->SetAllowAllUp(true);
    period->OnClick = TNotifyEvent([this](TObject*) { log.push_back("period"); });
    SetRequiredFields(*dialog, "ed13");
    ShowAt(ed11);

    period->SetDown(true);
    period->Click();
    EXPECT_TRUE(dialog->CheckFailed);
    EXPECT_FALSE(period->Down());
    EXPECT_FALSE(pages->Pages(2)->TabVisible());
    EXPECT_TRUE(log.empty() || log.back() != "period");

    ed13->SetText("A");
    period->SetDown(true);
    period->Click();
    EXPECT_FALSE(dialog->CheckFailed);
    EXPECT_EQ(log.back(), "period");
}

TEST_F(FieldWiringTest, RunExitHandlerUsesThePanelOfAnEdit) {
    auto* sp = new TSelectPanel(dialog);
    sp->SetName("sp01");
    sp->SetParent(dialog);
    dialog->DateLayout = 1;
    SetDateFields(*dialog, "sp01");
    ShowAt(ed11);
    sp->edBegin->SetText("2003/02/30");
    dialog->QuietMessages = true;
    RunExitHandler(*dialog, sp->edBegin, "OnExit");
    dialog->QuietMessages = false;
    EXPECT_TRUE(dialog->CheckFailed) << "the panel's exit check ran";
    EXPECT_EQ(Shown().size(), 1u) << "errors are shown while quiet";
    sp->edBegin->SetText("2003/02/28");
    RunExitHandler(*dialog, sp->edBegin, "OnExit");
    EXPECT_FALSE(dialog->CheckFailed);
}
