#include "platform/FileStart.h"

#include "TestSupport.h"
#include "platform/ErrorCodes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::TempFolder;

// Children write their findings to NAME.part and rename it, so a file that
// exists is complete.
std::optional<QByteArray> WaitForFile(const QString& path, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (QFileInfo::exists(path))
            return testsupport::ReadFile(path);
        QThread::msleep(5);
    }
    return std::nullopt;
}

void WriteScript(const QString& path, const QByteArray& text, mode_t mode = 0755)
{
    testsupport::WriteFile(path, text);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

platform::StartRequest Shell(const QString& script, const QStringList& args)
{
    platform::StartRequest request;
    request.program = QStringLiteral("/bin/sh");
    request.arguments = QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + args;
    return request;
}

const QString kReportPid = QStringLiteral("echo $$ > \"$1.part\" && mv \"$1.part\" \"$1\"");

class FileStartTest : public ::testing::Test {
protected:
    TempFolder dir;
};

TEST_F(FileStartTest, StartsTheProgramAndReportsItsPid)
{
    const QString out = dir.File(QStringLiteral("pid"));
    const platform::StartResult result = platform::StartDetached(Shell(kReportPid, {out}));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_GT(result.pid, 0);
    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->trimmed().toLongLong(), result.pid);
}

TEST_F(FileStartTest, ArgumentsArriveAsTheyWereGiven)
{
    const QString script = dir.File(QStringLiteral("my scripts/args.sh"));
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("my scripts"))));
    WriteScript(script, "#!/bin/sh\n"
                        "out=$1\n"
                        "shift\n"
                        "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.part\"\n"
                        "mv \"$out.part\" \"$out\"\n");
    const QStringList args = {
        QStringLiteral("with space"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\""),
        QStringLiteral("'single'"),
        QString(),
        QStringLiteral("  "),
        QStringLiteral("$HOME `id` $(id)"),
        QStringLiteral("a;b|c&d>e"),
        QStringLiteral("*"),
        QStringLiteral("back\\slash"),
        QStringLiteral("-n"),
        QStringLiteral("/VERYSILENT"),
        QStringLiteral("/DIR=/home/u/Games/Zendrel Quibbits/Title\" /NOICONS"),
        QStringLiteral("J\u00f6rg \u20ac"),
    };
    const QString out = dir.File(QStringLiteral("args"));
    platform::StartRequest request;
    request.program = script;
    request.arguments = QStringList{out} + args;
    ASSERT_TRUE(platform::StartDetached(request).ok());

    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    QByteArray expected;
    for (const QString& a : args)
        expected += a.toUtf8() + '\0';
    EXPECT_EQ(*written, expected);
}

// Puts a file on the caller's standard streams for its lifetime, so the
// child cannot find /dev/null there by inheritance.
class StandardStreamsOnFile {
public:
    explicit StandardStreamsOnFile(const QString& path)
    {
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        for (int i = 0; i < 3; ++i) {
            saved_[i] = ::fcntl(i, F_DUPFD_CLOEXEC, 10);
            ::dup2(fd, i);
        }
        ::close(fd);
    }
    ~StandardStreamsOnFile()
    {
        for (int i = 0; i < 3; ++i) {
            ::dup2(saved_[i], i);
            ::close(saved_[i]);
        }
    }

private:
    int saved_[3] = {-1, -1, -1};
};

TEST_F(FileStartTest, StandardStreamsAreDevNull)
{
    const QString out = dir.File(QStringLiteral("streams"));
    const QString script = QStringLiteral(
        "r=''; for fd in 0 1 2; do if [ /proc/$$/fd/$fd -ef /dev/null ]; then r=\"$r null\"; "
        "else r=\"$r other\"; fi; done; echo $r > \"$1.part\"; mv \"$1.part\" \"$1\"");
    platform::StartResult result;
    {
        StandardStreamsOnFile guard(dir.File(QStringLiteral("parent-streams")));
        result = platform::StartDetached(Shell(script, {out}));
    }
    ASSERT_TRUE(result.ok()) << result.error;
    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->trimmed(), QByteArray("null null null"));
    EXPECT_TRUE(dir.Read(QStringLiteral("parent-streams")).isEmpty());
}

