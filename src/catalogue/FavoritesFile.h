#pragma once

#include "catalogue/CatalogueEntry.h"

#include <QByteArray>
#include <QString>

// "gnamesfav.txt": one favourite per line, the five fields gameName, site,
// title, exeName and setupName each followed by '#', lines ending in CR LF,
// in local 8-bit text. It reads back with LoadListFile.
QByteArray FavoritesFileBytes(const EntrySequence& favorites);

// Writes the favourites file: replaced as a whole (a failed write leaves the
// old file intact); no favourites remove the file.
bool SaveFavorites(const EntrySequence& favorites, const QString& path, int* error = nullptr);

// "gnamesfav.txt" in the program folder.
QString FavoritesFilePath();
