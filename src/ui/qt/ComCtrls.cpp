#include "ui/ComCtrls.h"

#include "ui/ExtCtrls.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace nuv {

// A row's node in its list's implicit treap: ordered by position, each node counting the nodes
// below it, so that a position finds its row and a row its position in O(log n) expected.
struct TListItemImpl {
    TListItem* item = nullptr;
    TListItemImpl* left = nullptr;
    TListItemImpl* right = nullptr;
    TListItemImpl* parent = nullptr;
    int size = 1;
    std::uint32_t priority = 0;
    bool linked = false;
    // The position last worked out, good while the list's shape version is unchanged (a row
    // changed twice in a row finds its position once).
    int cachedIndex = -1;
    std::uint64_t cachedVersion = 0;
};

struct TListRows {
    TListItemImpl* root = nullptr;
    std::uint32_t seed = 0x9E3779B9u;
    // Raised by every insert, delete and rebuild: cached positions older than this are stale.
    std::uint64_t version = 1;

    static int Size(const TListItemImpl* n) { return n != nullptr ? n->size : 0; }
    static void Update(TListItemImpl* n) {
        n->size = 1 + Size(n->left) + Size(n->right);
        if (n->left != nullptr)
            n->left->parent = n;
        if (n->right != nullptr)
            n->right->parent = n;
    }
    std::uint32_t NextPriority() {
        // xorshift32: the treap needs only that priorities look independent of the positions.
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    }
    // Splits t into its first k nodes (a) and the rest (b).
    static void Split(TListItemImpl* t, int k, TListItemImpl*& a, TListItemImpl*& b) {
        if (t == nullptr) {
            a = b = nullptr;
            return;
        }
        if (Size(t->left) < k) {
            Split(t->right, k - Size(t->left) - 1, t->right, b);
            a = t;
        } else {
            Split(t->left, k, a, t->left);
            b = t;
        }
        t->parent = nullptr;
        Update(t);
    }
    static TListItemImpl* Merge(TListItemImpl* a, TListItemImpl* b) {
        if (a == nullptr)
            return b;
        if (b == nullptr)
            return a;
        if (a->priority >= b->priority) {
            a->right = Merge(a->right, b);
            Update(a);
            return a;
        }
        b->left = Merge(a, b->left);
        Update(b);
        return b;
    }
    int Count() const { return Size(root); }
    void Insert(int index, TListItemImpl* n) {
        n->left = n->right = n->parent = nullptr;
        n->priority = NextPriority();
        n->linked = true;
        ++version;
        // Down to where the new node's priority belongs (each node passed gains it below),
        // then the subtree there is split around it.
        TListItemImpl** link = &root;
        TListItemImpl* parent = nullptr;
        while (*link != nullptr && (*link)->priority >= n->priority) {
            TListItemImpl* t = *link;
            ++t->size;
            int l = Size(t->left);
            if (index <= l) {
                link = &t->left;
            } else {
                index -= l + 1;
                link = &t->right;
            }
            parent = t;
        }
        Split(*link, index, n->left, n->right);
        Update(n);
        n->parent = parent;
        *link = n;
    }
    void Erase(int index) {
        TListItemImpl* m = At(index);
        if (m == nullptr)
            return;
        ++version;
        // The node's two subtrees, merged, take its place; the nodes above lose one.
        TListItemImpl* c = Merge(m->left, m->right);
        TListItemImpl* p = m->parent;
        if (c != nullptr)
            c->parent = p;
        if (p == nullptr)
            root = c;
        else if (p->left == m)
            p->left = c;
        else
            p->right = c;
        for (TListItemImpl* q = p; q != nullptr; q = q->parent)
            --q->size;
        m->left = m->right = m->parent = nullptr;
        m->size = 1;
        m->linked = false;
    }
    TListItemImpl* At(int index) const {
        TListItemImpl* n = root;
        while (n != nullptr) {
            int l = Size(n->left);
            if (index < l) {
                n = n->left;
            } else if (index == l) {
                return n;
            } else {
                index -= l + 1;
                n = n->right;
            }
        }
        return nullptr;
    }
    int IndexOf(const TListItemImpl* node) const {
        if (node->cachedVersion == version)
            return node->cachedIndex;
        const TListItemImpl* n = node;
        int i = Size(n->left);
        for (; n->parent != nullptr; n = n->parent)
            if (n == n->parent->right)
                i += Size(n->parent->left) + 1;
        auto* cache = const_cast<TListItemImpl*>(node);
        cache->cachedIndex = i;
        cache->cachedVersion = version;
        return i;
    }
    std::vector<TListItem*> All() const {
        std::vector<TListItem*> out;
        out.reserve(static_cast<std::size_t>(Count()));
        std::vector<TListItemImpl*> stack;
        TListItemImpl* n = root;
        while (n != nullptr || !stack.empty()) {
            for (; n != nullptr; n = n->left)
                stack.push_back(n);
            n = stack.back();
            stack.pop_back();
            out.push_back(n->item);
            n = n->right;
        }
        return out;
    }
    // Unlinks every node, leaving the list empty.
    void Clear() {
        for (TListItem* it : All()) {
            TListItemImpl* n = it->Impl();
            n->left = n->right = n->parent = nullptr;
            n->size = 1;
            n->linked = false;
        }
        root = nullptr;
        ++version;
    }
};

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
                return Qs(it->Caption());
            TStrings* sub = it->SubItems();
            return c - 1 < sub->Count() ? Qs(sub->Get(c - 1)) : QString();
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
            return col != nullptr ? Qs(col->Caption()) : QString::number(section + 1);
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

