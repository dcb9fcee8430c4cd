#include "GlyphCatalog.h"

#include "GlyphShapes.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>
#include <unordered_map>

namespace nuv {

namespace {

using namespace tones;

constexpr qreal Pi = std::numbers::pi;

QPointF Polar(QPointF centre, qreal radius, qreal degrees) {
    const qreal a = degrees * Pi / 180.0;
    return centre + QPointF(std::cos(a), -std::sin(a)) * radius;
}

// An arc round `centre` from `startDeg` sweeping `sweepDeg` (counter-clockwise positive).
QPainterPath Arc(QPointF centre, qreal radius, qreal startDeg, qreal sweepDeg) {
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(box, startDeg);
    path.arcTo(box, startDeg, sweepDeg);
    return path;
}

QPainterPath StarPath(QPointF c, qreal outer, qreal inner, int points) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const QPointF pt = Polar(c, i % 2 == 0 ? outer : inner, 90.0 + i * 180.0 / points);
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

// ---- 1 to 16: confirm, cancel, add, clear, files, print, look-up, date, time, text, state

void DrawOk(QPainter& p) {
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.2, 12.2);
    tick.lineTo(13.5, 3.8);
    DrawStroke(p, tick, Green.line, 4.2);
    DrawStroke(p, tick, QColor(0x5c, 0xc8, 0x5c), 2.2);
}

void DrawCancel(QPainter& p) {
    QPainterPath cross;
    cross.moveTo(3.5, 3.5);
    cross.lineTo(12.5, 12.5);
    cross.moveTo(12.5, 3.5);
    cross.lineTo(3.5, 12.5);
    DrawStroke(p, cross, Red.line, 4.2);
    DrawStroke(p, cross, QColor(0xf0, 0x5a, 0x4a), 2.2);
}

void DrawAdd(QPainter& p) {
    QPainterPath plus = RectPath({6.5, 2.5, 3.0, 11.0}).united(RectPath({2.5, 6.5, 11.0, 3.0}));
    DrawShape(p, plus.simplified(), Green);
}

void DrawClear(QPainter& p) {
    // An eraser lying on a slant, its rubber end down on a wiped line.
    DrawLine(p, {1.5, 14.5}, {14.5, 14.5}, tones::Gray.line, 1.0);
    p.save();
    p.translate(8.6, 7.4);
    p.rotate(-45.0);
    const QRectF body(-6.5, -3.2, 13.0, 6.4);
    DrawShape(p, RoundRectPath(body, 1.2), Tone{QColor(0x5a, 0x8c, 0xd8), Navy.line});
    DrawShape(p, RoundRectPath({-6.5, -3.2, 5.5, 6.4}, 1.2), Pink);
    DrawLine(p, {-1.0, -3.2}, {-1.0, 3.2}, Navy.line, 1.0);
    p.restore();
}

void DrawNew(QPainter& p) {
    DrawPage(p, {2.5, 1.5, 10, 13});
    DrawShape(p, StarPath({11.5, 4.5}, 4.0, 1.7, 4), Yellow, 0.8);
}

void DrawOpen(QPainter& p) {
    DrawShape(
        p,
        PolygonPath({{1.5, 3.5}, {5.5, 3.5}, {7.0, 5.0}, {12.5, 5.0}, {12.5, 13.5}, {1.5, 13.5}}),
        Tone{QColor(0xd8, 0xa8, 0x30), Yellow.line});
    DrawShape(p, PolygonPath({{4.0, 7.5}, {15.0, 7.5}, {12.5, 13.5}, {1.5, 13.5}}), Yellow);
}

void DrawPrint(QPainter& p) {
    DrawShape(p, RectPath({4.5, 1.5, 7, 5}), Paper);
    DrawShape(p, RoundRectPath({1.5, 5.5, 13, 6}, 1.2), Gray);
    DrawShape(p, RectPath({4.5, 9.5, 7, 5}), Paper);
    DrawTextLines(p, 5.5, 10.5, 11.5, 2, 2, QColor(0x80, 0x88, 0x94));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0xc0, 0x40));
    p.drawEllipse(QPointF(12.5, 7.5), 0.9, 0.9);
}

void DrawLookUp(QPainter& p) {
    // A list with a magnifier over its corner: "find a value in a list".
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 1.0 + i * 4;
        p.setBrush(Navy.fill);
        p.drawRect(QRectF(1.0, y, 2.0, 2.0));
        p.setBrush(QColor(0x5a, 0x62, 0x6e));
        p.drawRect(QRectF(4.0, y, i == 2 ? 2.0 : 8.0, 2.0));
    }
    DrawMagnifier(p, {9.5, 9.5}, 3.5, 4.8);
}

void DrawQuickDate(QPainter& p) {
    DrawCalendar(p, {0, 0}, 1.0);
}

void DrawClock(QPainter& p) {
    DrawShape(p, EllipsePath({8, 8}, 6.8, 6.8), Tone{QColor(0xfa, 0xfc, 0xff), Navy.line}, 1.4);
    for (int h = 0; h < 12; h += 3) {
        const QPointF a = Polar({8, 8}, 5.5, h * 30.0), b = Polar({8, 8}, 4.3, h * 30.0);
        DrawLine(p, a, b, Ink, 1.0);
    }
    DrawLine(p, {8, 8}, {8, 3.6}, Ink, 1.4, Qt::RoundCap);
    DrawLine(p, {8, 8}, {11.2, 9.8}, Red.line, 1.4, Qt::RoundCap);
}

void DrawPhrase(QPainter& p) {
    QPainterPath bubble = RoundRectPath({1.5, 1.5, 13, 9.5}, 2.5);
    bubble = bubble.united(PolygonPath({{4.0, 10.0}, {3.5, 14.8}, {8.0, 10.0}})).simplified();
    DrawShape(p, bubble, Tone{QColor(0xfa, 0xfc, 0xff), Blue.line});
    DrawTextLines(p, 4.0, 12.0, 4.5, 2, 2.5, Blue.line);
    DrawLine(p, {4.0, 9.5}, {9.0, 9.5}, Blue.line, 1.0);
}

void DrawRefresh(QPainter& p) {
    // Two arrows chasing each other clockwise, with room between head and tail.
    DrawCurvedArrow(p, Arc({8, 8}, 5.2, 160, -115), 1.8, 6.0, 3.2, Green);
    DrawCurvedArrow(p, Arc({8, 8}, 5.2, 340, -115), 1.8, 6.0, 3.2, Green);
}

void DrawHelp(QPainter& p) {
    DrawShape(p, EllipsePath({8, 8}, 7.0, 7.0), Blue);
    QPainterPath q;
    q.moveTo(5.6, 6.0);
    q.cubicTo(5.6, 2.8, 10.6, 2.8, 10.6, 5.8);
    q.cubicTo(10.6, 7.8, 8.0, 7.8, 8.0, 9.8);
    DrawStroke(p, q, Qt::white, 1.9);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8.0, 12.3), 1.2, 1.2);
}

