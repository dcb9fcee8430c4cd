#include "ui/Mask.h"

#include "platform/UnicodeText.h"

#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace nuv {

TEditMaskFormat::TEditMaskFormat(const std::string& editMask) {
    std::u32string m = Utf8ToUtf32(editMask);
    // The last two ";" fields are the save flag and the blank character.
    std::u32string mask = m;
    std::vector<std::u32string> fields;
    {
        std::u32string cur;
        for (std::size_t i = 0; i < m.size(); ++i) {
            if (m[i] == U'\\' && i + 1 < m.size()) {
                cur += m[i];
                cur += m[++i];
                continue;
            }
            if (m[i] == U';') {
                fields.push_back(cur);
                cur.clear();
                continue;
            }
            cur += m[i];
        }
        fields.push_back(cur);
    }
    if (fields.size() >= 2) {
        mask = fields[0];
        saveLiterals_ = !(fields[1] == U"0");
        if (fields.size() >= 3 && !fields[2].empty())
            blank_ = fields[2][0];
    }
    int caseMode = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        char32_t c = mask[i];
        switch (c) {
        case U'!':
            leadingBlanks_ = true;
            continue;
        case U'>':
            if (i + 1 < mask.size() && mask[i + 1] == U'<') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        case U'<':
            caseMode = -1;
            continue;
        case U'\\':
            if (i + 1 < mask.size())
                positions_.push_back({true, mask[++i], 0, 0});
            continue;
        case U'_':
            positions_.push_back({true, U' ', 0, 0});
            continue;
        case U'0':
        case U'9':
        case U'#':
        case U'L':
        case U'l':
        case U'A':
        case U'a':
        case U'C':
        case U'c':
            positions_.push_back({false, 0, static_cast<char>(c), caseMode});
            continue;
        default:
            positions_.push_back({true, c, 0, 0});
        }
    }
}

bool TEditMaskFormat::IsLiteral(int pos) const {
    return pos >= 0 && pos < Length() && positions_[static_cast<std::size_t>(pos)].literal;
}

TEditMaskFormat::Chars TEditMaskFormat::EmptyChars() const {
    return Chars(positions_.size(), 0);
}

std::u32string TEditMaskFormat::EditText(const Chars& chars) const {
    std::u32string r;
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        r += p.literal ? p.ch : (i < chars.size() && chars[i] != 0 ? chars[i] : blank_);
    }
    return r;
}

std::u32string TEditMaskFormat::Text(const Chars& chars) const {
    std::u32string r;
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        char32_t c = i < chars.size() ? chars[i] : 0;
        if (p.literal) {
            if (saveLiterals_)
                r += p.ch;
        } else {
            r += c != 0 ? c : U' ';
        }
    }
    if (!saveLiterals_) {
        // Without literals the empty positions are not part of the value.
        std::u32string t;
        for (char32_t c : r)
            if (c != U' ')
                t += c;
        return t;
    }
    return r;
}

bool TEditMaskFormat::Accepts(const Position& p, char32_t ch) const {
    QChar q = ch < 0x10000 ? QChar(static_cast<char16_t>(ch)) : QChar();
    bool digit = ch >= U'0' && ch <= U'9';
    bool letter = q.isLetter() || ch >= 0x10000;
    switch (p.kind) {
    case '0':
    case '9':
        return digit;
    case '#':
        return digit || ch == U'+' || ch == U'-';
    case 'L':
    case 'l':
        return letter;
    case 'A':
    case 'a':
        return letter || digit;
    default:
        return ch >= U' ';
    }
}

static char32_t ApplyCase(char32_t ch, int mode) {
    if (mode == 0 || ch >= 0x10000)
        return ch;
    QChar q(static_cast<char16_t>(ch));
    return mode > 0 ? q.toUpper().unicode() : q.toLower().unicode();
}

TEditMaskFormat::Chars TEditMaskFormat::FromEditText(const std::u32string& text) const {
    Chars chars = EmptyChars();
    for (std::size_t i = 0; i < positions_.size() && i < text.size(); ++i) {
        const Position& p = positions_[i];
        if (p.literal || text[i] == blank_ || text[i] == U' ')
            continue;
        char32_t c = ApplyCase(text[i], p.caseMode);
        if (Accepts(p, c))
            chars[i] = c;
    }
    return chars;
}

