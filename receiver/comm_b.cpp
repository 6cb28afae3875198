// Short replies (DF 0, 4, 5, 11) and long Comm-B replies (DF 20, 21) with the registers
// 2,0, 4,0, 5,0 and 6,0 told apart by their status bits and reserved bits.
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "receiver/mode_s_decoder.h"

namespace aerova {

namespace {

int Rounded(double v) {
    return static_cast<int>(std::nearbyint(v));
}

template <std::size_t N>
void SetInt(ShortString<N>& field, int value) {
    field = IntText(value).view();
}

// Register 4,0 (selected vertical intention). MB bit 1 status and bits 2-13 MCP/FCU
// selected altitude (16 ft), bit 27 status and bits 28-39 barometric setting (0.1 hPa above
// 800), bits 40-47 and 52-53 reserved, bit 48 status of the mode bits 49-51.
// Returns false when the reply is not a 4,0 candidate at all.
bool Register40(TSBSFlight& target, const std::uint8_t* m) {
    if (!(m[3] & 0x20) || (m[4] & 0x01) || (m[5] & 0xFE) || (m[6] & 0x18)) return false;
    int s = Rounded((((m[0] & 0x7F) << 5) | (m[1] >> 3)) * 16 / 100.0);
    int p = Rounded((((m[3] & 0x1F) << 7) | (m[4] >> 1)) / 10.0 + 800);
    if (s <= 430 && p > 960 && p < 1070) {
        SetInt(target.selalt, s);
        SetInt(target.baro, p);
        target.block40 = 1;
        if (!(m[5] & 1))
            target.modes40 = '0';
        else
            target.modes40 = DigitOf(((m[6] & 0x80) ? 1 : 0) + ((m[6] & 0x40) ? 2 : 0) +
                                     ((m[6] & 0x20) ? 4 : 0));
    }
    return true;
}

// Register 5,0 (track and turn report). MB bit 1 status, bit 2 sign and bits 3-11 roll
// angle (45/256 degree), bit 12 status, bit 13 sign and bits 14-23 true track (90/512
// degree), bit 24 status and bits 25-34 ground speed (2 kt), bit 35 status, bit 36 sign and
// bits 37-45 track angle rate (8/256 degree/s), bit 46 status and bits 47-56 true airspeed
// (2 kt). Accepted only when it agrees with the aircraft's own squitters.
bool Register50(TSBSFlight& target, const std::uint8_t* m) {
    if (!(m[1] & 0x10) || !(m[2] & 0x01) || !(m[4] & 0x20) || !(m[5] & 0x04)) return false;
    // Roll and track rate are two's complement: the code is the 9-bit field in degrees (tenths
    // of a degree per second) with 180 (160) added when the sign bit is set. The display rule
    // of the label ("<" and 270 - n, 320 - m) turns that back into the left roll and rate:
    // a roll of -0.35 degrees has the field 510, code 270, and shows as level.
    const int rollField = ((m[0] & 0x3F) << 3) | (m[1] >> 5);
    const int rollCode = Rounded(rollField * 45 / 256.0) + ((m[0] & 0x40) ? 180 : 0);
    int groundSpeed = ((m[3] << 2) | (m[4] >> 6)) * 2;
    const int rateField = ((m[4] & 0x0F) << 5) | (m[5] >> 3);
    const int rateCode = Rounded(rateField * 8 / 256.0 * 10) + ((m[4] & 0x10) ? 160 : 0);
    int tas = (((m[5] & 3) << 8) | m[6]) * 2;
    double track = ((((m[1] & 7) << 7) | (m[2] >> 1)) * 90 / 512.0) + ((m[1] & 0x08) ? 180.0 : 0.0);

    int agreements = 0;
    if (!target.gspeed.empty()) {
        int own = 0;
        auto v = target.gspeed.view();
        if (std::from_chars(v.data(), v.data() + v.size(), own).ec == std::errc() &&
            std::abs(own - groundSpeed) < 4)
            ++agreements;
    }
    if (!target.track.empty()) {
        int own = 0;
        auto v = target.track.view();
        if (std::from_chars(v.data(), v.data() + v.size(), own).ec == std::errc() &&
            std::fabs(std::remainder(own - track, 360.0)) <= 4.0)
            ++agreements;
    }
    if (agreements < 1 || tas >= 555) return false;
    SetInt(target.roll, rollCode);
    SetInt(target.trackrate, rateCode);
    SetInt(target.tas, tas);
    target.block50 = 1;
    return true;
}

// Register 6,0 (heading and speed report). MB bit 1 status, bit 2 sign and bits 3-12
// magnetic heading (90/512 degree), bit 13 status and bits 14-23 indicated airspeed (1 kt),
// bit 24 status and bits 25-34 Mach (0.004).
void Register60(TSBSFlight& target, const std::uint8_t* m) {
    if (!(m[1] & 0x08) || !(m[2] & 0x01)) return;
    int heading =
        Rounded((((m[0] & 0x3F) << 4) | (m[1] >> 4)) * 90 / 512.0) + ((m[0] & 0x40) ? 180 : 0);
    int ias = ((m[1] & 7) << 7) | (m[2] >> 1);
    int mach = ((m[3] << 2) | (m[4] >> 6)) * 4;
    if (ias > 115 && ias < 380 && mach > 210 && mach < 880) {
        SetInt(target.heading, heading);
        SetInt(target.ias, ias);
        SetInt(target.mach, mach);
        target.block60 = 1;
    }
}

void CommB(TSBSFlight& target, const std::uint8_t* m) {
    if (m[0] == 0x20) {  // register 2,0: aircraft identification
        SetCallsign(target, m + 1);
        target.blockident = 1;
        return;
    }
    // Registers 4,0, 5,0 and 6,0 all start with a status bit that is set when they carry data.
    if (!(m[0] & 0x80)) return;
    if (Register40(target, m)) return;
    if (Register50(target, m)) return;
    Register60(target, m);
}

}  // namespace

void DecodeShortOrCommB(TSBSFlight& target, std::uint8_t firstbyte,
                        std::span<const std::uint8_t> data) {
    int df = firstbyte >> 3;
    int low = firstbyte & 7;
    if (df == 11) {
        // DF 11 all-call reply: bits 6-8 capability CA.
        target.df = 11;
        target.ca = DigitOf(low);
        if (low == 4) target.onground = '1';
        if (low == 5) target.onground = '0';
        target.blockalt = 1;
        return;
    }
    if (df != 0 && df != 4 && df != 5 && df != 20 && df != 21) return;
    if (data.size() < 3) return;
    target.df = static_cast<std::uint8_t>(df);
    if (df != 0) {
        // Bits 6-8 flight status FS, bits 9-13 downlink request DR, bits 14-19 utility message UM.
        target.fs = DigitOf(low);
        if (low == 1 || low == 3) target.onground = '1';
        if (low == 0 || low == 2) target.onground = '0';
        target.spi = (low == 4 || low == 5) ? '1' : '0';
        target.alert = (low == 2 || low == 3 || low == 4) ? '1' : '0';
        target.dr = DigitOf(data[0] >> 3);
        target.um = DigitOf(((data[0] & 7) << 3) | (data[1] >> 5));
    }
    // Bits 20-32: altitude code AC (DF 0, 4, 20) or identity ID (DF 5, 21).
    int field = ((data[1] & 0x1F) << 8) | data[2];
    if (df == 0 || df == 4 || df == 20)
        target.altitude = AltitudeText(target, field, 13).view();
    else
        target.squawk = SquawkText(field).view();
    target.blockalt = 1;
    // Bits 33-88 of DF 20 and 21: the Comm-B message MB.
    if ((df == 20 || df == 21) && data.size() >= 10) CommB(target, data.data() + 3);
}

}  // namespace aerova
