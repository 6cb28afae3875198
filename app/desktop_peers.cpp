#include "app/desktop_peers.h"

#include <QProcess>
#include <QStandardPaths>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "distribution/chat_window.h"
#include "distribution/peers_window.h"

namespace aerova {

namespace {
constexpr char kButton[] = "spbpeers";
}

void PaplaySoundPlayer::PlayAsync(std::string_view file) {
    if (file.empty()) return;
    const QString program = QStandardPaths::findExecutable(QString::fromStdString(program_));
    if (program.isEmpty()) return;
    const QString name = QString::fromLocal8Bit(file.data(), static_cast<qsizetype>(file.size()));
    // "--": a file name that starts with "-" is still a file name, not an option.
    if (QProcess::startDetached(program, {"--", name})) ++started_;
}

DesktopPeers::DesktopPeers(DesktopStation& desk) : desk_(desk) {
    StationNetwork& network = desk_.services().network();
    PeersWindowHooks hooks;
    hooks.changed = [this](const char*) {
        const PeersWindowState& state = desk_.services().network().peerswindow();
        IngestSettings& ingest = desk_.services().ingestSettings;
        ingest.cbskip = state.cbskip;
        ingest.cbexceptlocal = state.cbexceptlocal;
    };
    hooks.closed = [this] {
        refresh_.stop();
        desk_.mainWindow().SetButtonDown(kButton, false);
    };
    peers_ = std::make_unique<PeersWindow>(network.peerswindow(), std::move(hooks));
    chat_ = std::make_unique<ChatWindow>(network.chatwindow());
    network.onChatLine = [this] { chat_->Refresh(); };
    network.SetSoundPlayer(&sound_);

    refresh_.setInterval(1000);
    connect(&refresh_, &QTimer::timeout, this, [this] { peers_->Refresh(); });
    QToolButton* button = desk_.mainWindow().button(kButton);
    button->setEnabled(true);
    connect(button, &QToolButton::toggled, this, [this](bool down) { ShowPeers(down); });
}

DesktopPeers::~DesktopPeers() {
    StationNetwork& network = desk_.services().network();
    network.onChatLine = nullptr;
    network.SetSoundPlayer(nullptr);
}

void DesktopPeers::ShowPeers(bool shown) {
    desk_.services().network().peerswindow().visible = shown;
    if (shown) {
        peers_->Refresh();
        peers_->show();
        peers_->raise();
        refresh_.start();
    } else {
        peers_->hide();
    }
    desk_.mainWindow().SetButtonDown(kButton, shown);
}

void DesktopPeers::SettingsLoaded() {
    PeersWindowState& state = desk_.services().network().peerswindow();
    const IngestSettings& ingest = desk_.services().ingestSettings;
    state.cbskip = ingest.cbskip;
    state.cbexceptlocal = ingest.cbexceptlocal;
    peers_->Refresh();
}

}  // namespace aerova
