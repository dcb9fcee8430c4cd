// The status bar and its panels, drawn by the control itself.
#include "ui/ComCtrls.h"

#include "ui/ExtCtrls.h"
#include "ui/PropGroups.h"
#include "ui/qt/QtBridge.h"

#include <algorithm>

namespace nuv {

const TClassInfo& TStatusPanel::StaticClassInfo() {
    static const TClassInfo info =
        TClassInfo("TStatusPanel", &TCollectionItem::StaticClassInfo())
            .Str<TStatusPanel>("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
            .Int<TStatusPanel>("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
    return info;
}

void TStatusPanel::SetText(const std::string& v) {
    text_ = v;
    Changed(false);
}
void TStatusPanel::SetWidth(int v) {
    width_ = v;
    Changed(false);
}
void TStatusPanel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    bevel_ = v;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
        text_ = p->text_;
        width_ = p->width_;
        alignment_ = p->alignment_;
        bevel_ = p->bevel_;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

const TClassInfo& TStatusPanels::StaticClassInfo() {
    static const TClassInfo info("TStatusPanels", &TCollection::StaticClassInfo());
    return info;
}

TStatusPanel* TStatusPanels::Add() {
    auto* p = new TStatusPanel(this);
    Update(nullptr);
    return p;
}

void TStatusPanels::Update(TCollectionItem*) {
    if (owner_ != nullptr)
        owner_->Invalidate();
}

const TClassInfo& TStatusBar::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i("TStatusBar", &TCustomControl::StaticClassInfo());
        AddStandardProps(i, pgControl | pgAlign | pgColor | pgFont | pgClick | pgDblClick |
                                pgMouse | pgDrag | pgDock | pgResize);
        i.Object<TStatusBar, TStatusPanels>("Panels", "TStatusPanels", &TStatusBar::Panels,
                                            &TStatusBar::SetPanels);
        i.Bool<TStatusBar>("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
        i.Str<TStatusBar>("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        i.Bool<TStatusBar>("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
        return i;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner)
    : TCustomControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    panels_.reset();
}

void TStatusBar::SetSimplePanel(bool v) {
    simplePanel_ = v;
    Invalidate();
}
void TStatusBar::SetSimpleText(const std::string& v) {
    simpleText_ = v;
    Invalidate();
}
void TStatusBar::SetSizeGrip(bool v) {
    sizeGrip_ = v;
    Invalidate();
}

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Font()->Assign(Font());
    auto drawPanel = [&](TRect pr, const std::string& text, TAlignment a, TStatusPanelBevel bevel) {
        TRect fr = pr;
        if (bevel == pbLowered)
            Frame3D(c, fr, clBtnShadow, clBtnHighlight, 1);
        else if (bevel == pbRaised)
            Frame3D(c, fr, clBtnHighlight, clBtnShadow, 1);
        fr.Left += 2;
        fr.Right -= 2;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(text, fr,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                        (a == taCenter         ? DT_CENTER
                         : a == taRightJustify ? DT_RIGHT
                                               : DT_LEFT));
        c->Brush()->SetStyle(bsSolid);
    };
    int top = 2;
    if (simplePanel_ || panels_->Count() == 0) {
        drawPanel(Rect(0, top, r.Right, r.Bottom), simpleText_, taLeftJustify, pbLowered);
        return;
    }
    int x = 0;
    for (int i = 0; i < panels_->Count(); ++i) {
        TStatusPanel* p = panels_->Items(i);
        int right = i == panels_->Count() - 1 ? r.Right : x + p->Width();
        drawPanel(Rect(x, top, right - 2, r.Bottom), p->Text(), p->Alignment(), p->Bevel());
        x = right;
    }
}

} // namespace nuv
