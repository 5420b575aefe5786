#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace artwork {

struct Picture {
    QString path;  // relative to the output folder, e.g. "skin/133.png"
    QString alias; // name in the resource file
    QSize size;    // in pixels at 1x
    bool alpha = false;
    bool doubled = true; // also written as "<name>@2x.png", drawn at twice the size
    // Draws the picture in 1x coordinates; the painter is already scaled.
    std::function<void(QPainter&)> draw;
};

std::vector<Picture> SkinPictures();
std::vector<Picture> DialogPictures();
std::vector<Picture> IconPictures();
std::vector<Picture> AllPictures();

QImage Render(const Picture& picture, int scale);

// The start chime: mono 16-bit PCM WAV.
inline constexpr int kChimeRate = 44100;
inline constexpr int kChimeMilliseconds = 600;
QByteArray ChimeWav();
inline const QString kChimePath = QStringLiteral("sound/zendrel.wav");
inline const QString kChimeAlias = QStringLiteral("sound/174.wav");

} // namespace artwork
