#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

// Drawing pieces that several glyphs share: outlined shapes, pages, arrows, badges. All work
// in the glyph's own 16 x 16 coordinates; a 1 pixel line on a whole pixel sits on a .5
// coordinate.

namespace nuv {

// A fill colour with the darker outline that goes with it.
struct Tone {
    QColor fill;
    QColor line;
};

namespace tones {
extern const Tone Blue, Navy, Green, Red, Yellow, Orange, Gray, Steel, Cardboard, Purple, Teal,
    Paper, Skin, Wood, Pink;
} // namespace tones

extern const QColor Ink;

// Fills `path` and outlines it with a pen of `width` (round joins).
void DrawShape(QPainter& p, const QPainterPath& path, const Tone& tone, qreal width = 1.0);
// Strokes `path` with a plain pen.
void DrawStroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width,
                Qt::PenCapStyle cap = Qt::RoundCap);
void DrawLine(QPainter& p, QPointF a, QPointF b, const QColor& colour, qreal width,
              Qt::PenCapStyle cap = Qt::FlatCap);
// A thick line with an outline: the outline colour `width` + 2 wide, the fill colour on top.
void DrawOutlinedLine(QPainter& p, const QPainterPath& path, const Tone& tone, qreal width);

QPainterPath RectPath(const QRectF& r);
QPainterPath RoundRectPath(const QRectF& r, qreal radius);
QPainterPath EllipsePath(QPointF centre, qreal rx, qreal ry);
QPainterPath PolygonPath(std::initializer_list<QPointF> points);

// A sheet of paper with its top right corner turned down by `fold` pixels.
void DrawPage(QPainter& p, const QRectF& r, qreal fold = 3.0, const Tone& tone = tones::Paper);
// Horizontal text lines from x0 to x1, the first at y0, `step` apart.
void DrawTextLines(QPainter& p, qreal x0, qreal x1, qreal y0, int count, qreal step,
                   const QColor& colour);
// A magnifier: lens round `centre`, handle toward the bottom right.
void DrawMagnifier(QPainter& p, QPointF centre, qreal radius, qreal handle);
// An arrow polygon from `from` to the tip `to`, outlined.
void DrawArrow(QPainter& p, QPointF from, QPointF to, qreal shaft, qreal headWidth,
               qreal headLength, const Tone& tone);
// A thick curved arrow along `path` with its head at the path's end.
void DrawCurvedArrow(QPainter& p, const QPainterPath& path, qreal width, qreal headWidth,
                     qreal headLength, const Tone& tone);
// Small marks laid over a corner of another picture, with a white halo that parts them from
// what lies below.
void DrawPlusBadge(QPainter& p, QPointF centre, qreal half);
void DrawMinusBadge(QPainter& p, QPointF centre, qreal half);
// A person (head and shoulders) in a 16 x 16 box, placed by `offset` and scaled by `scale`.
void DrawPerson(QPainter& p, QPointF offset, qreal scale, const Tone& shirt);
// A calendar sheet in a 16 x 16 box, placed by `offset` and scaled by `scale`.
void DrawCalendar(QPainter& p, QPointF offset, qreal scale);
// A floppy disk in a 16 x 16 box, placed by `offset` and scaled by `scale`.
void DrawFloppy(QPainter& p, QPointF offset, qreal scale);
// A table of `rows` rows and two columns in `r`, row `highlight` (from 0) filled with `mark`;
// -1 for none.
void DrawTable(QPainter& p, const QRectF& r, int rows, int highlight, const QColor& mark);

} // namespace nuv
