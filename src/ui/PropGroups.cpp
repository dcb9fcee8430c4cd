#include "ui/PropGroups.h"

#include "ui/Menus.h"

#include <algorithm>
#include <iterator>

namespace nuv {

namespace {

// One published property that many control classes share: its name, its group and how it is
// added (with its type name).
struct StandardProp {
    const char* name;
    unsigned group;
    void (*add)(TClassInfo& i);
};

// In the order the groups add them.
const StandardProp StandardProps[] = {
    {"Align", pgAlign,
     [](TClassInfo& i) {
         i.Enum<TControl>(
             "Align", "TAlign",
             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
             &TControl::Align, &TControl::SetAlign);
     }},
    {"Caption", pgCaption,
     [](TClassInfo& i) {
         i.Str<TControl>("Caption", &TControl::Caption, &TControl::SetCaption, "TCaption");
     }},
    {"Color", pgColor,
     [](TClassInfo& i) {
         i.Int<TControl>("Color", &TControl::Color, &TControl::SetColor, "TColor");
     }},
    {"ParentColor", pgColor,
     [](TClassInfo& i) {
         i.Bool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
     }},
    {"Cursor", pgVisible,
     [](TClassInfo& i) {
         i.Int<TControl>("Cursor", &TControl::Cursor, &TControl::SetCursor, "TCursor");
     }},
    {"Enabled", pgVisible,
     [](TClassInfo& i) { i.Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled); }},
    {"DragCursor", pgDrag,
     [](TClassInfo& i) {
         i.Int<TControl>("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, "TCursor");
     }},
    {"DragKind", pgDrag,
     [](TClassInfo& i) {
         i.Enum<TControl>("DragKind", "TDragKind", {"dkDrag", "dkDock"}, &TControl::DragKind,
                          &TControl::SetDragKind);
     }},
    {"DragMode", pgDrag,
     [](TClassInfo& i) {
         i.Enum<TControl>("DragMode", "TDragMode", {"dmManual", "dmAutomatic"}, &TControl::DragMode,
                          &TControl::SetDragMode);
     }},
    {"DockSite", pgDockSite,
     [](TClassInfo& i) {
         i.Bool<TWinControl>("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite);
     }},
    {"Font", pgFont,
     [](TClassInfo& i) {
         i.Object<TControl, TFont>("Font", "TFont", &TControl::Font, &TControl::SetFont);
     }},
    {"ParentFont", pgFont,
     [](TClassInfo& i) {
         i.Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
     }},
    {"Height", pgBounds,
     [](TClassInfo& i) { i.Int<TControl>("Height", &TControl::Height, &TControl::SetHeight); }},
    {"Left", pgBounds,
     [](TClassInfo& i) { i.Int<TControl>("Left", &TControl::Left, &TControl::SetLeft); }},
    {"Top", pgBounds,
     [](TClassInfo& i) { i.Int<TControl>("Top", &TControl::Top, &TControl::SetTop); }},
    {"Width", pgBounds,
     [](TClassInfo& i) { i.Int<TControl>("Width", &TControl::Width, &TControl::SetWidth); }},
    {"Hint", pgHint,
     [](TClassInfo& i) { i.Str<TControl>("Hint", &TControl::Hint, &TControl::SetHint); }},
    {"ParentShowHint", pgHint,
     [](TClassInfo& i) {
         i.Bool<TControl>("ParentShowHint", &TControl::ParentShowHint,
                          &TControl::SetParentShowHint);
     }},
    {"ShowHint", pgHint,
     [](TClassInfo& i) {
         i.Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
     }},
    {"PopupMenu", pgPopup,
     [](TClassInfo& i) {
         i.Object<TControl, TPopupMenu>("PopupMenu", "TPopupMenu", &TControl::PopupMenu,
                                        &TControl::SetPopupMenu);
     }},
    {"TabOrder", pgTab,
     [](TClassInfo& i) {
         i.Int<TWinControl>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder,
                            "TTabOrder");
     }},
    {"TabStop", pgTab,
     [](TClassInfo& i) {
         i.Bool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
     }},
    {"Text", pgText,
     [](TClassInfo& i) {
         i.Str<TControl>("Text", &TControl::Text, &TControl::SetText, "TCaption");
     }},
    {"Visible", pgVisible,
     [](TClassInfo& i) { i.Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible); }},
    {"OnClick", pgClick,
     [](TClassInfo& i) { i.Event<TControl>("OnClick", "TNotifyEvent", &TControl::OnClick); }},
    {"OnContextPopup", pgPopup,
     [](TClassInfo& i) {
         i.Event<TControl>("OnContextPopup", "TContextPopupEvent", &TControl::OnContextPopup);
     }},
    {"OnDblClick", pgDblClick,
     [](TClassInfo& i) { i.Event<TControl>("OnDblClick", "TNotifyEvent", &TControl::OnDblClick); }},
    {"OnDockDrop", pgDockSite,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnDockDrop", "TDockDropEvent", &TWinControl::OnDockDrop);
     }},
    {"OnDockOver", pgDockSite,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnDockOver", "TDockOverEvent", &TWinControl::OnDockOver);
     }},
    {"OnDragDrop", pgDrag,
     [](TClassInfo& i) {
         i.Event<TControl>("OnDragDrop", "TDragDropEvent", &TControl::OnDragDrop);
     }},
    {"OnDragOver", pgDrag,
     [](TClassInfo& i) {
         i.Event<TControl>("OnDragOver", "TDragOverEvent", &TControl::OnDragOver);
     }},
    {"OnEndDock", pgDock,
     [](TClassInfo& i) { i.Event<TControl>("OnEndDock", "TEndDragEvent", &TControl::OnEndDock); }},
    {"OnEndDrag", pgDrag,
     [](TClassInfo& i) { i.Event<TControl>("OnEndDrag", "TEndDragEvent", &TControl::OnEndDrag); }},
    {"OnEnter", pgFocus,
     [](TClassInfo& i) { i.Event<TWinControl>("OnEnter", "TNotifyEvent", &TWinControl::OnEnter); }},
    {"OnExit", pgFocus,
     [](TClassInfo& i) { i.Event<TWinControl>("OnExit", "TNotifyEvent", &TWinControl::OnExit); }},
    {"OnGetSiteInfo", pgDockSite,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnGetSiteInfo", "TGetSiteInfoEvent", &TWinControl::OnGetSiteInfo);
     }},
    {"OnKeyDown", pgKeys,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnKeyDown", "TKeyEvent", &TWinControl::OnKeyDown);
     }},
    {"OnKeyPress", pgKeys,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnKeyPress", "TKeyPressEvent", &TWinControl::OnKeyPress);
     }},
    {"OnKeyUp", pgKeys,
     [](TClassInfo& i) { i.Event<TWinControl>("OnKeyUp", "TKeyEvent", &TWinControl::OnKeyUp); }},
    {"OnMouseDown", pgMouse,
     [](TClassInfo& i) {
         i.Event<TControl>("OnMouseDown", "TMouseEvent", &TControl::OnMouseDown);
     }},
    {"OnMouseMove", pgMouse,
     [](TClassInfo& i) {
         i.Event<TControl>("OnMouseMove", "TMouseMoveEvent", &TControl::OnMouseMove);
     }},
    {"OnMouseUp", pgMouse,
     [](TClassInfo& i) { i.Event<TControl>("OnMouseUp", "TMouseEvent", &TControl::OnMouseUp); }},
    {"OnResize", pgResize,
     [](TClassInfo& i) { i.Event<TControl>("OnResize", "TNotifyEvent", &TControl::OnResize); }},
    {"OnStartDock", pgDock,
     [](TClassInfo& i) {
         i.Event<TControl>("OnStartDock", "TStartDockEvent", &TControl::OnStartDock);
     }},
    {"OnStartDrag", pgDrag,
     [](TClassInfo& i) {
         i.Event<TControl>("OnStartDrag", "TStartDragEvent", &TControl::OnStartDrag);
     }},
    {"OnUnDock", pgDockSite,
     [](TClassInfo& i) {
         i.Event<TWinControl>("OnUnDock", "TUnDockEvent", &TWinControl::OnUnDock);
     }},
};

} // namespace

void AddStandardProps(TClassInfo& info, unsigned groups) {
    for (const StandardProp& p : StandardProps)
        if (p.group & groups)
            p.add(info);
}

void AddStandardProps(TClassInfo& info, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        auto it = std::find_if(std::begin(StandardProps), std::end(StandardProps),
                               [name](const StandardProp& p) { return p.name == name; });
        if (it == std::end(StandardProps))
            throw EInvalidOperation("No standard property " + std::string(name) + " for class " +
                                    info.Name());
        it->add(info);
    }
}

} // namespace nuv
