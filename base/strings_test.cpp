#include "base/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace aerova {
namespace {

TEST(StringsTest, OneBasedCopyPosDelete) {
    EXPECT_EQ(Copy("ABCDEF", 2, 3), "BCD");
    EXPECT_EQ(Copy("ABCDEF", 0, 2), "AB");
    EXPECT_EQ(Copy("ABCDEF", 5, 99), "EF");
    EXPECT_EQ(Copy("ABCDEF", 7, 1), "");
    EXPECT_EQ(Pos("CD", "ABCDEF"), 3u);
    EXPECT_EQ(Pos("X", "ABCDEF"), 0u);
    EXPECT_EQ(Pos("", "ABC"), 0u);
    EXPECT_EQ(Pos("A", "ABA", 2), 3u);
    std::string s = "ABCDEF";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "ADEF");
}

TEST(StringsTest, TrimCaseAndPadding) {
    EXPECT_EQ(Trim("\t BAW123 \r\n"), "BAW123");
    EXPECT_EQ(TrimLeft("  A "), "A ");
    EXPECT_EQ(TrimRight("  A "), "  A");
    EXPECT_TRUE(SameText("Server", "sErVeR"));
    EXPECT_FALSE(SameText("Server", "Serve"));
    EXPECT_EQ(PadRight("KLM", 8), "KLM     ");
    EXPECT_EQ(PadRight("7700E+", 4), "7700");
    EXPECT_EQ(PadLeft("5", 3, '0'), "005");
    EXPECT_EQ(Split("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
}

TEST(StringsTest, FieldReaderReadsPastTheEndAsEmpty) {
    struct Case {
        const char* text;
        std::vector<std::string> fields;  // four reads
        const char* rest;                 // after two reads
    } cases[] = {
        {"a:b:c", {"a", "b", "c", ""}, "c"},
        {"a::", {"a", "", "", ""}, ""},
        {"", {"", "", "", ""}, ""},
        {"350:7000:", {"350", "7000", "", ""}, ""},
        {"x:y:info: with: colons", {"x", "y", "info", " with"}, "info: with: colons"},
    };
    for (const Case& c : cases) {
        FieldReader r(c.text);
        std::vector<std::string> got;
        for (int i = 0; i < 4; ++i) got.emplace_back(r.Next());
        EXPECT_EQ(got, c.fields) << c.text;
        FieldReader two(c.text);
        two.Next();
        two.Next();
        EXPECT_EQ(two.Rest(), c.rest) << c.text;
    }
    FieldReader semicolons("45000;45100;X", ';');
    EXPECT_EQ(semicolons.Next(), "45000");
    EXPECT_EQ(semicolons.Next(), "45100");
}

}  // namespace
}  // namespace aerova
