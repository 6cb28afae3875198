#include "station/station.h"

#include <unistd.h>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "platform/running_mark.h"
#include "radar/geo_model.h"
#include "station/clock_check.h"

namespace aerova {

namespace {

constexpr double kMinutesPerDay = 1440.0;
constexpr const char* kPeerInfoTemp = "~peerinfo.tmp.htm";

}  // namespace

Station::Station(StationEnvironment env, FlightTable& table)
    : settingsFile(env.stationDir),
      configSets(settingsFile, ConfigSetDialogs{env.ask, env.message}),
      env_(std::move(env)),
      table_(table),
      clock_(*env_.clock),
      errorLog_(env_.stationDir, clock_) {
    settingsFile.SetScreens(env_.screens);
    BindSettings();
}

void Station::BindSettings() {
    Settings& s = settingsFile;
    s.Bind("main", "deletedtimeout", timeouts.deletedTimeoutMin);
    // Every load starts a new session: the stored counter plus one.
    s.Bind(
        "main", "session", [this] { return std::to_string(sessionCounter_); },
        [this](const std::string& v) { sessionCounter_ = IntOr(v, 1) + 1; });
    s.Bind(
        "main", "sessionstarted", [this] { return SettingDateTimeText(sessionStarted_); },
        [](const std::string&) {});
    // Saving is the end of the session.
    s.Bind(
        "main", "sessionended", [this] { return SettingDateTimeText(clock_.LocalNow()); },
        [this](const std::string& v) { sessionEnded_ = ParseSettingDateTime(v).value_or(0); });
    s.Bind("main", "savebst", bst.initialDir);
    s.Bind("sql", "dir", settings.sqlDir);
    s.Bind("sql", "db", settings.sqlDb);
    s.Bind("server", "time", settings.timeServer);
    s.Bind("times", "flightinactive", settings.times.cbflightinactive);
    s.Bind("times", "flightdeleted", settings.times.cbflightdelete);
    s.Bind("times", "peerinactive", settings.times.cbpeerinactive);
    s.Bind("times", "peerdeleted", settings.times.cbpeerdelete);
    s.Bind("control", "selectedflight", bst.cbselectedflight);
    s.Bind("control", "savenopos", bst.cbsavenopos);
    s.Bind("database", "restartbst", bst.cbrestartBST1);
    s.afterLoad = [this] { AfterSettingsLoad(); };
    s.onSaveFailed = [this](const std::string& path, const std::string& error) {
        WriteErrorLog(error);
        if (env_.message) env_.message(error, ExtractFileName(path));
    };
}

void Station::AfterSettingsLoad() {
    sessionStarted_ = clock_.LocalNow();
    // The lists' positions are restored first and then applied as a change.
    ApplyTimeouts(settings.times);
    WriteRunningMark(env_.stationDir, RunningMark{1, env_.version, env_.stationDir});
    if (hooks.settingsLoaded) hooks.settingsLoaded();
}

void Station::SetCaption(const std::string& text) {
    caption_ = text;
    if (env_.setCaption) env_.setCaption(text);
    if (shutdownBegun_ && env_.processMessages) env_.processMessages();
}

void Station::Status(const std::string& text) {
    if (env_.startupStatus) env_.startupStatus(text);
}

bool Station::FormCreate() {
    caption_ = kMainCaption;
    const std::string& dir = env_.stationDir;
    const IniFile wx(JoinPath(dir, "wxradar.ini"));
    const char* wxKeys[5] = {"1", "2", "3", "4", "lightning"};
    for (int i = 0; i < 5; ++i) wxradar[i] = wx.ReadString("wxradar", wxKeys[i], "");

    for (const char* sub : {"aerova-img", "aerova-logs", "userdata"})
        ForceDirectories(JoinPath(dir, sub));
    if (!FileExists(errorLog_.path())) CreateEmptyFile(errorLog_.path());

    // Refuse a second copy before touching the settings another copy may be writing.
    if (!lock_.Acquire(dir)) return false;
    // Other programs find the running station through this number; without a window
    // handle the process id serves.
    IniFile main(JoinPath(dir, kMainIniName));
    main.WriteInteger("process", "window", static_cast<std::int64_t>(::getpid()));
    main.UpdateFile(kSettingsFileOptions);
    return true;
}

void Station::buReceiveClick() {
    if (receptionStarted_) return;
    clock_.ReadBias();
    if (hooks.bindDeviceLibrary) hooks.bindDeviceLibrary();

    Status("Loading settings...");
    configSets.LoadAtStart();

    table_.ResetFlightTable();
    table_.FreeAllPeers();
    table_.chat = TChat{};

    Status("Loading country table...");
    if (hooks.loadCountries) hooks.loadCountries();

    Status("Checking time... " + settings.timeServer);
    RealSystemClockSetter realSetter;
    SystemClockSetter& setter = env_.clockSetter ? *env_.clockSetter : realSetter;
    const ClockCheckResult check = CheckClock(settings.timeServer, clock_, setter);
    if (check.offsetFound && env_.startupResult) env_.startupResult("Time offset found");
    clockCheckText_ = check.text;
    if (env_.startupResult) env_.startupResult(check.text);

    const std::string date = FormatDateTime("yyyymmdd", clock_.UtcNow());
    labelEditorLog = ReadLines(JoinPath(env_.stationDir, "aerova-bst/log/" + date + ".log"));
    aisLog = ReadLines(JoinPath(env_.stationDir, "aerova-bst/ais-log/" + date + ".log"));
    newAircraftLog = ReadLines(JoinPath(env_.stationDir, "aerova-bst/log/" + date + ".new.log"));

    const std::string dbPath = JoinPath(settings.sqlDir, settings.sqlDb);
    if (FileExists(dbPath) && hooks.openDatabase) {
        Status("Opening database...");
        databaseOpen_ = hooks.openDatabase(dbPath);
    }
    SetCaption(std::string(kMainCaption) + " V" + env_.version);

    if (!shutdownBegun_) {
        stattimerEnabled_ = true;
        timer1Enabled_ = true;
    }
    if (hooks.startReceiver) hooks.startReceiver();
    if (!env_.nosrv && hooks.openSockets) hooks.openSockets();
    receptionStarted_ = true;
    Status("Receiving...");
}

void Station::ApplyTimeouts(const TimeoutChoices& choices) {
    settings.times = choices;
    if (ApplyTimeoutChoices(choices, timeouts))
        for (int i = 0; i < kMaxFlights; ++i) table_.ResetHistory(i);
}

void Station::AgePeers(DayTime now) {
    const DayTime inactive = now - timeouts.peerInactiveSec / kSecondsPerDay;
    const DayTime gone = now - timeouts.peerDeleteMin / kMinutesPerDay;
    for (auto& p : table_.peers) {
        if (p.free) continue;
        p.active = p.lastheard >= inactive ? 1 : 0;
        if (p.lastheard < gone) p.free = true;
    }
}

void Station::Timer1Timer() {
    if (settingsBusy() || mapsRebuilding || cyclePaused()) return;
    const auto started = std::chrono::steady_clock::now();
    queue.queueing = true;
    queue.locked = false;
    timer1Enabled_ = false;
    if (databaseOpen_ && hooks.commitDatabase) hooks.commitDatabase();
    {
        std::scoped_lock guard(tableMutex);
        --announceCountdown_;
        const DayTime now = clock_.UtcNow();
        AgePeers(now);
        if (hooks.updateKickListAndAnnounce) hooks.updateKickListAndAnnounce(announceCountdown_);
        if (announceCountdown_ <= 0) announceCountdown_ = 5;

        const double inactive = timeouts.flightInactiveSec / kSecondsPerDay;
        const double remove = timeouts.flightDeleteMin / kMinutesPerDay;
        AgeFlights(now - inactive, now - remove);
        RebuildNoPositionList(now - 3 * inactive, now - 3 * remove);
        if (hooks.styleTargets) hooks.styleTargets();
    }
    if (hooks.redrawWindows) hooks.redrawWindows();
    if (env_.processMessages) env_.processMessages();

    if (++followCounter_ > 10) {
        followCounter_ = 0;
        if (radar[0].sbcenterpos && table_.windows[0].followed >= 0 &&
            hooks.centreReceiverFromScreen)
            hooks.centreReceiverFromScreen();
    }
    {
        std::scoped_lock guard(tableMutex);
        if (!radar[0].cbfreeze && !radar[1].cbfreeze) RecordTrails();
        if (hooks.feedConnected && hooks.feedConnected() && hooks.sendFeed) hooks.sendFeed();
        DrainQueue();
    }
    if (hooks.raiseAlertMails) hooks.raiseAlertMails();
    timer1Enabled_ = !shutdownBegun_;
    lastCycleMs_ =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
}

void Station::DrainQueue() {
    const bool listening = !hooks.listenerActive || hooks.listenerActive();
    if (listening && hooks.drainQueue) {
        try {
            hooks.drainQueue();
        } catch (const std::exception& e) {
            // A failing datagram ends this tick's drain; the rest of the queue is dropped.
            HandleException(e);
        }
    }
    queue.locked = false;
    queue.queueing = false;
    queue.count = 0;
}

void Station::RecordTrails() {
    trailIndex_ = trailIndex_ >= kTrailPoints - 1 ? 0 : trailIndex_ + 1;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
        // A free slot no longer owns the ring it names (another target may have it now),
        // so it writes nothing; a deleted slot still owns its ring until it is freed.
        if (f.free) continue;
        if (f.deleted || f.state != 1 || f.nopos || !f.fresh) {
            table_.trails.Point(f.trailring, trailIndex_).kind = 0;
            continue;
        }
        AddTrailPoint(trailIndex_, slot, IntOr(f.altft.view(), 0) / 100, f.latf, f.lonf);
    }
}

