#include "app/headless_station.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>

#include "base/files.h"

namespace aerova {

HeadlessStation::HeadlessStation(RunOptions options) : options_(std::move(options)) {
    StationEnvironment env;
    // Without windows the shut-down question counts as answered Yes, and a list file gets
    // the proposed name.
    env.ask = [](const std::string&, const std::string&) { return true; };
    env.saveDialog = [](const SaveDialogRequest& r) -> std::optional<std::string> {
        return JoinPath(r.initialDir, r.proposedName + "." + r.defaultExt);
    };
    env.message = [](const std::string& text, const std::string& title) {
        std::fprintf(stderr, "aerovamini: %s: %s\n", title.c_str(), text.c_str());
    };
    env.startupStatus = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    env.startupResult = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    env.setCaption = [this](const std::string& text) {
        if (closing_) std::fprintf(stderr, "%s\n", text.c_str());
    };
    runner_ = std::make_unique<StationRunner>(options_, std::move(env));
    Station& s = runner_->station();
    s.radar[0].visible = s.radar[1].visible = false;
    // A port the station can't open is said on the terminal, whether or not the error log
    // can be written.
    runner_->services().onPortFailure = [](const std::string& text) {
        std::fprintf(stderr, "aerovamini: %s\n", text.c_str());
    };
    // Auto QNH's result, so an operator sees which pressure labels the altitudes.
    runner_->services().metar().autoQnhChanged = [this](const AutoQnhState& state) {
        const ReceiverSettings& r = services().receiverSettings;
        if (state.look == AutoQnhLook::kFound) {
            std::printf("Auto QNH %s: %d hPa (%s)\n", r.edicao.c_str(), HpaOf(r),
                        state.caption.c_str());
        } else if (state.look == AutoQnhLook::kFailed) {
            std::printf("Auto QNH %s: no pressure from the METAR\n", r.edicao.c_str());
        }
        std::fflush(stdout);
    };
    runner_->afterTick = [this] {
        worstCycleMs_ = std::max(worstCycleMs_, station().lastCycleMs());
    };
    runner_->afterStatTick = [this] {
        std::printf("%s\n", StatusLine().c_str());
        std::fflush(stdout);
    };
}

HeadlessStation::~HeadlessStation() = default;

bool HeadlessStation::Start() {
    if (const auto error = runner_->Create()) {
        std::fprintf(stderr, "aerovamini: %s\n", error->c_str());
        return false;
    }
    signals_ = std::make_unique<TerminationSignals>();
    if (signals_->ok()) {
        signalNotifier_ = new QSocketNotifier(signals_->readFd(), QSocketNotifier::Read, this);
        connect(signalNotifier_, &QSocketNotifier::activated, this, &HeadlessStation::OnSignal);
    }
    runner_->StartReception();
    if (runner_->services().NoInputOpened()) {
        std::fprintf(stderr, "aerovamini: none of the station's inputs could be opened\n");
        closing_ = true;
        station().FormCloseQuery();
        return false;
    }
    if (options_.runSeconds > 0) {
        stopTimer_.setSingleShot(true);
        connect(&stopTimer_, &QTimer::timeout, this, &HeadlessStation::ShutDown);
        stopTimer_.start(static_cast<int>(options_.runSeconds * 1000));
    }
    std::fprintf(stderr, "%s\n", station().caption().c_str());
    return true;
}

std::string HeadlessStation::StatusLine() {
    const FlightTable& table = runner_->table();
    int live = 0, withPosition = 0, peers = 0;
    for (const auto& f : table.flights) {
        if (!f.live()) continue;
        ++live;
        if (!f.nopos) ++withPosition;
    }
    for (const auto& p : table.peers) peers += p.free ? 0 : 1;
    const Station& s = station();
    // Frames lost because the receiver outran the station: at the UDP sockets (the kernel's
    // count) and at the full receiver queue.
    const StationServices::DropCounts drops = services().Drops();
    char line[240];
    std::snprintf(line, sizeof line,
                  "%s live targets %d, with position %d, peers %d, cycle %.2f ms, worst %.2f ms, "
                  "dropped: UDP %llu, receiver buffer %llu",
                  FormatDateTime("hh:nn:ss", s.clock().UtcNow()).c_str(), live, withPosition, peers,
                  s.lastCycleMs(), worstCycleMs_, static_cast<unsigned long long>(drops.udpKernel),
                  static_cast<unsigned long long>(drops.receiverBuffer));
    return line;
}

void HeadlessStation::OnSignal() {
    if (signals_->Drain()) ShutDown();
}

void HeadlessStation::ShutDown() {
    runner_->ShutDownWhenIdle([this] {
        if (closing_) return;
        closing_ = true;
        station().FormCloseQuery();
        QCoreApplication::exit(0);
    });
}

}  // namespace aerova
