#include "Trailer.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace demo {

namespace {

constexpr std::size_t kLengthSize = 8;

void AppendLength(std::string& out, std::uint64_t value)
{
    for (std::size_t i = 0; i < kLengthSize; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t ReadLength(std::string_view bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < kLengthSize; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

} // namespace

std::string PackFields(const std::vector<std::string>& fields)
{
    std::string out;
    for (const std::string& field : fields) {
        AppendLength(out, field.size());
        out += field;
    }
    return out;
}

std::optional<std::vector<std::string>> UnpackFields(std::string_view packed)
{
    std::vector<std::string> fields;
    while (!packed.empty()) {
        if (packed.size() < kLengthSize)
            return std::nullopt;
        const std::uint64_t length = ReadLength(packed);
        packed.remove_prefix(kLengthSize);
        if (length > packed.size())
            return std::nullopt;
        fields.emplace_back(packed.substr(0, length));
        packed.remove_prefix(length);
    }
    return fields;
}

std::string WithTrailer(std::string_view program, std::string_view payload, std::string_view magic)
{
    std::string out;
    out.reserve(program.size() + payload.size() + kLengthSize + magic.size());
    out += program;
    out += payload;
    AppendLength(out, payload.size());
    out += magic;
    return out;
}

std::optional<std::string> ReadTrailer(const std::filesystem::path& path, std::string_view magic)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const auto tailSize = static_cast<std::streamoff>(kLengthSize + magic.size());
    if (size < tailSize)
        return std::nullopt;
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    in.seekg(size - tailSize);
    if (!in.read(tail.data(), tailSize))
        return std::nullopt;
    if (std::string_view(tail).substr(kLengthSize) != magic)
        return std::nullopt;
    const std::uint64_t length = ReadLength(tail);
    if (length > static_cast<std::uint64_t>(size - tailSize))
        return std::nullopt;
    std::string payload(length, '\0');
    in.seekg(size - tailSize - static_cast<std::streamoff>(length));
    if (!in.read(payload.data(), static_cast<std::streamsize>(length)))
        return std::nullopt;
    return payload;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode,
                         std::string& error)
{
    std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error =
            "cannot create a file in " + path.parent_path().string() + ": " + std::strerror(errno);
        return false;
    }
    int failure = 0;
    for (std::size_t done = 0; failure == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failure = n < 0 ? errno : ENOSPC;
        else
            done += static_cast<std::size_t>(n);
    }
    if (failure == 0 && ::fchmod(fd, mode) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure == 0)
        return true;
    error = "cannot write " + path.string() + ": " + std::strerror(failure);
    ::unlink(temp.c_str());
    return false;
}

bool IsSafeFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

int DelayFromEnvironment(std::string_view name, int defaultMs)
{
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr || *value == '\0')
        return defaultMs;
    char* end = nullptr;
    const long ms = std::strtol(value, &end, 10);
    if (*end != '\0' || ms < 0 || ms > 600000)
        return defaultMs;
    return static_cast<int>(ms);
}

} // namespace demo
