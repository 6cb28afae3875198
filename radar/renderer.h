#pragma once
// RenderFrame: one complete picture of a radar window from the flight table, into the
// current OpenGL context (compatibility profile). Each call clears and draws everything:
// rings and radials, the global grid, recorded trails, the two target passes (symbols,
// vectors, separation circles, pair prediction, direction finder, recent trails, labels)
// and the screen overlays. Text, symbols and trail dots are composed into one pixel layer
// and put on the screen with one transfer per pass.

#include <array>
#include <string>
#include <vector>

#include "core/flight_table.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"
#include "radar/label_layout.h"
#include "radar/map_scene.h"
#include "radar/overlay_plan.h"
#include "radar/pixel_layer.h"
#include "radar/projection.h"
#include "radar/radar_view.h"
#include "radar/screen_cache.h"
#include "radar/texture_scene.h"
#include "radar/weather_layer.h"

namespace aerova {

class SharedGlResources;

// Everything one frame reads besides the panel size. The frame runs to completion on the
// event-loop thread, which is the only writer of the table, so it reads the table in place;
// it never writes it. What the frame computes per target stays in the window's own state
// (its screen cache) and in the renderer.
struct RenderInputs {
    const FlightTable* table = nullptr;
    RadarView* view = nullptr;
    ScreenCache* cache = nullptr;
    RadarDisplayState* display = nullptr;
    const ColourTable* colours = nullptr;
    const LabelLayout* labels = nullptr;
    bool markLabel = true;  // flightstats/marklabel
    std::string maxVrateNoColourChange = "400";
    int trailIndex = 0;
    bool busy = false;  // the station's busy mark: nothing is drawn
    double cycleMs = 0;
    bool freeze = false;
    DayTime utcNow = 0, localNow = 0;
    std::vector<std::string> statusLines;
    bool solid = true;
    const MapScene* maps = nullptr;  // outlines and waypoints, when built
    const MapLayerColours* mapColours = nullptr;
    // The globe picture and the mosaics, with the manager's switch for this window and its
    // tint, and the height above which "Auto display globe image" shows the globe.
    const TextureScene* textures = nullptr;
    bool showMosaics = false;
    Rgb mosaicTint{1, 1, 1};
    double autoHeightKm = 750;
    // Precipitation cells and lightning of the weather window, when it has any for this window.
    const WeatherLayer* weather = nullptr;
};

struct FrameStats {
    std::array<int, 4> classCount{};  // by class 1 to 3
    int labelsDrawn = 0;
    int symbolsDrawn = 0;
    int trailPointsDrawn = 0;
    int waypointsDrawn = 0;
    PairPrediction pair;
};

class RadarRenderer {
  public:
    explicit RadarRenderer(SharedGlResources& shared) : shared_(shared) {}

    // False (and nothing drawn) while the station is busy.
    bool RenderFrame(const RenderInputs& in, int width, int height);

    const FrameStats& stats() const { return stats_; }
    const FrameProjection& projection() const { return frame_; }
    // Draw text glyph by glyph through the font lists instead of the pixel layer (the
    // slow path, kept to prove both give the same pixels).
    void SetGlyphPath(bool glyphByGlyph) { glyphByGlyph_ = glyphByGlyph; }

  private:
    void DrawWeather(const RenderInputs& in);
    void DrawRangeRings(const RenderInputs& in);
    void DrawRecordedTrails(const RenderInputs& in);
    void FirstPass(const RenderInputs& in);
    void DrawMapLayers(const RenderInputs& in);
    void DrawTextures(const RenderInputs& in);
    void SecondPass(const RenderInputs& in);
    void DrawLabel(const std::array<std::string, 5>& lines, const Rgb& percent, const Rgb& dollar,
                   const Rgb& colour, bool noSymbol, int position, int symbol, int x, int y);
    void FlushLayer();
    void DrawOverlays(const RenderInputs& in);

    SharedGlResources& shared_;
    PixelLayer layer_;
    FrameProjection frame_;
    FrameStats stats_;
    std::array<std::uint8_t, kMaxFlights> cls_{};
    std::array<bool, kMaxFlights> hidden_{};
    // First-pass colour and user-colour mark of each target drawn in this frame.
    std::array<Rgb, kMaxFlights> colour_{};
    std::array<bool, kMaxFlights> userColoured_{};
    struct LeaderLine {
        int x0, y0, x1, y1;
        Rgb colour;
    };
    std::vector<LeaderLine> leaders_;
    int width_ = 0, height_ = 0;
    bool largeFont_ = false;
    bool overlayHidden_ = false;
    bool highlightActive_ = false;
    bool glyphByGlyph_ = false;
};

}  // namespace aerova
