// Arbitrary replies of a weather radar server into the GIF decoder, and every picture it
// accepts into the class grids of both colour schemes. The input is also tried behind a good
// header, screen, colour map and frame, so that it reaches the picture data at once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "weather/weather_grid.h"

namespace {

using namespace aerova;

// "GIF89a", a 16 x 16 screen with a global map of 4 colours, a 16 x 16 frame at 0,0 and an
// LZW minimum code size of 2: the input follows as the frame's data blocks.
constexpr unsigned char kHead[] = {
    'G',  'I', 'F', '8', '9', 'a', 16,  0,  16,  0,   0xF1, 0, 0,  // screen
    0,    0,   0,   255, 255, 255, 153, 0,  197, 255, 255,  0,     // colours
    0x2C, 0,   0,   0,   0,   16,  0,   16, 0,   0,                // frame
    2};                                                            // code size

void Check(std::string_view bytes) {
    const WeatherGifResult result = DecodeWeatherGif(bytes);
    if (!result.picture) {
        if (result.error.empty()) __builtin_trap();
        return;
    }
    const WeatherPicture& p = *result.picture;
    if (p.width < 1 || p.width > kMaxWeatherGifSide || p.height < 1 ||
        p.height > kMaxWeatherGifSide || p.colours.empty() || p.colours.size() > 256 ||
        p.indices.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height))
        __builtin_trap();
    for (const std::uint8_t index : p.indices)
        if (index >= p.colours.size()) __builtin_trap();

    static WeatherGrid schemeA(445, 450);
    static WeatherGrid schemeB(520, 520);
    schemeA.Write(p, WeatherScheme::kA);
    schemeB.Write(p, WeatherScheme::kB);
    for (const std::uint8_t code : schemeA.cells())
        if (code != 0 && code != 2 && (code < 7 || code > 12)) __builtin_trap();
    for (const std::uint8_t code : schemeB.cells())
        if (code != 0 && code != 6 && code != 8 && code != 10 && code != 12 && code != 15)
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Check(input);
    std::string headed(reinterpret_cast<const char*>(kHead), sizeof kHead);
    headed.append(input);
    Check(headed);
    return 0;
}
