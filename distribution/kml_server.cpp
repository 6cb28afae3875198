#include "distribution/kml_server.h"

#include <httplib.h>

#include <functional>
#include <utility>

namespace aerova {

namespace {
// Google Earth asks with a short GET; nothing it sends comes near this.
constexpr std::size_t kMaxRequestBytes = 16 * 1024;
}  // namespace

KmlServer::KmlServer(FlightTable& table, std::mutex& stationmutex)
    : table_(table),
      stationmutex_(stationmutex),
      state_(std::make_shared<const State>()),
      aircraft_(std::make_unique<HttpEndpoint>()),
      cockpit_(std::make_unique<HttpEndpoint>()) {}

KmlServer::~KmlServer() {
    Stop();
}

KmlServerFailures KmlServer::Start(const KmlServerSettings& settings) {
    Stop();
    KmlServerFailures failed;
    const auto serve = [](std::function<std::string(const std::string&)> answer) {
        return [answer = std::move(answer)](const httplib::Request& req, httplib::Response& res) {
            res.status = 200;
            res.set_content(answer(req.path), kKmlContentType);
        };
    };
    if (settings.aircraft)
        failed.aircraft = !aircraft_->Start(
            settings.address, settings.aircraftport, settings.limits, kMaxRequestBytes,
            kKmlContentType,
            serve([this](const std::string& path) { return AircraftAnswer(path); }));
    if (settings.cockpit)
        failed.cockpit = !cockpit_->Start(
            settings.address, settings.cockpitport, settings.limits, kMaxRequestBytes,
            kKmlContentType, serve([this](const std::string&) { return CockpitAnswer(); }));
    return failed;
}

void KmlServer::Stop() {
    aircraft_->Stop();
    cockpit_->Stop();
}

bool KmlServer::aircraftRunning() const {
    return aircraft_->running();
}
bool KmlServer::cockpitRunning() const {
    return cockpit_->running();
}
int KmlServer::aircraftPort() const {
    return aircraft_->port();
}
int KmlServer::cockpitPort() const {
    return cockpit_->port();
}

void KmlServer::SetOptions(const KmlOptions& options, const KmlStyle& style) {
    std::scoped_lock lock(statemutex_);
    auto next = std::make_shared<State>(*state_);
    next->options = options;
    next->style = style;
    state_ = std::move(next);
}

void KmlServer::SetTemplates(std::optional<KmlTemplates> templates) {
    std::scoped_lock lock(statemutex_);
    auto next = std::make_shared<State>(*state_);
    next->templates = std::move(templates);
    state_ = std::move(next);
}

std::shared_ptr<const KmlServer::State> KmlServer::CurrentState() const {
    std::scoped_lock lock(statemutex_);
    return state_;
}

// The documents are built under the station mutex, which keeps the main cycle from
// changing the tables meanwhile; the answer is sent once the lock is released.
std::string KmlServer::AircraftAnswer(const std::string& path) {
    const auto state = CurrentState();
    std::scoped_lock lock(stationmutex_);
    if (state->options.dynamickml && state->templates) {
        const KmlTemplate& file = state->templates->aircraft;
        return TemplateDocument(table_, file, file.onground, CockpitSelection(table_));
    }
    if (path == "/atcbox") return AtcBoxDocument(table_, state->options, state->style);
    return AircraftDocument(table_, state->options, state->style);
}

std::string KmlServer::CockpitAnswer() {
    const auto state = CurrentState();
    std::scoped_lock lock(stationmutex_);
    if (state->options.dynamickml && state->templates)
        return TemplateDocument(table_, state->templates->cockpit,
                                state->templates->aircraft.onground, CockpitSelection(table_));
    return CockpitDocument(table_, CockpitSelection(table_));
}

}  // namespace aerova
