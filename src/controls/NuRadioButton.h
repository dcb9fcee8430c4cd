// TNuRadioButton: a radio button that paints its caption a second time itself, with its own
// font and colour, after the platform has painted the control, and repaints at once when it
// is enabled or disabled. The caption starts CaptionIndent(font size) pixels from the left
// edge (the room the radio mark takes at that size) and is centred vertically on one line; a
// disabled button draws it in the grey-text colour.
//
// Checking a button unchecks every other TNuRadioButton of the same parent, makes the button
// a tab stop and raises OnClick (unless clicks are disabled). The caption's accelerator
// focuses and checks the button.
#pragma once

#include "ui/StdCtrls.h"

#include <memory>

namespace nuv {

// Horizontal room, in pixels, that the check or radio mark takes before the caption, by font
// size in points: 1-8 → 17, 9-15 → 19, 16-17 → 20, 18-23 → 21, 24-29 → 23, 30-35 → 25,
// 36-41 → 27, 42-43 → 29, 44-60 → 31, 61-80 → 39, any other size → 44.
int CaptionIndent(int fontSize);

// Width of the check or radio mark that the platform draws at the edge of the control. The
// fill under a repainted caption stops short of it, so the mark stays whole.
inline constexpr int PlatformMarkWidth = 14;

class TNuRadioButton : public TButtonControl {
    NUV_CLASS(TNuRadioButton)
public:
    explicit TNuRadioButton(TComponent* owner);
    ~TNuRadioButton() override;

    // taRightJustify (default): mark left, caption right of it; taLeftJustify: caption left.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    // 3-D look (kept for the forms that store it; the platform draws one look).
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value) { parentCtl3D_ = value; }

    TCanvas* Canvas() const { return canvas_.get(); }
    void WndProc(TMessage& message) override;

protected:
    // Draws the caption over the platform's painting (during WM_PAINT).
    virtual void CaptionRepaint();

private:
    std::unique_ptr<TControlCanvas> canvas_;
    TAlignment alignment_ = taRightJustify;
    bool checked_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
};

} // namespace nuv
