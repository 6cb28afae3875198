#pragma once
// Precipitation radar pictures as grids of intensity classes. A downloaded GIF is decoded with
// its own palette indices and colour map, and every pixel's colour is turned into a class code
// by the colour scheme of its source; the radar windows draw the codes as coloured cells.
//
// The replies come from web servers the station does not control: an HTML error page, a
// truncated transfer or a hostile file must give a refusal, never a crash or a write past the
// grid.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

// How the colours of a source's pictures map to class codes.
enum class WeatherScheme {
    kNone,  // the picture is only shown, no grid
    kA,     // exact colours of the central European composite
    kB,     // colour bands of the regional radars
};

struct WeatherRgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const WeatherRgb&) const = default;
};

// The class code of one pixel colour. Scheme A: 11, 10, 7, 8, 9, 12 for the six radar colours,
// 2 for any other colour. Scheme B, first rule that fits: black 0, white 6, yellow 0, strong
// red 15, all components above 0.9375 of full scale 8, all above 0.78125 10, anything else 12.
// kNone gives 0.
std::uint8_t ClassCode(WeatherScheme scheme, WeatherRgb colour);

// The intensity class (0 severe ... 5 light) a radar window draws for a grid byte, or nothing
// for a cell that stays empty. Scheme A: 7 -> 2, 8 -> 3, 9 -> 4, 10 -> 1, 11 -> 0, 12 -> 5.
// Scheme B: 6 -> 5, 7-8 -> 4, 9-10 -> 3, 11-12 -> 2, 13-14 -> 1, 15 -> 0.
std::optional<int> IntensityClass(WeatherScheme scheme, std::uint8_t code);

// Replies above this size are refused before decoding: a radar picture of the largest screen
// accepted below stays far under it.
constexpr std::size_t kMaxWeatherGifBytes = 16u << 20;
// The largest logical screen accepted, each way.
constexpr int kMaxWeatherGifSide = 4096;

// The first frame of a GIF on its logical screen, as palette indices row by row from the top.
// Pixels of the screen outside the frame carry the background colour index.
struct WeatherPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // width * height; every index lies inside `colours`
    std::vector<WeatherRgb> colours;    // the colour map of the frame (local, else global)

    WeatherRgb ColourAt(int x, int y) const {
        return colours[indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                               static_cast<std::size_t>(x)]];
    }
};

struct WeatherGifResult {
    std::optional<WeatherPicture> picture;
    std::string error;  // why the reply is no usable picture, when `picture` is empty
};

// Decodes the first frame of a GIF held in memory. Refused: an empty reply or one above
// kMaxWeatherGifBytes, anything giflib cannot read (an HTML page, a truncated transfer), a
// logical screen or frame of zero size or wider or higher than kMaxWeatherGifSide, a frame
// reaching outside the logical screen, a frame without any colour map, and a pixel or a
// needed background index outside the colour map.
WeatherGifResult DecodeWeatherGif(std::string_view bytes);

// The class codes of one source: cell (x, y) holds picture column x (from the left) and row y
// (from the top) at index x * rows + y. Allocated once, zero at start.
class WeatherGrid {
  public:
    WeatherGrid(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    std::uint8_t At(int x, int y) const { return cells_[Index(x, y)]; }
    const std::vector<std::uint8_t>& cells() const { return cells_; }

    // Writes the scheme's code of every pixel that lies inside the grid. Cells the picture does
    // not cover keep their values; pixels beyond the grid's columns or rows are left out.
    void Write(const WeatherPicture& picture, WeatherScheme scheme);

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(x) * static_cast<std::size_t>(rows_) +
               static_cast<std::size_t>(y);
    }

    int columns_;
    int rows_;
    std::vector<std::uint8_t> cells_;
};

}  // namespace aerova
