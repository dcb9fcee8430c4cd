// The published properties that many control classes share, each defined once with its type
// name ("TCaption", "TColor", "TFont", ...), for the platform's classes and for control authors
// above it: a property table adds them by group or by name, in the order the class publishes
// them, beside the class's own properties.
#pragma once

#include "ui/Controls.h"

#include <initializer_list>
#include <string_view>

namespace nuv {

enum PropGroup : unsigned {
    pgBounds = 1u << 0,    // Left, Top, Width, Height
    pgVisible = 1u << 1,   // Visible, Enabled, Cursor
    pgHint = 1u << 2,      // Hint, ShowHint, ParentShowHint
    pgFont = 1u << 3,      // Font, ParentFont
    pgColor = 1u << 4,     // Color, ParentColor
    pgTab = 1u << 5,       // TabOrder, TabStop
    pgAlign = 1u << 6,     // Align
    pgCaption = 1u << 7,   // Caption
    pgText = 1u << 8,      // Text
    pgClick = 1u << 9,     // OnClick
    pgDblClick = 1u << 10, // OnDblClick
    pgMouse = 1u << 11,    // OnMouseDown, OnMouseMove, OnMouseUp
    pgKeys = 1u << 12,     // OnKeyDown, OnKeyPress, OnKeyUp
    pgFocus = 1u << 13,    // OnEnter, OnExit
    pgDrag =
        1u << 14, // DragCursor, DragKind, DragMode, OnDragDrop, OnDragOver, OnEndDrag, OnStartDrag
    pgDock = 1u << 15,     // OnEndDock, OnStartDock
    pgDockSite = 1u << 16, // DockSite, OnDockDrop, OnDockOver, OnGetSiteInfo, OnUnDock
    pgPopup = 1u << 17,    // PopupMenu, OnContextPopup
    pgResize = 1u << 18,   // OnResize
};

constexpr unsigned pgControl = pgBounds | pgVisible | pgHint | pgPopup;
constexpr unsigned pgInput = pgControl | pgFont | pgColor | pgTab | pgClick | pgDblClick | pgMouse |
                             pgKeys | pgFocus | pgDrag | pgDock;

// Adds the standard properties of the groups.
void AddStandardProps(TClassInfo& info, unsigned groups);
// Adds the named standard properties in the given order; raises EInvalidOperation for a name
// that is not one of them.
void AddStandardProps(TClassInfo& info, std::initializer_list<std::string_view> names);

} // namespace nuv
