#pragma once
// The data-traffic lamp (`ALed1`) of both radar windows and the tray icon's receiving image.
// Frame input lights the lamp (green for a good frame, red for a damaged one) and puts the
// tray into "Receiving..."; the receiver poll puts both back to idle. A receiver that went
// away turns the lamp red, blinking, for five seconds; then it goes dark and green again.
// The frame input's marks are looked at on a short timer rather than on every frame, so a
// busy receiver costs no more than ten looks a second.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "receiver/frame_input.h"

namespace aerova {

struct LampLook {
    bool lit = false;
    std::uint32_t colour = ActivityIndicator::kGreen;  // blue-green-red byte order
    bool blinking = false;
    int intervalMs = 1000;  // the blink interval
    bool operator==(const LampLook&) const = default;
};

class ActivityLamp : public QObject {
  public:
    struct Timing {
        int lookMs = 100;   // how often the frame input's marks are looked at
        int blinkMs = 100;  // the lost receiver's blink
        int lostMs = 5000;  // how long the lost receiver's lamp blinks
    };

    // `input` is the frame input whose marks the lamp follows; `show` draws a look on both
    // radar windows' lamps; `receiving` switches the tray icon.
    ActivityLamp(FrameInput& input, std::function<void(const LampLook&)> show,
                 std::function<void(bool receiving)> receiving, Timing timing);
    ActivityLamp(FrameInput& input, std::function<void(const LampLook&)> show,
                 std::function<void(bool receiving)> receiving)
        : ActivityLamp(input, std::move(show), std::move(receiving), Timing{}) {}

    void Start();
    void Stop();
    // After every receiver poll: lamp off, tray idle (the poll has cleared the marks).
    void PollDone();
    // The receiver has gone away: red and blinking for `lostMs`, then dark and green.
    void ReceiverLost();
    // One look at the frame input's marks (also run by the look timer).
    void Look();

    const LampLook& look() const { return look_; }
    bool lost() const { return lostTimer_.isActive(); }

  private:
    void Show(const LampLook& look);

    FrameInput& input_;
    std::function<void(const LampLook&)> show_;
    std::function<void(bool)> receiving_;
    Timing timing_;
    LampLook look_;
    bool trayReceiving_ = false;
    QTimer lookTimer_, blinkTimer_, lostTimer_;
};

}  // namespace aerova
