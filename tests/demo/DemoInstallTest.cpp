#include "DemoSiteSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/stat.h>

using namespace demotest;

namespace {

QStringList FileNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList Installed(const CatalogueEntry& e)
{
    QStringList names{e.exeName, QStringLiteral("unins000.exe")};
    names.sort();
    return names;
}

class DemoInstallTest : public DemoSiteTest {
protected:
    const CatalogueEntry& Chess() const { return Site().entries.first(); }
    QString FolderFor(const CatalogueEntry& e) const
    {
        return target_.File(QStringLiteral("Games/Zendrel Quibbits/") + e.title);
    }
    QString ExeOf(const CatalogueEntry& e) const
    {
        return FolderFor(e) + QLatin1Char('/') + e.exeName;
    }
    testsupport::RunResult Install(const CatalogueEntry& e) const
    {
        return testsupport::Run(Site().InstallerOf(e), InstallArguments(FolderFor(e)));
    }

    testsupport::TempFolder target_;
};

} // namespace

TEST_F(DemoInstallTest, WritesTheQuibbitAndItsUninstallerIntoTheNamedFolder)
{
    const CatalogueEntry& e = Chess();
    const QString folder = FolderFor(e);
    const struct {
        const char* name;
        QStringList args;
    } cases[] = {
        {"quoted switches",
         {QStringLiteral("/VERYSILENT"), QStringLiteral("/NOCANCEL"),
          QStringLiteral("/DIR=\"%1\"").arg(folder), QStringLiteral("/NOICONS"),
          QStringLiteral("/MERGETASKS=\"!desktopicon\"")}},
        {"plain switches", InstallArguments(folder)},
        {"folder only", {QStringLiteral("/dir=") + folder}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(target_.Path()).removeRecursively();
        QDir().mkpath(target_.Path());
        const testsupport::RunResult r = testsupport::Run(Site().InstallerOf(e), c.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(FileNames(folder), Installed(e));
        for (const QString& name : Installed(e)) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), &st),
                      0);
            EXPECT_EQ(st.st_mode & 07777, 0755u) << name.toStdString();
        }
        EXPECT_EQ(CrcText(ExeOf(e)), e.checksum);
    }
}

TEST_F(DemoInstallTest, WritesOnlyAfterTheConfiguredDelay)
{
    qputenv("ZENDREL_DEMO_INSTALL_DELAY_MS", "800");
    QProcess installer;
    QElapsedTimer clock;
    clock.start();
    installer.start(Site().InstallerOf(Chess()), InstallArguments(FolderFor(Chess())));
    ASSERT_TRUE(installer.waitForStarted(5000));
    EXPECT_FALSE(QFile::exists(ExeOf(Chess())));
    ASSERT_TRUE(installer.waitForFinished(10000));
    EXPECT_GE(clock.elapsed(), 800);
    EXPECT_EQ(installer.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(ExeOf(Chess())));
}

TEST_F(DemoInstallTest, UpdateReplacesTheOutdatedExecutable)
{
    const CatalogueEntry& e = Chess();
    const QString outdated =
        Site().root + QStringLiteral("/outdated/") + e.title + QLatin1Char('/') + e.exeName;
    const QByteArray oldBytes = testsupport::ReadFile(outdated);
    ASSERT_FALSE(oldBytes.isEmpty());
    ASSERT_TRUE(QDir().mkpath(FolderFor(e)));
    ASSERT_TRUE(QFile::copy(outdated, ExeOf(e)));
    ASSERT_NE(CrcText(ExeOf(e)), e.checksum);

    // A copy that is running keeps its file: the new one takes its name.
    QFile held(ExeOf(e));
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));

    const testsupport::RunResult r = Install(e);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(CrcText(ExeOf(e)), e.checksum);
    EXPECT_EQ(held.readAll(), oldBytes);
    EXPECT_EQ(FileNames(FolderFor(e)), Installed(e));
}

TEST_F(DemoInstallTest, FailsWithoutAFolderItCanUse)
{
    target_.Write(QStringLiteral("plain-file"), "not a folder");
    const struct {
        const char* name;
        QStringList args;
        const char* says;
    } cases[] = {
        {"no /DIR", {QStringLiteral("/VERYSILENT"), QStringLiteral("/NOCANCEL")}, "/DIR="},
        {"empty /DIR", {QStringLiteral("/VERYSILENT"), QStringLiteral("/DIR=")}, "/DIR="},
        {"empty quoted /DIR",
         {QStringLiteral("/VERYSILENT"), QStringLiteral("/DIR=\"\"")},
         "/DIR="},
        {"folder below a file",
         {QStringLiteral("/VERYSILENT"),
          QStringLiteral("/DIR=") + target_.File(QStringLiteral("plain-file/Chess"))},
         "cannot create"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::RunResult r = testsupport::Run(Site().InstallerOf(Chess()), c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_EQ(FileNames(target_.Path()), QStringList{QStringLiteral("plain-file")});
    }
}

TEST_F(DemoInstallTest, BareProgramsRefuseToWork)
{
    const QString folder = target_.File(QStringLiteral("Bare"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString uninstaller = folder + QStringLiteral("/unins000.exe");
    ASSERT_TRUE(
        QFile::copy(testsupport::BuiltProgram(QStringLiteral("demo-uninstaller")), uninstaller));
    target_.Write(QStringLiteral("Bare/keep.txt"), "mine");
    const struct {
        const char* name;
        QString program;
        QStringList args;
    } cases[] = {
        {"installer stub", testsupport::BuiltProgram(QStringLiteral("demo-installer")),
         InstallArguments(folder)},
        {"quibbit", testsupport::BuiltProgram(QStringLiteral("demo-quibbit")), {}},
        {"uninstaller", uninstaller, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::RunResult r = testsupport::Run(c.program, c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.startsWith("demo-")) << r.err.toStdString();
        EXPECT_EQ(FileNames(folder),
                  (QStringList{QStringLiteral("keep.txt"), QStringLiteral("unins000.exe")}));
    }
}

TEST_F(DemoInstallTest, UninstallerRemovesTheQuibbitItselfAndAnEmptyFolder)
{
    const CatalogueEntry& e = Chess();
    const struct {
        const char* name;
        bool userFile;
    } cases[] = {{"only the quibbit", false}, {"with a file of the user", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::RunResult install = Install(e);
        ASSERT_EQ(install.exitCode, 0) << install.err.toStdString();
        if (c.userFile)
            testsupport::WriteFile(FolderFor(e) + QStringLiteral("/scores.txt"), "42");

        const testsupport::RunResult r =
            testsupport::Run(FolderFor(e) + QStringLiteral("/unins000.exe"), {});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        if (c.userFile) {
            EXPECT_EQ(FileNames(FolderFor(e)), QStringList{QStringLiteral("scores.txt")});
            QDir(FolderFor(e)).removeRecursively();
        } else {
            EXPECT_FALSE(QFileInfo::exists(FolderFor(e)));
        }
        EXPECT_TRUE(QFileInfo(FolderFor(e)).dir().exists());
    }
}

TEST_F(DemoInstallTest, QuibbitWithoutADisplayFails)
{
    ASSERT_EQ(Install(Chess()).exitCode, 0);
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const testsupport::RunResult r = testsupport::Run(ExeOf(Chess()), {}, 5000);
    if (!display.isNull())
        qputenv("DISPLAY", display);
    EXPECT_GT(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("cannot open the X display")) << r.err.toStdString();
}
