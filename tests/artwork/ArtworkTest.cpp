// The committed pictures in resources/ must be exactly what zendrel-artwork
// draws, in the sizes and looks the window and dialogs rely on.

#include "TestSupport.h"

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using testsupport::BuiltProgram;
using testsupport::ReadFile;
using testsupport::TempFolder;

QString CommittedFolder()
{
    return qEnvironmentVariable("ZENDREL_SOURCE_DIR") + QStringLiteral("/resources");
}

QStringList FilesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        out_ = std::make_unique<TempFolder>();
        const auto r = testsupport::Run(BuiltProgram(QStringLiteral("zendrel-artwork")),
                                        {out_->Path()}, 60000);
        runOk_ = r.exitCode == 0;
        if (!runOk_)
            runError_ = r.err.toStdString();
    }
    static void TearDownTestSuite() { out_.reset(); }

    void SetUp() override { ASSERT_TRUE(runOk_) << runError_; }

    static QImage Generated(const QString& path)
    {
        QImage image(out_->File(path));
        EXPECT_FALSE(image.isNull()) << path.toStdString();
        return image;
    }

    static inline std::unique_ptr<TempFolder> out_;
    static inline bool runOk_ = false;
    static inline std::string runError_;
};

TEST_F(ArtworkTest, CommittedResourcesMatchTheGenerator)
{
    const QStringList generated = FilesUnder(out_->Path());
    const QStringList committed = FilesUnder(CommittedFolder());
    ASSERT_FALSE(generated.isEmpty());
    EXPECT_EQ(generated.join(QLatin1Char('\n')).toStdString(),
              committed.join(QLatin1Char('\n')).toStdString())
        << "resources/ holds other files than the generator writes; run `ninja artwork`";
    for (const QString& file : generated) {
        if (!committed.contains(file))
            continue;
        EXPECT_TRUE(ReadFile(out_->File(file)) == ReadFile(CommittedFolder() + u'/' + file))
            << file.toStdString() << " differs from its generator; run `ninja artwork`";
    }
}

TEST_F(ArtworkTest, ResourceFileListsEveryFileOnce)
{
    QFile qrc(out_->File(QStringLiteral("resources.qrc")));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&qrc);
    QSet<QString> aliases;
    QStringList listed;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QStringLiteral("file")) {
            const QString alias = xml.attributes().value(QStringLiteral("alias")).toString();
            EXPECT_FALSE(alias.isEmpty());
            EXPECT_FALSE(aliases.contains(alias)) << alias.toStdString();
            aliases.insert(alias);
            listed << xml.readElementText();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    listed.sort();
    QStringList files = FilesUnder(out_->Path());
    files.removeAll(QStringLiteral("resources.qrc"));
    EXPECT_EQ(listed, files);
    for (const char* alias : {"skin/133.png", "skin/133@2x.png", "bugreport/0.png",
                              "updater/102.png", "icon/128-256.png", "sound/174.wav"})
        EXPECT_TRUE(aliases.contains(QLatin1String(alias))) << alias;
}

struct Size {
    const char* path;
    int width;
    int height;
};

