#include <gtest/gtest.h>

#include <cmath>

#include "receiver/decoder_test_support.h"
#include "receiver/mode_s_decoder.h"

namespace aerova {
namespace {

using testing::NewTarget;

// A DF 20 reply (FS 0, AC 0x391 = 4625 ft) carrying the Comm-B message `mb`.
void Df20(TSBSFlight& t, std::array<std::uint8_t, 7> mb) {
    std::vector<std::uint8_t> data = {0x00, 0x03, 0x91};
    data.insert(data.end(), mb.begin(), mb.end());
    data.insert(data.end(), {0xAB, 0xCD, 0xEF});
    DecodeShortOrCommB(t, 0xA0, data);
}

// Register 4,0 message with selected altitude code `alt` (16 ft) and pressure code `p`.
std::array<std::uint8_t, 7> Bds40(int alt, int p, std::uint8_t m5 = 0, std::uint8_t m6 = 0) {
    return {static_cast<std::uint8_t>(0x80 | (alt >> 5)),
            static_cast<std::uint8_t>((alt & 0x1F) << 3),
            0,
            static_cast<std::uint8_t>(0x20 | (p >> 7)),
            static_cast<std::uint8_t>((p & 0x7F) << 1),
            m5,
            m6};
}

TEST(CommB, AllCallReply) {
    TSBSFlight t = NewTarget();
    std::vector<std::uint8_t> data = {0x40, 0x01, 0x59, 0x4B, 0x0F, 0xBB};
    DecodeShortOrCommB(t, 0x5C, data);  // DF 11, CA 4
    EXPECT_EQ(t.df, 11);
    EXPECT_EQ(t.ca, '4');
    EXPECT_EQ(t.onground, '1');
    EXPECT_EQ(t.blockalt, 1);
    DecodeShortOrCommB(t, 0x5D, data);
    EXPECT_EQ(t.onground, '0');
    DecodeShortOrCommB(t, 0x5F, data);  // CA 7 leaves it
    EXPECT_EQ(t.onground, '0');
    EXPECT_EQ(t.ca, '7');
}

TEST(CommB, FlightStatusTable) {
    struct Case {
        int fs;
        char onground, spi, alert;
    };
    const Case cases[] = {{0, '0', '0', '0'}, {1, '1', '0', '0'}, {2, '0', '0', '1'},
                          {3, '1', '0', '1'}, {4, 'x', '1', '1'}, {5, 'x', '1', '0'}};
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        t.onground = 'x';
        // DF 4, DR 4, UM 9 (0b001001), AC 0x0499 = 6425 ft as in the DF 0 reply 02A184999C5FE3.
        std::vector<std::uint8_t> data = {static_cast<std::uint8_t>(4 << 3 | 1),
                                          static_cast<std::uint8_t>(0x20 | 0x04),
                                          0x99,
                                          0,
                                          0,
                                          0};
        DecodeShortOrCommB(t, static_cast<std::uint8_t>(0x20 | c.fs), data);
        EXPECT_EQ(t.fs, DigitOf(c.fs));
        EXPECT_EQ(t.onground, c.onground) << c.fs;
        EXPECT_EQ(t.spi, c.spi) << c.fs;
        EXPECT_EQ(t.alert, c.alert) << c.fs;
        EXPECT_EQ(t.dr, '4');
        EXPECT_EQ(t.um, '9');
        EXPECT_EQ(t.altitude.view(), "6425");
        EXPECT_EQ(t.blockalt, 1);
        EXPECT_EQ(t.df, 4);
    }
}

TEST(CommB, IdentityReplyAndDf0) {
    TSBSFlight t = NewTarget();
    std::vector<std::uint8_t> data = {0x20, 0x18, 0x15, 0x40, 0x01, 0x59};
    DecodeShortOrCommB(t, 0x28, data);  // 282018154A9D59 resolved: squawk 1017
    EXPECT_EQ(t.squawk.view(), "1017");
    EXPECT_TRUE(t.altitude.empty());
    TSBSFlight u = NewTarget();
    DecodeShortOrCommB(u, 0x02,
                       std::vector<std::uint8_t>{0xA1, 0x84, 0x99, 0x50, 0x4D, 0xD9});  // DF 0
    EXPECT_EQ(u.altitude.view(), "6425");
    EXPECT_EQ(u.fs, ' ');  // DF 0 has no flight status
    EXPECT_EQ(u.df, 0);
}

TEST(CommB, Register20SetsCallsignAndStops) {
    TSBSFlight t = NewTarget();
    // MB 0x20 then "UTA470  " in 6-bit characters; the pressure-like bits must not matter.
    Df20(t, {0x20, 0x55, 0x40, 0x74, 0xDF, 0x08, 0x20});
    EXPECT_EQ(t.callsign.view(), "UTA470  ");
    EXPECT_EQ(t.blockident, 1);
    EXPECT_EQ(t.block40, 0);
    EXPECT_EQ(t.altitude.view(), "4625");
    EXPECT_EQ(t.df, 20);
}

TEST(CommB, Register40PressureLimits) {
    struct Case {
        int pressureCode;  // tenths of hPa above 800
        const char* baro;  // empty: refused
    };
    // Rounding is to the nearest, halves to even: 960.5 gives 960, 1069.5 gives 1070.
    const Case cases[] = {{1600, ""},     {1605, ""},     {1606, "961"},  {1615, "962"},
                          {2132, "1013"}, {2685, "1068"}, {2694, "1069"}, {2695, ""}};
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        Df20(t, Bds40(813, c.pressureCode));
        EXPECT_EQ(t.block40, *c.baro ? 1 : 0) << c.pressureCode;
        EXPECT_EQ(t.baro.view(), c.baro) << c.pressureCode;
        if (*c.baro) {
            EXPECT_EQ(t.selalt.view(), "130");  // 813 * 16 ft = 13008 ft
            EXPECT_EQ(t.modes40, '0');
        }
    }
}

