#include "radar/overlay_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace aerova {
namespace {

const OverlayCommand* FindText(const std::vector<OverlayCommand>& plan, std::string_view text) {
    for (const auto& c : plan)
        if (c.kind == OverlayCommand::kText && c.text == text) return &c;
    return nullptr;
}

struct Fixture {
    RadarDisplayState display;
    ColourTable colours;
    OverlayInputs in;
    Fixture() {
        in.width = 1280;
        in.height = 1024;
        in.display = &display;
        in.colours = &colours;
        in.centreLat = 53.6f;
        in.centreLon = 10.0f;
        in.altitudeText = "Alt:  627.5 km";
        in.cycleMs = 1.5;
        in.utcNow = EncodeDateTime(2024, 5, 1, 12, 34, 56, 0);
        in.localNow = EncodeDateTime(2024, 5, 1, 14, 34, 56, 0);
    }
};

TEST(OverlayPlan, BearingReadoutQdm) {
    struct Case {
        const char* bearing;
        int variation;
        const char* expected;
    } cases[] = {
        {"180", 0, "QDM: 360\xB0/12.5"},   {"181", 0, "QDM: 001\xB0/12.5"},
        {"000", 0, "QDM: 180\xB0/12.5"},   {"170", 20, "QDM: 010\xB0/12.5"},
        {"005", -20, "QDM: 165\xB0/12.5"}, {"???", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BearingReadoutText(c.bearing, "12.5", c.variation), c.expected) << c.bearing;
}

TEST(OverlayPlan, BoxTextsAndInformationBlock) {
    EXPECT_EQ(SeparationBoxText(0), "----");
    EXPECT_EQ(SeparationBoxText(3), "3 NM");
    EXPECT_EQ(SeparationBoxText(10), "10NM");
    EXPECT_EQ(ViewCentreText(53.6f, 10.0f), "N53.60 E010.00");
    EXPECT_EQ(ViewCentreText(-5.25f, -120.5f), "S05.25 W120.50");

    Fixture fx;
    fx.in.freeze = true;
    const auto plan = PlanOverlays(fx.in);
    const OverlayCommand* clock = FindText(plan, "12:34:56 UTC - 14:34:56 LT");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->x0, 108);
    EXPECT_EQ(clock->y0, 1024 - 20);
    EXPECT_EQ(clock->sizeName, "12");
    const OverlayCommand* radar = FindText(plan, "<RADAR 1>");
    ASSERT_NE(radar, nullptr);
    EXPECT_EQ(radar->x0, 1280 - 6 * 9);
    EXPECT_EQ(radar->y0, 1024 - 23);
    const OverlayCommand* freeze = FindText(plan, "*** FREEZE ***");
    ASSERT_NE(freeze, nullptr);
    EXPECT_EQ(freeze->y0, 1024 - 63);
    EXPECT_NE(FindText(plan, "N53.60 E010.00"), nullptr);
    EXPECT_NE(FindText(plan, "----"), nullptr);
    EXPECT_NE(FindText(plan, "UNL"), nullptr);
    EXPECT_NE(FindText(plan, "GND"), nullptr);
    EXPECT_EQ(FindText(plan, "WND"), nullptr);
}

TEST(OverlayPlan, MetarLineModes) {
    Fixture fx;
    EXPECT_EQ(FindText(PlanOverlays(fx.in), "Loading WX data..."), nullptr);
    fx.display.metar = "Loading EDDH";
    const auto loading = PlanOverlays(fx.in);
    ASSERT_NE(FindText(loading, "Loading WX data..."), nullptr);
    fx.display.metar = "2024/05/01 EDDH 011220Z 27010KT 9999 FEW030 15/08 Q1013\nNOSIG";
    const auto plan = PlanOverlays(fx.in);
    const OverlayCommand* line =
        FindText(plan, "EDDH 011220Z 27010KT 9999 FEW030 15/08 Q1013 NOSIG");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->y0, 4);
    const OverlayCommand* qnh = FindText(plan, "1013");
    ASSERT_NE(qnh, nullptr);
    EXPECT_EQ(qnh->y0, 20);
    EXPECT_EQ(qnh->sizeName, "18");
    // A US report: "AUTO" comes before the altimeter group, which is what shows.
    fx.display.metar = "2024/05/01 12:51 KJFK 011251Z AUTO 18012KT 10SM A2992 RMK AO2";
    EXPECT_NE(FindText(PlanOverlays(fx.in), "2992"), nullptr);
    EXPECT_EQ(FindText(PlanOverlays(fx.in), "UTO 1"), nullptr);
}

