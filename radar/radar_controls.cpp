#include "radar/radar_controls.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "radar/radar_input.h"
#include "radar/radar_window.h"
#include "radar/ring_centre.h"

namespace aerova {

namespace {

constexpr int kBarHeight = 30;
constexpr int kPanelWidth = 190;

QStringList Numbers(int from, int to, int width) {
    QStringList items;
    for (int i = from; i <= to; ++i) items << QString("%1").arg(i, width, 10, QChar('0'));
    return items;
}

QStringList ToList(const std::vector<std::string>& items) {
    QStringList list;
    for (const auto& i : items) list << QString::fromStdString(i);
    return list;
}

QColor ToQColor(const Rgb& c) {
    return QColor::fromRgbF(c.r, c.g, c.b);
}

bool IsHeader(int item) {
    return ColourItemAt(item).header;
}

}  // namespace

RadarControls::RadarControls(RadarWindow& window, RadarWindowServices& services,
                             QWidget* radarPanel)
    : QObject(&window), window_(window), services_(services) {
    root_ = new QWidget(&window);
    auto* rows = new QHBoxLayout(root_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    auto* left = new QVBoxLayout();
    left->setSpacing(0);
    left->addWidget(radarPanel, 1);
    pncp_ = new QWidget(root_);
    pncp_->setObjectName("pncp");
    pncp_->setToolTip("Hide control panel");
    pncp_->installEventFilter(this);
    // The bar's controls may be cut off at the right: the window's size is the user's.
    pncp_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    left->addWidget(pncp_);
    rows->addLayout(left, 1);
    BuildControlBar();
    BuildRadarPanel();
    BuildTargetsPanel();
    BuildColoursPanel();
    for (const char* p : {"Panel4", "Panel2", "Panel3"}) rows->addWidget(panels_[p]);
}

QToolButton* RadarControls::AddButton(QWidget* parent, const QString& name, const QString& text,
                                      const QString& hint, bool toggle) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setCheckable(toggle);
    b->setFocusPolicy(Qt::NoFocus);
    controls_[name] = b;
    return b;
}

QComboBox* RadarControls::AddCombo(QWidget* parent, const QString& name, const QStringList& items,
                                   const QString& hint) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setToolTip(hint);
    controls_[name] = c;
    return c;
}

QWidget* RadarControls::control(const QString& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}
QToolButton* RadarControls::button(const QString& name) const {
    return qobject_cast<QToolButton*>(control(name));
}
QComboBox* RadarControls::combo(const QString& name) const {
    return qobject_cast<QComboBox*>(control(name));
}
QListWidget* RadarControls::list(const QString& name) const {
    return qobject_cast<QListWidget*>(control(name));
}
QFrame* RadarControls::panel(const char* name) const {
    const auto it = panels_.find(name);
    return it == panels_.end() ? nullptr : it->second;
}

void RadarControls::SetButtonDown(const QString& name, bool down) {
    if (QToolButton* b = button(name)) {
        const bool blocked = b->blockSignals(true);
        b->setChecked(down);
        b->blockSignals(blocked);
    }
}

void RadarControls::Changed() {
    if (!syncing_) window_.Redraw();
}

void RadarControls::Mirror(const std::function<void(RadarControls&)>& apply) {
    if (RadarWindow* twin = window_.twin()) {
        RadarControls& other = twin->controls();
        other.syncing_ = true;
        apply(other);
        other.syncing_ = false;
        twin->Redraw();
    }
}

