// The picture job and the mail alerts against real servers on loopback (pyftpdlib, aiosmtpd),
// with a desk that hands out fixed pictures in place of the radar windows.

#include <gtest/gtest.h>

#include <QTimer>
#include <array>
#include <chrono>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "distribution/child_server.h"
#include "distribution/mail_alerts.h"
#include "distribution/picture_job.h"
#include "distribution/qt_test_support.h"
#include "distribution/test_flights.h"

namespace aerova {
namespace {

using namespace std::chrono_literals;
using testing::PumpUntil;
using testing::TempDir;

constexpr double kNewYearNoon = 1767270896;  // 2026-01-01 12:34:56 UTC

struct TestDesk : AlertManagerHost {
    bool windows = true;
    std::array<bool, 2> visible{true, true};
    std::array<std::string, 2> pictures{"JPEG of window 1", "JPEG of window 2"};
    std::vector<std::string> messages, errors;
    std::vector<UploadIndicator> indicators;
    std::string caption, progress;
    int captures = 0;
    std::pair<int, int> resized{0, 0};

    bool HasRadarWindows() const override { return windows; }
    bool RadarVisible(int tag) const override { return visible[std::size_t(tag - 1)]; }
    void ResizeRadar2(int width, int height) override { resized = {width, height}; }
    std::optional<std::string> CaptureJpeg(int tag) override {
        ++captures;
        return pictures[std::size_t(tag - 1)];
    }
    void Message(const std::string& text, const std::string& title) override {
        messages.push_back(text + "|" + title);
    }
    void SetIndicator(UploadIndicator indicator) override { indicators.push_back(indicator); }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetProgress(const std::string& text) override { progress = text; }
    void WriteErrorLog(const std::string& text) override { errors.push_back(text); }
    UploadIndicator indicator() const {
        return indicators.empty() ? UploadIndicator::kNormal : indicators.back();
    }
};

class AlertManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::QtApp();
        ForceDirectories(JoinPath(temp_.path(), "aerova-img"));
        clock_.Set(FromUnixSeconds(kNewYearNoon));
        PictureJobPlace place;
        place.stationDir = temp_.path();
        place.panorama.address = "127.0.0.1";
        place.panorama.port = 0;
        place.firstRunDelayMs = 10;
        job_ = std::make_unique<PictureJob>(*table_, mutex_, stationClock_, desk_, files_, place);
        mail_ = std::make_unique<MailAlerts>(*table_, mutex_, stationClock_, desk_, *job_,
                                             temp_.path());
    }
    std::string Img(const char* name) const {
        return JoinPath(JoinPath(temp_.path(), "aerova-img"), name);
    }
    std::string Read(const std::string& path) const {
        std::string text;
        ReadWholeFile(path, text);
        return text;
    }

    TempDir temp_;
    ManualClock clock_;
    StationClock stationClock_{clock_};
    std::unique_ptr<FlightTable> table_ = testing::NewTable();
    std::mutex mutex_;
    TestDesk desk_;
    PublishedFiles files_;
    std::unique_ptr<PictureJob> job_;
    std::unique_ptr<MailAlerts> mail_;
};

TEST_F(AlertManagerTest, StartChecksTheWindowAndTheFtpData) {
    PictureJobSettings s;
    s.ftpUpload = true;
    s.ftp.host = "127.0.0.1";
    s.ftp.remoteFile = "radar.jpg";  // no password
    desk_.visible[1] = false;
    job_->SetSettings(s);
    EXPECT_EQ(job_->Start(), PictureJob::StartResult::kWindowHidden);
    EXPECT_FALSE(job_->settings().ftpUpload) << "a hidden window 2 switches the upload off";
    job_->SetSettings(s);
    desk_.visible[1] = true;
    EXPECT_EQ(job_->Start(), PictureJob::StartResult::kFtpIncomplete);
    EXPECT_EQ(desk_.messages,
              (std::vector<std::string>{"Window #2 must be visible|Aerova",
                                        "FTP client/server data incomplete|Aerova"}));
    EXPECT_FALSE(job_->active());

    s.ftpUpload = false;
    s.httpServer = true;
    s.size = 1;
    job_->SetSettings(s);
    ASSERT_EQ(job_->Start(), PictureJob::StartResult::kStarted);
    EXPECT_EQ(desk_.resized, std::make_pair(800, 600));
    EXPECT_TRUE(job_->panorama().running());
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kYellow);
    // The first run comes by itself: pictures of both windows and both pages.
    ASSERT_TRUE(PumpUntil([&] { return job_->runs() == 1; }));
    EXPECT_EQ(Read(Img(kRadar2Picture)), desk_.pictures[1]);
    EXPECT_EQ(Read(Img(kRadar1Picture)), desk_.pictures[0]);
    EXPECT_NE(Read(Img(kFlightPage)).find("Time: 2026-01-01 12:34:56 UTC"), std::string::npos);
    EXPECT_NE(Read(Img(kPeerPage)).find("Aerova Peer Status"), std::string::npos);
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kGreen);
    job_->Stop();
    EXPECT_FALSE(job_->panorama().running());
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kNormal);
}

