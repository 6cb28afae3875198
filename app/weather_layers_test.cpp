#include "app/weather_layers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "weather/testing/test_gifs.h"

namespace aerova {
namespace {

using Pixel = std::pair<int, int>;

// Scheme A radar colours and the intensity class each is drawn in.
constexpr WeatherRgb kNoEcho{128, 128, 128};
constexpr WeatherRgb kClass0{153, 0, 197};
constexpr WeatherRgb kClass2{28, 126, 217};
constexpr WeatherRgb kClass5{170, 255, 255};

// A picture of `width` x `height` in colour 0 of `colours` with the given pixels in theirs.
std::string Picture(int width, int height, std::vector<WeatherRgb> colours,
                    std::map<Pixel, std::uint8_t> pixels) {
    return aerova::testing::EncodeGif(
        aerova::testing::FullFrame(width, height, std::move(colours), [&](int x, int y) {
            const auto it = pixels.find({x, y});
            return it == pixels.end() ? std::uint8_t{0} : it->second;
        }));
}

// WX radar 1 at the corners of the block WX radar 2 covers, just outside it, and in other
// classes; WX radar 2 with one severe cell. Both downloaded; no display box checked yet.
class WeatherLayers : public ::testing::Test {
  protected:
    void SetUp() override {
        cycle.SetDownloadBox(kWxRadar1, true, false);
        cycle.SetDownloadBox(kWxRadar2, true, false);
        const WeatherClocks now{EncodeDateTime(2024, 3, 9, 12, 7, 0, 0),
                                EncodeDateTime(2024, 3, 9, 13, 7, 0, 0)};
        ASSERT_TRUE(cycle.TimerFired(now));
        ASSERT_TRUE(cycle.FetchEnded(WeatherFetchStatus::kReceived,
                                     Picture(445, 450, {kNoEcho, kClass0, kClass2, kClass5},
                                             {{{0, 0}, 1},
                                              {{10, 5}, 2},
                                              {{32, 164}, 1},
                                              {{33, 164}, 1},
                                              {{148, 244}, 1},
                                              {{148, 245}, 1},
                                              {{444, 449}, 3}}),
                                     now));
        ASSERT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kReceived,
                                      Picture(520, 520, {{0, 0, 0}, {255, 0, 0}}, {{{3, 4}, 1}}),
                                      now));
        options.intensityBoxes.fill(true);
        options.colours[6] = WeatherColour(1, 2, 3);
        options.colours[11] = WeatherColour(250, 128, 0);
    }

    // The cells as (grid pixel, class), found back from their areas; WX radar 2's columns
    // count from 1000.
    static std::vector<std::pair<Pixel, int>> Cells(const WeatherLayer& layer) {
        std::vector<std::pair<Pixel, int>> found;
        for (const WeatherCell& cell : layer.cells) {
            Pixel at{-1, -1};
            for (const int source : {kWxRadar2, kWxRadar1}) {
                const WeatherSource& s = kWeatherSources[static_cast<std::size_t>(source)];
                const GeoFrame& f = s.frame;
                const auto x = static_cast<int>(
                    std::lround((cell.west - f.west) / (f.east - f.west) * s.gridColumns));
                const auto y = static_cast<int>(
                    std::lround((f.north - cell.north) / (f.north - f.south) * s.gridRows));
                const GeoFrame a = CellArea(s, x, y);
                if (x >= 0 && x < s.gridColumns && y >= 0 && y < s.gridRows &&
                    cell.west == static_cast<float>(a.west) &&
                    cell.east == static_cast<float>(a.east) &&
                    cell.south == static_cast<float>(a.south) &&
                    cell.north == static_cast<float>(a.north))
                    at = {source == kWxRadar1 ? x : 1000 + x, y};
            }
            found.push_back({at, cell.intensityClass});
        }
        return found;
    }

    WeatherCycle cycle{{"http://wx.example/c/", "http://nl.example/r?k=1", "", ""}};
    WxformOptions options;
};

using CellList = std::vector<std::pair<Pixel, int>>;

TEST_F(WeatherLayers, CellsOfTheDisplayedSourcesInTheirClasses) {
    cycle.SetDisplayBox(kWxRadar1, 0, true, false);
    options.cbblitz = true;
    const WeatherLayer layer = BuildWeatherLayer(cycle, options, 0);
    EXPECT_EQ(Cells(layer), (CellList{{{0, 0}, 0},
                                      {{10, 5}, 2},
                                      {{32, 164}, 0},
                                      {{33, 164}, 0},
                                      {{148, 244}, 0},
                                      {{148, 245}, 0},
                                      {{444, 449}, 5}}));
    EXPECT_EQ(layer.colours[6], RgbFromBytes(1, 2, 3));
    EXPECT_EQ(layer.colours[11], RgbFromBytes(250, 128, 0));
    EXPECT_EQ(layer.colours[0], RgbFromColourInt(kDefaultWeatherColours[0]));
    EXPECT_TRUE(layer.lightning);
    EXPECT_TRUE(layer.strikes.empty());

    // Window 2 shows no source; a window that does not exist shows nothing either.
    EXPECT_TRUE(BuildWeatherLayer(cycle, options, 1).cells.empty());
    EXPECT_TRUE(BuildWeatherLayer(cycle, options, 2).cells.empty());
}

TEST_F(WeatherLayers, OnlyTheCheckedIntensityClasses) {
    cycle.SetDisplayBox(kWxRadar1, 1, true, false);
    struct Case {
        std::array<bool, kIntensityClassCount> boxes;
        CellList cells;
    };
    const Case cases[] = {
        {{false, false, true, false, false, true}, {{{10, 5}, 2}, {{444, 449}, 5}}},
        {{false, false, false, true, true, false}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        options.intensityBoxes = c.boxes;
        EXPECT_EQ(Cells(BuildWeatherLayer(cycle, options, 1)), c.cells);
    }
}

// Where WX radar 2 is displayed, WX radar 1 leaves its block out, whether or not WX radar 2
// has a picture to draw there.
TEST_F(WeatherLayers, WxRadar1LeavesTheWxRadar2BlockOut) {
    options.intensityBoxes = {true, false, false, false, false, false};
    cycle.SetDisplayBox(kWxRadar1, 0, true, false);
    cycle.SetDisplayBox(kWxRadar2, 0, true, false);
    EXPECT_EQ(Cells(BuildWeatherLayer(cycle, options, 0)),
              (CellList{{{0, 0}, 0}, {{32, 164}, 0}, {{148, 245}, 0}, {{1003, 4}, 0}}));

    cycle.SetDownloadBox(kWxRadar2, false, false);
    EXPECT_EQ(Cells(BuildWeatherLayer(cycle, options, 0)),
              (CellList{{{0, 0}, 0}, {{32, 164}, 0}, {{148, 245}, 0}}));
}

}  // namespace
}  // namespace aerova
