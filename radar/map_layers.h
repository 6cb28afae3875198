#pragma once
// The layer lists `cboutlines` and `cbwaypoints` of the radar windows: item 0 is the master
// switch, items 1 to 30 the layer types captioned "(n) " and the type's name. The settings
// may rename a type and keltrix.ini may annotate it.

#include <array>
#include <string>

namespace aerova {

constexpr int kLayerTypes = 30;

struct MapLayerLists {
    std::array<std::string, kLayerTypes + 1> outlines, waypoints;
};

// The built-in captions.
MapLayerLists BuiltInLayerLists();

// Names and notes of the layer types, entry n - 1 for type n.
struct LayerNames {
    std::array<std::string, kLayerTypes> outlines, waypoints;
};
// `names`: the settings' `outlinestypes-n` / `waypointtypes-n`; "***" (or empty) keeps the
// built-in name. `notes`: keltrix.ini's sections `outlines` / `waypoints`; a non-empty note
// is appended as " [" note "]".
MapLayerLists ComposeLayerLists(const LayerNames& names, const LayerNames& notes);

}  // namespace aerova
