// TBrelListView, the selection panel's list: rows kept sorted when asked, neighbouring
// duplicates dropped, columns sized to their widest text in CP950 bytes, each added row in
// O(log n).
#include "controls/SelectPnl.h"

#include "controls/SelectRows.h"
#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/ScopeExit.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace nuv {

using namespace selectrows;

// ---------------------------------------------------------------------------------------------
// TBrelListView

namespace {
// Pixels the list draws round the text of a cell (both sides together), plus a little air.
constexpr int ColumnCellMargin = 8;
} // namespace

const TClassInfo& TBrelListView::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TBrelListView", &TListView::StaticClassInfo())
            .Bool<TBrelListView>("ColumnsAutoSize", &TBrelListView::ColumnsAutoSize,
                                 &TBrelListView::SetColumnsAutoSize);
    return info;
}

TBrelListView::TBrelListView(TComponent* owner)
    : TListView(owner), panel_(dynamic_cast<TSelectPanel*>(owner)) {}

TBrelListView::~TBrelListView() = default;

void TBrelListView::SetColumnsAutoSize(bool value) {
    columnsAutoSize_ = value;
}

void TBrelListView::SetIncrementalRules(bool value) {
    incremental_ = value;
    state_.valid = false;
}

bool TBrelListView::StateUsable() const {
    return incremental_ && state_.valid && state_.count == Items()->Count() &&
           state_.columns == Columns()->Count();
}

void TBrelListView::CountRow(TListItem* item, int sign) {
    auto count = [&](int column, const std::string& text) {
        int len = Cp950ByteLength(text);
        if (len <= 0 || column >= static_cast<int>(state_.lengths.size()))
            return;
        auto& m = state_.lengths[static_cast<std::size_t>(column)];
        if ((m[len] += sign) <= 0)
            m.erase(len);
    };
    count(0, item->Caption());
    TStrings* subs = item->SubItems();
    for (int k = 0; k < subs->Count(); ++k)
        count(k + 1, subs->Get(k));
}

void TBrelListView::RebuildState() {
    state_ = RowState{};
    state_.columns = Columns()->Count();
    state_.lengths.resize(static_cast<std::size_t>(state_.columns));
    TListItems* items = Items();
    state_.count = items->Count();
    for (int i = 0; i < state_.count; ++i) {
        TListItem* it = items->Item(i);
        state_.subItems = std::max(state_.subItems, it->SubItems()->Count());
        CountRow(it, +1);
    }
    state_.valid = true;
}

void TBrelListView::DeleteRow(int index) {
    bool track = StateUsable();
    if (track)
        CountRow(Items()->Item(index), -1);
    Items()->Delete(index);
    if (track)
        state_.count = Items()->Count();
    else
        state_.valid = false;
}

