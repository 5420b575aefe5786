#include "TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using testsupport::TempFolder;

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

class AtomicFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    QString path = dir.File(QStringLiteral("gnames.txt"));
    void TearDown() override { platform::SetWriteFaultForTesting(0); }
};

TEST_F(AtomicFileTest, WritesTheBytesExactly)
{
    const QByteArray contents[] = {QByteArray("a#b#\r\n"), QByteArray("with\0nul\xff", 9),
                                   QByteArray(), QByteArray(300000, 'z')};
    for (const QByteArray& bytes : contents) {
        SCOPED_TRACE(bytes.size());
        int err = -1;
        ASSERT_TRUE(platform::WriteFileAtomically(path, bytes, &err));
        EXPECT_EQ(err, 0);
        EXPECT_EQ(dir.Read(QStringLiteral("gnames.txt")), bytes);
        EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("gnames.txt")});
    }
}

TEST_F(AtomicFileTest, ALinkStaysALinkAndItsTargetIsReplaced)
{
    QDir(dir.Path()).mkdir(QStringLiteral("real"));
    const QString real = dir.File(QStringLiteral("real/gnames.txt"));
    testsupport::WriteFile(real, "old");
    ASSERT_TRUE(QFile::link(real, path));
    ASSERT_TRUE(platform::WriteFileAtomically(path, "new"));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(testsupport::ReadFile(real), QByteArray("new"));
}

TEST_F(AtomicFileTest, KeepsThePermissionsOfTheOldFile)
{
    for (mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664), mode_t(0755), mode_t(0444)}) {
        SCOPED_TRACE(mode);
        dir.Write(QStringLiteral("gnames.txt"), "old");
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_TRUE(platform::WriteFileAtomically(path, "new"));
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(dir.Read(QStringLiteral("gnames.txt")), QByteArray("new"));
    }
}

TEST_F(AtomicFileTest, NewFileFollowsTheUmask)
{
    const mode_t old = ::umask(027);
    const bool ok = platform::WriteFileAtomically(path, "x");
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ModeOf(path), mode_t(0640));
}

TEST_F(AtomicFileTest, InjectedFullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    dir.Write(QStringLiteral("gnames.txt"), "old contents\r\n");
    platform::SetWriteFaultForTesting(ENOSPC);
    int err = 0;
    EXPECT_FALSE(platform::WriteFileAtomically(path, "new", &err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_FALSE(platform::WriteFileAtomically(dir.File(QStringLiteral("fresh.txt")), "new"));
    EXPECT_EQ(dir.Read(QStringLiteral("gnames.txt")), QByteArray("old contents\r\n"));
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("gnames.txt")});
}

TEST_F(AtomicFileTest, MissingFolderFails)
{
    int err = 0;
    EXPECT_FALSE(
        platform::WriteFileAtomically(dir.File(QStringLiteral("gone/gnames.txt")), "x", &err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_TRUE(FolderEntries(dir.Path()).isEmpty());
}

TEST_F(AtomicFileTest, ConcurrentWritersNeverMixTheirContents)
{
    constexpr int kThreads = 6;
    constexpr int kWrites = 40;
    std::vector<QByteArray> contents;
    for (int t = 0; t < kThreads; ++t)
        contents.push_back(QByteArray(4096 * (t + 1), static_cast<char>('a' + t)));
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kWrites; ++i) {
                if (!platform::WriteFileAtomically(path, contents[t]))
                    ++failures[t];
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(failures[t], 0) << "writer " << t;
    const QByteArray result = dir.Read(QStringLiteral("gnames.txt"));
    EXPECT_NE(std::find(contents.begin(), contents.end(), result), contents.end());
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("gnames.txt")});
}

TEST_F(AtomicFileTest, RemoveFileIfExists)
{
    dir.Write(QStringLiteral("gnames.txt"), "x");
    int err = -1;
    EXPECT_TRUE(platform::RemoveFileIfExists(path, &err));
    EXPECT_EQ(err, 0);
    EXPECT_FALSE(QFile::exists(path));

    for (const QString& gone : {path, dir.File(QStringLiteral("no/such/file"))}) {
        SCOPED_TRACE(gone.toStdString());
        err = -1;
        EXPECT_TRUE(platform::RemoveFileIfExists(gone, &err));
        EXPECT_EQ(err, 0);
    }

    ASSERT_TRUE(QDir().mkdir(dir.File(QStringLiteral("folder"))));
    err = 0;
    EXPECT_FALSE(platform::RemoveFileIfExists(dir.File(QStringLiteral("folder")), &err));
    EXPECT_NE(err, 0);
    EXPECT_TRUE(QFileInfo(dir.File(QStringLiteral("folder"))).isDir());
}

