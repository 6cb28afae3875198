#pragma once
// Demo traffic: simulated aircraft and ground vehicles moving around a home position, each
// sending the frames a real transponder would (extended squitters, all-call, surveillance
// and Comm-B replies). The station's built-in source when no receiver is attached, the
// aerovasim program, and a fixture for tests. Deterministic for a given seed and sequence
// of clock readings; it never reads a clock itself.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/day_time.h"

namespace aerova::sim {

struct SimOptions {
    double homelat = 53.53333;
    double homelon = 10.16667;
    int aircraft = 40;             // up to 2000
    int vehicles = 3;              // ground vehicles near the home position
    double framesPerSecond = 400;  // all objects together, up to 20000
    std::uint32_t seed = 1;
    double radiusNm = 120;  // aircraft turn back towards home beyond this distance
};

struct SimObject {
    std::uint32_t icao;
    std::string callsign;  // up to 8 characters
    int squawk;            // four octal digits, e.g. 4721
    int category;          // emitter category within its set
    bool ground;
    double lat, lon;       // degrees
    double feet;           // pressure altitude
    double targetFeet;     // selected altitude
    double feetPerMinute;  // vertical rate
    double knots;          // ground speed (= true airspeed: no wind)
    double track;          // degrees
    double turnRate;       // degrees per second, negative to the left
    bool sendsAirspeed;    // also sends velocity subtype 3
    int nextMessage;       // position in its message cycle
    int nextFormat;        // CPR format of its next position
    int commB;             // next Comm-B register in turn
    // The position and format of the last position frame, for checking decoders.
    double sentLat, sentLon;
    bool sentPosition;
};

class TrafficSimulator {
  public:
    explicit TrafficSimulator(const SimOptions& options);

    // Moves every object to `utcNow` and returns the frame texts "*HEX;" due since the
    // previous call (none on the first call). Long pauses are not made up for beyond 5 s.
    std::vector<std::string> FramesDue(DayTime utcNow);

    const std::vector<SimObject>& objects() const { return objects_; }
    const SimOptions& options() const { return options_; }

  private:
    void Move(SimObject& o, double seconds) const;
    std::string NextFrame(SimObject& o);
    std::string AircraftFrame(SimObject& o);
    std::string VehicleFrame(SimObject& o);

    SimOptions options_;
    std::mt19937 rng_;
    std::vector<SimObject> objects_;
    bool started_ = false;
    DayTime last_ = 0;
    double owed_ = 0;  // fraction of a frame carried to the next call
    std::size_t turn_ = 0;
};

}  // namespace aerova::sim
