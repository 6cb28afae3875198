#include "distribution/peers_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/window_text.h"

namespace aerova {

PeersWindow::PeersWindow(PeersWindowState& state, PeersWindowHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), hooks_(std::move(hooks)) {
    setObjectName("TForm3");
    setWindowTitle("Peers kicklist - Master/slave");
    auto* column = new QVBoxLayout(this);
    cbpeers_ = new QListWidget(this);
    cbpeers_->setObjectName("cbpeers");
    column->addWidget(cbpeers_, 1);

    auto* buttons = new QHBoxLayout();
    const std::pair<const char*, const char*> specs[] = {
        {"bukickall", "Kick all"}, {"bushowall", "Show all"}, {"buclose", "Close"}};
    for (const auto& [name, caption] : specs) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
    }
    column->addLayout(buttons);
    auto* switches = new QHBoxLayout();
    cbskip_ = new QCheckBox("Dead horse", this);
    cbskip_->setObjectName("cbskip");
    cbskip_->setToolTip("Do not display any data on this instance");
    cbexceptlocal_ = new QCheckBox("except local", this);
    cbexceptlocal_->setObjectName("cbexceptlocal");
    cbexceptlocal_->setToolTip("Skip data except for local source");
    switches->addWidget(cbskip_);
    switches->addWidget(cbexceptlocal_);
    column->addLayout(switches);

    connect(pushButton("bukickall"), &QPushButton::clicked, this, [this] {
        state_.KickAll();
        Refresh();
    });
    connect(pushButton("bushowall"), &QPushButton::clicked, this, [this] {
        state_.ShowAll();
        Refresh();
    });
    connect(pushButton("buclose"), &QPushButton::clicked, this, [this] { close(); });
    connect(cbpeers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        const auto row = static_cast<std::size_t>(cbpeers_->row(item));
        if (row < state_.cbpeers.size())
            state_.cbpeers[row].checked = item->checkState() == Qt::Checked;
    });
    connect(cbskip_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        state_.cbskip = on;
        if (hooks_.changed) hooks_.changed("cbskip");
    });
    connect(cbexceptlocal_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        state_.cbexceptlocal = on;
        if (hooks_.changed) hooks_.changed("cbexceptlocal");
    });
    Refresh();
}

QPushButton* PeersWindow::pushButton(const char* name) const {
    return findChild<QPushButton*>(name);
}

void PeersWindow::Refresh() {
    filling_ = true;
    const auto count = static_cast<int>(state_.cbpeers.size());
    while (cbpeers_->count() > count) delete cbpeers_->takeItem(cbpeers_->count() - 1);
    for (int i = 0; i < count; ++i) {
        const KickEntry& e = state_.cbpeers[static_cast<std::size_t>(i)];
        QListWidgetItem* item = cbpeers_->item(i);
        if (!item) {
            item = new QListWidgetItem(cbpeers_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        }
        if (item->text() != Q(e.text)) item->setText(Q(e.text));
        const Qt::CheckState mark = e.checked ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != mark) item->setCheckState(mark);
    }
    cbskip_->setChecked(state_.cbskip);
    cbexceptlocal_->setChecked(state_.cbexceptlocal);
    filling_ = false;
}

void PeersWindow::hideEvent(QHideEvent* event) {
    state_.visible = false;
    if (!event->spontaneous() && hooks_.closed) hooks_.closed();
    QWidget::hideEvent(event);
}

}  // namespace aerova
