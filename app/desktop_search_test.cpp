// The search window in the desktop station: a search for a call sign centres radar window 1
// on the flight, and the display choice comes from and goes back to the settings.

#include "app/desktop_search.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_window.h"
#include "tools/search_window.h"

namespace aerova {
namespace {

void SendKey(QWidget* to, int key, const QString& text = {}) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(to, &event);
    }
}

TEST(Gui, ASearchForACallSignCentresRadarWindowOneOnIt) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-search-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    ASSERT_TRUE(dir.mkpath("."));
    const std::string path = JoinPath(dir.path().toStdString(), "aerovas.ini");
    IniFile ini(path);
    ini.WriteString("main", "firstrun", "0");
    // A hand-edited file with both displays ticked: the first one wins.
    ini.WriteString("search", "search1", "1");
    ini.WriteString("search", "search2", "1");
    ASSERT_TRUE(ini.UpdateFile());
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(27);
    {
        DesktopStation desk(options);
        desk.askOverride = [](const std::string&, const std::string&) { return true; };
        ASSERT_TRUE(desk.Start());
        DesktopSearch& search = desk.search();
        SearchWindow& w = search.window();
        EXPECT_TRUE(w.control("search1")->isChecked());
        EXPECT_FALSE(w.state().search2);

        RadarWindow& radar1 = desk.radar(1);
        RadarWindow& radar2 = desk.radar(2);
        radar1.show();
        radar2.show();
        const RadarView before2 = radar2.view();
        const int slot = testing::AddTarget(desk.table(), 47.25f, 8.5f, "F350", "1000");
        const float distance = radar1.view().cameraDistance;

        search.Show();
        ASSERT_TRUE(w.isVisible());
        for (char c : std::string("dlh12")) {
            const int key = c >= 'a' ? Qt::Key_A + (c - 'a') : Qt::Key_0 + (c - '0');
            SendKey(&w.edit(), key, QString(c));
        }
        SendKey(&w.edit(), Qt::Key_Return);
        ASSERT_EQ(w.list().count(), 1);
        EXPECT_EQ(w.windowTitle(), "DLH12");

        EXPECT_FLOAT_EQ(radar1.view().centreLat, 47.25f);
        EXPECT_FLOAT_EQ(radar1.view().centreLon, 8.5f);
        EXPECT_FLOAT_EQ(radar1.view().cameraDistance, distance);
        EXPECT_EQ(radar1.marks().selected, slot);
        EXPECT_EQ(radar1.marks().followed, -1);  // "Follow" unticked: centred once
        EXPECT_FLOAT_EQ(radar2.view().centreLat, before2.centreLat);
        EXPECT_FLOAT_EQ(radar2.view().centreLon, before2.centreLon);

        // The flight moves on; the window stays where the search put it.
        desk.table().flights[static_cast<std::size_t>(slot)].latf = 48.0f;
        testing::GrabFrame(radar1);
        EXPECT_FLOAT_EQ(radar1.view().centreLat, 47.25f);

        SendKey(&w.edit(), Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        if (QToolButton* button = desk.mainWindow().button("sbsearch")) {
            EXPECT_FALSE(button->isChecked());
        }
        radar1.hide();
        radar2.hide();
        EXPECT_TRUE(desk.Quit());
    }
    const IniFile saved(path);
    EXPECT_EQ(saved.ReadString("search", "search1", ""), "1");
    EXPECT_EQ(saved.ReadString("search", "search2", ""), "0");
    EXPECT_EQ(saved.ReadString("search", "follow", ""), "0");
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
