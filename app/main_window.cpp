#include "app/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include "station/station.h"

namespace aerova {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("Form1");
    setWindowTitle(kMainCaption);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto* strip = new QHBoxLayout;
    strip->setSpacing(1);
    column->addLayout(strip);

    struct ButtonSpec {
        const char* name;
        const char* text;
        const char* hint;
        bool toggle;
        bool enabled;
    };
    const ButtonSpec specs[] = {
        {"spbradar1", "1", "Show/hide Radar 1", true, true},
        {"spbradar2", "2", "Show/hide Radar2", true, true},
        {"spbnonvislist", "NP", "Show/hide No-Position-Aircraft list", true, true},
        {"spbdctconfig", "SBS", "Config SBS data interface", true, true},
        {"spbpeers", "P", "Show/hide peer list", true, true},
        {"sbscript", "S", "Script manager", true, true},
        {"sbsats", "M", "Mosaic manager", true, true},
        {"sbwx", "WX", "Weather display manager", true, true},
        {"sbpcr1000", "PCR", "ICOM PCR-1000 freq disp via com port", true, true},
        {"spbdb", "DB", "Database and logfile manager", true, true},
        {"spbLabelEditor", "L", "Label editor and Google Earth", true, true},
        {"sbatc", "ATC", "ATC flight console", true, true},
        {"sbsearch", "F", "Search flight or waypoint (Ctrl+F)", true, true},
        {"spbmini", "MV", "Miniview dialog", true, true},
        {"spbftp", "A", "Show/hide Alert Manager", true, true},
        {"spbSave", "Sv", "Save configuration file", false, true},
        {"spbload", "Ld", "Load configuration file", false, true},
        {"spbMin", "_", "Minimize", false, true},
        {"spbexpand", ">", "Expand/shrink taskbar", false, true},
        {"spbquit", "X", "Quit Aerova", false, true},
    };
    for (const auto& s : specs) {
        if (std::string_view(s.name) == "spbSave") {
            cbconfig_ = new QComboBox(this);
            cbconfig_->setObjectName("cbconfig");
            cbconfig_->setEditable(true);
            cbconfig_->setInsertPolicy(QComboBox::NoInsert);
            cbconfig_->setToolTip("Configuration file");
            strip->addWidget(cbconfig_);
        }
        strip->addWidget(AddButton(s.name, s.text, s.hint, s.toggle, s.enabled));
    }
    shpftp_ = new QLabel(this);
    shpftp_->setObjectName("shpftp");
    shpftp_->setFixedSize(8, 16);
    shpftp_->setAutoFillBackground(true);
    shpftp_->setToolTip("Upload/mail");
    strip->insertWidget(strip->indexOf(button("spbftp")) + 1, shpftp_);
    SetUploadIndicator(UploadIndicator::kNormal);
    // Today's new aircraft, as the database logged them.
    lbnew_ = new QListWidget(this);
    lbnew_->setObjectName("lbnew");
    lbnew_->setToolTip("New aircraft today");
    lbnew_->setFixedHeight(64);
    lbnew_->setFont(QFont("Monospace", 8));
    column->addWidget(lbnew_);
    connect(button("spbSave"), &QToolButton::clicked, this, [this] {
        if (onSaveConfig) onSaveConfig(ConfigShown());
    });
    connect(button("spbload"), &QToolButton::clicked, this, [this] {
        if (onLoadConfig) onLoadConfig(ConfigShown());
    });

    connect(button("spbradar1"), &QToolButton::toggled, this, [this](bool down) {
        if (onRadarButton) onRadarButton(1, down);
    });
    connect(button("spbradar2"), &QToolButton::toggled, this, [this](bool down) {
        if (onRadarButton) onRadarButton(2, down);
    });
    connect(button("spbMin"), &QToolButton::clicked, this, [this] {
        if (onMinimise) onMinimise();
    });
    connect(button("spbquit"), &QToolButton::clicked, this, [this] {
        if (onQuit) onQuit();
    });
    connect(button("spbexpand"), &QToolButton::clicked, this, [this] {
        QToolButton* b = button("spbexpand");
        b->setText(b->text() == ">" ? "<" : ">");
        resize(0, height());  // the narrowest the platform allows, either way
    });
    resize(262, sizeHint().height());
}

void MainWindow::SetConfigList(const std::vector<std::string>& names, const std::string& shown) {
    const bool blocked = cbconfig_->blockSignals(true);
    cbconfig_->clear();
    for (const auto& n : names) cbconfig_->addItem(QString::fromStdString(n));
    cbconfig_->setCurrentText(QString::fromStdString(shown));
    cbconfig_->blockSignals(blocked);
}

void MainWindow::SetUploadIndicator(UploadIndicator indicator) {
    indicator_ = indicator;
    QColor colour = palette().color(QPalette::Button);
    switch (indicator) {
        case UploadIndicator::kGrey:
            colour = Qt::gray;
            break;
        case UploadIndicator::kYellow:
            colour = Qt::yellow;
            break;
        case UploadIndicator::kGreen:
            colour = Qt::green;
            break;
        case UploadIndicator::kRed:
            colour = Qt::red;
            break;
        case UploadIndicator::kNormal:
            break;
    }
    QPalette p = shpftp_->palette();
    p.setColor(QPalette::Window, colour);
    shpftp_->setPalette(p);
}

void MainWindow::SetNewAircraftList(const std::vector<std::string>& lines) {
    lbnew_->clear();
    // Log lines are 8-bit station text.
    for (const auto& line : lines)
        lbnew_->addItem(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    lbnew_->scrollToBottom();
}

std::string MainWindow::ConfigShown() const {
    return cbconfig_->currentText().toStdString();
}

QToolButton* MainWindow::AddButton(const QString& name, const QString& text, const QString& hint,
                                   bool toggle, bool enabled) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setCheckable(toggle);
    b->setEnabled(enabled);
    b->setAutoRaise(true);
    buttons_[name] = b;
    return b;
}

QToolButton* MainWindow::button(const QString& name) const {
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void MainWindow::SetButtonDown(const QString& name, bool down) {
    if (QToolButton* b = button(name)) {
        const bool blocked = b->blockSignals(true);
        b->setChecked(down);
        b->blockSignals(blocked);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_ || !onCloseQuery) {
        event->accept();
        return;
    }
    if (onCloseQuery()) {
        closing_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising runs the minimise button's action.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
        onMinimise)
        onMinimise();
}

}  // namespace aerova
