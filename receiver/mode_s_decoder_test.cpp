#include "receiver/mode_s_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "receiver/decoder_test_support.h"
#include "receiver/mode_s_frame_decoder.h"

namespace aerova {
namespace {

using testing::Bytes;
using testing::EncodeCpr;
using testing::NewTarget;

// Decodes the extended squitter of a 28-digit frame text into `t`.
void Es(TSBSFlight& t, const std::string& hex, const DecoderReference& ref = DecoderReference()) {
    std::vector<std::uint8_t> b = Bytes(hex);
    DecodeExtendedSquitter(t, b[0], std::span(b).subspan(4, 7), ref);
}

// An airborne position ME field (TC 11, altitude 0x290 = 7000 ft) for given CPR values.
std::vector<std::uint8_t> PositionMe(int yz, int xz, int f, int tc = 11) {
    int alt = 0x290;
    return {static_cast<std::uint8_t>(tc << 3),
            static_cast<std::uint8_t>(alt >> 4),
            static_cast<std::uint8_t>(((alt & 0x0F) << 4) | (f << 2) | (yz >> 15)),
            static_cast<std::uint8_t>(yz >> 7),
            static_cast<std::uint8_t>(((yz & 0x7F) << 1) | (xz >> 16)),
            static_cast<std::uint8_t>(xz >> 8),
            static_cast<std::uint8_t>(xz)};
}

void Position(TSBSFlight& t, double lat, double lon, int f, const DecoderReference& ref) {
    auto c = EncodeCpr(lat, lon, f);
    auto me = PositionMe(c.yz, c.xz, f);
    DecodeExtendedSquitter(t, 0x8D, me, ref);
}

double Num(const auto& field) {
    return std::strtod(field.str().c_str(), nullptr);
}

TEST(ModeSDecoder, CharOfAndDigitOf) {
    EXPECT_EQ(CharOf(0), ' ');
    EXPECT_EQ(CharOf(1), 'A');
    EXPECT_EQ(CharOf(26), 'Z');
    EXPECT_EQ(CharOf(27), ' ');
    EXPECT_EQ(CharOf(31), ' ');
    EXPECT_EQ(CharOf(32), ' ');
    EXPECT_EQ(CharOf(33), '1');
    EXPECT_EQ(CharOf(41), '9');
    EXPECT_EQ(CharOf(42), ' ');
    EXPECT_EQ(CharOf(48), '0');
    EXPECT_EQ(CharOf(57), '9');
    EXPECT_EQ(CharOf(63), ' ');
    EXPECT_EQ(DigitOf(7), '7');
    EXPECT_EQ(DigitOf(12), '<');
}

TEST(ModeSDecoder, TrackText) {
    struct Case {
        int vns, vew, dns, dew;
        const char* text;
    };
    const Case cases[] = {
        {-1, -1, 0, 0, ""},      {0, 5, 0, 0, "90"},
        {0, 5, 0, 1, "270"},     {100, 0, 0, 0, "0"},
        {100, 100, 0, 0, "45"},  {100, 100, 1, 0, "135"},
        {100, 100, 1, 1, "225"}, {100, 100, 0, 1, "315"},
        {160, 9, 1, 1, "183"},  // 8D485020994409940838175B284F: 182.88 degrees
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrackText(c.vns, c.vew, c.dns, c.dew).view(), c.text) << c.vns << " " << c.vew;
}

TEST(ModeSDecoder, IdentificationWithClassMarks) {
    TSBSFlight t = NewTarget();
    Es(t, "8D42426320554074DF08207B587D");  // UTA470, dump1090 "A0"
    EXPECT_EQ(t.callsign.view(), "UTA470  ");
    EXPECT_EQ(t.category, '0');
    EXPECT_EQ(t.classmark, ' ');
    EXPECT_EQ(t.kind, 0x40);
    EXPECT_EQ(t.blockident, 1);
    EXPECT_EQ(t.df, 17);
    EXPECT_EQ(t.ca, '5');
    EXPECT_EQ(t.onground, '0');

    struct Case {
        int tc, category;
        char mark;
    };
    const Case cases[] = {{1, 3, ' '}, {2, 1, 'v'},  {3, 0, ','},  {4, 0, ' '},
                          {4, 1, '_'}, {4, 2, '\''}, {4, 3, '\''}, {4, 4, '"'},
                          {4, 5, '"'}, {4, 6, '*'},  {4, 7, 'x'}};
    for (const Case& c : cases) {
        TSBSFlight u = NewTarget();
        std::vector<std::uint8_t> me = {
            static_cast<std::uint8_t>(c.tc << 3 | c.category), 0x20, 0x55, 0x40, 0x74, 0xDF, 0x08};
        DecodeExtendedSquitter(u, 0x8D, me, DecoderReference());
        EXPECT_EQ(u.classmark, c.mark) << c.tc << "/" << c.category;
        EXPECT_EQ(u.category, DigitOf(c.category));
    }
}

// DF 18 and 19 squitters are read as ADS-B only where their ME field has that layout and
// the address is an ICAO one; DF 18's control field never says "on the ground".
TEST(ModeSDecoder, TisbAndMilitarySquittersOnlyInTheAdsbLayout) {
    // The identification ME of UTA470 behind each first byte.
    const std::vector<std::uint8_t> me = Bytes("20554074DF0820");
    struct Case {
        std::uint8_t first;
        bool decoded;
    } cases[] = {
        {0x8D, true},  {0x90, true}, {0x91, false}, {0x92, true}, {0x93, false}, {0x94, false},
        {0x95, false}, {0x96, true}, {0x97, false}, {0x98, true}, {0x99, false},
    };
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        DecodeExtendedSquitter(t, c.first, me, DecoderReference());
        EXPECT_EQ(t.callsign.view() == "UTA470  ", c.decoded) << int(c.first);
        EXPECT_EQ(CarriesAdsbWithIcaoAddress(c.first), c.decoded) << int(c.first);
    }
    // DF 18 CF 4 (TIS-B management) used to mark the target on the ground; CF 2 with the
    // bits of CA 4 is a fine TIS-B message, not a ground report.
    TSBSFlight t = NewTarget();
    DecodeExtendedSquitter(t, 0x94, me, DecoderReference());
    DecodeExtendedSquitter(t, 0x92, me, DecoderReference());
    EXPECT_NE(t.onground, '1');
    DecodeExtendedSquitter(t, 0x8C, me, DecoderReference());  // DF 17 CA 4: on the ground
    EXPECT_EQ(t.onground, '1');
}

TEST(ModeSDecoder, AirborneVelocitySubtype1) {
    TSBSFlight t = NewTarget();
    Es(t, "8D485020994409940838175B284F");  // 159.2 kt, 182.88 degrees, -832 ft/min
    EXPECT_EQ(t.velsubtype, 1);
    EXPECT_EQ(t.gspeed.view(), "159");
    EXPECT_EQ(t.track.view(), "183");
    EXPECT_EQ(t.vrate.view(), "-832");
    EXPECT_EQ(t.vratesource, '0');
    EXPECT_EQ(t.gnssdiff.view(), "+550");
    EXPECT_EQ(t.nucr, '0');
    EXPECT_EQ(t.kind, 0xB8);
    EXPECT_EQ(t.onground, '0');
}

TEST(ModeSDecoder, AirborneVelocitySubtype3) {
    TSBSFlight t = NewTarget();
    Es(t, "8DA05F219B06B6AF189400CBC33F");  // heading 243.98, TAS 375 kt, -2304 ft/min
    EXPECT_EQ(t.velsubtype, 3);
    EXPECT_EQ(t.headingstatus, '1');
    EXPECT_EQ(t.heading.view(), "243");
    EXPECT_EQ(t.airspeedtype, '1');
    EXPECT_EQ(t.tas.view(), "375");
    EXPECT_TRUE(t.ias.empty());
    EXPECT_EQ(t.vrate.view(), "-2304");
    EXPECT_EQ(t.vratesource, '1');
}

TEST(ModeSDecoder, VerticalRateAndHeightDifferenceEdges) {
    struct Case {
        int v, sign;
        const char* text;
    };
    const Case cases[] = {{0, 0, ""},        {1, 1, "0"},       {1, 0, "0"},
                          {2, 0, "+64"},     {2, 1, "-64"},     {256, 0, "+16320"},
                          {257, 0, "+9900"}, {257, 1, "-9900"}, {511, 1, "-9900"}};
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        t.vrate = "123";
        std::vector<std::uint8_t> me = {0x99,
                                        0x44,
                                        0x09,
                                        0x94,
                                        static_cast<std::uint8_t>(0x00 | c.sign << 3 | (c.v >> 6)),
                                        static_cast<std::uint8_t>((c.v & 0x3F) << 2),
                                        0x00};
        DecodeExtendedSquitter(t, 0x8D, me, DecoderReference());
        EXPECT_EQ(t.vrate.view(), c.text) << c.v << " " << c.sign;
        EXPECT_TRUE(t.gnssdiff.empty());  // raw height difference 0: no information
    }
    TSBSFlight t = NewTarget();
    DecodeExtendedSquitter(t, 0x8D,
                           std::vector<std::uint8_t>{0x99, 0x44, 0x09, 0x94, 0x08, 0x38, 0x81},
                           DecoderReference());
    EXPECT_EQ(t.gnssdiff.view(), "0");
    DecodeExtendedSquitter(t, 0x8D,
                           std::vector<std::uint8_t>{0x99, 0x44, 0x09, 0x94, 0x08, 0x38, 0xFF},
                           DecoderReference());
    EXPECT_EQ(t.gnssdiff.view(), "-3150");
}

