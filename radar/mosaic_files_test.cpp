#include "radar/mosaic_files.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "radar/radar_view.h"

namespace aerova {
namespace {

// Four corners of a 400 x 300 picture from 54.5 N 9.25 W to 53.875 N 8.0 W.
const std::string kCorners =
    "Point00,xy,0,0,in,deg,54,0.5,N,9,0.25,W\r\n"
    "Point01,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r\n"
    "Point02,xy,0,300,in,deg,53,0.875,N,9,0.25,W\r\n"
    "Point03,xy,400,300,in,deg,53,0.875,N,8,0.0,W\r\n";

std::string ReplaceLine(const std::string& text, int line, const std::string& with) {
    std::vector<std::string> lines = Split(text, '\n');
    lines[line] = with;
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += i ? Concat({"\n", lines[i]}) : lines[i];
    return out;
}

TEST(Calibration, WritesAndReadsTheFileFormat) {
    const std::vector<CalibrationPoint> corners = {
        {0, 0, 54.5, -9.25}, {400, 0, 54.5, -8.0}, {0, 300, 53.875, -9.25}, {400, 300, 53.875, -8}};
    EXPECT_EQ(CalibrationText(corners), kCorners);
    EXPECT_EQ(ParseCalibration(kCorners), corners);

    // Southern and eastern hemispheres, fractions with nine decimals and one that rounds up
    // into the whole degree.
    const std::vector<CalibrationPoint> south = {{0, 0, -33.123456789, 151.000000001},
                                                 {10, 0, -0.0, 179.9999999999},
                                                 {0, 5, -90, 180},
                                                 {10, 5, 12.1, -0.5}};
    const std::string text = CalibrationText(south);
    EXPECT_EQ(text,
              "Point00,xy,0,0,in,deg,33,0.123456789,S,151,0.000000001,E\r\n"
              "Point01,xy,10,0,in,deg,0,0.0,N,180,0.0,E\r\n"
              "Point02,xy,0,5,in,deg,90,0.0,S,180,0.0,E\r\n"
              "Point03,xy,10,5,in,deg,12,0.1,N,0,0.5,W\r\n");
    const auto read = ParseCalibration(text);
    ASSERT_TRUE(read);
    for (std::size_t i = 0; i < south.size(); ++i) {
        EXPECT_NEAR((*read)[i].lat, south[i].lat, 1e-9) << i;
        EXPECT_NEAR((*read)[i].lon, south[i].lon, 1e-9) << i;
    }
    EXPECT_EQ(CalibrationText(*read), text);

    // LF endings, no final line end, and points in any order are read by their indexes.
    std::string shuffled = ReplaceAll(kCorners, "\r\n", "\n");
    shuffled.pop_back();
    const std::vector<std::string> lines = Split(shuffled, '\n');
    shuffled = Concat({lines[3], "\n", lines[1], "\n", lines[0], "\n", lines[2]});
    EXPECT_EQ(ParseCalibration(shuffled), corners);
}

TEST(Calibration, AnythingMalformedMakesTheWholeFileInvalid) {
    const struct {
        int line;
        std::string with;
    } cases[] = {
        {1, "Point1,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r"},       // index of one digit
        {1, "Pt0001,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r"},       // not "Point"
        {1, "point01,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r"},      // case of "Point"
        {1, "Point0a,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r"},      // index not a number
        {1, "Point01,yx,400,0,in,deg,54,0.5,N,8,0.0,W\r"},      // "xy"
        {1, "Point01,xy,400,0,at,deg,54,0.5,N,8,0.0,W\r"},      // "in"
        {1, "Point01,xy,400,0,in,rad,54,0.5,N,8,0.0,W\r"},      // "deg"
        {1, "Point01,xy,65536,0,in,deg,54,0.5,N,8,0.0,W\r"},    // x too large
        {1, "Point01,xy,400,-1,in,deg,54,0.5,N,8,0.0,W\r"},     // y negative
        {1, "Point01,xy, 400,0,in,deg,54,0.5,N,8,0.0,W\r"},     // a blank
        {1, "Point01,xy,400,0,in,deg,91,0.0,N,8,0.0,W\r"},      // latitude degrees
        {1, "Point01,xy,400,0,in,deg,90,0.5,N,8,0.0,W\r"},      // latitude past the pole
        {1, "Point01,xy,400,0,in,deg,54,1.0,N,8,0.0,W\r"},      // fraction of 1
        {1, "Point01,xy,400,0,in,deg,54,0.5.1,N,8,0.0,W\r"},    // two points
        {1, "Point01,xy,400,0,in,deg,54,,N,8,0.0,W\r"},         // no fraction
        {1, "Point01,xy,400,0,in,deg,54,-0.5,N,8,0.0,W\r"},     // signed fraction
        {1, "Point01,xy,400,0,in,deg,54,5e-1,N,8,0.0,W\r"},     // exponent
        {1, "Point01,xy,400,0,in,deg,54,0.5,n,8,0.0,W\r"},      // hemisphere letter case
        {1, "Point01,xy,400,0,in,deg,54,0.5,E,8,0.0,W\r"},      // longitude letter for latitude
        {1, "Point01,xy,400,0,in,deg,54,0.5,N,181,0.0,W\r"},    // longitude degrees
        {1, "Point01,xy,400,0,in,deg,54,0.5,N,180,0.1,W\r"},    // past the date line
        {1, "Point01,xy,400,0,in,deg,54,0.5,N,8,0.0,S\r"},      // latitude letter for longitude
        {1, "Point01,xy,400,0,in,deg,54,0.5,N,8,0.0\r"},        // eleven fields
        {1, "Point01,xy,400,0,in,deg,54,0.5,N,8,0.0,W,\r"},     // thirteen fields
        {1, "Point00,xy,400,0,in,deg,54,0.5,N,8,0.0,W\r"},      // index used twice
        {3, "Point04,xy,400,300,in,deg,53,0.875,N,8,0.0,W\r"},  // index 03 left out
        {3, "Point99,xy,400,300,in,deg,53,0.875,N,8,0.0,W\r"},  // beyond 99 points
        {1, "\r"},                                              // a blank line
    };
    ASSERT_TRUE(ParseCalibration(ReplaceLine(kCorners, 1,
                                             "Point01,xy,400,0,in,deg,54,0.5,N,8,"
                                             "0.0,W\r")));
    for (const auto& c : cases) {
        EXPECT_FALSE(ParseCalibration(ReplaceLine(kCorners, c.line, c.with))) << c.with;
    }
    // Three points are too few.
    EXPECT_FALSE(ParseCalibration(kCorners.substr(0, kCorners.rfind("Point03"))));
    EXPECT_FALSE(ParseCalibration(""));
}

TEST(MosaicMesh, RowsOfVertexPairsFromTheTopRow) {
    // A 3 x 3 grid numbered row by row.
    const std::vector<CalibrationPoint> grid = AutoCalibration(50, 48, 6, 10, 200, 100, 2);
    const auto mesh = BuildMosaicMesh(grid);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->columns, 3);
    EXPECT_EQ(mesh->rows, 3);
    EXPECT_EQ(mesh->maxX, 200);
    EXPECT_EQ(mesh->maxY, 100);
    ASSERT_EQ(mesh->strips.size(), 2u);
    const int order[2][6] = {{0, 3, 1, 4, 2, 5}, {3, 6, 4, 7, 5, 8}};
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(mesh->strips[s].size(), 6u);
        for (int v = 0; v < 6; ++v) EXPECT_EQ(mesh->strips[s][v], grid[order[s][v]]) << s << v;
    }
    EXPECT_EQ(MosaicTextureCoordinates(*mesh, grid[0]), (std::array<double, 2>{0.0, 1.0}));
    EXPECT_EQ(MosaicTextureCoordinates(*mesh, grid[5]), (std::array<double, 2>{1.0, 0.5}));
    EXPECT_DOUBLE_EQ(MosaicHeightKm(0), -0.5);
    EXPECT_DOUBLE_EQ(MosaicHeightKm(2), -0.6);

