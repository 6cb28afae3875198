#pragma once
// The station with its windows: the windowed twin of HeadlessStation. It creates the main
// window, the tray icon, the start-up window and the two radar windows in the design's
// order, binds the station's environment to real dialogs and captions, runs the start of
// reception with its progress texts in the start-up window, and drives the main cycle from
// the Qt event loop. The radar windows share one set of display lists.

#include <QObject>
#include <QTimer>
#include <array>
#include <map>
#include <memory>

#include "app/run_options.h"
#include "app/station_runner.h"
#include "platform/termination_signals.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/label_layout.h"
#include "radar/map_files.h"
#include "radar/map_layers.h"
#include "radar/map_scene.h"
#include "radar/mosaic_state.h"
#include "radar/texture_scene.h"
#include "scripts/script_window.h"

class QSystemTrayIcon;

namespace aerova {

class ActivityLamp;
class DesktopAircraftDetails;
class DesktopAtc;
class DesktopBst;
class DesktopNoPosition;
class DesktopPeers;
class DesktopReceiverConfig;
class DesktopSearch;
class DesktopAlerts;
class DesktopWeather;
class KeyRouter;
class MainWindow;
class MosaicManagerWindow;
class PcrMonitorWindow;
class LabelEditorWindow;
class PrintWindow;
class RadarHelpWindow;
struct RadarWindowServices;
class StartupWindow;
class WxReportsWindow;
class RadarWindow;
class SharedGlResources;

class DesktopStation : public QObject {
  public:
    // Requires a QApplication created after SetRadarSurfaceFormat and with
    // Qt::AA_ShareOpenGLContexts set (see RunDesktopStation).
    explicit DesktopStation(RunOptions options);
    ~DesktopStation() override;

    // Creation and start of reception; false when another copy runs on the directory.
    bool Start();

    Station& station() { return runner_->station(); }
    FlightTable& table() { return runner_->table(); }
    MainWindow& mainWindow() { return *mainWindow_; }
    StartupWindow& startupWindow() { return *startupWindow_; }
    RadarWindow& radar(int tag) { return *radar_[static_cast<std::size_t>(tag == 2 ? 1 : 0)]; }
    SharedGlResources& sharedLists() { return *shared_; }
    ColourTable& colours() { return colours_; }
    QSystemTrayIcon* trayIcon() { return tray_; }
    // Order in which the windows were created, by object name.
    const std::vector<QString>& creationOrder() const { return creationOrder_; }

    // The tray icon's two states: idle, and "Receiving..." while data arrive.
    void SetReceiving(bool receiving);
    bool receiving() const { return receiving_; }
    // The receiver went away (unplugged, or a failed write): port buttons up, lamp red.
    void ReceiverLost();
    ActivityLamp* activityLamp() { return lamp_.get(); }
    PcrMonitorWindow& pcrMonitor() { return *pcr_; }
    DesktopNoPosition& noPosition() { return *noPosition_; }
    DesktopSearch& search() { return *search_; }
    DesktopAtc& atc() { return *atc_; }
    DesktopAircraftDetails& aircraftDetails() { return *details_; }
    DesktopReceiverConfig& receiverConfig() { return *receiverConfig_; }
    DesktopPeers& peers() { return *peers_; }
    DesktopBst& bst() { return *bst_; }
    // Replaces the questions of the environment (tests answer them without a dialog).
    std::function<bool(const std::string& question, const std::string& title)> askOverride;
    std::function<void(const std::string& text, const std::string& title)> messageOverride;
    std::function<std::optional<std::string>(const std::string& dir, const std::string& name)>
        jpegDialogOverride;
    std::function<std::optional<Rgb>(const Rgb& initial)> colourDialogOverride;
    RadarHelpWindow& helpWindow() { return *help_; }
    PrintWindow& printWindow() { return *printWindow_; }
    KeyRouter& keyRouter() { return *keyRouter_; }
    ReceiverBarState& receiverBar() { return receiverBar_; }

    // A message box, or `messageOverride`.
    void Message(const std::string& text, const std::string& title);
    DesktopAlerts& alerts() { return *alerts_; }

    // The main window's quit: the question, then the shut-down; true when it ran.
    bool Quit();

    // Report ingest's radar hook for a target whose position changed: distance and bearing
    // from each visible window's ring centre, and the label position from the track unless
    // it was set by hand.
    void UpdateTarget(int slot);
    StationServices& services() { return runner_->services(); }

