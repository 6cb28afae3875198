#include "radar/radar_view.h"

#include <gtest/gtest.h>

#include "core/flight_table.h"

namespace aerova {
namespace {

RadarView ViewAt(float lat, float lon, float d) {
    RadarView view;
    SetView(view, lat, lon, d);
    return view;
}

TEST(RadarViewTest, FreshViewsOfBothWindows) {
    const RadarView one = MakeRadarView(1);
    const RadarView two = MakeRadarView(2);
    EXPECT_FLOAT_EQ(one.cameraDistance, 7000.0f);
    EXPECT_FLOAT_EQ(two.cameraDistance, 15000.0f);
    EXPECT_FLOAT_EQ(two.targetDistance, 15000.0f);
    EXPECT_FLOAT_EQ(one.centreLat, 53.6f);
    EXPECT_FLOAT_EQ(one.centreLon, 10.0f);
    EXPECT_FLOAT_EQ(one.maxDistance, 42372.5f);
    EXPECT_FLOAT_EQ(one.dragRadius, 6373.0f);
    EXPECT_FLOAT_EQ(two.zoomReference, 7000.0f);
    EXPECT_EQ(CameraAltitudeText(one), "Alt:  627.5 km");
    EXPECT_EQ(CameraAltitudeText(two), "Alt: 8627.5 km");
}

TEST(RadarViewTest, WheelZoomStepsAndLimits) {
    struct Case {
        float d;
        int delta;
        float expected;
    } cases[] = {
        {6379.0f, 120, 6379.6f},    // 0.005 km per unit
        {6450.0f, -120, 6444.0f},   // 0.05
        {6900.0f, 120, 6924.0f},    // 0.2
        {7500.0f, -120, 7320.0f},   // 1.5
        {8500.0f, 120, 8860.0f},    // 3
        {20000.0f, 120, 20720.0f},  // 6
        {42300.0f, 120, 42372.5f},  // out beyond the limit
        {6373.0f, -120, 6372.5f},   // in beyond the surface
        {42372.5f, 1200, 42372.5f},
    };
    for (const auto& c : cases) {
        RadarView view = ViewAt(50, 8, c.d);
        ZoomByWheel(view, c.delta);
        EXPECT_FLOAT_EQ(view.cameraDistance, c.expected) << c.d << " " << c.delta;
        EXPECT_FLOAT_EQ(view.targetDistance, c.expected);
        EXPECT_FLOAT_EQ(view.zoomReference, c.expected);
    }
}

TEST(RadarViewTest, KeyZoomStepsAndLimits) {
    struct Case {
        float d;
        ZoomDirection dir;
        float expected;
    } cases[] = {
        {6379.0f, ZoomDirection::Out, 6380.0f}, {6390.0f, ZoomDirection::In, 6385.0f},
        {6450.0f, ZoomDirection::In, 6440.0f},  {6900.0f, ZoomDirection::Out, 6950.0f},
        {7000.0f, ZoomDirection::Out, 7200.0f}, {42300.0f, ZoomDirection::Out, 42372.5f},
        {6373.5f, ZoomDirection::In, 6373.0f},  {6373.0f, ZoomDirection::In, 6373.0f},
    };
    for (const auto& c : cases) {
        RadarView view = ViewAt(50, 8, c.d);
        ZoomStep(view, c.dir);
        EXPECT_FLOAT_EQ(view.cameraDistance, c.expected) << c.d;
        EXPECT_FLOAT_EQ(view.targetDistance, c.expected);
        EXPECT_FLOAT_EQ(view.zoomReference, c.expected);
    }
}

TEST(RadarViewTest, KeyPanWrapsAndClamps) {
    struct Case {
        float lat, lon, d;
        PanDirection dir;
        float expectedLat, expectedLon;
    } cases[] = {
        {50, 179.9f, 7000, PanDirection::Right, 50, -180},
        {50, -179.9f, 7000, PanDirection::Left, 50, 180},
        {50, 175, 7000, PanDirection::Right, 50, 180},  // exactly 180 stays
        {88, 0, 8000, PanDirection::Up, 90, 0},
        {-88, 0, 8000, PanDirection::Down, -90, 0},
        {50, 10, 6379, PanDirection::Up, 50.01f, 10},
        {50, 10, 6399, PanDirection::Left, 50, 9.95f},
        {50, 10, 6499, PanDirection::Down, 49.9f, 10},
        {50, 10, 6999, PanDirection::Right, 50, 10.5f},
    };
    for (const auto& c : cases) {
        RadarView view = ViewAt(c.lat, c.lon, c.d);
        PanStep(view, c.dir);
        EXPECT_FLOAT_EQ(view.centreLat, c.expectedLat);
        EXPECT_FLOAT_EQ(view.centreLon, c.expectedLon);
        EXPECT_FLOAT_EQ(view.targetLat, c.expectedLat);
        EXPECT_FLOAT_EQ(view.targetLon, c.expectedLon);
    }
}

TEST(RadarViewTest, DragMovesTheTargetOnlyWithTheGain) {
    struct Case {
        float d;
        float divisor;
    } cases[] = {{6376, 5000}, {6390, 2000}, {6450, 500}, {6550, 240},
                 {6650, 120},  {6900, 60},   {7500, 30},  {9000, 4}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(DragDivisor(c.d), c.divisor) << c.d;

    RadarView view = ViewAt(50, 10, 7500);
    view.zoomReference = 6373.0f * 2;  // gain 4
    DragPan(view, 15, -30);            // right and up on the screen
    EXPECT_FLOAT_EQ(view.centreLon, 10);
    EXPECT_FLOAT_EQ(view.targetLon, 10 - 4.0f * 15 / 30);
    EXPECT_FLOAT_EQ(view.targetLat, 50 - 4.0f * 30 / 30);
    EXPECT_FLOAT_EQ(view.targetDistance, 7500);
    EXPECT_TRUE(ApplyViewTimer(view));
    EXPECT_FLOAT_EQ(view.centreLon, 8);
    EXPECT_FLOAT_EQ(view.centreLat, 46);
    EXPECT_FALSE(ApplyViewTimer(view));
}

TEST(RadarViewTest, DragNeverLeavesTheGlobe) {
    RadarView view = ViewAt(89, 179.5f, 9000);
    DragPan(view, -10, 100);  // gain (7000/6373)^2, divisor 4
    EXPECT_FLOAT_EQ(view.targetLat, 90);
    EXPECT_FLOAT_EQ(view.targetLon, -180);
    view = ViewAt(-89, -179.5f, 9000);
    DragPan(view, 10, -100);
    EXPECT_FLOAT_EQ(view.targetLat, -90);
    EXPECT_FLOAT_EQ(view.targetLon, 180);
}

TEST(RadarViewTest, CentreOnPixel) {
    RadarView view = ViewAt(60, 10, 6372.5f + 190.0f);  // k = 1
    CentreOnPixel(view, 600, 300, 1000, 800);           // 100 right, 100 up of the centre
    EXPECT_NEAR(view.centreLat, 60.2f, 1e-4);
    EXPECT_NEAR(view.centreLon, 10.0 + 0.2 / 0.5, 1e-4);  // cos 60 = 0.5
    EXPECT_FLOAT_EQ(view.targetLat, view.centreLat);
    EXPECT_FLOAT_EQ(view.targetLon, view.centreLon);
    EXPECT_FALSE(ApplyViewTimer(view));

    // At the pole the longitude is kept and the latitude stays on the globe.
    view = ViewAt(90, 10, 42372.5f);
    CentreOnPixel(view, 1000, 0, 1000, 800);
    EXPECT_FLOAT_EQ(view.centreLat, 90);
    EXPECT_FLOAT_EQ(view.centreLon, 10);
}

TEST(RadarViewTest, SavedViewRestoresAndClearsSelection) {
    SavedView slot;
    WindowTargetMarks marks;
    marks.selected = 4;
    marks.followed = 4;
    marks.highlighted = 7;
    RadarView view = ViewAt(1, 2, 8000);
    EXPECT_FALSE(RestoreView(view, marks, slot));
    EXPECT_FLOAT_EQ(view.centreLat, 1);
    EXPECT_EQ(marks.selected, 4);

    SaveView(slot, ViewAt(48, 11, 6500));
    EXPECT_TRUE(RestoreView(view, marks, slot));
    EXPECT_FLOAT_EQ(view.centreLat, 48);
    EXPECT_FLOAT_EQ(view.targetLon, 11);
    EXPECT_FLOAT_EQ(view.targetDistance, 6500);
    EXPECT_EQ(marks.selected, -1);
    EXPECT_EQ(marks.followed, -1);
    EXPECT_EQ(marks.highlighted, 7);
}

}  // namespace
}  // namespace aerova
