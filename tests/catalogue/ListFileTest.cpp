#include "catalogue/ListFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

void PrintTo(const CatalogueEntry& e, std::ostream* os)
{
    *os << '{';
    for (const QString* f : {&e.gameName, &e.site, &e.title, &e.exeName, &e.setupName, &e.checksum,
                             &e.releaseDate, &e.notes})
        *os << '"' << f->toStdString() << "\" ";
    *os << '}';
}

namespace {

using testsupport::TempFolder;

struct Fields {
    const char* gameName = "";
    const char* site = "";
    const char* title = "";
    const char* exeName = "";
    const char* setupName = "";
    const char* checksum = "";
    const char* releaseDate = "";
    const char* notes = "";
};

CatalogueEntry Entry(const Fields& f)
{
    CatalogueEntry e;
    e.gameName = QString::fromUtf8(f.gameName);
    e.site = QString::fromUtf8(f.site);
    e.title = QString::fromUtf8(f.title);
    e.exeName = QString::fromUtf8(f.exeName);
    e.setupName = QString::fromUtf8(f.setupName);
    e.checksum = QString::fromUtf8(f.checksum);
    e.releaseDate = QString::fromUtf8(f.releaseDate);
    e.notes = QString::fromUtf8(f.notes);
    return e;
}

struct ParseCase {
    const char* name;
    QByteArray text;
    EntrySequence expected;
};

class ParseListText : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseListText, GivesTheEntriesOfTheLines)
{
    EXPECT_EQ(::ParseListText(GetParam().text), GetParam().expected);
}

const CatalogueEntry kChess = Entry({"Chess", "Arena"});
const CatalogueEntry kAB = Entry({"a", "b"});
const CatalogueEntry kFull = Entry({"Go", "Hub", "Go Quibbit - Hub", "Go.exe", "gosetup",
                                    "0x0000abcd", "5/20/2022", "GEN:Play go:"});

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseListText,
    ::testing::Values(
        ParseCase{"TwoFields", "Chess#Arena", {kChess}},
        ParseCase{"RunOfHashesIsOneSeparator", "a##b", {kAB}},
        ParseCase{"LeadingAndTrailingHashes", "#a#b#", {kAB}},
        ParseCase{"AllEightFields",
                  "Go#Hub#Go Quibbit - Hub#Go.exe#gosetup#0x0000abcd#5/20/2022#GEN:Play go:",
                  {kFull}},
        ParseCase{"FieldsPastTheEighthIgnored",
                  "Go#Hub#Go Quibbit - Hub#Go.exe#gosetup#0x0000abcd#5/20/2022#GEN:Play go:#x#y#z",
                  {kFull}},
        ParseCase{"BarInNotesBecomesCrLf",
                  "g#s#t#e#u#c#d#line one|line two",
                  {Entry({"g", "s", "t", "e", "u", "c", "d", "line one\r\nline two"})}},
        ParseCase{"BarElsewhereKept", "g|x#s|y", {Entry({"g|x", "s|y"})}},
        ParseCase{"CrLfLfAndBlankLinesAlike", "Chess#Arena\r\n\r\n\n\ra##b\r\n", {kChess, kAB}},
        ParseCase{"LineOfOnlyHashes", "####\nChess#Arena\n#\n", {kChess}},
        ParseCase{"NoFinalLineEnd", "a#b\nChess#Arena", {kAB, kChess}},
        ParseCase{"EqualLinesGiveEqualEntries", "a#b\na#b\n", {kAB, kAB}},
        ParseCase{"NulEndsALine", QByteArray("a#b\0Chess#Arena", 15), {kAB, kChess}},
        ParseCase{"EmptyFile", "", {}},
        ParseCase{
            "InvalidUtf8FieldIsEmptyRestRead", "a#\xff\xfe#title\n", {Entry({"a", "", "title"})}},
        ParseCase{"Utf8Passes",
                  "Sch\xc3\xa4"
                  "ch#Ar\xc3\xa8ne",
                  {Entry({"Schäch", "Arène"})}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseListTextBadInput, TenThousandFieldsOnALine)
{
    QByteArray line = "g#s";
    for (int i = 0; i < 10000; ++i)
        line += "#f" + QByteArray::number(i);
    const EntrySequence entries = ::ParseListText(line);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].notes, QStringLiteral("f5"));
    EXPECT_EQ(SplitListLine(line).size(), 10002);
}

TEST(ParseListTextBadInput, InvalidUtf8InOneFieldKeepsTheOthers)
{
    // Field 2 ("title") here is the malformed one; the fields around it stay.
    const EntrySequence entries = ::ParseListText("g#s#\xc3(#exe");
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0].title.isEmpty());
    EXPECT_EQ(entries[0].exeName, QStringLiteral("exe"));
}

class LoadListFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    EntrySequence target{Entry({"old", "entry"})};
    const EntrySequence before = target;
};

TEST_F(LoadListFileTest, ReplacesTheTarget)
{
    dir.Write(QStringLiteral("gnames.txt"), "Chess#Arena\r\na#b\r\n");
    QString error = QStringLiteral("stale");
    ASSERT_TRUE(LoadListFile(dir.File(QStringLiteral("gnames.txt")), target, &error));
    EXPECT_EQ(target, (EntrySequence{kChess, kAB}));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(LoadListFileTest, EmptyFileGivesEmptySequence)
{
    dir.Write(QStringLiteral("gnames.txt"), "");
    ASSERT_TRUE(LoadListFile(dir.File(QStringLiteral("gnames.txt")), target));
    EXPECT_TRUE(target.isEmpty());
}

TEST_F(LoadListFileTest, UnreadableFilesLeaveTheTargetAlone)
{
    QDir(dir.Path()).mkdir(QStringLiteral("folder"));
    dir.Write(QStringLiteral("huge"), "");
    // A sparse file past the limit costs no disk.
    ASSERT_EQ(::truncate(QFile::encodeName(dir.File(QStringLiteral("huge"))).constData(),
                         kMaxListFileSize + 1),
              0);
    for (const char* name : {"missing.txt", "folder", "huge"}) {
        SCOPED_TRACE(name);
        QString error;
        EXPECT_FALSE(LoadListFile(dir.File(QString::fromLatin1(name)), target, &error));
        EXPECT_EQ(target, before);
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(LoadListFileTest, FileAtTheSizeLimitIsRead)
{
    dir.Write(QStringLiteral("big"), "Chess#Arena\n");
    ASSERT_EQ(::truncate(QFile::encodeName(dir.File(QStringLiteral("big"))).constData(),
                         kMaxListFileSize),
              0);
    ASSERT_TRUE(LoadListFile(dir.File(QStringLiteral("big")), target));
    EXPECT_EQ(target, EntrySequence{kChess}); // the zero bytes after it are line ends
}

} // namespace
