#include "app/desktop_station.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>

#include "app/activity_lamp.h"
#include "app/desktop_aircraft_details.h"
#include "app/desktop_alerts.h"
#include "app/desktop_atc.h"
#include "app/desktop_bst.h"
#include "app/desktop_no_position.h"
#include "app/desktop_peers.h"
#include "app/desktop_receiver_config.h"
#include "app/desktop_search.h"
#include "app/desktop_settings.h"
#include "app/desktop_weather.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "app/pcr_monitor.h"
#include "app/startup_window.h"
#include "app/wx_reports_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "distribution/alert_manager_window.h"
#include "distribution/miniview_window.h"
#include "radar/gl_resources.h"
#include "radar/label_editor_window.h"
#include "radar/mosaic_window.h"
#include "radar/radar_controls.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_help_window.h"
#include "radar/radar_window.h"
#include "radar/renderer.h"
#include "radar/ring_centre.h"
#include "radar/target_style.h"
#include "scripts/script_window.h"
#include "station/ais.h"

namespace aerova {

namespace {

// A dialog filter of "description|pattern" pairs ("Basestation list files |*.bst") in the
// form Qt's file dialogs take ("Basestation list files (*.bst)").
QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i].trimmed() + " (" + parts[i + 1].trimmed() + ")";
    return filters.isEmpty() ? QString::fromStdString(filter) : filters.join(";;");
}

std::vector<ScreenRect> Screens() {
    std::vector<ScreenRect> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        screens.push_back(ScreenRect{g.x(), g.y(), g.width(), g.height(), screen == primary});
    }
    return screens;
}

// The tray images: a radar scope, green while data arrive.
QIcon TrayImage(bool receiving) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(3, 0, 43));
    p.setPen(QPen(receiving ? QColor(32, 255, 32) : QColor(146, 190, 12), 2));
    p.drawEllipse(2, 2, 28, 28);
    p.drawLine(16, 16, 26, 8);
    if (receiving) {
        p.setBrush(QColor(32, 255, 32));
        p.drawRect(18, 18, 5, 5);
    }
    return QIcon(pixmap);
}

}  // namespace

DesktopStation::DesktopStation(RunOptions options)
    : options_(std::move(options)), shared_(std::make_unique<SharedGlResources>()) {
    StationEnvironment env;
    env.ask = [this](const std::string& question, const std::string& title) {
        return Ask(question, title);
    };
    env.message = [this](const std::string& text, const std::string& title) {
        Message(text, title);
    };
    env.screens = Screens();
    env.saveDialog = [this](const SaveDialogRequest& r) -> std::optional<std::string> {
        const QString file = QFileDialog::getSaveFileName(
            mainWindow_.get(), QString(),
            QString::fromStdString(JoinPath(r.initialDir, r.proposedName + "." + r.defaultExt)),
            QtFileFilter(r.filter));
        if (file.isEmpty()) return std::nullopt;
        return file.toStdString();
    };
    env.setCaption = [this](const std::string& text) {
        if (mainWindow_) mainWindow_->setWindowTitle(QString::fromStdString(text));
    };
    env.startupStatus = [this](const std::string& text) {
        if (startupWindow_) startupWindow_->SetStatus(QString::fromStdString(text));
    };
    env.startupResult = [this](const std::string& text) {
        if (startupWindow_) startupWindow_->SetResult(QString::fromStdString(text));
    };
    runner_ = std::make_unique<StationRunner>(options_, std::move(env));
    runner_->afterTick = [this] {
        // What the receiver lost because the station could not keep up; read once a tick,
        // as the kernel's counters come from a file.
        const StationServices::DropCounts drops = services().Drops();
        dropsLine_ = drops.udpKernel || drops.receiverBuffer
                         ? "Dropped: UDP " + std::to_string(drops.udpKernel) + ", buffer " +
                               std::to_string(drops.receiverBuffer)
                         : std::string();
        if (atc_) atc_->Tick();
        if (details_) details_->Tick();
    };

    // The windows add their hooks to the subsystems'.
    Station& s = runner_->station();
    s.hooks.stopTimers = [this] {
        runner_->StopTimers();
        for (auto& w : radar_)
            if (w) w->StopViewTimer();
    };
    s.hooks.styleTargets = [this] {
        // The no-position list first: the radar windows' styling of drawn targets wins.
        if (noPosition_) noPosition_->Rebuild();
        for (int tag = 1; tag <= 2; ++tag)
            StyleTargets(table(), tag, colours_, radar(tag).display().marks,
                         maxVrateNoColourChange_);
    };
    s.hooks.redrawWindows = [this] {
        for (auto& w : radar_)
            if (w) w->Redraw();
    };
    services().onTargetUpdated = [this](int slot) { UpdateTarget(slot); };
    // "From screen center #1": the receiver position follows radar window 1's view centre.
    s.hooks.centreReceiverFromScreen = [this] {
        if (!radar_[0]) return;
        const RadarView& view = radar_[0]->view();
        SetReceiverPosition(services().receiverSettings, view.centreLat, view.centreLon);
        services().receiver().ApplyReceiverPosition();
    };
    services().onRedrawRadar = [this] {
        for (auto& w : radar_)
            if (w) w->Redraw();
    };
    CreateWindows();
    BindWindowSettings();
}

