#include "platform/FileStart.h"

#include "platform/ErrorCodes.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// Reads exactly `size` bytes; false on end of file first.
bool ReadFull(int fd, void* buffer, size_t size)
{
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void WriteFull(int fd, const void* buffer, size_t size)
{
    const auto* p = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

// Closes every descriptor above the standard streams except `keep`, so the
// program holds none of our files or sockets that lack close-on-exec.
void CloseOtherDescriptors(int keep, int fallbackLimit)
{
    const bool closed = (keep <= 3 || ::close_range(3, static_cast<unsigned>(keep) - 1, 0) == 0) &&
                        ::close_range(static_cast<unsigned>(keep) + 1, ~0u, 0) == 0;
    if (closed)
        return;
    for (int fd = 3; fd < fallbackLimit; ++fd) {
        if (fd != keep)
            ::close(fd);
    }
}

// Runs in the grandchild: only async-signal-safe calls from here on.
[[noreturn]] void ExecChild(const char* program, char* const* argv, const char* folder, int errFd,
                            int fdLimit)
{
    // Keep the error pipe clear of the standard streams replaced below.
    if (errFd <= 2) {
        const int moved = ::fcntl(errFd, F_DUPFD_CLOEXEC, 3);
        if (moved >= 0)
            errFd = moved;
    }
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig = 1; sig < NSIG; ++sig)
        ::signal(sig, SIG_DFL);
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        if (devNull > 2)
            ::close(devNull);
    }
    CloseOtherDescriptors(errFd, fdLimit);
    if (folder && ::chdir(folder) != 0) {
        const int err = errno;
        WriteFull(errFd, &err, sizeof err);
        ::_exit(127);
    }
    ::execv(program, argv);
    const int err = errno;
    WriteFull(errFd, &err, sizeof err);
    ::_exit(127);
}

} // namespace

bool MakeExecutable(const QString& path, int* error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 ||
        ::chmod(name.constData(), (st.st_mode & 07777) | ((st.st_mode & 0444) >> 2)) != 0) {
        if (error)
            *error = errno;
        return false;
    }
    return true;
}

StartResult StartDetached(const StartRequest& request)
{
    StartResult result;
    if (request.makeExecutable) {
        int err = 0;
        if (!MakeExecutable(request.program, &err)) {
            result.error = WinErrorFromErrno(err);
            return result;
        }
    }
    // Everything the children need is built before fork.
    const QByteArray program = QFile::encodeName(request.program);
    const QByteArray folder = QFile::encodeName(request.workingFolder);
    std::vector<QByteArray> args{program};
    for (const QString& a : request.arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // Bound for the descriptor sweep where close_range is missing (old kernels).
    int fdLimit = 65536;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < static_cast<rlim_t>(fdLimit))
        fdLimit = static_cast<int>(limit.rlim_cur);

    int errPipe[2];
    int pidPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        result.error = WinErrorFromErrno(errno);
        return result;
    }
    if (::pipe2(pidPipe, O_CLOEXEC) != 0) {
        result.error = WinErrorFromErrno(errno);
        ::close(errPipe[0]);
        ::close(errPipe[1]);
        return result;
    }
    const pid_t middle = ::fork();
    if (middle == 0) {
        // The middle child exits at once, so the program is re-parented and
        // never becomes our zombie.
        ::close(errPipe[0]);
        ::close(pidPipe[0]);
        const pid_t child = ::fork();
        if (child == 0)
            ExecChild(program.constData(), argv.data(),
                      folder.isEmpty() ? nullptr : folder.constData(), errPipe[1], fdLimit);
        WriteFull(pidPipe[1], &child, sizeof child);
        ::_exit(child < 0 ? 1 : 0);
    }
    ::close(errPipe[1]);
    ::close(pidPipe[1]);
    if (middle < 0) {
        result.error = WinErrorFromErrno(errno);
    } else {
        int status = 0;
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
        }
        pid_t child = -1;
        int childErr = 0;
        if (!ReadFull(pidPipe[0], &child, sizeof child) || child < 0)
            result.error = WinErrorFromErrno(EAGAIN);
        else if (ReadFull(errPipe[0], &childErr, sizeof childErr))
            result.error = WinErrorFromErrno(childErr);
        else
            result.pid = child;
    }
    ::close(errPipe[0]);
    ::close(pidPipe[0]);
    return result;
}

} // namespace platform
