#pragma once
// TSBSFlight: the decoder's 192-byte per-aircraft record, in the SBS-1 device library's
// little-endian layout. The decoder writes it, the decoder table keeps it and the report
// encoder reads it.
//
//   0  icao s[6]      7 callsign s[8]   16 blockident 17 block40 18 block50 19 block60
//  20  blockalt      21 emittime s[13]  35 squawk s[4] 40 altitude s[5] 46 lat s[9]
//  56  lon s[10]     67 gnssdiff s[6]   74 vrate s[6]  81 gspeed s[4]  86 track s[3]
//  90  tas s[4]      95 selalt s[3]     99 baro s[4]  104 modes40 c   105 roll s[3]
// 109  trackrate s[4] 114 heading s[3] 118 ias s[3]   122 mach s[3]
// 126..149 one-character fields (category ... um)     150 df 151 kind 152 velsubtype
// 153  cprstate     154 cprawait       155 reserved   156 cprwaits i32 160 cprlat i32
// 164  cprlon i32   168 reflat f64     176 reflon f64 184 reserved[8]
//
// s[n] is a short string: one length byte, then n character bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace aerova {

template <std::size_t N>
struct ShortString {
    std::uint8_t len = 0;
    char chars[N] = {};

    ShortString& operator=(std::string_view s) {
        len = static_cast<std::uint8_t>(s.size() < N ? s.size() : N);
        if (len) std::memcpy(chars, s.data(), len);
        return *this;
    }
    // A length byte beyond the capacity (a foreign record) reads as the full capacity.
    std::string_view view() const { return std::string_view(chars, len <= N ? len : N); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return len == 0; }
    void clear() { len = 0; }
    friend bool operator==(const ShortString& a, std::string_view b) { return a.view() == b; }
};

struct TSBSFlight {
    ShortString<6> icao;
    ShortString<8> callsign;
    std::uint8_t blockident;
    std::uint8_t block40;
    std::uint8_t block50;
    std::uint8_t block60;
    std::uint8_t blockalt;
    ShortString<13> emittime;
    ShortString<4> squawk;
    ShortString<5> altitude;
    ShortString<9> lat;
    ShortString<10> lon;
    ShortString<6> gnssdiff;
    ShortString<6> vrate;
    ShortString<4> gspeed;
    ShortString<3> track;
    ShortString<4> tas;
    ShortString<3> selalt;
    ShortString<4> baro;
    char modes40;
    ShortString<3> roll;
    ShortString<4> trackrate;
    ShortString<3> heading;
    ShortString<3> ias;
    ShortString<3> mach;
    char category;
    char fs;
    char ca;
    char ss;
    char nucp;
    char nucr;
    char altres;
    char altunit;
    char intent;
    char onground;
    char airspeedtype;
    char spi;
    char emergency;
    char alert;
    char classmark;
    char headingstatus;
    char nicsupp;
    char noposition;
    char tbit;
    char ifr;
    char vratesource;
    std::uint8_t reserved147;
    char dr;
    char um;
    std::uint8_t df;
    std::uint8_t kind;  // bit 7 vrate, 6 ident, 5 gspeed, 4 track, 3 height diff, 0-2 quality
    std::uint8_t velsubtype;
    std::uint8_t cprstate;
    std::uint8_t cprawait;
    char reserved155;
    std::int32_t cprwaits;
    std::int32_t cprlat;
    std::int32_t cprlon;
    double reflat;
    double reflon;
    std::uint8_t reserved184[8];
};

static_assert(sizeof(TSBSFlight) == 192);
static_assert(offsetof(TSBSFlight, callsign) == 7);
static_assert(offsetof(TSBSFlight, blockident) == 16);
static_assert(offsetof(TSBSFlight, blockalt) == 20);
static_assert(offsetof(TSBSFlight, emittime) == 21);
static_assert(offsetof(TSBSFlight, squawk) == 35);
static_assert(offsetof(TSBSFlight, altitude) == 40);
static_assert(offsetof(TSBSFlight, lat) == 46);
static_assert(offsetof(TSBSFlight, lon) == 56);
static_assert(offsetof(TSBSFlight, gnssdiff) == 67);
static_assert(offsetof(TSBSFlight, vrate) == 74);
static_assert(offsetof(TSBSFlight, gspeed) == 81);
static_assert(offsetof(TSBSFlight, track) == 86);
static_assert(offsetof(TSBSFlight, tas) == 90);
static_assert(offsetof(TSBSFlight, selalt) == 95);
static_assert(offsetof(TSBSFlight, baro) == 99);
static_assert(offsetof(TSBSFlight, modes40) == 104);
static_assert(offsetof(TSBSFlight, roll) == 105);
static_assert(offsetof(TSBSFlight, trackrate) == 109);
static_assert(offsetof(TSBSFlight, heading) == 114);
static_assert(offsetof(TSBSFlight, ias) == 118);
static_assert(offsetof(TSBSFlight, mach) == 122);
static_assert(offsetof(TSBSFlight, category) == 126);
static_assert(offsetof(TSBSFlight, noposition) == 143);
static_assert(offsetof(TSBSFlight, reserved147) == 147);
static_assert(offsetof(TSBSFlight, df) == 150);
static_assert(offsetof(TSBSFlight, kind) == 151);
static_assert(offsetof(TSBSFlight, cprstate) == 153);
static_assert(offsetof(TSBSFlight, cprwaits) == 156);
static_assert(offsetof(TSBSFlight, cprlat) == 160);
static_assert(offsetof(TSBSFlight, cprlon) == 164);
static_assert(offsetof(TSBSFlight, reflat) == 168);
static_assert(offsetof(TSBSFlight, reflon) == 176);
static_assert(offsetof(TSBSFlight, reserved184) == 184);

}  // namespace aerova
