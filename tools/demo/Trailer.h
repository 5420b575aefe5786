#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The demo programs carry their data at the end of their own file: the payload,
// its length (8 bytes, little-endian) and an 8-byte magic naming the kind of
// data. Each installed copy is therefore a distinct file with its own CRC-32.
namespace demo {

inline constexpr std::string_view kQuibbitMagic = "ZQBTTL01";
inline constexpr std::string_view kInstallerMagic = "ZQBSET01";
inline constexpr std::string_view kUninstallerMagic = "ZQBUNI01";

inline constexpr std::string_view kUninstallerName = "unins000.exe";
inline constexpr std::string_view kInstallDelayVariable = "ZENDREL_DEMO_INSTALL_DELAY_MS";
inline constexpr std::string_view kUninstallDelayVariable = "ZENDREL_DEMO_UNINSTALL_DELAY_MS";

// Fields of a quibbit's payload, in order.
enum QuibbitField { kWindowTitle, kResName, kResClass, kVersion, kQuibbitFieldCount };
// Fields of an installer's payload, in order.
enum InstallerField { kExeName, kQuibbitBytes, kUninstallerBytes, kInstallerFieldCount };

// Length-prefixed fields, so any bytes (whole programs included) fit.
std::string PackFields(const std::vector<std::string>& fields);
std::optional<std::vector<std::string>> UnpackFields(std::string_view packed);

std::string WithTrailer(std::string_view program, std::string_view payload, std::string_view magic);

// The payload at the end of the file, or nothing when it carries none of this kind.
std::optional<std::string> ReadTrailer(const std::filesystem::path& path, std::string_view magic);

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes a sibling temporary file and renames it over `path`, so a running
// copy keeps its old file and nobody sees a half-written one.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode,
                         std::string& error);

// One path component: not empty, not "." or "..", no '/' and no NUL.
bool IsSafeFileName(std::string_view name);

// Milliseconds from an environment variable of digits, else the default.
int DelayFromEnvironment(std::string_view name, int defaultMs);

} // namespace demo
