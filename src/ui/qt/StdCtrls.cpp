#include "ui/StdCtrls.h"

#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextBlock>

namespace nuv {

char32_t AccelCharOf(const std::string& caption) {
    QString s = Qs(caption);
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&')
            continue;
        if (s[i + 1] == '&') {
            ++i;
            continue;
        }
        return s[i + 1].toUpper().unicode();
    }
    return 0;
}

static bool SameAccel(char32_t a, char32_t b) {
    return a != 0 &&
           QChar(static_cast<char16_t>(a)).toUpper() == QChar(static_cast<char16_t>(b)).toUpper();
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

const TClassInfo& TCustomLabel::StaticClassInfo() {
    static const TClassInfo info("TCustomLabel", &TGraphicControl::StaticClassInfo());
    return info;
}

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TLabel", &TCustomLabel::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgCaption | pgColor | pgFont | pgClick |
                                pgDblClick | pgMouse | pgDrag | pgDock);
        i.Enum<TCustomLabel>("Alignment", "TAlignment",
                             {"taLeftJustify", "taRightJustify", "taCenter"},
                             &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
        i.Bool<TCustomLabel>("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
        i.Object<TCustomLabel, TWinControl>("FocusControl", "TWinControl",
                                            &TCustomLabel::FocusControl,
                                            &TCustomLabel::SetFocusControl);
        i.Enum<TCustomLabel>("Layout", "TTextLayout", {"tlTop", "tlCenter", "tlBottom"},
                             &TCustomLabel::Layout, &TCustomLabel::SetLayout);
        i.Bool<TCustomLabel>("ShowAccelChar", &TCustomLabel::ShowAccelChar,
                             &TCustomLabel::SetShowAccelChar);
        i.Bool<TCustomLabel>("Transparent", &TCustomLabel::Transparent,
                             &TCustomLabel::SetTransparent);
        i.Bool<TCustomLabel>("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
        return i;
    }();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    unsigned flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0u);
    flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    if (layout_ != tlTop) {
        TRect calc = r;
        c->DrawText(Caption(), calc, flags | DT_CALCRECT);
        int dy = r.Height() - calc.Height();
        r.Top += layout_ == tlBottom ? dy : dy / 2;
    }
    if (!Enabled()) {
        TRect r1 = r;
        OffsetRect(r1, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(Caption(), r1, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(Caption(), r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (ComponentState().Contains(csReading) || !autoSize_)
        return;
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    TRect r = ClientRect();
    std::string text = Caption();
    if (text.empty() || (showAccelChar_ && text == "&"))
        text += " ";
    unsigned flags = DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0u) |
                     (showAccelChar_ ? 0u : DT_NOPREFIX);
    c->DrawText(text, r, flags);
    int x = Left();
    if (alignment_ == taRightJustify)
        x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::SetAutoSize(bool value) {
    if (autoSize_ == value)
        return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_ != nullptr)
        focusControl_->RemoveFreeNotification(this);
    focusControl_ = control;
    if (control != nullptr)
        control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_)
        focusControl_ = nullptr;
}

void TCustomLabel::RealSetText(const std::string& text) {
    TGraphicControl::RealSetText(text);
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (focusControl_ != nullptr && Enabled() && showAccelChar_ &&
            SameAccel(AccelCharOf(Caption()), static_cast<char32_t>(m.WParam)) &&
            focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            m.Result = 1;
        }
        return;
    }
    if (m.Msg == CM_ENABLEDCHANGED)
        Invalidate();
    TGraphicControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit (a line edit; TCustomMemo uses a plain-text edit)

struct TEditAccess {
    static void Changed(TControl* c) {
        if (auto* e = dynamic_cast<TCustomEdit*>(c))
            e->Change();
    }
    static void Edited(TControl* c) {
        if (auto* e = dynamic_cast<TCustomEdit*>(c))
            e->modified_ = true;
    }
};

namespace {

QLineEdit* LineOf(const TControl* c) {
    return qobject_cast<QLineEdit*>(WidgetOf(c));
}
QPlainTextEdit* PlainOf(const TControl* c) {
    return qobject_cast<QPlainTextEdit*>(WidgetOf(c));
}

TControlWidget* EditFactory(TControl* c) {
    auto* w = new TWidget<QLineEdit>(c);
    w->setFrame(true);
    QObject::connect(w, &QLineEdit::textChanged, w, [w] {
        if (w->control != nullptr)
            TEditAccess::Changed(w->control);
    });
    QObject::connect(w, &QLineEdit::textEdited, w, [w] {
        if (w->control != nullptr)
            TEditAccess::Edited(w->control);
    });
    return w;
}

TControlWidget* MemoFactory(TControl* c) {
    auto* w = new TWidget<QPlainTextEdit>(c);
    QObject::connect(w, &QPlainTextEdit::textChanged, w, [w] {
        if (w->control != nullptr)
            TEditAccess::Changed(w->control);
    });
    return w;
}

} // namespace

const TClassInfo& TCustomEdit::StaticClassInfo() {
    static const TClassInfo info("TCustomEdit", &TWinControl::StaticClassInfo());
    return info;
}

const TClassInfo& TEdit::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TEdit", &TCustomEdit::StaticClassInfo());
        AddStandardProps(i, pgInput | pgText);
        i.Bool<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
        i.Enum<TCustomEdit>("CharCase", "TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"},
                            &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
        i.Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
        i.Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
        i.Event<TCustomEdit>("OnChange", "TNotifyEvent", &TCustomEdit::OnChange);
        return i;
    }();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomEdit(owner, &EditFactory) {}

TCustomEdit::TCustomEdit(TComponent* owner, TWidgetFactory factory) : TWinControl(owner, factory) {
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
    SetTabStop(true);
    SetColor(clWindow);
    ColorChanged(); // the window colour also for edits whose view has its own background
    SetBounds(0, 0, 121, 21);
    SetCursor(crIBeam);
}

TCustomEdit::~TCustomEdit() = default;

std::string TCustomEdit::RealGetText() const {
    if (QLineEdit* e = LineOf(this))
        return Us(e->text());
    if (QPlainTextEdit* p = PlainOf(this)) {
        QString t = p->toPlainText();
        t.replace("\n", "\r\n");
        return Us(t);
    }
    return TWinControl::RealGetText();
}

void TCustomEdit::RealSetText(const std::string& text) {
    if (QLineEdit* e = LineOf(this)) {
        e->setText(Qs(text));
        return;
    }
    if (QPlainTextEdit* p = PlainOf(this)) {
        QString t = Qs(text);
        t.replace("\r\n", "\n");
        t.replace('\r', '\n');
        p->setPlainText(t);
        return;
    }
    TWinControl::RealSetText(text);
}

void TCustomEdit::Change() {
    if (charCase_ != ecNormal) {
        if (QLineEdit* e = LineOf(this)) {
            QString t = e->text();
            QString conv = charCase_ == ecUpperCase ? t.toUpper() : t.toLower();
            if (conv != t) {
                int pos = e->cursorPosition();
                e->setText(conv);
                e->setCursorPosition(pos);
                return; // the change of the converted text reports
            }
        }
    }
    if (maxLength_ > 0) {
        if (QPlainTextEdit* p = PlainOf(this)) {
            QString t = p->toPlainText();
            if (t.size() > maxLength_) {
                p->setPlainText(t.left(maxLength_));
                p->moveCursor(QTextCursor::End);
                return;
            }
        }
    }
    OnChange(this);
}

void TCustomEdit::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
    if (QLineEdit* e = LineOf(this))
        e->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TCustomEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (QLineEdit* e = LineOf(this))
        e->setReadOnly(value);
    if (QPlainTextEdit* p = PlainOf(this))
        p->setReadOnly(value);
}