TEST_F(FileStartTest, ChildInheritsNoOtherDescriptors)
{
    // A descriptor the caller forgot to mark close-on-exec (a socket, a lock).
    const int leaky = ::open(QFile::encodeName(dir.File(QStringLiteral("held"))).constData(),
                             O_RDWR | O_CREAT, 0600);
    ASSERT_GE(leaky, 0);
    const int fd = ::fcntl(leaky, F_DUPFD, 57);
    ::close(leaky);
    ASSERT_GE(fd, 57);
    const QString out = dir.File(QStringLiteral("fds"));
    const QString script =
        QStringLiteral("if [ -e /proc/$$/fd/%1 ]; then r=open; else r=closed; fi; "
                       "echo $r > \"$1.part\"; mv \"$1.part\" \"$1\"")
            .arg(fd);
    const platform::StartResult result = platform::StartDetached(Shell(script, {out}));
    ::close(fd);
    ASSERT_TRUE(result.ok()) << result.error;
    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->trimmed(), QByteArray("closed"));
}

TEST_F(FileStartTest, ChildHasItsOwnSessionAndIsNotOurs)
{
    const QString out = dir.File(QStringLiteral("pid"));
    const platform::StartResult result =
        platform::StartDetached(Shell(kReportPid + QStringLiteral(" && exec sleep 30"), {out}));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_TRUE(WaitForFile(out).has_value());

    EXPECT_EQ(::getsid(result.pid), result.pid);
    EXPECT_EQ(::getpgid(result.pid), result.pid);
    EXPECT_NE(::getsid(result.pid), ::getsid(0));
    // Neither the middle process nor the program is left for us to reap.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    ::kill(result.pid, SIGKILL);
}

TEST_F(FileStartTest, SignalsAreResetForTheChild)
{
    const QString out = dir.File(QStringLiteral("signals"));
    const QString script = QStringLiteral(
        "while read -r line; do case $line in SigBlk*|SigIgn*) echo \"$line\";; esac; "
        "done < /proc/$$/status > \"$1.part\"; mv \"$1.part\" \"$1\"");
    sigset_t block, oldMask;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &block, &oldMask), 0);
    struct sigaction ignore {
    }, oldInt{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGINT, &ignore, &oldInt);
    const platform::StartResult result = platform::StartDetached(Shell(script, {out}));
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);

    ASSERT_TRUE(result.ok()) << result.error;
    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, QByteArray("SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\n"));
}