TEST(ModeSDecoder, VelocityWithoutComponentsAndSupersonic) {
    TSBSFlight t = NewTarget();
    t.gspeed = "400";
    t.track = "90";
    // vew and vns raw 0: no velocity information.
    DecodeExtendedSquitter(t, 0x8D,
                           std::vector<std::uint8_t>{0x99, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00},
                           DecoderReference());
    EXPECT_TRUE(t.gspeed.empty());
    EXPECT_TRUE(t.track.empty());
    EXPECT_EQ(t.vrate.view(), "0");
    // Subtype 2: vew raw 301 -> 300 units of 4 kt eastward, vns raw 1 -> 0.
    DecodeExtendedSquitter(t, 0x8D,
                           std::vector<std::uint8_t>{0x9A, 0x01, 0x2D, 0x00, 0x20, 0x04, 0x00},
                           DecoderReference());
    EXPECT_EQ(t.gspeed.view(), "1200");
    EXPECT_EQ(t.track.view(), "90");
    // Subtype 3 with airspeed raw 0: the airspeed is not available, not -1.
    t.ias = "250";
    DecodeExtendedSquitter(t, 0x8D,
                           std::vector<std::uint8_t>{0x9B, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00},
                           DecoderReference());
    EXPECT_EQ(t.ias.view(), "250");
    EXPECT_EQ(t.headingstatus, '0');
}

