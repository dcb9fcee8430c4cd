// List controls: the combo box (a Qt combo box, or for csSimple an edit above an always open
// list) and the list box, both owner-drawable.
#include "ui/StdCtrls.h"

#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStyledItemDelegate>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// TCustomComboBox: a Qt combo box, or for csSimple an edit above an always open list.

namespace {

// Paints the items of owner-drawn combo and list boxes through the control's DrawItem.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    OwnerDrawDelegate(QObject* parent,
                      std::function<void(int, const TRect&, TOwnerDrawState, QPainter*)> draw,
                      std::function<int(int)> measure)
        : QStyledItemDelegate(parent), draw_(std::move(draw)), measure_(std::move(measure)) {}
    void SetCallbacks(std::function<void(int, const TRect&, TOwnerDrawState, QPainter*)> draw,
                      std::function<int(int)> measure) {
        draw_ = std::move(draw);
        measure_ = std::move(measure);
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!draw_) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        TOwnerDrawState st;
        if (option.state & QStyle::State_Selected)
            st.Include(odSelected);
        if (option.state & QStyle::State_HasFocus)
            st.Include(odFocused);
        if (!(option.state & QStyle::State_Enabled))
            st.Include(odDisabled);
        QRect r = option.rect;
        draw_(index.row(), Bounds(r.x(), r.y(), r.width(), r.height()), st, p);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        int h = measure_ ? measure_(index.row()) : 0;
        if (h > 0)
            s.setHeight(h);
        return s;
    }

private:
    std::function<void(int, const TRect&, TOwnerDrawState, QPainter*)> draw_;
    std::function<int(int)> measure_;
};

// The drop-down list of a Qt combo box is made on first use; the owner-draw delegate is installed
// into it then, so that a form with many combo boxes does not build their item views up front.
class LazyCombo : public QComboBox {
public:
    LazyCombo(QWidget* parent, QAbstractItemDelegate* delegate)
        : QComboBox(parent), delegate_(delegate) {}
    QAbstractItemView* View() {
        if (!delegateSet_) {
            delegateSet_ = true;
            setItemDelegate(delegate_);
            ReplayFontChange();
        }
        return view();
    }
    bool ViewMade() const { return delegateSet_; }
    void showPopup() override {
        View();
        QComboBox::showPopup();
    }
    QSize sizeHint() const override {
        const_cast<LazyCombo*>(this)->ReplayFontChange();
        return QComboBox::sizeHint();
    }
    QSize minimumSizeHint() const override {
        const_cast<LazyCombo*>(this)->ReplayFontChange();
        return QComboBox::minimumSizeHint();
    }

protected:
    // A Qt combo box hands a new font on to its drop-down list at once, making the list if it
    // has none yet. Before the list is made, the change is kept and handed on when the list or
    // the size it asks for is first needed.
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::FontChange && !delegateSet_ && lineEdit() == nullptr) {
            fontChangePending_ = true;
            QWidget::changeEvent(e);
            return;
        }
        QComboBox::changeEvent(e);
    }

private:
    void ReplayFontChange() {
        if (!fontChangePending_)
            return;
        fontChangePending_ = false;
        QEvent change(QEvent::FontChange);
        QComboBox::changeEvent(&change);
    }
    QAbstractItemDelegate* delegate_;
    bool delegateSet_ = false;
    bool fontChangePending_ = false;
};

// The combo box's widget. The edit and the always open list of csSimple are made only when a
// box takes that style; the style itself is applied when the widget is first shown on the screen
// or when a value needs it, so that the usual change of style right after construction does not
// build and drop an editable combo's line edit and completer, and a box on a page never opened
// builds none.
class ComboWidget : public TWidget<QWidget> {
public:
    explicit ComboWidget(TControl* c) : TWidget<QWidget>(c) {
        delegate = new OwnerDrawDelegate(this);
        combo = new LazyCombo(this, delegate);
        setFocusProxy(combo);
    }
    void Arrange() {
        if (simple && edit != nullptr) {
            int eh = std::min(height(), edit->sizeHint().height());
            edit->setGeometry(0, 0, width(), eh);
            list->setGeometry(0, eh, width(), std::max(0, height() - eh));
        } else {
            combo->setGeometry(0, 0, width(), height());
        }
    }
    LazyCombo* combo;
    QLineEdit* edit = nullptr;   // csSimple only
    QListWidget* list = nullptr; // csSimple only
    OwnerDrawDelegate* delegate;
    bool simple = false;
    bool stylePending = true;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override {
        TWidget<QWidget>::resizeEvent(e);
        Arrange();
    }
};

