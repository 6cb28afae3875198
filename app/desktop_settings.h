#pragma once
// The windows' share of the settings file: both radar windows' views, lists, switches and
// colour marks, the global colours, and where the main and radar windows stand.

#include <functional>
#include <string>

class QWidget;

namespace aerova {

class Settings;
class MainWindow;
class RadarWindow;
struct ColourTable;
struct RadarCycleState;
struct ReceiverBarState;

struct DesktopSettingsTargets {
    MainWindow* mainWindow = nullptr;
    RadarWindow* radar[2] = {nullptr, nullptr};
    RadarCycleState* cycle[2] = {nullptr, nullptr};  // the windows' visibility
    ColourTable* colours = nullptr;
    std::string* maxVrateNoColourChange = nullptr;
    ReceiverBarState* receiverBar = nullptr;
    bool* firstRun = nullptr;         // the disclaimer shows while set
    QWidget* alertManager = nullptr;  // `ftp`: the alert manager's place and size
    QWidget* scriptWindow = nullptr;  // `script`: the script window's place
};

// Binds the keys. Returns what runs after every load: views and ring centres applied,
// windows placed on a screen that exists, the shared switches mirrored.
std::function<void()> BindDesktopSettings(Settings& settings, const DesktopSettingsTargets& t);

}  // namespace aerova
