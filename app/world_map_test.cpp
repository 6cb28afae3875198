#include "app/world_map.h"

#include <gtest/gtest.h>

#include <string>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

std::string ShippedMap() {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(JoinPath(AEROVA_SOURCE_DIR, "maps/outlines/world.out"), content));
    return content;
}

// A fresh station gets the map built into the program, byte for byte the file in maps/: its
// shorelines and borders as polylines of "lat+lon" points in range, several thousand of them.
TEST(WorldMapTest, AFreshStationGetsTheBuiltInMap) {
    const testing::TempDir dir;
    const std::string station = dir.File("station");  // created on the way
    ASSERT_TRUE(InstallWorldMap(station));

    std::string installed;
    ASSERT_TRUE(ReadWholeFile(JoinPath(station, "outlines/world.out"), installed));
    EXPECT_EQ(installed, ShippedMap());

    int type = 0, points = 0, badPoints = 0;
    int polylines[5] = {};
    for (const std::string& line : ReadLines(JoinPath(station, "outlines/world.out"))) {
        if (line.empty() || line[0] == ';') continue;
        if (StartsText("$TYPE=", line)) {
            type = std::stoi(line.substr(6, 2));
        } else if (line == "-1") {
            if (type == 3 || type == 4) ++polylines[type];
        } else {
            for (const std::string& token : Split(line, ',')) {
                const std::string point = Trim(token);
                const std::size_t plus = point.find('+');
                ++points;
                if (plus == std::string::npos) {
                    ++badPoints;
                    continue;
                }
                const double lat = std::stod(point.substr(0, plus));
                const double lon = std::stod(point.substr(plus + 1));
                if (lat < -90 || lat > 90 || lon < -180 || lon > 180) ++badPoints;
            }
        }
    }
    EXPECT_GE(polylines[3], 1000) << "coast";
    EXPECT_GE(polylines[4], 300) << "borders";
    EXPECT_GE(points, 20000);
    EXPECT_EQ(badPoints, 0);

    // Now the station has an outlines folder: a second start leaves it alone.
    EXPECT_FALSE(InstallWorldMap(station));
}

// A station that already ran (it has its settings file) gets no map: its user may have
// deleted it.
TEST(WorldMapTest, AStationThatRanBeforeGetsNoMap) {
    const testing::TempDir dir;
    dir.Write("aerovas.ini", "[mapfolders]\r\n");
    EXPECT_FALSE(InstallWorldMap(dir.path()));
    EXPECT_FALSE(DirectoryExists(dir.File("outlines")));
}

// An outlines folder of the user's, in any case, is left as it is.
TEST(WorldMapTest, AnOutlinesFolderInAnyCaseIsLeftAlone) {
    const testing::TempDir dir;
    dir.Write("Outlines/coast.out", "$TYPE=03\n");
    EXPECT_FALSE(InstallWorldMap(dir.path()));
    EXPECT_FALSE(DirectoryExists(dir.File("outlines")));
    EXPECT_FALSE(FileExists(dir.File("Outlines/world.out")));
}

}  // namespace
}  // namespace aerova
