#include "radar/target_style.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return !part.empty() && text.find(part) != std::string_view::npos;
}

// The flight level of an altitude label such as "F350" or "A040": characters 2 to 4.
int LabelLevel(std::string_view altlabel) {
    return IntOf(Copy(altlabel, 2, 3));
}

}  // namespace

int FilterLevel(std::string_view text) {
    const std::string t = Trim(text);
    if (t == "UNL") return 999;
    if (t == "GND") return 0;
    return IntOf(t);
}

TargetClass ClassifyTarget(std::string_view altlabel, std::string_view upper,
                           std::string_view lower) {
    if (altlabel.empty()) return kClassAir;
    if (altlabel[0] == 'G') return Trim(lower) == "GND" ? kClassGround : kClassFiltered;
    const int level = LabelLevel(altlabel);
    return level >= FilterLevel(lower) && level <= FilterLevel(upper) ? kClassAir : kClassFiltered;
}

FirstPassStyle FirstPassColour(const Tflight& f, const ColourTable& colours,
                               const ColourMarks& marks, std::string_view maxVrateNoColourChange) {
    FirstPassStyle style;
    style.colour = colours[kColActiveFlight];
    if (f.vessel) style.colour = colours[kColAisUnderway];
    if (f.hold45min) style.colour = colours[kColVehicles];
    // The last matching user item wins; the call sign is tried before the registration.
    for (int item = kColUserFirst; item <= kColUserLast; ++item) {
        if (!marks[item]) continue;
        const std::string& caption = marks.caption[static_cast<std::size_t>(item)];
        if (Contains(f.labeltext.view(), caption) || Contains(f.reg.view(), caption)) {
            style.colour = colours[item];
            style.userColoured = true;
        }
    }
    const std::string code = Trim(f.vratecode.view());
    bool rateColour = code.size() > 2;
    if (code.size() == 2) rateColour = std::string_view(code).substr(1, 1) > maxVrateNoColourChange;
    if (rateColour) {
        if (code[0] == '+' && marks[kColClimbing]) style.colour = colours[kColClimbing];
        if (code[0] == '-' && marks[kColDescending]) style.colour = colours[kColDescending];
    }
    if (f.state != 1) style.colour = colours[kColInactiveFlight];
    return style;
}

void StyleTargets(FlightTable& table, int window, const ColourTable& colours,
                  const ColourMarks& marks, std::string_view maxVrateNoColourChange) {
    WindowTargetMarks& out = table.windows[static_cast<std::size_t>(window == 2 ? 1 : 0)];
    for (std::size_t s = 0; s < table.flights.size(); ++s) {
        const Tflight& f = table.flights[s];
        if (!TargetDrawn(f)) continue;
        const FirstPassStyle style = FirstPassColour(f, colours, marks, maxVrateNoColourChange);
        out.colour[s] = {style.colour.r, style.colour.g, style.colour.b};
        out.usercolour[s] = style.userColoured;
    }
}

bool IsDistressSquawk(std::string_view squawk) {
    return squawk.find('E') != std::string_view::npos || squawk == "7700" || squawk == "7600" ||
           squawk == "7500";
}

Rgb SecondPassColour(const Tflight& f, TargetClass cls, const Rgb& cached, const TargetRoles& roles,
                     const ColourTable& colours, const ColourMarks& marks) {
    Rgb c = cached;
    if (marks[kColColourCodes]) {
        const auto code = TryParseInt(f.colourcode.view());
        if (code && *code >= 1 && *code <= 20) c = colours[kColColourCodes + *code];
    }
    if (f.state != 1) c = colours[kColInactiveFlight];
    if (roles.highlighted) c = colours[kColHighlightedFlight];
    if (roles.selected) c = colours[kColSelectedFlight];
    const std::string_view squawk = f.squawk.view();
    if (IsDistressSquawk(squawk)) {
        c = colours[kColDistress];
    } else if (squawk.find('*') != std::string_view::npos) {
        c = colours[kColSquawkIdent];
    }
    const std::string_view alt = f.altlabel.view();
    if ((alt.empty() || alt[0] == 'G') && marks[kColGroundFlights]) c = colours[kColGroundFlights];
    if ((cls == kClassGround && f.labeltext.view().find('v') != std::string_view::npos &&
         marks[kColVehicles]) ||
        roles.mobileClient)
        c = colours[kColVehicles];
    return c;
}

int TargetSymbol(const Tflight& f, TargetClass cls, bool manualLabelPosition,
                 std::string_view replaySpeed) {
    int symbol = cls == kClassFiltered ? 2 : 1;
    if (manualLabelPosition) symbol = 5;
    if (!replaySpeed.empty() && replaySpeed != "0") {
        if (replaySpeed == "-1")
            symbol = 0;
        else if (replaySpeed == "1")
            symbol = 7;
        else
            symbol = 8;
    }
    if (f.hold30s) symbol = 8;
    return symbol;
}

int LabelSetFor(const Tflight& f, TargetClass cls, const TargetRoles& roles,
                const RadarDisplayState& d) {
    if (roles.highlighted || (roles.selected && !roles.followed) ||
        IsDistressSquawk(f.squawk.view()))
        return 3;
    switch (cls) {
        case kClassAir:
            if (d.cbAutoLabel) return f.fl >= d.cblblalt ? 1 : 0;
            return d.window == 1 ? 0 : 1;
        case kClassFiltered:
            return 1;
        default:
            return 2;
    }
}

