#include "radar/projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/flight.h"
#include "radar/radar_view.h"

namespace aerova {
namespace {

RadarView ViewAt(float lat, float lon, float d) {
    RadarView view;
    SetView(view, lat, lon, d);
    return view;
}

TEST(ProjectionTest, PerspectiveMatchesGluPerspective) {
    const Matrix4 p = PerspectiveMatrix(60, 1.25, 1, 5000);
    const double f = 1.0 / std::tan(30.0 * 3.14159265358979323846 / 180.0);
    EXPECT_DOUBLE_EQ(p[0], f / 1.25);
    EXPECT_DOUBLE_EQ(p[5], f);
    EXPECT_DOUBLE_EQ(p[10], -5001.0 / 4999.0);
    EXPECT_DOUBLE_EQ(p[11], -1.0);
    EXPECT_DOUBLE_EQ(p[14], -10000.0 / 4999.0);
    EXPECT_DOUBLE_EQ(p[15], 0.0);
}

TEST(ProjectionTest, FrameMatricesForTheView) {
    const RadarView view = ViewAt(53.6f, 10.0f, 7000.0f);
    const FrameProjection frame = ViewProjection(view, 1280, 1024);
    EXPECT_EQ(frame.viewport, (std::array<int, 4>{0, 0, 1280, 1024}));
    // Far plane at cameraDistance - 2000: z_ndc = 1 there.
    const double n = 1, f = 5000;
    EXPECT_DOUBLE_EQ(frame.projection[10], (f + n) / (n - f));
    EXPECT_DOUBLE_EQ(frame.projection[14], 2 * f * n / (n - f));
    // Translation by -cameraDistance along z.
    EXPECT_NEAR(frame.modelview[14], -7000.0, 1e-9);
}

TEST(ProjectionTest, ViewCentreLandsInTheMiddleOfThePanel) {
    struct Case {
        float lat, lon, d;
    } cases[] = {
        {53.6f, 10.0f, 7000}, {-33.9f, 151.2f, 6400}, {0, -179.9f, 42372.5f}, {89.9f, 0, 15000}};
    for (const auto& c : cases) {
        const FrameProjection frame = ViewProjection(ViewAt(c.lat, c.lon, c.d), 1280, 1024);
        const ModelPoint centre = GeoToModel(c.lat, c.lon, 0);
        const auto win = Project(centre, frame);
        ASSERT_TRUE(win.has_value());
        EXPECT_NEAR(win->x, 640.0, 0.05) << c.lat << " " << c.lon;
        EXPECT_NEAR(win->y, 512.0, 0.05);
        const auto pixel = TargetPixel(c.lat, c.lon, frame);
        ASSERT_TRUE(pixel.has_value());
        EXPECT_EQ(pixel->x, 640);
        EXPECT_EQ(pixel->y, 512);
    }
}

TEST(ProjectionTest, NorthIsUpAndEastIsRight) {
    const FrameProjection frame = ViewProjection(ViewAt(50, 10, 7000), 1000, 1000);
    const auto north = TargetPixel(51, 10, frame);
    const auto east = TargetPixel(50, 11.5f, frame);
    ASSERT_TRUE(north && east);
    EXPECT_EQ(north->x, 500);
    EXPECT_GT(north->y, 500);
    EXPECT_GT(east->x, 500);
    // Camera height 629 km, 60 degree view: one degree north (60 NM, 111 km) at
    // 500 / tan(30) * 111 / 629 = about 153 pixels above the centre.
    EXPECT_NEAR(north->y - 500, 153, 3);
}

TEST(ProjectionTest, InvisibleBeyondTheFarPlaneOrTheEdges) {
    const FrameProjection frame = ViewProjection(ViewAt(50, 10, 7000), 800, 600);
    // The antipode lies far beyond the far plane.
    EXPECT_FALSE(TargetPixel(-50, -170, frame).has_value());
    // 30 degrees away: behind the horizon, beyond the far plane.
    EXPECT_FALSE(TargetPixel(50, 60, frame).has_value());
    // Well outside the picture to the east but in front of the globe.
    EXPECT_FALSE(TargetPixel(50, 25, frame).has_value());
    EXPECT_TRUE(TargetPixel(50, 12, frame).has_value());
    // Project itself does not clip.
    EXPECT_TRUE(Project(GeoToModel(50, 25, 0), frame).has_value());
}

TEST(ProjectionTest, FollowedFlightMovesTheView) {
    RadarView view = ViewAt(50, 10, 7000);
    Tflight flight;
    flight.deleted = false;
    flight.free = false;
    flight.nopos = false;
    flight.latf = 47.25f;
    flight.lonf = 8.5f;
    const FrameProjection frame = BeginFrameProjection(view, 640, 480, &flight);
    EXPECT_FLOAT_EQ(view.centreLat, 47.25f);
    EXPECT_FLOAT_EQ(view.targetLon, 8.5f);
    const auto pixel = TargetPixel(47.25f, 8.5f, frame);
    ASSERT_TRUE(pixel);
    EXPECT_EQ(pixel->x, 320);
    EXPECT_EQ(pixel->y, 240);

    // Without a position the view stays where it is.
    flight.nopos = true;
    flight.latf = 0;
    flight.lonf = 0;
    BeginFrameProjection(view, 640, 480, &flight);
    EXPECT_FLOAT_EQ(view.centreLat, 47.25f);
    BeginFrameProjection(view, 640, 480, nullptr);
    EXPECT_FLOAT_EQ(view.centreLon, 8.5f);
}

TEST(ProjectionTest, PixelProjectionIsOneUnitPerPixel) {
    const Matrix4 ortho = PixelProjection(800, 600);
    const auto p = Project(ModelPoint{100, 50, 0}, IdentityMatrix(), ortho, {0, 0, 800, 600});
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->x, 100, 1e-9);
    EXPECT_NEAR(p->y, 50, 1e-9);
}

}  // namespace
}  // namespace aerova
