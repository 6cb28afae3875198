#pragma once
// The database steps report ingest takes for a target that is new to the flight table.

#include <string>
#include <string_view>

#include "base/day_time.h"
#include "core/flight.h"
#include "database/countries.h"
#include "database/sqldb.h"

namespace aerova {

// The database file: `sqlDir` (settings `sql`/`dir`, empty meaning the program directory)
// joined with `sqlDb` (`sql`/`db`, default "basestation.sqb").
std::string AircraftDatabasePath(std::string_view programDir, std::string_view sqlDir,
                                 std::string_view sqlDb);

// When the database is open: identifies `flight.modes` (country, timestamp from `utcNow`,
// IdentifyAircraft with `flight.indb` as the new-aircraft mark), sets `dbid`, `reg` (20) and
// `icaotype` (6) from a found row, or -1 and empty texts on failure, and reads the full row
// into `flight.sqlaircraft` when the id is not -1. Returns the country of the address, or an
// empty text when the database is closed and nothing was done.
std::string IdentifyNewTarget(AircraftDatabase& database, const CountryTable& countries,
                              Tflight& flight, DayTime utcNow);

}  // namespace aerova
