// The script window in the desktop station: the stored script is loaded and checked again
// when reception starts, the main window's script button shows and hides the window, and a
// shut-down keeps the script's settings.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <fstream>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_window.h"

namespace aerova {
namespace {

TEST(Gui, TheStoredAlertScriptIsCheckedAtStartAndItsSettingsKept) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-script-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    ASSERT_TRUE(dir.mkpath("aerova-scripts"));
    const std::string station = dir.path().toStdString();
    std::ofstream(JoinPath(station, "aerova-scripts/police.aqs"))
        << "ONFLIGHT POLICE1 DOPOPUP \"Police\"\n$common.aqs$\n";
    std::ofstream(JoinPath(station, "aerova-scripts/common.aqs")) << "ONSQUAWK 7700 DOALERT\n";
    const std::string path = JoinPath(station, "aerovas.ini");
    IniFile ini(path);
    ini.WriteString("script", "filename", "police.aqs");
    ini.WriteString("script", "active", "1");
    ini.WriteString("script", "execute", "300");
    ini.WriteString("main", "firstrun", "0");
    ASSERT_TRUE(ini.UpdateFile());
    RunOptions options;
    options.stationDir = station;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(13);
    {
        DesktopStation desk(options);
        desk.askOverride = [](const std::string&, const std::string&) { return true; };
        ASSERT_TRUE(desk.Start());
        ScriptWindow& w = desk.scriptWindow();
        EXPECT_EQ(w.windowTitle(), "Aerova Panorama Script");
        EXPECT_TRUE(w.runButton().isChecked());
        ASSERT_EQ(w.errorList().count(), 1);
        EXPECT_EQ(w.errorList().item(0)->text(), "No errors.");
        EXPECT_EQ(w.checked().program,
                  " 010 ONFLIGHT POLICE1 DOPOPUP \"Police\"\n 020 ONSQUAWK 7700 DOALERT");
        EXPECT_EQ(w.executeSlider().value(), 10);

        QToolButton* button = desk.mainWindow().button("sbscript");
        ASSERT_TRUE(button->isEnabled());
        button->click();
        EXPECT_TRUE(w.isVisible());
        w.runButton().click();  // released: editable again, and no longer running
        w.executeSlider().setValue(2);
        w.close();
        EXPECT_FALSE(button->isChecked());
        desk.radar(1).hide();
        desk.radar(2).hide();
        EXPECT_TRUE(desk.Quit());
    }
    const IniFile saved(path);
    EXPECT_EQ(saved.ReadString("script", "filename", ""), "police.aqs");
    EXPECT_EQ(saved.ReadString("script", "active", ""), "0");
    EXPECT_EQ(saved.ReadString("script", "execute", ""), "60");
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
