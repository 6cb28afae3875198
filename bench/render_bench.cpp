// Frame time of radar window 1 at 1280x1024 with 2000 active, labelled targets that all
// carry recorded trails, at the default settings. Needs a display with GLX (Xvfb + Mesa):
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/radar/render_bench
// The counter median_ms is the median frame time, glFinish included; the aim is <= 50 ms.

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/files.h"
#include "core/flight_table.h"
#include "radar/geo_model.h"
#include "radar/gl_resources.h"
#include "radar/map_files.h"
#include "radar/map_lists.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_window.h"
#include "radar/renderer.h"

namespace {

using namespace aerova;

constexpr int kWidth = 1280, kHeight = 1024;

// 2000 airborne targets spread over the default view, each with a filled trail ring.
void FillTable(FlightTable& table, int trailIndex) {
    const ColourTable colours;
    const char* calls[] = {"DLH", "BAW", "AFR", "KLM", "EZY", "RYR", "SAS", "UAE"};
    for (int i = 0; i < kMaxFlights; ++i) {
        const int slot = table.AllocateSlot();
        Tflight& f = table.flights[static_cast<std::size_t>(slot)];
        const float lat = 51.0f + 5.2f * static_cast<float>((i * 37) % 2000) / 2000.0f;
        const float lon = 6.0f + 8.0f * static_cast<float>((i * 91) % 2000) / 2000.0f;
        char text[32];
        f.deleted = f.free = false;
        f.state = 1;
        f.nopos = false;
        f.fresh = true;
        std::snprintf(text, sizeof text, "%.4f", lat);
        f.lat = text;
        std::snprintf(text, sizeof text, "%.4f", lon);
        f.lon = text;
        f.latf = lat;
        f.lonf = lon;
        f.coslat = std::cos(lat * M_PI / 180);
        std::snprintf(text, sizeof text, "%06X", 0x3C0000 + i);
        f.modes = text;
        std::snprintf(text, sizeof text, "%s%d", calls[i % 8], 100 + i);
        f.labeltext = text;
        f.flightid = text;
        const int fl = 50 + (i * 7) % 380;
        std::snprintf(text, sizeof text, "F%03d", fl);
        f.altlabel = text;
        f.fl = fl;
        std::snprintf(text, sizeof text, "%d", fl * 100);
        f.altft = text;
        std::snprintf(text, sizeof text, "%04d", 1000 + i);
        f.squawk = text;
        f.trackf = (i * 13) % 360;
        std::snprintf(text, sizeof text, "%03d", static_cast<int>(f.trackf));
        f.track3 = text;
        f.gsf = 250 + i % 200;
        std::snprintf(text, sizeof text, "%d", static_cast<int>(f.gsf));
        f.gs4 = text;
        f.vratecode = i % 3 == 0 ? "+12" : (i % 3 == 1 ? "-8" : "");
        const Rgb c = colours[kColActiveFlight];
        TrailPoint* ring = table.trails.Ring(f.trailring);
        for (int k = 0; k < 600; ++k) {
            int index = trailIndex - k;
            if (index < 0) index += kTrailPoints;
            const double back = k * f.gsf / 3600.0 / 60.0;  // one point per second of flight
            const float plat = lat - static_cast<float>(back * std::cos(f.trackf * M_PI / 180));
            const float plon =
                lon - static_cast<float>(back * std::sin(f.trackf * M_PI / 180) / f.coslat);
            const ModelPoint m = GeoToModel(plat, plon, kTargetHeightKm);
            ring[index] =
                TrailPoint{1, 0, static_cast<std::int16_t>(fl), m.x, m.y, m.z, {c.r, c.g, c.b}, 0};
        }
    }
}

struct Fixture {
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    SharedGlResources shared;
    ColourTable colours;
    LabelLayout labels;
    std::unique_ptr<RadarWindow> window;
    int trailIndex = 3600;

