#include "app/desktop_no_position.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>
#include <mutex>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/numbers.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "tools/no_position_window.h"

namespace aerova {

namespace {

constexpr const char* kButton = "spbnonvislist";
constexpr int kDefaultWidth = 299, kDefaultHeight = 474, kMaxWidth = 408;

}  // namespace

DesktopNoPosition::DesktopNoPosition(DesktopStation& desk) : desk_(desk) {
    NoPositionWindowHooks hooks;
    hooks.listChanged = [this] { RebuildLocked(); };
    // Keys go to radar window 2 while it has the focus, else to radar window 1.
    hooks.key = [this](QKeyEvent* key) {
        if (!key) return;
        RadarWindow& radar = desk_.radar(2).isActiveWindow() ? desk_.radar(2) : desk_.radar(1);
        radar.Route(KeyPressFromEvent(*key));
    };
    // "N" releases the main window's button only; the radar windows' buttons keep theirs.
    hooks.hiddenByKey = [this] { desk_.mainWindow().SetButtonDown(kButton, false); };
    hooks.closed = [this] { ReleaseButtons(); };
    window_ = std::make_unique<NoPositionWindow>(state_, std::move(hooks));

    // The radar windows' buttons toggle the main window's, which owns the window.
    QToolButton* main = desk_.mainWindow().button(kButton);
    main->setEnabled(true);
    connect(main, &QToolButton::toggled, this, [this](bool down) { ShowWindow(down); });
    ApplyListColours();
}

DesktopNoPosition::~DesktopNoPosition() = default;

void DesktopNoPosition::Rebuild() {
    window_->ShowList(BuildNoPositionList(desk_.table(), state_, desk_.colours(),
                                          {&desk_.radar(1).display(), &desk_.radar(2).display()}));
}

void DesktopNoPosition::RebuildLocked() {
    std::scoped_lock guard(desk_.station().tableMutex);
    Rebuild();
}

void DesktopNoPosition::ApplyListColours() {
    const ColourTable& c = desk_.colours();
    window_->SetListColours(c[kColNoPosBackground], c[kColNoPosFont]);
}

void DesktopNoPosition::Show(bool shown) {
    desk_.mainWindow().SetButtonDown(kButton, shown);
    ShowWindow(shown);
}

void DesktopNoPosition::ShowWindow(bool shown) {
    // Both radar windows' buttons take the state of the one pressed.
    for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).controls().SetButtonDown(kButton, shown);
    if (shown) {
        window_->show();
        window_->raise();
    } else {
        window_->hide();
    }
}

void DesktopNoPosition::ReleaseButtons() {
    desk_.mainWindow().SetButtonDown(kButton, false);
    for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).controls().SetButtonDown(kButton, false);
}

void DesktopNoPosition::BindSettings(Settings& s) {
    settings_ = &s;
    constexpr std::string_view kControl = "control";
    s.Bind(kControl, "sortid", state_.spbsortid);
    s.Bind(kControl, "sortalt", state_.spbsortalt);
    s.Bind(kControl, "sortreg", state_.spbsortreg);
    s.Bind(kControl, "sortsq", state_.spbsortsq);
    s.Bind(kControl, "nocaption", state_.spbcap);
    s.Bind(kControl, "ontop", state_.spbtop);
    s.Bind(kControl, "showall", state_.spbnopos);
    s.Bind(kControl, "uconly", state_.buuconly);
    s.Bind(kControl, "altfilter", state_.sbfilter);
    s.Bind(kControl, "altfiltertext", state_.sbfilterCaption);

    constexpr std::string_view kWindow = "nonpos";
    NoPositionWindow* w = window_.get();
    const auto number = [](int v) { return std::to_string(v); };
    s.Bind(
        kWindow, "left", [w, number] { return number(w->x()); },
        [this](const std::string& v) { placed_.left = IntOr(v, placed_.left); });
    s.Bind(
        kWindow, "top", [w, number] { return number(w->y()); },
        [this](const std::string& v) { placed_.top = IntOr(v, placed_.top); });
    s.Bind(
        kWindow, "width", [w, number] { return number(w->width()); },
        [this](const std::string& v) { placed_.width = IntOr(v, placed_.width); });
    s.Bind(
        kWindow, "height", [w, number] { return number(w->height()); },
        [this](const std::string& v) { placed_.height = IntOr(v, placed_.height); });
    s.Bind(
        kWindow, "visible", [w] { return std::string(w->isVisible() ? "1" : "0"); },
        [this](const std::string& v) { state_.visible = v == "1"; });
    s.Bind(kWindow, "controlpanel", state_.panelVisible);
}

void DesktopNoPosition::Place() {
    WindowPlacement want = placed_;
    // A size the window can't take gives its own.
    if (want.width <= 0 || want.height <= 0) {
        want.width = kDefaultWidth;
        want.height = kDefaultHeight;
    }
    want.width = std::min(want.width, kMaxWidth);
    if (settings_ && !settings_->screens().empty())
        want = FitWindowToScreens(want, settings_->screens());
    window_->move(want.left, want.top);
    window_->resize(want.width, want.height);
}

void DesktopNoPosition::SettingsLoaded() {
    NormaliseLoaded(state_);
    ApplyListColours();
    window_->SyncControls();
    Place();
    Show(state_.visible);
}

}  // namespace aerova
