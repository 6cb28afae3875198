// The desktop station's map: the map folders and their marks, the layer colours, and the
// rebuild of the outline lists and waypoints at the start of reception and by "Apply files".

#include <QApplication>
#include <QMessageBox>

#include "app/desktop_station.h"
#include "app/startup_window.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "radar/map_files.h"
#include "radar/map_lists.h"
#include "radar/mosaic_window.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "radar/texture_scene.h"

namespace aerova {

void DesktopStation::BindMapSettings() {
    Settings& s = station().settingsFile;
    s.Bind("onearth", "red", mosaicState_.red);
    s.Bind("onearth", "green", mosaicState_.green);
    s.Bind("onearth", "blue", mosaicState_.blue);
    s.Bind("onearth", "quality", mosaicState_.cbquality);
    s.Bind("onearth", "radar1", mosaicState_.cbradar1);
    s.Bind("onearth", "radar2", mosaicState_.cbradar2);
    s.Bind("onearth", "autoheight", autoHeightKm_);
    s.BindMapFolders([this] { return folderMarks_; },
                     [this](const std::map<std::string, bool>& marks) { folderMarks_ = marks; });
    for (int n = 1; n <= kLayerTypes; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        for (bool outline : {true, false}) {
            Rgb& colour = outline ? mapColours_.outlines[i] : mapColours_.waypoints[i];
            s.Bind(
                "drawingsettings",
                Concat({outline ? "outlinecolours-" : "waypointcolours-", std::to_string(n)}),
                [&colour] { return std::to_string(ColourIntFromRgb(colour)); },
                [&colour](const std::string& v) { colour = RgbFromColourInt(IntOr(v, 0)); });
        }
    }
}

void DesktopStation::BuildTextures(bool globe) {
    Station& s = station();
    const std::string mosaicDir = JoinPath(s.stationDir(), "aerova-mosaic");
    const auto message = [this](const std::string& text, const std::string& title) {
        Message(text, title);
    };
    WithShareGroupContext([&] {
        if (globe) {
            const std::string world = JoinPath(s.stationDir(), "aerova-img/world.jpg");
            if (FileExists(world)) startupWindow_->SetStatus("Loading images... world.jpg");
            // Without the world picture "Show globe" is off in both windows.
            if (!BuildGlobe(textures_, world, message))
                for (auto& w : radar_) w->display().cbworld = false;
        }
        BuildMosaics(
            textures_, mosaicDir, ReadMosaicList(mosaicDir).entries,
            [this, globe](const std::string& text) {
                if (globe)
                    startupWindow_->SetStatus(QString::fromStdString(text));
                else if (mosaics_)
                    mosaics_->SetStatus(text);
            },
            message);
    });
    for (auto& w : radar_) w->Redraw();
}

std::vector<std::pair<std::string, bool>> DesktopStation::MapFolderList() const {
    std::vector<std::pair<std::string, bool>> list;
    for (const std::string& name : mapFolders_) {
        const auto it = folderMarks_.find(name);
        list.emplace_back(name, it != folderMarks_.end() ? it->second : MapFolderDefault(name));
    }
    return list;
}

void DesktopStation::ReloadFolderList() {
    mapFolders_ = MapFolders(station().stationDir());
    for (auto& w : radar_) w->SyncControls();
}

bool DesktopStation::RebuildMaps() {
    // A second "Apply files", a folder change or a quit while the map is rebuilt must not
    // start another rebuild inside this one.
    Station& s = station();
    if (s.mapsRebuilding || closing_) return false;
    s.mapsRebuilding = true;
    for (auto& w : radar_) {
        w->StopViewTimer();
        w->setCursor(Qt::WaitCursor);
    }
    const bool startupShown = startupWindow_->isVisible();
    startupWindow_->show();
    // Whatever happens, the busy mark, the timers, the cursors and the windows come back.
    struct Restore {
        DesktopStation& d;
        bool startupShown;
        ~Restore() {
            d.station().mapsRebuilding = false;
            for (auto& w : d.radar_) {
                w->unsetCursor();
                if (!d.station().shutdownBegun()) w->RestartViewTimers();
            }
            if (!startupShown) d.startupWindow_->hide();
        }
    } restore{*this, startupShown};

    std::vector<std::string> enabled;
    for (const auto& [name, on] : MapFolderList())
        if (on) enabled.push_back(name);
    const MapData data = LoadMapData(s.stationDir(), enabled, [this](const std::string& text) {
        startupWindow_->SetStatus(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
        // Keep the windows painted; no clicks or keys until the map is ready.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    for (const std::string& e : data.errors) s.WriteErrorLog(e);
    waypointNames_ = WaypointNameTable(data);
    const bool compiled = WithShareGroupContext([&] {
        CompileMapScene(mapScene_, data,
                        [this](const std::string& text) { Message(text, kMainCaption); });
    });
    for (auto& w : radar_) {
        w->controls().control("sbapply")->setEnabled(false);
        w->Redraw();
    }
    return compiled;
}

}  // namespace aerova
