#include "radar/colour_list.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "radar/symbols.h"

namespace aerova {
namespace {

struct ItemCase {
    int item;
    const char* caption;
    int r, g, b;
};

TEST(ColourList, DefaultsOfTheColorsSection) {
    const ItemCase cases[] = {
        {1, "Radar background", 3, 0, 43},
        {2, "Radar rings/radials", 146, 190, 12},
        {3, "Global grid", 64, 64, 64},
        {6, "Active flight", 32, 255, 32},
        {7, "Inactive flight", 128, 128, 128},
        {8, "Filtered flight", 6, 74, 17},
        {9, "Highlighted flight", 166, 202, 240},
        {10, "Selected flight", 0, 255, 255},
        {11, "Squawk Ident", 255, 128, 0},
        {12, "Distress", 255, 0, 0},
        {13, "STCA", 255, 0, 255},
        {18, "Flight strip", 255, 255, 255},
        {19, "Flight info/Stacklist", 128, 255, 128},
        {21, "Metar", 128, 255, 255},
        {30, "User1", 255, 255, 255},
        {42, "User13", 255, 255, 255},
        {51, "AIS beacon", 166, 202, 240},
    };
    const ColourTable table;
    const ColourMarks marks;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(table[c.item], RgbFromBytes(c.r, c.g, c.b));
        EXPECT_EQ(marks.caption[static_cast<std::size_t>(c.item)], c.caption);
        EXPECT_TRUE(marks[c.item]);
    }
    for (int header : {0, 5, 14, 17, 22, 29, 43, 46})
        EXPECT_TRUE(ColourItemAt(header).header) << header;
    EXPECT_FALSE(ColourItemAt(12).header);
    EXPECT_FALSE(marks[52]);
}

TEST(ColourList, ColourIntegersAreRedPlus256GreenPlus65536Blue) {
    EXPECT_EQ(ColourIntFromRgb(RgbFromBytes(3, 0, 43)), 3 + 65536 * 43);
    EXPECT_EQ(RgbFromColourInt(255 + 256 * 128), RgbFromBytes(255, 128, 0));
}

TEST(Symbols, RowsTopDownMostSignificantBitLeft) {
    EXPECT_EQ(SymbolBitmap(11)[7], 0x7E);
    // Symbol 9 is the single recorded-trail pixel: row 3 from the top, column 3.
    int set = 0;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) set += SymbolPixel(9, x, y);
    EXPECT_EQ(set, 1);
    EXPECT_TRUE(SymbolPixel(9, 3, 4));
    EXPECT_TRUE(SymbolPixel(0, 0, 0));  // bottom-left of "80"
    EXPECT_FALSE(SymbolPixel(0, 7, 0));
    EXPECT_EQ(SymbolBitmap(99), SymbolBitmap(1));
}

}  // namespace
}  // namespace aerova
