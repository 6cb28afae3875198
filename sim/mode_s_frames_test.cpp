#include "sim/mode_s_frames.h"

#include <gtest/gtest.h>

#include <cmath>

#include "receiver/decoder_test_support.h"

namespace aerova::sim {
namespace {

using aerova::testing::NewTarget;
using aerova::testing::Replay;

std::string Hex(const Frame& f) {
    std::string t = FrameText(f);
    return t.substr(1, t.size() - 2);
}

double Num(const auto& field) {
    return std::strtod(field.str().c_str(), nullptr);
}

TEST(SimFrames, ParityMatchesRealFrames) {
    // Recorded DF 17 and DF 11 frames whose last three bytes are their parity.
    for (const char* hex :
         {"8D4249B5582903AB812C967242E2", "8D42426320554074DF08207B587D", "5F4001594B0FBB"}) {
        auto b = aerova::testing::Bytes(hex);
        std::uint32_t parity = (b[b.size() - 3] << 16) | (b[b.size() - 2] << 8) | b[b.size() - 1];
        // DF 11 carries the interrogator code in the low 7 bits of its parity field.
        std::uint32_t mask = b.size() == 7 ? 0xFFFF80 : 0xFFFFFF;
        EXPECT_EQ((ModeSCrc(b.data(), b.size() - 3) ^ parity) & mask, 0u) << hex;
    }
    EXPECT_EQ(FrameText({0x5F, 0x40, 0x01}), "*5F4001;");
}

TEST(SimFrames, AltitudeIdentityAndMovementCodesDecode) {
    // -1000 ft (n = 0) means "no altitude", so the lowest altitude sent is -975 ft.
    for (int feet = -975; feet <= 50000; feet += 25) {
        TSBSFlight t = NewTarget();
        std::string want = std::to_string(feet);
        ASSERT_EQ(AltitudeText(t, AcAltitudeField(feet), 13).view(), want);
        ASSERT_EQ(AltitudeText(t, PositionAltitudeField(feet), 12).view(), want);
    }
    for (int code = 0; code < 4096; ++code) {
        int squawk =
            1000 * (code >> 9) + 100 * ((code >> 6) & 7) + 10 * ((code >> 3) & 7) + (code & 7);
        char want[5];
        std::snprintf(want, sizeof want, "%04d", squawk);
        ASSERT_EQ(SquawkText(IdentityField(squawk)).view(), want);
    }
    // Decoded surface speeds are the lower ends of the movement bands.
    const double speeds[][2] = {{0, 0},     {0.5, 1}, {1.5, 2},   {7.3, 7},  {15, 15},
                                {42.6, 42}, {71, 70}, {120, 120}, {200, 175}};
    for (auto [knots, decoded] : speeds) {
        TSBSFlight t = NewTarget();
        Me me = SurfacePositionMe(6, knots, 45, 0, {1, 1});
        DecodeExtendedSquitter(t, 0x8C, me, DecoderReference());
        EXPECT_EQ(Num(t.gspeed), decoded) << knots;
    }
}

TEST(SimFrames, ExtendedSquittersDecodeBack) {
    Replay replay;
    SetDecoderHome(replay.ref, 48.0, -3.0);
    TSBSFlight* t =
        replay.Feed(Hex(ExtendedSquitter(0x3C4B2A, 5, IdentificationMe(4, 3, "DLH4AB"))));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->icao.view(), "3C4B2A");
    EXPECT_EQ(t->callsign.view(), "DLH4AB  ");
    EXPECT_EQ(t->category, '3');
    EXPECT_EQ(t->classmark, '\'');

    // An even/odd pair west of Greenwich.
    replay.Feed(Hex(ExtendedSquitter(
        0x3C4B2A, 5, AirbornePositionMe(11, 36000, 0, EncodeCpr(47.5, -4.2, 0, false)))));
    replay.Feed(Hex(ExtendedSquitter(
        0x3C4B2A, 5, AirbornePositionMe(11, 36025, 1, EncodeCpr(47.501, -4.201, 1, false)))));
    EXPECT_EQ(t->altitude.view(), "36025");
    EXPECT_EQ(t->cprstate, 3);
    EXPECT_NEAR(Num(t->lat), 47.501, 0.0001);
    EXPECT_NEAR(Num(t->lon), -4.201, 0.0001);