void DesktopStation::BindWindowSettings() {
    Station& s = station();
    DesktopSettingsTargets targets;
    targets.mainWindow = mainWindow_.get();
    for (int tag = 1; tag <= 2; ++tag) {
        targets.radar[tag - 1] = &radar(tag);
        targets.cycle[tag - 1] = &s.radar[static_cast<std::size_t>(tag - 1)];
    }
    targets.colours = &colours_;
    targets.maxVrateNoColourChange = &maxVrateNoColourChange_;
    targets.receiverBar = &receiverBar_;
    targets.firstRun = &firstRun_;
    targets.alertManager = &alerts_->window();
    targets.scriptWindow = script_.get();
    const std::function<void()> placeWindows = BindDesktopSettings(s.settingsFile, targets);
    BindMapSettings();
    weather_->BindSettings(s.settingsFile);
    noPosition_->BindSettings(s.settingsFile);
    search_->BindSettings(s.settingsFile);
    atc_->BindSettings(s.settingsFile);
    details_->BindSettings(s.settingsFile);
    bst_->BindSettings(s.settingsFile);
    s.settingsFile.Bind("script", "filename", scriptState_.filename);
    s.settingsFile.Bind("script", "execute", scriptState_.execute);
    s.settingsFile.Bind("script", "interval", scriptState_.interval);
    s.settingsFile.Bind("script", "active", scriptState_.active);
    s.settingsFile.Bind("script", "openscript", scriptState_.openscript);
    s.settingsFile.Bind("script", "savescript", scriptState_.savescript);
    const std::function<void()> servicesLoaded = s.hooks.settingsLoaded;
    s.hooks.settingsLoaded = [this, placeWindows, servicesLoaded] {
        if (servicesLoaded) servicesLoaded();
        placeWindows();
        ComposeLayerLists();
        if (mosaics_) mosaics_->LoadState();
        if (alerts_) alerts_->miniView().ShowSettings();
        if (weather_) weather_->SettingsLoaded();
        if (noPosition_) noPosition_->SettingsLoaded();
        if (search_) search_->SettingsLoaded();
        if (atc_) atc_->SettingsLoaded();
        if (receiverConfig_) receiverConfig_->SettingsLoaded();
        if (peers_) peers_->SettingsLoaded();
        if (bst_) bst_->SettingsLoaded();
        // The frequency monitor starts only by its button, never from a stored state.
        if (pcr_) pcr_->Stop();
        mainWindow_->SetButtonDown("sbpcr1000", false);
        if (station().receptionStarted()) ShowRadarWindows();
    };
    s.configSets.beforeLoad = [this] {
        for (auto& w : radar_) w->SetRedrawPaused(true);
    };
    s.configSets.afterLoad = [this] {
        for (auto& w : radar_) {
            w->SetRedrawPaused(false);
            w->Redraw();
        }
    };
    mainWindow_->onSaveConfig = [this](const std::string& name) {
        station().configSets.Save(name);
        RefreshConfigList();
    };
    mainWindow_->onLoadConfig = [this](const std::string& name) {
        station().configSets.Load(name);
        RefreshConfigList();
    };
}

