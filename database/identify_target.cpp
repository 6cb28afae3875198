#include "database/identify_target.h"

#include "base/files.h"
#include "base/strings.h"

namespace aerova {

void ApplyEnteredAircraft(FlightTable& table, const std::vector<EnteredAircraft>& entered,
                          const std::vector<TSQLAircraft>& rows) {
    for (std::size_t i = 0; i < entered.size(); ++i) {
        const int slot = table.FindFlight(entered[i].modes);
        if (slot < 0) continue;
        Tflight& f = table.flights[static_cast<std::size_t>(slot)];
        if (f.dbid != -1) continue;
        f.dbid = entered[i].aircraftid;
        if (i < rows.size()) f.sqlaircraft = rows[i];
    }
}

std::string AircraftDatabasePath(std::string_view programDir, std::string_view sqlDir,
                                 std::string_view sqlDb) {
    const std::string dir = Trim(sqlDir).empty() ? std::string(programDir) : Trim(sqlDir);
    return JoinPath(dir, sqlDb);
}

std::string IdentifyNewTarget(AircraftDatabase& database, const CountryTable& countries,
                              Tflight& flight, DayTime utcNow) {
    if (!database.isOpen()) return {};
    const std::string country = countries.CountryOfAddress(flight.modes.view());
    TSQLIdentity identity;
    switch (database.IdentifyAircraft(flight.modes.view(), DatabaseTimestamp(utcNow), country,
                                      identity, flight.indb)) {
        case Identification::kKnown:
            flight.dbid = identity.aircraftid;
            flight.reg = identity.registration.view();
            flight.icaotype = identity.icaotype.view().substr(0, 6);
            database.ReadAircraftRow(flight.modes.view(), flight.sqlaircraft);
            break;
        case Identification::kQueued:  // its id comes with the tick's commit (ApplyEnteredAircraft)
        case Identification::kUnknown:
            flight.dbid = -1;
            flight.reg.clear();
            flight.icaotype.clear();
            break;
        case Identification::kFailed:
            // A busy database is no answer: what the target already had stays.
            flight.dbid = -1;
            break;
    }
    return country;
}

}  // namespace aerova
