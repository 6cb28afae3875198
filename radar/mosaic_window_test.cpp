// The mosaic image manager on a real display: the list kept in "mosaic.ini", a download from a
// map server on this machine, the checks before a download, and a calibration by hand.

#include "radar/mosaic_window.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <mutex>
#include <thread>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "radar/gui_test_support.h"
#include "radar/radar_picture.h"

namespace aerova {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Runs the event loop until `done` or the deadline; a timer wakes the loop while it waits.
template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 20s) {
    QTimer wake;
    wake.start(10);
    const auto deadline = Clock::now() + limit;
    while (!done() && Clock::now() < deadline)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// A noisy picture: its JPEG is well above the size of a server message.
std::string NoisyJpeg(int width, int height) {
    RadarPicture picture{width, height, {}};
    std::uint32_t seed = 4711;
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1664525u + 1013904223u;
        picture.pixels.push_back(seed >> 8);
    }
    return EncodeJpeg(picture, 90).value();
}

// The map server: "/wms" answers with a picture, "/html" with an error page.
class MapServer {
  public:
    MapServer() : picture_(NoisyJpeg(96, 64)) {
        server_.Get("/wms", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.set_content(picture_, "image/jpeg");
        });
        server_.Get("/html", [this](const httplib::Request& req, httplib::Response& res) {
            Count(req);
            res.set_content(ErrorPage(), "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        const auto deadline = Clock::now() + 10s;
        while (!server_.is_running() && Clock::now() < deadline) std::this_thread::yield();
    }
    ~MapServer() {
        server_.stop();
        thread_.join();
    }
    static std::string ErrorPage() {
        std::string page = "<html><body>\r\nServiceException: layer not available\n<p>";
        page.resize(3000, '.');
        return page;
    }
    std::string Url(std::string_view path) const {
        return Concat({"http://127.0.0.1:", std::to_string(port_), path, "?"});
    }
    const std::string& picture() const { return picture_; }
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
    const std::string picture_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    int requests_ = 0;
    httplib::Params lastQuery_;
};

std::string ReadFile(const std::string& path) {
    std::string content;
    ReadWholeFile(path, content);
    return content;
}

// "mosaic.ini" as it must read for `entries`.
std::string ListText(const std::vector<MosaicEntry>& entries) {
    IniFile ini;
    for (std::size_t i = 0; i < entries.size(); ++i)
        ini.WriteString("Mosaic", std::to_string(i), entries[i].name);
    for (std::size_t i = 0; i < entries.size(); ++i)
        ini.WriteString("Active", std::to_string(i), entries[i].active ? "1" : "0");
    return ini.ToText();
}

template <class W>
W* Child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void Click(QWidget& window, const char* button) {
    Child<QPushButton>(window, button)->click();
}

// Questions and messages as the window asked them.
struct Dialogs {
    std::vector<std::string> questions, messages;
    bool answer = true;
    void Attach(MosaicManagerWindow& w) {
        w.ask = [this](const std::string& q, const std::string&) {
            questions.push_back(q);
            return answer;
        };
        w.message = [this](const std::string& text, const std::string&) {
            messages.push_back(text);
        };
    }
};

TEST(Gui, MosaicListMergesFolderWithIniAndUpDownRewriteIt) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    for (const char* name : {"a.clb", "b.clb", "c.clb"}) dir.Write(name, "x");
    dir.Write("mosaic.ini",
              "[Mosaic]\r\n0=c\r\n1=gone\r\n2=a\r\n[Active]\r\n0=1\r\n1=1\r\n2=1\r\n");
    MosaicDisplayState state;
    MosaicManagerWindow w(dir.path(), state);
    const std::string ini = dir.File("mosaic.ini");

    // The named ones in their order and marks, "gone" dropped, "b" appended unchecked.
    std::vector<MosaicEntry> want = {{"c", true}, {"a", true}, {"b", false}};
    EXPECT_EQ(w.entries(), want);
    EXPECT_EQ(w.status(), "Mosaic changed");
    EXPECT_EQ(ReadFile(ini), ListText(want));
    QListWidget* list = Child<QListWidget>(w, "clbmosaic");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "c");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);

    w.SetStatus("");
    list->setCurrentRow(2);
    Click(w, "buup");
    want = {{"c", true}, {"b", false}, {"a", true}};
    EXPECT_EQ(w.entries(), want);
    EXPECT_EQ(ReadFile(ini), ListText(want));
    EXPECT_EQ(w.status(), "Mosaic changed");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);  // the mark moved with the name

    list->setCurrentRow(0);
    Click(w, "budown");
    want = {{"b", false}, {"c", true}, {"a", true}};
    EXPECT_EQ(ReadFile(ini), ListText(want));

    list->item(1)->setCheckState(Qt::Unchecked);
    want[1].active = false;
    EXPECT_EQ(w.entries(), want);
    EXPECT_EQ(ReadFile(ini), ListText(want));

    // The list, reread from the folder, keeps what was saved.
    MosaicManagerWindow again(dir.path(), state);
    EXPECT_EQ(again.entries(), want);
}

