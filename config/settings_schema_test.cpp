#include "config/settings_schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {
namespace {

int Rgb(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

TEST(SettingsSchemaTest, EveryKeyIsFoundOnceWhateverItsCase) {
    std::set<std::string> seen;
    for (const SettingKey& row : SettingsSchema()) {
        const std::string name = row.section + "/" + row.key;
        EXPECT_TRUE(seen.insert(LowerCase(name)).second) << "twice: " << name;
        EXPECT_EQ(FindSettingKey(UpperCase(row.section), UpperCase(row.key)), &row) << name;
    }
    // "Google" and "google" are one section to the file; their keys differ.
    EXPECT_EQ(FindSettingKey("google", "imagesearch")->section, "Google");
    EXPECT_EQ(FindSettingKey("GOOGLE", "cockpitport")->section, "google");
    // Keys the engine handles by name outside the table.
    EXPECT_EQ(FindSettingKey("process", "window"), nullptr);
    EXPECT_EQ(FindSettingKey("LastIniFile", "filename"), nullptr);
    EXPECT_EQ(FindSettingKey("monitors", "width0"), nullptr);
    EXPECT_EQ(FindSettingKey("radar1", "lat"), nullptr);
    EXPECT_EQ(FindSettingKey("radar", "1lat0"), nullptr);
}

TEST(SettingsSchemaTest, EveryDefaultSuitsItsType) {
    for (const SettingKey& row : SettingsSchema()) {
        SCOPED_TRACE(row.section + "/" + row.key + " = \"" + row.fallback + "\"");
        const auto number = TryParseInt(row.fallback);
        EXPECT_FALSE((row.flags & kSavedOnly) && (row.flags & kReadOnly));
        EXPECT_EQ((row.flags & kBaseStationFallback) != 0,
                  row.section == "drawingsettings" && row.type == SettingType::kColour);
        if (row.screen != ScreenRule::kNone) {
            EXPECT_EQ(row.type, SettingType::kInteger);
            EXPECT_EQ(row.fallback, "");
            EXPECT_GT(row.amount, 0);
            continue;
        }
        switch (row.type) {
            case SettingType::kInteger:
                EXPECT_TRUE(number.has_value());
                break;
            case SettingType::kBool:
                EXPECT_TRUE(row.fallback == "0" || row.fallback == "1");
                break;
            case SettingType::kFloat:
                EXPECT_TRUE(TryParseReal(row.fallback).has_value());
                break;
            case SettingType::kDateTime:
                EXPECT_EQ(row.fallback, "");
                break;
            case SettingType::kColour:
                ASSERT_TRUE(number.has_value());
                EXPECT_TRUE(*number >= 0 && *number <= 0xFFFFFF);
                break;
            case SettingType::kIndex:
                ASSERT_TRUE(number.has_value());
                EXPECT_TRUE(*number >= 0 && *number < row.items) << row.items << " items";
                break;
            case SettingType::kChoice:
                ASSERT_TRUE(number.has_value());
                EXPECT_NE(std::find(row.choices.begin(), row.choices.end(), *number),
                          row.choices.end());
                break;
            case SettingType::kText:
                break;
        }
    }
}

TEST(SettingsSchemaTest, RowsThatAreEasyToGetWrong) {
    using T = SettingType;
    const unsigned reset = kSavedOnly | kForced;
    struct Case {
        const char* section;
        const char* key;
        SettingType type;
        std::string fallback;
        unsigned flags = kLoadAndSave;
        int items = 0;
    };
    const Case cases[] = {
        {"firstrun", "firstrun", T::kBool, "1"},
        {"datasource", "ident", T::kIndex, "0", kLoadAndSave, 3},
        {"datasource", "usbspeed", T::kIndex, "1", kLoadAndSave, 5},
        {"datasource", "port", T::kInteger, "30003"},
        {"datasource", "pionet", T::kBool, "0", reset},
        {"main", "sessionstarted", T::kDateTime, "", kSavedOnly},
        {"main", "showwinds", T::kBool, "0", reset},
        {"main", "canusepio", T::kBool, "0", kReadOnly},
        {"main", "savejpg", T::kText, "aerova-img", kInStationDir},
        {"sql", "dir", T::kText, "", kInStationDir},
        {"sql", "gasdisableautoconnect", T::kBool, "0", reset},
        {"flightstats", "marklabel", T::kBool, "1", reset},
        {"flightstats", "savetortefile", T::kBool, "0", reset},
        {"update", "3.4.6.0", T::kText, "done", kForced},
        {"plots", "linecolor", T::kColour, "255"},
        {"daisychain", "slaveport", T::kText, "00000"},
        {"atcconsole", "sq4", T::kText, "00"},
        {"atcconsole", "localheight", T::kInteger, "60"},
        {"atcconsole", "lat2", T::kIndex, "64", kLoadAndSave, 100},
        {"radar1", "panel2", T::kBool, "0"},
        {"radar2", "panel2", T::kBool, "1"},
        {"radar2", "long1", T::kIndex, "10", kLoadAndSave, 180},
        {"radar2", "dbllat", T::kText, "-9999", kReadOnly},
        {"position", "radar2z", T::kFloat, "15000"},
        {"position", "2yyw4", T::kFloat, "-9999"},
        {"position", "1box3", T::kText, "Stack3"},
        {"filter", "lower2", T::kIndex, "47", kLoadAndSave, 48},
        {"more", "labelalt2", T::kIndex, "15", kLoadAndSave, 46},
        {"more", "circle2", T::kChoice, "0"},
        {"wxform", "intervalblitz", T::kIndex, "3", kLoadAndSave, 4},
        {"wxform", "nr1south", T::kFloat, "0", kSavedOnly},
        {"peers", "height", T::kInteger, "300", kSavedOnly},
        {"colors", "ais beacon", T::kColour, std::to_string(Rgb(166, 202, 240))},
        {"colors", "blitz11", T::kColour, std::to_string(Rgb(69, 97, 86))},
        {"colors", "text-radar2-42", T::kText, "User13"},
        {"drawingsettings", "radarbackgroundcolour", T::kColour, std::to_string(Rgb(3, 0, 43)),
         kBaseStationFallback},
        {"drawingsettings", "outlinecolours-21", T::kColour, std::to_string(Rgb(141, 35, 35)),
         kBaseStationFallback},
        {"drawingsettings", "waypointcolours-21", T::kColour, std::to_string(Rgb(204, 51, 51)),
         kBaseStationFallback},
        {"drawingsettings", "waypointcolours-22", T::kColour, std::to_string(Rgb(255, 255, 0)),
         kBaseStationFallback},
        {"drawingsettings", "waypointcolours-25", T::kColour, std::to_string(Rgb(102, 102, 153)),
         kBaseStationFallback},
        {"drawingsettings", "waypointtypes-30", T::kText, "***"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const SettingKey* row = FindSettingKey(c.section, c.key);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->type, c.type);
        EXPECT_EQ(row->fallback, c.fallback);
        EXPECT_EQ(row->flags, c.flags);
        EXPECT_EQ(row->items, c.items);
        EXPECT_EQ(row->screen, ScreenRule::kNone);
    }
    EXPECT_EQ(FindSettingKey("more", "circle1")->choices, (std::vector<int>{0, 3, 5, 10}));
}

TEST(SettingsSchemaTest, WindowGeometryFromTheScreen) {
    struct Case {
        const char* section;
        const char* key;
        ScreenRule rule;
        int amount;
        unsigned flags = kLoadAndSave;
    };
    const Case cases[] = {
        {"main", "left", ScreenRule::kCentreLeft, 262},
        {"main", "top", ScreenRule::kCentreTop, 420},
        {"chat", "left", ScreenRule::kCentreLeftPart, 2},
        {"chat", "height", ScreenRule::kHeightPart, 4},
        {"radar1", "width", ScreenRule::kWidthLess, 50},
        {"radar2", "height", ScreenRule::kHeightLess, 80},
        {"mini", "top", ScreenRule::kCentreTop, 360, kReadOnly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const SettingKey* row = FindSettingKey(c.section, c.key);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->screen, c.rule);
        EXPECT_EQ(row->amount, c.amount);
        EXPECT_EQ(row->flags, c.flags);
    }
    // Positions given as numbers are plain integers.
    EXPECT_EQ(FindSettingKey("radar2", "top")->fallback, "30");
    EXPECT_EQ(FindSettingKey("onearth", "left")->fallback, "160");
    EXPECT_EQ(FindSettingKey("stack1", "top")->fallback, "20");
    EXPECT_EQ(FindSettingKey("mini", "width"), nullptr);
}

TEST(SettingsSchemaTest, NumberedFamiliesAreComplete) {
    struct Case {
        const char* section;
        const char* prefix;
        int count;
    };
    const Case cases[] = {
        {"colors", "enabled-radar1-", 51},
        {"colors", "enabled-radar2-", 51},
        {"colors", "text-radar1-", 13},
        {"colors", "blitz", 12},
        {"usercolors", "color", 20},
        {"outlines", "enabled-radar2-", 31},
        {"waypoints", "enabled-radar1-", 31},
        {"drawingsettings", "outlinecolours-", 30},
        {"drawingsettings", "waypointcolours-", 30},
        {"drawingsettings", "outlinestypes-", 30},
        {"position", "2box", 4},
        {"position", "1xxs", 4},
        {"mini", "proxyport", 3},
        {"wxform", "prepcb", 6},
        {"update", "", 3},
    };
    for (const Case& c : cases) {
        const auto count = std::count_if(
            SettingsSchema().begin(), SettingsSchema().end(), [&](const SettingKey& row) {
                return row.section == c.section && StartsText(c.prefix, row.key);
            });
        EXPECT_EQ(count, c.count) << c.section << "/" << c.prefix;
    }
}

}  // namespace
}  // namespace aerova
