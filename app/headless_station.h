#pragma once
// The station without windows: the Qt event loop drives the main cycle (Timer1, 1000 ms),
// the housekeeping tick (stattimer, 10 s) and the sockets, and prints one status line
// every ten seconds. SIGINT and SIGTERM run the orderly shut-down.

#include <QObject>
#include <QTimer>
#include <memory>

#include "app/run_options.h"
#include "app/station_runner.h"
#include "platform/termination_signals.h"

class QSocketNotifier;

namespace aerova {

class HeadlessStation : public QObject {
  public:
    explicit HeadlessStation(RunOptions options);
    ~HeadlessStation() override;

    // Creation and start of reception; false (with a message on stderr) when another copy
    // runs on the same station directory.
    bool Start();
    Station& station() { return runner_->station(); }
    StationServices& services() { return runner_->services(); }
    FlightTable& table() { return runner_->table(); }
    std::string StatusLine();

  private:
    void OnSignal();
    void ShutDown();

    RunOptions options_;
    std::unique_ptr<StationRunner> runner_;
    QTimer stopTimer_;
    std::unique_ptr<TerminationSignals> signals_;
    QSocketNotifier* signalNotifier_ = nullptr;
    bool closing_ = false;
    double worstCycleMs_ = 0;  // the longest main-cycle tick since the start
};

}  // namespace aerova
