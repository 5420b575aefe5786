// Picture buttons of the bug reporter and of the updater's two windows: white
// words on the product blue, on the dialogs' plain background.

#include "Artwork.h"
#include "Style.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

enum class State { Normal, Hover, Pressed };

void DrawButton(QPainter& p, const QRectF& box, const QString& word, State state)
{
    p.fillRect(box, colour::dialog);
    const QColor face = state == State::Hover     ? colour::blueHover
                        : state == State::Pressed ? colour::bluePressed
                                                  : colour::blue;
    QPainterPath path;
    path.addRoundedRect(box, kSmallRadius, kSmallRadius);
    p.fillPath(path, face);
    // The words sink by a pixel while pressed.
    const QRectF words = box.adjusted(4, state == State::Pressed ? 1 : 0, -4, 0);
    DrawCentredText(p, words, WordFont(11), word, colour::white);
}

} // namespace

std::vector<Picture> DialogPictures()
{
    std::vector<Picture> all;
    const QString words[3] = {QStringLiteral("Send Bug Report"), QStringLiteral("Capture Screen"),
                              QStringLiteral("Cancel")};
    const State states[3] = {State::Normal, State::Hover, State::Pressed};
    for (int n = 0; n < 9; ++n) {
        Picture pic;
        pic.path = QStringLiteral("bugreport/%1.png").arg(n);
        pic.alias = pic.path;
        pic.size = QSize(96, 24);
        const QString word = words[n / 3];
        const State state = states[n % 3];
        pic.draw = [word, state](QPainter& p) { DrawButton(p, QRectF(0, 0, 96, 24), word, state); };
        all.push_back(pic);
    }

    // Three strips, top to bottom: plain, highlighted, pressed.
    const struct {
        const char* id;
        const char* word;
    } updater[] = {{"102", "OK"}, {"103", "Cancel"}};
    for (const auto& u : updater) {
        Picture pic;
        pic.path = QStringLiteral("updater/%1.png").arg(QLatin1String(u.id));
        pic.alias = pic.path;
        pic.size = QSize(73, 63);
        const QString word = QLatin1String(u.word);
        pic.draw = [word, states](QPainter& p) {
            for (int row = 0; row < 3; ++row)
                DrawButton(p, QRectF(0, 21 * row, 73, 21), word, states[row]);
        };
        all.push_back(pic);
    }
    return all;
}

} // namespace artwork
