#pragma once

#include <QPainterPath>
#include <QPointF>

namespace artwork {

// Solid glyphs as fill paths (holes are real holes, so the face shows through),
// each centred on `c` and scaled by `size` (the glyph's overall extent in pixels).
QPainterPath GearGlyph(QPointF c, qreal size);
QPainterPath QuestionGlyph(QPointF c, qreal size);
QPainterPath BugGlyph(QPointF c, qreal size);
QPainterPath PeopleGlyph(QPointF c, qreal size);
QPainterPath HeartGlyph(QPointF c, qreal size, bool plus);
QPainterPath MagnifierGlyph(QPointF c, qreal size, qreal stroke);
QPainterPath PlayGlyph(QPointF c, qreal size);
QPainterPath DownloadGlyph(QPointF c, qreal size);
QPainterPath RefreshGlyph(QPointF c, qreal size);
QPainterPath StopGlyph(QPointF c, qreal size);
QPainterPath AsteriskGlyph(QPointF c, qreal size);

// The product's emblem: a rounded square holding a "Z" and a dot, in a
// size x size box at `topLeft`. Returned as three paths to fill in turn;
// small emblems have no dot.
struct Emblem {
    QPainterPath tile;
    QPainterPath letter;
    QPainterPath dot;
};
Emblem EmblemPaths(QPointF topLeft, qreal size);

} // namespace artwork
