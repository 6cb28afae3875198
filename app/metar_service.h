#pragma once
// Airport weather for the radar windows and Auto QNH: the reload cycle of the main window's
// weather timer (Timer2), the radar windows' "Auto", "Reload" and airport box, and the
// receiver's QNH from its home airport's METAR. Every fetch goes through the METAR library on
// a worker thread, one batch at a time, so the main cycle and the windows keep running while
// a weather server is slow or silent; the texts are applied on the UI thread. The headless
// station runs it for Auto QNH alone.

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "distribution/transfer_worker.h"
#include "receiver/receiver_settings.h"
#include "weather/weather_text.h"

namespace aerova {

// Settings of section "metar" besides the windows' own keys.
struct MetarSettings {
    int interval = 10;  // "interval": minutes between reloads (at least one is used)
    bool showshortwxsymbols = false;
    std::string server;  // "server": the weather text server's base URL; empty: the default
};

// One radar window's side: its airport box, "Auto" and TAF switch.
struct MetarWindow {
    std::string code;
    bool autoOn = false;
    bool tafOn = false;
};

enum class WeatherTextField { kMetar, kShortTaf, kTaf };

// The "Auto QNH" box of the receiver settings: its caption and colours.
enum class AutoQnhLook {
    kPlain,    // black caption (unticked)
    kWaiting,  // yellow background while the METAR is fetched
    kFound,    // green caption: the QNH lists follow the report
    kFailed,   // red caption: no METAR, or no pressure group in it
};
struct AutoQnhState {
    std::string caption = "Auto QNH";
    AutoQnhLook look = AutoQnhLook::kPlain;
};

constexpr int kMetarFirstRunMs = 2000;
constexpr int kMetarRuns = 6;  // TAF on every sixth run

class MetarService : public QObject {
  public:
    MetarService(ReceiverSettings& receiver, WeatherTextSource source);
    ~MetarService() override;

    MetarSettings settings;
    // The library and its time-outs (the server comes from `settings`).
    WeatherTextSource& source() { return source_; }
    // The library, its time-outs and the server of the settings, for a fetch now.
    WeatherTextSource CurrentSource() const;

    // The radar windows (0 and 1); without them (headless) only Auto QNH runs.
    std::function<std::optional<MetarWindow>(int window)> readWindow;
    // A window's text: "Loading METAR..." / "Loading TAF..." before the fetch, then its
    // result (empty when nothing came back). The window redraws on it.
    std::function<void(int window, WeatherTextField field, const std::string& text)> setText;
    // "Loading METAR... EDDH" for the start-up window while it shows.
    std::function<void(const std::string& text)> status;
    // Auto QNH ended; the QNH lists may have changed.
    std::function<void(const AutoQnhState& state)> autoQnhChanged;
    std::function<bool()> shuttingDown;

    // The timer's routine at once (a radar window's "Reload", a configuration set loaded).
    void Reload();
    // A radar window's "Auto" was ticked (by the user or the settings): the first run comes
    // two seconds later.
    void AutoTicked();
    // A radar window's airport box was left: the code is upper-cased by the window; window 1
    // (only when the box is its own) and window 2 load including TAF, and the cycle restarts
    // with the reload interval.
    void AirportLeft(int window);
    // "Auto QNH" ticked or unticked; ticking fetches at once.
    void SetAutoQnh(bool on);
    // After the settings are loaded: the cycle runs while a window's "Auto" or Auto QNH is on.
    void Start();
    void Stop();

    const AutoQnhState& autoQnh() const { return autoQnh_; }
    bool timerActive() const { return timer_.isActive(); }
    int timerIntervalMs() const { return timer_.interval(); }
    int runCount() const { return run_; }
    // A batch of fetches is running or waiting.
    bool busy() const { return worker_.busy() || !queue_.empty(); }

  private:
    struct Job {
        int window;  // -1: the receiver's Auto QNH
        WeatherTextField field;
        std::string code;
    };

    void TimerFired();
    void LoadWindow(int window, bool withTaf, std::vector<Job>& jobs);
    void AddAutoQnh(std::vector<Job>& jobs);
    void Queue(std::vector<Job> jobs);
    void StartNext();
    void Apply(const Job& job, const std::string& text);
    void RestartTimer(int ms);
    bool AnyAuto() const;

    ReceiverSettings& receiver_;
    WeatherTextSource source_;
    QTimer timer_;
    TransferWorker worker_;
    std::vector<std::vector<Job>> queue_;
    int run_ = 0;
    AutoQnhState autoQnh_;
};

}  // namespace aerova