void DrawInfo(QPainter& p) {
    DrawShape(p, EllipsePath({8, 8}, 7.0, 7.0), Tone{QColor(0xf4, 0xf8, 0xff), Blue.line}, 1.4);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue.line);
    p.drawEllipse(QPointF(8.0, 4.6), 1.3, 1.3);
    p.drawRect(QRectF(6.8, 7.0, 2.4, 5.6));
    p.drawRect(QRectF(6.0, 11.6, 4.0, 1.0));
}

void DrawWarning(QPainter& p) {
    DrawShape(p, PolygonPath({{8.0, 1.2}, {15.2, 14.5}, {0.8, 14.5}}), Yellow, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPolygon(
        QPolygonF({QPointF(7.0, 5.2), QPointF(9.0, 5.2), QPointF(8.6, 10.2), QPointF(7.4, 10.2)}));
    p.drawEllipse(QPointF(8.0, 12.2), 1.1, 1.1);
}

void DrawStopSign(QPainter& p) {
    QPainterPath oct;
    for (int i = 0; i < 8; ++i) {
        const QPointF pt = Polar({8, 8}, 7.4, 22.5 + i * 45.0);
        if (i == 0)
            oct.moveTo(pt);
        else
            oct.lineTo(pt);
    }
    oct.closeSubpath();
    DrawShape(p, oct, Red);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.0, 7.0, 8.0, 2.0));
}

// ---- 17 to 24: record navigation and plain arrows

void DrawFirst(QPainter& p) {
    DrawShape(p, RectPath({2.5, 3.5, 2, 9}), Navy);
    DrawShape(p, PolygonPath({{12.5, 3.0}, {12.5, 13.0}, {6.0, 8.0}}), Blue);
}

void DrawPrior(QPainter& p) {
    DrawShape(p, PolygonPath({{11.0, 2.5}, {11.0, 13.5}, {4.0, 8.0}}), Blue);
}

void DrawNext(QPainter& p) {
    DrawShape(p, PolygonPath({{5.0, 2.5}, {5.0, 13.5}, {12.0, 8.0}}), Blue);
}

void DrawLast(QPainter& p) {
    DrawShape(p, PolygonPath({{3.5, 3.0}, {3.5, 13.0}, {10.0, 8.0}}), Blue);
    DrawShape(p, RectPath({11.5, 3.5, 2, 9}), Navy);
}

void DrawArrowUp(QPainter& p) {
    DrawArrow(p, {8, 14.5}, {8, 1.5}, 3.0, 11.0, 6.0, Green);
}

void DrawArrowDown(QPainter& p) {
    DrawArrow(p, {8, 1.5}, {8, 14.5}, 3.0, 11.0, 6.0, Green);
}

void DrawArrowLeft(QPainter& p) {
    DrawArrow(p, {14.5, 8}, {1.5, 8}, 3.0, 11.0, 6.0, Green);
}

void DrawArrowRight(QPainter& p) {
    DrawArrow(p, {1.5, 8}, {14.5, 8}, 3.0, 11.0, 6.0, Green);
}

// ---- 25 to 34: remove, filter, sort, security, mail, home, settings

void DrawRemove(QPainter& p) {
    DrawShape(p, RectPath({2.5, 6.5, 11.0, 3.0}), Red);
}

void DrawFilter(QPainter& p) {
    DrawShape(
        p, PolygonPath({{1.5, 2.5}, {14.5, 2.5}, {9.5, 8.5}, {9.5, 14.0}, {6.5, 12.0}, {6.5, 8.5}}),
        Tone{QColor(0x6a, 0xa8, 0xf0), Navy.line});
    DrawLine(p, {3.5, 4.0}, {12.5, 4.0}, QColor(0xd0, 0xe4, 0xff), 1.0);
}

void DrawSortBars(QPainter& p, bool ascending) {
    for (int i = 0; i < 4; ++i) {
        const int len = ascending ? 3 + 2 * i : 9 - 2 * i;
        p.setPen(Qt::NoPen);
        p.setBrush(Blue.line);
        p.drawRect(QRectF(1.0, 2.0 + i * 3.5, qreal(len), 2.0));
    }
    DrawArrow(p, {12.5, 1.0}, {12.5, 15.0}, 2.0, 6.0, 4.5, Red);
}

void DrawSortAscending(QPainter& p) {
    DrawSortBars(p, true);
}

void DrawSortDescending(QPainter& p) {
    DrawSortBars(p, false);
}

void DrawKey(QPainter& p) {
    const Tone gold{QColor(0xf2, 0xc4, 0x3a), QColor(0x8c, 0x62, 0x08)};
    QPainterPath blade = RectPath({7.0, 6.5, 8.5, 3.0});
    blade = blade.united(RectPath({10.5, 8.0, 2.0, 3.5})).united(RectPath({13.5, 8.0, 2.0, 2.5}));
    QPainterPath key = EllipsePath({4.5, 8.0}, 4.0, 4.0).united(blade).simplified();
    key = key.subtracted(EllipsePath({3.5, 8.0}, 1.3, 1.3));
    DrawShape(p, key, gold);
}

void DrawPadlock(QPainter& p, bool open) {
    QPainterPath shackle;
    if (open) {
        // Swung up and out to the right, one leg free.
        shackle.moveTo(8.5, 7.5);
        shackle.lineTo(8.5, 4.5);
        shackle.arcTo(QRectF(8.5, 1.5, 5.0, 5.0), 180, -180);
        shackle.lineTo(13.5, 5.5);
    } else {
        shackle.moveTo(5.0, 7.5);
        shackle.lineTo(5.0, 5.0);
        shackle.arcTo(QRectF(5.0, 1.5, 6.0, 6.0), 180, -180);
        shackle.lineTo(11.0, 7.5);
    }
    DrawOutlinedLine(p, shackle, Steel, 1.4);
    const qreal left = open ? 1.5 : 2.5;
    DrawShape(p, RoundRectPath({left, 7.5, 11, 7}, 1.2),
              Tone{QColor(0xf2, 0xc4, 0x3a), QColor(0x8c, 0x62, 0x08)});
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(left + 5.5, 10.2), 1.2, 1.2);
    p.drawRect(QRectF(left + 5.0, 10.5, 1.0, 2.5));
}

void DrawLock(QPainter& p) {
    DrawPadlock(p, false);
}

void DrawUnlock(QPainter& p) {
    DrawPadlock(p, true);
}

void DrawMail(QPainter& p) {
    DrawShape(p, RectPath({1.5, 3.5, 13, 9}),
              Tone{QColor(0xfc, 0xf6, 0xe4), QColor(0x8a, 0x70, 0x40)});
    QPainterPath flap;
    flap.moveTo(1.5, 3.5);
    flap.lineTo(8.0, 9.0);
    flap.lineTo(14.5, 3.5);
    DrawStroke(p, flap, QColor(0x8a, 0x70, 0x40), 1.0);
    QPainterPath folds;
    folds.moveTo(1.5, 12.5);
    folds.lineTo(6.2, 7.6);
    folds.moveTo(14.5, 12.5);
    folds.lineTo(9.8, 7.6);
    DrawStroke(p, folds, QColor(0xc8, 0xb0, 0x80), 1.0);
}

