// The desktop station on a real display (Xvfb with Mesa): the start-up order of its windows,
// their captions and buttons, a target reaching the radar windows, the quit question, and a
// screenshot of each window as an artifact.

#include "app/desktop_station.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>

#include "app/main_window.h"
#include "app/startup_window.h"
#include "platform/test_port_offset.h"
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
    options.portOffset = testing::TestPortOffset(0);
    DesktopStation station(options);
    std::vector<std::string> questions;
    station.askOverride = [&](const std::string& q, const std::string& title) {
        questions.push_back(q + "|" + title);
        return true;
    };
    ASSERT_TRUE(station.Start());
    const std::vector<QString> order = {"Form1",  "trayicon", "startup", "Radar1",
                                        "Radar2", "mini",     "ftp"};
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
    EXPECT_TRUE(station.mainWindow().button("spbLabelEditor")->isEnabled());
    for (const char* name :
         {"spbnonvislist", "spbdctconfig", "spbpeers", "sbpcr1000", "spbdb", "sbatc", "sbsearch"})
        EXPECT_TRUE(station.mainWindow().button(name)->isEnabled()) << name;
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

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <csignal>

#include "base/files.h"
#include "base/ini_file.h"
#include "radar/radar_controls.h"
#include "radar/radar_help_window.h"
#include "radar/radar_window.h"

namespace aerova {
namespace {

QString FreshStationDir(const char* name) {
    QDir dir(QDir::tempPath() + "/aerova-" + name + "-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    return dir.path();
}

bool ProcessEventsUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The windows' state comes from the settings file and goes back into it; the configuration
// sets of the main window save and load it through the questions.
TEST(Gui, WindowSettingsLoadSaveAndConfigurationSets) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-settings");
    const std::string dir = qdir.toStdString();
    IniFile ini(JoinPath(dir, "aerovas.ini"));
    ini.WriteString("radar1", "rings", "2");
    ini.WriteString("radar1", "left", "100");
    ini.WriteString("radar1", "top", "120");
    ini.WriteString("radar1", "width", "800");
    ini.WriteString("radar1", "height", "600");
    ini.WriteString("radar2", "visible", "0");
    ini.WriteString("position", "radar1y", "-33.5");
    ini.WriteString("position", "radar1x", "151.25");
    ini.WriteString("filter", "upper1", "5");
    ini.WriteString("more", "labelalt1", "20");
    ini.WriteString("colors", "active", "255");
    ini.WriteString("usercolors", "color9", "255");                     // User2
    ini.WriteString("drawingsettings", "radarbackgroundcolour", "-1");  // not set
    ini.WriteString("colors", "enabled-radar2-44", "0");
    ini.WriteString("colors", "text-radar1-30", "Police");
    ini.WriteString("drawingsettings", "outlinestypes-2", "Aerodrome");
    ASSERT_TRUE(ini.UpdateFile());
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "keltrix.ini"), "[outlines]\r\n2=EDDH\r\n"));

    RunOptions options;
    options.stationDir = dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(1);
    DesktopStation station(options);
    std::vector<std::string> questions;
    bool answer = true;
    station.askOverride = [&](const std::string& q, const std::string&) {
        questions.push_back(q);
        return answer;
    };
    std::vector<std::string> messages;
    station.messageOverride = [&](const std::string& text, const std::string&) {
        messages.push_back(text);
    };
    ASSERT_TRUE(station.Start());
    RadarDisplayState& d1 = station.radar(1).display();
    EXPECT_EQ(d1.cbrings, "30");
    EXPECT_EQ(d1.cbupper, "410");
    EXPECT_EQ(d1.cblblalt, 200);
    EXPECT_EQ(d1.marks.caption[kColUserFirst], "Police");
    EXPECT_FALSE(station.radar(2).display().marks[kColGroundFlights]);
    EXPECT_EQ(station.colours()[kColActiveFlight], RgbFromColourInt(255));
    EXPECT_EQ(station.colours()[31], RgbFromBytes(255, 0, 0));
    EXPECT_EQ(station.colours()[kColRadarBackground], RgbFromBytes(3, 0, 43));
    EXPECT_FLOAT_EQ(station.radar(1).view().centreLat, -33.5f);
    EXPECT_FLOAT_EQ(station.radar(1).view().targetLon, 151.25f);
    EXPECT_TRUE(station.radar(1).isVisible());
    EXPECT_FALSE(station.radar(2).isVisible());
    EXPECT_EQ(station.radar(1).width(), 800);
    EXPECT_EQ(station.layerLists().outlines[2], "(2) Aerodrome [EDDH]");
    EXPECT_EQ(station.mainWindow().cbconfig()->currentText(), "aerovas");

    // "Save configuration file" under a new name, then change the state and load it back.
    d1.cbrings = "80";
    station.mainWindow().cbconfig()->setCurrentText("club");
    station.mainWindow().button("spbSave")->click();
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(IniFile(JoinPath(dir, "aerova-config/club.ini")).ReadString("radar1", "rings", ""),
              "6");
    EXPECT_EQ(station.mainWindow().cbconfig()->count(), 2);
    d1.cbrings = "10";
    station.mainWindow().button("spbload")->click();
    EXPECT_EQ(questions, std::vector<std::string>{"Load configuration file?"});
    EXPECT_EQ(d1.cbrings, "80");
    station.mainWindow().cbconfig()->setCurrentText("gone");
    station.mainWindow().button("spbload")->click();
    EXPECT_EQ(messages, std::vector<std::string>{"Configuration file not found."});

    // The shut-down saves the set in force, and aerovas.ini remembers it.
    d1.cbrings = "50";
    answer = true;
    EXPECT_TRUE(station.Quit());
    const IniFile saved(JoinPath(dir, "aerovas.ini"));
    EXPECT_EQ(saved.ReadString("radar1", "rings", ""), "4");
    EXPECT_EQ(saved.ReadString("LastIniFile", "filename", ""), "club");
    EXPECT_EQ(saved.ReadString("radar2", "visible", ""), "0");
    EXPECT_EQ(saved.ReadString("colors", "text-radar1-30", ""), "Police");
    EXPECT_EQ(saved.ReadInteger("monitors", "lastcount", 0), 1);
    EXPECT_EQ(IniFile(JoinPath(dir, "aerova-config/club.ini")).ReadString("radar1", "rings", ""),
              "4");
    QDir(qdir).removeRecursively();
}

