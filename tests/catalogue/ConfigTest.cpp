#include "catalogue/Config.h"

#include "TestSupport.h"
#include "platform/Paths.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using testsupport::TempFolder;
using namespace settingkeys;

class ConfigTest : public ::testing::Test {
protected:
    TempFolder dir;
    CConfig config{dir.File(QStringLiteral("Zendrel.ini"))};

    void Store(const QByteArray& text) { dir.Write(QStringLiteral("Zendrel.ini"), text); }
    QByteArray Stored() const { return dir.Read(QStringLiteral("Zendrel.ini")); }
};

TEST_F(ConfigTest, NoFileGivesTheDefaults)
{
    const StoredSettings s = ReadSettings(config);
    EXPECT_EQ(s.values, Settings::Defaults());
    EXPECT_FALSE(s.values.minimizeToTray);
    EXPECT_FALSE(s.values.alwaysOnTop);
    EXPECT_TRUE(s.values.playSoundOnStart);
    EXPECT_EQ(s.values.soundFile, QStringLiteral("Zendrel.wav"));
    EXPECT_EQ(s.values.installDir, QDir::homePath() + QStringLiteral("/Games/Zendrel Quibbits"));
    EXPECT_EQ(s.values.newYear, -115);
    EXPECT_EQ(s.startTab, 0);
}

TEST_F(ConfigTest, EveryKeyIsRead)
{
    Store(
        "[GENERAL]\r\nMinimizeToTray:=1\r\nAlwaysOnTop2:=1\r\nInstallDir:=/srv/q\r\n"
        "PrevInstallDir:=/old/q\r\nStarttab:=2\r\n[SOUND]\r\nPlaySoundOnStart:=0\r\n"
        "SoundFile:=/x/ding.wav\r\n[NEWRELEASE]\r\nNewMonth:=11\r\nNewDay:=24\r\nNewYear:=126\r\n");
    const StoredSettings s = ReadSettings(config);
    EXPECT_TRUE(s.values.minimizeToTray);
    EXPECT_TRUE(s.values.alwaysOnTop);
    EXPECT_FALSE(s.values.playSoundOnStart);
    EXPECT_EQ(s.values.soundFile, QStringLiteral("/x/ding.wav"));
    EXPECT_EQ(s.values.installDir, QStringLiteral("/srv/q"));
    EXPECT_EQ(s.values.prevInstallDir, QStringLiteral("/old/q"));
    EXPECT_EQ(s.values.newMonth, 11);
    EXPECT_EQ(s.values.newDay, 24);
    EXPECT_EQ(s.values.newYear, 126);
    EXPECT_EQ(s.startTab, 2);
}

struct StoredCase {
    const char* name;
    QByteArray file;
    bool minimizeToTray;
    std::optional<int> startTab;
    int newYear;
};

