#include "app/headless_station.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "base/files.h"
#include "platform/station_dir.h"

namespace aerova {

namespace {

int g_signalPipe[2] = {-1, -1};

void OnPosixSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: the event loop picks the byte up.
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

}  // namespace

HeadlessStation::HeadlessStation(RunOptions options)
    : options_(std::move(options)), table_(std::make_unique<FlightTable>()) {
    StationEnvironment env;
    env.stationDir = ResolveStationDir(options_.stationDir);
    env.version = AEROVA_VERSION;
    env.nosrv = options_.nosrv;
    env.clock = &clock_;
    env.clockSetter = &clockSetter_;
    // Without windows the shut-down question counts as answered Yes, and a list file gets
    // the proposed name.
    env.ask = [](const std::string&, const std::string&) { return true; };
    env.saveDialog = [](const SaveDialogRequest& r) -> std::optional<std::string> {
        return JoinPath(r.initialDir, r.proposedName + "." + r.defaultExt);
    };
    env.startupStatus = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    env.startupResult = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    env.setCaption = [this](const std::string& text) {
        if (closing_) std::fprintf(stderr, "%s\n", text.c_str());
    };
    env.processMessages = [] { QCoreApplication::processEvents(); };
    station_ = std::make_unique<Station>(std::move(env), *table_);
    Station& s = *station_;
    s.radar[0].visible = s.radar[1].visible = false;
    s.hooks.stopTimers = [this] {
        timer1_.stop();
        stattimer_.stop();
    };
    services_ = std::make_unique<StationServices>(s, *table_, options_);

    timer1_.setInterval(1000);
    stattimer_.setInterval(10000);
    connect(&timer1_, &QTimer::timeout, this, &HeadlessStation::OnTimer1);
    connect(&stattimer_, &QTimer::timeout, this, &HeadlessStation::OnStatTimer);
}

HeadlessStation::~HeadlessStation() {
    if (g_signalPipe[0] >= 0) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
}

bool HeadlessStation::Start() {
    Station& s = *station_;
    if (!ForceDirectories(s.stationDir())) {
        std::fprintf(stderr, "aerovamini: cannot create the station directory %s\n", s.stationDir().c_str());
        return false;
    }
    if (!s.FormCreate()) {
        std::fprintf(stderr,
                     "aerovamini: another copy of Aerova is already running on the station "
                     "directory %s\n",
                     s.stationDir().c_str());
        return false;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        signalNotifier_ = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
        connect(signalNotifier_, &QSocketNotifier::activated, this, &HeadlessStation::OnSignal);
        std::signal(SIGINT, OnPosixSignal);
        std::signal(SIGTERM, OnPosixSignal);
    }
    s.buReceiveClick();
    if (s.timer1Enabled()) timer1_.start();
    if (s.stattimerEnabled()) stattimer_.start();
    if (options_.runSeconds > 0) {
        stopTimer_.setSingleShot(true);
        connect(&stopTimer_, &QTimer::timeout, this, &HeadlessStation::ShutDown);
        stopTimer_.start(static_cast<int>(options_.runSeconds * 1000));
    }
    std::fprintf(stderr, "%s\n", s.caption().c_str());
    return true;
}

void HeadlessStation::OnTimer1() {
    if (!station_->timer1Enabled()) return;
    try {
        station_->Timer1Timer();
    } catch (const std::exception& e) {
        station_->HandleException(e);
    }
}

void HeadlessStation::OnStatTimer() {
    try {
        station_->stattimerTimer();
    } catch (const std::exception& e) {
        station_->HandleException(e);
    }
    std::printf("%s\n", StatusLine().c_str());
    std::fflush(stdout);
}

std::string HeadlessStation::StatusLine() const {
    int live = 0, withPosition = 0, peers = 0;
    for (const auto& f : table_->flights) {
        if (!f.live()) continue;
        ++live;
        if (!f.nopos) ++withPosition;
    }
    for (const auto& p : table_->peers) peers += p.free ? 0 : 1;
    char line[160];
    std::snprintf(line, sizeof line, "%s live targets %d, with position %d, peers %d, cycle %.2f ms",
                  FormatDateTime("hh:nn:ss", station_->clock().UtcNow()).c_str(), live, withPosition,
                  peers, station_->lastCycleMs());
    return line;
}

void HeadlessStation::OnSignal() {
    char buffer[16];
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], buffer, sizeof buffer);
    ShutDown();
}

void HeadlessStation::ShutDown() {
    if (closing_) return;
    closing_ = true;
    station_->FormCloseQuery();
    QCoreApplication::exit(0);
}

}  // namespace aerova