TEditMaskFormat::Chars TEditMaskFormat::FromText(const std::u32string& text) const {
    if (saveLiterals_)
        return FromEditText(text);
    Chars chars = EmptyChars();
    std::vector<std::size_t> inputs;
    for (std::size_t i = 0; i < positions_.size(); ++i)
        if (!positions_[i].literal)
            inputs.push_back(i);
    std::size_t n = std::min(inputs.size(), text.size());
    std::size_t offset = leadingBlanks_ ? inputs.size() - n : 0;
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t pos = inputs[offset + k];
        char32_t c = ApplyCase(text[k], positions_[pos].caseMode);
        if (c != U' ' && Accepts(positions_[pos], c))
            chars[pos] = c;
    }
    return chars;
}

int TEditMaskFormat::NextInput(int cursor) const {
    for (int i = std::max(0, cursor); i < Length(); ++i)
        if (!positions_[static_cast<std::size_t>(i)].literal)
            return i;
    return -1;
}

int TEditMaskFormat::PreviousInput(int cursor) const {
    for (int i = std::min(cursor, Length()) - 1; i >= 0; --i)
        if (!positions_[static_cast<std::size_t>(i)].literal)
            return i;
    return -1;
}

int TEditMaskFormat::Type(Chars& chars, int cursor, char32_t ch) const {
    int pos = NextInput(cursor);
    if (pos < 0)
        return -1;
    const Position& p = positions_[static_cast<std::size_t>(pos)];
    char32_t c = ApplyCase(ch, p.caseMode);
    if (!Accepts(p, c))
        return -1;
    chars[static_cast<std::size_t>(pos)] = c;
    int next = NextInput(pos + 1);
    return next < 0 ? Length() : next;
}

void TEditMaskFormat::ClearRange(Chars& chars, int from, int to) const {
    for (int i = std::max(0, from); i < std::min(to, Length()); ++i)
        chars[static_cast<std::size_t>(i)] = 0;
}

bool TEditMaskFormat::Complete(const Chars& chars) const {
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        char k = positions_[i].kind;
        if (!positions_[i].literal && (k == '0' || k == 'L' || k == 'A' || k == 'C') &&
            chars[i] == 0)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

struct TMaskAccess {
    static bool Key(TCustomMaskEdit* m, QLineEdit* w, QKeyEvent* e);
    static void Changed(TCustomMaskEdit* m) { m->NativeChanged(); }
};

namespace {

class MaskLineEdit : public TWidget<QLineEdit> {
public:
    using TWidget<QLineEdit>::TWidget;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        auto* m = dynamic_cast<TCustomMaskEdit*>(control);
        if (m != nullptr && m->IsMasked() && TMaskAccess::Key(m, this, e))
            return;
        TWidget<QLineEdit>::keyPressEvent(e);
    }
};

TControlWidget* MaskEditFactory(TControl* c) {
    auto* w = new MaskLineEdit(c);
    w->setFrame(true);
    RouteSignal(w, w, &QLineEdit::textChanged, [](TControl* c) {
        if (auto* e = dynamic_cast<TCustomMaskEdit*>(c))
            TMaskAccess::Changed(e);
    });
    return w;
}

} // namespace