TEST(ModeSDecoder, SurfaceSpeedBands) {
    struct Case {
        int q;
        const char* speed;
    };
    const Case cases[] = {{0, ""},      {1, "0"},     {2, "1"},   {8, "1"},    {9, "2"},
                          {12, "2"},    {13, "2"},    {14, "2"},  {15, "3"},   {38, "14"},
                          {39, "15"},   {93, "69"},   {94, "70"}, {108, "98"}, {109, "100"},
                          {123, "170"}, {124, "175"}, {125, ""},  {127, ""}};
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        t.gspeed = "999";
        std::vector<std::uint8_t> me = {static_cast<std::uint8_t>(0x38 | (c.q >> 4)),
                                        static_cast<std::uint8_t>((c.q & 0x0F) << 4),
                                        0,
                                        0,
                                        0,
                                        0,
                                        0};
        DecodeExtendedSquitter(t, 0x8C, me, DecoderReference());
        EXPECT_EQ(t.gspeed.view(), c.speed) << c.q;
    }
}

TEST(ModeSDecoder, SurfacePosition) {
    DecoderReference ref;
    SetDecoderHome(ref, 51.990, 4.375);
    TSBSFlight t = NewTarget();
    Es(t, "8C4841753A9A153237AEF0F275BE", ref);  // 17 kt, 92.8 degrees, 52.3205605 N 4.7357352 E
    EXPECT_EQ(t.onground, '1');
    EXPECT_EQ(t.altitude.view(), "0");
    EXPECT_EQ(t.vrate.view(), "0");
    EXPECT_EQ(t.blockalt, 1);
    EXPECT_EQ(t.track.view(), "92");
    EXPECT_EQ(t.gspeed.view(), "17");
    EXPECT_EQ(t.nucp, '7');  // TC 7
    EXPECT_EQ(t.kind, 0x35);
    EXPECT_EQ(t.lat.view(), "52.320560");
    EXPECT_EQ(t.lon.view(), "4.73573521");
    EXPECT_EQ(t.cprstate, 1);  // surface positions do not use the state machine
}

