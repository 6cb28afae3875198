// Radar window frames on a real display (Xvfb with Mesa): pixels where gluProject puts a
// target, emergency colours, "Hide all", the display lists shared with window 2, the
// start-up order of the desktop station, and a screenshot of each window as an artifact.

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QOpenGLContext>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/desktop_station.h"
#include "core/main_window.h"
#include "core/startup_window.h"
#include "radar/gl_resources.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_window.h"
#include "radar/renderer.h"
#include "radar/symbols.h"
#include "radar/target_style.h"

namespace aerova {
namespace {

QApplication* App() {
    static int argc = 1;
    static char name[] = "aerova_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        SetRadarSurfaceFormat();
        QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        return new QApplication(argc, argv);
    }();
    return app;
}

#define REQUIRE_DISPLAY()                                                                   \
    do {                                                                                    \
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display: run under xvfb-run"; \
        App();                                                                              \
    } while (0)

std::string ArtifactPath(const char* file) {
    const char* build = std::getenv("AEROVA_BUILD_DIR");
    const QString dir = QString(build ? build : ".") + "/artifacts";
    QDir().mkpath(dir);
    return (dir + "/" + file).toStdString();
}

int AddTarget(FlightTable& table, float lat, float lon, const char* altlabel, const char* squawk) {
    const int slot = table.AllocateSlot();
    Tflight& f = table.flights[static_cast<std::size_t>(slot)];
    f.deleted = f.free = false;
    f.state = 1;
    f.nopos = false;
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", lat);
    f.lat = text;
    std::snprintf(text, sizeof text, "%.4f", lon);
    f.lon = text;
    f.latf = lat;
    f.lonf = lon;
    f.coslat = std::cos(lat * M_PI / 180);
    f.modes = "3C6586";
    f.labeltext = "DLH123";
    f.altlabel = altlabel;
    f.fl = altlabel[0] ? std::atoi(altlabel + 1) : 0;
    f.squawk = squawk;
    return slot;
}

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
        w->resize(640, 480);
        return w;
    }
    static QImage Frame(RadarWindow& w) {
        if (!w.isVisible()) w.show();
        for (int i = 0; i < 50 && !w.windowHandle()->isExposed(); ++i)
            QApplication::processEvents();
        return w.pnradar().grabFramebuffer();
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
    QImage image = Scene::Frame(*scene.w1);
    ASSERT_FALSE(image.isNull());
    const QPoint p = GluPixel(scene.w1->pnradar().renderer(), 53.65f, 10.1f);
    ASSERT_TRUE(QRect(0, 0, 640, 480).contains(p));
    int total = 0;
    EXPECT_EQ(SymbolPixelsIn(image, kSymTarget, p, scene.colours[kColActiveFlight], &total), total);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().classCount[kClassAir], 2);

    // Above the upper filter the target is class 2 and drawn with symbol 2.
    scene.w1->display().cbupper = "340";
    image = Scene::Frame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().classCount[kClassFiltered], 2);
    EXPECT_EQ(SymbolPixelsIn(image, kSymFiltered, p, scene.colours[kColActiveFlight], &total),
              total);
    const std::size_t slot = 0;
    EXPECT_TRUE(scene.table->windows[0].onscreen[slot]);
    EXPECT_EQ((*scene.w1).cache()[slot].x, p.x());
    EXPECT_EQ((*scene.w1).cache()[slot].y, p.y());
}

TEST(Gui, EmptyTableDrawsBackgroundRingsAndOverlaysOnly) {
    REQUIRE_DISPLAY();
    Scene scene;
    const QImage image = Scene::Frame(*scene.w1);
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
    Scene::Frame(*scene.w1);
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
    const QImage image = Scene::Frame(*scene.w1);
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
    Scene::Frame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().labelsDrawn, 2);
    scene.w1->display().spbhideall = true;
    const QImage hidden = Scene::Frame(*scene.w1);
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
    const QImage layered = Scene::Frame(*scene.w1);
    scene.w1->pnradar().renderer().SetGlyphPath(true);
    const QImage glyphs = Scene::Frame(*scene.w1);
    EXPECT_EQ(scene.w1->pnradar().renderer().stats().labelsDrawn, 6);
    EXPECT_TRUE(layered == glyphs);
}

