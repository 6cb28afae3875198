#include "sim/traffic_simulator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "receiver/decoder_test_support.h"

namespace aerova::sim {
namespace {

using aerova::testing::Replay;

constexpr DayTime kStart = 46000.5;  // any UTC day number
constexpr DayTime kSecond = 1.0 / 86400.0;

double Num(const auto& field) {
    return std::strtod(field.str().c_str(), nullptr);
}

std::string Hex(const std::string& text) {
    return text.substr(1, text.size() - 2);
}

TEST(TrafficSimulator, FrameRateAndCatchUpLimit) {
    SimOptions o;
    o.framesPerSecond = 1000;
    TrafficSimulator sim(o);
    EXPECT_TRUE(sim.FramesDue(kStart).empty());
    std::size_t total = 0;
    for (int k = 1; k <= 40; ++k) total += sim.FramesDue(kStart + k * 0.25 * kSecond).size();
    EXPECT_EQ(total, 10000u);
    // A pause of a minute is made up for with at most 5 seconds of frames.
    EXPECT_EQ(sim.FramesDue(kStart + 70 * kSecond).size(), 5000u);
    EXPECT_TRUE(sim.FramesDue(kStart + 69 * kSecond).empty());  // a clock stepping back
}

TEST(TrafficSimulator, DeterministicForASeed) {
    SimOptions o;
    o.seed = 7;
    TrafficSimulator a(o), b(o);
    o.seed = 8;
    TrafficSimulator c(o);
    for (TrafficSimulator* s : {&a, &b, &c}) s->FramesDue(kStart);
    auto fa = a.FramesDue(kStart + 2 * kSecond);
    EXPECT_EQ(fa, b.FramesDue(kStart + 2 * kSecond));
    EXPECT_NE(fa, c.FramesDue(kStart + 2 * kSecond));
    ASSERT_EQ(fa.size(), 800u);
    for (const std::string& f : fa) {
        ASSERT_TRUE(f.size() == 16 || f.size() == 30) << f;
        EXPECT_EQ(f.front(), '*');
        EXPECT_EQ(f.back(), ';');
    }
}

TEST(TrafficSimulator, OptionsAreBounded) {
    SimOptions o;
    o.aircraft = 5000;
    o.vehicles = -1;
    o.framesPerSecond = 1e9;
    TrafficSimulator sim(o);
    EXPECT_EQ(sim.objects().size(), 2000u);
    EXPECT_EQ(sim.options().framesPerSecond, 20000);
}

// Simulator frames decoded by the decoder: every aircraft and vehicle appears with its call
// sign, altitude, squawk and a position within 0.01 degree of the one it last sent.
TEST(TrafficSimulator, TwoHundredAircraftRoundTrip) {
    SimOptions o;
    o.homelat = 59.80;
    o.homelon = 30.26;
    o.aircraft = 200;
    o.vehicles = 4;
    o.framesPerSecond = 4000;
    o.seed = 2026;
    TrafficSimulator sim(o);
    Replay replay;
    SetDecoderHome(replay.ref, o.homelat, o.homelon);
    sim.FramesDue(kStart);
    std::size_t frames = 0, dropped = 0;
    for (int k = 1; k <= 60; ++k)
        for (const std::string& f : sim.FramesDue(kStart + k * 0.5 * kSecond)) {
            ++frames;
            if (!replay.Feed(Hex(f))) ++dropped;
        }
    EXPECT_EQ(frames, 120000u);
    // Only address/parity replies sent before the aircraft's first squitter or all-call.
    EXPECT_LT(dropped, 300u);
    ASSERT_EQ(replay.targets.size(), 204u);
    int block50 = 0, block60 = 0, block40 = 0;
    for (const SimObject& a : sim.objects()) {
        auto it = replay.targets.find(aerova::testing::Hex6(a.icao));
        ASSERT_NE(it, replay.targets.end()) << a.callsign;
        const TSBSFlight& t = it->second;
        std::string callsign = a.callsign + std::string(8 - a.callsign.size(), ' ');
        EXPECT_EQ(t.callsign.view(), callsign);
        ASSERT_TRUE(a.sentPosition);
        ASSERT_FALSE(t.lat.empty()) << a.callsign;
        EXPECT_NEAR(Num(t.lat), a.sentLat, 0.01) << a.callsign;
        EXPECT_NEAR(Num(t.lon), a.sentLon, 0.01) << a.callsign;
        if (a.ground) {
            EXPECT_EQ(t.onground, '1');
            EXPECT_EQ(t.classmark, 'v');
            continue;
        }
        EXPECT_EQ(t.cprstate, 3) << a.callsign;
        EXPECT_NEAR(Num(t.altitude), a.feet, 100) << a.callsign;
        char squawk[5];
        std::snprintf(squawk, sizeof squawk, "%04d", a.squawk);
        EXPECT_EQ(t.squawk.view(), squawk);
        EXPECT_NEAR(Num(t.gspeed), a.knots, 2) << a.callsign;
        block40 += t.block40;
        block50 += t.block50;
        block60 += t.block60;
    }
    // Every aircraft's Comm-B replies pass their register tests.
    EXPECT_EQ(block40, 200);
    EXPECT_EQ(block50, 200);
    EXPECT_EQ(block60, 200);
}

}  // namespace
}  // namespace aerova::sim
