#include "tools/search.h"

#include <charconv>
#include <cstring>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

// Padding only appends: a longer text keeps its length.
std::string PadTo(std::string_view s, std::size_t width) {
    std::string r(s);
    if (r.size() < width) r.append(width - r.size(), ' ');
    return r;
}

std::string FirstWord(std::string_view s) {
    const std::size_t space = s.find(' ');
    return std::string(space == std::string_view::npos ? s : s.substr(0, space));
}

// The shortest text that reads back as the same single-precision value, "." as decimal
// point whatever the locale.
std::string ShortestFloatText(float value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// printf's "%<width>.3f", but always with ".".
std::string Fixed3(float value, std::size_t width) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    return PadLeft(text, width);
}

bool Active(const Tflight& f) {
    return f.state == 1 && f.live();
}

// Upper-cased and trimmed text field: the caption while the search runs.
std::string StartSearch(SearchState& state) {
    const std::string text = UpperCase(Trim(state.Edit1));
    state.oldCaption = state.caption;
    state.caption = text;
    state.Edit1.clear();
    return text;
}

void PushCurrentView(SearchState& state, const SearchDisplays& displays, int tag) {
    PushView(state, state.caption, displays.View(tag));
}

// A find of a flight in one window: "Ctr GPS" off, the flight selected and followed so the
// window centres on it; the view is pushed; without "Follow" the window stays where it is.
void MoveToFlight(SearchState& state, FlightTable& table, int slot, SearchDisplays& displays,
                  int tag) {
    displays.UntickCentreGps(tag);
    WindowTargetMarks& marks = table.windows[static_cast<std::size_t>(tag - 1)];
    marks.selected = slot;
    marks.followed = slot;
    const Tflight& f = table.flights[static_cast<std::size_t>(slot)];
    // The next frame of a following window centres on the flight; do it now so that the
    // pushed view is the centred one. A flight without a position leaves the view alone.
    SearchView view = displays.View(tag);
    if (!f.nopos) {
        view.lat = f.latf;
        view.lon = f.lonf;
    }
    displays.MoveTo(tag, view);
    PushCurrentView(state, displays, tag);
    if (!state.follow) marks.followed = -1;
}

void MoveToWaypoint(SearchState& state, const WaypointName& waypoint, SearchDisplays& displays,
                    int tag) {
    displays.UntickCentreGps(tag);
    SearchView view = displays.View(tag);
    view.lat = waypoint.lat;
    view.lon = waypoint.lon;
    displays.MoveTo(tag, view);
    PushCurrentView(state, displays, tag);
}

}  // namespace

void NormaliseDisplayChoice(SearchState& state) {
    state.search2 = !state.search1;
}

bool SearchActsOn(const SearchState& state, const SearchDisplays& displays, int tag) {
    const bool chosen = tag == 1 ? state.search1 : state.search2;
    return chosen && displays.Visible(tag);
}

std::string FlightResultLine(const Tflight& flight, int slot) {
    return Concat({PadTo(FirstWord(Copy(flight.labeltext.view(), 1, 8)), 9),
                   PadTo(flight.altlabel.view(), 5), " ", PadTo(Copy(flight.lat.view(), 1, 6), 8),
                   " ", PadTo(Copy(flight.lon.view(), 1, 7), 9), kResultIndexMark,
                   std::to_string(slot)});
}

std::string_view WaypointNameText(const WaypointName& waypoint) {
    return std::string_view(waypoint.name, strnlen(waypoint.name, sizeof waypoint.name));
}

std::string WaypointResultLine(const WaypointName& waypoint, int index) {
    return Concat(
        {PadTo(WaypointNameText(waypoint), 8), " ", PadTo(ShortestFloatText(waypoint.lat), 8), " ",
         PadTo(ShortestFloatText(waypoint.lon), 9), kResultIndexMark, std::to_string(index)});
}

std::optional<int> ResultIndex(std::string_view line) {
    const std::size_t at = line.rfind('@');
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view digits = line.substr(at + 1);
    int index = -1;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() || index < 0)
        return std::nullopt;
    return index;
}

void ShowSearch(SearchState& state, const SearchDisplays& displays) {
    for (int tag = 1; tag <= 2; ++tag)
        state.entryViews[static_cast<std::size_t>(tag - 1)] = displays.View(tag);
    state.history = {};
    state.last = state.current = -1;
    state.caption = state.oldCaption = kSearchCaption;
    state.ListBox1.clear();
    state.Edit1.clear();
    state.Button3 = state.Button6 = false;
    for (int tag = 1; tag <= 2; ++tag)
        if (SearchActsOn(state, displays, tag)) PushView(state, kSearchCaption, displays.View(tag));
}

