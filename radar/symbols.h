#pragma once
// The sixteen 8x8 target symbols, drawn centred on a position. Rows from top to bottom,
// most significant bit leftmost.

#include <array>
#include <cstdint>

namespace aerova {

constexpr int kSymbolCount = 16;
constexpr int kSymbolSize = 8;

using SymbolRows = std::array<std::uint8_t, kSymbolSize>;

enum SymbolNumber : int {
    kSymReplayPaused = 0,
    kSymTarget = 1,
    kSymFiltered = 2,
    kSymRecentTrail = 4,
    kSymManualLabel = 5,
    kSymWaypoint = 6,  // a small ring
    kSymReplaySpeed1 = 7,
    kSymReplayOther = 8,
    kSymTrailPoint = 9,
    kSymVessel = 11,
    kSymBeacon = 12,
    kSymVesselAnchored = 13,
    kSymVesselMoored = 14,
    kSymVesselSailing = 15,
};

// Rows of symbol `number` (0 to 15; any other number gives symbol 1).
const SymbolRows& SymbolBitmap(int number);

// Whether the pixel in column `x` (0 left) and row `y` (0 bottom, as OpenGL counts) of
// the symbol is set.
bool SymbolPixel(int number, int x, int y);

}  // namespace aerova
