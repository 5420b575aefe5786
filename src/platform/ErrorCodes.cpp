#include "platform/ErrorCodes.h"

#include <cerrno>

namespace platform {

int WinErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return kErrorSuccess;
    case ENOENT:
        return kErrorFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return kErrorAccessDenied;
    case ENOMEM:
        return kErrorNotEnoughMemory;
    case ETXTBSY:
        return kErrorSharingViolation;
    case ENOSPC:
        return kErrorDiskFull;
    case ENOEXEC:
        return kErrorBadExeFormat;
    default:
        return 10000 + err;
    }
}

} // namespace platform
