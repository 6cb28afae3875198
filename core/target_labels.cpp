#include "core/target_labels.h"

#include <algorithm>
#include <cmath>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

// A letter and a number of hundreds written with at least three digits.
std::string Label(char letter, long hundreds) {
    std::string label(1, letter);
    label += PadLeft(std::to_string(hundreds), 3, '0');
    return label;
}

}  // namespace

std::optional<std::string> AltitudeLabel(std::string_view altitudeFeet, std::string_view qnh,
                                         bool onGround, std::string_view transition) {
    if (onGround) return std::string("G---");
    if (altitudeFeet.empty() || qnh.empty() || transition.empty()) return std::nullopt;
    // Altitudes beyond any aircraft's are held to a range where the arithmetic is exact.
    const double feet = std::clamp(RealOf(altitudeFeet), -1e7, 1e7);
    long b = std::lround(std::nearbyint(feet + 50));  // ties to even
    if (RealOf(transition) < static_cast<double>(b)) return b <= 100 ? "F000" : Label('F', b / 100);
    const double pressure = std::clamp(RealOf(qnh), 0.0, 2000.0);
    b += std::lround((pressure - 1013.0) * 28.0);
    if (b < 100) return std::string("G000");
    return Label('A', b / 100);
}

std::string Track3(std::string_view track) {
    if (track.empty()) return {};
    return PadLeft(track.substr(0, track.find('.')).substr(0, 3), 3, '0');
}

std::string VerticalRateCode(std::string_view rate) {
    if (rate.empty() || rate == "0") return {};
    const double n = std::nearbyint(RealOf(rate) / 100.0);  // ties to even
    if (!std::isfinite(n) || std::fabs(n) > 1e9) return {};
    const long v = std::lround(n);
    if (v == 99 || v == -99) return v > 0 ? "+00" : "-00";
    if (v > -2 && v < 2) return {};
    std::string code = v > 0 ? "+" : "";
    code += std::to_string(v);
    return PadLeft(code, 3).substr(0, 3);
}

}  // namespace aerova
