#include "ui/ActnList.h"

#include <algorithm>

namespace nuv {

const TClassInfo& TAction::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TAction", &TComponent::StaticClassInfo())
            .Str<TAction>("Caption", &TAction::Caption, &TAction::SetCaption, "TCaption")
            .Bool<TAction>("Checked", &TAction::Checked, &TAction::SetChecked)
            .Bool<TAction>("Enabled", &TAction::Enabled, &TAction::SetEnabled)
            .Str<TAction>("Hint", &TAction::Hint, &TAction::SetHint)
            .Bool<TAction>("Visible", &TAction::Visible, &TAction::SetVisible)
            .Event<TAction>("OnExecute", "TNotifyEvent", &TAction::OnExecute)
            .Event<TAction>("OnUpdate", "TNotifyEvent", &TAction::OnUpdate);
    return info;
}

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* list) {
    if (list_ == list)
        return;
    if (list_ != nullptr) {
        auto& v = list_->actions_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        list_->OnChange(list_);
    }
    list_ = list;
    if (list_ != nullptr) {
        list_->actions_.push_back(this);
        list_->OnChange(list_);
    }
}

bool TAction::Update() {
    if (!OnUpdate.Assigned())
        return false;
    OnUpdate(this);
    return true;
}

bool TAction::Execute() {
    TComponentRef<TAction> self(this);
    Update();
    if (!self || !enabled_ || !OnExecute.Assigned())
        return false;
    OnExecute(this);
    return true;
}

const TClassInfo& TActionList::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TActionList", &TComponent::StaticClassInfo())
            .Event<TActionList>("OnChange", "TNotifyEvent", &TActionList::OnChange);
    return info;
}

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() {
    for (TAction* a : std::vector<TAction*>(actions_))
        a->SetActionList(nullptr);
}

void TActionList::UpdateActions() {
    for (TAction* a : std::vector<TAction*>(actions_))
        a->Update();
}

} // namespace nuv
