#pragma once
// The desktop's side of the weather pictures: the download service, the weather display
// manager window on the main window's `sbwx` button, their settings (section "wxform" and the
// weather colours), and the layers the radar windows draw.

#include <QObject>
#include <memory>

#include "app/weather_service.h"

namespace aerova {

class DesktopStation;
class Settings;
class WeatherWindow;

class DesktopWeather : public QObject {
  public:
    explicit DesktopWeather(DesktopStation& desk);
    ~DesktopWeather() override;

    WeatherService& service() { return *service_; }
    WeatherWindow& window() { return *window_; }
    // What radar window `tag` (1 or 2) draws.
    const WeatherLayer& layer(int tag) { return service_->layer(tag - 1); }
    // Reception has started: the boxes of the settings start their downloads.
    void ReceptionStarted() { service_->ReceptionStarted(); }
    // Key Q of a radar window: the "Lightning" box.
    void ToggleLightning();
    // The boxes, options and colours; the window shows them after a load.
    void BindSettings(Settings& s);
    void SettingsLoaded();

  private:
    void Changed();

    DesktopStation& desk_;
    std::unique_ptr<WeatherService> service_;
    std::unique_ptr<WeatherWindow> window_;
};

}  // namespace aerova