void DesktopStation::ComposeLayerLists() {
    const Settings& settings = station().settingsFile;
    // keltrix.ini's notes are read once per run.
    if (!layerNotes_) {
        layerNotes_ = std::make_unique<LayerNames>();
        const IniFile keltrix(JoinPath(station().stationDir(), "keltrix.ini"));
        for (int n = 1; n <= kLayerTypes; ++n) {
            const auto i = static_cast<std::size_t>(n - 1);
            layerNotes_->outlines[i] = keltrix.ReadString("outlines", std::to_string(n), "");
            layerNotes_->waypoints[i] = keltrix.ReadString("waypoints", std::to_string(n), "");
        }
    }
    LayerNames names;
    for (int n = 1; n <= kLayerTypes; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        names.outlines[i] = settings.Value("drawingsettings", "outlinestypes-" + std::to_string(n));
        names.waypoints[i] =
            settings.Value("drawingsettings", "waypointtypes-" + std::to_string(n));
    }
    layerLists_ = aerova::ComposeLayerLists(names, *layerNotes_);
}

void DesktopStation::ShowKmlOptions() {
    labelEditor_->SetKmlOptions(services().kmlOptions);
}

void DesktopStation::ShowLabelEditor(bool shown) {
    if (shown) {
        ShowKmlOptions();
        labelEditor_->SetLogList(station().labelEditorLog);
        // The vessel reference lists as they stand now.
        labelEditor_->SetVesselLists(services().aisLists.lbaisname,
                                     services().aisLists.lbaislogfile, MidList());
        labelEditor_->show();
        labelEditor_->raise();
        labelEditor_->activateWindow();
    } else {
        labelEditor_->hide();
    }
    mainWindow_->SetButtonDown("spbLabelEditor", shown);
    for (auto& w : radar_) w->SyncControls();
}

void DesktopStation::RefreshConfigList() {
    const ConfigurationSets& sets = station().configSets;
    mainWindow_->SetConfigList(sets.cbconfig(), sets.shown);
}

void DesktopStation::ShowRadarWindows() {
    // One radar window always shows: both switched off in a file means window 1.
    if (!station().radar[0].visible && !station().radar[1].visible)
        station().radar[0].visible = true;
    for (int tag = 1; tag <= 2; ++tag) {
        const bool visible = station().radar[static_cast<std::size_t>(tag - 1)].visible;
        if (visible) {
            radar(tag).show();
        } else if (radar(tag).isVisible()) {
            radar(tag).hide();
            station().radar[static_cast<std::size_t>(tag - 1)].visible = false;
        }
    }
    if (!radar(1).isVisible() && !radar(2).isVisible()) mainWindow_->show();
}

void DesktopStation::ShutDownWithoutQuestion() {
    runner_->ShutDownWhenIdle([this] {
        if (closing_) return;
        if (!station().shutdownBegun()) station().FormCloseQuery(false);
        closing_ = true;
        for (auto& w : radar_) w->hide();
        if (tray_) tray_->hide();
        QApplication::exit(0);
    });
}

DesktopStation::~DesktopStation() {
    if (lamp_) {
        services().receiver().onPoll = nullptr;
        services().receiver().onReceiverLost = nullptr;
        lamp_.reset();
    }
    keyRouter_.reset();  // no key reaches a window that is going
    pcr_.reset();
    bst_.reset();
    peers_.reset();
    receiverConfig_.reset();
    details_.reset();  // its lookup ends before the table it writes
    atc_.reset();
    search_.reset();
    noPosition_.reset();
    script_.reset();
    weather_.reset();  // its download ends before the windows it redraws
    alerts_.reset();
    labelEditor_.reset();
    mosaics_.reset();  // its download ends before the state it writes
    // The panels release their contexts before the shared lists' owner goes.
    for (auto& w : radar_) w.reset();
}

