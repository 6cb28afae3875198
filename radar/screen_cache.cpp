#include "radar/screen_cache.h"

#include <cmath>
#include <cstdio>

#include "base/strings.h"
#include "radar/great_circle.h"

namespace aerova {

void ResetBearings(ScreenCache& cache) {
    for (auto& entry : cache) {
        entry.bearingText = kUnknownBearing;
        entry.distanceText = kUnknownDistance;
    }
}

int LabelPositionFromTrack(double trackDeg) {
    if (trackDeg <= 44) return 0;
    if (trackDeg <= 84) return 1;
    if (trackDeg <= 144) return 2;
    if (trackDeg <= 184) return 3;
    if (trackDeg <= 221) return 4;
    if (trackDeg <= 267) return 5;
    if (trackDeg <= 319) return 6;
    return 7;
}

Text<3> BearingText(double courseDeg) {
    long degrees = 0;
    if (std::isfinite(courseDeg) && courseDeg >= 0 && courseDeg < 1e6)
        degrees = std::lround(courseDeg);
    if (degrees > 359 || degrees < 0) degrees = 0;
    char buf[24];
    std::snprintf(buf, sizeof buf, "%03ld", degrees);
    return Text<3>(buf);
}

Text<6> DistanceText(double distanceNm) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%5.1f", distanceNm);
    return Text<6>(Trim(ReplaceAll(buf, ",", ".")));
}

void FromRadar(ScreenCache& cache, int slot, double ringLat, double ringLon, double flightLat,
               double flightLon) {
    if (slot < 0 || slot >= kMaxFlights) return;
    if (flightLat == 0.0 || flightLon == 0.0) return;
    const DistanceCourse dc = DistanceAndCourse(ringLat, ringLon, flightLat, flightLon);
    if (dc.distanceNm < 0 || dc.courseDeg < 0) return;
    cache[slot].distanceText = DistanceText(dc.distanceNm);
    cache[slot].bearingText = BearingText(dc.courseDeg);
}

}  // namespace aerova
