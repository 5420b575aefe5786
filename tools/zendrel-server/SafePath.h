#pragma once

#include <optional>
#include <string>

namespace zendrelserver {

// The real path of the file that the decoded URL path names under `root`
// (itself a real path), or nothing when it does not exist or would lie
// outside `root` (dot segments, NUL bytes, symbolic links that leave it).
std::optional<std::string> ResolveUnderRoot(const std::string& root, const std::string& urlPath);

} // namespace zendrelserver