void DesktopStation::CreateWindows() {
    mainWindow_ = std::make_unique<MainWindow>();
    creationOrder_.push_back(mainWindow_->objectName());
    mainWindow_->onRadarButton = [this](int tag, bool show) {
        if (tag == 2 && !show && services().pictureJob().active()) {
            Message("Cannot hide window #2 while FTP or HTTP is active.", "Aerova");
            mainWindow_->SetButtonDown("spbradar2", true);
            return;
        }
        RadarWindow& w = radar(tag);
        if (show) {
            w.show();
            w.raise();
        } else {
            w.hide();
        }
    };
    mainWindow_->onMinimise = [this] { Minimise(); };
    mainWindow_->onQuit = [this] { mainWindow_->close(); };
    mainWindow_->onCloseQuery = [this] {
        if (closing_) return true;
        // Closed while a tick lets events run: the window closes again once the tick ends.
        if (runner_->ticking()) {
            runner_->ShutDownWhenIdle([this] { mainWindow_->close(); });
            return false;
        }
        if (!station().FormCloseQuery()) return false;
        closing_ = true;
        for (auto& w : radar_) w->hide();
        if (tray_) tray_->hide();
        QApplication::exit(0);
        return true;
    };

    tray_ = new QSystemTrayIcon(TrayImage(false), this);
    tray_->setObjectName("trayicon");
    tray_->setToolTip(kMainCaption);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason) { RestoreFromTray(); });
    creationOrder_.push_back(tray_->objectName());

    startupWindow_ = std::make_unique<StartupWindow>();
    creationOrder_.push_back(startupWindow_->objectName());

    for (int tag = 1; tag <= 2; ++tag) {
        auto window = std::make_unique<RadarWindow>(tag, RadarServices(tag));
        window->onVisibilityChanged = [this](int t, bool visible) {
            OnRadarVisibility(t, visible);
        };
        window->pnradar().onSharingError = [this](const QString& text) {
            QMessageBox::warning(nullptr, kMainCaption, text);
        };
        window->pnradar().onFatalError = [](const QString& text) {
            QMessageBox::critical(nullptr, kMainCaption, text);
            std::exit(1);
        };
        creationOrder_.push_back(window->objectName());
        radar_[static_cast<std::size_t>(tag - 1)] = std::move(window);
    }
    radar(1).SetTwin(&radar(2));
    radar(2).SetTwin(&radar(1));
    help_ = std::make_unique<RadarHelpWindow>(
        AEROVA_VERSION, JoinPath(runner_->station().stationDir(), "aerova-mini.manual.pdf"));
    help_->message = [this](const std::string& text, const std::string& title) {
        Message(text, title);
    };
    help_->onVisibilityChanged = [this](bool) {
        for (auto& w : radar_) w->SyncControls();
    };
    printWindow_ = std::make_unique<PrintWindow>();
    printWindow_->message = help_->message;
    printWindow_->pdfPathWithoutPrinter = [this] {
        const double now = station().clock().UtcNow();
        return QString::fromStdString(
            JoinPath(station().settingsFile.Value("main", "savejpg"),
                     "print-" + FormatDateTime("yymmdd-hh.nn.ss", now) + ".pdf"));
    };
    mosaics_ = std::make_unique<MosaicManagerWindow>(
        JoinPath(runner_->station().stationDir(), "aerova-mosaic"), mosaicState_);
    mosaics_->onApply = [this] { BuildTextures(false); };
    mosaics_->onDisplayChanged = [this] {
        for (auto& w : radar_) w->Redraw();
    };
    mosaics_->viewOf = [this](int tag) -> std::optional<std::pair<RadarView, QSize>> {
        RadarWindow& w = radar(tag);
        if (!w.isVisible()) return std::nullopt;
        return std::make_pair(w.view(), w.pnradar().size());
    };
    mosaics_->ask = [this](const std::string& q, const std::string& t) { return Ask(q, t); };
    mosaics_->message = [this](const std::string& text, const std::string& title) {
        Message(text, title);
    };
    mosaics_->onHidden = [this] { mainWindow_->SetButtonDown("sbsats", false); };
    connect(mainWindow_->button("sbsats"), &QToolButton::toggled, this, [this](bool down) {
        mosaics_->setVisible(down);
        if (down) mosaics_->raise();
    });
    labelEditor_ = std::make_unique<LabelEditorWindow>(runner_->station().stationDir());
    labelEditor_->onLayoutChanged = [this](const LabelLayout& layout) {
        labels_ = layout;
        for (auto& w : radar_) w->Redraw();
    };
    labelEditor_->onLayoutAccepted = labelEditor_->onLayoutChanged;
    labelEditor_->onClosed = [this] {
        for (auto& w : radar_) w->SyncControls();
        mainWindow_->SetButtonDown("spbLabelEditor", false);
    };
    labelEditor_->open = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    labelEditor_->ask = [this](const std::string& q, const std::string& t) { return Ask(q, t); };
    labelEditor_->message = [this](const std::string& text, const std::string& title) {
        Message(text, title);
    };
    // Keys of the editor's boxes go to the radar window active last; its text pane keeps its
    // own.
    labelEditor_->onKey = [this](const QKeyEvent& key) {
        return keyRouter_ && keyRouter_->lastActive().Route(KeyPressFromEvent(key));
    };
    // The editor shows the KML servers' options; the servers' copy is the one the settings
    // hold.
    labelEditor_->onKmlOptionsChanged = [this](const KmlOptions& o) {
        services().kmlOptions = o;
        services().ApplyKmlOptions();
    };
    labelEditor_->onReload = [this] {
        services().ReloadKmlTemplates();
        ShowKmlOptions();
    };
    connect(mainWindow_->button("spbLabelEditor"), &QToolButton::toggled, this,
            [this](bool down) { ShowLabelEditor(down); });
    alerts_ = std::make_unique<DesktopAlerts>(*this);
    BindWeatherTexts();
    weather_ = std::make_unique<DesktopWeather>(*this);
    CreateScriptWindow();
    CreatePcrMonitor();
    noPosition_ = std::make_unique<DesktopNoPosition>(*this);
    search_ = std::make_unique<DesktopSearch>(*this);
    atc_ = std::make_unique<DesktopAtc>(*this);
    details_ = std::make_unique<DesktopAircraftDetails>(*this);
    receiverConfig_ = std::make_unique<DesktopReceiverConfig>(*this);
    peers_ = std::make_unique<DesktopPeers>(*this);
    bst_ = std::make_unique<DesktopBst>(*this);
    creationOrder_.push_back("mini");
    creationOrder_.push_back("ftp");
    keyRouter_ = std::make_unique<KeyRouter>(radar(1), radar(2));
    keyRouter_->AddForwardingWindow(help_.get());
    qApp->installEventFilter(keyRouter_.get());
}

