#pragma once
// Pictures of a radar window: the frame grabbed from the window's framebuffer, written as a
// 32-bit BMP or a JPEG file, and turned into the coloured or black-and-white print picture.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

// One frame as the window rendered it: rows from the top down, each pixel 0x00RRGGBB.
struct RadarPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// True when the size is not negative and there is exactly one pixel per position.
bool IsWholePicture(const RadarPicture& picture);

// The picture as a 32-bit BMP file: file header, information header, then the pixels as
// blue, green, red, alpha (0), bottom row first. Empty when the picture is not whole or
// too large for the format.
std::string BmpBytes(const RadarPicture& picture);
bool WriteBmp(const std::string& path, const RadarPicture& picture);

// JPEG coding with libjpeg. A libjpeg error gives nothing back instead of ending the
// program. `quality` runs from 1 to 100; colours keep full resolution, because the radar's
// thin coloured lines smear when the colour planes are halved.
std::optional<std::string> EncodeJpeg(const RadarPicture& picture, int quality);
std::optional<RadarPicture> DecodeJpeg(std::string_view bytes);

struct PictureWriteResult {
    bool ok = false;
    std::string error;  // for the user, naming the file
};
// Encodes first, then replaces the file in one step: a failure never leaves a partial
// picture under `path`.
PictureWriteResult WriteJpeg(const std::string& path, const RadarPicture& picture,
                             int quality = 100);

// The print picture. Coloured: pure white becomes black and the radar background white, the
// rest stays. Black and white: the background becomes white and everything else black.
// `background` is 0xRRGGBB like the pixels.
RadarPicture PrintPicture(const RadarPicture& frame, std::uint32_t background, bool blackAndWhite);

// A settings colour (red + 256 green + 65536 blue) as a pixel value 0xRRGGBB.
std::uint32_t PixelFromColourInt(std::int32_t colour);

// The suggested picture name: the window's tag, "-", the station time as yymmdd-hh.nn.ss and
// ".jpg", e.g. "1-240315-08.05.09.jpg".
std::string PictureFileName(int tag, double utcNow);

}  // namespace aerova
