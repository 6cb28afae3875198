// Hot paths of the lookups made for every new target: identification in a database of
// 500,000 aircraft, the country of an address, and a route from large route files.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "base/numbers.h"
#include "database/countries.h"
#include "database/routes.h"
#include "database/sqldb.h"
#include "database/test_support.h"

namespace aerova {
namespace {

constexpr int kAircraft = 500000;

std::string AddressOf(int i) {
    return IntToHex(static_cast<std::uint64_t>(i) * 29 + 0x300000, 6);
}

struct Fixture {
    testing::TempDir dir;
    std::string path = dir.File("basestation.sqb");
    AircraftDatabase db;
    CountryTable countries;
    std::unique_ptr<RouteFiles> routes;

    Fixture() {
        if (!testing::CreateDatabaseFromSchema(path)) throw std::runtime_error("schema");
        {
            testing::Connection conn(path);
            conn.Exec("BEGIN");
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(conn.handle(),
                               "INSERT INTO aircraft (modes, registration, icaotypecode) "
                               "VALUES (?1, ?2, 'A320')",
                               -1, &stmt, nullptr);
            for (int i = 0; i < kAircraft; ++i) {
                const std::string modes = AddressOf(i);
                const std::string reg = "D-A" + std::to_string(i);
                sqlite3_bind_text(stmt, 1, modes.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(stmt, 2, reg.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_step(stmt);
                sqlite3_reset(stmt);
            }
            sqlite3_finalize(stmt);
            conn.Exec("COMMIT");
        }
        db.OpenAircraftDatabase(path);
        countries.LoadCountries(std::string(AEROVA_DATABASE_DIR) + "/countries.dat");

        std::string rte = "[routes]\r\n", console = "[routes]\r\n";
        for (int i = 0; i < 10000; ++i) {
            rte += std::to_string(i) + "=FRA 0700-0810 HAM\r\n";
            console += "DLH" + std::to_string(i) + "X=HAM-MUC\r\n";
        }
        dir.Write("aerova-routes/DLH.rte", rte);
        dir.Write("aerova-routes/console.rte2", console);
        // Files older than the file-time granularity are read once and then kept.
        const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        std::filesystem::last_write_time(dir.File("aerova-routes/DLH.rte"), past);
        std::filesystem::last_write_time(dir.File("aerova-routes/console.rte2"), past);
        routes = std::make_unique<RouteFiles>(dir.File("aerova-routes"));
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_IdentifyKnownAircraft(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string stamp = DatabaseTimestamp(45446.5);
    int i = 0;
    for (auto _ : state) {
        TSQLIdentity identity;
        bool mark = false;
        const bool ok = f.db.IdentifyAircraft(AddressOf(i), stamp, "Germany", identity, mark) ==
                        Identification::kKnown;
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("aircraft not found");
        i = (i + 7919) % kAircraft;
    }
}
BENCHMARK(BM_IdentifyKnownAircraft)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ReadAircraftRow(benchmark::State& state) {
    Fixture& f = Shared();
    int i = 0;
    TSQLAircraft row;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.db.ReadAircraftRow(AddressOf(i), row));
        i = (i + 7919) % kAircraft;
    }
}
BENCHMARK(BM_ReadAircraftRow);

void BM_CountryOfAddress(benchmark::State& state) {
    Fixture& f = Shared();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.countries.CountryOfAddress(AddressOf(i)));
        i = (i + 7919) % kAircraft;
    }
}
BENCHMARK(BM_CountryOfAddress);

void BM_LookupRoute(benchmark::State& state) {
    Fixture& f = Shared();
    Tflight flight;
    int i = 0;
    const bool fromConsole = state.range(0) != 0;
    for (auto _ : state) {
        const std::string callSign = "DLH" + std::to_string(i) + (fromConsole ? "X" : "");
        const std::string route = f.routes->LookupRoute(callSign, flight, "HAM", 45446.5);
        if (route.empty()) state.SkipWithError("route not found");
        i = (i + 17) % 10000;
    }
}
BENCHMARK(BM_LookupRoute)->Arg(0)->Arg(1);

}  // namespace
}  // namespace aerova

BENCHMARK_MAIN();
