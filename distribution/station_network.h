#pragma once
// The station network: peer stations announce themselves with status messages and are kept
// in the 32-slot peer table; other stations and servers send flight reports and data-server
// lines that enter the flight table; chat lines pop up in the chat window. In turn the
// station announces itself to its peers every fifth main-cycle tick.
//
// Report ingest parses the datagrams (core/report_codec.h) and calls the handlers here on the
// UI thread; the main cycle calls UpdateKickList and AnnounceToPeers once per tick.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight_table.h"
#include "core/report_codec.h"
#include "platform/clock.h"
#include "platform/udp_sender.h"

namespace aerova {

struct NetworkSettings {
    bool cbslave = false;      // "Slave (port 7979)": no announcements
    bool cbemergency = false;  // "Send alert mail on Emergency Squawks"
    bool cbsavexml = false;    // "Save to XML"
    int remoteip = 7978;       // `server`/`remoteip`: the peers' announcement port
    int portoffset = 0;        // --port-offset, added to the announcement port
    std::string version;       // the program's version text
    std::string stationdir;    // holds "userdata/<address>.xml"
    std::string chatsound;     // `chatsound` (saved, never loaded: empty)
};

// One entry of the peers window's kick list `cbpeers`: box, a blank and the station name.
struct KickEntry {
    std::string text;
    bool checked = false;
};

// The peers window (caption "Peers kicklist - Master/slave") as plain state.
struct PeersWindowState {
    // Kept sorted by text. It is not emptied during a run, but holds at most kMaxKickEntries:
    // a full list first forgets the unchecked entries of stations no longer heard.
    static constexpr std::size_t kMaxKickEntries = 256;
    std::vector<KickEntry> cbpeers;
    bool cbskip = false;         // "Dead horse"
    bool cbexceptlocal = false;  // "except local"
    bool visible = false;
    void KickAll() {
        for (auto& e : cbpeers) e.checked = true;
    }
    void ShowAll() {
        for (auto& e : cbpeers) e.checked = false;
    }
};

// The chat window (caption "Chat  -  <SPC>-clear <ESC>-hide") as plain state.
struct ChatWindowState {
    static constexpr std::size_t kMaxLines = 64;
    std::vector<std::string> lines;
    bool visible = false;
    bool broughttofront = false;      // the last message asked for the window to come forward
    void Clear() { lines.clear(); }   // Space
    void Hide() { visible = false; }  // Escape
};

// Plays a sound file asynchronously (the platform's choice of sound for an empty name).
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void PlayAsync(std::string_view file) = 0;
};

// What the network handlers need from other parts of the station. Empty hooks do nothing.
struct NetworkHooks {
    // Route text of a call sign (route lookup); may fill the target's route end points.
    std::function<std::string(Tflight& target, std::string_view callsign)> lookupRoute;
    // Country name of an address block.
    std::function<std::string(std::string_view modes)> countryOfAddress;
    // The alert-list match of report ingest for one slot.
    std::function<void(int slot)> alertMatch;
    // Sets the station-wide alert text for the mail alerts.
    std::function<void(std::string_view text)> setAlertText;
    // Radar windows: a network target was added (label position reset, symbol orientation,
    // re-projection when visible) or updated.
    std::function<void(int slot)> targetAdded;
    std::function<void(int slot)> targetUpdated;
};

class StationNetwork {
  public:
    StationNetwork(FlightTable& table, const StationClock& clock, DatagramSender& sender,
                   const NetworkSettings& settings, SoundPlayer* sound, NetworkHooks hooks);

    // "{...}" and 0x04...0x05, applied even while the main cycle runs.
    void HandlePeerStatus(const PeerStatusMessage& message, std::string_view ip, int port);
    // "[...]": a new target, or an update when the report's time text is newer.
    void HandleNetworkFlightReport(const NetworkFlightReport& report, std::string_view ip,
                                   int port);
    // 0xFA 0xCE (a remote data server's line) and 0xFA 0xCF (a mobile position).
    void HandleServerLine(const ServerLine& line);
    // 0x01 sender TAB message 0x02.
    void HandleChat(const TChat& chat);

    // Main cycle, every tick: new boxes of heard peers enter the kick list.
    void UpdateKickList();
    // Main cycle, every tick: counts down and announces every fifth tick (first on the
    // third). Returns the number of announcements sent.
    int AnnounceToPeers();

    // The chat sound's player (null: silent); the owner keeps it alive.
    void SetSoundPlayer(SoundPlayer* sound) { sound_ = sound; }
    // A chat line entered the chat window: the window shows it and comes to the front.
    std::function<void()> onChatLine;

    PeersWindowState& peerswindow() { return peerswindow_; }
    ChatWindowState& chatwindow() { return chatwindow_; }

  private:
    void ForgetUnheardKickEntries();
    void LabelText(Tflight& record, bool lookuproute);
    void RegistrationFromXml(Tflight& record);

    FlightTable& table_;
    const StationClock& clock_;
    DatagramSender& sender_;
    const NetworkSettings& settings_;
    SoundPlayer* sound_;
    NetworkHooks hooks_;
    PeersWindowState peerswindow_;
    ChatWindowState chatwindow_;
    int announcecountdown_ = 3;
};

}  // namespace aerova
