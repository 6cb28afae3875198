#include "radar/map_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/strings.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

// "type:[lat/lon lat/lon] type:[...]" for every polyline, in type order.
std::string Describe(const MapData& data) {
    std::string text;
    for (int type = 1; type <= kLayerTypes; ++type) {
        for (const auto& polyline : data.outlines[static_cast<std::size_t>(type - 1)]) {
            if (!text.empty()) text += ' ';
            text += Concat({std::to_string(type), ":["});
            for (std::size_t i = 0; i < polyline.size(); ++i) {
                char point[64];
                std::snprintf(point, sizeof point, "%s%g/%g", i == 0 ? "" : " ",
                              static_cast<double>(polyline[i].lat),
                              static_cast<double>(polyline[i].lon));
                text += point;
            }
            text += ']';
        }
    }
    return text;
}

struct WaypointCase {
    const char* line;
    int type;  // 0: the line is skipped
    const char* name;
    const char* text;
    float lat, lon;
};

TEST(MapFileTest, WaypointLines) {
    const WaypointCase cases[] = {
        {"HAM,,2,,53.63,9.99", 2, "HAM", "", 53.63f, 9.99f},
        {"EDDH,Hamburg,2,x,53.63,9.99", 2, "EDDH", "Hamburg", 53.63f, 9.99f},
        {"  SYD,,30,, -33.9 , 151.2  ", 30, "SYD", "", -33.9f, 151.2f},
        {"\xC4HR\xD6,M\xFChle,15,,-1.5,-2.5", 15, "\xC4HR\xD6", "M\xFChle", -1.5f, -2.5f},
        {"BAD,,5,,53.6x,-9.9", 5, "BAD", "", 1.0f, -9.9f},
        {"ODD,,two,,10,20", 1, "ODD", "", 10.0f, 20.0f},  // unreadable type reads as 1
        {"NOLAT,,2,,,9.99", 0, "", "", 0, 0},
        {"NOLON,,2,,53.6", 0, "", "", 0, 0},
        {"BLANKLON,,2,,53.6, ", 0, "", "", 0, 0},
        {"NOTYPE,,,,53.6,9.9", 0, "", "", 0, 0},
        {"T31,,31,,53.6,9.9", 0, "", "", 0, 0},
        {"T0,,0,,53.6,9.9", 0, "", "", 0, 0},
        {"; A,,1,,1,1", 0, "", "", 0, 0},
        {"{A,,1,,1,1", 0, "", "", 0, 0},
    };
    for (const WaypointCase& c : cases) {
        SCOPED_TRACE(c.line);
        MapData data;
        ParseWaypointFile(c.line, data);
        std::size_t total = 0;
        for (const auto& list : data.waypoints) total += list.size();
        if (c.type == 0) {
            EXPECT_EQ(total, 0u);
            continue;
        }
        ASSERT_EQ(total, 1u);
        const auto& list = data.waypoints[static_cast<std::size_t>(c.type - 1)];
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].name, c.name);
        EXPECT_EQ(list[0].text, c.text);
        EXPECT_FLOAT_EQ(list[0].lat, c.lat);
        EXPECT_FLOAT_EQ(list[0].lon, c.lon);
    }
}

TEST(MapFileTest, WaypointFileKeepsLineOrderAcrossLineEndings) {
    MapData data;
    ParseWaypointFile("; header\r\n{ x\r\n\r\nA,,1,,1,2\r\nB,,3,,3,4\rC,,1,,5,6", data);
    ASSERT_EQ(data.waypoints[0].size(), 2u);
    EXPECT_EQ(data.waypoints[0][0].name, "A");
    EXPECT_EQ(data.waypoints[0][1].name, "C");
    ASSERT_EQ(data.waypoints[2].size(), 1u);
    EXPECT_EQ(data.waypoints[2][0].name, "B");
}

struct OutlineCase {
    const char* what;
    const char* file;
    const char* polylines;
};

TEST(MapFileTest, OutlineFiles) {
    const OutlineCase cases[] = {
        {"header without case", "$type=3\n53.5+9.95, 53.6+10.0\n-1\n", "3:[53.5/9.95 53.6/10]"},
        {"two-digit type", "$TYPE=12\n1+2, 3+4\n-1\n$TYPE=30 coast\n5+6, 7+8\n-1",
         "12:[1/2 3/4] 30:[5/6 7/8]"},
        {"strip over several lines", "$TYPE=1\n50+1, 50+2\n51+3\n; note\n52+4, 53+5\n-1\n",
         "1:[50/1 50/2 51/3 52/4 53/5]"},
        {"-1 inside a line", "$TYPE=2\n50+1, 51+2, -1, 60+1, 61+2\n-1",
         "2:[50/1 51/2] 2:[60/1 61/2]"},
        {"any separator", "$TYPE=2\n50+1; 51+2x 52+3\n53+4,  54+5\n-1",
         "2:[50/1 51/2 52/3 53/4 54/5]"},
        {"negative coordinates", "$TYPE=4\n-33.5+-70.25, -34+-71\n-1", "4:[-33.5/-70.25 -34/-71]"},
        {"token without +", "$TYPE=4\n50+1, 51, 52+3\n-1", "4:[50/1 52/3]"},
        {"unreadable reads as 1", "$TYPE=4\n53.5x+10.0, 54+11y\n-1", "4:[1/10 54/1]"},
        {"other lines in a section", "$TYPE=9\n50+1, 51+2\nname: coast\n52+3\n-1",
         "9:[50/1 51/2 52/3]"},
        {"open at next section and file end", "$TYPE=5\n50+1, 51+2\n$TYPE=6\n60+1, 61+2",
         "5:[50/1 51/2] 6:[60/1 61/2]"},
        {"new section of the same type", "$TYPE=5\n50+1, 51+2\n$TYPE=5\n52+3, 53+4\n-1",
         "5:[50/1 51/2] 5:[52/3 53/4]"},
        {"single point dropped", "$TYPE=8\n50+1\n-1\n51+2, 52+3, -1, 54+5\n-1", "8:[51/2 52/3]"},
        {"outside valid sections",
         "50+1, 51+2\n$TYPE=31\n50+1, 51+2\n$TYPE=0\n1+1, 2+2\n$TYPE=\n3+3, 4+4", ""},
        {"comments and CR LF", "{ map }\r\n$TYPE=7\r\n; x\r\n1+2, 3+4\r\n-1\r\n", "7:[1/2 3/4]"},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(c.what);
        MapData data;
        ParseOutlineFile(c.file, data);
        EXPECT_EQ(Describe(data), c.polylines);
    }
}

