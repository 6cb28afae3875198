#include "tools/bst_control_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace aerova {

namespace {

QColor ColourOf(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

BstControlWindow::BstControlWindow(BstControlFields fields, BstControlWindowHooks hooks,
                                   QWidget* parent)
    : QWidget(parent, Qt::Tool), fields_(fields), hooks_(std::move(hooks)) {
    setObjectName("fodb");
    setWindowTitle("BST control");
    auto* column = new QVBoxLayout(this);

    auto* list = new QGroupBox("BaseStation list file", this);
    auto* listColumn = new QVBoxLayout(list);
    pnbst_ = new QFrame(list);
    pnbst_->setObjectName("pnbst");
    pnbst_->setAutoFillBackground(true);
    pnbst_->setFrameShape(QFrame::StyledPanel);
    auto* panelRow = new QHBoxLayout(pnbst_);
    panelRow->setContentsMargins(4, 4, 4, 4);
    spbbstfile_ = new QToolButton(pnbst_);
    spbbstfile_->setObjectName("spbbstfile");
    spbbstfile_->setText("Save to bst file");
    spbbstfile_->setCheckable(true);
    panelRow->addWidget(spbbstfile_);
    panelRow->addStretch(1);
    listColumn->addWidget(pnbst_);
    listColumn->addWidget(AddCheck("cbsavenopos", "Save no-pos flights", fields_.cbsavenopos));
    listColumn->addWidget(
        AddCheck("cbselectedflight", "Save user color flights only", fields_.cbselectedflight));
    listColumn->addWidget(
        AddCheck("cbrestartBST1", "Restart BST at midnight", fields_.cbrestartBST1));
    column->addWidget(list);

    auto* db = new QGroupBox("Database and log files", this);
    auto* dbColumn = new QVBoxLayout(db);
    dbColumn->addWidget(
        AddCheck("cbcreatesql", "Add new aircraft to the database", fields_.cbcreatesql));
    dbColumn->addWidget(
        AddCheck("cbcreatetextlog", "Log new aircraft to text file", fields_.cbcreatetextlog));
    dbColumn->addWidget(AddCheck("cbsavexml", "Save to XML", fields_.cbsavexml));
    dbColumn->addWidget(AddCheck("cbmarklabel", QString::fromUtf8("Mark flight label (\u00B0)"),
                                 fields_.cbmarklabel));
    column->addWidget(db);
    column->addStretch(1);

    connect(spbbstfile_, &QToolButton::toggled, this, [this](bool down) {
        if (filling_) return;
        fields_.spbbstfile = down;
        if (hooks_.spbbstfileClick) hooks_.spbbstfileClick();
        Refresh();
    });
    Refresh();
}

QCheckBox* BstControlWindow::AddCheck(const char* name, const QString& caption, bool& field) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    checks_[name] = {box, &field};
    connect(box, &QCheckBox::toggled, this, [this, name = std::string(name), &field](bool on) {
        if (filling_) return;
        field = on;
        if (hooks_.changed) hooks_.changed(name);
    });
    return box;
}

QCheckBox* BstControlWindow::check(const std::string& name) const {
    const auto it = checks_.find(name);
    return it == checks_.end() ? nullptr : it->second.first;
}

void BstControlWindow::Refresh() {
    filling_ = true;
    spbbstfile_->setChecked(fields_.spbbstfile);
    QPalette palette = pnbst_->palette();
    palette.setColor(QPalette::Window, ColourOf(fields_.pnbstColour));
    pnbst_->setPalette(palette);
    for (const auto& [name, entry] : checks_) entry.first->setChecked(*entry.second);
    filling_ = false;
}

void BstControlWindow::keyPressEvent(QKeyEvent* event) {
    if (hooks_.key) {
        hooks_.key(event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BstControlWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && hooks_.closed) hooks_.closed();
    QWidget::hideEvent(event);
}

}  // namespace aerova
