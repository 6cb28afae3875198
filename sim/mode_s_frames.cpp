#include "sim/mode_s_frames.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "receiver/cpr.h"

namespace aerova::sim {

namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t crc = n << 16;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x800000) ? ((crc << 1) ^ 0xFFF409) : (crc << 1);
            t[n] = crc & 0xFFFFFF;
        }
        return t;
    }();
    return table;
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// A field of `width` bits whose first (most significant) bit is MB/ME bit `first` (1-based).
void Put(Me& me, int first, int width, std::uint32_t value) {
    for (int k = 0; k < width; ++k) {
        int bit = first + k;  // 1 .. 56
        if ((value >> (width - 1 - k)) & 1)
            me[(bit - 1) / 8] |= static_cast<std::uint8_t>(0x80 >> ((bit - 1) % 8));
    }
}

int SixBitChar(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    if (c >= '0' && c <= '9') return c - '0' + 48;
    return 32;
}

void PutCallsign(Me& me, int first, std::string_view callsign) {
    for (int k = 0; k < 8; ++k)
        Put(me, first + 6 * k, 6,
            SixBitChar(k < static_cast<int>(callsign.size()) ? callsign[k] : ' '));
}

// Angles of 360 degrees in 2^bits steps (sign bit included), as two's complement.
std::uint32_t AngleCode(double degrees, int bits) {
    double turn = std::fmod(std::fmod(degrees, 360.0) + 360.0, 360.0);
    return static_cast<std::uint32_t>(Round(turn / 360.0 * (1 << bits))) & ((1u << bits) - 1);
}

std::uint32_t SignedCode(double value, double lsb, int bits) {
    int raw = Round(value / lsb);
    int limit = (1 << (bits - 1)) - 1;
    raw = std::clamp(raw, -limit, limit);
    return static_cast<std::uint32_t>(raw) & ((1u << bits) - 1);
}

std::uint32_t Unsigned(double value, double lsb, int bits) {
    int raw = Round(value / lsb);
    return static_cast<std::uint32_t>(std::clamp(raw, 0, (1 << bits) - 1));
}

// Vertical rate: sign bit and 9 bits of (|rate| / 64 + 1).
void PutVerticalRate(Me& me, int signBit, double feetPerMinute) {
    Put(me, signBit, 1, feetPerMinute < 0 ? 1 : 0);
    Put(me, signBit + 1, 9,
        static_cast<std::uint32_t>(std::min(Round(std::fabs(feetPerMinute) / 64.0) + 1, 511)));
}

Frame WithParity(Frame f) {
    std::uint32_t crc = ModeSCrc(f.data(), f.size());
    f.push_back(static_cast<std::uint8_t>(crc >> 16));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
    f.push_back(static_cast<std::uint8_t>(crc));
    return f;
}

// Address/parity: the parity of the frame XOR the aircraft address.
Frame WithAddressParity(Frame f, std::uint32_t icao) {
    std::uint32_t ap = ModeSCrc(f.data(), f.size()) ^ (icao & 0xFFFFFF);
    f.push_back(static_cast<std::uint8_t>(ap >> 16));
    f.push_back(static_cast<std::uint8_t>(ap >> 8));
    f.push_back(static_cast<std::uint8_t>(ap));
    return f;
}

}  // namespace

std::uint32_t ModeSCrc(const std::uint8_t* bytes, std::size_t count) {
    const auto& table = CrcTable();
    std::uint32_t crc = 0;
    for (std::size_t k = 0; k < count; ++k)
        crc = ((crc << 8) ^ table[((crc >> 16) ^ bytes[k]) & 0xFF]) & 0xFFFFFF;
    return crc;
}

std::string FrameText(const Frame& frame) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(frame.size() * 2 + 2);
    s += '*';
    for (std::uint8_t b : frame) {
        s += kHex[b >> 4];
        s += kHex[b & 0x0F];
    }
    s += ';';
    return s;
}

CprValues EncodeCpr(double lat, double lon, int f, bool surface) {
    const double zone = surface ? 90.0 : 360.0;
    auto mod = [](double x, double z) { return x - z * std::floor(x / z); };
    double dlat = zone / (60 - f);
    double yz = std::floor(131072.0 * mod(lat, dlat) / dlat + 0.5);
    double rlat = dlat * (yz / 131072.0 + std::floor(lat / dlat));
    int zones = NL(rlat) - f;
    double dlon = zone / std::max(zones, 1);
    double xz = std::floor(131072.0 * mod(lon, dlon) / dlon + 0.5);
    return {static_cast<int>(yz) & 0x1FFFF, static_cast<int>(xz) & 0x1FFFF};
}

int AcAltitudeField(int feet) {
    int n = std::clamp((feet + 1000 + 12) / 25, 1, 2047);
    return (n & 0x0F) | ((n & 0x10) << 1) | ((n & 0x7E0) << 2) | 0x10;
}

