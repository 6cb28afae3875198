#include "station/ais.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <unordered_map>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "core/report_codec.h"
#include "core/target_labels.h"

namespace aerova {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::string TwoDigitType(std::string_view t) {
    if (t.empty()) return "00";
    if (t.size() == 1) return Concat({"0", t});
    return std::string(t);
}

// Course over ground: "360" is "not available".
void SetCourse(Tflight& f, std::string_view cog) {
    if (cog == "360" || cog.empty()) {
        f.track.clear();
        f.track3.clear();
        f.trackf = 0;
        return;
    }
    f.track = cog;
    f.track3 = Track3(cog);
    f.trackf = RealOf(cog);
}

void SetHeading(Tflight& f, std::string_view heading) {
    if (heading == "511" || heading.empty())
        f.heading.clear();
    else
        f.heading = PadLeft(heading, 3, '0');
}

// The AIS rate-of-turn byte as an indication: "<4" turning left, "12>" turning right.
std::string RateOfTurn(std::string_view text) {
    if (text.empty() || text == "0") return {};
    const int d = IntOf(text);
    if (d == 0 || d == 128) return {};
    if (d == 129) return "<";
    if (d == 127) return ">";
    if (d >= 130) {
        const double r = std::min(std::pow((d - 130) / 4.733, 2.0), 99.0);
        return Concat({"<", std::to_string(std::lround(std::nearbyint(r)))});
    }
    if (d >= 1 && d <= 126) {
        const double r = std::min(std::pow((126 - d) / 4.733, 2.0), 99.0);
        return std::to_string(std::lround(std::nearbyint(r))) + ">";
    }
    return {};
}

// Appends a changed line to a list file, or rewrites the file from the list's lines in file
// order, [first, last), once superseded lines outnumber the list. Write errors are ignored:
// the lists in memory stay current.
template <typename Iterator>
void SaveListLine(const std::string& path, Iterator first, Iterator last, std::string_view line,
                  std::size_t& fileLines) {
    if (path.empty()) return;
    if (fileLines == 0) ForceDirectories(ExtractFileDir(path));
    const auto listSize = static_cast<std::size_t>(std::distance(first, last));
    if (fileLines + 1 <= 2 * listSize) {
        if (AppendLine(path, line)) ++fileLines;
        return;
    }
    std::string text;
    for (; first != last; ++first) {
        text += *first;
        text += "\r\n";
    }
    if (WriteFileReplacing(path, text)) fileLines = listSize;
}

bool SameKey(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && line.substr(0, key.size()) == key;
}

}  // namespace

AisVessels::AisVessels(FlightTable& table, const StationClock& clock, AisLists& lists,
                       AisHooks hooks)
    : table_(table), clock_(clock), lists_(lists), hooks_(std::move(hooks)) {}

int AisVessels::SlotFor(std::string_view key, unsigned char type) {
    int slot = table_.FindFlight(key);
    if (slot >= 0) return slot;
    const auto vessels = std::count_if(table_.flights.begin(), table_.flights.end(),
                                       [](const Tflight& f) { return f.live() && f.vessel; });
    if (vessels >= kMaxVesselSlots) return -1;
    slot = table_.NewTargetSlot(true, clock_.UtcNow());
    if (slot < 0) return -1;
    table_.flights[static_cast<std::size_t>(slot)].modes = key;
    if (hooks_.newVessel) hooks_.newVessel(slot, type == 0xA4);
    return slot;
}

void AisVessels::NameFromList(Tflight& f, std::string_view key) {
    if (!f.labeltext.empty()) return;
    for (const std::string& line : lists_.lbaisname) {
        if (line.size() < 6 || std::string_view(line).substr(0, 6) != key) continue;
        f.reg = Trim(Copy(line, 11, 20));
        f.icaotype = Copy(line, 8, 2);
        f.labeltext = Trim(f.reg.view());
        f.flightid = f.reg.view();
        return;
    }
}

void AisVessels::RemoveKeyLines(std::vector<std::string>& list, std::string_view key) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [key](const std::string& l) { return SameKey(l, key); }),
               list.end());
}

void AisVessels::AddName(std::string_view key, std::string line) {
    auto& names = lists_.lbaisname;
    RemoveKeyLines(names, key);
    names.push_back(std::move(line));
    if (names.size() > kMaxAisListLines) names.erase(names.begin());
    SaveListLine(lists_.namesPath, names.begin(), names.end(), names.back(), lists_.namesFileLines);
}

void AisVessels::AddLogLine(std::string_view key, std::string line) {
    auto& log = lists_.lbaislogfile;
    RemoveKeyLines(log, key);
    log.insert(log.begin(), std::move(line));
    if (log.size() > kMaxAisListLines) log.pop_back();
    // The file is in time order, the list newest first.
    SaveListLine(lists_.logPath, log.rbegin(), log.rend(), log.front(), lists_.logFileLines);
}

