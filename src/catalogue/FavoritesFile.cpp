#include "catalogue/FavoritesFile.h"

#include "catalogue/FileNames.h"
#include "platform/AtomicFile.h"
#include "platform/Local8Bit.h"
#include "platform/ProgramFolder.h"

QByteArray FavoritesFileBytes(const EntrySequence& favorites)
{
    QByteArray bytes;
    for (const CatalogueEntry& e : favorites) {
        for (const QString* field : {&e.gameName, &e.site, &e.title, &e.exeName, &e.setupName}) {
            bytes += platform::ToLocal8Bit(*field);
            bytes += '#';
        }
        bytes += "\r\n";
    }
    return bytes;
}

bool SaveFavorites(const EntrySequence& favorites, const QString& path, int* error)
{
    if (favorites.isEmpty())
        return platform::RemoveFileIfExists(path, error);
    return platform::WriteFileAtomically(path, FavoritesFileBytes(favorites), error);
}

QString FavoritesFilePath()
{
    return platform::ProgramFilePath(QString::fromLatin1(kFavoritesFileName));
}
