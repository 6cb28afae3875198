// Hot paths of the distribution: one feed tick and one full flight list, 2000 targets each.
#include <benchmark/benchmark.h>

#include "base/numbers.h"
#include "distribution/data_request.h"
#include "distribution/feed_lines.h"
#include "distribution/test_flights.h"

namespace aerova {
namespace {

void FillTable(FlightTable& table) {
    for (int i = 0; i < kMaxFlights; ++i) {
        Tflight& f =
            testing::PlaceTarget(table, i, IntToHex(0x3C0000u + static_cast<unsigned>(i), 6));
        f.flightid = "DLH" + std::to_string(i);
        f.box = "0000";
        f.gs = "450.5";
        f.track = "271.3";
        f.lat = "53.55123";
        f.lon = "9.99321";
        f.latf = 53.55f;
        f.lonf = 9.99f;
        f.vrate = "-12";
        f.squawk = "1000";
        f.status = "000000000";
        f.ground = "0";
        f.altlabel = "F350";
        f.track3 = "271";
        f.gs4 = " 450";
        f.reg = "DAIRA";
        f.icaotype = "A321";
        f.route = "EDDH-EDDF";
    }
}

void BM_SendFeed2000(benchmark::State& state) {
    auto table = testing::NewTable();
    FillTable(*table);
    FeedContext context{"12", false, EncodeDateTime(2024, 6, 1, 12, 0, 0, 0)};
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (auto& f : table->flights) f.fresh = true;
        const FeedResult r = SendFeed(*table, context, [&](std::string_view batch) {
            bytes += batch.size();
            return true;
        });
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SendFeed2000)->Unit(benchmark::kMicrosecond);

void BM_FlightList2000(benchmark::State& state) {
    auto table = testing::NewTable();
    FillTable(*table);
    const DataRequest request("/req=", {{"nopos", "1"}});
    const DataServerOptions options{1, false, ""};
    for (auto _ : state) {
        std::string list = AnswerDataRequest(*table, request, options);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_FlightList2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace aerova

BENCHMARK_MAIN();
