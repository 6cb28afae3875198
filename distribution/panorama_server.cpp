#include "distribution/panorama_server.h"

#include <httplib.h>

#include "base/files.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr const char* kHtml = "text/html";

std::string MessagePage(std::string_view message) {
    return Concat({"<html><head><title>Aerova Panorama Server</title></head><body><h3>", message,
                   "</h3></body></html>"});
}

}  // namespace

PanoramaServer::PanoramaServer(PublishedFiles& files) : files_(files) {}

PanoramaServer::~PanoramaServer() {
    Stop();
}

std::string PanoramaServer::ControlPanel() const {
    std::string page =
        "<html><head><title>Aerova Panorama Server</title></head><body><h3>"
        "Aerova Panorama Server<br>Remote Control Panel<br><br> </h3><h4>"
        "<a href=\"../flights\">Flights</a><br>"
        "<a href=\"../peers\">Peers</a><br><br>";
    if (saveJpeg_)
        page +=
            "<a href=\"../radar1\">Radar #1</a><br>"
            "<a href=\"../radar2\">Radar #2</a><br><br>";
    page +=
        "<a href=\"../errorlog.txt\">Show error log</a><br>"
        "<a href=\"../clearerrorlog\">Clear error log</a><br><br>"
        "<a href=\"../eventlog.txt\">Show event log</a><br>"
        "<a href=\"../cleareventlog\">Clear event log</a></h4>"
        "</body></html>";
    return page;
}

// The file is read whole under the published files' mutex and the copy in memory is sent:
// the picture job may replace it while the reply is still going out.
PanoramaServer::Reply PanoramaServer::FileReply(const std::string& path, const char* contenttype,
                                                const char* missingmessage) const {
    if (auto content = files_.Read(path)) return {200, std::move(*content), contenttype};
    return {200, MessagePage(missingmessage), kHtml};
}

PanoramaServer::Reply PanoramaServer::ClearReply(const std::string& path,
                                                 const char* missingmessage,
                                                 const char* clearedmessage,
                                                 const char* failedmessage) const {
    if (!files_.Exists(path)) return {200, MessagePage(missingmessage), kHtml};
    return {200, MessagePage(files_.Clear(path) ? clearedmessage : failedmessage), kHtml};
}

// The messages name the files as the station has always named them to remote users, even
// where the file itself lives elsewhere now.
PanoramaServer::Reply PanoramaServer::Answer(const std::string& path,
                                             const std::string& file) const {
    const PanoramaServerSettings& s = settings_;
    if (path == "/") {
        if (!file.empty()) return {404, {}, kHtml};
        return {200, ControlPanel(), kHtml};
    }
    if (saveJpeg_ && path == "/radar2")
        return FileReply(JoinPath(s.imgDir, kRadar2Picture), "image/jpeg",
                         "Cannot locate radar window #2 file");
    if (saveJpeg_ && path == "/radar1")
        return FileReply(JoinPath(s.imgDir, kRadar1Picture), "image/jpeg",
                         "Cannot locate radar window #1 file");
    if (path == "/flights")
        return FileReply(JoinPath(s.imgDir, kFlightPage), kHtml,
                         "Cannot locate file aerovas-s-img\\~temp.htm");
    if (path == "/peers")
        return FileReply(JoinPath(s.imgDir, kPeerPage), kHtml,
                         "Cannot locate file aerovas-s-img\\~tempp.htm");
    if (path == "/errorlog.txt")
        return FileReply(s.errorLogPath, "text/plain", "Cannot locate file aerovas-s-error.txt");
    if (path == "/clearerrorlog")
        return ClearReply(s.errorLogPath, "Cannot locate file aerovas-s-error.txt",
                          "File aerovas-s-error.txt cleared",
                          "Cannot clear file aerovas-s-error.txt");
    if (path == "/eventlog.txt")
        return FileReply(s.mailLogPath, "text/plain", "Cannot locate file maillog.txt");
    if (path == "/cleareventlog")
        return ClearReply(s.mailLogPath, "Cannot locate file maillog.txt",
                          "File maillog.txt cleared", "Cannot clear file maillog.txt");
    return {200, MessagePage("Unknown server command"), kHtml};
}

bool PanoramaServer::Start(const PanoramaServerSettings& settings) {
    Stop();
    settings_ = settings;
    return endpoint_.Start(settings.address, settings.port, settings.limits, 16 * 1024,
                           "text/plain",
                           [this](const httplib::Request& req, httplib::Response& res) {
                               Reply reply = Answer(req.path, req.get_param_value("file"));
                               res.status = reply.status;
                               if (reply.status == 200)
                                   res.set_content(std::move(reply.body), reply.contenttype);
                           });
}

void PanoramaServer::Stop() {
    endpoint_.Stop();
}

}  // namespace aerova