void RadarControls::BuildControlBar() {
    auto* bar = new QHBoxLayout(pncp_);
    bar->setContentsMargins(1, 1, 1, 1);
    bar->setSpacing(1);
    RadarWindow& w = window_;
    struct Spec {
        const char* name;
        const char* text;
        const char* hint;
        bool toggle;
        bool enabled;
    };
    const Spec specs[] = {
        {"spbradar1", "1", "Show/hide Radar 1", true, true},
        {"spbradar2", "2", "Show/hide Radar 2", true, true},
        {"spbnonvislist", "NP", "Show/hide aircraft list", true, true},
        {"spbLabelEditor", "L", "Label editor", true, true},
        {"spbdctconfig", "SBS", "Configure data interface", true, true},
        {"spbMin", "_", "Minimize application", false, true},
        {"spbquit", "X", "Quit Aerova", false, true},
        {"spbtop", "T", "Keep window on top", true, true},
        {"spbconfig", "CFG", "Configure map", true, true},
        {"spblabel", "LBL", "Configure flight target properties", true, true},
        {"spbcolor", "CLR", "Configure display colors", true, true},
        {"spbdb", "BST", "BST recording control", true, true},
        {"spbhelp", "F1", "Help", true, true},
        {"spbcap", "CAP", "Hide caption bar", true, true},
        {"sbcenterpos", "CTR", "Center receiver location", true, true},
        {"sbUSB", "USB", "Open/close USB port", true, true},
        {"sbcpr", "CPR", "Use global CPR decoding", true, true},
        {"sbpgr", "PGR", "Use Planegadgetradar", true, true},
    };
    for (const Spec& s : specs) {
        QToolButton* b = AddButton(pncp_, s.name, s.text, s.hint, s.toggle);
        b->setEnabled(s.enabled);
        bar->addWidget(b);
    }
    lamp_ = new QLabel(pncp_);
    lamp_->setObjectName("ALed1");
    lamp_->setToolTip("Data traffic");
    lamp_->setFixedSize(14, 22);
    controls_["ALed1"] = lamp_;
    bar->addWidget(lamp_);
    SetLamp(false);
    bar->addWidget(
        AddCombo(pncp_, "cbCOMPORTS", {"/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyS0"}, "COM Port"));
    combo("cbCOMPORTS")->setEditable(true);
    bar->addWidget(new QLabel("Baud", pncp_));
    bar->addWidget(AddCombo(pncp_, "cbbaudrate",
                            {"115200", "833333", "921600", "1000000", "3000000"},
                            "USB/COM baudrate"));
    bar->addStretch(1);

    for (int tag = 1; tag <= 2; ++tag) {
        const QString name = tag == 1 ? "spbradar1" : "spbradar2";
        connect(button(name), &QToolButton::toggled, this, [this, tag, name](bool down) {
            // In its own window the button of the only visible window stays down.
            RadarWindow* other = window_.twin();
            if (!down && tag == window_.tag() && other && !other->isVisible()) {
                SetButtonDown(name, true);
                return;
            }
            Mirror([name, down](RadarControls& c) { c.SetButtonDown(name, down); });
            RadarWindow* target = tag == window_.tag() ? &window_ : other;
            if (!target) return;
            if (down) {
                target->show();
                target->raise();
            } else {
                target->close();
            }
        });
    }
    connect(button("spbMin"), &QToolButton::clicked, this, [this] {
        if (services_.minimise) services_.minimise();
    });
    connect(button("spbquit"), &QToolButton::clicked, this, [this] {
        if (services_.quit) services_.quit();
    });
    connect(button("spbtop"), &QToolButton::toggled, this, [&w](bool down) {
        w.display().layout.spbtop = down;
        w.ApplyLayout();
    });
    connect(button("spbcap"), &QToolButton::toggled, this, [&w](bool down) {
        w.display().layout.spbcap = down;
        w.ApplyLayout();
    });
    const std::pair<const char*, const char*> panelButtons[] = {
        {"spbconfig", "Panel4"}, {"spblabel", "Panel2"}, {"spbcolor", "Panel3"}};
    for (const auto& [b, p] : panelButtons)
        connect(button(b), &QToolButton::toggled, this,
                [&w, p = p](bool down) { w.SetPanelShown(p, down); });
    connect(button("spbLabelEditor"), &QToolButton::toggled, this, [this](bool down) {
        if (services_.showLabelEditor) services_.showLabelEditor(down);
    });
    // The bar's buttons of the station's tool windows follow the main window's, which own
    // the windows.
    for (const char* name : {"spbnonvislist", "spbdctconfig", "spbdb"}) {
        connect(button(name), &QToolButton::toggled, this, [this, name](bool down) {
            if (syncing_) return;
            if (services_.mainButtonDown && services_.mainButtonDown(name) == down) return;
            if (services_.toggleMainButton) services_.toggleMainButton(name);
        });
    }
    connect(button("spbhelp"), &QToolButton::toggled, this, [this](bool) {
        if (services_.showHelp) services_.showHelp(window_.tag());
    });
    // The receiver controls: one state in both windows.
    const char* receiverButtons[] = {"sbcenterpos", "sbUSB", "sbcpr", "sbpgr"};
    for (const char* name : receiverButtons) {
        connect(button(name), &QToolButton::toggled, this, [this, name = QString(name)](bool down) {
            ReceiverBarState& r = *services_.receiverBar;
            if (name == "sbcenterpos") r.sbcenterpos = down;
            if (name == "sbUSB") r.sbUSB = down;
            if (name == "sbcpr") r.sbcpr = down;
            if (name == "sbpgr") r.sbpgr = down;
            Mirror([name, down](RadarControls& c) { c.SetButtonDown(name, down); });
            // While the port is open its lists are fixed.
            combo("cbCOMPORTS")->setEnabled(!r.sbUSB);
            combo("cbbaudrate")->setEnabled(!r.sbUSB);
            Mirror([&r](RadarControls& c) {
                c.combo("cbCOMPORTS")->setEnabled(!r.sbUSB);
                c.combo("cbbaudrate")->setEnabled(!r.sbUSB);
            });
            if (services_.receiverControlChanged)
                services_.receiverControlChanged(name.toStdString());
        });
    }
    connect(combo("cbbaudrate"), &QComboBox::currentIndexChanged, this, [this](int i) {
        if (syncing_ || i < 0) return;
        services_.receiverBar->cbbaudrate = i;
        Mirror([i](RadarControls& c) { c.combo("cbbaudrate")->setCurrentIndex(i); });
    });
    connect(combo("cbCOMPORTS"), &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (syncing_) return;
        services_.receiverBar->cbCOMPORTS = t.toStdString();
        Mirror([t](RadarControls& c) { c.combo("cbCOMPORTS")->setCurrentText(t); });
    });
}

