#include "distribution/network_text.h"

#include <cmath>
#include <cstdlib>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {
std::string ThreeDigits(long value) { return PadLeft(std::to_string(value), 3, '0'); }
}  // namespace

std::optional<std::string> AltitudeLabel(std::string_view altft, std::string_view qnh,
                                         std::string_view ground, std::string_view transition) {
    if (ground != "0") return std::string("G---");
    if (altft.empty() || qnh.empty() || transition.empty()) return std::nullopt;
    long b = std::lround(RealOf(altft) + 50.0);
    const double trans = RealOf(transition);
    if (trans < static_cast<double>(b)) {
        return b <= 100 ? std::string("F000") : "F" + ThreeDigits(b / 100);
    }
    b += std::lround((RealOf(qnh) - 1013.0) * 28.0);
    if (b < 100) return std::string("G000");
    return "A" + ThreeDigits(b / 100);
}

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

std::string RateCode(std::string_view rate) {
    if (rate.empty() || rate == "0") return "";
    const double v = RealOf(rate);
    const long n = std::lrint(v / 100.0);  // ties to even under the default rounding mode
    std::string code;
    if (std::labs(n) == 99) {
        code = n > 0 ? "+00" : "-00";
    } else if (std::labs(n) < 2) {
        return "";
    } else {
        code = (n > 0 ? "+" : "") + std::to_string(n);
    }
    return code.size() >= 3 ? code.substr(0, 3) : PadLeft(code, 3);
}

}  // namespace aerova
