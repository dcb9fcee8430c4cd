// Dragging and docking: one drag at a time, driven by the mouse events that the event routing
// hands over while a drag is on (RouteDragMouse).
#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

namespace nuv {

namespace {

struct DragManager {
    TComponentRef<TControl> source;
    TComponentRef<TControl> target;
    TDragObject* object = nullptr;
    bool ownsObject = false;
    bool started = false;
    bool dock = false;
    bool accepted = false;
    int threshold = 5;
    QPoint start;
};
DragManager g_drag;

TControl* ControlAtGlobal(QPoint global) {
    QWidget* w = QApplication::widgetAt(global);
    return ControlOfWidget(w);
}

void FinishDrag(bool drop, QPoint global);

void StartDrag();

} // namespace

struct TDragAccess {
    static void StartDrag(TControl* c, TDragObject*& o) { c->DoStartDrag(o); }
    static void StartDock(TControl* c, TDragDockObject*& o) { c->DoStartDock(o); }
    static void Over(TControl* c, TObject* src, int x, int y, TDragState st, bool& acc) {
        c->DragOver(src, x, y, st, acc);
    }
    static void Drop(TControl* c, TObject* src, int x, int y) { c->DragDrop(src, x, y); }
    static void End(TControl* c, TObject* t, int x, int y) { c->DoEndDrag(t, x, y); }
    static void EndDock(TControl* c, TObject* t, int x, int y) { c->DoEndDock(t, x, y); }
    static void DockOver(TWinControl* c, TDragDockObject* s, int x, int y, TDragState st,
                         bool& acc) {
        c->DockOver(s, x, y, st, acc);
    }
    static void DockDrop(TWinControl* c, TDragDockObject* s, int x, int y) { c->DockDrop(s, x, y); }
    static bool UnDock(TWinControl* c, TWinControl* t, TControl* client) {
        return c->DoUnDock(t, client);
    }
};

namespace {

void StartDrag() {
    TControl* src = g_drag.source;
    if (src == nullptr)
        return;
    g_drag.started = true;
    TDragObject* obj = nullptr;
    if (g_drag.dock) {
        TDragDockObject* dobj = nullptr;
        TDragAccess::StartDock(src, dobj);
        obj = dobj;
        if (obj == nullptr) {
            obj = new TDragDockObject();
            g_drag.ownsObject = true;
        }
    } else {
        TDragAccess::StartDrag(src, obj);
        if (obj == nullptr) {
            obj = new TDragObject();
            g_drag.ownsObject = true;
        }
    }
    obj->Control = g_drag.source;
    g_drag.object = obj;
    QApplication::setOverrideCursor(Qt::DragMoveCursor);
}

TControl* DockTargetAt(TControl* c) {
    for (; c != nullptr; c = c->Parent())
        if (auto* wc = dynamic_cast<TWinControl*>(c);
            wc != nullptr && wc->DockSite() && wc != g_drag.source.Get())
            return wc;
    return nullptr;
}

void MoveDrag(QPoint global) {
    if (!g_drag.started) {
        if ((global - g_drag.start).manhattanLength() < g_drag.threshold)
            return;
        StartDrag();
    }
    TControl* over = ControlAtGlobal(global);
    if (g_drag.dock)
        over = DockTargetAt(over);
    TControl* old = g_drag.target;
    if (old != over && old != nullptr) {
        TPoint p = old->ScreenToClient({global.x(), global.y()});
        bool acc = false;
        if (g_drag.dock)
            TDragAccess::DockOver(static_cast<TWinControl*>(old),
                                  static_cast<TDragDockObject*>(g_drag.object), p.X, p.Y,
                                  dsDragLeave, acc);
        else
            TDragAccess::Over(old, g_drag.object, p.X, p.Y, dsDragLeave, acc);
    }
    g_drag.target = over;
    g_drag.accepted = false;
    if (over != nullptr) {
        TPoint p = over->ScreenToClient({global.x(), global.y()});
        bool acc = false;
        TDragState st = old == over ? dsDragMove : dsDragEnter;
        if (g_drag.dock)
            TDragAccess::DockOver(static_cast<TWinControl*>(over),
                                  static_cast<TDragDockObject*>(g_drag.object), p.X, p.Y, st, acc);
        else
            TDragAccess::Over(over, g_drag.object, p.X, p.Y, st, acc);
        g_drag.accepted = acc;
    }
    QApplication::changeOverrideCursor(g_drag.accepted ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void FinishDrag(bool drop, QPoint global) {
    TControl* src = g_drag.source;
    bool started = g_drag.started;
    TControl* target = drop && g_drag.accepted ? g_drag.target.Get() : nullptr;
    TDragObject* obj = g_drag.object;
    bool owns = g_drag.ownsObject;
    bool dock = g_drag.dock;
    g_drag = DragManager{};
    if (!started)
        return;
    QApplication::restoreOverrideCursor();
    int x = 0, y = 0;
    if (target != nullptr) {
        TPoint p = target->ScreenToClient({global.x(), global.y()});
        x = p.X;
        y = p.Y;
        obj->Dropped = true;
        if (dock) {
            auto* site = static_cast<TWinControl*>(target);
            auto* dobj = static_cast<TDragDockObject*>(obj);
            TWinControl* oldHost = src != nullptr ? src->HostDockSite() : nullptr;
            bool allow = oldHost == nullptr || TDragAccess::UnDock(oldHost, site, src);
            if (allow && src != nullptr) {
                src->ManualDock(site);
                TDragAccess::DockDrop(site, dobj, x, y);
            } else {
                target = nullptr;
            }
        } else {
            TDragAccess::Drop(target, obj, x, y);
        }
    }
    if (src != nullptr) {
        if (dock)
            TDragAccess::EndDock(src, target, x, y);
        else
            TDragAccess::End(src, target, x, y);
    }
    if (owns)
        delete obj;
}

} // namespace

void TControl::BeginDrag(bool immediate, int threshold) {
    if (g_drag.source != nullptr)
        return;
    g_drag.source = this;
    g_drag.dock = dragKind_ == dkDock;
    g_drag.threshold = threshold < 0 ? 5 : threshold;
    g_drag.start = QCursor::pos();
    if (immediate)
        StartDrag();
}

void TControl::EndDrag(bool drop) {
    if (g_drag.source.Get() == this)
        FinishDrag(drop, QCursor::pos());
}

bool TControl::Dragging() const {
    return g_drag.source.Get() == this && g_drag.started;
}

void TControl::ManualDock(TWinControl* site) {
    hostDockSite_ = site;
    SetParent(site);
    if (site != nullptr && align_ == alNone)
        SetAlign(alClient);
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
    OnStartDrag(this, dragObject);
}
void TControl::DoEndDrag(TObject* target, int x, int y) {
    OnEndDrag(this, target, x, y);
}
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = OnDragOver.Assigned();
    OnDragOver(this, source, x, y, state, accept);
}
void TControl::DragDrop(TObject* source, int x, int y) {
    OnDragDrop(this, source, x, y);
}
void TControl::DoStartDock(TDragDockObject*& dragObject) {
    OnStartDock(this, dragObject);
}
void TControl::DoEndDock(TObject* target, int x, int y) {
    OnEndDock(this, target, x, y);
}

bool RouteDragMouse(QMouseEvent* e, bool& consumed) {
    if (g_drag.source == nullptr)
        return false;
    QPoint global = e->globalPosition().toPoint();
    if (e->type() == QEvent::MouseMove) {
        MoveDrag(global);
        consumed = g_drag.started;
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        if (g_drag.started) {
            FinishDrag(true, global);
            consumed = true;
            return true;
        }
        g_drag = DragManager{};
    }
    return false;
}

} // namespace nuv
