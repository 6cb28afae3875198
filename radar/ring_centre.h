#pragma once
// The ring centre of a radar window (its station position): eight selectors of the
// panel "Radar ring center" give hemisphere, whole degrees and two pairs of decimals of
// latitude and longitude; an exact position from the settings (dbllat, dbllong) takes
// precedence and strikes the selectors out.

#include <string>

#include "radar/screen_cache.h"

namespace aerova {

struct RadarView;

// Selector item indexes. Item texts: cblat0 "N","S"; cblat1 "00".."89"; cblat2, cblat3,
// cblong2, cblong3 "00".."99"; cblong0 "E","W"; cblong1 "000".."179".
struct RingCentreSelectors {
    int cblat0 = 0, cblat1 = 53, cblat2 = 53, cblat3 = 0;
    int cblong0 = 0, cblong1 = 10, cblong2 = 16, cblong3 = 0;
};

struct RingCentre {
    RingCentreSelectors selectors;
    // Exact position as text from the settings; "-9999" means none.
    std::string dbllat = "-9999";
    std::string dbllong = "-9999";
};

struct RingCentrePosition {
    float lat = 0, lon = 0;
};

struct RingCentreText {
    std::string lat, lon;
    bool exact = false;  // from dbllat/dbllong: the selectors are shown struck out
};

// Centre text: degrees "." decimals1 decimals2 with "-" for "S"/"W", e.g. "53.5300" and
// "010.1600"; or the exact position. Selector indexes out of range are clamped.
RingCentreText ComputeRingCentreText(const RingCentre& centre);

// Recomputes the window's centre texts from the selectors. The caller then resets the
// bearings (ResetBearings), republishes both windows' centres and redraws.
void ApplyRingCentre(RadarView& view, const RingCentre& centre);

// A selector changed: the centre texts are recomputed and every target's distance and
// bearing from this window read "????.?" and "???" until its next position. Returns the
// centre to republish; the caller redraws.
RingCentrePosition RecomputeRingCentre(RadarView& view, const RingCentre& centre,
                                       ScreenCache& cache);

// setradarrings: hemisphere, whole degrees and the first pair of decimals (truncated) of
// a position into the selectors (the second pair keeps its value), then ApplyRingCentre.
void SetRingCentre(RadarView& view, RingCentre& centre, double lat, double lon);

// The centre as floats, as published to the flight tracking core (unreadable reads 1).
RingCentrePosition PublishedRingCentre(const RadarView& view);

}  // namespace aerova
