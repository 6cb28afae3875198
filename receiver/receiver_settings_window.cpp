#include "receiver/receiver_settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace aerova {

namespace {

QString Latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Bytes(const QString& s) {
    return s.toLatin1().toStdString();
}

QStringList Numbers(int from, int to, int step, int width) {
    QStringList items;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step)
        items << QString("%1").arg(v, width, 10, QChar('0'));
    return items;
}

// A list index from the state, kept inside the list (a hand-edited file cannot select
// an entry the list does not have).
void SelectIndex(QComboBox* box, int index) {
    box->setCurrentIndex(std::clamp(index, 0, std::max(0, box->count() - 1)));
}

}  // namespace

ReceiverSettingsWindow::ReceiverSettingsWindow(ReceiverSettings& settings,
                                               ReceiverNetworkFields network,
                                               ReceiverSettingsWindowHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      settings_(settings),
      network_(network),
      hooks_(std::move(hooks)) {
    setObjectName("TForm11");
    setWindowTitle("Configuration");
    BuildLists();
    BindControls();
    ShowSettings();
}

QComboBox* ReceiverSettingsWindow::AddCombo(const char* name, const QStringList& items) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->addItems(items);
    box->setMaxVisibleItems(20);
    controls_[name] = box;
    return box;
}

QCheckBox* ReceiverSettingsWindow::AddCheck(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    controls_[name] = box;
    return box;
}

QLineEdit* ReceiverSettingsWindow::AddField(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    controls_[name] = edit;
    return edit;
}

void ReceiverSettingsWindow::BuildLists() {
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout();
    column->addLayout(grid);

    grid->addWidget(new QLabel("Lat", this), 0, 0);
    grid->addWidget(AddCombo("cblat0", {"N", "S"}), 0, 1);
    grid->addWidget(AddCombo("cblat1", Numbers(0, kLatDegreeItems - 1, 1, 2)), 0, 2);
    grid->addWidget(AddCombo("cblat2", Numbers(0, kHundredthItems - 1, 1, 2)), 0, 3);
    grid->addWidget(new QLabel("Long", this), 1, 0);
    grid->addWidget(AddCombo("cblong0", {"E", "W"}), 1, 1);
    grid->addWidget(AddCombo("cblong1", Numbers(0, kLongDegreeItems - 1, 1, 3)), 1, 2);
    grid->addWidget(AddCombo("cblong2", Numbers(0, kHundredthItems - 1, 1, 2)), 1, 3);
    auto* buscreen1 = new QPushButton("From screen center #1", this);
    buscreen1->setObjectName("buscreen1");
    controls_["buscreen1"] = buscreen1;
    grid->addWidget(buscreen1, 2, 0, 1, 3);
    grid->addWidget(AddCheck("cbgps", "Use GPS pos"), 2, 3);

    grid->addWidget(new QLabel("QNH hpa", this), 3, 0);
    grid->addWidget(AddCombo("cbhpa", Numbers(1060, 1060 - (kHpaItems - 1), -1, 1)), 3, 1);
    grid->addWidget(new QLabel("in", this), 3, 2);
    grid->addWidget(AddCombo("cbin", Numbers(3131, 3131 - (kInchItems - 1), -1, 1)), 3, 3);
    grid->addWidget(new QLabel("TA ... ft", this), 4, 0);
    grid->addWidget(AddCombo("cbta", Numbers(24500, 24500 - 500 * (kTransitionItems - 1), -500, 1)),
                    4, 1);
    grid->addWidget(new QLabel("ICAO", this), 4, 2);
    QLineEdit* icao = AddField("edicao");
    icao->setMaxLength(4);
    grid->addWidget(icao, 4, 3);
    QCheckBox* autoQnh = AddCheck("cbqnh", "Auto QNH");
    autoQnh->setAutoFillBackground(true);
    grid->addWidget(autoQnh, 5, 0, 1, 2);

    auto* link = new QHBoxLayout();
    link->addWidget(AddCheck("cbrawlog", "Raw log"));
    link->addWidget(AddCheck("cbtcas", "TCAS"));
    // Frame texts from other programs are always taken on UDP 7933.
    QCheckBox* udp = AddCheck("cb7933", "UDP port 7933");
    udp->setChecked(true);
    udp->setEnabled(false);
    link->addWidget(udp);
    column->addLayout(link);

    auto* net = new QGroupBox("Station network", this);
    auto* netGrid = new QGridLayout(net);
    netGrid->addWidget(new QLabel("Password", net), 0, 0);
    QLineEdit* pw = AddField("edserverpw");
    pw->setEchoMode(QLineEdit::Password);
    netGrid->addWidget(pw, 0, 1, 1, 2);
    netGrid->addWidget(AddCheck("cbmaster", "Master for"), 1, 0);
    netGrid->addWidget(AddField("edmasterip"), 1, 1);
    QLineEdit* port = AddField("edmasterport");
    port->setMaxLength(5);
    port->setMaximumWidth(70);
    netGrid->addWidget(port, 1, 2);
    netGrid->addWidget(AddCheck("cbslave", "Slave (port 7979)"), 2, 0, 1, 3);
    column->addWidget(net);

    auto* save = new QPushButton("Save and close", this);
    save->setObjectName("Button1");
    controls_["Button1"] = save;
    column->addWidget(save);
}

