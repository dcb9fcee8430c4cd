#include "controls/NuRadioGroup.h"

#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/PropGroups.h"

#include <algorithm>

namespace nuv {

// ---------------------------------------------------------------------------------------------
// TNuGroupButton

const TClassInfo& TNuGroupButton::StaticClassInfo() {
    static const TClassInfo info("TNuGroupButton", &TNuRadioButton::StaticClassInfo());
    return info;
}

TNuGroupButton::TNuGroupButton(TNuRadioGroup* group) : TNuRadioButton(group), group_(group) {
    group->buttons_.push_back(this);
    SetVisible(false);
    SetEnabled(group->Enabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent(group, &TNuRadioGroup::ButtonClick);
    SetParent(group);
}

TNuGroupButton::~TNuGroupButton() {
    auto& list = group_->buttons_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TNuGroupButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        // One click at a time: a handler that clicks again is not followed into.
        if (inClick_ || !group_->CanModify())
            return;
        TComponentRef<TNuGroupButton> self(this);
        inClick_ = true;
        try {
            TNuRadioButton::WndProc(m);
        } catch (const std::exception& e) {
            if (Application != nullptr)
                Application->HandleException(this, e);
        }
        if (self)
            inClick_ = false;
        return;
    }
    TNuRadioButton::WndProc(m);
}

void TNuGroupButton::KeyPress(TKeyChar& key) {
    TComponentRef<TNuGroupButton> self(this);
    TNuRadioButton::KeyPress(key);
    if (!self)
        return;
    TNuRadioGroup* group = group_;
    group->KeyPress(key);
    if ((key == 8 || key == U' ') && !group->CanModify())
        key = 0;
}

void TNuGroupButton::KeyDown(Word& key, TShiftState shift) {
    TComponentRef<TNuGroupButton> self(this);
    TNuRadioButton::KeyDown(key, shift);
    if (self)
        group_->KeyDown(key, shift);
}

// ---------------------------------------------------------------------------------------------
// TNuRadioGroup

const TClassInfo& TNuRadioGroup::StaticClassInfo() {
    using C = TNuRadioGroup;
    static const TClassInfo info = [] {
        TClassInfo i("TNuRadioGroup", &TCustomGroupBox::StaticClassInfo());
        AddStandardProps(i, {"Align", "Caption", "Color"});
        i.Int<C>("Columns", &C::Columns, &C::SetColumns);
        AddStandardProps(i, {"Cursor", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                             "Height", "Hint"});
        i.Int<C>("ItemIndex", &C::ItemIndex, &C::SetItemIndex);
        i.Object<C, TStrings>("Items", "TStrings", &C::Items, &C::SetItems);
        AddStandardProps(i, {"Left",           "ParentColor", "ParentFont",
                             "ParentShowHint", "PopupMenu",   "ShowHint",
                             "TabOrder",       "TabStop",     "Top",
                             "Visible",        "Width",       "OnClick",
                             "OnContextPopup", "OnDragDrop",  "OnDragOver",
                             "OnEndDock",      "OnEndDrag",   "OnEnter",
                             "OnExit",         "OnStartDock", "OnStartDrag"});
        return i;
    }();
    return info;
}

TNuRadioGroup::TNuRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TStringList>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csSetCaption, csDoubleClicks});
    SetTabStop(false);
    items_->OnChange = TNotifyEvent(this, &TNuRadioGroup::ItemsChange);
}

TNuRadioGroup::~TNuRadioGroup() {
    items_->OnChange = nullptr;
    // The buttons are owned and freed by this group as components; they must not reach
    // back into the list while it goes.
    std::vector<TNuGroupButton*> buttons = buttons_;
    buttons_.clear();
    for (TNuGroupButton* b : buttons)
        b->Free();
}

TNuGroupButton* TNuRadioGroup::Buttons(int index) const {
    if (index < 0 || index >= ButtonCount())
        throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
    return buttons_[static_cast<std::size_t>(index)];
}

void TNuRadioGroup::SetItems(TStrings* value) {
    items_->Assign(value);
}

void TNuRadioGroup::ItemsChange(TObject*) {
    if (Reading())
        return;
    itemIndex_ = std::min(itemIndex_, items_->Count() - 1);
    UpdateButtons();
}

void TNuRadioGroup::SetItemIndex(int value) {
    if (Reading()) {
        itemIndex_ = value;
        return;
    }
    value = std::clamp(value, -1, ButtonCount() - 1);
    if (value == itemIndex_)
        return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount())
        buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(false);
    itemIndex_ = value;
    if (value >= 0)
        buttons_[static_cast<std::size_t>(value)]->SetChecked(true);
}

void TNuRadioGroup::SetColumns(int value) {
    value = std::clamp(value, 1, 16);
    if (value == columns_)
        return;
    columns_ = value;
    ArrangeButtons();
    Invalidate();
}

void TNuRadioGroup::ButtonClick(TObject* sender) {
    if (updating_)
        return;
    auto it = std::find(buttons_.begin(), buttons_.end(), sender);
    if (it == buttons_.end())
        return;
    itemIndex_ = static_cast<int>(it - buttons_.begin());
    Click();
}

void TNuRadioGroup::UpdateButtons() {
    const int count = items_->Count();
    while (ButtonCount() < count)
        new TNuGroupButton(this);
    while (ButtonCount() > count)
        buttons_.back()->Free();
    for (int i = 0; i < count; ++i)
        buttons_[static_cast<std::size_t>(i)]->SetCaption(items_->Get(i));
    if (itemIndex_ >= 0 && itemIndex_ < count) {
        updating_ = true;
        buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(true);
        updating_ = false;
    }
    ArrangeButtons();
    Invalidate();
}

void TNuRadioGroup::ArrangeButtons() {
    if (buttons_.empty() || Reading())
        return;
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    const int textHeight = c->TextHeight("0");
    const int count = ButtonCount();
    const int rows = (count + columns_ - 1) / columns_;
    const int columnWidth = (Width() - 10) / columns_;
    const int space = Height() - textHeight - 5;
    const int rowHeight = space / rows;
    const int topOffset = (space % rows) / 2 + textHeight + 1;
    for (int i = 0; i < count; ++i) {
        TNuGroupButton* b = buttons_[static_cast<std::size_t>(i)];
        int left = (i / rows) * columnWidth + 8;
        if (IsRightToLeft())
            left = ClientWidth() - left - columnWidth;
        b->SetBounds(left, (i % rows) * rowHeight + topOffset, columnWidth, rowHeight);
        b->SetVisible(true);
    }
}

void TNuRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    // Items and ItemIndex were stored as read; the buttons are built from them now.
    itemIndex_ = std::clamp(itemIndex_, -1, items_->Count() - 1);
    UpdateButtons();
}

void TNuRadioGroup::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_ENABLEDCHANGED:
        TCustomGroupBox::WndProc(m);
        for (TNuGroupButton* b : buttons_)
            b->SetEnabled(Enabled());
        return;
    case CM_FONTCHANGED:
    case WM_SIZE:
        TCustomGroupBox::WndProc(m);
        ArrangeButtons();
        return;
    default:
        TCustomGroupBox::WndProc(m);
    }
}

} // namespace nuv
