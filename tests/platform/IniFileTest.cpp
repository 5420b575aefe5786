#include "platform/IniFile.h"

#include "TestSupport.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using testsupport::TempFolder;

const QString kMissing = QStringLiteral("<missing>");

QByteArray WithCrLf(QByteArray lf)
{
    return lf.replace("\n", "\r\n");
}

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class IniFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    QString path = dir.File(QStringLiteral("Zendrel.ini"));
    void TearDown() override { platform::SetWriteFaultForTesting(0); }
};

// A settings file with most of what a hand-edited file can hold.
const QByteArray kReadFile = "; leading comment\n"
                             "stray=before any section\n"
                             "[GENERAL]\n"
                             "MinimizeToTray:=1\n"
                             "  AlwaysOnTop2:  =   0   \n"
                             "\tInstallDir:=  \"/home/u/Games/Zendrel Quibbits\"  \n"
                             "Quoted:='single'\n"
                             "Mismatched:=\"open\n"
                             "Mixed:=\"a'\n"
                             "Inner:=a \"b\" c\n"
                             "OnlyQuote:=\"\n"
                             "EmptyQuotes:=\"\"\n"
                             "Empty:=\n"
                             "NoEquals:\n"
                             "Semi:=a ; not a comment\n"
                             ";Commented:=1\n"
                             " ; Indented:=1\n"
                             "Dup:=first\n"
                             "Dup:=second\n"
                             "Bare\n"
                             "Bare=after a bare line\n"
                             "Equals:=a=b\n"
                             "Umlaut:=J\xc3\xb6rg\n"
                             "\x01\xff garbage ]]][[ ==\n"
                             "After:=garbage\n"
                             "[ Sound ]\n"
                             "PlaySoundOnStart:=0\n"
                             "[general]\n"
                             "MinimizeToTray:=0\n"
                             "Later:=in a second section of the name\n"
                             "[Last]\n"
                             "NoBreak:=end";

TEST_F(IniFileTest, ReadsValuesByTheClassicRules)
{
    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"GENERAL", "MinimizeToTray:", QStringLiteral("1")},
        {"general", "minimizetotray:", QStringLiteral("1")},
        {"  GENERAL ", "MinimizeToTray:", QStringLiteral("1")},
        {"GENERAL", "MinimizeToTray", kMissing}, // the colon is part of the name
        {"GENERAL", "AlwaysOnTop2:", QStringLiteral("0")},
        {"GENERAL", "InstallDir:", QStringLiteral("/home/u/Games/Zendrel Quibbits")},
        {"GENERAL", "Quoted:", QStringLiteral("single")},
        {"GENERAL", "Mismatched:", QStringLiteral("\"open")},
        {"GENERAL", "Mixed:", QStringLiteral("\"a'")},
        {"GENERAL", "Inner:", QStringLiteral("a \"b\" c")},
        {"GENERAL", "OnlyQuote:", QStringLiteral("\"")},
        {"GENERAL", "EmptyQuotes:", QString()},
        {"GENERAL", "Empty:", QString()},
        {"GENERAL", "NoEquals:", kMissing},
        {"GENERAL", "Semi:", QStringLiteral("a ; not a comment")},
        {"GENERAL", "Commented:", kMissing},
        {"GENERAL", ";Commented:", kMissing},
        {"GENERAL", "Indented:", kMissing},
        {"GENERAL", "Dup:", QStringLiteral("first")},
        {"GENERAL", "Bare", kMissing}, // the first line of the name has no '='
        {"GENERAL", "Equals:", QStringLiteral("a=b")},
        {"GENERAL", "Umlaut:", QStringLiteral("J\u00f6rg")},
        {"GENERAL", "After:", QStringLiteral("garbage")},
        {"GENERAL", "Later:", kMissing}, // only the first section of a name counts
        {"GENERAL", "stray", kMissing},
        {"GENERAL", "PlaySoundOnStart:", kMissing},
        {"SOUND", "PlaySoundOnStart:", QStringLiteral("0")},
        {"sound", "MinimizeToTray:", kMissing},
        {"Last", "NoBreak:", QStringLiteral("end")},
        {"MISSING", "MinimizeToTray:", kMissing},
    };
    for (const QByteArray& bytes : {kReadFile, WithCrLf(kReadFile)}) {
        SCOPED_TRACE(bytes.contains('\r') ? "CRLF" : "LF");
        dir.Write(QStringLiteral("Zendrel.ini"), bytes);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.section) + " / " + c.key);
            EXPECT_EQ(platform::GetProfileString(path, QString::fromUtf8(c.section),
                                                 QString::fromUtf8(c.key), kMissing),
                      c.expected);
            const auto value = platform::IniText(bytes).Value(QString::fromUtf8(c.section),
                                                              QString::fromUtf8(c.key));
            EXPECT_EQ(value.has_value(), c.expected != kMissing);
        }
    }
}

