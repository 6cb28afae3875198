#include "app/station_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "base/testing/temp_dir.h"
#include "core/report_codec.h"
#include "core/test_records.h"
#include "platform/test_port_offset.h"

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
    options.portOffset = testing::TestPortOffset(14);
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

// The subsystems' options come from the one settings file: the database's, the station
// network's, the data servers' and the three poll sets of the station-to-station client.
TEST(StationRunnerTest, SubsystemsTakeTheirOptionsFromTheSettingsFile) {
    App();
    const testing::TempDir dir;
    dir.Write("aerovas.ini",
              "[database]\r\ncreatesql=0\r\ncreatexml=1\r\n[daisychain]\r\nslave=1\r\n"
              "slaveip=10.0.0.9\r\n[MINI]\r\nurl2=remote.example\r\nPort2=7989\r\n"
              "pwd2=secret\r\narea2=0\r\ninterval2=5\r\nset2=Club\r\nactiveset=1\r\n"
              "serverpwd=pw\r\ncb7989=0\r\n[server]\r\nremoteip=7900\r\n");
    RunOptions options;
    options.stationDir = dir.path();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(15);
    StationEnvironment env;
    env.ask = [](const std::string&, const std::string&) { return true; };
    StationRunner runner(options, env);
    ASSERT_FALSE(runner.Create().has_value());
    runner.StartReception();
    StationServices& s = runner.services();
    EXPECT_FALSE(s.database().options().createsql) << "unknown aircraft are not entered";
    EXPECT_TRUE(s.networkSettings.cbsavexml);
    EXPECT_TRUE(s.ingestSettings.cbslave);
    EXPECT_TRUE(s.networkSettings.cbslave);
    EXPECT_EQ(s.ingestSettings.edmasterip, "10.0.0.9");
    EXPECT_EQ(s.networkSettings.remoteip, 7900);
    EXPECT_EQ(s.serverOptions.serverpwd, "pw");
    EXPECT_TRUE(s.serverUpdatesOnly[0]);
    EXPECT_FALSE(s.serverUpdatesOnly[1]);
    const PollSettings& poll = s.pollSettings;
    EXPECT_EQ(poll.activeset, 1);
    EXPECT_EQ(poll.sets[1].url, "remote.example");
    EXPECT_EQ(poll.sets[1].port, "7989");
    EXPECT_EQ(poll.sets[1].pwd, "secret");
    EXPECT_FALSE(poll.sets[1].area);
    EXPECT_EQ(poll.sets[1].interval, 5);
    EXPECT_EQ(poll.names[1], "Club");
    EXPECT_EQ(poll.sets[0].url, "127.0.0.1");
    EXPECT_TRUE(poll.sets[0].area);
    EXPECT_EQ(runner.station().session(), 2) << "the stored counter (1) plus one";
    EXPECT_TRUE(runner.station().FormCloseQuery());
}

}  // namespace
}  // namespace aerova
