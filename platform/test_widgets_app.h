#pragma once
// The application object of a window test that needs no OpenGL, and the skip for a machine
// without a display. Header-only; the test links Qt Widgets. (The radar windows' tests have
// their own, which sets the OpenGL surface up first.)

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace aerova::testing {

inline QApplication* WidgetsApp() {
    static int argc = 1;
    static char name[] = "aerova_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

}  // namespace aerova::testing

#define REQUIRE_WIDGETS_DISPLAY()                                                           \
    do {                                                                                    \
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display: run under xvfb-run"; \
        ::aerova::testing::WidgetsApp();                                                    \
    } while (0)