int LongestLine(const std::array<std::string, 5>& lines) {
    std::size_t n = 0;
    for (const auto& l : lines) n = std::max(n, l.size());
    return static_cast<int>(n);
}

LabelBox ComputeLabelBox(const std::array<std::string, 5>& lines, int position, bool largeFont) {
    LabelBox L;
    const int n = LongestLine(lines);
    L.width = largeFont ? 8 * n + 7 : 7 * n + 6;
    L.height = largeFont ? 36 : 30;
    L.lineHeight = largeFont ? 12 : 10;
    const int h = L.height, w = L.width, f = L.lineHeight;
    int count = 0;
    for (const auto& l : lines) count += l.empty() ? 0 : 1;
    switch (position) {
        case -1:
            L.tx = -w;
            L.ty = -h / 2;
            L.lx = -h / 2;
            L.ly = -h / 2;
            break;
        case 0:
            L.tx = h;
            L.ty = 0;
            L.lx = h - 2;
            L.ly = -2;
            break;
        case 1:
            L.tx = h / 2;
            L.ty = -h / 2;
            L.lx = h / 2 - 2;
            L.ly = -h / 2;
            break;
        case 2:
            L.tx = -4;
            L.ty = -h;
            L.lx = -1;
            L.ly = 9 - h;
            break;
        case 3:
            L.tx = -w;
            L.ty = -h / 2;
            L.lx = -h / 2;
            L.ly = -h / 2;
            break;
        case 4:
            L.tx = -w;
            L.ty = 0;
            L.lx = -15;
            L.ly = -2;
            break;
        case 5:
            L.tx = -w;
            L.ty = h / 2;
            L.lx = -h / 2;
            L.ly = h / 2 - 3;
            break;
        case 6:
            L.tx = -4;
            L.ty = f * count + 5;
            L.lx = 4;
            L.ly = 10;
            break;
        default:
            L.tx = h / 2;
            L.ty = h / 2;
            L.lx = h / 2 - 2;
            L.ly = h / 2;
            break;
    }
    return L;
}

bool LabelExcluded(int x, int y, int panelHeight, bool targetHighlighted, bool overlayHidden) {
    if (overlayHidden) return false;
    const int fromTop = panelHeight - y;
    if (fromTop < 60 && x > 104 && x < 296) return true;
    return targetHighlighted && fromTop < 100 && x > 52 && x < 472;
}

std::vector<int> RecordedTrailWalk(int trailIndex, int points, int step, int ringSize) {
    std::vector<int> walk;
    if (points <= 0 || step <= 0 || ringSize <= 0) return walk;
    int index = trailIndex >= 0 && trailIndex < ringSize ? trailIndex : 0;
    for (int walked = 0; walked < points; walked += step) {
        walk.push_back(index);
        index -= step;
        if (index < 0) index += ringSize;
    }
    return walk;
}

int RecordedTrailStep(float cameraDistance) {
    const long rounded = std::lround(cameraDistance - 6372.0f);
    return static_cast<int>(rounded / 100) + 1;
}

ClosestApproach ComputeClosestApproach(const Tflight& a, const Tflight& b) {
    constexpr double kRad = M_PI / 180.0;
    struct Mover {
        double lat, lon, dlat, dlon;
    };
    auto mover = [&](const Tflight& f) {
        // A target whose cosine of latitude was never set would move infinitely far east.
        const double coslat = std::fabs(f.coslat) > 1e-9 ? f.coslat : std::cos(f.latf * kRad);
        const double perSecond = f.gsf / 3600.0 / 60.0;
        return Mover{f.latf, f.lonf, perSecond * std::cos(f.trackf * kRad),
                     coslat != 0 ? perSecond * std::sin(f.trackf * kRad) / coslat : 0};
    };
    Mover ma = mover(a), mb = mover(b);
    ClosestApproach r;
    for (int t = 0; t <= 600; ++t) {
        ma.lat += ma.dlat;
        ma.lon += ma.dlon;
        mb.lat += mb.dlat;
        mb.lon += mb.dlon;
        const double meanLat = (ma.lat + mb.lat) / 2 * kRad;
        const double dy = 60 * (ma.lat - mb.lat);
        const double dx = 60 * (ma.lon - mb.lon) * std::cos(meanLat);
        const double d = std::sqrt(dy * dy + dx * dx);
        if (t == 0) r.currentDistance = d;
        if (d < r.minimumDistance) {
            r.minimumDistance = d;
            r.seconds = t;
            r.latA = static_cast<float>(ma.lat);
            r.lonA = static_cast<float>(ma.lon);
            r.latB = static_cast<float>(mb.lat);
            r.lonB = static_cast<float>(mb.lon);
        }
    }
    r.converging = r.seconds > 0;
    return r;
}

std::string PredictedLevel(const Tflight& f, int seconds) {
    long level = std::lround(f.fl + seconds * f.vratef / 6000.0);
    if (level < 0) level = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld", level);
    std::string text = buf;
    text += f.vratef > 0 ? "+" : (f.vratef < 0 ? "-" : "=");
    text += f.mcp.view();
    return text;
}

}  // namespace aerova
