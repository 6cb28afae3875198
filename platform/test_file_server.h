#pragma once
// A loopback HTTP server for tests: serves fixed files by path (a status, a body and a
// redirect target each; 404 for any other path) on 127.0.0.1 and a free port, records every
// path asked for, and stops with the object. Header-only; the test links cpp-httplib.

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace aerova::testing {

struct ServedFile {
    int status = 200;
    std::string body;
    std::string location;  // a redirect's target
};

class TestFileServer {
  public:
    explicit TestFileServer(std::map<std::string, ServedFile> files) : files_(std::move(files)) {
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::scoped_lock lock(mutex_);
                paths_.push_back(req.path);
            }
            const auto file = files_.find(req.path);
            if (file == files_.end()) {
                res.status = 404;
                return;
            }
            res.status = file->second.status;
            if (!file->second.location.empty()) res.set_header("Location", file->second.location);
            res.set_content(file->second.body, "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    ~TestFileServer() {
        server_.stop();
        thread_.join();
    }
    TestFileServer(const TestFileServer&) = delete;
    TestFileServer& operator=(const TestFileServer&) = delete;

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<std::string> paths() const {
        std::scoped_lock lock(mutex_);
        return paths_;
    }
    // The paths asked for since the last call.
    std::vector<std::string> TakePaths() {
        std::scoped_lock lock(mutex_);
        return std::exchange(paths_, {});
    }

  private:
    const std::map<std::string, ServedFile> files_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
};

}  // namespace aerova::testing