// Pixel sizes the window layout, the bug reporter and the updater expect.
const Size kSizes[] = {
    {"skin/133.png", 366, 438},  {"skin/131.png", 336, 184},  {"skin/139.png", 336, 184},
    {"skin/134.png", 39, 36},    {"skin/156.png", 39, 36},    {"skin/135.png", 34, 28},
    {"skin/154.png", 34, 28},    {"skin/147.png", 34, 28},    {"skin/155.png", 34, 28},
    {"skin/148.png", 39, 37},    {"skin/157.png", 39, 37},    {"skin/149.png", 40, 37},
    {"skin/158.png", 40, 37},    {"skin/168.png", 37, 35},    {"skin/169.png", 37, 35},
    {"skin/136.png", 99, 26},    {"skin/159.png", 99, 26},    {"skin/170.png", 99, 26},
    {"skin/137.png", 98, 26},    {"skin/160.png", 98, 26},    {"skin/138.png", 98, 26},
    {"skin/161.png", 98, 26},    {"skin/140.png", 338, 42},   {"skin/150.png", 338, 42},
    {"skin/143.png", 338, 42},   {"skin/167.png", 338, 42},   {"skin/141.png", 338, 42},
    {"skin/152.png", 338, 42},   {"skin/144.png", 338, 42},   {"skin/151.png", 338, 42},
    {"skin/145.png", 338, 42},   {"skin/146.png", 338, 42},   {"skin/142.png", 338, 42},
    {"skin/153.png", 338, 42},   {"skin/163.png", 338, 42},   {"skin/164.png", 338, 42},
    {"skin/165.png", 338, 42},   {"skin/166.png", 338, 42},   {"bugreport/0.png", 96, 24},
    {"bugreport/1.png", 96, 24}, {"bugreport/2.png", 96, 24}, {"bugreport/3.png", 96, 24},
    {"bugreport/4.png", 96, 24}, {"bugreport/5.png", 96, 24}, {"bugreport/6.png", 96, 24},
    {"bugreport/7.png", 96, 24}, {"bugreport/8.png", 96, 24}, {"updater/102.png", 73, 63},
    {"updater/103.png", 73, 63},
};

TEST_F(ArtworkTest, PicturesHaveTheirSizesAndDoubles)
{
    for (const Size& s : kSizes) {
        const QString path = QLatin1String(s.path);
        SCOPED_TRACE(s.path);
        const QImage one = Generated(path);
        EXPECT_EQ(one.size(), QSize(s.width, s.height));
        // Opaque pictures: the window copies them over its face unblended.
        EXPECT_FALSE(one.hasAlphaChannel());
        const QImage two = Generated(path.left(path.size() - 4) + QStringLiteral("@2x.png"));
        EXPECT_EQ(two.size(), QSize(2 * s.width, 2 * s.height));
    }
}

TEST_F(ArtworkTest, IconsComeInEveryDesktopSizeWithTransparentCorners)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon = Generated(QStringLiteral("icon/zendrel-%1.png").arg(size));
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 5)), 255);
    }
}

// Share of pixels that differ clearly in some channel.
double ChangedShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    int changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 24 || qAbs(qGreen(p) - qGreen(q)) > 24 ||
                qAbs(qBlue(p) - qBlue(q)) > 24)
                ++changed;
        }
    return double(changed) / (a.width() * a.height());
}

TEST_F(ArtworkTest, HoverAndStatePicturesDifferVisibly)
{
    const struct {
        const char* a;
        const char* b;
    } pairs[] = {
        {"skin/134", "skin/156"},       {"skin/135", "skin/154"},
        {"skin/147", "skin/155"},       {"skin/148", "skin/157"},
        {"skin/149", "skin/158"},       {"skin/168", "skin/169"},
        {"skin/136", "skin/159"},       {"skin/137", "skin/160"},
        {"skin/138", "skin/161"},       {"skin/140", "skin/150"},
        {"skin/141", "skin/152"},       {"skin/144", "skin/151"},
        {"skin/142", "skin/153"},       {"skin/163", "skin/164"},
        {"skin/165", "skin/166"},       {"skin/135", "skin/147"},
        {"skin/136", "skin/170"},       {"skin/141", "skin/144"},
        {"skin/143", "skin/167"},       {"skin/145", "skin/146"},
        {"bugreport/0", "bugreport/1"}, {"bugreport/0", "bugreport/2"},
        {"bugreport/1", "bugreport/2"}, {"bugreport/0", "bugreport/3"},
        {"bugreport/3", "bugreport/6"},
    };
    for (const auto& pair : pairs) {
        for (const char* suffix : {".png", "@2x.png"}) {
            const QString a = QLatin1String(pair.a) + QLatin1String(suffix);
            const QString b = QLatin1String(pair.b) + QLatin1String(suffix);
            SCOPED_TRACE((a + QStringLiteral(" vs ") + b).toStdString());
            EXPECT_GT(ChangedShare(Generated(a), Generated(b)), 0.01);
        }
    }
}