TEST_F(IniFileTest, MissingOrUnreadableFileGivesDefaults)
{
    const QString folderAsFile = dir.Path();
    for (const QString& file :
         {path, folderAsFile, dir.File(QStringLiteral("no/such/Zendrel.ini"))}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(
            platform::GetProfileString(file, u"GENERAL", u"InstallDir:", QStringLiteral("def")),
            QStringLiteral("def"));
        EXPECT_EQ(platform::GetProfileInt(file, u"SOUND", u"PlaySoundOnStart:", 1), 1);
        EXPECT_EQ(platform::GetProfileInt(file, u"NEWRELEASE", u"NewYear:", -115), -115);
    }
}

TEST(ParseProfileIntTest, LeadingDigitsWithSignWrappingModulo2To32)
{
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"1", 1},
        {"0", 0},
        {"-115", -115},
        {"+5", 5},
        {"-0", 0},
        {"12abc", 12},
        {"1 2", 1},
        {"0x1F", 0},
        {"1e3", 1},
        {"abc", 0},
        {"-", 0},
        {"- 5", 0},
        {" \t42", 42},
        {"2147483647", 2147483647},
        {"2147483648", -2147483647 - 1},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967295", 1},
        {"99999999999", 1215752191},
        {"", 7}, // empty: the default
        // Read through a 30-character buffer: only the first 29 characters count.
        {"00000000000000000000000000042", 42},
        {"000000000000000000000000000007", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(platform::ParseProfileInt(QString::fromUtf8(c.value), 7), c.expected);
    }
}

TEST_F(IniFileTest, IntegersFromTheFile)
{
    struct Case {
        const char* stored; // nullptr: no such key
        int expected;
    };
    const Case cases[] = {
        {"1", 1},       {"2", 2},          {"-115", -115},     {"12abc", 12},
        {"abc", 0},     {"", 7},           {"\"\"", 7},        {"\"42\"", 42},
        {"  -3  ", -3}, {"4294967297", 1}, {"4294967295", -1}, {nullptr, 7},
    };
    QByteArray bytes = "[NEWRELEASE]\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (cases[i].stored)
            bytes += "K" + QByteArray::number(i) + ":=" + cases[i].stored + '\n';
    }
    dir.Write(QStringLiteral("Zendrel.ini"), bytes);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].stored ? cases[i].stored : "(no key)");
        EXPECT_EQ(platform::GetProfileInt(path, u"newrelease", QStringLiteral("k%1:").arg(i), 7),
                  cases[i].expected);
    }
}

