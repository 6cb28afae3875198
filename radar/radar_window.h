#pragma once
// A radar window (`TGLForm`): caption "Aerova mini Edition [1]" or "[2]", the drawing
// panel `pnradar`, its camera, screen cache and display state, and the 50 ms view timer
// that applies dragged views. The interaction of the keyboard and mouse beyond wheel zoom
// and the arrow and page keys belongs to the window's interaction layer.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/flight_table.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/label_layout.h"
#include "radar/radar_view.h"
#include "radar/screen_cache.h"

namespace aerova {

class RadarGlWidget;
class SharedGlResources;
struct RenderInputs;

// What both radar windows share and what the station supplies per frame.
struct RadarWindowServices {
    FlightTable* table = nullptr;
    SharedGlResources* shared = nullptr;
    const ColourTable* colours = nullptr;
    const LabelLayout* labels = nullptr;
    // Fills the station's part of a frame: busy mark, trail index, cycle time, clocks.
    std::function<void(RenderInputs&)> stationInputs;
};

class RadarWindow : public QWidget {
  public:
    RadarWindow(int tag, RadarWindowServices services, QWidget* parent = nullptr);
    ~RadarWindow() override;

    int tag() const { return tag_; }
    RadarView& view() { return view_; }
    ScreenCache& cache() { return *cache_; }
    RadarDisplayState& display() { return display_; }
    RadarGlWidget& pnradar() { return *pnradar_; }

    // Asks for a new frame (drawn when the event loop next runs).
    void Redraw();
    // While a configuration set loads, the window does not redraw.
    void SetRedrawPaused(bool paused) { redrawPaused_ = paused; }
    // Stops the view timer for good (shut-down).
    void StopViewTimer();
    bool viewTimerActive() const { return viewTimer_.isActive(); }

    std::function<void(int tag, bool visible)> onVisibilityChanged;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FillInputs(RenderInputs& in);
    void ViewTimerTick();

    int tag_;
    RadarWindowServices services_;
    RadarView view_;
    std::unique_ptr<ScreenCache> cache_;
    RadarDisplayState display_;
    RadarGlWidget* pnradar_ = nullptr;
    QTimer viewTimer_;
    bool stopped_ = false;
    bool redrawPaused_ = false;
};

// "Aerova mini Edition [1]" / "[2]".
QString RadarCaption(int tag);

}  // namespace aerova
