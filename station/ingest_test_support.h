#pragma once
// Shared fixture of the ingest tests: a flight table, queue, clock and ingest with
// recording hooks.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/report_codec.h"
#include "core/test_records.h"
#include "station/report_ingest.h"

namespace aerova::testing {

class IngestFixture : public ::testing::Test {
  protected:
    IngestFixture() : station(local) { Rebuild(); }

    void Rebuild() {
        IngestHooks hooks;
        hooks.logError = [this](std::string_view l) { errors.emplace_back(l); };
        hooks.updateTarget = [this](int slot) { updated.push_back(slot); };
        hooks.redrawRadar = [this] { ++redraws; };
        hooks.identifyAircraft = identify;
        hooks.lookupRoute = route;
        hooks.sendUdp = sendUdp;
        hooks.peerStatus = peerStatus;
        hooks.chat = chat;
        ingest = std::make_unique<ReportIngest>(*table, queue, station, settings, alerts, hooks);
    }

    void Send(const std::string& d, const char* ip = "127.0.0.1", int port = 50000) {
        ingest->UDPRead(d, ip, port, false);
    }
    void SendKind5(const TSBSFlight& r) { Send(EncodeSbsReport(r, "1013", "5500")); }
    // The next report arrives a second later: blocks are applied only when newer.
    void Tick() { local.AdvanceSeconds(1); }
    Tflight& F(int slot) { return table->flights[static_cast<std::size_t>(slot)]; }

    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    DatagramQueue queue;
    ManualClock local{45000.5};
    StationClock station;
    IngestSettings settings;
    AlertListState alerts;
    std::function<std::string(Tflight&)> identify;
    std::function<std::string(Tflight&, std::string_view)> route;
    std::function<void(const std::string&, int, std::string_view)> sendUdp;
    std::function<void(const PeerStatusMessage&, std::string_view, int)> peerStatus;
    std::function<void(const TChat&, std::string_view, int)> chat;
    std::unique_ptr<ReportIngest> ingest;
    std::vector<std::string> errors;
    std::vector<int> updated;
    int redraws = 0;
};

}  // namespace aerova::testing
