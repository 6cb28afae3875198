#pragma once
// The station's spine: creation, the start of reception, the one-second main cycle
// (`Timer1Timer`), the ten-second housekeeping tick, the BaseStation list files and the
// orderly shut-down. Everything here runs on the event-loop thread; the subsystems it
// drives are reached through the hooks below, which the program fills in.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/product.h"
#include "config/configuration_sets.h"
#include "config/settings.h"
#include "core/datagram_queue.h"
#include "core/flight_table.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "station/error_log.h"
#include "station/list_files.h"
#include "station/station_settings.h"
#include "station/station_state.h"

namespace aerova {

struct SaveDialogRequest {
    std::string initialDir;
    std::string proposedName;
    std::string defaultExt;
    std::string filter;
};

// The outside world as the station sees it: clocks, dialogs and the main window's texts.
struct StationEnvironment {
    std::string stationDir;
    std::string version = "1.0.0";
    bool nosrv = false;
    const Clock* clock = nullptr;
    SystemClockSetter* clockSetter = nullptr;
    // Monitors the windows are placed on; none without a display.
    std::vector<ScreenRect> screens;
    // Message box (text, title).
    std::function<void(const std::string& text, const std::string& title)> message;
    // The chosen file, or nothing when the user cancels.
    std::function<std::optional<std::string>(const SaveDialogRequest&)> saveDialog;
    // Yes/No question; true for Yes.
    std::function<bool(const std::string& question, const std::string& title)> ask;
    std::function<void(const std::string&)> setCaption;
    std::function<void(const std::string&)> startupStatus;  // start-up window's status line
    std::function<void(const std::string&)> startupResult;  // its second label
    // Lets pending events run (socket reads arrive here during a tick).
    std::function<void()> processMessages;
};

// Subsystems the cycle drives. Empty hooks are skipped.
struct StationHooks {
    std::function<void()> bindDeviceLibrary;
    std::function<void()> loadCountries;
    std::function<bool(const std::string& path)> openDatabase;  // true when open
    std::function<void()> closeDatabase;
    // Enters the aircraft new since the last tick in the database (one transaction) and
    // gives their targets the ids; runs at the start of each tick, outside the table lock.
    std::function<void()> commitDatabase;
    std::function<void()> startReceiver;  // receiver poll, baud rate, serial scan
    std::function<void()> openSockets;    // UDP 7933 input, listener, sender (not with nosrv)
    std::function<void()> closeSockets;
    std::function<void()> stopTimers;
    // After every settings load: the subsystems apply what changed (ports, options).
    std::function<void()> settingsLoaded;
    std::function<void()> saveReceiverSettings;
    std::function<void(int countdown)> updateKickListAndAnnounce;
    // The radar windows' target colours and user-colour marks for this tick, set in the
    // table before the windows redraw and trails are recorded (run under the table lock).
    std::function<void()> styleTargets;
    std::function<void()> redrawWindows;
    std::function<void()> centreReceiverFromScreen;
    std::function<bool()> feedConnected;
    std::function<void()> sendFeed;
    std::function<bool()> listenerActive;
    // Report ingest of the datagrams queued during the tick, in order (processed, never
    // queued again); it leaves the queue unlocked and empty.
    std::function<void()> drainQueue;
    // One serial-link failure ("the receiver has gone away"): release the ports.
    std::function<void(bool portLost)> receiverGone;
    // At the end of each tick: the alert mails of the flags ingest raised.
    std::function<void()> raiseAlertMails;
};

// A vessel reports its position every few seconds under way and every three minutes at
// anchor, its name every six minutes: one not heard for an hour has gone out of range.
constexpr double kVesselTimeoutMin = 60;

class Station {
  public:
    Station(StationEnvironment env, FlightTable& table);

    // Creation steps 2 to 8. False when another copy runs on this station directory.
    bool FormCreate();
    // The start of reception; runs once.
    void buReceiveClick();
    // One tick of the main cycle.
    void Timer1Timer();
    // The ten-second housekeeping tick.
    void stattimerTimer();
    // Shut-down. False when the user keeps the program running. A signal or the end of
    // the desktop session shuts down without the question.
    bool FormCloseQuery(bool askUser = true);

