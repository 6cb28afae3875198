#include "app/world_map.h"

#include <QFile>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/files.h"
#include "base/strings.h"
#include "config/settings.h"

namespace aerova {

namespace {

constexpr std::string_view kFolder = "outlines";

// Anything named like the settings file makes the station not a fresh one, even a link whose
// target is missing.
bool HasSettingsFile(const std::string& stationDir) {
    std::error_code ignored;
    return std::filesystem::exists(
        std::filesystem::symlink_status(JoinPath(stationDir, kMainIniName), ignored));
}

// Whether `stationDir` holds a directory named "outlines" in any case.
bool HasOutlinesFolder(const std::string& stationDir) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(stationDir, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && SameText(it->path().filename().string(), kFolder))
            return true;
    }
    return false;
}

}  // namespace

bool InstallWorldMap(const std::string& stationDir) {
    if (HasSettingsFile(stationDir) || HasOutlinesFolder(stationDir)) return false;
    QFile resource(QStringLiteral(":/maps/outlines/world.out"));
    if (!resource.open(QIODevice::ReadOnly)) return false;
    const QByteArray map = resource.readAll();
    const std::string folder = JoinPath(stationDir, kFolder);
    return !map.isEmpty() && ForceDirectories(folder) &&
           WriteFileReplacing(
               JoinPath(folder, "world.out"),
               std::string_view(map.constData(), static_cast<std::size_t>(map.size())));
}

}  // namespace aerova
