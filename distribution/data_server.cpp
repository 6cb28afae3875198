#include "distribution/data_server.h"

#include <httplib.h>

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
    {
        std::scoped_lock lock(optionsmutex_);
        settings_ = settings;
    }
    // A polling station keeps its connection for many polls; a slow, idle or abandoned
    // client is cut off after a few seconds, and connections beyond the cap are refused.
    return endpoint_.Start(settings.address, settings.port, settings.limits, 64 * 1024,
                           "text/plain",
                           [this](const httplib::Request& req, httplib::Response& res) {
                               std::vector<std::pair<std::string, std::string>> query(
                                   req.params.begin(), req.params.end());
                               const DataRequest request(req.path, query);
                               res.status = 200;
                               res.set_content(Answer(request), "text/plain");
                           });
}

void DataServer::Stop() {
    endpoint_.Stop();
}

}  // namespace aerova
