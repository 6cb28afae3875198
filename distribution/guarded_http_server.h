#pragma once
// A cpp-httplib server that no client can hold: each request must arrive whole within a
// few seconds (a client trickling bytes is cut off), an idle kept-alive connection is
// closed after a short wait, the connections a server takes at once are capped (those
// beyond are closed at once instead of waiting in a queue), and stopping the server drops
// every client instead of waiting for them. The data servers serve through it.

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <set>

namespace aerova {

struct HttpServerLimits {
    int threads = 8;               // connections served at the same time
    int maxConnections = 32;       // served and waiting together; beyond that refused
    int requestTimeoutMs = 3000;   // to receive a request's head and body
    int writeTimeoutMs = 3000;     // to send an answer
    int keepAliveMs = 2000;        // an idle kept-alive connection waits this for its next request
    int keepAliveMaxCount = 1000;  // requests on one connection
};

class GuardedHttpServer : public httplib::Server {
  public:
    explicit GuardedHttpServer(HttpServerLimits limits);
    ~GuardedHttpServer() override;

    // Stops accepting and drops every client; the serving threads then end at once.
    void StopAndDropClients();
    // Connections open now (served or waiting).
    int connections() const { return connections_; }

  private:
    bool process_and_close_socket(socket_t sock) override;
    bool Admit(socket_t sock);
    void Release(socket_t sock);

    HttpServerLimits limits_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> queued_{0};
    std::mutex socketsMutex_;
    std::set<socket_t> sockets_;
    friend class CappedTaskQueue;
};

}  // namespace aerova
