#include "database/image_search.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(ImageSearchTest, ColumnsInsertedOtherCharactersCopied) {
    TSQLAircraft row;
    row.columns[6] = "D-AIBD";
    row.columns[13] = "A319";
    row.columns[48] = "last";
    const struct {
        const char* pattern;
        const char* query;
    } cases[] = {
        {"%6+registration", "D-AIBD+registration"},
        {"%13+%6+", "A319+D-AIBD"},
        {"%6+", "D-AIBD"},
        {"%48+x", "last+x"},
        {"plane %13+", "plane A319"},
        {"%6", "%6"},  // without "+" nothing is inserted
        {"%+6", "%+6"},
        {"%%6+a", "%D-AIBD+a"},
        {"%49+a", "+a"},  // no such column
        {"%99999999999999999999+a", "+a"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageSearchQuery(c.pattern, row), c.query) << c.pattern;
}

TEST(ImageSearchTest, UrlKeepsWordSeparators) {
    EXPECT_EQ(ImageSearchUrl("http://img.test/s?q=", "D-AIBD+A319 & co/\"x\""),
              "http://img.test/s?q=D-AIBD+A319%20%26%20co%2F%22x%22");
}

}  // namespace
}  // namespace aerova
