// The uninstaller written beside each demo quibbit: removes the files its
// installer listed at its end, then itself, then the folder when it is empty.
#include "Trailer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

int main()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto payload = demo::ReadTrailer("/proc/self/exe", demo::kUninstallerMagic);
    const auto names = payload ? demo::UnpackFields(*payload) : std::nullopt;
    if (ec || !names) {
        std::fprintf(stderr, "demo-uninstaller: this copy lists no files to remove; the "
                             "uninstaller is written by a quibbit installer\n");
        return 2;
    }
    std::this_thread::sleep_for(
        std::chrono::milliseconds(demo::DelayFromEnvironment(demo::kUninstallDelayVariable, 0)));

    const std::filesystem::path folder = self.parent_path();
    bool ok = true;
    for (const std::string& name : *names) {
        if (!demo::IsSafeFileName(name) || name == demo::kUninstallerName)
            continue;
        std::filesystem::remove(folder / name, ec);
        if (ec) {
            std::fprintf(stderr, "demo-uninstaller: cannot remove %s: %s\n",
                         (folder / name).c_str(), ec.message().c_str());
            ok = false;
        }
    }
    // Staying put on a failure lets the user try again.
    if (!ok)
        return 1;
    std::filesystem::remove(self, ec);
    if (ec) {
        std::fprintf(stderr, "demo-uninstaller: cannot remove %s: %s\n", self.c_str(),
                     ec.message().c_str());
        return 1;
    }
    std::filesystem::remove(folder, ec); // only when nothing else is left in it
    return 0;
}