void Station::AddTrailPoint(int trailIndex, int slot, int fl, float lat, float lon) {
    TrailPoint& p =
        table_.trails.Point(table_.flights[static_cast<std::size_t>(slot)].trailring, trailIndex);
    p.kind = table_.IsUserColoured(slot) ? 2 : 1;
    p.fl = static_cast<std::int16_t>(fl);
    const ModelPoint m = GeoToModel(lat, lon, kTargetHeightKm);
    p.x = m.x, p.y = m.y, p.z = m.z;
    const auto& c = table_.windows[0].colour[static_cast<std::size_t>(slot)];
    p.colour[0] = c[0], p.colour[1] = c[1], p.colour[2] = c[2];
}

bool Station::AppendListLine(const std::string& path, const std::string& line) {
    const bool written = AppendLine(path, line);
    // One error-log line when writing starts failing, not one per target and tick.
    if (!written && !listWriteFailing_) WriteErrorLog("Cannot write the list file " + path);
    listWriteFailing_ = !written;
    return written;
}

bool Station::ListLineWanted(int slot) const {
    return bst.spbbstfile && listFiles.open &&
           (!bst.cbselectedflight || table_.IsUserColoured(slot));
}

void Station::DeleteTarget(int slot) {
    Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
    f.state = 0;
    f.selvalid = f.rollvalid = f.hdgvalid = false;
    f.labelaltvalid = 0;
    f.deleted = true;
    table_.ResetHistory(slot);
    table_.ForgetInWindows(slot);
    f.hassel = false;
}

