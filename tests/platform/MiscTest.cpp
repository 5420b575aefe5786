#include "TestSupport.h"
#include "platform/ErrorCodes.h"
#include "platform/Local8Bit.h"
#include "platform/Paths.h"
#include "platform/Periods.h"
#include "platform/ServerAddresses.h"
#include "platform/Tick.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Sets (or with nullopt unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value)
        : name_(name)
        , had_(qEnvironmentVariableIsSet(name))
        , old_(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(PeriodsTest, ParsesNamedMilliseconds)
{
    struct Case {
        const char* spec;
        const char* name;
        int expected;
    };
    const Case cases[] = {
        {"108=300", "108", 300},
        {"108=300,110=2000,stall=500", "110", 2000},
        {"108=300,110=2000,stall=500", "stall", 500},
        {"108=300,110=2000,stall=500", "109", -1},
        {"", "108", -1},
        {"108=0", "108", 0},
        {"108=abc", "108", -1},
        {"108=300x", "108", -1},
        {"108=", "108", -1},
        {"108", "108", -1},
        {"108:300", "108", -1},
        {"=300", "108", -1},
        {"108=-5", "108", -1},
        {"108=99999999999", "108", -1},
        {"1080=5,10=6", "108", -1},
        {"108=300,108=400", "108", 400},
        {"108=300,108=bad", "108", 300},
        {"108=300,108=-1", "108", 300},
        {" 108 = 300 ", "108", 300},
        {"110=1, 108=7 ,stall=2", "108", 7},
        {"108=300,,110=5", "110", 5},
        {"bad,108=12", "108", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.spec) + " / " + c.name);
        EXPECT_EQ(platform::PeriodMsFrom(QString::fromUtf8(c.spec), QString::fromUtf8(c.name), -1),
                  c.expected);
    }
}

TEST(PeriodsTest, ReadsTheEnvironment)
{
    {
        ScopedEnv env("ZENDREL_PERIODS", QByteArray("108=300,stall=500"));
        EXPECT_EQ(platform::PeriodMs(u"108", 30000), 300);
        EXPECT_EQ(platform::PeriodMs(u"stall", 30000), 500);
        EXPECT_EQ(platform::PeriodMs(u"110", 1000), 1000);
    }
    {
        ScopedEnv env("ZENDREL_PERIODS", std::nullopt);
        EXPECT_EQ(platform::PeriodMs(u"108", 30000), 30000);
    }
}

