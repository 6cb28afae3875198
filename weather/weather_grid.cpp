#include "weather/weather_grid.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "base/strings.h"

namespace aerova {
namespace {

// Scheme A: the radar colours of the composite, compared exactly.
struct ExactColour {
    WeatherRgb colour;
    std::uint8_t code;
};
constexpr std::array<ExactColour, 8> kSchemeAColours = {{
    {{153, 0, 197}, 11},
    {{255, 0, 255}, 11},
    {{35, 55, 255}, 10},
    {{153, 51, 153}, 10},
    {{28, 126, 217}, 7},
    {{42, 170, 255}, 8},
    {{83, 210, 255}, 9},
    {{170, 255, 255}, 12},
}};

// Scheme B compares components as fractions of 255 with thresholds that are binary fractions
// (25/32, 25/64, 15/16); cross-multiplied they stay exact integers.
bool Above78(int c) {
    return 32 * c > 25 * 255;
}
bool Below39(int c) {
    return 64 * c < 25 * 255;
}
bool Above93(int c) {
    return 16 * c > 15 * 255;
}

std::uint8_t SchemeBCode(WeatherRgb c) {
    const int r = c.red, g = c.green, b = c.blue;
    if (r == 0 && g == 0 && b == 0) return 0;
    if (r == 255 && g == 255 && b == 255) return 6;
    if (r == 255 && g == 255 && b == 0) return 0;
    if (Above78(r) && Below39(g) && Below39(b)) return 15;
    if (Above93(r) && Above93(g) && Above93(b)) return 8;
    if (Above78(r) && Above78(g) && Above78(b)) return 10;
    return 12;
}

// giflib pulls the reply through this reader; a short read ends the decode with an error.
struct MemoryInput {
    std::string_view bytes;
    std::size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    if (count <= 0) return 0;
    const std::size_t n =
        std::min(static_cast<std::size_t>(count), input->bytes.size() - input->pos);
    std::memcpy(buffer, input->bytes.data() + input->pos, n);
    input->pos += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

WeatherGifResult Refused(std::string error) {
    return {std::nullopt, std::move(error)};
}

std::string GifErrorText(std::string_view what, int code) {
    const char* text = GifErrorString(code);
    // giflib leaves the code at 0 where a read comes up short in some places.
    return Concat({what, ": ", text != nullptr ? text : "the data ends too soon"});
}

bool SideFits(int side) {
    return side > 0 && side <= kMaxWeatherGifSide;
}

std::string Size(int width, int height) {
    return Concat({std::to_string(width), " x ", std::to_string(height)});
}

// Extensions (comments, graphic control, application blocks) before the first frame carry
// nothing the grid needs; they are read past.
bool SkipToFirstFrame(GifFileType* gif, std::string& error) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
            error = GifErrorText("not a GIF picture", gif->Error);
            return false;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) return true;
        if (record != EXTENSION_RECORD_TYPE) {
            error = "no picture in the file";
            return false;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
            error = GifErrorText("damaged extension", gif->Error);
            return false;
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                error = GifErrorText("damaged extension", gif->Error);
                return false;
            }
        }
    }
}

// The order in which the rows of a frame arrive: top to bottom, or the four passes of an
// interlaced frame (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd
// from 1).
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

}  // namespace

std::uint8_t ClassCode(WeatherScheme scheme, WeatherRgb colour) {
    switch (scheme) {
        case WeatherScheme::kA:
            for (const ExactColour& entry : kSchemeAColours)
                if (entry.colour == colour) return entry.code;
            return 2;
        case WeatherScheme::kB:
            return SchemeBCode(colour);
        case WeatherScheme::kNone:
            break;
    }
    return 0;
}

std::optional<int> IntensityClass(WeatherScheme scheme, std::uint8_t code) {
    if (scheme == WeatherScheme::kA) {
        constexpr int kClassOfCode[6] = {2, 3, 4, 1, 0, 5};  // codes 7 to 12
        if (code >= 7 && code <= 12) return kClassOfCode[code - 7];
    } else if (scheme == WeatherScheme::kB) {
        if (code == 6) return 5;
        if (code >= 7 && code <= 15) return 4 - (code - 7) / 2;
    }
    return std::nullopt;
}