class ListViewWidget : public TWidget<QTreeView> {
public:
    explicit ListViewWidget(TControl* c) : TWidget<QTreeView>(c), rows(new ListModel(this)) {
        setModel(rows);
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

ListViewWidget* ViewOf(const TControl* c) {
    return c != nullptr ? dynamic_cast<ListViewWidget*>(WidgetOf(c)) : nullptr;
}

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
    auto* cols = dynamic_cast<TListColumns*>(Collection());
    if (cols != nullptr && cols->Owner() != nullptr)
        if (ListViewWidget* w = ViewOf(cols->Owner()))
            if (Index() < w->ColumnCount() && width_ < 0)
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
    ListViewWidget* w = ViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return false;
    return w->selectionModel()->isSelected(w->IndexOf(this));
}

void TListItem::SetSelected(bool v) {
    ListViewWidget* w = ViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return;
    QModelIndex i = w->IndexOf(this);
    w->selectionModel()->select(i,
                                (v ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                    QItemSelectionModel::Rows);
}

bool TListItem::Focused() const {
    ListViewWidget* w = ViewOf(ListView());
    if (w == nullptr || !impl_->linked)
        return false;
    QModelIndex cur = w->currentIndex();
    return cur.isValid() && cur.row() == Index();
}

void TListItem::SetFocused(bool v) {
    ListViewWidget* w = ViewOf(ListView());
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
    ListViewWidget* w = ViewOf(owner_);
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
    ListViewWidget* w = ViewOf(owner_);
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
    ListViewWidget* w = ViewOf(owner_);
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
        for (TListItem* it : src->All())
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
    if (ListViewWidget* w = ViewOf(this))
        w->rows->list = this;
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
    SetTabStop(true);
    SetColor(clWindow);
    ColorChanged(); // the window colour also when it is the default: a parent's colour must not
                    // show through
    SetBounds(0, 0, 250, 150);
    SetMultiSelect(false);
    SetHideSelection(true);
    SyncColumns();
}

TCustomListView::~TCustomListView() {
    items_.reset();
    if (ListViewWidget* w = ViewOf(this)) {
        w->rows->BeginReset();
        w->rows->list = nullptr;
        w->rows->EndReset();
    }
    columns_.reset();
}

void TCustomListView::SyncColumns() {
    ListViewWidget* w = ViewOf(this);
    if (w == nullptr || !columns_)
        return;
    int n = columns_->Count();
    // The captions, alignments and texts are read from the columns and rows when shown.
    w->rows->SetColumns(n);
    for (int i = 0; i < n; ++i) {
        TListColumn* c = Column(i);
        if (c->width_ == ColumnTextWidth || c->width_ == ColumnHeaderWidth) {
            w->resizeColumnToContents(i);
            if (c->width_ == ColumnHeaderWidth) {
                QFontMetrics fm(w->header()->font());
                w->setColumnWidth(
                    i, std::max(w->columnWidth(i), fm.horizontalAdvance(Qs(c->Caption())) + 16));
            }
        } else {
            w->setColumnWidth(i, c->width_);
        }
    }
    w->header()->setVisible(showColumnHeaders_ && n > 0);
}

void TCustomListView::SyncRow(TListItem* item) {
    ListViewWidget* w = ViewOf(this);
    if (w == nullptr || !item->impl_->linked)
        return;
    w->rows->RowChanged(item->Index());
    FitTextColumns();
}

void TCustomListView::FitTextColumns() {
    ListViewWidget* w = ViewOf(this);
    if (w != nullptr && columns_)
        for (int c = 0; c < columns_->Count(); ++c)
            if (Column(c)->width_ == ColumnTextWidth)
                w->resizeColumnToContents(c);
}

void TCustomListView::SetMultiSelect(bool v) {
    multiSelect_ = v;
    ViewOf(this)->setSelectionMode(v ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
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
        pal.setColor(QPalette::Inactive, QPalette::Highlight,
                     pal.color(QPalette::Inactive, QPalette::Base));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Inactive, QPalette::Text));
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
    ListViewWidget* w = ViewOf(this);
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
    ListViewWidget* w = ViewOf(this);
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
    ListViewWidget* w = ViewOf(this);
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
    if (w != nullptr)
        w->rows->BeginReset();
    items_->rows_->Clear();
    for (TListItem* it : order)
        items_->rows_->Insert(items_->rows_->Count(), it->impl_.get());
    if (w != nullptr) {
        w->rows->EndReset();
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
    return QFontMetrics(ToQFont(*Font())).horizontalAdvance(Qs(text));
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
    ViewOf(this)->header()->setFont(ToQFont(*Font()));
}

void TCustomListView::WndProc(TMessage& m) {
    TWinControl::WndProc(m);
}

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
            TPageAccess::Draw(pc, i, Bounds(r.x(), r.y(), r.width(), r.height()),
                              i == currentIndex(), &p);
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

PageWidget* PageOf(const TControl* c) {
    return dynamic_cast<PageWidget*>(WidgetOf(c));
}
TControlWidget* PageFactory(TControl* c) {
    return new PageWidget(c);
}

} // namespace

const TClassInfo& TPageControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TPageControl", &TWinControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgFont | pgTab | pgMouse | pgFocus | pgDrag |
                                pgDock | pgDockSite | pgResize);
        i.Object<TPageControl, TTabSheet>("ActivePage", "TTabSheet", &TPageControl::ActivePage,
                                          &TPageControl::SetActivePage);
        i.Bool<TPageControl>("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
        i.Bool<TPageControl>("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw);
        i.Enum<TPageControl>("Style", "TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"},
                             &TPageControl::Style, &TPageControl::SetStyle);
        i.Int<TPageControl>("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight,
                            "Smallint");
        i.Int<TPageControl>("TabIndex", &TPageControl::TabIndex, &TPageControl::SetTabIndex);
        i.Int<TPageControl>("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth,
                            "Smallint");
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
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)]
                                                    : nullptr);
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

