#include "tools/no_position_list.h"

#include <algorithm>
#include <cstdio>

#include "base/strings.h"
#include "radar/target_style.h"

namespace aerova {

namespace {

constexpr std::size_t kKeyWidth = 8;
constexpr std::string_view kBlankKey = "        ";

// Filled with blanks on the left, then cut to the width.
std::string RightAligned(std::string_view s, std::size_t width) {
    return PadLeft(s, width).substr(0, width);
}

bool Contains(std::string_view text, std::string_view part) {
    // An empty caption is an item the user has not named: it matches nothing.
    return !part.empty() && text.find(part) != std::string_view::npos;
}

Rgb RgbOf(const std::array<float, 3>& c) {
    return Rgb{c[0], c[1], c[2]};
}

void Store(WindowTargetMarks& marks, std::size_t slot, const Rgb& c) {
    marks.colour[slot] = {c.r, c.g, c.b};
}

// The user items 30 to 42 that a window has checked and whose caption occurs in the call
// sign label or, failing that, the registration: the last match gives the colour.
void ApplyUserColours(WindowTargetMarks& out, std::size_t slot, const Tflight& f,
                      const ColourTable& colours, const ColourMarks& marks) {
    out.usercolour[slot] = false;
    for (int item = kColUserFirst; item <= kColUserLast; ++item) {
        if (!marks[item]) continue;
        const std::string& caption = marks.caption[static_cast<std::size_t>(item)];
        if (Contains(f.labeltext.view(), caption) || Contains(f.reg.view(), caption)) {
            Store(out, slot, colours[item]);
            out.usercolour[slot] = true;
        }
    }
}

// The vertical-rate colour of an active flight, if any: a code of two or more characters
// climbs or descends unless it is a small rate ("+1" to "+4"); without a code the trend
// decides.
const Rgb* RateColour(const Tflight& f, const ColourTable& colours, const ColourMarks& marks) {
    const std::string code = Trim(f.vratecode.view());
    int direction = 0;
    if (code.size() >= 2) {
        const bool small = code.size() == 2 && code[1] >= '1' && code[1] <= '4';
        if (!small) direction = code[0] == '+' ? 1 : (code[0] == '-' ? -1 : 0);
    } else {
        direction = f.trend;
    }
    if (direction == 1 && marks[kColClimbing]) return &colours[kColClimbing];
    if (direction == -1 && marks[kColDescending]) return &colours[kColDescending];
    return nullptr;
}

// Whether the altitude filter keeps a flight: bounds inclusive; a ground label only while
// the lower bound is the ground; labels without a level are not filtered.
bool WithinAltitudeFilter(const Tflight& f, int lower, int upper) {
    const std::string_view alt = f.altlabel.view();
    if (alt.empty()) return true;
    if (alt[0] == 'G') return lower <= 0;
    const std::optional<int> level = LabelLevelOf(alt);
    return !level || (*level >= lower && *level <= upper);
}

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool LineBefore(const NoPositionRow& a, const NoPositionRow& b) {
    // The list orders its lines without regard to case, as a sorted list box does.
    const auto caseless = [](char x, char y) {
        return static_cast<unsigned char>(Folded(x)) < static_cast<unsigned char>(Folded(y));
    };
    if (std::lexicographical_compare(a.line.begin(), a.line.end(), b.line.begin(), b.line.end(),
                                     caseless))
        return true;
    if (std::lexicographical_compare(b.line.begin(), b.line.end(), a.line.begin(), a.line.end(),
                                     caseless))
        return false;
    return a.line < b.line;
}

}  // namespace

NoPositionSort SortOf(const NoPositionListState& s) {
    if (s.spbsortid) return NoPositionSort::kId;
    if (s.spbsortalt) return NoPositionSort::kAlt;
    if (s.spbsortreg) return NoPositionSort::kReg;
    if (s.spbsortsq) return NoPositionSort::kSquawk;
    return NoPositionSort::kNone;
}

void SetSort(NoPositionListState& s, NoPositionSort sort) {
    s.spbsortid = sort == NoPositionSort::kId;
    s.spbsortalt = sort == NoPositionSort::kAlt;
    s.spbsortreg = sort == NoPositionSort::kReg;
    s.spbsortsq = sort == NoPositionSort::kSquawk;
}

void ReleaseFilter(NoPositionListState& s) {
    s.sbfilterCaption = s.sbfilterCaption == "Fi1" ? "Fi2" : "Fi1";
}

void NormaliseLoaded(NoPositionListState& s) {
    SetSort(s, SortOf(s));
    if (s.sbfilterCaption != "Fi2") s.sbfilterCaption = "Fi1";
}

int FilterWindow(const NoPositionListState& s) {
    return s.sbfilterCaption == "Fi2" ? 2 : 1;
}

std::optional<int> LabelLevelOf(std::string_view altlabel) {
    if (altlabel.size() != 4 || altlabel[0] == 'G') return std::nullopt;
    int level = 0;
    for (const char c : altlabel.substr(1)) {
        if (c < '0' || c > '9') return std::nullopt;
        level = level * 10 + (c - '0');
    }
    return level;
}

std::string NoPositionLabel(const Tflight& f) {
    const std::string_view label = f.labeltext.view();
    if (!label.empty() && label[0] == '&') return Concat({"~", f.modes.view()});
    return Trim(label);
}

std::string NoPositionSpeed(const Tflight& f) {
    std::string speed = Trim(f.gs4.view());
    if (!speed.empty()) return speed;
    // Each substitute only when its own source is known: a letter alone says nothing.
    const std::pair<const char*, std::string_view> substitutes[] = {
        {"i", f.ias.view()}, {"t", f.tas.view()}, {"m", f.mach.view()}};
    for (const auto& [letter, value] : substitutes) {
        const std::string v = Trim(value);
        if (!v.empty()) return Concat({letter, v});
    }
    return {};
}

std::string NoPositionDirection(const Tflight& f) {
    const std::string track = Trim(f.track3.view());
    if (!track.empty()) return Concat({track, std::string_view(&kDegreeSign, 1)});
    const std::string heading = Trim(f.heading.view());
    if (!heading.empty()) return Concat({"H", heading});
    return {};
}

std::string NoPositionColumns(const Tflight& f, int slot) {
    std::string line = PadRight(NoPositionLabel(f), 12);
    line += f.state == 1 ? '*' : '?';
    line += RightAligned(std::to_string(slot), 4);
    const std::string_view alt = f.altlabel.view();
    line += PadRight(alt, 5);
    std::string selected = "    ";
    if (alt.size() == 4 && f.hassel)
        selected = alt.substr(1, 3) == f.mcp.view() ? "=   " : PadRight(f.mcp.view(), 4);
    line += selected;
    line += PadRight(f.vratecode.view(), 4);
    line += PadRight(f.reg.view(), 8);
    line += PadRight(f.icaotype.view(), 6);
    line += PadRight(f.squawk.view(), 5);
    line += PadRight(NoPositionSpeed(f), 5);
    line += PadRight(NoPositionDirection(f), 5);
    line += "         #";
    line += f.route.view();
    return line;
}

std::string NoPositionSortKey(const Tflight& f, int slot, NoPositionSort sort) {
    switch (sort) {
        case NoPositionSort::kId:
            return PadRight(NoPositionLabel(f), kKeyWidth);
        case NoPositionSort::kAlt: {
            const std::string_view alt = f.altlabel.view();
            if (alt.size() == 4 && alt[0] == 'G') return "999     ";
            // A label without a readable level sorts with the flights that have none.
            const std::optional<int> level = LabelLevelOf(alt);
            if (!level) return std::string(kBlankKey);
            return PadRight(RightAligned(std::to_string(999 - *level), 3), kKeyWidth);
        }
        case NoPositionSort::kReg:
            return f.reg.size() > 1 ? PadRight(f.reg.view(), kKeyWidth) : std::string(kBlankKey);
        case NoPositionSort::kSquawk:
            return f.squawk.size() > 1 ? PadRight(f.squawk.view(), kKeyWidth)
                                       : std::string(kBlankKey);
        case NoPositionSort::kNone:
            break;
    }
    char key[16];
    std::snprintf(key, sizeof key, "%08d", 99999999 - std::clamp(slot, 0, kMaxFlights));
    return key;
}

void SetNoPositionColours(FlightTable& table, int slot, const ColourTable& colours,
                          const NoPositionRadars& radar) {
    const auto s = static_cast<std::size_t>(slot);
    const Tflight& f = table.flights[s];
    WindowTargetMarks& second = table.windows[1];
    if (f.state != 1) {
        Store(second, s, colours[kColInactiveFlight]);
        return;
    }
    Store(second, s, colours[kColActiveFlight]);
    if (const Rgb* rate = RateColour(f, colours, radar[1]->marks)) Store(second, s, *rate);
    ApplyUserColours(second, s, f, colours, radar[1]->marks);
    ApplyUserColours(table.windows[0], s, f, colours, radar[0]->marks);
}

NoPositionRow DrawnRow(const FlightTable& table, int slot, std::string line,
                       const ColourTable& colours) {
    const auto s = static_cast<std::size_t>(slot);
    const Tflight& f = table.flights[s];
    NoPositionRow row;
    row.slot = slot;
    row.italic = !f.vessel && f.labelaltvalid == 0;
    row.frame = f.routestate == 1 || f.routestate == 2 ? f.routestate : 0;
    Rgb colour = RgbOf(table.windows[1].colour[s]);
    if (f.ground == "1") colour = colours[kColGroundFlights];
    const Rgb& inactive = colours[kColInactiveFlight];

    // Columns 9 onward without the state mark and the slot number, behind the route mark.
    const std::string columns = line.size() > kKeyWidth ? line.substr(kKeyWidth) : std::string();
    const std::string shown = Concat({f.route.empty() ? " " : std::string_view(&kDegreeSign, 1),
                                      Copy(columns, 1, 12), Copy(columns, 18, 1000)});
    const std::string speed = Copy(columns, 50, 5);
    const bool substituteSpeed = !speed.empty() && speed[0] >= 'a' && speed[0] <= 'z';
    row.segments[0] = {0, Copy(shown, 1, 18), colour};
    row.segments[1] = {124, Copy(shown, 19, 4), f.selvalid ? colour : inactive};
    row.segments[2] = {148, Copy(shown, 23, 23), colour};
    row.segments[3] = {310, Copy(shown, 46, 1000),
                       substituteSpeed && !f.hdgvalid ? inactive : colour};
    row.line = std::move(line);
    return row;
}

NoPositionList BuildNoPositionList(FlightTable& table, const NoPositionListState& state,
                                   const ColourTable& colours, const NoPositionRadars& radar) {
    const RadarDisplayState& bounds = *radar[static_cast<std::size_t>(FilterWindow(state) - 1)];
    const int lower = FilterLevel(bounds.cblower);
    const int upper = FilterLevel(bounds.cbupper);
    const NoPositionSort sort = SortOf(state);
    NoPositionList list;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const Tflight& f = table.flights[static_cast<std::size_t>(slot)];
        if (f.deleted || !(f.nopos || state.spbnopos)) continue;
        SetNoPositionColours(table, slot, colours, radar);
        if (state.sbfilter && !WithinAltitudeFilter(f, lower, upper)) continue;
        if (state.buuconly && !table.IsUserColoured(slot)) continue;
        list.rows.push_back(DrawnRow(
            table, slot, Concat({NoPositionSortKey(f, slot, sort), NoPositionColumns(f, slot)}),
            colours));
    }
    std::sort(list.rows.begin(), list.rows.end(), LineBefore);
    list.caption = Concat(
        {std::to_string(list.rows.size()), state.spbnopos ? " flights" : " no position flights"});
    return list;
}

}  // namespace aerova
