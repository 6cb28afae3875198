// Time to load the map at the start of reception: the shipped world map (maps/outlines)
// plus a waypoint folder of about 5 MB, parsed into the per-type arrays the display lists
// and the frames use. The aim is <= 1 s. Run: build/bench/map_load_bench

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "base/files.h"
#include "base/testing/temp_dir.h"
#include "radar/map_files.h"

namespace {

using namespace aerova;

struct Station {
    testing::TempDir dir;
    Station() {
        std::filesystem::create_directories(dir.File("outlines"));
        std::filesystem::copy_file(std::string(AEROVA_SOURCE_DIR) + "/maps/outlines/world.out",
                                   dir.File("outlines/world.out"));
        // About 5 MB of waypoints: 100,000 lines over Europe, names and second texts.
        std::string wpt;
        char line[96];
        for (int i = 0; i < 100000; ++i) {
            std::snprintf(line, sizeof line, "WP%05d,FREQ %03d.%02d,%d,,%.5f,%.5f\r\n", i,
                          108 + i % 10, i % 100, 1 + i % 30, 35.0 + (i % 3000) * 0.01,
                          -10.0 + (i / 3000) * 0.9);
            wpt += line;
        }
        WriteFileReplacing(dir.File("outlines/europe.wpt"), wpt);
    }
};

void BM_LoadWorldMapAndWaypoints(benchmark::State& state) {
    Station station;
    std::uintmax_t bytes = 0;
    for (const auto& e : std::filesystem::directory_iterator(station.dir.File("outlines")))
        bytes += e.file_size();
    std::size_t points = 0;
    for (auto _ : state) {
        const MapData data = LoadMapData(station.dir.path(), {"outlines"}, {});
        points = TotalPoints(data);
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_LoadWorldMapAndWaypoints)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
