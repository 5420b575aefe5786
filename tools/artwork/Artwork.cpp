#include "Artwork.h"

#include "Glyphs.h"
#include "Style.h"

#include <QPainter>

namespace artwork {

std::vector<Picture> IconPictures()
{
    std::vector<Picture> all;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        Picture pic;
        pic.path = QStringLiteral("icon/zendrel-%1.png").arg(size);
        pic.alias = QStringLiteral("icon/128-%1.png").arg(size);
        pic.size = QSize(size, size);
        pic.alpha = true;
        pic.doubled = false;
        // Small sizes fill their square so the emblem keeps its weight; larger
        // ones leave the usual margin of desktop icons.
        const qreal margin = size >= 32 ? size / 16.0 : (size >= 22 ? 1.0 : 0.0);
        pic.draw = [size, margin](QPainter& p) {
            const Emblem e = EmblemPaths({margin, margin}, size - 2 * margin);
            p.fillPath(e.tile, colour::blue);
            p.fillPath(e.letter, colour::white);
            p.fillPath(e.dot, colour::hover);
        };
        all.push_back(pic);
    }
    return all;
}

std::vector<Picture> AllPictures()
{
    std::vector<Picture> all = SkinPictures();
    for (auto& part : {DialogPictures(), IconPictures()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

QImage Render(const Picture& picture, int scale)
{
    QImage image(picture.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        picture.draw(p);
    }
    return image.convertToFormat(picture.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
}

} // namespace artwork