QFrame* RadarControls::BuildPanel(const char* name, const char* header, const char* buttonName) {
    auto* frame = new QFrame(root_);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFixedWidth(kPanelWidth);
    frame->installEventFilter(this);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(3, 1, 3, 3);
    auto* top = new QHBoxLayout();
    auto* title = new QLabel(header, frame);
    title->setObjectName(QString(name) + "Header");
    top->addWidget(title, 1);
    auto* close = new QToolButton(frame);
    close->setText("x");
    close->setObjectName(QString(name) + "Close");
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, this, [this, name, buttonName] {
        window_.SetPanelShown(name, false);
        SetButtonDown(buttonName, false);
    });
    top->addWidget(close);
    column->addLayout(top);
    frame->hide();
    panels_[name] = frame;
    return frame;
}

void RadarControls::BuildRadarPanel() {
    QFrame* p = BuildPanel("Panel4", " RADAR", "spbconfig");
    auto* grid = new QGridLayout();
    auto* column = static_cast<QVBoxLayout*>(p->layout());
    column->addLayout(grid);
    RadarWindow& w = window_;
    grid->addWidget(new QLabel("Radar ring center", p), 0, 0, 1, 4);
    grid->addWidget(new QLabel("Lat", p), 1, 0, 1, 4);
    const std::pair<const char*, QStringList> lat[] = {{"cblat0", {"N", "S"}},
                                                       {"cblat1", Numbers(0, 89, 2)},
                                                       {"cblat2", Numbers(0, 99, 2)},
                                                       {"cblat3", Numbers(0, 99, 2)}};
    const std::pair<const char*, QStringList> lon[] = {{"cblong0", {"E", "W"}},
                                                       {"cblong1", Numbers(0, 179, 3)},
                                                       {"cblong2", Numbers(0, 99, 2)},
                                                       {"cblong3", Numbers(0, 99, 2)}};
    for (int i = 0; i < 4; ++i) grid->addWidget(AddCombo(p, lat[i].first, lat[i].second), 2, i);
    grid->addWidget(new QLabel("Long", p), 3, 0, 1, 4);
    for (int i = 0; i < 4; ++i) grid->addWidget(AddCombo(p, lon[i].first, lon[i].second), 4, i);
    for (const char* name :
         {"cblat0", "cblat1", "cblat2", "cblat3", "cblong0", "cblong1", "cblong2", "cblong3"}) {
        connect(combo(name), &QComboBox::currentIndexChanged, this, [this, &w, name](int i) {
            if (syncing_ || i < 0) return;
            RingCentreSelectors& s = w.display().ringCentre.selectors;
            int* fields[] = {&s.cblat0,  &s.cblat1,  &s.cblat2,  &s.cblat3,
                             &s.cblong0, &s.cblong1, &s.cblong2, &s.cblong3};
            const char* names[] = {"cblat0",  "cblat1",  "cblat2",  "cblat3",
                                   "cblong0", "cblong1", "cblong2", "cblong3"};
            for (int k = 0; k < 8; ++k)
                if (std::string_view(names[k]) == name) *fields[k] = i;
            RecomputeRingCentre(w.view(), w.display().ringCentre, w.cache());
            Changed();
        });
    }
    auto* centre = new QPushButton("Screen center", p);
    centre->setObjectName("bucenter");
    centre->setToolTip("Center rings to screen center");
    centre->setFocusPolicy(Qt::NoFocus);
    controls_["bucenter"] = centre;
    connect(centre, &QPushButton::clicked, this, [this, &w] {
        SetRingCentre(w.view(), w.display().ringCentre, w.view().centreLat, w.view().centreLon);
        ResetBearings(w.cache());
        Sync();
        Changed();
    });
    grid->addWidget(centre, 5, 0, 1, 4);

    grid->addWidget(new QLabel("Rings every", p), 6, 0, 1, 2);
    grid->addWidget(AddCombo(p, "cbrings", ToList(kRingItems)), 6, 2);
    grid->addWidget(new QLabel("NM", p), 6, 3);
    connect(combo("cbrings"), &QComboBox::currentTextChanged, this, [this, &w](const QString& t) {
        if (syncing_) return;
        w.display().cbrings = t.toStdString();
        Changed();
    });
    auto* inner = new QCheckBox("Clear inner ring", p);
    inner->setObjectName("cbinner");
    inner->setToolTip("Clear inner segment of radar rings");
    controls_["cbinner"] = inner;
    connect(inner, &QCheckBox::toggled, this, [this, &w](bool on) {
        if (syncing_) return;
        w.display().cbinner = on;
        Changed();
    });
    grid->addWidget(inner, 7, 0, 1, 4);

    grid->addWidget(new QLabel("METAR", p), 8, 0);
    auto* icao = new QLineEdit(p);
    icao->setObjectName("edicao");
    icao->setToolTip("Enter ICAO code for airport");
    icao->setMaxLength(4);
    controls_["edicao"] = icao;
    // The code goes into a request and the settings: letters and digits only.
    connect(icao, &QLineEdit::textEdited, this, [this, icao, &w](const QString& t) {
        const std::string clean = CleanAirportCode(t.toStdString());
        if (clean != t.toStdString()) icao->setText(QString::fromStdString(clean));
        w.display().edicao = clean;
    });
    grid->addWidget(icao, 8, 1);
    auto* metauto = new QCheckBox("Auto", p);
    metauto->setObjectName("cbmetauto");
    metauto->setToolTip("Reload METAR and selected TAF, ShortTAF every 15 mins");
    controls_["cbmetauto"] = metauto;
    // Ticking "Auto" (also when the settings tick it) starts the reload cycle.
    connect(metauto, &QCheckBox::toggled, this, [this, &w](bool on) {
        w.display().cbmetauto = on;
        if (on && services_.metarAutoTicked) services_.metarAutoTicked(w.tag());
    });
    grid->addWidget(metauto, 8, 2);
    QToolButton* reload =
        AddButton(p, "SpeedButton4", "Reload", "Reload METAR and selected TAF, ShortTAF", false);
    connect(reload, &QToolButton::clicked, this, [this] {
        if (services_.metarReload) services_.metarReload();
    });
    grid->addWidget(reload, 8, 3);
    connect(icao, &QLineEdit::editingFinished, this, [this, &w] {
        if (syncing_) return;
        if (services_.metarAirportLeft) services_.metarAirportLeft(w.tag());
    });

    // What the METAR line shows, and whether the reloads fetch the forecasts.
    QToolButton* wx = AddButton(p, "sbwxreports", "WX", "METAR and TAF of any airport", false);
    connect(wx, &QToolButton::clicked, this, [this] {
        if (services_.showWxReports) services_.showWxReports();
    });
    grid->addWidget(wx, 9, 0);
    grid->addWidget(
        AddCombo(p, "cbwxshow", {"METAR", "Short TAF", "TAF", "METAR + short TAF", "METAR + TAF"},
                 "Weather text shown in the radar picture"),
        9, 1, 1, 2);
    connect(combo("cbwxshow"), &QComboBox::currentIndexChanged, this, [this, &w](int i) {
        if (syncing_ || i < 0) return;
        w.display().wxshow = i;
        Changed();
    });
    auto* taf = new QCheckBox("TAF", p);
    taf->setObjectName("cbtaf");
    taf->setToolTip("Reload the TAF and short TAF with the METAR");
    controls_["cbtaf"] = taf;
    connect(taf, &QCheckBox::toggled, this, [this, &w](bool on) {
        if (!syncing_) w.display().cbtaf = on;
    });
    grid->addWidget(taf, 9, 3);

    grid->addWidget(new QLabel("Variation", p), 10, 0, 1, 2);
    QStringList vari;
    for (int v = -20; v <= 20; ++v) vari << QString::number(v);
    grid->addWidget(AddCombo(p, "cbvari", vari), 10, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("\u00b0"), p), 10, 3);
    connect(combo("cbvari"), &QComboBox::currentIndexChanged, this, [this, &w](int i) {
        if (syncing_ || i < 0) return;
        w.display().cbvari = i - 20;
        Changed();
    });

    grid->addWidget(new QLabel("Flights", p), 11, 0);
    grid->addWidget(AddCombo(p, "cbflightinactive",
                             {"1", "2", "3", "4", "5", "6", "10", "15", "20", "30", "45", "60"},
                             "Timeout for inactive state (sec)"),
                    11, 1);
    grid->addWidget(AddCombo(p, "cbflightdelete", {"0.5", "1", "2", "3", "4", "5"},
                             "Timeout for deletion (min)"),
                    11, 2);
    grid->addWidget(new QLabel("(sec)               (min)", p), 12, 0, 1, 4);
    for (const char* name : {"cbflightinactive", "cbflightdelete"})
        connect(combo(name), &QComboBox::currentIndexChanged, this, [this](int) {
            if (!syncing_) TimeoutChanged();
        });
    column->addStretch(1);
}

