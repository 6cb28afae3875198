#include "database/routes.h"

#include <sys/stat.h>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {
namespace {

constexpr std::string_view kRouteSection = "routes";

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 1-based character of `s`, or NUL outside it.
char At(std::string_view s, long position) {
    if (position < 1 || static_cast<std::size_t>(position) > s.size()) return '\0';
    return s[static_cast<std::size_t>(position - 1)];
}

// The first section named `routes` of an INI text, read with the station's INI rules:
// names and keys trimmed and matched without case, one pair of quotes stripped from a
// value, the first of two equal keys wins.
std::unordered_map<std::string, std::string> ParseRouteSection(std::string_view content) {
    std::unordered_map<std::string, std::string> routes;
    bool inSection = false, seen = false;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        const std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
            if (seen) break;
            inSection = SameText(Trim(line.substr(1, line.find(']') - 1)), kRouteSection);
            seen = inSection;
            continue;
        }
        if (!inSection || line.empty() || line[0] == ';' || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        std::string value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        routes.emplace(UpperCase(Trim(line.substr(0, eq))), std::move(value));
    }
    return routes;
}

std::uint16_t DayNumberOf(std::string_view text) {
    const std::int32_t day = IntOf(text);
    // A date that does not fit the 16-bit day number reads like one that is not a number.
    return (day < 0 || day > 0xFFFF) ? 1 : static_cast<std::uint16_t>(day);
}

}  // namespace

TRouteMarks RouteMarks(std::string_view r, std::string_view homeAirport) {
    TRouteMarks marks;
    const std::string h = UpperCase(Trim(homeAirport));
    if (!h.empty()) {
        marks.arrival = Pos(" " + h, r) > 0 || Pos("-" + h, r) > 0;
        marks.departure = Pos(h + "-", r) > 0 || (!marks.arrival && Pos(h + " ", r) > 0);
    }
    const long p = static_cast<long>(Pos("-", r));
    const long n = static_cast<long>(r.size());

    std::string arrival;
    if (Pos("(", r) > 0)
        arrival = Copy(r, 1, 3) + "/";
    else if (p >= 5 && At(r, p - 1) == ' ')
        arrival = Copy(r, p - 4, 3) + "/";
    else if (p >= 9 && IsDigit(At(r, p - 1)))
        arrival = Copy(r, p - 8, 3) + "/";
    else
        arrival = "   /";
    arrival += (p + 4 <= n && IsDigit(At(r, p + 1))) ? Copy(r, p + 1, 4) : "    ";

    std::string departure;
    if (p + 4 <= n && At(r, p + 1) == ' ')
        departure = Copy(r, p + 2, 3);
    else if (p + 8 <= n && IsDigit(At(r, p + 1)))
        departure = Copy(r, p + 6, 3);
    else
        departure = "    ";
    departure = ((p >= 5 && IsDigit(At(r, p - 1))) ? Copy(r, p - 4, 4) + "/" : "    /") + departure;

    marks.arrivaltext = Trim(arrival) == "/" ? "" : arrival;
    marks.departuretext = Trim(departure) == "/" ? "" : departure;
    return marks;
}

Tgwiflt ParseGwiEntry(std::string_view value) {
    Tgwiflt entry;
    const std::vector<std::string> fields = Split(value, ';');
    auto field = [&fields](std::size_t i) -> std::string_view {
        return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
    };
    entry.validfrom = DayNumberOf(field(0));
    entry.validto = DayNumberOf(field(1));
    for (std::size_t d = 0; d < 7; ++d) {
        const std::string_view mark = field(2 + d);
        entry.days[d] = mark.empty() ? ' ' : mark[0];
    }
    // The route is everything after the ninth separator.
    std::size_t at = 0;
    for (int separators = 0; separators < 9 && at != std::string_view::npos; ++separators) {
        at = value.find(';', at);
        if (at != std::string_view::npos) ++at;
    }
    if (at != std::string_view::npos) entry.route = value.substr(at);
    return entry;
}

// A file changed within the file system's timestamp granularity of the last read may
// change again without its time or size changing; such a file is read again until its
// time lies safely in the past.
bool RouteFiles::IsRecent(const Stamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    return nowNs - stamp.mtimeNs < 2'000'000'000;
}

