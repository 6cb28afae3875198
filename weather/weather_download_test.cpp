#include "weather/weather_download.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "weather/testing/picture_server.h"
#include "weather/testing/test_gifs.h"

namespace aerova {
namespace {

using aerova::testing::PictureServer;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

std::string RadarGif() {
    return aerova::testing::EncodeGif(
        aerova::testing::FullFrame(40, 30, {{255, 255, 255}, {153, 0, 197}},
                                   [](int x, int y) { return (x + y) % 7 == 0 ? 1 : 0; }));
}

std::string FileText(const std::string& path) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(path, content)) << path;
    return content;
}

TEST(WeatherDownload, PictureArrivesWholeInFileAndReply) {
    PictureServer server(RadarGif());
    aerova::testing::TempDir dir;
    // A longer picture of an earlier slot is replaced, not overwritten in part.
    dir.Write("wxradar.gif", std::string(5000, 'o'));
    const std::string file = dir.File("wxradar.gif");

    const WeatherDownload d =
        DownloadWeatherPicture(server.Url("/wx/2024/03/09/1145.gif?1&LANG=de"), file, nullptr);
    EXPECT_EQ(d.status, WeatherFetchStatus::kReceived) << d.error;
    EXPECT_EQ(d.error, "");
    EXPECT_EQ(d.reply, server.picture());
    EXPECT_EQ(FileText(file), server.picture());
    const PictureServer::Seen seen = server.last();
    EXPECT_EQ(seen.target, "/wx/2024/03/09/1145.gif?1&LANG=de");
    EXPECT_EQ(seen.accept, "text/html, */*");
    EXPECT_EQ(seen.userAgent, "Mozilla/3.0");

    // Up to three redirects lead to the picture.
    EXPECT_EQ(DownloadWeatherPicture(server.Url("/hop/3"), file, nullptr).reply, server.picture());
    EXPECT_EQ(server.last().target, "/hop/0");
}

TEST(WeatherDownload, ServerFailuresAreFailedRequests) {
    struct Case {
        const char* target;
        int status;
        const char* error;  // a part of the error text
        int requests;
    };
    const Case cases[] = {
        {"/wx/1145.gif", 404, "HTTP status 404", 1},
        {"/wx/1145.gif", 503, "HTTP status 503", 1},
        {"/hop/4", 200, "(3) redirects", 4},  // more redirects than a picture server needs
        {"/ftp", 200, "\"ftp\"", 1},          // a redirect away from http is not followed
        {"/huge", 200, "The reply is too large for a radar picture", 1},
    };
    PictureServer server(RadarGif());
    aerova::testing::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        server.SetStatus(c.status);
        const int before = server.requests();
        const std::string file = dir.File("nr1radar.gif");
        const WeatherDownload d = DownloadWeatherPicture(server.Url(c.target), file, nullptr);
        EXPECT_EQ(d.status, WeatherFetchStatus::kRequestFailed);
        EXPECT_THAT(d.error, HasSubstr(c.error));
        EXPECT_EQ(server.requests() - before, c.requests);
        // The file keeps what arrived, and never more than a picture may have.
        EXPECT_EQ(FileText(file), d.reply);
        EXPECT_LE(d.reply.size(), kMaxWeatherGifBytes);
    }
}

TEST(WeatherDownload, UncreatableFileAsksNothing) {
    PictureServer server(RadarGif());
    aerova::testing::TempDir dir;
    const WeatherDownload d = DownloadWeatherPicture(
        server.Url("/wx/a.gif"), dir.File("no-such-folder/wxradar.gif"), nullptr);
    EXPECT_EQ(d.status, WeatherFetchStatus::kFileError);
    EXPECT_EQ(server.requests(), 0);
}

TEST(WeatherDownload, SilentServerEndsAtTheTimeOut) {
    PictureServer server(RadarGif());
    aerova::testing::TempDir dir;
    const std::string file = dir.File("beradar.gif");
    auto download = std::async(std::launch::async, [&] {
        return DownloadWeatherPicture(server.Url("/silent"), file, nullptr, 2000, 300);
    });
    ASSERT_EQ(download.wait_for(10s), std::future_status::ready);
    const WeatherDownload d = download.get();
    EXPECT_EQ(d.status, WeatherFetchStatus::kRequestFailed);
    EXPECT_EQ(server.requests(), 1);
}

TEST(WeatherDownload, CancelEndsAWaitingTransfer) {
    PictureServer server(RadarGif());
    aerova::testing::TempDir dir;
    const std::string file = dir.File("beradar.gif");
    std::atomic<bool> cancel{false};
    auto download = std::async(std::launch::async, [&] {
        return DownloadWeatherPicture(server.Url("/silent"), file, &cancel, 20000, 20000);
    });
    ASSERT_TRUE(server.WaitForRequests(1, 10s));
    cancel = true;
    ASSERT_EQ(download.wait_for(10s), std::future_status::ready);
    const WeatherDownload d = download.get();
    EXPECT_EQ(d.status, WeatherFetchStatus::kRequestFailed);
    EXPECT_EQ(d.error, "Cancelled");
}

}  // namespace
}  // namespace aerova
