#include "distribution/kml_documents.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "distribution/xml_text.h"

namespace aerova {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// A flight level the station has not heard: no altitude, not 274 m below the sea.
constexpr float kUnknownLevel = -9;
constexpr std::size_t kRegistrationColumn = 6;
constexpr std::size_t kOwnersColumn = 21;

// A coordinate text as it may go into a document: optional sign, digits with at most one
// decimal point, within +-limit. Trimmed; nothing when it is anything else.
std::optional<std::string> Coordinate(std::string_view text, double limit) {
    const std::string t = Trim(text);
    std::size_t digits = 0, points = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else if (!((c == '-' || c == '+') && i == 0))
            return std::nullopt;
    }
    if (digits == 0 || points > 1) return std::nullopt;
    const auto value = TryParseReal(t);
    if (!value || !(std::fabs(*value) <= limit)) return std::nullopt;
    return t;
}

struct Position {
    std::string lat, lon;
};

// The position of a target the documents show: live, positioned, with number texts.
std::optional<Position> ShownPosition(const Tflight& f) {
    if (!f.live() || f.nopos) return std::nullopt;
    auto lat = Coordinate(f.lat.view(), 90);
    auto lon = Coordinate(f.lon.view(), 180);
    if (!lat || !lon) return std::nullopt;
    return Position{std::move(*lat), std::move(*lon)};
}

std::optional<Position> PeerPosition(const TPeer& p) {
    if (p.free) return std::nullopt;
    auto lat = Coordinate(p.lat.view(), 90);
    auto lon = Coordinate(p.lon.view(), 180);
    if (!lat || !lon) return std::nullopt;
    return Position{std::move(*lat), std::move(*lon)};
}

long AltitudeMetres(float fl) {
    if (fl == kUnknownLevel || !std::isfinite(fl)) return 0;
    return std::lround(static_cast<double>(fl) * 30.48);
}

// A text cut two characters after its decimal point.
std::string CutTwoDecimals(const std::string& s) {
    const std::size_t point = s.find('.');
    return point == std::string::npos ? s : s.substr(0, point + 3);
}

// A history number with a decimal point, cut to 9 characters.
std::string HistoryNumber(float v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    const std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
    return std::string(s.substr(0, 9));
}

const std::string& DatabaseColumn(const Tflight& f, std::size_t column) {
    return f.sqlaircraft.columns[column];
}

bool OnGround(const Tflight& f) {
    return f.altlabel.view().find('G') != std::string_view::npos;
}

bool Vehicle(const Tflight& f) {
    return f.labeltext.view().find('v') != std::string_view::npos;
}

const KmlRgb& TargetColour(const Tflight& f, const KmlStyle& style) {
    if (f.state == 0) return style.inactive;
    if (Vehicle(f)) return style.vehicle;
    if (OnGround(f) || f.altlabel.empty()) return style.onground;
    const std::string rate = Trim(f.vratecode.view());
    if (!rate.empty() && rate[0] == '+') return style.climbing;
    if (!rate.empty() && rate[0] == '-') return style.descending;
    return style.active;
}

std::string_view IconScale(const KmlOptions& options) {
    const int i = options.iconscale;
    return i >= 0 && i < static_cast<int>(kKmlIconScales.size())
               ? kKmlIconScales[static_cast<std::size_t>(i)]
               : kKmlIconScales[kKmlDefaultIconScale];
}

// The placemark's name: the chosen items, single blanks between them.
std::string PlacemarkName(const Tflight& f, const KmlOptions& o) {
    std::string name;
    const auto add = [&name](std::string_view item) {
        name = Concat({Trim(name), " ", Trim(item)});
    };
    if (o.flightid) add(f.flightid.view());
    if (o.altitude) add(f.altlabel.view());
    if (o.track && !f.track3.empty()) add(Concat({f.track3.view(), std::string(1, kDegreeSign)}));
    if (o.vrate) add(f.vratecode.view());
    if (o.gs) add(f.gs4.view());
    if (o.reg) add(DatabaseColumn(f, kRegistrationColumn));
    if (o.icaotype) add(f.icaotype.view());
    if (o.route) add(f.route.view());
    name = Trim(name);
    if (name.empty()) name = Concat({"[", f.modes.view(), "]"});
    return name;
}

