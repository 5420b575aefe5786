// Performs one of the program's file writes in a process of its own, so
// tests can run it as an unprivileged user. Exit status: 0, or the errno.
//   zendrel-fileop ini FILE SECTION KEY VALUE
//   zendrel-fileop fav FILE LISTFILE   (saves LISTFILE's entries as favourites)
//   zendrel-fileop folder              (prints the program folder)
#include "catalogue/FavoritesFile.h"
#include "catalogue/ListFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <QString>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    int err = 0;
    bool ok = false;
    if (argc == 6 && std::strcmp(argv[1], "ini") == 0) {
        ok = platform::WriteProfileString(
            QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
            QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5]), &err);
    } else if (argc == 4 && std::strcmp(argv[1], "fav") == 0) {
        EntrySequence entries;
        LoadListFile(QString::fromLocal8Bit(argv[3]), entries);
        ok = SaveFavorites(entries, QString::fromLocal8Bit(argv[2]), &err);
    } else if (argc == 2 && std::strcmp(argv[1], "folder") == 0) {
        std::printf("%s\n", platform::ProgramFolder().toLocal8Bit().constData());
        return 0;
    } else {
        std::fputs(
            "usage: zendrel-fileop ini FILE SECTION KEY VALUE | fav FILE LISTFILE | folder\n",
            stderr);
        return 64;
    }
    if (!ok)
        std::fprintf(stderr, "failed: %s\n", std::strerror(err));
    return ok ? 0 : (err ? err : 1);
}