// The radar windows' airports, "Auto" and TAF switches feed the reload cycle; its texts come
// back into the windows, "Loading METAR..." first, and each change redraws the window.
void DesktopStation::BindWeatherTexts() {
    MetarService& metar = services().metar();
    wxReports_ = std::make_unique<WxReportsWindow>();
    wxReports_->source = [this] { return services().metar().CurrentSource(); };
    metar.readWindow = [this](int w) -> std::optional<MetarWindow> {
        const RadarDisplayState& d = radar(w + 1).display();
        return MetarWindow{d.edicao, d.cbmetauto, d.cbtaf};
    };
    metar.status = [this](const std::string& text) {
        if (startupWindow_ && startupWindow_->isVisible())
            startupWindow_->SetStatus(QString::fromStdString(text));
    };
    metar.setText = [this](int w, WeatherTextField field, const std::string& text) {
        RadarWindow& window = radar(w + 1);
        RadarDisplayState& d = window.display();
        (field == WeatherTextField::kMetar      ? d.metar
         : field == WeatherTextField::kShortTaf ? d.shortTaf
                                                : d.taf) = text;
        window.Redraw();
    };
}

// The alert script's window on the main window's script button; its files live in
// aerova-scripts/.
void DesktopStation::CreateScriptWindow() {
    ScriptWindowDialogs dialogs;
    dialogs.message = [this](const std::string& text) { Message(text, "Aerova Panorama Script"); };
    const std::string dir = JoinPath(station().stationDir(), "aerova-scripts");
    ForceDirectories(dir);
    script_ = std::make_unique<ScriptWindow>(scriptState_, dir, std::move(dialogs));
    script_->onHidden = [this] { mainWindow_->SetButtonDown("sbscript", false); };
    QToolButton* button = mainWindow_->button("sbscript");
    button->setEnabled(true);
    connect(button, &QToolButton::toggled, this, [this](bool down) {
        if (!down) return script_->hide();
        script_->show();
        script_->raise();
    });
}

// The PCR-1000 frequency monitor: its listener runs while `sbpcr1000` is down; a port that
// can't be bound releases the button again.
void DesktopStation::CreatePcrMonitor() {
    pcr_ = std::make_unique<PcrMonitorWindow>(station().stationDir(), options_.portOffset);
    pcr_->onClosed = [this] { mainWindow_->SetButtonDown("sbpcr1000", false); };
    connect(mainWindow_->button("sbpcr1000"), &QToolButton::toggled, this, [this](bool down) {
        if (!down) return pcr_->Stop();
        if (pcr_->Start()) return;
        station().WriteErrorLog(pcr_->error());
        mainWindow_->SetButtonDown("sbpcr1000", false);
    });
}

