#include "station/report_ingest.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "core/aircraft_xml.h"
#include "core/target_labels.h"
#include "station/ais.h"
#include "tools/atc_console.h"

namespace aerova {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::string_view kLocalHost = "127.0.0.1";

// The address read as hexadecimal, in decimal; an unreadable address reads as 1.
std::string HexToDecimal(std::string_view hex) {
    std::uint32_t v = 0;
    if (hex.empty()) return "1";
    for (char c : hex) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return "1";
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return std::to_string(v);
}

void AppendSquawkMarks(Tflight& f) {
    std::string sq(f.squawkraw.view());
    if (f.status.size() > 4 && f.status[4] == '1') sq += '*';
    if (f.status.size() > 5 && f.status[5] == '1') sq += 'E';
    if (f.status.size() > 6 && f.status[6] == '1') sq += '+';
    f.squawk = sq;
}

const char* QualityText(int flags) {
    if (flags == 255) return "XXX";
    switch (flags & 7) {
        case 1:
            return "XXX";
        case 2:
        case 3:
            return "LO";
        case 4:
        case 5:
            return "MID";
        default:
            return "HI";
    }
}

}  // namespace

// --- Small rules --------------------------------------------------------------------------

std::string WindText(std::string_view heading, std::string_view track, std::string_view tas,
                     std::string_view gs) {
    const std::int64_t h = IntOf(heading), k = IntOf(track), a = IntOf(tas), g = IntOf(gs);
    if (std::llabs(a - g) > 250) return {};
    std::int64_t diff = std::llabs(h - k);
    if ((h > 300 && k < 60) || (k > 300 && h < 60)) diff = 360 - diff;
    if (diff > 30) return {};
    const double hr = static_cast<double>(h) * kPi / 180.0;
    const double kr = static_cast<double>(k) * kPi / 180.0;
    const double x = static_cast<double>(g) * std::sin(kr) - static_cast<double>(a) * std::sin(hr);
    const double y = static_cast<double>(g) * std::cos(kr) - static_cast<double>(a) * std::cos(hr);
    const long speed = std::lround(std::nearbyint(std::sqrt(x * x + y * y)));
    double angle;
    if (x == 0)
        angle = y > 0 ? 90.0 : -90.0;
    else
        angle = std::atan(y / x) * 180.0 / kPi;
    double dir = 90.0 - angle + (x > 0 ? 180.0 : 0.0);
    long d = std::lround(std::nearbyint(dir)) % 360;
    if (d < 0) d += 360;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld+%ld", d, speed);
    return buf;
}

std::string RollIndication(int n) {
    if (n < 2 || n > 268) return "=";
    if (n >= 180) return Concat({"<", std::to_string(270 - n)});
    return std::to_string(n) + ">";
}

std::string TurnIndication(int m) {
    if (m < 2 || m > 318) return "=";
    if (m >= 160) return Concat({"<", std::to_string(320 - m)});
    return std::to_string(m) + ">";
}

// --- ReportIngest -------------------------------------------------------------------------

ReportIngest::ReportIngest(FlightTable& table, DatagramQueue& queue, const StationClock& clock,
                           const IngestSettings& settings, AlertListState& alerts,
                           IngestHooks hooks)
    : table_(table),
      queue_(queue),
      clock_(clock),
      settings_(settings),
      alerts_(alerts),
      hooks_(std::move(hooks)) {
    scratch_.reserve(kMaxDatagram * 2 + 16);
}

