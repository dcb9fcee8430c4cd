// Actions: TAction (a caption, a state and an OnExecute handler shared by the controls that use
// it) and TActionList, the component that holds them.
#pragma once

#include "platform/Classes.h"

#include <string>
#include <vector>

namespace nuv {

class TActionList;

class TAction : public TComponent {
    NUV_CLASS(TAction)
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TActionList* ActionList() const { return list_; }
    void SetActionList(TActionList* list);
    // Runs OnUpdate, then OnExecute when enabled; true when a handler ran.
    bool Execute();
    bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

private:
    std::string caption_, hint_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    TActionList* list_ = nullptr;
};

class TActionList : public TComponent {
    NUV_CLASS(TActionList)
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;
    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TAction* Actions(int index) const { return actions_.at(static_cast<std::size_t>(index)); }
    void UpdateActions();

    TNotifyEvent OnChange;

private:
    friend class TAction;
    std::vector<TAction*> actions_;
};

} // namespace nuv