void TCustomEdit::SetPasswordChar(char32_t value) {
    passwordChar_ = value;
    if (QLineEdit* e = LineOf(this))
        e->setEchoMode(value != 0 ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    charCase_ = value;
    Change();
}

int TCustomEdit::SelStart() const {
    if (QLineEdit* e = LineOf(this))
        return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    if (QPlainTextEdit* p = PlainOf(this))
        return p->textCursor().selectionStart();
    return 0;
}

void TCustomEdit::SetSelStart(int value) {
    if (QLineEdit* e = LineOf(this))
        e->setCursorPosition(value);
    if (QPlainTextEdit* p = PlainOf(this)) {
        QTextCursor cur = p->textCursor();
        cur.setPosition(std::clamp(value, 0, static_cast<int>(p->toPlainText().size())));
        p->setTextCursor(cur);
    }
}

int TCustomEdit::SelLength() const {
    if (QLineEdit* e = LineOf(this))
        return static_cast<int>(e->selectedText().size());
    if (QPlainTextEdit* p = PlainOf(this))
        return p->textCursor().selectionEnd() - p->textCursor().selectionStart();
    return 0;
}

void TCustomEdit::SetSelLength(int value) {
    int start = SelStart();
    if (QLineEdit* e = LineOf(this))
        e->setSelection(start, value);
    if (QPlainTextEdit* p = PlainOf(this)) {
        QTextCursor cur = p->textCursor();
        cur.setPosition(start);
        cur.setPosition(start + value, QTextCursor::KeepAnchor);
        p->setTextCursor(cur);
    }
}

std::string TCustomEdit::SelText() const {
    if (QLineEdit* e = LineOf(this))
        return Us(e->selectedText());
    if (QPlainTextEdit* p = PlainOf(this))
        return Us(p->textCursor().selectedText());
    return {};
}

void TCustomEdit::SetSelText(const std::string& text) {
    if (QLineEdit* e = LineOf(this))
        e->insert(Qs(text));
    if (QPlainTextEdit* p = PlainOf(this))
        p->insertPlainText(Qs(text));
}

void TCustomEdit::SelectAll() {
    if (QLineEdit* e = LineOf(this))
        e->selectAll();
    if (QPlainTextEdit* p = PlainOf(this))
        p->selectAll();
}

LRESULT TCustomEdit::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomEdit::ColorChanged() {
    TWinControl::ColorChanged();
}

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !ControlState().Contains(csLButtonDown) && LineOf(this) != nullptr)
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::WndProc(TMessage& m) {
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox: a Qt combo box, or for csSimple an edit above an always open list.

namespace {

class ComboWidget : public TWidget<QWidget> {
public:
    explicit ComboWidget(TControl* c) : TWidget<QWidget>(c) {
        combo = new QComboBox(this);
        edit = new QLineEdit(this);
        list = new QListWidget(this);
        edit->hide();
        list->hide();
        setFocusProxy(combo);
    }
    void Arrange() {
        if (simple) {
            int eh = std::min(height(), edit->sizeHint().height());
            edit->setGeometry(0, 0, width(), eh);
            list->setGeometry(0, eh, width(), std::max(0, height() - eh));
        } else {
            combo->setGeometry(0, 0, width(), height());
        }
    }
    QComboBox* combo;
    QLineEdit* edit;
    QListWidget* list;
    bool simple = false;

protected:
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

// Paints the items of owner-drawn combo and list boxes through the control's DrawItem.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(QObject* parent,
                      std::function<void(int, const TRect&, TOwnerDrawState, QPainter*)> draw,
                      std::function<int(int)> measure)
        : QStyledItemDelegate(parent), draw_(std::move(draw)), measure_(std::move(measure)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
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
        int h = measure_(index.row());
        if (h > 0)
            s.setHeight(h);
        return s;
    }

private:
    std::function<void(int, const TRect&, TOwnerDrawState, QPainter*)> draw_;
    std::function<int(int)> measure_;
};

} // namespace

