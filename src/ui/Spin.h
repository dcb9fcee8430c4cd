// Spin edits: an edit for whole numbers with up and down buttons. The text may hold anything the
// user types (digits and signs); Value reads it as a number (MinValue when it is not one) and the
// value is brought into MinValue..MaxValue when the focus leaves (unless both are 0).
#pragma once

#include "ui/StdCtrls.h"

namespace nuv {

class TSpinEdit : public TCustomEdit {
    NUV_CLASS(TSpinEdit)
public:
    explicit TSpinEdit(TComponent* owner);
    int Value() const;
    void SetValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value) { maxValue_ = value; }
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value);
    void UpClick();
    void DownClick();
    void WndProc(TMessage& message) override;

protected:
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(TKeyChar& key) override;
    LRESULT DialogCode() const override;
    // The value within MinValue..MaxValue (unchanged when both are equal).
    int CheckValue(int value) const;

private:
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
};

} // namespace nuv
