// The list view: its columns, its rows (kept in a TRowTreap) and the Qt side, a QTreeView over
// a model that reads the rows of the list.
#include "ui/ComCtrls.h"

#include "ui/ExtCtrls.h"
#include "ui/PropGroups.h"
#include "ui/RowTreap.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace nuv {

// A row's node in its list's treap; the list's rows.
struct TListItemImpl : TRowNode<TListItem> {};
struct TListRows : TRowTreap<TListItem> {};

// ---------------------------------------------------------------------------------------------
// The Qt side of the list view

struct TListViewAccess {
    static bool CanChange(TCustomListView* lv, TListItem* it, TItemChange c) {
        return lv->CanChange(it, c);
    }
    static void Change(TCustomListView* lv, TListItem* it, TItemChange c) { lv->Change(it, c); }
    static void ColClick(TCustomListView* lv, int col) {
        if (col >= 0 && col < lv->columns_->Count())
            lv->ColClick(lv->Column(col));
    }
    static int RowCount(TCustomListView* lv) { return lv->items_ ? lv->items_->Count() : 0; }
    static TListItem* ItemOf(TCustomListView* lv, int row) {
        if (!lv->items_)
            return nullptr;
        return row >= 0 && row < lv->items_->Count() ? lv->items_->Item(row) : nullptr;
    }
    static int ColumnCount(TCustomListView* lv) { return lv->columns_ ? lv->columns_->Count() : 0; }
    static TListColumn* ColumnOf(TCustomListView* lv, int col) {
        return col >= 0 && col < ColumnCount(lv) ? lv->Column(col) : nullptr;
    }
    static bool Sorting(TCustomListView* lv) { return lv->sorting_ || !lv->items_; }
    static bool RowSelect(TCustomListView* lv) { return lv->rowSelect_; }
    // Gives a list's view, just made, the list's settings, font and columns.
    static void ViewMade(TCustomListView* lv);
    // Gives a list's view, if made, the list's settings: the one place where they reach it.
    static void ApplySettings(TCustomListView* lv);
};

namespace {

class ListViewWidget;

Qt::Alignment QtAlignment(TAlignment a) {
    return (a == taCenter         ? Qt::AlignHCenter
            : a == taRightJustify ? Qt::AlignRight
                                  : Qt::AlignLeft) |
           Qt::AlignVCenter;
}

// The rows of the list view as a flat table: row r is the list's r-th TListItem, column 0 its
// caption and column c its (c-1)-th sub-item. The texts are read from the items when shown, so
// a changed text only has to announce its row.
class ListModel : public QAbstractItemModel {
public:
    explicit ListModel(QObject* parent) : QAbstractItemModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        TCustomListView* lv = List();
        return parent.isValid() || lv == nullptr ? 0 : TListViewAccess::RowCount(lv);
    }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return columns_; }
    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid() || row < 0 || column < 0 || column >= columns_ || row >= rowCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return QModelIndex(); }
    QModelIndex sibling(int row, int column, const QModelIndex&) const override {
        return index(row, column);
    }
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override {
        return !parent.isValid() && rowCount() > 0;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || List() == nullptr)
            return {};
        TListItem* it = TListViewAccess::ItemOf(List(), index.row());
        if (it == nullptr)
            return {};
        int c = index.column();
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            if (c == 0)
                return ToQString(it->Caption());
            TStrings* sub = it->SubItems();
            return c - 1 < sub->Count() ? ToQString(sub->Get(c - 1)) : QString();
        }
        if (role == Qt::TextAlignmentRole)
            if (TListColumn* col = TListViewAccess::ColumnOf(List(), c))
                return static_cast<int>(QtAlignment(col->Alignment()));
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || List() == nullptr)
            return {};
        TListColumn* col = TListViewAccess::ColumnOf(List(), section);
        if (role == Qt::DisplayRole)
            return col != nullptr ? ToQString(col->Caption()) : QString::number(section + 1);
        if (role == Qt::TextAlignmentRole && col != nullptr)
            return static_cast<int>(QtAlignment(col->Alignment()));
        return {};
    }

    // The number of columns shown (at least one, for the captions).
    void SetColumns(int n) {
        n = std::max(1, n);
        if (n > columns_) {
            beginInsertColumns(QModelIndex(), columns_, n - 1);
            columns_ = n;
            endInsertColumns();
        } else if (n < columns_) {
            beginRemoveColumns(QModelIndex(), n, columns_ - 1);
            columns_ = n;
            endRemoveColumns();
        }
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
        int rows = rowCount();
        if (rows > 0)
            emit dataChanged(index(0, 0), index(rows - 1, columns_ - 1));
    }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, columns_ - 1)); }
    void BeginInsert(int row) { beginInsertRows(QModelIndex(), row, row); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int row) { beginRemoveRows(QModelIndex(), row, row); }
    void EndRemove() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }

    TCustomListView* List() const { return list; }
    // The list view whose rows are shown: set once it is built, nullptr once it is being freed
    // (the widget and its model outlive it).
    TCustomListView* list = nullptr;
    int columns_ = 1;
};

