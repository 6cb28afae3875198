#pragma once
// The desktop's side of the station network's windows: the peers window on the main
// window's `spbpeers` button ("Dead horse" and "except local" steer report ingest), the chat
// window that pops up with every chat line, and the chat sound.

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "distribution/station_network.h"

namespace aerova {

class ChatWindow;
class DesktopStation;
class PeersWindow;

// Plays the chat sound with PulseAudio's `paplay`, detached, so a slow sound system never
// holds the main cycle. Without a file name, or without the program, nothing plays.
class PaplaySoundPlayer : public SoundPlayer {
  public:
    explicit PaplaySoundPlayer(std::string program = "paplay") : program_(std::move(program)) {}
    void PlayAsync(std::string_view file) override;
    // Sounds started so far.
    int started() const { return started_; }

  private:
    std::string program_;
    int started_ = 0;
};

class DesktopPeers : public QObject {
  public:
    explicit DesktopPeers(DesktopStation& desk);
    ~DesktopPeers() override;

    PeersWindow& peersWindow() { return *peers_; }
    ChatWindow& chatWindow() { return *chat_; }
    PaplaySoundPlayer& sound() { return sound_; }
    // `spbpeers` went down (show) or up (hide).
    void ShowPeers(bool shown);
    // After a settings load: "Dead horse" and "except local" from the settings.
    void SettingsLoaded();

  private:
    DesktopStation& desk_;
    PaplaySoundPlayer sound_;
    std::unique_ptr<PeersWindow> peers_;
    std::unique_ptr<ChatWindow> chat_;
    QTimer refresh_;  // the kick list grows every main-cycle tick
};

}  // namespace aerova
