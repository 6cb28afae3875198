// The main-cycle tick with a full table: 2000 live targets with positions, every one fresh
// (no feed client, so every target records a trail point on every tick).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "base/strings.h"
#include "station/station.h"

namespace aerova {
namespace {

void BM_Timer1TimerFullTable(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "aerova_cycle_bench";
    std::filesystem::create_directories(dir);
    ManualClock clock(EncodeDateTime(2026, 12, 9, 12, 0, 0, 0));
    auto table = std::make_unique<FlightTable>();
    StationEnvironment env;
    env.stationDir = dir.string();
    env.clock = &clock;
    Station station(env, *table);
    for (int i = 0; i < kMaxFlights; ++i) {
        const int slot = table->AllocateSlot();
        Tflight& f = table->flights[slot];
        f.modes = Concat({"A", std::to_string(10000 + i)});
        f.deleted = f.free = false;
        f.state = 1;
        f.fresh = true;
        f.lat = "51.5";
        f.lon = "7.25";
        f.latf = 51.5f + static_cast<float>(i) * 0.001f;
        f.lonf = 7.25f;
        f.altft = "35000";
        f.nopos = false;
        f.fl = 350;
    }
    for (auto _ : state) {
        clock.AdvanceSeconds(0.001);
        for (auto& f : table->flights) f.lastseen = clock.LocalNow();
        station.Timer1Timer();
    }
    state.counters["live"] = kMaxFlights;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Timer1TimerFullTable)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace aerova

BENCHMARK_MAIN();
