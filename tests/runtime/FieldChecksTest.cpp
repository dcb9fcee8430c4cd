// Date fields and required fields as values: masks, blank texts and storage texts for every
// layout, the field checks, blank fields under a mask, the required-field list.
#include "runtime/FieldChecks.h"

#include "RuntimeFixture.h"
#include "controls/SelectPnl.h"
#include "platform/DateTime.h"
#include "ui/ComCtrls.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace nuv;
using namespace nuv::test;

namespace {

struct LayoutCase {
    int layout;
    const char* sep;
    const char* dateMask;
    const char* yearMonthMask;
    const char* blankDate;
    const char* blankYearMonth;
    const char* shown;      // a date as the user types it
    const char* stored;     // what it stores
    const char* shownMonth; // a year and month
    const char* storedMonth;
};

class LayoutTest : public RuntimeTest, public ::testing::WithParamInterface<LayoutCase> {};

} // namespace

TEST_P(LayoutTest, MasksBlanksAndStorage) {
    const LayoutCase& c = GetParam();
    dialog->DateLayout = c.layout;
    dialog->DateSeparator = c.sep;
    EXPECT_EQ(DateEditMask(*dialog), c.dateMask);
    EXPECT_EQ(YearMonthEditMask(*dialog), c.yearMonthMask);
    EXPECT_EQ(BlankDateText(*dialog), c.blankDate);
    EXPECT_EQ(BlankYearMonthText(*dialog), c.blankYearMonth);
    EXPECT_EQ(DateTextToStorage(*dialog, c.shown), c.stored);
    EXPECT_EQ(YearMonthTextToStorage(*dialog, c.shownMonth), c.storedMonth);
    // The field's own blank text and an empty text store nothing.
    EXPECT_EQ(DateTextToStorage(*dialog, c.blankDate), "");
    EXPECT_EQ(YearMonthTextToStorage(*dialog, c.blankYearMonth), "");
    EXPECT_EQ(YearMonthTextToStorage(*dialog, ""), "");
    // What the mask gives an untouched edit is the blank text.
    TEditMaskFormat mask(c.dateMask);
    std::u32string empty = mask.Text(mask.EmptyChars());
    EXPECT_EQ(empty.size(), std::string(c.blankDate).size());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutTest,
    ::testing::Values(LayoutCase{1, "/", "9999/99/99;1; ", "9999/99;1; ", "    /  /  ", "    /  ",
                                 "2003/12/31", "20031231", "2003/12", "200312"},
                      LayoutCase{2, "-", "99-99-9999;1; ", "99-9999;1; ", "  -  -    ", "  -    ",
                                 "12-31-2003", "20031231", "12-2003", "200312"},
                      LayoutCase{3, "/", "99/99/9999;1; ", "99/9999;1; ", "  /  /    ", "  /    ",
                                 "31/12/2003", "20031231", "12/2003", "200312"},
                      LayoutCase{4, "/", "99/99/99;1; ", "99/99;1; ", "  /  /  ", "  /  ",
                                 "92/12/01", "20031201", "92/12", "200312"},
                      LayoutCase{5, "/", "999/99/99;1; ", "999/99;1; ", "   /  /  ", "   /  ",
                                 "092/12/01", "20031201", "100/01", "201101"}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        return "Layout" + std::to_string(info.param.layout);
    });

using FieldChecksTest = RuntimeTest;

TEST_F(FieldChecksTest, StorageEdgeCases) {
    dialog->DateLayout = 4;
    EXPECT_EQ(DateTextToStorage(*dialog, "92/02/30"), "20030230") << "not checked here";
    EXPECT_EQ(DateTextToStorage(*dialog, "92/ab/01"), "92/ab/01") << "a part that is no number";
    EXPECT_EQ(DateTextToStorage(*dialog, " 92/ 2/ 3 "), "20030203");
    EXPECT_EQ(YearMonthTextToStorage(*dialog, "92/00"), "92/00") << "a zero part";
    dialog->DateLayout = 0;
    EXPECT_EQ(DateTextToStorage(*dialog, "2003/12/31"), "") << "no layout";
    dialog->DateLayout = 1;
    EXPECT_EQ(DateTextToStorage(*dialog, "", true, "20040101"), "20040101");
    ScopedNow now(EncodeDate(2003, 12, 31));
    EXPECT_EQ(DateTextToStorage(*dialog, "", true, "-1"), "20040101") << "tomorrow";
    EXPECT_EQ(DateTextToStorage(*dialog, "    /  /  ", true, "-1"), "")
        << "an untouched mask is no empty text";
    EXPECT_EQ(DateTextToStorage(*dialog, "", false, "-1"), "");
}