void ReportIngest::UDPRead(std::string_view bytes, std::string_view senderIp, int senderPort,
                           bool fromTimer) {
    std::string_view d = bytes.substr(0, kMaxDatagram);
    try {
        if (d.size() < 3) return;
        const std::size_t zero = d.find('\0');
        if (zero != std::string_view::npos) d = d.substr(0, zero);
        if (d.size() < 3) return;
        const unsigned char first = ByteAt(d, 0);
        if (queue_.queueing && first != '{' && first != 0x04) {
            if (!queue_.locked) {
                Tudpreadbuf& e = queue_.entries[static_cast<std::size_t>(queue_.count)];
                e.data.assign(d);
                e.peerip.assign(senderIp);
                e.peerport = senderPort;
                if (queue_.count < kQueueCapacity - 1) ++queue_.count;
            }
            if (!fromTimer) return;
        }
        if ((first & 0xF0) == 0xE0) {
            if (const auto line = ParseReceiverStatus(d)) {
                status_.eeflag = line->type == 0xEE;
                if (line->slot >= 0)
                    status_.slots[static_cast<std::size_t>(line->slot)] = line->text;
                status_.newstatus = true;
                if (hooks_.redrawRadar) hooks_.redrawRadar();
            }
            return;
        }
    } catch (const std::exception&) {
        if (hooks_.logError) hooks_.logError("Exception on UDP read: " + std::string(d));
        return;
    }

    const bool local = senderIp == kLocalHost;
    if (settings_.cbslave) {
        if (ByteAt(d, 0) == 0xFB)
            d.remove_prefix(1);
        else if (!local)
            return;
        // A relay marker with almost nothing behind it carries no datagram.
        if (d.size() < 3) return;
    }
    if (settings_.cbmaster && hooks_.sendUdp) {
        std::string relayed;
        relayed.reserve(d.size() + 1);
        relayed.push_back(static_cast<char>(0xFB));
        relayed += d;
        hooks_.sendUdp(settings_.edmasterip, IntOf(settings_.edmasterport), relayed);
    }
    if (settings_.cbskip && (!local || !settings_.cbexceptlocal)) return;
    // A datagram that fails is logged and dropped here: an exception must not leave the
    // socket's event handler, and the datagrams after it are still applied.
    try {
        Dispatch(d, senderIp, senderPort);
    } catch (const std::exception& ex) {
        if (hooks_.logError) hooks_.logError(std::string("Exception on UDP read: ") + ex.what());
    }
}

void ReportIngest::DrainQueue() {
    queue_.locked = true;
    const int count = queue_.count;
    // Entry 999 is where the arrivals beyond the 999th of a tick end up: the last of them
    // is applied too, not silently lost.
    Tudpreadbuf& last = queue_.entries[kQueueCapacity - 1];
    const bool overflow = count == kQueueCapacity - 1 && !last.data.empty();
    for (int i = 0; i < count; ++i) {
        const Tudpreadbuf& e = queue_.entries[static_cast<std::size_t>(i)];
        UDPRead(e.data, e.peerip, e.peerport, true);
    }
    if (overflow) UDPRead(last.data, last.peerip, last.peerport, true);
    last.data.clear();
    queue_.locked = false;
    queue_.queueing = false;
    queue_.count = 0;
}

void ReportIngest::Dispatch(std::string_view d, std::string_view ip, int port) {
    switch (ClassifyDatagram(d)) {
        case DatagramKind::kMainReport:
            HandleMainReport(d, ip, port);
            break;
        case DatagramKind::kPeerStatus:
        case DatagramKind::kPeerStatusOld:
            if (hooks_.peerStatus)
                if (const auto m = ParsePeerStatus(d)) hooks_.peerStatus(*m, ip, port);
            break;
        case DatagramKind::kGpsPosition:
            HandleGps(d);
            break;
        case DatagramKind::kNetworkFlight:
            if (hooks_.networkFlight)
                if (const auto m = ParseNetworkFlightReport(d)) hooks_.networkFlight(*m, ip, port);
            break;
        case DatagramKind::kServerLine:
            if (hooks_.serverLine)
                if (const auto m = ParseServerLine(d)) hooks_.serverLine(*m, ip, port);
            break;
        case DatagramKind::kChat:
            if (hooks_.chat)
                if (const auto m = ParseChat(d)) hooks_.chat(*m, ip, port);
            break;
        case DatagramKind::kAis:
            if (ais_) ais_->HandleAisReport(d);
            break;
        default:  // relayed datagrams outside slave mode, and everything unknown
            break;
    }
}

void ReportIngest::HandleGps(std::string_view d) {
    const auto g = ParseGpsPosition(d);
    if (!g) return;
    gps_.lat = g->lat;
    gps_.lon = g->lon;
    gps_.latf = static_cast<float>(RealOf(g->lat.view()));
    gps_.lonf = static_cast<float>(RealOf(g->lon.view()));
    gps_.text6 = g->text6;
    gps_.text2 = g->text2;
    gps_.time = clock_.UtcNow();
    gps_.valid = true;
    if (hooks_.gpsPosition) hooks_.gpsPosition(gps_);
}

