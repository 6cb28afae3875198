#pragma once
// The label composer: up to five short lines for one target from the label layout.
// Two marks inside the lines tell the drawing which parts to colour: "%" (a level bust,
// drawn in the "STCA" colour) and "$" (a stale value, drawn in "Inactive flight"); a
// blank returns to the target colour. The marks are not drawn themselves.
//
// Texts are 8-bit (Latin-1): the degree sign is the single byte 0xB0, matching the
// 256-glyph label fonts.

#include <array>
#include <string>
#include <string_view>

#include "radar/label_layout.h"

namespace aerova {

struct Tflight;

constexpr int kLastLabelKind = 73;
constexpr int kFirstDatabaseKind = 25;  // kinds 25 to 73: database columns 0 to 48

using LabelLines = std::array<std::string, 5>;

// Everything the composer reads besides the target.
struct LabelContext {
    const LabelLayout* layout = nullptr;  // required
    bool markLabel = true;                // flightstats/marklabel: "°" before routed flights
    bool userColoured = false;            // enables kinds 17 and 19
    bool windOption = false;              // the window's label-option switch (key L)
    std::string_view bearingText;         // kind 22, from the window's screen cache
    std::string_view distanceText;
};

// Lines 1 to 5 of the target's label on `page` (0 to 6; another page gives five empty
// lines). Empty lines 1 to 3 are closed up; line 5 holds the wind when no other is free.
LabelLines ComposeLabel(int page, const Tflight& flight, const LabelContext& context);
// One line: the four slots' items, non-empty ones joined by single blanks.
std::string ComposeLabelLine(int page, int line, const Tflight& flight,
                             const LabelContext& context);
// One item with its format and marks; kinds outside 0 to 73 give an empty text.
std::string FormatLabelItem(int kind, const Tflight& flight, const LabelContext& context);

// The label editor's preview of `page`: a built-in sample aircraft (a sample vessel for
// pages 5 and 6), user-coloured, without the wind line, at bearing "121" and distance
// "65.5"; the first four lines with every "$" removed.
std::array<std::string, 4> LabelPreview(const LabelLayout& layout, int page, bool markLabel);
Tflight LabelSampleAircraft();
Tflight LabelSampleVessel();

// Captions of kinds 0 to 24 as the editor's choice boxes list them; "" for other kinds.
std::string_view LabelKindCaption(int kind);

// Vessel navigation status (the digit in `mcpmode`): 0 "UWAY" ... 8 "SAIL"; "" otherwise.
std::string_view NavigationStatusText(char status);
// AIS ship type code to its short text ("TANKER HAZ", "PASS", ...); "" when unknown.
std::string_view ShipTypeText(int shipType);

}  // namespace aerova
