#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace platform {

QString ExecutableFolder()
{
    // /proc/self/exe works before (and without) a QCoreApplication.
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath();
}

static QString XdgDataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rules ignore a relative value.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/zendrel");
}

QString ProgramFolder()
{
    const QString home = qEnvironmentVariable("ZENDREL_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    const QString exeDir = ExecutableFolder();
    if (QFileInfo::exists(exeDir + QLatin1Char('/') + QLatin1String(kPortableMarker)))
        return exeDir;
    const QString data = XdgDataFolder();
    QDir().mkpath(data);
    return data;
}

QString ProgramFilePath(const QString& name)
{
    return ProgramFolder() + QLatin1Char('/') + name;
}

} // namespace platform
