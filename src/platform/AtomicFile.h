#pragma once

#include <QByteArrayView>
#include <QString>

namespace platform {

// Replaces the file at `path` with `data`: the bytes go to a sibling
// temporary file, which is renamed over the target only once it is complete
// and flushed. On any failure the old file stays as it was and `error`
// receives the errno value of the failing step. A symbolic link is followed:
// its target is replaced and the link kept.
bool WriteFileAtomically(const QString& path, QByteArrayView data, int* error = nullptr);

// Deletes a file; a file that is already gone counts as deleted.
bool RemoveFileIfExists(const QString& path, int* error = nullptr);

// Tests inject a failing disk here (for example ENOSPC): while set, every
// atomic write fails at its write step with this errno. 0 switches it off.
void SetWriteFaultForTesting(int err);

} // namespace platform