    std::vector<CalibrationPoint> ragged = grid;
    ragged.pop_back();  // 8 points in rows of 3
    std::vector<CalibrationPoint> crooked = grid;
    crooked[4].y += 1;  // the middle row's points differ in y
    std::vector<CalibrationPoint> flat(grid.begin(), grid.begin() + 3);
    flat.push_back(flat.back());  // one row of four
    std::vector<CalibrationPoint> column = {grid[0], grid[3], grid[6], grid[6]};
    column[3].y += 10;  // rows of one point
    std::vector<CalibrationPoint> noWidth = {grid[0], grid[0], grid[3], grid[3]};
    for (auto& p : noWidth) p.x = 0;
    for (const auto* points : {&ragged, &crooked, &flat, &column, &noWidth}) {
        EXPECT_FALSE(BuildMosaicMesh(*points)) << CalibrationText(*points);
    }
}

TEST(MosaicAutoCalibration, EveryGridPointComputedFromItsIndex) {
    // Spans that do not divide evenly into binary fractions.
    const double north = 54.3, south = 53.1, west = 9.7, east = 10.3;
    const int width = 1023, height = 767;
    for (const int q : {1, 2, 4, 8}) {
        const auto points = AutoCalibration(north, south, west, east, width, height, q);
        ASSERT_EQ(points.size(), static_cast<std::size_t>((q + 1) * (q + 1))) << q;
        for (int i = 0; i <= q; ++i) {
            for (int j = 0; j <= q; ++j) {
                const CalibrationPoint& p = points[i * (q + 1) + j];
                EXPECT_NEAR(p.lat, north - i * (north - south) / q, 1e-12);
                EXPECT_NEAR(p.lon, west + j * (east - west) / q, 1e-12);
                EXPECT_EQ(p.x, std::lround(static_cast<double>(j) * width / q));
                EXPECT_EQ(p.y, std::lround(static_cast<double>(i) * height / q));
            }
        }
        EXPECT_EQ(points.back(), (CalibrationPoint{width, height, south, east}));
        EXPECT_EQ(ParseCalibration(CalibrationText(points))->size(), points.size());
        EXPECT_TRUE(BuildMosaicMesh(points));
    }
    const std::string high =
        CalibrationText(AutoCalibration(north, south, west, east, width, height, 8));
    const std::string last = "Point80,xy,1023,767,in,deg,53,0.1,N,10,0.3,E\r\n";
    EXPECT_EQ(high.rfind(last), high.size() - last.size());
    EXPECT_EQ(high.find("Point81"), std::string::npos);
    EXPECT_TRUE(AutoCalibration(north, south, west, east, width, height, 0).empty());
    EXPECT_TRUE(AutoCalibration(north, south, west, east, width, height, 9).empty());
}

