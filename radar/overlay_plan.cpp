#include "radar/overlay_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/metar_pressure.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "radar/label_composer.h"

namespace aerova {

namespace {

constexpr char kDegree = '\xB0';

class Planner {
  public:
    Planner(const OverlayInputs& in, std::vector<OverlayCommand>& out) : in_(in), out_(out) {}

    // A box given by left/right x and top/bottom distance from the top edge: filled in the
    // background (or `fill`) while boxes are solid, then outlined.
    void Box(int left, int right, int top, int bottom, const Rgb& outline,
             const Rgb* fill = nullptr) {
        const int yTop = in_.height - top, yBottom = in_.height - bottom;
        if (in_.solid || fill) {
            OverlayCommand c;
            c.kind = OverlayCommand::kFilledBox;
            c.x0 = left, c.x1 = right, c.y0 = yBottom, c.y1 = yTop;
            c.colour = fill ? *fill : Colour(kColRadarBackground);
            out_.push_back(c);
        }
        OverlayCommand c;
        c.kind = OverlayCommand::kOutlineBox;
        c.x0 = left, c.x1 = right, c.y0 = yBottom, c.y1 = yTop;
        c.colour = outline;
        out_.push_back(c);
    }
    void HorizontalLine(int left, int right, int fromTop, const Rgb& colour) {
        Line(left, in_.height - fromTop, right, in_.height - fromTop, colour);
    }
    void VerticalLine(int x, int top, int bottom, const Rgb& colour) {
        Line(x, in_.height - top, x, in_.height - bottom, colour);
    }
    void Line(int x0, int y0, int x1, int y1, const Rgb& colour) {
        OverlayCommand c;
        c.kind = OverlayCommand::kLine;
        c.x0 = x0, c.y0 = y0, c.x1 = x1, c.y1 = y1;
        c.colour = colour;
        out_.push_back(c);
    }
    // Text with its baseline `fromTop` pixels below the top edge.
    void TextFromTop(int x, int fromTop, std::string_view size, const Rgb& colour,
                     std::string text) {
        TextFromBottom(x, in_.height - fromTop, size, colour, std::move(text));
    }
    void TextFromBottom(int x, int y, std::string_view size, const Rgb& colour, std::string text) {
        if (text.empty()) return;
        OverlayCommand c;
        c.kind = OverlayCommand::kText;
        c.x0 = x, c.y0 = y;
        c.colour = colour;
        c.text = std::move(text);
        c.sizeName = size;
        out_.push_back(c);
    }
    void Marker(int x, int y, int height, const Rgb& colour) {
        // An empty label box at position -1: its right edge on the point, centred vertically.
        OverlayCommand c;
        c.kind = OverlayCommand::kOutlineBox;
        c.x0 = x - 6, c.x1 = x, c.y0 = y - height / 2, c.y1 = y + height - height / 2;
        c.colour = colour;
        out_.push_back(c);
    }
    Rgb Colour(int item) const { return (*in_.colours)[item]; }

