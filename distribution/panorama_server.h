#pragma once
// The panorama server (TCP 7980): a small remote control panel of the picture job serving
// the latest radar pictures, the flight and peer status pages and the station's error and
// event logs. Requests run on the server's own threads and read the files whole through
// PublishedFiles, so a picture being replaced is sent either old or new, never mixed.

#include <atomic>
#include <string>

#include "distribution/guarded_http_server.h"
#include "distribution/http_endpoint.h"
#include "distribution/published_files.h"

namespace aerova {

constexpr int kPanoramaPort = 7980;
// The published files inside aerova-img.
constexpr const char* kRadar2Picture = "~temp.jpg";
constexpr const char* kRadar1Picture = "~temp1.jpg";
constexpr const char* kFlightPage = "~temp.htm";
constexpr const char* kPeerPage = "~tempp.htm";

struct PanoramaServerSettings {
    std::string address = "0.0.0.0";  // tests bind 127.0.0.1
    int port = kPanoramaPort;         // 0 picks a free port; already shifted by the offset
    std::string imgDir;               // <station>/aerova-img
    std::string errorLogPath;         // <station>/aerova-logs/aerova-error.log
    std::string mailLogPath;          // <station>/maillog.txt
    HttpServerLimits limits;
};

class PanoramaServer {
  public:
    explicit PanoramaServer(PublishedFiles& files);
    ~PanoramaServer();
    PanoramaServer(const PanoramaServer&) = delete;
    PanoramaServer& operator=(const PanoramaServer&) = delete;

    // Stops a running server, then binds and serves; false when the port cannot be bound.
    bool Start(const PanoramaServerSettings& settings);
    void Stop();
    bool running() const { return endpoint_.running(); }
    int port() const { return endpoint_.port(); }
    // "Save JPEG" of the picture job: the radar pictures and their links exist only while
    // it is on. Takes effect at the next request.
    void SetSaveJpeg(bool on) { saveJpeg_ = on; }

  private:
    struct Reply {
        int status = 200;
        std::string body;
        std::string contenttype;
    };
    Reply Answer(const std::string& path, const std::string& file) const;
    Reply FileReply(const std::string& path, const char* contenttype,
                    const char* missingmessage) const;
    Reply ClearReply(const std::string& path, const char* missingmessage,
                     const char* clearedmessage, const char* failedmessage) const;
    std::string ControlPanel() const;

    PublishedFiles& files_;
    PanoramaServerSettings settings_;
    std::atomic<bool> saveJpeg_{false};
    HttpEndpoint endpoint_;
};

}  // namespace aerova
