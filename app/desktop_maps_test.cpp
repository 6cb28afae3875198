// The map in the desktop station: outline and waypoint files of the enabled map folders,
// drawn where gluProject puts them, in their layers' colours; a bad file in the middle of
// a rebuild is logged and skipped.

#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <cmath>

#include "app/desktop_station.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/mosaic_files.h"
#include "radar/radar_controls.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_picture.h"
#include "radar/radar_window.h"

namespace aerova {
namespace {

QPoint MapPixel(RadarRenderer& r, float lat, float lon) {
    const FrameProjection& f = r.projection();
    const ModelPoint m = GeoToModel(lat, lon, 0.0f);
    GLdouble wx = 0, wy = 0, wz = 0;
    EXPECT_EQ(gluProject(m.x, m.y, m.z, f.modelview.data(), f.projection.data(), f.viewport.data(),
                         &wx, &wy, &wz),
              GL_TRUE);
    return QPoint(static_cast<int>(std::lround(wx)), static_cast<int>(std::lround(wy)));
}

TEST(Gui, MapFilesAreDrawnInTheirLayersAndABadFileIsSkipped) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-maps-" + QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    const std::string d = dir.path().toStdString();
    // A coast line across the view centre (53.6 N 10.0 E), a waypoint, and between the two
    // files of the folder one that can't be read.
    ForceDirectories(JoinPath(d, "outlines"));
    ASSERT_TRUE(WriteFileReplacing(JoinPath(d, "outlines/a.out"),
                                   "; test coast\r\n$TYPE=03\r\n53.6+9.0, 53.6+10.0\r\n"
                                   "53.6+11.0\r\n-1\r\n"));
    ASSERT_EQ(::symlink("/nonexistent/gone.out", JoinPath(d, "outlines/b.out").c_str()), 0);
    ASSERT_TRUE(WriteFileReplacing(JoinPath(d, "outlines/c.wpt"), "HAM,,2,,53.63,9.99\r\n"));
    ASSERT_TRUE(WriteFileReplacing(JoinPath(d, "aerovas.ini"),
                                   "[firstrun]\r\nfirstrun=0\r\n[drawingsettings]\r\n"
                                   "outlinecolours-3=255\r\nwaypointcolours-2=65280\r\n"));
    RunOptions options;
    options.stationDir = d;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(9);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(station.mapScene().built);
    ASSERT_EQ(station.waypointNames().size(), 1u);
    EXPECT_STREQ(station.waypointNames()[0].name, "HAM");
    std::string log;
    ASSERT_TRUE(ReadWholeFile(JoinPath(d, "aerova-logs/aerova-error.log"), log));
    EXPECT_NE(log.find("b.out"), std::string::npos) << log;

    RadarWindow& r1 = station.radar(1);
    r1.resize(640, 480 + 30);
    const QImage image = testing::GrabFrame(r1);
    RadarRenderer& renderer = r1.pnradar().renderer();
    EXPECT_EQ(renderer.stats().waypointsDrawn, 1);
    const QPoint p = MapPixel(renderer, 53.6f, 10.5f);
    ASSERT_TRUE(QRect(0, 0, image.width(), image.height()).contains(p));
    // The line passes through the pixel (or its neighbour) in type 3's colour, red.
    int red = 0;
    for (int dy = -1; dy <= 1; ++dy)
        red += image.pixelColor(p.x(), image.height() - 1 - p.y() + dy) == QColor(255, 0, 0);
    EXPECT_GE(red, 1);

    // The layer switched off in window 1 is gone from its picture; "Apply files" is
    // enabled by a folder mark and rebuilds without the folder.
    r1.display().outlineMarks[3] = false;
    const QImage without = testing::GrabFrame(r1);
    int still = 0;
    for (int dy = -1; dy <= 1; ++dy)
        still += without.pixelColor(p.x(), without.height() - 1 - p.y() + dy) == QColor(255, 0, 0);
    EXPECT_EQ(still, 0);
    QListWidget* folders = r1.controls().list("cbfolders");
    ASSERT_EQ(folders->count(), 1);
    folders->item(0)->setCheckState(Qt::Unchecked);
    auto* apply = qobject_cast<QPushButton*>(station.radar(2).controls().control("sbapply"));
    ASSERT_TRUE(apply->isEnabled()) << "both windows' buttons";
    apply->click();
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_TRUE(station.waypointNames().empty());
    EXPECT_TRUE(station.Quit());
    EXPECT_NE(IniFile(JoinPath(d, "aerovas.ini")).ReadString("mapfolders", "outlines", ""), "1");
    dir.removeRecursively();
}

// A calibrated mosaic of the view's area is drawn in the windows that show mosaics; one
// whose calibration is broken is skipped and the station goes on.
TEST(Gui, ACalibratedMosaicIsDrawnOverTheViewCentre) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-mosaic-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    const std::string d = dir.path().toStdString();
    const std::string mosaics = JoinPath(d, "aerova-mosaic");
    ForceDirectories(mosaics);
    RadarPicture orange;
    orange.width = 64;
    orange.height = 64;
    orange.pixels.assign(64 * 64, 0xFF8000u);
    ASSERT_TRUE(WriteJpeg(JoinPath(mosaics, "area.jpg"), orange).ok);
    ASSERT_TRUE(
        WriteFileReplacing(JoinPath(mosaics, "area.clb"),
                           CalibrationText(AutoCalibration(56.0, 51.0, 6.0, 14.0, 64, 64, 2))));
    ASSERT_TRUE(WriteJpeg(JoinPath(mosaics, "broken.jpg"), orange).ok);
    ASSERT_TRUE(WriteFileReplacing(JoinPath(mosaics, "broken.clb"), "Point00,xy,1\r\n"));
    ASSERT_TRUE(WriteMosaicList(mosaics, {{"area", true}, {"broken", true}}));
    ASSERT_TRUE(WriteFileReplacing(JoinPath(d, "aerovas.ini"),
                                   "[firstrun]\r\nfirstrun=0\r\n[radar2]\r\nvisible=0\r\n"));
    RunOptions options;
    options.stationDir = d;
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(10);
    DesktopStation station(options);
    station.askOverride = [](const std::string&, const std::string&) { return true; };
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(station.textures().mosaicsReady);
    ASSERT_EQ(station.textures().mosaics.size(), 1u);
    RadarWindow& r1 = station.radar(1);
    r1.resize(640, 480 + 30);
    r1.display().marks.checked[kColGlobalGrid] = false;
    r1.display().marks.checked[kColRadarRings] = false;
    QImage image = testing::GrabFrame(r1);
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    EXPECT_GT(centre.red(), 200) << centre.name().toStdString();
    EXPECT_LT(centre.blue(), 60) << centre.name().toStdString();
    // Switched off for window 1 in the manager: the background again.
    station.mosaicState().cbradar1 = false;
    image = testing::GrabFrame(r1);
    const Rgb bg = station.colours()[kColRadarBackground];
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2),
              QColor::fromRgbF(bg.r, bg.g, bg.b));
    EXPECT_TRUE(station.Quit());
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
