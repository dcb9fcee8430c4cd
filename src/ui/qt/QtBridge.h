// Private to the UI layer's Qt side (src/ui/qt/): the Qt side of the UI classes. Conversions
// between our text, colours and fonts and Qt's, the canvas and bitmap internals, and the one-time
// set-up of the Qt application (style, palette, font substitutions, hint timing, focus tracking).
#pragma once

#include "ui/Graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QString>

#include <functional>
#include <initializer_list>

class QWidget;

namespace nuv {

inline QString ToQString(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string FromQString(const QString& s) {
    return s.toUtf8().toStdString();
}

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
QFont ToQFont(const TFont& font);

// True when the palette already holds the colour in every group for each role, so setting it
// again would only walk the widget's children for nothing.
bool PaletteHolds(const QPalette& pal, std::initializer_list<QPalette::ColorRole> roles,
                  const QColor& c);
// True when no group sets the roles and the inherited colour is already the one wanted.
bool PaletteInherits(const QPalette& pal, std::initializer_list<QPalette::ColorRole> roles,
                     const QColor& c);
// Makes a widget show the colour in a palette role: sets the role only when the widget shows
// another colour there, set or inherited. True when it was set.
bool ShowInRole(QWidget* w, QPalette::ColorRole role, const QColor& c);

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

#include "ui/qt/EventRouting.h"

#include <QGuiApplication>
#include <QPointer>

namespace nuv {

// Raises a top-level window (the offscreen platform has no stacking to change).
inline void RaiseWindow(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        w->raise();
}

struct TControlImpl {
    TControlWidget* hook = nullptr;
    QPointer<QWidget> widget;
    // The palette role that shows the control's colour: the text area's (Base) for edits, lists
    // and combo boxes, the background's (Window) for the others. Only that role is set, so that
    // an edit on a grey panel keeps the white of text areas without a palette of its own.
    QPalette::ColorRole colorRole = QPalette::Window;
    TControlCanvas* canvas = nullptr; // the control's own canvas (custom and graphic controls)
    bool mouseInside = false;
    int childOffsetY = 0; // room kept above the children (a form's menu bar)
    bool lastShowing = false;
    // What the widget's tool tip was last made from (UpdateHint), so that refreshing every
    // hint of every form costs a comparison for each unchanged control.
    std::string tipHint;
    bool tipShown = false;
    int tipDuration = 0;
    bool tipSet = false;
};

// The widget of a control (nullptr before its widget exists).
inline QWidget* WidgetOf(const TControl* c) {
    return c != nullptr && c->Impl() != nullptr ? c->Impl()->widget.data() : nullptr;
}
// The plain widgets of a graphic and of a windowed control.
TControlWidget* GraphicWidgetFactory(TControl* c);
TControlWidget* WindowedWidgetFactory(TControl* c);
// The window of a form.
TControlWidget* FormWidgetFactory(TControl* c);
// The widget a control was last put into: the next control made by the same form most likely
// goes there too, so its widget starts there (TControl::Init).
QPointer<QWidget>& LastInsertParent();
// Starts painting a control canvas on the widget being painted (used by the canvas on demand).
void AttachControlCanvas(TControlCanvas& canvas, TControl* control);
// Sets the Qt focus policy of a control's widget from its TabStop and kind.
void ApplyFocusPolicy(TWinControl* control);
// Makes a control's widget show a colour in a palette role (ShowInRole). Before the widget's
// palette changes, the controls inside it that keep a colour of their own in that role and
// showed it only by inheriting are given it, so that they keep showing it.
void ShowControlColor(TControl* c, QPalette::ColorRole role, const QColor& color);
// Before a control's widget moves to another Qt parent: the controls inside it that keep a
// colour of their own and show it only by inheriting are given it, so that they keep it.
void KeepInsideColors(TControl* c);

} // namespace nuv
