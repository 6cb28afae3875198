#include "app/desktop_atc.h"

#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "app/station_services.h"
#include "base/numbers.h"
#include "radar/radar_window.h"
#include "tools/atc_console_window.h"

namespace aerova {

namespace {

constexpr std::string_view kSection = "atcconsole";
constexpr const char* kPositionKeys[kAtcPositionLists] = {"lat0",  "lat1",  "lat2",
                                                          "long0", "long1", "long2"};

std::string Num(int v) {
    return std::to_string(v);
}

}  // namespace

class DesktopAtc::Radars : public AtcRadarWindows {
  public:
    explicit Radars(DesktopStation& desk) : desk_(desk) {}
    bool Shown(int tag) override { return desk_.radar(tag).isVisible(); }
    RadarView& View(int tag) override { return desk_.radar(tag).view(); }
    WindowTargetMarks& Marks(int tag) override { return desk_.radar(tag).marks(); }
    void Redraw(int tag) override { desk_.radar(tag).Redraw(); }

  private:
    DesktopStation& desk_;
};

DesktopAtc::DesktopAtc(DesktopStation& desk)
    : desk_(desk), radars_(std::make_unique<Radars>(desk)) {
    AtcConsoleHooks hooks;
    hooks.radars = radars_.get();
    hooks.stationDir = desk_.station().stationDir();
    hooks.changed = [this] { ToIngest(); };
    hooks.closed = [this] { desk_.mainWindow().SetButtonDown("sbatc", false); };
    window_ = std::make_unique<AtcConsoleWindow>(state_, std::move(hooks));
    QToolButton* button = desk_.mainWindow().button("sbatc");
    if (button) {
        button->setEnabled(true);
        connect(button, &QToolButton::toggled, this, [this](bool down) { Show(down); });
    }
}

DesktopAtc::~DesktopAtc() = default;

void DesktopAtc::Show(bool shown) {
    desk_.mainWindow().SetButtonDown("sbatc", shown);
    if (shown) {
        window_->show();
        window_->raise();
    } else {
        window_->StoreListHeights();
        window_->hide();
    }
}

void DesktopAtc::ToIngest() {
    IngestSettings& ingest = desk_.services().ingestSettings;
    ingest.spbONG = state_.spbONG;
    ingest.atcairport = state_.edroute;
    ingest.blacklist = state_.blacklist;
}

void DesktopAtc::BindSettings(Settings& s) {
    AtcConsoleWindow* w = window_.get();
    s.Bind(
        kSection, "left", [w] { return Num(w->x()); },
        [this](const std::string& v) { placed_.left = IntOr(v, placed_.left); });
    s.Bind(
        kSection, "top", [w] { return Num(w->y()); },
        [this](const std::string& v) { placed_.top = IntOr(v, placed_.top); });
    s.Bind(
        kSection, "width", [w] { return Num(w->width()); },
        [this](const std::string& v) { placed_.width = IntOr(v, placed_.width); });
    s.Bind(
        kSection, "height", [w] { return Num(w->height()); },
        [this](const std::string& v) { placed_.height = IntOr(v, placed_.height); });
    s.Bind(
        kSection, "visible", [w] { return std::string(w->isVisible() ? "1" : "0"); },
        [this](const std::string& v) { visible_ = v == "1"; });
    s.Bind(kSection, "panel", state_.panel);
    s.Bind(
        kSection, "arrsheight",
        [this] {
            window_->StoreListHeights();
            return Num(state_.arrsheight);
        },
        [this](const std::string& v) { state_.arrsheight = IntOr(v, state_.arrsheight); });
    s.Bind(kSection, "localheight", state_.localheight);
    s.Bind(kSection, "squawk", state_.sbsq);
    s.Bind(kSection, "filter", state_.spbfilsq);
    s.Bind(kSection, "arrs", state_.sbarrs);
    s.Bind(kSection, "deps", state_.sbdeps);
    for (std::size_t i = 0; i < state_.edsq.size(); ++i)
        s.Bind(kSection, "sq" + Num(static_cast<int>(i + 1)), state_.edsq[i]);
    for (int i = 0; i < kAtcPositionLists; ++i) {
        const auto list = static_cast<AtcPositionList>(i);
        s.Bind(
            kSection, kPositionKeys[i],
            [this, i] { return Num(state_.position[static_cast<std::size_t>(i)]); },
            [this, list](const std::string& v) {
                // An index outside its list keeps the item the console has.
                SetAtcIndex(state_, list, IntOr(v, -1));
            });
    }
}

void DesktopAtc::SettingsLoaded() {
    const IngestSettings& ingest = desk_.services().ingestSettings;
    state_.spbONG = ingest.spbONG;
    state_.edroute = ingest.atcairport;
    state_.blacklist = ingest.blacklist;
    AtcSettingsLoaded(state_, desk_.station().stationDir());
    ToIngest();
    const Settings& s = desk_.station().settingsFile;
    if (!s.screens().empty() && placed_.width > 0 && placed_.height > 0) {
        const WindowPlacement fit = FitWindowToScreens(placed_, s.screens());
        window_->move(fit.left, fit.top);
        window_->resize(fit.width, fit.height);
    }
    window_->Refresh();
    Show(visible_);
}

void DesktopAtc::ReceptionStarted() {
    const Rgb& c = desk_.colours()[kColNoPosBackground];
    window_->SetListBackground(QColor::fromRgbF(c.r, c.g, c.b));
}

void DesktopAtc::Tick() {
    ClearAtcLists(state_);
    window_->RefreshLists();
}

}  // namespace aerova
