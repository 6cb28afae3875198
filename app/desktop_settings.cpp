#include "app/desktop_settings.h"

#include "app/main_window.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "config/settings.h"
#include "radar/radar_input.h"
#include "radar/radar_window.h"
#include "radar/ring_centre.h"
#include "station/station_state.h"

namespace aerova {

namespace {

std::string Num(int v) {
    return std::to_string(v);
}

// A window's geometry keys read and write the window itself; a load only notes the values,
// which the after-load step checks against the screens and applies.
// While a window is maximised its settings keep the bounds it had before.
QRect Bounds(QWidget* w) {
    if (auto* radar = dynamic_cast<RadarWindow*>(w)) return radar->normalBounds();
    return w->isMaximized() ? w->normalGeometry() : w->geometry();
}

void BindGeometry(Settings& s, const std::string& section, QWidget* w, WindowPlacement& placed,
                  bool withSize) {
    s.Bind(
        section, "left", [w] { return Num(w->isMaximized() ? Bounds(w).x() : w->x()); },
        [&placed](const std::string& v) { placed.left = IntOr(v, placed.left); });
    s.Bind(
        section, "top", [w] { return Num(w->isMaximized() ? Bounds(w).y() : w->y()); },
        [&placed](const std::string& v) { placed.top = IntOr(v, placed.top); });
    if (!withSize) return;
    s.Bind(
        section, "width", [w] { return Num(Bounds(w).width()); },
        [&placed](const std::string& v) { placed.width = IntOr(v, placed.width); });
    s.Bind(
        section, "height", [w] { return Num(Bounds(w).height()); },
        [&placed](const std::string& v) { placed.height = IntOr(v, placed.height); });
}

void BindRadar(Settings& s, int tag, RadarWindow& r, RadarCycleState& cycle) {
    const std::string w = Num(tag);
    const std::string radar = "radar" + w;
    RadarDisplayState& d = r.display();
    RadarView& view = r.view();
    RingCentreSelectors& c = d.ringCentre.selectors;

    s.Bind(radar, "visible", cycle.visible);
    s.Bind(radar, "controlpanel", d.layout.controlBarHeight);
    s.Bind(radar, "panel2", d.layout.panel2);
    s.Bind(radar, "panel3", d.layout.panel3);
    s.Bind(radar, "panel4", d.layout.panel4);
    s.Bind(radar, "ontop", d.layout.spbtop);
    s.Bind(radar, "nocaption", d.layout.spbcap);
    s.Bind(radar, "gps", d.cbgps);
    s.Bind(radar, "ctrgps", d.cbctrgps);
    s.Bind(radar, "sbsonly", d.cbsbsonly);
    s.Bind(radar, "aisonly", d.cbaisonly);
    s.Bind("metar", "loc" + w, d.edicao);
    s.Bind("metar", "auto" + w, d.cbmetauto);
    s.Bind("metar", "taf" + w, d.cbtaf);
    for (int n = 0; n <= kLayerTypes; ++n) {
        const auto i = static_cast<std::size_t>(n);
        s.Bind("outlines", Concat({"enabled-radar", w, "-", Num(n)}), d.outlineMarks[i]);
        s.Bind("waypoints", Concat({"enabled-radar", w, "-", Num(n)}), d.waypointMarks[i]);
    }
    s.BindItem(radar, "rings", d.cbrings, kRingItems);
    s.Bind(
        radar, "vari", [&d] { return Num(d.cbvari + 20); },
        [&d](const std::string& v) { d.cbvari = IntOr(v, 20) - 20; });
    s.BindItem(radar, "font", d.cbfont, kFontItems);
    s.Bind(radar, "inner", d.cbinner);
    s.Bind(radar, "label", d.defaultLabelPosition);
    s.Bind(radar, "lat0", c.cblat0);
    s.Bind(radar, "lat1", c.cblat1);
    s.Bind(radar, "lat2", c.cblat2);
    s.Bind(radar, "lat3", c.cblat3);
    s.Bind(radar, "long0", c.cblong0);
    s.Bind(radar, "long1", c.cblong1);
    s.Bind(radar, "long2", c.cblong2);
    s.Bind(radar, "long3", c.cblong3);
    s.Bind(radar, "dbllat", d.ringCentre.dbllat);
    s.Bind(radar, "dbllong", d.ringCentre.dbllong);

    s.Bind("position", radar + "x", view.centreLon);
    s.Bind("position", radar + "y", view.centreLat);
    s.Bind("position", radar + "z", view.cameraDistance);

    const std::string button = "button" + w;
    s.Bind(button, "diamonds", d.spbdiamonds);
    s.Bind(button, "showregs", d.spbshowregs);
    s.Bind(button, "oksymbol", d.oksymbol);
    s.Bind(button, "xsymbol", d.xsymbol);
    s.Bind(button, "gndsymbol", d.gndsymbol);
    s.Bind(button, "oktrails", d.oktrails);
    s.Bind(button, "xtrails", d.xtrails);
    s.Bind(button, "gndtrails", d.gndtrails);
    s.Bind(button, "okvectors", d.okvector);
    s.Bind(button, "xvectors", d.xvector);
    s.Bind(button, "gndvectors", d.gndvector);
    s.Bind(button, "usercoloronly", d.usercolorshowonly);
    s.Bind(button, "oksymbol2", d.ok2symbol);
    s.Bind(button, "oktrails2", d.ok2trails);
    s.Bind(button, "okvectors2", d.ok2vector);

    s.BindItem("filter", "upper" + w, d.cbupper, FilterItems());
    s.BindItem("filter", "lower" + w, d.cblower, FilterItems());

    s.Bind("more", "trails" + w, d.cbtrails);
    s.BindItem("more", "trails" + w + "a", d.cbtrails1, kTrailDotItems);
    s.BindItem("more", "vector" + w, d.cbvector, kVectorItems);
    s.BindItem("more", "trailsmin" + w, d.cbtrailsmin, kTrailMinuteItems);
    s.Bind("more", "circle" + w, d.separation);
    s.Bind("more", "labelset" + w, d.labelset);
    s.Bind("more", "labelauto" + w, d.cbAutoLabel);
    s.Bind(
        "more", "labelalt" + w, [&d] { return Num(d.cblblalt / kLabelAltitudeStep); },
        [&d](const std::string& v) { d.cblblalt = IntOr(v, 15) * kLabelAltitudeStep; });
    s.Bind("more", "qnh" + w, d.cbqnh);
    s.Bind("more", "atctrails" + w, d.cbatctrails);
    s.Bind("more", "userstyle" + w, d.cbuserstyle);
    s.Bind("metar", "wxshow" + w, d.wxshow);
    s.Bind("onearth", "world" + w, d.cbworld);
    s.Bind("onearth", "auto" + w, d.cbautoheight);

    for (int item = 1; item < kColourItems; ++item) {
        const auto i = static_cast<std::size_t>(item);
        s.Bind("colors", "enabled-radar" + w + "-" + Num(item), d.marks.checked[i]);
    }
    for (int item = kColUserFirst; item <= kColUserLast; ++item)
        s.Bind("colors", "text-radar" + w + "-" + Num(item),
               d.marks.caption[static_cast<std::size_t>(item)]);
}

void BindColours(Settings& s, ColourTable& colours) {
    for (int item = 0; item < kColourItems; ++item) {
        const ColourItemInfo& info = ColourItemAt(item);
        if (!info.key) continue;
        Rgb& colour = colours[item];
        s.Bind(
            info.section, info.key, [&colour] { return Num(ColourIntFromRgb(colour)); },
            [&colour](const std::string& v) { colour = RgbFromColourInt(IntOr(v, 0)); });
    }
}

}  // namespace

std::function<void()> BindDesktopSettings(Settings& s, const DesktopSettingsTargets& t) {
    struct Placements {
        WindowPlacement main, radar[2], alertManager, script;
    };
    auto placed = std::make_shared<Placements>();
    BindGeometry(s, "main", t.mainWindow, placed->main, false);
    for (int tag = 1; tag <= 2; ++tag) {
        RadarWindow& r = *t.radar[tag - 1];
        BindGeometry(s, "radar" + Num(tag), &r, placed->radar[tag - 1], true);
        BindRadar(s, tag, r, *t.cycle[tag - 1]);
    }
    if (t.alertManager) BindGeometry(s, "ftp", t.alertManager, placed->alertManager, true);
    if (t.scriptWindow) BindGeometry(s, "script", t.scriptWindow, placed->script, false);
    // Both windows show one track bar; window 1's position is stored.
    RadarDisplayState& d1 = t.radar[0]->display();
    s.Bind("more", "maxtrails1", d1.tbmaxtrails);
    s.Bind("more", "usertrails1", d1.cbusertrails);
    s.Bind("firstrun", "firstrun", *t.firstRun);
    ReceiverBarState& bar = *t.receiverBar;
    s.Bind("datasource", "usbspeed", bar.cbbaudrate);
    s.Bind("datasource", "usbport", bar.cbCOMPORTS);
    s.Bind("datasource", "pgr", bar.sbpgr);
    BindColours(s, *t.colours);
    s.Bind("main", "maxvratenocolorchange", *t.maxVrateNoColourChange);

    return [&s, t, placed] {
        const auto place = [&s](QWidget* w, const WindowPlacement& p, bool withSize) {
            WindowPlacement want = p;
            if (!withSize) {
                want.width = w->width();
                want.height = w->height();
            }
            const WindowPlacement fit = FitWindowToScreens(want, s.screens());
            if (s.screens().empty()) return;  // no screen to place on
            w->move(fit.left, fit.top);
            if (withSize && fit.width > 0 && fit.height > 0) w->resize(fit.width, fit.height);
        };
        place(t.mainWindow, placed->main, false);
        if (t.alertManager) place(t.alertManager, placed->alertManager, true);
        if (t.scriptWindow) place(t.scriptWindow, placed->script, false);
        for (int tag = 1; tag <= 2; ++tag) {
            RadarWindow& r = *t.radar[tag - 1];
            place(&r, placed->radar[tag - 1], true);
            RadarView& view = r.view();
            SetView(view, view.centreLat, view.centreLon, view.cameraDistance);
            ApplyRingCentre(view, r.display().ringCentre);
            // A METAR code from a file is cleaned as one typed into the box.
            r.display().edicao = CleanAirportCode(r.display().edicao);
            r.ApplyLayout();
            r.SetDisclaimerShown(*t.firstRun);
        }
        RadarDisplayState& d2 = t.radar[1]->display();
        d2.tbmaxtrails = t.radar[0]->display().tbmaxtrails;
        d2.cbusertrails = t.radar[0]->display().cbusertrails;
        for (RadarWindow* r : t.radar) r->SyncControls();
    };
}

}  // namespace aerova