TEST(OverlayPlan, HiddenOverlaysKeepTheStripMovedUpAndLeft) {
    Fixture fx;
    Tflight f;
    f.flightid = "DLH123";
    f.squawk = "7700";
    TargetScreenEntry entry;
    entry.bearingText = "090";
    entry.distanceText = "12.5";
    fx.in.stripFlight = &f;
    fx.in.stripEntry = &entry;
    const auto normal = PlanOverlays(fx.in);
    const OverlayCommand* id = FindText(normal, "DLH123");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->x0, 58);
    EXPECT_EQ(id->y0, 1024 - 43);

    fx.display.overlayHidden = true;
    const auto hidden = PlanOverlays(fx.in);
    id = FindText(hidden, "DLH123");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->x0, 58 - 51);
    EXPECT_EQ(id->y0, 1024 - 43 + 32);
    EXPECT_NE(FindText(hidden, "7700"), nullptr);
    EXPECT_EQ(FindText(hidden, "<RADAR 1>"), nullptr);  // hideable
    EXPECT_EQ(FindText(hidden, "----"), nullptr);
}

TEST(OverlayPlan, VesselStripShowsDimensionsAndShipType) {
    Fixture fx;
    Tflight f;
    f.vessel = true;
    f.flightid = "MAERSK";
    f.length = "300";
    f.width = "48";
    f.draught = "12";
    f.icaotype = "30";
    TargetScreenEntry entry;
    fx.in.stripFlight = &f;
    fx.in.stripEntry = &entry;
    EXPECT_NE(FindText(PlanOverlays(fx.in), "L300 W48 D12 {FISHING}"), nullptr);
    f.icaotype = "";
    EXPECT_NE(FindText(PlanOverlays(fx.in), "L300 W48 D12"), nullptr);
}

TEST(OverlayPlan, ClosestApproachBoxFilledInDistressOnConflict) {
    Fixture fx;
    fx.display.separation = 5;
    fx.in.pair.converging = true;
    fx.in.pair.conflict = true;
    fx.in.pair.minimumDistance = 2.04;
    fx.in.pair.currentDistance = 19.8;
    fx.in.pair.seconds = 99;
    fx.in.pair.labelA = "DLH1";
    fx.in.pair.labelB = "BAW2";
    fx.in.pair.levelA = "350=";
    fx.in.pair.levelB = "348-";
    fx.in.pair.closestApproachUtc = EncodeDateTime(2024, 5, 1, 12, 36, 35, 0);
    const auto plan = PlanOverlays(fx.in);
    EXPECT_NE(FindText(plan, "DLH1 [350=] - BAW2 [348-]"), nullptr);
    EXPECT_NE(FindText(plan, "Dist: 19.8 NM  Min: 2.0 NM"), nullptr);
    EXPECT_NE(FindText(plan, "TTG: 99 sec  EPT: 12:36:35"), nullptr);
    const bool distressFill = std::any_of(plan.begin(), plan.end(), [&](const OverlayCommand& c) {
        return c.kind == OverlayCommand::kFilledBox && c.x0 == 504 &&
               c.colour == fx.colours[kColDistress];
    });
    EXPECT_TRUE(distressFill);
    fx.in.pair.conflict = false;
    const auto calm = PlanOverlays(fx.in);
    EXPECT_TRUE(std::none_of(calm.begin(), calm.end(), [&](const OverlayCommand& c) {
        return c.kind == OverlayCommand::kFilledBox && c.colour == fx.colours[kColDistress];
    }));
}

}  // namespace
}  // namespace aerova
