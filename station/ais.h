#pragma once
// AIS vessel reports: ships, base stations and aids to navigation sent by an outside AIS
// decoder as datagrams 0xFA, type 0xA0..0xAF, ":"-separated fields, 0xFF. A vessel takes a
// flight-table slot like an aircraft (`vessel` set) and keeps it until the main cycle finds
// it unheard for the vessel time-out (kVesselTimeoutMin, station.h).
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

// The label editor's vessel lists and the files they are saved to. Each list holds one
// line per vessel key, at most kMaxAisListLines (the oldest go first). A changed line is
// appended to its file; the file is rewritten from the list only once the lines it holds
// twice outnumber the list, so a sender of many keys can't make every report rewrite a
// large file, and neither the lists nor the files grow without bound.
constexpr std::size_t kMaxAisListLines = 2000;
// Vessels hold at most half of the flight table, so a sender of many vessel keys can't take
// the slots the aircraft need; a new vessel beyond that is not entered.
constexpr int kMaxVesselSlots = kMaxFlights / 2;

struct AisLists {
    std::vector<std::string> lbaisname;     // names list, "aerova-routes/ais.txt", oldest first
    std::vector<std::string> lbaislogfile;  // AIS log, newest line first; its file is in time order
    std::string namesPath;                  // where lbaisname is saved
    std::string logPath;                    // the log file of the day reception started
    std::size_t namesFileLines = 0, logFileLines = 0;  // lines in the files, superseded ones too
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
    void AddName(std::string_view key, std::string line);
    void AddLogLine(std::string_view key, std::string line);

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
// The names list from its file: the last line of each key (its first six characters) wins,
// at most kMaxAisListLines of them.
std::vector<std::string> LoadAisNames(const std::string& path);
// The AIS log file of a UTC day: "aerova-bst/ais-log/yyyymmdd.log" under the station dir.
std::string AisLogPath(const std::string& stationDir, DayTime utcDay);
// The names list file: "aerova-routes/ais.txt" under the station dir.
std::string AisNamesPath(const std::string& stationDir);

}  // namespace aerova
