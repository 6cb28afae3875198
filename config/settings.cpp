#include "config/settings.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr const char* kMonitors = "monitors";
constexpr const char* kMapFolders = "mapfolders";

// Sections and keys the settings write themselves outside the table.
bool HandledOutsideTable(std::string_view section, std::string_view key) {
    if (SameText(section, kMapFolders) || SameText(section, "LastIniFile")) return true;
    if (SameText(section, "process") && SameText(key, "window")) return true;
    return SameText(section, kMonitors) && !SameText(key, "lastcount");
}

std::string NumberText(std::int64_t v) {
    return std::to_string(v);
}

// A text value ends at the first line end: a value can't carry a second line into the file.
std::string OneLine(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, end));
}

const ScreenRect* Primary(const std::vector<ScreenRect>& screens) {
    for (const auto& s : screens)
        if (s.primary) return &s;
    return screens.empty() ? nullptr : &screens.front();
}

}  // namespace

std::string SettingDateTimeText(DayTime t) {
    return FormatDateTime("yyyy-mm-dd hh:nn:ss", t);
}

std::optional<DayTime> ParseSettingDateTime(std::string_view text) {
    const std::string t = Trim(text);
    int a = 0, b = 0, c = 0, hour = 0, minute = 0, second = 0;
    char s1 = 0, s2 = 0;
    int consumed = 0;
    const int n = std::sscanf(t.c_str(), "%d%c%d%c%d%n", &a, &s1, &b, &s2, &c, &consumed);
    if (n < 5 || s1 != s2 || (s1 != '-' && s1 != '.' && s1 != '/')) return std::nullopt;
    int year = a, month = b, day = c;
    if (s1 != '-') {  // day first, as regional formats write it
        year = c;
        day = a;
        if (year < 100) year += 2000;
    }
    const std::string rest = Trim(t.substr(static_cast<std::size_t>(consumed)));
    if (!rest.empty()) {
        int used = 0;
        if (std::sscanf(rest.c_str(), "%d:%d:%d%n", &hour, &minute, &second, &used) != 3 ||
            static_cast<std::size_t>(used) != rest.size())
            return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    return EncodeDateTime(year, month, day, hour, minute, second, 0);
}

bool IsStorableKeyName(std::string_view name) {
    if (name.empty() || Trim(name) != name) return false;
    if (name.front() == ';' || name.front() == '#' || name.front() == '[') return false;
    return name.find_first_of("=\r\n]") == std::string_view::npos;
}

std::optional<std::string> CheckSettingValue(const SettingKey& row, std::string_view text) {
    switch (row.type) {
        case SettingType::kText:
            return OneLine(text);
        case SettingType::kInteger: {
            const auto v = TryParseInt(Trim(text));
            if (!v) return std::nullopt;
            return NumberText(*v);
        }
        case SettingType::kBool: {
            const auto v = TryParseInt(Trim(text));
            if (!v) return std::nullopt;
            return std::string(*v != 0 ? "1" : "0");
        }
        case SettingType::kColour: {
            const auto v = TryParseInt(Trim(text));
            if (!v || *v < 0 || *v > 0xFFFFFF) return std::nullopt;
            return NumberText(*v);
        }
        case SettingType::kIndex: {
            const auto v = TryParseInt(Trim(text));
            if (!v || *v < 0 || *v >= row.items) return std::nullopt;
            return NumberText(*v);
        }
        case SettingType::kChoice: {
            const auto v = TryParseInt(Trim(text));
            if (!v || std::find(row.choices.begin(), row.choices.end(), *v) == row.choices.end())
                return std::nullopt;
            return NumberText(*v);
        }
        case SettingType::kFloat: {
            // Files written under a regional format with a decimal comma read the same.
            std::string t = Trim(text);
            if (t.find('.') == std::string::npos) std::replace(t.begin(), t.end(), ',', '.');
            const auto v = TryParseReal(t);
            if (!v) return std::nullopt;
            return RealToShortestText(*v);
        }
        case SettingType::kDateTime: {
            if (Trim(text).empty()) return std::string();
            const auto v = ParseSettingDateTime(text);
            if (!v) return std::nullopt;
            return SettingDateTimeText(*v);
        }
    }
    return std::nullopt;
}

WindowPlacement FitWindowToScreens(const WindowPlacement& placement,
                                   const std::vector<ScreenRect>& screens) {
    const ScreenRect* primary = Primary(screens);
    if (!primary) return placement;
    const int width = std::max(placement.width, 1), height = std::max(placement.height, 1);
    for (const ScreenRect& s : screens) {
        const bool meets = placement.left < s.left + s.width && placement.left + width > s.left &&
                           placement.top < s.top + s.height && placement.top + height > s.top;
        if (meets) return placement;
    }
    WindowPlacement p = placement;
    p.width = std::min(placement.width, primary->width);
    p.height = std::min(placement.height, primary->height);
    p.left = primary->left + (primary->width - p.width) / 2;
    p.top = primary->top + (primary->height - p.height) / 2;
    return p;
}

Settings::Settings(std::string stationDir) : stationDir_(std::move(stationDir)) {}

std::string Settings::Id(std::string_view section, std::string_view key) {
    return LowerCase(Concat({section, "\n", key}));
}

void Settings::Bind(std::string_view section, std::string_view key, Getter get, Setter set) {
    const SettingKey* row = FindSettingKey(section, key);
    if (!row)
        throw std::logic_error(
            Concat({"settings key [", section, "] ", key, " is not in the table"}));
    const std::string id = Id(section, key);
    Binding& b = bindings_[id] = Binding{std::move(get), std::move(set)};
    // Bound after a load: the state takes the value in force.
    if (const auto it = carried_.find(id); it != carried_.end()) {
        if (!(row->flags & kSavedOnly)) b.set(it->second);
        carried_.erase(it);
    }
}

void Settings::Bind(std::string_view section, std::string_view key, int& field) {
    Bind(
        section, key, [&field] { return std::to_string(field); },
        [&field](const std::string& v) { field = IntOr(v, field); });
}

void Settings::Bind(std::string_view section, std::string_view key, bool& field) {
    Bind(
        section, key, [&field] { return std::string(field ? "1" : "0"); },
        [&field](const std::string& v) { field = v == "1"; });
}

void Settings::Bind(std::string_view section, std::string_view key, std::string& field) {
    Bind(
        section, key, [&field] { return field; }, [&field](const std::string& v) { field = v; });
}

void Settings::Bind(std::string_view section, std::string_view key, double& field) {
    const SettingKey* row = FindSettingKey(section, key);
    if (row && row->type == SettingType::kDateTime) {
        Bind(
            section, key, [&field] { return field > 0 ? SettingDateTimeText(field) : ""; },
            [&field](const std::string& v) { field = ParseSettingDateTime(v).value_or(0); });
        return;
    }
    Bind(
        section, key, [&field] { return RealToShortestText(field); },
        [&field](const std::string& v) { field = RealOr(v, field); });
}

void Settings::Bind(std::string_view section, std::string_view key, float& field) {
    Bind(
        section, key, [&field] { return RealToShortestText(static_cast<double>(field)); },
        [&field](const std::string& v) {
            field = static_cast<float>(RealOr(v, static_cast<double>(field)));
        });
}

void Settings::BindItem(std::string_view section, std::string_view key, std::string& field,
                        const std::vector<std::string>& items) {
    Bind(
        section, key,
        [&field, items] {
            const auto it = std::find(items.begin(), items.end(), field);
            return std::to_string(it == items.end() ? 0 : it - items.begin());
        },
        [&field, items](const std::string& v) {
            const int i = IntOr(v, -1);
            if (i >= 0 && static_cast<std::size_t>(i) < items.size())
                field = items[static_cast<std::size_t>(i)];
        });
}

void Settings::BindMapFolders(std::function<std::map<std::string, bool>()> get,
                              std::function<void(const std::map<std::string, bool>&)> set) {
    getFolders_ = std::move(get);
    setFolders_ = std::move(set);
    if (!carriedFolders_.empty()) setFolders_(carriedFolders_);
}

bool Settings::Bound(std::string_view section, std::string_view key) const {
    return bindings_.count(Id(section, key)) != 0;
}

std::string Settings::DefaultOf(const SettingKey& row) const {
    if (row.flags & kInStationDir)
        return row.fallback.empty() ? stationDir_ : JoinPath(stationDir_, row.fallback);
    if (row.screen == ScreenRule::kNone) return row.fallback;
    const ScreenRect* screen = Primary(screens_);
    if (!screen) return "";
    const int w = screen->width, h = screen->height, a = std::max(row.amount, 1);
    int v = 0;
    switch (row.screen) {
        case ScreenRule::kCentreLeft:
            v = screen->left + (w - a) / 2;
            break;
        case ScreenRule::kCentreTop:
            v = screen->top + (h - a) / 2;
            break;
        case ScreenRule::kWidthLess:
            v = w - a;
            break;
        case ScreenRule::kHeightLess:
            v = h - a;
            break;
        case ScreenRule::kWidthPart:
            v = w / a;
            break;
        case ScreenRule::kHeightPart:
            v = h / a;
            break;
        case ScreenRule::kCentreLeftPart:
            v = screen->left + (w - w / a) / 2;
            break;
        case ScreenRule::kCentreTopPart:
            v = screen->top + (h - h / a) / 2;
            break;
        case ScreenRule::kNone:
            break;
    }
    return std::to_string(v);
}

std::string Settings::ReadChecked(const SettingKey& row, const IniFile& file,
                                  const IniFile* baseStation) const {
    if (row.flags & kForced) return DefaultOf(row);
    const IniFile* source = &file;
    if ((row.flags & kBaseStationFallback) && !file.ValueExists(row.section, row.key) &&
        baseStation && baseStation->ValueExists("drawingsettings", row.key))
        source = baseStation;
    if (!source->ValueExists(row.section, row.key)) return DefaultOf(row);
    const std::string section = source == baseStation ? "drawingsettings" : row.section;
    return CheckSettingValue(row, source->ReadString(section, row.key, ""))
        .value_or(DefaultOf(row));
}

void Settings::LoadSettings(const std::string& path) {
    busy_ = true;
    const IniFile file(path);
    const std::string baseStationPath = JoinPath(stationDir_, kBaseStationIniName);
    const IniFile baseStation(FileExists(baseStationPath) ? baseStationPath : std::string());
    for (const SettingKey& row : SettingsSchema()) {
        const std::string id = Id(row.section, row.key);
        const auto bound = bindings_.find(id);
        if ((row.flags & kSavedOnly) && !(row.flags & kForced)) {
            // Never read into the state; a key nobody binds keeps what the file held.
            if (bound == bindings_.end()) {
                if (file.ValueExists(row.section, row.key))
                    carried_[id] = OneLine(file.ReadString(row.section, row.key, ""));
                else
                    carried_[id] = DefaultOf(row);
            }
            continue;
        }
        const std::string value = ReadChecked(row, file, &baseStation);
        if (bound == bindings_.end())
            carried_[id] = value;
        else if (!value.empty() || row.screen == ScreenRule::kNone)
            bound->second.set(value);  // without a screen a window keeps its own place
    }
    carriedFolders_.clear();
    for (const std::string& name : file.ReadSection(kMapFolders))
        if (IsStorableKeyName(name))
            carriedFolders_[name] = file.ReadBool(kMapFolders, name, false);
    if (setFolders_) setFolders_(carriedFolders_);
    loaded_ = file;
    busy_ = false;
    if (afterLoad) afterLoad();
}

std::string Settings::Value(std::string_view section, std::string_view key) const {
    const std::string id = Id(section, key);
    if (const auto b = bindings_.find(id); b != bindings_.end()) {
        const SettingKey* row = FindSettingKey(section, key);
        return row ? CheckSettingValue(*row, b->second.get()).value_or(DefaultOf(*row)) : "";
    }
    if (const auto c = carried_.find(id); c != carried_.end()) return c->second;
    const SettingKey* row = FindSettingKey(section, key);
    return row ? DefaultOf(*row) : "";
}

bool Settings::SaveSettings(const std::string& path) {
    busy_ = true;
    IniFile file(path);
    for (const SettingKey& row : SettingsSchema()) {
        if (row.flags & kReadOnly) continue;
        std::string value = Value(row.section, row.key);
        // A key whose default depends on a screen the station does not have stays out.
        if (value.empty() && row.screen != ScreenRule::kNone) continue;
        if (SameText(row.section, "firstrun")) value.assign(1, '0');  // the disclaimer was shown
        file.WriteString(row.section, row.key, value);
    }
    // The monitors of this session, as the windows' positions refer to them.
    if (!screens_.empty()) {
        file.WriteInteger(kMonitors, "lastcount", static_cast<std::int64_t>(screens_.size()));
        for (std::size_t i = 0; i < screens_.size(); ++i) {
            const std::string n = std::to_string(i);
            file.WriteInteger(kMonitors, Concat({"width", n}), screens_[i].width);
            file.WriteInteger(kMonitors, Concat({"height", n}), screens_[i].height);
            file.WriteInteger(kMonitors, Concat({"left", n}), screens_[i].left);
            file.WriteInteger(kMonitors, Concat({"top", n}), screens_[i].top);
            file.WriteBool(kMonitors, Concat({"primary", n}), screens_[i].primary);
        }
    }
    const std::map<std::string, bool> folders = getFolders_ ? getFolders_() : carriedFolders_;
    for (const auto& [name, on] : folders)
        if (IsStorableKeyName(name)) file.WriteBool(kMapFolders, name, on);
    // Keys this station does not know, from the file loaded last, travel with it into a set.
    for (const std::string& section : loaded_.ReadSections())
        for (const std::string& key : loaded_.ReadSection(section))
            if (!FindSettingKey(section, key) && !HandledOutsideTable(section, key) &&
                !file.ValueExists(section, key))
                file.WriteString(section, key, loaded_.ReadString(section, key, ""));

    ReplaceOptions options = kSettingsFileOptions;
    options.beforeRename = beforeRename;
    const bool ok = WriteFileReplacing(path, file.ToText(), options);
    lastError_ = ok ? std::string() : Concat({"Cannot write the settings file ", path});
    busy_ = false;
    if (!ok && onSaveFailed) onSaveFailed(path, lastError_);
    return ok;
}

}  // namespace aerova
