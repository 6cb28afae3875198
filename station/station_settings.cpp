#include "station/station_settings.h"

#include <algorithm>
#include <filesystem>

#include "base/files.h"
#include "base/strings.h"

namespace aerova {

StationSettings LoadStationSettings(const std::string& stationDir) {
    StationSettings s;
    std::error_code ec;
    const std::string configDir = JoinPath(stationDir, kConfigDir);
    for (const auto& entry : std::filesystem::directory_iterator(configDir, ec)) {
        if (entry.is_regular_file() && SameText(entry.path().extension().string(), ".ini"))
            s.cbconfig.push_back(entry.path().stem().string());
    }
    std::sort(s.cbconfig.begin(), s.cbconfig.end());
    s.cbconfig.push_back("aerovas");

    const std::string mainPath = JoinPath(stationDir, kMainIniName);
    const IniFile main(mainPath);
    const std::string last = main.ReadString("LastIniFile", "filename", "");
    const std::string lastPath = JoinPath(configDir, last + ".ini");
    const bool listed = std::find(s.cbconfig.begin(), s.cbconfig.end(), last) != s.cbconfig.end();
    if (!last.empty() && last != "aerovas" && listed && FileExists(lastPath)) {
        s.configName = last;
        s.iniPath = lastPath;
    } else {
        s.iniPath = mainPath;
    }

    const IniFile ini(s.iniPath);
    s.deletedtimeout = ini.ReadInteger("main", "deletedtimeout", 15);
    s.timeServer = ini.ReadString("server", "time", "");
    s.savebst = ini.ReadString("main", "savebst", JoinPath(stationDir, "aerova-bst"));
    s.sqlDir = ini.ReadString("sql", "dir", stationDir);
    s.sqlDb = ini.ReadString("sql", "db", "basestation.sqb");
    s.times.cbflightinactive = ini.ReadInteger("times", "flightinactive", 5);
    s.times.cbflightdelete = ini.ReadInteger("times", "flightdeleted", 0);
    s.times.cbpeerinactive = ini.ReadInteger("times", "peerinactive", 5);
    s.times.cbpeerdelete = ini.ReadInteger("times", "peerdeleted", 0);
    return s;
}

bool SaveStationSettings(const StationSettings& s, const std::string& path) {
    IniFile ini(path);
    ini.WriteInteger("main", "deletedtimeout", static_cast<std::int64_t>(s.deletedtimeout));
    ini.WriteString("server", "time", s.timeServer);
    ini.WriteString("main", "savebst", s.savebst);
    ini.WriteString("sql", "dir", s.sqlDir);
    ini.WriteString("sql", "db", s.sqlDb);
    ini.WriteInteger("times", "flightinactive", s.times.cbflightinactive);
    ini.WriteInteger("times", "flightdeleted", s.times.cbflightdelete);
    ini.WriteInteger("times", "peerinactive", s.times.cbpeerinactive);
    ini.WriteInteger("times", "peerdeleted", s.times.cbpeerdelete);
    return ini.UpdateFile();
}

bool ApplyTimeoutChoices(const TimeoutChoices& c, Timeouts& t) {
    auto inRange = [](int i, std::size_t n) { return i >= 0 && static_cast<std::size_t>(i) < n; };
    const int before = t.flightInactiveSec;
    if (inRange(c.cbflightinactive, kInactiveChoicesSec.size()))
        t.flightInactiveSec = kInactiveChoicesSec[static_cast<std::size_t>(c.cbflightinactive)];
    if (inRange(c.cbflightdelete, kDeleteChoicesMin.size()))
        t.flightDeleteMin = kDeleteChoicesMin[static_cast<std::size_t>(c.cbflightdelete)];
    if (inRange(c.cbpeerinactive, kInactiveChoicesSec.size()))
        t.peerInactiveSec = kInactiveChoicesSec[static_cast<std::size_t>(c.cbpeerinactive)];
    if (inRange(c.cbpeerdelete, kDeleteChoicesMin.size()))
        t.peerDeleteMin = kDeleteChoicesMin[static_cast<std::size_t>(c.cbpeerdelete)];
    return t.flightInactiveSec > before;
}

}  // namespace aerova
