// Edits: the single-line edit (TCustomEdit, a QLineEdit) and the memo (TCustomMemo, a
// QPlainTextEdit with its lines as TStrings).
#include "ui/StdCtrls.h"

#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace nuv {

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
    RouteSignal(w, w, &QLineEdit::textChanged, [](TControl* c) { TEditAccess::Changed(c); });
    RouteSignal(w, w, &QLineEdit::textEdited, [](TControl* c) { TEditAccess::Edited(c); });
    return w;
}

TControlWidget* MemoFactory(TControl* c) {
    auto* w = new TWidget<QPlainTextEdit>(c);
    RouteSignal(w, w, &QPlainTextEdit::textChanged, [](TControl* c) { TEditAccess::Changed(c); });
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
    SetBounds(0, 0, 121, 21);
    SetCursor(crIBeam);
}

TCustomEdit::~TCustomEdit() = default;

std::string TCustomEdit::RealGetText() const {
    if (QLineEdit* e = LineOf(this))
        return FromQString(e->text());
    if (QPlainTextEdit* p = PlainOf(this)) {
        QString t = p->toPlainText();
        t.replace("\n", "\r\n");
        return FromQString(t);
    }
    return TWinControl::RealGetText();
}

void TCustomEdit::RealSetText(const std::string& text) {
    if (QLineEdit* e = LineOf(this)) {
        e->setText(ToQString(text));
        return;
    }
    if (QPlainTextEdit* p = PlainOf(this)) {
        QString t = ToQString(text);
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
        return FromQString(e->selectedText());
    if (QPlainTextEdit* p = PlainOf(this))
        return FromQString(p->textCursor().selectedText());
    return {};
}

void TCustomEdit::SetSelText(const std::string& text) {
    if (QLineEdit* e = LineOf(this))
        e->insert(ToQString(text));
    if (QPlainTextEdit* p = PlainOf(this))
        p->insertPlainText(ToQString(text));
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
        return FromQString(PlainOf(memo_)->document()->findBlockByNumber(index).text());
    }
    void Put(int index, const std::string& s) override {
        Check(index);
        QTextCursor cur(PlainOf(memo_)->document()->findBlockByNumber(index));
        cur.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cur.insertText(ToQString(s));
    }
    void Insert(int index, const std::string& s) override {
        int n = Count();
        if (index < 0 || index > n)
            throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
        QPlainTextEdit* p = PlainOf(memo_);
        if (n == 0) {
            p->setPlainText(ToQString(s));
            return;
        }
        if (index == n) {
            QTextCursor cur(p->document());
            cur.movePosition(QTextCursor::End);
            cur.insertText("\n" + ToQString(s));
        } else {
            QTextCursor cur(p->document()->findBlockByNumber(index));
            cur.insertText(ToQString(s) + "\n");
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
