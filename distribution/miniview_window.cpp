#include "distribution/miniview_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "distribution/window_text.h"

namespace aerova {

namespace {

constexpr const char* kSetFields[] = {"edurl",   "edport",      "edserial", "edpwd",
                                      "edproxy", "edproxyport", "eduser",   "edproxypwd"};

std::string* SetField(PollSet& set, std::string_view name) {
    if (name == "edurl") return &set.url;
    if (name == "edport") return &set.port;
    if (name == "edserial") return &set.serial;
    if (name == "edpwd") return &set.pwd;
    if (name == "edproxy") return &set.proxy;
    if (name == "edproxyport") return &set.proxyport;
    if (name == "eduser") return &set.user;
    return &set.proxypwd;
}

}  // namespace

MiniViewWindow::MiniViewWindow(PollSettings& poll, DataServerOptions& server,
                               std::array<bool, 2>& updatesOnly, QWidget* parent)
    : QWidget(parent, Qt::Window), poll_(poll), server_(server), updatesOnly_(updatesOnly) {
    setObjectName("mini");
    setWindowTitle("MiniView");
    auto* top = new QVBoxLayout(this);

    auto* client = new QGroupBox("Remote station", this);
    auto* cf = new QFormLayout(client);
    cbset_ = new QComboBox(client);
    cbset_->setObjectName("cbset");
    cbset_->setEditable(true);  // the set's name is edited in place
    cbset_->setInsertPolicy(QComboBox::NoInsert);
    cf->addRow("Server set", cbset_);
    const char* captions[] = {"Host",  "Port",       "Serial",     "Password",
                              "Proxy", "Proxy port", "Proxy user", "Proxy password"};
    for (std::size_t i = 0; i < std::size(kSetFields); ++i) {
        auto* e = new QLineEdit(client);
        e->setObjectName(kSetFields[i]);
        if (std::string_view(kSetFields[i]).find("pwd") != std::string_view::npos)
            e->setEchoMode(QLineEdit::Password);
        cf->addRow(captions[i], e);
        connect(e, &QLineEdit::textChanged, this, [this] { ReadFields(); });
    }
    for (auto [name, caption] : {std::pair{"cbnopos", "Include flights without position"},
                                 std::pair{"cbarea", "Flights in the radar view only"},
                                 std::pair{"cbcompress", "Compressed transfer"}}) {
        auto* c = new QCheckBox(caption, client);
        c->setObjectName(name);
        cf->addRow(c);
        connect(c, &QCheckBox::toggled, this, [this] { ReadFields(); });
    }
    cbinterval_ = new QComboBox(client);
    cbinterval_->setObjectName("cbinterval");
    for (int s : kPollIntervals) cbinterval_->addItem(QString("%1 s").arg(s));
    cf->addRow("Interval", cbinterval_);
    connect(cbinterval_, &QComboBox::currentIndexChanged, this, [this] { ReadFields(); });
    bupoll_ = new QPushButton("Start", client);
    bupoll_->setObjectName("bupoll");
    cf->addRow(bupoll_);
    top->addWidget(client);

    auto* own = new QGroupBox("This station's data servers", this);
    auto* of = new QFormLayout(own);
    auto* pwd = new QLineEdit(own);
    pwd->setObjectName("edserverpwd");
    pwd->setEchoMode(QLineEdit::Password);
    of->addRow("Password", pwd);
    connect(pwd, &QLineEdit::textChanged, this, [this] { ReadFields(); });
    for (auto [name, caption] : {std::pair{"cb7988", "7988: Transmit updates only (1 client)"},
                                 std::pair{"cb7989", "7989: Transmit updates only (1 client)"}}) {
        auto* c = new QCheckBox(caption, own);
        c->setObjectName(name);
        of->addRow(c);
        connect(c, &QCheckBox::toggled, this, [this] { ReadFields(); });
    }
    top->addWidget(own);

    connect(cbset_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (filling_ || index < 0) return;
        poll_.activeset = index;
        ShowSettings();
        if (onChanged) onChanged();
    });
    connect(cbset_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (filling_ || cbset_->currentIndex() < 0) return;
        poll_.names[std::size_t(cbset_->currentIndex())] = S(text);
        cbset_->setItemText(cbset_->currentIndex(), text);
    });
    connect(bupoll_, &QPushButton::clicked, this, [this] {
        if (onPolling) onPolling(!polling_);
    });
    ShowSettings();
}

PollSet& MiniViewWindow::set() {
    poll_.activeset = std::clamp(poll_.activeset, 0, int(poll_.sets.size()) - 1);
    return poll_.sets[std::size_t(poll_.activeset)];
}

QLineEdit* MiniViewWindow::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}
QCheckBox* MiniViewWindow::check(const char* name) const {
    return findChild<QCheckBox*>(name);
}

void MiniViewWindow::ShowSettings() {
    filling_ = true;
    cbset_->clear();
    for (const std::string& name : poll_.names) cbset_->addItem(Q(name));
    const PollSet& s = set();
    cbset_->setCurrentIndex(poll_.activeset);
    for (const char* name : kSetFields) field(name)->setText(Q(*SetField(set(), name)));
    check("cbnopos")->setChecked(s.nopos);
    check("cbarea")->setChecked(s.area);
    check("cbcompress")->setChecked(s.compress);
    const auto at =
        std::find(kPollIntervals.begin(), kPollIntervals.end(), PollIntervalSeconds(s.interval));
    cbinterval_->setCurrentIndex(int(at - kPollIntervals.begin()));
    field("edserverpwd")->setText(Q(server_.serverpwd));
    check("cb7988")->setChecked(updatesOnly_[0]);
    check("cb7989")->setChecked(updatesOnly_[1]);
    filling_ = false;
}

void MiniViewWindow::ReadFields() {
    if (filling_) return;
    PollSet& s = set();
    for (const char* name : kSetFields) *SetField(s, name) = S(field(name)->text().trimmed());
    s.nopos = check("cbnopos")->isChecked();
    s.area = check("cbarea")->isChecked();
    s.compress = check("cbcompress")->isChecked();
    s.interval = kPollIntervals[std::size_t(std::max(0, cbinterval_->currentIndex()))];
    server_.serverpwd = S(field("edserverpwd")->text());
    updatesOnly_[0] = check("cb7988")->isChecked();
    updatesOnly_[1] = check("cb7989")->isChecked();
    if (onChanged) onChanged();
}

void MiniViewWindow::SetPolling(bool on) {
    polling_ = on;
    bupoll_->setText(on ? "Stop" : "Start");
}

void MiniViewWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) onHidden();
}

}  // namespace aerova
