#include "Style.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

namespace artwork {

namespace {

const QString kFamily = QStringLiteral("Liberation Sans");

// Horizontal squeeze and offset that fit the path's ink into `box`, centred.
void PlaceInk(QPainter& p, const QPainterPath& path, const QRectF& box, qreal baseline, bool centre)
{
    const QRectF ink = path.boundingRect();
    const qreal squeeze = ink.width() > box.width() ? box.width() / ink.width() : 1.0;
    const qreal x = centre ? box.center().x() - ink.center().x() * squeeze : box.left();
    p.translate(x, baseline);
    p.scale(squeeze, 1.0);
}

qreal CapBaseline(const QFont& font, const QRectF& box)
{
    return box.center().y() + QFontMetricsF(font).capHeight() / 2.0;
}

} // namespace

QString CheckFonts()
{
    for (bool bold : {false, true}) {
        QFont font = WordFont(12, bold);
        const QFontInfo info(font);
        if (info.family() != kFamily || info.bold() != bold)
            return QStringLiteral("font \"%1\"%2 is not installed (found \"%3\"); install "
                                  "fonts-liberation2")
                .arg(kFamily, bold ? QStringLiteral(" Bold") : QString(), info.family());
    }
    return QString();
}

QFont WordFont(int pixelSize, bool bold, qreal letterSpacing)
{
    QFont font(kFamily);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    font.setKerning(true);
    if (letterSpacing != 0.0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return font;
}

QPainterPath TextPath(const QFont& font, const QString& text)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

void DrawCentredText(QPainter& p, const QRectF& box, const QFont& font, const QString& text,
                     const QColor& colour)
{
    const QPainterPath path = TextPath(font, text);
    p.save();
    PlaceInk(p, path, box, CapBaseline(font, box), true);
    p.fillPath(path, colour);
    p.restore();
}

void DrawLeftText(QPainter& p, const QRectF& box, const QFont& font, const QString& text,
                  const QColor& colour)
{
    const QPainterPath path = TextPath(font, text);
    p.save();
    PlaceInk(p, path, box, CapBaseline(font, box), false);
    p.fillPath(path, colour);
    p.restore();
}

} // namespace artwork
