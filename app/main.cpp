// aerovamini: the Aerova station.

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/headless_station.h"
#include "app/run_options.h"
#include "app/script_check_command.h"
#ifdef AEROVA_WITH_GUI
#include <cstdlib>

#include "app/desktop_station.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = aerova::ParseRunOptions(args, error);
    if (!options) {
        std::fprintf(stderr,
                     "aerovamini: %s\nusage: aerovamini [nosrv] [--headless] [--demo] [--poll] "
                     "[--station-dir DIR] [--port-offset N] [--net-input HOST:PORT[,raw|beast]]... "
                     "[--check-script FILE]\n",
                     error.c_str());
        return 2;
    }
    // A script check starts nothing of the station: no event loop, no lock, no sockets.
    if (!options->checkScript.empty())
        return aerova::RunScriptCheck(*options, std::cout, std::cerr);
#ifdef AEROVA_WITH_GUI
    // With a display the station shows its windows; without one it runs headless.
    if (!options->headless && (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")))
        return aerova::RunDesktopStation(argc, argv, *options);
#endif
    if (!options->headless) {
#ifdef AEROVA_WITH_GUI
        std::fprintf(stderr, "aerovamini: no display, running headless\n");
#else
        std::fprintf(stderr, "aerovamini: no desktop windows in this build, running headless\n");
#endif
        options->headless = true;
    }
    // Without windows nothing needs GLib's main loop (the desktop's GTK dialogs do), and Qt's
    // own dispatcher spends a little less per wake-up. A user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    aerova::HeadlessStation station(*options);
    if (!station.Start()) return 1;
    return QCoreApplication::exec();
}
