// The no-position list in the desktop station: the main window's and the radar windows'
// buttons show it, the close box releases all three, "N" only the main window's, the
// station's targets without position are listed after a tick, and its settings travel.

#include "app/desktop_no_position.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QToolButton>
#include <mutex>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "base/strings.h"
#include "platform/test_port_offset.h"
#include "platform/testing/event_wait.h"
#include "radar/gui_test_support.h"
#include "radar/radar_controls.h"
#include "tools/no_position_window.h"

namespace aerova {
namespace {

RunOptions Options(const QDir& dir, int salt) {
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(salt);
    return options;
}

QDir FreshDir(const char* name) {
    QDir dir(QDir::tempPath() + "/" + name + "-" + QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    dir.mkpath(".");
    return dir;
}

TEST(Gui, NoPositionListFollowsItsButtonsAndListsTheStationsTargets) {
    REQUIRE_DISPLAY();
    const QDir dir = FreshDir("aerova-nopos-gui");
    IniFile ini(JoinPath(dir.path().toStdString(), "aerovas.ini"));
    ini.WriteString("main", "firstrun", "0");
    ini.WriteString("control", "sortid", "0");
    ini.WriteString("control", "sortalt", "1");
    ini.WriteString("control", "sortreg", "1");  // a second button down: the first one wins
    ini.WriteString("control", "altfiltertext", "Fi7");
    ini.WriteString("nonpos", "width", "900");
    ASSERT_TRUE(ini.UpdateFile());
    {
        DesktopStation station(Options(dir, 23));
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        DesktopNoPosition& nopos = station.noPosition();
        ASSERT_TRUE(station.Start());
        EXPECT_EQ(SortOf(nopos.state()), NoPositionSort::kAlt);
        EXPECT_EQ(nopos.state().sbfilterCaption, "Fi1");
        EXPECT_LE(nopos.window().width(), 408);

        NoPositionWindow& window = nopos.window();
        QToolButton* main = station.mainWindow().button("spbnonvislist");
        QToolButton* radar1 = station.radar(1).controls().button("spbnonvislist");
        QToolButton* radar2 = station.radar(2).controls().button("spbnonvislist");
        ASSERT_TRUE(main->isEnabled());
        ASSERT_TRUE(radar1->isEnabled());
        EXPECT_FALSE(window.isVisible());

        // A target without position, and one with, as the station holds them.
        {
            std::scoped_lock guard(station.station().tableMutex);
            FlightTable& table = station.table();
            const int slot = table.AllocateSlot();
            Tflight& f = table.flights[static_cast<std::size_t>(slot)];
            f.deleted = f.free = false;
            f.state = 1;
            f.nopos = true;
            f.modes = "4CA123";
            f.labeltext = "RYR1AB";
            f.altlabel = "F250";
            testing::AddTarget(table, 53.6f, 10.0f, "F350", "1000");
            nopos.Rebuild();
        }
        main->click();
        ASSERT_TRUE(testing::WaitForEvents([&] { return window.isVisible(); }));
        EXPECT_EQ(window.windowTitle(), "2 flights");
        ASSERT_EQ(window.shown().rows.size(), 2u);
        EXPECT_EQ(Trim(window.shown().rows[1].line.substr(8, 12)), "RYR1AB");  // F250 below F350

        EXPECT_TRUE(radar1->isChecked() && radar2->isChecked());

        // "N" in the window: hidden, the main window's button up, the radar buttons as they were.
        QKeyEvent n(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, "n");
        QApplication::sendEvent(window.lbnopos(), &n);
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(main->isChecked());
        EXPECT_TRUE(radar1->isChecked() && radar2->isChecked());

        // A radar window's button pressed down shows it again; the close box releases all three.
        radar1->click();
        radar1->click();
        EXPECT_TRUE(main->isChecked());
        EXPECT_TRUE(radar2->isChecked());
        ASSERT_TRUE(testing::WaitForEvents([&] { return window.isVisible(); }));
        window.close();
        EXPECT_FALSE(main->isChecked() || radar1->isChecked() || radar2->isChecked());
        radar2->click();
        EXPECT_TRUE(main->isChecked() && radar1->isChecked());
        EXPECT_TRUE(window.isVisible());

        // The radar windows' key for the list toggles the main window's button.
        station.radar(1).RunCommand(RadarCommand::kToggleNoPositionList);
        EXPECT_FALSE(main->isChecked() || radar1->isChecked() || radar2->isChecked());
        EXPECT_FALSE(window.isVisible());
        station.radar(1).RunCommand(RadarCommand::kToggleNoPositionList);
        EXPECT_TRUE(window.isVisible());

        window.button("buuconly")->click();
        EXPECT_EQ(window.windowTitle(), "0 flights");
        ASSERT_TRUE(station.station().settingsFile.SaveSettings(ini.path()));
        station.radar(1).hide();
        station.radar(2).hide();
        window.hide();
    }
    IniFile saved(ini.path());
    EXPECT_EQ(saved.ReadString("control", "sortalt", ""), "1");
    EXPECT_EQ(saved.ReadString("control", "sortreg", ""), "0");
    EXPECT_EQ(saved.ReadString("control", "uconly", ""), "1");
    EXPECT_EQ(saved.ReadString("nonpos", "visible", ""), "1");
}

}  // namespace
}  // namespace aerova