void ReceiverSettingsWindow::BindControls() {
    for (const char* name : {"cblat0", "cblat1", "cblat2", "cblong0", "cblong1", "cblong2"}) {
        connect(combo(name), &QComboBox::currentIndexChanged, this, [this](int) {
            if (!filling_) ReadPosition();
        });
    }
    connect(combo("cbhpa"), &QComboBox::currentIndexChanged, this, [this](int i) {
        if (filling_ || i < 0) return;
        SelectHpaIndex(settings_, i);
        ShowSettings();
    });
    connect(combo("cbin"), &QComboBox::currentIndexChanged, this, [this](int i) {
        if (filling_ || i < 0) return;
        SelectInchIndex(settings_, i);
        ShowSettings();
    });
    connect(combo("cbta"), &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_ && i >= 0) settings_.cbta = i;
    });
    connect(field("edicao"), &QLineEdit::textEdited, this,
            [this](const QString& text) { settings_.edicao = Bytes(text.trimmed().toUpper()); });
    connect(check("cbgps"), &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_) settings_.gps = on;
    });
    connect(check("cbqnh"), &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        settings_.cbqnh = on;
        if (hooks_.autoQnh) hooks_.autoQnh(on);
    });
    connect(check("cbrawlog"), &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        settings_.cbrawlog = on;
        if (hooks_.rawLog) hooks_.rawLog(on);
    });
    connect(check("cbtcas"), &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        settings_.cbtcas = on;
        if (hooks_.tcas) hooks_.tcas(on);
    });
    auto changed = [this](const char* control) {
        if (hooks_.networkChanged) hooks_.networkChanged(control);
    };
    connect(check("cbmaster"), &QCheckBox::toggled, this, [this, changed](bool on) {
        if (filling_) return;
        network_.cbmaster = on;
        changed("cbmaster");
    });
    connect(check("cbslave"), &QCheckBox::toggled, this, [this, changed](bool on) {
        if (filling_) return;
        network_.cbslave = on;
        changed("cbslave");
    });
    const std::pair<const char*, std::string*> texts[] = {{"edserverpw", &network_.edserverpw},
                                                          {"edmasterip", &network_.edmasterip},
                                                          {"edmasterport", &network_.edmasterport}};
    for (const auto& [name, target] : texts) {
        connect(field(name), &QLineEdit::textEdited, this,
                [changed, name = name, target = target](const QString& text) {
                    *target = Bytes(text.trimmed());
                    changed(name);
                });
    }
    connect(pushButton("buscreen1"), &QPushButton::clicked, this, [this] { buscreen1Click(); });
    connect(pushButton("Button1"), &QPushButton::clicked, this, [this] { Button1Click(); });
}

