// The start sound: a short rising three-note bell chime, fading to silence.

#include "Artwork.h"

#include <QDataStream>
#include <QIODevice>
#include <cmath>
#include <numbers>
#include <vector>

namespace artwork {

namespace {

struct Note {
    double start;     // seconds
    double frequency; // Hz
    double level;
};

// C6, E6, G6: a major triad, each struck a little after the one before.
const Note kNotes[] = {{0.0, 1046.50, 0.55}, {0.075, 1318.51, 0.5}, {0.15, 1567.98, 0.6}};

// Bell partials: ratio to the fundamental and relative strength.
const struct {
    double ratio;
    double level;
    double decay; // seconds to fall to 1/e
} kPartials[] = {{1.0, 1.0, 0.22}, {2.0, 0.35, 0.12}, {3.01, 0.12, 0.07}, {4.2, 0.05, 0.04}};

double Sample(double t)
{
    double v = 0.0;
    for (const Note& n : kNotes) {
        const double u = t - n.start;
        if (u < 0)
            continue;
        const double attack = std::min(1.0, u / 0.004);
        for (const auto& part : kPartials)
            v += n.level * part.level * attack * std::exp(-u / part.decay) *
                 std::sin(2.0 * std::numbers::pi * n.frequency * part.ratio * u);
    }
    return v;
}

} // namespace

QByteArray ChimeWav()
{
    const int count = kChimeRate * kChimeMilliseconds / 1000;
    std::vector<double> wave(count);
    double peak = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / kChimeRate;
        // The last 60 ms fade out so the sound ends without a click.
        const double tail = (count - i) / (0.06 * kChimeRate);
        wave[i] = Sample(t) * std::min(1.0, tail);
        peak = std::max(peak, std::abs(wave[i]));
    }
    const double gain = 0.7 * 32767.0 / peak;

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataSize = quint32(count) * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize);
    out.writeRawData("WAVE", 4);
    out.writeRawData("fmt ", 4);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kChimeRate) << quint32(kChimeRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataSize;
    for (double v : wave)
        out << qint16(std::lround(v * gain));
    return bytes;
}

} // namespace artwork