class StoredValues : public ConfigTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, ReadByTheProfileRules)
{
    Store(GetParam().file);
    const StoredSettings s = ReadSettings(config);
    EXPECT_EQ(s.values.minimizeToTray, GetParam().minimizeToTray);
    EXPECT_EQ(s.startTab, GetParam().startTab);
    EXPECT_EQ(s.values.newYear, GetParam().newYear);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoredValues,
    ::testing::Values(
        StoredCase{"FlagTwoIsOff", "[GENERAL]\nMinimizeToTray:=2\n", false, 0, -115},
        StoredCase{"KeyWithoutColonNotFound", "[GENERAL]\nMinimizeToTray=1\nStarttab=2\n", false, 0,
                   -115},
        StoredCase{"OtherLetterCase", "[general]\nminimizetotray:=1\nSTARTTAB:=1\n", true, 1, -115},
        StoredCase{"TabOutOfRangeSelectsNothing", "[GENERAL]\nStarttab:=3\n", false, std::nullopt,
                   -115},
        StoredCase{"NegativeTab", "[GENERAL]\nStarttab:=-1\n", false, std::nullopt, -115},
        StoredCase{"FirstOfDuplicateSections",
                   "[GENERAL]\nMinimizeToTray:=1\n[GENERAL]\nMinimizeToTray:=0\nStarttab:=2\n",
                   true, 0, -115},
        StoredCase{"GarbageLines",
                   "\x01\x02garbage\n[[[\n=x\n[GENERAL\n[GENERAL]\nnonsense\n"
                   "MinimizeToTray:=1\n",
                   true, 0, -115},
        StoredCase{"HugeNumberWraps", "[NEWRELEASE]\nNewYear:=4294967297\n", false, 0, 1},
        StoredCase{"DigitsThenText", "[NEWRELEASE]\nNewYear:=126abc\n", false, 0, 126},
        StoredCase{"NoDigitsReadsZero", "[NEWRELEASE]\nNewYear:=abc\n", false, 0, 0},
        StoredCase{"EmptyValueKeepsDefault", "[NEWRELEASE]\nNewYear:=\n", false, 0, -115}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigTest, WritesKeepEveryOtherLine)
{
    const QByteArray before =
        "; my notes\r\n[GENERAL]\r\nInstallDir:=/srv/q\r\nUnknown:=keep me\r\n\r\n"
        "[OTHER]\r\nx=1\r\n";
    Store(before);
    ASSERT_TRUE(config.WriteInt(kGeneral, kMinimizeToTray, 1));
    ASSERT_TRUE(config.WriteString(kGeneral, kInstallDir, QStringLiteral("/new/place")));
    ASSERT_TRUE(config.WriteInt(kNewRelease, kNewYear, -3));
    EXPECT_EQ(Stored(), QByteArray("; my notes\r\n[GENERAL]\r\nInstallDir:=/new/place\r\n"
                                   "Unknown:=keep me\r\nMinimizeToTray:=1\r\n\r\n[OTHER]\r\nx=1\r\n"
                                   "[NEWRELEASE]\r\nNewYear:=-3\r\n"));
    const StoredSettings s = ReadSettings(config);
    EXPECT_TRUE(s.values.minimizeToTray);
    EXPECT_EQ(s.values.installDir, QStringLiteral("/new/place"));
    EXPECT_EQ(s.values.newYear, -3);
}

TEST_F(ConfigTest, FirstWriteCreatesTheFile)
{
    ASSERT_TRUE(config.WriteInt(kGeneral, kStartTab, 1));
    EXPECT_EQ(ReadSettings(config).startTab, 1);
}

TEST_F(ConfigTest, PathsSurviveARoundTrip)
{
    for (const QString& path : {QStringLiteral(" /lead/and/trail "), QStringLiteral("\"quoted\""),
                                QStringLiteral("/ünï/cödé"), QString(300, u'p')}) {
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(config.WriteString(kGeneral, kPrevInstallDir, path));
        EXPECT_EQ(ReadSettings(config).values.prevInstallDir, path);
    }
}

TEST_F(ConfigTest, ValueWithALineBreakIsRefusedAndNothingChanges)
{
    Store("[GENERAL]\nPrevInstallDir:=/a\n");
    int err = 0;
    EXPECT_FALSE(
        config.WriteString(kGeneral, kPrevInstallDir, QStringLiteral("/b\n[SOUND]"), &err));
    EXPECT_NE(err, 0);
    EXPECT_EQ(Stored(), QByteArray("[GENERAL]\nPrevInstallDir:=/a\n"));
}

TEST(ConfigLongPath, SettingsFileInADeepFolder)
{
    TempFolder dir;
    QString deep = dir.Path();
    while (deep.size() < 400)
        deep += QStringLiteral("/a-rather-long-folder-name");
    ASSERT_TRUE(QDir().mkpath(deep));
    const CConfig config(deep + QStringLiteral("/Zendrel.ini"));
    ASSERT_TRUE(config.WriteInt(kGeneral, kAlwaysOnTop, 1));
    EXPECT_TRUE(ReadSettings(config).values.alwaysOnTop);
}

TEST(ConfigDefaultPath, SettingsFileLivesInTheProgramFolder)
{
    TempFolder dir;
    qputenv("ZENDREL_HOME", dir.Path().toLocal8Bit());
    EXPECT_EQ(CConfig().Path(), dir.File(QStringLiteral("Zendrel.ini")));
    qunsetenv("ZENDREL_HOME");
}

TEST(LoadSettings, FillsTheProcessWideValues)
{
    TempFolder dir;
    testsupport::WriteFile(dir.File(QStringLiteral("Zendrel.ini")),
                           "[GENERAL]\nAlwaysOnTop2:=1\nStarttab:=1\n[SOUND]\nSoundFile:=a.wav\n");
    const std::optional<int> tab = LoadSettings(CConfig(dir.File(QStringLiteral("Zendrel.ini"))));
    EXPECT_EQ(tab, 1);
    const Settings s = ProcessSettings().Get();
    EXPECT_TRUE(s.alwaysOnTop);
    EXPECT_EQ(s.soundFile, QStringLiteral("a.wav"));
    ProcessSettings().Set(Settings::Defaults());
}

} // namespace