TEST_F(ArtworkTest, UpdaterStripsDifferFromEachOther)
{
    for (const char* path : {"updater/102.png", "updater/103.png"}) {
        SCOPED_TRACE(path);
        const QImage image = Generated(QLatin1String(path));
        const QImage plain = image.copy(0, 0, 73, 21);
        const QImage hot = image.copy(0, 21, 73, 21);
        const QImage pressed = image.copy(0, 42, 73, 21);
        EXPECT_GT(ChangedShare(plain, hot), 0.3);
        EXPECT_GT(ChangedShare(plain, pressed), 0.3);
        EXPECT_GT(ChangedShare(hot, pressed), 0.3);
    }
    EXPECT_GT(ChangedShare(Generated(QStringLiteral("updater/102.png")),
                           Generated(QStringLiteral("updater/103.png"))),
              0.02);
}

// Mean HSV saturation (0..1) of `image` inside `margin` pixels from its edges.
double MeanSaturation(const QImage& image, int margin)
{
    double sum = 0;
    int count = 0;
    for (int y = margin; y < image.height() - margin; ++y)
        for (int x = margin; x < image.width() - margin; ++x) {
            sum += QColor(image.pixel(x, y)).hsvSaturationF();
            ++count;
        }
    return count ? sum / count : 0.0;
}

TEST_F(ArtworkTest, BusyButtonsAreGreyAndActiveOnesColoured)
{
    const struct {
        const char* path;
        bool grey;
    } cases[] = {
        {"skin/143.png", true},  {"skin/167.png", true},  {"skin/145.png", true},
        {"skin/146.png", true},  {"skin/140.png", false}, {"skin/150.png", false},
        {"skin/141.png", false}, {"skin/152.png", false}, {"skin/144.png", false},
        {"skin/151.png", false}, {"skin/142.png", false}, {"skin/153.png", false},
        {"skin/163.png", false}, {"skin/164.png", false}, {"skin/165.png", false},
        {"skin/166.png", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const double saturation = MeanSaturation(Generated(QLatin1String(c.path)), 8);
        if (c.grey)
            EXPECT_LT(saturation, 0.12);
        else
            EXPECT_GT(saturation, 0.35);
    }
}

bool IsRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 110 && qBlue(p) < 110;
}

int RedPixels(const QImage& image, int left, int right)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = left; x < right; ++x)
            count += IsRed(image.pixel(x, y));
    return count;
}

TEST_F(ArtworkTest, NewEntriesTabHasARedAsteriskOnEachSide)
{
    const QImage fresh = Generated(QStringLiteral("skin/170.png"));
    const QImage plain = Generated(QStringLiteral("skin/136.png"));
    const int third = fresh.width() / 3;
    EXPECT_GT(RedPixels(fresh, 0, third), 10);
    EXPECT_GT(RedPixels(fresh, fresh.width() - third, fresh.width()), 10);
    EXPECT_EQ(RedPixels(fresh, third, fresh.width() - third), 0);
    EXPECT_EQ(RedPixels(plain, 0, plain.width()), 0);
}

TEST_F(ArtworkTest, DialogButtonsCarryWhiteWordsOnBlue)
{
    // Each button face: the nine bug-report pictures and the updater's strips.
    std::vector<std::pair<QString, QRect>> faces;
    for (int n = 0; n < 9; ++n)
        faces.emplace_back(QStringLiteral("bugreport/%1.png").arg(n), QRect(0, 0, 96, 24));
    for (const char* path : {"updater/102.png", "updater/103.png"})
        for (int row = 0; row < 3; ++row)
            faces.emplace_back(QLatin1String(path), QRect(0, 21 * row, 73, 21));
    for (const auto& [path, rect] : faces) {
        SCOPED_TRACE((path + QStringLiteral(" row %1").arg(rect.top())).toStdString());
        const QImage image = Generated(path).copy(rect);
        int blue = 0;
        int white = 0;
        int inner = 0;
        for (int y = 3; y < image.height() - 3; ++y)
            for (int x = 3; x < image.width() - 3; ++x) {
                const QColor c(image.pixel(x, y));
                ++inner;
                if (c.hsvSaturation() > 100 && c.hsvHue() >= 200 && c.hsvHue() <= 235)
                    ++blue;
                if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
                    ++white;
            }
        EXPECT_GT(blue, inner / 2);
        EXPECT_GT(white, 15);
    }
}