RouteFiles::RouteFiles(std::string routesDir) : dir_(std::move(routesDir)) {}

RouteFiles::Stamp RouteFiles::StampOf(const std::string& path) {
    struct stat st {};
    Stamp stamp;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

std::string RouteFiles::RouteOf(const std::string& file, const std::string& key) {
    const std::string path = JoinPath(dir_, file);
    const Stamp stamp = StampOf(path);
    RouteSection& cached = sections_[path];
    if (!(cached.stamp == stamp) || cached.racy) {
        cached.routes.clear();
        std::string content;
        if (stamp.exists && ReadWholeFile(path, content))
            cached.routes = ParseRouteSection(content);
        cached.stamp = stamp;
        cached.racy = stamp.exists && IsRecent(stamp);
    }
    const auto it = cached.routes.find(key);
    return it == cached.routes.end() ? std::string() : it->second;
}

const IniFile* RouteFiles::GwiFile() {
    const std::string path = JoinPath(dir_, "gwi.txt");
    const Stamp stamp = StampOf(path);
    if (!stamp.exists) return nullptr;
    if (!(gwi_.stamp == stamp) || gwi_.racy) {
        gwi_.ini = IniFile(path);
        gwi_.stamp = stamp;
        gwi_.racy = IsRecent(stamp);
    }
    return &gwi_.ini;
}

std::vector<Tgwiflt> RouteFiles::GwiTimetable(std::string_view number) {
    std::vector<Tgwiflt> entries;
    const IniFile* ini = GwiFile();
    if (ini == nullptr) return entries;
    const std::string section = "GWI" + std::string(number);
    for (int i = 0; i < kMaxGwiEntries; ++i) {
        const std::string key = Concat({"F", std::to_string(i)});
        if (!ini->ValueExists(section, key)) break;
        entries.push_back(ParseGwiEntry(ini->ReadString(section, key, "")));
    }
    return entries;
}

std::string RouteFiles::GwiRouteToday(std::string_view number, DayTime today) {
    const auto day = static_cast<std::int64_t>(today);
    const int weekday = (DayOfWeek(today) + 5) % 7;  // Monday 0 ... Sunday 6
    for (const Tgwiflt& entry : GwiTimetable(number))
        if (entry.days[static_cast<std::size_t>(weekday)] == 'X' && entry.validfrom <= day &&
            day <= entry.validto)
            return entry.route.str();
    return {};
}

std::string RouteFiles::LookupRoute(std::string_view callSign, Tflight& flight,
                                    std::string_view homeAirport, DayTime today) {
    if (callSign.size() <= 3 || !IsUpperLetter(callSign[0]) || !IsUpperLetter(callSign[1]) ||
        !IsUpperLetter(callSign[2]))
        return {};
    const std::string airline(callSign.substr(0, 3));
    std::string route;
    if (airline == "GWI") route = GwiRouteToday(Trim(Copy(callSign, 4, 4)), today);
    const std::string number = UpperCase(Trim(callSign.substr(3)));
    if (route.empty()) route = RouteOf(airline + ".rte", number);
    if (route.empty()) route = RouteOf(airline + ".rte1", number);
    if (route.empty()) route = RouteOf("console.rte2", UpperCase(Trim(callSign)));
    route = Text<32>(route).str();
    if (Pos("eq", route) > 0) route.clear();

    const TRouteMarks marks = RouteMarks(route, homeAirport);
    flight.routeflag1 = marks.arrival;
    flight.routeflag2 = marks.departure;
    flight.routefrom = marks.arrivaltext;
    flight.routeto = marks.departuretext;
    return route;
}

std::string RouteFiles::RouteFilePath(std::string_view callSign) const {
    return JoinPath(dir_, std::string(callSign.substr(0, 3)) + ".rte");
}

bool RouteFiles::StoreRoute(std::string_view callSign, std::string_view route) {
    if (callSign.size() <= 3 || !IsUpperLetter(callSign[0]) || !IsUpperLetter(callSign[1]) ||
        !IsUpperLetter(callSign[2]))
        return false;
    if (!ForceDirectories(dir_)) return false;
    const std::string path = RouteFilePath(callSign);
    IniFile ini(path);
    ini.WriteString(kRouteSection, UpperCase(Trim(callSign.substr(3))), route);
    return ini.UpdateFile();
}

}  // namespace aerova