void PushView(SearchState& state, std::string_view name, const SearchView& view) {
    state.last = state.current;  // a push after stepping back drops the newer entries
    if (state.last < kSearchHistorySize - 1) {
        ++state.last;
    } else {
        for (int i = 0; i < kSearchHistorySize - 1; ++i)
            state.history[static_cast<std::size_t>(i)] =
                state.history[static_cast<std::size_t>(i + 1)];
        state.last = kSearchHistorySize - 1;
    }
    SearchHistoryEntry& entry = state.history[static_cast<std::size_t>(state.last)];
    entry.view = view;
    entry.name = name;  // the first 8 characters
    state.current = state.last;
    state.Button6 = false;
    state.Button3 = state.current > 0;
}

void StepHistory(SearchState& state, HistoryStep step, SearchDisplays& displays) {
    state.ListBox1.clear();
    if (state.last < 0) {
        state.Button3 = state.Button6 = false;
        return;
    }
    if (step == HistoryStep::kOlder) {
        if (state.current > 0) --state.current;
    } else if (state.current < state.last) {
        ++state.current;
    }
    if (state.current < 0) state.current = 0;
    // Both buttons follow the position, whichever way the step went.
    state.Button3 = state.current > 0;
    state.Button6 = state.current < state.last;
    const SearchHistoryEntry& entry = state.history[static_cast<std::size_t>(state.current)];
    for (int tag = 1; tag <= 2; ++tag)
        if (SearchActsOn(state, displays, tag)) displays.MoveTo(tag, entry.view);
    state.caption = Concat({entry.name.view(), " [", std::to_string(state.current), "] ",
                            Fixed3(entry.view.lat, 7), " ", Fixed3(entry.view.lon, 8)});
}

void RestoreEntryView(SearchState& state, SearchDisplays& displays) {
    for (int tag = 1; tag <= 2; ++tag)
        if (SearchActsOn(state, displays, tag))
            displays.MoveTo(tag, state.entryViews[static_cast<std::size_t>(tag - 1)]);
    state.caption = kSearchCaption;
}

int SearchFlights(SearchState& state, FlightTable& table, SearchDisplays& displays) {
    const std::string text = StartSearch(state);
    state.mode = SearchMode::kFlights;
    state.ListBox1.clear();
    int found = -1;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const Tflight& f = table.flights[static_cast<std::size_t>(slot)];
        if (!Active(f) || f.nopos || Pos(text, f.labeltext.view()) == 0) continue;
        state.ListBox1.push_back(FlightResultLine(f, slot));
        found = slot;
    }
    const int count = static_cast<int>(state.ListBox1.size());
    if (count != 1) {
        state.caption = state.oldCaption;
        return count;
    }
    for (int tag = 1; tag <= 2; ++tag)
        if (SearchActsOn(state, displays, tag)) MoveToFlight(state, table, found, displays, tag);
    state.Button3 = true;
    return count;
}

int SearchWaypoints(SearchState& state, const std::vector<WaypointName>& waypoints,
                    SearchDisplays& displays) {
    const std::string text = StartSearch(state);
    state.mode = SearchMode::kWaypoints;
    state.ListBox1.clear();
    int found = -1;
    for (std::size_t i = 0; i < waypoints.size(); ++i) {
        if (Pos(text, WaypointNameText(waypoints[i])) == 0) continue;
        state.ListBox1.push_back(WaypointResultLine(waypoints[i], static_cast<int>(i)));
        found = static_cast<int>(i);
    }
    const int count = static_cast<int>(state.ListBox1.size());
    if (count != 1) {
        state.caption = state.oldCaption;
        return count;
    }
    for (int tag = 1; tag <= 2; ++tag)
        if (SearchActsOn(state, displays, tag))
            MoveToWaypoint(state, waypoints[static_cast<std::size_t>(found)], displays, tag);
    state.Button3 = true;
    return count;
}

bool OpenResult(SearchState& state, std::string_view line, FlightTable& table,
                const std::vector<WaypointName>& waypoints, SearchDisplays& displays) {
    const std::optional<int> index = ResultIndex(line);
    if (!index) return false;
    if (state.mode == SearchMode::kFlights) {
        if (*index >= kMaxFlights) return false;
        const Tflight& f = table.flights[static_cast<std::size_t>(*index)];
        if (!Active(f)) return false;
        state.caption = f.labeltext.str();
        for (int tag = 1; tag <= 2; ++tag)
            if (SearchActsOn(state, displays, tag))
                MoveToFlight(state, table, *index, displays, tag);
    } else {
        if (static_cast<std::size_t>(*index) >= waypoints.size()) return false;
        const WaypointName& waypoint = waypoints[static_cast<std::size_t>(*index)];
        state.caption = std::string(WaypointNameText(waypoint));
        for (int tag = 1; tag <= 2; ++tag)
            if (SearchActsOn(state, displays, tag)) MoveToWaypoint(state, waypoint, displays, tag);
    }
    state.Button3 = true;
    return true;
}

}  // namespace aerova