TEST(ModeSDecoder, NucpAndKindByTypeCode) {
    struct Case {
        int tc;
        char nucp;
        std::uint8_t kind;
    };
    // Previous kind 0xC5: bits 6-7 kept by the position types, quality bits replaced.
    const Case cases[] = {{0, '0', 0xC5},  {5, '9', 0xF7},  {8, '6', 0xF4},  {9, '9', 0xC7},
                          {10, '8', 0xC7}, {11, '7', 0xC6}, {15, '3', 0xC2}, {16, '2', 0xC1},
                          {18, '0', 0xC1}, {19, 'x', 0xFD}, {20, '9', 0xC5}, {21, '8', 0xC5},
                          {28, 'x', 0xC5}, {1, 'x', 0xC5}};
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        t.nucp = 'x';
        t.kind = 0xC5;
        std::vector<std::uint8_t> me = {static_cast<std::uint8_t>(c.tc << 3), 0, 0, 0, 0, 0, 0};
        DecodeExtendedSquitter(t, 0x8D, me, DecoderReference());
        EXPECT_EQ(t.nucp, c.nucp) << c.tc;
        EXPECT_EQ(t.kind, c.kind) << c.tc;
        EXPECT_EQ(t.blockident, 1) << c.tc;
    }
}

TEST(ModeSDecoder, AirbornePositionFields) {
    TSBSFlight t = NewTarget();
    DecoderReference ref;
    SetDecoderHome(ref, 59.80, 30.26);
    Es(t, "8D4249B5582903AB812C967242E2", ref);  // dump1090: 7000 ft, 59.50488 31.04498 (local)
    EXPECT_EQ(t.altitude.view(), "7000");
    EXPECT_EQ(t.altres, '0');
    EXPECT_EQ(t.blockalt, 1);
    EXPECT_EQ(t.ss, '0');
    EXPECT_EQ(t.spi, '0');
    EXPECT_EQ(t.emergency, '0');
    EXPECT_EQ(t.alert, '0');
    EXPECT_EQ(t.nicsupp, '0');
    EXPECT_EQ(t.tbit, '0');
    EXPECT_EQ(t.lat.view(), "59.504882");
    EXPECT_EQ(t.lon.view(), "31.0449829");
    EXPECT_EQ(t.cprstate, 2);
    EXPECT_EQ(t.cprawait, 1);
    EXPECT_EQ(t.cprlat, 120256);
    EXPECT_EQ(t.cprlon, 76950);

    // TC 0 and zero CPR values carry neither an altitude nor a position.
    TSBSFlight u = NewTarget();
    DecodeExtendedSquitter(u, 0x8D, PositionMe(0, 5, 0), ref);
    EXPECT_TRUE(u.altitude.empty());
    EXPECT_EQ(u.blockalt, 0);
    EXPECT_EQ(u.cprstate, 1);
    DecodeExtendedSquitter(u, 0x8D, PositionMe(5, 5, 0, 0), ref);
    EXPECT_EQ(u.altitude.view(), "7000");
    EXPECT_EQ(u.cprstate, 1);
    EXPECT_TRUE(u.lat.empty());
}

