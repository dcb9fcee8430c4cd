#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"

#include "UiFixture.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <random>

using namespace nuv;

namespace {

// The Qt view showing a list's rows, nullptr while it is not made.
QTreeView* ShownView(TControl* lv) {
    return WidgetOf(lv)->findChild<QTreeView*>();
}

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
    lv->OnChanging = TLVChangingEvent(
        [&](TObject*, TListItem* it, TItemChange, bool& allow) { allow = it->Caption() != "C3"; });
    lv->Items()->Item(0)->SetSelected(true);
    lv->Items()->Item(2)->SetSelected(true); // refused
    EXPECT_EQ(log, (std::vector<std::string>{"B2+"}));
    EXPECT_EQ(lv->SelCount(), 1);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(0));
    lv->Items()->Item(1)->SetFocused(true);
    EXPECT_EQ(lv->ItemFocused(), lv->Items()->Item(1));
}

// How the selected first row looks where no text is drawn, once the list's window is no longer
// the active one: the list's own (current) colour when HideSelection hides it, the button face
// when it does not.
TEST_F(ListViewTest, AnInactiveSelectionIsHiddenInTheListsCurrentColourOrShownGrey) {
    auto* view = ShownView(lv);
    ASSERT_NE(view, nullptr);
    lv->Items()->Item(0)->SetSelected(true);
    TForm* other = CreateForm<TForm>(nullptr);
    other->SetBounds(600, 100, 200, 100);
    other->Show();
    QWidget* otherWindow = WidgetOf(other);
    otherWindow->activateWindow();
    QApplication::setActiveWindow(otherWindow);
    ASSERT_FALSE(view->isActiveWindow());
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    auto shown = [&] {
        view->viewport()->repaint();
        return view->viewport()->grab().toImage().pixelColor(cell.right() - 2, cell.center().y());
    };
    const struct {
        bool hide;
        TColor color;
        TColor expected;
    } cases[] = {{true, clWindow, clWindow},
                 {true, clYellow, clYellow}, // a colour set after HideSelection is followed
                 {false, clYellow, clBtnFace},
                 {false, clWindow, clBtnFace}};
    for (const auto& c : cases) {
        lv->SetHideSelection(c.hide);
        lv->SetColor(c.color);
        EXPECT_EQ(shown(), ToQColor(c.expected)) << c.hide << " " << c.color;
    }
}

// A list on a panel that is not shown makes no view while it is set up, filled and asked about
// its selection; when the panel is shown, the view shows what was set before.
TEST_F(ListViewTest, AListNotShownMakesItsViewWhenShownWithEverythingSetBefore) {
    TPanel* panel = Make<TPanel>(form, "pnlDiscrete", 8, 170, 320, 160);
    panel->SetVisible(false);
    auto* hidden = Make<TListView>(panel, "ListBox", 4, 4, 300, 140);
    hidden->SetViewStyle(vsReport);
    hidden->SetMultiSelect(true);
    hidden->SetRowSelect(true);
    hidden->SetHideSelection(false);
    hidden->SetColumnClick(false);
    TListColumn* code = hidden->Columns()->Add();
    code->SetCaption("代號");
    code->SetWidth(ColumnTextWidth);
    hidden->Columns()->Add()->SetCaption("名稱");
    const std::string longest = "一個相當長的代號文字";
    for (const std::string& c : {std::string("A"), longest}) {
        TListItem* it = hidden->Items()->Add();
        it->SetCaption(c);
        it->SubItems()->Add("x");
    }
    hidden->Items()->Item(0)->SetSelected(false);
    EXPECT_EQ(hidden->Selected(), nullptr);
    EXPECT_EQ(hidden->SelCount(), 0);
    EXPECT_EQ(hidden->ItemFocused(), nullptr);
    EXPECT_EQ(ShownView(hidden), nullptr) << "the view was made before it was needed";

    panel->SetVisible(true);
    QTreeView* view = ShownView(hidden);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->geometry(), WidgetOf(hidden)->rect());
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(view->allColumnsShowFocus());
    EXPECT_FALSE(view->header()->sectionsClickable());
    EXPECT_TRUE(view->header()->isVisible());
    EXPECT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(view->model()->columnCount(), 2);
    EXPECT_GE(code->Width(), hidden->StringWidth(longest));
    EXPECT_EQ(view->columnWidth(0), code->Width());

    // What needs the view makes it, on a list never shown too; the selection is the view's.
    panel->SetVisible(false);
    auto* other = Make<TListView>(panel, "ListBox2", 4, 4, 300, 140);
    other->Items()->Add()->SetCaption("B");
    other->Items()->Item(0)->SetSelected(true);
    EXPECT_NE(ShownView(other), nullptr);
    EXPECT_EQ(other->Selected(), other->Items()->Item(0));
    hidden->Items()->Item(1)->SetSelected(true);
    hidden->Items()->Item(1)->SetFocused(true);
    EXPECT_EQ(hidden->Selected(), hidden->Items()->Item(1));
    EXPECT_EQ(hidden->ItemFocused(), hidden->Items()->Item(1));
}

