#include "distribution/panorama_server.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "base/testing/temp_dir.h"
#include "distribution/http_test_client.h"

namespace aerova {
namespace {

using testing::HttpGet;

std::string Page(std::string_view message) {
    return "<html><head><title>Aerova Panorama Server</title></head><body><h3>" +
           std::string(message) + "</h3></body></html>";
}

class PanoramaServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.address = "127.0.0.1";
        settings.port = 0;
        settings.imgDir = dir.File("aerova-img");
        settings.errorLogPath = dir.File("aerova-logs/aerova-error.log");
        settings.mailLogPath = dir.File("maillog.txt");
        settings.limits.requestTimeoutMs = 500;
        ASSERT_TRUE(ForceDirectories(settings.imgDir));
        ASSERT_TRUE(ForceDirectories(ExtractFileDir(settings.errorLogPath)));
    }
    void StartServer() {
        ASSERT_TRUE(server.Start(settings));
        ASSERT_TRUE(server.running());
        base = "http://127.0.0.1:" + std::to_string(server.port());
    }
    std::string Img(const char* name) const { return JoinPath(settings.imgDir, name); }

    testing::TempDir dir;
    PublishedFiles files;
    PanoramaServerSettings settings;
    PanoramaServer server{files};
    std::string base;
};

TEST_F(PanoramaServerTest, ControlPanelListsTheRadarLinksOnlyWhileSavingJpeg) {
    StartServer();
    const std::string head =
        "<html><head><title>Aerova Panorama Server</title></head><body><h3>Aerova Panorama "
        "Server<br>Remote Control Panel<br><br> </h3><h4><a href=\"../flights\">Flights</a><br>"
        "<a href=\"../peers\">Peers</a><br><br>";
    const std::string radar =
        "<a href=\"../radar1\">Radar #1</a><br><a href=\"../radar2\">Radar #2</a><br><br>";
    const std::string tail =
        "<a href=\"../errorlog.txt\">Show error log</a><br><a href=\"../clearerrorlog\">Clear "
        "error log</a><br><br><a href=\"../eventlog.txt\">Show event log</a><br><a "
        "href=\"../cleareventlog\">Clear event log</a></h4></body></html>";
    const auto off = HttpGet(base + "/");
    ASSERT_TRUE(off.ok);
    EXPECT_EQ(off.status, 200);
    EXPECT_EQ(off.contenttype, "text/html");
    EXPECT_EQ(off.body, head + tail);
    server.SetSaveJpeg(true);
    EXPECT_EQ(HttpGet(base + "/?file=").body, head + radar + tail);
    const auto file = HttpGet(base + "/?file=x");
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.status, 404);
}

TEST_F(PanoramaServerTest, ServesThePublishedFilesWithTheirTypes) {
    ASSERT_TRUE(files.Write(Img(kRadar2Picture), std::string("\xFF\xD8radar2\0\xFF\xD9", 11)));
    ASSERT_TRUE(files.Write(Img(kRadar1Picture), "\xFF\xD8radar1\xFF\xD9"));
    ASSERT_TRUE(files.Write(Img(kFlightPage), "<html>flights</html>\r\n"));
    ASSERT_TRUE(files.Write(Img(kPeerPage), "<html>peers</html>\r\n"));
    ASSERT_TRUE(files.Write(settings.errorLogPath, "12:00:00 error\r\n"));
    ASSERT_TRUE(files.Write(settings.mailLogPath, "mail sent\r\n"));
    StartServer();
    server.SetSaveJpeg(true);
    const struct {
        const char* path;
        std::string body;
        const char* type;
    } cases[] = {
        {"/radar2", std::string("\xFF\xD8radar2\0\xFF\xD9", 11), "image/jpeg"},
        {"/radar1", "\xFF\xD8radar1\xFF\xD9", "image/jpeg"},
        {"/flights", "<html>flights</html>\r\n", "text/html"},
        {"/peers", "<html>peers</html>\r\n", "text/html"},
        {"/errorlog.txt", "12:00:00 error\r\n", "text/plain"},
        {"/eventlog.txt", "mail sent\r\n", "text/plain"},
    };
    for (const auto& c : cases) {
        const auto r = HttpGet(base + c.path);
        ASSERT_TRUE(r.ok) << c.path;
        EXPECT_EQ(r.status, 200) << c.path;
        EXPECT_EQ(r.contenttype, c.type) << c.path;
        EXPECT_EQ(r.body, c.body) << c.path;
    }
    // Without "Save JPEG" the pictures are not offered, and paths are case-sensitive.
    server.SetSaveJpeg(false);
    for (const char* path : {"/radar1", "/radar2", "/Flights", "/flights/", "/errorlog"})
        EXPECT_EQ(HttpGet(base + path).body, Page("Unknown server command")) << path;
}

