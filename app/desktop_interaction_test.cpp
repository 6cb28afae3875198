// A person at the radar windows: real keys, clicks and wheel turns sent through the X
// server (xdotool) to the desktop station under a window manager (openbox), checked through
// the saved settings, the feed and the pictures the windows write.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTcpSocket>
#include <QToolButton>
#include <QWindow>

#include "app/desktop_alerts.h"
#include "app/desktop_atc.h"
#include "app/desktop_bst.h"
#include "app/desktop_no_position.h"
#include "app/desktop_peers.h"
#include "app/desktop_receiver_config.h"
#include "app/desktop_search.h"
#include "app/desktop_station.h"
#include "app/desktop_weather.h"
#include "app/main_window.h"
#include "app/pcr_monitor.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "distribution/alert_manager_window.h"
#include "distribution/miniview_window.h"
#include "distribution/peers_window.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/label_editor_window.h"
#include "radar/mosaic_window.h"
#include "radar/radar_controls.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_help_window.h"
#include "radar/radar_window.h"
#include "receiver/receiver_settings_window.h"
#include "scripts/script_window.h"
#include "tools/atc_console_window.h"
#include "tools/bst_control_window.h"
#include "tools/no_position_window.h"
#include "tools/search_window.h"
#include "weather/weather_window.h"

