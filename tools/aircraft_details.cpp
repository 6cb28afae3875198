#include "tools/aircraft_details.h"

#include "base/files.h"
#include "base/strings.h"
#include "database/image_search.h"

namespace aerova {
namespace {

const Tflight* ShownFlight(const AircraftDetailsState& state, const FlightTable& table) {
    if (state.slot < 0 || state.slot >= kMaxFlights) return nullptr;
    const Tflight& f = table.flights[static_cast<std::size_t>(state.slot)];
    if (f.free || f.modes.view() != state.modes.view()) return nullptr;
    return &f;
}

Tflight* ShownFlight(const AircraftDetailsState& state, FlightTable& table) {
    return const_cast<Tflight*>(ShownFlight(state, static_cast<const FlightTable&>(table)));
}

void Fields(AircraftDetailsState& state, const Tflight& f) {
    state.edposition = f.nopos ? std::string() : Concat({f.lat.view(), " ", f.lon.view()});
    state.edaltitude = f.altft.str();
    state.edvrate = f.vrate.str();
    state.edspeed = f.gs.str();
    state.edtrack = f.track.str();
    state.edsquawk = f.squawk.str();
    state.edstatus = f.status.str();
    state.edcallsign = f.flightid.str();
    state.edtype = f.icaotype.str();
}

void ClearStatus(AircraftDetailsState& state) {
    state.statusvalid = false;
    state.route.clear();
    state.stats = TFlightStats{};
    state.routefile.clear();
    state.routefileexists = false;
}

}  // namespace

void ShowFlight(AircraftDetailsState& state, const Tflight& flight, int slot) {
    state.slot = slot;
    state.modes = flight.modes;
    Fields(state, flight);
    state.row = flight.sqlaircraft;
    state.edflight = UpperCase(Trim(flight.flightid.view()));
    ClearStatus(state);
}

bool RefreshFlight(AircraftDetailsState& state, const FlightTable& table) {
    const Tflight* f = ShownFlight(state, table);
    if (!f) return false;
    Fields(state, *f);
    return true;
}

std::string BeginFlightStatus(AircraftDetailsState& state) {
    ClearStatus(state);
    state.edflight = UpperCase(Trim(state.edflight));
    state.querying = true;
    return state.edflight;
}

void ApplyFlightStatus(AircraftDetailsState& state, std::string route, TFlightStats stats,
                       const RouteFiles& routes) {
    state.querying = false;
    state.statusvalid = route != "NIL" && !stats.route.empty();
    state.route = std::move(route);
    state.stats = std::move(stats);
    const std::string airline = Copy(state.edflight, 1, 3);
    state.routefile = Concat({"aerova-routes\\", airline, ".rte"});
    state.routefileexists = airline.size() == 3 && FileExists(routes.RouteFilePath(airline));
}

std::vector<std::pair<std::string, std::string>> FlightStatusRows(
    const AircraftDetailsState& state) {
    const TFlightStats& s = state.stats;
    const auto place = [](const Text<3>& code, const std::string& city) {
        return Trim(Concat({code.view(), " ", city}));
    };
    return {{"Flight", s.title},
            {"Date", s.date},
            {"Status", s.status},
            {"Departure", s.deptimemark},
            {"Arrival", s.arrtimemark},
            {"From", place(s.origin, s.origincity)},
            {"To", place(s.destination, s.destinationcity)},
            {"Duration", s.duration},
            {"Equipment", s.equipment},
            {"On time", s.ontime},
            {"Delay", s.delay},
            {"Route", state.route},
            {"Message", s.message}};
}

bool CopyRouteToFlight(const AircraftDetailsState& state, FlightTable& table,
                       std::string_view homeAirport) {
    Tflight* f = ShownFlight(state, table);
    if (!f || !state.statusvalid) return false;
    f->route = state.stats.route;
    const TRouteMarks marks = RouteMarks(f->route.view(), homeAirport);
    f->routeflag1 = marks.arrival;
    f->routeflag2 = marks.departure;
    f->routefrom = marks.arrivaltext;
    f->routeto = marks.departuretext;
    f->fresh = f->freshhttp1 = f->freshhttp2 = true;
    return true;
}

bool StoreRouteForFlight(AircraftDetailsState& state, FlightTable& table, RouteFiles& routes,
                         std::string_view homeAirport, DayTime today) {
    Tflight* f = ShownFlight(state, table);
    if (!f || !state.statusvalid) return false;
    if (!routes.StoreRoute(state.edflight, state.stats.route)) return false;
    state.routefileexists = true;
    f->route = routes.LookupRoute(f->flightid.view(), *f, homeAirport, today);
    f->fresh = f->freshhttp1 = f->freshhttp2 = true;
    return true;
}

std::string FlightPlanAddress(std::string_view site, std::string_view callSign) {
    return Concat({site, PercentEncoded(UpperCase(Trim(callSign)))});
}

std::string ImageSearchAddress(const AircraftDetailsState& state, std::string_view site) {
    return ImageSearchUrl(site, ImageSearchQuery(state.imagesearch, state.row));
}

const std::array<std::string_view, kAircraftColumns>& AircraftColumnNames() {
    return kAircraftColumnNames;
}

}  // namespace aerova