int PositionAltitudeField(int feet) {
    int n = std::clamp((feet + 1000 + 12) / 25, 1, 2047);
    return ((n & 0x7F0) << 1) | 0x10 | (n & 0x0F);
}

int IdentityField(int squawk) {
    int a = (squawk / 1000) % 10, b = (squawk / 100) % 10, c = (squawk / 10) % 10, d = squawk % 10;
    auto bit = [](int v, int w) { return (v & w) ? 1 : 0; };
    // C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4
    return bit(c, 1) << 12 | bit(a, 1) << 11 | bit(c, 2) << 10 | bit(a, 2) << 9 | bit(c, 4) << 8 |
           bit(a, 4) << 7 | bit(b, 1) << 5 | bit(d, 1) << 4 | bit(b, 2) << 3 | bit(d, 2) << 2 |
           bit(b, 4) << 1 | bit(d, 4);
}

int MovementCode(double knots) {
    if (knots < 0.125) return 1;
    if (knots < 1) return 2 + std::min(6, static_cast<int>(knots / 0.125));
    if (knots < 2) return 9 + std::min(3, static_cast<int>((knots - 1) / 0.25));
    if (knots < 15) return 13 + std::min(25, static_cast<int>((knots - 2) / 0.5));
    if (knots < 70) return 39 + static_cast<int>(knots - 15);
    if (knots < 100) return 94 + static_cast<int>((knots - 70) / 2);
    if (knots < 175) return 109 + static_cast<int>((knots - 100) / 5);
    return 124;
}

Me IdentificationMe(int tc, int category, std::string_view callsign) {
    Me me{};
    Put(me, 1, 5, tc);
    Put(me, 6, 3, category);
    PutCallsign(me, 9, callsign);
    return me;
}

Me AirbornePositionMe(int tc, int feet, int f, CprValues cpr) {
    // ME bits 1-5 TC, 6-7 surveillance status, 8 NIC supplement, 9-20 altitude, 21 T,
    // 22 F, 23-39 latitude, 40-56 longitude.
    Me me{};
    Put(me, 1, 5, tc);
    Put(me, 9, 12, PositionAltitudeField(feet));
    Put(me, 22, 1, f);
    Put(me, 23, 17, cpr.yz);
    Put(me, 40, 17, cpr.xz);
    return me;
}

Me SurfacePositionMe(int tc, double knots, double track, int f, CprValues cpr) {
    // ME bits 6-12 movement, 13 track status, 14-20 track (360/128 degrees), 21 T, 22 F.
    Me me{};
    Put(me, 1, 5, tc);
    Put(me, 6, 7, MovementCode(knots));
    Put(me, 13, 1, 1);
    Put(me, 14, 7, AngleCode(track, 7));
    Put(me, 22, 1, f);
    Put(me, 23, 17, cpr.yz);
    Put(me, 40, 17, cpr.xz);
    return me;
}

Me GroundVelocityMe(double knots, double track, double feetPerMinute) {
    // ME bits 6-8 subtype, 14 east-west direction, 15-24 east-west speed + 1, 25 north-south
    // direction, 26-35 north-south speed + 1, 36 source, 37 sign, 38-46 vertical rate.
    Me me{};
    double rad = track * std::numbers::pi / 180.0;
    double ew = knots * std::sin(rad), ns = knots * std::cos(rad);
    Put(me, 1, 5, 19);
    Put(me, 6, 3, 1);
    Put(me, 14, 1, ew < 0 ? 1 : 0);
    Put(me, 15, 10, static_cast<std::uint32_t>(std::min(Round(std::fabs(ew)) + 1, 1023)));
    Put(me, 25, 1, ns < 0 ? 1 : 0);
    Put(me, 26, 10, static_cast<std::uint32_t>(std::min(Round(std::fabs(ns)) + 1, 1023)));
    PutVerticalRate(me, 37, feetPerMinute);
    return me;
}

Me AirspeedVelocityMe(double heading, double trueAirspeed, double feetPerMinute) {
    // ME bits 14 heading status, 15-24 heading (360/1024 degrees), 25 airspeed type (1 = TAS),
    // 26-35 airspeed + 1.
    Me me{};
    Put(me, 1, 5, 19);
    Put(me, 6, 3, 3);
    Put(me, 14, 1, 1);
    Put(me, 15, 10, AngleCode(heading, 10));
    Put(me, 25, 1, 1);
    Put(me, 26, 10, static_cast<std::uint32_t>(std::min(Round(trueAirspeed) + 1, 1023)));
    Put(me, 36, 1, 1);
    PutVerticalRate(me, 37, feetPerMinute);
    return me;
}

Me Register20(std::string_view callsign) {
    Me mb{};
    Put(mb, 1, 8, 0x20);
    PutCallsign(mb, 9, callsign);
    return mb;
}

