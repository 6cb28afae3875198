#include "receiver/cpr.h"

#include <gtest/gtest.h>

#include <cmath>

#include "receiver/decoder_test_support.h"

namespace aerova {
namespace {

using testing::EncodeCpr;

TEST(Cpr, NlTransitionsMatchTheIcaoTable) {
    // Transition latitudes as tabulated in DO-260B A.1.7.2.d.
    struct Case {
        double below;  // NL just below the transition is `nl`, just above it nl - 1
        int nl;
    };
    const Case cases[] = {{10.47047130, 59}, {14.82817437, 58}, {44.19454951, 43},
                          {59.95459277, 30}, {86.53536998, 3},  {87.00000000, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(NL(c.below - 1e-6), c.nl) << c.below;
        EXPECT_EQ(NL(c.below + 1e-6), c.nl - 1) << c.below;
        EXPECT_EQ(NL(-(c.below - 1e-6)), c.nl) << c.below;
    }
    EXPECT_EQ(NL(0.0), 59);
    EXPECT_EQ(NL(90.0), 1);
    EXPECT_EQ(NL(91.0), 1);
    EXPECT_EQ(NL(std::nan("")), 1);
}

TEST(Cpr, SetDecoderHomeDerivesTolerances) {
    DecoderReference ref;
    EXPECT_DOUBLE_EQ(ref.homelat, 53.53333);
    EXPECT_DOUBLE_EQ(ref.homelon, 10.16667);
    SetDecoderHome(ref, 60.0, -5.0);
    EXPECT_NEAR(ref.tolwide, 9.0, 1e-12);
    EXPECT_NEAR(ref.tolclose, 4.0, 1e-12);
    EXPECT_NEAR(ref.tolpair, 0.2, 1e-12);
    EXPECT_EQ(ref.homelon, -5.0);
}

// The worked example of "The 1090 Megahertz Riddle": 8D40621D58C382D690C8AC2863A7 (even)
// and 8D40621D58C386435CC412692AD6 (odd).
TEST(Cpr, GlobalWorkedExample) {
    DecoderReference ref;
    auto even = CprGlobal(ref, 93000, 74158, 51372, 50194, false);
    ASSERT_TRUE(even);
    EXPECT_NEAR(even->lat, 52.2572021484375, 1e-12);
    EXPECT_NEAR(even->lon, 3.91937255859375, 1e-12);
    auto odd = CprGlobal(ref, 93000, 74158, 51372, 50194, true);
    ASSERT_TRUE(odd);
    EXPECT_NEAR(odd->lat, 52.26578017412606, 1e-9);
    EXPECT_NEAR(odd->lon, 3.938912527901786, 1e-9);
}

TEST(Cpr, LocalWorkedExample) {
    auto p = CprLocal(93000, 51372, 0, 52.258, 3.918);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->lat, 52.2572021484375, 1e-12);
    EXPECT_NEAR(p->lon, 3.91937255859375, 1e-12);
}

TEST(Cpr, SurfaceWorkedExample) {
    // 8C4841753A9A153237AEF0F275BE, odd, receiver near 51.990 N 4.375 E; the expected
    // values come from a separate floating-point implementation of the same formulas.
    auto p = CprSurface(39195, 110320, 1, 51.990, 4.375);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->lat, 52.32056051997815, 1e-9);
    EXPECT_NEAR(p->lon, 4.735735212053572, 1e-9);
    EXPECT_FALSE(CprSurface(0, 0, 0, 51.990, 4.375));
    EXPECT_TRUE(CprSurface(0, 5, 0, 51.990, 4.375));
}

// A surface fix can only be trusted near the reference: one farther than 45 NM away is
// refused, nearer ones decode as before.
TEST(Cpr, SurfaceFixFarFromTheReceiverIsRefused) {
    struct Case {
        double lat, lon;  // the target; the receiver is at 52.3 N 4.7 E
        bool accepted;
    } cases[] = {
        {52.3, 4.7, true},  {52.9, 4.7, true},
        {52.3, 5.8, true},  {53.0, 5.9, false},  // 42 NM north and 44 NM east: 61 NM
        {51.6, 3.5, false},
    };
    for (const Case& c : cases) {
        for (int f = 0; f < 2; ++f) {
            const auto code = testing::EncodeCpr(c.lat, c.lon, f, true);
            const auto p = CprSurface(code.yz, code.xz, f, 52.3, 4.7);
            EXPECT_EQ(p.has_value(), c.accepted) << c.lat << " " << c.lon << " f" << f;
            if (p && c.accepted) {
                EXPECT_NEAR(p->lat, c.lat, 1e-4);
                EXPECT_NEAR(p->lon, c.lon, 1e-4);
            }
        }
    }
    EXPECT_NEAR(DistanceNm(52.3, 4.7, 53.3, 4.7), 60.04, 0.01);
}

TEST(Cpr, RoundTripsAroundTheGlobe) {
    // Each position is encoded in both formats and decoded globally (either half newest)
    // and locally; southern latitudes exercise the "270 or more" fold, western longitudes
    // the fold at 180.
    const CprPosition places[] = {{59.80, 30.26}, {-33.9, 151.2},  {0.001, -0.001},
                                  {51.5, -5.0},   {-70.0, -120.0}, {85.0, 170.0},
                                  {-0.5, 179.9},  {10.0, -179.95}};
    for (const CprPosition& at : places) {
        DecoderReference ref;
        SetDecoderHome(ref, at.lat, at.lon);
        auto e = EncodeCpr(at.lat, at.lon, 0), o = EncodeCpr(at.lat, at.lon, 1);
        for (bool oddRecent : {false, true}) {
            auto p = CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, oddRecent);
            ASSERT_TRUE(p) << at.lat << " " << at.lon;
            EXPECT_NEAR(p->lat, at.lat, 0.0002) << at.lat << " " << at.lon;
            // Within half a longitude step: 360 / (NL - 1) / 2^17 / 2 degrees near the pole.
            EXPECT_NEAR(p->lon, at.lon, 0.0005) << at.lat << " " << at.lon;
        }
        for (int i : {0, 1}) {
            auto c = i ? o : e;
            auto p = CprLocal(c.yz, c.xz, i, at.lat + 1.0, at.lon - 1.5);
            ASSERT_TRUE(p);
            EXPECT_NEAR(p->lat, at.lat, 0.0002);
            EXPECT_NEAR(std::remainder(p->lon - at.lon, 360.0), 0.0, 0.0005);
        }
    }
}

