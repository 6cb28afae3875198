// The download against a map server on this machine. The transfers run on their own threads,
// so this suite is meant for the ThreadSanitizer build as well.

#include "radar/mosaic_download.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "radar/radar_picture.h"

namespace aerova {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A picture whose JPEG is well above the size of a server message.
std::string MapPicture() {
    RadarPicture picture{96, 64, {}};
    std::uint32_t seed = 12345;
    for (int i = 0; i < picture.width * picture.height; ++i) {
        seed = seed * 1664525u + 1013904223u;
        picture.pixels.push_back(seed >> 8);
    }
    return EncodeJpeg(picture, 90).value();
}

// A real JPEG no larger than a server message.
std::string TinyJpeg() {
    return EncodeJpeg(RadarPicture{8, 8, std::vector<std::uint32_t>(64, 0x336699)}, 75).value();
}

// The map server: each path answers one way. "/slow" holds its answer until the test ends.
class MapServer {
  public:
    MapServer() : picture_(MapPicture()), tiny_(TinyJpeg()) {
        server_.Get("/jpeg", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.set_content(picture_, "image/jpeg");
        });
        server_.Get("/tiny", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.set_content(tiny_, "image/jpeg");
        });
        server_.Get("/html", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.set_content(ErrorPage(), "text/html");
        });
        server_.Get("/error", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.status = 500;
            res.set_content(picture_, "image/jpeg");  // a picture, but not a good answer
        });
        server_.Get("/slow", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            std::unique_lock lock(mutex_);
            released_.wait_for(lock, 20s, [this] { return release_; });
            res.set_content(picture_, "image/jpeg");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        const auto deadline = Clock::now() + 10s;
        while (!server_.is_running() && Clock::now() < deadline) std::this_thread::yield();
    }
    ~MapServer() {
        {
            std::lock_guard lock(mutex_);
            release_ = true;
        }
        released_.notify_all();
        server_.stop();
        thread_.join();
    }

    static std::string ErrorPage() {
        std::string page = "<html><body>ServiceException: layer not available\n<p>";
        page.resize(3000, '.');
        return page;
    }
    std::string Url(std::string_view path) const {
        return Concat({"http://127.0.0.1:", std::to_string(port_), path, "?"});
    }
    const std::string& picture() const { return picture_; }
    const std::string& tiny() const { return tiny_; }
    int requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    httplib::Params lastQuery() const {
        std::lock_guard lock(mutex_);
        return lastQuery_;
    }

  private:
    void Count(const httplib::Request& req) {
        std::lock_guard lock(mutex_);
        ++requests_;
        lastQuery_ = req.params;
    }

    const std::string picture_, tiny_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
    int requests_ = 0;
    httplib::Params lastQuery_;
};

// What the callbacks reported, handed over from the download's thread.
class Outcome {
  public:
    MosaicDownload::ProgressCallback Progress() {
        return [this](const std::string& status) {
            std::lock_guard lock(mutex_);
            progress_.push_back(status);
        };
    }
    MosaicDownload::DoneCallback Done() {
        return [this](const MosaicDownloadResult& r) {
            std::lock_guard lock(mutex_);
            ++results_;
            result_ = r;
            changed_.notify_all();
        };
    }
    std::optional<MosaicDownloadResult> Wait(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [this] { return result_.has_value(); });
        return result_;
    }
    std::vector<std::string> progress() const {
        std::lock_guard lock(mutex_);
        return progress_;
    }
    int results() const {
        std::lock_guard lock(mutex_);
        return results_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> progress_;
    std::optional<MosaicDownloadResult> result_;
    int results_ = 0;
};

MosaicRequest Request(const std::string& url, const std::string& dir, const std::string& name) {
    MosaicRequest r;
    r.serverUrl = url;
    r.layer = "global_mosaic";
    r.style = "visual";
    r.area = {53.75, 53.25, 9.5, 10.5, 1024, 512};
    r.quality = 4;
    r.mosaicDir = dir;
    r.name = name;
    return r;
}

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

std::string Content(const std::string& path) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(path, content)) << path;
    return content;
}

TEST(MosaicDownload, StoresThePictureAndItsAutoCalibration) {
    MapServer server;
    testing::TempDir dir;
    Outcome outcome;
    std::optional<MosaicDownloadResult> result;
    {
        MosaicDownload download(Request(server.Url("/jpeg"), dir.path(), "elbe"),
                                outcome.Progress(), outcome.Done());
        result = outcome.Wait(10s);
    }  // joined: every report is in
    ASSERT_TRUE(result);
    EXPECT_EQ(result->kind, MosaicDownloadResult::kPicture) << result->text;
    EXPECT_EQ(result->bytes, server.picture().size());
    const std::string kb = std::to_string(server.picture().size() / 1024);
    EXPECT_EQ(result->text, Concat({"Download complete: ", kb, " kB"}));

    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"elbe.jpg", "elbe.clb"}));
    EXPECT_EQ(Content(dir.File("elbe.jpg")), server.picture());
    const std::string calibration = Content(dir.File("elbe.clb"));
    EXPECT_EQ(calibration, CalibrationText(AutoCalibration(53.75, 53.25, 9.5, 10.5, 1024, 512, 4)));
    const auto points = ParseCalibration(calibration);
    ASSERT_TRUE(points);
    EXPECT_EQ(points->size(), 25u);
    EXPECT_EQ(points->back(), (CalibrationPoint{1024, 512, 53.25, 10.5}));

    const httplib::Params query = server.lastQuery();
    const std::multimap<std::string, std::string> expected = {
        {"request", "GetMap"},    {"width", "1024"},
        {"height", "512"},        {"layers", "global_mosaic"},
        {"styles", "visual"},     {"srs", "EPSG:4326"},
        {"format", "image/jpeg"}, {"bbox", "9.5,53.25,10.5,53.75"}};
    EXPECT_EQ(query, expected);

    const std::vector<std::string> progress = outcome.progress();
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front(), "Downloading...");
    EXPECT_NE(std::find(progress.begin(), progress.end(), "Connected to server"), progress.end());
    EXPECT_EQ(progress.back(), Concat({"Downloading... ", kb, " kB"}));
}