namespace aerova {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Runs a tool to its end while the event loop keeps the windows answering.
bool Tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000)) return false;
    WaitFor([&p] { return p.state() == QProcess::NotRunning; }, 10000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool Xdotool(const QStringList& args) {
    const bool ok = Tool("xdotool", args);
    QApplication::processEvents();
    return ok;
}

bool HaveTool(const char* name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}

// openbox without its own key and mouse bindings (Alt + right drag would resize the window
// instead of reaching the radar window). Its home and caches live in the test folder, so a
// missing or read-only home on the test machine cannot keep it from starting.
struct WindowManager {
    explicit WindowManager(const QString& dir) {
        const QString config = dir + "/openbox-rc.xml";
        WriteFileReplacing(config.toStdString(),
                           "<?xml version=\"1.0\"?>\n"
                           "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
                           "<focus><focusNew>yes</focusNew></focus>\n"
                           "<keyboard></keyboard><mouse></mouse>\n"
                           "</openbox_config>\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir);
        env.insert("XDG_CONFIG_HOME", dir + "/config");
        env.insert("XDG_CACHE_HOME", dir + "/cache");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("openbox", {"--sm-disable", "--config-file", config});
        process.waitForStarted(5000);
    }
    ~WindowManager() {
        process.terminate();
        if (!process.waitForFinished(3000)) process.kill();
    }
    // True once openbox has announced itself on the root window (the supporting-WM mark that
    // a window manager sets when it has taken over the screen).
    bool Running() {
        QProcess xprop;
        xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        if (!xprop.waitForFinished(5000)) return false;
        return process.state() == QProcess::Running &&
               xprop.readAllStandardOutput().contains("window id");
    }
    // What openbox said, for a failure message.
    std::string Output() {
        output += process.readAll();
        return QString::fromLocal8Bit(output).toStdString();
    }
    QProcess process;
    QByteArray output;
};

// Sends keys to the window that has the keyboard focus.
bool Keys(const QStringList& keys) {
    QStringList args{"key", "--delay", "15"};
    args << keys;
    return Xdotool(args);
}

TEST(Gui, APersonDrivesTheRadarWindowsWithKeysMouseAndWheel) {
    REQUIRE_DISPLAY();
    if (!HaveTool("openbox") || !HaveTool("xdotool") || !HaveTool("pdftoppm") || !HaveTool("xprop"))
        GTEST_SKIP() << "needs openbox, xdotool, xprop and pdftoppm";
    QDir dir(QDir::tempPath() + "/aerova-drive-" + QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    WindowManager wm(dir.path());
    ASSERT_TRUE(WaitFor([&] { return wm.Running(); }, 30000))
        << "openbox did not take over the screen: " << wm.Output();
    const std::string station_dir = dir.path().toStdString();
    ASSERT_TRUE(WriteFileReplacing(JoinPath(station_dir, "aerovas.ini"),
                                   "[firstrun]\r\nfirstrun=0\r\n[radar1]\r\nleft=0\r\ntop=0\r\n"
                                   "width=700\r\nheight=560\r\npanel2=0\r\npanel3=0\r\n"
                                   "panel4=0\r\n[radar2]\r\nleft=720\r\ntop=0\r\nwidth=500\r\n"
                                   "height=400\r\n"));
    RunOptions options;
    options.stationDir = station_dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(7);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    std::vector<std::string> messages;
    station.messageOverride = [&messages](const std::string& text, const std::string&) {
        messages.push_back(text);
    };
    ASSERT_TRUE(station.Start());
    RadarWindow& r1 = station.radar(1);
    ASSERT_TRUE(WaitFor([&] { return r1.isVisible() && station.radar(2).isVisible(); }));
    // The window manager frames the windows: they are managed.
    ASSERT_TRUE(WaitFor([&] { return r1.frameGeometry() != r1.geometry(); }, 30000))
        << "the window manager did not frame the window: " << wm.Output();
    r1.activateWindow();
    r1.raise();
    ASSERT_TRUE(WaitFor([&] { return r1.isActiveWindow(); }));

    // The altitude filters: "6" three times, then "9" fifty times, end at UNL/UNL.
    ASSERT_TRUE(Keys({"6", "6", "6"}));
    ASSERT_TRUE(WaitFor([&] { return r1.display().cbupper == "430"; })) << r1.display().cbupper;
    QStringList nines;
    for (int i = 0; i < 50; ++i) nines << "9";
    ASSERT_TRUE(Keys(nines));
    ASSERT_TRUE(WaitFor([&] { return r1.display().cblower == "UNL"; })) << r1.display().cblower;
    EXPECT_EQ(r1.display().cbupper, "UNL");

    // Page Up twice zooms out; Space collapses the control bar.
    const float before = r1.view().cameraDistance;
    ASSERT_TRUE(Keys({"Page_Up", "Page_Up"}));
    ASSERT_TRUE(WaitFor([&] { return r1.view().cameraDistance > before; }));
    ASSERT_TRUE(Keys({"space"}));
    ASSERT_TRUE(WaitFor([&] { return r1.display().layout.controlBarHeight == 3; }));

    // Alt + right click on an empty spot turns the default label position.
    const QPoint empty = r1.pnradar().mapToGlobal(QPoint(400, 400));
    ASSERT_TRUE(Xdotool({"mousemove", QString::number(empty.x()), QString::number(empty.y())}));
    ASSERT_TRUE(Xdotool({"keydown", "alt", "click", "3", "keyup", "alt"}));
    ASSERT_TRUE(WaitFor([&] { return r1.display().defaultLabelPosition == 1; }));

    // A target at the view centre: hover, a left click selects it (the feed says SEL), Ctrl +
    // right click follows it.
    const int slot = testing::AddTarget(station.table(), r1.view().centreLat, r1.view().centreLon,
                                        "F350", "1234");
    Tflight& f = station.table().flights[static_cast<std::size_t>(slot)];
    // Heard "tomorrow": the main cycle's ageing leaves it alone for the whole test.
    f.lastseen = station.station().clock().UtcNow() + 1;
    QTcpSocket feed;
    feed.connectToHost("127.0.0.1", static_cast<quint16>(30014 + options.portOffset));
    ASSERT_TRUE(WaitFor([&] { return feed.state() == QAbstractSocket::ConnectedState; }));
    r1.Redraw();
    ASSERT_TRUE(WaitFor([&] { return r1.cache()[static_cast<std::size_t>(slot)].onscreen; }));
    const TargetScreenEntry& e = r1.cache()[static_cast<std::size_t>(slot)];
    const qreal ratio = r1.pnradar().devicePixelRatioF();
    const QPoint on = r1.pnradar().mapToGlobal(
        QPoint(static_cast<int>(e.x / ratio),
               static_cast<int>((r1.pnradar().height() * ratio - e.y) / ratio)));
    ASSERT_TRUE(Xdotool({"mousemove", QString::number(on.x()), QString::number(on.y())}));
    ASSERT_TRUE(WaitFor([&] { return station.table().windows[0].highlighted == slot; }));
    ASSERT_TRUE(Xdotool({"click", "1"}));
    ASSERT_TRUE(WaitFor([&] { return station.table().windows[0].selected == slot; }));
    QByteArray lines;
    ASSERT_TRUE(WaitFor(
        [&] {
            lines += feed.readAll();
            return lines.contains("SEL,,");
        },
        8000))
        << lines.toStdString();
    const int sel = lines.indexOf("SEL,,");
    EXPECT_NE(lines.mid(sel, lines.indexOf('\n', sel) - sel).indexOf(f.modes.str().c_str()), -1)
        << lines.toStdString();
    ASSERT_TRUE(Xdotool({"keydown", "ctrl", "click", "3", "keyup", "ctrl"}));
    ASSERT_TRUE(WaitFor([&] { return station.table().windows[0].followed == slot; }));

    // The wheel over the separation box steps it: away from the user 0 -> 3.
    const QPoint box = r1.mapToGlobal(QPoint(20, 15));
    ASSERT_TRUE(Xdotool({"mousemove", QString::number(box.x()), QString::number(box.y())}));
    ASSERT_TRUE(Xdotool({"click", "4"}));
    ASSERT_TRUE(WaitFor([&] { return r1.display().separation == 3; }));

    // A JPEG of a fresh frame, the window's size, with the target where the cache says.
    const std::string jpeg = JoinPath(station_dir, "shot.jpg");
    station.jpegDialogOverride = [&jpeg](const std::string&, const std::string&) {
        return std::optional<std::string>(jpeg);
    };
    r1.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return r1.isActiveWindow(); }));
    ASSERT_TRUE(Keys({"j"}));
    ASSERT_TRUE(WaitFor([&] { return FileExists(jpeg); }));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(jpeg, bytes));
    const std::optional<RadarPicture> picture = DecodeJpeg(bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, static_cast<int>(r1.pnradar().width() * ratio));
    EXPECT_EQ(picture->height, static_cast<int>(r1.pnradar().height() * ratio));
    EXPECT_TRUE(QImage(QString::fromStdString(jpeg))
                    .save(QString::fromStdString(testing::ArtifactPath("radar1_driven.jpg"))));

    // A print picture printed to PDF makes one page.
    ASSERT_TRUE(Keys({"p"}));
    ASSERT_TRUE(WaitFor([&] { return station.printWindow().isVisible(); }));
    const QString pdf = dir.filePath("print.pdf");
    ASSERT_TRUE(station.printWindow().Print(pdf));
    ASSERT_TRUE(Tool("pdftoppm", {"-r", "20", "-png", pdf, dir.filePath("page")}));
    EXPECT_EQ(QDir(dir.path()).entryList({"page*.png"}).size(), 1);

    // The settings keep what the person did.
    ASSERT_TRUE(station.station().settingsFile.SaveSettings(JoinPath(station_dir, "after.ini")));
    const IniFile after(JoinPath(station_dir, "after.ini"));
    EXPECT_EQ(after.ReadString("filter", "upper1", ""), "0");
    EXPECT_EQ(after.ReadString("filter", "lower1", ""), "0");
    EXPECT_EQ(after.ReadString("radar1", "controlpanel", ""), "3");
    EXPECT_EQ(after.ReadString("radar1", "label", ""), "1");
    EXPECT_EQ(after.ReadString("more", "circle1", ""), "3");
    EXPECT_GT(after.ReadFloat("position", "radar1z", 0), before);

    // Without a tray host, minimising leaves the windows reachable on the task bar.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        station.mainWindow().button("spbMin")->click();
        EXPECT_TRUE(WaitFor([&] { return r1.isMinimized(); }));
        EXPECT_FALSE(r1.isHidden());
        r1.showNormal();
    }
    EXPECT_TRUE(station.Quit());
    dir.removeRecursively();
}