TEST(MapFileTest, OutlineSectionEndsWithItsFile) {
    MapData data;
    ParseOutlineFile("$TYPE=1\n50+1, 51+2", data);
    ParseOutlineFile("52+3, 53+4\n-1", data);  // no section of its own
    EXPECT_EQ(Describe(data), "1:[50/1 51/2]");
}

TEST(MapFileTest, MapFoldersLeaveOutTheStationsOwn) {
    testing::TempDir dir;
    for (const char* file : {"aerova-logs/x", "AEROVA-Img/x", "UserData/x", "nomap/x", ".git/HEAD",
                             "Outlines/a.out", "b/x", "A/x", "plain.txt"}) {
        dir.Write(file, "");
    }
    EXPECT_EQ(MapFolders(dir.path()), (std::vector<std::string>{"A", "b", "Outlines"}));
    EXPECT_TRUE(MapFolders(dir.File("missing")).empty());

    EXPECT_TRUE(MapFolderDefault("Waypoints"));
    EXPECT_TRUE(MapFolderDefault("outlines"));
    EXPECT_FALSE(MapFolderDefault("Europe"));
}

TEST(MapFileTest, MapFilesMatchTheExtensionWithoutCase) {
    testing::TempDir dir;
    for (const char* file :
         {"m/b.WPT", "m/a.wpt", "m/C.Wpt", "m/d.wpt.bak", "m/e.out", "m/xwpt", "m/sub.wpt/x"}) {
        dir.Write(file, "");
    }
    const std::string folder = dir.File("m");
    EXPECT_EQ(MapFilesIn(folder, ".wpt"),
              (std::vector<std::string>{Concat({folder, "/a.wpt"}), Concat({folder, "/b.WPT"}),
                                        Concat({folder, "/C.Wpt"})}));
    EXPECT_EQ(MapFilesIn(folder, ".OUT"), (std::vector<std::string>{Concat({folder, "/e.out"})}));
}

TEST(MapFileTest, LoadGoesOnPastAnUnreadableFile) {
    testing::TempDir dir;
    dir.Write("Outlines/a.out", "$TYPE=1\n50+1, 51+2\n-1\n");
    dir.Write("Outlines/c.out", "$TYPE=1\n60+1, 61+2\n-1\n");
    dir.Write("Outlines/d.out/x", "");  // a directory is not a map file
    std::filesystem::create_symlink(dir.File("gone.out"), dir.File("Outlines/b.out"));
    dir.Write("Waypoints/x.wpt", "X,,2,,1,2\n");
    dir.Write("Waypoints/y.WPT", "Y,,2,,3,4\n");
    dir.Write("Outlines/w.wpt", "W,,2,,5,6\n");
    dir.Write("Extra/z.wpt", "Z,,2,,7,8\n");  // not enabled

    std::vector<std::string> statuses;
    const MapData data = LoadMapData(dir.path(), {"Waypoints", "Outlines"},
                                     [&](const std::string& s) { statuses.push_back(s); });
    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "Loading waypoints... Waypoints", "Loading waypoints... Outlines",
                            "Loading outlines... Waypoints", "Loading outlines... Outlines"}));
    EXPECT_EQ(Describe(data), "1:[50/1 51/2] 1:[60/1 61/2]");
    std::string names;
    for (const Waypoint& w : data.waypoints[1]) names += w.name;
    EXPECT_EQ(names, "XYW");
    EXPECT_EQ(data.errors, (std::vector<std::string>{
                               Concat({"Cannot read the map file ", dir.File("Outlines/b.out")})}));
    EXPECT_EQ(TotalPoints(data), 7u);
}

TEST(MapFileTest, NameTableCutsNamesToFiveInTypeOrder) {
    MapData data;
    ParseWaypointFile("HAMBURG,Hamburg,2,,53.5,10\nAB,,1,,1,2\n,,1,,3,4\nABCDE,,30,,5,6", data);
    const std::vector<WaypointName> table = WaypointNameTable(data);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_STREQ(table[0].name, "AB");
    EXPECT_STREQ(table[1].name, "");
    EXPECT_STREQ(table[2].name, "HAMBU");
    EXPECT_FLOAT_EQ(table[2].lat, 53.5f);
    EXPECT_FLOAT_EQ(table[2].lon, 10.0f);
    EXPECT_STREQ(table[3].name, "ABCDE");

    data.waypoints[4].assign(kWaypointNames, Waypoint{"N", "", 0, 0});
    EXPECT_EQ(WaypointNameTable(data).size(), kWaypointNames);
}

}  // namespace
}  // namespace aerova
