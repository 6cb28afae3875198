#include "distribution/kml_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

namespace aerova {

// One HTTP server on its own thread, answering every GET with the document `answer` gives
// for the request's path.
class KmlServer::Endpoint {
  public:
    using Answer = std::function<std::string(const std::string& path)>;

    ~Endpoint() { Stop(); }

    bool Start(const std::string& address, int port, const HttpServerLimits& limits,
               Answer answer) {
        Stop();
        server_ = std::make_unique<GuardedHttpServer>(limits);
        server_->set_payload_max_length(16 * 1024);
        // Address reuse for a quick restart, without the library's SO_REUSEPORT, which
        // would let a second station bind the same port and take half of the requests.
        server_->set_socket_options([](socket_t sock) {
            int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        server_->Get(".*", [answer = std::move(answer)](const httplib::Request& req,
                                                        httplib::Response& res) {
            const std::string body = answer(req.path);
            res.status = 200;
            res.set_content(body, kKmlContentType);
        });
        server_->set_exception_handler(
            [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
                res.status = 500;
                res.set_content("", kKmlContentType);
            });
        if (port == 0) {
            port_ = server_->bind_to_any_port(address);
            if (port_ <= 0) {
                server_.reset();
                port_ = 0;
                return false;
            }
        } else {
            if (!server_->bind_to_port(address, port)) {
                server_.reset();
                return false;
            }
            port_ = port;
        }
        listenEnded_ = false;
        thread_ = std::thread([this, server = server_.get()] {
            server->listen_after_bind();
            listenEnded_ = true;
        });
        return true;
    }

    void Stop() {
        if (server_) {
            // stop() is only heard once the accept loop runs, which the server's thread
            // reaches at once after a start.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (!server_->is_running() && !listenEnded_ &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            server_->StopAndDropClients();
        }
        if (thread_.joinable()) thread_.join();
        server_.reset();
        port_ = 0;
    }

    bool running() const { return thread_.joinable(); }
    int port() const { return port_; }

  private:
    std::unique_ptr<GuardedHttpServer> server_;
    std::thread thread_;
    std::atomic<bool> listenEnded_{false};
    int port_ = 0;
};

KmlServer::KmlServer(FlightTable& table, std::mutex& stationmutex)
    : table_(table),
      stationmutex_(stationmutex),
      state_(std::make_shared<const State>()),
      aircraft_(std::make_unique<Endpoint>()),
      cockpit_(std::make_unique<Endpoint>()) {}

KmlServer::~KmlServer() {
    Stop();
}

KmlServerFailures KmlServer::Start(const KmlServerSettings& settings) {
    Stop();
    KmlServerFailures failed;
    if (settings.aircraft)
        failed.aircraft =
            !aircraft_->Start(settings.address, settings.aircraftport, settings.limits,
                              [this](const std::string& path) { return AircraftAnswer(path); });
    if (settings.cockpit)
        failed.cockpit = !cockpit_->Start(settings.address, settings.cockpitport, settings.limits,
                                          [this](const std::string&) { return CockpitAnswer(); });
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
