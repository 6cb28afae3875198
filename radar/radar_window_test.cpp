// Radar window frames on a real display (Xvfb with Mesa): pixels where gluProject puts a
// target, emergency colours, "Hide all" and the display lists shared with window 2.

#include "radar/radar_window.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QOpenGLContext>
#include <memory>

#include "radar/gl_resources.h"
#include "radar/gui_test_support.h"
#include "radar/radar_gl_widget.h"
#include "radar/renderer.h"
#include "radar/symbols.h"
#include "radar/target_style.h"

namespace aerova {
namespace {

using testing::AddTarget;
using testing::GrabFrame;

// Two radar windows over one table, as the desktop station wires them.
struct Scene {
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    SharedGlResources shared;
    ColourTable colours;
    LabelLayout labels;
    std::unique_ptr<RadarWindow> w1, w2;
    int trailIndex = 0;

    Scene() {
        w1 = Make(1);
        w2 = Make(2);
    }
    ~Scene() {
        w2.reset();
        w1.reset();
    }
    std::unique_ptr<RadarWindow> Make(int tag) {
        RadarWindowServices s;
        s.table = table.get();
        s.shared = &shared;
        s.colours = &colours;
        s.labels = &labels;
        s.stationInputs = [this](RenderInputs& in) { in.trailIndex = trailIndex; };
        auto w = std::make_unique<RadarWindow>(tag, s);
        // A drawing panel of 640 x 480 above the 30-pixel control bar, no side panels.
        w->display().layout = RadarLayoutState{};
        w->ApplyLayout();
        w->resize(640, 480 + 30);
        return w;
    }
};

// Where gluProject puts a geographic point with the matrices of the last frame.
QPoint GluPixel(RadarRenderer& r, float lat, float lon) {
    const FrameProjection& f = r.projection();
    const ModelPoint m = GeoToModel(lat, lon, kTargetHeightKm);
    GLdouble wx = 0, wy = 0, wz = 0;
    EXPECT_EQ(gluProject(m.x, m.y, m.z, f.modelview.data(), f.projection.data(), f.viewport.data(),
                         &wx, &wy, &wz),
              GL_TRUE);
    return QPoint(static_cast<int>(std::lround(wx)), static_cast<int>(std::lround(wy)));
}

// Counts the symbol's set pixels around `at` (origin lower left) that have `colour`.
int SymbolPixelsIn(const QImage& image, int symbol, QPoint at, const Rgb& colour,
                   int* total = nullptr) {
    const QColor want = QColor::fromRgbF(colour.r, colour.g, colour.b);
    int matching = 0, count = 0;
    for (int x = 0; x < kSymbolSize; ++x)
        for (int y = 0; y < kSymbolSize; ++y) {
            if (!SymbolPixel(symbol, x, y)) continue;
            ++count;
            const QColor got =
                image.pixelColor(at.x() - 4 + x, image.height() - 1 - (at.y() - 4 + y));
            if (std::abs(got.red() - want.red()) <= 1 &&
                std::abs(got.green() - want.green()) <= 1 &&
                std::abs(got.blue() - want.blue()) <= 1)
                ++matching;
        }
    if (total) *total = count;
    return matching;
}

TEST(Gui, TargetAtKnownPositionInItsClassColourWhereGluProjectPutsIt) {
    REQUIRE_DISPLAY();
    Scene scene;
    AddTarget(*scene.table, 53.65f, 10.1f, "F350", "1234");
    AddTarget(*scene.table, 53.50f, 9.9f, "F350", "2345");
    scene.w1->display().cbupper = "UNL";
    QImage image = GrabFrame(*scene.w1);
    ASSERT_FALSE(image.isNull());
    const QPoint p = GluPixel(scene.w1->pnradar().renderer(), 53.65f, 10.1f);
    ASSERT_TRUE(QRect(0, 0, 640, 480).contains(p));
    int total = 0;
    EXPECT_EQ(SymbolPixelsIn(image, kSymTarget, p, scene.colours[kColActiveFlight], &total), total);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().classCount[kClassAir], 2);

    // Above the upper filter the target is class 2 and drawn with symbol 2.
    scene.w1->display().cbupper = "340";
    image = GrabFrame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().classCount[kClassFiltered], 2);
    EXPECT_EQ(SymbolPixelsIn(image, kSymFiltered, p, scene.colours[kColActiveFlight], &total),
              total);
    const std::size_t slot = 0;
    EXPECT_TRUE((*scene.w1).cache()[slot].onscreen);
    EXPECT_EQ((*scene.w1).cache()[slot].x, p.x());
    EXPECT_EQ((*scene.w1).cache()[slot].y, p.y());
}

