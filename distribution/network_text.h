#pragma once
// Texts the station derives from a network flight report's fields: the four-character
// altitude label, the speed and track columns and the vertical-rate code.

#include <optional>
#include <string>
#include <string_view>

namespace aerova {

// Label from an altitude in feet, the pressure setting (hPa), the ground flag and the
// transition altitude: "G---" on the ground ("0" is the only airborne value); above the
// transition altitude "F" + flight level; below it the altitude corrected to the pressure
// setting, "A" + hundreds of feet or "G000" under 100 ft. Nothing (the label stays as it was)
// when altitude, pressure setting or transition altitude is missing.
std::optional<std::string> AltitudeLabel(std::string_view altft, std::string_view qnh,
                                         std::string_view ground, std::string_view transition);

// The part before the decimal point right-aligned in four characters; four blanks for an
// empty text, "0.0" or a text without a decimal point.
std::string SpeedText(std::string_view gs);

// The trimmed text's part before the decimal point, three digits with leading zeros; empty
// for an empty text or "0.0".
std::string TrackText(std::string_view track);

// Hundreds of ft/min, signed, right-aligned in three characters ("+12", "-8" as " -8",
// "+00"/"-00" for |n| = 99); empty for no rate, "0" or |n| < 2.
std::string RateCode(std::string_view rate);

}  // namespace aerova
