#include "platform/running_mark.h"

#include "base/files.h"
#include "base/ini_file.h"

namespace aerova {

namespace {
std::string MarkPath(const std::string& stationDir) {
    return JoinPath(stationDir, kRunningMarkFile);
}
}  // namespace

bool WriteRunningMark(const std::string& stationDir, const RunningMark& mark) {
    IniFile ini(MarkPath(stationDir));
    ini.WriteInteger(kRunningMarkKey, "Active", mark.Active);
    ini.WriteString(kRunningMarkKey, "Version", mark.Version);
    ini.WriteString(kRunningMarkKey, "Folder", mark.Folder);
    return ini.UpdateFile();
}

bool SetRunningActive(const std::string& stationDir, int active) {
    IniFile ini(MarkPath(stationDir));
    ini.WriteInteger(kRunningMarkKey, "Active", active);
    return ini.UpdateFile();
}

RunningMark ReadRunningMark(const std::string& stationDir) {
    IniFile ini(MarkPath(stationDir));
    RunningMark m;
    m.Active = ini.ReadInteger(kRunningMarkKey, "Active", 0);
    m.Version = ini.ReadString(kRunningMarkKey, "Version", "");
    m.Folder = ini.ReadString(kRunningMarkKey, "Folder", "");
    return m;
}

}  // namespace aerova