struct TComboAccess {
    static void Activated(TCustomComboBox* c, int index) {
        if (c->syncing_)
            return;
        TComponentRef<TControl> self(c);
        if (index >= 0 && index < c->items_->Count() && c->style_ == csSimple) {
            ComboWidget* w = ComboOf(c);
            c->syncing_ = true;
            w->edit->setText(Qs(c->items_->Get(index)));
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
};

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
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    items_->OnChange = TNotifyEvent([this](TObject*) { SyncItems(); });
    ComboWidget* w = ComboOf(this);
    TCustomComboBox* self = this;
    QObject::connect(w->combo, qOverload<int>(&QComboBox::activated), w, [w, self](int i) {
        if (w->control != nullptr)
            Guarded([&] { TComboAccess::Activated(self, i); });
    });
    QObject::connect(w->combo, &QComboBox::editTextChanged, w, [w, self] {
        if (w->control != nullptr)
            TComboAccess::Edited(self);
    });
    QObject::connect(w->edit, &QLineEdit::textChanged, w, [w, self] {
        if (w->control != nullptr)
            TComboAccess::Edited(self);
    });
    QObject::connect(w->list, &QListWidget::currentRowChanged, w, [w, self](int row) {
        if (w->control != nullptr)
            TComboAccess::Activated(self, row);
    });
    auto* delegate = new OwnerDrawDelegate(
        w,
        [w, self](int i, const TRect& r, TOwnerDrawState st, QPainter* p) {
            if (w->control != nullptr)
                TComboAccess::Draw(self, i, r, st, p);
        },
        [w, self](int i) { return w->control != nullptr ? TComboAccess::Measure(self, i) : 0; });
    w->combo->setItemDelegate(delegate);
    w->list->setItemDelegate(delegate);
    ApplyStyle();
}

TCustomComboBox::~TCustomComboBox() {
    items_->OnChange = nullptr;
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
    QStringList list;
    for (int i = 0; i < items_->Count(); ++i)
        list << Qs(items_->Get(i));
    w->combo->clear();
    w->combo->addItems(list);
    w->list->clear();
    w->list->addItems(list);
    int count = items_->Count();
    int keep = index < count ? index : -1;
    w->combo->setCurrentIndex(keep);
    w->list->setCurrentRow(keep);
    if (w->combo->isEditable())
        w->combo->setEditText(text);
    syncing_ = false;
}

int TCustomComboBox::ItemIndex() const {
    ComboWidget* w = ComboOf(this);
    if (style_ == csSimple) {
        int row = w->list->currentRow();
        return row >= 0 && w->list->item(row)->text() == w->edit->text()
                   ? row
                   : items_->IndexOf(Us(w->edit->text()));
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
    w->list->setCurrentRow(index);
    w->edit->setText(index >= 0 ? Qs(items_->Get(index)) : QString());
    syncing_ = false;
}

std::string TCustomComboBox::RealGetText() const {
    ComboWidget* w = ComboOf(this);
    if (style_ == csSimple)
        return Us(w->edit->text());
    return Us(w->combo->currentText());
}

void TCustomComboBox::RealSetText(const std::string& text) {
    ComboWidget* w = ComboOf(this);
    syncing_ = true;
    if (style_ == csSimple) {
        w->edit->setText(Qs(text));
    } else if (w->combo->isEditable()) {
        w->combo->setEditText(Qs(text));
    } else {
        // A drop-down list shows only its items: the text selects the item of that text.
        w->combo->setCurrentIndex(items_->IndexOf(text));
    }
    syncing_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style_ == style)
        return;
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
    syncing_ = true;
    w->simple = style_ == csSimple;
    w->combo->setVisible(!w->simple);
    w->edit->setVisible(w->simple);
    w->list->setVisible(w->simple);
    w->setFocusProxy(w->simple ? static_cast<QWidget*>(w->edit) : w->combo);
    w->combo->setEditable(style_ == csDropDown);
    if (w->combo->lineEdit() != nullptr)
        w->combo->lineEdit()->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    w->edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    w->combo->setMaxVisibleItems(dropDownCount_);
    w->Arrange();
    syncing_ = false;
    w->update();
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
    auto* view = ComboOf(this)->combo->view();
    return view != nullptr && view->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool value) {
    if (value) {
        OnDropDown(this);
        ComboOf(this)->combo->showPopup();
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
        QPalette pal = child->palette();
        pal.setColor(QPalette::Base, ToQColor(Color()));
        child->setPalette(pal);
    }
}

void TCustomComboBox::FontChanged() {
    TWinControl::FontChanged();
    ComboWidget* w = ComboOf(this);
    QFont f = ToQFont(*Font());
    w->combo->setFont(f);
    w->edit->setFont(f);
    w->list->setFont(f);
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
    QObject::connect(w, &QListWidget::itemSelectionChanged, w, [list] {
        if (TCustomListBox* self = list())
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
    w->clear();
    for (int i = 0; i < items_->Count(); ++i)
        w->addItem(Qs(items_->Get(i)));
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

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

const TClassInfo& TCustomGroupBox::StaticClassInfo() {
    static const TClassInfo info("TCustomGroupBox", &TCustomControl::StaticClassInfo());
    return info;
}

const TClassInfo& TGroupBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TGroupBox", &TCustomGroupBox::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgCaption | pgColor | pgFont | pgTab | pgClick |
                                pgDblClick | pgMouse | pgFocus | pgDrag | pgDock | pgDockSite);
        return i;
    }();
    return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csDoubleClicks, csReplicatable});
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
    if (Parent() == nullptr)
        SetColor(clBtnFace), SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    rect.Top += c->TextHeight("0");
    InflateRect(rect, -2, -2);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    int h = c->TextHeight("0");
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    r.Left += 1;
    r.Top += 1;
    c->Brush()->SetColor(clBtnHighlight);
    c->FrameRect(r);
    OffsetRect(r, -1, -1);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    std::string text = Caption();
    if (!text.empty()) {
        TRect tr = Rect(8, 0, 8, h);
        c->DrawText(text, tr, DT_SINGLELINE | DT_CALCRECT);
        c->Brush()->SetColor(Color());
        c->FillRect(tr);
        if (!Enabled())
            c->Font()->SetColor(clGrayText);
        c->DrawText(text, tr, DT_SINGLELINE);
    }
}

