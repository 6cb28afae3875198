#pragma once
// The airport code of a weather request, checked where it enters. It becomes part of a path
// on the weather server, so only letters and digits pass. Header-only: the METAR library
// (a shared library of its own) uses it without linking the station's libraries.

#include <cstddef>
#include <string>
#include <string_view>

namespace aerova {

// The longest code the weather server's station files are named by (ICAO codes have four
// characters; a few services add longer local identifiers).
constexpr std::size_t kMaxStationCodeLength = 8;

// The code upper-cased when it has 1 to 8 letters and digits (ASCII), else empty.
inline std::string CleanStationCode(std::string_view code) {
    if (code.empty() || code.size() > kMaxStationCodeLength) return {};
    std::string clean(code);
    for (char& c : clean) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return {};
    }
    return clean;
}

}  // namespace aerova