TEST_F(PanoramaServerTest, MissingFilesGetTheCannotLocatePages) {
    StartServer();
    server.SetSaveJpeg(true);
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"/radar1", "Cannot locate radar window #1 file"},
        {"/radar2", "Cannot locate radar window #2 file"},
        {"/flights", "Cannot locate file aerovas-s-img\\~temp.htm"},
        {"/peers", "Cannot locate file aerovas-s-img\\~tempp.htm"},
        {"/errorlog.txt", "Cannot locate file aerovas-s-error.txt"},
        {"/clearerrorlog", "Cannot locate file aerovas-s-error.txt"},
        {"/eventlog.txt", "Cannot locate file maillog.txt"},
        {"/cleareventlog", "Cannot locate file maillog.txt"},
    };
    for (const auto& c : cases) {
        const auto r = HttpGet(base + c.path);
        EXPECT_EQ(r.status, 200) << c.path;
        EXPECT_EQ(r.contenttype, "text/html") << c.path;
        EXPECT_EQ(r.body, Page(c.message)) << c.path;
    }
    EXPECT_FALSE(FileExists(settings.errorLogPath));  // clearing creates nothing
}

TEST_F(PanoramaServerTest, ClearCommandsEmptyTheLogs) {
    ASSERT_TRUE(files.Write(settings.errorLogPath, "12:00:00 error\r\n"));
    ASSERT_TRUE(files.Write(settings.mailLogPath, "mail sent\r\n"));
    StartServer();
    EXPECT_EQ(HttpGet(base + "/clearerrorlog").body, Page("File aerovas-s-error.txt cleared"));
    EXPECT_EQ(files.Read(settings.errorLogPath), "");
    EXPECT_EQ(files.Read(settings.mailLogPath), "mail sent\r\n");
    EXPECT_EQ(HttpGet(base + "/cleareventlog").body, Page("File maillog.txt cleared"));
    EXPECT_EQ(files.Read(settings.mailLogPath), "");
    EXPECT_EQ(HttpGet(base + "/errorlog.txt").body, "");
}

// The picture job replaces the picture while clients fetch it: each reply is one whole
// picture, never the start of one and the end of the other.
TEST_F(PanoramaServerTest, PicturesReplacedWhileServedArriveWhole) {
    std::string first = "\xFF\xD8", second = "\xFF\xD8";
    for (int i = 0; i < 200000; ++i) first += static_cast<char>('A' + i % 26);
    for (int i = 0; i < 150000; ++i) second += static_cast<char>('a' + i % 23);
    first += "\xFF\xD9";
    second += "\xFF\xD9";
    ASSERT_TRUE(files.Write(Img(kRadar2Picture), first));
    settings.limits.threads = 64;
    settings.limits.maxConnections = 128;
    settings.limits.requestTimeoutMs = 5000;
    settings.limits.writeTimeoutMs = 10000;
    StartServer();
    server.SetSaveJpeg(true);

    // The picture is replaced once for every reply that arrives, so the replacements keep
    // pace with the requests still in flight without starving them of the lock.
    std::mutex mutex;
    std::condition_variable arrived;
    int replies = 0;
    bool done = false;
    int writes = 0;
    std::thread writer([&] {
        for (int seen = 0;; ++writes) {
            ASSERT_TRUE(files.Write(Img(kRadar2Picture), writes % 2 == 0 ? second : first));
            std::unique_lock lock(mutex);
            arrived.wait(lock, [&] { return done || replies != seen; });
            if (done) return;
            seen = replies;
        }
    });
    constexpr int kClients = 50, kRequestsEach = 2;
    std::vector<std::future<int>> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.push_back(std::async(std::launch::async, [&] {
            int whole = 0;
            for (int r = 0; r < kRequestsEach; ++r) {
                const auto reply = HttpGet(base + "/radar2", 20000);
                if (reply.ok && reply.status == 200 && reply.contenttype == "image/jpeg" &&
                    (reply.body == first || reply.body == second))
                    ++whole;
                std::scoped_lock lock(mutex);
                ++replies;
                arrived.notify_one();
            }
            return whole;
        }));
    }
    int whole = 0;
    for (auto& c : clients) whole += c.get();
    {
        std::scoped_lock lock(mutex);
        done = true;
        arrived.notify_one();
    }
    writer.join();
    EXPECT_EQ(whole, kClients * kRequestsEach);
    EXPECT_GT(writes, 1);
}

}  // namespace
}  // namespace aerova
