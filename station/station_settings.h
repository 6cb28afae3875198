#pragma once
// The settings the station's spine reads at the start of reception: which file is in force
// (aerovas.ini or the configuration set named last), and the keys of the main cycle.

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "station/station_state.h"

namespace aerova {

constexpr const char* kMainIniName = "aerovas.ini";
constexpr const char* kConfigDir = "aerova-config";

struct StationSettings {
    std::string configName = "aerovas";  // shown in `cbconfig`
    std::vector<std::string> cbconfig;   // the configuration list
    std::string iniPath;                 // the file loaded
    double deletedtimeout = 15;          // main/deletedtimeout, minutes
    std::string timeServer;              // server/time; no built-in server
    std::string savebst;                 // main/savebst
    std::string sqlDir;                  // sql/dir
    std::string sqlDb = "basestation.sqb";
    TimeoutChoices times;
};

// Fills the configuration list from "aerova-config/*.ini" plus "aerovas", picks the set named
// by `LastIniFile`/`filename` when it exists, and reads the keys from the chosen file.
StationSettings LoadStationSettings(const std::string& stationDir);
// Writes the keys back into `path`, keeping every other key of the file.
bool SaveStationSettings(const StationSettings& s, const std::string& path);

}  // namespace aerova
