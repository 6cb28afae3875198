#include "distribution/network_text.h"

#include <gtest/gtest.h>

#include "core/aircraft_xml.h"

namespace aerova {
namespace {

TEST(SpeedAndTrackText, Columns) {
    EXPECT_EQ(SpeedText("450.5"), " 450");
    EXPECT_EQ(SpeedText("12345.0"), "1234");  // the column is four characters
    EXPECT_EQ(SpeedText("450"), "    ");
    EXPECT_EQ(SpeedText("0.0"), "    ");
    EXPECT_EQ(SpeedText(""), "    ");
    EXPECT_EQ(TrackText(" 5.7 "), "005");
    EXPECT_EQ(TrackText("271"), "271");
    EXPECT_EQ(TrackText("0.0"), "");
    EXPECT_EQ(TrackText(""), "");
}

TEST(ParseAircraftXml, RegistrationAndType) {
    struct Case {
        const char *text, *reg, *type;
    } cases[] = {
        {"<bml><registration>D-AIRA</registration>", "DAIRA", ""},
        {"<registration> g-euoa (a319 )</registration>", "GEUOA", "A319"},
        {"<registration></registration>", "", ""},
        {"<modes>3C6586</modes>", "", ""},
        {"<registration>D-ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "DABCDEFGHIJKLMNOPQRSTUVWXYZ0123",
         ""},
    };
    for (const Case& c : cases) {
        const AircraftXmlData d = ParseAircraftXml(c.text);
        EXPECT_EQ(d.reg, c.reg) << c.text;
        EXPECT_EQ(d.icaotype, c.type) << c.text;
    }
}

}  // namespace
}  // namespace aerova