TEST_F(AlertManagerTest, NothingSwitchedOnTurnsTheIndicatorGrey) {
    job_->SetSettings(PictureJobSettings{});
    EXPECT_TRUE(job_->Run());
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kGrey);
    EXPECT_EQ(desk_.captures, 0);
}

TEST_F(AlertManagerTest, RunArchivesAndUploadsThePictureByFtp) {
    const std::string root = temp_.File("ftproot");
    ForceDirectories(JoinPath(root, "radar"));
    const int port = testing::FreeLoopbackPort();
    auto server = testing::StartFtpServer(port, root, "spotter", "pw", temp_.File("ftpd.log"));
    ASSERT_TRUE(server->WaitUntilListening(port)) << server->Log();

    PictureJobSettings s;
    s.ftpUpload = s.fileArchive = true;
    s.ftp.host = "127.0.0.1:" + std::to_string(port);
    s.ftp.user = "spotter";
    s.ftp.password = "pw";
    s.ftp.remoteDir = "radar";
    s.ftp.remoteFile = "latest.jpg";
    job_->SetSettings(s);
    ASSERT_TRUE(job_->Run());
    ASSERT_TRUE(PumpUntil([&] { return !job_->uploading(); }, 20000));
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kGreen) << job_->lastUploadText();
    EXPECT_EQ(Read(JoinPath(root, "radar/latest.jpg")), Read(Img(kRadar2Picture)));
    EXPECT_EQ(Read(Img(kRadar2Picture)), desk_.pictures[1]);
    EXPECT_EQ(Read(Img("20260101-123456UTC.jpg")), desk_.pictures[1]);
    EXPECT_FALSE(FileExists(Img(kRadar1Picture))) << "window 1 only for the panorama server";
}

// A server that takes the connection and never answers: the upload ends by its time-out, the
// event loop keeps running meanwhile, and a run that comes while it waits is skipped.
TEST_F(AlertManagerTest, ASilentFtpServerTimesOutWhileTheLoopRuns) {
    testing::SilentServer silent;
    PictureJobSettings s;
    s.ftpUpload = true;
    s.ftp.host = "127.0.0.1:" + std::to_string(silent.port());
    s.ftp.password = "pw";
    s.ftp.remoteFile = "latest.jpg";
    s.ftp.connectTimeoutMs = 1000;
    s.ftp.totalTimeoutMs = 1500;
    job_->SetSettings(s);
    int ticks = 0;
    QTimer cycle;
    QObject::connect(&cycle, &QTimer::timeout, [&ticks] { ++ticks; });
    cycle.start(20);
    ASSERT_TRUE(job_->Run());
    EXPECT_TRUE(job_->uploading());
    EXPECT_FALSE(job_->Run());
    EXPECT_EQ(job_->skipped(), 1);
    ASSERT_TRUE(PumpUntil([&] { return !job_->uploading(); }, 15000));
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kRed);
    EXPECT_GT(ticks, 20) << "the main cycle kept ticking during the upload";
    ASSERT_FALSE(desk_.errors.empty());
    EXPECT_EQ(desk_.errors.back().rfind("FTP upload failed: ", 0), 0u);
}