// The balloon text is HTML inside the KML. A part appended after a blank-separated part
// (type, registration) is appended to the trimmed text.
class Balloon {
  public:
    void Plain(std::string_view part) {
        if (trimNext_) text_ = Trim(text_);
        trimNext_ = false;
        text_ += part;
    }
    void Blank(std::string_view part) {
        text_ += ' ';
        text_ += part;
        trimNext_ = true;
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
    bool trimNext_ = false;
};

std::string BalloonText(const Tflight& f) {
    Balloon b;
    const auto when = [&b](std::string_view prefix, std::string_view value) {
        if (!value.empty()) b.Plain(Concat({prefix, XmlText(value)}));
    };
    when("<b><h2>", f.flightid.view());
    if (!f.flightid.empty()) b.Plain("</h2></b>");
    b.Plain(Concat({" Mode-S ", XmlText(f.modes.view())}));
    when("   SSR A", f.squawk.view());
    b.Plain("<br/>");
    if (!f.icaotype.empty()) b.Blank(XmlText(f.icaotype.view()));
    const std::string& reg = DatabaseColumn(f, kRegistrationColumn);
    if (!reg.empty()) b.Blank(XmlText(reg));
    b.Plain("<br/>");
    const std::string& owners = DatabaseColumn(f, kOwnersColumn);
    if (!owners.empty()) b.Plain(Concat({XmlText(owners), "<br/>"}));
    b.Plain(XmlText(f.altlabel.view()));
    when("&gt;", f.mcp.view());
    const std::string rate = Trim(f.vratecode.view());
    if (!rate.empty()) b.Plain(Concat({"  ", XmlText(rate), "00 ft/min"}));
    b.Plain("<br/>");
    when("GS ", f.gs4.view());
    when("  IAS ", f.ias.view());
    when("  M.", f.mach.view());
    when("  TAS ", f.tas.view());
    b.Plain("<br/>");
    when("TT ", f.track3.view());
    when("  HDG ", f.heading.view());
    b.Plain("<br/>");
    when("", f.route.view());
    return b.text();
}

// The trail's points, oldest first, and the current position last. Only the entries the
// ring holds are walked: after a wrap the write position to the end of the ring, then the
// start to just before it; before a wrap the start to just before the write position, and
// nothing at all while fewer than two have been written.
std::string TrailPoints(const PositionHistory& h, const Position& now, long nowAltitude,
                        bool clamped) {
    std::string out;
    const int writepos = std::clamp(h.writepos, 0, kHistoryLength - 1);
    if (!h.wrapped && writepos < 2) return out;
    float lastLat = -999, lastLon = -999;
    const auto point = [&](int i) {
        const HistoryEntry& e = h.entries[static_cast<std::size_t>(i)];
        if (!std::isfinite(e.lat) || !std::isfinite(e.lon)) return;
        if (e.lat == lastLat && e.lon == lastLon) return;
        lastLat = e.lat;
        lastLon = e.lon;
        out += Concat({HistoryNumber(e.lon), ",", HistoryNumber(e.lat), ",",
                       clamped ? "0" : std::to_string(AltitudeMetres(e.fl)), kCrLf});
    };
    if (h.wrapped) {
        for (int i = writepos; i < kHistoryLength; ++i) point(i);
        for (int i = 0; i < writepos; ++i) point(i);
    } else {
        for (int i = 0; i < writepos; ++i) point(i);
    }
    out += Concat({now.lon, ",", now.lat, ",", std::to_string(nowAltitude), kCrLf});
    return out;
}

void AppendPlacemark(std::string& out, const Tflight& f, const PositionHistory& history,
                     const Position& pos, const KmlOptions& o, const KmlStyle& style, bool atcbox) {
    const std::string colour = KmlColour(TargetColour(f, style));
    const bool vehicle = Vehicle(f);
    const char* icon = vehicle                                                 ? "auto.gif"
                       : f.track3.empty() || f.altlabel.empty() || OnGround(f) ? "nohdg.gif"
                                                                               : "flight.gif";
    const std::string href =
        atcbox ? std::string(icon) : XmlTextFromUtf8(JoinPath(style.iconDir, icon));
    const std::string_view scale = IconScale(o);
    out += "<Placemark>";
    if (vehicle) {
        out += Concat({"<Style><IconStyle><color>", colour, "</color><scale>", scale,
                       "</scale><Icon><href>", href,
                       "</href></Icon></IconStyle><BalloonStyle><text><b>",
                       XmlText(f.flightid.view()), "</b> [", XmlText(f.modes.view()), "]<br/>"});
        if (!f.gs4.empty()) out += Concat({"GS ", XmlText(f.gs4.view())});
        out += "</text></BalloonStyle></Style>";
    } else {
        // The apostrophe before "</Style>" is part of the document the viewers have always
        // been given; it is character data they ignore.
        out += Concat({"<Style><IconStyle><color>", colour, "</color><heading>",
                       XmlText(f.track3.view()), "</heading><scale>", scale, "</scale><Icon><href>",
                       href, "</href></Icon></IconStyle><BalloonStyle><text>", BalloonText(f),
                       "</text></BalloonStyle>'</Style>"});
    }
    const bool clamped = o.usealtitude;
    const long altitude = clamped ? 0 : AltitudeMetres(static_cast<float>(f.fl));
    const std::string_view mode = clamped ? "clampedToGround" : "absolute";
    out += Concat({"<name>", XmlText(PlacemarkName(f, o)),
                   "</name><Snippet></Snippet><visibility>1</visibility><Point><altitudeMode>",
                   mode, "</altitudeMode><coordinates>", pos.lon, ",", pos.lat, ",",
                   std::to_string(altitude), "</coordinates></Point></Placemark>"});
    if (!o.trails) return;
    out += Concat({"<Placemark><Style><LineStyle><color>", colour,
                   "</color></LineStyle></Style><LineString><altitudeMode>", mode,
                   "</altitudeMode>", clamped ? "" : "<extrude>1</extrude>", "<coordinates>",
                   TrailPoints(history, pos, altitude, clamped),
                   "</coordinates></LineString></Placemark>"});
}

std::string BuiltInAircraftDocument(const FlightTable& table, const KmlOptions& o,
                                    const KmlStyle& style, bool atcbox) {
    std::string out;
    out.reserve(256 * 1024);
    // The ATC box splices the document into a kml element of its own: it gets no head,
    // yet the same closing tags as everyone else.
    if (atcbox) {
        out += "<Document>";
    } else {
        out +=
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<kml xmlns=\"http://earth.google.com/kml/2.1\"><NetworkLinkControl>"
            "<minRefreshPeriod>1</minRefreshPeriod><linkName>Aerova Panorama</linkName>"
            "</NetworkLinkControl><Document>";
    }
    if (o.peers) {
        out +=
            "<Style id=\"radar\"><IconStyle><color>FF00FF00</color><Icon>"
            "<href>root://icons/palette-4.png</href><x>32</x><y>0</y><w>32</w><h>32</h>"
            "</Icon></IconStyle></Style>";
        for (const TPeer& p : table.peers) {
            const auto pos = PeerPosition(p);
            if (!pos) continue;
            // "clampedtoground" in this spelling is what the peer placemarks have always
            // carried; viewers that read it are left as they are.
            out += Concat({"<Placemark><name>", XmlText(p.station.view()),
                           "</name><styleUrl>#radar</styleUrl><visibility>1</visibility><Point>"
                           "<altitudeMode>clampedtoground</altitudeMode><coordinates>",
                           CutTwoDecimals(pos->lon), ",", CutTwoDecimals(pos->lat),
                           ",0</coordinates></Point></Placemark>"});
        }
    }
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        const auto pos = ShownPosition(table.flights[i]);
        if (pos) AppendPlacemark(out, table.flights[i], table.history[i], *pos, o, style, atcbox);
    }
    out += "</Document></kml>";
    return out;
}

