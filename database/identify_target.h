#pragma once
// The database steps report ingest takes for a target that is new to the flight table.

#include <string>
#include <string_view>
#include <vector>

#include "base/day_time.h"
#include "core/flight.h"
#include "core/flight_table.h"
#include "database/countries.h"
#include "database/sqldb.h"

namespace aerova {

// The database file: `sqlDir` (settings `sql`/`dir`, empty meaning the program directory)
// joined with `sqlDb` (`sql`/`db`, default "basestation.sqb").
std::string AircraftDatabasePath(std::string_view programDir, std::string_view sqlDir,
                                 std::string_view sqlDb);

// When the database is open: identifies `flight.modes` (country, timestamp from `utcNow`,
// IdentifyAircraft with `flight.indb` as the new-aircraft mark). A found row sets `dbid`,
// `reg` (20) and `icaotype` (6) and the full row in `flight.sqlaircraft`; an aircraft not
// found gets `dbid` -1 and empty texts (its id comes with the tick's commit); a failed
// lookup (a busy database) sets `dbid` -1 and keeps the texts the target had. Returns the
// country of the address, or an empty text when the database is closed.
std::string IdentifyNewTarget(AircraftDatabase& database, const CountryTable& countries,
                              Tflight& flight, DayTime utcNow);

// The ids of the aircraft CommitNewAircraft entered, and their rows, into the targets that
// still wait for them (run under the table lock; the database work is done before).
void ApplyEnteredAircraft(FlightTable& table, const std::vector<EnteredAircraft>& entered,
                          const std::vector<TSQLAircraft>& rows);

}  // namespace aerova
