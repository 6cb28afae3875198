#include "radar/label_layout.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace aerova {
namespace {

TEST(LabelLayoutTest, DefaultsOfAMissingFile) {
    const LabelLayout layout = LoadLabelLayout("/nonexistent/aerova-labelman.ini");
    for (int page = 0; page < kLabelPages; ++page) {
        EXPECT_EQ(layout.kinds[page][0], (std::array<std::int32_t, 4>{0, 1, 2, 3}));
        EXPECT_EQ(layout.kinds[page][1], (std::array<std::int32_t, 4>{4, 5, 6, 7}));
        EXPECT_EQ(layout.kinds[page][2], (std::array<std::int32_t, 4>{8, 9, 10, 11}));
        EXPECT_EQ(layout.kinds[page][3], (std::array<std::int32_t, 4>{12, 13, 14, 15}));
    }
    EXPECT_EQ(layout.windowTop, 120);
    EXPECT_EQ(layout.windowLeft, 200);
    EXPECT_EQ(layout.activeTab, 0);
    EXPECT_EQ(layout.formats.altitude, 0);
    EXPECT_EQ(layout.formats.mach, 0);
}

TEST(LabelLayoutTest, ReadsSlotsAndFormatsWithoutRegardToCase) {
    const LabelLayout layout = ParseLabelLayout(
        "[Window]\nTop=33\n"
        "[LABELIDX]\nactivetab=2\n0-1-2=30\n6-3-3=73\n5-0-0=24\n2-0-1=oops\n"
        "[demo]\nALTITUDE=3\nreg=2\nmach=5\nttrack=1\nflightid=1\n");
    EXPECT_EQ(layout.windowTop, 33);
    EXPECT_EQ(layout.windowLeft, 200);
    EXPECT_EQ(layout.activeTab, 2);
    EXPECT_EQ(layout.kinds[0][1][2], 30);
    EXPECT_EQ(layout.kinds[6][3][3], 73);
    EXPECT_EQ(layout.kinds[5][0][0], 24);
    EXPECT_EQ(layout.kinds[2][0][1], 1);  // unreadable: the default
    EXPECT_EQ(layout.kinds[0][1][1], 5);
    EXPECT_EQ(layout.formats.altitude, 3);
    EXPECT_EQ(layout.formats.reg, 2);
    EXPECT_EQ(layout.formats.mach, 5);
    EXPECT_EQ(layout.formats.ttrack, 1);
    EXPECT_EQ(layout.formats.flightid, 1);
    EXPECT_EQ(layout.formats.squawk, 0);
}

TEST(LabelLayoutTest, SaveAndLoadAgain) {
    const auto dir = std::filesystem::path(testing::TempDir()) / "label_layout_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / kLabelFileName).string();
    std::filesystem::remove(path);
    LabelLayout layout;
    layout.kinds[3][2][1] = 42;
    layout.kinds[4][0][0] = 99;
    layout.formats.qnh = 3;
    layout.formats.peer = 1;
    layout.activeTab = 3;
    layout.windowLeft = 7;
    ASSERT_TRUE(SaveLabelLayout(layout, path));
    const LabelLayout back = LoadLabelLayout(path);
    EXPECT_EQ(back.kinds, layout.kinds);
    EXPECT_EQ(back.formats.qnh, 3);
    EXPECT_EQ(back.formats.peer, 1);
    EXPECT_EQ(back.activeTab, 3);
    EXPECT_EQ(back.windowLeft, 7);
    EXPECT_EQ(back.windowTop, 120);
    EXPECT_FALSE(SaveLabelLayout(layout, (dir / "missing" / "x.ini").string()));
}

}  // namespace
}  // namespace aerova
