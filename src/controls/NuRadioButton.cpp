#include "controls/NuRadioButton.h"

#include "ui/Menus.h"
#include "ui/PropGroups.h"

#include <algorithm>
#include <vector>

namespace nuv {

int CaptionIndent(int fontSize) {
    struct Step {
        int upTo;
        int indent;
    };
    static constexpr Step steps[] = {{8, 17},  {15, 19}, {17, 20}, {23, 21}, {29, 23},
                                     {35, 25}, {41, 27}, {43, 29}, {60, 31}, {80, 39}};
    if (fontSize >= 1)
        for (const Step& s : steps)
            if (fontSize <= s.upTo)
                return s.indent;
    return 44;
}

const TClassInfo& TNuRadioButton::StaticClassInfo() {
    using C = TNuRadioButton;
    static const TClassInfo info = [] {
        TClassInfo i("TNuRadioButton", &TButtonControl::StaticClassInfo());
        i.Enum<C>("Alignment", "TLeftRight", {"taLeftJustify", "taRightJustify"}, &C::Alignment,
                  &C::SetAlignment);
        AddStandardProps(i, {"Caption"});
        i.Bool<C>("Checked", &C::Checked, &C::SetChecked);
        AddStandardProps(i, {"Color"});
        i.Bool<C>("Ctl3D", &C::Ctl3D, &C::SetCtl3D);
        AddStandardProps(i, {"Cursor", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                             "Height", "Hint", "Left", "ParentColor"});
        i.Bool<C>("ParentCtl3D", &C::ParentCtl3D, &C::SetParentCtl3D);
        AddStandardProps(i, {"ParentFont",  "ParentShowHint", "PopupMenu",
                             "ShowHint",    "TabOrder",       "TabStop",
                             "Top",         "Visible",        "Width",
                             "OnClick",     "OnContextPopup", "OnDblClick",
                             "OnDragDrop",  "OnDragOver",     "OnEndDock",
                             "OnEndDrag",   "OnEnter",        "OnExit",
                             "OnKeyDown",   "OnKeyPress",     "OnKeyUp",
                             "OnMouseDown", "OnMouseMove",    "OnMouseUp",
                             "OnStartDock", "OnStartDrag"});
        return i;
    }();
    return info;
}

TNuRadioButton::TNuRadioButton(TComponent* owner)
    : TButtonControl(owner, TButtonKind::bkRadio), canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 113, 17);
    SetTabStop(false);
    SetParentColor(true);
    SetNativeChecked(0);
}

TNuRadioButton::~TNuRadioButton() = default;

void TNuRadioButton::SetAlignment(TAlignment value) {
    if (alignment_ == value)
        return;
    alignment_ = value;
    SetNativeLeftText(value == taLeftJustify);
    Invalidate();
}

void TNuRadioButton::SetCtl3D(bool value) {
    parentCtl3D_ = false;
    if (ctl3D_ == value)
        return;
    ctl3D_ = value;
    Invalidate();
}

void TNuRadioButton::SetChecked(bool value) {
    if (checked_ == value)
        return;
    checked_ = value;
    SetTabStop(value);
    SetNativeChecked(value ? 1 : 0);
    if (!value)
        return;
    TComponentRef<TNuRadioButton> self(this);
    if (TWinControl* parent = Parent()) {
        std::vector<TNuRadioButton*> siblings;
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TNuRadioButton*>(parent->Controls(i));
                r != nullptr && r != this)
                siblings.push_back(r);
        for (TNuRadioButton* r : siblings)
            r->SetChecked(false);
    }
    if (self && !ClicksDisabled())
        Click();
}

void TNuRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HiWord(m.WParam) == BN_CLICKED)
            SetChecked(true);
        else if (HiWord(m.WParam) == BN_DOUBLECLICKED)
            DblClick();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(m.WParam)) && CanFocus()) {
            // Focusing a radio button from the keyboard selects it, as Windows does.
            TComponentRef<TNuRadioButton> self(this);
            SetFocus();
            if (self && Focused())
                SetChecked(true);
            m.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        TButtonControl::WndProc(m);
        CaptionRepaint();
        return;
    case CM_ENABLEDCHANGED:
        TButtonControl::WndProc(m);
        Repaint();
        return;
    default:
        break;
    }
    TButtonControl::WndProc(m);
}

void TNuRadioButton::CaptionRepaint() {
    TCanvas* c = Canvas();
    if (!c->HasSurface())
        return;
    c->Font()->Assign(Font());
    const int indent = CaptionIndent(Font()->Size());
    TRect r = ClientRect();
    // With the caption on the left the mark is at the right edge; the caption keeps clear of it.
    if (alignment_ == taLeftJustify)
        r.Right -= indent;
    else
        r.Left += indent;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->Pen()->SetColor(Color());
    // The fill reaches 4 pixels beyond the caption's room, as far as the mark: with the
    // caption on the left it covers everything up to the mark, where the platform put its
    // own copy of the caption.
    TRect fill = Rect(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4);
    if (alignment_ == taLeftJustify)
        fill.Right = ClientWidth() - PlatformMarkWidth;
    else
        fill.Left = std::max(fill.Left, PlatformMarkWidth);
    c->FillRect(fill);
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    const std::string text = Caption();
    c->Brush()->SetStyle(bsClear);
    c->DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    c->Brush()->SetStyle(bsSolid);
    // The fill above covers the platform's focus mark; draw it again round the caption.
    if (Focused() && !text.empty()) {
        TRect extent = Rect(0, 0, 0, 0);
        c->DrawText(text, extent, DT_SINGLELINE | DT_CALCRECT);
        const int top = r.Top + (r.Height() - extent.Height()) / 2;
        c->DrawFocusRect(Rect(r.Left - 1, top - 1, std::min(r.Right, r.Left + extent.Width() + 1),
                              top + extent.Height() + 1));
    }
}

} // namespace nuv
