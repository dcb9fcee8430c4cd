// TExtPageControl: a page control whose tabs are owner-drawn. Each tab is drawn by OnDrawTab
// when assigned, otherwise by DrawTabDefault: the active tab in the caption colours and bold,
// the others in the inactive caption colours.
#pragma once

#include "ui/ComCtrls.h"

namespace nuv {

class TExtPageControl : public TPageControl {
    NUV_CLASS(TExtPageControl)
public:
    explicit TExtPageControl(TComponent* owner);

    // Draws tab tabIndex (among the visible tabs) in rect on Canvas: the active tab shrunk by
    // 2 pixels on every side, filled with the active caption colour and captioned in bold
    // caption text; an inactive tab filled with the inactive caption colour, its caption in
    // the inactive caption text colour, 2 pixels lower. The caption is centred on one line.
    void DrawTabDefault(int tabIndex, const TRect& rect, bool active);

protected:
    void DrawTab(int tabIndex, const TRect& rect, bool active) override;
};

} // namespace nuv
