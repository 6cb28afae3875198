#pragma once
// Window tests on a real display (Xvfb with Mesa): the application with shared OpenGL
// contexts, a target placed in a table, and a radar window's frame as an image.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/flight_table.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_window.h"

namespace aerova::testing {

inline QApplication* App() {
    static int argc = 1;
    static char name[] = "aerova_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        SetRadarSurfaceFormat();
        QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        return new QApplication(argc, argv);
    }();
    return app;
}

#define REQUIRE_DISPLAY()                                                                   \
    do {                                                                                    \
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display: run under xvfb-run"; \
        ::aerova::testing::App();                                                           \
    } while (0)

inline std::string ArtifactPath(const char* file) {
    const char* build = std::getenv("AEROVA_BUILD_DIR");
    const QString dir = QString(build ? build : ".") + "/artifacts";
    QDir().mkpath(dir);
    return (dir + "/" + file).toStdString();
}

inline int AddTarget(FlightTable& table, float lat, float lon, const char* altlabel,
                     const char* squawk) {
    const int slot = table.AllocateSlot();
    Tflight& f = table.flights[static_cast<std::size_t>(slot)];
    f.deleted = f.free = false;
    f.state = 1;
    f.nopos = false;
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", lat);
    f.lat = text;
    std::snprintf(text, sizeof text, "%.4f", lon);
    f.lon = text;
    f.latf = lat;
    f.lonf = lon;
    f.coslat = std::cos(lat * M_PI / 180);
    f.modes = "3C6586";
    f.labeltext = "DLH123";
    f.altlabel = altlabel;
    f.fl = altlabel[0] ? std::atoi(altlabel + 1) : 0;
    f.squawk = squawk;
    return slot;
}

// Shows the window if needed, waits for it to be exposed and returns its last frame.
inline QImage GrabFrame(RadarWindow& w) {
    if (!w.isVisible()) w.show();
    for (int i = 0; i < 50 && !w.windowHandle()->isExposed(); ++i) QApplication::processEvents();
    return w.pnradar().grabFramebuffer();
}

}  // namespace aerova::testing
