#include "TestSupport.h"
#include "catalogue/ListFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testsupport::RunResult;
using testsupport::TempFolder;

RunResult ZendrelList(const QStringList& args)
{
    return testsupport::Run(testsupport::BuiltProgram(QStringLiteral("zendrel-list")), args);
}

QList<QByteArray> Lines(const QByteArray& out)
{
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(ZendrelListParse, PrintsEachEntryAsTheReaderSeesIt)
{
    TempFolder dir;
    const QByteArray list = "Chess#Arena#Chess Quibbit - "
                            "Arena#Chess.exe#chess#0x0000abcd#5/20/2022#GEN:say \"hi\"|\\ok:\r\n"
                            "\r\n####\r\nSch\xc3\xa4"
                            "ch##Hub\n"
                            "bad#\xff#t\0after#nul\n";
    dir.Write(QStringLiteral("gnames.txt"), QByteArray(list.constData(), list.size()));
    const RunResult r =
        ZendrelList({QStringLiteral("parse"), dir.File(QStringLiteral("gnames.txt"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const EntrySequence expected = ParseListText(list);
    const QList<QByteArray> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i].toStdString());
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(lines[i], &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        EXPECT_EQ(o.keys().size(), 8);
        const CatalogueEntry& e = expected[i];
        EXPECT_EQ(o[QStringLiteral("gameName")].toString(), e.gameName);
        EXPECT_EQ(o[QStringLiteral("site")].toString(), e.site);
        EXPECT_EQ(o[QStringLiteral("title")].toString(), e.title);
        EXPECT_EQ(o[QStringLiteral("exeName")].toString(), e.exeName);
        EXPECT_EQ(o[QStringLiteral("setupName")].toString(), e.setupName);
        EXPECT_EQ(o[QStringLiteral("checksum")].toString(), e.checksum);
        EXPECT_EQ(o[QStringLiteral("releaseDate")].toString(), e.releaseDate);
        EXPECT_EQ(o[QStringLiteral("notes")].toString(), e.notes);
    }
    EXPECT_EQ(QJsonDocument::fromJson(lines[0]).object()[QStringLiteral("notes")].toString(),
              QStringLiteral("GEN:say \"hi\"\r\n\\ok:"));
    // The key order is the list file's field order.
    EXPECT_TRUE(lines[0].startsWith("{\"gameName\":\"Chess\",\"site\":\"Arena\",\"title\""));
}

TEST(ZendrelListParse, WarnsAboutNamesUnsafeAsFileNames)
{
    TempFolder dir;
    dir.Write(QStringLiteral("gnames.txt"), "Fine#Site#Fine Quibbit#Fine.exe#fine\n"
                                            "Evil#Site#..#../../bin/sh#a/b\n");
    const RunResult r =
        ZendrelList({QStringLiteral("parse"), dir.File(QStringLiteral("gnames.txt"))});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(Lines(r.out).size(), 2);
    const QList<QByteArray> warnings = Lines(r.err);
    ASSERT_EQ(warnings.size(), 3) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].contains("entry 2") && warnings[0].contains("title \"..\""));
    EXPECT_TRUE(warnings[1].contains("exeName \"../../bin/sh\""));
    EXPECT_TRUE(warnings[2].contains("setupName \"a/b\""));
}

TEST(ZendrelListParse, FilesThatCannotBeReadAreRefusedClearly)
{
    TempFolder dir;
    QDir(dir.Path()).mkdir(QStringLiteral("folder"));
    dir.Write(QStringLiteral("huge"), "");
    ASSERT_EQ(::truncate(QFile::encodeName(dir.File(QStringLiteral("huge"))).constData(),
                         qint64(300) * 1024 * 1024),
              0);
    for (const char* name : {"missing", "folder", "huge"}) {
        SCOPED_TRACE(name);
        const RunResult r =
            ZendrelList({QStringLiteral("parse"), dir.File(QString::fromLatin1(name))});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.startsWith("zendrel-list: cannot read ")) << r.err.toStdString();
    }
}

TEST(ZendrelListCrc, PrintsEachFileAndReportsUnreadableOnes)
{
    TempFolder dir;
    dir.Write(QStringLiteral("digits"), "123456789");
    dir.Write(QStringLiteral("empty"), "");
    const RunResult r =
        ZendrelList({QStringLiteral("crc"), dir.File(QStringLiteral("digits")),
                     dir.File(QStringLiteral("missing")), dir.File(QStringLiteral("empty"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0xcbf43926  " + dir.File(QStringLiteral("digits")).toUtf8() + "\n" +
                         "0x00000000  " + dir.File(QStringLiteral("empty")).toUtf8() + "\n");
    EXPECT_EQ(r.err, "zendrel-list: cannot read " + dir.File(QStringLiteral("missing")).toUtf8() +
                         ": No such file or directory\n");
}

TEST(ZendrelListUsage, HelpAndWrongUsage)
{
    const RunResult help = ZendrelList({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("zendrel-list parse FILE"));
    EXPECT_TRUE(help.out.contains("zendrel-list crc FILE..."));
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("crc")}, QStringList{QStringLiteral("parse")},
          QStringList{QStringLiteral("frobnicate"), QStringLiteral("x")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const RunResult r = ZendrelList(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("Usage:"));
    }
}

} // namespace