void ReportIngest::HandleMainReport(std::string_view d, std::string_view ip, int port) {
    const auto m = ParseMainReport(d);
    if (!m) return;
    if (m->address == "000000" || m->address == "F1B77E" || m->address == "FFFA04") return;
    int slot = table_.FindFlight(m->address.view());
    bool isNew = slot < 0;
    // With all 2000 slots taken the report has nowhere to go.
    if (isNew && (slot = table_.NewTargetSlot(false, clock_.UtcNow())) < 0) return;
    Tflight* f = &table_.flights[static_cast<std::size_t>(slot)];
    f->idchanged = false;
    f->reportkind = static_cast<std::uint8_t>(m->kind);
    ApplyMainReport(*m, slot);

    if (f->ground != "0") {
        f->altlabel = "G---";
        f->vratecode.clear();
        if (f->idchanged && !isNew) {
            // A new call sign on the ground is a new flight: it starts afresh in its own slot
            // and the old one ages out. A target seen for the first time is already fresh.
            const int fresh = table_.NewTargetSlot(false, clock_.UtcNow());
            if (fresh >= 0) {
                Tflight& n = table_.flights[static_cast<std::size_t>(fresh)];
                n.altlabel = "G---";
                n.vratecode.clear();
                n.reportkind = static_cast<std::uint8_t>(m->kind);
                f->deleted = true;
                ApplyMainReport(*m, fresh);
                n.altlabel = "G---";
                n.vratecode.clear();
                slot = fresh;
                f = &n;
                isNew = true;
            }
        }
    } else if (f->altlabel == "G---") {
        f->altlabel.clear();
    }
    f->srcip = ip;
    f->srcport = port;
    if (isNew)
        NewTargetSteps(slot);
    else
        ExistingTargetSteps(slot);
}