void TCustomGroupBox::RealSetText(const std::string& text) {
    TCustomControl::RealSetText(text);
    Realign();
}

void TCustomGroupBox::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (SameAccel(AccelCharOf(Caption()), static_cast<char32_t>(m.WParam)) && CanFocus()) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, true))
                first->SetFocus();
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
        return;
    }
    if (m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_TEXTCHANGED)
        Invalidate();
    TCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// Buttons

namespace {

template <class Base> class ButtonWidget : public TWidget<Base> {
public:
    explicit ButtonWidget(TControl* c) : TWidget<Base>(c) {
        QObject::connect(this, &QAbstractButton::clicked, this, [this] {
            if (this->control != nullptr)
                Guarded([this] { this->control->Perform(CN_COMMAND, BN_CLICKED << 16, 0); });
        });
    }

protected:
    // The control decides the check state (a click becomes BN_CLICKED).
    void nextCheckState() override {}
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        TWidget<Base>::mouseDoubleClickEvent(e);
        if (this->control != nullptr)
            this->control->Perform(CN_COMMAND, static_cast<WPARAM>(BN_DOUBLECLICKED) << 16, 0);
    }
};

TControlWidget* PushFactory(TControl* c) {
    auto* w = new ButtonWidget<QPushButton>(c);
    w->setAutoDefault(false);
    return w;
}
TControlWidget* CheckFactory(TControl* c) {
    auto* w = new ButtonWidget<QCheckBox>(c);
    w->setTristate(true);
    return w;
}
TControlWidget* RadioFactory(TControl* c) {
    auto* w = new ButtonWidget<QRadioButton>(c);
    w->setAutoExclusive(false);
    return w;
}