Me Register40(int selectedFeet, double hectopascal) {
    // MB bit 1 status, 2-13 MCP/FCU selected altitude (16 ft), 27 status, 28-39 barometric
    // setting (0.1 hPa above 800), 48 status of the mode bits, 49-51 modes (none active).
    Me mb{};
    Put(mb, 1, 1, 1);
    Put(mb, 2, 12, Unsigned(selectedFeet, 16, 12));
    Put(mb, 27, 1, 1);
    Put(mb, 28, 12, Unsigned(hectopascal - 800, 0.1, 12));
    Put(mb, 48, 1, 1);
    return mb;
}

Me Register50(double roll, double track, double groundSpeed, double trackRate,
              double trueAirspeed) {
    // MB bit 1 status, 2-11 roll (sign + 9 bits, 45/256 degree), 12 status, 13-23 true
    // track (sign + 10 bits, 90/512 degree), 24 status, 25-34 ground speed (2 kt), 35 status,
    // 36-45 track angle rate (sign + 9 bits, 8/256 degree/s), 46 status, 47-56 TAS (2 kt).
    Me mb{};
    Put(mb, 1, 1, 1);
    Put(mb, 2, 10, SignedCode(roll, 45.0 / 256, 10));
    Put(mb, 12, 1, 1);
    Put(mb, 13, 11, AngleCode(track, 11));
    Put(mb, 24, 1, 1);
    Put(mb, 25, 10, Unsigned(groundSpeed, 2, 10));
    Put(mb, 35, 1, 1);
    Put(mb, 36, 10, SignedCode(trackRate, 8.0 / 256, 10));
    Put(mb, 46, 1, 1);
    Put(mb, 47, 10, Unsigned(trueAirspeed, 2, 10));
    return mb;
}

Me Register60(double heading, double indicatedAirspeed, double mach, double feetPerMinute) {
    // MB bit 1 status, 2-12 magnetic heading (sign + 10 bits, 90/512 degree), 13 status,
    // 14-23 IAS (1 kt), 24 status, 25-34 Mach (0.004), 35 status, 36-45 barometric altitude
    // rate (sign + 9 bits, 32 ft/min), 46 status, 47-56 inertial vertical velocity.
    Me mb{};
    Put(mb, 1, 1, 1);
    // With its last bit (MB bit 12) set, a heading would also pass the 5,0 status-bit test
    // (bits 12, 24, 35 and 46); an even code, 0.18 degree off at most, cannot be mistaken.
    Put(mb, 2, 11, AngleCode(heading, 11) & ~1u);
    Put(mb, 13, 1, 1);
    Put(mb, 14, 10, Unsigned(indicatedAirspeed, 1, 10));
    Put(mb, 24, 1, 1);
    Put(mb, 25, 10, Unsigned(mach, 0.004, 10));
    Put(mb, 35, 1, 1);
    Put(mb, 36, 10, SignedCode(feetPerMinute, 32, 10));
    Put(mb, 46, 1, 1);
    Put(mb, 47, 10, SignedCode(feetPerMinute, 32, 10));
    return mb;
}

Frame ExtendedSquitter(std::uint32_t icao, int ca, const Me& me) {
    Frame f = {static_cast<std::uint8_t>(17 << 3 | (ca & 7)), static_cast<std::uint8_t>(icao >> 16),
               static_cast<std::uint8_t>(icao >> 8), static_cast<std::uint8_t>(icao)};
    f.insert(f.end(), me.begin(), me.end());
    return WithParity(std::move(f));
}

Frame AllCallReply(std::uint32_t icao, int ca) {
    return WithParity({static_cast<std::uint8_t>(11 << 3 | (ca & 7)),
                       static_cast<std::uint8_t>(icao >> 16), static_cast<std::uint8_t>(icao >> 8),
                       static_cast<std::uint8_t>(icao)});
}

Frame SurveillanceReply(int df, int fs, std::uint32_t icao, int field) {
    // Bits 6-8 FS, 9-13 DR, 14-19 UM (both 0 here), 20-32 AC or ID.
    return WithAddressParity(
        {static_cast<std::uint8_t>(df << 3 | (fs & 7)), 0,
         static_cast<std::uint8_t>((field >> 8) & 0x1F), static_cast<std::uint8_t>(field)},
        icao);
}

Frame CommBReply(int df, int fs, std::uint32_t icao, int field, const Me& mb) {
    Frame f = {static_cast<std::uint8_t>(df << 3 | (fs & 7)), 0,
               static_cast<std::uint8_t>((field >> 8) & 0x1F), static_cast<std::uint8_t>(field)};
    f.insert(f.end(), mb.begin(), mb.end());
    return WithAddressParity(std::move(f), icao);
}

}  // namespace aerova::sim