bool DesktopStation::Ask(const std::string& question, const std::string& title) {
    if (askOverride) return askOverride(question, title);
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(title),
                                 QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void DesktopStation::Message(const std::string& text, const std::string& title) {
    if (messageOverride) return messageOverride(text, title);
    QMessageBox::warning(QApplication::activeWindow(), QString::fromStdString(title),
                         QString::fromStdString(text));
}

RadarWindowServices DesktopStation::RadarServices(int tag) {
    RadarWindowServices s;
    s.table = &table();
    s.shared = shared_.get();
    s.colours = &colours_;
    s.labels = &labels_;
    s.layers = &layerLists_;
    s.mapColours = &mapColours_;
    s.mapFolders = [this] { return MapFolderList(); };
    s.setMapFolder = [this](const std::string& folder, bool on) { folderMarks_[folder] = on; };
    s.applyMapFiles = [this] { RebuildMaps(); };
    s.reloadMapFolders = [this] { ReloadFolderList(); };
    s.showLabelEditor = [this](bool shown) { ShowLabelEditor(shown); };
    s.labelEditorVisible = [this] { return labelEditor_ && labelEditor_->isVisible(); };
    s.metarAutoTicked = [this](int) { services().metar().AutoTicked(); };
    s.metarReload = [this] { services().metar().Reload(); };
    s.toggleLightning = [this] {
        if (weather_) weather_->ToggleLightning();
    };
    s.metarAirportLeft = [this](int t) { services().metar().AirportLeft(t - 1); };
    s.showWxReports = [this] {
        wxReports_->show();
        wxReports_->raise();
        wxReports_->activateWindow();
        wxReports_->icao().setFocus();
    };
    s.receiverBar = &receiverBar_;
    s.stationInputs = [this, tag](RenderInputs& in) {
        const Station& st = station();
        in.busy = !st.receptionStarted() || st.shutdownBegun() || st.settingsBusy();
        in.trailIndex = st.trailIndex();
        in.cycleMs = st.lastCycleMs();
        in.freeze = st.radar[static_cast<std::size_t>(tag - 1)].cbfreeze;
        in.utcNow = st.clock().UtcNow();
        in.localNow = st.clock().LocalNow();
        in.maxVrateNoColourChange = maxVrateNoColourChange_;
        in.maps = &mapScene_;
        in.mapColours = &mapColours_;
        in.textures = &textures_;
        in.showMosaics = tag == 1 ? mosaicState_.cbradar1 : mosaicState_.cbradar2;
        in.mosaicTint = RgbFromBytes(mosaicState_.red, mosaicState_.green, mosaicState_.blue);
        in.autoHeightKm = autoHeightKm_;
        if (weather_) in.weather = &weather_->layer(tag);
        // The information block's status lines: what the receiver reported in its status
        // slots (0xE1 to 0xE4), the only status lines the station has.
        in.markLabel = bst_ && bst_->markLabel();
        in.statusLines.clear();
        for (const auto& slot : services().ingest().receiverStatus().slots)
            if (!slot.empty()) in.statusLines.push_back(slot.str());
        if (!dropsLine_.empty()) in.statusLines.push_back(dropsLine_);
    };
    s.quit = [this] { mainWindow_->close(); };
    s.minimise = [this] { Minimise(); };
    s.showSearch = [this] {
        if (search_) search_->Show();
    };
    s.showBstControl = [this] {
        if (bst_) bst_->ShowAndRaise();
    };
    s.showAircraftDetails = [this](int window) {
        const int slot = table().windows[static_cast<std::size_t>(window == 2 ? 1 : 0)].selected;
        if (details_ && slot >= 0) details_->ShowFlight(slot);
    };
    s.mainButtonDown = [this](const std::string& name) {
        const QToolButton* b = mainWindow_->button(QString::fromStdString(name));
        return b && b->isChecked();
    };
    s.toggleMainButton = [this](const std::string& name) {
        if (QToolButton* b = mainWindow_->button(QString::fromStdString(name)))
            if (b->isEnabled()) b->toggle();
    };
    s.timeouts = [this] {
        const TimeoutChoices& t = station().settings.times;
        return std::array<int, 4>{t.cbflightinactive, t.cbflightdelete, t.cbpeerinactive,
                                  t.cbpeerdelete};
    };
    s.setTimeouts = [this](const std::array<int, 4>& t) {
        station().ApplyTimeouts(TimeoutChoices{t[0], t[1], t[2], t[3]});
    };
    s.freeze = [this](int t) { return station().radar[static_cast<std::size_t>(t - 1)].cbfreeze; };
    s.setFreeze = [this](bool on) {
        for (auto& r : station().radar) r.cbfreeze = on;
    };
    s.receiverControlChanged = [this](const std::string& control) {
        if (control == "sbcenterpos") station().radar[0].sbcenterpos = receiverBar_.sbcenterpos;
        if (control == "sbUSB") {
            if (receiverBar_.sbUSB) {
                const auto rate = static_cast<std::size_t>(receiverBar_.cbbaudrate);
                services().receiver().OpenPort(QString::fromStdString(receiverBar_.cbCOMPORTS),
                                               kBaudRates[rate < 5 ? rate : 1], receiverBar_.sbpgr);
            } else {
                services().receiver().ClosePort();
            }
        }
    };
    s.ask = [this](const std::string& q, const std::string& title) { return Ask(q, title); };
    s.message = [this](const std::string& text, const std::string& title) { Message(text, title); };
    s.jpegDialog = [this](const std::string& dir,
                          const std::string& name) -> std::optional<std::string> {
        if (jpegDialogOverride) return jpegDialogOverride(dir, name);
        const QString file = QFileDialog::getSaveFileName(
            QApplication::activeWindow(), QString(),
            QString::fromStdString(JoinPath(dir, name + ".jpg")), "Graphics files (JPEG) (*.jpg)");
        if (file.isEmpty()) return std::nullopt;
        return file.toStdString();
    };
    s.pickColour = [this](const Rgb& initial) -> std::optional<Rgb> {
        if (colourDialogOverride) return colourDialogOverride(initial);
        const QColor c = QColorDialog::getColor(QColor::fromRgbF(initial.r, initial.g, initial.b),
                                                QApplication::activeWindow());
        if (!c.isValid()) return std::nullopt;
        return RgbFromBytes(c.red(), c.green(), c.blue());
    };
    s.pictureDir = [this] { return station().settingsFile.Value("main", "savejpg"); };
    s.utcNow = [this] { return station().clock().UtcNow(); };
    s.showHelp = [this](int) {
        help_->setVisible(!help_->isVisible());
        if (help_->isVisible()) help_->raise();
    };
    s.helpVisible = [this] { return help_ && help_->isVisible(); };
    s.showPrintPicture = [this](const QImage& image) {
        printWindow_->SetPicture(image);
        printWindow_->move(10, 10);
        printWindow_->show();
    };
    s.quitting = [this] { return closing_ || station().shutdownBegun(); };
    return s;
}

bool DesktopStation::Start() {
    if (const auto error = runner_->Create()) {
        std::fprintf(stderr, "aerovamini: %s\n", error->c_str());
        if (!DirectoryExists(station().stationDir()))
            QMessageBox::critical(nullptr, kMainCaption, QString::fromStdString(*error));
        return false;
    }
    labels_ = labelEditor_->layout();
    // A logout or a kill ends the station in order, without the question.
    signals_ = std::make_unique<TerminationSignals>();
    if (signals_->ok()) {
        auto* notifier = new QSocketNotifier(signals_->readFd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (signals_->Drain()) ShutDownWithoutQuestion();
        });
    }
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { ShutDownWithoutQuestion(); });

    // The settings load at the start of reception puts colours, marks and views in force
    // before the first frame.
    startupWindow_->show();
    QApplication::processEvents();
    ReloadFolderList();
    runner_->StartReception();
    weather_->ReceptionStarted();
    atc_->ReceptionStarted();
    noPosition_->ApplyListColours();
    StartActivityLamp();
    // The stored script is loaded and, when it was running, checked again.
    script_->Start();
    RebuildMaps();
    BuildTextures(true);
    startupWindow_->hide();
    RefreshConfigList();
    mainWindow_->SetNewAircraftList(station().newAircraftLog);
    ShowRadarWindows();
    return true;
}

