#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::atomic<int> injectedWriteFault{0};
std::atomic<unsigned> tempCounter{0};

bool WriteAll(int fd, QByteArrayView data, int* err)
{
    if (const int fault = injectedWriteFault.load()) {
        *err = fault;
        return false;
    }
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Opens a fresh sibling of `target` for writing; the name is unique per call.
int OpenSibling(const QByteArray& target, QByteArray* tempName, int* err)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray base = slash >= 0 ? target.mid(slash + 1) : target;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempName = dir + '.' + base + ".tmp-" + QByteArray::number(::getpid()) + '-' +
                    QByteArray::number(tempCounter.fetch_add(1));
        const int fd = ::open(tempName->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            *err = errno;
            return -1;
        }
    }
    *err = EEXIST;
    return -1;
}

} // namespace

void SetWriteFaultForTesting(int err)
{
    injectedWriteFault.store(err);
}

bool WriteFileAtomically(const QString& path, QByteArrayView data, int* error)
{
    int dummy = 0;
    int* err = error ? error : &dummy;
    *err = 0;
    // A link stays a link: the file it points to is the one replaced.
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);
    QByteArray temp;
    const int fd = OpenSibling(target, &temp, err);
    if (fd < 0)
        return false;

    // Keep the permissions the user gave the old file.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    bool ok = WriteAll(fd, data, err);
    if (ok && ::fsync(fd) != 0) {
        *err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        *err = errno;
        ok = false;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        *err = errno;
        ok = false;
    }
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

bool RemoveFileIfExists(const QString& path, int* error)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT) {
        if (error)
            *error = 0;
        return true;
    }
    if (error)
        *error = errno;
    return false;
}

} // namespace platform
