#include "radar/screen_cache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace aerova {
namespace {

TEST(ScreenCacheTest, BearingTexts) {
    struct Case {
        double course;
        const char* text;
    } cases[] = {{0, "000"},   {5.4, "005"}, {45.5, "046"},         {359.4, "359"}, {359.5, "000"},
                 {360, "000"}, {361, "000"}, {std::nan(""), "000"}, {-1, "000"},    {123, "123"}};
    for (const auto& c : cases) EXPECT_EQ(BearingText(c.course), c.text) << c.course;
}

TEST(ScreenCacheTest, DistanceTexts) {
    struct Case {
        double nm;
        const char* text;
    } cases[] = {{0, "0.0"}, {65.46, "65.5"}, {999.95, "1000.0"}, {10800, "10800."}};
    for (const auto& c : cases) EXPECT_EQ(DistanceText(c.nm), c.text) << c.nm;
}

TEST(ScreenCacheTest, FromRadarFillsOneSlot) {
    auto cache = std::make_unique<ScreenCache>();
    FromRadar(*cache, 7, 53.5, 10.0, 54.5, 10.0);  // 60 NM north
    EXPECT_EQ((*cache)[7].distanceText, "60.0");
    EXPECT_EQ((*cache)[7].bearingText, "000");
    FromRadar(*cache, 8, 0.0, 0.0, 0.0, 1.0);  // a flight at latitude 0 keeps its texts
    EXPECT_EQ((*cache)[8].distanceText, "????.?");
    EXPECT_EQ((*cache)[8].bearingText, "???");
    FromRadar(*cache, 9, 10.0, 0.5, 10.0, 0.0);  // and at longitude 0
    EXPECT_EQ((*cache)[9].bearingText, "???");
    FromRadar(*cache, 10, 53.5, 10.0, 53.5, 11.0);
    EXPECT_EQ((*cache)[10].bearingText, "090");
    FromRadar(*cache, -1, 53.5, 10.0, 53.5, 11.0);    // ignored
    FromRadar(*cache, 2000, 53.5, 10.0, 53.5, 11.0);  // ignored
    ResetBearings(*cache);
    EXPECT_EQ((*cache)[7].distanceText, "????.?");
    EXPECT_EQ((*cache)[10].bearingText, "???");
}

TEST(ScreenCacheTest, LabelPositionFromTrack) {
    struct Case {
        double track;
        int position;
    } cases[] = {{0, 0},   {44, 0},  {45, 1},  {84, 1},  {85, 2},  {144, 2},
                 {184, 3}, {221, 4}, {267, 5}, {319, 6}, {320, 7}, {359, 7}};
    for (const auto& c : cases) EXPECT_EQ(LabelPositionFromTrack(c.track), c.position) << c.track;
}

}  // namespace
}  // namespace aerova
