#include "platform/ComCtrls.h"

#include "platform/ExtCtrls.h"
#include "platform/PropGroups.h"
#include "platform/QtBridge.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>

namespace nuv {

struct TListItemImpl {
    QTreeWidgetItem* row = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The Qt side of the list view

struct TListViewAccess {
    static bool CanChange(TCustomListView* lv, TListItem* it, TItemChange c) { return lv->CanChange(it, c); }
    static void Change(TCustomListView* lv, TListItem* it, TItemChange c) { lv->Change(it, c); }
    static void ColClick(TCustomListView* lv, int col) {
        if (col >= 0 && col < lv->columns_->Count())
            lv->ColClick(lv->Column(col));
    }
    static TListItem* ItemOf(TCustomListView* lv, int row) {
        if (!lv->items_)
            return nullptr;
        return row >= 0 && row < lv->items_->Count() ? lv->items_->Item(row) : nullptr;
    }
    static bool Sorting(TCustomListView* lv) { return lv->sorting_ || !lv->items_; }
    static bool RowSelect(TCustomListView* lv) { return lv->rowSelect_; }
};

namespace {

class ListViewWidget;

// Asks OnChanging before the selection of a row changes; refused rows keep their state.
class VetoSelectionModel : public QItemSelectionModel {
public:
    VetoSelectionModel(QAbstractItemModel* model, ListViewWidget* view) : QItemSelectionModel(model), view_(view) {}
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;
    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override {
        select(QItemSelection(index, index), command);
    }

private:
    ListViewWidget* view_;
};

class ListViewWidget : public TWidget<QTreeWidget> {
public:
    explicit ListViewWidget(TControl* c) : TWidget<QTreeWidget>(c) {
        setRootIsDecorated(false);
        setUniformRowHeights(true);
        setItemsExpandable(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        header()->setSectionsMovable(false);
        header()->setSectionsClickable(true);
        header()->setStretchLastSection(false);
        setSelectionModel(new VetoSelectionModel(model(), this));
        QObject::connect(header(), &QHeaderView::sectionClicked, this, [this](int col) {
            if (auto* lv = List())
                Guarded([&] { TListViewAccess::ColClick(lv, col); });
        });
        QObject::connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                         [this](const QItemSelection& sel, const QItemSelection& desel) { Report(sel, desel); });
    }
    TCustomListView* List() const { return static_cast<TCustomListView*>(control); }
    int RowOf(const QModelIndex& i) const { return i.isValid() ? indexOfTopLevelItem(itemFromIndex(i)) : -1; }

private:
    void Report(const QItemSelection& sel, const QItemSelection& desel) {
        TCustomListView* lv = List();
        if (lv == nullptr || TListViewAccess::Sorting(lv))
            return;
        TComponentRef<TControl> self(lv);
        auto rows = [this](const QItemSelection& s) {
            std::vector<int> r;
            for (const QModelIndex& i : s.indexes())
                if (i.column() == 0)
                    r.push_back(RowOf(i));
            return r;
        };
        for (int row : rows(desel)) {
            if (TListItem* it = TListViewAccess::ItemOf(lv, row)) {
                TListViewAccess::Change(lv, it, ctState);
                if (!self)
                    return;
                lv->OnSelectItem(lv, it, false);
                if (!self)
                    return;
            }
        }
        for (int row : rows(sel)) {
            if (TListItem* it = TListViewAccess::ItemOf(lv, row)) {
                TListViewAccess::Change(lv, it, ctState);
                if (!self)
                    return;
                lv->OnSelectItem(lv, it, true);
                if (!self)
                    return;
            }
        }
    }
};

void VetoSelectionModel::select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) {
    TCustomListView* lv = view_->List();
    if (lv == nullptr || TListViewAccess::Sorting(lv) || !lv->OnChanging.Assigned()) {
        QItemSelectionModel::select(selection, command);
        return;
    }
    int rows = model()->rowCount();
    std::vector<bool> before(static_cast<std::size_t>(rows)), after(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        before[static_cast<std::size_t>(r)] = isRowSelected(r, QModelIndex());
    after = before;
    if (command & QItemSelectionModel::Clear)
        std::fill(after.begin(), after.end(), false);
    for (const QModelIndex& i : selection.indexes()) {
        if (i.column() != 0)
            continue;
        auto r = static_cast<std::size_t>(i.row());
        if (command & QItemSelectionModel::Select)
            after[r] = true;
        else if (command & QItemSelectionModel::Deselect)
            after[r] = false;
        else if (command & QItemSelectionModel::Toggle)
            after[r] = !before[r];
    }
    QItemSelection result;
    int columns = std::max(1, model()->columnCount());
    for (int r = 0; r < rows; ++r) {
        auto ur = static_cast<std::size_t>(r);
        bool state = after[ur];
        if (after[ur] != before[ur]) {
            TListItem* it = TListViewAccess::ItemOf(lv, r);
            if (it != nullptr && !TListViewAccess::CanChange(lv, it, ctState))
                state = before[ur];
        }
        if (state)
            result.select(model()->index(r, 0), model()->index(r, columns - 1));
    }
    QItemSelectionModel::select(result, QItemSelectionModel::ClearAndSelect);
}

// Without RowSelect only the caption column shows the selection.
class ListViewDelegate : public QStyledItemDelegate {
public:
    ListViewDelegate(QObject* parent, ListViewWidget* view) : QStyledItemDelegate(parent), view_(view) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        TCustomListView* lv = view_->List();
        if (lv != nullptr && !TListViewAccess::RowSelect(lv) && index.column() > 0)
            o.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(p, o, index);
    }

private:
    ListViewWidget* view_;
};

ListViewWidget* ViewOf(const TControl* c) { return dynamic_cast<ListViewWidget*>(WidgetOf(c)); }

TControlWidget* ListViewFactory(TControl* c) {
    auto* w = new ListViewWidget(c);
    w->setItemDelegate(new ListViewDelegate(w, w));
    return w;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Columns

const TClassInfo& TListColumn::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TListColumn", &TCollectionItem::StaticClassInfo())
            .Enum<TListColumn>("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"},
                               &TListColumn::Alignment, &TListColumn::SetAlignment)
            .Bool<TListColumn>("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize)
            .Str<TListColumn>("Caption", &TListColumn::Caption, &TListColumn::SetCaption, "TCaption")
            .Int<TListColumn>("Width", &TListColumn::Width, &TListColumn::SetWidth, "TWidth");
    return info;
}

TListColumn::TListColumn(TCollection* c) : TCollectionItem(c) {}

void TListColumn::SetCaption(const std::string& v) {
    caption_ = v;
    Changed(false);
}

int TListColumn::Width() const {
    auto* cols = dynamic_cast<TListColumns*>(Collection());
    if (cols != nullptr && cols->Owner() != nullptr)
        if (ListViewWidget* w = ViewOf(cols->Owner()))
            if (Index() < w->columnCount() && width_ < 0)
                return w->columnWidth(Index());
    return width_;
}

void TListColumn::SetWidth(int v) {
    width_ = v;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment v) {
    alignment_ = v;
    Changed(false);
}

void TListColumn::SetAutoSize(bool v) {
    autoSize_ = v;
    Changed(false);
}

void TListColumn::Assign(TPersistent* source) {
    if (auto* c = dynamic_cast<TListColumn*>(source)) {
        caption_ = c->caption_;
        width_ = c->width_;
        alignment_ = c->alignment_;
        autoSize_ = c->autoSize_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

const TClassInfo& TListColumns::StaticClassInfo() {
    static const TClassInfo info("TListColumns", &TCollection::StaticClassInfo());
    return info;
}

TListColumn* TListColumns::Add() {
    auto* c = new TListColumn(this);
    Update(nullptr);
    return c;
}

void TListColumns::Update(TCollectionItem*) {
    if (owner_ != nullptr && UpdateCount() == 0)
        owner_->SyncColumns();
}

// ---------------------------------------------------------------------------------------------
// Rows

const TClassInfo& TListItem::StaticClassInfo() {
    static const TClassInfo info("TListItem", &TPersistent::StaticClassInfo());
    return info;
}

TListItem::TListItem(TListItems* owner)
    : owner_(owner), subItems_(std::make_unique<TStringList>()), impl_(std::make_unique<TListItemImpl>()) {
    subItems_->OnChange = TNotifyEvent([this](TObject*) {
        if (TCustomListView* lv = ListView())
            lv->SyncRow(this);
    });
}

TListItem::~TListItem() {
    subItems_->OnChange = nullptr;
    if (impl_->row != nullptr)
        delete impl_->row;
}

TCustomListView* TListItem::ListView() const { return owner_ != nullptr ? owner_->Owner() : nullptr; }

TStrings* TListItem::SubItems() const { return subItems_.get(); }
void TListItem::SetSubItems(TStrings* v) { subItems_->Assign(v); }

void TListItem::SetCaption(const std::string& v) {
    if (caption_ == v)
        return;
    TCustomListView* lv = ListView();
    if (lv != nullptr && !TListViewAccess::CanChange(lv, this, ctText))
        return;
    caption_ = v;
    if (lv == nullptr)
        return;
    lv->SyncRow(this);
    TListViewAccess::Change(lv, this, ctText);
    if (lv->SortType() == stText || lv->SortType() == stBoth)
        lv->AlphaSort();
}

bool TListItem::Selected() const {
    // The selection model is the truth (the tree item's own flag is not kept up to date with a
    // replaced selection model).
    ListViewWidget* w = ListView() != nullptr ? ViewOf(ListView()) : nullptr;
    if (w == nullptr || impl_->row == nullptr)
        return false;
    return w->selectionModel()->isSelected(w->indexFromItem(impl_->row));
}

void TListItem::SetSelected(bool v) {
    ListViewWidget* w = ListView() != nullptr ? ViewOf(ListView()) : nullptr;
    if (w == nullptr || impl_->row == nullptr)
        return;
    QModelIndex i = w->indexFromItem(impl_->row);
    w->selectionModel()->select(i, (v ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                       QItemSelectionModel::Rows);
}

bool TListItem::Focused() const {
    ListViewWidget* w = ListView() != nullptr ? ViewOf(ListView()) : nullptr;
    return w != nullptr && impl_->row != nullptr && w->currentItem() == impl_->row;
}

void TListItem::SetFocused(bool v) {
    ListViewWidget* w = ListView() != nullptr ? ViewOf(ListView()) : nullptr;
    if (w == nullptr || impl_->row == nullptr)
        return;
    if (v)
        w->selectionModel()->setCurrentIndex(w->indexFromItem(impl_->row), QItemSelectionModel::NoUpdate);
    else if (w->currentItem() == impl_->row)
        w->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

int TListItem::Index() const { return owner_ != nullptr ? owner_->IndexOf(this) : -1; }

void TListItem::Delete() {
    if (owner_ != nullptr)
        owner_->Delete(Index());
}

void TListItem::MakeVisible(bool) {
    ListViewWidget* w = ListView() != nullptr ? ViewOf(ListView()) : nullptr;
    if (w != nullptr && impl_->row != nullptr)
        w->scrollToItem(impl_->row);
}

void TListItem::Assign(TPersistent* source) {
    if (auto* it = dynamic_cast<TListItem*>(source)) {
        SetCaption(it->caption_);
        subItems_->Assign(it->subItems_.get());
        data_ = it->data_;
        return;
    }
    TPersistent::Assign(source);
}

const TClassInfo& TListItems::StaticClassInfo() {
    static const TClassInfo info("TListItems", &TPersistent::StaticClassInfo());
    return info;
}

TListItems::~TListItems() {
    for (TListItem* it : items_) {
        it->owner_ = nullptr;
        it->Free();
    }
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto* it = new TListItem(this);
    items_.insert(items_.begin() + index, it);
    if (ListViewWidget* w = ViewOf(owner_)) {
        owner_->sorting_ = true;
        it->impl_->row = new QTreeWidgetItem();
        w->insertTopLevelItem(index, it->impl_->row);
        owner_->sorting_ = false;
        owner_->SyncRow(it);
    }
    return it;
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

int TListItems::IndexOf(const TListItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TListItems::Delete(int index) {
    TListItem* it = Item(index);
    items_.erase(items_.begin() + index);
    if (ListViewWidget* w = ViewOf(owner_)) {
        if (it->impl_->row != nullptr) {
            owner_->sorting_ = true;
            delete it->impl_->row;
            it->impl_->row = nullptr;
            owner_->sorting_ = false;
            (void)w;
        }
    }
    it->owner_ = nullptr;
    it->Free();
}

void TListItems::Clear() {
    BeginUpdate();
    while (Count() > 0)
        Delete(Count() - 1);
    EndUpdate();
}

void TListItems::BeginUpdate() {
    if (updateCount_++ == 0)
        if (ListViewWidget* w = ViewOf(owner_))
            w->setUpdatesEnabled(false);
}

void TListItems::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        if (ListViewWidget* w = ViewOf(owner_))
            w->setUpdatesEnabled(true);
}

void TListItems::Assign(TPersistent* source) {
    if (auto* src = dynamic_cast<TListItems*>(source)) {
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        for (TListItem* it : src->items_)
            Add()->Assign(it);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TCustomListView

const TClassInfo& TCustomListView::StaticClassInfo() {
    static const TClassInfo info("TCustomListView", &TWinControl::StaticClassInfo());
    return info;
}

const TClassInfo& TListView::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TListView", &TCustomListView::StaticClassInfo());
        AddStandardProps(i, pgInput | pgAlign);
        i.Bool<TCustomListView>("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick);
        i.Object<TCustomListView, TListColumns>("Columns", "TListColumns", &TCustomListView::Columns,
                                                &TCustomListView::SetColumns);
        i.Bool<TCustomListView>("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection);
        i.Object<TCustomListView, TListItems>("Items", "TListItems", &TCustomListView::Items, &TCustomListView::SetItems);
        i.Bool<TCustomListView>("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect);
        i.Bool<TCustomListView>("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly);
        i.Bool<TCustomListView>("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect);
        i.Bool<TCustomListView>("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
                                &TCustomListView::SetShowColumnHeaders);
        i.Enum<TCustomListView>("SortType", "TSortType", {"stNone", "stData", "stText", "stBoth"},
                                &TCustomListView::SortType, &TCustomListView::SetSortType);
        i.Enum<TCustomListView>("ViewStyle", "TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"},
                                &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle);
        i.Event<TCustomListView>("OnChange", "TLVChangeEvent", &TCustomListView::OnChange);
        i.Event<TCustomListView>("OnChanging", "TLVChangingEvent", &TCustomListView::OnChanging);
        i.Event<TCustomListView>("OnColumnClick", "TLVColumnClickEvent", &TCustomListView::OnColumnClick);
        i.Event<TCustomListView>("OnCompare", "TLVCompareEvent", &TCustomListView::OnCompare);
        i.Event<TCustomListView>("OnSelectItem", "TLVSelectItemEvent", &TCustomListView::OnSelectItem);
        return i;
    }();
    return info;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner, &ListViewFactory), columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
    SetTabStop(true);
    SetColor(clWindow);
    ColorChanged(); // the window colour also when it is the default: a parent's colour must not show through
    SetBounds(0, 0, 250, 150);
    SetMultiSelect(false);
    SetHideSelection(true);
    SyncColumns();
}

TCustomListView::~TCustomListView() {
    items_.reset();
    columns_.reset();
}

void TCustomListView::SyncColumns() {
    ListViewWidget* w = ViewOf(this);
    if (w == nullptr || !columns_)
        return;
    int n = columns_->Count();
    w->setColumnCount(std::max(1, n));
    QStringList labels;
    for (int i = 0; i < n; ++i)
        labels << Qs(Column(i)->Caption());
    w->setHeaderLabels(labels);
    if (items_)
        for (TListItem* it : items_->items_)
            SyncRow(it);
    for (int i = 0; i < n; ++i) {
        TListColumn* c = Column(i);
        Qt::Alignment a = c->alignment_ == taCenter ? Qt::AlignHCenter : c->alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
        w->headerItem()->setTextAlignment(i, a | Qt::AlignVCenter);
        if (c->width_ == ColumnTextWidth || c->width_ == ColumnHeaderWidth) {
            w->resizeColumnToContents(i);
            if (c->width_ == ColumnHeaderWidth) {
                QFontMetrics fm(w->header()->font());
                w->setColumnWidth(i, std::max(w->columnWidth(i), fm.horizontalAdvance(labels.value(i)) + 16));
            }
        } else {
            w->setColumnWidth(i, c->width_);
        }
    }
    w->header()->setVisible(showColumnHeaders_ && n > 0);
}

void TCustomListView::SyncRow(TListItem* item) {
    QTreeWidgetItem* row = item->impl_->row;
    if (row == nullptr)
        return;
    int n = std::max(1, columns_ ? columns_->Count() : 1);
    row->setText(0, Qs(item->caption_));
    for (int c = 1; c < n; ++c)
        row->setText(c, c - 1 < item->subItems_->Count() ? Qs(item->subItems_->Get(c - 1)) : QString());
    for (int c = 0; c < n && columns_ && c < columns_->Count(); ++c) {
        TAlignment a = Column(c)->alignment_;
        row->setTextAlignment(c, (a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft) |
                                     Qt::AlignVCenter);
    }
    if (columns_)
        for (int c = 0; c < columns_->Count(); ++c)
            if (Column(c)->width_ == ColumnTextWidth)
                ViewOf(this)->resizeColumnToContents(c);
}

void TCustomListView::SetMultiSelect(bool v) {
    multiSelect_ = v;
    ViewOf(this)->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TCustomListView::SetRowSelect(bool v) {
    rowSelect_ = v;
    ViewOf(this)->setAllColumnsShowFocus(v);
    ViewOf(this)->viewport()->update();
}

void TCustomListView::SetHideSelection(bool v) {
    hideSelection_ = v;
    ListViewWidget* w = ViewOf(this);
    QPalette pal = w->palette();
    if (v) {
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Inactive, QPalette::Base));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Inactive, QPalette::Text));
    } else {
        pal.setColor(QPalette::Inactive, QPalette::Highlight, ToQColor(clBtnFace));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, ToQColor(clWindowText));
    }
    w->setPalette(pal);
}

void TCustomListView::SetShowColumnHeaders(bool v) {
    showColumnHeaders_ = v;
    ViewOf(this)->header()->setVisible(v && columns_->Count() > 0);
}

void TCustomListView::SetColumnClick(bool v) {
    columnClick_ = v;
    ViewOf(this)->header()->setSectionsClickable(v);
}

void TCustomListView::SetSortType(TSortType v) {
    if (sortType_ == v)
        return;
    sortType_ = v;
    if (v == stText || v == stBoth)
        AlphaSort();
}

TListItem* TCustomListView::Selected() const {
    for (TListItem* it : items_->items_)
        if (it->Selected())
            return it;
    return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
    ClearSelection();
    if (item != nullptr) {
        item->SetSelected(true);
        item->SetFocused(true);
    }
}

TListItem* TCustomListView::ItemFocused() const {
    ListViewWidget* w = ViewOf(this);
    QTreeWidgetItem* cur = w->currentItem();
    for (TListItem* it : items_->items_)
        if (it->impl_->row == cur && cur != nullptr)
            return it;
    return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
    if (item != nullptr)
        item->SetFocused(true);
    else if (TListItem* cur = ItemFocused())
        cur->SetFocused(false);
}

int TCustomListView::SelCount() const {
    int n = 0;
    for (TListItem* it : items_->items_)
        if (it->Selected())
            ++n;
    return n;
}

void TCustomListView::ClearSelection() {
    for (TListItem* it : items_->items_)
        if (it->Selected())
            it->SetSelected(false);
}

void TCustomListView::SelectAll() {
    for (TListItem* it : items_->items_)
        it->SetSelected(true);
}

TListItem* TCustomListView::GetNextItem(TListItem* start, TSearchDirection, TItemStates states) const {
    int from = start == nullptr ? 0 : items_->IndexOf(start) + 1;
    for (int i = from; i < items_->Count(); ++i) {
        TListItem* it = items_->Item(i);
        if (states.Contains(isSelected) && !it->Selected())
            continue;
        if (states.Contains(isFocused) && !it->Focused())
            continue;
        return it;
    }
    return nullptr;
}

bool TCustomListView::AlphaSort() { return CustomSort(nullptr, 0); }

bool TCustomListView::CustomSort(const TLVCompare& compare, std::intptr_t data) {
    std::vector<TListItem*> order = items_->items_;
    auto cmp = [&](TListItem* a, TListItem* b) {
        int r = 0;
        if (compare) {
            r = compare(a, b, data);
        } else if (OnCompare.Assigned()) {
            OnCompare(this, a, b, static_cast<int>(data), r);
        } else {
            r = QString::localeAwareCompare(Qs(a->caption_), Qs(b->caption_));
        }
        return r < 0;
    };
    std::stable_sort(order.begin(), order.end(), cmp);
    Reorder(order);
    return true;
}

void TCustomListView::Reorder(const std::vector<TListItem*>& order) {
    ListViewWidget* w = ViewOf(this);
    sorting_ = true;
    TListItem* focused = ItemFocused();
    std::vector<TListItem*> selected;
    for (TListItem* it : order)
        if (it->Selected())
            selected.push_back(it);
    while (w->topLevelItemCount() > 0)
        w->takeTopLevelItem(0);
    items_->items_ = order;
    for (TListItem* it : order)
        if (it->impl_->row != nullptr)
            w->addTopLevelItem(it->impl_->row);
    QItemSelection sel;
    for (TListItem* it : selected) {
        QModelIndex i = w->indexFromItem(it->impl_->row);
        sel.select(i, i.siblingAtColumn(std::max(0, w->columnCount() - 1)));
    }
    w->selectionModel()->QItemSelectionModel::select(sel, QItemSelectionModel::ClearAndSelect);
    if (focused != nullptr)
        w->selectionModel()->setCurrentIndex(w->indexFromItem(focused->impl_->row), QItemSelectionModel::NoUpdate);
    sorting_ = false;
}

int TCustomListView::StringWidth(const std::string& text) const {
    return QFontMetrics(ToQFont(*Font())).horizontalAdvance(Qs(text));
}

bool TCustomListView::CanChange(TListItem* item, TItemChange change) {
    bool allow = true;
    OnChanging(this, item, change, allow);
    return allow;
}

void TCustomListView::Change(TListItem* item, TItemChange change) { OnChange(this, item, change); }

void TCustomListView::ColClick(TListColumn* column) { OnColumnClick(this, column); }

LRESULT TCustomListView::DialogCode() const { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListView::FontChanged() {
    TWinControl::FontChanged();
    ViewOf(this)->header()->setFont(ToQFont(*Font()));
}

void TCustomListView::WndProc(TMessage& m) { TWinControl::WndProc(m); }

// ---------------------------------------------------------------------------------------------
// Page control

struct TPageAccess {
    static void Clicked(TPageControl* pc, int tab) { pc->TabClicked(tab); }
    static void Draw(TPageControl* pc, int tab, const TRect& r, bool active, QPainter* p) {
        TCanvas* c = pc->canvas_.get();
        BeginCanvasPaint(*c, p, p->device());
        c->Font()->Assign(pc->Font());
        pc->DrawTab(tab, r, active);
        EndCanvasPaint(*c);
    }
    static bool OwnerDraw(TPageControl* pc) { return pc->ownerDraw_; }
};

namespace {

class PageTabBar : public QTabBar {
public:
    PageTabBar(QWidget* parent, TControlWidget* host) : QTabBar(parent), host_(host) {
        setDrawBase(false);
        setExpanding(false);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        auto* pc = static_cast<TPageControl*>(host_->control);
        if (pc == nullptr || e->button() != Qt::LeftButton) {
            QTabBar::mousePressEvent(e);
            return;
        }
        int tab = tabAt(e->position().toPoint());
        if (tab >= 0)
            Guarded([&] { TPageAccess::Clicked(pc, tab); });
    }
    void paintEvent(QPaintEvent* e) override {
        auto* pc = static_cast<TPageControl*>(host_->control);
        if (pc == nullptr || !TPageAccess::OwnerDraw(pc)) {
            QTabBar::paintEvent(e);
            return;
        }
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        for (int i = 0; i < count(); ++i) {
            QRect r = tabRect(i);
            TPageAccess::Draw(pc, i, Bounds(r.x(), r.y(), r.width(), r.height()), i == currentIndex(), &p);
        }
    }

private:
    TControlWidget* host_;
};

class PageWidget : public TWidget<QWidget> {
public:
    explicit PageWidget(TControl* c) : TWidget<QWidget>(c) {
        setAutoFillBackground(true);
        bar = new PageTabBar(this, this);
    }
    PageTabBar* bar;

protected:
    void paintEvent(QPaintEvent* e) override {
        TWidget<QWidget>::paintEvent(e);
        QPainter p(this);
        int top = bar->isVisible() ? bar->height() - 1 : 0;
        QRect r(0, top, width() - 1, height() - top - 1);
        p.setPen(ToQColor(clBtnHighlight));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(ToQColor(cl3DDkShadow));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(ToQColor(clBtnShadow));
        p.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
        p.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
    }
};

PageWidget* PageOf(const TControl* c) { return dynamic_cast<PageWidget*>(WidgetOf(c)); }
TControlWidget* PageFactory(TControl* c) { return new PageWidget(c); }

} // namespace

const TClassInfo& TPageControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TPageControl", &TWinControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgFont | pgTab | pgMouse | pgFocus | pgDrag | pgDock | pgDockSite |
                                pgResize);
        i.Object<TPageControl, TTabSheet>("ActivePage", "TTabSheet", &TPageControl::ActivePage,
                                          &TPageControl::SetActivePage);
        i.Bool<TPageControl>("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
        i.Bool<TPageControl>("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw);
        i.Enum<TPageControl>("Style", "TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"}, &TPageControl::Style,
                             &TPageControl::SetStyle);
        i.Int<TPageControl>("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight, "Smallint");
        i.Int<TPageControl>("TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex);
        i.Int<TPageControl>("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth, "Smallint");
        i.Event<TPageControl>("OnChange", "TNotifyEvent", &TPageControl::OnChange);
        i.Event<TPageControl>("OnChanging", "TTabChangingEvent", &TPageControl::OnChanging);
        i.Event<TPageControl>("OnDrawTab", "TDrawTabEvent", &TPageControl::OnDrawTab);
        return i;
    }();
    return info;
}

TPageControl::TPageControl(TComponent* owner)
    : TWinControl(owner, &PageFactory), canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle(TControlStyle{csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetColor(clBtnFace);
    SetParentColor(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_)
        p->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    UpdateTabs();
    if (activePage_ == nullptr) {
        SetActivePage(page);
    } else {
        page->SetVisible(false);
    }
    PlaceSheets();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, false) : activePage_;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (next == page)
        next = nullptr;
    if (activePage_ == page) {
        activePage_ = nullptr;
        if (next != nullptr)
            SetActivePage(next);
    }
    UpdateTabs();
}

int TPageControl::ActivePageIndex() const {
    auto it = std::find(pages_.begin(), pages_.end(), activePage_);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page != nullptr && page->pageControl_ != this)
        return;
    if (page == activePage_)
        return;
    TComponentRef<TTabSheet> old(activePage_);
    activePage_ = page;
    if (page != nullptr) {
        page->BringToFront();
        page->SetVisible(true);
    }
    if (old && old.Get() != page)
        old->SetVisible(false);
    UpdateTabs();
    PlaceSheets();
}

int TPageControl::TabIndex() const { return activePage_ != nullptr ? activePage_->TabIndex() : -1; }

void TPageControl::SetTabIndex(int index) {
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == index && index >= 0) {
            SetActivePage(p);
            return;
        }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    if (pages_.empty())
        return nullptr;
    int count = PageCount();
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start = it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* p = pages_[static_cast<std::size_t>(i)];
        if (!checkTabVisible || p->TabVisible())
            return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
    if (page != nullptr && page != activePage_ && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

bool TPageControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() { OnChange(this); }

void TPageControl::TabClicked(int tabIndex) {
    TTabSheet* target = nullptr;
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == tabIndex)
            target = p;
    if (target == nullptr || target == activePage_)
        return;
    TComponentRef<TControl> self(this);
    if (!CanChange() || !self)
        return;
    SetActivePage(target);
    Change();
}

void TPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    if (OnDrawTab.Assigned()) {
        OnDrawTab(this, tabIndex, rect, active);
        return;
    }
    TCanvas* c = canvas_.get();
    c->Brush()->SetColor(Color());
    c->FillRect(rect);
    TTabSheet* page = nullptr;
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == tabIndex)
            page = p;
    if (page != nullptr) {
        TRect r = rect;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(page->Caption(), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

void TPageControl::SetOwnerDraw(bool value) {
    ownerDraw_ = value;
    PageOf(this)->bar->update();
}

void TPageControl::SetTabHeight(int value) {
    tabHeight_ = value;
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::SetTabWidth(int value) {
    tabWidth_ = value;
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    PageWidget* w = PageOf(this);
    QTabBar* bar = w->bar;
    QSignalBlocker block(bar);
    while (bar->count() > 0)
        bar->removeTab(0);
    int current = -1;
    for (TTabSheet* p : pages_) {
        if (!p->TabVisible())
            continue;
        int i = bar->addTab(Qs(p->Caption()));
        if (p == activePage_)
            current = i;
    }
    if (current >= 0)
        bar->setCurrentIndex(current);
    QString style;
    if (tabHeight_ > 0)
        style += QString("QTabBar::tab { height: %1px; }").arg(tabHeight_ - 4);
    if (tabWidth_ > 0)
        style += QString("QTabBar::tab { width: %1px; }").arg(tabWidth_ - 4);
    bar->setStyleSheet(style);
    bar->setFont(ToQFont(*Font()));
    bar->setVisible(bar->count() > 0);
    bar->setGeometry(2, 0, std::max(0, Width() - 4), bar->sizeHint().height());
    bar->update();
}

TRect TPageControl::TabRect(int tabIndex) const {
    QTabBar* bar = PageOf(this)->bar;
    QRect r = bar->tabRect(tabIndex);
    return Bounds(r.x() + bar->x(), r.y() + bar->y(), r.width(), r.height());
}

TRect TPageControl::DisplayRect() const {
    QTabBar* bar = PageOf(this)->bar;
    int top = bar->isVisible() || bar->count() > 0 ? bar->sizeHint().height() : 0;
    return Rect(4, top + 4, std::max(4, Width() - 4), std::max(top + 4, Height() - 4));
}

void TPageControl::PlaceSheets() {
    TRect r = DisplayRect();
    for (TTabSheet* p : pages_)
        p->TWinControl::SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::FontChanged() {
    TWinControl::FontChanged();
    canvas_->Font()->Assign(Font());
    UpdateTabs();
    PlaceSheets();
}

void TPageControl::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB) {
        TShiftState shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        if (shift.Contains(ssCtrl) && activePage_ != nullptr) {
            SelectNextPage(!shift.Contains(ssShift));
            m.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

const TClassInfo& TTabSheet::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TTabSheet", &TWinControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgFont | pgMouse | pgFocus | pgDrag | pgResize);
        i.Int<TTabSheet>("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, "TImageIndex");
        i.Object<TTabSheet, TPageControl>("PageControl", "TPageControl", &TTabSheet::PageControl,
                                          &TTabSheet::SetPageControl);
        i.Int<TTabSheet>("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
        i.Bool<TTabSheet>("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
        i.Event<TTabSheet>("OnHide", "TNotifyEvent", &TTabSheet::OnHide);
        i.Event<TTabSheet>("OnShow", "TNotifyEvent", &TTabSheet::OnShow);
        return i;
    }();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentColor(true);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_ != nullptr)
        pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pageControl_ == pc)
        return;
    if (pageControl_ != nullptr)
        pageControl_->RemovePage(this);
    SetParent(pc);
    if (pc != nullptr)
        pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (pageControl_ == nullptr)
        return -1;
    auto& v = pageControl_->pages_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (pageControl_ == nullptr)
        return;
    auto& v = pageControl_->pages_;
    index = std::clamp(index, 0, static_cast<int>(v.size()) - 1);
    v.erase(std::find(v.begin(), v.end(), this));
    v.insert(v.begin() + index, this);
    pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (pageControl_ == nullptr || !tabVisible_)
        return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this)
            return n;
        if (p->tabVisible_)
            ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value) {
    if (tabVisible_ == value)
        return;
    tabVisible_ = value;
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::RealSetText(const std::string& text) {
    TWinControl::RealSetText(text);
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::DoShow() { OnShow(this); }
void TTabSheet::DoHide() { OnHide(this); }

void TTabSheet::WndProc(TMessage& m) {
    if (m.Msg == CM_SHOWINGCHANGED) {
        bool now = Showing();
        if (now != wasShowing_) {
            wasShowing_ = now;
            if (now)
                DoShow();
            else
                DoHide();
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// Status bar

const TClassInfo& TStatusPanel::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TStatusPanel", &TCollectionItem::StaticClassInfo())
            .Str<TStatusPanel>("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
            .Int<TStatusPanel>("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
    return info;
}

void TStatusPanel::SetText(const std::string& v) { text_ = v; Changed(false); }
void TStatusPanel::SetWidth(int v) { width_ = v; Changed(false); }
void TStatusPanel::SetAlignment(TAlignment v) { alignment_ = v; Changed(false); }
void TStatusPanel::SetBevel(TStatusPanelBevel v) { bevel_ = v; Changed(false); }

void TStatusPanel::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
        text_ = p->text_;
        width_ = p->width_;
        alignment_ = p->alignment_;
        bevel_ = p->bevel_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

const TClassInfo& TStatusPanels::StaticClassInfo() {
    static const TClassInfo info("TStatusPanels", &TCollection::StaticClassInfo());
    return info;
}

TStatusPanel* TStatusPanels::Add() {
    auto* p = new TStatusPanel(this);
    Update(nullptr);
    return p;
}

void TStatusPanels::Update(TCollectionItem*) {
    if (owner_ != nullptr)
        owner_->Invalidate();
}

const TClassInfo& TStatusBar::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TStatusBar", &TCustomControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgColor | pgFont | pgClick | pgDblClick | pgMouse | pgDrag |
                                pgDock | pgResize);
        i.Object<TStatusBar, TStatusPanels>("Panels", "TStatusPanels", &TStatusBar::Panels, &TStatusBar::SetPanels);
        i.Bool<TStatusBar>("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
        i.Str<TStatusBar>("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        i.Bool<TStatusBar>("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
        return i;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() { panels_.reset(); }

void TStatusBar::SetSimplePanel(bool v) { simplePanel_ = v; Invalidate(); }
void TStatusBar::SetSimpleText(const std::string& v) { simpleText_ = v; Invalidate(); }
void TStatusBar::SetSizeGrip(bool v) { sizeGrip_ = v; Invalidate(); }

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Font()->Assign(Font());
    auto drawPanel = [&](TRect pr, const std::string& text, TAlignment a, TStatusPanelBevel bevel) {
        TRect fr = pr;
        if (bevel == pbLowered)
            Frame3D(c, fr, clBtnShadow, clBtnHighlight, 1);
        else if (bevel == pbRaised)
            Frame3D(c, fr, clBtnHighlight, clBtnShadow, 1);
        fr.Left += 2;
        fr.Right -= 2;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(text, fr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                                   (a == taCenter ? DT_CENTER : a == taRightJustify ? DT_RIGHT : DT_LEFT));
        c->Brush()->SetStyle(bsSolid);
    };
    int top = 2;
    if (simplePanel_ || panels_->Count() == 0) {
        drawPanel(Rect(0, top, r.Right, r.Bottom), simpleText_, taLeftJustify, pbLowered);
        return;
    }
    int x = 0;
    for (int i = 0; i < panels_->Count(); ++i) {
        TStatusPanel* p = panels_->Items(i);
        int right = i == panels_->Count() - 1 ? r.Right : x + p->Width();
        drawPanel(Rect(x, top, right - 2, r.Bottom), p->Text(), p->Alignment(), p->Bevel());
        x = right;
    }
}

} // namespace nuv
