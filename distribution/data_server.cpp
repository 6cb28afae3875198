#include "distribution/data_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>

namespace aerova {

DataServer::DataServer(FlightTable& table, std::mutex& stationmutex, DatagramSender& sender)
    : table_(table), stationmutex_(stationmutex), sender_(sender) {}

DataServer::~DataServer() {
    Stop();
}

void DataServer::SetOptions(const DataServerOptions& options) {
    std::scoped_lock lock(optionsmutex_);
    settings_.options = options;
}

std::string DataServer::Answer(const DataRequest& request) {
    DataServerSettings settings;
    {
        std::scoped_lock lock(optionsmutex_);
        settings = settings_;
    }
    // A wrong password or nosend=1 still forwards the position: a roaming unit may only
    // report and never ask for flights.
    if (const auto datagram = MobilePositionDatagram(request)) {
        sender_.Send("127.0.0.1", settings.listenerport, *datagram);
    }
    std::scoped_lock lock(stationmutex_);
    return AnswerDataRequest(table_, request, settings.options);
}

bool DataServer::Start(const DataServerSettings& settings) {
    Stop();
    {
        std::scoped_lock lock(optionsmutex_);
        settings_ = settings;
    }
    // A polling station keeps its connection for many polls; a slow, idle or abandoned
    // client is cut off after a few seconds, and connections beyond the cap are refused.
    server_ = std::make_unique<GuardedHttpServer>(settings.limits);
    server_->set_payload_max_length(64 * 1024);
    // The library's default also sets SO_REUSEPORT, which would let a second station bind
    // the same port and silently take half of the requests. Address reuse alone is enough
    // for a quick restart.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<std::pair<std::string, std::string>> query(req.params.begin(),
                                                               req.params.end());
        const DataRequest request(req.path, query);
        res.status = 200;
        res.set_content(Answer(request), "text/plain");
    });
    // Whatever goes wrong inside a handler, the client gets an empty answer and the server
    // goes on serving the others.
    server_->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content("", "text/plain");
        });

    if (settings.port == 0) {
        port_ = server_->bind_to_any_port(settings.address);
        if (port_ <= 0) {
            server_.reset();
            return false;
        }
    } else {
        if (!server_->bind_to_port(settings.address, settings.port)) {
            server_.reset();
            return false;
        }
        port_ = settings.port;
    }
    listenEnded_ = false;
    thread_ = std::thread([this, server = server_.get()] {
        server->listen_after_bind();
        listenEnded_ = true;
    });
    return true;
}

void DataServer::Stop() {
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
}

}  // namespace aerova
