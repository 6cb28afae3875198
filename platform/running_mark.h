#pragma once
// The running mark that other programs read to find a running station: `Active`, `Version`
// and `Folder`, kept in a small INI file in the station directory that stands in for the
// registry key "\Software\Keltrix\Aerova\SoloEdition".

#include <string>

namespace aerova {

constexpr const char* kRunningMarkFile = "aerova-registry.ini";
constexpr const char* kRunningMarkKey = "Software\\Keltrix\\Aerova\\SoloEdition";

struct RunningMark {
    int Active = 0;
    std::string Version;
    std::string Folder;
};

bool WriteRunningMark(const std::string& stationDir, const RunningMark& mark);
// Only `Active` changes; Version and Folder stay as they were.
bool SetRunningActive(const std::string& stationDir, int active);
RunningMark ReadRunningMark(const std::string& stationDir);

}  // namespace aerova
