#include "distribution/xml_text.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(XmlText, Latin1BecomesEscapedUtf8) {
    EXPECT_EQ(XmlText("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(XmlText("90\xB0 caf\xE9 \xFF"), "90\xC2\xB0 caf\xC3\xA9 \xC3\xBF");
    EXPECT_EQ(XmlText(std::string_view("a\0b\x01\t\x7F", 6)),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\t\xEF\xBF\xBD");
}

TEST(XmlText, Utf8IsCheckedCharacterByCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"caf\xC3\xA9 <b>", "caf\xC3\xA9 <b>"},                              // well-formed stays
        {"\xE2\x82\xAC \xF0\x9F\x9B\xA9", "\xE2\x82\xAC \xF0\x9F\x9B\xA9"},  // 3 and 4 bytes
        {"caf\xE9!", "caf\xEF\xBF\xBD!"},                                    // a Latin-1 byte
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                            // overlong "/"
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},            // a surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
        {"ab\xE2\x82", "ab\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short at the end
        {"\xEF\xBF\xBF", "\xEF\xBF\xBD"},              // U+FFFF: no XML character
        {"a\x02"
         "b",
         "a\xEF\xBF\xBD"
         "b"},  // a control byte
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(CleanUtf8(in), out) << in;
    EXPECT_EQ(XmlTextFromUtf8("/h\xC3\xB6me/a&b/<x>"), "/h\xC3\xB6me/a&amp;b/&lt;x&gt;");
}

}  // namespace
}  // namespace aerova
