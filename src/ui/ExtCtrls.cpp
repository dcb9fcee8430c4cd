#include "ui/ExtCtrls.h"

#include "ui/PropGroups.h"

namespace nuv {

void Frame3D(TCanvas* c, TRect& r, TColor top, TColor bottom, int width) {
    for (int i = 0; i < width; ++i) {
        --r.Bottom;
        --r.Right;
        c->Pen()->SetColor(top);
        c->MoveTo(r.Left, r.Bottom);
        c->LineTo(r.Left, r.Top);
        c->LineTo(r.Right, r.Top);
        c->Pen()->SetColor(bottom);
        c->LineTo(r.Right, r.Bottom);
        c->LineTo(r.Left - 1, r.Bottom);
        InflateRect(r, -1, -1);
        ++r.Bottom;
        ++r.Right;
    }
}

const TClassInfo& TCustomPanel::StaticClassInfo() {
    static const TClassInfo info("TCustomPanel", &TCustomControl::StaticClassInfo());
    return info;
}

const TClassInfo& TPanel::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TPanel", &TCustomPanel::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgCaption | pgColor | pgFont | pgTab | pgClick |
                                pgDblClick | pgMouse | pgFocus | pgDrag | pgDock | pgDockSite |
                                pgResize);
        const std::vector<std::string> cuts{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
        i.Enum<TCustomPanel>("Alignment", "TAlignment",
                             {"taLeftJustify", "taRightJustify", "taCenter"},
                             &TCustomPanel::Alignment, &TCustomPanel::SetAlignment);
        i.Enum<TCustomPanel>("BevelInner", "TPanelBevel", cuts, &TCustomPanel::BevelInner,
                             &TCustomPanel::SetBevelInner);
        i.Enum<TCustomPanel>("BevelOuter", "TPanelBevel", cuts, &TCustomPanel::BevelOuter,
                             &TCustomPanel::SetBevelOuter);
        i.Int<TCustomPanel>("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth,
                            "TBevelWidth");
        i.Int<TCustomPanel>("BorderWidth", &TCustomPanel::BorderWidth,
                            &TCustomPanel::SetBorderWidth, "TBorderWidth");
        return i;
    }();
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque, csDoubleClicks, csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    SetParentColor(true);
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
    bevelInner_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelOuter(TBevelCut v) {
    bevelOuter_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelWidth(int v) {
    bevelWidth_ = std::max(1, v);
    Realign();
    Invalidate();
}
void TCustomPanel::SetBorderWidth(int v) {
    borderWidth_ = std::max(0, v);
    Realign();
    Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle v) {
    borderStyle_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& r) const {
    int bevel =
        (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    if (borderStyle_ == TBorderStyle::bsSingle)
        bevel += 1;
    InflateRect(r, -(borderWidth_ + bevel), -(borderWidth_ + bevel));
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    if (borderStyle_ == TBorderStyle::bsSingle)
        Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace)
            top = bottom = Color();
        Frame3D(c, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    InflateRect(r, -borderWidth_, -borderWidth_);
    bevel(bevelInner_);
    std::string text = Caption();
    if (!text.empty()) {
        c->Font()->Assign(Font());
        if (!Enabled())
            c->Font()->SetColor(clGrayText);
        c->Brush()->SetStyle(bsClear);
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
                         (alignment_ == taCenter         ? DT_CENTER
                          : alignment_ == taRightJustify ? DT_RIGHT
                                                         : DT_LEFT);
        c->DrawText(text, r, flags);
    }
}

void TCustomPanel::WndProc(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_COLORCHANGED)
        Invalidate();
    TCustomControl::WndProc(m);
}

} // namespace nuv