void DesktopStation::StartActivityLamp() {
    ReceiverLink& link = services().receiver();
    lamp_ = std::make_unique<ActivityLamp>(
        link.engine().input(),
        [this](const LampLook& look) {
            for (auto& w : radar_)
                if (w) w->controls().SetLamp(look.lit, look.colour);
        },
        [this](bool receiving) { SetReceiving(receiving); });
    link.onPoll = [this] { lamp_->PollDone(); };
    link.onReceiverLost = [this] { ReceiverLost(); };
    // A write to a receiver that has gone reaches the station's error handling instead.
    auto& gone = station().hooks.receiverGone;
    gone = [this, closePort = std::move(gone)](bool portLost) {
        if (closePort) closePort(portLost);
        ReceiverLost();
    };
    lamp_->Start();
}

void DesktopStation::OnRadarVisibility(int tag, bool visible) {
    station().radar[static_cast<std::size_t>(tag - 1)].visible = visible;
    mainWindow_->SetButtonDown(tag == 1 ? "spbradar1" : "spbradar2", visible);
    if (closing_) return;
    // The main window steps aside while a radar window shows, and returns when none does.
    if (visible) {
        mainWindow_->hide();
        radar(tag).Redraw();
    } else if (!radar(1).isVisible() && !radar(2).isVisible() && !(tray_ && tray_->isVisible())) {
        mainWindow_->show();
    }
}

