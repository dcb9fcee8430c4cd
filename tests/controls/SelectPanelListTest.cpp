// The value list of the selection panel: adding rows, sorting, duplicate removal, column
// widths, deletion and clearing.
#include "SelectPanelFixture.h"

#include "platform/CodePage.h"

#include <random>

using namespace nuv;

namespace {

class SelectListTest : public SelectPanelTest {
protected:
    void SetUp() override {
        SelectPanelTest::SetUp();
        panel->SetStyle(sp_Discrete);
    }
    static std::vector<std::vector<std::string>> Rows(const TSelectPanel* p) {
        std::vector<std::vector<std::string>> r;
        for (int i = 0; i < p->Items()->Count(); ++i) {
            TListItem* it = p->Items()->Item(i);
            std::vector<std::string> row{it->Caption()};
            for (int k = 0; k < it->SubItems()->Count(); ++k)
                row.push_back(it->SubItems()->Get(k));
            r.push_back(row);
        }
        return r;
    }
    std::vector<std::vector<std::string>> Rows() const { return Rows(panel); }
    std::vector<int> Widths(TListView* list) const {
        std::vector<int> r;
        for (int i = 0; i < list->Columns()->Count(); ++i)
            r.push_back(list->Column(i)->Width());
        return r;
    }
    void Add(std::initializer_list<const char*> values) {
        ASSERT_TRUE(
            panel->ListBox->AddItem(std::vector<std::string>(values.begin(), values.end())));
    }
};

} // namespace

TEST_F(SelectListTest, AddItemCreatesDataColumnsAndPadsEveryRow) {
    EXPECT_FALSE(panel->ListBox->AddItem({}));
    EXPECT_EQ(panel->Items()->Count(), 0);

    Add({"A01", "螺絲", "PCS"});
    ASSERT_EQ(panel->Columns()->Count(), 3);
    EXPECT_EQ(panel->ColumnCaptions()->CommaText(), "Data1,Data2,Data3");
    Add({"B02"});
    EXPECT_EQ(Rows(),
              (std::vector<std::vector<std::string>>{{"A01", "螺絲", "PCS"}, {"B02", "", ""}}));
    // A wider row widens every other row as well.
    Add({"C03", "x", "y", "z"});
    EXPECT_EQ(panel->Columns()->Count(), 4);
    for (const auto& row : Rows())
        EXPECT_EQ(row.size(), 4u);
}

TEST_F(SelectListTest, ColumnsTakeTheWidestTextInCp950Bytes) {
    TStringList captions;
    captions.Add("品號");
    captions.Add("Name");
    panel->SetColumnCaptions(&captions);
    Add({"A", "螺絲起子"}); // 4 Big5 characters: 8 bytes
    Add({"ABC", "x"});
    Add({"类", ""}); // Simplified: not in Big5, still counts 2 bytes
    // "W" per byte, and the margin the list draws round a cell's text.
    const int w = panel->ListBox->StringWidth("W");
    const int margin = 8;
    // Column 0: caption "品號" (4 bytes) beats "ABC" (3); column 1: "螺絲起子" (8) beats "Name".
    EXPECT_EQ(Widths(panel->ListBox), (std::vector<int>{4 * w + margin, 8 * w + margin}));
    EXPECT_EQ(Cp950ByteLength("类"), 2);

    panel->SetColumnsAutoSize(false);
    Add({"ABCDEFGHIJ"});
    EXPECT_EQ(panel->ListBox->Column(0)->Width(), 4 * w + margin);
    panel->ListBox->AutoSizeColumns();
    EXPECT_EQ(panel->ListBox->Column(0)->Width(), 10 * w + margin);
}

TEST_F(SelectListTest, SortedListKeepsEveryRowInPlace) {
    panel->SetSortListBox(true);
    for (const char* v : {"delta", "Alpha", "charlie", "Bravo", "alpha"})
        Add({v});
    // Case-insensitive; equal captions keep the order they came in.
    EXPECT_EQ(Captions(),
              (std::vector<std::string>{"Alpha", "alpha", "Bravo", "charlie", "delta"}));
    // A caption changed from outside moves to its place.
    panel->Items()->Item(0)->SetCaption("echo");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"alpha", "Bravo", "charlie", "delta", "echo"}));
}

