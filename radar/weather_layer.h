#pragma once
// What a radar window draws of the weather: precipitation cells of the weather window's radar
// pictures and lightning strikes, under everything else of the frame. The owner of the
// weather pictures builds it whenever they or the weather window's options change; the
// renderer only reads it.

#include <array>
#include <cstdint>
#include <vector>

#include "radar/colour_list.h"

namespace aerova {

// One grid cell of a precipitation picture; degrees, south and west negative.
struct WeatherCell {
    float west = 0, east = 0, south = 0, north = 0;
    std::uint8_t intensityClass = 0;  // 0 severe .. 5 light
};

struct LightningStrike {
    double lat = 0, lon = 0;
    int age = 0;  // age index 0 (0-10 minutes) .. 5 (50-60 minutes); negative: not drawn
};

struct WeatherLayer {
    std::vector<WeatherCell> cells;
    std::vector<LightningStrike> strikes;  // newest first
    bool lightning = false;                // the weather window's "Lightning" box (cbblitz)
    // The weather colour table: entries 0-5 lightning ages, 6-11 intensity classes 0-5.
    std::array<Rgb, 12> colours{};
};

constexpr int kWeatherCellClasses = 6;
constexpr int kLightningAges = 6;
constexpr int kWeatherCellColourFirst = 6;  // the colour entry of intensity class 0

}  // namespace aerova
