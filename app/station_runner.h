#pragma once
// What the headless and the desktop program share: the station, its subsystems and the
// main cycle's timers on the Qt event loop. Each program brings the parts of the
// environment that talk to a person (questions, the save dialog, captions, start-up texts)
// and what it adds to a tick.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/run_options.h"
#include "app/station_services.h"
#include "platform/clock.h"
#include "station/station.h"

namespace aerova {

class StationRunner : public QObject {
  public:
    // `dialogs` carries the program's questions, save dialog, captions and start-up texts;
    // the station directory, version, clocks and event processing are filled in here.
    StationRunner(const RunOptions& options, StationEnvironment dialogs);
    ~StationRunner() override;

    // Creation: the station directory, the directories and error log, the single-instance
    // lock. A text for the user when the station cannot run.
    std::optional<std::string> Create();
    // The start of reception, then the main cycle's timers.
    void StartReception();
    void StopTimers();
    // One main-cycle tick (Timer1's timeout).
    void Tick();
    // Runs `shutDown` now, or right after the tick that is running: a signal or a Quit
    // handled while the tick lets events run must not shut the station down under it
    // (the tick would then apply its queued datagrams with the database closed).
    void ShutDownWhenIdle(std::function<void()> shutDown);
    bool ticking() const { return ticking_; }

    Station& station() { return *station_; }
    StationServices& services() { return *services_; }
    FlightTable& table() { return *table_; }

    // What the program adds after each main-cycle tick and each ten-second tick.
    std::function<void()> afterTick, afterStatTick;

  private:
    void OnStatTimer();

    SystemClock clock_;
    RealSystemClockSetter clockSetter_;
    std::unique_ptr<FlightTable> table_;
    std::unique_ptr<Station> station_;
    std::unique_ptr<StationServices> services_;
    QTimer timer1_, stattimer_;
    bool ticking_ = false;
    std::function<void()> deferredShutDown_;
};

}  // namespace aerova