QAbstractButton* ButtonOf(const TControl* c) {
    return qobject_cast<QAbstractButton*>(WidgetOf(c));
}

TWidgetFactory FactoryOf(TButtonKind kind) {
    switch (kind) {
    case TButtonKind::bkCheck:
        return &CheckFactory;
    case TButtonKind::bkRadio:
        return &RadioFactory;
    default:
        return &PushFactory;
    }
}

} // namespace

const TClassInfo& TButtonControl::StaticClassInfo() {
    static const TClassInfo info("TButtonControl", &TWinControl::StaticClassInfo());
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TButtonControl(owner, TButtonKind::bkPush) {}

TButtonControl::TButtonControl(TComponent* owner, TButtonKind kind)
    : TWinControl(owner, FactoryOf(kind)) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetColor(clBtnFace);
    SetTabStop(true);
}

void TButtonControl::SetNativeChecked(int state) {
    QAbstractButton* b = ButtonOf(this);
    if (auto* cb = qobject_cast<QCheckBox*>(b))
        cb->setCheckState(state == 2   ? Qt::PartiallyChecked
                          : state == 1 ? Qt::Checked
                                       : Qt::Unchecked);
    else if (b != nullptr) {
        b->setCheckable(true);
        b->setChecked(state == 1);
    }
}

