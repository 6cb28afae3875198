#include "tools/atc_console_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace aerova {
namespace {

constexpr const char* kPositionNames[kAtcPositionLists] = {"cblat0",  "cblat1",  "cblat2",
                                                           "cblong0", "cblong1", "cblong2"};

QToolButton* Toggle(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setCheckable(true);
    if (hint) b->setToolTip(hint);
    return b;
}

QString Qs(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Latin1(const QString& s) {
    return s.toLatin1().toStdString();
}

// One list under its spaced caption.
QWidget* ListBox(QWidget* parent, const char* caption, QWidget* captionExtra, QListWidget*& list,
                 const char* name) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(caption, box), 1);
    if (captionExtra) bar->addWidget(captionExtra);
    layout->addLayout(bar);
    list = new QListWidget(box);
    list->setObjectName(name);
    list->setSortingEnabled(true);
    list->setMinimumHeight(0);
    layout->addWidget(list, 1);
    box->setMinimumHeight(0);
    return box;
}

}  // namespace

AtcConsoleWindow::AtcConsoleWindow(AtcConsoleState& state, AtcConsoleHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      state_(state),
      hooks_(std::move(hooks)) {
    setObjectName("foconsole");
    setWindowTitle("ATC console");
    setMaximumWidth(kAtcConsoleMaxWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    BuildPanel();
    layout->addWidget(panel_);
    BuildLists();
    layout->addWidget(splitter_, 1);
    resize(319, 439);
    Refresh();
}

void AtcConsoleWindow::BuildPanel() {
    panel_ = new QWidget(this);
    panel_->setObjectName("Panel1");
    auto* grid = new QGridLayout(panel_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);

    edroute_ = new QLineEdit(panel_);
    edroute_->setObjectName("edroute");
    edroute_->setMaxLength(static_cast<int>(kAirportCodeLength));
    edroute_->setToolTip("Enter airport name to copy flights");
    connect(edroute_, &QLineEdit::textEdited, this, [this](const QString& text) {
        state_.edroute = AirportCodeField(Latin1(text));
        button4_->setText(Qs(AirportButtonCaption(state_.edroute)));
        Changed();
    });
    grid->addWidget(edroute_, 0, 0);

    for (int i = 0; i < kAtcPositionLists; ++i) {
        const auto list = static_cast<AtcPositionList>(i);
        auto* box = new QComboBox(panel_);
        box->setObjectName(kPositionNames[i]);
        for (const std::string& item : AtcListItems(list)) box->addItem(Qs(item));
        connect(box, &QComboBox::currentIndexChanged, this, [this, list](int index) {
            if (!refreshing_) SetAtcIndex(state_, list, index);
        });
        position_[static_cast<std::size_t>(i)] = box;
        grid->addWidget(box, i < 3 ? 0 : 1, 1 + i % 3);
    }

    spbONG_ = Toggle(panel_, "spbONG", "ONG", nullptr);
    spbfilsq_ = Toggle(panel_, "spbfilsq", "Filter", "Use NOPOS current filter ");
    // One click handler for both, as "Filter" shares the ONG handler.
    for (QToolButton* b : {spbONG_, spbfilsq_}) {
        connect(b, &QToolButton::clicked, this, [this] {
            state_.spbONG = spbONG_->isChecked();
            state_.spbfilsq = spbfilsq_->isChecked();
            OngClick(state_, hooks_.stationDir);
            Changed();
        });
    }
    sbarrs_ = Toggle(panel_, "sbarrs", "Arr", "Display arrivals to airport");
    sbdeps_ = Toggle(panel_, "sbdeps", "Dep", "Display departures from airport");
    sbsq_ = Toggle(panel_, "sbsq", "SQ", "Show squawks");
    connect(sbarrs_, &QToolButton::toggled, this, [this](bool on) { state_.sbarrs = on; });
    connect(sbdeps_, &QToolButton::toggled, this, [this](bool on) { state_.sbdeps = on; });
    connect(sbsq_, &QToolButton::toggled, this, [this](bool on) { state_.sbsq = on; });
    auto* switches = new QHBoxLayout;
    for (QToolButton* b : {spbONG_, spbfilsq_, sbarrs_, sbdeps_, sbsq_}) switches->addWidget(b);
    grid->addLayout(switches, 2, 0, 1, 4);

    auto* squawks = new QHBoxLayout;
    for (std::size_t i = 0; i < edsq_.size(); ++i) {
        auto* e = new QLineEdit(panel_);
        e->setObjectName(QString("edsq%1").arg(i + 1));
        e->setMaxLength(static_cast<int>(kConsoleSquawkLength));
        e->setToolTip("Copy on squawk to Dep/Local");
        connect(e, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { state_.edsq[i] = Latin1(text); });
        edsq_[i] = e;
        squawks->addWidget(e);
    }
    grid->addLayout(squawks, 3, 0, 1, 4);
}

void AtcConsoleWindow::BuildLists() {
    auto* buttons = new QWidget(this);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    button4_ = new QPushButton(buttons);
    button4_->setObjectName("Button4");
    button4_->setToolTip("Restore airport as center");
    button3_ = new QPushButton("t", buttons);
    button3_->setObjectName("Button3");
    button3_->setToolTip("Restore last view before center");
    button1_ = new QPushButton("p", buttons);
    button1_->setObjectName("Button1");
    for (QPushButton* b : {button4_, button3_, button1_}) {
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
    }
    connect(button4_, &QPushButton::clicked, this, [this] {
        if (isVisible() && hooks_.radars) CentreOnAirport(state_, *hooks_.radars);
    });
    connect(button3_, &QPushButton::clicked, this, [this] {
        if (hooks_.radars) RestoreLastView(state_, *hooks_.radars);
    });
    connect(button1_, &QPushButton::clicked, this, [this] { TogglePanel(); });

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(ListBox(splitter_, "D e p a r t u r e s", buttons, lblocal_, "lblocal"));
    splitter_->addWidget(ListBox(splitter_, "A r r i v a l s", nullptr, lbarrs_, "lbarrs"));
    splitter_->addWidget(ListBox(splitter_, "L o c a l", nullptr, lbsq_, "lbsq"));
    for (int i = 1; i < splitter_->count(); ++i) splitter_->handle(i)->setToolTip("Size lists");
    splitter_->setStretchFactor(0, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { StoreListHeights(); });
}

QWidget* AtcConsoleWindow::control(const QString& name) const {
    return findChild<QWidget*>(name);
}

void AtcConsoleWindow::Refresh() {
    refreshing_ = true;
    edroute_->setText(Qs(state_.edroute));
    button4_->setText(Qs(AirportButtonCaption(state_.edroute)));
    for (std::size_t i = 0; i < position_.size(); ++i) {
        const auto list = static_cast<AtcPositionList>(i);
        int index = state_.position[i];
        if (index < 0 || index >= position_[i]->count()) index = AtcListDefault(list);
        position_[i]->setCurrentIndex(index);
    }
    spbONG_->setChecked(state_.spbONG);
    spbfilsq_->setChecked(state_.spbfilsq);
    sbarrs_->setChecked(state_.sbarrs);
    sbdeps_->setChecked(state_.sbdeps);
    sbsq_->setChecked(state_.sbsq);
    for (std::size_t i = 0; i < edsq_.size(); ++i) edsq_[i]->setText(Qs(state_.edsq[i]));
    panel_->setVisible(state_.panel);
    refreshing_ = false;
    ApplyListHeights();
    RefreshLists();
}

void AtcConsoleWindow::RefreshLists() {
    const auto fill = [](QListWidget* list, const std::vector<std::string>& entries) {
        list->clear();
        for (const std::string& e : entries) list->addItem(Qs(e));
    };
    fill(lblocal_, state_.lblocal);
    fill(lbarrs_, state_.lbarrs);
    fill(lbsq_, state_.lbsq);
}

void AtcConsoleWindow::SetListBackground(const QColor& colour) {
    for (QListWidget* list : {lblocal_, lbarrs_, lbsq_}) {
        QPalette p = list->palette();
        p.setColor(QPalette::Base, colour);
        list->setPalette(p);
    }
}

void AtcConsoleWindow::ApplyListHeights() {
    // The departures list takes what the arrivals and local lists leave.
    const int total = splitter_->height() - 2 * splitter_->handleWidth();
    const int arrivals = std::max(0, state_.arrsheight);
    const int local = std::max(0, state_.localheight);
    splitter_->setSizes({std::max(1, total - arrivals - local), arrivals, local});
}

void AtcConsoleWindow::StoreListHeights() {
    // A splitter never laid out on the screen has no heights of its own yet.
    if (!splitter_->isVisible()) return;
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() != 3) return;
    state_.arrsheight = sizes[1];
    state_.localheight = sizes[2];
}

void AtcConsoleWindow::TogglePanel() {
    state_.panel = !state_.panel;
    if (!state_.panel) {
        const int before = height();
        const int panelHeight = panel_->height() + layout()->spacing();
        panel_->setVisible(false);
        layout()->activate();
        resize(width(), before - panelHeight);
        // What the window really gave up (its minimum height may have stopped it).
        panelShare_ = before - height();
    } else {
        // The panel's minimum height may grow the window as it shows: aim from before.
        const int target = height() + panelShare_;
        panel_->setVisible(true);
        layout()->activate();
        resize(width(), target);
    }
}

void AtcConsoleWindow::Changed() {
    if (!refreshing_ && hooks_.changed) hooks_.changed();
}

void AtcConsoleWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ApplyListHeights();
}

void AtcConsoleWindow::closeEvent(QCloseEvent* event) {
    StoreListHeights();
    QWidget::closeEvent(event);
    if (hooks_.closed) hooks_.closed();
}

}  // namespace aerova