void DrawHome(QPainter& p) {
    DrawShape(p, RectPath({3.5, 7.5, 9, 7}),
              Tone{QColor(0xf6, 0xe8, 0xc8), QColor(0x8a, 0x6a, 0x3a)});
    DrawShape(p, RectPath({6.5, 10.5, 3, 4}), Wood);
    DrawShape(p, PolygonPath({{8.0, 1.5}, {15.0, 8.0}, {1.0, 8.0}}), Red);
}

void DrawSettings(QPainter& p) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        // Each tooth: two points on the outer radius, two on the root radius.
        const qreal a = i * 360.0 / (teeth * 4) + 5.6;
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? 7.3 : 5.2;
        const QPointF pt = Polar({8, 8}, r, a);
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    gear = gear.subtracted(EllipsePath({8, 8}, 2.2, 2.2));
    DrawShape(p, gear, Steel);
}

// ---- 35 to 46: edit and clipboard, marks, charts

void DrawTrash(QPainter& p) {
    DrawShape(p, PolygonPath({{3.0, 4.5}, {13.0, 4.5}, {12.0, 14.5}, {4.0, 14.5}}), Gray);
    for (qreal x : {6.0, 8.0, 10.0})
        DrawLine(p, {x, 6.5}, {x, 12.5}, Gray.line, 1.0);
    DrawShape(p, RectPath({1.5, 2.5, 13, 2}), Steel);
    DrawShape(p, RectPath({6.0, 0.8, 4, 1.7}), Steel, 0.8);
}

void DrawCut(QPainter& p) {
    QPainterPath blades;
    blades.moveTo(5.4, 10.0);
    blades.lineTo(11.0, 1.0);
    blades.moveTo(10.6, 10.0);
    blades.lineTo(5.0, 1.0);
    DrawOutlinedLine(p, blades, Steel, 1.2);
    const Tone handle{QColor(0xe0, 0x48, 0x3a), Red.line};
    for (QPointF c : {QPointF(4.3, 12.3), QPointF(11.7, 12.3)}) {
        QPainterPath ring = EllipsePath(c, 2.8, 2.8).subtracted(EllipsePath(c, 1.3, 1.3));
        DrawShape(p, ring, handle, 0.9);
    }
}

void DrawCopy(QPainter& p) {
    DrawPage(p, {1.5, 1.5, 8, 10}, 2.5);
    DrawTextLines(p, 3.0, 7.0, 5.5, 2, 2, QColor(0x9a, 0xa2, 0xac));
    DrawPage(p, {6.5, 4.5, 8, 10}, 2.5, Tone{QColor(0xe6, 0xf0, 0xfc), Blue.line});
    DrawTextLines(p, 8.0, 12.5, 8.5, 3, 2, Blue.line);
}

void DrawPaste(QPainter& p) {
    DrawShape(p, RoundRectPath({1.5, 2.5, 10, 12}, 1.0), Cardboard);
    DrawShape(p, RoundRectPath({4.0, 1.0, 5, 3}, 0.8), Steel, 0.8);
    DrawPage(p, {6.5, 5.5, 8, 9}, 2.5);
    DrawTextLines(p, 8.0, 12.5, 9.5, 3, 1.8, QColor(0x80, 0x88, 0x94));
}

void DrawUndo(QPainter& p) {
    QPainterPath path;
    path.moveTo(12.0, 13.5);
    path.cubicTo(15.5, 10.0, 13.5, 4.5, 8.5, 4.5);
    path.lineTo(5.0, 4.5);
    DrawCurvedArrow(p, path, 2.4, 6.2, 3.6, Navy);
}

void DrawRedo(QPainter& p) {
    QPainterPath path;
    path.moveTo(4.0, 13.5);
    path.cubicTo(0.5, 10.0, 2.5, 4.5, 7.5, 4.5);
    path.lineTo(11.0, 4.5);
    DrawCurvedArrow(p, path, 2.4, 6.2, 3.6, Navy);
}

void DrawStar(QPainter& p) {
    DrawShape(p, StarPath({8, 8.6}, 7.4, 3.0, 5), Yellow);
}

void DrawFlag(QPainter& p) {
    QPainterPath cloth;
    cloth.moveTo(4.0, 2.0);
    cloth.cubicTo(7.0, 0.5, 10.0, 3.5, 14.5, 2.0);
    cloth.lineTo(14.5, 9.0);
    cloth.cubicTo(10.0, 10.5, 7.0, 7.5, 4.0, 9.0);
    cloth.closeSubpath();
    DrawShape(p, cloth, Red);
    DrawLine(p, {3.0, 1.0}, {3.0, 15.0}, Wood.line, 1.8, Qt::RoundCap);
}

void DrawBell(QPainter& p) {
    QPainterPath bell;
    bell.moveTo(2.0, 12.5);
    bell.cubicTo(4.0, 10.5, 3.5, 8.0, 4.0, 6.0);
    bell.cubicTo(4.6, 2.4, 11.4, 2.4, 12.0, 6.0);
    bell.cubicTo(12.5, 8.0, 12.0, 10.5, 14.0, 12.5);
    bell.closeSubpath();
    const Tone gold{QColor(0xf4, 0xc8, 0x40), QColor(0x8c, 0x62, 0x08)};
    DrawShape(p, EllipsePath({8.0, 13.4}, 1.8, 1.6), gold);
    DrawShape(p, bell, gold);
    DrawShape(p, EllipsePath({8.0, 2.0}, 1.1, 1.1), gold, 0.8);
}

