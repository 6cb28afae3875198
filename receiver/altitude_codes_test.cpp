#include "receiver/altitude_codes.h"

#include <gtest/gtest.h>

#include "receiver/decoder_test_support.h"

namespace aerova {
namespace {

using testing::NewTarget;

// Mode C encoding of an altitude (a multiple of 100 ft from -1200 ft), derived from the
// pulse sequences themselves rather than from the decoder's offsets: the 500-ft steps are
// the reflected binary (Gray) code of the step count over D2 D4 A1 A2 A4 B1 B2 B4, and the
// 100-ft pulses C1 C2 C4 run through 001 011 010 110 100, backwards on odd 500-ft steps.
struct ModeC {
    int a, b, c, d;
};
ModeC EncodeModeC(int feet) {
    int k = (feet + 1300) / 100 - 1;  // 0 at -1200 ft
    int step500 = k / 5;
    int pos = k % 5;
    if (step500 & 1) pos = 4 - pos;
    static const int kCPulses[5] = {1, 3, 2, 6, 4};
    int gray = step500 ^ (step500 >> 1);
    return {(gray >> 3) & 7, gray & 7, kCPulses[pos], (gray >> 6) & 3};
}

// The same pulses placed in a 13-bit AC field: C1 A1 C2 A2 C4 A4 M B1 Q B2 D2 B4 D4.
int AcField(const ModeC& m) {
    auto bit = [](int group, int weight) { return (group & weight) ? 1 : 0; };
    return bit(m.c, 4) << 12 | bit(m.a, 4) << 11 | bit(m.c, 2) << 10 | bit(m.a, 2) << 9 |
           bit(m.c, 1) << 8 | bit(m.a, 1) << 7 | bit(m.b, 4) << 5 | bit(m.b, 2) << 3 |
           bit(m.d, 2) << 2 | bit(m.b, 1) << 1 | bit(m.d, 1);
}

TEST(AltitudeCodes, GrayToBinary) {
    const int cases[][2] = {{0, 0}, {1, 1},       {3, 2},       {2, 3},
                            {6, 4}, {0x80, 0xFF}, {0xC0, 0x80}, {0xFF, 0xAA}};
    for (auto [gray, binary] : cases) EXPECT_EQ(GrayToBinary(gray), binary) << gray;
}

TEST(AltitudeCodes, GillhamMatchesIndependentEncodingFromMinus1200To126700) {
    int checked = 0;
    for (int feet = -1200; feet <= 126700; feet += 100) {
        ModeC m = EncodeModeC(feet);
        ASSERT_EQ(GillhamFeet(m.a, m.b, m.c, m.d), feet);
        TSBSFlight t = NewTarget();
        ASSERT_EQ(AltitudeText(t, AcField(m), 13).view(), std::to_string(feet));
        ASSERT_EQ(t.altres, '1');
        ASSERT_EQ(t.altunit, '0');
        ++checked;
    }
    EXPECT_EQ(checked, 1280);
}

TEST(AltitudeCodes, GillhamBelowSeaLevelIsNegative) {
    TSBSFlight t = NewTarget();
    EXPECT_EQ(AltitudeText(t, AcField(EncodeModeC(-1000)), 13).view(), "-1000");
    EXPECT_EQ(AltitudeText(t, AcField(EncodeModeC(-200)), 13).view(), "-200");
}

TEST(AltitudeCodes, ImpossibleHundredsCodeGivesMinus9999) {
    for (int c : {0, 5, 7}) EXPECT_EQ(GillhamFeet(0, 1, c, 0), -9999) << c;
    TSBSFlight t = NewTarget();
    EXPECT_EQ(AltitudeText(t, 0x0002, 13).view(), "-9999");  // B4 alone, no C pulse
}

TEST(AltitudeCodes, QBitTwentyFiveFootSteps) {
    struct Case {
        int field, width;
        const char* text;
    };
    const Case cases[] = {
        {0x0010, 13, ""},      // Q=1, n=0: -1000 ft means no altitude
        {0x0098, 13, "0"},     // n = 8 + 32 (AC bit 7 is n bit 5) = 40
        {0x0391, 13, "4625"},  // n = 225
        {0x0010, 12, ""},      // n = 0 in the 12-bit field too
        {0x0038, 12, "-400"},  // n = 8 + 16 (bit 5 is n bit 4): 24 * 25 - 1000
        {0x0290, 12, "7000"},  // n = 320
    };
    for (const Case& c : cases) {
        TSBSFlight t = NewTarget();
        EXPECT_EQ(AltitudeText(t, c.field, c.width).view(), c.text) << std::hex << c.field;
        EXPECT_EQ(t.altres, '0');
        EXPECT_EQ(t.altunit, '0');
    }
}

TEST(AltitudeCodes, ZeroAndMetricFieldsGiveEmptyTextAndTouchNothing) {
    TSBSFlight t = NewTarget();
    EXPECT_TRUE(AltitudeText(t, 0, 13).empty());
    EXPECT_TRUE(AltitudeText(t, 0, 12).empty());
    EXPECT_TRUE(AltitudeText(t, 0x0040 | 0x0010, 13).empty());  // M bit set
    EXPECT_EQ(t.altres, ' ');
    EXPECT_EQ(t.altunit, ' ');
}

TEST(AltitudeCodes, RealFrames) {
    // dump1090 decodes: DF 0 0x02A184999C5FE3 6425 ft; DF 17 ME 0x582903AB812C96 7000 ft.
    TSBSFlight t = NewTarget();
    EXPECT_EQ(AltitudeText(t, ((0x84 & 0x1F) << 8) | 0x99, 13).view(), "6425");
    EXPECT_EQ(AltitudeText(t, (0x29 << 4) | (0x03 >> 4), 12).view(), "7000");
}

TEST(AltitudeCodes, SquawkDigits) {
    // Identity field C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4 built from four octal digits.
    auto field = [](int a, int b, int c, int d) {
        auto bit = [](int v, int w) { return (v & w) ? 1 : 0; };
        return bit(c, 1) << 12 | bit(a, 1) << 11 | bit(c, 2) << 10 | bit(a, 2) << 9 |
               bit(c, 4) << 8 | bit(a, 4) << 7 | bit(b, 1) << 5 | bit(d, 1) << 4 | bit(b, 2) << 3 |
               bit(d, 2) << 2 | bit(b, 4) << 1 | bit(d, 4);
    };
    EXPECT_EQ(SquawkText(field(7, 7, 0, 0)).view(), "7700");
    EXPECT_EQ(SquawkText(field(1, 2, 3, 4)).view(), "1234");
    EXPECT_EQ(SquawkText(field(0, 0, 0, 0)).view(), "0000");
    EXPECT_EQ(SquawkText(0x1FFF).view(), "7777");
    // Real DF 5 reply 0x282018154A9D59, squawk 1017 in dump1090.
    EXPECT_EQ(SquawkText(((0x18 & 0x1F) << 8) | 0x15).view(), "1017");
}

}  // namespace
}  // namespace aerova