void RadarControls::TimeoutChanged() {
    std::array<int, 4> t = services_.timeouts ? services_.timeouts() : std::array<int, 4>{};
    t[0] = combo("cbflightinactive")->currentIndex();
    t[1] = combo("cbflightdelete")->currentIndex();
    // The twin shows the same choice; the station applies it once.
    Mirror([t](RadarControls& c) {
        c.combo("cbflightinactive")->setCurrentIndex(t[0]);
        c.combo("cbflightdelete")->setCurrentIndex(t[1]);
    });
    if (services_.setTimeouts) services_.setTimeouts(t);
}

void RadarControls::BuildTargetsPanel() {
    QFrame* p = BuildPanel("Panel2", " TARGETS", "spblabel");
    auto* column = static_cast<QVBoxLayout*>(p->layout());
    auto* grid = new QGridLayout();
    column->addLayout(grid);
    RadarWindow& w = window_;
    const char* columns[] = {"AIR", "FIL", "GND"};
    const char* hints[] = {"Aircraft filtered positive - set 1", "Aircraft filtered negative",
                           "Aircraft on ground (if filtered positive)"};
    for (int c = 0; c < 3; ++c) {
        auto* label = new QLabel(columns[c], p);
        label->setToolTip(hints[c]);
        grid->addWidget(label, 0, c + 1);
    }
    const char* rows[] = {"Symbol", "Trails", "Vector"};
    const char* names[3][3] = {{"oksymbol", "xsymbol", "gndsymbol"},
                               {"oktrails", "xtrails", "gndtrails"},
                               {"okvector", "xvector", "gndvector"}};
    RadarDisplayState& d = w.display();
    bool* fields[3][3] = {{&d.oksymbol, &d.xsymbol, &d.gndsymbol},
                          {&d.oktrails, &d.xtrails, &d.gndtrails},
                          {&d.okvector, &d.xvector, &d.gndvector}};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(new QLabel(rows[r], p), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            QToolButton* b = AddButton(p, names[r][c], columns[c], hints[c], true);
            bool* field = fields[r][c];
            connect(b, &QToolButton::toggled, this, [this, field](bool down) {
                if (syncing_) return;
                *field = down;
                Changed();
            });
            grid->addWidget(b, r + 1, c + 1);
        }
    }
    grid->addWidget(new QLabel("Altitude filter", p), 4, 0, 1, 4);
    grid->addWidget(new QLabel("Upper", p), 5, 0);
    grid->addWidget(AddCombo(p, "cbupper", ToList(FilterItems())), 5, 1, 1, 3);
    grid->addWidget(new QLabel("Lower", p), 6, 0);
    grid->addWidget(AddCombo(p, "cblower", ToList(FilterItems())), 6, 1, 1, 3);
    connect(combo("cbupper"), &QComboBox::currentIndexChanged, this, [this, &w](int i) {
        if (syncing_ || i < 0) return;
        PickUpperFilter(i, w.display());
        Sync();
        Changed();
    });
    connect(combo("cblower"), &QComboBox::currentIndexChanged, this, [this, &w](int i) {
        if (syncing_ || i < 0) return;
        PickLowerFilter(i, w.display());
        Sync();
        Changed();
    });
    grid->addWidget(new QLabel("Vectors (sec)", p), 7, 0, 1, 2);
    grid->addWidget(AddCombo(p, "cbvector", ToList(kVectorItems)), 7, 2, 1, 2);
    grid->addWidget(new QLabel("Font (pt)", p), 8, 0, 1, 2);
    grid->addWidget(AddCombo(p, "cbfont", ToList(kFontItems)), 8, 2, 1, 2);
    connect(combo("cbvector"), &QComboBox::currentTextChanged, this, [this, &w](const QString& t) {
        if (syncing_) return;
        w.display().cbvector = t.toStdString();
        Changed();
    });
    connect(combo("cbfont"), &QComboBox::currentTextChanged, this, [this, &w](const QString& t) {
        if (syncing_) return;
        w.display().cbfont = t.toStdString();
        Changed();
    });
    column->addStretch(1);
}

