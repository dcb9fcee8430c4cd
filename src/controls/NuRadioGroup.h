// TNuRadioGroup: a captioned frame with one TNuGroupButton per line of Items, laid out in
// Columns columns (filled top to bottom, then left to right); ItemIndex is the checked
// button, -1 for none.
//
// ItemIndex is kept within -1 .. number of buttons - 1, and every change of Items brings it
// below the new count. Setting ItemIndex checks that button and raises OnClick, as a click
// on the button does; Items changes made while the form is being built are applied, with
// the stored ItemIndex, once the form has loaded.
#pragma once

#include "controls/NuRadioButton.h"

#include <memory>
#include <vector>

namespace nuv {

class TNuRadioGroup;

// A button of a TNuRadioGroup, created and freed by the group only. Its clicks go to the
// group; its key presses and key downs go to the button first and then to the group.
class TNuGroupButton : public TNuRadioButton {
    NUV_CLASS(TNuGroupButton)
public:
    explicit TNuGroupButton(TNuRadioGroup* group);
    ~TNuGroupButton() override;
    TNuRadioGroup* Group() const { return group_; }
    void WndProc(TMessage& message) override;

protected:
    void KeyPress(TKeyChar& key) override;
    void KeyDown(Word& key, TShiftState shift) override;

private:
    TNuRadioGroup* group_;
    bool inClick_ = false;
};

class TNuRadioGroup : public TCustomGroupBox {
    NUV_CLASS(TNuRadioGroup)
public:
    explicit TNuRadioGroup(TComponent* owner);
    ~TNuRadioGroup() override;

    TStrings* Items() const { return items_.get(); }
    // Copies the lines.
    void SetItems(TStrings* value);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int value);
    // 1 .. 16 (other values are brought into that range).
    int Columns() const { return columns_; }
    void SetColumns(int value);

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TNuGroupButton* Buttons(int index) const;

    void Loaded() override;
    void WndProc(TMessage& message) override;

protected:
    // Whether the user may change the choice; a read-only group would answer false.
    virtual bool CanModify() const { return true; }
    // A button was clicked: it becomes ItemIndex and the group raises OnClick.
    void ButtonClick(TObject* sender);
    // Makes one button per line, captions them, checks ItemIndex, lays them out.
    void UpdateButtons();
    // Places the buttons in their columns and rows.
    void ArrangeButtons();

private:
    friend class TNuGroupButton;
    bool Reading() const { return ComponentState().Contains(csReading); }
    void ItemsChange(TObject*);

    std::unique_ptr<TStringList> items_;
    std::vector<TNuGroupButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

} // namespace nuv
