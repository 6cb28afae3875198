// The alert manager and MiniView windows of the desktop station: the picture job uploads a
// fresh picture of radar window 2 at the chosen size to a real FTP server (pyftpdlib) and the
// panorama server serves the same picture; window 2 cannot be hidden meanwhile; the MiniView
// fields are the `mini` settings.

#include "app/desktop_alerts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "distribution/alert_manager_window.h"
#include "distribution/child_server.h"
#include "distribution/http_test_client.h"
#include "distribution/miniview_window.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_picture.h"
#include "radar/radar_window.h"

namespace aerova {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

std::string Read(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

class DesktopAlertsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        dir_.setPath(QDir::tempPath() + "/aerova-alerts-" +
                     QString::number(QApplication::applicationPid()));
        dir_.removeRecursively();
        QDir().mkpath(dir_.path());
        RunOptions options;
        options.stationDir = dir_.path().toStdString();
        options.nosrv = true;
        options.portOffset = testing::TestPortOffset(8);
        offset_ = options.portOffset;
        station_ = std::make_unique<DesktopStation>(options);
        station_->askOverride = [](const std::string&, const std::string&) { return true; };
        station_->messageOverride = [this](const std::string& text, const std::string& title) {
            messages_.push_back(text + "|" + title);
        };
        ASSERT_TRUE(station_->Start());
        ASSERT_TRUE(WaitFor([&] { return station_->radar(2).isVisible(); }, 5000));
    }
    void TearDown() override {
        station_.reset();
        dir_.removeRecursively();
    }
    std::string StationFile(const char* name) const {
        return JoinPath(dir_.path().toStdString(), name);
    }

    QDir dir_;
    int offset_ = 0;
    std::unique_ptr<DesktopStation> station_;
    std::vector<std::string> messages_;
};

TEST_F(DesktopAlertsTest, PictureJobUploadsAndServesWindowTwoAtTheChosenSize) {
    const std::string root = StationFile("ftproot");
    ForceDirectories(root);
    const int port = testing::FreeLoopbackPort();
    auto ftp = testing::StartFtpServer(port, root, "spotter", "pw", StationFile("ftpd.log"));
    ASSERT_TRUE(ftp->WaitUntilListening(port)) << ftp->Log();

    AlertManagerWindow& w = station_->alerts().window();
    MainWindow& main = station_->mainWindow();
    main.button("spbftp")->click();
    ASSERT_TRUE(w.isVisible());
    w.field("edftphost")->setText(QString("127.0.0.1:%1").arg(port));
    w.field("edftpuser")->setText("spotter");
    w.field("edftppwd")->setText("pw");
    w.field("edftpfile")->setText("radar.jpg");
    w.cbsize()->setCurrentIndex(0);  // 640x480
    w.check("cbftp")->setChecked(true);
    w.check("cbhttp")->setChecked(true);
    w.bustart()->click();
    // A refused start says why: a message, or the error log for the panorama server's port.
    ASSERT_EQ(w.bustart()->text(), "Stop") << ::testing::PrintToString(messages_) << "\n"
                                           << Read(StationFile("aerova-logs/aerova-error.log"));
    EXPECT_EQ(main.uploadIndicator(), UploadIndicator::kYellow);

    // The first run comes three seconds after the start.
    const std::string stored = JoinPath(root, "radar.jpg");
    PictureJob& job = station_->services().pictureJob();
    ASSERT_TRUE(WaitFor([&] { return main.uploadIndicator() == UploadIndicator::kGreen; }, 60000))
        << "indicator " << static_cast<int>(main.uploadIndicator()) << ", runs " << job.runs()
        << ", uploading " << job.uploading() << ": " << job.lastUploadText() << "\n"
        << ftp->Log();
    const std::string picture = Read(StationFile("aerova-img/~temp.jpg"));
    EXPECT_EQ(Read(stored), picture);
    const auto decoded = DecodeJpeg(picture);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 640);
    EXPECT_EQ(decoded->height, 480);

    const testing::HttpReply served =
        testing::HttpGet("http://127.0.0.1:" + std::to_string(7980 + offset_) + "/radar2");
    EXPECT_EQ(served.contenttype, "image/jpeg");
    EXPECT_EQ(served.body, picture);

    // Window 2 stays while the job runs; the saved settings record that it runs.
    main.button("spbradar2")->click();
    EXPECT_TRUE(station_->radar(2).isVisible());
    EXPECT_TRUE(main.button("spbradar2")->isChecked());
    EXPECT_EQ(messages_, std::vector<std::string>{
                             "Cannot hide window #2 while FTP or HTTP is active.|Aerova"});
    const std::string ini = StationFile("saved.ini");
    ASSERT_TRUE(station_->station().settingsFile.SaveSettings(ini));
    EXPECT_EQ(IniFile(ini).ReadString("ftp", "active", ""), "1");

    w.bustart()->click();
    EXPECT_EQ(w.bustart()->text(), "Start");
    EXPECT_EQ(main.uploadIndicator(), UploadIndicator::kNormal);
    EXPECT_FALSE(
        testing::HttpGet("http://127.0.0.1:" + std::to_string(7980 + offset_) + "/", 1000).ok);
}

