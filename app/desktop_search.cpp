#include "app/desktop_search.h"

#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/numbers.h"
#include "radar/radar_window.h"
#include "tools/search_window.h"

namespace aerova {

namespace {

constexpr std::string_view kSection = "search";
constexpr const char* kButton = "sbsearch";

// The two radar windows as the search moves them.
class RadarSearchDisplays : public SearchDisplays {
  public:
    explicit RadarSearchDisplays(DesktopStation& desk) : desk_(desk) {}

    bool Visible(int tag) const override { return desk_.radar(tag).isVisible(); }
    SearchView View(int tag) const override {
        const RadarView& v = desk_.radar(tag).view();
        return SearchView{v.centreLat, v.centreLon, v.cameraDistance};
    }
    void MoveTo(int tag, const SearchView& view) override {
        RadarWindow& w = desk_.radar(tag);
        SetView(w.view(), view.lat, view.lon, view.distance);
        w.SyncControls();
        w.Redraw();
    }
    void UntickCentreGps(int tag) override {
        RadarWindow& w = desk_.radar(tag);
        w.display().cbctrgps = false;
        w.SyncControls();
    }
    void Zoom(int tag, int wheelDelta) override {
        RadarWindow& w = desk_.radar(tag);
        ZoomByWheel(w.view(), wheelDelta);
        w.SyncControls();
        w.Redraw();
    }

  private:
    DesktopStation& desk_;
};

}  // namespace

DesktopSearch::DesktopSearch(DesktopStation& desk)
    : desk_(desk), displays_(std::make_unique<RadarSearchDisplays>(desk)) {
    window_ = std::make_unique<SearchWindow>(
        desk_.table(),
        [this]() -> const std::vector<WaypointName>& { return desk_.waypointNames(); }, *displays_);
    window_->onClosed = [this] { desk_.mainWindow().SetButtonDown(kButton, false); };
    window_->raiseMainWindow = [this] {
        MainWindow& main = desk_.mainWindow();
        main.show();
        main.raise();
        main.activateWindow();
    };
    if (QToolButton* button = desk_.mainWindow().button(kButton)) {
        button->setEnabled(true);
        connect(button, &QToolButton::toggled, this, [this](bool down) {
            if (down)
                Show();
            else
                Hide();
        });
    }
}

DesktopSearch::~DesktopSearch() {
    window_->onClosed = nullptr;
    window_->raiseMainWindow = nullptr;
}

void DesktopSearch::Show() {
    desk_.mainWindow().SetButtonDown(kButton, true);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void DesktopSearch::Hide() {
    window_->hide();
}

void DesktopSearch::BindSettings(Settings& s) {
    settings_ = &s;
    SearchState& state = window_->state();
    s.Bind(kSection, "search1", state.search1);
    s.Bind(kSection, "search2", state.search2);
    s.Bind(kSection, "follow", state.follow);
    // The place and size are noted at a load and applied afterwards, on a screen that exists.
    QWidget* w = window_.get();
    s.Bind(
        kSection, "left", [w] { return std::to_string(w->x()); },
        [this](const std::string& v) { placed_.left = IntOr(v, placed_.left); });
    s.Bind(
        kSection, "top", [w] { return std::to_string(w->y()); },
        [this](const std::string& v) { placed_.top = IntOr(v, placed_.top); });
    s.Bind(
        kSection, "width", [w] { return std::to_string(w->width()); },
        [this](const std::string& v) { placed_.width = IntOr(v, placed_.width); });
    s.Bind(
        kSection, "height", [w] { return std::to_string(w->height()); },
        [this](const std::string& v) { placed_.height = IntOr(v, placed_.height); });
}

void DesktopSearch::SettingsLoaded() {
    NormaliseDisplayChoice(window_->state());
    window_->Refresh();
    if (!settings_ || settings_->screens().empty()) return;
    const WindowPlacement fit = FitWindowToScreens(placed_, settings_->screens());
    window_->move(fit.left, fit.top);
    if (fit.width > 0 && fit.height > 0) window_->resize(fit.width, fit.height);
}

}  // namespace aerova
