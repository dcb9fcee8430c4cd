#include "controls/ExtPage.h"

namespace nuv {

// OnDrawTab is published by TPageControl already.
const TClassInfo& TExtPageControl::StaticClassInfo() {
    static const TClassInfo info("TExtPageControl", &TPageControl::StaticClassInfo());
    return info;
}

TExtPageControl::TExtPageControl(TComponent* owner) : TPageControl(owner) { SetOwnerDraw(true); }

void TExtPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    if (OnDrawTab.Assigned())
        OnDrawTab(this, tabIndex, rect, active);
    else
        DrawTabDefault(tabIndex, rect, active);
}

void TExtPageControl::DrawTabDefault(int tabIndex, const TRect& rect, bool active) {
    TCanvas* c = Canvas();
    TRect r = rect;
    TFontStyles style = c->Font()->Style();
    if (active) {
        InflateRect(r, -2, -2);
        c->Font()->SetColor(clCaptionText);
        c->Font()->SetStyle(style + TFontStyles{fsBold});
        c->Brush()->SetColor(clActiveCaption);
    } else {
        c->Font()->SetColor(clInactiveCaptionText);
        c->Font()->SetStyle(style - TFontStyles{fsBold});
        c->Brush()->SetColor(clInactiveCaption);
    }
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    if (!active)
        r.Top += 2;
    // The tab index counts the visible tabs only.
    TTabSheet* page = nullptr;
    for (int i = 0, visible = 0; i < PageCount(); ++i) {
        if (!Pages(i)->TabVisible())
            continue;
        if (visible++ == tabIndex) {
            page = Pages(i);
            break;
        }
    }
    if (page == nullptr)
        return;
    c->Brush()->SetStyle(bsClear);
    c->DrawText(page->Caption(), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    c->Brush()->SetStyle(bsSolid);
}

} // namespace nuv