int TBrelListView::PlaceFor(const std::vector<std::string>& row) const {
    int n = Items()->Count();
    if (panel_ == nullptr || !panel_->SortListBox())
        return n;
    const int column = panel_->SortColumn();
    const bool ascending = panel_->SortAscending();
    TSelectRowKeys key;
    int lo = 0, hi = n;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        TSelectRowKeys probe;
        if (CompareRowsBy(key, row, probe, Items()->Item(mid), column, ascending) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void TBrelListView::PadAllRows(int subItems) {
    TListItems* items = Items();
    items->BeginUpdate();
    ScopeExit end([items] { items->EndUpdate(); });
    for (int i = 0; i < items->Count(); ++i) {
        TStrings* subs = items->Item(i)->SubItems();
        while (subs->Count() < subItems)
            subs->Add("");
    }
}

void TBrelListView::RemoveNeighbourDuplicates(int index) {
    TCheckDuplicate mode = panel_ != nullptr ? panel_->CheckDuplicate() : cd_None;
    if (mode == cd_None)
        return;
    // The rows held no neighbouring duplicates before: only the pairs with the new row can be
    // equal. They are compared as a walk from the last row up would compare them.
    TListItems* items = Items();
    if (index + 1 < items->Count() &&
        SameCaption(items->Item(index + 1)->Caption(), items->Item(index)->Caption(), mode))
        DeleteRow(index + 1);
    if (index >= 1 &&
        SameCaption(items->Item(index)->Caption(), items->Item(index - 1)->Caption(), mode))
        DeleteRow(index);
}

std::vector<int> TBrelListView::WalkMaxBytes() const {
    int columns = Columns()->Count();
    std::vector<int> maxBytes(static_cast<std::size_t>(columns), 0);
    TListItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* it = items->Item(i);
        if (columns > 0)
            maxBytes[0] = std::max(maxBytes[0], Cp950ByteLength(it->Caption()));
        TStrings* subs = it->SubItems();
        for (int k = 1; k < columns && k - 1 < subs->Count(); ++k)
            maxBytes[static_cast<std::size_t>(k)] =
                std::max(maxBytes[static_cast<std::size_t>(k)], Cp950ByteLength(subs->Get(k - 1)));
    }
    return maxBytes;
}

void TBrelListView::ApplyWidths(const std::vector<int>& maxBytes) {
    // "W" per byte is room enough for the text itself (a double-byte character is at most two
    // of them wide); the list draws a margin round every cell's text, which comes on top, or a
    // text that just fits would be cut short with an ellipsis.
    const int w = WidthOfW();
    const int columns = Columns()->Count();
    state_.sizedColumns.resize(static_cast<std::size_t>(columns), nullptr);
    state_.sizedWidths.resize(static_cast<std::size_t>(columns), -1);
    for (int k = 0; k < columns; ++k) {
        TListColumn* c = Column(k);
        auto uk = static_cast<std::size_t>(k);
        int bytes =
            std::max(Cp950ByteLength(c->Caption()), uk < maxBytes.size() ? maxBytes[uk] : 0);
        int width = w * bytes + ColumnCellMargin;
        // Setting a width lays every row out again; leave a column alone that already has it.
        if (state_.sizedColumns[uk] == c && state_.sizedWidths[uk] == width && c->Width() == width)
            continue;
        c->SetWidth(width);
        state_.sizedColumns[uk] = c;
        state_.sizedWidths[uk] = width;
    }
}

int TBrelListView::WidthOfW() const {
    // Measuring shapes the text: keep the width while the font stays the same.
    const TFont* f = Font();
    std::string font = f->Name() + "/" + std::to_string(f->Height()) + "/" +
                       std::to_string(f->Style().Bits()) + "/" +
                       std::to_string(static_cast<int>(f->Pitch()));
    if (font != widthOfWFont_) {
        widthOfW_ = StringWidth("W");
        widthOfWFont_ = font;
    }
    return widthOfW_;
}

void TBrelListView::AutoSizeColumns() {
    state_.sizedColumns.clear();
    state_.sizedWidths.clear();
    ApplyWidths(WalkMaxBytes());
}

bool TBrelListView::AddItem(const std::vector<std::string>& Values) {
    const int n = static_cast<int>(Values.size());
    if (n == 0)
        return false;
    adding_ = true;
    ScopeExit end([this] { adding_ = false; });
    TComponentRef<TControl> self(this);
    try {
        bool fast = StateUsable();
        TListItems* items = Items();
        while (Columns()->Count() <= n - 1) {
            TListColumn* c = Columns()->Add();
            c->SetCaption("Data" + std::to_string(Columns()->Count()));
        }
        if (fast) {
            state_.columns = Columns()->Count();
            state_.lengths.resize(static_cast<std::size_t>(state_.columns));
        } else if (panel_ != nullptr && panel_->SortListBox()) {
            // Rows may have changed behind the list's back: make sure the order holds.
            for (int i = 1; i < items->Count(); ++i)
                if (panel_->CompareRows(items->Item(i - 1), items->Item(i)) > 0) {
                    SortRows();
                    break;
                }
        }
        int pos = PlaceFor(Values);
        TListItem* item = items->Insert(pos);
        item->SetCaption(Values[0]);
        if (!self)
            return false;
        int room = Columns()->Count() - 1;
        for (int i = 1; i < n && i - 1 < room; ++i)
            item->SubItems()->Add(Values[static_cast<std::size_t>(i)]);
        // A handler may refuse the caption; the row then stands where another caption belongs.
        if (item->Caption() != Values[0])
            fast = false;
        if (fast) {
            int k = item->SubItems()->Count();
            if (k > state_.subItems) {
                PadAllRows(k);
                state_.subItems = k;
            } else {
                while (item->SubItems()->Count() < state_.subItems)
                    item->SubItems()->Add("");
            }
            CountRow(item, +1);
            state_.count = items->Count();
            RemoveNeighbourDuplicates(pos);
            if (columnsAutoSize_) {
                std::vector<int> maxBytes;
                for (const auto& m : state_.lengths)
                    maxBytes.push_back(m.empty() ? 0 : m.rbegin()->first);
                ApplyWidths(maxBytes);
            }
        } else {
            state_.valid = false;
            int most = 0;
            for (int i = 0; i < items->Count(); ++i)
                most = std::max(most, items->Item(i)->SubItems()->Count());
            PadAllRows(most);
            if (panel_ != nullptr)
                panel_->RemoveDuplicates();
            if (columnsAutoSize_)
                AutoSizeColumns();
            if (incremental_)
                RebuildState();
        }
        return true;
    } catch (const std::exception&) {
        if (self)
            state_.valid = false;
        return false;
    }
}

void TBrelListView::ClearItems() {
    Items()->Clear();
    RebuildState();
}

bool TBrelListView::DeleteSelected() {
    TListItems* items = Items();
    std::vector<int> rows;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Item(i)->Selected())
            rows.push_back(i);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        DeleteRow(*it);
    return !rows.empty();
}

