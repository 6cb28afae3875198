#pragma once
// Airport weather for the radar windows: the METAR or TAF of a station fetched through the
// METAR library and flattened into one line, and the QNH of a METAR for Auto QNH.

#include <optional>
#include <string>
#include <string_view>

namespace aerova {

// Where the weather texts come from.
struct WeatherTextSource {
    // The METAR library: a bare name goes through the loader's search order (beside the
    // program, whose RUNPATH is $ORIGIN); a name with "/" is a path.
    std::string library = "libmetar.so";
    // The weather text server's base URL for the library; empty: the library's default.
    std::string server;
    // The library's connect and whole-request time-outs in milliseconds; 0: its own (10 s
    // and 20 s).
    long connectTimeoutMs = 0;
    long totalTimeoutMs = 0;
};

// The station's METAR (kind "METAR"), TAF (kind "TAF") or short TAF (kind "SHORTTAF", which
// is flattened as a TAF) as one line for a radar window;
// empty when the library, the export or the text is missing or the code is not 1 to 8
// letters and digits. The library is loaded for this call only. Blocks for the HTTP request
// (up to the library's time-outs): call it from a worker, not from the event loop.
std::string FetchWeatherText(const WeatherTextSource& source, std::string_view kind,
                             std::string_view station, bool shortSymbols);

// The station file as the server keeps it (up to 255 bytes), for the WX window; kinds and
// failures as above.
std::string FetchStationFile(const WeatherTextSource& source, std::string_view kind,
                             std::string_view station);

// A station file flattened for display: line ends and double blanks become single blanks,
// a blank goes after the 16th character of a text longer than 26, and with short symbols
// " TAF " becomes " FT " (kind "TAF") or " <station> " becomes " SA <station> " (kind
// "METAR", the code as the caller gave it) and the first 6 characters go.
std::string FlattenWeatherText(std::string_view text, std::string_view kind,
                               std::string_view station, bool shortSymbols);

}  // namespace aerova
