#include "catalogue/Config.h"

#include "catalogue/FileNames.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"

using namespace settingkeys;

CConfig::CConfig()
    : path_(platform::ProgramFilePath(QString::fromLatin1(kSettingsFileName)))
{
}

QString CConfig::GetString(const char* section, const char* key, const QString& defaultValue) const
{
    return platform::GetProfileString(path_, QString::fromLatin1(section), QString::fromLatin1(key),
                                      defaultValue);
}

int CConfig::GetInt(const char* section, const char* key, int defaultValue) const
{
    return platform::GetProfileInt(path_, QString::fromLatin1(section), QString::fromLatin1(key),
                                   defaultValue);
}

bool CConfig::GetFlag(const char* section, const char* key, bool defaultValue) const
{
    return GetInt(section, key, defaultValue ? 1 : 0) == 1;
}

bool CConfig::WriteInt(const char* section, const char* key, int value, int* error) const
{
    return WriteString(section, key, QString::number(value), error);
}

bool CConfig::WriteString(const char* section, const char* key, const QString& value,
                          int* error) const
{
    return platform::WriteProfileString(path_, QString::fromLatin1(section),
                                        QString::fromLatin1(key), value, error);
}

Settings Settings::Defaults()
{
    Settings s;
    s.installDir = platform::DefaultInstallDir();
    return s;
}

StoredSettings ReadSettings(const CConfig& config)
{
    const Settings d = Settings::Defaults();
    StoredSettings stored;
    Settings& s = stored.values;
    s.minimizeToTray = config.GetFlag(kGeneral, kMinimizeToTray, d.minimizeToTray);
    s.alwaysOnTop = config.GetFlag(kGeneral, kAlwaysOnTop, d.alwaysOnTop);
    s.playSoundOnStart = config.GetFlag(kSound, kPlaySoundOnStart, d.playSoundOnStart);
    s.soundFile = config.GetString(kSound, kSoundFile, d.soundFile);
    s.installDir = config.GetString(kGeneral, kInstallDir, d.installDir);
    s.prevInstallDir = config.GetString(kGeneral, kPrevInstallDir, d.prevInstallDir);
    s.newMonth = config.GetInt(kNewRelease, kNewMonth, d.newMonth);
    s.newDay = config.GetInt(kNewRelease, kNewDay, d.newDay);
    s.newYear = config.GetInt(kNewRelease, kNewYear, d.newYear);
    const int tab = config.GetInt(kGeneral, kStartTab, 0);
    if (tab >= 0 && tab <= 2)
        stored.startTab = tab;
    return stored;
}

Settings SharedSettings::Get() const
{
    QMutexLocker lock(&mutex_);
    return values_;
}

void SharedSettings::Set(const Settings& settings)
{
    QMutexLocker lock(&mutex_);
    values_ = settings;
}

SharedSettings& ProcessSettings()
{
    static SharedSettings settings;
    return settings;
}

std::optional<int> LoadSettings(const CConfig& config)
{
    const StoredSettings stored = ReadSettings(config);
    ProcessSettings().Set(stored.values);
    return stored.startTab;
}
