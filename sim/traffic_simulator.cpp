#include "sim/traffic_simulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

#include "receiver/cpr.h"
#include "sim/mode_s_frames.h"

namespace aerova::sim {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

double BearingTo(double lat1, double lon1, double lat2, double lon2) {
    double y = std::sin((lon2 - lon1) * kDeg) * std::cos(lat2 * kDeg);
    double x = std::cos(lat1 * kDeg) * std::sin(lat2 * kDeg) -
               std::sin(lat1 * kDeg) * std::cos(lat2 * kDeg) * std::cos((lon2 - lon1) * kDeg);
    return Wrap360(std::atan2(y, x) / kDeg);
}

// Speed of sound in knots at a pressure altitude (standard atmosphere, linear in the
// troposphere).
double SoundKnots(double feet) {
    return feet >= 36089 ? 573.6 : 661.5 - (661.5 - 573.6) * feet / 36089.0;
}

const char* const kAirlines[] = {"DLH", "AFR", "BAW", "KLM", "SAS", "EZY",
                                 "RYR", "AUA", "SWR", "FIN", "AER", "LOT"};

// The message cycle of an aircraft: four positions (even/odd alternating), two
// velocities, an identification, an all-call reply, two surveillance replies and two
// Comm-B replies.
enum AircraftMessage {
    kPosition,
    kVelocity,
    kIdent,
    kAllCall,
    kAltitudeReply,
    kIdentityReply,
    kCommB20,
    kCommB21
};
const AircraftMessage kAircraftCycle[] = {kPosition, kVelocity,      kPosition,      kAllCall,
                                          kIdent,    kPosition,      kAltitudeReply, kPosition,
                                          kCommB20,  kIdentityReply, kVelocity,      kCommB21};
constexpr int kAircraftCycleLength = sizeof kAircraftCycle / sizeof kAircraftCycle[0];

}  // namespace