TEST(MosaicDownload, NothingButAGoodPictureReplacesAMosaic) {
    MapServer server;
    ASSERT_LE(server.tiny().size(), kMosaicMessageBytes);  // a JPEG, but only a message's size
    const std::string page = MapServer::ErrorPage();
    using Result = MosaicDownloadResult;
    const struct {
        std::string url;
        std::string name;
        long timeoutMs;
        bool onGlobe;  // false: the area reaches past the pole
        int requests;  // that reach the server
        Result::Kind kind;
        std::string text;  // the whole text, or its beginning when it ends in "*"
    } cases[] = {
        {server.Url("/html"), "keep", 60000, true, 1, Result::kTextMessage, page.substr(0, 255)},
        {server.Url("/tiny"), "keep", 60000, true, 1, Result::kTextMessage,
         server.tiny().substr(0, 255)},
        {server.Url("/error"), "keep", 60000, true, 1, Result::kFailed,
         "Download failed: HTTP status 500"},
        {server.Url("/missing"), "keep", 60000, true, 0, Result::kFailed,
         "Download failed: HTTP status 404"},
        {server.Url("/slow"), "keep", 1000, true, 1, Result::kFailed, "Download failed: *"},
        // Refused before anything is sent.
        {server.Url("/jpeg"), "", 60000, true, 0, Result::kFailed, "Enter an image name"},
        {server.Url("/jpeg"), "../keep", 60000, true, 0, Result::kFailed, "Enter an image name"},
        {server.Url("/jpeg"), "keep", 60000, false, 0, Result::kFailed,
         "Error reading screen extents"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Concat({c.url, " ", c.name}));
        testing::TempDir dir;
        const std::string jpg = "\xFF\xD8 the mosaic that was there";
        const std::string clb = "Point00,xy,0,0,in,deg,1,0.0,N,1,0.0,E\r\n";
        dir.Write("keep.jpg", jpg);
        dir.Write("keep.clb", clb);
        Outcome outcome;
        MosaicRequest request = Request(c.url, dir.path(), c.name);
        request.totalTimeoutMs = c.timeoutMs;
        if (!c.onGlobe) request.area.north = 90.5;
        const int before = server.requests();
        const auto start = Clock::now();
        std::optional<MosaicDownloadResult> result;
        {
            MosaicDownload download(request, outcome.Progress(), outcome.Done());
            result = outcome.Wait(10s);
        }
        ASSERT_TRUE(result);
        EXPECT_LT(Clock::now() - start, 5s);
        EXPECT_EQ(result->kind, c.kind) << result->text;
        if (!c.text.empty() && c.text.back() == '*') {
            EXPECT_EQ(result->text.substr(0, c.text.size() - 1),
                      c.text.substr(0, c.text.size() - 1));
        } else {
            EXPECT_EQ(result->text, c.text);
        }
        EXPECT_EQ(server.requests() - before, c.requests);
        EXPECT_EQ(outcome.results(), 1);
        EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"keep.jpg", "keep.clb"}));
        EXPECT_EQ(Content(dir.File("keep.jpg")), jpg);
        EXPECT_EQ(Content(dir.File("keep.clb")), clb);
    }
}

TEST(MosaicDownload, CancelAndDestructionEndAStalledTransferAtOnce) {
    MapServer server;
    testing::TempDir dir;
    const std::string url = server.Url("/slow");

    // Cancel(): the result still arrives, as a failure, without waiting for the server.
    Outcome cancelled;
    MosaicDownload first(Request(url, dir.path(), "a"), cancelled.Progress(), cancelled.Done());
    const auto deadline = Clock::now() + 10s;
    while (server.requests() < 1 && Clock::now() < deadline) std::this_thread::yield();
    ASSERT_EQ(server.requests(), 1);
    auto start = Clock::now();
    first.Cancel();
    const auto result = cancelled.Wait(10s);
    ASSERT_TRUE(result);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(result->kind, MosaicDownloadResult::kFailed);
    EXPECT_EQ(result->text, "Download cancelled");

    // Destruction: no result any more, and the destructor does not wait for the server.
    Outcome dropped;
    std::optional<MosaicDownload> second;
    second.emplace(Request(url, dir.path(), "b"), dropped.Progress(), dropped.Done());
    while (server.requests() < 2 && Clock::now() < deadline) std::this_thread::yield();
    ASSERT_EQ(server.requests(), 2);
    start = Clock::now();
    second.reset();
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(dropped.results(), 0);
    EXPECT_TRUE(FilesIn(dir.path()).empty());
}

}  // namespace
}  // namespace aerova