TEST(Local8BitTest, StrictDecoding)
{
    struct Case {
        QByteArray bytes;
        QString expected;
    };
    const Case cases[] = {
        {QByteArray(), QString()},
        {"plain ASCII #1;", QStringLiteral("plain ASCII #1;")},
        {QByteArray("a\0b", 3), QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")},
        {"Sch\xc3\xa4"
         "ch",
         QStringLiteral("Sch\u00e4ch")},
        {"\xe2\x82\xac 5", QStringLiteral("\u20ac 5")},
        {"\xf0\x9f\x98\x80", QString::fromUcs4(U"\U0001F600")},
        // Malformed input converts to nothing at all.
        {"\xff", QString()},
        {"abc\xe4", QString()},          // a Latin-1 byte
        {"abc\xc3", QString()},          // cut short
        {"a\x80z", QString()},           // a lone continuation byte
        {"\xc0\xaf", QString()},         // overlong
        {"\xed\xa0\x80", QString()},     // an encoded surrogate
        {"\xf4\x90\x80\x80", QString()}, // past U+10FFFF
        {"ok \xc3\xa4 then \xfe", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const QString text = platform::FromLocal8BitStrict(c.bytes);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(text.size(), c.expected.size());
    }
}

TEST(Local8BitTest, EncodingReplacesLoneSurrogates)
{
    struct Case {
        QString text;
        QByteArray expected;
    };
    const QChar high(char16_t(0xD83D));
    const QChar low(char16_t(0xDE00));
    const Case cases[] = {
        {QStringLiteral("plain"), "plain"},
        {QStringLiteral("Sch\u00e4ch \u20ac"), "Sch\xc3\xa4"
                                               "ch \xe2\x82\xac"},
        {QString(high) + low, "\xf0\x9f\x98\x80"},
        {QStringLiteral("a") + high + QStringLiteral("b"), "a?b"},
        {QStringLiteral("a") + low + QStringLiteral("b"), "a?b"},
        {QString(low) + high, "??"},
        {QStringLiteral("end") + high, "end?"},
        {QString(high) + high + low, "?\xf0\x9f\x98\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        EXPECT_EQ(platform::ToLocal8Bit(c.text), c.expected);
    }
}

TEST(TickTest, DifferenceSurvivesWrapAround)
{
    struct Case {
        std::uint32_t earlier;
        std::uint32_t later;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {100, 250, 150},
        {0xFFFFFFF0u, 0x10u, 0x20u},
        {0xFFFFFFFFu, 0u, 1u},
        {5, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.earlier);
        EXPECT_EQ(platform::TicksBetween(c.earlier, c.later), c.expected);
    }
}

TEST(TickTest, MonotonicTickFollowsRealTime)
{
    QElapsedTimer timer;
    timer.start();
    const std::uint32_t before = platform::MonotonicTick();
    QThread::msleep(30);
    const std::uint32_t between = platform::TicksBetween(before, platform::MonotonicTick());
    const qint64 elapsed = timer.elapsed();
    EXPECT_GE(between, 29u);
    EXPECT_LE(between, static_cast<std::uint32_t>(elapsed + 2));
    EXPECT_LE(platform::TicksBetween(platform::MonotonicTick(), platform::DefaultClock().Tick()),
              1000u);
}

TEST(ManualClockTest, StandsStillUntilMovedAndAdvanceMovesBoth)
{
    const QDateTime start(QDate(2024, 2, 28), QTime(23, 59, 59, 500));
    platform::ManualClock clock(start, 0xFFFFFF00u);
    EXPECT_EQ(clock.Tick(), 0xFFFFFF00u);
    EXPECT_EQ(clock.Now(), start);

    clock.Advance(0x200);
    EXPECT_EQ(clock.Tick(), 0x100u);
    EXPECT_EQ(platform::TicksBetween(0xFFFFFF00u, clock.Tick()), 0x200u);
    EXPECT_EQ(clock.Now(), start.addMSecs(0x200));

    clock.SetTick(7);
    const QDateTime later(QDate(2025, 1, 1), QTime(12, 0));
    clock.SetNow(later);
    EXPECT_EQ(clock.Tick(), 7u);
    EXPECT_EQ(clock.Now(), later);

    const platform::Clock& asClock = clock;
    clock.Advance(4 * 3600 * 1000);
    EXPECT_EQ(asClock.Tick(), 7u + 4u * 3600u * 1000u);
    EXPECT_EQ(asClock.Now(), later.addSecs(4 * 3600));
}

TEST(PathsTest, SafeFileNames)
{
    struct Case {
        QString name;
        bool safe;
    };
    const Case cases[] = {
        {QString(), false},
        {QStringLiteral("."), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("a/b"), false},
        {QStringLiteral("/abs"), false},
        {QStringLiteral("trailing/"), false},
        {QStringLiteral("../up"), false},
        {QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"), false},
        {QStringLiteral("Chess Quibbit - Arena"), true},
        {QStringLiteral("Chess.exe"), true},
        {QStringLiteral("a..b"), true},
        {QStringLiteral("..."), true},
        {QStringLiteral(".hidden"), true},
        {QStringLiteral(" "), true},
        {QStringLiteral("back\\slash"), true},
        {QStringLiteral("Sch\u00e4ch 100%"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(platform::IsSafeFileName(c.name), c.safe);
    }
}

TEST(PathsTest, FolderPart)
{
    struct Case {
        QString path;
        QString folder;
    };
    const Case cases[] = {
        {QStringLiteral("/home/u/Games/Chess/Chess.exe"), QStringLiteral("/home/u/Games/Chess")},
        {QStringLiteral("a/b"), QStringLiteral("a")},
        {QStringLiteral("folder/"), QStringLiteral("folder")},
        {QStringLiteral("/file"), QString()},
        {QStringLiteral("no slash"), QString()},
        {QStringLiteral("back\\slash\\only"), QString()},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(platform::FolderPart(c.path), c.folder);
    }
}

TEST(PathsTest, FoldersLieUnderHome)
{
    testsupport::TempFolder dir;
    const QString home = dir.File(QStringLiteral("a home"));
    ScopedEnv env("HOME", QFile::encodeName(home));
    EXPECT_EQ(platform::HomeFolder(), home);
    EXPECT_EQ(platform::GamesFolder(), home + QStringLiteral("/Games"));
    EXPECT_EQ(platform::DefaultInstallDir(), home + QStringLiteral("/Games/Zendrel Quibbits"));
    EXPECT_EQ(platform::SystemProgramsFolder(), QStringLiteral("/opt"));
}

TEST(ServerAddressesTest, EnvironmentOverridesWithoutTrailingSlashes)
{
    struct Case {
        const char* variable;
        QString (*read)();
        const char* value;
        QString expected;
    };
    const Case cases[] = {
        {"ZENDREL_SERVER", platform::ServerBase, "http://127.0.0.1:8642",
         QStringLiteral("http://127.0.0.1:8642")},
        {"ZENDREL_SERVER", platform::ServerBase, "http://127.0.0.1:8642/",
         QStringLiteral("http://127.0.0.1:8642")},
        {"ZENDREL_SERVER", platform::ServerBase, "https://127.0.0.1///",
         QStringLiteral("https://127.0.0.1")},
        {"ZENDREL_STORE", platform::StoreBase, "http://127.0.0.1:9001/",
         QStringLiteral("http://127.0.0.1:9001")},
        {"ZENDREL_FTP", platform::FtpHost, "127.0.0.1:2121", QStringLiteral("127.0.0.1:2121")},
        {"ZENDREL_FTP", platform::FtpHost, "127.0.0.1", QStringLiteral("127.0.0.1")},
        {"ZENDREL_CA_FILE", platform::ExtraCaFile, "/tmp/ca.pem", QStringLiteral("/tmp/ca.pem")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        ScopedEnv env(c.variable, QByteArray(c.value));
        EXPECT_EQ(c.read(), c.expected);
    }
}

TEST(ServerAddressesTest, BuiltInDefaultsWhenUnsetOrEmpty)
{
    for (const std::optional<QByteArray>& value :
         {std::optional<QByteArray>(), std::optional(QByteArray())}) {
        SCOPED_TRACE(value ? "empty" : "unset");
        ScopedEnv server("ZENDREL_SERVER", value);
        ScopedEnv store("ZENDREL_STORE", value);
        ScopedEnv ftp("ZENDREL_FTP", value);
        ScopedEnv ca("ZENDREL_CA_FILE", value);
        EXPECT_EQ(platform::ServerBase(), QStringLiteral(ZENDREL_DEFAULT_SERVER));
        EXPECT_EQ(platform::StoreBase(), QStringLiteral(ZENDREL_DEFAULT_STORE));
        EXPECT_EQ(platform::FtpHost(), QStringLiteral(ZENDREL_DEFAULT_FTP));
        EXPECT_TRUE(platform::ExtraCaFile().isEmpty());
        EXPECT_FALSE(platform::ServerBase().endsWith(u'/'));
    }
}

TEST(ErrorCodesTest, ErrnoMapsToSystemErrorCodes)
{
    struct Case {
        int err;
        int expected;
    };
    const Case cases[] = {
        {0, platform::kErrorSuccess},
        {ENOENT, 2},
        {ENOTDIR, 3},
        {ENAMETOOLONG, 3},
        {EACCES, 5},
        {EPERM, 5},
        {EISDIR, 5},
        {EROFS, 5},
        {ENOMEM, 8},
        {ETXTBSY, 32},
        {ENOSPC, 112},
        {ENOEXEC, 1155},
        {EIO, 10000 + EIO},
        {E2BIG, 10000 + E2BIG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_EQ(platform::WinErrorFromErrno(c.err), c.expected);
    }
}

} // namespace