class MailAlertTest : public AlertManagerTest {
  protected:
    void SetUp() override {
        AlertManagerTest::SetUp();
        ForceDirectories(Stored());
        port_ = testing::FreeLoopbackPort();
        smtp_ = testing::StartSmtpServer(port_, "station", "pw", Stored(), temp_.File("smtp.log"));
        ASSERT_TRUE(smtp_->WaitUntilListening(port_)) << smtp_->Log();
        MailAlertSettings s;
        s.account.host = "127.0.0.1:" + std::to_string(port_);
        s.account.user = "station";
        s.account.password = "pw";
        s.recipients = "ops@example.org";
        s.fromAddress = "radar@example.org";
        mail_->SetSettings(s);
    }
    std::string Stored() const { return temp_.File("mail"); }
    std::string Mail(int n) const { return Read(JoinPath(Stored(), std::to_string(n) + ".eml")); }
    bool Settled() const { return !mail_->busy() && mail_->queued() == 0; }

    int port_ = 0;
    std::unique_ptr<testing::ChildServer> smtp_;
};

TEST_F(MailAlertTest, OneMailPerFlightAndFlag) {
    Tflight& f = testing::PlaceTarget(*table_, 7, "4CA1FA");
    f.flightid = "EIN12A  ";
    f.squawk = "7700";
    f.alertmail = true;
    // No recipients yet: the flag waits for an account.
    const MailAlertSettings account = mail_->settings();
    MailAlertSettings none = account;
    none.recipients.clear();
    mail_->SetSettings(none);
    mail_->RaiseAlertMails("Dad's flight");
    EXPECT_FALSE(f.alertmailsent);
    EXPECT_EQ(mail_->queued(), 0u);
    mail_->SetSettings(account);
    mail_->RaiseAlertMails("Dad's flight");
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    // The flag stays set on later ticks; no second mail for it.
    mail_->RaiseAlertMails("Dad's flight");
    f.emergencyalert = true;
    mail_->RaiseAlertMails("");
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    mail_->RaiseAlertMails("");
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    EXPECT_EQ(mail_->sent(), 2) << mail_->lastResult();
    EXPECT_NE(Mail(1).find("Subject: Aerova mail alert: EIN12A/4CA1FA Dad's flight"),
              std::string::npos)
        << Mail(1);
    EXPECT_NE(Mail(2).find("Subject: Aerova mail alert: ** EMERGENCY ** EIN12A/4CA1FA squawk 7700"),
              std::string::npos)
        << Mail(2);
    EXPECT_FALSE(FileExists(JoinPath(Stored(), "3.eml")));
    EXPECT_EQ(desk_.caption, "12:34:56: Event Alert Mail sent: EIN12A/4CA1FA");
    EXPECT_EQ(desk_.progress, "Mail sent");
    EXPECT_EQ(ReadLines(mail_->mailLogPath()).size(), 2u);
}

// The test mail carries a picture taken for it, never one left from an earlier mail.
TEST_F(MailAlertTest, TestMailAttachesOnlyAPictureTakenForIt) {
    WriteFileReplacing(Img("~~temp.jpg"), "stale picture");
    PictureJobSettings s;
    s.saveJpeg = false;
    job_->SetSettings(s);
    ASSERT_TRUE(mail_->Test());
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    EXPECT_EQ(mail_->sent(), 1) << mail_->lastResult();
    EXPECT_EQ(Mail(1).find("filename="), std::string::npos) << "no attachment with Save JPEG off";
    EXPECT_NE(Mail(1).find("Subject: Aerova testing mail alert"), std::string::npos);
    EXPECT_FALSE(FileExists(Img("~~temp.jpg")));

    s.saveJpeg = true;
    job_->SetSettings(s);
    ASSERT_TRUE(mail_->Test());
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    EXPECT_NE(Mail(2).find("filename=\"~~temp.jpg\""), std::string::npos) << Mail(2);
    EXPECT_EQ(Read(Img("~~temp.jpg")), desk_.pictures[1]);
    EXPECT_EQ(desk_.caption, "12:34:56: Event Alert Mail sent: /");
}

TEST_F(MailAlertTest, AFailedTestSaysWhereAndTurnsRed) {
    MailAlertSettings s = mail_->settings();
    s.account.host = "127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
    mail_->SetSettings(s);
    ASSERT_TRUE(mail_->Test());
    ASSERT_TRUE(PumpUntil([&] { return Settled(); }, 20000));
    EXPECT_EQ(desk_.messages,
              std::vector<std::string>{"Mail transfer failed on connection|Aerova mail"});
    EXPECT_EQ(desk_.indicator(), UploadIndicator::kRed);
    EXPECT_EQ(mail_->failed(), 1);
}

}  // namespace
}  // namespace aerova