void ReportIngest::ApplyMainReport(const MainReport& m, int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    f.modes = m.address;
    f.modesdec = HexToDecimal(m.address.view());
    const DayTime t = clock_.UtcNow();
    f.lastseen = t;
    if (f.reports++ == 0) f.firstseen = t;
    if (!m.hashead) return;
    std::string& h = scratch_;
    h.clear();
    UnpackTextTo(m.head, h);
    if (h.size() < 10) return;

    f.ground = std::string_view(h).substr(0, 1);
    f.hold3min = f.hold30s = f.hold45min = false;
    char st[9];
    for (std::size_t i = 0; i < 9; ++i) st[i] = i < f.status.size() ? f.status[i] : '0';
    st[0] = h[1];
    st[2] = h[2];
    st[4] = h[3];
    st[5] = h[4];
    st[6] = h[5];
    st[7] = SymbolOfCode(h[6]);
    st[3] = h[7];
    f.status = std::string_view(st, 9);
    AppendSquawkMarks(f);
    f.spiflag = f.spiflag || st[4] == '1';
    f.alertflag = f.alertflag || st[6] == '1';

    if (h[8] == ':') {
        f.box = "0000";
    } else {
        if (h.size() < 14) return;
        const std::string_view code = std::string_view(h).substr(8, 4);
        if (m.kind == 5) {
            const std::string feet = ExpandAltitudeCode(code);
            if (!feet.empty()) f.box = feet;
        } else {
            f.box = code;
        }
    }

    // Blocks in the order of their effect; a block cut short ends the report there.
    if (m.ident.present) {
        if (m.ident.truncated) return;
        if (t > f.lastpos) {
            const IdentFields id = ParseIdentBlock(m.ident.content, h);
            const std::string_view call = std::string_view(id.callsign).substr(0, 8);
            if (!call.empty() && call != f.flightid.view()) {
                f.flightid = call;
                f.announceid = true;
                f.idchanged = true;
            }
            if (!id.lat.empty()) f.lastpos = t;
            if (RealOf(id.tas) > 70) {
                f.tas = id.tas;
                if (settings_.windsaloft && !f.heading.empty() && !f.gs.empty() &&
                    !f.track.empty()) {
                    const std::string wind = WindText(f.heading, f.track, id.tas, f.gs);
                    if (!wind.empty()) {
                        f.wind = wind;
                        f.windvalid = true;
                    }
                }
            }
            const int flags = id.flags;
            if (flags & 0x80) {
                const std::string code = VerticalRateCode(id.vrate);
                f.vrateraw = id.vrate;
                f.vratecode = code;
                // The code without its first "+": right-aligned, so " +6" gives " 6".
                std::string vrate = code;
                if (const std::size_t plus = vrate.find('+'); plus != std::string::npos)
                    vrate.erase(plus, 1);
                f.vrate = vrate;
                f.vratef = RealOf(id.vrate);
            }
            if (flags & 0x20) {
                f.gs = id.gs;
                f.gs4 = std::string_view(id.gs).substr(0, 4);
                f.gsf = RealOf(id.gs);
            }
            if (flags & 0x10) {
                f.track = id.track;
                f.trackf = RealOf(id.track);
                f.track3 = Track3(id.track);
            }
            if (flags & 0x08) f.gps = id.gnssdiff;
            if ((flags & 7) != 0 && !id.lat.empty() && !id.lon.empty()) {
                f.lat = id.lat;
                f.lon = id.lon;
                f.nopos = false;
                f.posquality = QualityText(flags);
            }
        }
    }

    if (m.labelalt.present) {
        if (m.labelalt.truncated) return;
        if (t > f.lastlabelalt) {
            h.clear();
            UnpackTextTo(m.labelalt.content, h);
            FieldReader fields(h);
            const std::string_view code = fields.Next();
            if (code.size() == 4) {
                char label[4] = {code[0], code[1], code[2], code[3]};
                if (label[0] == '9')
                    label[0] = 'G';
                else if (label[0] == '8')
                    label[0] = 'F';
                else if (label[0] == '7')
                    label[0] = 'A';
                f.altlabel = std::string_view(label, 4);
                if (label[0] == 'G')
                    f.altft = "0";
                else
                    f.altft = std::string(code.substr(1, 3)) + "00";
            }
            if (!f.altft.empty()) {
                f.fl = IntOf(f.altft.view().substr(0, 3));
                const bool noRealCode =
                    f.vratecode.empty() || f.vratecode == "---" || f.vratecode == "+++";
                const bool ground = !f.altlabel.empty() && f.altlabel[0] == 'G';
                if (!ground && noRealCode && f.prevfl != -9) {
                    if (f.fl < f.prevfl) {
                        f.trend = -1;
                        f.trendsteady = 0;
                    } else if (f.fl > f.prevfl) {
                        f.trend = 1;
                        f.trendsteady = 0;
                    } else {
                        ++f.trendsteady;
                    }
                    if (f.trendsteady > 5) {
                        f.trend = 0;
                        f.trendsteady = 0;
                    }
                    f.vratecode = f.trend == 1 ? "+++" : f.trend == -1 ? "---" : "";
                }
                f.prevfl = f.fl;
            } else {
                f.fl = -9;
                f.prevfl = -9;
                f.trend = 0;
            }
            f.lastlabelalt = t;
            f.labelaltvalid = 1;
            const std::string squawk = Trim(fields.Next());
            if (!squawk.empty()) {
                f.squawkraw = squawk;
                // The status marks belong behind the squawk whichever block brought it.
                AppendSquawkMarks(f);
            }
        }
    }

    if (m.selalt.present) {
        if (m.selalt.truncated) return;
        if (t > f.seltime) {
            h.clear();
            UnpackTextTo(m.selalt.content, h);
            FieldReader fields(h);
            f.seltime = t;
            f.selvalid = true;
            f.mcp = PadLeft(fields.Next(), 3, '0');
            f.qnh = fields.Next();
            const std::string_view mode = fields.Next();
            f.mcpmode = mode.empty() ? ' ' : mode[0];
            f.hassel = true;
        }
    }

    if (m.roll.present) {
        if (m.roll.truncated) return;
        if (t > f.rolltime) {
            h.clear();
            UnpackTextTo(m.roll.content, h);
            FieldReader fields(h);
            f.rolltime = t;
            f.rollvalid = true;
            const std::string_view roll = fields.Next(), turn = fields.Next();
            if (!roll.empty()) f.roll = RollIndication(IntOf(roll));
            if (!turn.empty()) f.turn = TurnIndication(IntOf(turn));
        }
    }

    if (m.heading.present) {
        if (m.heading.truncated) return;
        if (t > f.hdgtime) {
            h.clear();
            UnpackTextTo(m.heading.content, h);
            FieldReader fields(h);
            f.hdgtime = t;
            f.hdgvalid = true;
            const std::string_view hdg = fields.Next();
            f.heading = hdg == "0"    ? std::string("360")
                        : hdg.empty() ? std::string()
                                      : PadLeft(hdg, 3, '0');
            f.ias = fields.Next();
            f.mach = fields.Next();
            if (settings_.windsaloft && !f.heading.empty() && !f.tas.empty() && !f.gs.empty() &&
                !f.track.empty()) {
                const std::string wind = WindText(f.heading, f.track, f.tas, f.gs);
                if (!wind.empty()) {
                    f.wind = wind;
                    f.windvalid = true;
                    f.windtime = t;
                }
            }
        }
    }
}

