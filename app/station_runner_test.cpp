#include "app/station_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "base/testing/temp_dir.h"
#include "core/report_codec.h"
#include "core/test_records.h"

namespace aerova {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "aerova_app_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A shut-down asked for while the tick lets events run (a signal, Quit) waits for the end
// of the tick: the datagrams queued during the tick are applied first, and nothing is
// applied after the shut-down deleted every target and closed the database.
TEST(StationRunnerTest, AShutDownDuringATickWaitsForItsEnd) {
    App();
    const testing::TempDir dir;
    RunOptions options;
    options.stationDir = dir.path();
    options.portOffset = 21000 + static_cast<int>(QCoreApplication::applicationPid() % 4000);
    StationEnvironment env;
    env.ask = [](const std::string&, const std::string&) { return true; };
    StationRunner runner(options, env);
    ASSERT_FALSE(runner.Create().has_value());
    runner.StartReception();
    ASSERT_TRUE(runner.services().listening());

    bool shutDown = false, appliedBeforeShutDown = false;
    QTimer::singleShot(0, [&] {
        // Arrives during the tick: queued, applied at the tick's end.
        runner.services().OnDatagram(EncodeSbsReport(testing::Aircraft("4CA1FA"), "1013", "5500"),
                                     "127.0.0.1", 50000);
        runner.ShutDownWhenIdle([&] {
            appliedBeforeShutDown = runner.table().FindFlight("4CA1FA") >= 0;
            runner.station().FormCloseQuery();
            shutDown = true;
        });
        EXPECT_FALSE(shutDown) << "not inside the tick";
    });
    runner.Tick();
    EXPECT_TRUE(shutDown);
    EXPECT_TRUE(appliedBeforeShutDown);
    for (const Tflight& f : runner.table().flights) EXPECT_FALSE(f.live());
}

}  // namespace
}  // namespace aerova
