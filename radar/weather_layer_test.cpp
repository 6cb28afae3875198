// Weather in a radar window's frame on a real display (Xvfb with Mesa): precipitation cells in
// their class colours where gluProject puts them, and lightning diamonds in their age colours.

#include "radar/weather_layer.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "radar/gl_resources.h"
#include "radar/gui_test_support.h"
#include "radar/renderer.h"

namespace aerova {
namespace {

using testing::GrabFrame;

// One radar window over an empty table whose frames draw `layer`; rings and grid are off, so
// that every pixel near the centre is weather or background.
struct WeatherScene {
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    SharedGlResources shared;
    ColourTable colours;
    LabelLayout labels;
    WeatherLayer layer;
    std::unique_ptr<RadarWindow> window;

    WeatherScene() {
        for (int i = 0; i < 12; ++i) layer.colours[static_cast<std::size_t>(i)] = Entry(i);
        RadarWindowServices s;
        s.table = table.get();
        s.shared = &shared;
        s.colours = &colours;
        s.labels = &labels;
        s.stationInputs = [this](RenderInputs& in) { in.weather = &layer; };
        window = std::make_unique<RadarWindow>(1, s);
        window->display().layout = RadarLayoutState{};
        window->display().marks.checked[kColRadarRings] = false;
        window->display().marks.checked[kColGlobalGrid] = false;
        window->ApplyLayout();
        window->resize(640, 480 + 30);
    }

    // A colour of its own for every entry of the weather colour table.
    static Rgb Entry(int i) { return RgbFromBytes(20 * i + 10, 200 - 15 * i, (97 * i) % 256); }

    // The frame's colour where gluProject puts (lat, lon) at `heightKm`.
    QColor ColourAt(const QImage& image, double lat, double lon, float heightKm) {
        const FrameProjection& f = window->pnradar().renderer().projection();
        const ModelPoint m = GeoToModel(static_cast<float>(lat), static_cast<float>(lon), heightKm);
        GLdouble wx = 0, wy = 0, wz = 0;
        EXPECT_EQ(gluProject(m.x, m.y, m.z, f.modelview.data(), f.projection.data(),
                             f.viewport.data(), &wx, &wy, &wz),
                  GL_TRUE);
        const int x = static_cast<int>(std::lround(wx));
        const int y = image.height() - 1 - static_cast<int>(std::lround(wy));
        EXPECT_TRUE(image.rect().contains(x, y)) << x << "," << y;
        return image.pixelColor(x, y);
    }
};

::testing::AssertionResult Near(const QColor& got, const Rgb& want) {
    const QColor w = QColor::fromRgbF(want.r, want.g, want.b);
    if (std::abs(got.red() - w.red()) <= 1 && std::abs(got.green() - w.green()) <= 1 &&
        std::abs(got.blue() - w.blue()) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << got.name().toStdString() << ", want " << w.name().toStdString();
}

TEST(Gui, WeatherCellDrawnAtItsPlaceInItsClassColour) {
    REQUIRE_DISPLAY();
    WeatherScene scene;
    const RadarView& view = scene.window->view();
    const float lat = view.centreLat, lon = view.centreLon;
    // Two cells of one grid column over the screen centre, the second starting where the
    // first ends, as a grid hands them out.
    scene.layer.cells.push_back({lon - 0.3f, lon + 0.3f, lat, lat + 0.2f, 2});
    scene.layer.cells.push_back({lon - 0.3f, lon + 0.3f, lat - 0.2f, lat, 5});
    const QImage image = GrabFrame(*scene.window);
    ASSERT_FALSE(image.isNull());

    const Rgb severe = WeatherScene::Entry(8);  // intensity class 2
    const Rgb light = WeatherScene::Entry(11);  // intensity class 5
    const Rgb background = scene.colours[kColRadarBackground];
    struct Probe {
        double lat, lon;
        const Rgb* want;
    };
    const Probe probes[] = {
        {lat + 0.05, lon, &severe},     {lat + 0.15, lon - 0.25, &severe},
        {lat - 0.05, lon, &light},      {lat - 0.15, lon + 0.25, &light},
        {lat + 0.3, lon, &background},  {lat - 0.3, lon, &background},
        {lat, lon + 0.45, &background}, {lat, lon - 0.45, &background},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(::testing::Message() << p.lat << " " << p.lon);
        EXPECT_TRUE(Near(scene.ColourAt(image, p.lat, p.lon, -0.6f), *p.want));
    }
}

TEST(Gui, LightningDiamondsInTheirAgeColourOnlyWithTheLightningBox) {
    REQUIRE_DISPLAY();
    struct Case {
        bool lightning;
        int age;
        bool drawn;
    };
    const Case cases[] = {{true, 0, true}, {true, 4, true}, {true, -1, false}, {false, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lightning << " age " << c.age);
        WeatherScene scene;
        const RadarView& view = scene.window->view();
        const double lat = view.centreLat + 0.5, lon = view.centreLon - 0.5;
        scene.layer.lightning = c.lightning;
        scene.layer.strikes.push_back({lat, lon, c.age});
        const QImage image = GrabFrame(*scene.window);
        ASSERT_FALSE(image.isNull());
        const Rgb want = c.drawn ? WeatherScene::Entry(c.age) : scene.colours[kColRadarBackground];
        EXPECT_TRUE(Near(scene.ColourAt(image, lat, lon, 0), want));
        // A diamond reaches 0.05 degrees out at the first view's camera distance.
        EXPECT_TRUE(
            Near(scene.ColourAt(image, lat + 0.12, lon, 0), scene.colours[kColRadarBackground]));
    }
}

}  // namespace
}  // namespace aerova
