#include "receiver/mode_s_decoder.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace aerova {

namespace {

int Rounded(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// Difference of two longitudes, the short way round.
double LonDistance(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

template <std::size_t N>
void SetInt(ShortString<N>& field, int value) {
    field = IntText(value).view();
}

// A value whose raw field was 0 ("no information") comes out negative and empties the
// field; otherwise the sign bit gives a leading '-' or '+', and zero stays "0".
template <std::size_t N>
void SetSigned(ShortString<N>& field, int value, int signbit) {
    if (value < 0) {
        field.clear();
        return;
    }
    CodeText t = IntText(value);
    if (value == 0) {
        field = t.view();
        return;
    }
    char buf[16];
    buf[0] = signbit ? '-' : '+';
    for (int k = 0; k < t.len; ++k) buf[k + 1] = t.chars[k];
    field = std::string_view(buf, t.len + 1u);
}

// Shortest decimal text with at most 15 significant digits. A cut exponent text would name
// a wholly different position, so values near zero are written in fixed notation.
bool CoordinateText(double v, char* buf, std::size_t size, std::size_t& len) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e6) return false;
    if (v == 0.0) {
        buf[0] = '0';
        len = 1;
        return true;
    }
    std::to_chars_result r =
        std::fabs(v) < 1e-4 ? std::to_chars(buf, buf + size, v, std::chars_format::fixed, 18)
                            : std::to_chars(buf, buf + size, v, std::chars_format::general, 15);
    if (r.ec != std::errc()) return false;
    len = static_cast<std::size_t>(r.ptr - buf);
    if (std::fabs(v) < 1e-4)
        while (len > 1 && buf[len - 1] == '0') --len;
    return true;
}

}  // namespace

void SetCallsign(TSBSFlight& target, const std::uint8_t* b) {
    char cs[8];
    cs[0] = CharOf(b[0] >> 2);
    cs[1] = CharOf(((b[0] & 3) << 4) | (b[1] >> 4));
    cs[2] = CharOf(((b[1] & 0x0F) << 2) | (b[2] >> 6));
    cs[3] = CharOf(b[2] & 0x3F);
    cs[4] = CharOf(b[3] >> 2);
    cs[5] = CharOf(((b[3] & 3) << 4) | (b[4] >> 4));
    cs[6] = CharOf(((b[4] & 0x0F) << 2) | (b[5] >> 6));
    cs[7] = CharOf(b[5] & 0x3F);
    target.callsign = std::string_view(cs, 8);
}

char DigitOf(int v) {
    return static_cast<char>('0' + v);
}

char CharOf(int code) {
    code &= 0x3F;
    if (code == 0 || code == 32) return ' ';
    if ((code & 0x20) == 0) {
        char c = static_cast<char>(0x40 + (code & 0x1F));
        return c >= 'A' && c <= 'Z' ? c : ' ';
    }
    char c = static_cast<char>(0x30 + (code & 0x0F));
    return c >= '0' && c <= '9' ? c : ' ';
}

CodeText TrackText(int vns, int vew, int dns, int dew) {
    if (vns == -1 && vew == -1) return {};
    if (vns == 0) return IntText(dew == 0 ? 90 : 270);
    float a =
        std::atan(static_cast<float>(vew) / static_cast<float>(vns)) * (180.0f / 3.14159265358979f);
    if (dns == 1)
        a = dew == 0 ? 180.0f - a : a + 180.0f;
    else if (dew == 1)
        a = 360.0f - a;
    return IntText(Rounded(a));
}

void WriteLatLon(TSBSFlight& target, double lat, double lon) {
    // Local decoding near the antimeridian may step past +-180: keep the text in range.
    if (lon >= 180.0) lon -= 360.0;
    if (lon < -180.0) lon += 360.0;
    char la[48], lo[48];
    std::size_t nla = 0, nlo = 0;
    if (!CoordinateText(lat, la, sizeof la, nla) || !CoordinateText(lon, lo, sizeof lo, nlo))
        return;
    target.lat = std::string_view(la, nla);
    target.lon = std::string_view(lo, nlo);
}

