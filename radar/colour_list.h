#pragma once
// The radar windows' colour list `cbcolors`: 52 items, section headers among them. Colours
// are global (both windows draw with the same ones); the check marks are per window. The
// captions of the user items 30 to 42 are match texts and are also per window.

#include <array>
#include <cstdint>
#include <string>

namespace aerova {

constexpr int kColourItems = 52;

// Item numbers the renderer and the overlays name.
enum ColourItem : int {
    kColScreenHeader = 0,
    kColRadarBackground = 1,
    kColRadarRings = 2,
    kColGlobalGrid = 3,
    kColSeparationBoxes = 4,
    kColActiveFlight = 6,
    kColInactiveFlight = 7,
    kColFilteredFlight = 8,
    kColHighlightedFlight = 9,
    kColSelectedFlight = 10,
    kColSquawkIdent = 11,
    kColDistress = 12,
    kColStca = 13,
    kColActiveRadar = 15,
    kColInactiveRadar = 16,
    kColFlightStrip = 18,
    kColFlightInfo = 19,
    kColRadars = 20,
    kColMetar = 21,
    kColColourCodes = 22,
    kColNoPosBackground = 23,
    kColNoPosFont = 24,
    kColClimbing = 25,
    kColDescending = 26,
    kColRecordedTrails = 27,
    kColDirectionFinder = 28,
    kColUserFirst = 30,
    kColUserLast = 42,
    kColGroundFlights = 44,
    kColVehicles = 45,
    kColAisUnderway = 47,
    kColAisAnchored = 48,
    kColAisMoored = 49,
    kColAisRestricted = 50,
    kColAisBeacon = 51,
};

struct Rgb {
    float r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// red + 256 green + 65536 blue, as the settings files store colours.
Rgb RgbFromColourInt(std::int32_t value);
std::int32_t ColourIntFromRgb(const Rgb& c);
Rgb RgbFromBytes(int r, int g, int b);

struct ColourItemInfo {
    const char* caption;  // default caption
    bool header;          // section title without a colour
    const char* key;      // key of the colour in the settings, nullptr when it has none
    const char* section;  // "colors", "usercolors" or "drawingsettings"
    std::array<int, 3> rgb;
};

// The fixed description of item `index` (0 to 51).
const ColourItemInfo& ColourItemAt(int index);

// The global colours of the list.
struct ColourTable {
    std::array<Rgb, kColourItems> colour{};
    ColourTable();  // the defaults
    const Rgb& operator[](int item) const { return colour[static_cast<std::size_t>(item)]; }
    Rgb& operator[](int item) { return colour[static_cast<std::size_t>(item)]; }
};

// One window's check marks and user captions.
struct ColourMarks {
    std::array<bool, kColourItems> checked{};
    std::array<std::string, kColourItems> caption{};
    ColourMarks();  // every item checked, the default captions
    bool operator[](int item) const {
        return item >= 0 && item < kColourItems && checked[static_cast<std::size_t>(item)];
    }
};

}  // namespace aerova
