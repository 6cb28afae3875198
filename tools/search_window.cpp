#include "tools/search_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdlib>

namespace aerova {

namespace {

// Station texts are Latin-1; the widgets draw Unicode.
QString Shown(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Typed(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

SearchWindow::SearchWindow(FlightTable& table, WaypointTable waypoints, SearchDisplays& displays,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      table_(table),
      waypoints_(std::move(waypoints)),
      displays_(displays) {
    setObjectName("fosearch");
    setWindowTitle(kSearchCaption);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName("Edit1");
    const auto make = [this](int number, const char* caption, const char* hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString("Button%1").arg(number));
        if (hint) b->setToolTip(hint);
        b->setAutoDefault(false);
        buttons_[number] = b;
        return b;
    };
    make(1, "Flights", "Search a flight");
    make(2, "Waypoints", nullptr);
    make(3, "<<<", "Return to older view");
    make(6, ">>>", "Return to newer view");
    make(5, "Entry screen", "Return to view before search");
    make(4, "Entry screen + exit", "Return to view before search and exit");
    display1_ = new QRadioButton("Display #1", this);
    display1_->setObjectName("search1");
    display2_ = new QRadioButton("Display #2", this);
    display2_->setObjectName("search2");
    for (QRadioButton* r : {display1_, display2_}) r->setToolTip("Select affected display");
    follow_ = new QCheckBox("Follow", this);
    follow_->setObjectName("follow");
    follow_->setToolTip("Follow flight on display");
    list_ = new QListWidget(this);
    list_->setObjectName("ListBox1");
    // Result lines are fixed columns.
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* top = new QHBoxLayout;
    top->addWidget(edit1_, 1);
    top->addWidget(buttons_[1]);
    top->addWidget(buttons_[2]);
    auto* history = new QHBoxLayout;
    for (int n : {3, 6, 5, 4}) history->addWidget(buttons_[n]);
    auto* choice = new QHBoxLayout;
    choice->addWidget(display1_);
    choice->addWidget(display2_);
    choice->addWidget(follow_);
    choice->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(history);
    layout->addLayout(choice);
    layout->addWidget(list_, 1);
    resize(400, 300);

    connect(buttons_[1], &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(buttons_[6], &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(buttons_[5], &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(edit1_, &QLineEdit::textEdited, this,
            [this](const QString& text) { state_.Edit1 = Typed(text); });
    connect(display1_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_) return;
        state_.search1 = on;
        state_.search2 = !on;
    });
    connect(follow_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) state_.follow = on;
    });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { ListDoubleClick(item); });

    // The window sees every key and wheel turn before its controls do.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    Refresh();
}

SearchWindow::~SearchWindow() = default;

QAbstractButton* SearchWindow::control(const char* name) const {
    return findChild<QAbstractButton*>(name);
}

void SearchWindow::Refresh() {
    syncing_ = true;
    setWindowTitle(Shown(state_.caption));
    if (Typed(edit1_->text()) != state_.Edit1) edit1_->setText(Shown(state_.Edit1));
    list_->clear();
    for (const std::string& line : state_.ListBox1) list_->addItem(Shown(line));
    buttons_[3]->setEnabled(state_.Button3);
    buttons_[6]->setEnabled(state_.Button6);
    display1_->setChecked(state_.search1);
    display2_->setChecked(!state_.search1);
    follow_->setChecked(state_.follow);
    syncing_ = false;
}

void SearchWindow::Button1Click() {
    state_.Edit1 = Typed(edit1_->text());
    SearchFlights(state_, table_, displays_);
    Refresh();
    edit1_->setFocus();
}

void SearchWindow::Button2Click() {
    state_.Edit1 = Typed(edit1_->text());
    SearchWaypoints(state_, waypoints_(), displays_);
    Refresh();
    edit1_->setFocus();
}

void SearchWindow::Button3Click() {
    StepHistory(state_, HistoryStep::kOlder, displays_);
    Refresh();
}

void SearchWindow::Button6Click() {
    StepHistory(state_, HistoryStep::kNewer, displays_);
    Refresh();
}

void SearchWindow::Button5Click() {
    RestoreEntryView(state_, displays_);
    Refresh();
}

void SearchWindow::Button4Click() {
    RestoreEntryView(state_, displays_);
    Refresh();
    hide();
}

void SearchWindow::ListDoubleClick(QListWidgetItem* item) {
    if (!item) return;
    OpenResult(state_, Typed(item->text()), table_, waypoints_(), displays_);
    Refresh();
}

void SearchWindow::Wheel(int delta) {
    const int notches = wheel_.Add(delta);
    const int step = notches > 0 ? WheelAccumulator::kNotch : -WheelAccumulator::kNotch;
    for (int i = 0; i < std::abs(notches); ++i)
        for (int tag = 1; tag <= 2; ++tag)
            if (SearchActsOn(state_, displays_, tag)) displays_.Zoom(tag, step);
}

bool SearchWindow::KeyDown(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Button1Click();
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        case Qt::Key_Up:
            if (state_.Button6) Button6Click();
            return true;
        case Qt::Key_Down:
            if (state_.Button3) Button3Click();
            return true;
        case Qt::Key_End:
            Button4Click();
            return true;
        case Qt::Key_PageDown:
            Button5Click();
            return true;
        case Qt::Key_Space:
            if (raiseMainWindow) raiseMainWindow();
            return true;
        default:
            return false;
    }
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Wheel) {
        Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    // A key travels up from the focused control to the window: take it once, where it
    // starts (at the window itself when the focus is elsewhere).
    const QWidget* focus = QApplication::focusWidget();
    const bool focusHere = focus && focus->window() == this;
    if (focusHere ? watched != focus : watched != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->key() == Qt::Key_Shift;
    if (type == QEvent::KeyRelease) {
        if (key->isAutoRepeat() || !shiftTap_.KeyUp(shift)) return false;
        Button2Click();
        return true;
    }
    if (!key->isAutoRepeat() || !shift) shiftTap_.KeyDown(shift);
    return KeyDown(key->key());
}

void SearchWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;  // back from minimised: the search goes on
    ShowSearch(state_, displays_);
    Refresh();
    edit1_->setFocus();
}

void SearchWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous() && onClosed) onClosed();
}

}  // namespace aerova
