#include "distribution/station_network.h"

#include <algorithm>
#include <cmath>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "core/aircraft_xml.h"
#include "core/target_labels.h"
#include "distribution/network_text.h"

namespace aerova {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// A coordinate text as a number: empty reads as 0, anything else by the datagram rule.
float Coordinate(std::string_view text) {
    return text.empty() ? 0.0f : static_cast<float>(RealOf(Trim(text)));
}

void SetPosition(Tflight& f) {
    f.latf = Coordinate(f.lat);
    f.lonf = Coordinate(f.lon);
    f.coslat = std::cos(static_cast<double>(f.latf) * kDegToRad);
}

bool IsEmergencySquawk(std::string_view squawk) {
    const std::string_view code = squawk.substr(0, 4);
    return code == "7700" || code == "7600" || code == "7500" ||
           squawk.find('E') != std::string_view::npos;
}

char StatusChar(const Tflight& f, std::size_t position) {
    return f.status.size() >= position ? f.status[position - 1] : ' ';
}

void DerivedTexts(Tflight& f) {
    // "0" is the only airborne value of the ground field; the label stays as it was when a
    // value is missing.
    if (const auto label = AltitudeLabel(f.altft.view(), f.peerfield1.view(), f.ground != "0",
                                         f.peerfield2.view())) {
        f.altlabel = *label;
    }
    f.gs4 = SpeedText(f.gs);
    f.vratecode = VerticalRateCode(f.vrateraw.view());
    f.track3 = TrackText(f.track);
}

}  // namespace

StationNetwork::StationNetwork(FlightTable& table, const StationClock& clock,
                               DatagramSender& sender, const NetworkSettings& settings,
                               SoundPlayer* sound, NetworkHooks hooks)
    : table_(table),
      clock_(clock),
      sender_(sender),
      settings_(settings),
      sound_(sound),
      hooks_(std::move(hooks)) {}

void StationNetwork::HandlePeerStatus(const PeerStatusMessage& message, std::string_view ip,
                                      int port) {
    const int slot = table_.FindPeer(ip, port);
    if (slot < 0) {
        TPeer peer = message.peer;
        peer.ip = ip;
        peer.port = port;
        peer.full = message.full;
        peer.active = 1;
        peer.free = false;
        peer.lastheard = clock_.UtcNow();
        table_.AddPeer(peer);  // a full table drops the station
        return;
    }
    TPeer& peer = table_.peers[static_cast<std::size_t>(slot)];
    if (message.full) {
        peer = message.peer;
        peer.ip = ip;
        peer.port = port;
        peer.full = true;
    }
    peer.active = 1;
    peer.free = false;
    peer.lastheard = clock_.UtcNow();
}

void StationNetwork::UpdateKickList() {
    for (const TPeer& peer : table_.peers) {
        if (peer.free || peer.box.empty() || peer.box == "0000") continue;
        const std::string text = Copy(peer.box + " " + peer.station.str(), 1, 39);
        auto& list = peerswindow_.cbpeers;
        const auto at =
            std::lower_bound(list.begin(), list.end(), text,
                             [](const KickEntry& e, const std::string& t) { return e.text < t; });
        if (at != list.end() && at->text == text) continue;
        if (list.size() >= PeersWindowState::kMaxKickEntries) {
            // A peer whose box or name changes with every message would grow the list
            // forever.
            ForgetUnheardKickEntries();
            if (list.size() >= PeersWindowState::kMaxKickEntries) continue;
            UpdateKickList();
            return;
        }
        list.insert(at, KickEntry{text, false});
    }
}

void StationNetwork::ForgetUnheardKickEntries() {
    std::vector<std::string> heard;
    for (const TPeer& peer : table_.peers)
        if (!peer.free) heard.push_back(Copy(peer.box + " " + peer.station.str(), 1, 39));
    auto& list = peerswindow_.cbpeers;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&heard](const KickEntry& e) {
                                  return !e.checked && std::find(heard.begin(), heard.end(),
                                                                 e.text) == heard.end();
                              }),
               list.end());
}

