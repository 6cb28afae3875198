// Report ingest throughput: kind-5 reports (identity/position and label-altitude blocks) for
// targets that already hold a slot, with all 2000 slots live.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/report_codec.h"
#include "core/test_records.h"
#include "station/report_ingest.h"

namespace {

using namespace aerova;

TSBSFlight Report(int i) {
    char icao[8];
    std::snprintf(icao, sizeof icao, "%06X", 0x400000 + i);
    TSBSFlight r = testing::Aircraft(icao);
    testing::WithPosition(r, "RYR4AB", "53.12345", "-6.23456");
    r.emittime = "7000.51234567";
    r.altitude = "36025";
    r.gnssdiff = "+125";
    r.vrate = "-1200";
    r.gspeed = "450";
    r.track = "270";
    r.tas = "460";
    r.blockalt = 1;
    r.squawk = "1234";
    return r;
}

void BM_UDPReadKind5ExistingTarget(benchmark::State& state) {
    ManualClock local(45000.5);
    StationClock clock(local);
    auto table = std::make_unique<FlightTable>();
    auto queue = std::make_unique<DatagramQueue>();
    IngestSettings settings;
    AlertListState alerts;
    ReportIngest ingest(*table, *queue, clock, settings, alerts, IngestHooks{});
    std::vector<std::string> reports;
    for (int i = 0; i < kMaxFlights; ++i) {
        reports.push_back(EncodeSbsReport(Report(i), "1013", "5500"));
        ingest.UDPRead(reports.back(), "127.0.0.1", 40000, false);
    }
    if (table->FindFlight("4007CF") != kMaxFlights - 1) {
        state.SkipWithError("the table was not filled");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        local.AdvanceSeconds(0.001);  // every block is newer than the last one
        ingest.UDPRead(reports[i], "127.0.0.1", 40000, false);
        i = (i + 1) % reports.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_UDPReadKind5ExistingTarget);

void BM_FindFlightAmongLiveTargets(benchmark::State& state) {
    auto table = std::make_unique<FlightTable>();
    std::vector<std::string> keys;
    for (int i = 0; i < kMaxFlights; ++i) {
        char icao[8];
        std::snprintf(icao, sizeof icao, "%06X", 0x400000 + i);
        keys.emplace_back(icao);
        table->flights[static_cast<std::size_t>(i)].modes = icao;
        table->flights[static_cast<std::size_t>(i)].deleted = false;
        table->flights[static_cast<std::size_t>(i)].free = false;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->FindFlight(keys[i]));
        i = (i + 1) % keys.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_FindFlightAmongLiveTargets);

}  // namespace

BENCHMARK_MAIN();