    replay.Feed(Hex(ExtendedSquitter(0x3C4B2A, 5, GroundVelocityMe(450, 250, -1200))));
    EXPECT_EQ(t->gspeed.view(), "450");
    EXPECT_EQ(t->track.view(), "250");
    EXPECT_EQ(t->vrate.view(), "-1216");  // 64 ft/min steps
    replay.Feed(Hex(ExtendedSquitter(0x3C4B2A, 5, AirspeedVelocityMe(251.5, 462, 0))));
    EXPECT_EQ(t->heading.view(), "251");
    EXPECT_EQ(t->tas.view(), "462");
    EXPECT_EQ(t->vrate.view(), "0");

    Replay ground;
    SetDecoderHome(ground.ref, 48.0, -3.0);
    TSBSFlight* v = ground.Feed(Hex(ExtendedSquitter(
        0x3C0001, 4, SurfacePositionMe(6, 20, 135, 1, EncodeCpr(48.001, -3.002, 1, true)))));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->onground, '1');
    EXPECT_EQ(v->gspeed.view(), "20");
    EXPECT_EQ(v->track.view(), "135");
    EXPECT_NEAR(Num(v->lat), 48.001, 0.0001);
    EXPECT_NEAR(Num(v->lon), -3.002, 0.0001);
}

TEST(SimFrames, RepliesCarryTheAddressInTheirParity) {
    Replay replay;
    EXPECT_EQ(replay.Feed(Hex(SurveillanceReply(4, 0, 0x4840D6, AcAltitudeField(12000)))),
              nullptr);  // unknown yet
    TSBSFlight* t = replay.Feed(Hex(AllCallReply(0x4840D6, 5)));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->icao.view(), "4840D6");
    EXPECT_EQ(replay.Feed(Hex(SurveillanceReply(4, 0, 0x4840D6, AcAltitudeField(12000)))), t);
    EXPECT_EQ(t->altitude.view(), "12000");
    EXPECT_EQ(replay.Feed(Hex(SurveillanceReply(5, 0, 0x4840D6, IdentityField(7421)))), t);
    EXPECT_EQ(t->squawk.view(), "7421");

    EXPECT_EQ(replay.Feed(
                  Hex(CommBReply(20, 0, 0x4840D6, AcAltitudeField(12100), Register20("KLM1023")))),
              t);
    EXPECT_EQ(t->callsign.view(), "KLM1023 ");
    EXPECT_EQ(t->altitude.view(), "12100");
    replay.Feed(Hex(CommBReply(21, 0, 0x4840D6, IdentityField(7421), Register40(15000, 1013.2))));
    EXPECT_EQ(t->block40, 1);
    EXPECT_EQ(t->selalt.view(), "150");
    EXPECT_EQ(t->baro.view(), "1013");
    EXPECT_EQ(t->modes40, '0');
    t->gspeed = "300";
    replay.Feed(Hex(CommBReply(20, 0, 0x4840D6, AcAltitudeField(12100),
                               Register50(-20.2, 95, 301, -1.5, 300))));
    EXPECT_EQ(t->block50, 1);
    // Left roll and rate: the two's complement fields plus 180 (160), shown "<20" and "<15".
    EXPECT_EQ(t->roll.view(), "250");
    EXPECT_EQ(t->trackrate.view(), "305");
    EXPECT_EQ(t->tas.view(), "300");
    replay.Feed(Hex(
        CommBReply(20, 0, 0x4840D6, AcAltitudeField(12100), Register60(93.4, 251, 0.52, 1500))));
    EXPECT_EQ(t->block60, 1);
    EXPECT_EQ(t->heading.view(), "93");
    EXPECT_EQ(t->ias.view(), "251");
    EXPECT_EQ(t->mach.view(), "520");
}

}  // namespace
}  // namespace aerova::sim
