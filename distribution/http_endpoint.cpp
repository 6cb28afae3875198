#include "distribution/http_endpoint.h"

#include <sys/socket.h>

#include <chrono>

namespace aerova {

HttpEndpoint::~HttpEndpoint() {
    Stop();
}

bool HttpEndpoint::Start(const std::string& address, int port, const HttpServerLimits& limits,
                         std::size_t maxPayload, const char* errorContentType, Handler handler) {
    Stop();
    server_ = std::make_unique<GuardedHttpServer>(limits);
    server_->set_payload_max_length(maxPayload);
    socket_t listening = INVALID_SOCKET;
    server_->set_socket_options([&listening](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = sock;
    });
    server_->Get(".*", std::move(handler));
    // Whatever goes wrong inside a handler, the client gets an empty answer and the server
    // goes on serving the others.
    server_->set_exception_handler(
        [errorContentType](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content("", errorContentType);
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
    // The library listens with a queue of 5: clients that come at once (a page whose
    // pictures several viewers open, stations polling together) would find the queue full
    // and try again only after a second or more. A second listen() only enlarges the queue.
    if (listening != INVALID_SOCKET) ::listen(listening, SOMAXCONN);
    listenEnded_ = false;
    thread_ = std::thread([this, server = server_.get()] {
        server->listen_after_bind();
        listenEnded_ = true;
    });
    return true;
}

void HttpEndpoint::Stop() {
    if (server_) {
        // stop() is only heard once the accept loop runs. A server stopped right after its
        // start waits for that moment, which its thread reaches at once; the start itself
        // never waits on the event-loop thread.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!server_->is_running() && !listenEnded_ &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        // The clients are dropped, not waited for: the serving threads end at once.
        server_->StopAndDropClients();
    }
    if (thread_.joinable()) thread_.join();
    server_.reset();
    port_ = 0;
}

}  // namespace aerova
