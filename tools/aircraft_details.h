#pragma once
// The Aircraft Details window's plain state and rules: the fields of one flight, its own copy
// of the aircraft's database row, the flight-status lookup shown with the route file it
// would go into, the route copied to the flight ("Label") or also stored ("File + Label"),
// and the addresses of the flight-tracking page and the image search, which open in the
// desktop's browser.

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/day_time.h"
#include "core/flight.h"
#include "core/flight_table.h"
#include "database/flight_id.h"
#include "database/routes.h"

namespace aerova {

// The outside sites; their pages are opened in the desktop's browser.
constexpr std::string_view kFlightPlanSite = "https://flightaware.com/live/flight/";
constexpr std::string_view kImageSearchSite = "https://www.google.com/search?tbm=isch&q=";

struct AircraftDetailsState {
    int slot = -1;  // the flight shown; -1 none
    Text<6> modes;  // its address, so a slot taken over by another aircraft is noticed
    // The fields.
    std::string edposition, edaltitude, edvrate, edspeed, edtrack, edsquawk, edstatus, edcallsign,
        edtype;
    TSQLAircraft row;  // the window's own copy of the database row
    // "Flight status" tab.
    std::string edflight;      // the call sign looked up, upper-cased
    bool cbyesterday = false;  // "Departure yesterday"
    bool querying = false;
    bool statusvalid = false;  // the last lookup gave a route
    std::string route;         // its result: the route or "NIL"
    TFlightStats stats;
    std::string routefile;  // "aerova-routes\<AAA>.rte"
    bool routefileexists = false;
    // "Image search" tab: `Google`/`imagesearch`.
    std::string imagesearch = "%6+registration";
};

// Shows the flight in `slot`: its fields, its row, and its call sign as the one to look up;
// the last lookup's result is cleared.
void ShowFlight(AircraftDetailsState& state, const Tflight& flight, int slot);
// The fields again from the table; false (fields kept) when the slot no longer holds the
// aircraft that was shown.
bool RefreshFlight(AircraftDetailsState& state, const FlightTable& table);

// The start of a lookup: the result fields cleared, the call sign upper-cased and trimmed.
// Returns the call sign to look up.
std::string BeginFlightStatus(AircraftDetailsState& state);
// The lookup's result, and the route file of its call sign in `routes`' directory.
void ApplyFlightStatus(AircraftDetailsState& state, std::string route, TFlightStats stats,
                       const RouteFiles& routes);
// The tab's lines as caption and value, in the order shown.
std::vector<std::pair<std::string, std::string>> FlightStatusRows(
    const AircraftDetailsState& state);

// "Label": the looked-up route into the flight's route, with its arrival and departure marks
// against `homeAirport`. Nothing happens (false) without a route or when the slot holds
// another aircraft now.
bool CopyRouteToFlight(const AircraftDetailsState& state, FlightTable& table,
                       std::string_view homeAirport);
// "File + Label": the route written into the call sign's route file (key: the flight
// number), then the flight's route looked up again from the files. False when nothing was
// written.
bool StoreRouteForFlight(AircraftDetailsState& state, FlightTable& table, RouteFiles& routes,
                         std::string_view homeAirport, DayTime today);

// The flight-tracking page of the call sign.
std::string FlightPlanAddress(std::string_view site, std::string_view callSign);
// The image-search page of the row, from the `imagesearch` pattern.
std::string ImageSearchAddress(const AircraftDetailsState& state, std::string_view site);

// The names of the aircraft table's 49 columns, for the "Database" tab.
const std::array<std::string_view, kAircraftColumns>& AircraftColumnNames();

}  // namespace aerova