TrafficSimulator::TrafficSimulator(const SimOptions& options)
    : options_(options), rng_(options.seed) {
    options_.aircraft = std::clamp(options_.aircraft, 0, 2000);
    options_.vehicles = std::clamp(options_.vehicles, 0, 100);
    options_.framesPerSecond = std::clamp(options_.framesPerSecond, 0.0, 20000.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::set<std::uint32_t> used;
    auto address = [&] {
        std::uint32_t a;
        do a = 0x100000 + (rng_() % 0xEFFFFF);
        while (!used.insert(a).second);
        return a;
    };
    const double coslat = std::max(std::cos(options_.homelat * kDeg), 0.05);
    for (int k = 0; k < options_.aircraft; ++k) {
        SimObject o{};
        o.icao = address();
        o.callsign = std::string(kAirlines[rng_() % std::size(kAirlines)]) +
                     std::to_string(10 + rng_() % 9890);
        o.squawk = static_cast<int>(1000 * (rng_() % 8) + 100 * (rng_() % 8) + 10 * (rng_() % 8) +
                                    rng_() % 8);
        o.category = 1 + static_cast<int>(rng_() % 5);
        double dist = options_.radiusNm * (0.1 + 0.85 * unit(rng_));
        double bearing = 360.0 * unit(rng_);
        o.lat = options_.homelat + dist * std::cos(bearing * kDeg) / 60.0;
        o.lon = options_.homelon + dist * std::sin(bearing * kDeg) / (60.0 * coslat);
        o.feet = 100.0 * std::round(20 + 390 * unit(rng_));  // FL20 .. FL410
        switch (k % 3) {
            case 0:
                o.targetFeet = o.feet;
                break;  // level
            case 1:
                o.targetFeet = std::min(o.feet + 8000, 41000.0);
                break;  // climbing
            default:
                o.targetFeet = std::max(o.feet - 8000, 2000.0);
                break;  // descending
        }
        o.feetPerMinute = o.targetFeet > o.feet ? 1800 : o.targetFeet < o.feet ? -1500 : 0;
        o.knots = 150 + 330 * o.feet / 41000.0;
        o.track = 360.0 * unit(rng_);
        o.turnRate = k % 4 == 3 ? (k % 8 == 3 ? 1.5 : -1.5) : 0.0;
        o.sendsAirspeed = k % 5 == 0;
        o.nextMessage = static_cast<int>(rng_() % kAircraftCycleLength);
        o.nextFormat = static_cast<int>(rng_() % 2);
        objects_.push_back(o);
    }
    for (int k = 0; k < options_.vehicles; ++k) {
        SimObject o{};
        o.icao = address();
        o.callsign = "VEH" + std::to_string(k + 1);
        o.category = 1 + k % 3;  // emergency, service or obstacle vehicle
        o.ground = true;
        o.lat = options_.homelat + 0.01 * (unit(rng_) - 0.5);
        o.lon = options_.homelon + 0.01 * (unit(rng_) - 0.5) / coslat;
        o.knots = 8 + 20 * unit(rng_);
        o.track = 360.0 * unit(rng_);
        o.turnRate = 6.0;  // a slow circle on the apron
        o.nextMessage = static_cast<int>(rng_() % 4);
        o.nextFormat = static_cast<int>(rng_() % 2);
        objects_.push_back(o);
    }
}

void TrafficSimulator::Move(SimObject& o, double seconds) const {
    double nm = o.knots * seconds / 3600.0;
    o.lat += nm * std::cos(o.track * kDeg) / 60.0;
    o.lon += nm * std::sin(o.track * kDeg) / (60.0 * std::max(std::cos(o.lat * kDeg), 0.05));
    o.lat = std::clamp(o.lat, -89.0, 89.0);
    if (o.lon >= 180.0) o.lon -= 360.0;
    if (o.lon < -180.0) o.lon += 360.0;
    if (!o.ground) {
        double climb = o.feetPerMinute * seconds / 60.0;
        o.feet += climb;
        if ((o.feetPerMinute > 0 && o.feet >= o.targetFeet) ||
            (o.feetPerMinute < 0 && o.feet <= o.targetFeet)) {
            o.feet = o.targetFeet;
            o.feetPerMinute = 0;
        }
        o.knots = 150 + 330 * std::clamp(o.feet, 0.0, 41000.0) / 41000.0;
        // Straight flyers turn back towards home when they leave the area; circling ones
        // keep turning.
        double turn = o.turnRate;
        if (turn == 0 &&
            DistanceNm(o.lat, o.lon, options_.homelat, options_.homelon) > options_.radiusNm) {
            double off = Wrap360(BearingTo(o.lat, o.lon, options_.homelat, options_.homelon) -
                                 o.track + 180) -
                         180;
            if (std::fabs(off) > 20) turn = off > 0 ? 3.0 : -3.0;
        }
        o.track = Wrap360(o.track + turn * seconds);
    } else {
        o.track = Wrap360(o.track + o.turnRate * seconds);
    }
}

std::vector<std::string> TrafficSimulator::FramesDue(DayTime utcNow) {
    std::vector<std::string> frames;
    if (!started_) {
        started_ = true;
        last_ = utcNow;
        return frames;
    }
    double seconds = std::clamp((utcNow - last_) * kSecondsPerDay, 0.0, 5.0);
    last_ = utcNow;
    if (seconds <= 0 || objects_.empty()) return frames;
    for (SimObject& o : objects_) Move(o, seconds);
    owed_ += options_.framesPerSecond * seconds;
    // The small allowance absorbs the rounding of day-number differences.
    auto count = static_cast<std::size_t>(owed_ + 0.01);
    owed_ = std::max(0.0, owed_ - static_cast<double>(count));
    frames.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        SimObject& o = objects_[turn_ % objects_.size()];
        turn_ = (turn_ + 1) % objects_.size();
        frames.push_back(NextFrame(o));
    }
    return frames;
}