namespace {

// The rows as the view shows them: the caption column of each row of the view's model.
std::vector<std::string> ShownCaptions(TListView* lv) {
    auto* view = ShownView(lv);
    std::vector<std::string> r;
    if (view == nullptr)
        return r;
    QAbstractItemModel* m = view->model();
    for (int i = 0; i < m->rowCount(); ++i)
        r.push_back(m->index(i, 0).data().toString().toStdString());
    return r;
}

// Checks the list against the expected rows: by position, by row, and as the view shows them.
void ExpectRows(TListView* lv, const std::vector<TListItem*>& expected, const std::string& step) {
    TListItems* items = lv->Items();
    ASSERT_EQ(items->Count(), static_cast<int>(expected.size())) << step;
    std::vector<std::string> captions;
    for (int i = 0; i < items->Count(); ++i) {
        ASSERT_EQ(items->Item(i), expected[static_cast<std::size_t>(i)]) << step << " row " << i;
        ASSERT_EQ(items->IndexOf(expected[static_cast<std::size_t>(i)]), i) << step;
        ASSERT_EQ(expected[static_cast<std::size_t>(i)]->Index(), i) << step;
        captions.push_back(expected[static_cast<std::size_t>(i)]->Caption());
    }
    ASSERT_EQ(ShownCaptions(lv), captions) << step;
}

} // namespace

TEST_F(ListViewTest, InsertAndDeleteAtPositionsKeepRowsAndIndexes) {
    lv->Items()->Clear();
    std::vector<TListItem*> model;
    int next = 0;
    auto insert = [&](int at) {
        TListItem* it = lv->Items()->Insert(at);
        it->SetCaption("r" + std::to_string(next++));
        model.insert(model.begin() + std::clamp(at, 0, static_cast<int>(model.size())), it);
    };
    struct Step {
        bool insert;
        int at;
    };
    // Inserts at the front, the end, the middle and past the end (clamped); deletes at the
    // front, the end and the middle, down to empty and up again.
    const Step steps[] = {{true, 0},  {true, 0},  {true, 2},  {true, 1}, {true, 99}, {true, 3},
                          {false, 0}, {false, 4}, {false, 1}, {true, 2}, {false, 0}, {false, 0},
                          {false, 0}, {false, 0}, {true, 0},  {true, 1}, {true, 1},  {false, 1}};
    int n = 0;
    for (const Step& s : steps) {
        if (s.insert) {
            insert(s.at);
        } else {
            lv->Items()->Delete(s.at);
            model.erase(model.begin() + s.at);
        }
        ExpectRows(lv, model, "step " + std::to_string(n++));
    }
    EXPECT_THROW(lv->Items()->Item(static_cast<int>(model.size())), EInvalidOperation);
    EXPECT_EQ(lv->Items()->IndexOf(nullptr), -1);
}

TEST_F(ListViewTest, RandomInsertsAndDeletesMatchAVector) {
    lv->Items()->Clear();
    std::mt19937 rng(20261210);
    std::vector<TListItem*> model;
    for (int step = 0; step < 1500; ++step) {
        int size = static_cast<int>(model.size());
        int op = static_cast<int>(rng() % 10);
        if (size == 0 || op < 6) {
            int at = static_cast<int>(rng() % static_cast<unsigned>(size + 1));
            TListItem* it = lv->Items()->Insert(at);
            it->SetCaption("s" + std::to_string(step));
            model.insert(model.begin() + at, it);
        } else if (op < 8) {
            int at = static_cast<int>(rng() % static_cast<unsigned>(size));
            lv->Items()->Delete(at);
            model.erase(model.begin() + at);
        } else {
            // A row deletes itself, found through its own index.
            int at = static_cast<int>(rng() % static_cast<unsigned>(size));
            model[static_cast<std::size_t>(at)]->Delete();
            model.erase(model.begin() + at);
        }
        if (step % 25 == 0)
            ExpectRows(lv, model, "step " + std::to_string(step));
        else
            for (std::size_t i = 0; i < model.size(); i += 7)
                ASSERT_EQ(model[i]->Index(), static_cast<int>(i)) << "step " << step;
    }
    ExpectRows(lv, model, "end");
}

TEST_F(ListViewTest, SelectionAndFocusFollowTheirRowsThroughInsertsDeletesAndSorts) {
    // Rows: B2 a1 C3. Select and focus a1, then move it about.
    TListItem* a1 = lv->Items()->Item(1);
    TListItem* c3 = lv->Items()->Item(2);
    lv->SetSelected(a1);
    c3->SetSelected(true);
    lv->Items()->Insert(0)->SetCaption("Z0");
    lv->Items()->Insert(2)->SetCaption("Z1");
    EXPECT_EQ(a1->Index(), 3);
    EXPECT_TRUE(a1->Selected());
    EXPECT_TRUE(a1->Focused());
    EXPECT_EQ(lv->Selected(), a1);
    EXPECT_EQ(lv->ItemFocused(), a1);
    EXPECT_EQ(lv->SelCount(), 2);
    EXPECT_FALSE(lv->Items()->Item(2)->Selected());
    lv->Items()->Delete(0);
    EXPECT_EQ(a1->Index(), 2);
    EXPECT_TRUE(a1->Selected());
    EXPECT_EQ(lv->ItemFocused(), a1);
    lv->CustomSort([](TListItem* a, TListItem* b,
                      std::intptr_t) { return uitext::CompareText(a->Caption(), b->Caption()); },
                   0); // a1 B2 C3 Z1
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a1", "B2", "C3", "Z1"}));
    EXPECT_EQ(a1->Index(), 0);
    EXPECT_EQ(lv->ItemFocused(), a1);
    EXPECT_EQ(lv->SelCount(), 2);
    EXPECT_TRUE(c3->Selected());
    EXPECT_FALSE(lv->Items()->Item(1)->Selected());
    EXPECT_EQ(lv->GetNextItem(a1, sdAll, TItemStates{isSelected}), c3);
    EXPECT_EQ(ShownCaptions(lv), Captions());
    // A caption change shows at once in the row's own place.
    lv->Items()->Item(1)->SetCaption("B9");
    EXPECT_EQ(ShownCaptions(lv), (std::vector<std::string>{"a1", "B9", "C3", "Z1"}));
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
