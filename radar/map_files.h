#pragma once
// The background map of the radar windows: line drawings ("outlines", *.out) and named point
// symbols ("waypoints", *.wpt) from text files in the map folders below the station
// directory. Every file is read once into per-type lists; the windows compile their display
// lists from these and switch each of the 30 types of either kind on and off.
//
// Waypoint file: trimmed lines; empty lines and lines beginning with ";" or "{" are comments.
// A data line is "name,text,type,unused,latitude,longitude" (decimal degrees, "." decimal
// point, south and west negative).
//
// Outline file: the same comment rules; a line beginning with "$TYPE=" (any case) opens a
// section of the type in the next two characters. In a section a line "-1" ends the current
// polyline, and a line beginning with "-" or a digit holds points "lat+lon" separated by a
// separator character and a blank ("53.5+9.95, 53.6+10.0"); a point "-1" ends the polyline.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "radar/map_layers.h"

namespace aerova {

struct MapPoint {
    float lat, lon;
};

struct Waypoint {
    std::string name, text;  // Latin-1 bytes as in the file; `text` may be empty
    float lat, lon;
};

struct MapData {
    // Index type - 1: the polylines of outline type 1..30, each of at least two points.
    std::array<std::vector<std::vector<MapPoint>>, kLayerTypes> outlines;
    // Index type - 1: the waypoints of type 1..30, in folder, file and line order.
    std::array<std::vector<Waypoint>, kLayerTypes> waypoints;
    // One line per map file that could not be read, naming it.
    std::vector<std::string> errors;
};

// Appends the waypoints of one file to their types. A line with an empty or out-of-range type
// or without latitude or longitude text is skipped; a number present but unreadable reads
// as 1.
void ParseWaypointFile(std::string_view text, MapData& out);

// Appends the polylines of one file to their types. Lines before the first section and the
// lines of a section with an empty or out-of-range type are ignored. A point without "+" is
// skipped and the polyline goes on; a coordinate present but unreadable reads as 1. A
// polyline still open at the next section or at the end of the file ends there; polylines of
// fewer than two points draw nothing and are dropped.
void ParseOutlineFile(std::string_view text, MapData& out);

// The map folders: every subdirectory of the station directory except the station's own
// (userdata, bmpflags, aerova-img, ... compared without case) and dot-directories, sorted by
// name without case.
std::vector<std::string> MapFolders(const std::string& stationDir);
// Paths of the files in `folder` whose name ends in `extension` (".wpt"; compared without
// case), sorted by name without case. Directories and special files are left out; a link
// whose target is missing is listed, so that loading reports it.
std::vector<std::string> MapFilesIn(const std::string& folder, std::string_view extension);
// Whether a folder is checked when the settings do not mention it.
bool MapFolderDefault(std::string_view name);

// Reads the .wpt and then the .out files of the enabled folders (names below `stationDir`),
// in list order. `progress` receives a short status text per folder and kind (may be empty).
// A file that cannot be read adds a line to `errors`, and loading goes on.
MapData LoadMapData(const std::string& stationDir, const std::vector<std::string>& enabledFolders,
                    const std::function<void(const std::string& status)>& progress);

// Outline vertices plus waypoints.
std::size_t TotalPoints(const MapData& data);

// The search window's waypoint names: at most kWaypointNames entries, the name cut to five
// bytes and NUL-terminated, in type order and within a type in load order.
constexpr std::size_t kWaypointNames = 32767;
struct WaypointName {
    char name[6];
    float lat, lon;
};
std::vector<WaypointName> WaypointNameTable(const MapData& data);

}  // namespace aerova
