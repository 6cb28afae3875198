#include "radar/map_scene.h"

#include "radar/map_files.h"

namespace aerova {

void SetSceneWaypoints(MapScene& scene, const MapData& data) {
    for (std::size_t t = 0; t < scene.waypoints.size(); ++t) {
        auto& out = scene.waypoints[t];
        out.clear();
        out.reserve(data.waypoints[t].size());
        for (const Waypoint& w : data.waypoints[t])
            out.push_back(SceneWaypoint{GeoToModel(w.lat, w.lon, 0.0f), w.name, w.text});
    }
}

bool OutlineTypeShown(const RadarDisplayState& display, int type) {
    if (type < 1 || type > kLayerTypes || !display.outlineMarks[0]) return false;
    if (display.outlineMarks[static_cast<std::size_t>(type)]) return true;
    struct Forced {
        int type, level;
    };
    constexpr Forced forced[] = {{25, 380}, {26, 300}, {27, 240}, {28, 190}, {29, 120}, {30, 60}};
    for (const Forced& f : forced)
        if (f.type == type && display.levelSelector == f.level) return true;
    return false;
}

bool WaypointTypeShown(const RadarDisplayState& display, int type) {
    return type >= 1 && type <= kLayerTypes && display.waypointMarks[0] &&
           display.waypointMarks[static_cast<std::size_t>(type)];
}

}  // namespace aerova
