#include "DemoSiteSupport.h"
#include "TestSupport.h"
#include "Trailer.h"
#include "catalogue/ListFile.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>

using namespace demotest;

namespace {

QDate ParseDate(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("M/d/yyyy"));
}

// The text a marker carries: from after the marker to the next ':'.
QString MarkerText(const QString& notes, const QString& marker)
{
    const qsizetype start = notes.indexOf(marker);
    if (start < 0)
        return QString();
    const qsizetype from = start + marker.size();
    const qsizetype colon = notes.indexOf(QLatin1Char(':'), from);
    return colon < 0 ? QString() : notes.mid(from, colon - from);
}

// Relative paths and bytes of every file below `root`.
QMap<QString, QByteArray> FilesBelow(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), testsupport::ReadFile(path));
    }
    return files;
}

// The entry without what depends on the day the site was written.
CatalogueEntry WithoutDates(CatalogueEntry e)
{
    static const QRegularExpression badgeDate(QStringLiteral("BADGE:\\{[0-9/]*\\}"));
    e.releaseDate.clear();
    e.notes.replace(badgeDate, QStringLiteral("BADGE:{}"));
    return e;
}

QString InfoOf(const QString& quibbit)
{
    return QString::fromUtf8(testsupport::Run(quibbit, {QStringLiteral("--info")}).out);
}

} // namespace

TEST_F(DemoSiteTest, CatalogueDescribesEveryDemoQuibbit)
{
    const EntrySequence& entries = Site().entries;
    ASSERT_EQ(entries.size(), qsizetype(demo::kDemoQuibbits.size()));
    static const QRegularExpression checksumForm(QStringLiteral("^0x[0-9a-f]{8}$"));
    QSet<QString> sites;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const CatalogueEntry& e = entries[i];
        const demo::DemoQuibbit& q = demo::kDemoQuibbits[std::size_t(i)];
        SCOPED_TRACE(e.title.toStdString());
        EXPECT_EQ(e.gameName, Text(q.gameName));
        EXPECT_EQ(e.site, Text(q.site));
        EXPECT_EQ(e.title, e.gameName + QStringLiteral(" Quibbit - ") + e.site);
        EXPECT_EQ(e.exeName, Text(q.exeName));
        EXPECT_TRUE(e.exeName.endsWith(QStringLiteral(".exe")));
        EXPECT_EQ(e.setupName, Text(q.setupName));
        EXPECT_TRUE(QFile::exists(Site().InstallerOf(e)));
        EXPECT_TRUE(checksumForm.match(e.checksum).hasMatch()) << e.checksum.toStdString();
        EXPECT_EQ(ParseDate(e.releaseDate), Site().today.addDays(-q.releaseDaysAgo))
            << e.releaseDate.toStdString();
        EXPECT_FALSE(e.notes.isEmpty());
        sites.insert(e.site);
    }
    EXPECT_GE(sites.size(), 3);
}

TEST_F(DemoSiteTest, NotesCarryEveryMarkerAndBothKindsOfReleaseDate)
{
    bool gen = false, update = false, plainBadge = false, badgeInForce = false,
         badgeExpired = false, status = false, lineBreak = false, recent = false, old = false;
    for (const CatalogueEntry& e : Site().entries) {
        SCOPED_TRACE(e.title.toStdString());
        const QString& n = e.notes;
        gen = gen || !MarkerText(n, QStringLiteral("GEN:")).isEmpty();
        update = update || !MarkerText(n, QStringLiteral("UPDATE:")).isEmpty();
        const QString statusText = MarkerText(n, QStringLiteral("STATUS:"));
        if (!statusText.isEmpty()) {
            EXPECT_GT(statusText.indexOf(QLatin1Char('@')), 0) << "a status needs a label";
            status = true;
        }
        if (n.contains(QStringLiteral("BADGE:{"))) {
            const qsizetype open = n.indexOf(QStringLiteral("BADGE:{")) + 7;
            const qsizetype close = n.indexOf(QLatin1Char('}'), open);
            ASSERT_GT(close, open);
            const QDate date = ParseDate(n.mid(open, close - open));
            ASSERT_TRUE(date.isValid());
            const qint64 age = date.daysTo(Site().today);
            badgeInForce = badgeInForce || (age >= 0 && age <= 6);
            badgeExpired = badgeExpired || age > 6;
            EXPECT_GT(n.indexOf(QLatin1Char(':'), close), close + 1) << "a badge needs a text";
        } else if (n.contains(QStringLiteral("BADGE:"))) {
            plainBadge = plainBadge || !MarkerText(n, QStringLiteral("BADGE:")).isEmpty();
        }
        lineBreak = lineBreak || n.contains(QStringLiteral("\r\n"));
        const qint64 age = ParseDate(e.releaseDate).daysTo(Site().today);
        recent = recent || (age >= 0 && age < 30);
        old = old || age >= 30;
    }
    EXPECT_TRUE(gen);
    EXPECT_TRUE(update);
    EXPECT_TRUE(plainBadge);
    EXPECT_TRUE(badgeInForce);
    EXPECT_TRUE(badgeExpired);
    EXPECT_TRUE(status);
    EXPECT_TRUE(lineBreak);
    EXPECT_TRUE(recent);
    EXPECT_TRUE(old);
}