    // SIGTERM, SIGINT and the end of the desktop session: the orderly shut-down without
    // the question, once the running tick has ended.
    void ShutDownWithoutQuestion();
    void RefreshConfigList();
    // Rebuilds the outline lists and waypoints from the enabled map folders ("Apply files").
    // False when a rebuild runs already or no graphics context is there to compile in.
    bool RebuildMaps();
    void ReloadFolderList();
    std::vector<std::pair<std::string, bool>> MapFolderList() const;
    const MapScene& mapScene() const { return mapScene_; }
    const TextureScene& textures() const { return textures_; }
    MosaicDisplayState& mosaicState() { return mosaicState_; }
    MosaicManagerWindow& mosaicManager() { return *mosaics_; }
    LabelEditorWindow& labelEditor() { return *labelEditor_; }
    WxReportsWindow& wxReports() { return *wxReports_; }
    DesktopWeather& weather() { return *weather_; }
    ScriptWindow& scriptWindow() { return *script_; }
    ScriptState& scriptState() { return scriptState_; }
    const LabelLayout& labelsInUse() const { return labels_; }
    // `spbLabelEditor` of the main and both radar windows, and Ctrl+L.
    void ShowLabelEditor(bool shown);
    void BindWeatherTexts();
    void CreateScriptWindow();
    void ShowKmlOptions();
    const std::vector<WaypointName>& waypointNames() const { return waypointNames_; }
    MapLayerColours& mapColours() { return mapColours_; }
    // The layer lists of both radar windows, named from the settings and keltrix.ini.
    const MapLayerLists& layerLists() const { return layerLists_; }

  private:
    void CreateWindows();
    void BindWindowSettings();
    void ShowRadarWindows();
    void ComposeLayerLists();
    void BindMapSettings();
    // The world picture (at the start of reception) and the mosaics ("Apply").
    void BuildTextures(bool globe);
    RadarWindowServices RadarServices(int tag);
    bool Ask(const std::string& question, const std::string& title);
    void Minimise();
    void RestoreFromTray();
    void OnRadarVisibility(int tag, bool visible);
    void StartActivityLamp();
    void CreatePcrMonitor();

    RunOptions options_;
    std::unique_ptr<StationRunner> runner_;
    std::unique_ptr<SharedGlResources> shared_;
    ColourTable colours_;
    LabelLayout labels_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<StartupWindow> startupWindow_;
    std::array<std::unique_ptr<RadarWindow>, 2> radar_;
    QSystemTrayIcon* tray_ = nullptr;
    std::vector<QString> creationOrder_;
    bool receiving_ = false;
    bool closing_ = false;
    std::string maxVrateNoColourChange_ = "400";  // main/maxvratenocolorchange
    std::unique_ptr<TerminationSignals> signals_;
    MapLayerLists layerLists_ = BuiltInLayerLists();
    std::unique_ptr<LayerNames> layerNotes_;
    ReceiverBarState receiverBar_;
    std::array<bool, 2> minimisedRadars_{true, false};
    bool minimising_ = false;
    bool firstRun_ = true;
    MapScene mapScene_;
    MapLayerColours mapColours_;
    std::vector<std::string> mapFolders_;
    std::map<std::string, bool> folderMarks_;
    std::vector<WaypointName> waypointNames_;
    TextureScene textures_;
    MosaicDisplayState mosaicState_;
    int autoHeightKm_ = 750;
    std::unique_ptr<RadarHelpWindow> help_;
    std::unique_ptr<PrintWindow> printWindow_;
    std::unique_ptr<KeyRouter> keyRouter_;
    std::unique_ptr<MosaicManagerWindow> mosaics_;
    std::unique_ptr<LabelEditorWindow> labelEditor_;
    std::unique_ptr<WxReportsWindow> wxReports_;
    std::unique_ptr<DesktopWeather> weather_;
    ScriptState scriptState_;
    std::unique_ptr<ScriptWindow> script_;
    std::unique_ptr<DesktopAlerts> alerts_;
    std::unique_ptr<ActivityLamp> lamp_;
    std::unique_ptr<PcrMonitorWindow> pcr_;
    std::string dropsLine_;  // the information block's line of lost frames
    std::unique_ptr<DesktopNoPosition> noPosition_;
    std::unique_ptr<DesktopSearch> search_;
    std::unique_ptr<DesktopAtc> atc_;
    std::unique_ptr<DesktopAircraftDetails> details_;
    std::unique_ptr<DesktopReceiverConfig> receiverConfig_;
    std::unique_ptr<DesktopPeers> peers_;
    std::unique_ptr<DesktopBst> bst_;
};

// aerovamini with windows: sets the surface format and context sharing, creates the
// application and the station, runs the event loop. Returns the exit code.
int RunDesktopStation(int& argc, char** argv, const RunOptions& options);

}  // namespace aerova