TEST_F(FieldChecksTest, ImpossibleDayPassesStorageButFailsTheCheck) {
    dialog->DateLayout = 4;
    auto* ed = new TMaskEdit(dialog);
    ed->SetParent(dialog);
    std::string ref;
    ASSERT_TRUE(CheckDateField(*dialog, ed, true, ref));
    EXPECT_EQ(ed->EditMask(), "99/99/99;1; ");
    ed->SetText("92/02/30");
    EXPECT_FALSE(CheckDateField(*dialog, ed, false, ref));
    EXPECT_EQ(ref, "E;000005");
    ref.clear();
    ed->SetText("92/02/28");
    EXPECT_TRUE(CheckDateField(*dialog, ed, false, ref));
    ed->SetText("  /  /  ");
    EXPECT_TRUE(CheckDateField(*dialog, ed, false, ref)) << "a field left blank passes";
    EXPECT_EQ(ref, "");
}

TEST_F(FieldChecksTest, YearMonthCheck) {
    dialog->DateLayout = 1;
    auto* ed = new TEdit(dialog);
    ed->SetParent(dialog);
    std::string ref;
    EXPECT_TRUE(CheckYearMonthField(*dialog, ed, false, ref)) << "an empty plain edit passes";
    ASSERT_TRUE(CheckYearMonthField(*dialog, ed, true, ref));
    EXPECT_EQ(ed->Text(), "    /  ");
    EXPECT_TRUE(CheckYearMonthField(*dialog, ed, false, ref));
    ed->SetText("2003/13");
    EXPECT_FALSE(CheckYearMonthField(*dialog, ed, false, ref));
    EXPECT_EQ(ref, "E;000005");
    ed->SetText("2003/12");
    EXPECT_TRUE(CheckYearMonthField(*dialog, ed, true, ref));
    EXPECT_EQ(ed->Text(), "2003/12") << "entering again keeps what was typed";
}

TEST_F(FieldChecksTest, RangePanelChecksBothEditsAndFocusesTheBadOne) {
    dialog->DateLayout = 1;
    auto* panel = new TSelectPanel(dialog);
    panel->SetName("sp01");
    panel->SetParent(dialog);
    dialog->Show();
    DrainEvents();
    std::string ref;
    ASSERT_TRUE(CheckDateField(*dialog, panel, true, ref));
    EXPECT_EQ(panel->EditMask(), "9999/99/99;1; ");
    panel->edBegin->SetText("2003/12/01");
    panel->edFinal->SetText("2003/11/31");
    EXPECT_FALSE(CheckDateField(*dialog, panel, false, ref));
    EXPECT_EQ(FocusedControl(), panel->edFinal);
    EXPECT_EQ(dialog->TBaseGeneState::FocusControl.Get(), panel->edFinal);
}

TEST_F(FieldChecksTest, WrongKindOfControlGetsThePlainMessage) {
    auto* label = new TLabel(dialog);
    std::string ref;
    EXPECT_FALSE(CheckDateField(*dialog, label, false, ref));
    EXPECT_FALSE(CheckYearMonthField(*dialog, label, true, ref));
    ASSERT_EQ(presenter.Boxes().size(), 2u);
    EXPECT_EQ(presenter.Boxes()[0].Text,
              "判斷日期的函數第一個參數錯誤, 只能傳下列三種物件:\rTSelectPanel, TMaskedit, TEdit");
    EXPECT_EQ(presenter.Boxes()[1].Text,
              "判斷年月的函數第一個參數錯誤, 只能傳下列三種物件:\rTSelectPanel, TMaskedit, TEdit");
    EXPECT_EQ(ref, "");
}

