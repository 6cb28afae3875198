#pragma once
// How a radar window draws one target: its class under the altitude filter, its colour in
// the first pass (with user items and vertical-rate colours) and the second pass (colour
// codes, state, emergencies), its symbol and its label set; the label box layout and the
// closest approach of a target pair. Plain rules, no drawing.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight.h"
#include "core/flight_table.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"

namespace aerova {

// "UNL" = 999, "GND" = 0, otherwise the flight level number (unreadable counts as 1).
int FilterLevel(std::string_view text);

enum TargetClass : int { kClassAir = 1, kClassFiltered = 2, kClassGround = 3 };
TargetClass ClassifyTarget(std::string_view altlabel, std::string_view upper,
                           std::string_view lower);

struct FirstPassStyle {
    Rgb colour;
    bool userColoured = false;
};
// `maxVrateNoColourChange`: the settings text `maxvratenocolorchange` ("400").
FirstPassStyle FirstPassColour(const Tflight& f, const ColourTable& colours,
                               const ColourMarks& marks, std::string_view maxVrateNoColourChange);

// A radar window draws the live targets that have a position and are not held for three
// minutes.
inline bool TargetDrawn(const Tflight& f) {
    return f.live() && !f.nopos && !f.hold3min;
}

// The main cycle's styling of one radar window: the first-pass colour and user-colour mark
// of every target the window draws, written into that window's marks of the table.
void StyleTargets(FlightTable& table, int window, const ColourTable& colours,
                  const ColourMarks& marks, std::string_view maxVrateNoColourChange);

// "E" in the squawk or one of the emergency codes 7700, 7600, 7500.
bool IsDistressSquawk(std::string_view squawk);

struct TargetRoles {
    bool highlighted = false, selected = false, followed = false;
    bool mobileClient = false;  // kept by a mobile client (`hold45min`)
};
Rgb SecondPassColour(const Tflight& f, TargetClass cls, const Rgb& cached, const TargetRoles& roles,
                     const ColourTable& colours, const ColourMarks& marks);

// `replaySpeed`: the replay speed text of the station the target came from ("0" live,
// empty when not from a station).
int TargetSymbol(const Tflight& f, TargetClass cls, bool manualLabelPosition,
                 std::string_view replaySpeed);

int LabelSetFor(const Tflight& f, TargetClass cls, const TargetRoles& roles,
                const RadarDisplayState& d);

struct LabelBox {
    int width = 0, height = 0, lineHeight = 0;
    int tx = 0, ty = 0;  // baseline of the first line relative to the target
    int lx = 0, ly = 0;  // end of the leader line
};
// `lines`: the label lines drawn (empty lines from the top removed); `largeFont`: `cbfont` "10".
LabelBox ComputeLabelBox(const std::array<std::string, 5>& lines, int position, bool largeFont);
int LongestLine(const std::array<std::string, 5>& lines);
// Whether a label at pixel (x, y) (origin lower left) falls under the clock box or, while a
// target is highlighted, the flight strip; never while the overlays are hidden.
bool LabelExcluded(int x, int y, int panelHeight, bool targetHighlighted, bool overlayHidden);

// The trail positions a frame draws, newest first: from `trailIndex` back over `points`
// positions, every `step`-th; past position 0 the walk continues at the ring's end.
std::vector<int> RecordedTrailWalk(int trailIndex, int points, int step, int ringSize);
// Step of that walk for a camera distance: (round(d - 6372) div 100) + 1.
int RecordedTrailStep(float cameraDistance);

// The closest approach of two targets moving straight on, one step per second up to 600 s.
struct ClosestApproach {
    bool converging = false;
    double currentDistance = 0;  // NM after the first step
    double minimumDistance = 999;
    int seconds = 0;
    float latA = 0, lonA = 0, latB = 0, lonB = 0;
};
ClosestApproach ComputeClosestApproach(const Tflight& a, const Tflight& b);

// Predicted level at closest approach: three digits and "+", "-" or "=", then `mcp`.
std::string PredictedLevel(const Tflight& f, int seconds);

}  // namespace aerova