int TButtonControl::NativeChecked() const {
    QAbstractButton* b = ButtonOf(this);
    if (auto* cb = qobject_cast<QCheckBox*>(b))
        return cb->checkState() == Qt::PartiallyChecked ? 2
               : cb->checkState() == Qt::Checked        ? 1
                                                        : 0;
    return b != nullptr && b->isChecked() ? 1 : 0;
}

void TButtonControl::SetNativeLeftText(bool value) {
    if (QWidget* w = WidgetOf(this))
        w->setLayoutDirection(value ? Qt::RightToLeft : Qt::LeftToRight);
}

std::string TButtonControl::RealGetText() const {
    QAbstractButton* b = ButtonOf(this);
    return b != nullptr ? Us(b->text()) : TWinControl::RealGetText();
}

void TButtonControl::RealSetText(const std::string& text) {
    if (QAbstractButton* b = ButtonOf(this))
        b->setText(Qs(text));
    else
        TWinControl::RealSetText(text);
}

void TButtonControl::ColorChanged() {
    TWinControl::ColorChanged();
    if (QWidget* w = WidgetOf(this)) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Button, ToQColor(Color()));
        w->setPalette(pal);
    }
}

bool TButtonControl::IsAccel(char32_t ch) const {
    return SameAccel(AccelCharOf(Caption()), ch);
}

// TButton

const TClassInfo& TButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TButton", &TButtonControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgFont | pgTab | pgClick | pgMouse | pgKeys |
                                pgFocus | pgDrag | pgDock);
        i.Bool<TButton>("Cancel", &TButton::Cancel, &TButton::SetCancel);
        i.Bool<TButton>("Default", &TButton::Default, &TButton::SetDefault);
        i.Int<TButton>("ModalResult", &TButton::ModalResult, &TButton::SetModalResult,
                       "TModalResult");
        return i;
    }();
    return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner, TButtonKind::bkPush) {
    SetBounds(0, 0, 75, 25);
}

TButton::TButton(TComponent* owner, TWidgetFactory) : TButton(owner) {}

void TButton::SetDefault(bool value) {
    default_ = value;
    if (auto* b = qobject_cast<QPushButton*>(WidgetOf(this)))
        b->setDefault(value);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HiWord(m.WParam) == BN_CLICKED)
            Click();
        return;
    case CM_DIALOGKEY: {
        TShiftState shift = TShiftState::FromBits(static_cast<std::uint64_t>(m.LParam));
        TWinControl* focused = Screen->ActiveControl();
        bool active = Focused() || (default_ && dynamic_cast<TButton*>(focused) == nullptr);
        if (((m.WParam == VK_RETURN && active) || (m.WParam == VK_ESCAPE && cancel_)) &&
            (shift * TShiftState{ssShift, ssCtrl, ssAlt}).Empty() && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        TButtonControl::WndProc(m);
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(m.WParam)) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        TButtonControl::WndProc(m);
        return;
    default:
        TButtonControl::WndProc(m);
    }
}

// TCustomCheckBox

const TClassInfo& TCustomCheckBox::StaticClassInfo() {
    static const TClassInfo info("TCustomCheckBox", &TButtonControl::StaticClassInfo());
    return info;
}

