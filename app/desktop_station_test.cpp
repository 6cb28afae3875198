// The desktop station on a real display (Xvfb with Mesa): the start-up order of its windows,
// their captions and buttons, a target reaching the radar windows, the quit question, and a
// screenshot of each window as an artifact.

#include "app/desktop_station.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>
#include <QToolButton>

#include "app/main_window.h"
#include "app/startup_window.h"
#include "radar/gui_test_support.h"

namespace aerova {
namespace {

using testing::AddTarget;
using testing::ArtifactPath;
using testing::GrabFrame;

TEST(Gui, DesktopStationStartsInOrderAndWritesScreenshots) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-gui-test-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = 20000 + static_cast<int>(QApplication::applicationPid() % 5000);
    DesktopStation station(options);
    std::vector<std::string> questions;
    station.askOverride = [&](const std::string& q, const std::string& title) {
        questions.push_back(q + "|" + title);
        return true;
    };
    ASSERT_TRUE(station.Start());
    const std::vector<QString> order = {"Form1", "trayicon", "startup", "Radar1", "Radar2"};
    EXPECT_EQ(station.creationOrder(), order);
    EXPECT_EQ(station.mainWindow().windowTitle().toStdString(), "Aerova mini Edition V1.0.0");
    EXPECT_EQ(station.radar(1).windowTitle(), "Aerova mini Edition [1]");
    EXPECT_EQ(station.radar(2).windowTitle(), "Aerova mini Edition [2]");
    ASSERT_FALSE(station.startupWindow().history().isEmpty());
    EXPECT_TRUE(station.startupWindow().history().contains("Checking time... "))
        << station.startupWindow().history().join("|").toStdString();
    EXPECT_EQ(station.startupWindow().result(), "Time check failed");
    EXPECT_TRUE(station.radar(1).isVisible());
    EXPECT_FALSE(station.mainWindow().isVisible());  // steps aside while a radar window shows
    EXPECT_TRUE(station.mainWindow().button("spbradar1")->isChecked());
    EXPECT_TRUE(station.mainWindow().button("spbquit")->isEnabled());
    EXPECT_FALSE(station.mainWindow().button("spbLabelEditor")->isEnabled());
    station.SetReceiving(true);
    EXPECT_EQ(station.trayIcon()->toolTip(), "Receiving...");
    station.SetReceiving(false);
    EXPECT_EQ(station.trayIcon()->toolTip(), "Aerova mini Edition");

    const int first = AddTarget(station.table(), 53.65f, 10.1f, "F350", "1234");
    Tflight& f = station.table().flights[static_cast<std::size_t>(first)];
    f.track3 = "090";
    f.trackf = 90;
    station.UpdateTarget(first);
    const TargetScreenEntry& entry = station.radar(1).cache()[static_cast<std::size_t>(first)];
    EXPECT_EQ(entry.labelMode, kLabelFromTrack);
    EXPECT_EQ(entry.labelPosition, 2);
    EXPECT_NE(entry.bearingText.view(), "???");
    EXPECT_NE(entry.distanceText.view(), "????.?");
    const int selected = AddTarget(station.table(), 53.45f, 9.8f, "F280", "7700");
    station.table().windows[0].selected = selected;
    EXPECT_TRUE(
        GrabFrame(station.radar(1)).save(QString::fromStdString(ArtifactPath("radar1.png"))));
    EXPECT_TRUE(
        GrabFrame(station.radar(2)).save(QString::fromStdString(ArtifactPath("radar2.png"))));
    station.radar(1).hide();
    station.radar(2).hide();
    QApplication::processEvents();
    EXPECT_TRUE(station.mainWindow().isVisible());  // back when no radar window shows
    EXPECT_TRUE(
        station.mainWindow().grab().save(QString::fromStdString(ArtifactPath("main_window.png"))));
    station.startupWindow().show();
    EXPECT_TRUE(station.startupWindow().grab().save(
        QString::fromStdString(ArtifactPath("startup_window.png"))));
    station.startupWindow().hide();

    EXPECT_TRUE(station.Quit());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Quit Aerova Solo now?|Aerova mini Edition");
    EXPECT_TRUE(station.station().shutdownBegun());
    EXPECT_EQ(station.mainWindow().windowTitle().toStdString(), "Shutdown completed.");
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
