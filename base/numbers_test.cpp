#include "base/numbers.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(NumbersTest, IntegerTexts) {
    struct Case {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"42", 42}, {"-17", -17}, {"  7", 7}, {"$1F", 31},        {"0x10", 16}, {"$FFFFFFFF", -1},
        {"12a", 1}, {"", 1},      {"7 ", 1},  {"99999999999", 1}, {"1.5", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(IntOf(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumbersTest, RealTextsUseThePointWhateverTheLocale) {
    EXPECT_DOUBLE_EQ(RealOf("51.5"), 51.5);
    EXPECT_DOUBLE_EQ(RealOf(" -0.25 "), -0.25);
    EXPECT_DOUBLE_EQ(RealOf("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(RealOf("51,5"), 1.0);
    EXPECT_DOUBLE_EQ(RealOf("nan"), 1.0);
    EXPECT_DOUBLE_EQ(RealOf("."), 1.0);
    EXPECT_DOUBLE_EQ(RealOr("x", 7.5), 7.5);
}

TEST(NumbersTest, ShortestGeneralText) {
    struct Case {
        double value;
        const char* expected;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-2.5, "-2.5"},
        {51.4775, "51.4775"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.00001, "0.00001"},
        {0.0000015, "1.5E-6"},
        {0.0001, "0.0001"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {-0.000123, "-0.000123"},
    };
    for (const auto& c : cases) EXPECT_EQ(RealToText(c.value), c.expected);
    EXPECT_EQ(RealToFixed(2.345, 1), "2.3");
    EXPECT_EQ(IntToHex(0x4CA1FA, 6), "4CA1FA");
}

}  // namespace
}  // namespace aerova
