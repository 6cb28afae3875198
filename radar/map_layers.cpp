#include "radar/map_layers.h"

#include "base/strings.h"

namespace aerova {

namespace {

const char* const kOutlineTypes[kLayerTypes] = {
    "General", "Airport", "Coast",   "Border", "Final", "L-ATS", "U-ATS", "ATZ",
    "CTA",     "CTR",     "Danger",  "FIR",    "RVA",   "Hold",  "IAP",   "SID",
    "STAR",    "MATZ",    "Awy Bdr", "AARA",   "AIAA",  "ARA",   "ATA",   "ATSDA",
    "User1",   "User2",   "User3",   "User4",  "User5", "User6"};
const char* const kWaypointTypes[kLayerTypes] = {
    "General", "Airport", "VOR",    "NDB",    "INTX",   "TAC",   "VRP",      "ANO",
    "Disused", "Para",    "Glider", "Heli",   "Hang",   "Micro", "Airfield", "User1",
    "User2",   "User3",   "User4",  "User5",  "User6",  "User7", "User8",    "User9",
    "User10",  "User11",  "User12", "User13", "User14", "User15"};

std::string Caption(int n, const std::string& name) {
    return Concat({"(", std::to_string(n), ") ", name});
}

void Compose(std::array<std::string, kLayerTypes + 1>& list, const char* const builtIn[],
             const std::array<std::string, kLayerTypes>& names,
             const std::array<std::string, kLayerTypes>& notes) {
    for (int n = 1; n <= kLayerTypes; ++n) {
        const std::string& name = names[static_cast<std::size_t>(n - 1)];
        const std::string& note = notes[static_cast<std::size_t>(n - 1)];
        std::string entry = Caption(n, name.empty() || name == "***" ? builtIn[n - 1] : name);
        if (!note.empty()) entry = Concat({entry, " [", note, "]"});
        list[static_cast<std::size_t>(n)] = entry;
    }
}

}  // namespace

MapLayerLists BuiltInLayerLists() {
    return ComposeLayerLists({}, {});
}

MapLayerLists ComposeLayerLists(const LayerNames& names, const LayerNames& notes) {
    MapLayerLists lists;
    lists.outlines[0] = "OUTLINES";
    lists.waypoints[0] = "WAYPOINTS";
    Compose(lists.outlines, kOutlineTypes, names.outlines, notes.outlines);
    Compose(lists.waypoints, kWaypointTypes, names.waypoints, notes.waypoints);
    return lists;
}

}  // namespace aerova
