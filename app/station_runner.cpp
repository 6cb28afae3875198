#include "app/station_runner.h"

#include <QCoreApplication>

#include "app/world_map.h"
#include "base/files.h"
#include "platform/station_dir.h"

namespace aerova {

StationRunner::StationRunner(const RunOptions& options, StationEnvironment dialogs)
    : table_(std::make_unique<FlightTable>()) {
    StationEnvironment env = std::move(dialogs);
    env.stationDir = ResolveStationDir(options.stationDir);
    env.version = AEROVA_VERSION;
    env.nosrv = options.nosrv;
    env.clock = &clock_;
    env.clockSetter = &clockSetter_;
    env.processMessages = [] { QCoreApplication::processEvents(); };
    station_ = std::make_unique<Station>(std::move(env), *table_);
    station_->hooks.stopTimers = [this] { StopTimers(); };
    // The subsystems (ingest, receiver link, feed, servers, network, demo traffic) bind
    // their hooks and own the sockets.
    services_ = std::make_unique<StationServices>(*station_, *table_, options);

    timer1_.setInterval(1000);
    stattimer_.setInterval(10000);
    connect(&timer1_, &QTimer::timeout, this, &StationRunner::Tick);
    connect(&stattimer_, &QTimer::timeout, this, &StationRunner::OnStatTimer);
}

StationRunner::~StationRunner() = default;

std::optional<std::string> StationRunner::Create() {
    InstallWorldMap(station_->stationDir());
    if (!ForceDirectories(station_->stationDir()))
        return "cannot create the station directory " + station_->stationDir();
    if (!station_->FormCreate())
        return "another copy of Aerova is already running on the station directory " +
               station_->stationDir();
    return std::nullopt;
}

void StationRunner::StartReception() {
    station_->buReceiveClick();
    if (station_->timer1Enabled()) timer1_.start();
    if (station_->stattimerEnabled()) stattimer_.start();
}

void StationRunner::StopTimers() {
    timer1_.stop();
    stattimer_.stop();
}

void StationRunner::Tick() {
    if (!station_->timer1Enabled() || ticking_) return;
    ticking_ = true;
    try {
        station_->Timer1Timer();
    } catch (const std::exception& e) {
        station_->HandleException(e);
    }
    ticking_ = false;
    if (deferredShutDown_) {
        std::function<void()> shutDown = std::move(deferredShutDown_);
        deferredShutDown_ = nullptr;
        shutDown();
        return;
    }
    if (afterTick) afterTick();
}

void StationRunner::ShutDownWhenIdle(std::function<void()> shutDown) {
    if (ticking_)
        deferredShutDown_ = std::move(shutDown);
    else
        shutDown();
}

void StationRunner::OnStatTimer() {
    try {
        station_->stattimerTimer();
    } catch (const std::exception& e) {
        station_->HandleException(e);
    }
    if (afterStatTick) afterStatTick();
}

}  // namespace aerova
