#include "radar/colour_list.h"

namespace aerova {

namespace {

constexpr const char* kColors = "colors";
constexpr const char* kUserColors = "usercolors";
constexpr const char* kDrawing = "drawingsettings";

// Items 23 to 42 take their colours from `usercolors` color1 to color20: the same twenty
// colours the target colour codes "1" to "20" select (item 22 + code).
const std::array<ColourItemInfo, kColourItems> kItems = {{
    {"SCREEN", true, nullptr, nullptr, {0, 0, 0}},
    {"Radar background", false, "radarbackgroundcolour", kDrawing, {3, 0, 43}},
    {"Radar rings/radials", false, "rangerings", kColors, {146, 190, 12}},
    {"Global grid", false, "globalgrid", kColors, {64, 64, 64}},
    {"Separation/boxes", false, "radarrings", kColors, {0, 128, 64}},
    {"FLIGHTS", true, nullptr, nullptr, {0, 0, 0}},
    {"Active flight", false, "active", kColors, {32, 255, 32}},
    {"Inactive flight", false, "inactive", kColors, {128, 128, 128}},
    {"Filtered flight", false, "filtered", kColors, {6, 74, 17}},
    {"Highlighted flight", false, "highlighted", kColors, {166, 202, 240}},
    {"Selected flight", false, "selected", kColors, {0, 255, 255}},
    {"Squawk Ident", false, "ident", kColors, {255, 128, 0}},
    {"Distress", false, "distress", kColors, {255, 0, 0}},
    {"STCA", false, "stca", kColors, {255, 0, 255}},
    {"RADARS", true, nullptr, nullptr, {0, 0, 0}},
    {"Active radar", false, "peeractive", kColors, {128, 128, 255}},
    {"Inactive radar", false, "peerinactive", kColors, {255, 128, 255}},
    {"LISTS", true, nullptr, nullptr, {0, 0, 0}},
    {"Flight strip", false, "flightstrip", kColors, {255, 255, 255}},
    {"Flight info/Stacklist", false, "flightlist", kColors, {128, 255, 128}},
    {"Radars", false, "radarlist", kColors, {255, 255, 128}},
    {"Metar", false, "metar", kColors, {128, 255, 255}},
    {"MORE", true, nullptr, nullptr, {0, 0, 0}},
    {"No-pos-list bkgnd", false, "color1", kUserColors, {255, 255, 255}},
    {"No-pos-list font", false, "color2", kUserColors, {255, 255, 255}},
    {"Climbing flights", false, "color3", kUserColors, {255, 255, 255}},
    {"Descending flights", false, "color4", kUserColors, {255, 255, 255}},
    {"Recorded trails", false, "color5", kUserColors, {255, 255, 255}},
    {"Direction Finder", false, "color6", kUserColors, {255, 255, 255}},
    {"USER", true, "color7", kUserColors, {255, 255, 255}},
    {"User1", false, "color8", kUserColors, {255, 255, 255}},
    {"User2", false, "color9", kUserColors, {255, 255, 255}},
    {"User3", false, "color10", kUserColors, {255, 255, 255}},
    {"User4", false, "color11", kUserColors, {255, 255, 255}},
    {"User5", false, "color12", kUserColors, {255, 255, 255}},
    {"User6", false, "color13", kUserColors, {255, 255, 255}},
    {"User7", false, "color14", kUserColors, {255, 255, 255}},
    {"User8", false, "color15", kUserColors, {255, 255, 255}},
    {"User9", false, "color16", kUserColors, {255, 255, 255}},
    {"User10", false, "color17", kUserColors, {255, 255, 255}},
    {"User11", false, "color18", kUserColors, {255, 255, 255}},
    {"User12", false, "color19", kUserColors, {255, 255, 255}},
    {"User13", false, "color20", kUserColors, {255, 255, 255}},
    {"ON GROUND", true, nullptr, nullptr, {0, 0, 0}},
    {"Flights", false, "onground", kColors, {255, 255, 255}},
    {"Vehicles", false, "vehicle", kColors, {255, 255, 255}},
    {"AIS", true, nullptr, nullptr, {0, 0, 0}},
    {"AIS underway", false, "ais underway", kColors, {166, 202, 240}},
    {"AIS anchored", false, "ais anchored", kColors, {166, 202, 240}},
    {"AIS moored", false, "ais moored", kColors, {166, 202, 240}},
    {"AIS restricted", false, "ais restricted", kColors, {166, 202, 240}},
    {"AIS beacon", false, "ais beacon", kColors, {166, 202, 240}},
}};

}  // namespace

Rgb RgbFromBytes(int r, int g, int b) {
    return Rgb{static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
               static_cast<float>(b) / 255.0f};
}

Rgb RgbFromColourInt(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return RgbFromBytes(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                        static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t ColourIntFromRgb(const Rgb& c) {
    auto byte = [](float f) {
        const float clamped = f < 0 ? 0 : (f > 1 ? 1 : f);
        return static_cast<std::int32_t>(clamped * 255.0f + 0.5f);
    };
    return byte(c.r) + 256 * byte(c.g) + 65536 * byte(c.b);
}

const ColourItemInfo& ColourItemAt(int index) {
    return kItems[static_cast<std::size_t>(index < 0 || index >= kColourItems ? 0 : index)];
}

ColourTable::ColourTable() {
    for (int i = 0; i < kColourItems; ++i) {
        const auto& rgb = kItems[static_cast<std::size_t>(i)].rgb;
        colour[static_cast<std::size_t>(i)] = RgbFromBytes(rgb[0], rgb[1], rgb[2]);
    }
}

ColourMarks::ColourMarks() {
    checked.fill(true);
    for (int i = 0; i < kColourItems; ++i)
        caption[static_cast<std::size_t>(i)] = kItems[static_cast<std::size_t>(i)].caption;
}

}  // namespace aerova
