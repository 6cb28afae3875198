#pragma once
// The desktop's side of the no-position list: the window on the main window's and both radar
// windows' `spbnonvislist` buttons, its settings (section "control" for the panel's buttons,
// "nonpos" for the window), and the rebuild of its rows from the flight table at every tick
// of the main cycle.

#include <QObject>
#include <memory>

#include "config/settings.h"
#include "tools/no_position_list.h"

namespace aerova {

class DesktopStation;
class NoPositionWindow;

class DesktopNoPosition : public QObject {
  public:
    explicit DesktopNoPosition(DesktopStation& desk);
    ~DesktopNoPosition() override;

    NoPositionWindow& window() { return *window_; }
    NoPositionListState& state() { return state_; }

    // The main cycle's pass: the listed targets' colours and user marks in the table, the
    // rows and the caption. Call where the cycle holds the table lock (its tick hook).
    void Rebuild();
    // "No-pos-list bkgnd" and "No-pos-list font" from the colour list (start of reception).
    void ApplyListColours();
    // Shows or hides the window; the buttons of the main and both radar windows follow.
    void Show(bool shown);

    void BindSettings(Settings& s);
    // The loaded values checked and shown: one sort button, a known filter caption, a width
    // the window allows, a place on a screen that exists; the list colours; the window shown
    // as stored.
    void SettingsLoaded();

  private:
    void RebuildLocked();
    void ShowWindow(bool shown);
    void ReleaseButtons();
    void Place();

    DesktopStation& desk_;
    NoPositionListState state_;
    std::unique_ptr<NoPositionWindow> window_;
    WindowPlacement placed_;
    Settings* settings_ = nullptr;
};

}  // namespace aerova