// Asks OnChanging before the selection of a row changes; refused rows keep their state.
class VetoSelectionModel : public QItemSelectionModel {
public:
    VetoSelectionModel(QAbstractItemModel* model, ListViewWidget* view)
        : QItemSelectionModel(model, model), view_(view) {}
    void select(const QItemSelection& selection,
                QItemSelectionModel::SelectionFlags command) override;
    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override {
        select(QItemSelection(index, index), command);
    }

private:
    ListViewWidget* view_;
};

// The Qt view of a list view's rows: made inside the list view's widget (ListViewBox) when that
// is first shown, or earlier when something needs it.
class ListViewWidget : public QTreeView {
public:
    ListViewWidget(ListModel* listModel, QWidget* parent) : QTreeView(parent), rows(listModel) {
        setModel(rows);
        setRootIsDecorated(false);
        setUniformRowHeights(true);
        setItemsExpandable(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        header()->setSectionsMovable(false);
        header()->setSectionsClickable(true);
        header()->setStretchLastSection(false);
        setSelectionModel(new VetoSelectionModel(rows, this));
        QObject::connect(header(), &QHeaderView::sectionClicked, this, [this](int col) {
            if (auto* lv = List())
                Guarded([&] { TListViewAccess::ColClick(lv, col); });
        });
        QObject::connect(
            selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& sel, const QItemSelection& desel) { Report(sel, desel); });
    }
    TCustomListView* List() const { return rows->list; }
    int RowOf(const QModelIndex& i) const { return i.isValid() ? i.row() : -1; }
    int ColumnCount() const { return rows->columnCount(); }
    QModelIndex IndexOf(const TListItem* it) const {
        return it->Impl()->linked ? rows->index(it->Index(), 0) : QModelIndex();
    }
    bool RowSelected(int row) const { return selectionModel()->isSelected(rows->index(row, 0)); }
    ListModel* rows;
    // With HideSelection the selected rows look like the others while the window is inactive;
    // without it they show in the button face colour. Applied to each row as it is drawn, so
    // that the list's own colours stay inherited and a later colour change is followed.
    bool hideSelection = true;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        if (hideSelection) {
            o.palette.setColor(QPalette::Inactive, QPalette::Highlight,
                               o.palette.color(QPalette::Inactive, QPalette::Base));
            o.palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                               o.palette.color(QPalette::Inactive, QPalette::Text));
        } else {
            o.palette.setColor(QPalette::Inactive, QPalette::Highlight, ToQColor(clBtnFace));
            o.palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                               ToQColor(clWindowText));
        }
        QTreeView::drawRow(painter, o, index);
    }

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

