#pragma once
// The radar windows see every key-down before their controls: one application-wide filter
// hands each key press once to the radar window it belongs to, before a focused list or
// box could also act on it (arrows and Page Up must not move a list's selection). Keys
// typed in the help window go to the radar window active last (window 1 at first). The
// METAR box still gets its characters; other windows' text panes keep theirs.

#include <QObject>
#include <vector>

class QWidget;

namespace aerova {

class RadarWindow;

class KeyRouter : public QObject {
  public:
    KeyRouter(RadarWindow& radar1, RadarWindow& radar2, QObject* parent = nullptr);
    // Windows whose keys go to a radar window (the help window).
    void AddForwardingWindow(QWidget* window) { forwarding_.push_back(window); }
    RadarWindow& lastActive() const { return *lastActive_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    RadarWindow* RadarOf(QWidget* window) const;

    RadarWindow* radar_[2];
    RadarWindow* lastActive_;
    std::vector<QWidget*> forwarding_;
};

}  // namespace aerova
