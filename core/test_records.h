#pragma once
// Decoder records for the tests of everything that encodes or ingests target reports.

#include "core/sbs_flight.h"

namespace aerova::testing {

inline TSBSFlight Aircraft(const char* icao) {
    TSBSFlight r{};
    r.icao = icao;
    r.onground = '0';
    r.altres = '1';
    r.intent = '0';
    r.spi = '0';
    r.emergency = '0';
    r.alert = '0';
    r.classmark = ' ';
    r.noposition = '0';
    r.emittime = "7000.5";
    return r;
}

inline void WithPosition(TSBSFlight& r, const char* call, const char* lat, const char* lon) {
    r.blockident = 1;
    r.callsign = call;
    r.lat = lat;
    r.lon = lon;
    r.kind = 0xB6;  // vrate, gs, track valid, quality 6 ("HI")
}

}  // namespace aerova::testing
