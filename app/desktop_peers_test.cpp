// The peers and chat windows in the running desktop station: the peers button shows the
// kick list with its switches, which steer report ingest; a chat line pops the chat window
// up, Space clears it and Escape hides it; the chat sound plays only with a file and a
// player program.

#include "app/desktop_peers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "distribution/chat_window.h"
#include "distribution/peers_window.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"

namespace aerova {
namespace {

void Press(QWidget& w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
    QApplication::sendEvent(&w, &event);
}

TEST(Gui, PeersAndChatWindowsFollowTheNetworkState) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-peers-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(37);
    {
        DesktopStation station(options);
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        DesktopPeers& peers = station.peers();
        ASSERT_TRUE(station.Start());
        StationNetwork& network = station.services().network();
        network.peerswindow().cbpeers = {{"1234 Hamburg", false}, {"5678 Kiel", false}};

        QToolButton* button = station.mainWindow().button("spbpeers");
        ASSERT_TRUE(button->isEnabled());
        button->click();
        PeersWindow& window = peers.peersWindow();
        ASSERT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Peers kicklist - Master/slave");
        ASSERT_EQ(window.cbpeers()->count(), 2);
        EXPECT_EQ(window.cbpeers()->item(1)->text(), "5678 Kiel");
        window.pushButton("bukickall")->click();
        EXPECT_TRUE(network.peerswindow().cbpeers[0].checked);
        EXPECT_EQ(window.cbpeers()->item(1)->checkState(), Qt::Checked);
        window.cbpeers()->item(0)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(network.peerswindow().cbpeers[0].checked);
        EXPECT_TRUE(network.peerswindow().cbpeers[1].checked);
        window.pushButton("bushowall")->click();
        EXPECT_FALSE(network.peerswindow().cbpeers[1].checked);

        window.cbskip()->click();
        window.cbexceptlocal()->click();
        EXPECT_TRUE(station.services().ingestSettings.cbskip);
        EXPECT_TRUE(station.services().ingestSettings.cbexceptlocal);
        window.pushButton("buclose")->click();
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(button->isChecked());

        // A chat line shows the window at once; without a sound file nothing plays.
        ChatWindow& chat = peers.chatWindow();
        EXPECT_FALSE(chat.isVisible());
        network.HandleChat(TChat{"Hamburg", "Hello there"});
        ASSERT_TRUE(chat.isVisible());
        EXPECT_TRUE(chat.memo()->toPlainText().endsWith("Hamburg: Hello there"));
        EXPECT_EQ(peers.sound().started(), 0);
        Press(chat, Qt::Key_Space);
        EXPECT_TRUE(chat.memo()->toPlainText().isEmpty());
        EXPECT_TRUE(network.chatwindow().lines.empty());
        Press(chat, Qt::Key_Escape);
        EXPECT_FALSE(chat.isVisible());
        network.HandleChat(TChat{"Kiel", "again"});
        EXPECT_TRUE(chat.isVisible());
        EXPECT_EQ(network.chatwindow().lines.size(), 1u);
        station.radar(1).hide();
        station.radar(2).hide();
    }
    dir.removeRecursively();
}

TEST(Gui, TheChatSoundNeedsAFileAndAPlayer) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-chatsound-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    ASSERT_TRUE(dir.mkpath("."));
    // A stand-in player that records what it was asked to play.
    const QString player = dir.filePath("player");
    const QString played = dir.filePath("played");
    {
        QFile script(player);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho \"$*\" > '%1'\n").arg(played).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    PaplaySoundPlayer missing(dir.filePath("no-such-player").toStdString());
    missing.PlayAsync("chime.wav");
    EXPECT_EQ(missing.started(), 0);
    PaplaySoundPlayer sound(player.toStdString());
    sound.PlayAsync("");
    EXPECT_EQ(sound.started(), 0);
    sound.PlayAsync("chime.wav");
    EXPECT_EQ(sound.started(), 1);
    QElapsedTimer t;
    t.start();
    while (QFile(played).size() < 1 && t.elapsed() < 10000) QApplication::processEvents();
    QFile result(played);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll().trimmed(), "-- chime.wav");  // never taken for an option
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
