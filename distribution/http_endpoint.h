#pragma once
// One of the station's HTTP servers on a thread of its own: bound with address reuse for a
// quick restart (but without SO_REUSEPORT, which would let a second station bind the same
// port and take half of the requests), a full-size accept queue, every GET handed to one
// handler, a failing handler answered with an empty 500, and a stop that drops the clients
// instead of waiting for them.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "distribution/guarded_http_server.h"

namespace aerova {

class HttpEndpoint {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    HttpEndpoint() = default;
    ~HttpEndpoint();
    HttpEndpoint(const HttpEndpoint&) = delete;
    HttpEndpoint& operator=(const HttpEndpoint&) = delete;

    // Binds `port` (0: a free one) and serves; false when the port cannot be bound.
    bool Start(const std::string& address, int port, const HttpServerLimits& limits,
               std::size_t maxPayload, const char* errorContentType, Handler handler);
    void Stop();
    bool running() const { return thread_.joinable(); }
    int port() const { return port_; }
    // Client connections open now (served or waiting).
    int connections() const { return server_ ? server_->connections() : 0; }

  private:
    std::unique_ptr<GuardedHttpServer> server_;
    std::thread thread_;
    std::atomic<bool> listenEnded_{false};
    int port_ = 0;
};

}  // namespace aerova