TEST_F(IniFileTest, WriteChangesOneLineAndKeepsEveryOtherByte)
{
    struct Case {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replace in place",
         "; Zendrel settings\n[GENERAL]\nMinimizeToTray:=0\n  InstallDir:  = /x/y   "
         "\n\n[SOUND]\nPlaySoundOnStart:=1\n",
         "GENERAL", "MinimizeToTray:", "1",
         "; Zendrel settings\n[GENERAL]\nMinimizeToTray:=1\n  InstallDir:  = /x/y   "
         "\n\n[SOUND]\nPlaySoundOnStart:=1\n"},
        {"replace an indented key", "[GENERAL]\nA:=0\n  InstallDir:  = /x/y   \nB:=1\n", "GENERAL",
         "InstallDir:", "/new", "[GENERAL]\nA:=0\nInstallDir:=/new\nB:=1\n"},
        {"replace in a CRLF file", "[GENERAL]\r\nA:=1\r\nB:=2\r\n", "GENERAL", "A:", "9",
         "[GENERAL]\r\nA:=9\r\nB:=2\r\n"},
        {"add a key to a section followed by another", "[GENERAL]\nA:=1\n\n[SOUND]\nS:=1\n",
         "GENERAL", "B:", "2", "[GENERAL]\nA:=1\nB:=2\n\n[SOUND]\nS:=1\n"},
        {"add a key to the last section, no final newline", "[G]\nA=1", "G", "B", "2",
         "[G]\nA=1\nB=2\n"},
        {"add a key below a header that ends the file", "[G]", "G", "K", "v", "[G]\nK=v\n"},
        {"add a section, no final newline", "[G]\nA=1", "S", "K", "v", "[G]\nA=1\n[S]\nK=v\n"},
        {"add a section", "[G]\nA=1\n", "S", "K", "v", "[G]\nA=1\n[S]\nK=v\n"},
        {"add a key in a CRLF file", "[G]\r\nA=1\r\n\r\n[S]\r\n", "G", "B", "2",
         "[G]\r\nA=1\r\nB=2\r\n\r\n[S]\r\n"},
        {"add a section in a CRLF file", "[G]\r\nA=1\r\n", "S", "K", "v",
         "[G]\r\nA=1\r\n[S]\r\nK=v\r\n"},
        {"empty file", "", "S", "K", "v", "[S]\nK=v\n"},
        {"keep the file's spelling of names", "[general]\nminimizetotray:=0\n", "GENERAL",
         "MinimizeToTray:", "1", "[general]\nminimizetotray:=1\n"},
        {"key line without '='", "[G]\nK\nX=1\n", "G", "K", "v", "[G]\nK=v\nX=1\n"},
        {"first of two sections of a name", "[G]\nA=1\n[S]\n[G]\nB=2\n", "G", "B", "3",
         "[G]\nA=1\nB=3\n[S]\n[G]\nB=2\n"},
        {"first of two keys of a name", "[G]\nA=1\nA=2\n", "G", "A", "3", "[G]\nA=3\nA=2\n"},
        {"garbage lines kept", "\x01\xff junk ]][[ ==\n[G]\n\xfe\xfd=\x80\nA=1\n[[broken\n", "G",
         "A", "2", "\x01\xff junk ]][[ ==\n[G]\n\xfe\xfd=\x80\nA=2\n[[broken\n"},
        {"value with outer blanks is quoted", "[G]\n", "G", "K", " padded ",
         "[G]\nK=\" padded \"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write(QStringLiteral("Zendrel.ini"), c.before);
        int err = -1;
        ASSERT_TRUE(platform::WriteProfileString(path, QString::fromUtf8(c.section),
                                                 QString::fromUtf8(c.key),
                                                 QString::fromUtf8(c.value), &err));
        EXPECT_EQ(err, 0);
        EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")), c.after);
        EXPECT_EQ(platform::GetProfileString(path, QString::fromUtf8(c.section),
                                             QString::fromUtf8(c.key), kMissing),
                  QString::fromUtf8(c.value));
        EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("Zendrel.ini")});
    }
}

TEST_F(IniFileTest, ByteOrderMarkIsNotPartOfTheFirstSection)
{
    testsupport::WriteFile(path, "\xEF\xBB\xBF[GENERAL]\r\nStarttab:=2\r\n");
    EXPECT_EQ(platform::GetProfileInt(path, u"GENERAL", u"Starttab:", 0), 2);
    ASSERT_TRUE(platform::WriteProfileString(path, u"GENERAL", u"Starttab:", u"1"));
    EXPECT_EQ(testsupport::ReadFile(path), QByteArray("\xEF\xBB\xBF[GENERAL]\r\nStarttab:=1\r\n"));
}

