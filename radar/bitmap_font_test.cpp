#include "radar/bitmap_font.h"

#include <gtest/gtest.h>

#include "radar/pixel_layer.h"

namespace aerova {
namespace {

TEST(BitmapFont, MonospacedCellsOfTheThreeSizes) {
    const FontSet fonts = FontSet::Load();
    for (int i = 0; i < 3; ++i)
        if (!fonts.font[static_cast<std::size_t>(i)])
            GTEST_SKIP() << "no monospaced font installed";
    // The label box widths assume 6-pixel cells at 10 pixels and 7 at 12.
    EXPECT_EQ(fonts.Get(FontSize::k10)->glyph('W').advance, 6);
    EXPECT_EQ(fonts.Get(FontSize::k12)->glyph('W').advance, 7);
    const BitmapFont& f12 = *fonts.Get(FontSize::k12);
    EXPECT_EQ(f12.glyph('W').advance, f12.glyph('i').advance);
    EXPECT_GT(f12.glyph('W').height, 5);
    const Glyph& blank = f12.glyph(' ');
    for (auto byte : blank.rows) EXPECT_EQ(byte, 0);
    EXPECT_GT(f12.glyph(0xB0).height, 0);  // the degree sign
    // Both radar windows load all three sizes at start; the font search runs once.
    FontSet::Load();
    EXPECT_EQ(FontConfigurationReads(), 1);
}

TEST(BitmapFont, SizeNamesAndCells) {
    EXPECT_EQ(FontSizeFromName("12"), FontSize::k12);
    EXPECT_EQ(FontSizeFromName("18"), FontSize::k18);
    EXPECT_EQ(FontSizeFromName("10"), FontSize::k10);
    EXPECT_EQ(FontSizeFromName("x"), FontSize::k10);
    EXPECT_EQ(ColouredTextCellWidth("12"), 7);
    EXPECT_EQ(ColouredTextCellWidth("18"), 6);
}

TEST(BitmapFont, Utf8DegreeSignBecomesOneCharacterCode) {
    EXPECT_EQ(TextToCharCodes("234\xC2\xB0"), "234\xB0");
    EXPECT_EQ(TextToCharCodes("A\xB0"
                              "B"),
              "A\xB0"
              "B");                              // already 8-bit
    EXPECT_EQ(TextToCharCodes("\xC2"), "\xC2");  // cut sequence stays
}

TEST(PixelLayer, ColouredTextSwitchesColoursAtTheMarks) {
    const auto font = BitmapFont::Load(10);
    if (!font) GTEST_SKIP() << "no monospaced font installed";
    PixelLayer layer;
    layer.Resize(100, 20);
    const Rgb red{1, 0, 0}, grey{0.5f, 0.5f, 0.5f}, green{0, 1, 0};
    layer.DrawColouredText(*font, "%II$I I", 0, 5, 6, red, grey, green);
    auto colourInCell = [&](int cell) -> std::uint32_t {
        for (int x = cell * 6; x < cell * 6 + 6; ++x)
            for (int y = 0; y < 20; ++y)
                if (layer.At(x, y)) return layer.At(x, y);
        return 0;
    };
    EXPECT_EQ(colourInCell(0), 0u);  // the mark keeps its cell empty
    EXPECT_EQ(colourInCell(1), PixelLayer::Pack(red));
    EXPECT_EQ(colourInCell(2), PixelLayer::Pack(red));
    EXPECT_EQ(colourInCell(3), 0u);
    EXPECT_EQ(colourInCell(4), PixelLayer::Pack(grey));
    EXPECT_EQ(colourInCell(6), PixelLayer::Pack(green));
    layer.Clear();
    EXPECT_TRUE(layer.dirty().empty());
    EXPECT_EQ(colourInCell(1), 0u);
}

TEST(PixelLayer, SymbolIsCentredAndClipped) {
    PixelLayer layer;
    layer.Resize(16, 16);
    layer.SetColour(Rgb{1, 1, 1});
    layer.DrawSymbol(9, 8, 8);
    EXPECT_NE(layer.At(7, 8), 0u);  // column 3 of the cell starting at x - 4, row 4 from y - 4
    EXPECT_EQ(layer.dirty().x0, 7);
    EXPECT_EQ(layer.dirty().x1, 7);
    layer.DrawSymbol(1, 0, 0);      // three quarters outside: no write outside the buffer
    EXPECT_NE(layer.At(3, 3), 0u);  // its top right corner
    EXPECT_EQ(layer.At(0, 0), 0u);  // its hollow middle
}

}  // namespace
}  // namespace aerova
