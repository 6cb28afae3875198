#pragma once
// Building correct Mode-S and ADS-B frames for simulated traffic: extended squitters
// (identification, airborne and surface positions, velocity), all-call replies,
// surveillance replies and Comm-B replies with registers 2,0, 4,0, 5,0 and 6,0. Fields are
// named and numbered as in ICAO Annex 10, Vol. IV, and ICAO Doc 9871.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace aerova::sim {

using Me = std::array<std::uint8_t, 7>;  // ME or MB field, bits 1-56
using Frame = std::vector<std::uint8_t>;

// 24-bit Mode-S parity over `count` bytes (generator polynomial 0x1FFF409).
std::uint32_t ModeSCrc(const std::uint8_t* bytes, std::size_t count);

// "*" + upper-case hexadecimal digits + ";".
std::string FrameText(const Frame& frame);

struct CprValues {
    int yz;
    int xz;
};
// CPR encoding of a position in format f (0 even, 1 odd); surface positions use 90-degree
// zones.
CprValues EncodeCpr(double lat, double lon, int f, bool surface);

// The 13-bit AC field with Q = 1 (25-ft steps) and the 12-bit airborne-position altitude.
int AcAltitudeField(int feet);
int PositionAltitudeField(int feet);
// The 13-bit identity field of a four-digit octal squawk such as 7700.
int IdentityField(int squawk);
// The surface movement code for a ground speed in knots.
int MovementCode(double knots);

Me IdentificationMe(int tc, int category, std::string_view callsign);
Me AirbornePositionMe(int tc, int feet, int f, CprValues cpr);
Me SurfacePositionMe(int tc, double knots, double track, int f, CprValues cpr);
// Subtype 1: ground speed over ground track; vertical rate in feet per minute.
Me GroundVelocityMe(double knots, double track, double feetPerMinute);
// Subtype 3: magnetic heading and true airspeed.
Me AirspeedVelocityMe(double heading, double trueAirspeed, double feetPerMinute);

Me Register20(std::string_view callsign);
Me Register40(int selectedFeet, double hectopascal);
Me Register50(double roll, double track, double groundSpeed, double trackRate, double trueAirspeed);
Me Register60(double heading, double indicatedAirspeed, double mach, double feetPerMinute);

// DF 17 (capability `ca`) with the parity field appended.
Frame ExtendedSquitter(std::uint32_t icao, int ca, const Me& me);
// DF 11 all-call reply with interrogator code 0.
Frame AllCallReply(std::uint32_t icao, int ca);
// DF 4 (altitude) or DF 5 (identity), address in the parity field; `field` is the 13-bit AC
// or ID field.
Frame SurveillanceReply(int df, int fs, std::uint32_t icao, int field);
// DF 20 or DF 21 with Comm-B message `mb`.
Frame CommBReply(int df, int fs, std::uint32_t icao, int field, const Me& mb);

}  // namespace aerova::sim