ComboWidget* ComboOf(const TControl* c) {
    return dynamic_cast<ComboWidget*>(WidgetOf(c));
}

TControlWidget* ComboFactory(TControl* c) {
    return new ComboWidget(c);
}

// The items as Qt texts.
QStringList TextsOf(const TStrings* items) {
    QStringList texts;
    for (int i = 0; i < items->Count(); ++i)
        texts << ToQString(items->Get(i));
    return texts;
}

// Brings a Qt list's rows to the texts, keeping the rows that already match at the start: a list
// filled one item at a time (the way forms fill them) then takes one row per item, where
// refilling it would take all of them again each time.
template <class View> void SyncTexts(View* view, const QStringList& texts) {
    QAbstractItemModel* rows = view->model();
    const int shown = rows->rowCount();
    int same = 0;
    while (same < shown && same < texts.size() &&
           rows->index(same, 0).data().toString() == texts[same])
        ++same;
    if (same < shown)
        rows->removeRows(same, shown - same);
    if (same < texts.size())
        view->insertItems(same, texts.mid(same));
}

} // namespace

struct TComboAccess {
    static void Activated(TCustomComboBox* c, int index) {
        if (c->syncing_)
            return;
        TComponentRef<TControl> self(c);
        if (index >= 0 && index < c->items_->Count() && c->style_ == csSimple) {
            ComboWidget* w = ReadySimple(c);
            c->syncing_ = true;
            w->edit->setText(ToQString(c->items_->Get(index)));
            c->syncing_ = false;
        }
        c->Click();
        if (self)
            c->Select();
    }
    static void Edited(TCustomComboBox* c) {
        if (!c->syncing_)
            c->Change();
    }
    static void Draw(TCustomComboBox* c, int index, const TRect& r, TOwnerDrawState st,
                     QPainter* p) {
        TCanvas* canvas = c->canvas_.get();
        BeginCanvasPaint(*canvas, p, p->device());
        canvas->Font()->Assign(c->Font());
        c->DrawItem(index, r, st);
        EndCanvasPaint(*canvas);
    }
    static int Measure(TCustomComboBox* c, int index) {
        if (c->style_ != csOwnerDrawVariable && c->style_ != csOwnerDrawFixed)
            return 0;
        int h = c->itemHeight_;
        if (c->style_ == csOwnerDrawVariable)
            c->OnMeasureItem(c, index, h);
        return h;
    }
    // The widget with the style applied where a value depends on it. Until then the Qt box is a
    // plain drop-down list holding the items and the current index, which is all a box holds
    // before a free text is set (that applies the style) or a simple box's parts are read.
    static ComboWidget* Ready(const TCustomComboBox* c) {
        ComboWidget* w = ComboOf(c);
        if (w->stylePending && (c->style_ == csDropDown || c->style_ == csSimple))
            ApplyNow(const_cast<TCustomComboBox*>(c));
        return w;
    }
    static ComboWidget* ReadySimple(const TCustomComboBox* c) {
        ComboWidget* w = ComboOf(c);
        if (w->stylePending && c->style_ == csSimple)
            ApplyNow(const_cast<TCustomComboBox*>(c));
        return w;
    }
    // Makes the edit and the list of csSimple, with the items, the current item, the font, the
    // colour and the routes of the box.
    static void MakeSimpleParts(TCustomComboBox* c) {
        ComboWidget* w = ComboOf(c);
        if (w->edit != nullptr)
            return;
        w->edit = new QLineEdit(w);
        w->list = new QListWidget(w);
        w->edit->hide();
        w->list->hide();
        w->list->setItemDelegate(w->delegate);
        RouteSignal(w, w->edit, &QLineEdit::textChanged,
                    [c](TControl*) { TComboAccess::Edited(c); });
        RouteSignal(w, w->list, &QListWidget::currentRowChanged,
                    [c](TControl*, int row) { TComboAccess::Activated(c, row); });
        bool syncing = c->syncing_;
        c->syncing_ = true;
        const QFont f = w->combo->font();
        w->edit->setFont(f);
        w->list->setFont(f);
        for (QWidget* part : {static_cast<QWidget*>(w->edit), static_cast<QWidget*>(w->list)})
            ShowInRole(part, QPalette::Base, ToQColor(c->Color()));
        for (int i = 0; i < w->combo->count(); ++i)
            w->list->addItem(w->combo->itemText(i));
        w->list->setCurrentRow(w->combo->currentIndex());
        w->edit->setText(w->combo->currentText());
        c->syncing_ = syncing;
    }
    static void ApplyNow(TCustomComboBox* c) {
        ComboWidget* w = ComboOf(c);
        w->stylePending = false;
        bool syncing = c->syncing_;
        c->syncing_ = true;
        w->simple = c->style_ == csSimple;
        if (w->simple)
            MakeSimpleParts(c);
        w->combo->setVisible(!w->simple);
        if (w->edit != nullptr) {
            w->edit->setVisible(w->simple);
            w->list->setVisible(w->simple);
        }
        w->setFocusProxy(w->simple ? static_cast<QWidget*>(w->edit) : w->combo);
        const int maxLength = c->maxLength_ > 0 ? c->maxLength_ : 32767;
        w->combo->setEditable(c->style_ == csDropDown);
        if (w->combo->lineEdit() != nullptr)
            w->combo->lineEdit()->setMaxLength(maxLength);
        if (w->edit != nullptr)
            w->edit->setMaxLength(maxLength);
        w->combo->setMaxVisibleItems(c->dropDownCount_);
        w->Arrange();
        c->syncing_ = syncing;
        w->update();
    }
};

