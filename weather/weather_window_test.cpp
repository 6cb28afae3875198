// The weather window on a real display: its boxes reach the hooks, Refresh shows the cycle,
// a colour field takes a picked colour, and "Close" lets go of the main window's button.

#include "weather/weather_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/strings.h"
#include "platform/test_widgets_app.h"
#include "weather/testing/test_gifs.h"

namespace aerova {
namespace {

template <class T>
T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// The window over a cycle, with every hook call written down as a line.
struct Scene {
    WeatherCycle cycle{{"http://wx.example/c/", "http://nl.example/r?k=1", "", ""}};
    WxformOptions options;
    std::vector<std::string> calls;
    std::vector<int> offered;   // the colours the picker was started from
    std::optional<int> picked;  // what the picker answers
    int background = WeatherColour(0, 0, 64);
    WeatherWindow window{cycle, options, Hooks()};

    WeatherWindowHooks Hooks() {
        WeatherWindowHooks h;
        h.downloadBox = [this](int source, bool checked) {
            calls.push_back(
                Concat({"download ", std::to_string(source), " ", checked ? "on" : "off"}));
        };
        h.displayBox = [this](int source, int window, bool checked) {
            calls.push_back(Concat({"display ", std::to_string(source), " ", std::to_string(window),
                                    " ", checked ? "on" : "off"}));
        };
        h.optionsChanged = [this] { calls.push_back("options"); };
        h.key = [this](QKeyEvent* event) {
            calls.push_back(Concat({"key ", std::to_string(event->key())}));
        };
        h.closed = [this] { calls.push_back("closed"); };
        h.pickColour = [this](int colour) {
            offered.push_back(colour);
            return picked;
        };
        h.backgroundColour = [this] { return background; };
        return h;
    }
};

TEST(Gui, WeatherWindowBoxesReachTheHooks) {
    REQUIRE_WIDGETS_DISPLAY();
    Scene scene;
    struct Case {
        const char* box;
        const char* call;
    };
    const Case cases[] = {
        {"cbwx", "download 0 on"},        {"cbnr11", "download 2 on"},
        {"cbbe", "download 3 on"},        {"cbwxdisp1", "display 0 0 on"},
        {"cbdispnr12", "display 1 1 on"}, {"cb11disp2", "display 2 1 on"},
        {"cbbedisp1", "display 3 0 on"},  {"CheckBox3", "options"},
        {"cbblitz", "options"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        scene.calls.clear();
        QCheckBox* box = Find<QCheckBox>(scene.window, c.box);
        ASSERT_NE(box, nullptr);
        box->click();
        EXPECT_EQ(scene.calls, std::vector<std::string>{c.call});
    }
    EXPECT_EQ(scene.options.intensityBoxes,
              (std::array<bool, kIntensityClassCount>{false, false, true, false, false, false}));
    EXPECT_TRUE(scene.options.cbblitz);

    scene.calls.clear();
    Find<QComboBox>(scene.window, "clbblitz")->setCurrentIndex(1);
    EXPECT_EQ(scene.options.clbblitz, 1);
    EXPECT_EQ(scene.calls, std::vector<std::string>{"options"});
}

TEST(Gui, WeatherWindowRefreshShowsTheCycleWithoutCallingBack) {
    REQUIRE_WIDGETS_DISPLAY();
    Scene scene;
    const WeatherClocks now{EncodeDateTime(2024, 3, 9, 12, 7, 0, 0),
                            EncodeDateTime(2024, 3, 9, 13, 7, 0, 0)};
    scene.cycle.SetDownloadBox(kWxRadar1, true, true);
    scene.cycle.SetDisplayBox(kWxRadar1, 1, true, true);
    ASSERT_TRUE(scene.cycle.TimerFired(now));
    const std::string gif = aerova::testing::EncodeGif(
        aerova::testing::FullFrame(445, 450, {{128, 128, 128}, {153, 0, 197}},
                                   [](int x, int y) { return x == 1 && y == 2 ? 1 : 0; }));
    scene.cycle.FetchEnded(WeatherFetchStatus::kReceived, gif, now);
    scene.options.intensityBoxes[4] = true;
    scene.options.clbblitz = 2;
    scene.window.Refresh();

    EXPECT_EQ(Find<QLabel>(scene.window, "stcurrent1")->text(), "Current download: 11:45:00 UTC");
    EXPECT_EQ(Find<QLabel>(scene.window, "stnext1")->text(), "Next download: 12:15:00 UTC");
    EXPECT_EQ(Find<QLineEdit>(scene.window, "edaddress1")->text(), "..3/09/1145.gif?1&LANG=de");
    EXPECT_EQ(Find<QLabel>(scene.window, "stcurrent2")->text(), "");
    EXPECT_TRUE(Find<QCheckBox>(scene.window, "cbwx")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(scene.window, "cbwxdisp1")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(scene.window, "cbwxdisp2")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(scene.window, "CheckBox5")->isChecked());
    EXPECT_EQ(Find<QComboBox>(scene.window, "clbblitz")->currentText(), "5 min");
    EXPECT_EQ(scene.calls, std::vector<std::string>{});

    const QImage picture = Find<QLabel>(scene.window, "Image1")->pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(445, 450));
    EXPECT_EQ(picture.pixelColor(1, 2), QColor(153, 0, 197));
    EXPECT_EQ(picture.pixelColor(2, 1), QColor(128, 128, 128));
    EXPECT_TRUE(Find<QLabel>(scene.window, "Image2")->pixmap().isNull());
}

TEST(Gui, WeatherWindowDoubleClickOnAColourFieldTakesThePickedColour) {
    REQUIRE_WIDGETS_DISPLAY();
    struct Case {
        const char* field;
        int entry;
        std::optional<int> picked;
    };
    const Case cases[] = {
        {"blitz7", 7, WeatherColour(10, 200, 30)},
        {"blitz0", 0, WeatherColour(255, 255, 0)},
        {"blitz11", 11, std::nullopt},  // cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Scene scene;
        scene.picked = c.picked;
        QWidget* field = Find<QWidget>(scene.window, c.field);
        ASSERT_NE(field, nullptr);
        const QPointF at(4, 4);
        QMouseEvent click(QEvent::MouseButtonDblClick, at, field->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &click);

        const int before = kDefaultWeatherColours[static_cast<std::size_t>(c.entry)];
        EXPECT_EQ(scene.offered, std::vector<int>{before});
        const int now = c.picked.value_or(before);
        EXPECT_EQ(scene.options.colours[static_cast<std::size_t>(c.entry)], now);
        EXPECT_EQ(field->palette().color(QPalette::Window),
                  QColor(now & 0xFF, (now >> 8) & 0xFF, now >> 16));
        EXPECT_EQ(scene.calls,
                  c.picked ? std::vector<std::string>{"options"} : std::vector<std::string>{});
    }
}

TEST(Gui, WeatherWindowShownOnTheRadarBackgroundClosedByItsButton) {
    REQUIRE_WIDGETS_DISPLAY();
    Scene scene;
    scene.window.show();
    EXPECT_EQ(Find<QFrame>(scene.window, "pnintensity")->palette().color(QPalette::Window),
              QColor(0, 0, 64));
    EXPECT_EQ(Find<QFrame>(scene.window, "pnlightning")->palette().color(QPalette::Window),
              QColor(0, 0, 64));

    QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
    QApplication::sendEvent(&scene.window, &key);
    EXPECT_EQ(scene.calls, std::vector<std::string>{Concat({"key ", std::to_string(Qt::Key_Q)})});

    scene.calls.clear();
    Find<QPushButton>(scene.window, "buclose")->click();
    EXPECT_FALSE(scene.window.isVisible());
    EXPECT_EQ(scene.calls, std::vector<std::string>{"closed"});
}

}  // namespace
}  // namespace aerova
