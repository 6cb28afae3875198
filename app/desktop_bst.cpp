#include "app/desktop_bst.h"

#include <QKeyEvent>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "config/settings.h"
#include "radar/label_editor_window.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "tools/bst_control_window.h"

namespace aerova {

namespace {
constexpr char kButton[] = "spbdb";
}

DesktopBst::DesktopBst(DesktopStation& desk) : desk_(desk) {
    Station& station = desk_.station();
    StationServices& services = desk_.services();
    BstControlFields fields{station.bst.spbbstfile,
                            station.bst.cbsavenopos,
                            station.bst.cbselectedflight,
                            station.bst.cbrestartBST1,
                            station.bst.pnbstColour,
                            services.networkSettings.cbsavexml,
                            services.databaseOptions.createsql,
                            services.databaseOptions.createtextlog,
                            marklabel_};
    BstControlWindowHooks hooks;
    // The station opens the files through its save dialog, or closes them.
    hooks.spbbstfileClick = [this] { desk_.station().spbbstfileClick(true); };
    hooks.changed = [this](const std::string& control) { Changed(control); };
    hooks.key = [this](QKeyEvent* key) {
        if (key) desk_.keyRouter().lastActive().Route(KeyPressFromEvent(*key));
    };
    hooks.closed = [this] { SetButtons(false); };
    window_ = std::make_unique<BstControlWindow>(fields, std::move(hooks));

    QToolButton* button = desk_.mainWindow().button(kButton);
    button->setEnabled(true);
    connect(button, &QToolButton::toggled, this, [this](bool down) { Show(down); });
}

DesktopBst::~DesktopBst() = default;

void DesktopBst::Show(bool shown) {
    if (shown) {
        window_->Refresh();
        window_->show();
        window_->raise();
    } else {
        window_->hide();
    }
    SetButtons(shown);
}

void DesktopBst::ShowAndRaise() {
    Show(true);
    window_->activateWindow();
}

void DesktopBst::SetButtons(bool down) {
    desk_.mainWindow().SetButtonDown(kButton, down);
    for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).controls().SetButtonDown(kButton, down);
}

void DesktopBst::Changed(const std::string& control) {
    StationServices& services = desk_.services();
    if (control == "cbcreatesql" || control == "cbcreatetextlog")
        services.database().SetOptions(services.databaseOptions);
    if (control == "cbmarklabel") {
        desk_.labelEditor().SetMarkLabel(marklabel_);
        for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).Redraw();
    }
}

void DesktopBst::BindSettings(Settings& s) {
    s.Bind("flightstats", "marklabel", marklabel_);
}

void DesktopBst::SettingsLoaded() {
    desk_.labelEditor().SetMarkLabel(marklabel_);
    window_->Refresh();
}

}  // namespace aerova
