#include "weather/weather_text.h"

#include <cstddef>

#include "base/station_code.h"
#include "base/strings.h"
#include "platform/dynamic_library.h"

namespace aerova {
namespace {

// The METAR library's exports (metar/metar_library.h): a 256-byte buffer of one length
// byte and the text, and the station code.
using GetTextFunction = void(unsigned char* result, const char* station);
using SetServerFunction = void(const char* baseUrl);
using SetTimeoutsFunction = void(long connectMs, long totalMs);

void ReplaceFirst(std::string& s, std::string_view from, std::string_view to) {
    const std::size_t at = s.find(from);
    if (at != std::string::npos) s.replace(at, from.size(), to);
}

}  // namespace

std::string FetchStationFile(const WeatherTextSource& source, std::string_view kind,
                             std::string_view station) {
    const char* exportName = kind == "METAR"      ? "GetMETAR"
                             : kind == "TAF"      ? "GetTAF"
                             : kind == "SHORTTAF" ? "GetShortTAF"
                                                  : nullptr;
    const std::string code = CleanStationCode(station);
    if (exportName == nullptr || code.empty()) return {};
    // Loaded for this fetch only, and unloaded when the function returns.
    const auto library = DynamicLibrary::Open(source.library);
    if (!library) return {};
    const auto getText = library->Symbol<GetTextFunction>(exportName);
    if (getText == nullptr) return {};
    if (const auto setServer = library->Symbol<SetServerFunction>("SetMETARServer")) {
        setServer(source.server.c_str());
    }
    if (const auto setTimeouts = library->Symbol<SetTimeoutsFunction>("SetMETARTimeouts")) {
        setTimeouts(source.connectTimeoutMs, source.totalTimeoutMs);
    }
    unsigned char buffer[256] = {};
    getText(buffer, code.c_str());
    return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

std::string FetchWeatherText(const WeatherTextSource& source, std::string_view kind,
                             std::string_view station, bool shortSymbols) {
    const std::string text = FetchStationFile(source, kind, station);
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
    if (line.size() > 26) {
        const std::string_view whole(line);
        line = Concat({whole.substr(0, 16), " ", whole.substr(16)});
    }
    if (shortSymbols) {
        if (kind == "TAF" || kind == "SHORTTAF") {
            ReplaceFirst(line, " TAF ", " FT ");
        } else if (kind == "METAR") {
            ReplaceFirst(line, Concat({" ", station, " "}), Concat({" SA ", station, " "}));
        }
        line.erase(0, 6);
    }
    return ReplaceAll(line, "  ", " ");
}

}  // namespace aerova
