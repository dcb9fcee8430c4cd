#include "ui/Spin.h"

#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include "platform/UnicodeText.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>

namespace nuv {

namespace {

// The spin edit's widget: a line edit with an up and a down button at its right. The buttons
// are made when the edit is first shown: a form keeps many spin edits on pages that may never be
// opened, and the arrow keys and the value need no buttons.
class SpinLineEdit : public TWidget<QLineEdit> {
public:
    // The edit starts at 0, made with its text (cheaper than setting it afterwards: no change
    // to report while nobody listens yet).
    explicit SpinLineEdit(TControl* c)
        : TWidget<QLineEdit>(c, QStringLiteral("0"), TakeWidgetParking()) {
        // Tools that read the widget tree see a spin edit here before its buttons exist.
        setProperty("spinEdit", true);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Show && up == nullptr)
            MakeButtons();
        return TWidget<QLineEdit>::event(e);
    }
    void resizeEvent(QResizeEvent* e) override {
        TWidget<QLineEdit>::resizeEvent(e);
        PlaceButtons();
    }

private:
    static constexpr int ButtonWidth = 15;
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;

    void MakeButtons() {
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoRepeat(true);
            b->setIconSize(QSize(7, 5));
        }
        RouteSignal(this, up, &QToolButton::clicked, [](TControl* c) {
            if (auto* s = dynamic_cast<TSpinEdit*>(c))
                s->UpClick();
        });
        RouteSignal(this, down, &QToolButton::clicked, [](TControl* c) {
            if (auto* s = dynamic_cast<TSpinEdit*>(c))
                s->DownClick();
        });
        setTextMargins(0, 0, ButtonWidth, 0);
        PlaceButtons();
        // Children made inside a widget being shown are shown with it only when asked.
        up->show();
        down->show();
    }
    void PlaceButtons() {
        if (up == nullptr)
            return;
        int h = height() - 4;
        up->setGeometry(width() - ButtonWidth - 2, 2, ButtonWidth, h / 2);
        down->setGeometry(width() - ButtonWidth - 2, 2 + h / 2, ButtonWidth, h - h / 2);
    }
};

TControlWidget* SpinFactory(TControl* c) {
    auto* w = new SpinLineEdit(c);
    RouteSignal(w, w, &QLineEdit::textChanged, [](TControl* c) {
        if (auto* s = dynamic_cast<TSpinEdit*>(c))
            s->Perform(CM_TEXTCHANGED, 1, 0);
    });
    return w;
}

} // namespace

const TClassInfo& TSpinEdit::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TSpinEdit", &TCustomEdit::StaticClassInfo());
        AddStandardProps(i, pgInput);
        i.Bool<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
        i.Bool<TSpinEdit>("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled);
        i.Int<TSpinEdit>("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, "Longint");
        i.Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
        i.Int<TSpinEdit>("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, "Longint");
        i.Int<TSpinEdit>("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, "Longint");
        i.Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
        i.Int<TSpinEdit>("Value", &TSpinEdit::Value, &TSpinEdit::SetValue, "Longint");
        i.Event<TCustomEdit>("OnChange", "TNotifyEvent", &TCustomEdit::OnChange);
        return i;
    }();
    return info;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner, &SpinFactory) {
    SetBounds(0, 0, 121, 22);
    SetText("0");
}

int TSpinEdit::Value() const {
    std::string t = TrimText(Text());
    if (t.empty())
        return minValue_;
    try {
        std::size_t used = 0;
        long v = std::stol(t, &used);
        if (used != t.size())
            return minValue_;
        return static_cast<int>(v);
    } catch (...) {
        return minValue_;
    }
}

int TSpinEdit::CheckValue(int value) const {
    if (maxValue_ != minValue_) {
        if (value < minValue_)
            return minValue_;
        if (value > maxValue_)
            return maxValue_;
    }
    return value;
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(CheckValue(value)));
}

void TSpinEdit::SetEditorEnabled(bool value) {
    editorEnabled_ = value;
    if (auto* e = qobject_cast<QLineEdit*>(WidgetOf(this)))
        e->setReadOnly(!value || ReadOnly());
}

void TSpinEdit::UpClick() {
    if (ReadOnly())
        QApplication::beep();
    else
        SetValue(Value() + increment_);
}

void TSpinEdit::DownClick() {
    if (ReadOnly())
        QApplication::beep();
    else
        SetValue(Value() - increment_);
}

void TSpinEdit::KeyDown(Word& key, TShiftState shift) {
    if (key == VK_UP)
        UpClick();
    else if (key == VK_DOWN)
        DownClick();
    TCustomEdit::KeyDown(key, shift);
}

void TSpinEdit::KeyPress(TKeyChar& key) {
    bool valid =
        (key >= U'0' && key <= U'9') || key == U'+' || key == U'-' || (key < 32 && key != 13);
    if (!valid || (!editorEnabled_ && key >= 32)) {
        key = 0;
        QApplication::beep();
    }
    if (key != 0)
        TCustomEdit::KeyPress(key);
}

LRESULT TSpinEdit::DialogCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TSpinEdit::WndProc(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED && m.WParam == 1) {
        Change();
        return;
    }
    if (m.Msg == CM_EXIT) {
        int v = Value();
        if (CheckValue(v) != v)
            SetValue(v);
    }
    TCustomEdit::WndProc(m);
}

} // namespace nuv
