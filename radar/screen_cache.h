#pragma once
// What a radar window remembers of each target between frames, indexed by flight slot:
// whether the last frame put it on the screen and at which pixel, the parsed position, the
// label position and the distance and bearing from the window's ring centre. The cycle's
// colour and user-colour mark are kept in the flight table's WindowTargetMarks.

#include <array>

#include "base/text.h"
#include "core/flight.h"

namespace aerova {

// Label-position modes.
constexpr int kLabelManual = -1;
constexpr int kLabelDefault = 0;
constexpr int kLabelFromTrack = 1;

inline constexpr const char* kUnknownBearing = "???";
inline constexpr const char* kUnknownDistance = "????.?";

struct TargetScreenEntry {
    bool onscreen = false;  // drawn inside the panel by the last frame
    int x = 0, y = 0;       // pixels, origin lower left
    float lat = 0, lon = 0;
    int labelPosition = 0;  // 0 to 7
    int labelMode = kLabelDefault;
    Text<6> distanceText = kUnknownDistance;  // NM from the ring centre
    Text<3> bearingText = kUnknownBearing;    // degrees from the ring centre
};

using ScreenCache = std::array<TargetScreenEntry, kMaxFlights>;

// Every target's distance and bearing back to "????.?" and "???" (the ring centre moved).
void ResetBearings(ScreenCache& cache);

// Label position for a track in degrees (automatic mode): 0 for up to 44 degrees,
// then 1 to 7 round the compass.
int LabelPositionFromTrack(double trackDeg);

// Bearing text: whole degrees with leading zeros; "000" for a course that is not a
// number or rounds above 359.
Text<3> BearingText(double courseDeg);
// Distance text: "%5.1f" NM, trimmed, at most 6 characters.
Text<6> DistanceText(double distanceNm);

// Distance and bearing of one flight from a ring centre into the cache slot. A flight at
// latitude or longitude exactly 0 keeps its texts, as does a failed computation or a
// slot outside 0 to 1999.
void FromRadar(ScreenCache& cache, int slot, double ringLat, double ringLon, double flightLat,
               double flightLon);

}  // namespace aerova
