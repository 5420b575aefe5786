#include "platform/Opener.h"

#include "platform/FileStart.h"

#include <QStandardPaths>

namespace platform {

int XdgOpener::Open(const QString& target)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (tool.isEmpty())
        return 2;
    StartRequest request;
    request.program = tool;
    // "--" is not understood by xdg-open; a target never starts with '-' here
    // because callers pass absolute paths and full URLs.
    request.arguments = {target};
    return StartDetached(request).error;
}

} // namespace platform