void DesktopStation::Minimise() {
    // Without a tray host the icon could never bring the windows back: minimise them
    // instead of hiding them.
    if (!tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) {
        if (minimising_) return;  // the main window's own minimise comes back here
        minimising_ = true;
        for (auto& w : radar_)
            if (w->isVisible()) w->showMinimized();
        if (mainWindow_->isVisible()) mainWindow_->showMinimized();
        minimising_ = false;
        return;
    }
    tray_->show();
    mainWindow_->hide();
    minimisedRadars_ = {radar(1).isVisible(), radar(2).isVisible()};
    for (auto& w : radar_) w->hide();
}

void DesktopStation::RestoreFromTray() {
    if (tray_) tray_->hide();
    // The radar windows that showed before, at least window 1.
    if (!minimisedRadars_[0] && !minimisedRadars_[1]) minimisedRadars_[0] = true;
    for (int tag = 1; tag <= 2; ++tag)
        if (minimisedRadars_[static_cast<std::size_t>(tag - 1)]) radar(tag).show();
}

void DesktopStation::SetReceiving(bool receiving) {
    if (receiving == receiving_) return;
    receiving_ = receiving;
    if (tray_) {
        tray_->setIcon(TrayImage(receiving));
        tray_->setToolTip(receiving ? "Receiving..." : kMainCaption);
    }
}

void DesktopStation::ReceiverLost() {
    // The port buttons of both windows come up; the lamp blinks red for a while.
    receiverBar_.sbUSB = false;
    for (auto& w : radar_)
        if (w) w->controls().Sync();
    if (lamp_) lamp_->ReceiverLost();
}

void DesktopStation::UpdateTarget(int slot) {
    if (slot < 0 || slot >= kMaxFlights) return;
    const Tflight& f = table().flights[static_cast<std::size_t>(slot)];
    for (auto& w : radar_) {
        if (!w) continue;
        TargetScreenEntry& entry = w->cache()[static_cast<std::size_t>(slot)];
        if (w->isVisible()) {
            const RingCentrePosition centre = PublishedRingCentre(w->view());
            FromRadar(w->cache(), slot, centre.lat, centre.lon, f.latf, f.lonf);
        }
        if (entry.labelMode == kLabelManual) continue;
        if (f.track3.empty()) {
            entry.labelMode = kLabelDefault;
        } else {
            entry.labelMode = kLabelFromTrack;
            entry.labelPosition = LabelPositionFromTrack(f.trackf);
        }
    }
}

bool DesktopStation::Quit() {
    mainWindow_->close();
    return closing_;
}

int RunDesktopStation(int& argc, char** argv, const RunOptions& options) {
    SetRadarSurfaceFormat();
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    DesktopStation station(options);
    if (!station.Start()) return 1;
    if (options.runSeconds > 0)
        QTimer::singleShot(static_cast<int>(options.runSeconds * 1000), &station, [&station] {
            station.askOverride = [](const std::string&, const std::string&) { return true; };
            station.Quit();
        });
    return QApplication::exec();
}

}  // namespace aerova
