#pragma once
// The desktop's side of the ATC console: the window on the main window's `sbatc` button, its
// settings (section "atcconsole"), the radar windows its view buttons move, and report
// ingest's share of it ("ONG", the airport text and the blacklist), kept in step with the
// console.

#include <QObject>
#include <memory>

#include "config/settings.h"
#include "tools/atc_console.h"

namespace aerova {

class AtcConsoleWindow;
class DesktopStation;

class DesktopAtc : public QObject {
  public:
    explicit DesktopAtc(DesktopStation& desk);
    ~DesktopAtc() override;

    AtcConsoleWindow& window() { return *window_; }
    AtcConsoleState& state() { return state_; }

    // `sbatc` down or up; the window's own close releases the button.
    void Show(bool shown);
    // The keys of section "atcconsole" except "ong" and "route", which the station binds to
    // what report ingest reads; SettingsLoaded takes those from there.
    void BindSettings(Settings& s);
    // After every load: the console shows the loaded values, with "ONG" down the blacklist
    // comes from its file, and the window stands where the settings place it.
    void SettingsLoaded();
    // Reception has started: the lists take the colour "No-pos-list bkgnd".
    void ReceptionStarted();
    // The main cycle's tick empties the three lists.
    void Tick();

  private:
    class Radars;
    // Report ingest reads "ONG", the airport text and the blacklist.
    void ToIngest();

    DesktopStation& desk_;
    AtcConsoleState state_;
    std::unique_ptr<Radars> radars_;
    std::unique_ptr<AtcConsoleWindow> window_;
    WindowPlacement placed_;
    bool visible_ = false;  // atcconsole/visible as loaded
};

}  // namespace aerova