int StationNetwork::AnnounceToPeers() {
    if (--announcecountdown_ > 0) return 0;
    int sent = 0;
    if (!settings_.cbslave) {
        const std::string text = "#aerovas" + settings_.version + "*";
        for (const TPeer& peer : table_.peers) {
            if (peer.free || peer.ip == "127.0.0.1") continue;
            if (sender_.Send(peer.ip, settings_.remoteip + settings_.portoffset, text)) ++sent;
        }
    }
    announcecountdown_ = 5;
    return sent;
}

void StationNetwork::LabelText(Tflight& f, bool lookuproute) {
    std::string label;
    if (f.flightid.empty() || f.flightid[0] == '@') {
        label = Concat({"~", f.modes.view()});
    } else {
        label = f.flightid.str();
        if (lookuproute && hooks_.lookupRoute) f.route = hooks_.lookupRoute(f, f.flightid.view());
    }
    const char symbol = StatusChar(f, 8);
    if (symbol != ' ') label += symbol;
    if (StatusChar(f, 3) == '1') label += " !";
    f.labeltext = label;
    if (symbol == 'v') f.altlabel = "G---";
}

void StationNetwork::RegistrationFromXml(Tflight& f) {
    const std::string path = AircraftXmlPath(settings_.stationdir, f.modes);
    AircraftXmlData xml;
    if (ReadAircraftXml(path, xml)) {
        if (!xml.reg.empty()) f.reg = xml.reg;
        if (!xml.icaotype.empty()) f.icaotype = xml.icaotype;
    } else if (settings_.cbsavexml) {
        WriteAircraftXmlTemplate(path);
    }
    if (f.reg.empty() && hooks_.countryOfAddress) {
        f.reg = Copy(hooks_.countryOfAddress(f.modes), 1, 7);
    }
}

void StationNetwork::HandleNetworkFlightReport(const NetworkFlightReport& report,
                                               std::string_view ip, int port) {
    Tflight rec = report.record;
    if (rec.modes.empty()) return;  // no address: nothing to attach it to
    if (settings_.cbemergency && IsEmergencySquawk(rec.squawk)) {
        rec.emergencyalert = true;
        if (hooks_.setAlertText) hooks_.setAlertText("** EMERGENCY **");
    }
    const DayTime now = clock_.UtcNow();
    const int slot = table_.FindFlight(rec.modes);

    if (slot < 0) {
        rec.srcip = ip;
        rec.srcport = port;
        rec.state = 1;
        rec.deleted = false;
        rec.fresh = rec.freshhttp1 = rec.freshhttp2 = true;
        rec.lastseen = now;
        DerivedTexts(rec);
        LabelText(rec, true);
        SetPosition(rec);
        RegistrationFromXml(rec);
        const int added = table_.AddFlightRecord(rec);
        if (added < 0) return;  // every slot holds a live target
        if (hooks_.targetAdded) hooks_.targetAdded(added);
        const Tflight& f = table_.flights[static_cast<std::size_t>(added)];
        table_.AddHistoryPoint(added, f.fl, f.latf, f.lonf);
        if (hooks_.alertMatch) hooks_.alertMatch(added);
        return;
    }

    Tflight& old = table_.flights[static_cast<std::size_t>(slot)];
    // Reports may overtake each other on the way: only a newer time text counts.
    if (!(rec.peerfield4.view() > old.peerfield4.view())) return;
    rec.state = 1;
    rec.deleted = false;
    rec.fresh = rec.freshhttp1 = rec.freshhttp2 = true;
    rec.lastseen = now;
    DerivedTexts(rec);
    if (rec.flightid.empty() && !old.labeltext.empty() && old.labeltext[0] != '~') {
        rec.flightid = old.flightid;
    }
    if (old.flightid.empty() && !report.record.flightid.empty() && hooks_.lookupRoute) {
        old.route = hooks_.lookupRoute(old, report.record.flightid.view());
    }
    LabelText(rec, false);
    if (rec.lat == "0.0" || rec.lon == "0.0") {
        rec.lat = old.lat;
        rec.lon = old.lon;
        rec.latf = old.latf;
        rec.lonf = old.lonf;
        rec.coslat = old.coslat;
    } else {
        SetPosition(rec);
    }
    rec.icaotype = old.icaotype;
    rec.reg = old.reg;
    rec.noalert = old.noalert;
    rec.alerted = old.alerted;
    rec.alertmailsent = old.alertmailsent;
    rec.emergencymailsent = old.emergencymailsent;
    rec.hassel = old.hassel;
    rec.heading = old.heading;
    rec.mcp = old.mcp;
    rec.qnh = old.qnh;
    rec.ias = old.ias;
    rec.mach = old.mach;
    rec.mcpmode = old.mcpmode;
    rec.roll = old.roll;
    rec.turn = old.turn;
    rec.route = old.route;
    rec.routefrom = old.routefrom;
    rec.routeto = old.routeto;
    if (rec.squawk.empty() && old.squawk.size() >= 4) rec.squawk = old.squawk;
    const std::int32_t ring = old.trailring;
    old = rec;
    old.trailring = ring;
    if (hooks_.targetUpdated) hooks_.targetUpdated(slot);
    if (hooks_.alertMatch) hooks_.alertMatch(slot);
}