TEST(Gui, MosaicDownloadStoresPictureWithCalibrationAndKeepsTextMessages) {
    REQUIRE_DISPLAY();
    MapServer server;
    testing::TempDir dir;
    const std::string folder = dir.File("aerova-mosaic");  // created by the download
    MosaicDisplayState state;
    MosaicManagerWindow w(folder, state);
    Dialogs dialogs;
    dialogs.Attach(w);
    const RadarView view = MakeRadarView(1);
    w.viewOf = [&](int tag) -> std::optional<std::pair<RadarView, QSize>> {
        if (tag != 1) return std::nullopt;
        return std::pair{view, QSize(96, 64)};
    };
    w.serverUrl = server.Url("/wms");
    Child<QComboBox>(w, "cbquality")->setCurrentIndex(0);  // Flat (1): four points
    EXPECT_EQ(state.cbquality, 0);
    Child<QRadioButton>(w, "rbradar1")->setChecked(true);
    Child<QLineEdit>(w, "Edit1")->setText("tile");

    ASSERT_TRUE(w.StartDownload());
    ASSERT_TRUE(WaitFor([&] { return !w.downloading(); }));
    EXPECT_EQ(
        w.status().toStdString(),
        Concat({"Download complete: ", std::to_string(server.picture().size() / 1024), " kB"}));
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Ready for download. Continue?"});
    EXPECT_EQ(ReadFile(JoinPath(folder, "tile.jpg")), server.picture());
    const MosaicArea area = AreaOfView(view, 96, 64);
    const auto points = ParseCalibration(ReadFile(JoinPath(folder, "tile.clb")));
    ASSERT_TRUE(points.has_value());
    EXPECT_EQ(points->size(), 4u);
    // The file keeps nine decimals of a degree.
    const std::vector<CalibrationPoint> grid =
        AutoCalibration(area.north, area.south, area.west, area.east, 96, 64, 1);
    for (std::size_t i = 0; i < points->size(); ++i) {
        EXPECT_EQ((*points)[i].x, grid[i].x);
        EXPECT_EQ((*points)[i].y, grid[i].y);
        EXPECT_NEAR((*points)[i].lat, grid[i].lat, 1e-8);
        EXPECT_NEAR((*points)[i].lon, grid[i].lon, 1e-8);
    }
    EXPECT_EQ((*points)[3].x, 96);
    EXPECT_EQ((*points)[3].y, 64);
    const httplib::Params query = server.lastQuery();
    EXPECT_EQ(query.find("width")->second, "96");
    EXPECT_EQ(query.find("height")->second, "64");
    EXPECT_EQ(query.find("layers")->second, "global_mosaic");
    EXPECT_EQ(query.find("styles")->second, "pseudo");
    // The new mosaic is in the list, not shown yet.
    EXPECT_EQ(w.entries(), (std::vector<MosaicEntry>{{"tile", false}}));

    // The server's error page: shown, nothing stored.
    w.serverUrl = server.Url("/html");
    Child<QLineEdit>(w, "Edit1")->setText("page");
    ASSERT_TRUE(w.StartDownload());
    ASSERT_TRUE(WaitFor([&] { return !w.downloading(); }));
    EXPECT_EQ(w.status(), "Text message received");
    const QString shown = Child<QPlainTextEdit>(w, "memessage")->toPlainText();
    EXPECT_TRUE(shown.startsWith("<html><body>\nServiceException: layer not available\n<p>"))
        << shown.toStdString();
    EXPECT_EQ(shown.size(), 255 - 1);  // the first 255 bytes without the carriage return
    EXPECT_FALSE(FileExists(JoinPath(folder, "page.jpg")));
    EXPECT_FALSE(FileExists(JoinPath(folder, "page.clb")));

    // An existing picture is overwritten only when the user says so.
    const int requests = server.requests();
    dialogs.questions.clear();
    dialogs.answer = false;
    Child<QLineEdit>(w, "Edit1")->setText("tile");
    EXPECT_FALSE(w.StartDownload());
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"File exists. Overwrite?"});
    EXPECT_FALSE(w.downloading());
    EXPECT_EQ(server.requests(), requests);
}

