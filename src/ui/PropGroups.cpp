#include "ui/PropGroups.h"

#include "ui/Menus.h"

namespace nuv {

void AddStandardProps(TClassInfo& i, unsigned g) {
    if (g & pgAlign)
        i.Enum<TControl>(
            "Align", "TAlign",
            {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
            &TControl::Align, &TControl::SetAlign);
    if (g & pgCaption)
        i.Str<TControl>("Caption", &TControl::Caption, &TControl::SetCaption, "TCaption");
    if (g & pgColor) {
        i.Int<TControl>("Color", &TControl::Color, &TControl::SetColor, "TColor");
        i.Bool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    }
    if (g & pgVisible) {
        i.Int<TControl>("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
        i.Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled);
    }
    if (g & pgDrag) {
        i.Int<TControl>("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, "TCursor");
        i.Enum<TControl>("DragKind", "TDragKind", {"dkDrag", "dkDock"}, &TControl::DragKind,
                         &TControl::SetDragKind);
        i.Enum<TControl>("DragMode", "TDragMode", {"dmManual", "dmAutomatic"}, &TControl::DragMode,
                         &TControl::SetDragMode);
    }
    if (g & pgDockSite)
        i.Bool<TWinControl>("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite);
    if (g & pgFont) {
        i.Object<TControl, TFont>("Font", "TFont", &TControl::Font, &TControl::SetFont);
        i.Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
    }
    if (g & pgBounds) {
        i.Int<TControl>("Height", &TControl::Height, &TControl::SetHeight);
        i.Int<TControl>("Left", &TControl::Left, &TControl::SetLeft);
        i.Int<TControl>("Top", &TControl::Top, &TControl::SetTop);
        i.Int<TControl>("Width", &TControl::Width, &TControl::SetWidth);
    }
    if (g & pgHint) {
        i.Str<TControl>("Hint", &TControl::Hint, &TControl::SetHint);
        i.Bool<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
        i.Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
    }
    if (g & pgPopup)
        i.Object<TControl, TPopupMenu>("PopupMenu", "TPopupMenu", &TControl::PopupMenu,
                                       &TControl::SetPopupMenu);
    if (g & pgTab) {
        i.Int<TWinControl>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder,
                           "TTabOrder");
        i.Bool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    }
    if (g & pgText)
        i.Str<TControl>("Text", &TControl::Text, &TControl::SetText, "TCaption");
    if (g & pgVisible)
        i.Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible);
    if (g & pgClick)
        i.Event<TControl>("OnClick", "TNotifyEvent", &TControl::OnClick);
    if (g & pgPopup)
        i.Event<TControl>("OnContextPopup", "TContextPopupEvent", &TControl::OnContextPopup);
    if (g & pgDblClick)
        i.Event<TControl>("OnDblClick", "TNotifyEvent", &TControl::OnDblClick);
    if (g & pgDockSite) {
        i.Event<TWinControl>("OnDockDrop", "TDockDropEvent", &TWinControl::OnDockDrop);
        i.Event<TWinControl>("OnDockOver", "TDockOverEvent", &TWinControl::OnDockOver);
    }
    if (g & pgDrag) {
        i.Event<TControl>("OnDragDrop", "TDragDropEvent", &TControl::OnDragDrop);
        i.Event<TControl>("OnDragOver", "TDragOverEvent", &TControl::OnDragOver);
    }
    if (g & pgDock)
        i.Event<TControl>("OnEndDock", "TEndDragEvent", &TControl::OnEndDock);
    if (g & pgDrag)
        i.Event<TControl>("OnEndDrag", "TEndDragEvent", &TControl::OnEndDrag);
    if (g & pgFocus) {
        i.Event<TWinControl>("OnEnter", "TNotifyEvent", &TWinControl::OnEnter);
        i.Event<TWinControl>("OnExit", "TNotifyEvent", &TWinControl::OnExit);
    }
    if (g & pgDockSite)
        i.Event<TWinControl>("OnGetSiteInfo", "TGetSiteInfoEvent", &TWinControl::OnGetSiteInfo);
    if (g & pgKeys) {
        i.Event<TWinControl>("OnKeyDown", "TKeyEvent", &TWinControl::OnKeyDown);
        i.Event<TWinControl>("OnKeyPress", "TKeyPressEvent", &TWinControl::OnKeyPress);
        i.Event<TWinControl>("OnKeyUp", "TKeyEvent", &TWinControl::OnKeyUp);
    }
    if (g & pgMouse) {
        i.Event<TControl>("OnMouseDown", "TMouseEvent", &TControl::OnMouseDown);
        i.Event<TControl>("OnMouseMove", "TMouseMoveEvent", &TControl::OnMouseMove);
        i.Event<TControl>("OnMouseUp", "TMouseEvent", &TControl::OnMouseUp);
    }
    if (g & pgResize)
        i.Event<TControl>("OnResize", "TNotifyEvent", &TControl::OnResize);
    if (g & pgDock)
        i.Event<TControl>("OnStartDock", "TStartDockEvent", &TControl::OnStartDock);
    if (g & pgDrag)
        i.Event<TControl>("OnStartDrag", "TStartDragEvent", &TControl::OnStartDrag);
    if (g & pgDockSite)
        i.Event<TWinControl>("OnUnDock", "TUnDockEvent", &TWinControl::OnUnDock);
}

} // namespace nuv
