#pragma once
// The station data servers' request logic (ports 7988 and 7989): reading the query keys,
// the mobile unit's identity and position datagram, the area of interest and the flight
// list with each server's own update mark. No HTTP here; the server binds it to requests.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/flight_table.h"
#include "core/report_codec.h"

namespace aerova {

// The query keys, first occurrence of each (names without regard to case), values in
// lower case as the servers read them.
class DataRequest {
  public:
    DataRequest(std::string path, const std::vector<std::pair<std::string, std::string>>& query);
    const std::string& path() const { return path_; }
    std::optional<std::string> Value(std::string_view key) const;
    bool Is(std::string_view key, std::string_view value) const;

  private:
    std::string path_;
    std::vector<std::pair<std::string, std::string>> values_;
};

// The mobile unit's identity from `gpsid`: up to three parts joined by "_", each upper-cased,
// empty parts keeping the defaults; a `gpsid` without "_" is the unit id alone.
struct GpsIdentity {
    std::string source = "GPS";
    std::string unit = "Roamer";
    std::string unitid = "B00000";
};
GpsIdentity ParseGpsId(std::string_view gpsid);

// The 0xFA 0xCF mobile-position datagram when `gpslat` and `gpslong` are both given.
// Nothing when a value would break the datagram's fields (":", "&", control bytes) or its
// 510-byte limit: a request cannot smuggle extra fields into the report listener.
std::optional<std::string> MobilePositionDatagram(const DataRequest& request);

// Area of interest around `lat`/`lon` sized by the client's view altitude `alt` (km):
// r = alt * 1.3 / 1.852 / 60 degrees, latitude +- r, longitude +- 1.3 r. Nothing when `lat`
// is absent, or when `lat`, `lon` or `alt` is not a finite number.
struct Area {
    double south = 0, north = 0, west = 0, east = 0;
    bool Contains(double lat, double lon) const {
        return lat >= south && lat <= north && lon >= west && lon <= east;
    }
};
std::optional<Area> AreaOf(const DataRequest& request);

struct DataServerOptions {
    int server = 1;           // 1: port 7988, mark `freshhttp1`; 2: port 7989, `freshhttp2`
    bool updatesonly = true;  // "Transmit updates only (1 client)": `cb7988` / `cb7989`
    std::string serverpwd;    // `mini`/`serverpwd`
};

// One line per flight taken, in slot order: flightid (trimmed), reg, icaotype, modes, lat,
// lon, altlabel, track3, gs4, vratecode (trimmed), squawk, route, box joined by ":" and ended
// by a line feed. Clears this server's mark of every flight taken. Caller holds the lock.
std::string BuildFlightList(FlightTable& table, const DataRequest& request,
                            const DataServerOptions& options);

// The whole reply body: "nosend" for a wrong password path, `nosend=1` or an empty list.
std::string AnswerDataRequest(FlightTable& table, const DataRequest& request,
                              const DataServerOptions& options);

}  // namespace aerova
