#pragma once
// Altitude and identity codes of Mode-S replies and airborne position squitters
// (ICAO Annex 10, Vol. IV, 3.1.2.6.5.4 and 3.1.2.6.7.1).

#include <cstdint>
#include <string_view>

#include "core/sbs_flight.h"

namespace aerova {

// A short decimal text held by value, so the hot decoding path never allocates. (24 bytes:
// returned through memory rather than packed into registers.)
struct CodeText {
    char chars[23];
    std::uint8_t len = 0;
    std::string_view view() const { return std::string_view(chars, len); }
    bool empty() const { return len == 0; }
};

CodeText IntText(int value);

// The 8-bit Gray code decoded from its most significant bit down.
int GrayToBinary(int gray);

// Mode C (Gillham) altitude in feet from the A, B, C and D pulse groups (each with its
// "1" pulse least significant as the groups are read: A = A1 A2 A4 with A1 the most
// significant bit); -9999 for an impossible 100-ft code C.
int GillhamFeet(int a, int b, int c, int d);

// The 13-bit AC field (width 13) or the 12-bit altitude of an airborne position (width 12)
// as text. Sets the target's altunit and altres as a side effect when the field carries an
// altitude in feet; a zero field or a metric (M bit) field gives an empty text.
CodeText AltitudeText(TSBSFlight& target, int field, int width);

// The 13-bit identity field as four octal digits.
CodeText SquawkText(int field);

}  // namespace aerova