std::string AisVessels::LogLine(const Tflight& f, int slot, std::string_view prefix,
                                std::string_view name) const {
    std::string line(prefix);
    line += PadRight(name, 20);
    line += ' ';
    line += FormatDateTime(std::string(kShortDateFormat) + " " + std::string(kLongTimeFormat),
                           clock_.UtcNow());
    line += ' ';
    line += PadRight(f.lat.view(), 12);
    line += ' ';
    line += PadRight(f.lon.view(), 13);
    line += ' ';
    line += PadRight(f.route.view(), 20);
    line += '/';
    line += PadRight(f.eta.view(), 11);
    line += ' ';
    line += PadRight(f.length + "x" + f.width.str() + "x" + f.draught.str(), 14);
    line += ' ';
    line += PadRight(f.label + " (" + f.aiscountry.str() + ") ", 24);
    for (int w = 0; w < 2; ++w) {
        std::pair<std::string, std::string> bd{"???", "???"};
        if (hooks_.bearingDistance) bd = hooks_.bearingDistance(w, slot);
        line += PadRight(Concat({std::to_string(w + 1), ":", bd.first,
                                 std::string_view(&kDegreeSign, 1), "/", bd.second}),
                         13);
    }
    return line;
}

void AisVessels::PositionFollowUp(int slot, std::string_view mid) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    f.latf = static_cast<float>(RealOf(f.lat.view()));
    f.lonf = static_cast<float>(RealOf(f.lon.view()));
    f.coslat = std::cos(f.latf * kPi / 180.0);
    f.nopos = false;
    if (f.label.empty()) {
        const auto [code, name] = CountryOfMmsi(mid);
        f.label = name;
        f.aiscountry = code;
    }
}