namespace {
bool ComboWidget::event(QEvent* e) {
    if (e->type() == QEvent::Show && stylePending && control != nullptr)
        if (auto* c = dynamic_cast<TCustomComboBox*>(control))
            Guarded([&] { TComboAccess::ApplyNow(c); });
    return TWidget<QWidget>::event(e);
}
} // namespace

const TClassInfo& TCustomComboBox::StaticClassInfo() {
    static const TClassInfo info("TCustomComboBox", &TWinControl::StaticClassInfo());
    return info;
}

const TClassInfo& TComboBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TComboBox", &TCustomComboBox::StaticClassInfo());
        AddStandardProps(i, pgInput | pgText);
        i.Int<TCustomComboBox>("DropDownCount", &TCustomComboBox::DropDownCount,
                               &TCustomComboBox::SetDropDownCount);
        i.Int<TCustomComboBox>("ItemHeight", &TCustomComboBox::ItemHeight,
                               &TCustomComboBox::SetItemHeight);
        i.Int<TCustomComboBox>("ItemIndex", &TCustomComboBox::ItemIndex,
                               &TCustomComboBox::SetItemIndex);
        i.Object<TCustomComboBox, TStrings>("Items", "TStrings", &TCustomComboBox::Items,
                                            &TCustomComboBox::SetItems);
        i.Int<TCustomComboBox>("MaxLength", &TCustomComboBox::MaxLength,
                               &TCustomComboBox::SetMaxLength);
        i.Bool<TCustomComboBox>("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
        i.Enum<TCustomComboBox>(
            "Style", "TComboBoxStyle",
            {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"},
            &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
        i.Event<TCustomComboBox>("OnChange", "TNotifyEvent", &TCustomComboBox::OnChange);
        i.Event<TCustomComboBox>("OnCloseUp", "TNotifyEvent", &TCustomComboBox::OnCloseUp);
        i.Event<TCustomComboBox>("OnDrawItem", "TDrawItemEvent", &TCustomComboBox::OnDrawItem);
        i.Event<TCustomComboBox>("OnDropDown", "TNotifyEvent", &TCustomComboBox::OnDropDown);
        i.Event<TCustomComboBox>("OnMeasureItem", "TMeasureItemEvent",
                                 &TCustomComboBox::OnMeasureItem);
        i.Event<TCustomComboBox>("OnSelect", "TNotifyEvent", &TCustomComboBox::OnSelect);
        return i;
    }();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner, &ComboFactory), items_(std::make_unique<TStringList>()),
      canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight});
    SetTabStop(true);
    Impl()->colorRole = QPalette::Base; // the box's edit and its list show the colour
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    items_->OnChange = TNotifyEvent([this](TObject*) { SyncItems(); });
    ComboWidget* w = ComboOf(this);
    TCustomComboBox* self = this;
    RouteSignal(w, w->combo, qOverload<int>(&QComboBox::activated),
                [self](TControl*, int i) { Guarded([&] { TComboAccess::Activated(self, i); }); });
    RouteSignal(w, w->combo, &QComboBox::editTextChanged,
                [self](TControl*) { TComboAccess::Edited(self); });
    w->delegate->SetCallbacks(
        [w, self](int i, const TRect& r, TOwnerDrawState st, QPainter* p) {
            if (w->control != nullptr)
                TComboAccess::Draw(self, i, r, st, p);
        },
        [w, self](int i) { return w->control != nullptr ? TComboAccess::Measure(self, i) : 0; });
    w->combo->setMaxVisibleItems(dropDownCount_);
}

