#pragma once
// A radar window (`TGLForm`): caption "Aerova mini Edition [1]" or "[2]", the drawing
// panel `pnradar` with the first-run disclaimer over it, the control bar `pncp` and the
// three side panels, its camera, screen cache and display state, and the 50 ms view timer
// that applies dragged views. Keys come through the application's key router (Route);
// the mouse acts on the drawing panel. Controls that both windows share are mirrored to
// the twin window without echo.

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/flight_table.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/label_layout.h"
#include "radar/map_layers.h"
#include "radar/map_scene.h"
#include "radar/radar_input.h"
#include "radar/radar_picture.h"
#include "radar/radar_view.h"
#include "radar/screen_cache.h"

class QKeyEvent;
class QLabel;
class QToolButton;

namespace aerova {

class RadarGlWidget;
class RadarControls;
class SharedGlResources;
struct RenderInputs;

// What both radar windows share and what the station supplies. Empty callbacks are skipped.
struct RadarWindowServices {
    FlightTable* table = nullptr;
    SharedGlResources* shared = nullptr;
    ColourTable* colours = nullptr;
    const LabelLayout* labels = nullptr;
    const MapLayerLists* layers = nullptr;
    MapLayerColours* mapColours = nullptr;
    ReceiverBarState* receiverBar = nullptr;  // one state, shown by both windows
    // Fills the station's part of a frame: busy mark, trail index, cycle time, clocks.
    std::function<void(RenderInputs&)> stationInputs;
    // The main window's actions and buttons ("spbnonvislist", "spbdctconfig" ...).
    std::function<void()> quit, minimise;
    std::function<void(const std::string& button)> toggleMainButton;
    std::function<bool(const std::string& button)> mainButtonDown;
    std::function<void()> showBstControl;
    // Ctrl+F: the search window shown and brought to the front.
    std::function<void()> showSearch;
    // Ctrl+D: the aircraft details of the window's selected target.
    std::function<void(int tag)> showAircraftDetails;
    // The four time-out lists (flight inactive, flight delete, peer inactive, peer delete)
    // live in the station; the windows show and change them.
    std::function<std::array<int, 4>()> timeouts;
    std::function<void(const std::array<int, 4>&)> setTimeouts;
    std::function<bool(int tag)> freeze;
    std::function<void(bool)> setFreeze;  // both windows
    std::function<void(const std::string& control)> receiverControlChanged;
    // The outside world: questions, messages, the JPEG save dialog, the colour dialog.
    std::function<bool(const std::string& question, const std::string& title)> ask;
    std::function<void(const std::string& text, const std::string& title)> message;
    std::function<std::optional<std::string>(const std::string& initialDir,
                                             const std::string& proposedName)>
        jpegDialog;
    std::function<std::optional<Rgb>(const Rgb& initial)> pickColour;
    std::function<std::string()> pictureDir;  // main/savejpg
    std::function<double()> utcNow;
    std::function<void(int tag)> showHelp;  // F1 and spbhelp
    std::function<bool()> helpVisible;
    std::function<void(const QImage&)> showPrintPicture;
    std::function<bool()> quitting;  // closing is always allowed then
    // The map folders (`cbfolders`) with their marks, one list for both windows; a mark
    // changed enables "Apply files", which rebuilds the map.
    std::function<std::vector<std::pair<std::string, bool>>()> mapFolders;
    std::function<void(const std::string& folder, bool enabled)> setMapFolder;
    std::function<void()> applyMapFiles;
    std::function<void()> reloadMapFolders;
    // The label editor (`spbLabelEditor`, Ctrl+L) shown or hidden; whether it shows.
    std::function<void(bool shown)> showLabelEditor;
    std::function<bool()> labelEditorVisible;
    // The weather texts: "Auto" ticked, "Reload", the METAR airport box left.
    std::function<void(int tag)> metarAutoTicked;
    std::function<void()> metarReload;
    std::function<void(int tag)> metarAirportLeft;
    // The WX window: the METAR and TAF of any airport.
    std::function<void()> showWxReports;
    // Key Q: the weather window's "Lightning" box.
    std::function<void()> toggleLightning;
};

class RadarWindow : public QWidget {
  public:
    RadarWindow(int tag, RadarWindowServices services, QWidget* parent = nullptr);
    ~RadarWindow() override;

