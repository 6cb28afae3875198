#include "core/target_labels.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(AltitudeLabel, GroundFlightLevelAndAltitude) {
    struct Case {
        const char *alt, *qnh;
        bool onGround;
        const char* trans;
        std::optional<std::string> label;
    } cases[] = {
        {"35000", "1013", true, "5000", "G---"},
        {"", "", true, "", "G---"},
        {"35000", "1013", false, "5000", "F350"},
        {"35049", "1013", false, "5000", "F350"},
        {"35050", "1013", false, "5000", "F351"},
        {"40", "1013", false, "-100", "F000"},  // b = 90 is above the transition, <= 100
        {"3000", "1013", false, "5000", "A030"},
        {"3000", "1023", false, "5000", "A033"},  // +10 hPa * 28 ft
        {"30", "1013", false, "5000", "G000"},
        {"100", "1000", false, "5000", "G000"},  // 150 - 364 < 100
        {"", "1013", false, "5000", std::nullopt},
        {"3000", "", false, "5000", std::nullopt},
        {"3000", "1013", false, "", std::nullopt},
        {"1e300", "1013", false, "5500", "F100000"},  // held to 10,000,000 ft
        {"-1e300", "1013", false, "5500", "G000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AltitudeLabel(c.alt, c.qnh, c.onGround, c.trans), c.label)
            << c.alt << " " << c.qnh << " " << c.onGround << " " << c.trans;
    }
}

TEST(Track3, WholeDegreesInThreeDigits) {
    EXPECT_EQ(Track3("5.7"), "005");
    EXPECT_EQ(Track3("271"), "271");
    EXPECT_EQ(Track3("3599.0"), "359");
    EXPECT_EQ(Track3(""), "");
}

TEST(VerticalRateCode, HundredsOfFeetPerMinute) {
    struct Case {
        const char *rate, *code;
    } cases[] = {
        {"", ""},        {"0", ""},        {"149", ""},      {"-149", ""},    {"150", " +2"},
        {"-150", " -2"}, {"250", " +2"},   {"1200", "+12"},  {"-800", " -8"}, {"-1250", "-12"},
        {"9900", "+00"}, {"-9900", "-00"}, {"12000", "+12"},
    };
    for (const Case& c : cases) EXPECT_EQ(VerticalRateCode(c.rate), c.code) << c.rate;
}

TEST(VerticalRateCode, SignedRatesAndTheNinetyNineCase) {
    struct Case {
        const char* rate;
        const char* code;
    } cases[] = {
        {"", ""},         {"0", ""},         {"+100", ""},     {"-149", ""},    {"+250", " +2"},
        {"+350", " +4"},  {"-150", " -2"},   {"+1200", "+12"}, {"-800", " -8"}, {"9900", "+00"},
        {"-9900", "-00"}, {"-12000", "-12"}, {"+6400", "+64"},
    };
    for (const auto& c : cases) EXPECT_EQ(VerticalRateCode(c.rate), c.code) << c.rate;
}

}  // namespace
}  // namespace aerova
