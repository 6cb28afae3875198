#include "app/key_router.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "radar/radar_window.h"

namespace aerova {

KeyRouter::KeyRouter(RadarWindow& radar1, RadarWindow& radar2, QObject* parent)
    : QObject(parent), radar_{&radar1, &radar2}, lastActive_(&radar1) {}

RadarWindow* KeyRouter::RadarOf(QWidget* window) const {
    for (RadarWindow* r : radar_)
        if (window == r) return r;
    return nullptr;
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (auto* w = qobject_cast<QWidget*>(watched))
            if (RadarWindow* r = RadarOf(w)) lastActive_ = r;
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target) return false;
    // A key event travels up from the focused widget to its window: take it once, where
    // it starts.
    const QWidget* focus = QApplication::focusWidget();
    if (focus ? target != focus : target->window() != target) return false;
    QWidget* window = target->window();
    RadarWindow* radar = RadarOf(window);
    if (!radar) {
        if (std::find(forwarding_.begin(), forwarding_.end(), window) == forwarding_.end())
            return false;
        radar = lastActive_;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool command = radar->Route(KeyPressFromEvent(*key));
    // The METAR box still gets the characters typed into it.
    if (qobject_cast<QLineEdit*>(target)) return false;
    return command || radar == RadarOf(window);
}

}  // namespace aerova