void ReceiverSettingsWindow::ReadPosition() {
    settings_.cblat0 = combo("cblat0")->currentIndex();
    settings_.cblat1 = combo("cblat1")->currentIndex();
    settings_.cblat2 = combo("cblat2")->currentIndex();
    settings_.cblong0 = combo("cblong0")->currentIndex();
    settings_.cblong1 = combo("cblong1")->currentIndex();
    settings_.cblong2 = combo("cblong2")->currentIndex();
}

void ReceiverSettingsWindow::ShowSettings() {
    filling_ = true;
    SelectIndex(combo("cblat0"), settings_.cblat0);
    SelectIndex(combo("cblat1"), settings_.cblat1);
    SelectIndex(combo("cblat2"), settings_.cblat2);
    SelectIndex(combo("cblong0"), settings_.cblong0);
    SelectIndex(combo("cblong1"), settings_.cblong1);
    SelectIndex(combo("cblong2"), settings_.cblong2);
    SelectIndex(combo("cbhpa"), settings_.cbhpa);
    SelectIndex(combo("cbin"), settings_.cbin);
    SelectIndex(combo("cbta"), settings_.cbta);
    // Keep the cursor where it is while the user types.
    if (Bytes(field("edicao")->text()) != settings_.edicao)
        field("edicao")->setText(Latin1(settings_.edicao));
    check("cbgps")->setChecked(settings_.gps);
    check("cbqnh")->setChecked(settings_.cbqnh);
    check("cbrawlog")->setChecked(settings_.cbrawlog);
    check("cbtcas")->setChecked(settings_.cbtcas);
    check("cbmaster")->setChecked(network_.cbmaster);
    check("cbslave")->setChecked(network_.cbslave);
    const std::pair<const char*, const std::string*> texts[] = {
        {"edserverpw", &network_.edserverpw},
        {"edmasterip", &network_.edmasterip},
        {"edmasterport", &network_.edmasterport}};
    for (const auto& [name, value] : texts)
        if (Bytes(field(name)->text()) != *value) field(name)->setText(Latin1(*value));
    filling_ = false;
}

void ReceiverSettingsWindow::ShowAutoQnh(const std::string& caption, const QColor& text,
                                         bool waiting) {
    QCheckBox* box = check("cbqnh");
    box->setText(Latin1(caption));
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window,
                     waiting ? QColor(Qt::yellow) : this->palette().color(QPalette::Window));
    box->setPalette(palette);
    // The lists may follow the report.
    ShowSettings();
}

void ReceiverSettingsWindow::Button1Click() {
    settings_.sbs = true;
    if (hooks_.applyPosition) hooks_.applyPosition();
    if (isVisible()) {
        close();  // closing saves
    } else if (hooks_.save) {
        hooks_.save();
    }
}

void ReceiverSettingsWindow::buscreen1Click() {
    settings_.gps = false;
    const std::optional<ScreenCentre> centre =
        hooks_.screenCentre ? hooks_.screenCentre() : std::nullopt;
    if (centre) {
        SetReceiverPosition(settings_, centre->lat, centre->lon);
        if (hooks_.applyPosition) hooks_.applyPosition();
    }
    ShowSettings();
}

QComboBox* ReceiverSettingsWindow::combo(const char* name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : qobject_cast<QComboBox*>(it->second);
}

QCheckBox* ReceiverSettingsWindow::check(const char* name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : qobject_cast<QCheckBox*>(it->second);
}

QLineEdit* ReceiverSettingsWindow::field(const char* name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : qobject_cast<QLineEdit*>(it->second);
}

QPushButton* ReceiverSettingsWindow::pushButton(const char* name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : qobject_cast<QPushButton*>(it->second);
}

void ReceiverSettingsWindow::keyPressEvent(QKeyEvent* event) {
    if (hooks_.key) {
        hooks_.key(event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReceiverSettingsWindow::hideEvent(QHideEvent* event) {
    // A minimised window is hidden by the window system; only a closed one saves and lets
    // go of the buttons.
    if (!event->spontaneous()) {
        if (hooks_.save) hooks_.save();
        if (hooks_.closed) hooks_.closed();
    }
    QWidget::hideEvent(event);
}

}  // namespace aerova
