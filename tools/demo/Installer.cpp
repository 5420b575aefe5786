// The installer stub. A quibbit's installer is this program with the quibbit,
// the uninstaller and the executable's name appended; run silently with
// /DIR=<folder> it writes both programs into that folder.
#include "Trailer.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int kDefaultDelayMs = 300;

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

bool EqualsNoCase(std::string_view text, std::string_view other)
{
    return text.size() == other.size() && StartsWithNoCase(text, other);
}

// The switch's value without the one pair of quotes the program may put around it.
std::string SwitchValue(std::string_view arg, std::size_t prefixLength)
{
    std::string_view value = arg.substr(prefixLength);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

struct Options {
    bool haveDir = false;
    std::string dir;
    bool verySilent = false;
};

Options ParseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (StartsWithNoCase(arg, "/DIR=")) {
            options.haveDir = true;
            options.dir = SwitchValue(arg, 5);
        } else if (EqualsNoCase(arg, "/VERYSILENT")) {
            options.verySilent = true;
        } else if (!(EqualsNoCase(arg, "/NOCANCEL") || EqualsNoCase(arg, "/NOICONS") ||
                     EqualsNoCase(arg, "/SILENT") || StartsWithNoCase(arg, "/MERGETASKS="))) {
            std::fprintf(stderr, "demo-installer: ignoring unknown argument \"%s\"\n", argv[i]);
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseArguments(argc, argv);
    const auto payload = demo::ReadTrailer("/proc/self/exe", demo::kInstallerMagic);
    const auto fields = payload ? demo::UnpackFields(*payload) : std::nullopt;
    if (!fields || fields->size() != demo::kInstallerFieldCount ||
        !demo::IsSafeFileName((*fields)[demo::kExeName])) {
        std::fprintf(stderr, "demo-installer: this is the bare installer stub; the quibbit "
                             "installers are made by demo-site\n");
        return 4;
    }
    const std::string& exeName = (*fields)[demo::kExeName];
    if (!options.haveDir || options.dir.empty()) {
        std::fprintf(stderr, "demo-installer: no install folder given; run it as\n"
                             "  <installer> /VERYSILENT /DIR=<folder>\n");
        return 2;
    }

    const int delayMs = demo::DelayFromEnvironment(demo::kInstallDelayVariable, kDefaultDelayMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));

    const std::filesystem::path folder(options.dir);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "demo-installer: cannot create the folder %s: %s\n", folder.c_str(),
                     ec ? ec.message().c_str() : "not a folder");
        return 3;
    }

    // The uninstaller first: once the executable is there the install counts as done.
    const std::string uninstaller = demo::WithTrailer(
        (*fields)[demo::kUninstallerBytes], demo::PackFields({exeName}), demo::kUninstallerMagic);
    std::string error;
    if (!demo::WriteFileAtomically(folder / demo::kUninstallerName, uninstaller, 0755, error) ||
        !demo::WriteFileAtomically(folder / exeName, (*fields)[demo::kQuibbitBytes], 0755, error)) {
        std::fprintf(stderr, "demo-installer: %s\n", error.c_str());
        return 3;
    }
    if (!options.verySilent)
        std::printf("Installed %s in %s\n", exeName.c_str(), folder.c_str());
    return 0;
}