TCustomComboBox::~TCustomComboBox() {
    items_->OnChange = nullptr;
    // Leaving the parent takes the focus away, and an editable Qt box answers that with a
    // signal: it must not reach a box that is already half freed.
    if (ComboWidget* w = ComboOf(this)) {
        for (QObject* part : {static_cast<QObject*>(w->combo), static_cast<QObject*>(w->edit),
                              static_cast<QObject*>(w->list)})
            if (part != nullptr)
                QObject::disconnect(part, nullptr, w, nullptr);
    }
}

TStrings* TCustomComboBox::Items() const {
    return items_.get();
}
void TCustomComboBox::SetItems(TStrings* items) {
    items_->Assign(items);
}

void TCustomComboBox::SyncItems() {
    ComboWidget* w = ComboOf(this);
    syncing_ = true;
    int index = w->combo->currentIndex();
    QString text = w->combo->isEditable() ? w->combo->currentText() : QString();
    const QStringList list = TextsOf(items_.get());
    SyncTexts(w->combo, list);
    int count = items_->Count();
    int keep = index < count ? index : -1;
    w->combo->setCurrentIndex(keep);
    if (w->list != nullptr) {
        SyncTexts(w->list, list);
        w->list->setCurrentRow(keep);
    }
    if (w->combo->isEditable())
        w->combo->setEditText(text);
    syncing_ = false;
}

int TCustomComboBox::ItemIndex() const {
    ComboWidget* w = TComboAccess::ReadySimple(this);
    if (style_ == csSimple) {
        int row = w->list->currentRow();
        return row >= 0 && w->list->item(row)->text() == w->edit->text()
                   ? row
                   : items_->IndexOf(FromQString(w->edit->text()));
    }
    if (w->combo->isEditable()) {
        int i = w->combo->currentIndex();
        return i >= 0 && w->combo->itemText(i) == w->combo->currentText() ? i : -1;
    }
    return w->combo->currentIndex();
}

void TCustomComboBox::SetItemIndex(int index) {
    ComboWidget* w = ComboOf(this);
    if (index < -1 || index >= items_->Count())
        index = -1;
    syncing_ = true;
    w->combo->setCurrentIndex(index);
    if (index < 0 && w->combo->isEditable())
        w->combo->setEditText(QString());
    if (w->list != nullptr) {
        w->list->setCurrentRow(index);
        w->edit->setText(index >= 0 ? ToQString(items_->Get(index)) : QString());
    }
    syncing_ = false;
}

std::string TCustomComboBox::RealGetText() const {
    ComboWidget* w = TComboAccess::ReadySimple(this);
    if (style_ == csSimple)
        return FromQString(w->edit->text());
    return FromQString(w->combo->currentText());
}

void TCustomComboBox::RealSetText(const std::string& text) {
    ComboWidget* w = TComboAccess::Ready(this);
    syncing_ = true;
    if (style_ == csSimple) {
        w->edit->setText(ToQString(text));
    } else if (w->combo->isEditable()) {
        w->combo->setEditText(ToQString(text));
    } else {
        // A drop-down list shows only its items: the text selects the item of that text.
        w->combo->setCurrentIndex(items_->IndexOf(text));
    }
    syncing_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style_ == style)
        return;
    if (ComboOf(this)->stylePending) {
        // Nothing of the old style was applied: the Qt box holds only the items and the index.
        style_ = style;
        return;
    }
    int index = ItemIndex();
    std::string text = RealGetText();
    style_ = style;
    ApplyStyle();
    SetItemIndex(index);
    if (index < 0 && (style == csDropDown || style == csSimple))
        RealSetText(text);
}

void TCustomComboBox::ApplyStyle() {
    ComboWidget* w = ComboOf(this);
    if (w->stylePending)
        return;
    TComboAccess::ApplyNow(this);
}

