#pragma once
// Every key of the station's settings file as data: its section and name, how its value
// is typed in the file, its default, and how load and save treat it. The load and save
// of the settings walk this table; nothing else decides which keys exist.

#include <string>
#include <string_view>
#include <vector>

namespace aerova {

enum class SettingType {
    kInteger,   // decimal text
    kBool,      // 1 or 0; any number other than 0 reads as true
    kText,      // the rest of the line
    kFloat,     // "." always written; "," read too
    kDateTime,  // "yyyy-mm-dd hh:nn:ss"
    kColour,    // red + 256 green + 65536 blue, decimal
    kIndex,     // position in a list of `items` entries, 0 to items - 1
    kChoice,    // one of the values listed in `choices`
};

enum SettingFlag : unsigned {
    kLoadAndSave = 0,
    kSavedOnly = 1u << 0,  // written, never read back
    kReadOnly = 1u << 1,   // read, never written
    kForced = 1u << 2,     // not read: load sets the default, save writes the state
    // The colour is looked up in the settings file, then in basestation.ini's section
    // "drawingsettings", then the default.
    kBaseStationFallback = 1u << 3,
    // The default is a folder of the station directory: `fallback` is its relative name,
    // "" for the station directory itself.
    kInStationDir = 1u << 4,
};

// Defaults that depend on the primary screen (window geometry).
enum class ScreenRule {
    kNone,
    kCentreLeft,      // (screen width - amount) / 2: a window `amount` wide, centred
    kCentreTop,       // (screen height - amount) / 2
    kWidthLess,       // screen width - amount
    kHeightLess,      // screen height - amount
    kWidthPart,       // screen width / amount
    kHeightPart,      // screen height / amount
    kCentreLeftPart,  // centres a window of screen width / amount
    kCentreTopPart,   // centres a window of screen height / amount
};

struct SettingKey {
    std::string section;
    std::string key;
    SettingType type = SettingType::kInteger;
    std::string fallback;  // the default as the file holds it ("" for screen rules)
    unsigned flags = kLoadAndSave;
    int items = 0;             // kIndex
    std::vector<int> choices;  // kChoice
    ScreenRule screen = ScreenRule::kNone;
    int amount = 0;  // of the screen rule
};

// The whole table, in the order a new file is written.
const std::vector<SettingKey>& SettingsSchema();
// The row of a key, compared without regard to case; nullptr when there is none.
const SettingKey* FindSettingKey(std::string_view section, std::string_view key);

}  // namespace aerova
