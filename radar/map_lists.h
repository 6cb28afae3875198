#pragma once
// The outline types as display lists of the radar windows' share group, compiled from
// map data parsed once. Compiling needs a current context of the group; the global share
// context on an offscreen surface serves, so a hidden radar window doesn't matter.

#include <functional>
#include <string>

#include "radar/map_scene.h"

namespace aerova {

struct MapData;

// Compiles (or recompiles under the same names) the 30 outline lists and takes the
// waypoints. `memoryError` is called once per list the graphics library had no memory
// for; such a list keeps what was compiled.
void CompileMapScene(MapScene& scene, const MapData& data,
                     const std::function<void(const std::string&)>& memoryError);
// Runs `work` with a context of the share group current; false when there is none.
bool WithShareGroupContext(const std::function<void()>& work);

}  // namespace aerova
