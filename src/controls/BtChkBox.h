// TBitCheckBox: a check box that paints itself with one bitmap per state.
//
// The three pictures (CheckedGlyph, GrayedGlyph, UncheckedGlyph) default to the built-in
// 19 x 14 glyphs "CHECKED", "GRAYED" and "UNCHECKED" (LoadCheckBoxGlyph). A picture may hold
// one or two frames side by side; the second one is drawn while the box is disabled. With a
// single frame a disabled box draws its picture washed out, so that it reads as disabled.
// The picture sits at the left (Alignment taRightJustify, the default) or at the right
// (taLeftJustify), the caption beside it; "&" marks the accelerator.
//
// A click, the space key and the caption's accelerator toggle the state: unchecked → grayed
// (AllowGrayed) or checked, checked → unchecked, grayed → checked; then OnClick runs and the
// box takes the focus. Setting State or Checked in code raises no OnClick.
#pragma once

#include "ui/Controls.h"
#include "ui/StdCtrls.h"

#include <memory>
#include <string>

namespace nuv {

class TBitCheckBox : public TCustomControl {
    NUV_CLASS(TBitCheckBox)
public:
    explicit TBitCheckBox(TComponent* owner);
    ~TBitCheckBox() override;

    // taRightJustify: picture left, caption right of it; taLeftJustify: the other way round.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState value);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }

    // The pictures of the states. Setting copies the bitmap; nullptr loads the built-in one.
    // A picture whose width is a whole multiple of its height sets the state's frame count.
    TBitmap* CheckedGlyph() const { return checkedGlyph_.get(); }
    void SetCheckedGlyph(TBitmap* value);
    TBitmap* GrayedGlyph() const { return grayedGlyph_.get(); }
    void SetGrayedGlyph(TBitmap* value);
    TBitmap* UncheckedGlyph() const { return uncheckedGlyph_.get(); }
    void SetUncheckedGlyph(TBitmap* value);
    // Frames per picture, 1 or 2 (other values are brought into that range).
    int CheckedNumGlyphs() const { return checkedNum_; }
    void SetCheckedNumGlyphs(int value);
    int GrayedNumGlyphs() const { return grayedNum_; }
    void SetGrayedNumGlyphs(int value);
    int UncheckedNumGlyphs() const { return uncheckedNum_; }
    void SetUncheckedNumGlyphs(int value);

    // 3-D look: a disabled caption is drawn engraved.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value);

    // Toggle, OnClick, then the focus.
    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    // Advances the state: unchecked → grayed (AllowGrayed) or checked, checked → unchecked,
    // grayed → checked.
    virtual void Toggle();
    void Paint() override;
    void KeyPress(TKeyChar& key) override;
    void FontChanged() override;

private:
    enum GlyphSlot { slotChecked, slotGrayed, slotUnchecked };
    void AssignGlyph(GlyphSlot slot, TBitmap* value);
    bool IsAccelerator(char32_t ch) const;
    TRect CaptionRect(TCanvas* canvas, int glyphWidth) const;

    TAlignment alignment_ = taRightJustify;
    bool allowGrayed_ = false;
    TCheckBoxState state_ = cbUnchecked;
    std::unique_ptr<TBitmap> checkedGlyph_;
    std::unique_ptr<TBitmap> grayedGlyph_;
    std::unique_ptr<TBitmap> uncheckedGlyph_;
    int checkedNum_ = 1;
    int grayedNum_ = 1;
    int uncheckedNum_ = 1;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
};

// Loads a built-in check-box picture by its resource name ("CHECKED", "GRAYED",
// "UNCHECKED"; 19 x 14 pixels, one frame, 16 colours, the transparent colour in the
// bottom-left pixel). False, with the bitmap unchanged, for any other name.
bool LoadCheckBoxGlyph(const std::string& name, TBitmap* bitmap);

} // namespace nuv
