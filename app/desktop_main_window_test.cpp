// The main window's own pieces on a real display: the activity lamp follows a receiver on a
// pseudo-terminal and blinks red when it goes away, the PCR-1000 monitor listens while its
// button is down, and today's new aircraft are listed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QToolButton>
#include <QUdpSocket>

#include "app/activity_lamp.h"
#include "app/desktop_station.h"
#include "app/main_window.h"
#include "app/pcr_monitor.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_port_offset.h"
#include "platform/testing/event_wait.h"
#include "radar/gui_test_support.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "receiver/receiver_link.h"
#include "receiver/test_pty_pair.h"

namespace aerova {
namespace {

QString FreshStation(const char* name) {
    QDir dir(QDir::tempPath() + "/aerova-" + name + "-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    dir.mkpath(".");
    IniFile ini(JoinPath(dir.path().toStdString(), "aerovas.ini"));
    ini.WriteString("main", "firstrun", "0");
    ini.UpdateFile();
    return dir.path();
}

RunOptions Options(const QString& dir, int salt) {
    RunOptions options;
    options.stationDir = dir.toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(salt);
    return options;
}

// A DF 17 identification frame text with its parity intact.
constexpr char kFrame[] = "*8D4840D6202CC371C32CE0576098;\r\n";

TEST(Gui, TheActivityLampFollowsTheReceiverAndBlinksRedWhenItGoesAway) {
    REQUIRE_DISPLAY();
    const QString dir = FreshStation("lamp");
    DesktopStation station(Options(dir, 16));
    ASSERT_TRUE(station.Start());
    RadarControls& bar1 = station.radar(1).controls();
    RadarControls& bar2 = station.radar(2).controls();
    ReceiverLink& link = station.services().receiver();
    {
        testing::PtyPair pty;
        if (!pty.ok()) GTEST_SKIP() << "socat pseudo-terminals not available";
        station.receiverBar().cbCOMPORTS = pty.linkEnd().toStdString();
        bar1.button("sbUSB")->click();
        ASSERT_TRUE(testing::WaitForEvents([&] { return link.portOpen(); }));
        EXPECT_TRUE(bar2.button("sbUSB")->isChecked());

        pty.Write(kFrame);
        ASSERT_TRUE(testing::WaitForEvents([&] { return bar1.lampLit(); }));
        EXPECT_EQ(bar1.lampColour(), ActivityIndicator::kGreen);
        EXPECT_TRUE(bar2.lampLit());
        EXPECT_TRUE(station.receiving());  // the tray says "Receiving..."
        // The receiver poll puts lamp and tray back to idle.
        ASSERT_TRUE(
            testing::WaitForEvents([&] { return !bar1.lampLit() && !station.receiving(); }, 3000));
    }  // socat ends: the receiver goes away under the open port

    ASSERT_TRUE(testing::WaitForEvents([&] { return !link.portOpen(); }));
    EXPECT_EQ(bar1.lampColour(), ActivityIndicator::kRed);
    EXPECT_TRUE(station.activityLamp()->look().blinking);
    EXPECT_FALSE(bar1.button("sbUSB")->isChecked());  // both port buttons come up
    EXPECT_FALSE(bar2.button("sbUSB")->isChecked());
    // It blinks: dark and lit again.
    ASSERT_TRUE(testing::WaitForEvents([&] { return !bar1.lampLit(); }, 1000));
    ASSERT_TRUE(testing::WaitForEvents([&] { return bar1.lampLit(); }, 1000));

    // Five seconds later it is dark and green; frames from a receiver light it green.
    ASSERT_TRUE(testing::WaitForEvents([&] { return !station.activityLamp()->lost(); }, 7000));
    EXPECT_FALSE(station.activityLamp()->look().blinking);
    EXPECT_EQ(bar1.lampColour(), ActivityIndicator::kGreen);
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    station.receiverBar().cbCOMPORTS = pty.linkEnd().toStdString();
    bar2.button("sbUSB")->click();
    ASSERT_TRUE(testing::WaitForEvents([&] { return link.portOpen(); }));
    pty.Write(kFrame);
    ASSERT_TRUE(testing::WaitForEvents([&] { return bar1.lampLit(); }));
    EXPECT_EQ(bar1.lampColour(), ActivityIndicator::kGreen);
    bar2.button("sbUSB")->click();
}

TEST(Gui, ThePcrMonitorListensWhileItsButtonIsDownAndTodaysNewAircraftAreListed) {
    REQUIRE_DISPLAY();
    const QString dir = FreshStation("pcr");
    IniFile pcr(JoinPath(dir.toStdString(), "pcrmon.ini"));
    pcr.WriteInteger("udp", "port", 0);  // any free port
    ASSERT_TRUE(pcr.UpdateFile());
    // Today's log of new aircraft, as the database writes it.
    const QString today = QDateTime::currentDateTimeUtc().toString("yyyyMMdd");
    const std::string log = JoinPath(dir.toStdString(), "aerova-bst/log");
    ForceDirectories(log);
    ASSERT_TRUE(WriteFileReplacing(JoinPath(log, today.toStdString() + ".new.log"),
                                   "3C6586 D-ABYT\r\n4840D6 PH-BXA\r\n"));
    DesktopStation station(Options(dir, 17));
    ASSERT_TRUE(station.Start());
    QListWidget* lbnew = station.mainWindow().lbnew();
    ASSERT_EQ(lbnew->count(), 2);
    EXPECT_EQ(lbnew->item(1)->text(), "4840D6 PH-BXA");

    QToolButton* button = station.mainWindow().button("sbpcr1000");
    button->click();
    PcrMonitorWindow& monitor = station.pcrMonitor();
    ASSERT_TRUE(monitor.listening());
    EXPECT_TRUE(monitor.isVisible());
    QUdpSocket sender;
    sender.writeDatagram("FREQ 1090.000 MHz\r\n", QHostAddress::LocalHost, monitor.port());
    ASSERT_TRUE(testing::WaitForEvents([&] { return !monitor.lastReading().empty(); }, 5000));
    EXPECT_EQ(monitor.lastReading(), "FREQ 1090.000 MHz");

    // Closing the window closes the listener and releases the button.
    monitor.close();
    EXPECT_FALSE(monitor.listening());
    EXPECT_FALSE(button->isChecked());

    // A port that is taken: the button comes up again and the error log says why.
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::Any, 0));
    pcr.WriteInteger("udp", "port", taken.localPort() - testing::TestPortOffset(17));
    ASSERT_TRUE(pcr.UpdateFile());
    button->click();
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(monitor.listening());
    std::string errors;
    ASSERT_TRUE(ReadWholeFile(JoinPath(dir.toStdString(), "aerova-logs/aerova-error.log"), errors));
    EXPECT_NE(errors.find("PCR-1000 monitor: cannot listen"), std::string::npos);
}

}  // namespace
}  // namespace aerova