void DrawGlobe(QPainter& p) {
    const QPointF c(8, 8);
    DrawShape(p, EllipsePath(c, 7.0, 7.0), Tone{QColor(0x5a, 0xa0, 0xe8), Navy.line});
    const QColor line(0xe8, 0xf2, 0xff);
    QPainterPath grid = EllipsePath(c, 3.0, 7.0);
    grid.moveTo(8.0, 1.0);
    grid.lineTo(8.0, 15.0);
    grid.moveTo(1.0, 8.0);
    grid.lineTo(15.0, 8.0);
    grid.moveTo(2.4, 4.5);
    grid.lineTo(13.6, 4.5);
    grid.moveTo(2.4, 11.5);
    grid.lineTo(13.6, 11.5);
    DrawStroke(p, grid, line, 0.9);
    p.setPen(QPen(Navy.line, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 7.0, 7.0);
}

void DrawBarChart(QPainter& p) {
    DrawShape(p, RectPath({2.5, 8.5, 3, 6}), Blue, 0.9);
    DrawShape(p, RectPath({6.5, 3.5, 3, 11}), Green, 0.9);
    DrawShape(p, RectPath({10.5, 6.5, 3, 8}), Orange, 0.9);
    DrawLine(p, {1.0, 14.5}, {15.0, 14.5}, Ink, 1.0);
}

void DrawPieChart(QPainter& p) {
    const QPointF c(7.5, 8.5);
    const QRectF box(c.x() - 6.5, c.y() - 6.5, 13, 13);
    auto slice = [&](qreal start, qreal sweep, QPointF shift, const Tone& tone) {
        QPainterPath path;
        path.moveTo(c + shift);
        path.arcTo(box.translated(shift), start, sweep);
        path.closeSubpath();
        DrawShape(p, path, tone);
    };
    slice(90, 150, {0, 0}, Blue);
    slice(240, 120, {0, 0}, Green);
    // The top right quarter pulled out of the pie.
    slice(0, 90, {1.0, -1.0}, Orange);
}

// ---- 47 to 58: rows and tables, equipment, marks

void DrawDeleteRow(QPainter& p) {
    // The row to go is marked in red.
    DrawTable(p, {0.5, 0.5, 13, 12}, 3, 1, QColor(0xf6, 0xb8, 0xb0));
    DrawMinusBadge(p, {12.5, 12.5}, 3.0);
}

void DrawInsertRow(QPainter& p) {
    DrawTable(p, {0.5, 0.5, 13, 12}, 3, 2, QColor(0xbc, 0xe8, 0xbc));
    DrawPlusBadge(p, {11.5, 11.5}, 3.5);
}

void DrawGrid(QPainter& p) {
    DrawShape(p, RectPath({1.5, 2.5, 13, 11}), Paper);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue.fill);
    p.drawRect(QRectF(2.0, 3.0, 12, 2.5));
    const QColor grid = Paper.line;
    for (qreal y : {5.5, 8.5, 11.0})
        DrawLine(p, {1.5, y}, {14.5, y}, grid, 1.0);
    for (qreal x : {5.5, 10.0})
        DrawLine(p, {x, 2.5}, {x, 13.5}, grid, 1.0);
    p.setPen(QPen(Blue.line, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
}

void DrawDatabase(QPainter& p) {
    const Tone drum{QColor(0x9c, 0xc4, 0xe8), Navy.line};
    QPainterPath body;
    body.moveTo(2.5, 3.5);
    body.lineTo(2.5, 12.5);
    body.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    body.lineTo(13.5, 3.5);
    body.closeSubpath();
    DrawShape(p, body, drum);
    for (qreal y : {6.5, 9.5}) {
        QPainterPath band;
        band.arcMoveTo(QRectF(2.5, y - 2, 11, 4), 180);
        band.arcTo(QRectF(2.5, y - 2, 11, 4), 180, 180);
        DrawStroke(p, band, drum.line, 1.0, Qt::FlatCap);
    }
    DrawShape(p, EllipsePath({8.0, 3.5}, 5.5, 2.0), Tone{QColor(0xd8, 0xea, 0xfa), drum.line});
}

void DrawComputer(QPainter& p) {
    DrawShape(p, RoundRectPath({1.5, 1.5, 13, 9.5}, 1.0), Steel);
    DrawShape(p, RectPath({3.0, 3.0, 10, 6.5}), Tone{QColor(0x6a, 0xb0, 0xf0), Navy.line}, 0.8);
    DrawShape(p, PolygonPath({{6.5, 11.0}, {9.5, 11.0}, {10.5, 13.5}, {5.5, 13.5}}), Steel, 0.8);
    DrawShape(p, RectPath({3.5, 13.5, 9, 1.5}), Steel, 0.8);
}

void DrawPhone(QPainter& p) {
    DrawShape(p, RoundRectPath({4.0, 1.0, 8, 14}, 1.6), Tone{QColor(0x4a, 0x52, 0x5e), Ink});
    DrawShape(p, RectPath({5.5, 3.0, 5, 8}),
              Tone{QColor(0x8a, 0xd4, 0xf4), QColor(0x2a, 0x60, 0x80)}, 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd0, 0xd4, 0xda));
    p.drawEllipse(QPointF(8.0, 13.0), 1.0, 1.0);
}

void DrawIdea(QPainter& p) {
    QPainterPath bulb;
    bulb.moveTo(6.0, 11.0);
    bulb.cubicTo(5.5, 9.0, 3.0, 8.0, 3.0, 5.5);
    bulb.cubicTo(3.0, 0.0, 13.0, 0.0, 13.0, 5.5);
    bulb.cubicTo(13.0, 8.0, 10.5, 9.0, 10.0, 11.0);
    bulb.closeSubpath();
    DrawShape(p, bulb, Tone{QColor(0xff, 0xe8, 0x6a), QColor(0xa0, 0x7a, 0x10)});
    DrawShape(p, RectPath({6.0, 11.0, 4, 3}), Steel, 0.8);
    DrawLine(p, {6.0, 12.5}, {10.0, 12.5}, Steel.line, 0.8);
    DrawLine(p, {7.0, 14.8}, {9.0, 14.8}, Steel.line, 1.2, Qt::RoundCap);
}

void DrawPower(QPainter& p) {
    // A ring open at the top, the switch's bar through the gap.
    DrawStroke(p, Arc({8, 8.5}, 5.6, 120, 300), Red.line, 3.4);
    DrawStroke(p, Arc({8, 8.5}, 5.6, 120, 300), QColor(0xf0, 0x5a, 0x4a), 1.6);
    DrawLine(p, {8, 1.5}, {8, 8.0}, Red.line, 3.4, Qt::RoundCap);
    DrawLine(p, {8, 1.5}, {8, 8.0}, QColor(0xf0, 0x5a, 0x4a), 1.6, Qt::RoundCap);
}

void DrawExit(QPainter& p) {
    DrawShape(p, RectPath({1.5, 1.5, 8, 13}), Tone{QColor(0xe8, 0xe0, 0xd4), Wood.line});
    DrawShape(p, PolygonPath({{1.5, 1.5}, {6.5, 3.0}, {6.5, 15.5}, {1.5, 14.5}}), Wood);
    DrawArrow(p, {7.0, 8.0}, {15.5, 8.0}, 3.0, 8.0, 4.2, Green);
}

void DrawPin(QPainter& p) {
    DrawLine(p, {7.0, 9.0}, {1.5, 14.5}, Steel.line, 1.2, Qt::RoundCap);
    p.save();
    p.translate(10.0, 6.0);
    p.rotate(45.0);
    DrawShape(p, RoundRectPath({-2.2, -5.5, 4.4, 7}, 1.0), Red);
    DrawShape(p, RoundRectPath({-4.5, 1.0, 9, 2.2}, 1.0), Red);
    p.restore();
}

void DrawLink(QPainter& p) {
    // Two chain links, one through the other.
    p.save();
    p.translate(8, 8);
    p.rotate(-45.0);
    for (qreal x : {-3.2, 3.2}) {
        const QPainterPath link = RoundRectPath({x - 4.0, -2.4, 8.0, 4.8}, 2.4);
        DrawStroke(p, link, Steel.line, 2.8);
        DrawStroke(p, link, QColor(0xc4, 0xcc, 0xd8), 1.0);
    }
    p.restore();
}

void DrawAttach(QPainter& p) {
    QPainterPath clip;
    clip.moveTo(10.0, 5.0);
    clip.lineTo(10.0, 12.0);
    clip.arcTo(QRectF(5.0, 9.5, 5.0, 5.0), 0, -180);
    clip.lineTo(5.0, 3.5);
    clip.arcTo(QRectF(5.0, 1.0, 7.5, 5.0), 180, -180);
    clip.lineTo(12.5, 11.0);
    DrawStroke(p, clip, Steel.line, 2.2);
    DrawStroke(p, clip, QColor(0xc8, 0xd0, 0xda), 0.8);
}

// ---- 59 to 70: people, business, goods, tools

void DrawPeople(QPainter& p) {
    DrawPerson(p, {5.2, 0.0}, 0.68, Green);
    DrawPerson(p, {0.0, 3.6}, 0.78, Blue);
}

void DrawCustomer(QPainter& p) {
    DrawPerson(p, {0, 0}, 1.0, Blue);
}

void DrawAddPerson(QPainter& p) {
    DrawPerson(p, {-1.0, 1.5}, 0.9, Teal);
    DrawPlusBadge(p, {12.5, 4.5}, 3.0);
}

void DrawCompany(QPainter& p) {
    const Tone brick{QColor(0xd8, 0xc8, 0xb0), QColor(0x6a, 0x58, 0x40)};
    DrawShape(p, RectPath({2.5, 1.5, 8, 13}), brick);
    DrawShape(p, RectPath({10.5, 6.5, 4, 8}), Tone{QColor(0xc0, 0xae, 0x94), brick.line});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x8f, 0xe0));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawRect(QRectF(4.0 + col * 3.0, 3.0 + row * 2.5, 2, 1.5));
    p.drawRect(QRectF(12.0, 8.5, 1.5, 1.5));
    p.drawRect(QRectF(12.0, 11.0, 1.5, 1.5));
    DrawLine(p, {0.5, 14.5}, {15.5, 14.5}, Ink, 1.0);
}