  private:
    const OverlayInputs& in_;
    std::vector<OverlayCommand>& out_;
};

std::string Hhnnss(DayTime t) {
    return FormatDateTime("hh:nn:ss", t);
}

std::string Replace(std::string s, char from, char to) {
    for (char& c : s)
        if (c == from) c = to;
    return s;
}

// One forecast text from its 12th character, on one line at `oneLineY` when it fits the
// panel, otherwise in two lines at `firstY` and `secondY`.
void ForecastLines(Planner& p, const OverlayInputs& in, const std::string& text, int oneLineY,
                   int firstY, int secondY, const Rgb& colour) {
    const std::string body = Copy(Replace(Replace(text, '\r', ' '), '\n', ' '), 12, 100000);
    const int fit = in.width / 7 - 3;
    if (static_cast<int>(body.size()) <= fit) {
        p.TextFromBottom(4, oneLineY, "12", colour, body);
        return;
    }
    const int first = std::max(0, fit - 12);
    p.TextFromBottom(4, firstY, "12", colour, body.substr(0, static_cast<std::size_t>(first)));
    p.TextFromBottom(4, secondY, "12", colour, body.substr(static_cast<std::size_t>(first)));
}

std::string MetarBody(const std::string& metar) {
    return Copy(Replace(Replace(metar, '\r', ' '), '\n', ' '), 12, 100000);
}

// The digits of the pressure group, large under the report: hPa, or hundredths of an inch
// in North America. Only a whole group counts, so "AUTO" in a US report shows nothing.
std::string PressureGroup(const std::string& metar) {
    const auto group = FindMetarPressure(metar);
    if (!group) return "";
    const std::string digits = std::to_string(group->value);
    return std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits;
}

void PlanMetar(Planner& p, const OverlayInputs& in) {
    const RadarDisplayState& d = *in.display;
    const Rgb colour = p.Colour(kColMetar);
    if (d.metar.find("Loading") != std::string::npos) {
        p.TextFromBottom(4, 4, "12", colour, "Loading WX data...");
        return;
    }
    switch (d.wxshow) {
        case 0:
            p.TextFromBottom(4, 4, "12", colour, MetarBody(d.metar));
            p.TextFromBottom(4, 20, "18", colour, PressureGroup(d.metar));
            break;
        case 1:
        case 2:
            ForecastLines(p, in, d.wxshow == 1 ? d.shortTaf : d.taf, 24, 24, 8, colour);
            break;
        case 3:
        case 4:
            p.TextFromBottom(4, 27, "12", colour, MetarBody(d.metar));
            ForecastLines(p, in, d.wxshow == 3 ? d.shortTaf : d.taf, 12, 15, 2, colour);
            break;
        default:
            break;
    }
}

void PlanFlightStrip(Planner& p, const OverlayInputs& in, int dx, int dy) {
    const Tflight& f = *in.stripFlight;
    const Rgb colour = p.Colour(kColFlightStrip);
    const Rgb half{colour.r / 2, colour.g / 2, colour.b / 2};
    const int left = 52 - dx, right = 502 - dx, top = 32 - dy, bottom = 71 - dy;
    p.Box(left, right, top, bottom, colour);
    p.HorizontalLine(left, right, 45 - dy, half);
    p.HorizontalLine(left, right, 58 - dy, half);
    for (int x : {116, 158, 186, 217, 246, 400, 470})
        p.VerticalLine(x - dx, 45 - dy, 58 - dy, half);
    for (int x : {116, 158}) p.VerticalLine(x - dx, top, 45 - dy, half);

    // Row 1: call sign, altitude label, raw altitude or box.
    p.TextFromTop(58 - dx, 43 - dy, "12", colour, f.flightid.str());
    p.TextFromTop(120 - dx, 43 - dy, "10", colour, f.altlabel.str());
    if (f.reportkind == 5)
        p.TextFromTop(160 - dx, 43 - dy, "10", colour, "*" + f.box + "ft");
    else if (!f.box.empty())
        p.TextFromTop(160 - dx, 43 - dy, "10", colour, "Box: " + f.box);

    // Row 2: address, squawk, speed, track, rate, position, distance and bearing.
    const int row2 = 56 - dy;
    p.TextFromTop(58 - dx, row2, "10", colour, f.modes.str());
    p.TextFromTop(120 - dx, row2, "10", colour, f.squawk.str());
    p.TextFromTop(160 - dx, row2, "10", colour, f.gs4.str());
    if (!f.track3.empty())
        p.TextFromTop(188 - dx, row2, "10", colour, f.track3 + std::string(1, kDegree));
    char rate[8];
    std::snprintf(rate, sizeof rate, "%3s", Trim(f.vratecode.view()).c_str());
    p.TextFromTop(220 - dx, row2, "10", colour, Trim(f.vratecode.view()).empty() ? "" : rate);
    if (!f.lat.empty() && !f.lon.empty()) {
        char lat[16], lon[16];
        const double la = RealOf(Trim(f.lat.view())), lo = RealOf(Trim(f.lon.view()));
        std::snprintf(lat, sizeof lat, "%c%05.2f", la < 0 ? 'S' : 'N', std::fabs(la));
        std::snprintf(lon, sizeof lon, "%c%06.2f", lo < 0 ? 'W' : 'E', std::fabs(lo));
        p.TextFromTop(250 - dx, row2, "10", colour, std::string(lat) + " " + lon);
    }
    if (in.stripEntry) {
        p.TextFromTop(402 - dx, row2, "10", colour, in.stripEntry->distanceText.str());
        p.TextFromTop(472 - dx, row2, "10", colour,
                      in.stripEntry->bearingText + std::string(1, kDegree));
    }

    // Row 3: route, then the enhanced-surveillance values or the vessel's dimensions.
    const int row3 = 69 - dy;
    std::string details;
    if (f.vessel) {
        p.TextFromTop(120 - dx, row3, "10", colour, Trim(f.modesdec + " " + f.reg + "/" + f.route));
        if (!f.length.empty()) details += " L" + f.length;
        if (!f.width.empty()) details += " W" + f.width;
        if (!f.draught.empty()) details += " D" + f.draught;
        // A vessel's ICAO type field holds its two-digit AIS ship type.
        if (const auto type = TryParseInt(f.icaotype.view())) {
            const std::string_view text = ShipTypeText(*type);
            if (!text.empty()) details += " {" + std::string(text) + "}";
        }
    } else {
        p.TextFromTop(120 - dx, row3, "10", colour, f.route.str());
        auto add = [&](const char* prefix, std::string_view value) {
            if (!value.empty()) details += prefix + std::string(value);
        };
        add(">", f.mcp.view());
        add(" H", f.heading.view());
        add(" i", f.ias.view());
        add(" t", f.tas.view());
        add(" m", f.mach.view());
        add(" Q", f.qnh.view());
        add(" b", f.roll.view());
        add(" r", f.turn.view());
        if (f.mcpmode != ' ' && f.mcpmode != '0' && f.mcpmode != '\0')
            details += " [" + std::string(1, f.mcpmode) + "]";
        if (!f.gps.empty()) details += " (" + f.gps + ")";
    }
    p.TextFromTop(199 - dx, row3, "10", colour, Trim(details));
}

std::string OneDecimal(double v) {
    return RealToFixed(v, 1);
}

void PlanClosestApproachBox(Planner& p, const OverlayInputs& in, int dx, int dy) {
    const PairPrediction& pair = in.pair;
    const Rgb strip = p.Colour(kColFlightStrip);
    const Rgb half{strip.r / 2, strip.g / 2, strip.b / 2};
    const int sep = in.display->separation;
    const Rgb fill = sep != 0 && pair.minimumDistance < sep && pair.conflict
                         ? p.Colour(kColDistress)
                         : p.Colour(kColRadarBackground);
    const int left = 504 - dx, right = 734 - dx;
    p.Box(left, right, 32 - dy, 71 - dy, strip, &fill);
    p.HorizontalLine(left, right, 45 - dy, half);
    p.HorizontalLine(left, right, 58 - dy, half);
    p.TextFromTop(
        left + 4, 43 - dy, "10", strip,
        pair.labelA + " [" + pair.levelA + "] - " + pair.labelB + " [" + pair.levelB + "]");
    p.TextFromTop(left + 4, 56 - dy, "10", strip,
                  "Dist: " + OneDecimal(pair.currentDistance) +
                      " NM  Min: " + OneDecimal(pair.minimumDistance) + " NM");
    p.TextFromTop(
        left + 4, 69 - dy, "10", strip,
        "TTG: " + std::to_string(pair.seconds) + " sec  EPT: " + Hhnnss(pair.closestApproachUtc));
}

}  // namespace

std::string BearingReadoutText(std::string_view bearingText, std::string_view distanceText,
                               int variation) {
    const auto bearing = TryParseInt(bearingText);
    if (!bearing) return "";
    int qdm = *bearing + 180 + variation;
    if (qdm >= 361) qdm -= 360;
    char buf[64];
    std::snprintf(buf, sizeof buf, "QDM: %3.3d%c/", qdm, kDegree);
    return buf + std::string(distanceText);
}

std::string SeparationBoxText(int separation) {
    if (separation == 0) return "----";
    if (separation == 10) return "10NM";
    return std::to_string(separation) + " NM";
}

std::string ViewCentreText(float lat, float lon) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%c%05.2f %c%06.2f", lat < 0 ? 'S' : 'N', std::fabs(lat),
                  lon < 0 ? 'W' : 'E', std::fabs(lon));
    return buf;
}

