#include "distribution/network_text.h"

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

std::string SpeedText(std::string_view gs) {
    const std::size_t dot = gs.find('.');
    if (gs.empty() || gs == "0.0" || dot == std::string_view::npos) return "    ";
    return PadLeft(gs.substr(0, dot), 4).substr(0, 4);
}

std::string TrackText(std::string_view track) {
    const std::string t = Trim(track);
    if (t.empty() || t == "0.0") return "";
    const std::size_t dot = t.find('.');
    return PadLeft(t.substr(0, dot), 3, '0');
}

}  // namespace aerova