// The program folder is decided once per process, so each case runs the
// helper program in a fresh child with its own environment.
class ProgramFolderTest : public ::testing::Test {
protected:
    TempFolder dir;

    static QString Canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

    // A copy of the helper program in `folder`, optionally with the portable marker.
    QString CopyHelperTo(const QString& folder, bool withMarker) const
    {
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString copy = folder + QStringLiteral("/zendrel-fileop");
        EXPECT_TRUE(QFile::copy(testsupport::BuiltProgram(QStringLiteral("zendrel-fileop")), copy));
        if (withMarker)
            testsupport::WriteFile(
                folder + QLatin1Char('/') + QLatin1String(platform::kPortableMarker), "");
        return copy;
    }

    // Runs `program folder` under env: "-u NAME" unsets, "NAME=value" sets.
    static QString FolderPrintedBy(const QString& program, const QStringList& env)
    {
        QStringList args = {QStringLiteral("-u"), QStringLiteral("ZENDREL_HOME"),
                            QStringLiteral("-u"), QStringLiteral("XDG_DATA_HOME")};
        args << env << program << QStringLiteral("folder");
        const auto r = testsupport::Run(QStringLiteral("/usr/bin/env"), args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QString::fromLocal8Bit(r.out).trimmed();
    }
};

TEST_F(ProgramFolderTest, ZendrelHomeComesFirst)
{
    const QString portable = CopyHelperTo(dir.File(QStringLiteral("portable")), true);
    const QString home = dir.File(QStringLiteral("my home"));
    struct Case {
        QString set;
        QString expected;
    };
    const Case cases[] = {
        {home, home},
        {home + QStringLiteral("/"), home},
        {home + QStringLiteral("/sub/../"), home},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set.toStdString());
        EXPECT_EQ(FolderPrintedBy(portable, {QStringLiteral("ZENDREL_HOME=") + c.set,
                                             QStringLiteral("XDG_DATA_HOME=") +
                                                 dir.File(QStringLiteral("xdg"))}),
                  c.expected);
    }
}

TEST_F(ProgramFolderTest, PortableMarkerBesideTheExecutable)
{
    const QString folder = dir.File(QStringLiteral("portable copy"));
    const QString portable = CopyHelperTo(folder, true);
    EXPECT_EQ(FolderPrintedBy(portable,
                              {QStringLiteral("XDG_DATA_HOME=") + dir.File(QStringLiteral("xdg"))}),
              Canonical(folder));
    EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("xdg"))));
}

TEST_F(ProgramFolderTest, DataHomeWithoutMarkerIsCreated)
{
    const QString plain = CopyHelperTo(dir.File(QStringLiteral("plain")), false);
    const QString xdg = dir.File(QStringLiteral("xdg data"));
    EXPECT_EQ(FolderPrintedBy(plain, {QStringLiteral("XDG_DATA_HOME=") + xdg}),
              xdg + QStringLiteral("/zendrel"));
    EXPECT_TRUE(QFileInfo(xdg + QStringLiteral("/zendrel")).isDir());
}

TEST_F(ProgramFolderTest, HomeLocalShareWhenDataHomeIsUnsetOrRelative)
{
    const QString plain = CopyHelperTo(dir.File(QStringLiteral("plain")), false);
    const QString home = dir.File(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    for (const QStringList& extra :
         {QStringList{}, QStringList{QStringLiteral("XDG_DATA_HOME=relative/data")}}) {
        SCOPED_TRACE(extra.join(u' ').toStdString());
        EXPECT_EQ(FolderPrintedBy(plain, QStringList{QStringLiteral("HOME=") + home} << extra),
                  home + QStringLiteral("/.local/share/zendrel"));
        EXPECT_TRUE(QFileInfo(home + QStringLiteral("/.local/share/zendrel")).isDir());
    }
}

TEST(ExecutableFolderTest, IsTheFolderOfTheRunningProgram)
{
    EXPECT_EQ(platform::ExecutableFolder(),
              QFileInfo(qEnvironmentVariable("ZENDREL_BIN_DIR")).canonicalFilePath());
}

TEST(ProgramFilePathTest, NamesAFileInsideTheProgramFolder)
{
    TempFolder dir;
    const QByteArray saved = qgetenv("ZENDREL_HOME");
    const bool had = qEnvironmentVariableIsSet("ZENDREL_HOME");
    qputenv("ZENDREL_HOME", QFile::encodeName(dir.Path()));
    const QString ini = platform::ProgramFilePath(QStringLiteral("Zendrel.ini"));
    if (had)
        qputenv("ZENDREL_HOME", saved);
    else
        qunsetenv("ZENDREL_HOME");
    EXPECT_EQ(ini, dir.Path() + QStringLiteral("/Zendrel.ini"));
}

} // namespace