void AirborneCpr(TSBSFlight& target, int yz, int xz, int f, const DecoderReference& ref) {
    f &= 1;
    switch (target.cprstate) {
        case 2:
            if (f == target.cprawait) {
                target.cprwaits = 0;
                // This frame is the newer half of the pair, so its own zone gives the result.
                auto p = f == 0 ? CprGlobal(ref, yz, target.cprlat, xz, target.cprlon, false)
                                : CprGlobal(ref, target.cprlat, yz, target.cprlon, xz, true);
                // Without a time limit between the halves, a stale stored half can pass the
                // agreement tests and give a position far away; outside global-only mode such
                // a fix would be dropped by state 3 at the next frame, so it is refused now.
                if (p && !ref.sbcpr &&
                    !(std::fabs(p->lat - ref.homelat) <= 4.5 &&
                      LonDistance(p->lon, ref.homelon) <= ref.tolwide))
                    p.reset();
                if (p) {
                    WriteLatLon(target, p->lat, p->lon);
                    target.reflat = p->lat;
                    target.reflon = p->lon;
                    target.cprstate = 3;
                } else {
                    target.cprstate = 1;
                }
            } else {
                target.cprwaits += 1;
                target.cprlat = yz;
                target.cprlon = xz;
            }
            return;
        case 3: {
            auto p = CprLocal(yz, xz, f, target.reflat, target.reflon);
            if (p && std::fabs(p->lat - ref.homelat) <= 4.5 &&
                LonDistance(p->lon, ref.homelon) <= ref.tolwide) {
                target.reflat = p->lat;
                target.reflon = p->lon;
                WriteLatLon(target, p->lat, p->lon);
            } else {
                target.cprstate = 1;
            }
            return;
        }
        default: {
            // State 1 (and any unknown state): a single frame decoded against the home
            // position is unambiguous only close to it.
            auto p = CprLocal(yz, xz, f, ref.homelat, ref.homelon);
            if (p && std::fabs(p->lat - ref.homelat) <= 2.0 &&
                LonDistance(p->lon, ref.homelon) <= ref.tolclose) {
                WriteLatLon(target, p->lat, p->lon);
            } else {
                target.lat.clear();
                target.lon.clear();
            }
            target.cprlat = yz;
            target.cprlon = xz;
            target.cprawait = static_cast<std::uint8_t>(f ^ 1);
            target.cprwaits = 0;
            target.cprstate = 2;
            return;
        }
    }
}

