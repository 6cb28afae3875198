#pragma once
// The weather window's radar pictures at work: the download cycle with its timer `wxtimer`,
// one picture transfer at a time on a worker thread, and the layers the two radar windows
// draw from the pictures. Everything is applied on the UI thread; the window and the settings
// change the boxes and options through this service and redraw on `onChanged`.

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "distribution/transfer_worker.h"
#include "platform/clock.h"
#include "radar/weather_layer.h"
#include "weather/weather_download.h"
#include "weather/weather_images.h"

namespace aerova {

class WeatherService : public QObject {
  public:
    // The base addresses come from wxradar.ini in `stationDir`, the pictures go to their files
    // below it. `receptionRunning` tells the box handlers whether to arm the cycle. `clocks`
    // reads both clocks at the moment of a call; empty: the computer's local clock and the
    // station clock on it (see ClocksOf).
    WeatherService(std::string stationDir, std::function<bool()> receptionRunning,
                   std::function<WeatherClocks()> clocks = {}, QObject* parent = nullptr);
    // Cancels a running download and waits for its thread; no result is applied afterwards.
    ~WeatherService() override;
    WeatherService(const WeatherService&) = delete;
    WeatherService& operator=(const WeatherService&) = delete;

    // Both clocks from the station's clock (UtcNow and the local time).
    static std::function<WeatherClocks()> ClocksOf(const StationClock& clock);

    const WeatherCycle& cycle() const { return cycle_; }
    // Written by the window and the settings; call OptionsChanged() afterwards.
    WxformOptions& options() { return options_; }
    const WxformOptions& options() const { return options_; }

    // The window's boxes (and the settings applied to them): the cycle's box handlers with the
    // reception state of the moment, then the timer follows the cycle.
    void SetDownloadBox(int source, bool checked);
    void SetDisplayBox(int source, int radarWindow, bool checked);
    // Colours, intensity boxes or the lightning options changed.
    void OptionsChanged();

    // What radar window `radarWindow` (0 or 1) draws; rebuilt on the first call after a change.
    // The reference stays valid for the service's life.
    const WeatherLayer& layer(int radarWindow);

    // Reception has started: boxes the settings checked start the cycle 5 seconds later.
    void ReceptionStarted();
    // wxtimer's expiry, at once.
    void RunCycleNow();
    const QTimer& wxtimer() const { return wxtimer_; }
    bool downloading() const { return worker_.busy(); }

    // After every finished download and every box or option change: the owner redraws the
    // radar windows (which read layer()) and refreshes the weather window.
    std::function<void()> onChanged;

    // The time-outs of one picture transfer.
    long connectTimeoutMs = 10000;
    long totalTimeoutMs = 20000;

  private:
    WeatherClocks Clocks();
    void TimerExpired();
    void Start(std::optional<WeatherFetch> fetch);
    void Finished(WeatherDownload&& download);
    void ApplyTimer(bool restart);
    void Changed();

    std::string stationDir_;
    std::function<bool()> receptionRunning_;
    std::function<WeatherClocks()> clocks_;
    SystemClock systemClock_;
    StationClock stationClock_{systemClock_};
    WeatherCycle cycle_;
    WxformOptions options_;
    std::array<WeatherLayer, 2> layers_;
    bool layersStale_ = true;
    QTimer wxtimer_;
    // Last, so that it is destroyed first: its thread must not outlive the rest.
    TransferWorker worker_;
};

}  // namespace aerova
