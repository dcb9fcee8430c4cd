#include "controls/F2Button.h"

#include "ui/Dialogs.h"

namespace nuv {

const TClassInfo& TF2Button::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TF2Button", &TGSpeedButton::StaticClassInfo())
            .Bool<TF2Button>("AutoAlign", &TF2Button::AutoAlign, &TF2Button::SetAutoAlign)
            .Object<TF2Button, TWinControl>("F2Control", "TWinControl", &TF2Button::F2Control,
                                            &TF2Button::SetF2Control)
            .Int<TF2Button>("Gap", &TF2Button::Gap, &TF2Button::SetGap, "Byte");
    return info;
}

TF2Button::TF2Button(TComponent* owner) : TGSpeedButton(owner) {
    SetGlyphIndex(8);
    SetFlat(true);
}

TF2Button::~TF2Button() {
    if (f2Control_ != nullptr)
        f2Control_->RemoveFreeNotification(this);
}

void TF2Button::SetF2Control(TWinControl* control) {
    if (control != nullptr && !CheckUnique(control))
        return;
    if (f2Control_ != nullptr)
        f2Control_->RemoveFreeNotification(this);
    f2Control_ = control;
    if (control != nullptr) {
        control->FreeNotification(this);
        Align();
    }
}

void TF2Button::SetAutoAlign(bool value) {
    autoAlign_ = value;
    Align();
}

void TF2Button::SetGap(std::uint8_t value) {
    if (gap_ == value)
        return;
    gap_ = value;
    Align();
}

bool TF2Button::CheckUnique(TWinControl* control) {
    TWinControl* parent = Parent();
    if (parent == nullptr)
        return true;
    for (int i = 0; i < parent->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TF2Button*>(parent->Components(i));
        if (other == nullptr || other->F2Control() != control)
            continue;
        if (other != this)
            MessageDlg(F2ButtonNotUniqueText, mtError, TMsgDlgButtons{mbOK});
        return false;
    }
    return true;
}

void TF2Button::Align() {
    if (f2Control_ == nullptr || !autoAlign_)
        return;
    const int size = f2Control_->Height();
    SetBounds(f2Control_->Left() + f2Control_->Width() + gap_, f2Control_->Top(), size, size);
}

void TF2Button::Click() {
    TComponentRef<TF2Button> self(this);
    TGSpeedButton::Click();
    // The handler may have freed the form, the button or the control.
    if (!self || f2Control_ == nullptr || !f2Control_->Enabled())
        return;
    TComponentRef<TWinControl> control(f2Control_);
    if (control->CanFocus())
        control->SetFocus();
    if (!control || !control->Focused())
        return;
    auto* dialog = dynamic_cast<TWinControl*>(control->Owner());
    if (dialog == nullptr)
        return;
    SendMessage(dialog->Handle(), WM_F2LOOKUP, 0, reinterpret_cast<LPARAM>(control.Get()));
}

void TF2Button::Notification(TComponent* component, TOperation operation) {
    TGSpeedButton::Notification(component, operation);
    if (operation == opRemove && component == f2Control_)
        f2Control_ = nullptr;
}

} // namespace nuv