TEST(Gui, MosaicDownloadChecksWindowAndNameBeforeAsking) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    MosaicDisplayState state;
    MosaicManagerWindow w(dir.path(), state);
    Dialogs dialogs;
    dialogs.Attach(w);
    bool visible = false;
    w.viewOf = [&](int) -> std::optional<std::pair<RadarView, QSize>> {
        if (!visible) return std::nullopt;
        return std::pair{MakeRadarView(1), QSize(640, 480)};
    };
    w.serverUrl = "http://127.0.0.1:9/?";  // never reached

    EXPECT_FALSE(w.StartDownload());
    EXPECT_EQ(w.status(), "Select a radar window");

    QRadioButton* radar1 = Child<QRadioButton>(w, "rbradar1");
    radar1->setChecked(true);
    Child<QLineEdit>(w, "Edit1")->setText("tile");
    EXPECT_FALSE(w.StartDownload());
    EXPECT_EQ(w.status(), "Radar #1 not available");
    EXPECT_EQ(radar1->text(), "Radar #1 not available");

    visible = true;
    Child<QLineEdit>(w, "Edit1")->setText("  ");
    EXPECT_FALSE(w.StartDownload());
    EXPECT_EQ(w.status(), "Enter an image name");
    EXPECT_EQ(radar1->text(), "Radar #1");
    EXPECT_TRUE(Child<QLabel>(w, "lbwidth")->text() == "Width: 640");
    Child<QLineEdit>(w, "Edit1")->setText("../tile");
    EXPECT_FALSE(w.StartDownload());
    EXPECT_EQ(w.status(), "Enter an image name");
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_FALSE(w.downloading());
}

TEST(Gui, MosaicManualCalibrationSavesFourCornersThatReadBack) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    dir.Write("scan.jpg", NoisyJpeg(200, 100));
    dir.Write("notes.txt", "not a picture");
    MosaicDisplayState state;
    MosaicManagerWindow w(dir.path(), state);
    Dialogs dialogs;
    dialogs.Attach(w);

    QListWidget* files = Child<QListWidget>(w, "FileListBox1");
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->item(0)->text(), "scan.jpg");
    ASSERT_TRUE(w.SelectPicture("scan.jpg"));
    EXPECT_EQ(w.calibrationWindow().pictureSize(), QSize(200, 100));
    QLabel* shown = Child<QLabel>(w.calibrationWindow(), "Image1");
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 34), QPointF(12, 34), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(shown, &move);
    EXPECT_EQ(w.calibrationWindow().windowTitle(), "x:12 y:34 [Max: x:200 y:100]");

    const auto type = [&](const char* latDeg, const char* latMin, const char* ns,
                          const char* lonDeg, const char* lonMin, const char* ew) {
        Child<QLineEdit>(w, "melatdeg")->setText(latDeg);
        Child<QLineEdit>(w, "melatmin")->setText(latMin);
        Child<QComboBox>(w, "cblat")->setCurrentText(ns);
        Child<QLineEdit>(w, "melongdeg")->setText(lonDeg);
        Child<QLineEdit>(w, "melongmin")->setText(lonMin);
        Child<QComboBox>(w, "cblong")->setCurrentText(ew);
    };
    QListWidget* vertices = Child<QListWidget>(w, "lbvertex");
    ASSERT_EQ(vertices->count(), 4);
    EXPECT_EQ(vertices->item(0)->text(), "?");

    type("95", "0", "N", "10", "0", "E");
    Click(w, "buupleft");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back(), "Data incomplete or error. Lat: 95 Long: 10 X: 0 Y: 0");
    EXPECT_EQ(vertices->item(0)->text(), "?");

    type("54", "30", "N", "0", "30", "W");
    Click(w, "buupleft");
    EXPECT_EQ(vertices->item(0)->text().toStdString(), " 54.500000,  -0.500000,0,0");
    Click(w, "busave");
    EXPECT_EQ(dialogs.messages.back(), "All 4 points required.");
    EXPECT_FALSE(FileExists(dir.File("scan.clb")));

    type("54", "30", "N", "1", "15", "E");
    Click(w, "buupright");
    type("53", "0", "N", "0", "30", "W");
    Click(w, "budnleft");
    type("53", "0", "N", "1", "15", "E");
    Click(w, "budnright");
    EXPECT_EQ(vertices->item(3)->text().toStdString(), " 53.000000,   1.250000,200,100");
    Click(w, "busave");
    EXPECT_EQ(dialogs.messages.back(), "File save completed.");
    EXPECT_TRUE(dialogs.questions.empty());
    const auto points = ParseCalibration(ReadFile(dir.File("scan.clb")));
    ASSERT_TRUE(points.has_value());
    const std::vector<CalibrationPoint> want = {
        {0, 0, 54.5, -0.5}, {200, 0, 54.5, 1.25}, {0, 100, 53, -0.5}, {200, 100, 53, 1.25}};
    EXPECT_EQ(*points, want);
    EXPECT_TRUE(BuildMosaicMesh(*points).has_value());
    EXPECT_EQ(w.entries(), (std::vector<MosaicEntry>{{"scan", false}}));
    EXPECT_EQ(w.status(), "Mosaic changed");

    // Saving again asks first; clearing asks and empties the list.
    dialogs.answer = false;
    Click(w, "busave");
    EXPECT_EQ(dialogs.questions.back(), "File exists: scan.clb - Overwrite?");
    dialogs.answer = true;
    Click(w, "buclear");
    EXPECT_EQ(dialogs.questions.back(), "Clear all vertices?");
    EXPECT_EQ(w.vertexTexts(), QStringList({"?", "?", "?", "?"}));
}

}  // namespace
}  // namespace aerova