    Fixture() {
        FillTable(*table, trailIndex);
        RadarWindowServices s;
        s.table = table.get();
        s.shared = &shared;
        s.colours = &colours;
        s.labels = &labels;
        s.stationInputs = [this](RenderInputs& in) { in.trailIndex = trailIndex; };
        window = std::make_unique<RadarWindow>(1, s);
        window->resize(kWidth, kHeight);
        window->show();
        for (int i = 0; i < 100 && window->pnradar().framesDrawn() == 0; ++i)
            QApplication::processEvents();
    }
    RenderInputs Inputs() {
        RenderInputs in;
        in.table = table.get();
        in.view = &window->view();
        in.cache = &window->cache();
        in.display = &window->display();
        in.colours = &colours;
        in.labels = &labels;
        in.trailIndex = trailIndex;
        return in;
    }
};

Fixture* g_fixture = nullptr;

struct MapFixture;
MapFixture* g_map = nullptr;

// Frames of radar window 1, timed with glFinish; `withMap` adds the station's map.
void RunFrames(benchmark::State& state, bool glyphByGlyph, bool withMap);

// The map of a station: the shipped world map and 10,000 named waypoints over the view.
struct MapFixture {
    MapScene scene;
    MapLayerColours colours;
    explicit MapFixture(RadarGlWidget& panel) {
        MapData data;
        std::string text;
        ReadWholeFile(std::string(AEROVA_SOURCE_DIR) + "/maps/outlines/world.out", text);
        ParseOutlineFile(text, data);
        for (int i = 0; i < 10000; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "W%04d", i);
            data.waypoints[static_cast<std::size_t>(i % 5)].push_back(
                Waypoint{name, i % 2 ? "TEXT" : "", 51.0f + 0.052f * static_cast<float>(i % 100),
                         6.0f + 0.08f * static_cast<float>(i / 100)});
        }
        for (auto& c : colours.outlines) c = Rgb{0.5f, 0.8f, 0.5f};
        for (auto& c : colours.waypoints) c = Rgb{0.8f, 0.8f, 0.8f};
        panel.makeCurrent();
        CompileMapScene(scene, data, {});
        panel.doneCurrent();
    }
};
void RunFrames(benchmark::State& state, bool glyphByGlyph, bool withMap) {
    Fixture& fx = *g_fixture;
    RadarGlWidget& panel = fx.window->pnradar();
    panel.makeCurrent();
    panel.renderer().SetGlyphPath(glyphByGlyph);
    RenderInputs in = fx.Inputs();
    if (withMap) {
        in.maps = &g_map->scene;
        in.mapColours = &g_map->colours;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        panel.renderer().RenderFrame(in, kWidth, kHeight);
        glFinish();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        ms.push_back(elapsed.count() * 1000);
    }
    panel.renderer().SetGlyphPath(false);
    panel.doneCurrent();
    std::sort(ms.begin(), ms.end());
    const FrameStats& stats = panel.renderer().stats();
    state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
    state.counters["labels"] = stats.labelsDrawn;
    state.counters["trail_points"] = stats.trailPointsDrawn;
    if (withMap) state.counters["waypoints"] = stats.waypointsDrawn;
}

void BM_RadarFrame2000LabelledWorldMap10000Waypoints(benchmark::State& state) {
    RunFrames(state, false, true);
}
BENCHMARK(BM_RadarFrame2000LabelledWorldMap10000Waypoints)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

// The frame as the windows draw it: label pixels composed in memory, one transfer.
void BM_RadarFrame2000Labelled(benchmark::State& state) {
    RunFrames(state, false, false);
}
BENCHMARK(BM_RadarFrame2000Labelled)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

// For comparison: every glyph through its own bitmap list.
void BM_RadarFrame2000LabelledGlyphByGlyph(benchmark::State& state) {
    RunFrames(state, true, false);
}
BENCHMARK(BM_RadarFrame2000LabelledGlyphByGlyph)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "render_bench needs a display: run it under xvfb-run\n");
        return 0;
    }
    SetRadarSurfaceFormat();
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Fixture fixture;
    g_fixture = &fixture;
    MapFixture map(fixture.window->pnradar());
    g_map = &map;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture = nullptr;
    return 0;
}