TEST(Gui, WindowTwoCallsTheListsWindowOneBuilt) {
    REQUIRE_DISPLAY();
    Scene scene;
    AddTarget(*scene.table, 53.6f, 10.0f, "F350", "1234");
    Scene::Frame(*scene.w1);
    Scene::Frame(*scene.w2);
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

TEST(Gui, DesktopStationStartsInOrderAndWritesScreenshots) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-gui-test-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = 20000 + static_cast<int>(QApplication::applicationPid() % 5000);
    DesktopStation station(options);
    std::vector<std::string> questions;
    station.askOverride = [&](const std::string& q, const std::string& title) {
        questions.push_back(q + "|" + title);
        return true;
    };
    ASSERT_TRUE(station.Start());
    const std::vector<QString> order = {"Form1", "trayicon", "startup", "Radar1", "Radar2"};
    EXPECT_EQ(station.creationOrder(), order);
    EXPECT_EQ(station.mainWindow().windowTitle().toStdString(), "Aerova mini Edition V1.0.0");
    EXPECT_EQ(station.radar(1).windowTitle(), "Aerova mini Edition [1]");
    EXPECT_EQ(station.radar(2).windowTitle(), "Aerova mini Edition [2]");
    ASSERT_FALSE(station.startupWindow().history().isEmpty());
    EXPECT_TRUE(station.startupWindow().history().contains("Checking time... "))
        << station.startupWindow().history().join("|").toStdString();
    EXPECT_EQ(station.startupWindow().result(), "Time check failed");
    EXPECT_TRUE(station.radar(1).isVisible());
    EXPECT_FALSE(station.mainWindow().isVisible());  // steps aside while a radar window shows
    EXPECT_TRUE(station.mainWindow().button("spbradar1")->isChecked());
    EXPECT_TRUE(station.mainWindow().button("spbquit")->isEnabled());
    EXPECT_FALSE(station.mainWindow().button("spbLabelEditor")->isEnabled());
    station.SetReceiving(true);
    EXPECT_EQ(station.trayIcon()->toolTip(), "Receiving...");
    station.SetReceiving(false);
    EXPECT_EQ(station.trayIcon()->toolTip(), "Aerova mini Edition");

    const int first = AddTarget(station.table(), 53.65f, 10.1f, "F350", "1234");
    Tflight& f = station.table().flights[static_cast<std::size_t>(first)];
    f.track3 = "090";
    f.trackf = 90;
    station.UpdateTarget(first);
    const TargetScreenEntry& entry = station.radar(1).cache()[static_cast<std::size_t>(first)];
    EXPECT_EQ(entry.labelMode, kLabelFromTrack);
    EXPECT_EQ(entry.labelPosition, 2);
    EXPECT_NE(entry.bearingText.view(), "???");
    EXPECT_NE(entry.distanceText.view(), "????.?");
    const int selected = AddTarget(station.table(), 53.45f, 9.8f, "F280", "7700");
    station.table().windows[0].selected = selected;
    EXPECT_TRUE(
        Scene::Frame(station.radar(1)).save(QString::fromStdString(ArtifactPath("radar1.png"))));
    EXPECT_TRUE(
        Scene::Frame(station.radar(2)).save(QString::fromStdString(ArtifactPath("radar2.png"))));
    station.radar(1).hide();
    station.radar(2).hide();
    QApplication::processEvents();
    EXPECT_TRUE(station.mainWindow().isVisible());  // back when no radar window shows
    EXPECT_TRUE(
        station.mainWindow().grab().save(QString::fromStdString(ArtifactPath("main_window.png"))));
    station.startupWindow().show();
    EXPECT_TRUE(station.startupWindow().grab().save(
        QString::fromStdString(ArtifactPath("startup_window.png"))));
    station.startupWindow().hide();

    EXPECT_TRUE(station.Quit());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Quit Aerova Solo now?|Aerova mini Edition");
    EXPECT_TRUE(station.station().shutdownBegun());
    EXPECT_EQ(station.mainWindow().windowTitle().toStdString(), "Shutdown completed.");
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