TEST(CommB, Register40AltitudeLimitAndModes) {
    TSBSFlight t = NewTarget();
    Df20(t, Bds40(2688, 2132));  // 43008 ft: 430 hundreds, the highest accepted
    EXPECT_EQ(t.selalt.view(), "430");
    Df20(t, Bds40(2700, 2132));  // 43200 ft
    EXPECT_EQ(t.selalt.view(), "430");
    Df20(t, Bds40(1000, 2132, 0x01, 0xA0));  // mode bits valid: VNAV and approach
    EXPECT_EQ(t.modes40, '5');
    EXPECT_EQ(t.selalt.view(), "160");
}

TEST(CommB, Register40CandidateOutOfLimitsTriesNothingElse) {
    TSBSFlight t = NewTarget();
    t.gspeed = "400";
    // Passes the 4,0 bit test (and would pass 6,0's), but the pressure is 800 hPa.
    Df20(t, {0x80, 0x08, 0x01, 0x20, 0x00, 0x00, 0x00});
    EXPECT_EQ(t.block40, 0);
    EXPECT_EQ(t.block60, 0);
    EXPECT_EQ(t.block50, 0);
}

TEST(CommB, Register50NeedsAnAgreement) {
    // a0000392835b1f1f2064854800d9 (pyModeS): roll 4.57, true track 250.14, ground speed
    // 248 kt, track rate 0.375, TAS 266 kt.
    const std::array<std::uint8_t, 7> mb = {0x83, 0x5B, 0x1F, 0x1F, 0x20, 0x64, 0x85};
    TSBSFlight t = NewTarget();
    Df20(t, mb);
    EXPECT_EQ(t.block50, 0);  // no squitter data to agree with
    t.gspeed = "252";         // differs by 4 kt: no agreement
    Df20(t, mb);
    EXPECT_EQ(t.block50, 0);
    t.gspeed = "251";
    Df20(t, mb);
    EXPECT_EQ(t.block50, 1);
    EXPECT_EQ(t.roll.view(), "5");
    EXPECT_EQ(t.trackrate.view(), "4");
    EXPECT_EQ(t.tas.view(), "266");
    TSBSFlight u = NewTarget();
    u.track = "247";  // the true track agrees within 4 degrees
    Df20(u, mb);
    EXPECT_EQ(u.block50, 1);
}