TEST(MosaicArea, FromTheViewAndIntoTheGetMapRequest) {
    RadarView view;
    SetView(view, 60.0f, -10.0f, 6372.5f + 190.0f);  // k = 1
    const MosaicArea area = AreaOfView(view, 800, 600);
    EXPECT_NEAR(area.north, 60.6, 1e-9);
    EXPECT_NEAR(area.south, 59.4, 1e-9);
    EXPECT_NEAR(area.west, -11.6, 1e-9);  // 0.8 degrees / cos 60
    EXPECT_NEAR(area.east, -8.4, 1e-9);
    EXPECT_EQ(area.width, 800);
    EXPECT_EQ(area.height, 600);
    EXPECT_TRUE(AreaIsOnGlobe(area));
    EXPECT_EQ(GetMapRequest("http://maps.example/wms?", area, "global_mosaic", "visual"),
              "http://maps.example/wms?request=GetMap&width=800&height=600&layers=global_mosaic"
              "&styles=visual&srs=EPSG:4326&format=image/jpeg&bbox=-11.6,59.4,-8.4,60.6");
    const MosaicArea tiny{0.0000004, -0.0000004, -0.00000049, 179.1234567, 1, 2};
    EXPECT_EQ(GetMapRequest("http://h/wms?map=x&", tiny, "a b", ""),
              "http://h/wms?map=x&request=GetMap&width=1&height=2&layers=a%20b&styles="
              "&srs=EPSG:4326&format=image/jpeg&bbox=0,0,179.123457,0");

    // A far view reaches beyond the globe.
    SetView(view, 60.0f, -10.0f, 20000.0f);
    EXPECT_FALSE(AreaIsOnGlobe(AreaOfView(view, 800, 600)));
    const MosaicArea off[] = {
        {91, 0, 0, 1, 10, 10},   {1, -91, 0, 1, 10, 10},  {1, 1, 0, 1, 10, 10},
        {1, 0, -181, 1, 10, 10}, {1, 0, 0, 181, 10, 10},  {1, 0, 2, 1, 10, 10},
        {1, 0, 0, 1, 0, 10},     {1, 0, 0, 1, 10, 65536}, {NAN, 0, 0, 1, 10, 10},
    };
    for (const auto& a : off) EXPECT_FALSE(AreaIsOnGlobe(a)) << a.north << " " << a.west;
}

