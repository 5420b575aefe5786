#pragma once

#include <QString>

namespace platform {

// The folder that holds the program's own files ("gnames.txt", "Zendrel.ini",
// ...): $ZENDREL_HOME when set; else the executable's folder when a file
// "Zendrel.portable" lies beside the executable; else $XDG_DATA_HOME/zendrel
// (default ~/.local/share/zendrel), created on first use. No trailing slash.
QString ProgramFolder();

// `name` inside the program folder.
QString ProgramFilePath(const QString& name);

// The folder of the running executable.
QString ExecutableFolder();

inline constexpr char kPortableMarker[] = "Zendrel.portable";

} // namespace platform
