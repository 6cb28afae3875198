#pragma once
// Routes by call sign from the route files in "aerova-routes" (INI files, section `routes`):
// the GWI timetable "gwi.txt", one "<AAA>.rte" and "<AAA>.rte1" per airline keyed by the
// flight number, and "console.rte2" keyed by the whole call sign. A route such as
// "FRA 0700-0810 HAM" also tells, against the home airport, whether the flight arrives
// there or departs from there.

#include <array>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/day_time.h"
#include "base/ini_file.h"
#include "base/text.h"
#include "core/flight.h"

namespace aerova {

// One timetable entry of "gwi.txt".
struct Tgwiflt {
    std::uint16_t validfrom = 0;  // day numbers, days since 30 December 1899
    std::uint16_t validto = 0;
    std::array<char, 7> days{' ', ' ', ' ', ' ', ' ', ' ', ' '};  // Monday to Sunday, "X" operates
    Text<32> route;
};
constexpr int kMaxGwiEntries = 100;

// What a route says about the home airport.
struct TRouteMarks {
    bool arrival = false;
    bool departure = false;
    std::string arrivaltext;    // "ORG/hhmm"
    std::string departuretext;  // "hhmm/DST"
};
TRouteMarks RouteMarks(std::string_view route, std::string_view homeAirport);

// Reads one value "from;to;d1;...;d7;route" of the timetable.
Tgwiflt ParseGwiEntry(std::string_view value);

class RouteFiles {
  public:
    // `routesDir`: the station's "aerova-routes" directory.
    explicit RouteFiles(std::string routesDir);

    // The route of `callSign` on the day of `today`; sets the flight's arrival and departure
    // marks (`routeflag1`, `routeflag2`) and texts (`routefrom`, `routeto`) against
    // `homeAirport` (the ATC console's airport field). A call sign of at most 3 characters,
    // or one whose first three are not letters A-Z, gives an empty route and changes nothing.
    std::string LookupRoute(std::string_view callSign, Tflight& flight,
                            std::string_view homeAirport, DayTime today);

    // The timetable entries of GWI flight `number` (at most 100); empty without "gwi.txt".
    std::vector<Tgwiflt> GwiTimetable(std::string_view number);

    // "<AAA>.rte" of a call sign's airline.
    std::string RouteFilePath(std::string_view callSign) const;
    // Writes `route` into the call sign's "<AAA>.rte" under its flight number, creating the
    // file and directory when missing. The file is replaced whole, never left half-written.
    bool StoreRoute(std::string_view callSign, std::string_view route);

    const std::string& directory() const { return dir_; }

  private:
    // A file's identity on disk; a cached parse is used only while it is unchanged.
    struct Stamp {
        bool exists = false;
        std::int64_t size = 0;
        std::int64_t mtimeNs = 0;
        std::uint64_t inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct RouteSection {
        Stamp stamp;
        bool racy = false;
        std::unordered_map<std::string, std::string> routes;  // upper-cased key -> value
    };
    struct Timetable {
        Stamp stamp;
        bool racy = false;
        IniFile ini;
    };

    static Stamp StampOf(const std::string& path);
    static bool IsRecent(const Stamp& stamp);
    // The `routes` value of `key` in `file`, empty when absent.
    std::string RouteOf(const std::string& file, const std::string& key);
    std::string GwiRouteToday(std::string_view number, DayTime today);
    const IniFile* GwiFile();

    std::string dir_;
    std::map<std::string, RouteSection> sections_;
    Timetable gwi_;
};

}  // namespace aerova