void TBrelListView::SortRows() {
    if (panel_ == nullptr)
        return;
    const int column = panel_->SortColumn();
    const bool ascending = panel_->SortAscending();
    std::unordered_map<TListItem*, TSelectRowKeys> keys;
    TListItems* items = Items();
    keys.reserve(static_cast<std::size_t>(items->Count()));
    for (int i = 0; i < items->Count(); ++i)
        keys.emplace(items->Item(i), TSelectRowKeys{});
    CustomSort(
        [&](TListItem* a, TListItem* b, std::intptr_t) {
            return CompareRowsBy(keys.at(a), a, keys.at(b), b, column, ascending);
        },
        0);
    // Rows that were apart may now be neighbours: the next row added checks the whole list.
    state_.valid = false;
}

void TBrelListView::Change(TListItem* item, TItemChange change) {
    TComponentRef<TControl> self(this);
    TListView::Change(item, change);
    if (!self || change != ctText || adding_)
        return;
    // A caption changed from outside: a sorted list takes the row to its new place.
    state_.valid = false;
    if (!bulk_ && panel_ != nullptr && panel_->SortListBox())
        SortRows();
}

void TBrelListView::ColClick(TListColumn* column) {
    TComponentRef<TControl> self(this);
    if (panel_ != nullptr)
        panel_->SortByColumn(column->Index());
    if (self)
        TListView::ColClick(column);
}

void TBrelListView::WndProc(TMessage& message) {
    // A click first takes the focus; a click that cannot move the focus here changes nothing
    // (an exit check elsewhere may have kept it).
    if (message.Msg == WM_LBUTTONDOWN && !Focused()) {
        TComponentRef<TControl> self(this);
        if (CanFocus())
            SetFocus();
        if (!self || !Focused())
            return;
    }
    TListView::WndProc(message);
}

} // namespace nuv
