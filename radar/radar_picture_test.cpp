#include "radar/radar_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/day_time.h"
#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "radar/colour_list.h"

namespace aerova {
namespace {

std::uint32_t ReadLe(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return value;
}

// Each channel of `actual` within `tolerance` of `expected`.
bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) return false;
    }
    return true;
}

RadarPicture Filled(int width, int height, std::uint32_t colour) {
    return {width, height, std::vector<std::uint32_t>(std::size_t(width) * height, colour)};
}

TEST(RadarPicture, BmpHeaderAndBottomUpBgraPixels) {
    const RadarPicture picture{3,
                               2,
                               {0x112233, 0x445566, 0x778899,  // top row
                                0xAABBCC, 0xDDEEFF, 0x010203}};
    const std::string bmp = BmpBytes(picture);
    ASSERT_EQ(bmp.size(), 54u + 24u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const struct {
        std::size_t offset;
        int size;
        std::uint32_t value;
    } fields[] = {
        {2, 4, 78},  {6, 2, 0},  {8, 2, 0},  {10, 4, 54}, {14, 4, 40},
        {18, 4, 3},  {22, 4, 2}, {26, 2, 1}, {28, 2, 32}, {30, 4, 0},
        {34, 4, 24}, {38, 4, 0}, {42, 4, 0}, {46, 4, 0},  {50, 4, 0},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(ReadLe(bmp, f.offset, f.size), f.value) << "offset " << f.offset;
    }
    const std::string expectedPixels(
        "\xCC\xBB\xAA\x00\xFF\xEE\xDD\x00\x03\x02\x01\x00"   // bottom row first
        "\x33\x22\x11\x00\x66\x55\x44\x00\x99\x88\x77\x00",  // then the top row
        24);
    EXPECT_EQ(bmp.substr(54), expectedPixels);

    EXPECT_EQ(BmpBytes(RadarPicture{3, 2, {1, 2, 3}}), "");  // pixels missing
}

TEST(RadarPicture, JpegRoundTripKeepsSizePlaceAndColour) {
    constexpr std::uint32_t kBackground = 0x03002B, kBlock = 0xFF8000;
    RadarPicture picture = Filled(64, 48, kBackground);
    for (int y = 8; y < 24; ++y) {
        for (int x = 16; x < 32; ++x) picture.pixels[std::size_t(y) * 64 + x] = kBlock;
    }
    const std::optional<std::string> jpeg = EncodeJpeg(picture, 100);
    ASSERT_TRUE(jpeg.has_value());
    EXPECT_EQ(jpeg->substr(0, 2), "\xFF\xD8");

    const std::optional<RadarPicture> decoded = DecodeJpeg(*jpeg);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->width, 64);
    ASSERT_EQ(decoded->height, 48);
    ASSERT_EQ(decoded->pixels.size(), 64u * 48u);
    const auto at = [&](int x, int y) { return decoded->pixels[std::size_t(y) * 64 + x]; };
    EXPECT_TRUE(Near(at(24, 16), kBlock, 6)) << std::hex << at(24, 16);
    // Not mirrored: the block's place turned upside down or sideways is background.
    EXPECT_TRUE(Near(at(24, 31), kBackground, 6)) << std::hex << at(24, 31);
    EXPECT_TRUE(Near(at(39, 16), kBackground, 6)) << std::hex << at(39, 16);
}

TEST(RadarPicture, JpegErrorsReturnNothing) {
    EXPECT_FALSE(EncodeJpeg(RadarPicture{}, 100).has_value());  // libjpeg: empty image
    EXPECT_FALSE(EncodeJpeg(RadarPicture{2, 2, {1, 2, 3}}, 100).has_value());

    const std::string jpeg = *EncodeJpeg(Filled(16, 16, 0x808080), 90);
    const std::string inputs[] = {"", "not a picture", jpeg.substr(0, 20)};
    for (const std::string& input : inputs) {
        EXPECT_FALSE(DecodeJpeg(input).has_value()) << input.size() << " bytes";
    }
}

TEST(RadarPicture, JpegIntoMissingFolderFailsNamingTheFile) {
    testing::TempDir dir;
    const std::string path = dir.File("missing/1-240315-08.05.09.jpg");
    const PictureWriteResult result = WriteJpeg(path, Filled(8, 8, 0));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, Concat({"Cannot write the picture ", path}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(RadarPicture, JpegReplacesAnExistingFileWhole) {
    testing::TempDir dir;
    const std::string path = dir.File("radar.jpg");
    dir.Write("radar.jpg", std::string(2000000, 'x'));
    // Noise compresses badly: the file is written in many pieces.
    RadarPicture picture = Filled(160, 120, 0);
    std::uint32_t seed = 12345;
    for (std::uint32_t& pixel : picture.pixels) {
        seed = seed * 1664525u + 1013904223u;
        pixel = seed >> 8;
    }

    const PictureWriteResult result = WriteJpeg(path, picture);
    ASSERT_TRUE(result.ok) << result.error;
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    const std::optional<RadarPicture> decoded = DecodeJpeg(written);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->pixels.size(), picture.pixels.size());
    int far = 0;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        far += Near(decoded->pixels[i], picture.pixels[i], 8) ? 0 : 1;
    }
    EXPECT_EQ(far, 0) << "pixels off by more than 8 of " << written.size() << " bytes";
}

TEST(RadarPicture, PrintConversions) {
    // The default radar background, from the settings' colour integer.
    const std::uint32_t background =
        PixelFromColourInt(ColourIntFromRgb(ColourTable()[kColRadarBackground]));
    ASSERT_EQ(background, 0x03002Bu);

    const RadarPicture frame{5, 1, {0xFFFFFF, background, 0xFF0000, 0x000000, 0xFEFFFF}};
    const struct {
        bool blackAndWhite;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {false, {0x000000, 0xFFFFFF, 0xFF0000, 0x000000, 0xFEFFFF}},
        {true, {0x000000, 0xFFFFFF, 0x000000, 0x000000, 0x000000}},
    };
    for (const auto& c : cases) {
        const RadarPicture print = PrintPicture(frame, background, c.blackAndWhite);
        EXPECT_EQ(print.width, 5);
        EXPECT_EQ(print.height, 1);
        EXPECT_EQ(print.pixels, c.expected) << "black and white " << c.blackAndWhite;
    }
}

TEST(RadarPicture, FileNameFromTagAndStationTime) {
    EXPECT_EQ(PictureFileName(2, EncodeDateTime(2024, 3, 15, 8, 5, 9, 0)), "2-240315-08.05.09.jpg");
}

}  // namespace
}  // namespace aerova
