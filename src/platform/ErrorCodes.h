#pragma once

namespace platform {

// Windows system error codes that callers report and compare.
enum WinError : int {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorNotEnoughMemory = 8,
    kErrorSharingViolation = 32,
    kErrorDiskFull = 112,
    kErrorBadExeFormat = 1155, // "no application is associated" for a file that cannot run
};

// Maps an errno value to the system error code the rest of the program expects.
// Values without a listed counterpart keep their errno number offset by 10000,
// so they never collide with a listed code and never read as success.
int WinErrorFromErrno(int err);

} // namespace platform
