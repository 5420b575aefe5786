#pragma once

#include <QMutex>
#include <QString>
#include <optional>

// Sections and keys of "Zendrel.ini". The trailing colon is part of each key.
namespace settingkeys {
inline constexpr char kGeneral[] = "GENERAL";
inline constexpr char kSound[] = "SOUND";
inline constexpr char kNewRelease[] = "NEWRELEASE";

inline constexpr char kMinimizeToTray[] = "MinimizeToTray:";
inline constexpr char kAlwaysOnTop[] = "AlwaysOnTop2:";
inline constexpr char kPlaySoundOnStart[] = "PlaySoundOnStart:";
inline constexpr char kSoundFile[] = "SoundFile:";
inline constexpr char kInstallDir[] = "InstallDir:";
inline constexpr char kPrevInstallDir[] = "PrevInstallDir:";
inline constexpr char kNewMonth[] = "NewMonth:";
inline constexpr char kNewDay[] = "NewDay:";
inline constexpr char kNewYear[] = "NewYear:";
inline constexpr char kStartTab[] = "Starttab:";
} // namespace settingkeys

// Access to the settings file; made on the stack where needed.
class CConfig {
public:
    CConfig(); // "Zendrel.ini" in the program folder
    explicit CConfig(QString path)
        : path_(std::move(path))
    {
    }
    virtual ~CConfig() = default;

    QString GetString(const char* section, const char* key, const QString& defaultValue) const;
    int GetInt(const char* section, const char* key, int defaultValue) const;
    // A flag is on only when the stored number is exactly 1.
    bool GetFlag(const char* section, const char* key, bool defaultValue) const;
    bool WriteInt(const char* section, const char* key, int value, int* error = nullptr) const;
    bool WriteString(const char* section, const char* key, const QString& value,
                     int* error = nullptr) const;

    const QString& Path() const { return path_; }

private:
    QString path_;
};

inline constexpr char kBuiltInSound[] = "Zendrel.wav";

// The user's settings as the program holds them.
struct Settings {
    bool minimizeToTray = false;
    bool alwaysOnTop = false;
    bool playSoundOnStart = true;
    QString soundFile = QString::fromLatin1(kBuiltInSound);
    QString installDir; // default: DefaultInstallDir()
    QString prevInstallDir;
    // The newest release date shown to the user: year - 1900, month 0-11, day.
    int newMonth = 1;
    int newDay = 1;
    int newYear = -115;

    static Settings Defaults();
    friend bool operator==(const Settings&, const Settings&) = default;
};

struct StoredSettings {
    Settings values;
    std::optional<int> startTab; // set only for a stored tab 0, 1 or 2
};

StoredSettings ReadSettings(const CConfig& config);

// The process-wide settings, shared by the window thread and the workers.
class SharedSettings {
public:
    Settings Get() const;
    void Set(const Settings& settings);
    template <typename F> void Update(F&& change)
    {
        QMutexLocker lock(&mutex_);
        change(values_);
    }

private:
    mutable QMutex mutex_;
    Settings values_ = Settings::Defaults();
};

SharedSettings& ProcessSettings();

// Reads every key into the process-wide settings and returns the start tab to
// select (none when the stored value is outside 0 to 2).
std::optional<int> LoadSettings(const CConfig& config = CConfig());
