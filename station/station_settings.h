#pragma once
// The settings of the station's spine: the time server of the clock check, the aircraft
// database file and the ageing choices. The settings file binds them (Station) and the
// radar windows' time-out lists show them.

#include <string>

#include "station/station_state.h"

namespace aerova {

struct StationSettings {
    std::string timeServer;  // server/time; no built-in server
    std::string sqlDir;      // sql/dir
    std::string sqlDb;       // sql/db
    TimeoutChoices times;    // times/*
};

}  // namespace aerova