// Left rolls and rates keep the two's complement field with 180 (160) added; the label's
// display rule ("<" and 270 - n, 320 - m; "=" above 268 and 318) shows them right.
TEST(CommB, Register50LeftTurnCodes) {
    struct Case {
        const char* vector;  // pyModeS test vectors
        std::array<std::uint8_t, 7> mb;
        const char* gspeed;
        const char *roll, *trackrate, *tas;
    } cases[] = {
        // roll -0.53, track rate -0.03125: both level
        {"a8000032ffb6b7333ffcc8e6fffc",
         {0xFF, 0xB6, 0xB7, 0x33, 0x3F, 0xFC, 0xC8},
         "408",
         "269",
         "320",
         "400"},
        // roll -0.35: level
        {"A0001691FFD263377FFCE02B2BF9",
         {0xFF, 0xD2, 0x63, 0x37, 0x7F, 0xFC, 0xE0},
         "442",
         "270",
         "320",
         "448"},
    };
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        t.gspeed = c.gspeed;
        Df20(t, c.mb);
        EXPECT_EQ(t.block50, 1) << c.vector;
        EXPECT_EQ(t.roll.view(), c.roll) << c.vector;
        EXPECT_EQ(t.trackrate.view(), c.trackrate) << c.vector;
        EXPECT_EQ(t.tas.view(), c.tas) << c.vector;
    }
    // A 20 degree left roll: field 512 - 114 = 398, code 70 + 180 = 250, shown "<20".
    TSBSFlight t = NewTarget();
    t.gspeed = "442";
    Df20(t, {0xF1, 0xD2, 0x63, 0x37, 0x7F, 0xFC, 0xE0});
    EXPECT_EQ(t.roll.view(), "250");
}

TEST(CommB, Register60Limits) {
    // a0000392d919f719e3bc75c92483 (pyModeS): heading 250.49, IAS 251 kt, Mach 0.412.
    TSBSFlight t = NewTarget();
    Df20(t, {0xD9, 0x19, 0xF7, 0x19, 0xE3, 0xBC, 0x75});
    EXPECT_EQ(t.block60, 1);
    EXPECT_EQ(t.heading.view(), "250");
    EXPECT_EQ(t.ias.view(), "251");
    EXPECT_EQ(t.mach.view(), "412");
    struct Case {
        int ias, machCode;
        bool accepted;
    };
    const Case cases[] = {{115, 100, false}, {116, 100, true}, {379, 100, true}, {380, 100, false},
                          {250, 52, false},  {250, 53, true},  {250, 219, true}, {250, 220, false}};
    for (const Case& c : cases) {
        TSBSFlight u = NewTarget();
        Df20(u, {0x80, static_cast<std::uint8_t>(0x08 | (c.ias >> 7)),
                 static_cast<std::uint8_t>(((c.ias & 0x7F) << 1) | 1),
                 static_cast<std::uint8_t>(c.machCode >> 2),
                 static_cast<std::uint8_t>((c.machCode & 3) << 6),
                 0x02 /* a vertical-rate bit, reserved in 4,0 */, 0});
        EXPECT_EQ(u.block60, c.accepted ? 1 : 0) << c.ias << " " << c.machCode;
    }
}

TEST(CommB, ShortLongReplyStopsAfterTheAltitude) {
    TSBSFlight t = NewTarget();
    std::vector<std::uint8_t> data = {0x00, 0x03, 0x91, 0x20, 0x55};
    DecodeShortOrCommB(t, 0xA0, data);
    EXPECT_EQ(t.altitude.view(), "4625");
    EXPECT_TRUE(t.callsign.empty());
}

}  // namespace
}  // namespace aerova