bool ShownSlot(const FlightTable& table, int slot) {
    return slot >= 0 && slot < kMaxFlights &&
           ShownPosition(table.flights[static_cast<std::size_t>(slot)]).has_value();
}

// ---- Templates ----

using Values = std::vector<std::pair<std::string_view, std::string>>;

// Replaces every placeholder of `values` in one pass: a value put in is never scanned
// again, so a call sign such as "%lat%" stays that text.
std::string Fill(const std::string& line, const Values& values) {
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        bool replaced = false;
        if (line[i] == '%') {
            for (const auto& [name, value] : values) {
                if (line.compare(i, name.size(), name) == 0) {
                    out += value;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += line[i++];
    }
    return out;
}

Values FlightValues(const Tflight& f, const Position& pos, bool clampToGround) {
    return {
        {"%flno%", XmlText(f.flightid.view())},
        {"%lat%", pos.lat},
        {"%long%", pos.lon},
        {"%lbalt%", XmlText(f.altlabel.view())},
        {"%track%", XmlText(f.track3.view())},
        {"%vrate%", XmlText(f.vratecode.view())},
        {"%variableflno%", XmlText(f.flightid.empty() ? f.modes.view() : f.flightid.view())},
        {"%altitudemode%", clampToGround ? "clampedtoground" : "absolute"},
        {"%gs%", XmlText(f.gs4.view())},
        {"%registration%", XmlText(DatabaseColumn(f, kRegistrationColumn))},
        {"%route%", XmlText(f.route.view())},
        {"%altitude%", std::to_string(AltitudeMetres(static_cast<float>(f.fl)))},
    };
}

void AppendSection(std::string& out, const std::vector<std::string>& lines, const Values& values) {
    for (const std::string& line : lines) {
        out += values.empty() ? line : Fill(line, values);
        out += kCrLf;
    }
}

// The lines after the first line holding "[%name%]", up to the next line holding "[%".
std::vector<std::string> SectionLines(const std::vector<std::string>& lines,
                                      std::string_view name) {
    const std::string head = Concat({"[%", name, "%]"});
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < lines.size() && lines[i].find(head) == std::string::npos) ++i;
    for (++i; i < lines.size() && lines[i].find("[%") == std::string::npos; ++i) {
        std::string line = Trim(lines[i]);
        if (!line.empty()) out.push_back(std::move(line));
    }
    return out;
}

}  // namespace