void RadarControls::BuildColoursPanel() {
    QFrame* p = BuildPanel("Panel3", " COLORS", "spbcolor");
    auto* column = static_cast<QVBoxLayout*>(p->layout());
    auto* area = new QWidget(p);
    area->setObjectName("Panel3Lists");
    area->installEventFilter(this);
    column->addWidget(area, 1);
    for (const char* name : {"cbwaypoints", "cboutlines", "cbcolors", "cbfolders"}) {
        auto* l = new QListWidget(area);
        l->setObjectName(name);
        l->setFocusPolicy(Qt::NoFocus);
        controls_[name] = l;
    }
    RadarWindow& w = window_;
    for (int i = 0; i < kColourItems; ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(ColourItemAt(i).caption));
        if (!IsHeader(i)) item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        list("cbcolors")->addItem(item);
    }
    for (int i = 0; i <= kLayerTypes; ++i) {
        for (const char* name : {"cbwaypoints", "cboutlines"}) {
            auto* item = new QListWidgetItem();
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            list(name)->addItem(item);
        }
    }
    connect(list("cbcolors"), &QListWidget::itemChanged, this, [this, &w](QListWidgetItem* item) {
        if (syncing_) return;
        const int i = list("cbcolors")->row(item);
        if (i <= 0 || i >= kColourItems || IsHeader(i)) return;
        const bool on = item->checkState() == Qt::Checked;
        w.display().marks.checked[static_cast<std::size_t>(i)] = on;
        // The user colours are one state in both windows.
        if (i >= kColUserFirst && i <= kColUserLast)
            Mirror([i, on](RadarControls& c) {
                c.window_.display().marks.checked[static_cast<std::size_t>(i)] = on;
                c.Sync();
            });
        Changed();
    });
    connect(list("cbcolors"), &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        ColourListDoubleClicked(list("cbcolors")->row(item));
    });
    for (const char* name : {"cbwaypoints", "cboutlines"}) {
        connect(
            list(name), &QListWidget::itemChanged, this, [this, &w, name](QListWidgetItem* item) {
                if (syncing_) return;
                const auto i = static_cast<std::size_t>(list(name)->row(item));
                auto& marks = std::string_view(name) == "cboutlines" ? w.display().outlineMarks
                                                                     : w.display().waypointMarks;
                if (i < marks.size()) marks[i] = item->checkState() == Qt::Checked;
                Changed();
            });
    }
    // A layer's colour, shared by both windows, through the colour dialog.
    for (const char* name : {"cbwaypoints", "cboutlines"})
        connect(list(name), &QListWidget::itemDoubleClicked, this,
                [this, name](QListWidgetItem* item) {
                    const int type = list(name)->row(item);
                    MapLayerColours* mc = services_.mapColours;
                    if (type < 1 || type > kLayerTypes || !mc || !services_.pickColour) return;
                    auto& colours =
                        std::string_view(name) == "cboutlines" ? mc->outlines : mc->waypoints;
                    Rgb& colour = colours[static_cast<std::size_t>(type - 1)];
                    if (const auto chosen = services_.pickColour(colour)) {
                        colour = *chosen;
                        Sync();
                        Mirror([](RadarControls& c) { c.Sync(); });
                        window_.Redraw();
                    }
                });
    for (const char* name : {"cbwaypoints", "cboutlines", "cbcolors"})
        connect(list(name), &QListWidget::itemClicked, this,
                [this](QListWidgetItem* item) { ShowPanelHeader(" " + item->text()); });
    auto* buttons = new QHBoxLayout();
    auto* apply = new QPushButton("Apply files", p);
    apply->setObjectName("sbapply");
    apply->setToolTip("Apply outlines and waypoint files");
    apply->setEnabled(false);  // until a folder mark changes
    apply->setFocusPolicy(Qt::NoFocus);
    controls_["sbapply"] = apply;
    connect(apply, &QPushButton::clicked, this, [this] {
        if (services_.applyMapFiles) services_.applyMapFiles();
    });
    // The folder list's popup command rescans the station directory.
    auto* reload = new QAction("Reload filelist", list("cbfolders"));
    list("cbfolders")->setContextMenuPolicy(Qt::ActionsContextMenu);
    list("cbfolders")->addAction(reload);
    connect(reload, &QAction::triggered, this, [this] {
        if (services_.reloadMapFolders) services_.reloadMapFolders();
    });
    connect(list("cbfolders"), &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (syncing_ || !services_.setMapFolder) return;
        services_.setMapFolder(item->text().toStdString(), item->checkState() == Qt::Checked);
        // Both windows show the same marks; the change waits for "Apply files".
        Sync();
        Mirror([](RadarControls& c) { c.Sync(); });
        control("sbapply")->setEnabled(true);
        Mirror([](RadarControls& c) { c.control("sbapply")->setEnabled(true); });
    });
    auto* paste = new QPushButton("Paste settings", p);
    paste->setObjectName("sbpaste");
    paste->setToolTip("Copy settings from other radar scope");
    paste->setFocusPolicy(Qt::NoFocus);
    controls_["sbpaste"] = paste;
    connect(paste, &QPushButton::clicked, this, [&w] { w.PasteSettings(); });
    buttons->addWidget(apply);
    buttons->addWidget(paste);
    column->addLayout(buttons);
}

