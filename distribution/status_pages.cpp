#include "distribution/status_pages.h"

#include <initializer_list>

#include "base/day_time.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kHeaderBackground = "$C0C0C0";
constexpr std::string_view kGroundBackground = "$C1FFC1";
constexpr std::string_view kPositionColour = "$009933";
constexpr std::string_view kRouteColour = "$0000FF";

// The page's frame up to the table's opening tag.
void AppendPageHead(std::string& out, std::string_view title, std::string_view time) {
    for (const std::string_view line :
         {Concat({"<html><head><title>", title, "</title></head><body><div align=\"left\">"}),
          Concat({"<font face=\"Lucida Console\" size=\"3\"><b>", title, "</b></font><br>"}),
          Concat({"<font face=\"Lucida Console\" size=\"2\">Time: ", HtmlEscaped(time),
                  " UTC</font><br>"}),
          std::string("<table border=\"1\" cellspacing=\"1\" cellpadding=\"1\" "
                      "bordercolordark=\"#FFFFFF\">")}) {
        out += line;
        out += kEol;
    }
}

void AppendPageEnd(std::string& out) {
    out += "</table></div></body></html>";
    out += kEol;
}

struct RowColours {
    std::string_view background;  // empty: none
    std::string_view text;
};

// The attributes follow each other as the page has always written them: no blank between
// the background and "size", a blank of its own before the text colour.
void AppendCell(std::string& out, std::string_view value, const RowColours& colours) {
    out += "<td><font face=\"Lucida Console\" ";
    if (!colours.background.empty()) {
        out += "bgcolor=\"";
        out += colours.background;
        out += '"';
    }
    if (!colours.text.empty()) {
        out += " color=\"";
        out += colours.text;
        out += '"';
    }
    out += "size=\"1\">";
    out += Trim(value).empty() ? std::string("&nbsp") : HtmlEscaped(value);
    out += "</font></td>";
    out += kEol;
}

void AppendRow(std::string& out, std::initializer_list<std::string_view> values,
               const RowColours& colours) {
    out += "<tr>";
    out += kEol;
    for (const std::string_view value : values) AppendCell(out, value, colours);
    out += "</tr>";
    out += kEol;
}

std::string_view Flag(bool on) {
    return on ? "1" : "0";
}

RowColours FlightColours(const Tflight& f) {
    RowColours colours;
    if (!f.nopos) colours.text = kPositionColour;
    if (f.ground == "1" || f.altlabel == "G---") colours.background = kGroundBackground;
    if (!f.route.empty()) colours.text = kRouteColour;  // a route outranks the position colour
    return colours;
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FlightStatusPage(const FlightTable& table, std::string_view time) {
    std::string out;
    out.reserve(64 * 1024);
    AppendPageHead(out, "Aerova Flight Status", time);
    AppendRow(out,
              {"#",   "Act", "Del",  "Flight", "Mode-S", "A/C", "Reg",   "Sq",       "G",   "Alt",
               "MCP", "VR",  "Nop",  "Lat",    "Long",   "TT",  "Hdg",   "GS",       "IAS", "TAS",
               "M",   "QNH", "Roll", "Turn",   "GPS",    "Box", "Route", "Last time"},
              {kHeaderBackground, {}});
    for (std::size_t slot = 0; slot < table.flights.size(); ++slot) {
        const Tflight& f = table.flights[slot];
        if (f.free) continue;
        const std::string number = std::to_string(slot), state = std::to_string(f.state);
        const std::string lastseen = FormatDateTime(kLongTimeFormat, f.lastseen);
        AppendRow(out,
                  {number,        state,    Flag(f.deleted), f.labeltext, f.modes,   f.icaotype,
                   f.reg,         f.squawk, f.ground,        f.altlabel,  f.mcp,     f.vratecode,
                   Flag(f.nopos), f.lat,    f.lon,           f.track3,    f.heading, f.gs4,
                   f.ias,         f.tas,    f.mach,          f.qnh,       f.roll,    f.turn,
                   f.gps,         f.box,    f.route,         lastseen},
                  FlightColours(f));
    }
    AppendPageEnd(out);
    return out;
}

std::string PeerStatusPage(const FlightTable& table, std::string_view time) {
    std::string out;
    out.reserve(8 * 1024);
    AppendPageHead(out, "Aerova Peer Status", time);
    AppendRow(out,
              {"#", "Act", "Station", "ICAO", "Lat", "Long", "UTC", "Trans", "QNH", "QNH in", "IP",
               "Port", "URL", "Box", "Version", "Info", "Last Time"},
              {kHeaderBackground, {}});
    for (std::size_t slot = 0; slot < table.peers.size(); ++slot) {
        const TPeer& p = table.peers[slot];
        if (p.free) continue;
        const std::string number = std::to_string(slot), active = std::to_string(p.active),
                          port = std::to_string(p.port);
        const std::string lastheard = FormatDateTime(kLongTimeFormat, p.lastheard);
        AppendRow(out,
                  {number, active, p.station, p.icao, p.lat, p.lon, p.utc, p.trans, p.qnh, p.qnhin,
                   p.ip, port, p.url, p.box, p.version, p.info, lastheard},
                  {});
    }
    AppendPageEnd(out);
    return out;
}

}  // namespace aerova
