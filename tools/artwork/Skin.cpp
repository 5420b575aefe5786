// The main window's face (133), its picture buttons and the list backgrounds.
// Every button picture is drawn over the face as it lies under the button's
// place in the window, so a button and the face meet without a seam.

#include "Artwork.h"
#include "Glyphs.h"
#include "Style.h"

#include <QLinearGradient>
#include <QPainter>

namespace artwork {

namespace {

const QSize kFaceSize(366, 438);

// Places of the pictures in the window (top-left of their control).
const QPoint kGearAt(6, 14);
const QPoint kHelpAt(45, 13);
const QPoint kBugAt(86, 15);
const QPoint kAccountAt(130, 12);
const QPoint kFavAt(319, 74);
const QPoint kTabAt[3] = {{15, 76}, {116, 76}, {216, 76}};
const QPoint kActionAt(14, 287);

const QSize kGearSize(39, 36);
const QSize kHelpSize(39, 37);
const QSize kBugSize(37, 35);
const QSize kAccountSize(40, 37);
const QSize kFavSize(34, 28);
const QSize kTabSize[3] = {{99, 26}, {98, 26}, {98, 26}};
const QSize kActionSize(338, 42);

const QRect kList(15, 102, 336, 184);
const QRect kNotes(15, 330, 336, 78);
const QRect kTicker(18, 410, 330, 21);
const QRect kSearch(251, 18, 101, 24);
const int kHeaderHeight = 20;
const int kColumnWidths[3] = {160, 79, 75};
const int kStripeHeight = 20;

enum class Icon { Gear, Help, Bug, Account, FavPlus, FavMinus };
enum class TabLook { Plain, Selected, Fresh };
enum class Action { Launch, Install, Update, Find, Stop };

void FillRect(QPainter& p, const QRectF& r, const QColor& c)
{
    p.fillRect(r, c);
}

void FillRounded(QPainter& p, const QRectF& r, qreal radius, const QColor& c)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, c);
}

// A one-pixel ring just outside `inner`, for the frames around live controls.
void Frame(QPainter& p, const QRect& inner, const QColor& c)
{
    FillRect(p, QRectF(inner).adjusted(-1, -1, 1, 1), c);
}

void DrawListBody(QPainter& p, const QRectF& area, bool striped)
{
    FillRect(p, area, colour::panel);
    if (!striped)
        return;
    for (qreal y = area.top(); y < area.bottom(); y += 2 * kStripeHeight)
        FillRect(p,
                 QRectF(area.left(), y + kStripeHeight, area.width(),
                        qMin<qreal>(kStripeHeight, area.bottom() - y - kStripeHeight)),
                 colour::stripe);
}

void DrawListHeader(QPainter& p)
{
    const QRectF bar(kList.left(), kList.top(), kList.width(), kHeaderHeight);
    FillRect(p, bar, colour::header);
    FillRect(p, QRectF(bar.left(), bar.bottom() - 1, bar.width(), 1), colour::rule);
    const QFont font = WordFont(10, true, 0.6);
    const QString words[3] = {QStringLiteral("GAME NAME"), QStringLiteral("SITE"),
                              QStringLiteral("STATUS")};
    qreal x = bar.left();
    for (int i = 0; i < 3; ++i) {
        DrawLeftText(p, QRectF(x + 7, bar.top(), kColumnWidths[i] - 10, kHeaderHeight - 1), font,
                     words[i], colour::headerText);
        x += kColumnWidths[i];
        FillRect(p, QRectF(x - 1, bar.top() + 4, 1, kHeaderHeight - 9), colour::rule);
    }
}

void DrawEmblem(QPainter& p, QPointF topLeft, qreal size)
{
    const Emblem e = EmblemPaths(topLeft, size);
    p.fillPath(e.tile, colour::blue);
    p.fillPath(e.letter, colour::white);
    p.fillPath(e.dot, colour::hover);
}

