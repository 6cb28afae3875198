#include "app/desktop_weather.h"

#include <QKeyEvent>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "config/settings.h"
#include "radar/radar_window.h"
#include "weather/weather_window.h"

namespace aerova {

namespace {

int ColourInt(const Rgb& c) {
    const auto byte = [](float v) { return static_cast<int>(v * 255.0f + 0.5f); };
    return WeatherColour(byte(c.r), byte(c.g), byte(c.b));
}

std::string BoolText(bool on) {
    return on ? "1" : "0";
}

}  // namespace

DesktopWeather::DesktopWeather(DesktopStation& desk) : desk_(desk) {
    Station& station = desk_.station();
    service_ = std::make_unique<WeatherService>(
        station.stationDir(),
        [&station] { return station.receptionStarted() && !station.shutdownBegun(); },
        WeatherService::ClocksOf(station.clock()));
    service_->onChanged = [this] { Changed(); };

    WeatherWindowHooks hooks;
    hooks.downloadBox = [this](int source, bool on) { service_->SetDownloadBox(source, on); };
    hooks.displayBox = [this](int source, int window, bool on) {
        service_->SetDisplayBox(source, window, on);
    };
    hooks.optionsChanged = [this] { service_->OptionsChanged(); };
    // Keys typed here go to the radar window that was active last.
    hooks.key = [this](QKeyEvent* key) {
        if (key) desk_.keyRouter().lastActive().Route(KeyPressFromEvent(*key));
    };
    hooks.closed = [this] { desk_.mainWindow().SetButtonDown("sbwx", false); };
    hooks.backgroundColour = [this] { return ColourInt(desk_.colours()[kColRadarBackground]); };
    window_ =
        std::make_unique<WeatherWindow>(service_->cycle(), service_->options(), std::move(hooks));
    QToolButton* button = desk_.mainWindow().button("sbwx");
    button->setEnabled(true);
    connect(button, &QToolButton::toggled, this, [this](bool down) {
        if (down) {
            window_->Refresh();
            window_->show();
            window_->raise();
        } else {
            window_->hide();
        }
    });
}

DesktopWeather::~DesktopWeather() = default;

void DesktopWeather::Changed() {
    for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).Redraw();
    if (window_) window_->Refresh();
}

void DesktopWeather::ToggleLightning() {
    service_->options().cbblitz = !service_->options().cbblitz;
    service_->OptionsChanged();
}

void DesktopWeather::BindSettings(Settings& s) {
    constexpr std::string_view kSection = "wxform";
    for (int source = 0; source < kWeatherSourceCount; ++source) {
        const WeatherSource& src = kWeatherSources[static_cast<std::size_t>(source)];
        // The boxes go through their handlers, as a click would: a configuration set loaded
        // while reception runs starts the downloads it checks.
        s.Bind(
            kSection, src.downloadKey,
            [this, source] { return BoolText(service_->cycle().boxes(source).download); },
            [this, source](const std::string& v) { service_->SetDownloadBox(source, v == "1"); });
        for (int w = 0; w < 2; ++w) {
            s.Bind(
                kSection, src.displayKeys[static_cast<std::size_t>(w)],
                [this, source, w] {
                    return BoolText(
                        service_->cycle().boxes(source).display[static_cast<std::size_t>(w)]);
                },
                [this, source, w](const std::string& v) {
                    service_->SetDisplayBox(source, w, v == "1");
                });
        }
    }
    WxformOptions& o = service_->options();
    s.Bind(kSection, "blitz", o.cbblitz);
    s.Bind(kSection, "intervalblitz", o.clbblitz);
    for (int c = 0; c < kIntensityClassCount; ++c)
        s.Bind(kSection, IntensityBoxKey(c), o.intensityBoxes[static_cast<std::size_t>(c)]);
    for (int i = 0; i < kWeatherColourCount; ++i)
        s.Bind(kWeatherColourSection, WeatherColourKey(i), o.colours[static_cast<std::size_t>(i)]);
}

void DesktopWeather::SettingsLoaded() {
    service_->OptionsChanged();
}

}  // namespace aerova