void DrawTruck(QPainter& p) {
    DrawShape(p, RectPath({0.5, 3.5, 9, 8}), Orange);
    DrawShape(p, PolygonPath({{9.5, 6.5}, {13.0, 6.5}, {15.5, 9.0}, {15.5, 11.5}, {9.5, 11.5}}),
              Blue);
    DrawShape(p, PolygonPath({{10.5, 7.5}, {12.5, 7.5}, {14.0, 9.2}, {10.5, 9.2}}),
              Tone{QColor(0xd8, 0xec, 0xff), Navy.line}, 0.7);
    for (qreal x : {3.5, 12.5}) {
        DrawShape(p, EllipsePath({x, 12.5}, 2.0, 2.0), Tone{QColor(0x44, 0x48, 0x50), Ink});
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc0, 0xc4, 0xca));
        p.drawEllipse(QPointF(x, 12.5), 0.8, 0.8);
    }
}

void DrawMoney(QPainter& p) {
    // A stack of coins seen from the side, the top one showing its face.
    const Tone gold{QColor(0xf6, 0xcc, 0x3c), QColor(0x8c, 0x62, 0x08)};
    for (int i = 0; i < 4; ++i)
        DrawShape(p, RoundRectPath({2.5, 12.0 - i * 3.0, 11.0, 3.0}, 1.5), gold);
    DrawShape(p, EllipsePath({8.0, 4.0}, 5.5, 2.5), Tone{QColor(0xfc, 0xe0, 0x70), gold.line});
}

void DrawCart(QPainter& p) {
    QPainterPath frame;
    frame.moveTo(0.8, 2.0);
    frame.lineTo(3.0, 2.0);
    frame.lineTo(5.0, 10.5);
    frame.lineTo(13.0, 10.5);
    DrawStroke(p, frame, Ink, 1.4);
    DrawShape(p, PolygonPath({{3.8, 4.0}, {15.0, 4.0}, {13.5, 9.0}, {4.8, 9.0}}),
              Tone{QColor(0x6a, 0xb0, 0xf0), Navy.line});
    DrawLine(p, {7.5, 4.0}, {7.8, 9.0}, Navy.line, 0.8);
    DrawLine(p, {11.0, 4.0}, {10.8, 9.0}, Navy.line, 0.8);
    for (qreal x : {6.0, 12.0})
        DrawShape(p, EllipsePath({x, 13.3}, 1.6, 1.6), Tone{QColor(0x44, 0x48, 0x50), Ink}, 0.8);
}

void DrawTag(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(-45.0);
    QPainterPath tag =
        PolygonPath({{-7.5, -3.5}, {3.5, -3.5}, {7.5, 0.0}, {3.5, 3.5}, {-7.5, 3.5}});
    tag = tag.subtracted(EllipsePath({3.6, 0.0}, 1.1, 1.1));
    DrawShape(p, tag, Orange);
    DrawLine(p, {-5.5, -1.2}, {0.5, -1.2}, Orange.line, 0.9);
    DrawLine(p, {-5.5, 1.2}, {-1.0, 1.2}, Orange.line, 0.9);
    p.restore();
}

void DrawBarcode(QPainter& p) {
    // Bars of one, two and three units, black and white alternating from the left.
    const int units[] = {1, 1, 2, 1, 1, 2, 1, 1, 1, 2, 1};
    qreal x = 1.0;
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    for (size_t i = 0; i < std::size(units); ++i) {
        const qreal w = units[i];
        if (i % 2 == 0)
            p.drawRect(QRectF(x, 2.0, w, 9.5));
        x += w;
    }
    // Guard bars run down past the others, as on a printed code.
    p.drawRect(QRectF(1.0, 11.5, 1.0, 2.0));
    p.drawRect(QRectF(x - 1.0, 11.5, 1.0, 2.0));
    for (qreal bx : {3.0, 6.0, 9.0, 12.0})
        DrawLine(p, {bx, 13.5}, {bx + 1.5, 13.5}, QColor(0x80, 0x88, 0x94), 1.0);
}

void DrawItem(QPainter& p) {
    // A closed carton seen from above and in front, with its tape.
    const Tone top{QColor(0xf0, 0xc8, 0x88), Cardboard.line};
    const Tone side{QColor(0xc4, 0x90, 0x48), Cardboard.line};
    DrawShape(p, PolygonPath({{1.5, 5.5}, {10.0, 5.5}, {10.0, 14.5}, {1.5, 14.5}}), Cardboard);
    DrawShape(p, PolygonPath({{10.0, 5.5}, {14.5, 2.0}, {14.5, 11.0}, {10.0, 14.5}}), side);
    DrawShape(p, PolygonPath({{1.5, 5.5}, {6.0, 2.0}, {14.5, 2.0}, {10.0, 5.5}}), top);
    DrawLine(p, {3.8, 3.8}, {12.3, 3.8}, QColor(0xa0, 0x6a, 0x28), 1.0);
    DrawShape(p, RectPath({4.5, 5.5, 2.5, 3.5}), Tone{QColor(0xf0, 0xc8, 0x88), Cardboard.line},
              0.8);
}

void DrawWrench(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(45.0);
    QPainterPath handle = RoundRectPath({-1.6, -2.0, 3.2, 10.0}, 1.4);
    QPainterPath head = EllipsePath({0.0, -4.5}, 3.8, 3.8);
    QPainterPath wrench = head.united(handle).simplified();
    wrench = wrench.subtracted(RectPath({-1.3, -9.0, 2.6, 5.4}));
    DrawShape(p, wrench, Steel);
    p.restore();
}

