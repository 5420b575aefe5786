#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace platform {

struct StartRequest {
    QString program;             // path of the file to run; never looked up in PATH
    QStringList arguments;       // passed as they are: no shell, no re-parsing
    QString workingFolder;       // empty: the caller's
    bool makeExecutable = false; // give the file its run bit first (downloads)
};

struct StartResult {
    int error = 0; // 0, or the system error code (ErrorCodes.h) of the failed start
    pid_t pid = -1;
    bool ok() const { return error == 0; }
};

// Starts a program detached: its own session, standard streams on /dev/null,
// never waited for and never left as a zombie. Reports whether exec succeeded.
StartResult StartDetached(const StartRequest& request);

// Adds the execute bits matching the read bits of a file.
bool MakeExecutable(const QString& path, int* error = nullptr);

} // namespace platform
