#include "radar/great_circle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace aerova {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(GreatCircleTest, DistanceAndCourseOfKnownPairs) {
    struct Case {
        double lat1, lon1, lat2, lon2, nm, course;
    } cases[] = {
        {0, 0, 1, 0, 60, 360},  // due north reads 360 (the bearing text makes it 000)
        {0, 0, 0, 1, 60, 90},   // one degree east at the equator
        {0, 0, -1, 0, 60, 180},
        {0, 0, 0, -1, 60, 270},
        {10, 179.5, 10, -179.5, 59.088, 89.913},  // across the date line, north of east
        // Los Angeles to New York (aviation formulary example): 2144 NM, 66 degrees.
        {33.95, -118.4, 40.6333, -73.7833, 2144.0, 65.89},
    };
    for (const auto& c : cases) {
        const DistanceCourse dc = DistanceAndCourse(c.lat1, c.lon1, c.lat2, c.lon2);
        EXPECT_NEAR(dc.distanceNm, c.nm, 0.5) << c.lat2 << " " << c.lon2;
        EXPECT_NEAR(dc.courseDeg, c.course, 0.05) << c.lat2 << " " << c.lon2;
    }
}

TEST(GreatCircleTest, SamePointAndPoles) {
    const DistanceCourse same = DistanceAndCourse(53.5, 10.0, 53.5, 10.0);
    EXPECT_EQ(same.distanceNm, 0);
    EXPECT_EQ(same.courseDeg, 0);
    EXPECT_DOUBLE_EQ(InitialCourse(90, 0, 10, 20), kPi);
    EXPECT_DOUBLE_EQ(InitialCourse(-90, 0, 10, 20), 2 * kPi);
    // Due north and due south over short distances: the course cosine rounds past 1.
    struct Case {
        double lat1, lat2, course;
    } meridian[] = {
        {53.53, 54.0, 360}, {53.53, 53.55, 360}, {54.0, 53.53, 180}, {-10, -10.001, 180}};
    for (const auto& c : meridian) {
        const DistanceCourse dc = DistanceAndCourse(c.lat1, 10.16, c.lat2, 10.16);
        // acos is ill-conditioned near 1: a tenth of a degree is what the bearing needs.
        EXPECT_NEAR(dc.courseDeg, c.course, 0.1) << c.lat1 << " " << c.lat2;
        EXPECT_NEAR(dc.distanceNm, std::fabs(c.lat2 - c.lat1) * 60, 1e-6);
    }
    // Nearly the same point: the cosine rounds past 1, the distance is still found.
    const double d = GreatCircleDistance(53.5, 10.0, 53.5, 10.0000001);
    EXPECT_GE(d, 0.0);
    EXPECT_LT(d, 1e-8);
}

TEST(GreatCircleTest, DestinationPointRoundTrip) {
    struct Case {
        double lat, lon, course, nm, lat2, lon2;
    } cases[] = {
        {0, 0, 0, 60, 1, 0},
        {0, 0, 90, 60, 0, 1},
        {0, 179.5, 90, 60, 0, -179.5},  // across the date line, east positive
        {53.5, 10, 270, 0, 53.5, 10},
    };
    for (const auto& c : cases) {
        const GeoPosition p = DestinationPoint(c.lat, c.lon, c.course, c.nm);
        EXPECT_NEAR(p.lat, c.lat2, 1e-9);
        EXPECT_NEAR(p.lon, c.lon2, 1e-9);
    }
    const GeoPosition p = DestinationPoint(53.5, 10, 123, 250);
    const DistanceCourse back = DistanceAndCourse(53.5, 10, p.lat, p.lon);
    EXPECT_NEAR(back.distanceNm, 250, 1e-6);
    EXPECT_NEAR(back.courseDeg, 123, 1e-6);
}

TEST(GreatCircleTest, FailuresAreNegative) {
    EXPECT_EQ(GreatCircleDistance(std::nan(""), 0, 1, 1), -1.0);
    EXPECT_EQ(InitialCourse(10, 0, std::nan(""), 1), -1.0);
    const DistanceCourse dc = DistanceAndCourse(10, 0, std::nan(""), 1);
    EXPECT_LT(dc.distanceNm, 0);
    EXPECT_LT(dc.courseDeg, 0);
}

}  // namespace
}  // namespace aerova