void RadarControls::ShowPanelHeader(const QString& text) {
    if (auto* header = panel("Panel3")->findChild<QLabel*>("Panel3Header")) header->setText(text);
}

void RadarControls::LayoutColourPanel() {
    QWidget* area = panel("Panel3")->findChild<QWidget*>("Panel3Lists");
    if (!area) return;
    const int width = area->width();
    const int q = area->height() / 4;
    const int v = q - 5;
    list("cbwaypoints")->setGeometry(0, 15, width, std::max(q - 15, 0));
    list("cboutlines")->setGeometry(0, q + 5, width, std::max(v, 0));
    list("cbcolors")->setGeometry(0, 2 * v + 15, width, std::max(v, 0));
    list("cbfolders")->setGeometry(0, 3 * v + 20, width, std::max(v, 0));
}

void RadarControls::ColourListDoubleClicked(int item) {
    if (item <= 0 || item >= kColourItems || IsHeader(item)) return;
    if (item >= kColUserFirst && item <= kColUserLast) {
        EditUserColour(item);
        return;
    }
    ColourTable& colours = *services_.colours;
    if (!services_.pickColour) return;
    const std::optional<Rgb> chosen = services_.pickColour(colours[item]);
    if (!chosen) return;
    colours[item] = *chosen;
    Sync();
    Mirror([](RadarControls& c) { c.Sync(); });
    window_.Redraw();
}

