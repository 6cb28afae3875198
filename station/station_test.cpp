#include "station/station.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/files.h"
#include "base/strings.h"
#include "radar/colour_list.h"
#include "radar/geo_model.h"
#include "radar/target_style.h"

namespace aerova {
namespace {

class RecordingSetter : public SystemClockSetter {
  public:
    bool SetLocalTime(DayTime local) override {
        calls.push_back(local);
        return true;
    }
    std::vector<DayTime> calls;
};

class StationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = (std::filesystem::temp_directory_path() /
                ("aerova_station_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                   .string();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        clock_.Set(EncodeDateTime(2026, 12, 9, 12, 0, 0, 0));
        table_ = std::make_unique<FlightTable>();
        station_ = MakeStation();
        ASSERT_TRUE(station_->FormCreate());
    }
    void TearDown() override {
        station_.reset();
        std::filesystem::remove_all(dir_);
    }

    std::unique_ptr<Station> MakeStation() {
        StationEnvironment env;
        env.stationDir = dir_;
        env.clock = &clock_;
        env.clockSetter = &setter_;
        env.ask = [this](const std::string& q, const std::string& title) {
            questions_.push_back(q + "|" + title);
            return answer_;
        };
        env.setCaption = [this](const std::string& c) { captions_.push_back(c); };
        env.saveDialog = [this](const SaveDialogRequest& r) -> std::optional<std::string> {
            lastRequest_ = r;
            return dialogAnswer_;
        };
        return std::make_unique<Station>(env, *table_);
    }

    // A live target with a position, reported now.
    int AddTarget(const char* modes, bool withPosition = true) {
        const int slot = table_->AllocateSlot();
        Tflight& f = table_->flights[slot];
        f.modes = modes;
        f.deleted = false;
        f.free = false;
        f.state = 1;
        f.fresh = true;
        f.lastseen = station_->clock().UtcNow();
        if (withPosition) {
            f.lat = "51.5";
            f.lon = "-0.25";
            f.latf = 51.5f;
            f.lonf = -0.25f;
            f.nopos = false;
        }
        return slot;
    }

    void Tick(double seconds) {
        clock_.AdvanceSeconds(seconds);
        station_->Timer1Timer();
    }

    std::string dir_;
    ManualClock clock_;
    RecordingSetter setter_;
    std::unique_ptr<FlightTable> table_;
    std::unique_ptr<Station> station_;
    std::vector<std::string> questions_, captions_;
    bool answer_ = true;
    std::optional<std::string> dialogAnswer_;
    SaveDialogRequest lastRequest_;
};

TEST_F(StationTest, CreationMakesTheDirectoriesAndRefusesASecondCopy) {
    for (const char* sub : {"aerova-img", "aerova-logs", "userdata"})
        EXPECT_TRUE(DirectoryExists(JoinPath(dir_, sub))) << sub;
    EXPECT_TRUE(FileExists(JoinPath(dir_, "aerova-logs/aerova-error.log")));
    auto second = MakeStation();
    EXPECT_FALSE(second->FormCreate());
}

TEST_F(StationTest, TargetAgesThroughInactiveDeletedAndFree) {
    station_->ApplyTimeouts(TimeoutChoices{});  // 6 s inactive, 0.5 min delete
    const int slot = AddTarget("4CA1FA");
    Tflight& f = table_->flights[slot];
    Tick(5.5);
    EXPECT_EQ(f.state, 1) << "not older than the time-out yet";
    Tick(1);
    EXPECT_EQ(f.state, 0);
    EXPECT_FALSE(f.deleted);
    Tick(23);
    EXPECT_FALSE(f.deleted);
    Tick(1);
    EXPECT_TRUE(f.deleted);
    EXPECT_FALSE(f.free);
    EXPECT_TRUE(table_->trails.InUse(f.trailring));
    clock_.AdvanceSeconds(15 * 60 - 31);
    station_->Timer1Timer();
    EXPECT_FALSE(f.free);
    clock_.AdvanceSeconds(1);
    station_->Timer1Timer();
    EXPECT_TRUE(f.free);
    EXPECT_FALSE(table_->trails.InUse(f.trailring));
}

TEST_F(StationTest, HoldFlagsKeepTargetsActive) {
    station_->timeouts.flightDeleteMin = 60;  // keep them from being deleted meanwhile
    struct Case {
        bool Tflight::*hold;
        double activeUntilSec;
    } cases[] = {{&Tflight::hold30s, 30}, {&Tflight::hold3min, 180}, {&Tflight::hold45min, 2700}};
    for (const auto& c : cases) {
        table_->ResetFlightTable();
        const int slot = AddTarget("3C6586");
        table_->flights[slot].*(c.hold) = true;
        clock_.AdvanceSeconds(c.activeUntilSec - 0.5);
        station_->Timer1Timer();
        EXPECT_EQ(table_->flights[slot].state, 1) << c.activeUntilSec;
        clock_.AdvanceSeconds(1);
        station_->Timer1Timer();
        EXPECT_EQ(table_->flights[slot].state, 0) << c.activeUntilSec;
    }
}

TEST_F(StationTest, VesselsUnheardForAnHourAreDeleted) {
    const int quiet = AddTarget("K11111"), heard = AddTarget("K22222");
    table_->flights[quiet].vessel = table_->flights[heard].vessel = true;
    clock_.AdvanceSeconds(59 * 60);
    table_->flights[heard].lastseen = station_->clock().UtcNow();
    station_->Timer1Timer();
    EXPECT_FALSE(table_->flights[quiet].deleted) << "an anchored ship reports every 3 minutes";
    clock_.AdvanceSeconds(2 * 60);
    station_->Timer1Timer();
    EXPECT_TRUE(table_->flights[quiet].deleted);
    EXPECT_FALSE(table_->flights[heard].deleted);
}

TEST_F(StationTest, TargetsWithoutPositionAgeWithThreeTimesTheTimeOuts) {
    station_->ApplyTimeouts(TimeoutChoices{});
    const int slot = AddTarget("400A0B", false);
    Tflight& f = table_->flights[slot];
    Tick(17.5);
    EXPECT_EQ(f.state, 1);
    Tick(1);
    EXPECT_EQ(f.state, 0);
    Tick(71);
    EXPECT_FALSE(f.deleted);
    Tick(1);
    EXPECT_TRUE(f.deleted);
}

TEST_F(StationTest, TrailIndexWrapsAndFreezeStandsStill) {
    const int slot = AddTarget("4CA1FA");
    const int ring = table_->flights[slot].trailring;
    for (int i = 0; i < kTrailPoints - 1; ++i) {
        table_->flights[slot].lastseen = station_->clock().UtcNow();
        station_->Timer1Timer();
    }
    EXPECT_EQ(station_->trailIndex(), kTrailPoints - 1);
    const TrailPoint& last = table_->trails.Point(ring, kTrailPoints - 1);
    EXPECT_EQ(last.kind, 1);
    const ModelPoint model = GeoToModel(51.5f, -0.25f, kTargetHeightKm);
    EXPECT_FLOAT_EQ(last.x, model.x);
    EXPECT_FLOAT_EQ(last.y, model.y);
    EXPECT_FLOAT_EQ(last.z, model.z);
    station_->Timer1Timer();
    EXPECT_EQ(station_->trailIndex(), 0);

    station_->radar[1].cbfreeze = true;
    table_->trails.Point(ring, 1).kind = 0;
    station_->Timer1Timer();
    EXPECT_EQ(station_->trailIndex(), 0);
    EXPECT_EQ(table_->trails.Point(ring, 1).kind, 0);
    station_->radar[1].cbfreeze = false;
    table_->windows[1].usercolour[slot] = true;
    station_->Timer1Timer();
    EXPECT_EQ(table_->trails.Point(ring, 1).kind, 2) << "user-coloured in either window";
    EXPECT_EQ(table_->trails.Point(ring, 1).fl, 0);
}

// While a radar picture is taken the cycle stands still, and it runs again once the pause
// ends, whichever way the picture code left.
TEST_F(StationTest, APausedCycleStandsStillUntilThePauseEnds) {
    const int before = station_->trailIndex();
    {
        Station::CyclePause pause(*station_);
        station_->Timer1Timer();
        EXPECT_EQ(station_->trailIndex(), before);
    }
    station_->Timer1Timer();
    EXPECT_EQ(station_->trailIndex(), (before + 1) % kTrailPoints);
}

// The cycle styles the targets before it records their trail points: the colour and the
// user-colour kind of a point come from the window's colour settings, whether or not any
// window has painted.
TEST_F(StationTest, TrailPointsTakeTheColourTheCycleGaveTheTarget) {
    const int slot = AddTarget("4CA1FA");
    table_->flights[slot].labeltext = "DLH123";
    const int other = AddTarget("3C6586");
    table_->flights[other].labeltext = "BAW1";
    const ColourTable colours;
    ColourMarks marks;
    marks.caption[31] = "DLH";
    station_->hooks.styleTargets = [&] { StyleTargets(*table_, 1, colours, marks, "400"); };
    station_->Timer1Timer();
    auto point = [&](int s) -> const TrailPoint& {
        return table_->trails.Point(table_->flights[s].trailring, station_->trailIndex());
    };
    EXPECT_EQ(point(slot).kind, 2);
    EXPECT_EQ((Rgb{point(slot).colour[0], point(slot).colour[1], point(slot).colour[2]}),
              colours[31]);
    EXPECT_EQ(point(other).kind, 1);
    EXPECT_EQ((Rgb{point(other).colour[0], point(other).colour[1], point(other).colour[2]}),
              colours[kColActiveFlight]);
}

TEST_F(StationTest, AFreedSlotNoLongerWritesIntoTheRingItOnceHad) {
    const int a = AddTarget("000001");
    table_->flights[a].deleted = true;
    table_->FreeSlot(a);
    const int b = AddTarget("000002");
    ASSERT_EQ(table_->flights[b].trailring, table_->flights[a].trailring);
    station_->Timer1Timer();
    EXPECT_EQ(table_->trails.Point(table_->flights[b].trailring, station_->trailIndex()).kind, 1);
}

TEST_F(StationTest, DatagramsQueuedDuringTheTickAreDrainedAtItsEnd) {
    std::vector<std::string> order;
    station_->hooks.listenerActive = [] { return true; };
    station_->hooks.redrawWindows = [&] { order.push_back("redraw"); };
    station_->hooks.drainQueue = [&] {
        EXPECT_TRUE(station_->queue.queueing);
        order.push_back("drain " + std::to_string(station_->queue.count));
    };
    station_->hooks.feedConnected = [] { return true; };
    station_->hooks.sendFeed = [&] { order.push_back("feed"); };
    station_->queue.count = 2;
    station_->Timer1Timer();
    EXPECT_EQ(order, (std::vector<std::string>{"redraw", "feed", "drain 2"}));
    EXPECT_FALSE(station_->queue.queueing);
    EXPECT_EQ(station_->queue.count, 0);
    EXPECT_EQ(station_->announceCountdown(), 2);
    EXPECT_TRUE(station_->timer1Enabled());

    // With the listener closed the queue is dropped unapplied.
    station_->hooks.listenerActive = [] { return false; };
    order.clear();
    station_->queue.count = 3;
    station_->Timer1Timer();
    EXPECT_EQ(order, (std::vector<std::string>{"redraw", "feed"}));
    EXPECT_EQ(station_->queue.count, 0);
}

TEST_F(StationTest, MidnightRestartOnlyOnTheTickFromTwentyThreeToZero) {
    station_->bst.spbbstfile = true;
    station_->bst.cbrestartBST1 = true;
    station_->bst.initialDir = JoinPath(dir_, "bst");
    clock_.Set(EncodeDateTime(2026, 12, 9, 23, 59, 55, 0));
    station_->spbbstfileClick(false);
    const std::string first = station_->listFiles.listPath;
    EXPECT_EQ(ExtractFileName(first), "20261209-235955.bst");
    station_->stattimerTimer();
    clock_.Set(EncodeDateTime(2026, 12, 10, 0, 0, 5, 0));
    station_->stattimerTimer();
    EXPECT_EQ(ExtractFileName(station_->listFiles.listPath), "20261210-000005.bst");
    EXPECT_TRUE(FileExists(JoinPath(dir_, "bst/nopos/np-20261210-000005.bst")));
    clock_.Set(EncodeDateTime(2026, 12, 10, 0, 0, 15, 0));
    station_->stattimerTimer();
    EXPECT_EQ(ExtractFileName(station_->listFiles.listPath), "20261210-000005.bst");

    // Without open files nothing happens at midnight.
    station_->bst.spbbstfile = false;
    station_->spbbstfileClick(true);
    EXPECT_FALSE(station_->listFiles.open);
    clock_.Set(EncodeDateTime(2026, 12, 10, 23, 59, 59, 0));
    station_->stattimerTimer();
    clock_.Set(EncodeDateTime(2026, 12, 11, 0, 0, 9, 0));
    station_->stattimerTimer();
    EXPECT_FALSE(station_->listFiles.open);
}

TEST_F(StationTest, ListFileButtonWithDialog) {
    station_->bst.spbbstfile = true;
    dialogAnswer_.reset();
    station_->spbbstfileClick(true);
    EXPECT_FALSE(station_->bst.spbbstfile) << "cancel releases the button";
    EXPECT_EQ(lastRequest_.defaultExt, "bst");
    EXPECT_EQ(lastRequest_.filter, "Basestation list files |*.bst");
    EXPECT_EQ(lastRequest_.proposedName, "20261209-120000");

    dialogAnswer_ = JoinPath(dir_, "mine/log.bst");
    std::filesystem::create_directories(JoinPath(dir_, "mine"));
    station_->bst.spbbstfile = true;
    station_->spbbstfileClick(true);
    EXPECT_TRUE(station_->listFiles.open);
    EXPECT_EQ(station_->bst.pnbstColour, kGreenColour);
    EXPECT_TRUE(FileExists(JoinPath(dir_, "mine/nopos/np-log.bst")));
    EXPECT_EQ(station_->bst.initialDir, JoinPath(dir_, "mine"));
}

// A list line that can't be written keeps its mark and is written once the file can be;
// the error log gets one line per failing episode, not one per tick.
TEST_F(StationTest, ListLineThatCannotBeWrittenIsKeptAndTriedAgain) {
    station_->bst.spbbstfile = true;
    station_->bst.initialDir = JoinPath(dir_, "bst");
    station_->spbbstfileClick(false);
    const std::string list = station_->listFiles.listPath;
    const int a = AddTarget("4CA1FA");
    auto fail = [&] {
        std::filesystem::remove(list);
        std::filesystem::create_directories(list);  // a folder where the file should be
    };
    auto heal = [&] { std::filesystem::remove_all(list); };
    auto errorLines = [&] {
        int n = 0;
        for (const std::string& l : ReadLines(JoinPath(dir_, "aerova-logs/aerova-error.log")))
            n += l.find("Cannot write the list file") != std::string::npos;
        return n;
    };
    fail();
    for (int tick = 0; tick < 3; ++tick) {
        table_->flights[a].logpending = true;
        table_->flights[a].lastseen = station_->clock().UtcNow();
        Tick(1);
    }
    EXPECT_TRUE(table_->flights[a].logpending);
    EXPECT_EQ(errorLines(), 1);
    heal();
    table_->flights[a].lastseen = station_->clock().UtcNow();
    Tick(1);
    EXPECT_FALSE(table_->flights[a].logpending);
    EXPECT_EQ(ReadLines(list).size(), 1u);
    fail();
    table_->flights[a].logpending = true;
    table_->flights[a].lastseen = station_->clock().UtcNow();
    Tick(1);
    EXPECT_EQ(errorLines(), 2) << "a new episode";
}

TEST_F(StationTest, ShutDownDeletesEveryTargetAndWritesPendingLines) {
    station_->bst.spbbstfile = true;
    station_->bst.initialDir = JoinPath(dir_, "bst");
    station_->spbbstfileClick(false);
    const int a = AddTarget("4CA1FA");
    const int b = AddTarget("3C6586");
    table_->flights[a].logpending = true;
    table_->flights[a].modesdec = "5022202";

    answer_ = false;
    EXPECT_FALSE(station_->FormCloseQuery());
    EXPECT_FALSE(table_->flights[a].deleted);
    answer_ = true;
    EXPECT_TRUE(station_->FormCloseQuery());
    EXPECT_EQ(questions_.back(), "Quit Aerova Solo now?|Aerova mini Edition");
    EXPECT_TRUE(table_->flights[a].deleted);
    EXPECT_TRUE(table_->flights[b].deleted);
    const auto lines = ReadLines(station_->listFiles.listPath);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(",\"5022202\",\"4CA1FA\","), std::string::npos) << lines[0];
    // Settings and list files are saved before the connections are closed.
    const std::vector<std::string> expected = {"Saving to aerovas.ini...",
                                               "Saving to aerovas.ini",
                                               "Saving to aerovas.sbs.ini",
                                               "Shutdown log files...",
                                               "Shutdown internet connections...",
                                               "Shutdown serial interface...",
                                               "Clean up registry...",
                                               "Shutdown completed."};
    EXPECT_EQ(captions_, expected);
    EXPECT_FALSE(station_->timer1Enabled());
}

TEST_F(StationTest, UnexpectedExceptionsAreLoggedOneLineEach) {
    station_->HandleException(std::runtime_error("boom"));
    const auto lines = ReadLines(JoinPath(dir_, "aerova-logs/aerova-error.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "2026-12-09 12:00:00 - aerovas.exe - Unexpected exception: boom");
    bool lost = false;
    station_->hooks.receiverGone = [&](bool portLost) { lost = portLost; };
    station_->HandleException(std::runtime_error("WriteFile function failed (win error code: 5)"));
    EXPECT_TRUE(lost);
    EXPECT_EQ(ReadLines(JoinPath(dir_, "aerova-logs/aerova-error.log")).size(), 1u);
}

}  // namespace
}  // namespace aerova
