#pragma once
// The map as the frames draw it: outline types as display lists compiled once (the lists'
// names kept here), waypoints as model points with their texts, projected each frame and
// drawn into the frame's pixel layer, and the layer colours both windows share.

#include <array>
#include <string>
#include <vector>

#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/geo_model.h"
#include "radar/map_layers.h"

namespace aerova {

struct MapData;

// The colours of the 30 outline and 30 waypoint types (settings `drawingsettings`).
struct MapLayerColours {
    std::array<Rgb, kLayerTypes> outlines{}, waypoints{};
};

struct SceneWaypoint {
    ModelPoint point;
    std::string name, text;  // 8-bit texts
};

struct MapScene {
    std::array<std::vector<SceneWaypoint>, kLayerTypes> waypoints;
    std::array<unsigned, kLayerTypes> outlineLists{};  // 0 until compiled
    bool built = false;
};

// The waypoints of every type at the map height, ready to project.
void SetSceneWaypoints(MapScene& scene, const MapData& data);

// Whether a window draws outline type 1 to 30 this frame: the master item and the type's
// mark, or the level selector forcing it (25 at 380, 26 at 300, 27 at 240, 28 at 190,
// 29 at 120, 30 at 60).
bool OutlineTypeShown(const RadarDisplayState& display, int type);
bool WaypointTypeShown(const RadarDisplayState& display, int type);

}  // namespace aerova