std::string TrafficSimulator::NextFrame(SimObject& o) {
    return o.ground ? VehicleFrame(o) : AircraftFrame(o);
}

std::string TrafficSimulator::AircraftFrame(SimObject& o) {
    AircraftMessage m = kAircraftCycle[o.nextMessage];
    o.nextMessage = (o.nextMessage + 1) % kAircraftCycleLength;
    const int altitude = static_cast<int>(std::lround(o.feet));
    switch (m) {
        case kPosition: {
            int f = o.nextFormat;
            o.nextFormat ^= 1;
            o.sentLat = o.lat;
            o.sentLon = o.lon;
            o.sentPosition = true;
            return FrameText(ExtendedSquitter(
                o.icao, 5, AirbornePositionMe(11, altitude, f, EncodeCpr(o.lat, o.lon, f, false))));
        }
        case kVelocity: {
            // Aircraft that send airspeed do so in the second velocity of their cycle.
            bool airspeed = o.sendsAirspeed && o.nextMessage > kAircraftCycleLength / 2;
            return FrameText(
                ExtendedSquitter(o.icao, 5,
                                 airspeed ? AirspeedVelocityMe(o.track, o.knots, o.feetPerMinute)
                                          : GroundVelocityMe(o.knots, o.track, o.feetPerMinute)));
        }
        case kIdent: {
            // TC 4: emitter category set A (light to heavy aircraft).
            return FrameText(
                ExtendedSquitter(o.icao, 5, IdentificationMe(4, o.category, o.callsign)));
        }
        case kAllCall:
            return FrameText(AllCallReply(o.icao, 5));
        case kAltitudeReply:
            return FrameText(SurveillanceReply(4, 0, o.icao, AcAltitudeField(altitude)));
        case kIdentityReply:
            return FrameText(SurveillanceReply(5, 0, o.icao, IdentityField(o.squawk)));
        case kCommB20:
        case kCommB21: {
            int df = m == kCommB20 ? 20 : 21;
            int field = df == 20 ? AcAltitudeField(altitude) : IdentityField(o.squawk);
            Me mb{};
            double tas = o.knots;
            switch (o.commB) {
                case 0:
                    mb = Register20(o.callsign);
                    break;
                case 1:
                    mb = Register40(static_cast<int>(o.targetFeet), 1013.2);
                    break;
                case 2: {
                    double omega = o.turnRate * kDeg;  // rad/s
                    double roll = std::atan(tas * 0.514444 * omega / 9.80665) / kDeg;
                    mb = Register50(roll, o.track, o.knots, o.turnRate, tas);
                    break;
                }
                default: {
                    double ias = tas / (1.0 + 0.02 * o.feet / 1000.0);
                    mb = Register60(o.track, ias, tas / SoundKnots(o.feet), o.feetPerMinute);
                    break;
                }
            }
            o.commB = (o.commB + 1) % 4;
            return FrameText(CommBReply(df, 0, o.icao, field, mb));
        }
    }
    return {};
}

std::string TrafficSimulator::VehicleFrame(SimObject& o) {
    int step = o.nextMessage;
    o.nextMessage = (o.nextMessage + 1) % 4;
    switch (step) {
        case 0:
        case 2: {
            int f = o.nextFormat;
            o.nextFormat ^= 1;
            o.sentLat = o.lat;
            o.sentLon = o.lon;
            o.sentPosition = true;
            return FrameText(ExtendedSquitter(
                o.icao, 4,
                SurfacePositionMe(6, o.knots, o.track, f, EncodeCpr(o.lat, o.lon, f, true))));
        }
        case 1:
            // TC 2: emitter category set C (surface vehicles and obstacles).
            return FrameText(
                ExtendedSquitter(o.icao, 4, IdentificationMe(2, o.category, o.callsign)));
        default:
            return FrameText(AllCallReply(o.icao, 4));
    }
}

}  // namespace aerova::sim
