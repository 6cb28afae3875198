// The "Configuration" window in the running desktop station: the SBS buttons of the main and
// radar windows show it, "From screen center #1" takes radar window 1's centre to the
// hundredth, "Save and close" writes "aerovas.sbs.ini" and releases every button, and the
// slave switch narrows what ingest accepts while the report listener stays open.

#include "app/desktop_receiver_config.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/ini_file.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "receiver/receiver_settings_window.h"

namespace aerova {
namespace {

TEST(Gui, ConfigurationWindowFollowsTheButtonsAndKeepsTheListenerOpen) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-config-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.portOffset = testing::TestPortOffset(36);
    {
        DesktopStation station(options);
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        DesktopReceiverConfig& config = station.receiverConfig();
        ASSERT_TRUE(station.Start());
        ASSERT_TRUE(station.services().listening());
        QToolButton* main = station.mainWindow().button("spbdctconfig");
        ASSERT_TRUE(main->isEnabled());
        main->click();
        ReceiverSettingsWindow& window = config.window();
        EXPECT_TRUE(window.isVisible());
        for (int tag = 1; tag <= 2; ++tag)
            EXPECT_TRUE(station.radar(tag).controls().button("spbdctconfig")->isChecked());

        // Radar window 1 shows 48.35 N 9.1 E: the lists take exactly that.
        ASSERT_TRUE(station.radar(1).isVisible());
        station.radar(1).view().centreLat = 48.35f;
        station.radar(1).view().centreLon = 9.1f;
        window.pushButton("buscreen1")->click();
        const ReceiverSettings& rs = station.services().receiverSettings;
        EXPECT_EQ(rs.cblat1, 48);
        EXPECT_EQ(rs.cblat2, 35);
        EXPECT_EQ(rs.cblong1, 9);
        EXPECT_EQ(rs.cblong2, 10);

        // Unticking "Slave" changes the filter only: the station's own reports still arrive.
        window.check("cbslave")->click();
        EXPECT_TRUE(station.services().ingestSettings.cbslave);
        EXPECT_TRUE(station.services().networkSettings.cbslave);
        window.check("cbslave")->click();
        EXPECT_FALSE(station.services().ingestSettings.cbslave);
        EXPECT_FALSE(station.services().networkSettings.cbslave);
        EXPECT_TRUE(station.services().listening());

        window.pushButton("Button1")->click();
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(main->isChecked());
        for (int tag = 1; tag <= 2; ++tag)
            EXPECT_FALSE(station.radar(tag).controls().button("spbdctconfig")->isChecked());
        const IniFile ini(dir.filePath("aerovas.sbs.ini").toStdString());
        EXPECT_TRUE(ini.ReadBool("init", "sbs", false));
        EXPECT_EQ(ini.ReadInteger("default", "lat1", 0), 48);
        EXPECT_EQ(ini.ReadInteger("default", "lat2", 0), 35);
        station.radar(1).hide();
        station.radar(2).hide();
    }
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
