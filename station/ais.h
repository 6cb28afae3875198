#pragma once
// AIS vessel reports: ships, base stations and aids to navigation sent by an outside AIS
// decoder as datagrams 0xFA, type 0xA0..0xAF, ":"-separated fields, 0xFF. A vessel takes a
// flight-table slot like an aircraft (`vessel` set) and keeps it for the rest of the run.
// Static data is remembered in the names list so later position reports carry the name;
// base stations, aids to navigation and static reports go to the daily AIS log.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/flight_table.h"
#include "platform/clock.h"

namespace aerova {

// The label editor's vessel lists and the files they are saved to.
struct AisLists {
    std::vector<std::string> lbaisname;     // names list, "aerova-routes/ais.txt"
    std::vector<std::string> lbaislogfile;  // AIS log, newest line first
    std::string namesPath;                  // where lbaisname is saved
    std::string logPath;                    // the log file of the day reception started
};

struct AisHooks {
    // Both radar windows, for a new vessel: label position mode default, distance and
    // bearing texts "???"; a base station (0xA4) gets label position mode and orientation 1.
    std::function<void(int slot, bool baseStation)> newVessel;
    // Both radar windows: label position mode and symbol orientation 1 (shore beacon).
    std::function<void(int slot)> beaconMode;
    // Symbol orientation from track3 (where the label mode is not manual) and re-projection.
    std::function<void(int slot)> updateTarget;
    // Re-projection only, in each visible radar window.
    std::function<void(int slot)> reprojectTarget;
    // A radar window's bearing and distance texts of a target (window 0 or 1).
    std::function<std::pair<std::string, std::string>(int window, int slot)> bearingDistance;
};

class AisVessels {
  public:
    AisVessels(FlightTable& table, const StationClock& clock, AisLists& lists, AisHooks hooks);

    void HandleAisReport(std::string_view datagram);

  private:
    int SlotFor(std::string_view key, unsigned char type);
    void NameFromList(Tflight& f, std::string_view key);
    void RemoveKeyLines(std::vector<std::string>& list, std::string_view key);
    std::string LogLine(const Tflight& f, int slot, std::string_view prefix,
                        std::string_view name) const;
    void PositionFollowUp(int slot, std::string_view mid);
    void SaveNames();
    void SaveLog();

    FlightTable& table_;
    const StationClock& clock_;
    AisLists& lists_;
    AisHooks hooks_;
};

// Country of a three-digit MID: (two-letter code, name); both empty when unknown.
std::pair<std::string, std::string> CountryOfMmsi(std::string_view mid);
// The MID list, "201 AL Albania" to "775 VE Venezuela".
const std::vector<std::string>& MidList();

// Lines of a list file; an unreadable file gives none.
std::vector<std::string> LoadListFile(const std::string& path);
// The AIS log file of a UTC day: "aerova-bst/ais-log/yyyymmdd.log" under the station dir.
std::string AisLogPath(const std::string& stationDir, DayTime utcDay);
// The names list file: "aerova-routes/ais.txt" under the station dir.
std::string AisNamesPath(const std::string& stationDir);

}  // namespace aerova
