#pragma once
// The label layout shared by both radar windows: seven pages of four lines of four item
// slots, each naming an item kind, and the format choice of each formattable kind. It is
// kept in "aerova-labelman.ini" beside the program.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace aerova {

constexpr int kLabelPages = 7;
constexpr int kLabelLines = 4;
constexpr int kLabelSlots = 4;
constexpr const char* kLabelFileName = "aerova-labelman.ini";

// Pages chosen by the radar windows.
constexpr int kPageAirborne = 0;
constexpr int kPageFiltered = 1;
constexpr int kPageOnGround = 2;
constexpr int kPageExtended = 3;
constexpr int kPageVessel = 5;
constexpr int kPageVesselExtended = 6;

// Format choice indexes (section `demo`); 0 is the plain form everywhere.
struct LabelFormats {
    int flightid = 0;
    int squawk = 0;
    int altitude = 0;
    int vrate = 0;
    int heading = 0;
    int gndspeed = 0;
    int tas = 0;
    int ias = 0;
    int mach = 0;
    int qnh = 0;
    int reg = 0;
    int peer = 0;
    int ttrack = 0;
};

struct LabelLayout {
    // kinds[page][line][slot]; the default kind is 4 * line + slot.
    std::array<std::array<std::array<std::int32_t, kLabelSlots>, kLabelLines>, kLabelPages> kinds{};
    LabelFormats formats;
    // Editor window state kept in the same file.
    int windowTop = 120;
    int windowLeft = 200;
    int activeTab = 0;

    LabelLayout();  // the defaults of a missing file
};

// Reads the file; a missing or unreadable file, or missing keys, give the defaults.
LabelLayout LoadLabelLayout(const std::string& path);
LabelLayout ParseLabelLayout(std::string_view iniText);
// Writes the whole layout into the file (keeping other content); false on failure.
bool SaveLabelLayout(const LabelLayout& layout, const std::string& path);

}  // namespace aerova
