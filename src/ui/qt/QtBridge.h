// Private to the platform layer's .cpp files: the Qt side of the UI classes. Conversions between
// our text, colours and fonts and Qt's, the canvas and bitmap internals, and the one-time set-up
// of the Qt application (style, palette, font substitutions, hint timing, focus tracking).
#pragma once

#include "ui/Graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <functional>

namespace nuv {

inline QString Qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string Us(const QString& s) {
    return s.toUtf8().toStdString();
}

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
QFont ToQFont(const TFont& font);

struct TCanvasImpl {
    QPainter* painter = nullptr;     // set while drawing is possible
    QPaintDevice* device = nullptr;  // the surface of that painter
    std::unique_ptr<QPainter> owned; // a painter this canvas opened on a bitmap
    // Opens a painter on demand (control canvases during a paint).
    std::function<void()> ensure;
};

struct TBitmapImpl {
    QImage image;
};

// Lets the canvas draw through the painter until EndPaint.
void BeginCanvasPaint(TCanvas& canvas, QPainter* painter, QPaintDevice* device);
void EndCanvasPaint(TCanvas& canvas);
// The image of a bitmap with its transparent colour made clear (when Transparent).
QImage BitmapForDrawing(TBitmap& bitmap, bool transparent);

// Sets up the Qt application for the component classes once: Fusion style, the Windows system
// colours as palette, font substitutions for the Chinese font names, hint timing and focus
// tracking. Needs a QApplication.
void EnsureUiPlatform();

} // namespace nuv

// ---------------------------------------------------------------------------------------------
// Controls

#include "ui/Controls.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>

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

// Raises a top-level window (the offscreen platform has no stacking to change).
inline void RaiseWindow(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        w->raise();
}

// Routing helpers implemented in Controls.cpp.
bool RouteWidgetEvent(TControlWidget* w, QEvent* e);
void RoutePaint(TControlWidget* w, QPaintEvent* e);
bool RouteFocusNextPrev(TControlWidget* w, bool next);

template <class Base> class TWidget : public Base, public TControlWidget {
public:
    template <class... A>
    explicit TWidget(TControl* c, A&&... args)
        : Base(std::forward<A>(args)...), TControlWidget(c) {}
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

struct TControlImpl {
    TControlWidget* hook = nullptr;
    QPointer<QWidget> widget;
    TControlCanvas* canvas = nullptr; // the control's own canvas (custom and graphic controls)
    bool mouseInside = false;
    int childOffsetY = 0; // room kept above the children (a form's menu bar)
    bool lastShowing = false;
};

// The control whose widget is this widget or its nearest ancestor, or nullptr.
TControl* ControlOfWidget(const QWidget* w);
// The widget of a control (nullptr before its widget exists).
inline QWidget* WidgetOf(const TControl* c) {
    return c != nullptr && c->Impl() != nullptr ? c->Impl()->widget.data() : nullptr;
}
// Starts painting a control canvas on the widget being painted (used by the canvas on demand).
void AttachControlCanvas(TControlCanvas& canvas, TControl* control);
// Sets the Qt focus policy of a control's widget from its TabStop and kind.
void ApplyFocusPolicy(TWinControl* control);
// While true, synthesized Qt events pass the routing untouched.
bool& Synthesizing();
// Maps a Qt key to a Windows virtual key (0 when there is none) and back.
Word VirtualKeyFromQt(int qtKey);
int QtKeyFromVirtualKey(Word vk);
TShiftState ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);

} // namespace nuv
