#pragma once
// Radar pictures for the tests, written by giflib into memory, and the byte edits that turn a
// good file into the damaged ones a web server may send.

#include <gif_lib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "weather/weather_grid.h"

namespace aerova::testing {

struct GifLayout {
    int screenWidth = 0, screenHeight = 0;
    std::vector<WeatherRgb> globalColours;  // empty: no global colour map
    std::vector<WeatherRgb> localColours;   // empty: the frame uses the global map
    int background = 0;
    int left = 0, top = 0, width = 0, height = 0;  // the frame
    bool interlaced = false;
    bool comment = false;              // a comment extension before the frame
    std::vector<std::uint8_t> pixels;  // width * height, row by row from the top
};

// A colour map of the next power of two entries (at least 2), padded with black.
inline ColorMapObject* MakeColourMap(const std::vector<WeatherRgb>& colours) {
    int size = 2;
    while (size < static_cast<int>(colours.size())) size *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        entries[i] = {colours[i].red, colours[i].green, colours[i].blue};
    return GifMakeMapObject(size, entries.data());
}

inline std::string EncodeGif(const GifLayout& layout) {
    std::string out;
    auto write = [](GifFileType* gif, const GifByteType* data, int length) {
        static_cast<std::string*>(gif->UserData)
            ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        return length;
    };
    int error = 0;
    GifFileType* gif = EGifOpen(&out, write, &error);
    if (gif == nullptr) throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global =
        layout.globalColours.empty() ? nullptr : MakeColourMap(layout.globalColours);
    ColorMapObject* local =
        layout.localColours.empty() ? nullptr : MakeColourMap(layout.localColours);
    bool ok = EGifPutScreenDesc(gif, layout.screenWidth, layout.screenHeight, 8, layout.background,
                                global) == GIF_OK;
    if (ok && layout.comment) ok = EGifPutComment(gif, "radar composite") == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, layout.left, layout.top, layout.width, layout.height,
                                layout.interlaced, local) == GIF_OK;
    std::vector<int> rows;
    if (layout.interlaced) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < layout.height; y += step[pass]) rows.push_back(y);
    } else {
        for (int y = 0; y < layout.height; ++y) rows.push_back(y);
    }
    for (const int y : rows) {
        if (!ok) break;
        // EGifPutLine masks the line in place, so it gets a copy.
        std::vector<GifPixelType> line(layout.pixels.begin() + y * layout.width,
                                       layout.pixels.begin() + (y + 1) * layout.width);
        ok = EGifPutLine(gif, line.data(), layout.width) == GIF_OK;
    }
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok) throw std::runtime_error("GIF not written");
    return out;
}

// One frame covering the whole screen, every pixel from `pixelAt(x, y)`, global colours.
template <typename PixelAt>
GifLayout FullFrame(int width, int height, std::vector<WeatherRgb> colours, PixelAt pixelAt) {
    GifLayout layout;
    layout.screenWidth = layout.width = width;
    layout.screenHeight = layout.height = height;
    layout.globalColours = std::move(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) layout.pixels.push_back(pixelAt(x, y));
    return layout;
}

// The same file with its global colour map taken out (the screen descriptor's flag cleared).
inline std::string WithoutGlobalColourMap(std::string gif) {
    const auto flags = static_cast<unsigned char>(gif.at(10));
    if ((flags & 0x80) == 0) return gif;
    gif[10] = static_cast<char>(flags & 0x7F);
    gif.erase(13, 3u * (2u << (flags & 0x07)));
    return gif;
}

// The byte offset of the first image descriptor of a file written by EncodeGif without a
// comment: after the header, the screen descriptor and the global colour map.
inline std::size_t FirstImageDescriptor(const std::string& gif) {
    const auto flags = static_cast<unsigned char>(gif.at(10));
    const std::size_t at = 13 + ((flags & 0x80) != 0 ? 3u * (2u << (flags & 0x07)) : 0u);
    if (static_cast<unsigned char>(gif.at(at)) != 0x2C) throw std::runtime_error("no frame");
    return at;
}

// Rewrites a 16-bit little-endian field of the file.
inline void PutWord(std::string& gif, std::size_t at, int value) {
    gif.at(at) = static_cast<char>(value & 0xFF);
    gif.at(at + 1) = static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace aerova::testing
