#include "catalogue/FileCrc32.h"

#include "platform/ErrorCodes.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

int FileCrc32(const QString& path, std::uint32_t& crc)
{
    crc = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return platform::WinErrorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return platform::kErrorAccessDenied;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // Large reads keep the system-call count low; zlib's crc32 does the folding.
    constexpr size_t kBlock = 256 * 1024;
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBlock]);
    uLong value = ::crc32(0L, Z_NULL, 0);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), kBlock);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        value = ::crc32(value, buffer.get(), static_cast<uInt>(n));
    }
    ::close(fd);
    crc = static_cast<std::uint32_t>(value);
    return 0;
}

QString Crc32Text(std::uint32_t crc)
{
    return QStringLiteral("0x%1").arg(crc, 8, 16, QLatin1Char('0'));
}
