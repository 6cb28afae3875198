#pragma once
// A station data server (TCP 7988 or 7989): answers every GET with the flight list or
// "nosend", and forwards a mobile unit's position to the local report listener. Requests
// run on the server's own threads; they touch the flight table only under the station mutex,
// which the UI thread holds while it changes the tables.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "distribution/data_request.h"
#include "distribution/guarded_http_server.h"
#include "distribution/http_endpoint.h"
#include "platform/udp_sender.h"

namespace aerova {

struct DataServerSettings {
    DataServerOptions options;
    std::string address = "0.0.0.0";         // tests bind 127.0.0.1
    int port = 7988;                         // 0 picks a free port; already shifted by the offset
    int listenerport = kReportListenerPort;  // the local report listener, shifted by the offset
    HttpServerLimits limits;                 // threads, connection cap and time-outs
};

class DataServer {
  public:
    DataServer(FlightTable& table, std::mutex& stationmutex, DatagramSender& sender);
    ~DataServer();
    DataServer(const DataServer&) = delete;
    DataServer& operator=(const DataServer&) = delete;

    // Binds and starts serving on its own threads; false when the port cannot be bound.
    bool Start(const DataServerSettings& settings);
    void Stop();
    bool running() const { return endpoint_.running(); }
    int port() const { return endpoint_.port(); }
    // Client connections open now (served or waiting).
    int connections() const { return endpoint_.connections(); }

    // `serverpwd` or "Transmit updates only" changed in the settings: takes effect at the
    // next request.
    void SetOptions(const DataServerOptions& options);

  private:
    std::string Answer(const DataRequest& request);

    FlightTable& table_;
    std::mutex& stationmutex_;
    DatagramSender& sender_;
    std::mutex optionsmutex_;
    DataServerSettings settings_;
    HttpEndpoint endpoint_;
};

}  // namespace aerova
