#include "radar/mosaic_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/strings.h"
#include "radar/radar_view.h"

namespace aerova {
namespace {

constexpr std::int64_t kFractionUnits = 1000000000;  // nine decimals

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Plain decimal digits, nothing else, up to `limit`.
std::optional<int> Whole(std::string_view s, int limit) {
    if (!AllDigits(s) || s.size() > 6) return std::nullopt;
    int value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    if (value > limit) return std::nullopt;
    return value;
}

// A fraction of a degree: digits with at most one ".", at least one digit, 0 <= f < 1.
std::optional<double> Fraction(std::string_view s) {
    if (s.empty() || s.size() > 32) return std::nullopt;
    int digits = 0, points = 0;
    for (char c : s) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size() || !(value >= 0 && value < 1))
        return std::nullopt;
    return value;
}

// One angle from its whole degrees, fraction and hemisphere letter.
std::optional<double> Angle(std::string_view degrees, std::string_view fraction,
                            std::string_view hemisphere, int limit, std::string_view positive,
                            std::string_view negative) {
    const auto whole = Whole(degrees, limit);
    const auto part = Fraction(fraction);
    if (!whole || !part || (hemisphere != positive && hemisphere != negative)) return std::nullopt;
    const double value = *whole + *part;
    if (value > limit) return std::nullopt;
    return hemisphere == negative ? -value : value;
}

// "D.ddddddddd" of |value| with the trailing zeros of the fraction left off, and whether the
// value is negative.
void AppendAngle(std::string& out, double value, char positive, char negative) {
    const std::int64_t units = std::llround(std::fabs(value) * kFractionUnits);
    out += std::to_string(units / kFractionUnits);
    out += ',';
    std::string fraction = std::to_string(units % kFractionUnits);
    fraction.insert(0, 9 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
    out += "0.";
    out += fraction;
    out += ',';
    out += (value < 0 && units != 0) ? negative : positive;
}

// Degrees with at most six decimals, "." whatever the locale, no "-0".
std::string Degrees(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

}  // namespace

std::optional<std::vector<CalibrationPoint>> ParseCalibration(std::string_view text) {
    std::vector<std::optional<CalibrationPoint>> slots;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::vector<std::string> f = Split(line, ',');
        if (f.size() != 12 || f[0].size() != 7 || f[0].compare(0, 5, "Point") != 0 ||
            f[1] != "xy" || f[4] != "in" || f[5] != "deg")
            return std::nullopt;
        const auto index = Whole(std::string_view(f[0]).substr(5), kMaxCalibrationPoints - 1);
        const auto x = Whole(f[2], kMaxCalibrationPixel);
        const auto y = Whole(f[3], kMaxCalibrationPixel);
        const auto lat = Angle(f[6], f[7], f[8], 90, "N", "S");
        const auto lon = Angle(f[9], f[10], f[11], 180, "E", "W");
        if (!index || !x || !y || !lat || !lon) return std::nullopt;
        if (slots.size() <= static_cast<std::size_t>(*index)) slots.resize(*index + 1);
        if (slots[*index]) return std::nullopt;  // the same index twice
        slots[*index] = CalibrationPoint{*x, *y, *lat, *lon};
    }
    if (slots.size() < kMinCalibrationPoints) return std::nullopt;
    std::vector<CalibrationPoint> points;
    points.reserve(slots.size());
    for (const auto& slot : slots) {
        if (!slot) return std::nullopt;  // an index left out
        points.push_back(*slot);
    }
    return points;
}

std::string CalibrationText(const std::vector<CalibrationPoint>& points) {
    std::string out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CalibrationPoint& p = points[i];
        out += "Point";
        if (i < 10) out += '0';
        out += std::to_string(i);
        out += ",xy,";
        out += std::to_string(p.x);
        out += ',';
        out += std::to_string(p.y);
        out += ",in,deg,";
        AppendAngle(out, p.lat, 'N', 'S');
        out += ',';
        AppendAngle(out, p.lon, 'E', 'W');
        out += "\r\n";
    }
    return out;
}

std::optional<MosaicMesh> BuildMosaicMesh(const std::vector<CalibrationPoint>& points) {
    const int count = static_cast<int>(points.size());
    if (count < kMinCalibrationPoints || count > kMaxCalibrationPoints) return std::nullopt;
    MosaicMesh mesh;
    while (mesh.columns < count && points[mesh.columns].y == points[0].y) ++mesh.columns;
    if (mesh.columns < 2 || count % mesh.columns != 0) return std::nullopt;
    mesh.rows = count / mesh.columns;
    if (mesh.rows < 2) return std::nullopt;
    mesh.minX = mesh.maxX = points[0].x;
    mesh.minY = mesh.maxY = points[0].y;
    for (int i = 0; i < count; ++i) {
        const CalibrationPoint& p = points[i];
        if (p.y != points[i - i % mesh.columns].y) return std::nullopt;
        mesh.minX = std::min(mesh.minX, p.x);
        mesh.maxX = std::max(mesh.maxX, p.x);
        mesh.minY = std::min(mesh.minY, p.y);
        mesh.maxY = std::max(mesh.maxY, p.y);
    }
    if (mesh.maxX == 0 || mesh.maxY == 0) return std::nullopt;
    for (int r = 0; r + 1 < mesh.rows; ++r) {
        std::vector<CalibrationPoint> strip;
        strip.reserve(2 * mesh.columns);
        for (int c = 0; c < mesh.columns; ++c) {
            strip.push_back(points[r * mesh.columns + c]);
            strip.push_back(points[(r + 1) * mesh.columns + c]);
        }
        mesh.strips.push_back(std::move(strip));
    }
    return mesh;
}

