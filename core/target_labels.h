#pragma once
// Label texts of a target that the report encoder, report ingest and the station network
// all derive the same way: the altitude label and the vertical-rate code.

#include <optional>
#include <string>
#include <string_view>

namespace aerova {

// Label from an altitude in feet, the pressure setting (hPa), the ground flag and the
// transition altitude: "G---" on the ground; above the transition altitude "F" + flight
// level ("F000" up to 100 ft); below it the altitude corrected to the pressure setting
// (28 ft per hPa), "A" + hundreds of feet or "G000" under 100 ft. Nothing when the altitude,
// the pressure setting or the transition altitude is missing.
std::optional<std::string> AltitudeLabel(std::string_view altitudeFeet, std::string_view qnh,
                                         bool onGround, std::string_view transition);

// The track column: three digits with leading zeros from the whole-degree part of a track
// text ("5.7" -> "005"); empty for an empty text.
std::string Track3(std::string_view track);

// Hundreds of ft/min, signed, right-aligned in three characters ("+12", "-8" as " -8",
// "+00"/"-00" for |n| = 99); empty for no rate, "0" or |n| < 2.
std::string VerticalRateCode(std::string_view rate);

}  // namespace aerova
