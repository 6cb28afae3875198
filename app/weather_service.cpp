#include "app/weather_service.h"

#include <memory>
#include <utility>

#include "app/weather_layers.h"
#include "base/files.h"

namespace aerova {

WeatherService::WeatherService(std::string stationDir, std::function<bool()> receptionRunning,
                               std::function<WeatherClocks()> clocks, QObject* parent)
    : QObject(parent),
      stationDir_(std::move(stationDir)),
      receptionRunning_(std::move(receptionRunning)),
      clocks_(std::move(clocks)),
      cycle_(ReadWeatherAddresses(stationDir_)) {
    wxtimer_.setObjectName("wxtimer");
    // The cycle says after every call whether and when the timer runs next.
    wxtimer_.setSingleShot(true);
    connect(&wxtimer_, &QTimer::timeout, this, [this] { TimerExpired(); });
}

WeatherService::~WeatherService() = default;

// One reading of the local clock gives both, so they never straddle a slot boundary apart.
std::function<WeatherClocks()> WeatherService::ClocksOf(const StationClock& clock) {
    return [&clock] {
        const DayTime local = clock.LocalNow();
        return WeatherClocks{local + clock.biasMinutes() / 1440.0, local};
    };
}

WeatherClocks WeatherService::Clocks() {
    if (clocks_) return clocks_();
    stationClock_.ReadBias();
    const DayTime local = stationClock_.LocalNow();
    return {local + stationClock_.biasMinutes() / 1440.0, local};
}

void WeatherService::SetDownloadBox(int source, bool checked) {
    if (source < 0 || source >= kWeatherSourceCount) return;
    if (cycle_.boxes(source).download == checked) return;
    const bool reception = receptionRunning_ && receptionRunning_();
    cycle_.SetDownloadBox(source, checked, reception);
    ApplyTimer(reception);
    Changed();
}

void WeatherService::ReceptionStarted() {
    cycle_.ReceptionStarted();
    ApplyTimer(false);
}

void WeatherService::SetDisplayBox(int source, int radarWindow, bool checked) {
    if (source < 0 || source >= kWeatherSourceCount || radarWindow < 0 || radarWindow > 1) return;
    if (cycle_.boxes(source).display[static_cast<std::size_t>(radarWindow)] == checked) return;
    const bool reception = receptionRunning_ && receptionRunning_();
    cycle_.SetDisplayBox(source, radarWindow, checked, reception);
    // Only WX radar 1's display boxes go through the download box handler.
    ApplyTimer(reception && source == kWxRadar1);
    Changed();
}

void WeatherService::OptionsChanged() {
    Changed();
}

const WeatherLayer& WeatherService::layer(int radarWindow) {
    static const WeatherLayer kNoLayer;
    if (radarWindow < 0 || radarWindow > 1) return kNoLayer;
    if (layersStale_) {
        for (int w = 0; w < 2; ++w)
            layers_[static_cast<std::size_t>(w)] = BuildWeatherLayer(cycle_, options_, w);
        layersStale_ = false;
    }
    return layers_[static_cast<std::size_t>(radarWindow)];
}

void WeatherService::RunCycleNow() {
    TimerExpired();
}

void WeatherService::TimerExpired() {
    const bool wasRunning = cycle_.running();
    Start(cycle_.TimerFired(Clocks()));
    ApplyTimer(true);
    // A new cycle clears the layer of the source it downloads first.
    if (!wasRunning && cycle_.running()) Changed();
}

void WeatherService::Start(std::optional<WeatherFetch> fetch) {
    while (fetch) {
        const std::string file = JoinPath(
            stationDir_, kWeatherSources[static_cast<std::size_t>(fetch->source)].pictureFile);
        auto result = std::make_shared<WeatherDownload>();
        const std::atomic<bool>* cancel = worker_.cancelFlag();
        const bool started = worker_.Run(
            [result, url = fetch->address, file, cancel, connect = connectTimeoutMs,
             total = totalTimeoutMs] {
                ForceDirectories(ExtractFileDir(file));
                *result = DownloadWeatherPicture(url, file, cancel, connect, total);
            },
            [this, result] { Finished(std::move(*result)); });
        if (started) return;
        // Never while the cycle hands out one download at a time; should it happen, the
        // download counts as failed and the cycle goes on.
        fetch = cycle_.FetchEnded(WeatherFetchStatus::kRequestFailed, {}, Clocks());
    }
}

void WeatherService::Finished(WeatherDownload&& download) {
    std::optional<WeatherFetch> next = cycle_.FetchEnded(download.status, download.reply, Clocks());
    Start(std::move(next));
    ApplyTimer(true);
    Changed();
}

void WeatherService::ApplyTimer(bool restart) {
    const WeatherTimer& t = cycle_.timer();
    if (!t.Runs()) {
        wxtimer_.stop();
        return;
    }
    if (restart || !wxtimer_.isActive() || wxtimer_.interval() != t.intervalMs)
        wxtimer_.start(t.intervalMs);
}

void WeatherService::Changed() {
    layersStale_ = true;
    if (onChanged) onChanged();
}

}  // namespace aerova