std::vector<OverlayCommand> PlanOverlays(const OverlayInputs& in) {
    std::vector<OverlayCommand> out;
    if (!in.display || !in.colours) return out;
    Planner p(in, out);
    const RadarDisplayState& d = *in.display;
    const ColourMarks& marks = d.marks;
    const bool shown = !d.overlayHidden;
    const int dx = d.overlayHidden ? 51 : 0, dy = d.overlayHidden ? 32 : 0;

    if (in.pair.converging) {
        if (in.pair.aVisible) p.Marker(in.pair.ax, in.pair.ay, 5, p.Colour(kColSquawkIdent));
        if (in.pair.bVisible) p.Marker(in.pair.bx, in.pair.by, 5, p.Colour(kColSquawkIdent));
    }
    if (shown && marks[kColMetar]) PlanMetar(p, in);
    if (shown) {
        p.Box(104, 296, 4, 30, p.Colour(kColFlightStrip));
        p.TextFromTop(108, 20, "12", p.Colour(kColFlightStrip),
                      Hhnnss(in.utcNow) + " UTC - " + Hhnnss(in.localNow) + " LT");
    }
    if (marks[kColDirectionFinder] && in.bearingEntry) {
        const std::string text = BearingReadoutText(in.bearingEntry->bearingText.view(),
                                                    in.bearingEntry->distanceText.view(), d.cbvari);
        if (!text.empty()) {
            const int len = static_cast<int>(text.size());
            p.Box(in.width - 12 * len - 8, in.width, 0, 30, p.Colour(kColDirectionFinder));
            p.TextFromTop(in.width - 12 * len, 22, "18", p.Colour(kColDirectionFinder), text);
        }
    }
    if (marks[kColFlightStrip] && in.stripFlight) PlanFlightStrip(p, in, dx, dy);
    if (in.pair.converging) PlanClosestApproachBox(p, in, dx, dy);
    if (shown) {
        const Rgb boxes = p.Colour(kColSeparationBoxes);
        p.Box(2, 50, 4, 30, boxes);
        p.TextFromTop(4, 22, "18", boxes, SeparationBoxText(d.separation));
        p.Box(52, 102, 4, 30, boxes);
        p.HorizontalLine(52, 102, 17, boxes);
        p.TextFromTop(66, 15, "12", boxes, d.cbupper);
        p.TextFromTop(66, 28, "12", boxes, d.cblower);
        if (d.showWinds) {
            p.Box(2, 25, 52, 70, boxes);
            p.TextFromTop(6, 64, "10", boxes, "WND");
        }
        p.Box(2, 25, 32, 50, boxes);
        p.TextFromTop(5, 45, "10", boxes, "Max");
        p.Box(25, 50, 32, 50, boxes);
        p.TextFromTop(28, 45, "10", boxes, "Nrm");
    }
    if (shown && marks[kColFlightInfo]) {
        std::vector<std::string> lines;
        lines.push_back(in.window == 1 ? "<RADAR 1>" : "<RADAR 2>");
        lines.push_back(ViewCentreText(in.centreLat, in.centreLon));
        lines.push_back("Cycle: " + RealToFixed(in.cycleMs, 2) + " ms");
        lines.push_back(in.altitudeText);
        lines.push_back(in.freeze ? "*** FREEZE ***" : "");
        if (!in.statusLines.empty()) {
            lines.push_back("");
            for (const auto& s : in.statusLines) lines.push_back(s);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int len = static_cast<int>(lines[i].size());
            p.TextFromTop(in.width - 6 * len, 13 + 10 * static_cast<int>(i + 1), "10",
                          p.Colour(kColFlightInfo), lines[i]);
        }
    }
    return out;
}

}  // namespace aerova