void VetoSelectionModel::select(const QItemSelection& selection,
                                QItemSelectionModel::SelectionFlags command) {
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
    ListViewDelegate(QObject* parent, ListViewWidget* view)
        : QStyledItemDelegate(parent), view_(view) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        TCustomListView* lv = view_->List();
        if (lv != nullptr && !TListViewAccess::RowSelect(lv) && index.column() > 0)
            o.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(p, o, index);
    }

private:
    ListViewWidget* view_;
};

// A list view's widget: a plain box that holds the rows' model from the start and the view over
// them once it is needed. A Qt tree view with its header costs as much to make as a dozen edits,
// and a form keeps its lists mostly on pages and panels that are not shown when it opens (or
// never), so the view is made when the box is first shown, or when a caller needs what only the
// view knows (a column sized to its texts, a row to select or scroll to). Until then the
// settings wait in the list view's fields and no row is selected or focused; the view takes them
// all when made. Keys, mouse and focus reach the list view through the view as through any
// widget inside a control.
class ListViewBox : public TWidget<QWidget> {
public:
    explicit ListViewBox(TControl* c) : TWidget<QWidget>(c), rows(new ListModel(this)) {
        // Tools that read the widget tree see a list here before its view exists.
        setProperty("listView", true);
    }
    ListViewWidget* View();
    ListModel* rows;
    ListViewWidget* view = nullptr;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Show && view == nullptr && control != nullptr)
            Guarded([&] { View(); });
        return TWidget<QWidget>::event(e);
    }
    void resizeEvent(QResizeEvent* e) override {
        TWidget<QWidget>::resizeEvent(e);
        if (view != nullptr)
            view->setGeometry(rect());
    }
};

ListViewBox* BoxOf(const TControl* c) {
    return c != nullptr ? dynamic_cast<ListViewBox*>(WidgetOf(c)) : nullptr;
}

// The view of a list view, made if it is not yet.
ListViewWidget* ViewOf(const TControl* c) {
    ListViewBox* box = BoxOf(c);
    return box != nullptr ? box->View() : nullptr;
}

// The view of a list view if it is made: nullptr before (nothing selected, nothing to adjust).
ListViewWidget* MadeViewOf(const TControl* c) {
    ListViewBox* box = BoxOf(c);
    return box != nullptr ? box->view : nullptr;
}

TControlWidget* ListViewFactory(TControl* c) {
    return new ListViewBox(c);
}