void AisVessels::HandleAisReport(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kAis) return;
    const unsigned char type = static_cast<unsigned char>(d[1]);
    // The fields: from the third byte on, at most 255 characters; the final 0xFF only ends
    // the last field, it is not part of it.
    std::string_view text = d.substr(2, 255);
    if (!text.empty() && static_cast<unsigned char>(text.back()) == 0xFF) text.remove_suffix(1);
    const std::vector<std::string> parts = Split(Printable(text), ':');
    auto field = [&parts](std::size_t i) -> std::string_view {
        return i < parts.size() ? std::string_view(parts[i]) : std::string_view();
    };
    const std::string key(field(0).substr(0, 6));
    const int slot = SlotFor(key, type);
    if (slot < 0) return;
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    f.state = 1;
    f.deleted = false;
    f.free = false;
    f.fresh = true;

    auto defaultNames = [&](bool star) {
        if (f.flightid.empty()) f.flightid = (star ? "*" : "~") + key;
        if (f.labeltext.empty())
            f.labeltext = star ? Concat({"*", Copy(f.flightid.view(), 6, 2)}) : Concat({"~", key});
    };
    const std::string_view mmsi = field(1);

    switch (type) {
        case 0xA1: {
            NameFromList(f, key);
            defaultNames(false);
            f.modesdec = mmsi;
            f.lat = field(2);
            f.lon = field(3);
            SetCourse(f, field(4));
            const std::string_view sog = field(5);
            f.gs = sog;
            if (sog.empty()) {
                f.gs4.clear();
                f.gsf = 0;
            } else {
                f.gsf = RealOf(sog) / 10.0;
                // Tenths of a knot: a point before the last digit.
                const std::string_view whole =
                    sog.size() == 1 ? "0" : sog.substr(0, sog.size() - 1);
                f.gs4 = Concat({whole, ".", sog.substr(sog.size() - 1)});
                if (f.gsf > 99.9) {
                    f.gs4.clear();
                    f.gsf = 0;
                }
            }
            f.turn = RateOfTurn(field(6));
            f.posquality = field(7) == "1" ? "HI" : "LO";
            SetHeading(f, field(8));
            f.mcpmode = field(9).empty() ? ' ' : field(9)[0];
            f.beacon = false;
            PositionFollowUp(slot, mmsi.substr(0, 3));
            table_.AddHistoryPoint(slot, f.fl, f.latf, f.lonf);
            if (hooks_.updateTarget) hooks_.updateTarget(slot);
            break;
        }
        case 0xA4:
        case 0xAA: {
            defaultNames(true);
            f.modesdec = mmsi;
            f.lat = field(2);
            f.lon = field(3);
            f.beacon = true;
            if (type == 0xAA) {
                f.icaotype = TwoDigitType(field(4));
                const std::string_view name = field(5);
                if (!name.empty()) {
                    f.reg = name;
                    f.flightid = name;
                    f.labeltext = name;
                }
            }
            AddLogLine(key, LogLine(f, slot, key + " BY ", f.reg.view()));
            AddName(key, key + " BY");
            PositionFollowUp(slot, Copy(mmsi, 3, 3));
            if (hooks_.reprojectTarget) hooks_.reprojectTarget(slot);
            break;
        }
        case 0xA5: {
            const std::string_view name = field(1);
            f.reg = name;
            const std::string trimmed = Trim(name);
            f.labeltext = trimmed.empty() ? "~" + key : trimmed;
            f.flightid = f.reg.view();
            f.vesselcall = field(2);
            f.vesselid = field(3);
            f.route = field(4);
            f.eta =
                field(5).empty() ? std::string() : std::string(field(5)) + std::string(field(6));
            const std::string shiptype = TwoDigitType(field(7));
            f.icaotype = shiptype;
            if (field(8).empty()) {
                f.draught.clear();
            } else {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%4.1f", RealOf(field(8)) / 10.0);
                f.draught = Trim(buf);
            }
            f.width = field(9);
            f.length = field(10);
            f.beacon = false;
            const std::string prefix = key + " " + shiptype + " ";
            AddLogLine(key, LogLine(f, slot, prefix, name));
            AddName(key, prefix + std::string(name));
            break;
        }
        case 0xA6: {
            f.modesdec = mmsi;
            f.lat = field(2);
            f.lon = field(3);
            SetCourse(f, field(4));
            const std::string_view sog = field(5);
            f.gs = sog;
            f.gs4 = sog.substr(0, 4);
            f.gsf = sog.empty() ? 0 : RealOf(sog);
            if (f.gsf > 99.9) {
                f.gs4.clear();
                f.gsf = 0;
            }
            SetHeading(f, field(6));
            f.mcpmode = field(7).empty() ? ' ' : field(7)[0];
            f.reg = field(8);
            f.flightid = field(8);
            f.labeltext = field(8);
            f.vesselcall = field(9);
            f.vesselid = field(10);
            f.route = field(11);
            f.eta = std::string(field(12)) + std::string(field(13));
            if (!f.eta.empty() && f.eta[0] == '*') f.eta.clear();
            f.icaotype = TwoDigitType(field(14));
            f.draught = field(15);
            f.width = field(16);
            f.length = field(17);
            if (mmsi.substr(0, 2) == "00") {
                // A shore station: none of the voyage data applies.
                f.beacon = true;
                f.icaotype.clear();
                f.gs.clear();
                f.gs4.clear();
                f.gsf = 0;
                f.track.clear();
                f.track3.clear();
                f.trackf = 0;
                f.width.clear();
                f.length.clear();
                f.draught.clear();
                f.vesselcall.clear();
                f.vesselid.clear();
                f.eta.clear();
                f.route.clear();
                f.heading.clear();
                f.labeltext = Concat({"*", Copy(key, 5, 2)});
                f.mcpmode = ' ';
            } else {
                f.beacon = false;
            }
            defaultNames(false);
            // A shore station's identity is 00 + MID; a ship's starts with its MID.
            PositionFollowUp(slot, f.beacon ? Copy(mmsi, 3, 3) : Copy(mmsi, 1, 3));
            if (hooks_.updateTarget) hooks_.updateTarget(slot);
            if (f.beacon && hooks_.beaconMode) hooks_.beaconMode(slot);
            break;
        }
        case 0xAB: {
            NameFromList(f, key);
            defaultNames(false);
            f.modesdec = mmsi;
            f.lat = field(2);
            f.lon = field(3);
            f.beacon = false;
            PositionFollowUp(slot, mmsi.substr(0, 3));
            table_.AddHistoryPoint(slot, f.fl, f.latf, f.lonf);
            if (hooks_.reprojectTarget) hooks_.reprojectTarget(slot);
            break;
        }
        default:  // 0xA0, 0xA2, 0xA3, 0xA7-0xA9, 0xAC-0xAF carry nothing further
            break;
    }
    f.altlabel = "G---";
    f.lastseen = clock_.UtcNow();
}

std::pair<std::string, std::string> CountryOfMmsi(std::string_view mid) {
    if (mid.size() != 3) return {};
    for (const std::string& line : MidList()) {
        if (std::string_view(line).substr(0, 3) == mid)
            return {Copy(line, 5, 2), Copy(line, 8, 255)};
    }
    return {};
}

std::vector<std::string> LoadListFile(const std::string& path) {
    return ReadLines(path);
}

std::vector<std::string> LoadAisNames(const std::string& path) {
    std::vector<std::string> lines = ReadLines(path);
    // The last line of each key, in the order of those last lines.
    std::unordered_map<std::string, std::size_t> last;
    for (std::size_t i = 0; i < lines.size(); ++i) last[lines[i].substr(0, 6)] = i;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (last[lines[i].substr(0, 6)] == i) names.push_back(std::move(lines[i]));
    if (names.size() > kMaxAisListLines)
        names.erase(names.begin(), names.end() - static_cast<long>(kMaxAisListLines));
    return names;
}

std::string AisLogPath(const std::string& stationDir, DayTime utcDay) {
    return JoinPath(stationDir,
                    "aerova-bst/ais-log/" + FormatDateTime("yyyymmdd", utcDay) + ".log");
}

std::string AisNamesPath(const std::string& stationDir) {
    return JoinPath(stationDir, "aerova-routes/ais.txt");
}

}  // namespace aerova