TEST_F(IniFileTest, FirstWriteCreatesTheFile)
{
    ASSERT_FALSE(QFile::exists(path));
    ASSERT_TRUE(platform::WriteProfileString(path, u"GENERAL", u"InstallDir:", u"/home/u/Games"));
    ASSERT_TRUE(platform::WriteProfileString(path, u"SOUND", u"PlaySoundOnStart:", u"0"));
    ASSERT_TRUE(platform::WriteProfileString(path, u"GENERAL", u"MinimizeToTray:", u"1"));
    EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")),
              QByteArray("[GENERAL]\nInstallDir:=/home/u/Games\nMinimizeToTray:=1\n"
                         "[SOUND]\nPlaySoundOnStart:=0\n"));
}

TEST_F(IniFileTest, WritesFromSeveralThreadsLoseNoKey)
{
    constexpr int kThreads = 4;
    constexpr int kWrites = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kWrites; ++i)
                platform::WriteProfileString(path, u"GENERAL", QStringLiteral("T%1:").arg(t),
                                             QString::number(i));
        });
    }
    for (std::thread& th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(platform::GetProfileInt(path, u"GENERAL", QStringLiteral("T%1:").arg(t), -1),
                  kWrites - 1);
    }
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("Zendrel.ini")});
}

TEST_F(IniFileTest, WriteIntoAMissingFolderFails)
{
    int err = 0;
    EXPECT_FALSE(platform::WriteProfileString(dir.File(QStringLiteral("gone/Zendrel.ini")), u"G",
                                              u"K", u"v", &err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_TRUE(FolderEntries(dir.Path()).isEmpty());
}

TEST_F(IniFileTest, ValuesRoundTrip)
{
    const QString values[] = {
        QStringLiteral(" lead"),
        QStringLiteral("trail "),
        QStringLiteral("  both  "),
        QStringLiteral("\t tab"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'single'"),
        QStringLiteral("\"open"),
        QStringLiteral("close\""),
        QStringLiteral("\""),
        QStringLiteral("'"),
        QStringLiteral("\"\""),
        QStringLiteral("a \"b\" c"),
        QString(),
        QStringLiteral("a;b"),
        QStringLiteral(";starts like a comment"),
        QStringLiteral("[not a section]"),
        QStringLiteral("="),
        QStringLiteral("a=b"),
        QStringLiteral("J\u00f6rg's Spiele \u20ac"),
        QStringLiteral("C:\\Program Files (x86)\\Zendrel Quibbits"),
        QStringLiteral("/home/u/") + QString(1000, u'x'), // longer than any 260-character buffer
    };
    dir.Write(QStringLiteral("Zendrel.ini"), "[GENERAL]\r\nMinimizeToTray:=1\r\n");
    for (size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        ASSERT_TRUE(platform::WriteProfileString(path, u"GENERAL", QStringLiteral("V%1:").arg(i),
                                                 values[i]));
    }
    for (size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        EXPECT_EQ(
            platform::GetProfileString(path, u"GENERAL", QStringLiteral("V%1:").arg(i), kMissing),
            values[i]);
    }
    EXPECT_EQ(platform::GetProfileInt(path, u"GENERAL", u"MinimizeToTray:", 0), 1);
    EXPECT_FALSE(dir.Read(QStringLiteral("Zendrel.ini")).contains("\r\r"));
}

TEST_F(IniFileTest, ValueWithALineBreakIsRefused)
{
    const QByteArray before = "[GENERAL]\nInstallDir:=/old\n";
    const QString values[] = {QStringLiteral("a\nb"), QStringLiteral("a\rb"),
                              QStringLiteral("a\r\nb"), QStringLiteral("\n"),
                              QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")};
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        dir.Write(QStringLiteral("Zendrel.ini"), before);
        int err = 0;
        EXPECT_FALSE(platform::WriteProfileString(path, u"GENERAL", u"InstallDir:", value, &err));
        EXPECT_EQ(err, EINVAL);
        EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")), before);
        EXPECT_FALSE(
            platform::WriteProfileString(dir.File(QStringLiteral("new.ini")), u"G", u"K", value));
        EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("new.ini"))));
    }
}