TEST_F(FieldChecksTest, BlankUnderTheMask) {
    auto* ed = new TMaskEdit(dialog);
    ed->SetEditMask("9999/99/99;1; ");
    EXPECT_TRUE(IsFieldBlank(ed)) << "only the separators and blanks";
    ed->SetText("2003/  /  ");
    EXPECT_FALSE(IsFieldBlank(ed));
    ed->SetEditMask("9999/99/99;0; ");
    ed->SetText("");
    EXPECT_TRUE(IsFieldBlank(ed));
    auto* plain = new TEdit(dialog);
    plain->SetText("   ");
    EXPECT_TRUE(IsFieldBlank(plain));
    plain->SetText("/");
    EXPECT_FALSE(IsFieldBlank(plain));
    auto* label = new TLabel(dialog);
    EXPECT_FALSE(IsFieldBlank(label)) << "no published Text";
}

// The required-field list on a dialog with pages.
namespace {

class RequiredFieldsTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        dialog->Manager = fakes.NewManager();
        pages = new TPageControl(dialog);
        pages->SetName("pgOption");
        pages->SetParent(dialog);
        pages->SetBounds(0, 0, 400, 260);
        for (const char* n : {"tsOption1", "tsOption2"}) {
            auto* ts = new TTabSheet(dialog);
            ts->SetName(n);
            ts->SetPageControl(pages);
        }
        ed11 = Edit("ed11", pages->Pages(0), 8);
        ed12 = Edit("ed12", pages->Pages(0), 40);
        sp03 = new TSelectPanel(dialog);
        sp03->SetName("sp03");
        sp03->SetParent(pages->Pages(1));
        sp03->SetBounds(8, 8, sp03->Width(), sp03->Height());
        pages->SetActivePage(pages->Pages(0));
        dialog->SetActiveControl(ed11);
        dialog->Show();
        DrainEvents();
    }
    TEdit* Edit(const char* name, TWinControl* parent, int top) {
        auto* e = new TEdit(dialog);
        e->SetName(name);
        e->SetParent(parent);
        e->SetBounds(8, top, 100, 21);
        return e;
    }
    TPageControl* pages = nullptr;
    TEdit* ed11 = nullptr;
    TEdit* ed12 = nullptr;
    TSelectPanel* sp03 = nullptr;
};

} // namespace

TEST_F(RequiredFieldsTest, FlagNNumbersAndMissingNamesAreNotReported) {
    const char* lists[] = {"ed11;N", "ed11; n ", "ed11;0", "ed11;12;1", "edMissing", "", " , "};
    for (const char* list : lists)
        EXPECT_FALSE(CheckRequiredFields(*dialog, list)) << list;
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(CheckRequiredFields(*dialog, "edMissing, ed11;Y"));
    EXPECT_EQ(dialog->MessageRefs, "E;000037; ");
}

TEST_F(RequiredFieldsTest, FirstBlankFieldIsReportedAndFocused) {
    ed11->SetText("A");
    EXPECT_TRUE(CheckRequiredFields(*dialog, "ed11,ed12"));
    EXPECT_EQ(FocusedControl(), ed12);
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(RequiredFieldsTest, RangeHalfFilledIsBlankAndItsPageComesUp) {
    ed11->SetText("A");
    sp03->edBegin->SetText("A001");
    EXPECT_TRUE(CheckRequiredFields(*dialog, "ed11,sp03;;1"))
        << "the part selector plays no role: both edits are checked";
    EXPECT_EQ(pages->ActivePage(), pages->Pages(1));
    EXPECT_EQ(FocusedControl(), sp03->edBegin);
    sp03->edFinal->SetText("A009");
    EXPECT_FALSE(CheckRequiredFields(*dialog, "ed11,sp03"));
}

TEST_F(RequiredFieldsTest, ListPanelIsBlankWithoutRowsAndGetsTheFocusOnItsList) {
    ed11->SetText("A");
    sp03->SetStyle(sp_Discrete);
    EXPECT_TRUE(CheckRequiredFields(*dialog, "sp03"));
    EXPECT_EQ(FocusedControl(), sp03->ListBox);
    sp03->ListBox->AddItem({"A001"});
    EXPECT_FALSE(CheckRequiredFields(*dialog, "sp03"));
}

TEST_F(RequiredFieldsTest, DisabledFieldIsReportedButNotFocused) {
    ed12->SetEnabled(false);
    ed11->SetText("A");
    EXPECT_TRUE(CheckRequiredFields(*dialog, "ed12"));
    EXPECT_EQ(FocusedControl(), ed11);
}
