#pragma once
// The desktop's side of the search window: the window over the station's flight table and
// waypoint names, moving the two radar windows; its settings (section "search": the display
// choice, "Follow", place and size); the main window's `sbsearch` button and Ctrl+F of a
// radar window show it.

#include <QObject>
#include <memory>

#include "config/settings.h"

namespace aerova {

class DesktopStation;
class SearchWindow;
class SearchDisplays;

class DesktopSearch : public QObject {
  public:
    explicit DesktopSearch(DesktopStation& desk);
    ~DesktopSearch() override;

    SearchWindow& window() { return *window_; }
    // Ctrl+F and `sbsearch` pressed: shown (or kept) and brought to the front; the button
    // goes down.
    void Show();
    // `sbsearch` released.
    void Hide();
    void BindSettings(Settings& s);
    void SettingsLoaded();

  private:
    DesktopStation& desk_;
    Settings* settings_ = nullptr;
    WindowPlacement placed_;
    std::unique_ptr<SearchDisplays> displays_;
    std::unique_ptr<SearchWindow> window_;
};

}  // namespace aerova
