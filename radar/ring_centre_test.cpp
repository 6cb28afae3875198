#include "radar/ring_centre.h"

#include <gtest/gtest.h>

#include <memory>

#include "radar/radar_view.h"

namespace aerova {
namespace {

TEST(RingCentreTest, TextFromTheSelectors) {
    struct Case {
        RingCentreSelectors s;
        const char* lat;
        const char* lon;
    } cases[] = {
        {{}, "53.5300", "010.1600"},  // settings defaults
        {{1, 33, 86, 5, 1, 70, 40, 99}, "-33.8605", "-070.4099"},
        {{0, 0, 0, 0, 0, 0, 0, 0}, "00.0000", "000.0000"},
        {{1, 89, 99, 99, 1, 179, 99, 99}, "-89.9999", "-179.9999"},
        {{5, 120, -3, 200, 7, 500, 100, -1}, "-89.0099", "-179.9900"},  // clamped indexes
    };
    for (const auto& c : cases) {
        RingCentre centre;
        centre.selectors = c.s;
        const RingCentreText text = ComputeRingCentreText(centre);
        EXPECT_EQ(text.lat, c.lat);
        EXPECT_EQ(text.lon, c.lon);
        EXPECT_FALSE(text.exact);
    }
}

TEST(RingCentreTest, ExactPositionWinsOverTheSelectors) {
    RingCentre centre;
    centre.dbllat = "53.63";
    centre.dbllong = "9.9881";
    centre.selectors.cblat1 = 12;
    RingCentreText text = ComputeRingCentreText(centre);
    EXPECT_EQ(text.lat, "53.63");
    EXPECT_EQ(text.lon, "9.9881");
    EXPECT_TRUE(text.exact);
    centre.selectors.cblong1 = 100;  // no effect
    EXPECT_EQ(ComputeRingCentreText(centre).lon, "9.9881");
    // Only one of them, or an unreadable one, is no exact position.
    centre.dbllong = "-9999";
    EXPECT_EQ(ComputeRingCentreText(centre).lat, "12.5300");
    centre.dbllong = "east";
    EXPECT_FALSE(ComputeRingCentreText(centre).exact);
}

TEST(RingCentreTest, SetRingCentreTruncatesToHundredths) {
    RadarView view;
    RingCentre centre;
    centre.selectors.cblat3 = 7;
    SetRingCentre(view, centre, 53.6399, -2.53);
    EXPECT_EQ(centre.selectors.cblat0, 0);
    EXPECT_EQ(centre.selectors.cblat1, 53);
    EXPECT_EQ(centre.selectors.cblat2, 63);
    EXPECT_EQ(centre.selectors.cblat3, 7);  // the second pair keeps its value
    EXPECT_EQ(centre.selectors.cblong0, 1);
    EXPECT_EQ(centre.selectors.cblong1, 2);
    EXPECT_EQ(centre.selectors.cblong2, 53);
    EXPECT_EQ(view.ringCentreLatText, "53.6307");
    EXPECT_EQ(view.ringCentreLonText, "-002.5300");
    const RingCentrePosition p = PublishedRingCentre(view);
    EXPECT_FLOAT_EQ(p.lat, 53.6307f);
    EXPECT_FLOAT_EQ(p.lon, -2.53f);

    SetRingCentre(view, centre, -90.0, 180.0);
    EXPECT_EQ(view.ringCentreLatText, "-89.9907");
    EXPECT_EQ(view.ringCentreLonText, "179.9900");
}

}  // namespace
}  // namespace aerova

namespace aerova {
namespace {

TEST(RingCentreTest, SelectorChangeResetsEveryBearing) {
    RadarView view;
    RingCentre centre;
    auto cache = std::make_unique<ScreenCache>();
    FromRadar(*cache, 3, 53.53, 10.16, 54.0, 10.16);
    ASSERT_EQ((*cache)[3].bearingText, "000");
    centre.selectors.cblong0 = 1;
    const RingCentrePosition p = RecomputeRingCentre(view, centre, *cache);
    EXPECT_EQ(view.ringCentreLonText, "-010.1600");
    EXPECT_FLOAT_EQ(p.lon, -10.16f);
    EXPECT_FLOAT_EQ(p.lat, 53.53f);
    EXPECT_EQ((*cache)[3].bearingText, "???");
    EXPECT_EQ((*cache)[3].distanceText, "????.?");
}

}  // namespace
}  // namespace aerova