TEST(Cpr, FiveDegreesWestIsNegative) {
    DecoderReference ref;
    SetDecoderHome(ref, 50.0, -4.0);
    auto e = EncodeCpr(50.2, -5.0, 0), o = EncodeCpr(50.2, -5.0, 1);
    auto p = CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, true);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->lon, -5.0, 0.0003);
}

TEST(Cpr, GlobalFailures) {
    DecoderReference ref;
    EXPECT_FALSE(CprGlobal(ref, 0, 74158, 51372, 50194, false));
    EXPECT_FALSE(CprGlobal(ref, 93000, 74158, 0, 50194, false));
    EXPECT_FALSE(CprGlobal(ref, 93000, 0, 51372, 0, false));
    EXPECT_FALSE(CprGlobal(ref, 93000, 74158, 51372, 131072, false));  // not a 17-bit value
    // Without a time limit between the halves the agreement tests are all that guards a
    // pair, and they hardly ever fail: a wrong zone index shifts both halves alike. Halves
    // 0.3 degree apart agree on a position near 34 N, halves 0.15 degree of longitude apart
    // on one near 6 W. The CPR state machine therefore also requires a global fix to lie
    // in its tracking area around the receiver.
    auto e = EncodeCpr(52.0, 4.0, 0), o = EncodeCpr(52.3, 4.0, 1);
    auto wild = CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, true);
    ASSERT_TRUE(wild);
    EXPECT_NEAR(wild->lat, 33.9949, 0.001);
    o = EncodeCpr(52.0, 4.15, 1);
    wild = CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, true);
    ASSERT_TRUE(wild);
    EXPECT_NEAR(wild->lon, -6.1357, 0.001);
    // Halves on either side of the 43/42 zone boundary at 44.19454951 N.
    e = EncodeCpr(44.1940, 4.0, 0);
    o = EncodeCpr(44.1950, 4.0, 1);
    EXPECT_FALSE(CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, true));
    e = EncodeCpr(44.1940, 4.0, 0);
    o = EncodeCpr(44.1941, 4.0, 1);
    EXPECT_TRUE(CprGlobal(ref, e.yz, o.yz, e.xz, o.xz, true));
}

TEST(Cpr, ExtremeValuesNeverGiveNaN) {
    DecoderReference ref;
    const int values[] = {1, 2, 65536, 131070, 131071};
    for (int a : values)
        for (int b : values)
            for (int c : values)
                for (bool odd : {false, true}) {
                    if (auto p = CprGlobal(ref, a, b, c, values[4] - c + 1, odd)) {
                        EXPECT_TRUE(std::isfinite(p->lat) && std::isfinite(p->lon));
                        EXPECT_LE(std::fabs(p->lat), 90.0);
                        EXPECT_LT(p->lon, 180.0);
                        EXPECT_GE(p->lon, -180.0);
                    }
                    if (auto l = CprLocal(a, b, odd, 89.9, -179.9)) {
                        EXPECT_TRUE(std::isfinite(l->lat) && std::isfinite(l->lon));
                        EXPECT_LE(l->lat, 90.0);
                    }
                    if (auto s = CprSurface(a, c, odd, -89.9, 179.9)) {
                        EXPECT_TRUE(std::isfinite(s->lat) && std::isfinite(s->lon));
                        EXPECT_GE(s->lat, -90.0);
                    }
                }
    // A reference 0.1 degree from the pole and a zone that would put the target beyond it.
    EXPECT_FALSE(CprLocal(1, 5, 0, 89.9, 5));
    EXPECT_TRUE(CprLocal(65536, 5, 0, 89.9, 5));
    EXPECT_FALSE(CprSurface(131071, 5, 0, -89.9, 5));
    EXPECT_FALSE(CprLocal(0, 5, 0, 50, 5));
    EXPECT_FALSE(CprLocal(5, 0, 0, 50, 5));
    EXPECT_FALSE(CprLocal(5, 5, 0, std::nan(""), 5));
}

}  // namespace
}  // namespace aerova
