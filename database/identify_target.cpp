#include "database/identify_target.h"

#include "base/files.h"
#include "base/strings.h"

namespace aerova {

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
    if (!database.IdentifyAircraft(flight.modes.view(), DatabaseTimestamp(utcNow), country,
                                   identity, flight.indb)) {
        flight.dbid = -1;
        flight.reg.clear();
        flight.icaotype.clear();
    } else if (identity.found) {
        flight.dbid = identity.aircraftid;
        flight.reg = identity.registration.view();
        flight.icaotype = identity.icaotype.view().substr(0, 6);
    }
    if (flight.dbid != -1) database.ReadAircraftRow(flight.modes.view(), flight.sqlaircraft);
    return country;
}

}  // namespace aerova
