#include "weather/weather_text.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "base/station_code.h"
#include "base/strings.h"
#include "platform/dynamic_library.h"

namespace aerova {
namespace {

// The METAR library's exports (metar/metar_library.h): a 256-byte buffer of one length
// byte and the text, and the station code.
using GetTextFunction = void(unsigned char* result, const char* station);
using SetServerFunction = void(const char* baseUrl);

// QNH values no aerodrome reports; a group outside them is a misread, not a pressure.
constexpr int kLowestQnh = 850;
constexpr int kHighestQnh = 1100;
// Hundredths of an inch of mercury per hPa, the factor of the station's QNH lists.
constexpr double kInchHundredthsPerHpa = 2.953;

// The four digits after `letter` when `group` is exactly that letter and four digits (a
// METAR may end its last group with "=").
std::optional<int> GroupValue(std::string_view group, char letter) {
    if (!group.empty() && group.back() == '=') group.remove_suffix(1);
    if (group.size() != 5 || group[0] != letter) return std::nullopt;
    int value = 0;
    for (std::size_t i = 1; i < 5; ++i) {
        if (group[i] < '0' || group[i] > '9') return std::nullopt;
        value = value * 10 + (group[i] - '0');
    }
    return value;
}

std::vector<std::string_view> Groups(std::string_view text) {
    std::vector<std::string_view> groups;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t\r\n", pos);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(" \t\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        groups.push_back(text.substr(start, end - start));
        pos = end;
    }
    return groups;
}

void ReplaceFirst(std::string& s, std::string_view from, std::string_view to) {
    const std::size_t at = s.find(from);
    if (at != std::string::npos) s.replace(at, from.size(), to);
}

}  // namespace

std::string FetchWeatherText(const WeatherTextSource& source, std::string_view kind,
                             std::string_view station, bool shortSymbols) {
    const char* exportName = kind == "METAR" ? "GetMETAR" : kind == "TAF" ? "GetTAF" : nullptr;
    const std::string code = CleanStationCode(station);
    if (exportName == nullptr || code.empty()) return {};
    std::string text;
    {
        // Loaded for this fetch only, and unloaded at the end of the block.
        const auto library = DynamicLibrary::Open(source.library);
        if (!library) return {};
        const auto getText = library->Symbol<GetTextFunction>(exportName);
        if (getText == nullptr) return {};
        if (const auto setServer = library->Symbol<SetServerFunction>("SetMETARServer")) {
            setServer(source.server.c_str());
        }
        unsigned char buffer[256] = {};
        getText(buffer, code.c_str());
        text.assign(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
    }
    if (text.empty()) return {};
    return FlattenWeatherText(text, kind, station, shortSymbols);
}

std::string FlattenWeatherText(std::string_view text, std::string_view kind,
                               std::string_view station, bool shortSymbols) {
    std::string line = ReplaceAll(text, "\n", " ");
    line = ReplaceAll(line, "  ", " ");
    line = ReplaceAll(line, "\r", " ");
    line = ReplaceAll(line, "  ", " ");
    // Keeps the date line's time apart from the report that follows it.
    if (line.size() > 26) line.insert(16, " ");
    if (shortSymbols) {
        if (kind == "TAF") {
            ReplaceFirst(line, " TAF ", " FT ");
        } else if (kind == "METAR") {
            ReplaceFirst(line, Concat({" ", station, " "}), Concat({" SA ", station, " "}));
        }
        line.erase(0, 6);
    }
    return ReplaceAll(line, "  ", " ");
}

std::optional<int> QnhFromMetar(std::string_view metar) {
    const std::vector<std::string_view> groups = Groups(metar);
    for (const std::string_view group : groups) {
        const auto hpa = GroupValue(group, 'Q');
        if (hpa && *hpa >= kLowestQnh && *hpa <= kHighestQnh) return *hpa;
    }
    for (const std::string_view group : groups) {
        const auto inches = GroupValue(group, 'A');
        if (!inches) continue;
        const int hpa = static_cast<int>(std::lround(*inches / kInchHundredthsPerHpa));
        if (hpa >= kLowestQnh && hpa <= kHighestQnh) return hpa;
    }
    return std::nullopt;
}

}  // namespace aerova