    void AgeFlights(DayTime inactiveLimit, DayTime deleteLimit);
    void RebuildNoPositionList(DayTime inactiveLimit, DayTime deleteLimit);
    void AddTrailPoint(int trailIndex, int slot, int fl, float lat, float lon);
    // Opens or closes the list files; `fromUser` shows the save dialog.
    void spbbstfileClick(bool fromUser);
    bool WriteErrorLog(const std::string& text) const { return errorLog_.Write(text); }
    // The application-wide handler for exceptions no operation caught.
    void HandleException(const std::exception& e);
    // Applies the radar windows' time-out lists.
    void ApplyTimeouts(const TimeoutChoices& choices);

    StationHooks hooks;
    BstControlState bst;
    std::array<RadarCycleState, 2> radar;
    StationSettings settings;
    // The settings file: every subsystem binds its state here before reception starts.
    Settings settingsFile;
    ConfigurationSets configSets;
    Timeouts timeouts;
    DatagramQueue queue;
    ListFiles listFiles;
    std::vector<std::string> labelEditorLog, aisLog, newAircraftLog;  // today's log lists
    std::string wxradar[5];       // keys "1" to "4" and "lightning" of wxradar.ini
    bool mapsRebuilding = false;  // the main cycle waits while the map is rebuilt
    std::mutex tableMutex;        // held while the cycle writes the tables; servers read under it

    const StationClock& clock() const { return clock_; }
    const std::string& stationDir() const { return env_.stationDir; }
    int trailIndex() const { return trailIndex_; }
    int announceCountdown() const { return announceCountdown_; }
    int followCounter() const { return followCounter_; }
    bool timer1Enabled() const { return timer1Enabled_; }
    bool stattimerEnabled() const { return stattimerEnabled_; }
    bool receptionStarted() const { return receptionStarted_; }
    bool shutdownBegun() const { return shutdownBegun_; }
    bool databaseOpen() const { return databaseOpen_; }
    // The feed's session number: the settings counter, or -1 while the database is open.
    int session() const { return databaseOpen_ ? -1 : sessionCounter_; }
    int sessionCounter() const { return sessionCounter_; }
    // The main cycle and the frames wait while settings are loaded or saved.
    bool settingsBusy() const { return settingsFile.busy(); }
    // Holds the main cycle while it lives (a radar picture being taken); scoped, so no early
    // return can leave reception stopped.
    class CyclePause {
      public:
        explicit CyclePause(Station& station) : station_(station) { ++station_.cyclePauses_; }
        ~CyclePause() { --station_.cyclePauses_; }
        CyclePause(const CyclePause&) = delete;
        CyclePause& operator=(const CyclePause&) = delete;

      private:
        Station& station_;
    };
    bool cyclePaused() const { return cyclePauses_ > 0; }
    double lastCycleMs() const { return lastCycleMs_; }
    const std::string& caption() const { return caption_; }
    const std::string& clockCheckText() const { return clockCheckText_; }

  private:
    void BindSettings();
    void AfterSettingsLoad();
    void SetCaption(const std::string& text);
    void Status(const std::string& text);
    void AgePeers(DayTime now);
    void RecordTrails();
    void DrainQueue();
    void DeleteTarget(int slot);
    bool ListLineWanted(int slot) const;
    bool AppendListLine(const std::string& path, const std::string& line);

    StationEnvironment env_;
    FlightTable& table_;
    StationClock clock_;
    ErrorLog errorLog_;
    InstanceLock lock_;
    int trailIndex_ = 0;
    int cyclePauses_ = 0;
    int announceCountdown_ = 3;
    int followCounter_ = 0;
    int previousHour_ = -1;
    int sessionCounter_ = 1;
    DayTime sessionStarted_ = 0, sessionEnded_ = 0;
    bool timer1Enabled_ = false;
    bool stattimerEnabled_ = false;
    bool receptionStarted_ = false;
    bool shutdownBegun_ = false;
    bool databaseOpen_ = false;
    bool listWriteFailing_ = false;
    double lastCycleMs_ = 0;
    std::string caption_;
    std::string clockCheckText_;
};

}  // namespace aerova
