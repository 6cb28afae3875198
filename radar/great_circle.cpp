#include "radar/great_circle.h"

#include <algorithm>
#include <cmath>

namespace aerova {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

// mod(y, x) = y - x * floor(y / x): the result has the sign of x.
double FloorMod(double y, double x) {
    return y - x * std::floor(y / x);
}

// The cosines fed to acos are within -1..1 in exact arithmetic; rounding pushes them a
// little beyond for nearly equal points and for courses due north or south (the course
// cosine then misses 1 by up to about 1e-9 for short distances). Clamp finite values so
// those cases are computed; only NaN inputs fail.
double SafeAcos(double c) {
    if (std::isfinite(c)) c = std::clamp(c, -1.0, 1.0);
    return std::acos(c);
}

}  // namespace

GeoPosition DestinationPoint(double lat, double lon, double courseDeg, double distanceNm) {
    const double lat1 = lat * kRad;
    const double lon1 = -lon * kRad;  // west positive
    const double tc = courseDeg * kRad;
    const double d = distanceNm / 60.0 * kRad;
    const double lat2 =
        std::asin(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(tc));
    const double dlon = std::atan2(std::sin(tc) * std::sin(d) * std::cos(lat1),
                                   std::cos(d) - std::sin(lat1) * std::sin(lat2));
    const double lon2 = FloorMod(lon1 - dlon + kPi, 2 * kPi) - kPi;  // west positive
    return GeoPosition{lat2 / kRad, -lon2 / kRad};
}

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRad, p2 = lat2 * kRad;
    const double l1 = -lon1 * kRad, l2 = -lon2 * kRad;
    const double d =
        SafeAcos(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(l1 - l2));
    return std::isfinite(d) ? d : -1.0;
}

double InitialCourse(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRad, p2 = lat2 * kRad;
    const double l1 = -lon1 * kRad, l2 = -lon2 * kRad;
    if (std::cos(p1) < 1e-15) return p1 > 0 ? kPi : 2 * kPi;
    const double d = GreatCircleDistance(lat1, lon1, lat2, lon2);
    if (d < 0) return -1.0;
    const double c =
        SafeAcos((std::sin(p2) - std::sin(p1) * std::cos(d)) / (std::sin(d) * std::cos(p1)));
    if (!std::isfinite(c)) return -1.0;
    return std::sin(l2 - l1) < 0 ? c : 2 * kPi - c;
}

DistanceCourse DistanceAndCourse(double lat1, double lon1, double lat2, double lon2) {
    if (std::fabs(lat1 - lat2) < 1e-15 && std::fabs(lon1 - lon2) < 1e-15) return {0, 0};
    DistanceCourse result;
    const double d = GreatCircleDistance(lat1, lon1, lat2, lon2);
    result.distanceNm = d < 0 ? -1.0 : d / kRad * 60.0;
    const double c = InitialCourse(lat1, lon1, lat2, lon2);
    result.courseDeg = c < 0 ? -1.0 : c / kRad;
    return result;
}

}  // namespace aerova