int TPageControl::TabIndex() const {
    return activePage_ != nullptr ? activePage_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int index) {
    for (TTabSheet* p : pages_)
        if (p->TabIndex() == index && index >= 0) {
            SetActivePage(p);
            return;
        }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward,
                                      bool checkTabVisible) const {
    if (pages_.empty())
        return nullptr;
    int count = PageCount();
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start =
        it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
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

void TPageControl::Change() {
    OnChange(this);
}

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
        i.Int<TTabSheet>("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex,
                         "TImageIndex");
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

void TTabSheet::DoShow() {
    OnShow(this);
}
void TTabSheet::DoHide() {
    OnHide(this);
}

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

void TStatusPanel::SetText(const std::string& v) {
    text_ = v;
    Changed(false);
}
void TStatusPanel::SetWidth(int v) {
    width_ = v;
    Changed(false);
}
void TStatusPanel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    bevel_ = v;
    Changed(false);
}

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
        AddStandardProps(i, pgControl | pgAlign | pgColor | pgFont | pgClick | pgDblClick |
                                pgMouse | pgDrag | pgDock | pgResize);
        i.Object<TStatusBar, TStatusPanels>("Panels", "TStatusPanels", &TStatusBar::Panels,
                                            &TStatusBar::SetPanels);
        i.Bool<TStatusBar>("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
        i.Str<TStatusBar>("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        i.Bool<TStatusBar>("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
        return i;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner)
    : TCustomControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    panels_.reset();
}

void TStatusBar::SetSimplePanel(bool v) {
    simplePanel_ = v;
    Invalidate();
}
void TStatusBar::SetSimpleText(const std::string& v) {
    simpleText_ = v;
    Invalidate();
}
void TStatusBar::SetSizeGrip(bool v) {
    sizeGrip_ = v;
    Invalidate();
}

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
        c->DrawText(text, fr,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                        (a == taCenter         ? DT_CENTER
                         : a == taRightJustify ? DT_RIGHT
                                               : DT_LEFT));
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