const TClassInfo& TCheckBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TCheckBox", &TCustomCheckBox::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgColor | pgFont | pgTab | pgClick | pgMouse |
                                pgKeys | pgFocus | pgDrag | pgDock);
        i.Enum<TCustomCheckBox>("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"},
                                &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment);
        i.Bool<TCustomCheckBox>("AllowGrayed", &TCustomCheckBox::AllowGrayed,
                                &TCustomCheckBox::SetAllowGrayed);
        i.Bool<TCustomCheckBox>("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
        i.Enum<TCustomCheckBox>("State", "TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"},
                                &TCustomCheckBox::State, &TCustomCheckBox::SetState);
        return i;
    }();
    return info;
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner, TButtonKind::bkCheck) {
    SetBounds(0, 0, 97, 17);
    SetParentColor(true);
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
    if (state_ == state)
        return;
    state_ = state;
    SetNativeChecked(state == cbGrayed ? 2 : state == cbChecked ? 1 : 0);
    if (!ClicksDisabled())
        Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
    alignment_ = value;
    SetNativeLeftText(value == taLeftJustify);
}

void TCustomCheckBox::Toggle() {
    SetState(NextCheckBoxState(state_, allowGrayed_));
}

void TCustomCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HiWord(m.WParam) == BN_CLICKED)
            Toggle();
        else if (HiWord(m.WParam) == BN_DOUBLECLICKED)
            DblClick();
        return;
    }
    if (m.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<char32_t>(m.WParam)) && CanFocus()) {
            SetFocus();
            if (Focused())
                Toggle();
            m.Result = 1;
            return;
        }
    }
    TButtonControl::WndProc(m);
}

// TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TRadioButton", &TButtonControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgCaption | pgColor | pgFont | pgTab | pgClick |
                                pgDblClick | pgMouse | pgKeys | pgFocus | pgDrag | pgDock);
        i.Enum<TRadioButton>("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"},
                             &TRadioButton::Alignment, &TRadioButton::SetAlignment);
        i.Bool<TRadioButton>("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
        return i;
    }();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner, TButtonKind::bkRadio) {
    SetBounds(0, 0, 113, 17);
    SetTabStop(false);
    SetParentColor(true);
}

void TRadioButton::SetChecked(bool value) {
    if (checked_ == value)
        return;
    checked_ = value;
    SetTabStop(value);
    SetNativeChecked(value ? 1 : 0);
    if (!value)
        return;
    if (Parent() != nullptr)
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
                r != nullptr && r != this)
                r->SetChecked(false);
    if (!ClicksDisabled())
        Click();
}

void TRadioButton::SetAlignment(TAlignment value) {
    alignment_ = value;
    SetNativeLeftText(value == taLeftJustify);
}

void TRadioButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HiWord(m.WParam) == BN_CLICKED)
            SetChecked(true);
        else if (HiWord(m.WParam) == BN_DOUBLECLICKED)
            DblClick();
        return;
    }
    if (m.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<char32_t>(m.WParam)) && CanFocus()) {
            SetFocus();
            if (Focused())
                SetChecked(true);
            m.Result = 1;
            return;
        }
    }
    TButtonControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TCustomMemo

