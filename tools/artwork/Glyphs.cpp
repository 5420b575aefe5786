#include "Glyphs.h"

#include "Style.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace artwork {

namespace {

QPainterPath Stroked(const QPainterPath& line, qreal width, Qt::PenCapStyle cap = Qt::RoundCap,
                     Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(join);
    return stroker.createStroke(line).simplified();
}

QPainterPath Line(QPointF a, QPointF b)
{
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPainterPath Circle(QPointF c, qreal r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPointF Polar(QPointF c, qreal r, qreal degrees)
{
    const qreal a = degrees * std::numbers::pi / 180.0;
    return {c.x() + r * std::cos(a), c.y() + r * std::sin(a)};
}

// One head-and-shoulders figure whose top is at `top`, `s` pixels tall.
QPainterPath Person(QPointF top, qreal s)
{
    QPainterPath head = Circle({top.x(), top.y() + s * 0.22}, s * 0.21);
    QPainterPath body;
    body.addRoundedRect(QRectF(top.x() - s * 0.38, top.y() + s * 0.5, s * 0.76, s * 0.8), s * 0.32,
                        s * 0.32);
    QPainterPath cut;
    cut.addRect(QRectF(top.x() - s, top.y() + s * 0.5, 2 * s, s * 0.5));
    return head.united(body.intersected(cut));
}

} // namespace

QPainterPath GearGlyph(QPointF c, qreal size)
{
    const qreal outer = size / 2.0;
    const qreal root = outer * 0.74;
    QPolygonF rim;
    const int teeth = 8;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * 360.0 / teeth - 90.0;
        rim << Polar(c, root, a - 17) << Polar(c, outer, a - 10) << Polar(c, outer, a + 10)
            << Polar(c, root, a + 17) << Polar(c, root, a + 22.5);
    }
    QPainterPath gear;
    gear.addPolygon(rim);
    gear.closeSubpath();
    gear = gear.united(Circle(c, root * 1.01));
    return gear.subtracted(Circle(c, outer * 0.34)).simplified();
}

QPainterPath QuestionGlyph(QPointF c, qreal size)
{
    const QFont font = WordFont(qRound(size * 0.74));
    QPainterPath mark = TextPath(font, QStringLiteral("?"));
    const QRectF ink = mark.boundingRect();
    mark.translate(c - ink.center());
    return Circle(c, size / 2.0).subtracted(mark);
}

QPainterPath BugGlyph(QPointF c, qreal size)
{
    const qreal s = size;
    const qreal w = s * 0.075;
    QPainterPath body;
    body.addEllipse(QPointF(c.x(), c.y() + s * 0.1), s * 0.22, s * 0.3);
    QPainterPath bug = body.united(Circle({c.x(), c.y() - s * 0.25}, s * 0.14));
    for (int side : {-1, 1}) {
        const qreal x0 = c.x() + side * s * 0.16;
        const qreal x1 = c.x() + side * s * 0.42;
        bug = bug.united(Stroked(Line({x0, c.y() - s * 0.04}, {x1, c.y() - s * 0.16}), w));
        bug = bug.united(Stroked(Line({x0, c.y() + s * 0.12}, {x1, c.y() + s * 0.12}), w));
        bug = bug.united(Stroked(Line({x0, c.y() + s * 0.26}, {x1, c.y() + s * 0.4}), w));
        QPainterPath feeler({c.x() + side * s * 0.07, c.y() - s * 0.35});
        feeler.quadTo(c.x() + side * s * 0.12, c.y() - s * 0.48, c.x() + side * s * 0.24,
                      c.y() - s * 0.47);
        bug = bug.united(Stroked(feeler, w));
    }
    QPainterPath split;
    split.addRect(QRectF(c.x() - s * 0.025, c.y() - s * 0.12, s * 0.05, s * 0.54));
    QPainterPath neck;
    neck.addRect(QRectF(c.x() - s * 0.3, c.y() - s * 0.135, s * 0.6, s * 0.045));
    return bug.subtracted(split).subtracted(neck).simplified();
}

QPainterPath PeopleGlyph(QPointF c, qreal size)
{
    const qreal s = size;
    QPainterPath front = Person({c.x() - s * 0.13, c.y() - s * 0.36}, s * 0.78);
    QPainterPath back = Person({c.x() + s * 0.2, c.y() - s * 0.46}, s * 0.66);
    // A gap around the front figure keeps the two silhouettes apart.
    back = back.subtracted(front.united(Stroked(front, s * 0.12)));
    QPainterPath bottom;
    bottom.addRect(QRectF(c.x() - s, c.y() - s, 2 * s, s * 1.42));
    return front.united(back).intersected(bottom).simplified();
}

QPainterPath HeartGlyph(QPointF c, qreal size, bool plus)
{
    QPainterPath heart(QPointF(0.5, 0.93));
    heart.cubicTo(0.5, 0.93, 0.0, 0.62, 0.0, 0.3);
    heart.cubicTo(0.0, 0.12, 0.14, 0.0, 0.28, 0.0);
    heart.cubicTo(0.39, 0.0, 0.47, 0.07, 0.5, 0.16);
    heart.cubicTo(0.53, 0.07, 0.61, 0.0, 0.72, 0.0);
    heart.cubicTo(0.86, 0.0, 1.0, 0.12, 1.0, 0.3);
    heart.cubicTo(1.0, 0.62, 0.5, 0.93, 0.5, 0.93);
    heart.closeSubpath();
    const qreal len = 0.38;
    const qreal bar = 0.12;
    QPainterPath sign;
    sign.addRect(QRectF(0.5 - len / 2, 0.41 - bar / 2, len, bar));
    if (plus) {
        QPainterPath upright;
        upright.addRect(QRectF(0.5 - bar / 2, 0.41 - len / 2, bar, len));
        sign = sign.united(upright);
    }
    QTransform t;
    t.translate(c.x() - size / 2.0, c.y() - size * 0.465);
    t.scale(size, size);
    return t.map(heart.subtracted(sign));
}

QPainterPath MagnifierGlyph(QPointF c, qreal size, qreal stroke)
{
    const QPointF lens = c + QPointF(-size * 0.1, -size * 0.1);
    const qreal r = size * 0.3;
    QPainterPath ring = Stroked(Circle(lens, r), stroke);
    const QPointF start = Polar(lens, r, 45);
    const QPointF end = c + QPointF(size * 0.42, size * 0.42);
    return ring.united(Stroked(Line(start, end), stroke * 1.35)).simplified();
}

QPainterPath PlayGlyph(QPointF c, qreal size)
{
    const qreal s = size;
    QPolygonF tri;
    tri << QPointF(c.x() - s * 0.3, c.y() - s * 0.4) << QPointF(c.x() + s * 0.42, c.y())
        << QPointF(c.x() - s * 0.3, c.y() + s * 0.4);
    QPainterPath path;
    path.addPolygon(tri);
    path.closeSubpath();
    return path.united(Stroked(path, s * 0.1)).simplified();
}

QPainterPath DownloadGlyph(QPointF c, qreal size)
{
    const qreal s = size;
    const qreal w = s * 0.14;
    QPainterPath arrow = Stroked(Line({c.x(), c.y() - s * 0.46}, {c.x(), c.y() + s * 0.08}), w);
    QPainterPath head({c.x() - s * 0.24, c.y() - s * 0.1});
    head.lineTo(c.x(), c.y() + s * 0.14);
    head.lineTo(c.x() + s * 0.24, c.y() - s * 0.1);
    arrow = arrow.united(Stroked(head, w));
    QPainterPath tray({c.x() - s * 0.42, c.y() + s * 0.18});
    tray.lineTo(c.x() - s * 0.42, c.y() + s * 0.42);
    tray.lineTo(c.x() + s * 0.42, c.y() + s * 0.42);
    tray.lineTo(c.x() + s * 0.42, c.y() + s * 0.18);
    return arrow.united(Stroked(tray, w)).simplified();
}

QPainterPath RefreshGlyph(QPointF c, qreal size)
{
    const qreal s = size;
    const qreal r = s * 0.34;
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    const qreal startAngle = 60;
    const qreal sweep = 260;
    QPainterPath arc;
    arc.arcMoveTo(box, startAngle);
    arc.arcTo(box, startAngle, sweep);
    QPainterPath path = Stroked(arc, s * 0.14, Qt::FlatCap);
    // The head sits on the arc's end and points along the turn.
    const qreal a = (startAngle + sweep) * std::numbers::pi / 180.0;
    const QPointF end = arc.currentPosition();
    const QPointF radial(std::cos(a), -std::sin(a));
    const QPointF along(-std::sin(a), -std::cos(a));
    QPolygonF head;
    head << end + radial * (s * 0.2) << end - radial * (s * 0.2) << end + along * (s * 0.24);
    QPainterPath headPath;
    headPath.addPolygon(head);
    headPath.closeSubpath();
    return path.united(headPath).simplified();
}

QPainterPath StopGlyph(QPointF c, qreal size)
{
    QPainterPath path;
    const qreal side = size * 0.72;
    path.addRoundedRect(QRectF(c.x() - side / 2, c.y() - side / 2, side, side), size * 0.12,
                        size * 0.12);
    return path;
}

QPainterPath AsteriskGlyph(QPointF c, qreal size)
{
    QPainterPath star;
    for (int i = 0; i < 3; ++i) {
        const qreal a = -90 + i * 60;
        star = star.united(
            Stroked(Line(Polar(c, size * 0.38, a), Polar(c, size * 0.38, a + 180)), size * 0.2));
    }
    return star.simplified();
}

Emblem EmblemPaths(QPointF topLeft, qreal size)
{
    Emblem e;
    const auto at = [&](qreal x, qreal y) { return topLeft + QPointF(x * size, y * size); };
    e.tile.addRoundedRect(QRectF(topLeft, QSizeF(size, size)), size * 0.23, size * 0.23);
    QPolygonF z;
    z << at(0.27, 0.25) << at(0.73, 0.25) << at(0.73, 0.38) << at(0.45, 0.62) << at(0.73, 0.62)
      << at(0.73, 0.75) << at(0.27, 0.75) << at(0.27, 0.62) << at(0.55, 0.38) << at(0.27, 0.38);
    QPainterPath letter;
    letter.addPolygon(z);
    letter.closeSubpath();
    e.letter = letter.united(Stroked(letter, size * 0.035)).simplified();
    // Below 20 pixels the dot would only blur the letter.
    if (size < 20)
        return e;
    const QPointF centre = at(0.5, 0.5);
    e.letter = e.letter.subtracted(Circle(centre, size * 0.135)).simplified();
    e.dot = Circle(centre, size * 0.095);
    return e;
}

} // namespace artwork
