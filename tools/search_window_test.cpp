// The search window on a real display: its keys, its buttons and its result list, with two
// radar windows that record where they were moved.

#include "tools/search_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/test_widgets_app.h"
#include "platform/testing/event_wait.h"

namespace aerova {
namespace {

class FakeDisplays : public SearchDisplays {
  public:
    std::array<SearchView, 2> views{SearchView{53.6f, 10.0f, 7000}, SearchView{50, 8, 15000}};
    std::array<int, 2> zoom{0, 0};

    bool Visible(int) const override { return true; }
    SearchView View(int tag) const override { return views[Index(tag)]; }
    void MoveTo(int tag, const SearchView& view) override { views[Index(tag)] = view; }
    void UntickCentreGps(int) override {}
    void Zoom(int tag, int delta) override { zoom[Index(tag)] += delta; }

  private:
    static std::size_t Index(int tag) { return static_cast<std::size_t>(tag - 1); }
};

WaypointName Waypoint(const char* name, float lat, float lon) {
    WaypointName w{};
    std::memcpy(w.name, name, std::min<std::size_t>(std::strlen(name), 5));
    w.lat = lat;
    w.lon = lon;
    return w;
}

class SearchWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display: run under xvfb-run";
        testing::WidgetsApp();
        table = std::make_unique<FlightTable>();
        window = std::make_unique<SearchWindow>(
            *table, [this]() -> const std::vector<WaypointName>& { return waypoints; }, displays);
        window->onClosed = [this] { ++closed; };
    }

    // Shown and active, with the keyboard focus in the text field.
    void Show() {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(testing::WaitForEvents(
            [this] { return QApplication::focusWidget() == &window->edit(); }));
    }
    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             const QString& text = {}) {
        QKeyEvent event(type, key, mods, text);
        QWidget* focus = QApplication::focusWidget();
        QApplication::sendEvent(focus ? focus : window.get(), &event);
    }
    void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
        Key(QEvent::KeyPress, key, mods, text);
        Key(QEvent::KeyRelease, key, mods, text);
    }
    void Type(const char* text) {
        for (const char* c = text; *c; ++c)
            Press(Qt::Key_A + (*c - 'A'), Qt::NoModifier, QString(*c));
    }
    int AddFlight(const char* label, float lat, float lon) {
        const int slot = table->AllocateSlot();
        Tflight& f = table->flights[static_cast<std::size_t>(slot)];
        f.deleted = f.free = false;
        f.state = 1;
        f.nopos = false;
        f.labeltext = label;
        f.latf = lat;
        f.lonf = lon;
        return slot;
    }
    bool Enabled(const char* button) { return window->control(button)->isEnabled(); }

    std::unique_ptr<FlightTable> table;
    std::vector<WaypointName> waypoints;
    FakeDisplays displays;
    std::unique_ptr<SearchWindow> window;
    int closed = 0;
};

TEST_F(SearchWindowTest, EnterFindsAFlightAndTheArrowsStepThroughTheViews) {
    AddFlight("DLH123", 51.5f, 7.25f);
    AddFlight("BAW9", 40, -3);
    Show();
    EXPECT_EQ(window->windowTitle(), "Search");
    EXPECT_FALSE(Enabled("Button3"));
    EXPECT_FALSE(Enabled("Button6"));
    EXPECT_TRUE(window->control("search2")->isChecked());

    Type("DLH");
    Press(Qt::Key_Return);
    EXPECT_EQ(window->windowTitle(), "DLH");
    EXPECT_EQ(window->edit().text(), "");
    ASSERT_EQ(window->list().count(), 1);
    EXPECT_TRUE(window->list().item(0)->text().endsWith("           @0"));
    EXPECT_EQ(displays.views[1].lat, 51.5f);
    EXPECT_EQ(displays.views[1].lon, 7.25f);
    EXPECT_TRUE(Enabled("Button3"));
    EXPECT_FALSE(Enabled("Button6"));

    Press(Qt::Key_Down);  // "<<<": back to the view the window opened on
    EXPECT_EQ(displays.views[1].lat, 50.0f);
    EXPECT_EQ(window->list().count(), 0);
    EXPECT_FALSE(Enabled("Button3"));
    EXPECT_TRUE(Enabled("Button6"));
    Press(Qt::Key_Up);  // ">>>"
    EXPECT_EQ(displays.views[1].lat, 51.5f);
    EXPECT_EQ(window->windowTitle(), "DLH [1]  51.500    7.250");
    EXPECT_FALSE(Enabled("Button6"));

    // The wheel over the window zooms the chosen radar window.
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&window->list(), &wheel);
    EXPECT_EQ(displays.zoom, (std::array<int, 2>{0, 120}));

    // End: the entry view back, and the window closes.
    Press(Qt::Key_End);
    EXPECT_EQ(displays.views[1].lat, 50.0f);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closed, 1);
}

TEST_F(SearchWindowTest, ALoneShiftSearchesWaypointsButACapitalLetterDoesNot) {
    waypoints = {Waypoint("HAM", 53.63f, 9.99f), Waypoint("BRE", 53.05f, 8.79f)};
    Show();
    window->control("search1")->click();
    EXPECT_TRUE(window->state().search1);
    EXPECT_FALSE(window->state().search2);

    // Shift held for a capital: no search.
    Key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    Key(QEvent::KeyPress, Qt::Key_B, Qt::ShiftModifier, "B");
    Key(QEvent::KeyRelease, Qt::Key_B, Qt::ShiftModifier, "B");
    Key(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(window->edit().text(), "B");
    EXPECT_EQ(window->windowTitle(), "Search");

    Type("RE");
    Press(Qt::Key_Shift);
    EXPECT_EQ(window->windowTitle(), "BRE");
    EXPECT_EQ(window->list().count(), 1);
    EXPECT_EQ(displays.views[0].lat, 53.05f);
    EXPECT_EQ(displays.views[1].lat, 50.0f);

    // "Apply files" rebuilt the waypoints without it: the result names nothing now.
    waypoints.resize(1);
    Q_EMIT window->list().itemDoubleClicked(window->list().item(0));
    EXPECT_EQ(window->windowTitle(), "BRE");
    waypoints = {Waypoint("HAM", 53.63f, 9.99f), Waypoint("CUX", 53.87f, 8.7f)};
    Q_EMIT window->list().itemDoubleClicked(window->list().item(0));
    EXPECT_EQ(window->windowTitle(), "CUX");
    EXPECT_EQ(displays.views[0].lat, 53.87f);

    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace aerova
