#pragma once
// The screen overlays of a radar window as an ordered list of boxes, lines and texts in
// panel pixels (origin lower left): closest-approach markers, METAR line, clock, bearing
// readout, flight strip, closest-approach box, separation and filter boxes, WND, Max/Nrm
// and the information block. Plain data; the renderer draws the list as it stands.

#include <string>
#include <vector>

#include "base/day_time.h"
#include "core/flight.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/screen_cache.h"

namespace aerova {

struct OverlayCommand {
    enum Kind { kFilledBox, kOutlineBox, kLine, kText, kMarker } kind = kText;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // box corners or line ends; text/marker position
    Rgb colour;
    std::string text;      // 8-bit text
    std::string sizeName;  // "10", "12" or "18"
};

// The closest approach of the selected and the highlighted target, as the frame found it.
struct PairPrediction {
    bool converging = false;
    bool conflict = false;               // predicted levels less than 8 apart
    int ax = 0, ay = 0, bx = 0, by = 0;  // projected closest-approach points
    bool aVisible = false, bVisible = false;
    double minimumDistance = 0, currentDistance = 0;
    int seconds = 0;
    std::string labelA, labelB, levelA, levelB;
    DayTime closestApproachUtc = 0;
};

struct OverlayInputs {
    int width = 0, height = 0;
    int window = 1;
    const RadarDisplayState* display = nullptr;
    const ColourTable* colours = nullptr;
    float centreLat = 0, centreLon = 0;
    std::string altitudeText;  // "Alt: " ... " km"
    double cycleMs = 0;
    bool freeze = false;
    DayTime utcNow = 0, localNow = 0;
    std::vector<std::string> statusLines;  // shown while the status display is on
    bool solid = true;                     // screen/solid: boxes are filled
    // The flight strip's target (selected, else highlighted) and its screen cache entry.
    const Tflight* stripFlight = nullptr;
    const TargetScreenEntry* stripEntry = nullptr;
    // The bearing readout's target (selected, or highlighted while Ctrl is held).
    const TargetScreenEntry* bearingEntry = nullptr;
    PairPrediction pair;
};

std::vector<OverlayCommand> PlanOverlays(const OverlayInputs& in);

// "QDM: " and the magnetic bearing back to the ring centre, "°/" and the distance; empty
// when the bearing is not known.
std::string BearingReadoutText(std::string_view bearingText, std::string_view distanceText,
                               int variation);
std::string SeparationBoxText(int separation);
// "N53.60 E010.00"
std::string ViewCentreText(float lat, float lon);

}  // namespace aerova