TEST(CprStateMachine, LocalThenPairThenTrack) {
    DecoderReference ref;
    SetDecoderHome(ref, 59.80, 30.26);
    TSBSFlight t = NewTarget();
    // State 1: close to home, written.
    Position(t, 60.5, 31.0, 0, ref);
    EXPECT_NEAR(Num(t.lat), 60.5, 0.0001);
    EXPECT_EQ(t.cprstate, 2);
    // State 2, same format again: stored, waits counted.
    Position(t, 60.51, 31.01, 0, ref);
    EXPECT_EQ(t.cprstate, 2);
    EXPECT_EQ(t.cprwaits, 1);
    // The other format completes the pair globally.
    t.lat.clear();
    Position(t, 60.52, 31.02, 1, ref);
    EXPECT_EQ(t.cprstate, 3);
    EXPECT_NEAR(Num(t.lat), 60.52, 0.0002);
    EXPECT_NEAR(Num(t.lon), 31.02, 0.0002);
    EXPECT_NEAR(t.reflat, 60.52, 0.0002);
    // State 3 tracks locally from the last position.
    Position(t, 60.6, 31.3, 0, ref);
    EXPECT_EQ(t.cprstate, 3);
    EXPECT_NEAR(Num(t.lon), 31.3, 0.0002);
    EXPECT_NEAR(t.reflon, 31.3, 0.0002);
    // Beyond 4.5 degrees of latitude from home: back to state 1, texts kept.
    t.reflat = 64.2;
    Position(t, 64.4, 31.3, 1, ref);
    EXPECT_EQ(t.cprstate, 1);
    EXPECT_NEAR(Num(t.lon), 31.3, 0.0002);
}

TEST(CprStateMachine, FarFirstFrameEmptiesThePosition) {
    DecoderReference ref;
    SetDecoderHome(ref, 59.80, 30.26);  // tolclose = 3.97 degrees of longitude
    TSBSFlight t = NewTarget();
    t.lat = "1";
    t.lon = "2";
    Position(t, 59.9, 35.0, 1, ref);
    EXPECT_TRUE(t.lat.empty());
    EXPECT_TRUE(t.lon.empty());
    EXPECT_EQ(t.cprstate, 2);
    EXPECT_EQ(t.cprawait, 0);
    Position(t, 59.9, 35.01, 0, ref);
    EXPECT_EQ(t.cprstate, 3);
    EXPECT_NEAR(Num(t.lon), 35.01, 0.0002);
}

TEST(CprStateMachine, PairAcrossZoneBoundaryFailsToState1) {
    DecoderReference ref;
    SetDecoderHome(ref, 44.0, 4.0);
    TSBSFlight t = NewTarget();
    Position(t, 44.1940, 4.0, 0, ref);
    t.lat = "keep";
    Position(t, 44.1950, 4.0, 1, ref);
    EXPECT_EQ(t.cprstate, 1);
    EXPECT_EQ(t.lat.view(), "keep");
}

TEST(CprStateMachine, GlobalFixOutsideTheTrackingAreaIsRefused) {
    DecoderReference ref;
    SetDecoderHome(ref, 52.0, 4.0);
    TSBSFlight t = NewTarget();
    Position(t, 52.0, 4.0, 0, ref);
    t.lat.clear();
    t.lon.clear();
    // An odd half 0.3 degree away passes the pair tests with a position near 34 N.
    Position(t, 52.3, 4.0, 1, ref);
    EXPECT_TRUE(t.lat.empty());
    EXPECT_EQ(t.cprstate, 1);
}

TEST(CprStateMachine, GlobalModeOnlyTheOppositeFormatDecodes) {
    DecoderReference ref;
    SetDecoderHome(ref, 51.0, -4.0);
    ref.sbcpr = true;
    TSBSFlight t = NewTarget();
    t.cprawait = 0;
    Position(t, 51.2, -5.0, 1, ref);  // first stored frame: odd
    EXPECT_TRUE(t.lat.empty());
    Position(t, 51.2, -5.0, 0, ref);
    EXPECT_NEAR(Num(t.lat), 51.2, 0.0002);
    EXPECT_NEAR(Num(t.lon), -5.0, 0.0002);  // west of Greenwich: negative
    t.lat.clear();
    Position(t, 51.21, -5.01, 1, ref);  // odd frames only refresh the stored half
    EXPECT_TRUE(t.lat.empty());
    Position(t, 51.22, -5.02, 0, ref);
    EXPECT_NEAR(Num(t.lat), 51.22, 0.0002);
    EXPECT_NEAR(Num(t.lon), -5.02, 0.0002);
}

