#pragma once
// Mosaics: pictures of a region fastened to the globe by calibration points. This file holds
// everything about them that needs neither a window nor OpenGL: the calibration file (".clb")
// and the mesh drawn from it, the automatic calibration of a downloaded picture, the area a
// radar window shows, the map server's GetMap request, and the manager's list "mosaic.ini".
//
// All mosaic files live in one folder: "<name>.jpg" the picture, "<name>.clb" its
// calibration, "mosaic.ini" the manager's list (section "Mosaic": keys "0", "1", ... with the
// names in display order; section "Active": the same keys with "1" or "0").

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

struct RadarView;  // radar/radar_view.h

// One calibration point: a pixel of the picture (origin top left) and where it lies on earth
// (degrees, south and west negative).
struct CalibrationPoint {
    int x = 0, y = 0;
    double lat = 0, lon = 0;
    bool operator==(const CalibrationPoint&) const = default;
};

constexpr int kMaxCalibrationPoints = 99;  // indexes 00 to 98
constexpr int kMinCalibrationPoints = 4;
constexpr int kMaxCalibrationPixel = 65535;

// Reads a calibration file: one line per point, CR LF or LF,
//   Point<nn>,xy,<x>,<y>,in,deg,<lat deg>,<lat fraction>,<N|S>,<lon deg>,<lon fraction>,<E|W>
// Each point is stored at its index. Nothing is guessed: a line with a wrong field count,
// keyword, hemisphere letter or number (x and y 0..65535, degrees 0..90 and 0..180, a fraction
// 0 <= f < 1 written with "."), an index used twice, an index missing below the highest one,
// or fewer than four points make the whole file invalid (nullopt).
std::optional<std::vector<CalibrationPoint>> ParseCalibration(std::string_view text);

// The file text of `points` in their order, indexes counted from 00, CR LF after every line.
// Fractions carry nine decimals (a ten-thousandth of a millimetre), trailing zeros left off.
// The caller keeps to the ranges ParseCalibration accepts.
std::string CalibrationText(const std::vector<CalibrationPoint>& points);

// The mesh a mosaic is drawn with. Points are written row by row from the top, left to right,
// every row with the same y and the same number of points; the number of columns is the
// number of leading points with the first point's y. Each strip joins row r to row r + 1 as
// the vertex pairs (r, 0), (r + 1, 0), (r, 1), (r + 1, 1), ... for one quad strip.
struct MosaicMesh {
    int columns = 0;
    int rows = 0;
    std::vector<std::vector<CalibrationPoint>> strips;  // rows - 1 strips of 2 * columns points
    int minX = 0, minY = 0;
    int maxX = 0, maxY = 0;  // the picture size the texture coordinates are taken against
};

// Nullopt for a calibration that cannot be drawn: fewer than four or more than 99 points, a
// row count that does not divide the points (ragged rows), a row whose points differ in y,
// fewer than two rows or columns, or a largest x or y of 0.
std::optional<MosaicMesh> BuildMosaicMesh(const std::vector<CalibrationPoint>& points);

// Texture coordinates of a mesh point: (x / maxX, 1 - y / maxY).
std::array<double, 2> MosaicTextureCoordinates(const MosaicMesh& mesh, const CalibrationPoint& p);

// Height of mosaic list entry `entry` below the surface, km: later entries lie lower, so that
// the first entries of the list are drawn on top.
constexpr double MosaicHeightKm(int entry) {
    return -0.5 - 0.05 * entry;
}

// The calibration of a picture of `width` x `height` pixels showing the area from `north` to
// `south` and `west` to `east`: a grid of (quality + 1)^2 points, row by row from the north,
// each computed from its grid index. `quality` is 1, 2, 4 or 8 on the user's list; any value
// from 1 to 8 works, others give no points.
std::vector<CalibrationPoint> AutoCalibration(double north, double south, double west, double east,
                                              int width, int height, int quality);

// What a map picture shows and its size in pixels.
struct MosaicArea {
    double north = 0, south = 0, west = 0, east = 0;
    int width = 0, height = 0;
};

// The area a radar window shows, by the rule of double-click centring: with
// k = (cameraDistance - 6372.5) / 190, the half height is k * panelHeight / 1000 degrees and
// the half width k * panelWidth / 1000 / cos(centreLat) degrees. The picture size is the
// panel size. A far view gives values beyond the globe: see AreaIsOnGlobe.
MosaicArea AreaOfView(const RadarView& view, int panelWidth, int panelHeight);

// True when the area is a real piece of the globe (-90 <= south < north <= 90,
// -180 <= west < east <= 180) and the size is 1..65535 pixels each way.
bool AreaIsOnGlobe(const MosaicArea& area);

// The map server's layers; the first one is the default.
inline constexpr std::array<std::string_view, 10> kMosaicLayers = {
    "global_mosaic",  "global_mosaic_base", "daily_terra_721",
    "daily_aqua_721", "daily_terra_ndvi",   "daily_aqua_ndvi",
    "daily_terra",    "daily_aqua",         "BMNG",
    "modis"};

struct MosaicStyleChoice {
    std::vector<std::string_view> styles;  // empty: the layer has no styles
    int selected = -1;                     // the preselected style, -1 when there is none
};
// The styles offered for `layer`; the first one is preselected, for "BMNG" (one style per
// month, "Jan" to "Dec") the current `month` (1..12).
MosaicStyleChoice MosaicStyles(std::string_view layer, int month);

// The GetMap request for `area`: `serverUrl` followed by the query
//   request=GetMap&width=W&height=H&layers=L&styles=S&srs=EPSG:4326&format=image/jpeg
//   &bbox=west,south,east,north
// `serverUrl` is taken as it is and must end with "?" (or "&" when it carries a query of its
// own). Degrees carry at most six decimals with "." whatever the locale; layer and style are
// percent-encoded where they hold anything but letters, digits and "-._~".
std::string GetMapRequest(const std::string& serverUrl, const MosaicArea& area,
                          const std::string& layer, const std::string& style);

// The manager's list.
struct MosaicEntry {
    std::string name;  // file name without ".clb"
    bool active = false;
    bool operator==(const MosaicEntry&) const = default;
};
struct MosaicList {
    std::vector<MosaicEntry> entries;
    bool changed = false;  // calibrations were found that the list did not name yet
};

inline constexpr std::string_view kMosaicListFile = "mosaic.ini";

// The list as the manager shows it: the names of the ".clb" files in `mosaicDir`, first those
// that keys "0" to "99" of "mosaic.ini" name, in that order and shown as their "Active" key
// says; names the list holds but the folder does not are dropped, and calibrations the list
// does not name follow in name order, not shown, with `changed` set.
MosaicList ReadMosaicList(const std::string& mosaicDir);

// Rewrites "mosaic.ini" whole with one "Mosaic" and one "Active" key per entry, replacing the
// file in one step. False (the old file untouched) when it cannot be written.
bool WriteMosaicList(const std::string& mosaicDir, const std::vector<MosaicEntry>& entries);

}  // namespace aerova
