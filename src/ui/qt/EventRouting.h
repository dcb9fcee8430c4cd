// The one road from Qt events into the control layer (the table is at the top of
// EventRouting.cpp): the widget side of a control, the hooks its widget calls, the signal
// helper, and what the routing shares with the rest of the Qt side.
#pragma once

#include "ui/Controls.h"

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QWidget>

#include <exception>
#include <type_traits>
#include <vector>

class QApplication;
class QMouseEvent;

namespace nuv {

// The Qt side of one control: the widget and the hooks that route its events into the
// control's messages. The control pointer is cleared when the control is freed; the widget
// itself is deleted later by Qt (deleteLater), so a handler may free its own form safely.
class TControlWidget {
public:
    explicit TControlWidget(TControl* control) : control(control) {}
    virtual ~TControlWidget() = default;
    virtual QWidget* Widget() = 0;
    // The widget's own handling, bypassing the routing into messages.
    virtual bool NativeEvent(QEvent* e) = 0;
    virtual void NativePaint(QPaintEvent* e) = 0;
    // Which widget takes the focus for this control (usually the widget itself).
    virtual QWidget* FocusTarget() { return Widget(); }

    TControl* control;
    QPaintEvent* currentPaint = nullptr;
};

// Runs a handler called from Qt: an exception must not cross Qt's event handling, so it is
// shown through Application->HandleException instead.
void ReportEventException(const std::exception& e);
template <class F> bool Guarded(F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        ReportEventException(e);
        return false;
    }
}

// The hooks of a control's widget (TWidget below calls them).
bool RouteWidgetEvent(TControlWidget* w, QEvent* e);
void RoutePaint(TControlWidget* w, QPaintEvent* e);
bool RouteFocusNextPrev(TControlWidget* w, bool next);

// The widget under which a control's widget starts while its control is being made (see
// TControl::Init); taken by the first widget made, nullptr when there is none.
QWidget* TakeWidgetParking();

template <class Base> class TWidget : public Base, public TControlWidget {
public:
    // Made without arguments, the widget starts under the parking widget, if any; made with
    // arguments (a form's window), it takes them as they are.
    explicit TWidget(TControl* c) : Base(TakeWidgetParking()), TControlWidget(c) {}
    template <class A0, class... A>
    TWidget(TControl* c, A0&& arg0, A&&... args)
        : Base(std::forward<A0>(arg0), std::forward<A>(args)...), TControlWidget(c) {}
    QWidget* Widget() override { return this; }
    bool NativeEvent(QEvent* e) override { return Base::event(e); }
    void NativePaint(QPaintEvent* e) override { Base::paintEvent(e); }

protected:
    bool event(QEvent* e) override {
        if (control != nullptr && RouteWidgetEvent(this, e))
            return true;
        return Base::event(e);
    }
    void paintEvent(QPaintEvent* e) override {
        if (control != nullptr)
            RoutePaint(this, e);
        else
            Base::paintEvent(e);
    }
    bool focusNextPrevChild(bool next) override {
        if (control != nullptr && RouteFocusNextPrev(this, next))
            return true;
        return Base::focusNextPrevChild(next);
    }
};

// Calls a routed signal's handler with the signal's arguments when it takes them, else with the
// control alone. A function template of its own, so that the branch not taken is never compiled.
template <class Handler, class... Args>
void CallRouted(const Handler& handler, TControl* control, Args&&... args) {
    if constexpr (std::is_invocable_v<const Handler&, TControl*, Args...>)
        handler(control, std::forward<Args>(args)...);
    else
        handler(control);
}

// The signal road: connects a signal of a control's widget (or of a widget inside it) to a
// handler that gets the control and the signal's arguments, and runs only while the widget still
// has its control (a freed control's widget lives on until Qt deletes it).
template <class Sender, class Signal, class Handler>
QMetaObject::Connection RouteSignal(TControlWidget* w, Sender* sender, Signal signal,
                                    Handler handler) {
    return QObject::connect(sender, signal, w->Widget(), [w, handler](auto&&... args) {
        if (w->control == nullptr)
            return;
        CallRouted(handler, w->control, std::forward<decltype(args)>(args)...);
    });
}

// Installs the application-wide part of the road: the event filter (mouse, keys, context
// menus) and the focus tracking. Called once with the application.
void InstallEventRouting(QApplication* app);

// The control whose widget is this widget or its nearest ancestor, or nullptr.
TControl* ControlOfWidget(const QWidget* w);
// The same for windowed controls.
TWinControl* WinControlOfWidget(const QWidget* w);
// While true, synthesized Qt events pass the routing untouched.
bool& Synthesizing();
// Maps a Qt key to a Windows virtual key (0 when there is none) and back.
Word VirtualKeyFromQt(int qtKey);
int QtKeyFromVirtualKey(Word vk);
TShiftState ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
// Canvases opened on a widget during the current paint; closed when the paint ends.
std::vector<TCanvas*>& OpenCanvases();
// Hands a mouse event to the drag in progress (DragDock.cpp): false when there is none or the
// event is not the drag's; otherwise consumed tells whether the event stops there.
bool RouteDragMouse(QMouseEvent* e, bool& consumed);

} // namespace nuv
