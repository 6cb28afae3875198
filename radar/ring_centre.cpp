#include "radar/ring_centre.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "base/numbers.h"
#include "radar/radar_view.h"

namespace aerova {
namespace {

std::string Digits(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

// Whole degrees and the first pair of decimals of |value|, truncated.
void SplitDegrees(double value, int maxDegrees, int& degrees, int& hundredths) {
    double a = std::fabs(value);
    if (!std::isfinite(a)) a = 0;
    // A hair of tolerance so that 53.53 stored as 53.529999... still reads "53".
    const long scaled = static_cast<long>(std::floor(a * 100.0 + 1e-7));
    degrees = static_cast<int>(scaled / 100);
    hundredths = static_cast<int>(scaled % 100);
    if (degrees > maxDegrees) {
        degrees = maxDegrees;
        hundredths = 99;
    }
}

std::optional<double> ExactCoordinate(const std::string& text) {
    const auto value = TryParseReal(text);
    if (!value || *value == -9999.0) return std::nullopt;
    return value;
}

}  // namespace

RingCentreText ComputeRingCentreText(const RingCentre& centre) {
    RingCentreText out;
    const auto lat = ExactCoordinate(centre.dbllat);
    const auto lon = ExactCoordinate(centre.dbllong);
    if (lat && lon) {
        out.lat = RealToText(*lat);
        out.lon = RealToText(*lon);
        out.exact = true;
        return out;
    }
    const RingCentreSelectors& s = centre.selectors;
    out.lat = std::string(std::clamp(s.cblat0, 0, 1) == 1 ? "-" : "") +
              Digits(std::clamp(s.cblat1, 0, 89), 2) + "." +
              Digits(std::clamp(s.cblat2, 0, 99), 2) + Digits(std::clamp(s.cblat3, 0, 99), 2);
    out.lon = std::string(std::clamp(s.cblong0, 0, 1) == 1 ? "-" : "") +
              Digits(std::clamp(s.cblong1, 0, 179), 3) + "." +
              Digits(std::clamp(s.cblong2, 0, 99), 2) + Digits(std::clamp(s.cblong3, 0, 99), 2);
    return out;
}

void ApplyRingCentre(RadarView& view, const RingCentre& centre) {
    RingCentreText text = ComputeRingCentreText(centre);
    view.ringCentreLatText = std::move(text.lat);
    view.ringCentreLonText = std::move(text.lon);
}

void SetRingCentre(RadarView& view, RingCentre& centre, double lat, double lon) {
    RingCentreSelectors& s = centre.selectors;
    s.cblat0 = lat < 0 ? 1 : 0;
    SplitDegrees(lat, 89, s.cblat1, s.cblat2);
    s.cblong0 = lon < 0 ? 1 : 0;
    SplitDegrees(lon, 179, s.cblong1, s.cblong2);
    ApplyRingCentre(view, centre);
}

RingCentrePosition RecomputeRingCentre(RadarView& view, const RingCentre& centre,
                                       ScreenCache& cache) {
    ApplyRingCentre(view, centre);
    ResetBearings(cache);
    return PublishedRingCentre(view);
}

RingCentrePosition PublishedRingCentre(const RadarView& view) {
    return RingCentrePosition{static_cast<float>(RealOf(view.ringCentreLatText)),
                              static_cast<float>(RealOf(view.ringCentreLonText))};
}

}  // namespace aerova
