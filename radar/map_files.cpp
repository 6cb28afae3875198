#include "radar/map_files.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

// Calls `line` with every trimmed line that is not empty and not a comment. CR, LF and CR LF
// all end a line.
template <typename LineFn>
void ForEachDataLine(std::string_view text, LineFn&& line) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string trimmed = Trim(text.substr(start, end - start));
        start = end + 1;
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '{') continue;
        line(std::string_view(trimmed));
    }
}

// A type number 1..30, or 0 for an empty or out-of-range one; unreadable reads as 1.
int TypeOf(std::string_view field) {
    const std::string text = Trim(field);
    if (text.empty()) return 0;
    const std::int32_t type = IntOf(text);
    return type >= 1 && type <= kLayerTypes ? type : 0;
}

// Unreadable reads as 1; beyond the range of a float the coordinate is held at its limit.
float CoordinateOf(std::string_view text) {
    return static_cast<float>(std::clamp(RealOf(text), -double{FLT_MAX}, double{FLT_MAX}));
}

std::size_t Index(int type) {
    return static_cast<std::size_t>(type - 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The polylines of one outline file as they are read.
class OutlineReader {
  public:
    explicit OutlineReader(MapData& out) : out_(out) {}

    void Line(std::string_view line) {
        if (StartsText("$TYPE=", line)) {
            EndPolyline();
            type_ = TypeOf(line.substr(6, 2));
            return;
        }
        if (type_ == 0) return;  // before the first section, or a section of no valid type
        if (line == "-1") {
            EndPolyline();
        } else if (line[0] == '-' || IsDigit(line[0])) {
            Points(line);
        }
    }

    // The file's last polyline ends with the file.
    void End() { EndPolyline(); }

  private:
    // Tokens are separated by a blank; the character before each blank is the separator and
    // is dropped. The last token has none.
    void Points(std::string_view line) {
        for (;;) {
            const std::size_t blank = line.find(' ');
            if (blank == std::string_view::npos) {
                Token(line);
                return;
            }
            Token(line.substr(0, blank == 0 ? 0 : blank - 1));
            line.remove_prefix(blank + 1);
        }
    }

    void Token(std::string_view token) {
        if (token == "-1") {
            EndPolyline();
            return;
        }
        const std::size_t plus = token.find('+');
        if (plus == std::string_view::npos) return;  // not a point: the polyline goes on
        strip_.push_back(
            {CoordinateOf(token.substr(0, plus)), CoordinateOf(token.substr(plus + 1))});
    }

    void EndPolyline() {
        // A line strip of one vertex draws nothing.
        if (type_ != 0 && strip_.size() >= 2) out_.outlines[Index(type_)].push_back(strip_);
        strip_.clear();
    }

    MapData& out_;
    int type_ = 0;
    std::vector<MapPoint> strip_;
};

bool LessWithoutCase(const std::string& a, const std::string& b) {
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;  // names differing only in case keep a fixed order
}

// `name` below `dir`, byte for byte: a map file's name may hold any character but "/".
std::string PathIn(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? Concat({dir, name}) : Concat({dir, "/", name});
}

constexpr std::string_view kStationFolders[] = {
    "userdata",   "bmpflags",      "aerova-img",  "aerova-scripts", "aerova-routes",
    "aerova-bst", "aerova-mosaic", "aerova-logs", "nomap",          "aerova-config"};

bool IsStationFolder(std::string_view name) {
    return std::any_of(std::begin(kStationFolders), std::end(kStationFolders),
                       [name](std::string_view own) { return SameText(own, name); });
}

void LoadKind(const std::string& stationDir, const std::vector<std::string>& enabledFolders,
              const std::function<void(const std::string&)>& progress, std::string_view status,
              std::string_view extension, void (*parse)(std::string_view, MapData&),
              MapData& data) {
    for (const std::string& folder : enabledFolders) {
        if (progress) progress(Concat({status, folder}));
        for (const std::string& path : MapFilesIn(PathIn(stationDir, folder), extension)) {
            std::string content;
            if (!ReadWholeFile(path, content)) {
                data.errors.push_back(Concat({"Cannot read the map file ", path}));
                continue;
            }
            parse(content, data);
        }
    }
}

}  // namespace

void ParseWaypointFile(std::string_view text, MapData& out) {
    ForEachDataLine(text, [&out](std::string_view line) {
        FieldReader fields(line, ',');
        const std::string_view name = fields.Next();
        const std::string_view second = fields.Next();
        const int type = TypeOf(fields.Next());
        fields.Next();  // not used
        const std::string lat = Trim(fields.Next());
        const std::string lon = Trim(fields.Next());
        if (type == 0 || lat.empty() || lon.empty()) return;
        out.waypoints[Index(type)].push_back(
            {std::string(name), std::string(second), CoordinateOf(lat), CoordinateOf(lon)});
    });
}

void ParseOutlineFile(std::string_view text, MapData& out) {
    OutlineReader reader(out);
    ForEachDataLine(text, [&reader](std::string_view line) { reader.Line(line); });
    reader.End();
}

std::vector<std::string> MapFolders(const std::string& stationDir) {
    std::vector<std::string> folders;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(stationDir, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || IsStationFolder(name)) continue;
        std::error_code statusError;
        if (!it->is_directory(statusError)) continue;
        folders.push_back(std::move(name));
    }
    std::sort(folders.begin(), folders.end(), LessWithoutCase);
    return folders;
}

std::vector<std::string> MapFilesIn(const std::string& folder, std::string_view extension) {
    const std::string suffix = !extension.empty() && extension[0] != '.' ? Concat({".", extension})
                                                                         : std::string(extension);
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() < suffix.size() ||
            !SameText(std::string_view(name).substr(name.size() - suffix.size()), suffix)) {
            continue;
        }
        std::error_code statusError;
        const std::filesystem::file_status status = it->status(statusError);
        const bool dangling = !std::filesystem::exists(status) && it->is_symlink(statusError);
        if (std::filesystem::is_regular_file(status) || dangling) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), LessWithoutCase);
    for (std::string& name : names) name = PathIn(folder, name);
    return names;
}

bool MapFolderDefault(std::string_view name) {
    return SameText(name, "waypoints") || SameText(name, "outlines");
}

MapData LoadMapData(const std::string& stationDir, const std::vector<std::string>& enabledFolders,
                    const std::function<void(const std::string& status)>& progress) {
    MapData data;
    LoadKind(stationDir, enabledFolders, progress, "Loading waypoints... ", ".wpt",
             ParseWaypointFile, data);
    LoadKind(stationDir, enabledFolders, progress, "Loading outlines... ", ".out", ParseOutlineFile,
             data);
    return data;
}

std::size_t TotalPoints(const MapData& data) {
    std::size_t total = 0;
    for (const auto& polylines : data.outlines) {
        for (const auto& polyline : polylines) total += polyline.size();
    }
    for (const auto& waypoints : data.waypoints) total += waypoints.size();
    return total;
}

std::vector<WaypointName> WaypointNameTable(const MapData& data) {
    std::vector<WaypointName> table;
    for (const auto& waypoints : data.waypoints) {
        for (const Waypoint& waypoint : waypoints) {
            if (table.size() >= kWaypointNames) return table;
            WaypointName entry{};
            std::memcpy(entry.name, waypoint.name.data(),
                        std::min<std::size_t>(waypoint.name.size(), 5));
            entry.lat = waypoint.lat;
            entry.lon = waypoint.lon;
            table.push_back(entry);
        }
    }
    return table;
}

}  // namespace aerova
