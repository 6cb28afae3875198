#include "config/configuration_sets.h"

#include <algorithm>
#include <filesystem>

#include "base/files.h"
#include "base/product.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr const char* kLastIniFile = "LastIniFile";
constexpr const char* kSetExtension = ".ini";
constexpr const char* kReceiverExtension = ".sbs.ini";

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && SameText(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

ConfigurationSets::ConfigurationSets(Settings& settings, ConfigSetDialogs dialogs)
    : settings_(settings), dialogs_(std::move(dialogs)) {}

std::string ConfigurationSets::MainPath() const {
    return JoinPath(settings_.stationDir(), kMainIniName);
}

std::optional<std::string> ConfigurationSets::SetPath(const std::string& name) const {
    if (SameText(name, kStandardSetName)) return MainPath();
    // The name becomes a file name inside aerova-config and nothing else.
    if (name.empty() || name == "." || name == ".." || Trim(name) != name) return std::nullopt;
    for (const char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    return JoinPath(JoinPath(settings_.stationDir(), kConfigDir), name + kSetExtension);
}

void ConfigurationSets::RefreshList() {
    list_.clear();
    std::error_code ec;
    const std::string dir = JoinPath(settings_.stationDir(), kConfigDir);
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string file = entry.path().filename().string();
        // "x.sbs.ini" belongs to the receiver settings: as a set it would load defaults and
        // the next shut-down would overwrite it with the main settings.
        if (!entry.is_regular_file(ec) || !EndsWithNoCase(file, kSetExtension) ||
            EndsWithNoCase(file, kReceiverExtension))
            continue;
        const std::string name =
            file.substr(0, file.size() - std::string_view(kSetExtension).size());
        if (SetPath(name) && !SameText(name, kStandardSetName)) list_.push_back(name);
    }
    std::sort(list_.begin(), list_.end());
    list_.push_back(kStandardSetName);
}

void ConfigurationSets::LoadAtStart() {
    RefreshList();
    const IniFile main(MainPath());
    const std::string last = main.ReadString(kLastIniFile, "filename", "");
    const bool listed = std::find(list_.begin(), list_.end(), last) != list_.end();
    const auto path = SetPath(last);
    if (listed && path && !SameText(last, kStandardSetName) && FileExists(*path)) {
        inForce_ = last;
        settings_.LoadSettings(*path);
    } else {
        inForce_ = kStandardSetName;
        settings_.LoadSettings(MainPath());
    }
    shown = inForce_;
}

bool ConfigurationSets::Load(const std::string& name) {
    const auto path = SetPath(name);
    if (!path) {
        if (dialogs_.message)
            dialogs_.message(Concat({"\"", name, "\" is not a configuration name."}), kMainCaption);
        return false;
    }
    if (!FileExists(*path)) {
        if (dialogs_.message) dialogs_.message("Configuration file not found.", *path);
        return false;
    }
    if (dialogs_.ask && !dialogs_.ask("Load configuration file?", kMainCaption)) return false;
    if (beforeLoad) beforeLoad();
    settings_.LoadSettings(*path);
    inForce_ = SameText(name, kStandardSetName) ? std::string(kStandardSetName) : name;
    shown = inForce_;
    RememberLast(inForce_);
    if (afterLoad) afterLoad();
    return true;
}

bool ConfigurationSets::Save(const std::string& name) {
    if (name.empty() || SameText(name, kStandardSetName)) return false;
    const auto path = SetPath(name);
    if (!path) {
        if (dialogs_.message)
            dialogs_.message(Concat({"\"", name, "\" is not a configuration name."}), kMainCaption);
        return false;
    }
    ForceDirectories(JoinPath(settings_.stationDir(), kConfigDir));
    if (FileExists(*path) && dialogs_.ask &&
        !dialogs_.ask("Overwrite configuration file?", kMainCaption))
        return false;
    if (!settings_.SaveSettings(*path)) {
        if (dialogs_.message) dialogs_.message(settings_.lastError(), kMainCaption);
        return false;
    }
    inForce_ = name;
    RefreshList();
    shown = name;
    RememberLast(name);
    return true;
}

bool ConfigurationSets::SaveAtShutdown(const std::function<void(const std::string&)>& caption) {
    caption("Saving to aerovas.ini...");
    bool ok = settings_.SaveSettings(MainPath());
    ok = ok && [this] {
        IniFile main(MainPath());
        main.WriteString(kLastIniFile, "filename", inForce_);
        return main.UpdateFile(kSettingsFileOptions);
    }();
    caption(Concat({"Saving to ", inForce_, ".ini"}));
    if (!SameText(inForce_, kStandardSetName)) {
        if (const auto path = SetPath(inForce_)) ok = settings_.SaveSettings(*path) && ok;
    }
    return ok;
}

void ConfigurationSets::RememberLast(const std::string& name) {
    IniFile main(MainPath());
    main.WriteString(kLastIniFile, "filename", name);
    main.UpdateFile(kSettingsFileOptions);
}

}  // namespace aerova
