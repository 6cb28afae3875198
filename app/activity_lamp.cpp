#include "app/activity_lamp.h"

namespace aerova {

ActivityLamp::ActivityLamp(FrameInput& input, std::function<void(const LampLook&)> show,
                           std::function<void(bool receiving)> receiving, Timing timing)
    : input_(input), show_(std::move(show)), receiving_(std::move(receiving)), timing_(timing) {
    lookTimer_.setInterval(timing_.lookMs);
    connect(&lookTimer_, &QTimer::timeout, this, [this] { Look(); });
    blinkTimer_.setInterval(timing_.blinkMs);
    connect(&blinkTimer_, &QTimer::timeout, this, [this] {
        LampLook next = look_;
        next.lit = !next.lit;
        Show(next);
    });
    lostTimer_.setSingleShot(true);
    lostTimer_.setInterval(timing_.lostMs);
    connect(&lostTimer_, &QTimer::timeout, this, [this] {
        blinkTimer_.stop();
        Show(LampLook{false, ActivityIndicator::kGreen, false, 1000});
    });
}

void ActivityLamp::Start() {
    lookTimer_.start();
}

void ActivityLamp::Stop() {
    lookTimer_.stop();
    blinkTimer_.stop();
    lostTimer_.stop();
}

void ActivityLamp::Look() {
    if (input_.trayReceiving != trayReceiving_) {
        trayReceiving_ = input_.trayReceiving;
        if (receiving_) receiving_(trayReceiving_);
    }
    // While the lost receiver's lamp blinks, frames from other inputs don't hide it.
    if (lost() || !input_.indicator.on) return;
    Show(LampLook{true, input_.indicator.color, false, 1000});
}

void ActivityLamp::PollDone() {
    if (trayReceiving_) {
        trayReceiving_ = false;
        if (receiving_) receiving_(false);
    }
    if (lost()) return;
    LampLook dark = look_;
    dark.lit = false;
    Show(dark);
}

void ActivityLamp::ReceiverLost() {
    Show(LampLook{true, ActivityIndicator::kRed, true, timing_.blinkMs});
    blinkTimer_.start();
    lostTimer_.start();
}

void ActivityLamp::Show(const LampLook& look) {
    if (look == look_) return;
    look_ = look;
    if (show_) show_(look_);
}

}  // namespace aerova