TEST(MosaicStyles, PerLayerWithTheFirstOrTheMonthPreselected) {
    EXPECT_EQ(kMosaicLayers.front(), "global_mosaic");
    const struct {
        std::string_view layer;
        int month;
        std::size_t count;
        int selected;
        std::string_view selectedName;
    } cases[] = {
        {"global_mosaic", 3, 6, 0, "pseudo"},
        {"global_mosaic_base", 3, 11, 0, "pseudo"},
        {"BMNG", 3, 12, 2, "Mar"},
        {"BMNG", 12, 12, 11, "Dec"},
        {"BMNG", 0, 12, 0, "Jan"},
    };
    for (const auto& c : cases) {
        const MosaicStyleChoice choice = MosaicStyles(c.layer, c.month);
        ASSERT_EQ(choice.styles.size(), c.count) << c.layer;
        ASSERT_EQ(choice.selected, c.selected) << c.layer;
        EXPECT_EQ(choice.styles[c.selected], c.selectedName);
    }
    EXPECT_EQ(MosaicStyles("global_mosaic_base", 1).styles.back(), "ThH");
    for (const std::string_view layer : kMosaicLayers) {
        if (layer == "global_mosaic" || layer == "global_mosaic_base" || layer == "BMNG") continue;
        EXPECT_TRUE(MosaicStyles(layer, 5).styles.empty()) << layer;
        EXPECT_EQ(MosaicStyles(layer, 5).selected, -1);
    }
}

TEST(MosaicList, FolderAndListMergedAndWrittenBackWhole) {
    testing::TempDir dir;
    for (const char* file : {"alps.clb", "baltic.clb", "coast.clb", "delta.jpg", "old.clb.part"})
        dir.Write(file, "x");
    dir.Write("mosaic.ini",
              "[Mosaic]\r\n0=coast\r\n1=gone\r\n2=alps\r\n3=coast\r\n"
              "[Active]\r\n0=1\r\n1=1\r\n2=0\r\n3=0\r\n");
    MosaicList list = ReadMosaicList(dir.path());
    // "gone" has no calibration any more, "coast" is listed once, "baltic" is new.
    const std::vector<MosaicEntry> expected = {{"coast", true}, {"alps", false}, {"baltic", false}};
    EXPECT_EQ(list.entries, expected);
    EXPECT_TRUE(list.changed);

    list.entries[1].active = true;
    std::swap(list.entries[0], list.entries[2]);
    ASSERT_TRUE(WriteMosaicList(dir.path(), list.entries));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(dir.File("mosaic.ini"), text));
    EXPECT_EQ(text,
              "[Mosaic]\r\n0=baltic\r\n1=alps\r\n2=coast\r\n"
              "[Active]\r\n0=0\r\n1=1\r\n2=1\r\n");
    const MosaicList again = ReadMosaicList(dir.path());
    EXPECT_EQ(again.entries, list.entries);
    EXPECT_FALSE(again.changed);

    // Without a list every calibration is new.
    testing::TempDir fresh;
    fresh.Write("b.clb", "x");
    fresh.Write("a.clb", "x");
    const MosaicList first = ReadMosaicList(fresh.path());
    EXPECT_EQ(first.entries, (std::vector<MosaicEntry>{{"a", false}, {"b", false}}));
    EXPECT_TRUE(first.changed);
    EXPECT_FALSE(WriteMosaicList(dir.File("missing/folder"), list.entries));
}

}  // namespace
}  // namespace aerova