    int tag() const { return tag_; }
    RadarView& view() { return view_; }
    ScreenCache& cache() { return *cache_; }
    RadarDisplayState& display() { return display_; }
    RadarInteraction& interaction() { return interaction_; }
    RadarGlWidget& pnradar() { return *pnradar_; }
    RadarControls& controls() { return *controls_; }
    WindowTargetMarks& marks();
    void SetTwin(RadarWindow* twin) { twin_ = twin; }
    RadarWindow* twin() const { return twin_; }

    // Asks for a new frame (drawn when the event loop next runs).
    void Redraw();
    // While a configuration set loads, the window does not redraw.
    void SetRedrawPaused(bool paused) { redrawPaused_ = paused; }
    // Stops the view timer for good (shut-down).
    void StopViewTimer();
    // The view timer runs again after a pause (a map rebuild), unless stopped for good.
    void RestartViewTimers();
    bool viewTimerActive() const { return viewTimer_.isActive(); }
    // The controls show the state again (after a settings load, a key, the twin).
    void SyncControls();
    // The disclaimer covers the picture while the first run has not been acknowledged.
    void SetDisclaimerShown(bool shown);
    bool disclaimerShown() const;

    // One key-down from the application's key router. True when it was a command.
    bool Route(const KeyPress& key);
    // Key commands and their effects, also for tests and the other window.
    void RunCommand(RadarCommand command);

    // A fresh frame of the panel as a picture (not the on-screen buffer).
    RadarPicture GrabPicture();
    // The window's current frame as a 32-bit BMP (the picture job's file).
    bool ScreenShot(const std::string& path);
    // Key J: the save dialog, then a JPEG of a fresh frame. The written file, if any.
    std::optional<std::string> SaveJpeg();
    // Keys P and Ctrl+P: the print picture in the print window.
    QImage PrintImage(bool blackAndWhite);
    // "Paste settings": copies the twin's map, filter and symbol choices after the question.
    bool PasteSettings();
    // The side panels by their names "Panel2", "Panel3", "Panel4".
    void SetPanelShown(const char* panel, bool shown);
    void ApplyLayout();
    // Max/Nrm: the bounds before maximising, written by the settings while maximised.
    QRect normalBounds() const;

    std::function<void(int tag, bool visible)> onVisibilityChanged;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FillInputs(RenderInputs& in);
    void ViewTimerTick();
    void RestartViewTimer();
    void OnPanelMouseMove(QMouseEvent* event);
    void OnPanelMousePress(QMouseEvent* event);
    void OnPanelDoubleClick();
    void OnWheel(int x, int y, int delta);
    void ShowGlDescriptor();

    int tag_;
    RadarWindowServices services_;
    RadarView view_;
    std::unique_ptr<ScreenCache> cache_;
    RadarDisplayState display_;
    RadarInteraction interaction_;
    WheelAccumulator wheel_;
    RadarGlWidget* pnradar_ = nullptr;
    QLabel* disclaimer_ = nullptr;
    RadarControls* controls_ = nullptr;
    RadarWindow* twin_ = nullptr;
    QTimer viewTimer_;
    QRect normalBounds_;
    bool stopped_ = false;
    bool redrawPaused_ = false;
    ReceiverBarState ownReceiverBar_;  // a window on its own (tests)
    ColourTable ownColours_;
};

// "Aerova mini Edition [1]" / "[2]".
QString RadarCaption(int tag);
// Converts a Qt key event into the window's key description (main-row digits only).
KeyPress KeyPressFromEvent(const QKeyEvent& event);
// The frame buffer image as a picture (0x00RRGGBB, top-down).
RadarPicture PictureFromImage(const QImage& image);
QImage ImageFromPicture(const RadarPicture& picture);

}  // namespace aerova