TEST(ModeSDecoder, PositionTextsAreShortAndNeverExponents) {
    TSBSFlight t = NewTarget();
    WriteLatLon(t, 59.5, -0.000012345);
    EXPECT_EQ(t.lat.view(), "59.5");
    EXPECT_EQ(t.lon.view(), "-0.0000123");
    WriteLatLon(t, -33.123456789012345, 151.98765432109876);
    EXPECT_EQ(t.lat.view(), "-33.12345");
    EXPECT_EQ(t.lon.view(), "151.987654");
    WriteLatLon(t, 0.0, 180.5);
    EXPECT_EQ(t.lat.view(), "0");
    EXPECT_EQ(t.lon.view(), "-179.5");
    WriteLatLon(t, std::nan(""), 1.0);  // never a NaN text: the record keeps its texts
    EXPECT_EQ(t.lat.view(), "0");
}

TEST(ModeSDecoder, ShortMeFieldChangesNothing) {
    TSBSFlight t = NewTarget();
    TSBSFlight before = t;
    std::vector<std::uint8_t> me = {0x58, 0x29, 0x03, 0xAB, 0x81, 0x2C};
    DecodeExtendedSquitter(t, 0x8D, me, DecoderReference());
    DecodeShortOrCommB(t, 0x20, std::span(me).first(2));
    EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
}

// Random frames to both entry points: no crash, texts within their fields, no NaN text.
TEST(ModeSDecoder, RandomFramesKeepTheRecordSane) {
    std::mt19937 rng(20260412);
    DecoderReference ref;
    SetDecoderHome(ref, 59.8, 30.26);
    TSBSFlight t = NewTarget();
    for (int n = 0; n < 200000; ++n) {
        std::uint8_t b[14];
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        if (n % 3 == 0) b[0] = static_cast<std::uint8_t>((b[0] & 7) | 0x88);  // DF 17
        if (n % 50 == 0) ref.sbcpr = !ref.sbcpr;
        if (n % 2 == 0)
            DecodeExtendedSquitter(t, b[0], std::span(b).subspan(4, 7), ref);
        else
            DecodeShortOrCommB(t, b[0], std::span(b).subspan(1, (n & 4) ? 13 : 6));
        ASSERT_LE(t.lat.len, 9);
        ASSERT_LE(t.lon.len, 10);
        for (auto v : {t.lat.view(), t.lon.view()}) {
            ASSERT_EQ(v.find('n'), std::string_view::npos);
            ASSERT_EQ(v.find('e'), std::string_view::npos);
        }
        if (!t.lat.empty()) {
            ASSERT_LE(std::fabs(Num(t.lat)), 90.0) << n;
        }
    }
}

TEST(ModeSFrameDecoder, PassesFramesWithItsReference) {
    ModeSFrameDecoder decoder;
    FrameDecoder& asInterface = decoder;
    asInterface.SetDecoderHome(59.80, 30.26);
    EXPECT_EQ(decoder.reference().homelat, 59.80);
    TSBSFlight t = NewTarget();
    std::vector<std::uint8_t> b = Bytes("8D4249B5582903AB812C967242E2");
    asInterface.DecodeExtendedSquitter(t, b[0], b.data() + 4, 7);
    EXPECT_EQ(t.lat.view(), "59.504882");
    std::vector<std::uint8_t> reply = {0x20, 0x18, 0x15, 0x42, 0x49, 0xB5};
    asInterface.DecodeShortOrCommB(t, 0x28, reply.data(), reply.size());
    EXPECT_EQ(t.squawk.view(), "1017");
    decoder.SetGlobalCpr(true);
    EXPECT_TRUE(decoder.reference().sbcpr);
}

}  // namespace
}  // namespace aerova
