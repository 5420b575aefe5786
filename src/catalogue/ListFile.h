#pragma once

#include "catalogue/CatalogueEntry.h"

#include <QByteArrayView>
#include <QString>

// The list file: one entry per line, fields split at '#', CR, LF and NUL all
// end a line. Fields: 0 gameName, 1 site, 2 title, 3 exeName, 4 setupName,
// 5 checksum, 6 releaseDate, 7 notes ('|' stands for a line break); later
// fields are read and ignored. A run of '#' is one separator, so there are no
// empty fields. A field that is not valid local 8-bit text is stored empty.

// Entries of a list file's bytes.
EntrySequence ParseListText(QByteArrayView bytes);

// Every field of one line, in order (including those past the eighth).
QList<QByteArrayView> SplitListLine(QByteArrayView line);

// Files larger than this are refused: no real catalogue comes near it.
inline constexpr qint64 kMaxListFileSize = 64 * 1024 * 1024;

// Replaces `target` with the entries of the file. A file that cannot be read
// (missing, a folder, unreadable, too large) leaves `target` as it was, gives
// false and says why in `error`.
bool LoadListFile(const QString& path, EntrySequence& target, QString* error = nullptr);
