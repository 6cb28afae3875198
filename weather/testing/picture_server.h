#pragma once
// A radar picture server on this machine (127.0.0.1, a free port) for the download tests.
// Every GET answers with the picture, or with the error status set by the test; a few paths
// stand for the servers a station meets in the field: "/hop/N" redirects N times before the
// picture, "/ftp" redirects to an FTP address, "/huge" sends more than any radar picture, "/silent"
// (or every path once SetSilent is on) holds the request without a word until the server is
// destroyed.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/strings.h"
#include "weather/weather_grid.h"

namespace aerova::testing {

class PictureServer {
  public:
    struct Seen {
        std::string target, accept, userAgent;
    };

    explicit PictureServer(std::string picture) : picture_(std::move(picture)) {
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            Answer(req, res);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    ~PictureServer() {
        {
            std::scoped_lock lock(mutex_);
            release_ = true;
        }
        released_.notify_all();
        server_.stop();
        thread_.join();
    }
    PictureServer(const PictureServer&) = delete;
    PictureServer& operator=(const PictureServer&) = delete;

    std::string Url(std::string_view target) const {
        return Concat({"http://127.0.0.1:", std::to_string(port_), target});
    }
    const std::string& picture() const { return picture_; }
    // 200: the picture; anything else: that status with an error page.
    void SetStatus(int status) {
        std::scoped_lock lock(mutex_);
        status_ = status;
    }
    void SetSilent(bool silent) {
        std::scoped_lock lock(mutex_);
        silent_ = silent;
    }
    int requests() {
        std::scoped_lock lock(mutex_);
        return requests_;
    }
    Seen last() {
        std::scoped_lock lock(mutex_);
        return last_;
    }
    bool WaitForRequests(int count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, limit, [&] { return requests_ >= count; });
    }

  private:
    void Answer(const httplib::Request& req, httplib::Response& res) {
        std::unique_lock lock(mutex_);
        ++requests_;
        last_ = {req.target, req.get_header_value("Accept"), req.get_header_value("User-Agent")};
        arrived_.notify_all();
        if (req.path == "/silent" || silent_) {
            released_.wait_for(lock, std::chrono::seconds(30), [this] { return release_; });
            res.status = 503;
        } else if (req.path == "/ftp") {
            res.set_redirect(Concat({"ftp://127.0.0.1:", std::to_string(port_), "/wx.gif"}));
        } else if (req.path.rfind("/hop/", 0) == 0 && req.path != "/hop/0") {
            // "/hop/N": N redirects before the picture.
            res.set_redirect(Concat({"/hop/", std::to_string(std::stoi(req.path.substr(5)) - 1)}));
        } else if (req.path == "/huge") {
            res.set_content(std::string(kMaxWeatherGifBytes + 1, 'x'), "image/gif");
        } else if (status_ != 200) {
            res.status = status_;
            res.set_content("<html>no picture</html>", "text/html");
        } else {
            res.set_content(picture_, "image/gif");
        }
    }

    std::string picture_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_, released_;
    bool release_ = false;
    bool silent_ = false;
    int status_ = 200;
    int requests_ = 0;
    Seen last_;
};

}  // namespace aerova::testing
