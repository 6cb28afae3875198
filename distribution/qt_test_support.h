#pragma once
// Event-loop support for the socket tests: one QCoreApplication for the test program, and a
// pump that runs the loop until a condition holds or a deadline passes.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace aerova::testing {

inline QCoreApplication& QtApp() {
    static int argc = 1;
    static char name[] = "aerova_distribution_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

inline bool PumpUntil(const std::function<bool()>& done, int timeoutms = 3000) {
    QtApp();
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void PumpFor(int ms) {
    QtApp();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace aerova::testing