TEST_F(DemoSiteTest, EachInstallerInstallsADistinctExecutableWithTheCatalogueChecksum)
{
    testsupport::TempFolder target;
    QSet<QString> checksums;
    for (const CatalogueEntry& e : Site().entries) {
        SCOPED_TRACE(e.title.toStdString());
        const QString folder = target.File(e.title);
        const testsupport::RunResult r =
            testsupport::Run(Site().InstallerOf(e), InstallArguments(folder));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString exe = folder + QLatin1Char('/') + e.exeName;
        EXPECT_EQ(CrcText(exe), e.checksum);
        const demo::DemoQuibbit* q = DemoOf(e);
        ASSERT_NE(q, nullptr);
        EXPECT_TRUE(InfoOf(exe).startsWith(QStringLiteral("title=") + Text(q->windowTitle) +
                                           QLatin1Char('\n')));
        checksums.insert(e.checksum);
    }
    EXPECT_EQ(checksums.size(), Site().entries.size());
}

TEST_F(DemoSiteTest, OneOutdatedBuildWhoseChecksumDiffersFromTheCatalogue)
{
    const QString outdated = Site().root + QStringLiteral("/outdated");
    const QMap<QString, QByteArray> files = FilesBelow(outdated);
    int quibbits = 0;
    for (const CatalogueEntry& e : Site().entries) {
        const QString relative = e.title + QLatin1Char('/') + e.exeName;
        if (!files.contains(relative))
            continue;
        ++quibbits;
        SCOPED_TRACE(relative.toStdString());
        const QString exe = outdated + QLatin1Char('/') + relative;
        const QString crc = CrcText(exe);
        ASSERT_FALSE(crc.isEmpty());
        EXPECT_NE(crc, e.checksum);
        const demo::DemoQuibbit* q = DemoOf(e);
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(InfoOf(exe), QStringLiteral("title=%1\nclass=%2.%3\nversion=%4\n")
                                   .arg(Text(q->windowTitle), e.exeName.chopped(4).toLower(),
                                        Text(demo::kWindowClass), Text(demo::kOutdatedVersion)));
        EXPECT_TRUE(files.contains(e.title + QStringLiteral("/unins000.exe")));
    }
    EXPECT_EQ(quibbits, 1);
    EXPECT_EQ(files.size(), 2) << QStringList(files.keys()).join(QLatin1Char(' ')).toStdString();
}

// Everything but the dates follows from the built programs alone; the build
// has written the same site.
TEST_F(DemoSiteTest, OnlyTheDatesDependOnTheDay)
{
    testsupport::TempFolder sameDay;
    testsupport::TempFolder otherDay;
    ASSERT_EQ(GenerateSite(sameDay.Path(), Site().today), QString());
    ASSERT_EQ(GenerateSite(otherDay.Path(), Site().today.addDays(45)), QString());

    const QMap<QString, QByteArray> reference = FilesBelow(Site().root);
    const struct {
        const char* name;
        QString root;
        bool sameDates;
    } cases[] = {
        {"same day", sameDay.Path(), true},
        {"other day", otherDay.Path(), false},
        {"the build's site", QStringLiteral(ZENDREL_DEMO_SITE_DIR), false},
    };
    const QString catalogue = QStringLiteral("appdata/zendrel.gnames.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QMap<QString, QByteArray> files = FilesBelow(c.root);
        ASSERT_TRUE(files.contains(catalogue));
        if (c.sameDates) {
            EXPECT_EQ(files, reference);
            continue;
        }
        const EntrySequence entries = ParseListText(files.take(catalogue));
        ASSERT_EQ(entries.size(), Site().entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i)
            EXPECT_EQ(WithoutDates(entries[i]), WithoutDates(Site().entries[i]));
        QMap<QString, QByteArray> programs = reference;
        programs.remove(catalogue);
        // Other tools may add their own files to the build's site.
        for (auto it = programs.cbegin(); it != programs.cend(); ++it)
            EXPECT_TRUE(files.value(it.key()) == it.value()) << it.key().toStdString();
    }
}

TEST(DemoSiteGenerator, RefusesWithoutItsInputs)
{
    testsupport::TempFolder out;
    testsupport::TempFolder emptyBin;
    const QString generator = testsupport::BuiltProgram(QStringLiteral("demo-site"));
    const struct {
        const char* name;
        QStringList args;
    } cases[] = {
        {"no output folder", {}},
        {"no programs",
         {QStringLiteral("--out"), out.Path(), QStringLiteral("--bin"), emptyBin.Path()}},
        {"bad day",
         {QStringLiteral("--out"), out.Path(), QStringLiteral("--today"), QStringLiteral("soon")}},
        {"unknown option",
         {QStringLiteral("--out"), out.Path(), QStringLiteral("--colour"), QStringLiteral("red")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::RunResult r = testsupport::Run(generator, c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.startsWith("demo-site: ")) << r.err.toStdString();
    }
    EXPECT_TRUE(QDir(out.Path()).isEmpty());
}