std::array<double, 2> MosaicTextureCoordinates(const MosaicMesh& mesh, const CalibrationPoint& p) {
    return {static_cast<double>(p.x) / mesh.maxX, 1.0 - static_cast<double>(p.y) / mesh.maxY};
}

std::vector<CalibrationPoint> AutoCalibration(double north, double south, double west, double east,
                                              int width, int height, int quality) {
    std::vector<CalibrationPoint> points;
    if (quality < 1 || quality > 8) return points;
    const double latSpan = north - south, lonSpan = east - west;
    for (int i = 0; i <= quality; ++i) {
        // Pixels from the index too: (north - lat) / (north - south) * height is exactly
        // i * height / quality, and the rounding error of lat would tip half pixels either way.
        const double lat = i == quality ? south : north - i * latSpan / quality;
        const int y = static_cast<int>(std::lround(static_cast<double>(i) * height / quality));
        for (int j = 0; j <= quality; ++j) {
            const double lon = j == quality ? east : west + j * lonSpan / quality;
            const int x = static_cast<int>(std::lround(static_cast<double>(j) * width / quality));
            points.push_back({x, y, lat, lon});
        }
    }
    return points;
}

MosaicArea AreaOfView(const RadarView& view, int panelWidth, int panelHeight) {
    constexpr double kPi = 3.14159265358979323846;
    const double k = (static_cast<double>(view.cameraDistance) - kSurfaceDistance) / 190.0;
    const double hy = k * panelHeight / 1000.0;
    const double hx = k * panelWidth / 1000.0 / std::cos(view.centreLat * kPi / 180.0);
    return {view.centreLat + hy, view.centreLat - hy, view.centreLon - hx,
            view.centreLon + hx, panelWidth,          panelHeight};
}

bool AreaIsOnGlobe(const MosaicArea& a) {
    // Written so that NaN fails every comparison.
    return a.south >= -90 && a.north <= 90 && a.south < a.north && a.west >= -180 &&
           a.east <= 180 && a.west < a.east && a.width >= 1 && a.width <= kMaxCalibrationPixel &&
           a.height >= 1 && a.height <= kMaxCalibrationPixel;
}

MosaicStyleChoice MosaicStyles(std::string_view layer, int month) {
    if (layer == "global_mosaic")
        return {{"pseudo", "pseudo_low", "pseudo_bright", "visual", "visual_low", "visual_bright"},
                0};
    if (layer == "global_mosaic_base")
        return {
            {"pseudo", "visual", "Pan", "Red", "Green", "Blue", "IR1", "IR2", "IR3", "ThL", "ThH"},
            0};
    if (layer == "BMNG")
        return {
            {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
            month >= 1 && month <= 12 ? month - 1 : 0};
    return {};
}

std::string GetMapRequest(const std::string& serverUrl, const MosaicArea& area,
                          const std::string& layer, const std::string& style) {
    return Concat({serverUrl, "request=GetMap&width=", std::to_string(area.width),
                   "&height=", std::to_string(area.height), "&layers=", PercentEncoded(layer),
                   "&styles=", PercentEncoded(style),
                   "&srs=EPSG:4326&format=image/jpeg&bbox=", Degrees(area.west), ",",
                   Degrees(area.south), ",", Degrees(area.east), ",", Degrees(area.north)});
}

MosaicList ReadMosaicList(const std::string& mosaicDir) {
    std::set<std::string> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(mosaicDir, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path& file = it->path();
        std::error_code typeError;
        if (file.extension() == ".clb" && !file.stem().empty() && it->is_regular_file(typeError))
            found.insert(file.stem().string());
    }
    const IniFile ini(JoinPath(mosaicDir, kMosaicListFile));
    MosaicList list;
    for (int i = 0; i <= 99; ++i) {
        const std::string key = std::to_string(i);
        const auto known = found.find(ini.ReadString("Mosaic", key, ""));
        if (known == found.end()) continue;
        list.entries.push_back({*known, ini.ReadString("Active", key, "0") == "1"});
        found.erase(known);
    }
    for (const std::string& name : found) list.entries.push_back({name, false});
    list.changed = !found.empty();
    return list;
}

bool WriteMosaicList(const std::string& mosaicDir, const std::vector<MosaicEntry>& entries) {
    IniFile ini;
    for (std::size_t i = 0; i < entries.size(); ++i)
        ini.WriteString("Mosaic", std::to_string(i), entries[i].name);
    for (std::size_t i = 0; i < entries.size(); ++i)
        ini.WriteString("Active", std::to_string(i), entries[i].active ? "1" : "0");
    return WriteFileReplacing(JoinPath(mosaicDir, kMosaicListFile), ini.ToText());
}

}  // namespace aerova