void DrawEdit(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(45.0);
    DrawShape(p, RectPath({-2.0, -8.0, 4.0, 10.0}), Yellow);
    DrawShape(p, RectPath({-2.0, -8.8, 4.0, 2.2}), Pink, 0.9);
    DrawShape(p, PolygonPath({{-2.0, 2.0}, {2.0, 2.0}, {0.0, 7.0}}),
              Tone{QColor(0xf4, 0xd8, 0xb0), Wood.line});
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPolygon(QPolygonF({QPointF(-0.7, 5.2), QPointF(0.7, 5.2), QPointF(0.0, 7.0)}));
    p.restore();
}

// ---- 71 to 80: view, documents, moving data

void DrawView(QPainter& p) {
    QPainterPath eye;
    eye.moveTo(0.8, 8.0);
    eye.cubicTo(4.0, 2.5, 12.0, 2.5, 15.2, 8.0);
    eye.cubicTo(12.0, 13.5, 4.0, 13.5, 0.8, 8.0);
    eye.closeSubpath();
    DrawShape(p, eye, Tone{QColor(0xff, 0xff, 0xff), Ink});
    DrawShape(p, EllipsePath({8, 8}, 3.2, 3.2), Tone{QColor(0x3a, 0x8a, 0xd0), Navy.line}, 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(8, 8), 1.4, 1.4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(9.0, 7.0), 0.7, 0.7);
}

void DrawDocument(QPainter& p) {
    DrawPage(p, {2.5, 1.5, 11, 13}, 3.5);
    DrawShape(p, RectPath({4.5, 4.5, 4, 2}), Blue, 0.7);
    DrawTextLines(p, 4.5, 11.5, 8.5, 3, 2, QColor(0x80, 0x88, 0x94));
}

void DrawPreview(QPainter& p) {
    DrawPage(p, {1.5, 0.5, 10, 13}, 3.0);
    DrawTextLines(p, 3.5, 9.5, 3.5, 2, 2, QColor(0x80, 0x88, 0x94));
    DrawMagnifier(p, {9.0, 9.5}, 3.2, 5.2);
}

void DrawPageArrow(QPainter& p, bool outward) {
    DrawPage(p, {1.5, 1.5, 9, 13}, 3.0);
    DrawTextLines(p, 3.5, 7.5, 5.5, 2, 2, QColor(0x80, 0x88, 0x94));
    if (outward)
        DrawArrow(p, {5.5, 11.0}, {15.5, 11.0}, 2.6, 7.4, 4.0, Green);
    else
        DrawArrow(p, {15.5, 11.0}, {5.0, 11.0}, 2.6, 7.4, 4.0, Blue);
}

void DrawExport(QPainter& p) {
    DrawPageArrow(p, true);
}

void DrawImport(QPainter& p) {
    DrawPageArrow(p, false);
}

void DrawTray(QPainter& p) {
    QPainterPath tray;
    tray.moveTo(1.5, 9.5);
    tray.lineTo(1.5, 14.5);
    tray.lineTo(14.5, 14.5);
    tray.lineTo(14.5, 9.5);
    DrawOutlinedLine(p, tray, Steel, 1.2);
}

void DrawDownload(QPainter& p) {
    DrawTray(p);
    DrawArrow(p, {8, 0.5}, {8, 12.5}, 3.2, 9.0, 5.0, Blue);
}

void DrawUpload(QPainter& p) {
    DrawTray(p);
    DrawArrow(p, {8, 12.5}, {8, 0.5}, 3.2, 9.0, 5.0, Orange);
}

void DrawZoom(QPainter& p, bool in) {
    DrawMagnifier(p, {6.5, 6.5}, 5.2, 8.0);
    if (in)
        DrawLine(p, {6.5, 3.8}, {6.5, 9.2}, Navy.line, 1.8);
    DrawLine(p, {3.8, 6.5}, {9.2, 6.5}, Navy.line, 1.8);
}

void DrawZoomIn(QPainter& p) {
    DrawZoom(p, true);
}

void DrawZoomOut(QPainter& p) {
    DrawZoom(p, false);
}

void DrawSelectAll(QPainter& p) {
    QPen pen(Ink, 1.0);
    pen.setDashPattern({2.0, 2.0});
    p.setPen(pen);
    p.setBrush(QColor(0xd6, 0xe8, 0xfb));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    DrawShape(p, RectPath({4.5, 4.5, 7, 7}), Blue);
}

// ---- 81 to 96: notes, storage, media, process, structure

void DrawNoteSign(QPainter& p) {
    DrawPage(p, {1.5, 0.5, 10, 14}, 3.0);
    DrawTextLines(p, 3.5, 8.5, 4.5, 3, 2, QColor(0x80, 0x88, 0x94));
    // A pen signing at the bottom of the page.
    QPainterPath sign;
    sign.moveTo(3.0, 12.5);
    sign.cubicTo(4.0, 10.5, 5.0, 14.0, 6.0, 12.0);
    DrawStroke(p, sign, Navy.line, 0.9);
    p.save();
    p.translate(11.0, 8.0);
    p.rotate(35.0);
    DrawShape(p, RoundRectPath({-1.7, -8.0, 3.4, 9.5}, 1.0), Navy);
    DrawShape(p, PolygonPath({{-1.7, 1.5}, {1.7, 1.5}, {0.0, 5.8}}),
              Tone{QColor(0xd8, 0xdc, 0xe2), Steel.line}, 0.8);
    DrawLine(p, {-1.7, -5.5}, {1.7, -5.5}, QColor(0xd8, 0xdc, 0xe2), 1.0);
    p.restore();
}

void DrawChecklist(QPainter& p) {
    for (int i = 0; i < 3; ++i) {
        const qreal y = 1.5 + i * 5;
        DrawShape(p, RectPath({1.5, y, 4, 4}), Paper, 0.9);
        DrawLine(p, {7.5, y + 2}, {14.5, y + 2}, Ink, 1.4);
        if (i < 2) {
            QPainterPath tick;
            tick.moveTo(2.3, y + 1.8);
            tick.lineTo(3.5, y + 3.2);
            tick.lineTo(6.0, y - 0.5);
            DrawStroke(p, tick, Green.line, 1.5);
        }
    }
}

void DrawBookmark(QPainter& p) {
    DrawShape(p, PolygonPath({{3.5, 0.5}, {12.5, 0.5}, {12.5, 15.0}, {8.0, 10.5}, {3.5, 15.0}}),
              Purple);
    DrawLine(p, {5.5, 3.0}, {10.5, 3.0}, QColor(0xd8, 0xc4, 0xf4), 1.0);
}

