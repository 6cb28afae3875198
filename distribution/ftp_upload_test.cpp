#include "distribution/ftp_upload.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>

#include "base/files.h"
#include "base/testing/temp_dir.h"
#include "distribution/child_server.h"

namespace aerova {
namespace {

using namespace std::chrono_literals;
using testing::ChildServer;
using testing::SilentServer;
using testing::TempDir;

constexpr const char* kUser = "station";
constexpr const char* kPassword = "p@ss:w/rd %1";  // every character a URL would need escaped

// A picture-sized file of every byte value, CR and LF among them: binary mode or bust.
std::string PictureBytes() {
    std::mt19937 random(4181);
    std::string bytes(300 * 1024, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// pyftpdlib (python3-pyftpdlib) serving a root with the sub-directory "pictures/today".
class FtpUploadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ForceDirectories(JoinPath(Root(), "pictures/today")));
        port_ = testing::FreeLoopbackPort();
        server_ = testing::StartFtpServer(port_, Root(), kUser, kPassword, temp_.File("ftpd.log"));
        ASSERT_TRUE(server_->WaitUntilListening(port_)) << server_->Log();
        temp_.Write("picture.jpg", picture_);
    }
    std::string Root() const { return temp_.File("root"); }
    FtpUploadSettings Settings() const {
        FtpUploadSettings settings;
        settings.host = "127.0.0.1:" + std::to_string(port_);
        settings.user = kUser;
        settings.password = kPassword;
        settings.remoteDir = "pictures/today";
        settings.remoteFile = "radar #2 100%.jpg";
        settings.connectTimeoutMs = 5000;
        settings.totalTimeoutMs = 20000;
        return settings;
    }

    TempDir temp_;
    const std::string picture_ = PictureBytes();
    int port_ = 0;
    std::unique_ptr<ChildServer> server_;
};

TEST_F(FtpUploadTest, StoresThePictureByteForByteInPassiveAndActiveMode) {
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        FtpUploadSettings settings = Settings();
        settings.passive = passive;
        settings.remoteFile = passive ? "radar #2 100%.jpg" : "radar #1.jpg";
        // From the root or from the login directory: both name the same folder here.
        settings.remoteDir = passive ? "pictures/today" : "/pictures/today";
        std::vector<std::uint64_t> sent;
        const FtpUploadResult result =
            UploadByFtp(settings, temp_.File("picture.jpg"),
                        [&](std::uint64_t bytes) { sent.push_back(bytes); });
        ASSERT_TRUE(result.ok) << result.text << "\n" << server_->Log();
        EXPECT_EQ(result.text, "Upload complete");
        // The server's debug log holds every command: EPSV asks for passive mode, EPRT
        // offers the client's port for active mode.
        const std::string commands = server_->Log();
        EXPECT_EQ(commands.find("<- EPSV") != std::string::npos, true) << commands;
        EXPECT_EQ(commands.find("<- EPRT") != std::string::npos, !passive) << commands;
        std::string stored;
        ASSERT_TRUE(
            ReadWholeFile(JoinPath(Root(), "pictures/today/" + settings.remoteFile), stored));
        EXPECT_TRUE(stored == picture_) << "stored " << stored.size() << " bytes";
        ASSERT_FALSE(sent.empty());
        EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end()));
        EXPECT_EQ(sent.back(), picture_.size());
    }
}

TEST_F(FtpUploadTest, ServerRefusalsFailWithCurlsText) {
    struct Case {
        const char* name;
        std::string password, remoteDir;
        const char* text;
    } cases[] = {
        {"wrong password", "wrong", "pictures/today", "Access denied: 530"},
        {"missing directory", kPassword, "pictures/tomorrow",
         "Server denied you to change to the given directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FtpUploadSettings settings = Settings();
        settings.password = c.password;
        settings.remoteDir = c.remoteDir;
        const FtpUploadResult result = UploadByFtp(settings, temp_.File("picture.jpg"));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.text, c.text);
    }
    EXPECT_FALSE(FileExists(JoinPath(Root(), "pictures/today/radar #2 100%.jpg")));
}

TEST(FtpUploadRefusal, NamesThatWouldLeaveTheDirectoryAreRefusedBeforeConnecting) {
    TempDir temp;
    temp.Write("picture.jpg", "jpeg");
    SilentServer silent;
    const std::string local = "127.0.0.1:" + std::to_string(silent.port());
    const std::string refusal = "Remote file name must be a single file name: ";
    const struct {
        std::string host, remoteFile, text;
    } cases[] = {
        {local, "../index.html", refusal + "../index.html"},
        {local, "pictures/radar.jpg", refusal + "pictures/radar.jpg"},
        {local, "..\\radar.jpg", refusal + "..\\radar.jpg"},
        {local, "..", refusal + ".."},
        {local, "", refusal},
        {local, "radar.jpg\r\nDELE index.html", refusal + "radar.jpgDELE index.html"},
        {"user@" + local + "/x", "radar.jpg", "Invalid FTP host: user@" + local + "/x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FtpUploadSettings settings;
        settings.host = c.host;
        settings.remoteFile = c.remoteFile;
        const FtpUploadResult result = UploadByFtp(settings, temp.File("picture.jpg"));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.text, c.text);
    }
    EXPECT_FALSE(silent.AcceptClient(0ms)) << "a refused upload connected";
}

TEST(FtpUploadSilentServer, EndsAtTheConnectTimeOut) {
    TempDir temp;
    temp.Write("picture.jpg", "jpeg");
    SilentServer silent;
    FtpUploadSettings settings;
    settings.host = "127.0.0.1:" + std::to_string(silent.port());
    settings.remoteFile = "radar.jpg";
    settings.connectTimeoutMs = 1000;
    settings.totalTimeoutMs = 2000;
    const auto started = std::chrono::steady_clock::now();
    const FtpUploadResult result = UploadByFtp(settings, temp.File("picture.jpg"));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.text.find("timed out"), std::string::npos) << result.text;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 4s);
}

TEST(FtpUploadSilentServer, CancelEndsTheWaitLongBeforeTheTimeOut) {
    TempDir temp;
    temp.Write("picture.jpg", "jpeg");
    SilentServer silent;
    FtpUploadSettings settings;
    settings.host = "127.0.0.1:" + std::to_string(silent.port());
    settings.remoteFile = "radar.jpg";
    std::atomic<bool> cancel{false};
    auto upload = std::async(std::launch::async, [&] {
        return UploadByFtp(settings, temp.File("picture.jpg"), {}, &cancel);
    });
    const bool connected = silent.AcceptClient(10s);
    cancel = true;
    EXPECT_TRUE(connected);
    ASSERT_EQ(upload.wait_for(3s), std::future_status::ready);
    const FtpUploadResult result = upload.get();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.text, "Cancelled");
}

TEST(FtpUploadLocalFile, AMissingPictureIsNamed) {
    FtpUploadSettings settings;
    settings.host = "127.0.0.1:1";
    settings.remoteFile = "radar.jpg";
    const FtpUploadResult result = UploadByFtp(settings, "/nonexistent/~temp.jpg");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.text, "Cannot read /nonexistent/~temp.jpg");
}

}  // namespace
}  // namespace aerova
