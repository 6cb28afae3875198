#pragma once
// Flight lookups on a flight-status web service: one HTTP GET per lookup, the reply page
// searched for the service's texts and labels.

#include <string>
#include <string_view>

#include "base/day_time.h"
#include "database/flight_id.h"

namespace aerova {

struct FlightStatusService {
    // Scheme, host and port of the service, e.g. "http://status.example:8080"; no built-in
    // value: without one every lookup fails.
    std::string baseAddress;
    long timeoutMs = 15000;
};

// Replies above this size are cut off and count as failures.
constexpr std::size_t kMaxFlightStatusReply = 1 << 20;

// The request target: "/go/FlightStatus/flightStatusByFlight.do?airline=..&flightNumber=..
// &departureDate=yyyy-mm-dd&x=14&y=10", the designator and number percent-encoded.
std::string FlightStatusTarget(std::string_view airline, std::string_view number,
                               std::string_view date);

// Reads a reply page into `stats` (title, times, airports, cities ...) and composes
// `stats.route` "ORG hhmm-hhmm DST". False with `stats.message` set when the page holds one
// of the service's failure texts or lacks the airports and scheduled times.
bool ReadFlightStatusPage(std::string_view page, TFlightStats& stats);

// Looks `flightId` up for the day of `today`, or the day before when `yesterday` is set.
// Returns the route, or "NIL" with `stats.message` telling why.
std::string LookupFlightStatus(std::string_view flightId, bool yesterday, TFlightStats& stats,
                               const FlightStatusService& service, DayTime today,
                               const AcarsTable* acars = nullptr);

}  // namespace aerova
