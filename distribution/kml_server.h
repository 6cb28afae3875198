#pragma once
// The two KML servers Google Earth follows through network links: the aircraft server (TCP
// 4181; the path "/atcbox" gets the ATC box's document) and the cockpit server (TCP 4180),
// each answering every GET with a document built from the flight table. Requests run on
// the servers' own threads; a document is built while the station mutex is held (the UI
// thread holds it while it changes the tables) and sent after it is released.

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "distribution/guarded_http_server.h"
#include "distribution/http_endpoint.h"
#include "distribution/kml_documents.h"

namespace aerova {

inline constexpr const char* kKmlContentType = "application/vnd.google-earth.kml+xml";

struct KmlServerSettings {
    std::string address = "0.0.0.0";  // tests bind 127.0.0.1
    bool aircraft = true;             // which of the two run
    bool cockpit = true;
    int aircraftport = 4181;  // 0 picks a free port; already shifted by the offset
    int cockpitport = 4180;
    HttpServerLimits limits;
};

// Which of the servers asked for could not bind their ports.
struct KmlServerFailures {
    bool aircraft = false;
    bool cockpit = false;
};

class KmlServer {
  public:
    KmlServer(FlightTable& table, std::mutex& stationmutex);
    ~KmlServer();
    KmlServer(const KmlServer&) = delete;
    KmlServer& operator=(const KmlServer&) = delete;

    // Stops both, then binds and starts the servers the settings switch on; a server whose
    // port cannot be bound stays stopped and the other one runs.
    KmlServerFailures Start(const KmlServerSettings& settings);
    void Stop();
    bool aircraftRunning() const;
    bool cockpitRunning() const;
    // The bound ports; 0 for a server that does not run.
    int aircraftPort() const;
    int cockpitPort() const;

    // The options and colours in force from the next request.
    void SetOptions(const KmlOptions& options, const KmlStyle& style);
    // The loaded template files; nothing when they are not loaded, and the servers then
    // answer with the built-in documents even in template mode.
    void SetTemplates(std::optional<KmlTemplates> templates);

  private:
    struct State {
        KmlOptions options;
        KmlStyle style;
        std::optional<KmlTemplates> templates;
    };
    std::shared_ptr<const State> CurrentState() const;
    std::string AircraftAnswer(const std::string& path);
    std::string CockpitAnswer();

    FlightTable& table_;
    std::mutex& stationmutex_;
    mutable std::mutex statemutex_;
    std::shared_ptr<const State> state_;
    std::unique_ptr<HttpEndpoint> aircraft_, cockpit_;
};

}  // namespace aerova
