#pragma once
// The KML servers' options (section `google` of the main settings): one struct that the
// settings bind, the label editor shows and changes, and the servers read.

#include <array>
#include <string_view>

namespace aerova {

// Section `google` of the main settings, as the settings hold it.
struct KmlOptions {
    int cockpitport = 4180;
    int aircraftport = 4181;
    bool cockpit = true;   // the cockpit server runs
    bool aircraft = true;  // the aircraft server runs
    int iconscale = 4;     // index into kKmlIconScales; another value gives the default
    bool flightid = true;
    bool altitude = true;
    bool usealtitude = true;  // "Clamp flights to ground"
    bool track = false;
    bool gs = false;
    bool vrate = false;
    bool dynamickml = false;  // "Use dynamic script": the template documents
    bool icaotype = false;
    bool reg = false;
    bool trails = false;
    bool peers = false;
    bool route = false;
};

// The icon size factors the `iconscale` index chooses from.
inline constexpr std::array<std::string_view, 7> kKmlIconScales = {"0.33", "0.5", "0.66", "0.75",
                                                                   "0.8",  "0.9", "1.0"};
inline constexpr int kKmlDefaultIconScale = 4;

}  // namespace aerova