// Everything of the face that no button covers.
void DrawBase(QPainter& p)
{
    QLinearGradient face(0, 0, 0, kFaceSize.height());
    face.setColorAt(0, colour::faceTop);
    face.setColorAt(1, colour::faceBottom);
    p.fillRect(QRect(QPoint(0, 0), kFaceSize), face);

    // Search field: a white pill that the edit control sits in, with the magnifier.
    const QRectF pill(kSearch.left() - 23, kSearch.top() - 3, kSearch.width() + 26,
                      kSearch.height() + 6);
    FillRounded(p, pill, kRadius, colour::white);
    p.fillPath(MagnifierGlyph({pill.left() + 12.5, pill.center().y()}, 14, 2.0), colour::muted);

    // Wordmark under the icon row.
    DrawEmblem(p, {16, 54}, 16);
    DrawLeftText(p, QRectF(38, 54, 120, 16), WordFont(14), QStringLiteral("Zendrel"), colour::icon);

    // List with its header and stripes.
    Frame(p, kList, colour::frame);
    DrawListBody(p,
                 QRectF(kList.left(), kList.top() + kHeaderHeight, kList.width(),
                        kList.height() - kHeaderHeight),
                 true);
    DrawListHeader(p);

    // The tab strip's base line, which the selected tab joins.
    FillRect(p, QRectF(kList.left() - 1, kList.top() - 2, kList.width() + 2, 2), colour::blue);

    // Well of the action button.
    const QRectF well(kActionAt, kActionSize);
    FillRounded(p, well, kRadius, colour::frame);
    FillRounded(p, well.adjusted(1, 1, -1, -1), kRadius - 1, colour::well);

    Frame(p, kNotes, colour::frame);
    FillRect(p, kNotes, colour::panel);

    Frame(p, kTicker, colour::frame);
    FillRect(p, kTicker, colour::well);
}

QPainterPath IconGlyph(Icon icon, const QRectF& box)
{
    const QPointF c = box.center();
    switch (icon) {
    case Icon::Gear:
        return GearGlyph(c, 25);
    case Icon::Help:
        return QuestionGlyph(c, 25);
    case Icon::Bug:
        return BugGlyph(c, 26);
    case Icon::Account:
        return PeopleGlyph(c + QPointF(0, 1), 26);
    case Icon::FavPlus:
        return HeartGlyph(c, 22, true);
    case Icon::FavMinus:
        return HeartGlyph(c, 22, false);
    }
    return QPainterPath();
}

void DrawIcon(QPainter& p, Icon icon, const QRectF& box, bool hover)
{
    if (hover) {
        const qreal r = qMin(box.width(), box.height()) / 2.0 - 0.5;
        QPainterPath disc;
        disc.addEllipse(box.center(), r, r);
        p.fillPath(disc, QColor(255, 255, 255, 24));
    }
    p.fillPath(IconGlyph(icon, box), hover ? colour::hover : colour::icon);
}

void DrawTab(QPainter& p, const QRectF& box, const QString& word, TabLook look)
{
    const bool selected = look == TabLook::Selected;
    // A plain tab stops above the strip's base line; the selected one joins it.
    const QRectF shape(box.left(), box.top(), box.width(), box.height() - (selected ? 0 : 2));
    QPainterPath path;
    path.addRoundedRect(shape.adjusted(0, 0, 0, kRadius), kRadius, kRadius);
    QPainterPath clip;
    clip.addRect(shape);
    p.fillPath(path.intersected(clip), selected ? colour::blue : colour::tabPlain);

    const QFont font = WordFont(11, true, 0.8);
    // The same word box for every look, so the words do not jump between pictures.
    const QRectF words(box.left() + 4, box.top() + 1, box.width() - 8, box.height() - 2);
    DrawCentredText(p, words, font, word, selected ? colour::white : colour::tabPlainText);
    if (look == TabLook::Fresh) {
        const qreal half = TextPath(font, word).boundingRect().width() / 2.0;
        for (int side : {-1, 1})
            p.fillPath(
                AsteriskGlyph({words.center().x() + side * (half + 9), words.center().y()}, 9),
                colour::asterisk);
    }
}

