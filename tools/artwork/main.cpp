// zendrel-artwork OUTPUT-FOLDER [--sheet FILE.png]
// Draws every picture of Zendrel, its icon and its start chime into
// OUTPUT-FOLDER, with a Qt resource file that lists them. The same run on the
// same system always writes the same bytes.

#include "Artwork.h"
#include "Style.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool WritePng(const QString& path, const QImage& image)
{
    QDir().mkpath(QFileInfo(path).path());
    QImageWriter writer(path, "png");
    return writer.write(image);
}

QString DoubledPath(const QString& path)
{
    return path.left(path.size() - 4) + QStringLiteral("@2x.png");
}

QByteArray ResourceFile(const std::vector<std::pair<QString, QString>>& entries)
{
    QByteArray text;
    QTextStream out(&text);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const auto& [alias, path] : entries)
        out << "  <file alias=\"" << alias << "\">" << path << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    out.flush();
    return text;
}

// All pictures side by side on one page, for looking them over.
QImage ContactSheet(const std::vector<artwork::Picture>& pictures)
{
    const int width = 1500;
    const int pad = 14;
    struct Cell {
        QImage image;
        QString label;
        QPoint at;
    };
    std::vector<Cell> cells;
    // Mock-ups of the window: a row selected with the pointer over the gear,
    // and (at 2x) the second tab current while new entries exist.
    const struct {
        int scale;
        std::vector<std::pair<const char*, QPoint>> parts;
    } mocks[] = {
        {1, {{"skin/156.png", {6, 14}}, {"skin/159.png", {15, 76}}, {"skin/140.png", {14, 287}}}},
        {2, {{"skin/170.png", {15, 76}}, {"skin/160.png", {116, 76}}, {"skin/145.png", {14, 287}}}},
    };
    const auto find = [&](const QString& path, int scale) {
        for (const auto& pic : pictures)
            if (pic.path == path)
                return artwork::Render(pic, scale);
        return QImage();
    };
    for (const auto& mock : mocks) {
        QImage image = find(QStringLiteral("skin/133.png"), mock.scale);
        QPainter p(&image);
        for (const auto& [path, at] : mock.parts)
            p.drawImage(at * mock.scale, find(QLatin1String(path), mock.scale));
        p.end();
        cells.push_back({image, QStringLiteral("mock-up"), {}});
    }
    for (const auto& pic : pictures) {
        cells.push_back({artwork::Render(pic, 1), pic.path, {}});
        if (pic.doubled && pic.size.width() > 300)
            cells.push_back({artwork::Render(pic, 2), DoubledPath(pic.path), {}});
    }
    int x = pad;
    int y = pad;
    int rowHeight = 0;
    for (auto& cell : cells) {
        const int w = qMax(cell.image.width(), 70);
        if (x + w + pad > width) {
            x = pad;
            y += rowHeight + pad + 14;
            rowHeight = 0;
        }
        cell.at = QPoint(x, y);
        x += w + pad;
        rowHeight = qMax(rowHeight, cell.image.height());
    }
    QImage sheet(width, y + rowHeight + pad + 14, QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x86, 0x90));
    QPainter p(&sheet);
    p.setFont(artwork::WordFont(10, false));
    for (const auto& cell : cells) {
        p.drawImage(cell.at, cell.image);
        p.setPen(Qt::white);
        p.drawText(cell.at + QPoint(0, cell.image.height() + 11), QFileInfo(cell.label).fileName());
    }
    return sheet;
}

int Usage()
{
    std::fputs("usage: zendrel-artwork OUTPUT-FOLDER [--sheet FILE.png]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures need fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments().mid(1);
    QString outDir;
    QString sheetPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--sheet") && i + 1 < args.size())
            sheetPath = args[++i];
        else if (outDir.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            outDir = args[i];
        else
            return Usage();
    }
    if (outDir.isEmpty())
        return Usage();

    const QString fontProblem = artwork::CheckFonts();
    if (!fontProblem.isEmpty()) {
        std::fprintf(stderr, "zendrel-artwork: %s\n", qPrintable(fontProblem));
        return 1;
    }

    const QDir out(outDir);
    std::vector<std::pair<QString, QString>> entries;
    const auto pictures = artwork::AllPictures();
    for (const auto& pic : pictures) {
        if (!WritePng(out.filePath(pic.path), artwork::Render(pic, 1))) {
            std::fprintf(stderr, "zendrel-artwork: cannot write %s\n",
                         qPrintable(out.filePath(pic.path)));
            return 1;
        }
        entries.emplace_back(pic.alias, pic.path);
        if (pic.doubled) {
            const QString path = DoubledPath(pic.path);
            if (!WritePng(out.filePath(path), artwork::Render(pic, 2))) {
                std::fprintf(stderr, "zendrel-artwork: cannot write %s\n",
                             qPrintable(out.filePath(path)));
                return 1;
            }
            entries.emplace_back(DoubledPath(pic.alias), path);
        }
    }
    entries.emplace_back(artwork::kChimeAlias, artwork::kChimePath);
    if (!WriteBytes(out.filePath(artwork::kChimePath), artwork::ChimeWav()) ||
        !WriteBytes(out.filePath(QStringLiteral("resources.qrc")), ResourceFile(entries))) {
        std::fprintf(stderr, "zendrel-artwork: cannot write into %s\n", qPrintable(outDir));
        return 1;
    }

    if (!sheetPath.isEmpty() && !ContactSheet(pictures).save(sheetPath, "png")) {
        std::fprintf(stderr, "zendrel-artwork: cannot write %s\n", qPrintable(sheetPath));
        return 1;
    }
    return 0;
}
