#pragma once
// The desktop's side of the window "BST control" (the database and log-file manager): shown
// by the main window's `spbdb`, the radar windows' "BST" button and Ctrl+B; "Save to bst
// file" runs the station's list files, and the switches reach the list files, the aircraft
// database, the aircraft XML files and the label mark of routed flights.

#include <QObject>
#include <memory>

namespace aerova {

class BstControlWindow;
class DesktopStation;
class Settings;

class DesktopBst : public QObject {
  public:
    explicit DesktopBst(DesktopStation& desk);
    ~DesktopBst() override;

    BstControlWindow& window() { return *window_; }
    // `spbdb` went down (show) or up (hide).
    void Show(bool shown);
    // Ctrl+B and the radar windows' hook: shown and brought to the front.
    void ShowAndRaise();
    // "Mark flight label (°)": the degree sign before the labels of routed flights.
    bool markLabel() const { return marklabel_; }
    // flightstats/marklabel (the other switches are bound by the station and its services).
    void BindSettings(Settings& s);
    void SettingsLoaded();

  private:
    void SetButtons(bool down);
    void Changed(const std::string& control);

    DesktopStation& desk_;
    bool marklabel_ = true;
    std::unique_ptr<BstControlWindow> window_;
};

}  // namespace aerova
