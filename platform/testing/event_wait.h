#pragma once
// Test helper: runs the event loop of the application the test made (QCoreApplication or
// QApplication) until a condition holds or the deadline passes. Header-only; needs QtCore.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

namespace aerova::testing {

inline bool WaitForEvents(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace aerova::testing