TEST_F(FileStartTest, FailedStartsGiveTheSystemErrorCode)
{
    dir.Write(QStringLiteral("plain.txt"), "x");
    WriteScript(dir.File(QStringLiteral("no-exec.sh")), "#!/bin/sh\nexit 0\n", 0644);
    WriteScript(dir.File(QStringLiteral("text")), "just some text\n");
    WriteScript(dir.File(QStringLiteral("empty")), "");
    WriteScript(dir.File(QStringLiteral("bad-interpreter.sh")), "#!/nonexistent/interpreter\n");
    ASSERT_TRUE(QDir().mkdir(dir.File(QStringLiteral("folder"))));

    struct Case {
        const char* name;
        QString program;
        QString workingFolder;
        int expected;
    };
    const Case cases[] = {
        {"missing file", dir.File(QStringLiteral("none")), {}, platform::kErrorFileNotFound},
        {"missing folder on the way",
         dir.File(QStringLiteral("none/prog")),
         {},
         platform::kErrorFileNotFound},
        {"a file on the way",
         dir.File(QStringLiteral("plain.txt/prog")),
         {},
         platform::kErrorPathNotFound},
        {"no execute permission",
         dir.File(QStringLiteral("no-exec.sh")),
         {},
         platform::kErrorAccessDenied},
        {"a folder", dir.File(QStringLiteral("folder")), {}, platform::kErrorAccessDenied},
        {"neither script nor binary",
         dir.File(QStringLiteral("text")),
         {},
         platform::kErrorBadExeFormat},
        {"empty file", dir.File(QStringLiteral("empty")), {}, platform::kErrorBadExeFormat},
        {"missing interpreter",
         dir.File(QStringLiteral("bad-interpreter.sh")),
         {},
         platform::kErrorFileNotFound},
        {"bare name is not looked up in PATH", QStringLiteral("sh"), dir.Path(),
         platform::kErrorFileNotFound},
        {"missing working folder", QStringLiteral("/bin/true"), dir.File(QStringLiteral("none")),
         platform::kErrorFileNotFound},
        {"working folder is a file", QStringLiteral("/bin/true"),
         dir.File(QStringLiteral("plain.txt")), platform::kErrorPathNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::StartRequest request;
        request.program = c.program;
        request.workingFolder = c.workingFolder;
        const platform::StartResult result = platform::StartDetached(request);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.error, c.expected);
        EXPECT_EQ(result.pid, -1);
    }
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(FileStartTest, WorkingFolderIsHonoured)
{
    const QString folder = dir.File(QStringLiteral("work folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString script = QStringLiteral("pwd -P > \"$1.part\" && mv \"$1.part\" \"$1\"");
    struct Case {
        QString workingFolder;
        QString expected;
    };
    const Case cases[] = {
        {folder, QFileInfo(folder).canonicalFilePath()},
        {QString(), QFileInfo(QDir::currentPath()).canonicalFilePath()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workingFolder.toStdString());
        const QString out = dir.File(QStringLiteral("pwd"));
        QFile::remove(out);
        platform::StartRequest request = Shell(script, {out});
        request.workingFolder = c.workingFolder;
        ASSERT_TRUE(platform::StartDetached(request).ok());
        const auto written = WaitForFile(out);
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(QString::fromLocal8Bit(written->trimmed()), c.expected);
    }
}

TEST_F(FileStartTest, DownloadedFileGetsItsRunBit)
{
    const QString setup = dir.File(QStringLiteral("ZNSetup.exe"));
    WriteScript(setup, "#!/bin/sh\necho ran > \"$1.part\" && mv \"$1.part\" \"$1\"\n", 0644);
    const QString out = dir.File(QStringLiteral("ran"));

    platform::StartRequest request;
    request.program = setup;
    request.arguments = {out};
    EXPECT_EQ(platform::StartDetached(request).error, platform::kErrorAccessDenied);

    request.makeExecutable = true;
    const platform::StartResult result = platform::StartDetached(request);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(ModeOf(setup), mode_t(0755));
    const auto written = WaitForFile(out);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, QByteArray("ran\n"));

    request.program = dir.File(QStringLiteral("none.exe"));
    EXPECT_EQ(platform::StartDetached(request).error, platform::kErrorFileNotFound);
}

TEST_F(FileStartTest, MakeExecutableAddsExecuteWhereReadIs)
{
    struct Case {
        mode_t before;
        mode_t after;
    };
    const Case cases[] = {
        {0644, 0755}, {0600, 0700}, {0640, 0750}, {0444, 0555}, {0755, 0755}, {0200, 0200},
    };
    const QString file = dir.File(QStringLiteral("f"));
    dir.Write(QStringLiteral("f"), "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), c.before), 0);
        EXPECT_TRUE(platform::MakeExecutable(file));
        EXPECT_EQ(ModeOf(file), c.after);
    }
    int err = 0;
    EXPECT_FALSE(platform::MakeExecutable(dir.File(QStringLiteral("none")), &err));
    EXPECT_EQ(err, ENOENT);
}

} // namespace