bool TMaskAccess::Key(TCustomMaskEdit* m, QLineEdit* w, QKeyEvent* e) {
    if (m->ReadOnly())
        return false;
    const TEditMaskFormat& f = m->format_;
    int cursor = w->cursorPosition();
    int selStart = w->hasSelectedText() ? w->selectionStart() : cursor;
    int selEnd =
        w->hasSelectedText() ? selStart + static_cast<int>(w->selectedText().size()) : cursor;
    auto chars = m->chars_;
    switch (e->key()) {
    case Qt::Key_Backspace:
        if (selEnd > selStart) {
            f.ClearRange(chars, selStart, selEnd);
            cursor = selStart;
        } else {
            int prev = f.PreviousInput(cursor);
            if (prev < 0)
                return true;
            f.ClearRange(chars, prev, prev + 1);
            cursor = prev;
        }
        break;
    case Qt::Key_Delete:
        if (selEnd > selStart) {
            f.ClearRange(chars, selStart, selEnd);
            cursor = selStart;
        } else {
            int next = f.NextInput(cursor);
            if (next < 0)
                return true;
            f.ClearRange(chars, next, next + 1);
        }
        break;
    default: {
        if (e->matches(QKeySequence::Paste)) {
            QList<uint> text = QApplication::clipboard()->text().toUcs4();
            f.ClearRange(chars, selStart, selEnd);
            cursor = selStart;
            for (uint ch : text) {
                int next = f.Type(chars, cursor, ch);
                if (next >= 0)
                    cursor = next;
            }
            break;
        }
        QString t = e->text();
        if (t.isEmpty() || t[0].unicode() < 32 ||
            (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false; // movement and editing keys the line edit handles itself
        char32_t ch = t.toUcs4().value(0);
        if (selEnd > selStart) {
            f.ClearRange(chars, selStart, selEnd);
            cursor = selStart;
        }
        int next = f.Type(chars, cursor, ch);
        if (next < 0) {
            QApplication::beep();
            return true;
        }
        cursor = next;
        break;
    }
    }
    m->chars_ = chars;
    m->SetModified(true);
    m->Show(cursor);
    return true;
}

const TClassInfo& TCustomMaskEdit::StaticClassInfo() {
    static const TClassInfo info("TCustomMaskEdit", &TCustomEdit::StaticClassInfo());
    return info;
}

const TClassInfo& TMaskEdit::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TMaskEdit", &TCustomMaskEdit::StaticClassInfo());
        AddStandardProps(i, pgInput | pgText);
        i.Bool<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
        i.Enum<TCustomEdit>("CharCase", "TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"},
                            &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
        i.Str<TCustomMaskEdit>("EditMask", &TCustomMaskEdit::EditMask,
                               &TCustomMaskEdit::SetEditMask, "TEditMask");
        i.Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
        i.Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
        i.Event<TCustomEdit>("OnChange", "TNotifyEvent", &TCustomEdit::OnChange);
        return i;
    }();
    return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner, &MaskEditFactory) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::Show(int cursor) {
    auto* w = qobject_cast<QLineEdit*>(WidgetOf(this));
    std::u32string t = format_.EditText(chars_);
    QString q = QString::fromUcs4(t.data(), static_cast<qsizetype>(t.size()));
    if (w->text() != q)
        w->setText(q);
    if (cursor >= 0)
        w->setCursorPosition(std::min(cursor, static_cast<int>(q.size())));
}

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
    if (mask == editMask_)
        return;
    std::string old = RealGetText();
    editMask_ = mask;
    format_ = TEditMaskFormat(mask);
    auto* w = qobject_cast<QLineEdit*>(WidgetOf(this));
    if (format_.Empty()) {
        w->setMaxLength(MaxLength() > 0 ? MaxLength() : 32767);
        w->setText(ToQString(old));
        return;
    }
    w->setMaxLength(32767);
    chars_ = format_.FromText(Utf8ToUtf32(old));
    Show(0);
}

std::string TCustomMaskEdit::EditText() const {
    if (format_.Empty())
        return RealGetText();
    return Utf32ToUtf8(format_.EditText(chars_));
}

void TCustomMaskEdit::SetEditText(const std::string& text) {
    if (format_.Empty()) {
        SetText(text);
        return;
    }
    chars_ = format_.FromEditText(Utf8ToUtf32(text));
    Show(0);
}

std::string TCustomMaskEdit::RealGetText() const {
    if (format_.Empty())
        return TCustomEdit::RealGetText();
    return Utf32ToUtf8(format_.Text(chars_));
}

void TCustomMaskEdit::RealSetText(const std::string& text) {
    if (format_.Empty()) {
        TCustomEdit::RealSetText(text);
        return;
    }
    chars_ = format_.FromText(Utf8ToUtf32(text));
    Show(0);
}

} // namespace nuv
