#pragma once

#include <QString>

namespace platform {

// The folders the program's Windows heritage names, mapped onto Linux.
QString HomeFolder();
QString GamesFolder();          // ~/Games
QString DefaultInstallDir();    // ~/Games/Zendrel Quibbits
QString SystemProgramsFolder(); // /opt

// A name from the catalogue is used as one path component only: empty, ".",
// "..", or anything holding '/' or NUL is refused.
bool IsSafeFileName(QStringView name);

// base + "/" + part, for each part.
QString JoinPath(const QString& base, QStringView part);
QString JoinPath(const QString& base, QStringView part1, QStringView part2);

// The text up to (not including) the last '/'; empty when there is none.
QString FolderPart(const QString& path);

} // namespace platform