namespace {

// The fields of a data-server line; on a known target empty label, registration, type and
// route keep what the slot has.
void ApplyServerLine(Tflight& f, const ServerLine& line, DayTime now) {
    if (!line.label.empty()) {
        f.labeltext = line.label;
        f.label = line.label;
        f.flightid = line.label;
    }
    if (!line.reg.empty()) f.reg = line.reg;
    if (!line.icaotype.empty()) f.icaotype = line.icaotype;
    if (!line.route.empty()) f.route = line.route;
    f.modes = line.modes;
    f.lat = line.lat;
    f.lon = line.lon;
    if (line.lat.empty()) {
        f.nopos = true;
        f.latf = f.lonf = 0;
    } else {
        f.nopos = false;
        SetPosition(f);
    }
    f.altlabel = line.altlabel;
    f.track = line.track;
    f.trackf = line.track.empty() ? 0.0 : RealOf(Trim(line.track));
    f.track3 = TrackText(line.track);
    f.gs = line.gs;
    f.gs4 = line.gs;
    f.gsf = line.gs.empty() ? 0.0 : RealOf(Trim(line.gs));
    f.vratecode = line.vratecode;
    f.squawk = line.squawk;
    f.box = line.box;
    if (line.box.size() <= 3) f.hold3min = true;
    f.peerfield6 = "0";
    f.lastseen = now;
}

}  // namespace

void StationNetwork::HandleServerLine(const ServerLine& line) {
    if (line.modes.empty()) return;
    const DayTime now = clock_.UtcNow();
    const int slot = table_.FindFlight(line.modes);
    if (slot < 0) {
        Tflight rec = EmptyFlightRecord();
        ApplyServerLine(rec, line, now);
        rec.state = 1;
        rec.deleted = false;
        rec.fresh = true;
        rec.labelaltvalid = 1;
        if (line.mobile) {
            // A mobile unit reports seldom: it stays on the screen 45 minutes after a position.
            rec.hold45min = true;
            rec.hold3min = false;
            rec.hold30s = false;
        }
        const int added = table_.AddFlightRecord(rec);
        if (added >= 0 && hooks_.targetAdded) hooks_.targetAdded(added);
        return;
    }
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    ApplyServerLine(f, line, now);
    f.fresh = true;
    f.deleted = false;
    f.state = 1;
    f.labelaltvalid = 1;
    if (hooks_.targetUpdated) hooks_.targetUpdated(slot);
}

void StationNetwork::HandleChat(const TChat& chat) {
    table_.chat = chat;
    if (chat.message.empty()) return;
    const int minutes = DecodeTime(clock_.LocalNow()).minute;
    auto& lines = chatwindow_.lines;
    lines.push_back(Concat(
        {"(", PadLeft(std::to_string(minutes), 2, '0'), ") ", chat.station, ": ", chat.message}));
    if (lines.size() > ChatWindowState::kMaxLines) {
        lines.erase(lines.begin(), lines.end() - static_cast<long>(ChatWindowState::kMaxLines - 1));
    }
    chatwindow_.visible = true;
    chatwindow_.broughttofront = true;
    if (onChatLine) onChatLine();
    if (sound_) sound_->PlayAsync(settings_.chatsound);
}

}  // namespace aerova