QPainterPath ActionGlyph(Action action, QPointF c)
{
    switch (action) {
    case Action::Launch:
        return PlayGlyph(c, 17);
    case Action::Install:
        return DownloadGlyph(c, 19);
    case Action::Update:
        return RefreshGlyph(c, 20);
    case Action::Find:
        return MagnifierGlyph(c, 19, 2.6);
    case Action::Stop:
        return StopGlyph(c, 17);
    }
    return QPainterPath();
}

void DrawAction(QPainter& p, const QRectF& box, Action action, const QString& word,
                const QColor& face, const QColor& ink)
{
    FillRounded(p, box, kRadius, face);
    const QFont font = WordFont(17);
    const qreal wordWidth = TextPath(font, word).boundingRect().width();
    const qreal glyph = 20;
    const qreal gap = 10;
    const qreal left = box.center().x() - (glyph + gap + wordWidth) / 2.0;
    p.fillPath(ActionGlyph(action, {left + glyph / 2.0, box.center().y()}), ink);
    DrawLeftText(p, QRectF(left + glyph + gap, box.top(), wordWidth + 2, box.height()), font, word,
                 ink);
}

void DrawFace(QPainter& p);

// A picture that shows the face under `rect` and draws `content` over it in
// window coordinates.
Picture OnFace(const QString& id, QPoint at, QSize size,
               std::function<void(QPainter&, QRectF)> content)
{
    Picture pic;
    pic.path = QStringLiteral("skin/%1.png").arg(id);
    pic.alias = pic.path;
    pic.size = size;
    pic.draw = [at, size, content](QPainter& p) {
        p.translate(-at);
        DrawBase(p);
        content(p, QRectF(at, size));
    };
    return pic;
}

const QString kTabWords[3] = {QStringLiteral("GET MORE"), QStringLiteral("INSTALLED"),
                              QStringLiteral("FAVORITES")};

void DrawFace(QPainter& p)
{
    DrawBase(p);
    DrawIcon(p, Icon::Gear, QRectF(kGearAt, kGearSize), false);
    DrawIcon(p, Icon::Help, QRectF(kHelpAt, kHelpSize), false);
    DrawIcon(p, Icon::Bug, QRectF(kBugAt, kBugSize), false);
    DrawIcon(p, Icon::Account, QRectF(kAccountAt, kAccountSize), false);
    DrawIcon(p, Icon::FavPlus, QRectF(kFavAt, kFavSize), false);
    for (int i = 0; i < 3; ++i)
        DrawTab(p, QRectF(kTabAt[i], kTabSize[i]), kTabWords[i], TabLook::Plain);
}

Picture IconPicture(const QString& id, Icon icon, QPoint at, QSize size, bool hover)
{
    return OnFace(id, at, size,
                  [icon, hover](QPainter& p, QRectF box) { DrawIcon(p, icon, box, hover); });
}

Picture TabPicture(const QString& id, int tab, TabLook look)
{
    return OnFace(id, kTabAt[tab], kTabSize[tab],
                  [tab, look](QPainter& p, QRectF box) { DrawTab(p, box, kTabWords[tab], look); });
}

Picture ActionPicture(const QString& id, Action action, const QString& word, QColor face,
                      QColor ink)
{
    return OnFace(id, kActionAt, kActionSize,
                  [=](QPainter& p, QRectF box) { DrawAction(p, box, action, word, face, ink); });
}

Picture ListPicture(const QString& id, bool loading)
{
    Picture pic;
    pic.path = QStringLiteral("skin/%1.png").arg(id);
    pic.alias = pic.path;
    pic.size = kList.size();
    pic.draw = [loading](QPainter& p) {
        const QRectF area(QPointF(0, 0), QSizeF(kList.size()));
        DrawListBody(p, area, false);
        if (!loading) {
            // A faint emblem in the corner; rows of text stay easy to read over it.
            const Emblem e = EmblemPaths({area.right() - 78, 78}, 60);
            p.fillPath(e.tile.subtracted(e.letter).subtracted(e.dot), QColor(0x2F, 0x6F, 0xDE, 14));
            return;
        }
        // The list's view starts below its header; centre on what is left.
        const qreal centreY = 80;
        const QColor dots[3] = {colour::blue, colour::blueHover, QColor(0xA8, 0xC4, 0xF4)};
        for (int i = 0; i < 3; ++i) {
            QPainterPath dot;
            dot.addEllipse(QPointF(area.center().x() - 18 + 18 * i, centreY - 16), 5, 5);
            p.fillPath(dot, dots[i]);
        }
        DrawCentredText(p, QRectF(0, centreY, area.width(), 18), WordFont(14),
                        QStringLiteral("Loading quibbits\u2026"), colour::headerText);
        DrawCentredText(p, QRectF(0, centreY + 20, area.width(), 16), WordFont(11, false),
                        QStringLiteral("Fetching the latest catalogue"), colour::muted);
    };
    return pic;
}

} // namespace