ListViewWidget* ListViewBox::View() {
    if (view != nullptr)
        return view;
    view = new ListViewWidget(rows, this);
    view->setItemDelegate(new ListViewDelegate(view, view));
    view->setGeometry(rect());
    setFocusProxy(view);
    if (auto* lv = dynamic_cast<TCustomListView*>(control))
        TListViewAccess::ViewMade(lv);
    // A child made inside a widget already shown is shown only when asked.
    if (isVisible())
        view->show();
    return view;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Columns

const TClassInfo& TListColumn::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TListColumn", &TCollectionItem::StaticClassInfo())
            .Enum<TListColumn>("Alignment", "TAlignment",
                               {"taLeftJustify", "taRightJustify", "taCenter"},
                               &TListColumn::Alignment, &TListColumn::SetAlignment)
            .Bool<TListColumn>("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize)
            .Str<TListColumn>("Caption", &TListColumn::Caption, &TListColumn::SetCaption,
                              "TCaption")
            .Int<TListColumn>("Width", &TListColumn::Width, &TListColumn::SetWidth, "TWidth");
    return info;
}

TListColumn::TListColumn(TCollection* c) : TCollectionItem(c) {}

void TListColumn::SetCaption(const std::string& v) {
    caption_ = v;
    Changed(false);
}

int TListColumn::Width() const {
    if (width_ >= 0)
        return width_;
    // Sized to the texts or the caption: the view knows the width.
    auto* cols = dynamic_cast<TListColumns*>(Collection());
    if (cols != nullptr && cols->Owner() != nullptr)
        if (ListViewWidget* w = ViewOf(cols->Owner()))
            if (Index() < w->ColumnCount())
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
    : owner_(owner), subItems_(std::make_unique<TStringList>()),
      impl_(std::make_unique<TListItemImpl>()) {
    impl_->item = this;
    subItems_->OnChange = TNotifyEvent([this](TObject*) {
        if (TCustomListView* lv = ListView())
            lv->SyncRow(this);
    });
}

TListItem::~TListItem() {
    subItems_->OnChange = nullptr;
    // A row freed while still in its list leaves the list first.
    if (owner_ != nullptr && impl_->linked)
        owner_->Unlink(this);
}

TCustomListView* TListItem::ListView() const {
    return owner_ != nullptr ? owner_->Owner() : nullptr;
}

TStrings* TListItem::SubItems() const {
    return subItems_.get();
}
void TListItem::SetSubItems(TStrings* v) {
    subItems_->Assign(v);
}

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
    ListViewWidget* w = MadeViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return false;
    return w->selectionModel()->isSelected(w->IndexOf(this));
}

void TListItem::SetSelected(bool v) {
    ListViewWidget* w = v ? ViewOf(ListView()) : MadeViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return;
    QModelIndex i = w->IndexOf(this);
    w->selectionModel()->select(i,
                                (v ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                    QItemSelectionModel::Rows);
}

bool TListItem::Focused() const {
    ListViewWidget* w = MadeViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return false;
    QModelIndex cur = w->currentIndex();
    return cur.isValid() && cur.row() == Index();
}

void TListItem::SetFocused(bool v) {
    ListViewWidget* w = v ? ViewOf(ListView()) : MadeViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return;
    if (v)
        w->selectionModel()->setCurrentIndex(w->IndexOf(this), QItemSelectionModel::NoUpdate);
    else if (Focused())
        w->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

int TListItem::Index() const {
    return owner_ != nullptr ? owner_->IndexOf(this) : -1;
}

void TListItem::Delete() {
    if (owner_ != nullptr)
        owner_->Delete(Index());
}

void TListItem::MakeVisible(bool) {
    ListViewWidget* w = ViewOf(ListView());
    if (w != nullptr && impl_->linked)
        w->scrollTo(w->IndexOf(this));
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

TListItems::TListItems(TCustomListView* owner)
    : owner_(owner), rows_(std::make_unique<TListRows>()) {}

TListItems::~TListItems() {
    std::vector<TListItem*> all = All();
    ListViewBox* w = BoxOf(owner_);
    if (w != nullptr)
        w->rows->BeginReset();
    rows_->Clear();
    if (w != nullptr)
        w->rows->EndReset();
    for (TListItem* it : all) {
        it->owner_ = nullptr;
        it->Free();
    }
}

int TListItems::Count() const {
    return rows_->Count();
}

std::vector<TListItem*> TListItems::All() const {
    return rows_->All();
}

TListItem* TListItems::Add() {
    return Insert(Count());
}

TListItem* TListItems::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto* it = new TListItem(this);
    ListViewBox* w = BoxOf(owner_);
    if (w == nullptr) {
        rows_->Insert(index, it->impl_.get());
        return it;
    }
    owner_->sorting_ = true;
    w->rows->BeginInsert(index);
    rows_->Insert(index, it->impl_.get());
    w->rows->EndInsert();
    owner_->sorting_ = false;
    // The new row is empty and the view reads it when it shows it: only the columns sized to
    // their texts need a look.
    owner_->FitTextColumns();
    return it;
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return rows_->At(index)->item;
}

int TListItems::IndexOf(const TListItem* item) const {
    if (item == nullptr || item->owner_ != this || !item->impl_->linked)
        return -1;
    return rows_->IndexOf(item->impl_.get());
}

// Takes the row out of the list (and the view) without freeing it.
void TListItems::Unlink(TListItem* item) {
    int index = IndexOf(item);
    if (index < 0)
        return;
    ListViewBox* w = BoxOf(owner_);
    if (w == nullptr) {
        rows_->Erase(index);
        return;
    }
    bool wasSorting = owner_->sorting_;
    owner_->sorting_ = true;
    w->rows->BeginRemove(index);
    rows_->Erase(index);
    w->rows->EndRemove();
    owner_->sorting_ = wasSorting;
}

void TListItems::Delete(int index) {
    TListItem* it = Item(index);
    Unlink(it);
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
        if (ListViewWidget* w = MadeViewOf(owner_))
            w->setUpdatesEnabled(false);
}

void TListItems::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        if (ListViewWidget* w = MadeViewOf(owner_))
            w->setUpdatesEnabled(true);
}

void TListItems::Assign(TPersistent* source) {
    if (auto* src = dynamic_cast<TListItems*>(source)) {
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        for (TListItem* it : src->All())
            Add()->Assign(it);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TCustomListView

void TListViewAccess::ApplySettings(TCustomListView* lv) {
    ListViewWidget* w = MadeViewOf(lv);
    if (w == nullptr)
        return;
    w->hideSelection = lv->hideSelection_;
    w->setSelectionMode(lv->multiSelect_ ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    w->setAllColumnsShowFocus(lv->rowSelect_);
    w->header()->setSectionsClickable(lv->columnClick_);
    w->header()->setVisible(lv->showColumnHeaders_ && ColumnCount(lv) > 0);
    w->viewport()->update();
}

void TListViewAccess::ViewMade(TCustomListView* lv) {
    ListViewWidget* w = MadeViewOf(lv);
    w->header()->setFont(ToQFont(*lv->Font()));
    if (lv->items_ && lv->items_->updateCount_ > 0)
        w->setUpdatesEnabled(false);
    lv->SyncColumns(); // the widths, then the settings
}

const TClassInfo& TCustomListView::StaticClassInfo() {
    static const TClassInfo info("TCustomListView", &TWinControl::StaticClassInfo());
    return info;
}

const TClassInfo& TListView::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TListView", &TCustomListView::StaticClassInfo());
        AddStandardProps(i, pgInput | pgAlign);
        i.Bool<TCustomListView>("ColumnClick", &TCustomListView::ColumnClick,
                                &TCustomListView::SetColumnClick);
        i.Object<TCustomListView, TListColumns>(
            "Columns", "TListColumns", &TCustomListView::Columns, &TCustomListView::SetColumns);
        i.Bool<TCustomListView>("HideSelection", &TCustomListView::HideSelection,
                                &TCustomListView::SetHideSelection);
        i.Object<TCustomListView, TListItems>("Items", "TListItems", &TCustomListView::Items,
                                              &TCustomListView::SetItems);
        i.Bool<TCustomListView>("MultiSelect", &TCustomListView::MultiSelect,
                                &TCustomListView::SetMultiSelect);
        i.Bool<TCustomListView>("ReadOnly", &TCustomListView::ReadOnly,
                                &TCustomListView::SetReadOnly);
        i.Bool<TCustomListView>("RowSelect", &TCustomListView::RowSelect,
                                &TCustomListView::SetRowSelect);
        i.Bool<TCustomListView>("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
                                &TCustomListView::SetShowColumnHeaders);
        i.Enum<TCustomListView>("SortType", "TSortType", {"stNone", "stData", "stText", "stBoth"},
                                &TCustomListView::SortType, &TCustomListView::SetSortType);
        i.Enum<TCustomListView>("ViewStyle", "TViewStyle",
                                {"vsIcon", "vsSmallIcon", "vsList", "vsReport"},
                                &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle);
        i.Event<TCustomListView>("OnChange", "TLVChangeEvent", &TCustomListView::OnChange);
        i.Event<TCustomListView>("OnChanging", "TLVChangingEvent", &TCustomListView::OnChanging);
        i.Event<TCustomListView>("OnColumnClick", "TLVColumnClickEvent",
                                 &TCustomListView::OnColumnClick);
        i.Event<TCustomListView>("OnCompare", "TLVCompareEvent", &TCustomListView::OnCompare);
        i.Event<TCustomListView>("OnSelectItem", "TLVSelectItemEvent",
                                 &TCustomListView::OnSelectItem);
        return i;
    }();
    return info;
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner, &ListViewFactory), columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
    if (ListViewBox* w = BoxOf(this))
        w->rows->list = this;
    Impl()->colorRole = QPalette::Base; // the view inside shows the colour
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 250, 150);
    SetMultiSelect(false);
    SyncColumns();
}

TCustomListView::~TCustomListView() {
    items_.reset();
    if (ListViewBox* w = BoxOf(this)) {
        w->rows->BeginReset();
        w->rows->list = nullptr;
        w->rows->EndReset();
    }
    columns_.reset();
}

void TCustomListView::SyncColumns() {
    ListViewBox* box = BoxOf(this);
    if (box == nullptr || !columns_)
        return;
    int n = columns_->Count();
    // The captions, alignments and texts are read from the columns and rows when shown.
    box->rows->SetColumns(n);
    // The widths and the header wait for the view (ViewMade).
    ListViewWidget* w = box->view;
    if (w == nullptr)
        return;
    for (int i = 0; i < n; ++i) {
        TListColumn* c = Column(i);
        if (c->width_ == ColumnTextWidth || c->width_ == ColumnHeaderWidth) {
            w->resizeColumnToContents(i);
            if (c->width_ == ColumnHeaderWidth) {
                QFontMetrics fm(w->header()->font());
                w->setColumnWidth(i, std::max(w->columnWidth(i),
                                              fm.horizontalAdvance(ToQString(c->Caption())) + 16));
            }
        } else {
            w->setColumnWidth(i, c->width_);
        }
    }
    TListViewAccess::ApplySettings(this); // the header shows only when there are columns
}

void TCustomListView::SyncRow(TListItem* item) {
    ListViewBox* w = BoxOf(this);
    if (w == nullptr || !item->impl_->linked)
        return;
    w->rows->RowChanged(item->Index());
    FitTextColumns();
}

void TCustomListView::FitTextColumns() {
    ListViewWidget* w = MadeViewOf(this);
    if (w != nullptr && columns_)
        for (int c = 0; c < columns_->Count(); ++c)
            if (Column(c)->width_ == ColumnTextWidth)
                w->resizeColumnToContents(c);
}

void TCustomListView::SetMultiSelect(bool v) {
    multiSelect_ = v;
    TListViewAccess::ApplySettings(this);
}

void TCustomListView::SetRowSelect(bool v) {
    rowSelect_ = v;
    TListViewAccess::ApplySettings(this);
}

void TCustomListView::SetHideSelection(bool v) {
    if (hideSelection_ == v)
        return;
    hideSelection_ = v;
    TListViewAccess::ApplySettings(this);
}

void TCustomListView::SetShowColumnHeaders(bool v) {
    showColumnHeaders_ = v;
    TListViewAccess::ApplySettings(this);
}

void TCustomListView::SetColumnClick(bool v) {
    columnClick_ = v;
    TListViewAccess::ApplySettings(this);
}

void TCustomListView::SetSortType(TSortType v) {
    if (sortType_ == v)
        return;
    sortType_ = v;
    if (v == stText || v == stBoth)
        AlphaSort();
}

TListItem* TCustomListView::Selected() const {
    ListViewWidget* w = MadeViewOf(this);
    if (w == nullptr)
        return nullptr;
    for (int r = 0, n = items_->Count(); r < n; ++r)
        if (w->RowSelected(r))
            return items_->Item(r);
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
    ListViewWidget* w = MadeViewOf(this);
    QModelIndex cur = w != nullptr ? w->currentIndex() : QModelIndex();
    return cur.isValid() && cur.row() < items_->Count() ? items_->Item(cur.row()) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
    if (item != nullptr)
        item->SetFocused(true);
    else if (TListItem* cur = ItemFocused())
        cur->SetFocused(false);
}

int TCustomListView::SelCount() const {
    ListViewWidget* w = MadeViewOf(this);
    if (w == nullptr)
        return 0;
    int n = 0;
    for (int r = 0, rows = items_->Count(); r < rows; ++r)
        if (w->RowSelected(r))
            ++n;
    return n;
}

void TCustomListView::ClearSelection() {
    for (TListItem* it : items_->All())
        if (it->Selected())
            it->SetSelected(false);
}

void TCustomListView::SelectAll() {
    for (TListItem* it : items_->All())
        it->SetSelected(true);
}

TListItem* TCustomListView::GetNextItem(TListItem* start, TSearchDirection,
                                        TItemStates states) const {
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

bool TCustomListView::AlphaSort() {
    return CustomSort(nullptr, 0);
}

bool TCustomListView::CustomSort(const TLVCompare& compare, std::intptr_t data) {
    std::vector<TListItem*> order = items_->All();
    auto cmp = [&](TListItem* a, TListItem* b) {
        int r = 0;
        if (compare) {
            r = compare(a, b, data);
        } else if (OnCompare.Assigned()) {
            OnCompare(this, a, b, static_cast<int>(data), r);
        } else {
            r = QString::localeAwareCompare(ToQString(a->caption_), ToQString(b->caption_));
        }
        return r < 0;
    };
    std::stable_sort(order.begin(), order.end(), cmp);
    Reorder(order);
    return true;
}

void TCustomListView::Reorder(const std::vector<TListItem*>& order) {
    ListViewBox* box = BoxOf(this);
    ListViewWidget* w = MadeViewOf(this); // no view: no row selected or focused
    sorting_ = true;
    TListItem* focused = ItemFocused();
    // The selected rows, in their new order.
    std::unordered_set<TListItem*> wasSelected;
    if (w != nullptr)
        for (int r = 0, n = items_->Count(); r < n; ++r)
            if (w->RowSelected(r))
                wasSelected.insert(items_->Item(r));
    std::vector<TListItem*> selected;
    for (TListItem* it : order)
        if (wasSelected.count(it) != 0)
            selected.push_back(it);
    if (box != nullptr)
        box->rows->BeginReset();
    items_->rows_->Clear();
    for (TListItem* it : order)
        items_->rows_->Insert(items_->rows_->Count(), it->impl_.get());
    if (box != nullptr)
        box->rows->EndReset();
    if (w != nullptr) {
        QItemSelection sel;
        int last = std::max(0, w->ColumnCount() - 1);
        for (TListItem* it : selected) {
            QModelIndex i = w->IndexOf(it);
            sel.select(i, i.siblingAtColumn(last));
        }
        w->selectionModel()->QItemSelectionModel::select(sel, QItemSelectionModel::ClearAndSelect);
        if (focused != nullptr)
            w->selectionModel()->setCurrentIndex(w->IndexOf(focused),
                                                 QItemSelectionModel::NoUpdate);
    }
    sorting_ = false;
}

int TCustomListView::StringWidth(const std::string& text) const {
    return QFontMetrics(ToQFont(*Font())).horizontalAdvance(ToQString(text));
}

bool TCustomListView::CanChange(TListItem* item, TItemChange change) {
    bool allow = true;
    OnChanging(this, item, change, allow);
    return allow;
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
    OnChange(this, item, change);
}

void TCustomListView::ColClick(TListColumn* column) {
    OnColumnClick(this, column);
}

LRESULT TCustomListView::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListView::FontChanged() {
    TWinControl::FontChanged();
    if (ListViewWidget* w = MadeViewOf(this))
        w->header()->setFont(ToQFont(*Font()));
}

void TCustomListView::WndProc(TMessage& m) {
    TWinControl::WndProc(m);
}

} // namespace nuv
