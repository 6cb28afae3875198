#pragma once
// Helpers for the distribution tests: live targets placed straight into chosen slots.

#include <memory>
#include <string>

#include "core/flight_table.h"

namespace aerova::testing {

inline std::unique_ptr<FlightTable> NewTable() {
    return std::make_unique<FlightTable>();
}

// A live, active target with a position in `slot`, as report ingest leaves it.
inline Tflight& PlaceTarget(FlightTable& table, int slot, const std::string& modes) {
    Tflight& f = table.flights[static_cast<std::size_t>(slot)];
    f.deleted = false;
    f.free = false;
    f.state = 1;
    f.nopos = false;
    f.fresh = true;
    f.freshhttp1 = true;
    f.freshhttp2 = true;
    f.modes = modes;
    return f;
}

}  // namespace aerova::testing