// Every button of the main window opens its window on a real click, and closing the window
// releases the button again.
TEST(Gui, EveryMainWindowButtonOpensItsWindowAndClosingReleasesIt) {
    REQUIRE_DISPLAY();
    if (!HaveTool("openbox") || !HaveTool("xdotool") || !HaveTool("xprop"))
        GTEST_SKIP() << "needs openbox, xdotool and xprop";
    QDir dir(QDir::tempPath() + "/aerova-buttons-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    WindowManager wm(dir.path());
    ASSERT_TRUE(WaitFor([&] { return wm.Running(); }, 30000))
        << "openbox did not take over the screen: " << wm.Output();
    const std::string station_dir = dir.path().toStdString();
    ASSERT_TRUE(WriteFileReplacing(JoinPath(station_dir, "aerovas.ini"),
                                   "[firstrun]\r\nfirstrun=0\r\n[radar1]\r\nleft=600\r\n"
                                   "top=500\r\nwidth=400\r\nheight=300\r\n"));
    RunOptions options;
    options.stationDir = station_dir;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(8);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    station.messageOverride = [](const std::string&, const std::string&) {};
    ASSERT_TRUE(station.Start());
    MainWindow& main = station.mainWindow();
    const std::vector<std::pair<QString, QWidget*>> windows = {
        {"spbnonvislist", &station.noPosition().window()},
        {"spbdctconfig", &station.receiverConfig().window()},
        {"spbpeers", &station.peers().peersWindow()},
        {"sbscript", &station.scriptWindow()},
        {"sbsats", &station.mosaicManager()},
        {"sbwx", &station.weather().window()},
        {"sbpcr1000", &station.pcrMonitor()},
        {"spbdb", &station.bst().window()},
        {"spbLabelEditor", &station.labelEditor()},
        {"sbatc", &station.atc().window()},
        {"sbsearch", &station.search().window()},
        {"spbmini", &station.alerts().miniView()},
        {"spbftp", &station.alerts().window()},
    };
    for (const auto& [name, window] : windows) {
        SCOPED_TRACE(name.toStdString());
        main.move(0, 0);
        main.show();
        main.raise();
        main.activateWindow();
        QToolButton* button = main.button(name);
        ASSERT_TRUE(button->isEnabled());
        ASSERT_TRUE(WaitFor([&] { return button->isVisible(); }));
        const QPoint centre = button->mapToGlobal(button->rect().center());
        ASSERT_TRUE(
            Xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y())}));
        ASSERT_TRUE(Xdotool({"click", "1"}));
        ASSERT_TRUE(WaitFor([&] { return window->isVisible(); })) << "the window did not open";
        EXPECT_TRUE(button->isChecked());
        window->close();
        EXPECT_TRUE(WaitFor([&] { return !button->isChecked(); })) << "the button stayed down";
        EXPECT_FALSE(window->isVisible());
    }

    // The radar windows' bar buttons of the tool windows follow the main window's.
    RadarWindow& r1 = station.radar(1);
    r1.show();
    ASSERT_TRUE(WaitFor([&] { return r1.isVisible(); }));
    for (const char* name : {"spbnonvislist", "spbdctconfig", "spbdb"}) {
        SCOPED_TRACE(name);
        r1.controls().button(name)->click();
        EXPECT_TRUE(main.button(name)->isChecked());
        EXPECT_TRUE(station.radar(2).controls().button(name)->isChecked());
        main.button(name)->click();
        EXPECT_FALSE(r1.controls().button(name)->isChecked());
    }

    // Ctrl+F in a radar window opens the search.
    r1.activateWindow();
    r1.raise();
    ASSERT_TRUE(WaitFor([&] { return r1.isActiveWindow(); }));
    ASSERT_TRUE(Keys({"ctrl+f"}));
    EXPECT_TRUE(WaitFor([&] { return station.search().window().isVisible(); }));
    EXPECT_TRUE(main.button("sbsearch")->isChecked());
    EXPECT_TRUE(station.Quit());
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
