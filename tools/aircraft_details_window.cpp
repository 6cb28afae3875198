#include "tools/aircraft_details_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace aerova {
namespace {

QString Qs(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

struct Field {
    const char* name;
    const char* caption;
    std::string AircraftDetailsState::*value;
};

constexpr Field kFields[] = {
    {"edposition", "Position", &AircraftDetailsState::edposition},
    {"edaltitude", "Altitude", &AircraftDetailsState::edaltitude},
    {"edvrate", "V/S", &AircraftDetailsState::edvrate},
    {"edspeed", "Speed", &AircraftDetailsState::edspeed},
    {"edtrack", "Track", &AircraftDetailsState::edtrack},
    {"edsquawk", "Squawk", &AircraftDetailsState::edsquawk},
    {"edstatus", "Status", &AircraftDetailsState::edstatus},
    {"edcallsign", "Call sign", &AircraftDetailsState::edcallsign},
    {"edtype", "Type", &AircraftDetailsState::edtype},
};

}  // namespace

AircraftDetailsWindow::AircraftDetailsWindow(AircraftDetailsState& state,
                                             AircraftDetailsHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), hooks_(std::move(hooks)) {
    setObjectName("flightinfo");
    setWindowTitle("Aerova Aircraft Details");
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    int i = 0;
    for (const Field& f : kFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(f.name);
        edit->setReadOnly(true);
        fields->addWidget(new QLabel(f.caption, this), i / 3, (i % 3) * 2);
        fields->addWidget(edit, i / 3, (i % 3) * 2 + 1);
        ++i;
    }
    layout->addLayout(fields);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    tabs_->addTab(BuildStatusTab(), "Flight status");
    tabs_->addTab(BuildPlanTab(), "Flight plan");
    tabs_->addTab(BuildImageTab(), "Image search");
    tabs_->addTab(BuildDatabaseTab(), "Database");
    layout->addWidget(tabs_, 1);
    resize(560, 480);
    Refresh();
}

QWidget* AircraftDetailsWindow::BuildStatusTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* query = new QHBoxLayout;
    edflight_ = new QLineEdit(tab);
    edflight_->setObjectName("edflight");
    connect(edflight_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.edflight = text.toLatin1().toStdString(); });
    cbyesterday_ = new QCheckBox("Departure yesterday", tab);
    cbyesterday_->setObjectName("cbyesterday");
    connect(cbyesterday_, &QCheckBox::toggled, this, [this](bool on) { state_.cbyesterday = on; });
    buflightstatus_ = new QPushButton("Flight status", tab);
    buflightstatus_->setObjectName("buflightstatus");
    connect(buflightstatus_, &QPushButton::clicked, this, [this] {
        if (state_.querying) return;
        const std::string callSign = BeginFlightStatus(state_);
        Refresh();
        if (hooks_.lookup) hooks_.lookup(callSign, state_.cbyesterday);
    });
    query->addWidget(edflight_, 1);
    query->addWidget(cbyesterday_);
    query->addWidget(buflightstatus_);
    layout->addLayout(query);

    lbstatus_ = new QLabel(tab);
    lbstatus_->setObjectName("lbstatus");
    lbstatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbstatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(lbstatus_, 1);
    lbroutefile_ = new QLabel(tab);
    lbroutefile_->setObjectName("lbroutefile");
    layout->addWidget(lbroutefile_);

    auto* actions = new QHBoxLayout;
    bulabel_ = new QPushButton("Label", tab);
    bulabel_->setObjectName("bulabel");
    bufilelabel_ = new QPushButton("File + Label", tab);
    bufilelabel_->setObjectName("bufilelabel");
    connect(bulabel_, &QPushButton::clicked, this, [this] {
        if (hooks_.label) hooks_.label();
        Refresh();
    });
    connect(bufilelabel_, &QPushButton::clicked, this, [this] {
        if (hooks_.fileAndLabel) hooks_.fileAndLabel();
        Refresh();
    });
    actions->addWidget(bulabel_);
    actions->addWidget(bufilelabel_);
    actions->addStretch(1);
    layout->addLayout(actions);
    return tab;
}

