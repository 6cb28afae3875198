#include "tools/atc_console.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {
namespace {

std::vector<std::string> NumberItems(int count, int width) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%0*d", width, i);
        items.emplace_back(text);
    }
    return items;
}

std::size_t ListIndex(AtcPositionList list) {
    return static_cast<std::size_t>(list);
}

// The selected item's text; an index that slipped out of its list reads as the default.
const std::string& SelectedItem(const AtcConsoleState& state, AtcPositionList list) {
    const std::vector<std::string>& items = AtcListItems(list);
    int index = state.position[ListIndex(list)];
    if (index < 0 || index >= static_cast<int>(items.size())) index = AtcListDefault(list);
    return items[static_cast<std::size_t>(index)];
}

double Coordinate(const AtcConsoleState& state, AtcPositionList hemisphere, AtcPositionList degrees,
                  AtcPositionList hundredths, char negative) {
    const double value =
        IntOr(SelectedItem(state, degrees), 0) + IntOr(SelectedItem(state, hundredths), 0) / 100.0;
    return SelectedItem(state, hemisphere) == std::string(1, negative) ? -value : value;
}

bool AtAirport(const RadarView& view, const AirportPosition& airport) {
    constexpr double kSame = 1e-4;
    return std::fabs(view.centreLat - airport.lat) < kSame &&
           std::fabs(view.centreLon - airport.lon) < kSame &&
           std::fabs(view.targetLat - airport.lat) < kSame &&
           std::fabs(view.targetLon - airport.lon) < kSame;
}

}  // namespace

const std::vector<std::string>& AtcListItems(AtcPositionList list) {
    static const std::vector<std::string> kNorthSouth{"N", "S"};
    static const std::vector<std::string> kEastWest{"E", "W"};
    static const std::vector<std::string> kLatDegrees = NumberItems(90, 2);
    static const std::vector<std::string> kLongDegrees = NumberItems(180, 3);
    static const std::vector<std::string> kHundredths = NumberItems(100, 2);
    switch (list) {
        case AtcPositionList::cblat0:
            return kNorthSouth;
        case AtcPositionList::cblat1:
            return kLatDegrees;
        case AtcPositionList::cblong0:
            return kEastWest;
        case AtcPositionList::cblong1:
            return kLongDegrees;
        case AtcPositionList::cblat2:
        case AtcPositionList::cblong2:
            break;
    }
    return kHundredths;
}

int AtcListDefault(AtcPositionList list) {
    return AtcConsoleState{}.position[ListIndex(list)];
}

bool SetAtcIndex(AtcConsoleState& state, AtcPositionList list, int index) {
    if (index < 0 || index >= static_cast<int>(AtcListItems(list).size())) return false;
    state.position[ListIndex(list)] = index;
    return true;
}

AirportPosition AirportPositionOf(const AtcConsoleState& state) {
    using L = AtcPositionList;
    return {Coordinate(state, L::cblat0, L::cblat1, L::cblat2, 'S'),
            Coordinate(state, L::cblong0, L::cblong1, L::cblong2, 'W')};
}

std::string AirportButtonCaption(std::string_view edroute) {
    return UpperCase(edroute);
}

std::string AirportCodeField(std::string_view typed) {
    return std::string(typed.substr(0, kAirportCodeLength));
}

bool BlacklistHolds(std::string_view blacklist, std::string_view modes) {
    if (modes.empty()) return false;
    return UpperCase(blacklist).find(UpperCase(modes)) != std::string::npos;
}

std::string OnGroundDepartureRoute(const Tflight& flight, bool spbONG, std::string_view airport,
                                   std::string_view blacklist) {
    if (!flight.route.empty() || !spbONG || flight.altlabel != "G---" ||
        BlacklistHolds(blacklist, flight.modes.view()))
        return {};
    return Concat({airport, "-"});
}

std::optional<std::string> ReadBlacklistFile(const std::string& stationDir) {
    std::ifstream file(JoinPath(stationDir, kBlacklistFileName), std::ios::binary);
    if (!file) return std::nullopt;
    std::string text(kMaxBlacklistBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) return std::nullopt;
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > kMaxBlacklistBytes) {
        // The address cut at the limit is no address: keep whole lines only.
        const std::size_t lineEnd = text.rfind('\n', kMaxBlacklistBytes - 1);
        text.resize(lineEnd == std::string::npos ? 0 : lineEnd + 1);
    }
    return text;
}

bool LoadBlacklist(std::string& blacklist, const std::string& stationDir) {
    std::optional<std::string> text = ReadBlacklistFile(stationDir);
    if (!text) return false;
    blacklist = std::move(*text);
    return true;
}

void OngClick(AtcConsoleState& state, const std::string& stationDir) {
    if (state.spbONG) LoadBlacklist(state.blacklist, stationDir);
}

void AtcSettingsLoaded(AtcConsoleState& state, const std::string& stationDir) {
    state.edroute = AirportCodeField(state.edroute);
    OngClick(state, stationDir);
}

void ClearAtcLists(AtcConsoleState& state) {
    state.lblocal.clear();
    state.lbarrs.clear();
    state.lbsq.clear();
}

int AtcRadarTag(AtcRadarWindows& radars) {
    return radars.Shown(2) ? 2 : 1;
}

int CentreOnAirport(AtcConsoleState& state, AtcRadarWindows& radars) {
    const int tag = AtcRadarTag(radars);
    RadarView& view = radars.View(tag);
    const AirportPosition airport = AirportPositionOf(state);
    if (!AtAirport(view, airport)) SaveView(state.savedView, view);
    SetView(view, static_cast<float>(airport.lat), static_cast<float>(airport.lon),
            view.cameraDistance);
    radars.Redraw(tag);
    return tag;
}

bool RestoreLastView(const AtcConsoleState& state, AtcRadarWindows& radars) {
    const int tag = AtcRadarTag(radars);
    const bool changed = RestoreView(radars.View(tag), radars.Marks(tag), state.savedView);
    radars.Redraw(tag);
    return changed;
}

}  // namespace aerova
