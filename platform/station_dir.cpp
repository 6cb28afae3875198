#include "platform/station_dir.h"

#include <filesystem>

namespace aerova {

std::string ExecutableDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

std::string ResolveStationDir(const std::string& requested) {
    if (requested.empty()) return ExecutableDirectory();
    std::error_code ec;
    auto absolute = std::filesystem::absolute(requested, ec);
    return ec ? requested : absolute.lexically_normal().string();
}

}  // namespace aerova