TEST_F(IniFileTest, FullDiskLeavesTheOldFileAndNoTemporaryFile)
{
    const QByteArray before = "[GENERAL]\r\nMinimizeToTray:=0\r\n";
    dir.Write(QStringLiteral("Zendrel.ini"), before);
    platform::SetWriteFaultForTesting(ENOSPC);
    int err = 0;
    EXPECT_FALSE(platform::WriteProfileString(path, u"GENERAL", u"MinimizeToTray:", u"1", &err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_FALSE(
        platform::WriteProfileString(dir.File(QStringLiteral("new.ini")), u"G", u"K", u"v"));
    EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")), before);
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("Zendrel.ini")});

    platform::SetWriteFaultForTesting(0);
    EXPECT_TRUE(platform::WriteProfileString(path, u"GENERAL", u"MinimizeToTray:", u"1"));
    EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")),
              QByteArray("[GENERAL]\r\nMinimizeToTray:=1\r\n"));
}

TEST_F(IniFileTest, OversizedFileIsNeitherReadNorRewritten)
{
    QByteArray before = "[GENERAL]\nMinimizeToTray:=1\n";
    before += QByteArray(platform::kMaxProfileFileSize, ';');
    dir.Write(QStringLiteral("Zendrel.ini"), before);
    EXPECT_EQ(platform::GetProfileInt(path, u"GENERAL", u"MinimizeToTray:", 0), 0);
    int err = 0;
    EXPECT_FALSE(platform::WriteProfileString(path, u"GENERAL", u"MinimizeToTray:", u"0", &err));
    EXPECT_EQ(err, EFBIG);
    EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")), before);
}

// Root writes through permission bits, so the write runs as nobody.
TEST_F(IniFileTest, WriteAsAUserWhoCannotWriteTheFolderFailsAndKeepsTheFile)
{
    if (!testsupport::CanDropPrivileges())
        GTEST_SKIP() << "needs root and setpriv to act as an unprivileged user";
    const auto runAsNobody = [](const QString& file) {
        return testsupport::Run(QStringLiteral("setpriv"),
                                testsupport::AsNobody()
                                    << testsupport::BuiltProgram(QStringLiteral("zendrel-fileop"))
                                    << QStringLiteral("ini") << file << QStringLiteral("GENERAL")
                                    << QStringLiteral("MinimizeToTray:") << QStringLiteral("1"));
    };
    const QByteArray before = "[GENERAL]\nMinimizeToTray:=0\n";
    for (mode_t fileMode : {mode_t(0644), mode_t(0600)}) {
        SCOPED_TRACE(fileMode == 0644 ? "readable file" : "unreadable file");
        dir.Write(QStringLiteral("Zendrel.ini"), before);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), fileMode), 0);
        const auto r = runAsNobody(path);
        EXPECT_NE(r.exitCode, 0) << r.err.toStdString();
        EXPECT_NE(r.exitCode, -1) << r.err.toStdString();
        EXPECT_EQ(dir.Read(QStringLiteral("Zendrel.ini")), before);
        EXPECT_EQ(FolderEntries(dir.Path()), QStringList{QStringLiteral("Zendrel.ini")});
    }

    // The same child does write where nobody may.
    const QString open = dir.File(QStringLiteral("open"));
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    testsupport::WriteFile(open + QStringLiteral("/Zendrel.ini"), before);
    ::chmod(QFile::encodeName(open + QStringLiteral("/Zendrel.ini")).constData(), 0666);
    const auto r = runAsNobody(open + QStringLiteral("/Zendrel.ini"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(testsupport::ReadFile(open + QStringLiteral("/Zendrel.ini")),
              QByteArray("[GENERAL]\nMinimizeToTray:=1\n"));
}

} // namespace