// A window saved on a monitor that is gone comes back centred on the primary screen.
TEST(Gui, AWindowSavedOffEveryScreenIsCentred) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-offscreen");
    const std::string dir = qdir.toStdString();
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "aerovas.ini"),
                                   "[radar1]\r\nleft=9000\r\ntop=50\r\nwidth=400\r\n"
                                   "height=300\r\n"));
    RunOptions options;
    options.stationDir = dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(2);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    ASSERT_TRUE(station.Start());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(station.radar(1).x(), screen.x() + (screen.width() - 400) / 2);
    EXPECT_EQ(station.radar(1).y(), screen.y() + (screen.height() - 300) / 2);
    EXPECT_TRUE(station.Quit());
    QDir(qdir).removeRecursively();
}

// SIGTERM (a logout, a service stop) shuts the desktop station down in order without the
// question, and nothing the user set is lost.
TEST(Gui, SigtermShutsDownWithoutTheQuestion) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-sigterm");
    const std::string dir = qdir.toStdString();
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "aerovas.ini"), "[socket]\r\nport=31001\r\n"));
    RunOptions options;
    options.stationDir = dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(3);
    DesktopStation station(options);
    int asked = 0;
    station.askOverride = [&asked](const std::string&, const std::string&) {
        ++asked;
        return false;
    };
    ASSERT_TRUE(station.Start());
    station.radar(1).display().cbrings = "100";
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return station.station().shutdownBegun(); }, 5000));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(station.mainWindow().windowTitle().toStdString(), "Shutdown completed.");
    const IniFile saved(JoinPath(dir, "aerovas.ini"));
    EXPECT_EQ(saved.ReadString("radar1", "rings", ""), "7");
    EXPECT_EQ(saved.ReadString("socket", "port", ""), "31001");
    QDir(qdir).removeRecursively();
}

}  // namespace
}  // namespace aerova