WeatherGifResult DecodeWeatherGif(std::string_view bytes) {
    if (bytes.empty()) return Refused("empty reply");
    if (bytes.size() > kMaxWeatherGifBytes) {
        return Refused(Concat(
            {"reply of ", std::to_string(bytes.size()), " bytes is larger than a radar picture"}));
    }
    MemoryInput input{bytes, 0};
    int openError = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, &ReadFromMemory, &openError));
    if (!gif) return Refused(GifErrorText("not a GIF picture", openError));

    const int width = gif->SWidth;
    const int height = gif->SHeight;
    if (!SideFits(width) || !SideFits(height)) {
        return Refused(Concat({"logical screen of ", Size(width, height), " pixels"}));
    }
    std::string error;
    if (!SkipToFirstFrame(gif.get(), error)) return Refused(std::move(error));
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        return Refused(GifErrorText("damaged frame", gif->Error));

    const GifImageDesc& frame = gif->Image;
    if (!SideFits(frame.Width) || !SideFits(frame.Height)) {
        return Refused(Concat({"frame of ", Size(frame.Width, frame.Height), " pixels"}));
    }
    if (frame.Left < 0 || frame.Top < 0 || frame.Left > width - frame.Width ||
        frame.Top > height - frame.Height) {
        return Refused(Concat(
            {"frame at ", Size(frame.Left, frame.Top), " of ", Size(frame.Width, frame.Height),
             " pixels reaches outside the logical screen of ", Size(width, height)}));
    }
    const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (map == nullptr || map->Colors == nullptr || map->ColorCount <= 0 || map->ColorCount > 256) {
        return Refused("no colour map");
    }

    WeatherPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colours.reserve(static_cast<std::size_t>(map->ColorCount));
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        picture.colours.push_back({c.Red, c.Green, c.Blue});
    }
    const int colourCount = map->ColorCount;
    const bool coversScreen = frame.Width == width && frame.Height == height;
    int background = 0;
    if (!coversScreen) {
        background = gif->SBackGroundColor;
        if (background < 0 || background >= colourCount) {
            return Refused(
                Concat({"background index ", std::to_string(background),
                        " outside the colour map of ", std::to_string(colourCount), " colours"}));
        }
    }
    picture.indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                           static_cast<std::uint8_t>(background));

    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    for (const int row : RowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
            return Refused(GifErrorText("damaged picture data", gif->Error));
        for (const GifPixelType index : line) {
            if (index >= colourCount) {
                return Refused(
                    Concat({"pixel index ", std::to_string(index), " outside the colour map of ",
                            std::to_string(colourCount), " colours"}));
            }
        }
        const std::size_t start =
            static_cast<std::size_t>(frame.Top + row) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(frame.Left);
        std::copy(line.begin(), line.end(), picture.indices.begin() + static_cast<long>(start));
    }
    return {std::move(picture), {}};
}

WeatherGrid::WeatherGrid(int columns, int rows)
    : columns_(std::max(columns, 0)),
      rows_(std::max(rows, 0)),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0) {}

void WeatherGrid::Write(const WeatherPicture& picture, WeatherScheme scheme) {
    const std::size_t pixels = static_cast<std::size_t>(std::max(picture.width, 0)) *
                               static_cast<std::size_t>(std::max(picture.height, 0));
    if (picture.colours.empty() || picture.indices.size() < pixels) return;
    // One code per colour-map entry, so each pixel is one table look-up.
    std::array<std::uint8_t, 256> codes{};
    const std::size_t mapped = std::min<std::size_t>(picture.colours.size(), codes.size());
    for (std::size_t i = 0; i < mapped; ++i) codes[i] = ClassCode(scheme, picture.colours[i]);
    const int columns = std::min(picture.width, columns_);
    const int rows = std::min(picture.height, rows_);
    for (int x = 0; x < columns; ++x) {
        for (int y = 0; y < rows; ++y) {
            const std::size_t pixel =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                static_cast<std::size_t>(x);
            cells_[Index(x, y)] = codes[picture.indices[pixel]];
        }
    }
}

}  // namespace aerova
