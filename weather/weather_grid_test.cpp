#include "weather/weather_grid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "weather/testing/test_gifs.h"

namespace aerova {

void PrintTo(const WeatherRgb& c, std::ostream* os) {
    *os << "(" << int{c.red} << "," << int{c.green} << "," << int{c.blue} << ")";
}

namespace {

using testing::EncodeGif;
using testing::FullFrame;
using testing::GifLayout;
using ::testing::HasSubstr;

constexpr WeatherRgb kBlack{0, 0, 0};
constexpr WeatherRgb kWhite{255, 255, 255};
constexpr WeatherRgb kRed{255, 0, 0};
constexpr WeatherRgb kGrey{128, 128, 128};

long Count(const WeatherGrid& grid, std::uint8_t code) {
    return std::count(grid.cells().begin(), grid.cells().end(), code);
}

WeatherPicture Decode(const std::string& gif) {
    WeatherGifResult result = DecodeWeatherGif(gif);
    if (!result.picture) ADD_FAILURE() << result.error;
    return result.picture.value_or(WeatherPicture{});
}

TEST(WeatherClassCode, EachColourRuleOfBothSchemes) {
    struct Case {
        WeatherScheme scheme;
        WeatherRgb colour;
        int code;
    };
    const Case cases[] = {
        {WeatherScheme::kA, {153, 0, 197}, 11},   {WeatherScheme::kA, {255, 0, 255}, 11},
        {WeatherScheme::kA, {35, 55, 255}, 10},   {WeatherScheme::kA, {153, 51, 153}, 10},
        {WeatherScheme::kA, {28, 126, 217}, 7},   {WeatherScheme::kA, {42, 170, 255}, 8},
        {WeatherScheme::kA, {83, 210, 255}, 9},   {WeatherScheme::kA, {170, 255, 255}, 12},
        {WeatherScheme::kA, {170, 255, 254}, 2},  // exact colours only
        {WeatherScheme::kA, kBlack, 2},           {WeatherScheme::kB, kBlack, 0},
        {WeatherScheme::kB, kWhite, 6},           {WeatherScheme::kB, {255, 255, 0}, 0},
        {WeatherScheme::kB, {200, 99, 99}, 15},    // red above 0.78125, the others below 0.390625
        {WeatherScheme::kB, {199, 0, 0}, 12},      // 199/255 is not above 0.78125
        {WeatherScheme::kB, {255, 100, 0}, 12},    // 100/255 is not below 0.390625
        {WeatherScheme::kB, {240, 240, 240}, 8},   // all above 0.9375
        {WeatherScheme::kB, {239, 255, 255}, 10},  // 239/255 is not above 0.9375
        {WeatherScheme::kB, {200, 200, 200}, 10}, {WeatherScheme::kB, {200, 199, 200}, 12},
        {WeatherScheme::kB, {0, 255, 0}, 12},     {WeatherScheme::kNone, {28, 126, 217}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.colour));
        EXPECT_EQ(ClassCode(c.scheme, c.colour), c.code);
    }
}

TEST(WeatherClassCode, IntensityClassOfTheGridBytes) {
    struct Case {
        WeatherScheme scheme;
        int code;
        std::optional<int> intensity;
    };
    const Case cases[] = {
        {WeatherScheme::kA, 2, std::nullopt},
        {WeatherScheme::kA, 6, std::nullopt},
        {WeatherScheme::kA, 7, 2},
        {WeatherScheme::kA, 8, 3},
        {WeatherScheme::kA, 9, 4},
        {WeatherScheme::kA, 10, 1},
        {WeatherScheme::kA, 11, 0},
        {WeatherScheme::kA, 12, 5},
        {WeatherScheme::kA, 13, std::nullopt},
        {WeatherScheme::kB, 0, std::nullopt},
        {WeatherScheme::kB, 5, std::nullopt},
        {WeatherScheme::kB, 6, 5},
        {WeatherScheme::kB, 7, 4},
        {WeatherScheme::kB, 8, 4},
        {WeatherScheme::kB, 10, 3},
        {WeatherScheme::kB, 12, 2},
        {WeatherScheme::kB, 13, 1},
        {WeatherScheme::kB, 15, 0},
        {WeatherScheme::kB, 16, std::nullopt},
        {WeatherScheme::kNone, 8, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(IntensityClass(c.scheme, static_cast<std::uint8_t>(c.code)), c.intensity);
    }
}

// A GIF as a radar server sends it: a background colour with a few coloured pixels. Each
// pixel's code lands at its column and row, and nothing else is touched.
TEST(WeatherGrid, PicturePixelsBecomeTheSchemeCodes) {
    struct Placed {
        int x, y, index, code;
    };
    struct Case {
        WeatherScheme scheme;
        int columns, rows;
        std::vector<WeatherRgb> colours;
        int backgroundIndex, backgroundCode;
        std::vector<Placed> pixels;
    };
    const Case cases[] = {
        {WeatherScheme::kA,
         445,
         450,
         {{153, 0, 197},
          {255, 0, 255},
          {35, 55, 255},
          {28, 126, 217},
          {42, 170, 255},
          {83, 210, 255},
          {170, 255, 255},
          kGrey},
         7,
         2,
         {{0, 0, 0, 11},
          {444, 0, 1, 11},
          {0, 449, 2, 10},
          {444, 449, 3, 7},
          {100, 200, 4, 8},
          {200, 100, 5, 9},
          {1, 2, 6, 12}}},
        {WeatherScheme::kB,
         520,
         520,
         {kBlack,
          kWhite,
          {255, 255, 0},
          {220, 40, 40},
          {245, 245, 245},
          {210, 210, 210},
          {40, 200, 40}},
         0,
         0,
         {{519, 0, 1, 6},
          {0, 519, 3, 15},
          {300, 7, 4, 8},
          {7, 300, 5, 10},
          {12, 13, 6, 12},
          {519, 519, 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns);
        GifLayout layout = FullFrame(c.columns, c.rows, c.colours, [&](int, int) {
            return static_cast<std::uint8_t>(c.backgroundIndex);
        });
        for (const Placed& p : c.pixels)
            layout.pixels[static_cast<std::size_t>(p.y * c.columns + p.x)] =
                static_cast<std::uint8_t>(p.index);
        WeatherGrid grid(c.columns, c.rows);
        grid.Write(Decode(EncodeGif(layout)), c.scheme);

        for (const Placed& p : c.pixels) {
            EXPECT_EQ(grid.At(p.x, p.y), p.code) << p.x << "," << p.y;
            // Column-major: x * rows + y.
            EXPECT_EQ(grid.cells()[static_cast<std::size_t>(p.x * c.rows + p.y)], p.code);
        }
        for (int code = 0; code < 16; ++code) {
            long expected = std::count_if(c.pixels.begin(), c.pixels.end(),
                                          [&](const Placed& p) { return p.code == code; });
            if (code == c.backgroundCode)
                expected +=
                    static_cast<long>(c.columns) * c.rows - static_cast<long>(c.pixels.size());
            EXPECT_EQ(Count(grid, static_cast<std::uint8_t>(code)), expected) << "code " << code;
        }
    }
}

TEST(WeatherGrid, SmallerPictureLeavesTheOtherCellsAsTheyWere) {
    WeatherGrid grid(520, 520);
    grid.Write(Decode(EncodeGif(FullFrame(520, 520, {kWhite}, [](int, int) { return 0; }))),
               WeatherScheme::kB);
    grid.Write(Decode(EncodeGif(FullFrame(3, 2, {kRed}, [](int, int) { return 0; }))),
               WeatherScheme::kB);

    EXPECT_EQ(Count(grid, 15), 6);
    EXPECT_EQ(grid.At(2, 1), 15);
    EXPECT_EQ(grid.At(3, 0), 6);
    EXPECT_EQ(grid.At(0, 2), 6);
    EXPECT_EQ(Count(grid, 6), 520 * 520 - 6);
}

// The grid has no room for the extra columns and rows: they are left out, and a pixel below
// the last row must not wrap into the top of the next column.
TEST(WeatherGrid, LargerPictureIsClippedToTheGrid) {
    const GifLayout layout = FullFrame(600, 530, {kWhite, kRed}, [](int x, int y) {
        return (x == 0 && y == 520) || (x == 520 && y == 0) || (x == 519 && y == 519) ? 1 : 0;
    });
    WeatherGrid grid(520, 520);
    grid.Write(Decode(EncodeGif(layout)), WeatherScheme::kB);

    EXPECT_EQ(grid.cells().size(), 520u * 520u);
    EXPECT_EQ(Count(grid, 15), 1);
    EXPECT_EQ(grid.At(519, 519), 15);
    EXPECT_EQ(grid.At(1, 0), 6);
}

TEST(WeatherGifDecode, InterlacedRowsLandWhereThePlainOnesDo) {
    const auto pixelAt = [](int x, int y) { return static_cast<std::uint8_t>((x * 7 + y) % 4); };
    GifLayout plain = FullFrame(5, 13, {kBlack, kWhite, kRed, kGrey}, pixelAt);
    GifLayout interlaced = plain;
    interlaced.interlaced = true;

    const WeatherPicture a = Decode(EncodeGif(plain));
    const WeatherPicture b = Decode(EncodeGif(interlaced));
    EXPECT_EQ(a.indices, plain.pixels);
    EXPECT_EQ(b.indices, plain.pixels);
}

// A frame smaller than the logical screen sits at its offset; the rest of the screen shows the
// background colour. A local colour map wins over the global one, and extensions before the
// frame are read past.
TEST(WeatherGifDecode, FrameSitsOnTheLogicalScreen) {
    GifLayout layout;
    layout.screenWidth = 6;
    layout.screenHeight = 4;
    layout.globalColours = {kGrey, kGrey, kGrey, kGrey};
    layout.localColours = {kBlack, kWhite, kRed, {1, 2, 3}};
    layout.background = 3;
    layout.left = 2;
    layout.top = 1;
    layout.width = 3;
    layout.height = 2;
    layout.comment = true;
    layout.pixels = {0, 1, 2, 2, 1, 0};

    const WeatherPicture picture = Decode(EncodeGif(layout));
    ASSERT_EQ(picture.width, 6);
    ASSERT_EQ(picture.height, 4);
    const std::vector<std::uint8_t> expected = {
        3, 3, 3, 3, 3, 3,  //
        3, 3, 0, 1, 2, 3,  //
        3, 3, 2, 1, 0, 3,  //
        3, 3, 3, 3, 3, 3,  //
    };
    EXPECT_EQ(picture.indices, expected);
    EXPECT_EQ(picture.ColourAt(4, 1), kRed);
    EXPECT_EQ(picture.ColourAt(0, 0), (WeatherRgb{1, 2, 3}));
}

TEST(WeatherGifDecode, RefusesWhatIsNoUsablePicture) {
    const std::string good =
        EncodeGif(FullFrame(4, 4, {kBlack, kWhite}, [](int x, int) { return x % 2; }));

    // Long enough that the cut falls into the compressed pixels.
    const std::string busy =
        EncodeGif(FullFrame(64, 64, {kBlack, kWhite, kRed, kGrey}, [](int x, int y) {
            return static_cast<std::uint8_t>((x * x + 3 * y) % 4);
        }));
    std::string outside = good;
    testing::PutWord(outside, testing::FirstImageDescriptor(outside) + 1, 3);  // left

    GifLayout wide = FullFrame(1, 1, {kBlack, kWhite}, [](int, int) { return 0; });
    wide.screenWidth = 5000;
    wide.screenHeight = 10;

    GifLayout badIndex = FullFrame(2, 1, {kBlack, kWhite}, [](int x, int) { return x * 3; });

    GifLayout badBackground =
        FullFrame(1, 1, {kBlack, kWhite, kRed, kGrey}, [](int, int) { return 0; });
    badBackground.screenWidth = 2;
    badBackground.background = 6;

    std::string noFrame = good.substr(0, testing::FirstImageDescriptor(good));
    noFrame += ';';

    struct Case {
        const char* name;
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "empty reply"},
        {"html error page", "<html><body>404 Not Found</body></html>", "not a GIF picture"},
        {"oversized reply", std::string(kMaxWeatherGifBytes + 1, 'G'),
         "larger than a radar picture"},
        {"truncated transfer", busy.substr(0, busy.size() / 2), "damaged picture data"},
        {"cut after the frame header", good.substr(0, testing::FirstImageDescriptor(good) + 10),
         "damaged frame"},
        {"huge logical screen", EncodeGif(wide), "logical screen of 5000 x 10 pixels"},
        {"frame outside the screen", outside, "reaches outside the logical screen of 4 x 4"},
        {"no colour map", testing::WithoutGlobalColourMap(good), "no colour map"},
        {"pixel index past the map", EncodeGif(badIndex),
         "pixel index 3 outside the colour map of 2 colours"},
        {"background past the map", EncodeGif(badBackground),
         "background index 6 outside the colour map of 4 colours"},
        {"no frame", noFrame, "no picture in the file"},
    };
    ASSERT_TRUE(DecodeWeatherGif(good).picture.has_value());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WeatherGifResult result = DecodeWeatherGif(c.bytes);
        EXPECT_FALSE(result.picture.has_value());
        EXPECT_THAT(result.error, HasSubstr(c.error));
    }
}

}  // namespace
}  // namespace aerova
