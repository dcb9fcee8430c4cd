#include "platform/ComCtrls.h"

#include "UiFixture.h"

using namespace nuv;

namespace {

class ListViewTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        lv = Make<TListView>(form, "USERLV01", 8, 8, 300, 150);
        lv->SetViewStyle(vsReport);
        lv->SetRowSelect(true);
        lv->SetMultiSelect(true);
        for (const char* c : {"代號", "名稱"})
            lv->Columns()->Add()->SetCaption(c);
        for (auto [code, name] : {std::pair{"B2", "beta"}, {"a1", "Alpha"}, {"C3", "alpha"}}) {
            TListItem* it = lv->Items()->Add();
            it->SetCaption(code);
            it->SubItems()->Add(name);
        }
        form->Show();
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> r;
        for (int i = 0; i < lv->Items()->Count(); ++i)
            r.push_back(lv->Items()->Item(i)->Caption());
        return r;
    }
    TListView* lv = nullptr;
};

} // namespace

TEST_F(ListViewTest, CustomSortWithACompareCallback) {
    // By the name column, then the code: "Alpha"/"alpha" tie without case and keep their order.
    lv->CustomSort(
        [](TListItem* a, TListItem* b, std::intptr_t) {
            return uitext::CompareText(a->SubItems()->Get(0), b->SubItems()->Get(0));
        },
        0);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a1", "C3", "B2"}));
}

TEST_F(ListViewTest, ColumnClicksSortAscendingThenDescending) {
    int sortColumn = -1;
    bool ascending = true;
    lv->OnColumnClick = TLVColumnClickEvent([&](TObject*, TListColumn* column) {
        ascending = column->Index() == sortColumn ? !ascending : true;
        sortColumn = column->Index();
        lv->AlphaSort();
    });
    lv->OnCompare = TLVCompareEvent([&](TObject*, TListItem* a, TListItem* b, int, int& r) {
        std::string x = sortColumn == 0 ? a->Caption() : a->SubItems()->Get(0);
        std::string y = sortColumn == 0 ? b->Caption() : b->SubItems()->Get(0);
        r = uitext::CompareText(x, y);
        if (!ascending)
            r = -r;
    });
    struct Case {
        int column;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {0, {"a1", "B2", "C3"}},
        {0, {"C3", "B2", "a1"}},
        {1, {"C3", "a1", "B2"}}, // Alpha and alpha tie: the previous order stays
    };
    for (const Case& c : cases) {
        test::ClickAt(lv, lv->Column(0)->Width() * c.column + 10, 5);
        EXPECT_EQ(Captions(), c.order) << "column " << c.column;
    }
}

TEST_F(ListViewTest, SelectionEventsAndVeto) {
    std::vector<std::string> log;
    lv->OnSelectItem = TLVSelectItemEvent([&](TObject*, TListItem* it, bool selected) {
        log.push_back(it->Caption() + (selected ? "+" : "-"));
    });
    lv->OnChanging = TLVChangingEvent([&](TObject*, TListItem* it, TItemChange, bool& allow) {
        allow = it->Caption() != "C3";
    });
    lv->Items()->Item(0)->SetSelected(true);
    lv->Items()->Item(2)->SetSelected(true); // refused
    EXPECT_EQ(log, (std::vector<std::string>{"B2+"}));
    EXPECT_EQ(lv->SelCount(), 1);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(0));
    lv->Items()->Item(1)->SetFocused(true);
    EXPECT_EQ(lv->ItemFocused(), lv->Items()->Item(1));
}

TEST_F(UiTest, PageChangeVetoedByOnChanging) {
    auto* pg = Make<TPageControl>(form, "pgOption", 0, 0, 300, 200);
    auto* ts1 = new TTabSheet(form);
    ts1->SetCaption("基本選項");
    ts1->SetPageControl(pg);
    auto* ts2 = new TTabSheet(form);
    ts2->SetCaption("系統選項");
    ts2->SetPageControl(pg);
    int shows = 0;
    ts2->OnShow = TNotifyEvent([&](TObject*) { ++shows; });
    bool allow = false;
    int changes = 0;
    pg->OnChanging = TTabChangingEvent([&](TObject*, bool& a) { a = allow; });
    pg->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    form->Show();
    EXPECT_EQ(pg->ActivePage(), ts1);
    TRect tab = pg->TabRect(1);
    test::ClickAt(pg, tab.Left + 5, tab.Top + 5);
    EXPECT_EQ(pg->ActivePage(), ts1) << "refused";
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(shows, 0);
    allow = true;
    test::ClickAt(pg, tab.Left + 5, tab.Top + 5);
    EXPECT_EQ(pg->ActivePage(), ts2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(shows, 1);
    // Hidden tabs are skipped by the next-page move and by tab indexes.
    ts2->SetTabVisible(false);
    EXPECT_EQ(ts2->TabIndex(), -1);
    pg->SetActivePage(ts1);
    pg->SelectNextPage(true);
    EXPECT_EQ(pg->ActivePage(), ts1);
}
