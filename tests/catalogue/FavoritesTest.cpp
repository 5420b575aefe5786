#include "TestSupport.h"
#include "catalogue/FavoritesFile.h"
#include "catalogue/ListFile.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testsupport::TempFolder;

CatalogueEntry Favourite(const char* game, const char* site, const char* title = "",
                         const char* exe = "", const char* setup = "")
{
    CatalogueEntry e;
    e.gameName = QString::fromUtf8(game);
    e.site = QString::fromUtf8(site);
    e.title = QString::fromUtf8(title);
    e.exeName = QString::fromUtf8(exe);
    e.setupName = QString::fromUtf8(setup);
    return e;
}

class FavoritesTest : public ::testing::Test {
protected:
    TempFolder dir;
    QString path = dir.File(QStringLiteral("gnamesfav.txt"));
    void TearDown() override { platform::SetWriteFaultForTesting(0); }
};

TEST_F(FavoritesTest, FiveFieldsEachFollowedByAHashCrLfLines)
{
    CatalogueEntry full =
        Favourite("Chess", "Arena", "Chess Quibbit - Arena", "Chess.exe", "chesssetup");
    full.notes = QStringLiteral("not written");
    full.status = QStringLiteral("Running");
    EXPECT_EQ(FavoritesFileBytes({full, Favourite("100% Go", "Hub")}),
              QByteArray("Chess#Arena#Chess Quibbit - Arena#Chess.exe#chesssetup#\r\n"
                         "100% Go#Hub####\r\n"));
}

TEST_F(FavoritesTest, ReadsBackIntoTheSameFiveFields)
{
    const EntrySequence saved{
        Favourite("Chess", "Arena", "Chess Quibbit - Arena", "Chess.exe", "cs"),
        Favourite("Schäch %s", "Hub", "t"), Favourite("a", "b")};
    ASSERT_TRUE(SaveFavorites(saved, path));
    EntrySequence read;
    ASSERT_TRUE(LoadListFile(path, read));
    EXPECT_EQ(read, saved);
}

TEST_F(FavoritesTest, ThreeFavouritesReplaceWhateverTheFileHeld)
{
    dir.Write(QStringLiteral("gnamesfav.txt"), QByteArray(10000, 'x') + "\r\nold#one#\r\n");
    ASSERT_TRUE(
        SaveFavorites({Favourite("a", "1"), Favourite("b", "2"), Favourite("c", "3")}, path));
    EXPECT_EQ(dir.Read(QStringLiteral("gnamesfav.txt")),
              QByteArray("a#1####\r\nb#2####\r\nc#3####\r\n"));
}

TEST_F(FavoritesTest, NoFavouritesRemoveTheFile)
{
    dir.Write(QStringLiteral("gnamesfav.txt"), "a#b#\r\n");
    ASSERT_TRUE(SaveFavorites({}, path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(SaveFavorites({}, path)); // already gone is fine
}

TEST_F(FavoritesTest, FullDiskKeepsTheOldFileWhole)
{
    const QByteArray old = "a#1####\r\nb#2####\r\n";
    dir.Write(QStringLiteral("gnamesfav.txt"), old);
    platform::SetWriteFaultForTesting(ENOSPC);
    int err = 0;
    EXPECT_FALSE(SaveFavorites({Favourite("new", "one")}, path, &err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_EQ(dir.Read(QStringLiteral("gnamesfav.txt")), old);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("gnamesfav.txt")});
}

TEST_F(FavoritesTest, UnwritableFolderKeepsTheOldFile)
{
    if (!testsupport::CanDropPrivileges())
        GTEST_SKIP() << "needs root and setpriv to act as an unprivileged user";
    const QByteArray old = "a#1####\r\n";
    dir.Write(QStringLiteral("gnamesfav.txt"), old);
    dir.Write(QStringLiteral("list.txt"), "x#y#\r\n");
    ::chmod(QFile::encodeName(path).constData(), 0644);
    ::chmod(QFile::encodeName(dir.File(QStringLiteral("list.txt"))).constData(), 0644);
    for (bool emptyList : {false, true}) {
        SCOPED_TRACE(emptyList ? "removing" : "writing");
        if (emptyList)
            dir.Write(QStringLiteral("list.txt"), "");
        const auto r = testsupport::Run(
            QStringLiteral("setpriv"),
            testsupport::AsNobody()
                << testsupport::BuiltProgram(QStringLiteral("zendrel-fileop"))
                << QStringLiteral("fav") << path << dir.File(QStringLiteral("list.txt")));
        EXPECT_NE(r.exitCode, 0) << r.err.toStdString();
        EXPECT_NE(r.exitCode, -1) << r.err.toStdString();
        EXPECT_EQ(dir.Read(QStringLiteral("gnamesfav.txt")), old);
    }
}

} // namespace