TEST_F(SelectListTest, UnsortedListAppends) {
    for (const char* v : {"b", "a", "c"})
        Add({v});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b", "a", "c"}));
    panel->SetSortListBox(true);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SelectListTest, DuplicatesAreDroppedByTheRule) {
    struct Case {
        TCheckDuplicate mode;
        std::vector<std::vector<std::string>> added;
        std::vector<std::vector<std::string>> expected;
    };
    const Case cases[] = {
        {cd_None, {{"ABC"}, {"abc"}, {"ABC"}}, {{"ABC"}, {"abc"}, {"ABC"}}},
        {cd_CaseInsensitive, {{"ABC"}, {"abc"}}, {{"ABC"}}},
        {cd_CheckCase, {{"ABC"}, {"abc"}}, {{"ABC"}, {"abc"}}},
        {cd_CheckCase, {{"ABC"}, {"ABC"}}, {{"ABC"}}},
        {cd_CaseInsensitive, {{"b"}, {"a"}, {"A"}, {"c"}, {"B"}}, {{"a"}, {"b"}, {"c"}}},
        // The new row sorts before its twin (by column 1), so the walk from the last row up
        // drops the older row.
        {cd_CaseInsensitive, {{"abc", "z"}, {"ABC", "a"}}, {{"ABC", "a"}}},
        // Sorting after the twin: the new row goes.
        {cd_CaseInsensitive, {{"abc", "a"}, {"ABC", "z"}}, {{"abc", "a"}}},
    };
    for (const Case& c : cases) {
        panel->ListBox->ClearItems();
        panel->SetCheckDuplicate(c.mode);
        for (const auto& row : c.added)
            ASSERT_TRUE(panel->ListBox->AddItem(row));
        EXPECT_EQ(Rows(), c.expected) << "mode " << c.mode << ", first " << c.added[0][0];
    }
}

TEST_F(SelectListTest, CheckDuplicateSortsAndPrunesTheActiveList) {
    for (const char* v : {"b", "A", "a", "B"})
        Add({v});
    panel->SetCheckDuplicate(cd_CaseInsensitive);
    EXPECT_TRUE(panel->SortListBox());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b"}));

    // While the range part is the active one the list is sorted but not pruned.
    panel->SetCheckDuplicate(cd_None);
    panel->SetStyle(sp_Range);
    Add({"a"});
    panel->SetCheckDuplicate(cd_CaseInsensitive);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "a", "b"}));
}

TEST_F(SelectListTest, ColumnClicksSortAscendingThenDescending) {
    Add({"b", "2", "x"});
    Add({"a", "3", "y"});
    Add({"c", "1", "y"});
    Add({"a", "1", "x"});
    struct Step {
        int column;
        std::vector<std::string> order; // caption + column 1 of each row
        bool ascending;
    };
    const Step steps[] = {
        {0, {"c1", "b2", "a3", "a1"}, false}, // column 0 sorted already: the direction turns
        {0, {"a1", "a3", "b2", "c1"}, true},  // ties by column 1
        {1, {"a1", "c1", "b2", "a3"}, true},  // ties by the caption
        {1, {"a3", "b2", "c1", "a1"}, false},
        {2, {"a1", "b2", "a3", "c1"}, true}, // column 2, then the caption, then column 1
    };
    for (const Step& s : steps) {
        panel->SortByColumn(s.column);
        std::vector<std::string> got;
        for (const auto& row : Rows())
            got.push_back(row[0] + row[1]);
        EXPECT_EQ(got, s.order) << "column " << s.column;
        EXPECT_EQ(panel->SortColumn(), s.column);
        EXPECT_EQ(panel->SortAscending(), s.ascending);
    }
}

TEST_F(SelectListTest, HeaderClickSortsAndRaisesOnColumnClick) {
    Show();
    panel->SetShowColumnHeader(true);
    Add({"b", "1"});
    Add({"a", "2"});
    TListColumn* clicked = nullptr;
    std::vector<std::string> seen;
    panel->ListBox->OnColumnClick = [&](TObject*, TListColumn* column) {
        clicked = column;
        seen = Captions();
    };
    // Column 1: a click on its header, as the user makes it.
    test::ClickAt(panel->ListBox, panel->ListBox->Column(0)->Width() + 5, 5);
    ASSERT_EQ(clicked, panel->ListBox->Column(1));
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "a"})); // sorted before the event
    EXPECT_EQ(panel->SortColumn(), 1);
}

TEST_F(SelectListTest, DeleteButtonAsksFirstThenDeletesEverySelectedRow) {
    Show();
    for (const char* v : {"a", "b", "c", "d"})
        Add({v});
    panel->Items()->Item(1)->SetSelected(true);
    panel->Items()->Item(3)->SetSelected(true);
    std::vector<TObject*> senders;
    bool allow = false;
    panel->OnDeleteClick = [&](TObject* sender, bool& accept) {
        senders.push_back(sender);
        EXPECT_TRUE(accept);
        accept = allow;
    };
    panel->btnDelete->Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "c", "d"}));
    allow = true;
    panel->btnDelete->Click();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(senders, (std::vector<TObject*>{panel->btnDelete, panel->btnDelete}));
    // Nothing selected: nothing deleted.
    panel->btnDelete->Click();
    EXPECT_EQ(Captions().size(), 2u);
}

