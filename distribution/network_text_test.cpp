#include "distribution/network_text.h"

#include <gtest/gtest.h>

#include "core/aircraft_xml.h"

namespace aerova {
namespace {

TEST(AltitudeLabel, GroundFlightLevelAndAltitude) {
    struct Case {
        const char *alt, *qnh, *ground, *trans;
        std::optional<std::string> label;
    } cases[] = {
        {"35000", "1013", "1", "5000", "G---"},
        {"", "", "", "", "G---"},          // only "0" is airborne
        {"35000", "1013", "0", "5000", "F350"},
        {"35049", "1013", "0", "5000", "F350"},
        {"35050", "1013", "0", "5000", "F351"},
        {"40", "1013", "0", "-100", "F000"},  // b = 90 is above the transition, <= 100
        {"3000", "1013", "0", "5000", "A030"},
        {"3000", "1023", "0", "5000", "A033"},  // +10 hPa * 28 ft
        {"30", "1013", "0", "5000", "G000"},
        {"100", "1000", "0", "5000", "G000"},   // 150 - 364 < 100
        {"", "1013", "0", "5000", std::nullopt},
        {"3000", "", "0", "5000", std::nullopt},
        {"3000", "1013", "0", "", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AltitudeLabel(c.alt, c.qnh, c.ground, c.trans), c.label)
            << c.alt << " " << c.qnh << " " << c.ground << " " << c.trans;
    }
}

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

TEST(RateCode, HundredsOfFeetPerMinute) {
    struct Case {
        const char *rate, *code;
    } cases[] = {
        {"", ""}, {"0", ""}, {"149", ""}, {"-149", ""}, {"150", " +2"}, {"-150", " -2"}, {"250", " +2"}, {"1200", "+12"},
        {"-800", " -8"}, {"-1250", "-12"}, {"9900", "+00"}, {"-9900", "-00"}, {"12000", "+12"},
    };
    for (const Case& c : cases) EXPECT_EQ(RateCode(c.rate), c.code) << c.rate;
}

TEST(ParseAircraftXml, RegistrationAndType) {
    struct Case {
        const char *text, *reg, *type;
    } cases[] = {
        {"<bml><registration>D-AIRA</registration>", "DAIRA", ""},
        {"<registration> g-euoa (a319 )</registration>", "GEUOA", "A319"},
        {"<registration></registration>", "", ""},
        {"<modes>3C6586</modes>", "", ""},
        {"<registration>D-ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "DABCDEFGHIJKLMNOPQRSTUVWXYZ0123", ""},
    };
    for (const Case& c : cases) {
        const AircraftXmlData d = ParseAircraftXml(c.text);
        EXPECT_EQ(d.reg, c.reg) << c.text;
        EXPECT_EQ(d.icaotype, c.type) << c.text;
    }
}

}  // namespace
}  // namespace aerova