namespace {

// ME bits 6-8 surveillance status, bits 9-20 altitude, bit 21 T, bit 22 F, bits 23-39 YZ,
// bits 40-56 XZ.
void AirbornePosition(TSBSFlight& target, int tc, const std::uint8_t* me,
                      const DecoderReference& ref) {
    target.onground = '0';
    int ss = (me[0] >> 1) & 3;
    target.ss = DigitOf(ss);
    target.spi = ss == 3 ? '1' : '0';
    target.emergency = ss == 1 ? '1' : '0';
    target.alert = ss == 2 ? '1' : '0';
    target.nicsupp = DigitOf(me[0] & 1);
    int yz = ((me[2] & 3) << 15) | (me[3] << 7) | (me[4] >> 1);
    int xz = ((me[4] & 1) << 16) | (me[5] << 8) | me[6];
    int f = (me[2] >> 2) & 1;
    if (yz != 0 && xz != 0)
        target.altitude = AltitudeText(target, (me[1] << 4) | (me[2] >> 4), 12).view();
    if (!target.altitude.empty()) target.blockalt = 1;
    target.tbit = DigitOf((me[2] >> 3) & 1);
    if (tc == 0 || yz == 0 || xz == 0) return;
    if (ref.sbcpr) target.cprstate = 2;
    AirborneCpr(target, yz, xz, f, ref);
}

// ME bits 6-8 emitter category, bits 9-56 eight characters.
void Identification(TSBSFlight& target, int tc, const std::uint8_t* me) {
    int category = me[0] & 7;
    target.category = DigitOf(category);
    char mark = ' ';
    if (tc == 2) {
        mark = 'v';
    } else if (tc == 3) {
        mark = ',';
    } else if (tc == 4) {
        switch (category) {
            case 1:
                mark = '_';
                break;
            case 2:
            case 3:
                mark = '\'';
                break;
            case 4:
            case 5:
                mark = '"';
                break;
            case 6:
                mark = '*';
                break;
            case 7:
                mark = 'x';
                break;
            default:
                break;
        }
    }
    target.classmark = mark;
    SetCallsign(target, me + 1);
}

// Movement code (ME bits 6-12) in knots, as the lower end of its band; -1 for no information.
int SurfaceSpeed(int q) {
    if (q == 1) return 0;
    if (q >= 2 && q <= 8) return 1;
    if (q >= 9 && q <= 12) return 2;
    if (q >= 13 && q <= 38) return (q - 13) / 2 + 2;
    if (q >= 39 && q <= 93) return q - 24;
    if (q >= 94 && q <= 108) return (q - 94) * 2 + 70;
    if (q >= 109 && q <= 123) return (q - 109) * 5 + 100;
    if (q == 124) return 175;
    return -1;
}

// ME bits 6-12 movement, bit 13 track status, bits 14-20 track, then T, F, YZ, XZ as in
// the airborne position.
void SurfacePosition(TSBSFlight& target, const std::uint8_t* me, const DecoderReference& ref) {
    target.onground = '1';
    target.altitude = "0";
    target.blockalt = 1;
    target.vrate = "0";
    if (me[1] & 0x08)
        SetInt(target.track, ((((me[1] & 7) << 4) | (me[2] >> 4)) * 360) / 128);
    else
        target.track.clear();
    int speed = SurfaceSpeed(((me[0] & 7) << 4) | (me[1] >> 4));
    if (speed < 0)
        target.gspeed.clear();
    else
        SetInt(target.gspeed, speed);
    target.tbit = DigitOf((me[2] >> 3) & 1);
    int yz = ((me[2] & 3) << 15) | (me[3] << 7) | (me[4] >> 1);
    int xz = ((me[4] & 1) << 16) | (me[5] << 8) | me[6];
    int f = (me[2] >> 2) & 1;
    if (auto p = CprSurface(yz, xz, f, ref.homelat, ref.homelon))
        WriteLatLon(target, p->lat, p->lon);
}

// ME bits 6-8 subtype, bit 9 intent change, bit 10 IFR capability, bits 11-13 NUCr,
// bits 14-24 east-west velocity or heading, bits 25-35 north-south velocity or airspeed,
// bit 36 vertical rate source, bit 37 sign, bits 38-46 vertical rate, bit 49 sign and
// bits 50-56 difference of geometric and barometric height.
void Velocity(TSBSFlight& target, const std::uint8_t* me) {
    target.onground = '0';
    target.vrate.clear();
    int st = me[0] & 7;
    target.velsubtype = static_cast<std::uint8_t>(st);
    target.intent = DigitOf(me[1] >> 7);
    target.ifr = DigitOf((me[1] >> 6) & 1);
    target.nucr = DigitOf((me[1] >> 3) & 7);
    // Supersonic subtypes 2 and 4 count in units of 4 knots.
    int scale = (st == 2 || st == 4) ? 4 : 1;
    if (st == 1 || st == 2) {
        int dew = (me[1] >> 2) & 1;
        int vew = (((me[1] & 3) << 8) | me[2]) - 1;
        int dns = me[3] >> 7;
        int vns = (((me[3] & 0x7F) << 3) | (me[4] >> 5)) - 1;
        target.track = TrackText(vns, vew, dns, dew).view();
        if (vns == -1 && vew == -1) {
            target.gspeed.clear();
        } else {
            double ns = vns * scale, ew = vew * scale;
            SetInt(target.gspeed, Rounded(std::sqrt(ns * ns + ew * ew)));
        }
    } else if (st == 3 || st == 4) {
        target.headingstatus = DigitOf((me[1] >> 2) & 1);
        if (target.headingstatus == '1')
            SetInt(target.heading, ((((me[1] & 3) << 8) | me[2]) * 360) / 1024);
        target.airspeedtype = DigitOf(me[3] >> 7);
        int speed = (((me[3] & 0x7F) << 3) | (me[4] >> 5)) - 1;
        // A raw airspeed of 0 means "no information", not -1 knots.
        if (speed >= 0) {
            if (target.airspeedtype == '1')
                SetInt(target.tas, speed * scale);
            else
                SetInt(target.ias, speed * scale);
        }
    }
    target.vratesource = DigitOf((me[4] >> 4) & 1);
    int v = ((me[4] & 7) << 6) | (me[5] >> 2);
    SetSigned(target.vrate, v > 256 ? 9900 : (v - 1) * 64, (me[4] >> 3) & 1);
    SetSigned(target.gnssdiff, ((me[6] & 0x7F) - 1) * 25, me[6] >> 7);
}

char NucpOf(int tc, char previous) {
    if (tc == 0) return '0';
    if (tc >= 5 && tc <= 8) return DigitOf(9 - (tc - 5));
    if (tc >= 9 && tc <= 18) return DigitOf(9 - (tc - 9));
    if (tc == 20) return '9';
    if (tc == 21) return '8';
    return previous;
}

std::uint8_t KindOf(int tc, std::uint8_t k) {
    auto quality = [k](int q) { return static_cast<std::uint8_t>((k & 0xF8) | q); };
    if (tc >= 1 && tc <= 4) return static_cast<std::uint8_t>(k | 0x40);
    if (tc >= 5 && tc <= 8) return quality(0x37 - (tc - 5));
    if (tc == 9 || tc == 10) return quality(7);
    if (tc >= 11 && tc <= 15) return quality(6 - (tc - 11));
    if (tc >= 16 && tc <= 18) return quality(1);
    if (tc == 19) return static_cast<std::uint8_t>(k | 0xB8);
    return k;
}

}  // namespace

