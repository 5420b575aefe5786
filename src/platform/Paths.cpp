#include "platform/Paths.h"

#include <QDir>

namespace platform {

QString HomeFolder()
{
    return QDir::homePath();
}
QString GamesFolder()
{
    return HomeFolder() + QStringLiteral("/Games");
}
QString DefaultInstallDir()
{
    return GamesFolder() + QStringLiteral("/Zendrel Quibbits");
}
QString SystemProgramsFolder()
{
    return QStringLiteral("/opt");
}

bool IsSafeFileName(QStringView name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(u'\0'));
}

QString JoinPath(const QString& base, QStringView part)
{
    return base + QLatin1Char('/') + part.toString();
}

QString JoinPath(const QString& base, QStringView part1, QStringView part2)
{
    return JoinPath(JoinPath(base, part1), part2);
}

QString FolderPart(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash);
}

} // namespace platform
