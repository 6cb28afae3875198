#pragma once
// Report ingest: the report listener's datagram handler. It applies the station's acceptance
// filters, queues datagrams that arrive while a main-cycle tick runs, and turns target
// reports into updates of the flight table. Peer status, chat, network flight reports and
// data-server lines go to the station network's handlers, AIS reports to the vessel handler.
//
// Everything it touches is handed in: the flight table, the datagram queue, the clock, the
// plain state of the windows that own settings, and hooks for the other subsystems.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/alert_list.h"
#include "core/datagram_queue.h"
#include "core/flight_table.h"
#include "core/report_codec.h"
#include "platform/clock.h"

namespace aerova {

class AisVessels;

// Settings and controls of other windows that ingest reads.
struct IngestSettings {
    // Receiver settings window.
    bool cbslave = false;      // "Slave (port 7979)"
    bool cbmaster = false;     // "Master for"
    std::string edmasterip;    // master host
    std::string edmasterport;  // master port (text, read as an integer)
    // Peers window.
    bool cbskip = false;         // "Dead horse"
    bool cbexceptlocal = false;  // "except local"
    // Weather display manager: "Show calculated winds aloft".
    bool windsaloft = false;
    // ATC console: "ONG" (assign on-ground flights as departures) and the airport text.
    bool spbONG = false;
    std::string atcairport;
    // The main window's hidden blacklist text.
    std::string blacklist = "blacklist";
    // The program directory, where "userdata/<address>.xml" aircraft files live.
    std::string stationdir;
};

// Receiver status lines, shown by the radar windows.
struct ReceiverStatusState {
    std::array<Text<16>, 4> slots;  // 0xE1, 0xE2, 0xE3, 0xE4
    bool eeflag = false;            // the last line was 0xEE
    bool newstatus = false;
};

// The station's own GPS position.
struct StationGps {
    Text<14> lat, lon;
    float latf = 0, lonf = 0;
    Text<6> text6;
    Text<2> text2;
    bool valid = false;
    DayTime time = 0;
};

struct IngestHooks {
    // Identifies a new target in the aircraft database (dbid, reg, icaotype, indb,
    // sqlaircraft) and returns the country of its address. Empty: the database is closed.
    std::function<std::string(Tflight& target)> identifyAircraft;
    // Route of a call sign; fills routefrom/routeto and returns the route text.
    std::function<std::string(Tflight& target, std::string_view callsign)> lookupRoute;
    // Station network handlers; while empty these datagrams are recognised and ignored.
    std::function<void(const PeerStatusMessage&, std::string_view ip, int port)> peerStatus;
    std::function<void(const TChat&, std::string_view ip, int port)> chat;
    std::function<void(const NetworkFlightReport&, std::string_view ip, int port)> networkFlight;
    std::function<void(const ServerLine&, std::string_view ip, int port)> serverLine;
    // Master forwarding: sends one datagram by UDP to host:port.
    std::function<void(const std::string& host, int port, std::string_view datagram)> sendUdp;
    // One line to the error log.
    std::function<void(std::string_view line)> logError;
    // Radar windows: symbol orientation from track3 and re-projection of a target.
    std::function<void(int slot)> updateTarget;
    // Radar windows: redraw for a new receiver status line.
    std::function<void()> redrawRadar;
    // Radar windows and receiver settings: a new station GPS position ("Use GPS", "Ctr GPS",
    // "Use GPS pos").
    std::function<void(const StationGps&)> gpsPosition;
};

class ReportIngest {
  public:
    ReportIngest(FlightTable& table, DatagramQueue& queue, const StationClock& clock,
                 const IngestSettings& settings, AlertListState& alerts, IngestHooks hooks);

    // Vessel reports go here; without it they are ignored.
    void SetAisHandler(AisVessels* ais) { ais_ = ais; }

    // The listener's receive event (fromTimer false) and the main cycle's drain (fromTimer
    // true, the datagram being a queued entry). At most 510 bytes are read.
    void UDPRead(std::string_view bytes, std::string_view senderIp, int senderPort, bool fromTimer);
    // The end of a tick: locks the queue, applies every queued entry in order, then clears
    // the lock, the queueing flag and the count.
    void DrainQueue();

    ReceiverStatusState& receiverStatus() { return status_; }
    const StationGps& stationGps() const { return gps_; }

    // Applies a main target report to a slot (exposed for tests and the benchmark).
    void ApplyMainReport(const MainReport& report, int slot);
    // The alert-list match of one target.
    void AlertMatch(int slot);

  private:
    void Dispatch(std::string_view d, std::string_view ip, int port);
    void HandleMainReport(std::string_view d, std::string_view ip, int port);
    void HandleGps(std::string_view d);
    void NewTargetSteps(int slot);
    void ExistingTargetSteps(int slot);
    void LabelText(Tflight& f);
    void PositionStep(int slot);

    FlightTable& table_;
    DatagramQueue& queue_;
    const StationClock& clock_;
    const IngestSettings& settings_;
    AlertListState& alerts_;
    IngestHooks hooks_;
    AisVessels* ais_ = nullptr;
    ReceiverStatusState status_;
    StationGps gps_;
    std::string scratch_;  // unpacked head and blocks, reused per report
};

// Wind from heading, track, true airspeed and ground speed: "270+35", or empty.
std::string WindText(std::string_view heading, std::string_view track, std::string_view tas,
                     std::string_view gs);
// Roll (n) and turn (m) indications of block 0xF5.
std::string RollIndication(int n);
std::string TurnIndication(int m);

}  // namespace aerova