bool CarriesAdsbWithIcaoAddress(std::uint8_t firstbyte) {
    const int df = firstbyte >> 3, field = firstbyte & 7;
    if (df == 17) return true;
    if (df == 18) return field == 0 || field == 2 || field == 6;
    return df == 19 && field == 0;
}

void DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t firstbyte,
                            std::span<const std::uint8_t> me, const DecoderReference& ref) {
    if (me.size() < 7 || !CarriesAdsbWithIcaoAddress(firstbyte)) return;
    int ca = firstbyte & 7;
    int tc = me[0] >> 3;
    target.df = static_cast<std::uint8_t>(firstbyte >> 3);
    target.ca = DigitOf(ca);
    // Only DF 17's capability field tells air from ground; DF 18 and 19 have a control or
    // application field there.
    if (target.df == 17 && ca == 4) target.onground = '1';
    if (target.df == 17 && ca == 5) target.onground = '0';
    target.nucp = NucpOf(tc, target.nucp);
    target.blockident = 1;
    target.kind = KindOf(tc, target.kind);
    if (tc == 0 || (tc >= 9 && tc <= 18))
        AirbornePosition(target, tc, me.data(), ref);
    else if (tc >= 1 && tc <= 4)
        Identification(target, tc, me.data());
    else if (tc >= 5 && tc <= 8)
        SurfacePosition(target, me.data(), ref);
    else if (tc == 19)
        Velocity(target, me.data());
}

}  // namespace aerova
