// Arbitrary datagrams into the report listener's handler, with the station network's
// handlers behind it, and into every parser of the datagram family. The first input byte selects
// the listener's switches, so the filters, the queue and the drain are explored too. The flight
// table lives across inputs, the way a running station's does.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/strings.h"
#include "core/report_codec.h"
#include "distribution/station_network.h"
#include "station/ais.h"
#include "station/report_ingest.h"

namespace {

using namespace aerova;

// Announcements and relays go nowhere.
struct DroppingSender final : DatagramSender {
    bool Send(std::string_view, int, std::string_view) override { return true; }
};

struct Station {
    ManualClock local{45000.5};
    StationClock clock{local};
    FlightTable table;
    DatagramQueue queue;
    IngestSettings settings;
    AlertListState alerts;
    AisLists lists;  // no file paths: nothing is written
    std::unique_ptr<ReportIngest> ingest;
    std::unique_ptr<AisVessels> ais;
    DroppingSender sender;
    NetworkSettings network;  // no station directory: no aircraft files are written
    std::unique_ptr<StationNetwork> net;
    int runs = 0;

    Station() {
        alerts.entries = {{true, "RYR:ryanair"}, {true, "4CA1FA:"}};
        alerts.sendmail = true;
        IngestHooks hooks;
        hooks.sendUdp = [](const std::string&, int, std::string_view) {};
        hooks.identifyAircraft = [](Tflight&) { return std::string("Ireland"); };
        hooks.lookupRoute = [](Tflight&, std::string_view c) { return std::string(c); };
        net = std::make_unique<StationNetwork>(table, clock, sender, network, nullptr,
                                               NetworkHooks{});
        hooks.peerStatus = [this](const PeerStatusMessage& m, std::string_view ip, int port) {
            net->HandlePeerStatus(m, ip, port);
        };
        hooks.chat = [this](const TChat& c, std::string_view, int) { net->HandleChat(c); };
        hooks.networkFlight = [this](const NetworkFlightReport& r, std::string_view ip, int port) {
            net->HandleNetworkFlightReport(r, ip, port);
        };
        hooks.serverLine = [this](const ServerLine& l, std::string_view, int) {
            net->HandleServerLine(l);
        };
        ingest = std::make_unique<ReportIngest>(table, queue, clock, settings, alerts, hooks);
        ais = std::make_unique<AisVessels>(table, clock, lists, AisHooks{});
        ingest->SetAisHandler(ais.get());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Station* s = new Station();
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    const std::string_view d(reinterpret_cast<const char*>(data + 1), size - 1);

    s->settings.cbslave = mode & 1;
    s->settings.cbmaster = mode & 2;
    s->settings.cbskip = mode & 4;
    s->settings.cbexceptlocal = mode & 8;
    s->settings.windsaloft = mode & 16;
    s->local.AdvanceSeconds(1);
    if (mode & 32) s->queue.queueing = true;
    s->ingest->UDPRead(d, (mode & 64) ? "10.0.0.1" : "127.0.0.1", kReportListenerPort,
                       (mode & 128) != 0);
    if (s->queue.queueing && (s->queue.count > 20 || !(mode & 32))) s->ingest->DrainQueue();

    // Whatever came in, a target is named by a six-digit address (vessels by their key) and
    // its texts carry no control bytes.
    for (const Tflight& f : s->table.flights) {
        if (!f.live()) continue;
        if (!f.vessel && !IsIcaoAddress(f.modes.view())) __builtin_trap();
        for (const std::string_view text : {f.flightid.view(), f.labeltext.view(), f.reg.view(),
                                            f.squawk.view(), f.route.view(), f.box.view()})
            if (text != Printable(text)) __builtin_trap();
    }

    // The parsers on their own, and the encoder on a record made of the input.
    if (const auto p = ParsePeerStatus(d)) {
        if (p->peer.station.view() != Printable(p->peer.station.view())) __builtin_trap();
    }
    if (const auto c = ParseChat(d)) {
        if (c->message != Printable(c->message)) __builtin_trap();
    }
    if (const auto n = ParseNetworkFlightReport(d)) {
        if (!IsIcaoAddress(n->record.modes.view())) __builtin_trap();
    }
    if (const auto l = ParseServerLine(d)) {
        if (!IsIcaoAddress(l->modes) || l->label != Printable(l->label)) __builtin_trap();
    }
    (void)ParseGpsPosition(d);
    (void)ParseReceiverStatus(d);
    if (const auto m = ParseMainReport(d)) (void)ParseIdentBlock(m->ident.content);
    (void)UnpackText(d);
    if (d.size() >= sizeof(TSBSFlight)) {
        TSBSFlight r;
        std::memcpy(&r, d.data(), sizeof r);
        const std::string out = EncodeSbsReport(r, d.substr(0, 4), d.substr(4, 4));
        (void)ParseMainReport(out);
    }
    if (s->runs % 5 == 0) {
        s->net->UpdateKickList();
        s->net->AnnounceToPeers();
    }
    if (++s->runs % 20000 == 0) s->table.ResetFlightTable();
    return 0;
}