TEST(Gui, EmptyTableDrawsBackgroundRingsAndOverlaysOnly) {
    REQUIRE_DISPLAY();
    Scene scene;
    const QImage image = GrabFrame(*scene.w1);
    const FrameStats& stats = scene.w1->pnradar().renderer().stats();
    EXPECT_EQ(stats.labelsDrawn, 0);
    EXPECT_EQ(stats.symbolsDrawn, 0);
    EXPECT_EQ(stats.trailPointsDrawn, 0);
    const Rgb bg = scene.colours[kColRadarBackground];
    EXPECT_EQ(image.pixelColor(320, 470), QColor::fromRgbF(bg.r, bg.g, bg.b));
    // The clock box outline, 4 pixels below the top edge (image row 3) from x 104 to 296.
    const Rgb strip = scene.colours[kColFlightStrip];
    EXPECT_EQ(image.pixelColor(200, 3), QColor::fromRgbF(strip.r, strip.g, strip.b));
    // Ring colour somewhere on the 60 NM ring left of the ring centre.
    const Rgb ring = scene.colours[kColRadarRings];
    const QColor ringColour = QColor::fromRgbF(ring.r, ring.g, ring.b);
    int ringPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ringPixels += image.pixelColor(x, y) == ringColour;
    EXPECT_GT(ringPixels, 500);
}

TEST(Gui, BusyStationDrawsNothing) {
    REQUIRE_DISPLAY();
    Scene scene;
    GrabFrame(*scene.w1);
    const int frames = scene.w1->pnradar().framesDrawn();
    RadarRenderer& r = scene.w1->pnradar().renderer();
    RenderInputs in;
    in.busy = true;
    scene.w1->pnradar().makeCurrent();
    EXPECT_FALSE(r.RenderFrame(in, 640, 480));
    scene.w1->pnradar().doneCurrent();
    EXPECT_EQ(scene.w1->pnradar().framesDrawn(), frames);
}

TEST(Gui, SquawkDistressDrawnInDistressEvenWhenSelected) {
    REQUIRE_DISPLAY();
    Scene scene;
    const int slot = AddTarget(*scene.table, 53.6f, 10.0f, "F350", "7700");
    scene.table->windows[0].selected = slot;
    const QImage image = GrabFrame(*scene.w1);
    const QPoint p = GluPixel(scene.w1->pnradar().renderer(), 53.6f, 10.0f);
    int total = 0;
    EXPECT_EQ(SymbolPixelsIn(image, kSymTarget, p, scene.colours[kColDistress], &total), total);
    EXPECT_EQ(SymbolPixelsIn(image, kSymTarget, p, scene.colours[kColSelectedFlight]), 0);
}

TEST(Gui, HideAllRemovesAircraftLabelsButNotVessels) {
    REQUIRE_DISPLAY();
    Scene scene;
    AddTarget(*scene.table, 53.6f, 10.0f, "F350", "1234");
    const int vessel = AddTarget(*scene.table, 53.55f, 9.95f, "", "");
    Tflight& v = scene.table->flights[static_cast<std::size_t>(vessel)];
    v.vessel = true;
    v.labeltext = "MAERSK";
    v.mcpmode = '0';
    GrabFrame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().labelsDrawn, 2);
    scene.w1->display().spbhideall = true;
    const QImage hidden = GrabFrame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().labelsDrawn, 1);
    // The vessel keeps its symbol in the AIS underway colour.
    const QPoint p = GluPixel(scene.w1->pnradar().renderer(), 53.55f, 9.95f);
    int total = 0;
    EXPECT_EQ(SymbolPixelsIn(hidden, kSymVessel, p, scene.colours[kColAisUnderway], &total), total);
}

TEST(Gui, LabelPixelLayerMatchesGlyphByGlyphBitmaps) {
    REQUIRE_DISPLAY();
    Scene scene;
    for (int i = 0; i < 6; ++i)
        AddTarget(*scene.table, 53.4f + 0.08f * i, 9.7f + 0.1f * i, "F350", "1234");
    const QImage layered = GrabFrame(*scene.w1);
    scene.w1->pnradar().renderer().SetGlyphPath(true);
    const QImage glyphs = GrabFrame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().labelsDrawn, 6);
    EXPECT_TRUE(layered == glyphs);
}

TEST(Gui, WindowTwoCallsTheListsWindowOneBuilt) {
    REQUIRE_DISPLAY();
    Scene scene;
    AddTarget(*scene.table, 53.6f, 10.0f, "F350", "1234");
    GrabFrame(*scene.w1);
    GrabFrame(*scene.w2);
    EXPECT_EQ(scene.shared.builtBy(), 1);
    EXPECT_FALSE(scene.w2->pnradar().sharingFailed());
    EXPECT_EQ(&scene.w2->pnradar().resources(), &scene.shared);
    EXPECT_GE(scene.w2->pnradar().framesDrawn(), 1);
    EXPECT_TRUE(
        QOpenGLContext::areSharing(scene.w1->pnradar().context(), scene.w2->pnradar().context()));
    scene.w2->pnradar().makeCurrent();
    EXPECT_EQ(glIsList(scene.shared.gridList()), GL_TRUE);
    EXPECT_EQ(glIsList(scene.shared.fontBase(FontSize::k12) + 'A'), GL_TRUE);
    EXPECT_EQ(glIsList(scene.shared.symbolBase() + 11), GL_TRUE);
    scene.w2->pnradar().doneCurrent();
}

}  // namespace
}  // namespace aerova