TEST_F(SelectListTest, ClearButtonEmptiesFocusesAndTells) {
    Show();
    Add({"a"});
    Add({"b"});
    TObject* sender = nullptr;
    bool emptyWhenTold = false;
    panel->OnClearClick = [&](TObject* s) {
        sender = s;
        emptyWhenTold = panel->Items()->Count() == 0;
    };
    test::ClickAt(panel->btnClear, 5, 5);
    EXPECT_EQ(sender, panel->btnClear);
    EXPECT_TRUE(emptyWhenTold);
    EXPECT_EQ(test::FocusedControl(), panel->ListBox);
}

TEST_F(SelectListTest, ItemsAssignedToASortedListAreSorted) {
    panel->SetSortListBox(true);
    auto* other = new TListView(form);
    other->SetParent(form);
    for (const char* v : {"c", "a", "b"})
        other->Items()->Add()->SetCaption(v);
    panel->SetItems(other->Items());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SelectListTest, ItemEventsComeFromTheList) {
    Show();
    Add({"a"});
    Add({"b"});
    std::vector<std::string> log;
    panel->OnItemSelect = [&](TObject* s, TListItem* item, int index, bool selected) {
        EXPECT_EQ(s, panel->ListBox);
        log.push_back("select " + item->Caption() + " " + std::to_string(index) +
                      (selected ? " on" : " off"));
    };
    panel->OnItemChanging = [&](TObject* s, TListItem* item, TItemChange change, bool& allow) {
        EXPECT_EQ(s, panel->ListBox);
        if (change == ctText)
            log.push_back("changing " + item->Caption());
        allow = !(change == ctText && item->Caption() == "b");
    };
    panel->OnItemChange = [&](TObject*, TListItem* item, TItemChange change) {
        if (change == ctText)
            log.push_back("change " + item->Caption());
    };
    panel->Items()->Item(1)->SetSelected(true);
    panel->Items()->Item(0)->SetCaption("A");
    panel->Items()->Item(1)->SetCaption("B"); // refused
    EXPECT_EQ(log,
              (std::vector<std::string>{"select b 1 on", "changing a", "change A", "changing b"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b"}));
}

TEST_F(SelectListTest, ClickOnTheListTakesTheFocusFirst) {
    Show();
    Add({"a"});
    Add({"b"});
    // An exit handler that keeps the focus where it is: the click must change nothing.
    outside->OnExit = [&](TObject*) { outside->SetFocus(); };
    outside->SetFocus();
    test::ClickAt(panel->ListBox, 20, 5);
    EXPECT_EQ(test::FocusedControl(), outside);
    EXPECT_EQ(panel->ListBox->SelCount(), 0);

    outside->OnExit = nullptr;
    test::ClickAt(panel->ListBox, 20, 5);
    EXPECT_EQ(test::FocusedControl(), panel->ListBox);
    EXPECT_EQ(panel->ListBox->SelCount(), 1);
}

// The running state behind AddItem must give exactly what the plain rules give, whatever
// happened to the list in between.
TEST_F(SelectListTest, RunningStateMatchesThePlainRules) {
    auto* plain = new TSelectPanel(form);
    plain->SetName("spPlain");
    plain->SetParent(form);
    plain->SetStyle(sp_Discrete);
    plain->ListBox->SetIncrementalRules(false);
    TSelectPanel* panels[] = {panel, plain};

    std::mt19937 rng(58);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* words[] = {"a", "A", "b", "B", "品", "ab", "Ab", "螺絲起子", "", "zz", "ZZ", "c"};
    auto word = [&] { return std::string(words[pick(12)]); };
    for (int step = 0; step < 600; ++step) {
        int op = pick(20);
        std::vector<std::string> row{word()};
        for (int k = pick(4); k > 0; --k)
            row.push_back(word());
        int target = -1;
        for (TSelectPanel* p : panels) {
            int count = p->Items()->Count();
            if (target < 0)
                target = count > 0 ? pick(count) : 0;
            switch (op) {
            case 0:
                p->SetCheckDuplicate(static_cast<TCheckDuplicate>(step % 3));
                break;
            case 1:
                p->SetSortListBox(!p->SortListBox());
                break;
            case 2:
                p->SortByColumn(step % 3);
                break;
            case 3:
                if (count > 0)
                    p->Items()->Delete(target);
                break;
            case 4:
                if (count > 0)
                    p->Items()->Item(target)->SetCaption(row[0]);
                break;
            case 5:
                if (count > 0)
                    p->Items()->Item(target)->SetSelected(true), p->btnDelete->Click();
                break;
            case 6:
                if (step % 7 == 0)
                    p->ListBox->ClearItems();
                break;
            default:
                ASSERT_TRUE(p->ListBox->AddItem(row));
                break;
            }
        }
        ASSERT_EQ(Rows(panel), Rows(plain)) << "step " << step << " op " << op;
        ASSERT_EQ(Widths(panel->ListBox), Widths(plain->ListBox)) << "step " << step;
    }
}