TEST_F(DesktopAlertsTest, MiniViewFieldsAreTheMiniSettings) {
    MiniViewWindow& mini = station_->alerts().miniView();
    station_->mainWindow().button("spbmini")->click();
    ASSERT_TRUE(mini.isVisible());
    mini.cbset()->setCurrentIndex(1);
    mini.field("edurl")->setText("radar.example.org");
    mini.field("edserverpwd")->setText("letmein");
    mini.check("cb7989")->setChecked(false);
    mini.cbinterval()->setCurrentIndex(6);  // 10 s
    StationServices& services = station_->services();
    EXPECT_EQ(services.pollSettings.activeset, 1);
    EXPECT_EQ(services.pollSettings.sets[1].url, "radar.example.org");
    EXPECT_EQ(services.pollSettings.sets[1].interval, 10);
    EXPECT_FALSE(services.serverUpdatesOnly[1]);

    const std::string ini = StationFile("mini.ini");
    ASSERT_TRUE(station_->station().settingsFile.SaveSettings(ini));
    IniFile file(ini);
    EXPECT_EQ(file.ReadString("mini", "url2", ""), "radar.example.org");
    EXPECT_EQ(file.ReadString("mini", "serverpwd", ""), "letmein");
    EXPECT_EQ(file.ReadString("mini", "activeset", ""), "1");

    // A load shows the file's values in the open window.
    file.WriteString("mini", "url2", "other.example.org");
    file.WriteString("mini", "activeset", "1");
    ASSERT_TRUE(file.UpdateFile());
    station_->station().settingsFile.LoadSettings(ini);
    EXPECT_EQ(mini.field("edurl")->text(), "other.example.org");

    // Start and stop the polling client.
    mini.bupoll()->click();
    EXPECT_TRUE(services.poller().active());
    EXPECT_EQ(mini.bupoll()->text(), "Stop");
    mini.bupoll()->click();
    EXPECT_FALSE(services.poller().active());
}

TEST_F(DesktopAlertsTest, AlertListEditsAreWhatIngestMatches) {
    AlertManagerWindow& w = station_->alerts().window();
    w.field("edalertid")->setText("ein");
    w.field("edalertcomment")->setText("Dublin flights");
    w.Add();
    w.field("edalertid")->setText("4CA1FA");
    w.Add();
    w.check("cbsendmail")->setChecked(true);
    w.check("cbexact")->setChecked(true);
    const AlertListState& alerts = station_->services().alerts;
    ASSERT_EQ(alerts.entries.size(), 2u);
    EXPECT_EQ(alerts.entries[0].text, "4CA1FA:");
    EXPECT_EQ(alerts.entries[1].text, "EIN:Dublin flights");
    EXPECT_TRUE(alerts.sendmail);
    EXPECT_TRUE(alerts.exact);

    w.alertList()->setCurrentItem(w.alertList()->topLevelItem(1));
    w.DeleteEdit();
    EXPECT_EQ(w.field("edalertid")->text(), "EIN");
    EXPECT_EQ(w.field("edalertcomment")->text(), "Dublin flights");
    ASSERT_EQ(alerts.entries.size(), 1u);
    w.alertList()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(alerts.entries[0].checked);
}

}  // namespace
}  // namespace aerova