std::string KmlColour(const KmlRgb& colour) {
    const auto hex = [](float component) {
        const float c = std::isfinite(component) ? std::clamp(component, 0.0f, 1.0f) : 0.0f;
        return IntToHex(static_cast<std::uint64_t>(std::lround(c * 255.0f)), 2);
    };
    return Concat({"FF", hex(colour.b), hex(colour.g), hex(colour.r)});
}

std::string AircraftDocument(const FlightTable& table, const KmlOptions& options,
                             const KmlStyle& style) {
    return BuiltInAircraftDocument(table, options, style, false);
}

std::string AtcBoxDocument(const FlightTable& table, const KmlOptions& options,
                           const KmlStyle& style) {
    return BuiltInAircraftDocument(table, options, style, true);
}

int CockpitSelection(const FlightTable& table) {
    for (const WindowTargetMarks& window : table.windows)
        if (ShownSlot(table, window.selected)) return window.selected;
    return -1;
}

std::string CockpitDocument(const FlightTable& table, int selectedSlot) {
    if (!ShownSlot(table, selectedSlot)) return {};
    const Tflight& f = table.flights[static_cast<std::size_t>(selectedSlot)];
    const Position pos = *ShownPosition(f);
    const std::string callsign = XmlText(f.flightid.view());
    const double metres = f.fl == static_cast<std::int32_t>(kUnknownLevel) ? 0.0 : f.fl * 30.48;
    return Concat(
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<kml xmlns=\"http://earth.google.com/kml/2.0\"><Placemark><description>",
         callsign, "</description><name>", callsign,
         "</name><visibility>1</visibility><LookAt id=\"Cp\">"
         "<altitudeMode>absolute</altitudeMode><longitude>",
         pos.lon, "</longitude><latitude>", pos.lat, "</latitude> <altitude>", RealToText(metres),
         "</altitude><range>0</range><tilt>80.0</tilt><heading>", XmlText(f.track3.view()),
         "</heading></LookAt></Placemark></kml>"});
}