TEST_F(ArtworkTest, NormalButtonPicturesMatchTheFaceAtTheirPlaces)
{
    // Where each control sits in the window; its normal picture is what the
    // face shows there, so the face and the buttons meet without a seam.
    const struct {
        const char* path;
        int x;
        int y;
    } places[] = {
        {"skin/134", 6, 14},   {"skin/148", 45, 13}, {"skin/168", 86, 15},  {"skin/149", 130, 12},
        {"skin/135", 319, 74}, {"skin/136", 15, 76}, {"skin/137", 116, 76}, {"skin/138", 216, 76},
    };
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        const QImage face = Generated(QStringLiteral("skin/133") + suffix);
        for (const auto& place : places) {
            const QString path = QLatin1String(place.path) + suffix;
            SCOPED_TRACE(path.toStdString());
            const QImage button = Generated(path);
            const QImage under = face.copy(QRect(QPoint(place.x, place.y) * scale, button.size()));
            int worst = 0;
            for (int y = 0; y < button.height(); ++y)
                for (int x = 0; x < button.width(); ++x) {
                    const QRgb p = button.pixel(x, y);
                    const QRgb q = under.pixel(x, y);
                    worst = std::max({worst, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                                      qAbs(qBlue(p) - qBlue(q))});
                }
            EXPECT_LE(worst, 2);
        }
    }
}

struct Wav {
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    QByteArray data;
};

template <typename T> T Le(const QByteArray& bytes, int at)
{
    T v{};
    std::memcpy(&v, bytes.constData() + at, sizeof v); // little-endian host
    return v;
}

bool ParseWav(const QByteArray& bytes, Wav& wav)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE" ||
        Le<quint32>(bytes, 4) != quint32(bytes.size() - 8))
        return false;
    bool haveFormat = false;
    for (int at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = Le<quint32>(bytes, at + 4);
        if (at + 8 + qint64(size) > bytes.size())
            return false;
        if (id == "fmt " && size >= 16) {
            wav.format = Le<quint16>(bytes, at + 8);
            wav.channels = Le<quint16>(bytes, at + 10);
            wav.rate = Le<quint32>(bytes, at + 12);
            wav.bits = Le<quint16>(bytes, at + 22);
            haveFormat = Le<quint16>(bytes, at + 20) == wav.channels * wav.bits / 8 &&
                         Le<quint32>(bytes, at + 16) == wav.rate * wav.channels * wav.bits / 8;
        } else if (id == "data") {
            wav.data = bytes.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    return haveFormat && !wav.data.isEmpty();
}

TEST_F(ArtworkTest, ChimeIsAShortPcmWaveThatEndsInSilence)
{
    Wav wav;
    ASSERT_TRUE(ParseWav(out_->Read(QStringLiteral("sound/zendrel.wav")), wav));
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.rate, 44100u);
    const int samples = wav.data.size() / 2;
    EXPECT_EQ(samples * 1000 / int(wav.rate), 600);

    int peak = 0;
    for (int i = 0; i < samples; ++i)
        peak = qMax(peak, qAbs(int(Le<qint16>(wav.data, 2 * i))));
    EXPECT_GT(peak, 16000) << "too quiet";
    EXPECT_LT(peak, 32767) << "clipped";
    // No click at the end: the last samples are close to zero.
    for (int i = samples - 10; i < samples; ++i)
        EXPECT_LT(qAbs(int(Le<qint16>(wav.data, 2 * i))), 200) << i;
}

} // namespace
