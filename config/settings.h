#pragma once
// The station's main settings file, loaded into and saved from the plain state structs of
// the subsystems. Each subsystem binds the keys of its state (`Bind`); a key nobody binds
// (the windows a station does not have, every window in a headless station) keeps the
// value the file held, so a save never writes defaults over a user's values.
//
// Load and save walk the key table: values are checked by type where they enter, and a
// malformed number, an index outside its list or a value outside its choices gives the
// key's default.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/day_time.h"
#include "base/ini_file.h"
#include "config/settings_schema.h"

namespace aerova {

constexpr const char* kMainIniName = "aerovas.ini";
constexpr const char* kConfigDir = "aerova-config";
constexpr const char* kBaseStationIniName = "basestation.ini";
constexpr const char* kStandardSetName = "aerovas";

// One monitor as the settings record it; the first primary one places centred windows.
struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool primary = false;
};

// A window's place and size as the settings keep them.
struct WindowPlacement {
    int left = 0, top = 0, width = 0, height = 0;
};
// A window whose saved rectangle meets no screen (a monitor unplugged since) is centred on
// the primary screen, no larger than it; otherwise the placement stands.
WindowPlacement FitWindowToScreens(const WindowPlacement& placement,
                                   const std::vector<ScreenRect>& screens);

class Settings {
  public:
    // Values cross between the file and the bindings as checked text: integers, indexes,
    // choices and colours in decimal, booleans "1"/"0", reals in their shortest form with
    // ".", date-times as "yyyy-mm-dd hh:nn:ss".
    using Getter = std::function<std::string()>;
    using Setter = std::function<void(const std::string&)>;

    explicit Settings(std::string stationDir);

    // Without screens (a headless station) the keys whose defaults depend on the screen
    // are carried only when a file holds them, and `monitors` is left as it is.
    void SetScreens(std::vector<ScreenRect> screens) { screens_ = std::move(screens); }
    const std::vector<ScreenRect>& screens() const { return screens_; }

    // Binding a key that the table does not hold is a programming error: it throws
    // std::logic_error at start, where a test sees it.
    void Bind(std::string_view section, std::string_view key, Getter get, Setter set);
    void Bind(std::string_view section, std::string_view key, int& field);
    void Bind(std::string_view section, std::string_view key, bool& field);
    void Bind(std::string_view section, std::string_view key, std::string& field);
    void Bind(std::string_view section, std::string_view key, double& field);
    void Bind(std::string_view section, std::string_view key, float& field);
    // A list index stored for a control that holds the item's text.
    void BindItem(std::string_view section, std::string_view key, std::string& field,
                  const std::vector<std::string>& items);
    // The map folders' marks: one boolean per folder, keyed by its name.
    void BindMapFolders(std::function<std::map<std::string, bool>()> get,
                        std::function<void(const std::map<std::string, bool>&)> set);
    bool Bound(std::string_view section, std::string_view key) const;

    // Reads `path` (a missing file gives every default) and applies it. Runs `afterLoad`.
    void LoadSettings(const std::string& path);
    // Writes the whole state to `path`, keeping the file's other keys and comments; the
    // file is replaced in one step and a new one is readable by its owner only. False,
    // with `lastError` set and `onSaveFailed` run, when it cannot be written.
    bool SaveSettings(const std::string& path);

    // The value in force of any key, bound or not, as checked text; "" for a key the table
    // does not hold or one that is carried and was never in a file.
    std::string Value(std::string_view section, std::string_view key) const;
    // The default of a key for this station and screen.
    std::string DefaultOf(const SettingKey& row) const;

    bool busy() const { return busy_; }
    const std::string& lastError() const { return lastError_; }
    const std::string& stationDir() const { return stationDir_; }

    // After every load (the running mark, time-outs applied as a change, reloads).
    std::function<void()> afterLoad;
    std::function<void(const std::string& path, const std::string& error)> onSaveFailed;
    // Runs between the written temporary file and the rename (crash tests).
    void (*beforeRename)(const std::string& temporary) = nullptr;

  private:
    struct Binding {
        Getter get;
        Setter set;
    };
    static std::string Id(std::string_view section, std::string_view key);
    std::string ReadChecked(const SettingKey& row, const IniFile& file,
                            const IniFile* baseStation) const;

    std::string stationDir_;
    std::vector<ScreenRect> screens_;
    std::map<std::string, Binding> bindings_;  // by lower-case "section\nkey"
    std::map<std::string, std::string> carried_;
    std::function<std::map<std::string, bool>()> getFolders_;
    std::function<void(const std::map<std::string, bool>&)> setFolders_;
    std::map<std::string, bool> carriedFolders_;
    IniFile loaded_;  // the unknown keys of the file loaded last travel with a save
    bool busy_ = false;
    std::string lastError_;
};

// Checks and normalises a value read from a file for its row; nothing when it does not
// fit (the caller uses the default).
std::optional<std::string> CheckSettingValue(const SettingKey& row, std::string_view text);
// "yyyy-mm-dd hh:nn:ss" and back; the reader also takes "dd.mm.yyyy hh:nn:ss" and a date
// alone.
std::string SettingDateTimeText(DayTime t);
std::optional<DayTime> ParseSettingDateTime(std::string_view text);
// A map-folder name that can be a key: no "[", "]", "=", ";" at its start or line ends.
bool IsStorableKeyName(std::string_view name);

}  // namespace aerova
