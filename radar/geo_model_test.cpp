#include "radar/geo_model.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(GeoModelTest, AxesOfTheSphere) {
    struct Case {
        float lat, lon, h;
        ModelPoint expected;
    } cases[] = {
        {0, 0, 0, {0, 0, 6371}},     {90, 0, 0, {0, 6371, 0}},   {0, 90, 0, {6371, 0, 0}},
        {0, -90, 10, {-6381, 0, 0}}, {0, 180, 0, {0, 0, -6371}},
    };
    for (const auto& c : cases) {
        const ModelPoint p = GeoToModel(c.lat, c.lon, c.h);
        EXPECT_NEAR(p.x, c.expected.x, 0.01f);
        EXPECT_NEAR(p.y, c.expected.y, 0.01f);
        EXPECT_NEAR(p.z, c.expected.z, 0.01f);
    }
}

}  // namespace
}  // namespace aerova