void Station::AgeFlights(DayTime A, DayTime B) {
    const DayTime now = clock_.UtcNow();
    const DayTime freeLimit = now - timeouts.deletedTimeoutMin / kMinutesPerDay;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
        if (f.deleted && !f.free && f.lastseen < freeLimit) table_.FreeSlot(slot);
        if (f.lat.empty() || f.lon.empty()) f.nopos = true;
        if (f.deleted || f.nopos) continue;

        // A line that could not be written keeps its mark and is tried again next tick.
        if (f.fresh && f.logpending && ListLineWanted(slot) &&
            AppendListLine(listFiles.listPath, PositionLine(f, now)))
            f.logpending = false;
        if (!f.vessel) {
            const bool anyHold = f.hold3min || f.hold30s || f.hold45min;
            const bool inactive = (f.lastseen < A && !anyHold) ||
                                  (f.hold30s && f.lastseen < now - 30 / kSecondsPerDay) ||
                                  (f.hold45min && f.lastseen < now - 45 / kMinutesPerDay) ||
                                  (f.hold3min && f.lastseen < now - 3 / kMinutesPerDay);
            if (inactive) {
                f.state = 0;
                f.selvalid = f.rollvalid = f.hdgvalid = false;
                f.labelaltvalid = 0;
            } else {
                f.state = 1;
                if (f.seltime < A) f.selvalid = false;
                if (f.rolltime < A) f.rollvalid = false;
                if (f.hdgtime < A) f.hdgvalid = false;
                if (f.lastlabelalt < A) f.labelaltvalid = 0;
                if (f.windtime < now - 20 / kSecondsPerDay) f.windvalid = false;
            }
            if (f.lastseen < B) DeleteTarget(slot);
        } else if (f.lastseen < now - kVesselTimeoutMin / kMinutesPerDay) {
            DeleteTarget(slot);
        }
        if (!f.deleted) table_.AddHistoryPoint(slot, f.fl, f.latf, f.lonf);
    }
}

