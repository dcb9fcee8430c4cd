// Button controls: push button, check box and radio button over Qt's buttons; a click reaches
// the control as BN_CLICKED and the control decides the check state.
#include "ui/StdCtrls.h"

#include "ui/Forms.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// Buttons

namespace {

template <class Base> class ButtonWidget : public TWidget<Base> {
public:
    explicit ButtonWidget(TControl* c) : TWidget<Base>(c) {
        RouteSignal(this, this, &QAbstractButton::clicked, [](TControl* c) {
            Guarded([c] { c->Perform(CN_COMMAND, BN_CLICKED << 16, 0); });
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
    return b != nullptr ? FromQString(b->text()) : TWinControl::RealGetText();
}

void TButtonControl::RealSetText(const std::string& text) {
    if (QAbstractButton* b = ButtonOf(this))
        b->setText(ToQString(text));
    else
        TWinControl::RealSetText(text);
}

void TButtonControl::ColorChanged() {
    TWinControl::ColorChanged();
    if (QWidget* w = WidgetOf(this))
        ShowInRole(w, QPalette::Button, ToQColor(Color()));
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

} // namespace nuv