void TCustomComboBox::SetDropDownCount(int value) {
    dropDownCount_ = value;
    ComboOf(this)->combo->setMaxVisibleItems(value);
}

bool TCustomComboBox::Sorted() const {
    return items_->Sorted();
}
void TCustomComboBox::SetSorted(bool value) {
    items_->SetSorted(value);
}

void TCustomComboBox::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
    ApplyStyle();
}

void TCustomComboBox::SetItemHeight(int value) {
    itemHeight_ = value;
    ComboOf(this)->update();
}

bool TCustomComboBox::DroppedDown() const {
    LazyCombo* combo = ComboOf(this)->combo;
    return combo->ViewMade() && combo->View()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool value) {
    if (value) {
        OnDropDown(this);
        TComboAccess::Ready(this)->combo->showPopup();
    } else {
        ComboOf(this)->combo->hidePopup();
    }
}

void TCustomComboBox::Clear() {
    items_->Clear();
    SetItemIndex(-1);
    RealSetText("");
}

void TCustomComboBox::Change() {
    OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect.Assigned())
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TComponentRef<TControl> self(this);
    if (OnDrawItem.Assigned()) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas* c = canvas_.get();
    c->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : Color());
    c->FillRect(rect);
    c->Font()->SetColor(state.Contains(odSelected) ? clHighlightText : Font()->Color());
    if (index >= 0 && index < items_->Count()) {
        TRect r = rect;
        r.Left += 2;
        c->DrawText(items_->Get(index), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

LRESULT TCustomComboBox::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomComboBox::ColorChanged() {
    TWinControl::ColorChanged();
    ComboWidget* w = ComboOf(this);
    for (QWidget* child : {static_cast<QWidget*>(w->combo), static_cast<QWidget*>(w->edit),
                           static_cast<QWidget*>(w->list)}) {
        if (child != nullptr)
            ShowInRole(child, QPalette::Base, ToQColor(Color()));
    }
}

void TCustomComboBox::FontChanged() {
    TWinControl::FontChanged();
    ComboWidget* w = ComboOf(this);
    // The parts take the font from the box's widget; one set apart keeps it.
    QFont f = ToQFont(*Font());
    if (w->combo->testAttribute(Qt::WA_SetFont) || w->combo->font() != f)
        w->combo->setFont(f);
    if (w->edit != nullptr) {
        w->edit->setFont(f);
        w->list->setFont(f);
    }
    canvas_->Font()->Assign(Font());
}

void TCustomComboBox::WndProc(TMessage& m) {
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomListBox

namespace {
QListWidget* ListOf(const TControl* c) {
    return qobject_cast<QListWidget*>(WidgetOf(c));
}
} // namespace

struct TListBoxAccess {
    static void SelectionChanged(TCustomListBox* c) {
        if (!c->syncing_)
            c->Click();
    }
    static void Draw(TCustomListBox* c, int index, const TRect& r, TOwnerDrawState st,
                     QPainter* p) {
        TCanvas* canvas = c->canvas_.get();
        BeginCanvasPaint(*canvas, p, p->device());
        canvas->Font()->Assign(c->Font());
        c->DrawItem(index, r, st);
        EndCanvasPaint(*canvas);
    }
    static int Measure(TCustomListBox* c, int index) {
        if (c->style_ == lbStandard)
            return 0;
        int h = c->itemHeight_;
        if (c->style_ == lbOwnerDrawVariable)
            c->OnMeasureItem(c, index, h);
        return h;
    }
};

static TControlWidget* ListBoxFactory(TControl* c) {
    auto* w = new TWidget<QListWidget>(c);
    auto list = [w] { return dynamic_cast<TCustomListBox*>(w->control); };
    RouteSignal(w, w, &QListWidget::itemSelectionChanged, [](TControl* c) {
        if (auto* self = dynamic_cast<TCustomListBox*>(c))
            Guarded([&] { TListBoxAccess::SelectionChanged(self); });
    });
    w->setItemDelegate(new OwnerDrawDelegate(
        w,
        [list](int i, const TRect& r, TOwnerDrawState st, QPainter* p) {
            if (TCustomListBox* self = list())
                TListBoxAccess::Draw(self, i, r, st, p);
        },
        [list](int i) {
            TCustomListBox* self = list();
            return self != nullptr ? TListBoxAccess::Measure(self, i) : 0;
        }));
    return w;
}

const TClassInfo& TCustomListBox::StaticClassInfo() {
    static const TClassInfo info("TCustomListBox", &TWinControl::StaticClassInfo());
    return info;
}

const TClassInfo& TListBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TListBox", &TCustomListBox::StaticClassInfo());
        AddStandardProps(i, pgInput | pgAlign);
        i.Int<TCustomListBox>("ItemHeight", &TCustomListBox::ItemHeight,
                              &TCustomListBox::SetItemHeight);
        i.Int<TCustomListBox>("ItemIndex", &TCustomListBox::ItemIndex,
                              &TCustomListBox::SetItemIndex);
        i.Object<TCustomListBox, TStrings>("Items", "TStrings", &TCustomListBox::Items,
                                           &TCustomListBox::SetItems);
        i.Bool<TCustomListBox>("MultiSelect", &TCustomListBox::MultiSelect,
                               &TCustomListBox::SetMultiSelect);
        i.Bool<TCustomListBox>("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
        i.Enum<TCustomListBox>("Style", "TListBoxStyle",
                               {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                                "lbVirtual", "lbVirtualOwnerDraw"},
                               &TCustomListBox::Style, &TCustomListBox::SetStyle);
        i.Event<TCustomListBox>("OnDrawItem", "TDrawItemEvent", &TCustomListBox::OnDrawItem);
        i.Event<TCustomListBox>("OnMeasureItem", "TMeasureItemEvent",
                                &TCustomListBox::OnMeasureItem);
        return i;
    }();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner, &ListBoxFactory), items_(std::make_unique<TStringList>()),
      canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
    items_->OnChange = TNotifyEvent([this](TObject*) { SyncItems(); });
}

TCustomListBox::~TCustomListBox() {
    items_->OnChange = nullptr;
}

TStrings* TCustomListBox::Items() const {
    return items_.get();
}
void TCustomListBox::SetItems(TStrings* items) {
    items_->Assign(items);
}

void TCustomListBox::SyncItems() {
    QListWidget* w = ListOf(this);
    syncing_ = true;
    int row = w->currentRow();
    SyncTexts(w, TextsOf(items_.get()));
    if (row < items_->Count())
        w->setCurrentRow(row);
    syncing_ = false;
}

int TCustomListBox::ItemIndex() const {
    return ListOf(this)->currentRow();
}

void TCustomListBox::SetItemIndex(int index) {
    syncing_ = true;
    QListWidget* w = ListOf(this);
    if (index < 0 || index >= items_->Count()) {
        w->setCurrentRow(-1);
        w->clearSelection();
    } else {
        w->setCurrentRow(index);
    }
    syncing_ = false;
}

void TCustomListBox::SetMultiSelect(bool value) {
    multiSelect_ = value;
    ListOf(this)->setSelectionMode(value ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
}

bool TCustomListBox::Selected(int index) const {
    QListWidgetItem* it = ListOf(this)->item(index);
    if (it == nullptr)
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return it->isSelected();
}

void TCustomListBox::SetSelected(int index, bool value) {
    QListWidgetItem* it = ListOf(this)->item(index);
    if (it == nullptr)
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    syncing_ = true;
    it->setSelected(value);
    syncing_ = false;
}

int TCustomListBox::SelCount() const {
    return static_cast<int>(ListOf(this)->selectedItems().size());
}

bool TCustomListBox::Sorted() const {
    return items_->Sorted();
}
void TCustomListBox::SetSorted(bool value) {
    items_->SetSorted(value);
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
    style_ = style;
    ListOf(this)->doItemsLayout();
    ListOf(this)->viewport()->update();
}

void TCustomListBox::SetItemHeight(int value) {
    itemHeight_ = value;
    ListOf(this)->doItemsLayout();
}

int TCustomListBox::TopIndex() const {
    QListWidget* w = ListOf(this);
    QListWidgetItem* it = w->itemAt(2, 2);
    return it == nullptr ? 0 : w->row(it);
}

void TCustomListBox::Clear() {
    items_->Clear();
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    if (OnDrawItem.Assigned()) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas* c = canvas_.get();
    c->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : Color());
    c->FillRect(rect);
    c->Font()->SetColor(state.Contains(odSelected) ? clHighlightText : Font()->Color());
    if (index >= 0 && index < items_->Count()) {
        TRect r = rect;
        r.Left += 2;
        c->DrawText(items_->Get(index), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

LRESULT TCustomListBox::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListBox::ColorChanged() {
    TWinControl::ColorChanged();
}

} // namespace nuv