namespace aerova {
namespace {

// The controls both windows share stay in step without echo; the time-outs reach the
// station; "Paste settings" copies the twin's choices; one radar window always stays.
TEST(Gui, SharedControlsPasteSettingsAndTheLastWindow) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-shared");
    const std::string dir = qdir.toStdString();
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "aerovas.ini"),
                                   "[firstrun]\r\nfirstrun=0\r\n[radar2]\r\nvisible=1\r\n"));
    RunOptions options;
    options.stationDir = dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(4);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    std::vector<std::string> messages;
    station.messageOverride = [&messages](const std::string& text, const std::string&) {
        messages.push_back(text);
    };
    std::optional<Rgb> picked = RgbFromBytes(1, 2, 3);
    station.colourDialogOverride = [&picked](const Rgb&) { return picked; };
    ASSERT_TRUE(station.Start());
    RadarWindow& r1 = station.radar(1);
    RadarWindow& r2 = station.radar(2);
    EXPECT_FALSE(r1.disclaimerShown());

    r1.controls().button("sbpgr")->click();
    EXPECT_TRUE(station.receiverBar().sbpgr);
    EXPECT_TRUE(r2.controls().button("sbpgr")->isChecked());
    r1.controls().combo("cbflightinactive")->setCurrentIndex(7);  // 15 s
    EXPECT_EQ(r2.controls().combo("cbflightinactive")->currentIndex(), 7);
    EXPECT_EQ(station.station().timeouts.flightInactiveSec, 15);
    r1.controls().combo("cbupper")->setCurrentIndex(47);  // "GND": the lower one follows
    EXPECT_EQ(r1.display().cbupper, "GND");
    EXPECT_EQ(r1.display().cblower, "GND");

    r2.display().cbrings = "100";
    r2.display().ringCentre.selectors.cblat3 = 7;
    r1.display().ringCentre.selectors.cblat3 = 4;
    r2.display().marks.checked[kColGlobalGrid] = false;
    ASSERT_TRUE(r1.PasteSettings());
    EXPECT_EQ(r1.display().cbrings, "100");
    EXPECT_FALSE(r1.display().marks[kColGlobalGrid]);
    EXPECT_EQ(r1.display().ringCentre.selectors.cblat3, 4) << "the fourth selector stays";
    EXPECT_EQ(r1.controls().combo("cbrings")->currentText(), "100");

    // A colour of the list, changed through the colour dialog.
    QListWidget* colours = r1.controls().list("cbcolors");
    Q_EMIT colours->itemDoubleClicked(colours->item(kColActiveFlight));
    EXPECT_EQ(station.colours()[kColActiveFlight], RgbFromBytes(1, 2, 3));
    picked.reset();
    Q_EMIT colours->itemDoubleClicked(colours->item(kColDistress));
    EXPECT_EQ(station.colours()[kColDistress], ColourTable()[kColDistress]) << "cancelled";

    // A JPEG that can't be written is reported with its file name, and nothing is left.
    const std::string unwritable = JoinPath(dir, "no-such-folder/shot.jpg");
    station.jpegDialogOverride = [&unwritable](const std::string&, const std::string&) {
        return std::optional<std::string>(unwritable);
    };
    EXPECT_FALSE(r1.SaveJpeg().has_value());
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find(unwritable), std::string::npos) << messages.back();
    EXPECT_FALSE(FileExists(unwritable));
    station.jpegDialogOverride = [](const std::string&, const std::string&) {
        return std::optional<std::string>();  // cancelled: no file
    };
    EXPECT_FALSE(r1.SaveJpeg().has_value());
    // "Full help" without the manual says so instead of running anything.
    EXPECT_FALSE(station.helpWindow().OpenManual());
    EXPECT_NE(messages.back().find("aerova-mini.manual.pdf"), std::string::npos);
    messages.clear();

    // F1 shows the help window, and both windows' buttons say so.
    r1.RunCommand(RadarCommand::kToggleHelp);
    EXPECT_TRUE(station.helpWindow().isVisible());
    EXPECT_TRUE(r2.controls().button("spbhelp")->isChecked());
    station.helpWindow().hide();

    // One radar window always stays.
    r2.close();
    EXPECT_TRUE(r2.isHidden());
    r1.close();
    EXPECT_TRUE(r1.isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "One radar window must remain visible at any time");
    r1.controls().button("spbradar1")->click();  // its own button stays down
    EXPECT_TRUE(r1.isVisible());
    EXPECT_TRUE(r1.controls().button("spbradar1")->isChecked());
    r1.controls().button("spbradar2")->click();
    EXPECT_TRUE(r2.isVisible());
    EXPECT_TRUE(r2.controls().button("spbradar2")->isChecked());

    EXPECT_TRUE(station.Quit());
    QDir(qdir).removeRecursively();
}

