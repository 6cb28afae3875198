#pragma once
// The station's shared target records: one Tflight per tracked target (aircraft, ground
// vehicle or vessel), the peer-station record, the last chat message and the datagram
// queue entry. Every text field is bounded; assigning a longer value keeps its start.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/day_time.h"
#include "base/text.h"

namespace aerova {

constexpr int kMaxFlights = 2000;
constexpr int kMaxPeers = 32;
constexpr int kQueueCapacity = 1000;
constexpr int kAircraftColumns = 49;

// The names of the aircraft table's columns 0 to 48.
inline constexpr std::array<std::string_view, kAircraftColumns> kAircraftColumnNames{
    "AircraftID",      "FirstCreated",     "LastModified",   "ModeS",         "ModeSCountry",
    "Country",         "Registration",     "CurrentRegDate", "PreviousID",    "FirstRegDate",
    "Status",          "DeRegDate",        "Manufacturer",   "ICAOTypeCode",  "Type",
    "SerialNo",        "PopularName",      "GenericName",    "AircraftClass", "Engines",
    "OwnershipStatus", "RegisteredOwners", "MTOW",           "TotalHours",    "YearBuilt",
    "CofACategory",    "CofAExpiry",       "UserNotes",      "Interested",    "UserTag",
    "InfoURL",         "PictureURL1",      "PictureURL2",    "PictureURL3",   "UserString1",
    "UserString2",     "UserString3",      "UserString4",    "UserString5",   "UserBool1",
    "UserBool2",       "UserBool3",        "UserBool4",      "UserBool5",     "UserInt1",
    "UserInt2",        "UserInt3",         "UserInt4",       "UserInt5"};

// One full row of the aircraft table, columns 0 to 48 as text (NULL reads as empty).
struct TSQLAircraft {
    bool found = false;
    std::array<std::string, kAircraftColumns> columns{};
};

struct Tflight {
    std::int64_t dbid = 0;
    bool announceair = false;
    bool announceid = false;
    bool idchanged = false;
    bool announcesel = false;
    std::int32_t state = 0;  // 1 active, 0 inactive
    std::int32_t labelaltvalid = 0;
    bool deleted = true;
    bool free = true;
    bool fresh = false;
    bool freshhttp1 = false;
    bool freshhttp2 = false;
    bool vessel = false;
    bool beacon = false;
    bool indb = false;
    bool logpending = false;
    std::int32_t routestate = 0;
    bool routeflag1 = false, routeflag2 = false, routeflag3 = false;
    std::int32_t trend = 0;  // -1 descending, 0 level, 1 climbing
    std::int32_t trendsteady = 0;
    std::int32_t trailring = 0;
    bool regiscountry = false;
    std::uint8_t reportkind = 0;
    bool hold3min = false, hold30s = false, hold45min = false;
    Text<6> modes;
    Text<9> modesdec;
    Text<8> flightid;
    Text<2> ground;
    Text<5> altft;
    Text<12> lat;
    Text<13> lon;
    Text<6> vrateraw;
    Text<6> vrate;
    Text<6> gs;
    Text<5> track;
    Text<7> squawk;
    Text<4> squawkraw;
    Text<3> posquality;
    Text<4> peerfield1;
    Text<5> peerfield2;
    Text<4> peerfield3;
    Text<16> peerfield4;  // the network report's time text
    Text<16> peerfield5;
    Text<2> peerfield6;
    Text<15> srcip;
    std::int32_t srcport = 0;
    DayTime lastseen = 0;
    DayTime firstseen = 0;  // the first main report of this target
    int reports = 0;        // main reports applied to it
    DayTime lastpos = 0;
    DayTime lastlabelalt = 0;
    Text<10> wind;
    bool windvalid = false;
    DayTime windtime = 0;
    Text<11> labeltext;
    Text<11> label;
    Text<4> altlabel;
    Text<4> gs4;
    Text<4> vratecode;
    Text<3> track3;
    Text<9> status;
    Text<4> tas;
    Text<6> gps;
    bool nopos = true;
    float latf = 0, lonf = 0;
    double trackf = 0, gsf = 0;
    double coslat = 0;
    double vratef = 0;
    std::int32_t fl = -9;
    std::int32_t prevfl = -9;
    Text<3> aiscountry;
    Text<7> vesselid;
    Text<7> vesselcall;
    Text<4> draught;
    Text<3> width, length;
    Text<11> eta;
    Text<6> icaotype;
    Text<20> reg;
    Text<32> route;
    std::string routefrom, routeto;
    Text<2> colourcode;
    bool alerted = false;
    bool hassel = false;
    Text<3> heading;
    Text<3> mcp;
    Text<4> qnh;
    Text<3> ias, mach;
    char mcpmode = ' ';
    Text<3> roll, turn;
    DayTime seltime = 0;
    bool selvalid = false;
    DayTime rolltime = 0;
    bool rollvalid = false;
    DayTime hdgtime = 0;
    bool hdgvalid = false;
    Text<6> box;
    bool alertmail = false;
    bool emergencyalert = false;
    // The alert mail of each flag went out: one mail per flight and flag.
    bool alertmailsent = false, emergencymailsent = false;
    bool noalert = false;
    bool alertflag = false, spiflag = false;
    TSQLAircraft sqlaircraft;

    // Live: shown, listed and fed.
    bool live() const { return !deleted && !free; }
};

struct TPeer {
    std::int32_t active = 0;
    bool free = true;
    Text<15> ip;
    std::int32_t port = 0;
    Text<4> utc;
    Text<10> lat;
    Text<11> lon;
    Text<32> station;
    Text<4> qnh;
    Text<4> qnhin;
    Text<5> trans;
    Text<16> url;
    Text<16> replaytime;
    Text<2> replayspeed;  // "0" live, "-1" paused, otherwise a speed factor
    Text<4> icao;
    DayTime lastheard = 0;
    Text<16> version;
    std::string info;
    Text<6> box;
    bool full = false;  // a station's full status rather than a local source's short one
};

struct TChat {
    std::string station;
    std::string message;
};

// One datagram queued while the main cycle runs, with the sender it came from.
struct Tudpreadbuf {
    std::string data;
    std::string peerip;
    std::int32_t peerport = 0;
};

}  // namespace aerova