void ReportIngest::LabelText(Tflight& f) {
    std::string text(f.label.view());
    const char symbol = f.status.size() > 7 ? f.status[7] : ' ';
    if (symbol != ' ') text += symbol;
    if (f.status.size() > 2 && f.status[2] == '1') text += " !";
    f.labeltext = text;
    if (symbol == 'v') f.altlabel = "G---";
}

void ReportIngest::PositionStep(int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    if (f.nopos) return;
    f.latf = static_cast<float>(RealOf(f.lat.view()));
    f.lonf = static_cast<float>(RealOf(f.lon.view()));
    f.coslat = std::cos(f.latf * kPi / 180.0);
    if (hooks_.updateTarget) hooks_.updateTarget(slot);
}

void ReportIngest::NewTargetSteps(int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    if (f.state == 0) {
        f.state = 1;
        if (f.status.size() > 2) {
            std::string st(f.status.view());
            st[2] = '0';
            f.status = st;
        }
    }
    f.deleted = false;
    f.free = false;
    f.fresh = f.freshhttp1 = f.freshhttp2 = f.logpending = true;
    for (auto& w : table_.windows) w.usercolour[static_cast<std::size_t>(slot)] = false;
    f.indb = false;

    std::string country;
    if (hooks_.identifyAircraft) country = hooks_.identifyAircraft(f);
    if (f.reg.empty() && !settings_.stationdir.empty()) {
        AircraftXmlData xml;
        if (ReadAircraftXml(AircraftXmlPath(settings_.stationdir, f.modes.view()), xml)) {
            f.reg = xml.reg;
            if (!xml.icaotype.empty()) f.icaotype = xml.icaotype;
        }
    }
    if (f.reg.empty()) {
        f.reg = Copy(country, 1, 7);
        f.regiscountry = true;
    }
    if (f.flightid.empty() || f.flightid[0] == '@') {
        f.label = f.reg.empty() ? "~" + f.modes : "&" + f.reg;
    } else {
        f.label = f.flightid;
        f.route = hooks_.lookupRoute ? hooks_.lookupRoute(f, f.flightid.view()) : std::string();
    }
    if (f.route.empty())
        f.route =
            OnGroundDepartureRoute(f, settings_.spbONG, settings_.atcairport, settings_.blacklist);
    LabelText(f);
    PositionStep(slot);
    if (!f.nopos) table_.AddHistoryPoint(slot, f.fl, f.latf, f.lonf);
    AlertMatch(slot);
}

void ReportIngest::ExistingTargetSteps(int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    f.state = 1;
    f.deleted = false;
    f.free = false;
    f.fresh = f.freshhttp1 = f.freshhttp2 = f.logpending = true;
    f.peerfield6 = "0";
    if (!f.flightid.empty() && f.flightid[0] != '@' &&
        (f.label.view() != f.flightid.view() ||
         (!f.label.empty() && (f.label[0] == '~' || f.label[0] == '&')))) {
        f.label = f.flightid;
        f.route = hooks_.lookupRoute ? hooks_.lookupRoute(f, f.flightid.view()) : std::string();
        if (f.routestate == 1) f.routestate = 2;
    }
    LabelText(f);
    PositionStep(slot);
    AlertMatch(slot);
}

void ReportIngest::AlertMatch(int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    if (f.noalert || f.alerted || alerts_.entries.empty()) return;
    const std::string call = Trim(f.flightid.view());
    const std::string reg = Trim(f.reg.view());
    for (AlertEntry& e : alerts_.entries) {
        if (!e.checked) continue;
        const std::size_t colon = e.text.find(':');
        // An entry without ":" has an empty key, and an empty key matches nothing.
        if (colon == std::string::npos || colon == 0) continue;
        const std::string_view key = std::string_view(e.text).substr(0, colon);
        const bool match = alerts_.exact
                               ? (key == call || key == f.modes.view() || key == reg)
                               : (call.find(key) != std::string::npos || key == f.modes.view() ||
                                  reg.find(key) != std::string::npos);
        if (!match) continue;
        f.alerted = true;
        if (alerts_.sendmail) {
            f.alertmail = true;
            alerts_.alerttarget = {slot, slot};
            if (alerts_.firstonly) e.checked = false;
            alerts_.alerttext = e.text.substr(colon + 1);
        }
    }
}

}  // namespace aerova
