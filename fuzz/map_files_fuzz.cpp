// libFuzzer target: the input as a waypoint file and as an outline file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "radar/map_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    aerova::MapData map;
    aerova::ParseWaypointFile(text, map);
    aerova::ParseOutlineFile(text, map);
    // Every polyline kept draws a line: at least two vertices.
    for (const auto& polylines : map.outlines) {
        for (const auto& polyline : polylines) {
            if (polyline.size() < 2) __builtin_trap();
        }
    }
    if (aerova::WaypointNameTable(map).size() > aerova::kWaypointNames) __builtin_trap();
    return 0;
}
