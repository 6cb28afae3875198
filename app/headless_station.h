#pragma once
// The station without windows: the Qt event loop drives the main cycle (Timer1, 1000 ms),
// the housekeeping tick (stattimer, 10 s) and the sockets, and prints one status line
// every ten seconds. SIGINT and SIGTERM run the orderly shut-down.

#include <QObject>
#include <QTimer>
#include <memory>

#include "app/run_options.h"
#include "station/station.h"
#include "app/station_services.h"
#include "platform/clock.h"

class QSocketNotifier;

namespace aerova {

class HeadlessStation : public QObject {
public:
    explicit HeadlessStation(RunOptions options);
    ~HeadlessStation() override;

    // Creation and start of reception; false (with a message on stderr) when another copy
    // runs on the same station directory.
    bool Start();
    Station& station() { return *station_; }
    StationServices& services() { return *services_; }
    FlightTable& table() { return *table_; }
    std::string StatusLine() const;

private:
    void OnTimer1();
    void OnStatTimer();
    void OnSignal();
    void ShutDown();

    RunOptions options_;
    SystemClock clock_;
    RealSystemClockSetter clockSetter_;
    std::unique_ptr<FlightTable> table_;
    std::unique_ptr<Station> station_;
    std::unique_ptr<StationServices> services_;
    QTimer timer1_, stattimer_, stopTimer_;
    QSocketNotifier* signalNotifier_ = nullptr;
    bool closing_ = false;
};

}  // namespace aerova
