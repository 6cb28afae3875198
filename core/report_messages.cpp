// Parsers of the non-report kinds of the datagram family: receiver status lines, peer
// status, chat, network flight reports, data-server lines and the station GPS position.

#include <vector>

#include "base/strings.h"
#include "core/report_codec.h"

namespace aerova {
namespace {

// The pressure setting travels without its leading "1" or "9".
std::string PressureField(std::string_view field) {
    std::string r(!field.empty() && field[0] == '0' ? "1" : "9");
    r += field;
    return r;
}

}  // namespace

std::optional<ReceiverStatusLine> ParseReceiverStatus(std::string_view d) {
    if (d.empty() || d.size() > 18) return std::nullopt;
    const unsigned char first = ByteAt(d, 0);
    if ((first & 0xF0) != 0xE0 || ByteAt(d, d.size() - 1) != 0xEF) return std::nullopt;
    ReceiverStatusLine line;
    line.type = first;
    switch (first) {
        case 0xE1:
            line.slot = 0;
            break;
        case 0xE2:
            line.slot = 1;
            break;
        case 0xE3:
            line.slot = 2;
            break;
        case 0xE4:
            line.slot = 3;
            break;
        default:
            break;
    }
    if (first == 0xE2)
        line.text = Copy(d, 3, 7);
    else if (line.slot >= 0)
        line.text = Copy(d, 2, 16);
    return line;
}

std::optional<PeerStatusMessage> ParsePeerStatus(std::string_view d) {
    const DatagramKind kind = ClassifyDatagram(d);
    if (kind != DatagramKind::kPeerStatus && kind != DatagramKind::kPeerStatusOld)
        return std::nullopt;
    PeerStatusMessage m;
    m.oldform = kind == DatagramKind::kPeerStatusOld;
    // The info text ends at the byte 0x03, so the control bytes are dropped field by field.
    FieldReader r(d.substr(1, d.size() - 2));
    auto next = [&r] { return Printable(r.Next()); };
    TPeer& p = m.peer;
    const std::string first = next();
    if (first == "ICOD") {
        m.full = false;
        p.station = next();
        p.replayspeed = next();
        return m;
    }
    p.lat = first;
    p.lon = next();
    p.utc = next();
    p.qnh = PressureField(next());
    p.qnhin = next();
    p.trans = next();
    p.station = Trim(next());
    p.icao = next();
    p.url = next();
    p.replayspeed = next();
    p.replaytime = next();
    if (m.oldform) {
        p.version = "2.2.6";
        p.box = "0000";
        return m;
    }
    // The info text may hold ":"; it ends at the byte 0x03.
    const std::string_view rest = r.Rest();
    const std::size_t etx = rest.find('\x03');
    p.info = Printable(rest.substr(0, etx));
    if (etx != std::string_view::npos) {
        std::string_view tail = rest.substr(etx + 1);
        if (!tail.empty() && tail[0] == ':') tail.remove_prefix(1);
        FieldReader t(tail);
        p.version = Printable(t.Next());
        p.box = Printable(t.Next());
    }
    return m;
}

std::optional<TChat> ParseChat(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kChat) return std::nullopt;
    const std::string_view text = d.substr(1, 255);
    TChat chat;
    const std::size_t tab = text.find('\t');
    std::string_view message = text;
    if (tab != std::string_view::npos) {
        chat.station = Printable(text.substr(0, tab));
        message = text.substr(tab + 1);
    }
    if (!message.empty()) message.remove_suffix(1);
    chat.message = Printable(message);
    return chat;
}

Tflight EmptyFlightRecord() {
    Tflight f;
    f.dbid = 0;
    f.deleted = false;
    f.free = false;
    f.nopos = false;
    f.fl = 0;
    f.prevfl = 0;
    f.mcpmode = '\0';
    return f;
}

std::optional<NetworkFlightReport> ParseNetworkFlightReport(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kNetworkFlight) return std::nullopt;
    NetworkFlightReport n;
    n.record = EmptyFlightRecord();
    Tflight& f = n.record;
    const std::string text = Printable(d.substr(1, d.size() - 2));
    FieldReader r(text);
    const std::string_view address = r.Next();
    if (!IsIcaoAddress(address)) return std::nullopt;
    f.modes = address;
    f.flightid = Trim(r.Next());
    f.ground = r.Next();
    f.altft = r.Next();
    f.lat = r.Next();
    f.lon = r.Next();
    f.vrateraw = r.Next();
    f.gs = r.Next();
    f.track = r.Next();
    f.squawk = Trim(r.Next());
    f.peerfield1 = PressureField(r.Next());
    f.peerfield2 = std::string(r.Next()) + "00";
    f.peerfield3 = r.Next();
    f.peerfield4 = r.Next();
    f.peerfield6 = r.Next();
    f.peerfield5 = r.Next();
    const std::string_view status = r.Next();
    r.Next();  // field 18: not used
    if (r.Rest().empty()) return n;
    n.hasstatus = true;
    f.status = status;
    f.tas = r.Next();
    f.gps = r.Next();
    if ((f.gs == ".0" || f.gs == "0.0") && !f.tas.empty()) f.gs = f.tas + ".0";
    std::string squawk = f.squawk.str();
    auto mark = [&](std::size_t pos, char c) {
        if (f.status.size() > pos && f.status[pos] == '1' && squawk.find(c) == std::string::npos)
            squawk += c;
    };
    mark(4, '*');
    mark(5, 'E');
    mark(6, '+');
    f.squawk = squawk;
    if (f.lat.empty() || f.lon.empty()) f.nopos = true;
    return n;
}

std::optional<ServerLine> ParseServerLine(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kServerLine) return std::nullopt;
    ServerLine s;
    s.mobile = ByteAt(d, 1) == 0xCF;
    const std::string text = Printable(d.substr(2, d.size() - 3));
    FieldReader r(text);
    s.label = Trim(r.Next());
    s.reg = r.Next();
    s.icaotype = r.Next();
    s.modes = r.Next();
    if (!IsIcaoAddress(s.modes)) return std::nullopt;
    s.lat = r.Next();
    s.lon = r.Next();
    s.altlabel = UpperCase(r.Next());
    s.track = r.Next();
    s.gs = r.Next();
    s.vratecode = r.Next();
    s.squawk = r.Next();
    s.route = r.Next();
    s.box = Trim(Copy(r.Next(), 1, 4));
    // A mobile position is nothing without its position; a remote station's line may come
    // without one, but never with an impossible one.
    const bool positioned = !s.lat.empty() || !s.lon.empty();
    if ((s.mobile || positioned) && !IsPlausiblePosition(s.lat, s.lon)) return std::nullopt;
    return s;
}

std::optional<GpsPositionMessage> ParseGpsPosition(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kGpsPosition) return std::nullopt;
    GpsPositionMessage g;
    const std::string text = Printable(d.substr(1, d.size() - 2));
    FieldReader r(text);
    g.lat = r.Next();
    g.lon = r.Next();
    g.text6 = r.Next();
    g.text2 = r.Next();
    return g;
}

}  // namespace aerova
