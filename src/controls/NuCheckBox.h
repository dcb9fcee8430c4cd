// TNuCheckBox: a check box that paints its caption a second time itself, with its own font
// and colour, after the platform has painted the control, and repaints at once when it is
// enabled or disabled. Otherwise it is the platform's check box.
//
// With the caption on the right (the default) the caption starts CaptionIndent(font size)
// pixels from the left edge, at the top (2 pixels down for a 9-point font). With the caption
// on the left it is right-aligned to an edge estimated from its CP950 byte length (6 pixels a
// byte, shifted by font size; see CaptionRepaint). A disabled box draws its caption in the
// grey-text colour.
#pragma once

#include "ui/StdCtrls.h"

#include <memory>

namespace nuv {

class TNuCheckBox : public TCheckBox {
    NUV_CLASS(TNuCheckBox)
public:
    explicit TNuCheckBox(TComponent* owner);
    ~TNuCheckBox() override;

    TCanvas* Canvas() const { return canvas_.get(); }
    void WndProc(TMessage& message) override;

    // The rectangle the caption is drawn into, in client coordinates (see the top of this file).
    TRect CaptionBounds() const;

protected:
    virtual void CaptionRepaint();

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

} // namespace nuv