void RadarControls::EditUserColour(int item) {
    // "Search string editor": the match text of a user colour and the colour itself.
    QDialog dialog(&window_);
    dialog.setObjectName("Form12");
    dialog.setWindowTitle("Search string editor");
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(new QLabel("Flight ID - Registration", &dialog));
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName("edsearch");
    edit->setToolTip("Enter string (may be partial only)");
    const auto i = static_cast<std::size_t>(item);
    edit->setText(QString::fromStdString(window_.display().marks.caption[i]));
    edit->selectAll();
    column->addWidget(edit);
    Rgb colour = (*services_.colours)[item];
    auto paint = [&dialog, &colour] {
        QPalette p = dialog.palette();
        p.setColor(QPalette::Window, ToQColor(colour));
        dialog.setPalette(p);
        dialog.setAutoFillBackground(true);
    };
    paint();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* pick = buttons->addButton("Color", QDialogButtonBox::ActionRole);
    connect(pick, &QPushButton::clicked, &dialog, [this, &colour, paint] {
        if (!services_.pickColour) return;
        if (const auto chosen = services_.pickColour(colour)) {
            colour = *chosen;
            paint();
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    (*services_.colours)[item] = colour;
    const std::string caption = edit->text().toUpper().toStdString();
    window_.display().marks.caption[i] = caption;
    Mirror([i, caption](RadarControls& c) {
        c.window_.display().marks.caption[i] = caption;
        c.Sync();
    });
    Sync();
    window_.Redraw();
}

void RadarControls::SetLamp(bool lit, std::uint32_t colour) {
    lampLit_ = lit;
    lampColour_ = colour;
    const QColor shown =
        lit ? QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                     static_cast<int>((colour >> 16) & 0xFF))
            : QColor(0xC0, 0xC0, 0xC0);
    lamp_->setStyleSheet(
        QString("background: %1; border-radius: 3px;").arg(shown.name(QColor::HexRgb)));
}

void RadarControls::Sync() {
    const bool was = syncing_;
    syncing_ = true;
    RadarWindow& w = window_;
    const RadarDisplayState& d = w.display();
    const RingCentreSelectors& s = d.ringCentre.selectors;
    const std::pair<const char*, int> selectors[] = {
        {"cblat0", s.cblat0},   {"cblat1", s.cblat1},   {"cblat2", s.cblat2},
        {"cblat3", s.cblat3},   {"cblong0", s.cblong0}, {"cblong1", s.cblong1},
        {"cblong2", s.cblong2}, {"cblong3", s.cblong3}};
    for (const auto& [name, index] : selectors) combo(name)->setCurrentIndex(index);
    // An exact position from the settings strikes the selectors out.
    const bool exact = ComputeRingCentreText(d.ringCentre).exact;
    for (const auto& [name, index] : selectors) {
        QFont f = combo(name)->font();
        f.setStrikeOut(exact);
        combo(name)->setFont(f);
    }
    combo("cbrings")->setCurrentText(QString::fromStdString(d.cbrings));
    static_cast<QCheckBox*>(control("cbinner"))->setChecked(d.cbinner);
    static_cast<QLineEdit*>(control("edicao"))->setText(QString::fromStdString(d.edicao));
    static_cast<QCheckBox*>(control("cbmetauto"))->setChecked(d.cbmetauto);
    static_cast<QCheckBox*>(control("cbtaf"))->setChecked(d.cbtaf);
    combo("cbwxshow")->setCurrentIndex(d.wxshow);
    combo("cbvari")->setCurrentIndex(d.cbvari + 20);
    if (services_.timeouts) {
        const std::array<int, 4> t = services_.timeouts();
        combo("cbflightinactive")->setCurrentIndex(t[0]);
        combo("cbflightdelete")->setCurrentIndex(t[1]);
    }
    const std::pair<const char*, bool> toggles[] = {
        {"oksymbol", d.oksymbol},      {"xsymbol", d.xsymbol},       {"gndsymbol", d.gndsymbol},
        {"oktrails", d.oktrails},      {"xtrails", d.xtrails},       {"gndtrails", d.gndtrails},
        {"okvector", d.okvector},      {"xvector", d.xvector},       {"gndvector", d.gndvector},
        {"spbtop", d.layout.spbtop},   {"spbcap", d.layout.spbcap},  {"spbconfig", d.layout.panel4},
        {"spblabel", d.layout.panel2}, {"spbcolor", d.layout.panel3}};
    for (const auto& [name, on] : toggles) button(name)->setChecked(on);
    combo("cbupper")->setCurrentIndex(std::max(FilterIndex(d.cbupper), 0));
    combo("cblower")->setCurrentIndex(std::max(FilterIndex(d.cblower), 0));
    combo("cbvector")->setCurrentText(QString::fromStdString(d.cbvector));
    combo("cbfont")->setCurrentText(QString::fromStdString(d.cbfont));
    const ReceiverBarState& r = *services_.receiverBar;
    const std::pair<const char*, bool> receiver[] = {
        {"sbcenterpos", r.sbcenterpos}, {"sbUSB", r.sbUSB}, {"sbcpr", r.sbcpr}, {"sbpgr", r.sbpgr}};
    for (const auto& [name, on] : receiver) button(name)->setChecked(on);
    combo("cbbaudrate")->setCurrentIndex(r.cbbaudrate);
    if (!r.cbCOMPORTS.empty())
        combo("cbCOMPORTS")->setCurrentText(QString::fromStdString(r.cbCOMPORTS));
    combo("cbCOMPORTS")->setEnabled(!r.sbUSB);
    combo("cbbaudrate")->setEnabled(!r.sbUSB);

    const ColourTable& colours = *services_.colours;
    const QColor background = ToQColor(colours[kColRadarBackground]);
    QListWidget* cl = list("cbcolors");
    for (int i = 0; i < kColourItems; ++i) {
        QListWidgetItem* item = cl->item(i);
        const auto k = static_cast<std::size_t>(i);
        if (i >= kColUserFirst && i <= kColUserLast)
            item->setText(QString::fromStdString(d.marks.caption[k]));
        if (IsHeader(i)) {
            item->setForeground(Qt::black);
            item->setBackground(QColor(255, 255, 225));
            continue;
        }
        item->setCheckState(d.marks.checked[k] ? Qt::Checked : Qt::Unchecked);
        item->setBackground(i == kColRadarBackground ? QColor(Qt::white) : background);
        item->setForeground(ToQColor(colours[i]));
    }
    if (services_.layers) {
        for (int i = 0; i <= kLayerTypes; ++i) {
            const auto k = static_cast<std::size_t>(i);
            QListWidgetItem* o = list("cboutlines")->item(i);
            QListWidgetItem* wp = list("cbwaypoints")->item(i);
            o->setText(QString::fromStdString(services_.layers->outlines[k]));
            wp->setText(QString::fromStdString(services_.layers->waypoints[k]));
            o->setCheckState(d.outlineMarks[k] ? Qt::Checked : Qt::Unchecked);
            wp->setCheckState(d.waypointMarks[k] ? Qt::Checked : Qt::Unchecked);
            o->setBackground(background);
            wp->setBackground(background);
            const MapLayerColours* mc = services_.mapColours;
            o->setForeground(i == 0 || !mc ? QColor(Qt::white) : ToQColor(mc->outlines[k - 1]));
            wp->setForeground(i == 0 || !mc ? QColor(Qt::white) : ToQColor(mc->waypoints[k - 1]));
        }
    }
    if (services_.mapFolders) {
        QListWidget* folders = list("cbfolders");
        const auto marks = services_.mapFolders();
        if (folders->count() != static_cast<int>(marks.size())) {
            folders->clear();
            for (const auto& m : marks) {
                auto* item = new QListWidgetItem(QString::fromStdString(m.first));
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                folders->addItem(item);
            }
        }
        for (int i = 0; i < folders->count(); ++i) {
            const auto& m = marks[static_cast<std::size_t>(i)];
            folders->item(i)->setText(QString::fromStdString(m.first));
            folders->item(i)->setCheckState(m.second ? Qt::Checked : Qt::Unchecked);
        }
    }
    const bool otherShown = w.twin() && w.twin()->isVisible();
    SetButtonDown(w.tag() == 1 ? "spbradar1" : "spbradar2", w.isVisible());
    SetButtonDown(w.tag() == 1 ? "spbradar2" : "spbradar1", otherShown);
    if (services_.helpVisible) SetButtonDown("spbhelp", services_.helpVisible());
    if (services_.labelEditorVisible)
        SetButtonDown("spbLabelEditor", services_.labelEditorVisible());
    if (services_.mainButtonDown)
        for (const char* name : {"spbnonvislist", "spbdctconfig", "spbdb"})
            SetButtonDown(name, services_.mainButtonDown(name));
    syncing_ = was;
}

bool RadarControls::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        // A click on the control bar collapses it; one on a side panel's background hides it.
        if (watched == pncp_) {
            window_.display().layout.controlBarHeight = 3;
            window_.ApplyLayout();
            return true;
        }
        for (const auto& [name, frame] : panels_) {
            if (watched == frame) {
                const char* buttonName =
                    name == "Panel4" ? "spbconfig" : (name == "Panel2" ? "spblabel" : "spbcolor");
                window_.SetPanelShown(name.toLatin1().constData(), false);
                SetButtonDown(buttonName, false);
                return true;
            }
        }
    }
    if (event->type() == QEvent::Resize && watched->objectName() == "Panel3Lists")
        LayoutColourPanel();
    return QObject::eventFilter(watched, event);
}

}  // namespace aerova