KmlTemplate ParseKmlTemplate(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string& line : Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    KmlTemplate t;
    const std::pair<std::string_view, std::vector<std::string>*> sections[] = {
        {"init", &t.init},       {"trails", &t.trails},     {"peers", &t.peers},
        {"flights", &t.flights}, {"selected", &t.selected}, {"exit", &t.exit},
    };
    for (const auto& [name, into] : sections) {
        *into = SectionLines(lines, name);
        for (std::string& line : *into) line = CleanUtf8(line);
    }
    std::string control = "[control]\n";
    for (const std::string& line : SectionLines(lines, "%control%")) control += line + "\n";
    IniFile ini;
    ini.Parse(control);
    t.showTrails = ini.ReadBool("control", "trails", false);
    t.showPeers = ini.ReadBool("control", "peers", true);
    t.showFlights = ini.ReadBool("control", "flights", true);
    t.showSelected = ini.ReadBool("control", "selected", false);
    t.onground = ini.ReadBool("control", "onground", false);
    t.history = ini.ReadInteger("control", "history", 5);
    return t;
}

std::optional<KmlTemplates> LoadKmlTemplates(const std::string& dir) {
    std::string aircraft, cockpit;
    if (!ReadWholeFile(JoinPath(dir, "aircraft.kml.gss"), aircraft) ||
        !ReadWholeFile(JoinPath(dir, "cockpit.kml.gss"), cockpit))
        return std::nullopt;
    return KmlTemplates{ParseKmlTemplate(aircraft), ParseKmlTemplate(cockpit)};
}

std::string TemplateDocument(const FlightTable& table, const KmlTemplate& file, bool clampToGround,
                             int selectedSlot) {
    std::string out;
    AppendSection(out, file.init, {});
    // The template's trail switch adds nothing: the trails are the built-in document's.
    if (file.showPeers) {
        for (const TPeer& p : table.peers) {
            const auto pos = PeerPosition(p);
            if (!pos) continue;
            AppendSection(out, file.peers,
                          {{"%peerid%", XmlText(p.station.view())},
                           {"%peerlat%", pos->lat},
                           {"%peerlong%", pos->lon}});
        }
    }
    if (file.showFlights) {
        for (const Tflight& f : table.flights) {
            const auto pos = ShownPosition(f);
            if (pos) AppendSection(out, file.flights, FlightValues(f, *pos, clampToGround));
        }
    }
    if (file.showSelected && ShownSlot(table, selectedSlot)) {
        const Tflight& f = table.flights[static_cast<std::size_t>(selectedSlot)];
        AppendSection(out, file.selected, FlightValues(f, *ShownPosition(f), clampToGround));
    }
    AppendSection(out, file.exit, {});
    return out;
}

}  // namespace aerova
