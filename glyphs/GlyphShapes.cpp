#include "GlyphShapes.h"

#include <QPainterPathStroker>
#include <QPolygonF>

#include <cmath>

namespace nuv {

namespace tones {
const Tone Blue{QColor(0x4a, 0x8f, 0xe0), QColor(0x1d, 0x4f, 0x91)};
const Tone Navy{QColor(0x2f, 0x5f, 0xb8), QColor(0x17, 0x30, 0x66)};
const Tone Green{QColor(0x4c, 0xb0, 0x50), QColor(0x1f, 0x6a, 0x25)};
const Tone Red{QColor(0xe0, 0x48, 0x3a), QColor(0x94, 0x1c, 0x14)};
const Tone Yellow{QColor(0xf8, 0xd2, 0x40), QColor(0x9a, 0x72, 0x0c)};
const Tone Orange{QColor(0xf3, 0x9a, 0x35), QColor(0xa0, 0x55, 0x0e)};
const Tone Gray{QColor(0xbe, 0xc4, 0xcc), QColor(0x56, 0x5e, 0x68)};
const Tone Steel{QColor(0x8a, 0x96, 0xa6), QColor(0x3c, 0x44, 0x50)};
const Tone Cardboard{QColor(0xde, 0xae, 0x68), QColor(0x87, 0x56, 0x1c)};
const Tone Purple{QColor(0x9b, 0x6b, 0xd6), QColor(0x52, 0x2e, 0x8a)};
const Tone Teal{QColor(0x3f, 0xb5, 0xb0), QColor(0x1a, 0x6a, 0x66)};
const Tone Paper{QColor(0xff, 0xff, 0xff), QColor(0x62, 0x6a, 0x76)};
const Tone Skin{QColor(0xf6, 0xcf, 0xa8), QColor(0x9a, 0x68, 0x40)};
const Tone Wood{QColor(0xb0, 0x74, 0x3c), QColor(0x5e, 0x36, 0x12)};
const Tone Pink{QColor(0xf4, 0x8f, 0x9c), QColor(0x9c, 0x34, 0x44)};
} // namespace tones

const QColor Ink(0x33, 0x38, 0x40);

void DrawShape(QPainter& p, const QPainterPath& path, const Tone& tone, qreal width) {
    p.setPen(QPen(tone.line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(tone.fill);
    p.drawPath(path);
}

void DrawStroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width,
                Qt::PenCapStyle cap) {
    p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void DrawLine(QPainter& p, QPointF a, QPointF b, const QColor& colour, qreal width,
              Qt::PenCapStyle cap) {
    p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.drawLine(a, b);
}

void DrawOutlinedLine(QPainter& p, const QPainterPath& path, const Tone& tone, qreal width) {
    DrawStroke(p, path, tone.line, width + 2.0);
    DrawStroke(p, path, tone.fill, width);
}

QPainterPath RectPath(const QRectF& r) {
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath RoundRectPath(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath EllipsePath(QPointF centre, qreal rx, qreal ry) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QPainterPath PolygonPath(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void DrawPage(QPainter& p, const QRectF& r, qreal fold, const Tone& tone) {
    const qreal l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    DrawShape(p, PolygonPath({{l, t}, {rt - fold, t}, {rt, t + fold}, {rt, b}, {l, b}}), tone);
    DrawShape(p, PolygonPath({{rt - fold, t}, {rt - fold, t + fold}, {rt, t + fold}}),
              Tone{QColor(0xd4, 0xd8, 0xde), tone.line});
}

void DrawTextLines(QPainter& p, qreal x0, qreal x1, qreal y0, int count, qreal step,
                   const QColor& colour) {
    for (int i = 0; i < count; ++i)
        DrawLine(p, {x0, y0 + i * step}, {x1, y0 + i * step}, colour, 1.0);
}

void DrawMagnifier(QPainter& p, QPointF centre, qreal radius, qreal handle) {
    const qreal d = std::sqrt(0.5);
    const QPointF start = centre + QPointF(d, d) * (radius + 0.8);
    const QPointF end = centre + QPointF(d, d) * (radius + handle);
    DrawLine(p, start, end, QColor(0x3a, 0x2a, 0x1a), 3.2, Qt::RoundCap);
    DrawLine(p, start, end, QColor(0x8a, 0x5a, 0x2a), 1.6, Qt::RoundCap);
    QColor glass(0xe4, 0xf1, 0xff);
    DrawShape(p, EllipsePath(centre, radius, radius), Tone{glass, Ink}, 1.5);
    // A glint on the glass.
    QPainterPath glint;
    glint.arcMoveTo(QRectF(centre.x() - radius + 1.6, centre.y() - radius + 1.6, 2 * radius - 3.2,
                           2 * radius - 3.2),
                    100);
    glint.arcTo(QRectF(centre.x() - radius + 1.6, centre.y() - radius + 1.6, 2 * radius - 3.2,
                       2 * radius - 3.2),
                100, 70);
    DrawStroke(p, glint, QColor(0x7a, 0xa8, 0xe0), 1.0);
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, qreal shaft, qreal headWidth,
               qreal headLength, const Tone& tone) {
    const QPointF v = to - from;
    const qreal len = std::hypot(v.x(), v.y());
    const QPointF d = v / len;
    const QPointF n(-d.y(), d.x());
    const QPointF base = to - d * headLength;
    const QPointF s = n * (shaft / 2), h = n * (headWidth / 2);
    DrawShape(p, PolygonPath({from + s, base + s, base + h, to, base - h, base - s, from - s}),
              tone);
}

void DrawCurvedArrow(QPainter& p, const QPainterPath& path, qreal width, qreal headWidth,
                     qreal headLength, const Tone& tone) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath body = stroker.createStroke(path);

    const QPointF end = path.pointAtPercent(1.0);
    const QPointF before = path.pointAtPercent(0.97);
    QPointF d = end - before;
    d /= std::hypot(d.x(), d.y());
    const QPointF n(-d.y(), d.x());
    const QPointF h = n * (headWidth / 2);
    QPainterPath head = PolygonPath({end + h, end + d * headLength, end - h});
    DrawShape(p, body.united(head).simplified(), tone);
}

namespace {

void DrawHalo(QPainter& p, const QPainterPath& path, qreal width) {
    DrawStroke(p, path, Qt::white, width + 2.4, Qt::RoundCap);
}

} // namespace

void DrawPlusBadge(QPainter& p, QPointF c, qreal half) {
    QPainterPath plus;
    plus.moveTo(c.x() - half, c.y());
    plus.lineTo(c.x() + half, c.y());
    plus.moveTo(c.x(), c.y() - half);
    plus.lineTo(c.x(), c.y() + half);
    DrawHalo(p, plus, 3.0);
    DrawStroke(p, plus, QColor(0x1f, 0x6a, 0x25), 3.0, Qt::SquareCap);
    DrawStroke(p, plus, QColor(0x60, 0xd0, 0x60), 1.0, Qt::FlatCap);
}

void DrawMinusBadge(QPainter& p, QPointF c, qreal half) {
    QPainterPath minus;
    minus.moveTo(c.x() - half, c.y());
    minus.lineTo(c.x() + half, c.y());
    DrawHalo(p, minus, 3.0);
    DrawStroke(p, minus, QColor(0x94, 0x1c, 0x14), 3.0, Qt::SquareCap);
    DrawStroke(p, minus, QColor(0xf8, 0x70, 0x60), 1.0, Qt::FlatCap);
}

void DrawPerson(QPainter& p, QPointF offset, qreal scale, const Tone& shirt) {
    p.save();
    p.translate(offset);
    p.scale(scale, scale);
    const qreal w = 1.0 / scale;
    QPainterPath body;
    body.moveTo(2.5, 15.5);
    body.lineTo(2.5, 13.0);
    body.cubicTo(2.5, 10.0, 4.5, 9.0, 8.0, 9.0);
    body.cubicTo(11.5, 9.0, 13.5, 10.0, 13.5, 13.0);
    body.lineTo(13.5, 15.5);
    body.closeSubpath();
    DrawShape(p, body, shirt, w);
    // Collar.
    DrawShape(p, PolygonPath({{6.3, 9.2}, {8.0, 12.0}, {9.7, 9.2}}), tones::Paper, w);
    DrawShape(p, EllipsePath({8.0, 5.0}, 3.4, 3.6), tones::Skin, w);
    // Hair.
    QPainterPath hair;
    hair.moveTo(4.6, 5.0);
    hair.cubicTo(4.4, 1.0, 11.6, 1.0, 11.4, 5.0);
    hair.cubicTo(10.0, 3.4, 6.0, 3.4, 4.6, 5.0);
    DrawShape(p, hair, Tone{QColor(0x5a, 0x3a, 0x22), QColor(0x3a, 0x22, 0x10)}, w);
    p.restore();
}

void DrawCalendar(QPainter& p, QPointF offset, qreal scale) {
    p.save();
    p.translate(offset);
    p.scale(scale, scale);
    const qreal w = 1.0 / scale;
    DrawShape(p, RectPath({1.5, 2.5, 13, 12}), tones::Paper, w);
    DrawShape(p, RectPath({1.5, 2.5, 13, 3.5}), tones::Red, w);
    // Binding rings.
    for (qreal x : {5.0, 11.0}) {
        DrawLine(p, {x, 1.0}, {x, 4.5}, Ink, 1.6 * w, Qt::RoundCap);
    }
    // Days: a 4 x 3 grid, today in blue.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            const QRectF day(3.0 + col * 2.75, 7.5 + row * 2.25, 1.75, 1.5);
            const bool today = row == 1 && col == 2;
            p.setPen(Qt::NoPen);
            p.setBrush(today ? tones::Blue.line : QColor(0x9a, 0xa2, 0xac));
            p.drawRect(today ? day.adjusted(-0.5, -0.5, 0.5, 0.5) : day);
        }
    }
    p.restore();
}

void DrawFloppy(QPainter& p, QPointF offset, qreal scale) {
    p.save();
    p.translate(offset);
    p.scale(scale, scale);
    const qreal w = 1.0 / scale;
    DrawShape(p, PolygonPath({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}),
              tones::Navy, w);
    // Metal shutter with its slot.
    DrawShape(p, RectPath({4.5, 1.5, 7, 5}), tones::Gray, w);
    p.setPen(Qt::NoPen);
    p.setBrush(tones::Navy.line);
    p.drawRect(QRectF(8.5, 2.5, 1.5, 3));
    // Label.
    DrawShape(p, RectPath({3.5, 8.5, 9, 6}), tones::Paper, w);
    DrawLine(p, {5.0, 10.5}, {11.0, 10.5}, QColor(0x9a, 0xb4, 0xd8), w);
    DrawLine(p, {5.0, 12.5}, {11.0, 12.5}, QColor(0x9a, 0xb4, 0xd8), w);
    p.restore();
}

void DrawTable(QPainter& p, const QRectF& r, int rows, int highlight, const QColor& mark) {
    DrawShape(p, RectPath(r), tones::Paper);
    const qreal rowHeight = r.height() / rows;
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    if (highlight >= 0)
        p.drawRect(QRectF(r.left() + 0.5, r.top() + highlight * rowHeight + 0.5, r.width() - 1,
                          rowHeight - 0.5));
    const QColor grid = tones::Paper.line;
    for (int i = 1; i < rows; ++i)
        DrawLine(p, {r.left(), r.top() + i * rowHeight}, {r.right(), r.top() + i * rowHeight}, grid,
                 1.0);
    const qreal split = std::round(r.left() + r.width() * 0.4) + 0.5;
    DrawLine(p, {split, r.top()}, {split, r.bottom()}, grid, 1.0);
    p.setPen(QPen(tones::Paper.line, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

} // namespace nuv
