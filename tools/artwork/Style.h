#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

namespace artwork {

// One palette for every picture, so the window face, its buttons and the
// dialogs' buttons read as one product.
namespace colour {
inline const QColor faceTop{0x1B, 0x27, 0x40};
inline const QColor faceBottom{0x22, 0x30, 0x4D};
inline const QColor well{0x16, 0x20, 0x35};
inline const QColor frame{0x3B, 0x4A, 0x68};
inline const QColor tabPlain{0x33, 0x42, 0x5F};
inline const QColor tabPlainText{0xA9, 0xB6, 0xCC};
inline const QColor icon{0xD5, 0xDD, 0xEA};
inline const QColor hover{0xFF, 0x9A, 0x2E};
inline const QColor blue{0x2F, 0x6F, 0xDE};
inline const QColor blueHover{0x55, 0x8D, 0xEC};
inline const QColor bluePressed{0x23, 0x57, 0xB8};
inline const QColor green{0x1F, 0x9E, 0x56};
inline const QColor greenHover{0x45, 0xBA, 0x77};
inline const QColor orange{0xE8, 0x7D, 0x1E};
inline const QColor orangeHover{0xF2, 0x9C, 0x4E};
inline const QColor teal{0x13, 0x8F, 0xA8};
inline const QColor tealHover{0x38, 0xAC, 0xC3};
inline const QColor red{0xD9, 0x3A, 0x33};
inline const QColor redHover{0xE6, 0x66, 0x5F};
inline const QColor asterisk{0xFF, 0x4A, 0x3D};
inline const QColor busyFace{0xD3, 0xD9, 0xE2};
inline const QColor busyText{0x7C, 0x87, 0x9A};
inline const QColor panel{0xF7, 0xF9, 0xFC};
inline const QColor stripe{0xED, 0xF1, 0xF7};
inline const QColor header{0xDD, 0xE4, 0xEF};
inline const QColor headerText{0x44, 0x53, 0x6E};
inline const QColor rule{0xC3, 0xCC, 0xDA};
inline const QColor muted{0x7F, 0x8C, 0xA6};
inline const QColor dialog{0xEF, 0xEF, 0xEF};
inline const QColor white{0xFF, 0xFF, 0xFF};
} // namespace colour

// Corner radius of every button face; frames around live controls stay square.
inline constexpr qreal kRadius = 6.0;
inline constexpr qreal kSmallRadius = 4.0;

// Checks that the font families the artwork uses are installed and resolve to
// themselves (no fontconfig substitution); returns an error text or empty.
QString CheckFonts();

// Liberation Sans at a pixel size, without hinting so that outlines scale
// exactly between the 1x and 2x pictures.
QFont WordFont(int pixelSize, bool bold = true, qreal letterSpacing = 0.0);

// The outline of `text` with its baseline at y = 0 and its advance starting at x = 0.
QPainterPath TextPath(const QFont& font, const QString& text);

// Fills `text` centred in `box` (by its ink), narrowing it horizontally if it
// is wider than the box.
void DrawCentredText(QPainter& p, const QRectF& box, const QFont& font, const QString& text,
                     const QColor& colour);

// Fills `text` left-aligned at x = box.left(), vertically centred by its cap height.
void DrawLeftText(QPainter& p, const QRectF& box, const QFont& font, const QString& text,
                  const QColor& colour);

} // namespace artwork