std::vector<Picture> SkinPictures()
{
    using colour::busyFace;
    using colour::busyText;
    using colour::white;
    std::vector<Picture> all;

    Picture face;
    face.path = QStringLiteral("skin/133.png");
    face.alias = face.path;
    face.size = kFaceSize;
    face.draw = DrawFace;
    all.push_back(face);

    all.push_back(ListPicture(QStringLiteral("131"), false));
    all.push_back(ListPicture(QStringLiteral("139"), true));

    const struct {
        const char* normal;
        const char* hover;
        Icon icon;
        QPoint at;
        QSize size;
    } icons[] = {
        {"134", "156", Icon::Gear, kGearAt, kGearSize},
        {"148", "157", Icon::Help, kHelpAt, kHelpSize},
        {"168", "169", Icon::Bug, kBugAt, kBugSize},
        {"149", "158", Icon::Account, kAccountAt, kAccountSize},
        {"135", "154", Icon::FavPlus, kFavAt, kFavSize},
        {"147", "155", Icon::FavMinus, kFavAt, kFavSize},
    };
    for (const auto& i : icons) {
        all.push_back(IconPicture(QLatin1String(i.normal), i.icon, i.at, i.size, false));
        all.push_back(IconPicture(QLatin1String(i.hover), i.icon, i.at, i.size, true));
    }

    all.push_back(TabPicture(QStringLiteral("136"), 0, TabLook::Plain));
    all.push_back(TabPicture(QStringLiteral("159"), 0, TabLook::Selected));
    all.push_back(TabPicture(QStringLiteral("170"), 0, TabLook::Fresh));
    all.push_back(TabPicture(QStringLiteral("137"), 1, TabLook::Plain));
    all.push_back(TabPicture(QStringLiteral("160"), 1, TabLook::Selected));
    all.push_back(TabPicture(QStringLiteral("138"), 2, TabLook::Plain));
    all.push_back(TabPicture(QStringLiteral("161"), 2, TabLook::Selected));

    const struct {
        const char* id;
        Action action;
        const char* word;
        QColor face;
        QColor ink;
    } actions[] = {
        {"140", Action::Launch, "Launch", colour::green, white},
        {"150", Action::Launch, "Launch", colour::greenHover, white},
        {"143", Action::Launch, "Running", busyFace, busyText},
        {"167", Action::Launch, "Launching", busyFace, busyText},
        {"141", Action::Install, "Install", colour::blue, white},
        {"152", Action::Install, "Install", colour::blueHover, white},
        {"144", Action::Update, "Update", colour::orange, white},
        {"151", Action::Update, "Update", colour::orangeHover, white},
        {"145", Action::Install, "Downloading", busyFace, busyText},
        {"146", Action::Install, "Installing", busyFace, busyText},
        {"142", Action::Find, "Find my quibbits", colour::teal, white},
        {"153", Action::Find, "Find my quibbits", colour::tealHover, white},
        {"163", Action::Update, "Update all", colour::orange, white},
        {"164", Action::Update, "Update all", colour::orangeHover, white},
        {"165", Action::Stop, "Stop", colour::red, white},
        {"166", Action::Stop, "Stop", colour::redHover, white},
    };
    for (const auto& a : actions)
        all.push_back(
            ActionPicture(QLatin1String(a.id), a.action, QLatin1String(a.word), a.face, a.ink));
    return all;
}

} // namespace artwork