// The first start shows the disclaimer over the picture until it is clicked.
TEST(Gui, TheFirstStartShowsTheDisclaimer) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-first");
    RunOptions options;
    options.stationDir = qdir.toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(5);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    ASSERT_TRUE(station.Start());
    RadarWindow& r1 = station.radar(1);
    ASSERT_TRUE(r1.disclaimerShown());
    auto* disclaimer = r1.findChild<QLabel*>("disclaimer");
    ASSERT_NE(disclaimer, nullptr);
    EXPECT_TRUE(disclaimer->text().startsWith("By using Aerova mini Edition you acknowledge:"));
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(disclaimer, &click);
    EXPECT_FALSE(r1.disclaimerShown());
    EXPECT_TRUE(station.Quit());
    EXPECT_EQ(
        IniFile(JoinPath(options.stationDir, "aerovas.ini")).ReadString("firstrun", "firstrun", ""),
        "0");
    QDir(qdir).removeRecursively();
}

}  // namespace
}  // namespace aerova

#include "radar/label_editor_window.h"

namespace aerova {
namespace {

// Ctrl+L and the "Label editor" buttons open the editor; a slot changed there is what the
// radar windows draw at once, and Cancel takes it back.
TEST(Gui, TheLabelEditorOpensFromTheRadarWindowsAndDrivesTheirLabels) {
    REQUIRE_DISPLAY();
    const QString qdir = FreshStationDir("gui-labels");
    RunOptions options;
    options.stationDir = qdir.toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(6);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    ASSERT_TRUE(station.Start());
    RadarWindow& r1 = station.radar(1);
    r1.RunCommand(RadarCommand::kShowLabelEditor);
    LabelEditorWindow& editor = station.labelEditor();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(r1.controls().button("spbLabelEditor")->isChecked());
    EXPECT_TRUE(station.radar(2).controls().button("spbLabelEditor")->isChecked());

    const std::int32_t before = editor.layout().kinds[0][0][0];
    editor.ChooseSlot(0, 0, 3);
    const std::int32_t after = editor.layout().kinds[0][0][0];
    EXPECT_NE(after, before);
    EXPECT_EQ(station.labelsInUse().kinds[0][0][0], after);
    editor.Cancel();
    EXPECT_EQ(station.labelsInUse().kinds[0][0][0], before);
    station.ShowLabelEditor(false);
    EXPECT_FALSE(r1.controls().button("spbLabelEditor")->isChecked());
    EXPECT_TRUE(station.Quit());
    QDir(qdir).removeRecursively();
}

}  // namespace
}  // namespace aerova
