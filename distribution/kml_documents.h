#pragma once
// The KML documents the station serves to Google Earth: the aircraft document (every
// positioned target, optionally the peer stations and the targets' trails), the same for
// the ATC box ("/atcbox"), the cockpit document (the camera behind the selected target),
// and the documents assembled from the user's templates `aircraft.kml.gss` and
// `cockpit.kml.gss`. Plain functions of the flight table: the caller holds the station
// mutex while one runs.
//
// The station's texts are Latin-1; the documents are UTF-8. Every value taken from the
// table is turned into UTF-8 and XML-escaped where it is inserted, control bytes become
// U+FFFD, and a target or peer whose position texts are not numbers is left out.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight_table.h"
#include "core/kml_options.h"

namespace aerova {

// A colour as red, green and blue fractions from 0 to 1.
struct KmlRgb {
    float r = 1, g = 1, b = 1;
};

// What the documents take from outside section `google`: the target colours (sections
// `colors` and `usercolors`) and the folder holding the icons.
struct KmlStyle {
    KmlRgb active{32 / 255.0f, 1, 32 / 255.0f};
    KmlRgb inactive{128 / 255.0f, 128 / 255.0f, 128 / 255.0f};
    KmlRgb onground{1, 1, 1};
    KmlRgb vehicle{1, 1, 1};
    KmlRgb climbing{1, 1, 1};    // user colour 3
    KmlRgb descending{1, 1, 1};  // user colour 4
    std::string iconDir;         // the station's aerova-scripts folder (a UTF-8 path)
};

// "FF" and blue, green, red as two upper-case hexadecimal digits each.
std::string KmlColour(const KmlRgb& colour);

// The aircraft server's document for any path but "/atcbox".
std::string AircraftDocument(const FlightTable& table, const KmlOptions& options,
                             const KmlStyle& style);
// The aircraft server's document for "/atcbox".
std::string AtcBoxDocument(const FlightTable& table, const KmlOptions& options,
                           const KmlStyle& style);

// The target the cockpit follows: the selection of radar window 1, else of radar window 2,
// when it is a shown target (live, positioned); -1 when there is none.
int CockpitSelection(const FlightTable& table);
// The cockpit server's document for `selectedSlot`; empty when that is no shown target.
std::string CockpitDocument(const FlightTable& table, int selectedSlot);

// One template file: its sections as trimmed, non-empty lines, and its control switches.
struct KmlTemplate {
    std::vector<std::string> init, trails, peers, flights, selected, exit;
    bool showTrails = false;
    bool showPeers = true;
    bool showFlights = true;
    bool showSelected = false;
    bool onground = false;
    int history = 5;
};

struct KmlTemplates {
    KmlTemplate aircraft, cockpit;
};

// Parses the text of a template file (UTF-8; bytes that are not UTF-8 become U+FFFD).
KmlTemplate ParseKmlTemplate(std::string_view text);
// Both template files of `dir` (the station's aerova-scripts folder); nothing when either
// is missing or unreadable.
std::optional<KmlTemplates> LoadKmlTemplates(const std::string& dir);

// The document of one template file. `clampToGround` is the aircraft template's `onground`
// switch (it decides "%altitudemode%" for both files); `selectedSlot` as for the cockpit.
std::string TemplateDocument(const FlightTable& table, const KmlTemplate& file, bool clampToGround,
                             int selectedSlot);

}  // namespace aerova