QWidget* AircraftDetailsWindow::BuildPlanTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* load = new QPushButton("Load", tab);
    load->setObjectName("buload");
    lbplan_ = new QLabel(tab);
    lbplan_->setObjectName("lbplan");
    lbplan_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(load, &QPushButton::clicked, this, [this] {
        const std::string address = FlightPlanAddress(kFlightPlanSite, state_.edflight);
        lbplan_->setText(Qs(address));
        Open(address);
    });
    layout->addWidget(load, 0, Qt::AlignLeft);
    layout->addWidget(lbplan_);
    layout->addStretch(1);
    return tab;
}

QWidget* AircraftDetailsWindow::BuildImageTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* search = new QPushButton("Search", tab);
    search->setObjectName("busearch");
    lbimagesearch_ = new QLabel(tab);
    lbimagesearch_->setObjectName("lbimagesearch");
    lbimagesearch_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(search, &QPushButton::clicked, this,
            [this] { Open(ImageSearchAddress(state_, kImageSearchSite)); });
    layout->addWidget(search, 0, Qt::AlignLeft);
    layout->addWidget(lbimagesearch_);
    layout->addStretch(1);
    return tab;
}

QWidget* AircraftDetailsWindow::BuildDatabaseTab() {
    sgdatabase_ = new QTableWidget(kAircraftColumns, 2, this);
    sgdatabase_->setObjectName("sgdatabase");
    sgdatabase_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgdatabase_->verticalHeader()->hide();
    sgdatabase_->horizontalHeader()->hide();
    sgdatabase_->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < kAircraftColumns; ++column) {
        const std::string_view name = AircraftColumnNames()[static_cast<std::size_t>(column)];
        sgdatabase_->setItem(column, 0,
                             new QTableWidgetItem(QString::fromLatin1(
                                 name.data(), static_cast<qsizetype>(name.size()))));
        sgdatabase_->setItem(column, 1, new QTableWidgetItem);
    }
    return sgdatabase_;
}

void AircraftDetailsWindow::Open(const std::string& address) {
    const QUrl url(Qs(address));
    if (hooks_.openUrl)
        hooks_.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void AircraftDetailsWindow::Refresh() {
    for (const Field& f : kFields) findChild<QLineEdit*>(f.name)->setText(Qs(state_.*(f.value)));
    if (!edflight_->hasFocus()) edflight_->setText(Qs(state_.edflight));
    cbyesterday_->setChecked(state_.cbyesterday);
    buflightstatus_->setEnabled(!state_.querying);

    QString status;
    if (state_.querying) {
        status = "Looking up " + Qs(state_.edflight) + " ...";
    } else if (!state_.route.empty()) {
        for (const auto& [caption, value] : FlightStatusRows(state_))
            if (!value.empty()) status += Qs(caption) + ": " + Qs(value) + "\n";
    }
    lbstatus_->setText(status);
    lbroutefile_->setText(Qs(state_.routefile));
    lbroutefile_->setStyleSheet(state_.routefile.empty() ? QString()
                                : state_.routefileexists ? "color: green"
                                                         : "color: red");
    bulabel_->setEnabled(state_.statusvalid);
    bufilelabel_->setEnabled(state_.statusvalid);

    lbimagesearch_->setText(Qs(ImageSearchAddress(state_, kImageSearchSite)));
    for (int column = 0; column < kAircraftColumns; ++column)
        sgdatabase_->item(column, 1)->setText(
            Qs(state_.row.found ? state_.row.columns[static_cast<std::size_t>(column)]
                                : std::string()));
}

QWidget* AircraftDetailsWindow::control(const QString& name) const {
    return findChild<QWidget*>(name);
}

void AircraftDetailsWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (hooks_.closed) hooks_.closed();
}

}  // namespace aerova
