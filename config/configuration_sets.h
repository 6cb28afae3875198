#pragma once
// Configuration sets: named copies of the settings in "aerova-config/<name>.ini", chosen in
// the main window's list `cbconfig` ("aerovas" is the standard set, aerovas.ini). Loading a
// set replaces every setting (a key the set lacks takes its default); the set in force is
// the one the shut-down saves to.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/settings.h"

namespace aerova {

struct ConfigSetDialogs {
    // Yes/No question; true for Yes.
    std::function<bool(const std::string& question, const std::string& title)> ask;
    std::function<void(const std::string& text, const std::string& title)> message;
};

class ConfigurationSets {
  public:
    ConfigurationSets(Settings& settings, ConfigSetDialogs dialogs);

    // The list: the "*.ini" files of aerova-config without their extension (receiver
    // files "*.sbs.ini" are not sets), then "aerovas".
    void RefreshList();
    const std::vector<std::string>& cbconfig() const { return list_; }

    // Start of reception: the set named by LastIniFile/filename of aerovas.ini when it is
    // listed and its file exists, otherwise aerovas.ini; loads it.
    void LoadAtStart();
    // "Load configuration file" with the name the list shows. True when a set was loaded.
    bool Load(const std::string& name);
    // "Save configuration file" with the name the list shows. True when it was saved.
    bool Save(const std::string& name);
    // Shut-down: aerovas.ini, then the set in force (nothing more for the standard set).
    // `caption` shows the progress texts. False when a file could not be written.
    bool SaveAtShutdown(const std::function<void(const std::string&)>& caption);

    // The set whose values are in force ("aerovas" for the standard set), and the name
    // the list shows.
    const std::string& inForce() const { return inForce_; }
    std::string shown;

    // The file of a set, or nothing when the name can't be a plain file name inside
    // aerova-config ("", "../x", "a/b", names with control characters).
    std::optional<std::string> SetPath(const std::string& name) const;
    std::string MainPath() const;

    // After a set was loaded (reloads that depend on the new settings, redraws).
    std::function<void()> beforeLoad, afterLoad;

  private:
    void RememberLast(const std::string& name);

    Settings& settings_;
    ConfigSetDialogs dialogs_;
    std::vector<std::string> list_;
    std::string inForce_ = kStandardSetName;
};

}  // namespace aerova