void DrawBook(QPainter& p) {
    const Tone pageTone{QColor(0xff, 0xfc, 0xf2), QColor(0x7a, 0x5a, 0x2a)};
    DrawShape(
        p,
        PolygonPath({{0.5, 4.0}, {8.0, 5.5}, {15.5, 4.0}, {15.5, 14.0}, {8.0, 15.0}, {0.5, 14.0}}),
        Tone{QColor(0x8a, 0x4a, 0x1a), QColor(0x5a, 0x2a, 0x08)});
    QPainterPath left;
    left.moveTo(8.0, 4.0);
    left.cubicTo(6.0, 2.0, 3.0, 2.0, 1.5, 2.5);
    left.lineTo(1.5, 12.5);
    left.cubicTo(3.0, 12.0, 6.0, 12.0, 8.0, 14.0);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(8.0, 4.0);
    right.cubicTo(10.0, 2.0, 13.0, 2.0, 14.5, 2.5);
    right.lineTo(14.5, 12.5);
    right.cubicTo(13.0, 12.0, 10.0, 12.0, 8.0, 14.0);
    right.closeSubpath();
    DrawShape(p, left, pageTone, 0.9);
    DrawShape(p, right, pageTone, 0.9);
    DrawTextLines(p, 3.5, 6.5, 5.5, 3, 2, QColor(0xa0, 0xa4, 0xac));
    DrawTextLines(p, 9.5, 12.5, 5.5, 3, 2, QColor(0xa0, 0xa4, 0xac));
}

void DrawSave(QPainter& p) {
    DrawFloppy(p, {0, 0}, 1.0);
}

void DrawSaveAll(QPainter& p) {
    DrawFloppy(p, {0, 0}, 0.72);
    DrawFloppy(p, {4.5, 4.5}, 0.72);
}

void DrawPicture(QPainter& p) {
    DrawShape(p, RectPath({0.5, 2.5, 15, 11}), Tone{QColor(0xc8, 0xe6, 0xfa), Ink});
    DrawShape(p, PolygonPath({{1.0, 13.0}, {5.5, 7.0}, {8.5, 10.5}, {10.5, 8.5}, {15.0, 13.0}}),
              Green, 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf8, 0xc8, 0x20));
    p.drawEllipse(QPointF(11.5, 5.5), 1.6, 1.6);
}

void DrawCalculator(QPainter& p) {
    DrawShape(p, RoundRectPath({2.5, 0.5, 11, 15}, 1.4), Tone{QColor(0x5a, 0x62, 0x70), Ink});
    DrawShape(p, RectPath({4.0, 2.0, 8, 3.5}),
              Tone{QColor(0xc8, 0xe8, 0xc0), QColor(0x30, 0x50, 0x30)}, 0.7);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.setBrush(col == 2 && row == 2 ? QColor(0xf3, 0x9a, 0x35) : QColor(0xe8, 0xea, 0xee));
            p.drawRect(QRectF(4.0 + col * 2.9, 7.0 + row * 2.8, 2.0, 1.9));
        }
    }
}

void DrawWait(QPainter& p) {
    const Tone frame{QColor(0x9a, 0x6a, 0x3a), Wood.line};
    QPainterPath glass;
    glass.moveTo(4.0, 2.5);
    glass.lineTo(12.0, 2.5);
    glass.cubicTo(12.0, 6.0, 9.0, 7.0, 9.0, 8.0);
    glass.cubicTo(9.0, 9.0, 12.0, 10.0, 12.0, 13.5);
    glass.lineTo(4.0, 13.5);
    glass.cubicTo(4.0, 10.0, 7.0, 9.0, 7.0, 8.0);
    glass.cubicTo(7.0, 7.0, 4.0, 6.0, 4.0, 2.5);
    glass.closeSubpath();
    DrawShape(p, glass, Tone{QColor(0xee, 0xf6, 0xff), Ink}, 0.9);
    // Sand: a little left above, a heap below.
    const QColor sand(0xe8, 0xb8, 0x50);
    p.setPen(Qt::NoPen);
    p.setBrush(sand);
    p.drawPolygon(QPolygonF({QPointF(6.2, 5.6), QPointF(9.8, 5.6), QPointF(8.0, 7.6)}));
    p.drawPolygon(QPolygonF({QPointF(5.0, 13.0), QPointF(11.0, 13.0), QPointF(8.0, 10.2)}));
    DrawShape(p, RectPath({2.5, 1.0, 11, 1.8}), frame, 0.8);
    DrawShape(p, RectPath({2.5, 13.2, 11, 1.8}), frame, 0.8);
}

void DrawRun(QPainter& p) {
    DrawShape(p, EllipsePath({8, 8}, 7.0, 7.0), Green);
    DrawShape(p, PolygonPath({{6.0, 4.5}, {6.0, 11.5}, {11.5, 8.0}}),
              Tone{QColor(0xff, 0xff, 0xff), QColor(0xff, 0xff, 0xff)}, 0.6);
}

void DrawPause(QPainter& p) {
    DrawShape(p, RoundRectPath({3.5, 2.5, 3, 11}, 0.8), Orange);
    DrawShape(p, RoundRectPath({9.5, 2.5, 3, 11}, 0.8), Orange);
}

void DrawStop(QPainter& p) {
    DrawShape(p, RoundRectPath({3.5, 3.5, 9, 9}, 1.0), Tone{QColor(0xc0, 0x30, 0x28), Red.line});
}