namespace {

// The lines of a memo, read from and written to its document.
class MemoStrings : public TStrings {
public:
    explicit MemoStrings(TCustomMemo* memo) : memo_(memo) {}
    int Count() const override {
        QPlainTextEdit* p = PlainOf(memo_);
        if (p->document()->isEmpty())
            return 0;
        return p->document()->blockCount();
    }
    std::string Get(int index) const override {
        Check(index);
        return Us(PlainOf(memo_)->document()->findBlockByNumber(index).text());
    }
    void Put(int index, const std::string& s) override {
        Check(index);
        QTextCursor cur(PlainOf(memo_)->document()->findBlockByNumber(index));
        cur.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cur.insertText(Qs(s));
    }
    void Insert(int index, const std::string& s) override {
        int n = Count();
        if (index < 0 || index > n)
            throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
        QPlainTextEdit* p = PlainOf(memo_);
        if (n == 0) {
            p->setPlainText(Qs(s));
            return;
        }
        if (index == n) {
            QTextCursor cur(p->document());
            cur.movePosition(QTextCursor::End);
            cur.insertText("\n" + Qs(s));
        } else {
            QTextCursor cur(p->document()->findBlockByNumber(index));
            cur.insertText(Qs(s) + "\n");
        }
    }
    void Delete(int index) override {
        Check(index);
        QPlainTextEdit* p = PlainOf(memo_);
        if (Count() == 1) {
            p->clear();
            return;
        }
        QTextBlock b = p->document()->findBlockByNumber(index);
        QTextCursor cur(b);
        if (b.next().isValid()) {
            cur.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        } else {
            cur.movePosition(QTextCursor::PreviousBlock);
            cur.movePosition(QTextCursor::EndOfBlock);
            cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        cur.removeSelectedText();
    }
    void Clear() override { PlainOf(memo_)->clear(); }
    std::string Text() const override {
        return memo_->Text().empty() ? std::string() : memo_->Text() + "\r\n";
    }
    void SetText(const std::string& text) override {
        std::string t = text;
        if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0)
            t.resize(t.size() - 2);
        else if (!t.empty() && t.back() == '\n')
            t.pop_back();
        memo_->SetText(t);
    }

private:
    void Check(int index) const {
        if (index < 0 || index >= Count())
            throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    TCustomMemo* memo_;
};

} // namespace

const TClassInfo& TCustomMemo::StaticClassInfo() {
    static const TClassInfo info("TCustomMemo", &TCustomEdit::StaticClassInfo());
    return info;
}

const TClassInfo& TMemo::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TMemo", &TCustomMemo::StaticClassInfo());
        AddStandardProps(i, pgInput | pgAlign);
        i.Enum<TCustomMemo>("Alignment", "TAlignment",
                            {"taLeftJustify", "taRightJustify", "taCenter"},
                            &TCustomMemo::Alignment, &TCustomMemo::SetAlignment);
        i.Object<TCustomMemo, TStrings>("Lines", "TStrings", &TCustomMemo::Lines,
                                        &TCustomMemo::SetLines);
        i.Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
        i.Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
        i.Enum<TCustomMemo>("ScrollBars", "TScrollStyle",
                            {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"},
                            &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
        i.Bool<TCustomMemo>("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns);
        i.Bool<TCustomMemo>("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
        i.Bool<TCustomMemo>("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
        i.Event<TCustomEdit>("OnChange", "TNotifyEvent", &TCustomEdit::OnChange);
        return i;
    }();
    return info;
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner, &MemoFactory) {
    lines_ = std::make_unique<MemoStrings>(this);
    PlainOf(this)->setTabChangesFocus(true);
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
    SetScrollBars(TScrollStyle::ssNone);
    SetWordWrap(true);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const {
    return lines_.get();
}
void TCustomMemo::SetLines(TStrings* lines) {
    lines_->Assign(lines);
}

void TCustomMemo::SetWordWrap(bool value) {
    wordWrap_ = value;
    PlainOf(this)->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    scrollBars_ = value;
    QPlainTextEdit* p = PlainOf(this);
    bool h = value == TScrollStyle::ssHorizontal || value == TScrollStyle::ssBoth;
    bool v = value == TScrollStyle::ssVertical || value == TScrollStyle::ssBoth;
    p->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    p->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::SetAlignment(TAlignment value) {
    alignment_ = value;
}

TPoint TCustomMemo::CaretPos() const {
    QTextCursor cur = PlainOf(this)->textCursor();
    return {cur.positionInBlock(), cur.blockNumber()};
}

void TCustomMemo::SetCaretPos(TPoint p) {
    QPlainTextEdit* w = PlainOf(this);
    QTextBlock b = w->document()->findBlockByNumber(std::max(0, p.Y));
    if (!b.isValid())
        b = w->document()->lastBlock();
    QTextCursor cur(b);
    cur.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                     std::clamp(p.X, 0, b.length() - 1));
    w->setTextCursor(cur);
}

LRESULT TCustomMemo::DialogCode() const {
    LRESULT r = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (wantReturns_)
        r |= DLGC_WANTALLKEYS;
    if (wantTabs_)
        r |= DLGC_WANTTAB;
    return r;
}

} // namespace nuv
