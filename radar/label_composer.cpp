#include "radar/label_composer.h"

#include "base/numbers.h"
#include "base/strings.h"
#include "core/flight.h"

namespace aerova {
namespace {

const std::string kDegree(1, kDegreeSign);

// Only the first occurrence is replaced, as every label format rule asks.
void ReplaceFirst(std::string& s, std::string_view from, std::string_view to) {
    const std::size_t p = s.find(from);
    if (p != std::string::npos) s.replace(p, from.size(), to);
}

std::string Stale(bool valid, std::string text) {
    return valid ? text : "$" + text;
}

std::string FlightIdItem(const Tflight& f, const LabelContext& ctx) {
    if (f.vessel) return f.labeltext.str();
    // Formats 1 to 3 show the airline name, IATA and radio-call forms of the call sign;
    // the station has no source for them, so those items stay empty.
    std::string s = ctx.layout->formats.flightid == 0 ? f.labeltext.str() : std::string();
    if (s.empty()) return s;
    if (f.hold3min) s = "#" + s;
    if (f.posquality == "XXX") s = ":" + s;
    if (ctx.markLabel && !f.route.empty()) s = kDegree + s;
    return s;
}

// The flight level of an altitude label (characters 2 to 4).
std::optional<std::int32_t> LabelLevel(std::string_view altlabel) {
    return TryParseInt(Copy(altlabel, 2, 3));
}

std::string AltitudeItem(const Tflight& f, const LabelContext& ctx) {
    const std::string altlabel = f.altlabel.str();
    if (altlabel.empty()) return {};
    const std::string mcp = f.mcp.str();
    std::string s = altlabel;
    if (!mcp.empty()) {
        if (!f.selvalid) s += "$";
        if (altlabel.size() > 3 && mcp == altlabel.substr(1, 3)) {
            s += "=";
        } else {
            s += ">" + mcp;
        }
    }
    const int format = ctx.layout->formats.altitude;
    if (format == 1 || format == 3) {
        ReplaceFirst(s, "F", "FL");
        ReplaceFirst(s, "A", "ALT");
    }
    if (format == 2 || format == 3) {
        ReplaceFirst(s, "G---", "GND");
        if (!s.empty() && s[0] == 'A') {
            if (s.find('>') == std::string::npos && s.find('=') == std::string::npos) {
                s += "ft";
            } else {
                ReplaceFirst(s, "=", "ft=");
                ReplaceFirst(s, ">", "ft>");
                ReplaceFirst(s, "$ft", "ft$");
            }
        }
    }
    // Level bust: climbing past or descending below the selected level is the wrong way.
    // The rate code is right-aligned (" -5"), so its sign is read after trimming.
    const std::string vrate = Trim(f.vratecode.view());
    if (!mcp.empty() && !vrate.empty() && altlabel.find('-') == std::string::npos && f.selvalid) {
        const auto selected = TryParseInt(mcp);
        const auto level = LabelLevel(altlabel);
        if (selected && level &&
            ((vrate[0] == '-' && *selected > *level) || (vrate[0] == '+' && *selected < *level))) {
            s = "%" + s;
        }
    }
    return s;
}

std::string VerticalRateItem(const Tflight& f, const LabelContext& ctx) {
    const std::string v = Trim(f.vratecode.view());
    if (v.empty()) return v;
    switch (ctx.layout->formats.vrate) {
        case 1:
            return "V" + v;
        case 2:
            return "V" + v + "00ft/min";
        default:
            return v;
    }
}

std::string TrackItem(const Tflight& f, const LabelContext& ctx) {
    const std::string t = f.track3.str();
    if (t.empty()) return t;
    switch (ctx.layout->formats.ttrack) {
        case 1:
            return "TT" + t + kDegree;
        case 2:
            return "TT" + t;
        default:
            return t + kDegree;
    }
}

std::string HeadingItem(const Tflight& f, const LabelContext& ctx) {
    if (f.heading.empty()) return {};
    std::string s = Concat({"H", f.heading.view()});
    if (f.vessel) return s;
    const int format = ctx.layout->formats.heading;
    if (format == 2 || format == 3) s.insert(s.begin(), 'M');
    if (format == 1 || format == 3) s += kDegree;
    return Stale(f.hdgvalid, s);
}

// Prefix and unit forms shared by ground speed, true and indicated airspeed.
std::string SpeedItem(std::string_view value, int format, std::string_view plain,
                      std::string_view named) {
    if (value.empty()) return {};
    const std::string v(value);
    switch (format) {
        case 1:
            return std::string(plain) + v + "kt";
        case 2:
            return std::string(named) + v;
        case 3:
            return std::string(named) + v + "kt";
        default:
            return std::string(plain) + v;
    }
}

std::string MachItem(const Tflight& f, const LabelContext& ctx) {
    const std::string m = f.mach.str();
    if (m.empty()) return m;
    const std::string two = m.substr(0, 2);
    std::string s;
    // Each form shows what its caption shows: "Dot2 (.85)", "Dot3 (.854)",
    // "Full2 (M.85)", "Full3 (M.854)".
    switch (ctx.layout->formats.mach) {
        case 1:
            s = "M" + two;
            break;
        case 2:
            s = "." + two;
            break;
        case 3:
            s = "." + m;
            break;
        case 4:
            s = "M." + two;
            break;
        case 5:
            s = "M." + m;
            break;
        default:
            s = "M" + m;
            break;
    }
    return Stale(f.hdgvalid, s);
}

std::string QnhItem(const Tflight& f, const LabelContext& ctx) {
    const std::string q = f.qnh.str();
    if (q.empty()) return q;
    std::string s;
    switch (ctx.layout->formats.qnh) {
        case 1:
            s = "Q" + q + "hPa";
            break;
        case 2:
            s = "QNH" + q;
            break;
        case 3:
            s = "QNH" + q + "hPa";
            break;
        default:
            s = "Q" + q;
            break;
    }
    return f.vessel ? s : Stale(f.selvalid, s);
}

std::string ModeItem(const Tflight& f) {
    const char c = f.mcpmode;
    if (c == ' ' || c == '\0') return {};
    if (f.vessel) {
        const std::string_view status = NavigationStatusText(c);
        return status.empty() ? std::string() : Concat({"[", status, "]"});
    }
    return Stale(f.selvalid, std::string("[") + c + "]");
}

std::string RegistrationItem(const Tflight& f, const LabelContext& ctx) {
    std::string r = f.reg.str();
    switch (ctx.layout->formats.reg) {
        case 1:
            return r;
        case 2:
            return r.size() > 2 ? r.substr(r.size() - 2) : r;
        default:
            ReplaceFirst(r, "-", "");
            return r;
    }
}

std::string PositionItem(const Tflight& f) {
    if (f.lat.empty() && f.lon.empty()) return {};
    return f.lat.str() + " " + f.lon.str();
}

std::string PolarItem(const LabelContext& ctx) {
    if (ctx.bearingText.empty() || ctx.distanceText.empty()) return {};
    std::string s = std::string(ctx.bearingText) + kDegree + "/" + std::string(ctx.distanceText);
    return s[0] == '?' ? std::string() : s;
}

std::string RawAltitudeItem(const Tflight& f) {
    if (f.box.empty() || f.box == "0000") return {};
    std::string s = Concat({"*", f.box.view()});
    return s.find("*999") != std::string::npos ? std::string() : s;
}

// Moves lines from..3 (0-based) up by one and empties line 3.
void CloseGap(LabelLines& lines, int from) {
    for (int i = from; i < 3; ++i) lines[i] = std::move(lines[i + 1]);
    lines[3].clear();
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

void TrimInPlace(std::string& s) {
    while (!s.empty() && IsBlank(s.back())) s.pop_back();
    std::size_t first = 0;
    while (first < s.size() && IsBlank(s[first])) ++first;
    if (first > 0) s.erase(0, first);
}

std::string CollapseBlanks(std::string s) {
    std::size_t p;
    while ((p = s.find("  ")) != std::string::npos) s.erase(p, 1);
    return s;
}

}  // namespace

std::string FormatLabelItem(int kind, const Tflight& f, const LabelContext& ctx) {
    if (ctx.layout == nullptr) return {};
    const LabelFormats& fm = ctx.layout->formats;
    const bool aircraft = !f.vessel;
    switch (kind) {
        case 0:
            return FlightIdItem(f, ctx);
        case 1:
            return f.modes.str();
        case 2:
            if (f.squawk.empty()) return {};
            return fm.squawk == 1 ? "SQ" + f.squawk.str() : f.squawk.str();
        case 3:
            return AltitudeItem(f, ctx);
        case 4:
            return VerticalRateItem(f, ctx);
        case 5:
            return TrackItem(f, ctx);
        case 6:
            return HeadingItem(f, ctx);
        case 7:
            return SpeedItem(f.gs4.view(), fm.gndspeed, "", "GS");
        case 8:
            return SpeedItem(f.tas.view(), fm.tas, "t", "TAS");
        case 9:
            return MachItem(f, ctx);
        case 10: {
            std::string s = SpeedItem(f.ias.view(), fm.ias, "i", "IAS");
            return s.empty() ? s : Stale(f.hdgvalid, s);
        }
        case 11:
            if (f.roll.empty()) return {};
            {
                std::string roll = Concat({"b", f.roll.view()});
                return aircraft ? Stale(f.rollvalid, std::move(roll)) : roll;
            }
        case 12:
            if (f.turn.empty()) return {};
            return aircraft ? Stale(f.rollvalid, Concat({"r", f.turn.view()})) : f.turn.str();
        case 13:
            return QnhItem(f, ctx);
        case 14:
            return f.gps.empty() ? std::string() : Concat({"(", f.gps.view(), ")"});
        case 15:
            return ModeItem(f);
        case 16:
            return f.icaotype.str();
        case 17:
            return ctx.userColoured ? f.icaotype.str() : std::string();
        case 18:
            return RegistrationItem(f, ctx);
        case 19:
            return ctx.userColoured ? RegistrationItem(f, ctx) : std::string();
        case 20:
            return f.route.str();
        case 21:
            return PositionItem(f);
        case 22:
            return PolarItem(ctx);
        case 23:
            return RawAltitudeItem(f);  // both `peer` formats give the same text
        default:
            break;
    }
    if (kind >= kFirstDatabaseKind && kind <= kLastLabelKind) {
        return f.sqlaircraft.columns[static_cast<std::size_t>(kind - kFirstDatabaseKind)];
    }
    return {};  // 24 "++ BLANK ++" and unknown kinds
}

std::string ComposeLabelLine(int page, int line, const Tflight& flight, const LabelContext& ctx) {
    if (ctx.layout == nullptr || page < 0 || page >= kLabelPages || line < 0 ||
        line >= kLabelLines) {
        return {};
    }
    const auto& kinds = ctx.layout->kinds[page][line];
    // Each step appends a blank and the next item and trims both ends, so the non-empty
    // items end up separated by single blanks.
    std::string s = FormatLabelItem(kinds[0], flight, ctx);
    s.reserve(48);
    for (int slot = 1; slot < kLabelSlots; ++slot) {
        s += ' ';
        s += FormatLabelItem(kinds[slot], flight, ctx);
        TrimInPlace(s);
    }
    TrimInPlace(s);
    return s;
}

LabelLines ComposeLabel(int page, const Tflight& flight, const LabelContext& ctx) {
    LabelLines lines;
    for (int line = 0; line < kLabelLines; ++line) {
        lines[line] = ComposeLabelLine(page, line, flight, ctx);
    }
    // Close gaps from the bottom up; each move leaves the fourth line empty.
    if (lines[2].empty()) CloseGap(lines, 2);
    if (lines[1].empty()) CloseGap(lines, 1);
    if (lines[0].empty()) CloseGap(lines, 0);
    if (ctx.windOption && !flight.wind.empty()) {
        const std::string wind =
            flight.windvalid ? flight.wind.str() : Concat({"$", flight.wind.view()});
        std::size_t target = 4;
        for (std::size_t i = 0; i < 4; ++i) {
            if (lines[i].empty()) {
                target = i;
                break;
            }
        }
        lines[target] = wind;
    }
    for (int line = 0; line < 4; ++line) lines[line] = CollapseBlanks(std::move(lines[line]));
    return lines;
}

Tflight LabelSampleAircraft() {
    Tflight f;
    f.deleted = false;
    f.free = false;
    f.state = 1;
    f.nopos = false;
    f.labeltext = "DLH4AB";
    f.label = "DLH4AB";
    f.flightid = "DLH4AB";
    f.modes = "3C6444";
    f.squawk = "1000";
    f.altlabel = "F350";
    f.mcp = "360";
    f.selvalid = true;
    f.vratecode = "+12";
    f.track3 = "234";
    f.heading = "229";
    f.hdgvalid = true;
    f.gs4 = "452";
    f.tas = "465";
    f.mach = "784";
    f.ias = "274";
    f.roll = "=";
    f.turn = "=";
    f.rollvalid = false;  // a stale block, so the preview shows its marks removed
    f.qnh = "1013";
    f.gps = "-125";
    f.mcpmode = 'V';
    f.icaotype = "A320";
    f.reg = "D-AIPA";
    f.route = "EDDH-EDDM";
    f.lat = "53.63052";
    f.lon = "9.98823";
    f.box = "0000";
    f.wind = "270/045";
    f.windvalid = true;
    f.sqlaircraft.found = true;
    return f;
}

Tflight LabelSampleVessel() {
    Tflight f;
    f.deleted = false;
    f.free = false;
    f.state = 1;
    f.nopos = false;
    f.vessel = true;
    f.labeltext = "DE";
    f.label = "DE";
    f.modes = "211234";
    f.vesselid = "DCVA2";
    f.track3 = "087";
    f.heading = "090";
    f.gs4 = "12.4";
    f.mcpmode = '0';
    f.lat = "53.54512";
    f.lon = "9.96544";
    return f;
}

std::array<std::string, 4> LabelPreview(const LabelLayout& layout, int page, bool markLabel) {
    const bool vesselPage = page == kPageVessel || page == kPageVesselExtended;
    const Tflight sample = vesselPage ? LabelSampleVessel() : LabelSampleAircraft();
    LabelContext ctx;
    ctx.layout = &layout;
    ctx.markLabel = markLabel;
    ctx.userColoured = true;
    ctx.windOption = false;
    ctx.bearingText = "121";
    ctx.distanceText = "65.5";
    const LabelLines lines = ComposeLabel(page, sample, ctx);
    std::array<std::string, 4> preview;
    for (std::size_t i = 0; i < preview.size(); ++i) preview[i] = ReplaceAll(lines[i], "$", "");
    return preview;
}

std::string_view LabelKindCaption(int kind) {
    static constexpr std::string_view kCaptions[] = {
        "Flight ID",         "Mode-S code",        "Squawk",
        "Altitude/MCP",      "Vertical Rate",      "True Track",
        "Mag. Heading",      "Ground Spd",         "True Air Spd",
        "Mach number",       "Indicated Air Spd",  "Roll angle",
        "Turn rate",         "Altimeter setting",  "GPS altitude diff.",
        "Vert. flight mode", "A/C type (all)",     "A/C type (UC only)",
        "A/C reg. (all)",    "A/C reg. (UC only)", "Flight schedule",
        "Lat/Long coord.",   "Polar coord.",       "Raw altitude",
        "++ BLANK ++",
    };
    if (kind < 0 || kind >= static_cast<int>(std::size(kCaptions))) return {};
    return kCaptions[kind];
}

std::string_view NavigationStatusText(char status) {
    static constexpr std::string_view kTexts[] = {"UWAY", "ANCH", "NOCM", "REST", "DRGH",
                                                  "MOOR", "AGND", "FISH", "SAIL"};
    if (status < '0' || status > '8') return {};
    return kTexts[status - '0'];
}

std::string_view ShipTypeText(int t) {
    switch (t) {
        case 20:
        case 29:
            return "WIG";
        case 21:
        case 22:
        case 23:
        case 24:
            return "WIG HAZ";
        case 30:
            return "FISHING";
        case 31:
        case 32:
            return "TOWING";
        case 33:
            return "UNDERWATER";
        case 34:
            return "DIVING";
        case 35:
            return "MILITARY";
        case 36:
            return "SAILING";
        case 37:
            return "PLEASURE";
        case 40:
        case 49:
            return "HSC";
        case 41:
        case 42:
        case 43:
        case 44:
            return "HSC HAZ";
        case 50:
            return "PILOT";
        case 51:
            return "SAR";
        case 52:
            return "TUGBOAT";
        case 53:
            return "PORT TENDER";
        case 54:
            return "ANTI-POLL";
        case 55:
            return "POLICE";
        case 58:
            return "MEDICAL";
        case 59:
            return "MOB-83";
        case 60:
        case 69:
            return "PASS";
        case 61:
        case 62:
        case 63:
        case 64:
            return "PASS HAZ";
        case 70:
        case 79:
            return "CGO";
        case 71:
        case 72:
        case 73:
        case 74:
            return "CGO HAZ";
        case 80:
        case 89:
            return "TANKER";
        case 81:
        case 82:
        case 83:
        case 84:
            return "TANKER HAZ";
        case 90:
        case 99:
            return "OTHER";
        case 91:
        case 92:
        case 93:
        case 94:
            return "OTHER HAZ";
        default:
            return {};
    }
}

}  // namespace aerova