void DrawWindow(QPainter& p) {
    DrawShape(p, RectPath({1.5, 2.5, 13, 11}), Paper);
    p.setPen(Qt::NoPen);
    p.setBrush(Navy.fill);
    p.drawRect(QRectF(2.0, 3.0, 12, 2.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11.5, 3.5, 1.5, 1.5));
    DrawTextLines(p, 3.5, 10.0, 8.5, 2, 2.5, QColor(0xa0, 0xa8, 0xb4));
    p.setPen(QPen(Navy.line, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
}

void DrawTree(QPainter& p) {
    QPainterPath branches;
    branches.moveTo(4.0, 5.0);
    branches.lineTo(4.0, 12.0);
    branches.lineTo(9.0, 12.0);
    branches.moveTo(4.0, 8.0);
    branches.lineTo(9.0, 8.0);
    DrawStroke(p, branches, Ink, 1.0, Qt::FlatCap);
    DrawShape(p, RectPath({1.5, 1.5, 5, 4}), Orange, 0.9);
    DrawShape(p, RectPath({9.5, 6.5, 5, 3}), Blue, 0.9);
    DrawShape(p, RectPath({9.5, 10.5, 5, 3}), Green, 0.9);
}

void DrawPeriodic(QPainter& p) {
    // A calendar with a clock before it: a job that runs on a schedule.
    DrawCalendar(p, {-0.5, -0.5}, 0.8);
    const QPointF c(11.5, 11.5);
    DrawStroke(p, EllipsePath(c, 4.5, 4.5), Qt::white, 1.6);
    DrawShape(p, EllipsePath(c, 4.0, 4.0), Tone{QColor(0xff, 0xff, 0xff), Navy.line}, 1.2);
    DrawLine(p, c, {11.5, 8.8}, Ink, 1.0);
    DrawLine(p, c, {14.0, 11.5}, Red.line, 1.0);
}

void DrawSum(QPainter& p) {
    QPainterPath sigma;
    sigma.moveTo(13.0, 4.5);
    sigma.lineTo(13.0, 2.0);
    sigma.lineTo(3.0, 2.0);
    sigma.lineTo(8.5, 8.0);
    sigma.lineTo(3.0, 14.0);
    sigma.lineTo(13.0, 14.0);
    sigma.lineTo(13.0, 11.5);
    DrawStroke(p, sigma, Purple.line, 3.4, Qt::FlatCap);
    DrawStroke(p, sigma, Purple.fill, 1.6, Qt::FlatCap);
}

struct Entry {
    int index;
    int frames;
    void (*draw)(QPainter&);
};

// The glyph numbers are fixed: the dialogs choose glyphs by number (4 clear, 8 look-up,
// 9 quick date, 11 phrase, 47 delete a row, 60 customer, 68 item, 81 note and sign-off,
// 85 save). New glyphs go at the end.
constexpr std::array Entries{
    Entry{1, 2, DrawOk},
    Entry{2, 2, DrawCancel},
    Entry{3, 1, DrawAdd},
    Entry{4, 2, DrawClear},
    Entry{5, 1, DrawNew},
    Entry{6, 1, DrawOpen},
    Entry{7, 1, DrawPrint},
    Entry{8, 1, DrawLookUp},
    Entry{9, 1, DrawQuickDate},
    Entry{10, 1, DrawClock},
    Entry{11, 1, DrawPhrase},
    Entry{12, 1, DrawRefresh},
    Entry{13, 1, DrawHelp},
    Entry{14, 1, DrawInfo},
    Entry{15, 1, DrawWarning},
    Entry{16, 1, DrawStopSign},
    Entry{17, 2, DrawFirst},
    Entry{18, 2, DrawPrior},
    Entry{19, 2, DrawNext},
    Entry{20, 2, DrawLast},
    Entry{21, 1, DrawArrowUp},
    Entry{22, 1, DrawArrowDown},
    Entry{23, 1, DrawArrowLeft},
    Entry{24, 1, DrawArrowRight},
    Entry{25, 1, DrawRemove},
    Entry{26, 1, DrawFilter},
    Entry{27, 1, DrawSortAscending},
    Entry{28, 1, DrawSortDescending},
    Entry{29, 1, DrawKey},
    Entry{30, 1, DrawLock},
    Entry{31, 1, DrawUnlock},
    Entry{32, 1, DrawMail},
    Entry{33, 1, DrawHome},
    Entry{34, 1, DrawSettings},
    Entry{35, 2, DrawTrash},
    Entry{36, 1, DrawCut},
    Entry{37, 1, DrawCopy},
    Entry{38, 1, DrawPaste},
    Entry{39, 1, DrawUndo},
    Entry{40, 1, DrawRedo},
    Entry{41, 1, DrawStar},
    Entry{42, 1, DrawFlag},
    Entry{43, 1, DrawBell},
    Entry{44, 1, DrawGlobe},
    Entry{45, 1, DrawBarChart},
    Entry{46, 1, DrawPieChart},
    Entry{47, 1, DrawDeleteRow},
    Entry{48, 1, DrawInsertRow},
    Entry{49, 1, DrawGrid},
    Entry{50, 1, DrawDatabase},
    Entry{51, 1, DrawComputer},
    Entry{52, 1, DrawPhone},
    Entry{53, 1, DrawIdea},
    Entry{54, 1, DrawPower},
    Entry{55, 1, DrawExit},
    Entry{56, 1, DrawPin},
    Entry{57, 1, DrawLink},
    Entry{58, 1, DrawAttach},
    Entry{59, 1, DrawPeople},
    Entry{60, 1, DrawCustomer},
    Entry{61, 1, DrawAddPerson},
    Entry{62, 1, DrawCompany},
    Entry{63, 1, DrawTruck},
    Entry{64, 1, DrawMoney},
    Entry{65, 1, DrawCart},
    Entry{66, 1, DrawTag},
    Entry{67, 1, DrawBarcode},
    Entry{68, 1, DrawItem},
    Entry{69, 1, DrawWrench},
    Entry{70, 1, DrawEdit},
    Entry{71, 1, DrawView},
    Entry{72, 1, DrawDocument},
    Entry{73, 1, DrawPreview},
    Entry{74, 1, DrawExport},
    Entry{75, 1, DrawImport},
    Entry{76, 1, DrawDownload},
    Entry{77, 1, DrawUpload},
    Entry{78, 1, DrawZoomIn},
    Entry{79, 1, DrawZoomOut},
    Entry{80, 1, DrawSelectAll},
    Entry{81, 1, DrawNoteSign},
    Entry{82, 1, DrawChecklist},
    Entry{83, 1, DrawBookmark},
    Entry{84, 1, DrawBook},
    Entry{85, 1, DrawSave},
    Entry{86, 1, DrawSaveAll},
    Entry{87, 1, DrawPicture},
    Entry{88, 1, DrawCalculator},
    Entry{89, 1, DrawWait},
    Entry{90, 1, DrawRun},
    Entry{91, 1, DrawPause},
    Entry{92, 1, DrawStop},
    Entry{93, 1, DrawWindow},
    Entry{94, 1, DrawTree},
    Entry{95, 1, DrawPeriodic},
    Entry{96, 1, DrawSum},
};

constexpr bool NumberedInOrder() {
    for (size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].index != static_cast<int>(i) + 1 || Entries[i].frames < 1 ||
            Entries[i].frames > 2)
            return false;
    return true;
}
static_assert(NumberedInOrder(), "glyph entries must be numbered 1, 2, 3, ... with 1 or 2 frames");

const Entry* Find(int index) {
    if (index < 1 || index > static_cast<int>(Entries.size()))
        return nullptr;
    return &Entries[static_cast<size_t>(index) - 1];
}

// The disabled picture: the same shape in light greys, a little faded, the way a disabled
// toolbar button looks.
QImage Disabled(const QImage& frame) {
    QImage out = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const int grey = qGray(c);
            const int v = 120 + grey * 100 / 255;
            row[x] = qRgba(v, v, v, std::max(1, a * 3 / 4));
        }
    }
    return out;
}

} // namespace

int GlyphCatalog::MaxIndex() {
    return static_cast<int>(Entries.size());
}

int GlyphCatalog::FrameCount(int index) {
    const Entry* entry = Find(index);
    return entry ? entry->frames : 0;
}

QImage GlyphCatalog::Render(int index) {
    // A glyph's picture never changes, and a dialog asks for the same few dozens of times as
    // its buttons are made: each is drawn once and handed out as a shared copy afterwards.
    static std::mutex lock;
    static std::unordered_map<int, QImage> drawn;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (auto it = drawn.find(index); it != drawn.end())
            return it->second;
    }
    QImage image = Draw(index);
    std::lock_guard<std::mutex> hold(lock);
    drawn.emplace(index, image);
    return image;
}

QImage GlyphCatalog::Draw(int index) {
    const Entry* entry = Find(index);
    if (entry == nullptr)
        return {};
    QImage picture(FrameSize, FrameSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing, true);
        entry->draw(p);
    }
    const QImage normal = picture.convertToFormat(QImage::Format_ARGB32);
    if (entry->frames == 1)
        return normal;
    QImage glyph(entry->frames * FrameSize, FrameSize, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, picture);
        p.drawImage(FrameSize, 0, Disabled(normal));
    }
    return glyph.convertToFormat(QImage::Format_ARGB32);
}

} // namespace nuv
