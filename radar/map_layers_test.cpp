#include "radar/map_layers.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(MapLayersTest, SettingsRenameTypesAndNotesAnnotateThem) {
    LayerNames names, notes;
    names.outlines[1] = "Aerodrome";  // type 2
    names.waypoints[0] = "***";       // no name: the built-in one stays
    notes.outlines[1] = "EDDH";
    notes.waypoints[29] = "club";
    const MapLayerLists lists = ComposeLayerLists(names, notes);
    EXPECT_EQ(lists.outlines[0], "OUTLINES");
    EXPECT_EQ(lists.outlines[1], "(1) General");
    EXPECT_EQ(lists.outlines[2], "(2) Aerodrome [EDDH]");
    EXPECT_EQ(lists.outlines[30], "(30) User6");
    EXPECT_EQ(lists.waypoints[1], "(1) General");
    EXPECT_EQ(lists.waypoints[15], "(15) Airfield");
    EXPECT_EQ(lists.waypoints[30], "(30) User15 [club]");
    EXPECT_EQ(BuiltInLayerLists().waypoints[3], "(3) VOR");
}

}  // namespace
}  // namespace aerova
