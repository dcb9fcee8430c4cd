#include "controls/ExtPage.h"

namespace nuv {

// OnDrawTab is published by TPageControl already.
const TClassInfo& TExtPageControl::StaticClassInfo() {
    static const TClassInfo info("TExtPageControl", &TPageControl::StaticClassInfo());
    return info;
}

TExtPageControl::TExtPageControl(TComponent* owner) : TPageControl(owner) {
    SetOwnerDraw(true);
}

void TExtPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    // The platform hands over the whole tab and draws no frame round an owner-drawn one; the
    // frame is drawn here, as the tab control draws it round the item it leaves to its owner:
    // raised, the active tab standing 2 pixels higher than the others. The owner then draws
    // inside it.
    TCanvas* c = Canvas();
    TRect frame = rect;
    if (!active)
        frame.Top += 2;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(rect.Left, rect.Top, rect.Right, frame.Top));
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(frame.Left, frame.Bottom);
    c->LineTo(frame.Left, frame.Top + 2);
    c->LineTo(frame.Left + 2, frame.Top);
    c->LineTo(frame.Right - 2, frame.Top);
    c->Pen()->SetColor(cl3DDkShadow);
    c->MoveTo(frame.Right - 2, frame.Top + 1);
    c->LineTo(frame.Right - 1, frame.Top + 2);
    c->LineTo(frame.Right - 1, frame.Bottom);
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(frame.Right - 2, frame.Top + 2);
    c->LineTo(frame.Right - 2, frame.Bottom);
    const TRect item = Rect(frame.Left + 1, frame.Top + 1, frame.Right - 2, frame.Bottom);
    if (OnDrawTab.Assigned())
        OnDrawTab(this, tabIndex, item, active);
    else
        DrawTabDefault(tabIndex, item, active);
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