void Station::RebuildNoPositionList(DayTime E, DayTime F) {
    const DayTime now = clock_.UtcNow();
    const DayTime freeLimit = now - timeouts.deletedTimeoutMin / kMinutesPerDay;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        Tflight& f = table_.flights[static_cast<std::size_t>(slot)];
        if (f.deleted && !f.free && f.nopos && f.lastseen < freeLimit) table_.FreeSlot(slot);
        if (f.deleted || !f.nopos) continue;
        if (bst.cbsavenopos && f.fresh && ListLineWanted(slot))
            AppendListLine(listFiles.noposPath, NoPositionLine(f, now));
        if (f.vessel) continue;
        if (f.lastseen < E) {
            f.state = 0;
            f.selvalid = f.rollvalid = f.hdgvalid = false;
            f.labelaltvalid = 0;
        } else {
            if (f.seltime < E) f.selvalid = false;
            if (f.rolltime < E) f.rollvalid = false;
            if (f.hdgtime < E) f.hdgvalid = false;
            if (f.lastlabelalt < E) f.labelaltvalid = 0;
            f.state = 1;
        }
        if (f.lastseen < F) f.deleted = true;
    }
}

void Station::spbbstfileClick(bool fromUser) {
    if (!bst.spbbstfile) {
        listFiles.open = false;
        bst.pnbstColour = kButtonFaceColour;
        return;
    }
    if (bst.initialDir.empty()) bst.initialDir = JoinPath(env_.stationDir, "aerova-bst");
    ForceDirectories(bst.initialDir);
    SaveDialogRequest request{bst.initialDir, FormatDateTime("yyyymmdd-hhnnss", clock_.LocalNow()),
                              "bst", "Basestation list files |*.bst"};
    std::string path;
    if (fromUser) {
        const auto chosen = env_.saveDialog ? env_.saveDialog(request) : std::nullopt;
        if (!chosen) {
            bst.spbbstfile = false;
            return;
        }
        path = *chosen;
        if (ExtractFileName(path).find('.') == std::string::npos) path += ".bst";
    } else {
        path = JoinPath(request.initialDir, request.proposedName + "." + request.defaultExt);
    }
    if (!FileExists(path) && !CreateEmptyFile(path)) {
        bst.spbbstfile = false;
        WriteErrorLog("Cannot create list file " + path);
        return;
    }
    bst.initialDir = ExtractFileDir(path);
    ForceDirectories(JoinPath(bst.initialDir, "nopos"));
    listFiles.listPath = path;
    listFiles.noposPath = CompanionPath(path);
    CreateEmptyFile(listFiles.noposPath);
    listFiles.open = true;
    bst.pnbstColour = kGreenColour;
}

void Station::stattimerTimer() {
    const bool wasEnabled = timer1Enabled_;
    timer1Enabled_ = false;
    const int hour = DecodeTime(clock_.LocalNow()).hour;
    if (hour == 0 && previousHour_ == 23 && listFiles.open && bst.cbrestartBST1)
        spbbstfileClick(false);
    previousHour_ = hour;
    clock_.ReadBias();
    timer1Enabled_ = wasEnabled && !shutdownBegun_;
}

bool Station::FormCloseQuery(bool askUser) {
    if (askUser && env_.ask && !env_.ask("Quit Aerova Solo now?", kMainCaption)) return false;
    shutdownBegun_ = true;
    stattimerEnabled_ = false;
    timer1Enabled_ = false;
    if (hooks.stopTimers) hooks.stopTimers();

    // Settings and list files are saved first: whatever closing the connections takes,
    // nothing the user set or recorded is lost.
    configSets.SaveAtShutdown([this](const std::string& text) { SetCaption(text); });
    SetCaption("Saving to aerovas.sbs.ini");
    if (hooks.saveReceiverSettings) hooks.saveReceiverSettings();

    SetCaption("Shutdown log files...");
    {
        std::scoped_lock guard(tableMutex);
        AgeFlights(99999, 99999);
        RebuildNoPositionList(99999, 99999);
    }
    radar[0].visible = radar[1].visible = false;

    SetCaption("Shutdown internet connections...");
    if (hooks.closeSockets) hooks.closeSockets();

    SetCaption("Shutdown serial interface...");
    const std::string peerInfo = JoinPath(env_.stationDir, kPeerInfoTemp);
    if (FileExists(peerInfo)) DeleteFileAt(peerInfo);
    if (databaseOpen_) {
        SetCaption("Closing SQL database ...");
        if (hooks.closeDatabase) hooks.closeDatabase();
        databaseOpen_ = false;
    }
    SetCaption("Clean up registry...");
    SetRunningActive(env_.stationDir, 0);
    SetCaption("Shutdown completed.");
    lock_.Release();
    return true;
}

void Station::HandleException(const std::exception& e) {
    const std::string message = e.what();
    if (message == "WriteFile function failed (win error code: 5)" ||
        message == " PurgeComm function failed (win error code: 5)") {
        if (hooks.receiverGone) hooks.receiverGone(message[0] == 'W');
        return;
    }
    WriteErrorLog("Unexpected exception: " + message);
}

}  // namespace aerova
