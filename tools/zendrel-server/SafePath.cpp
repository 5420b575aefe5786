#include "SafePath.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace zendrelserver {

std::optional<std::string> ResolveUnderRoot(const std::string& root, const std::string& urlPath)
{
    if (urlPath.empty() || urlPath.front() != '/' || urlPath.find('\0') != std::string::npos)
        return std::nullopt;
    size_t start = 1;
    while (start <= urlPath.size()) {
        size_t end = urlPath.find('/', start);
        if (end == std::string::npos)
            end = urlPath.size();
        const std::string segment = urlPath.substr(start, end - start);
        if (segment == "." || segment == "..")
            return std::nullopt;
        start = end + 1;
    }

    const std::string joined = root + urlPath;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(joined.c_str(), nullptr),
                                                     &std::free);
    if (!real)
        return std::nullopt;
    std::string resolved(real.get());
    if (resolved.size() <= root.size() || resolved.compare(0, root.size(), root) != 0 ||
        resolved[root.size()] != '/')
        return std::nullopt;
    return resolved;
}

} // namespace zendrelserver
