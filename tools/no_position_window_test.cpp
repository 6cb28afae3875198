// The no-position list window on a display: a target fed without position is listed and
// drawn in its colour, the sort buttons reorder the list, and the keys and the close box
// reach the window's owner.

#include "tools/no_position_window.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolButton>
#include <cstdlib>
#include <memory>

#include "base/strings.h"
#include "platform/test_widgets_app.h"
#include "platform/testing/event_wait.h"

namespace aerova {
namespace {

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 90 && std::abs(a.green() - b.green()) < 90 &&
           std::abs(a.blue() - b.blue()) < 90;
}

// A station table with its two radar windows' display state, and the window rebuilt from
// them whenever a control changes the list.
class NoPositionWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_WIDGETS_DISPLAY();
        NoPositionWindowHooks hooks;
        hooks.listChanged = [this] { Rebuild(); };
        hooks.key = [this](QKeyEvent* e) { keys.push_back(e->key()); };
        hooks.hiddenByKey = [this] { ++hiddenByKey; };
        hooks.closed = [this] { ++closed; };
        window = std::make_unique<NoPositionWindow>(state, std::move(hooks));
        colours[kColNoPosBackground] = RgbFromBytes(0, 0, 0);
    }
    void TearDown() override { window.reset(); }

    int Add(const char* label, const char* altlabel) {
        const int slot = table->AllocateSlot();
        Tflight& f = table->flights[static_cast<std::size_t>(slot)];
        f.deleted = f.free = false;
        f.state = 1;
        f.nopos = true;
        f.modes = "3C4A6B";
        f.labeltext = label;
        f.altlabel = altlabel;
        return slot;
    }
    void Rebuild() {
        window->ShowList(BuildNoPositionList(*table, state, colours, {&radar1, &radar2}));
    }
    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (const auto& row : window->shown().rows) labels.push_back(Trim(row.line.substr(8, 12)));
        return labels;
    }
    // Pixels near `colour` in list row `index` (the text is smoothed).
    int RowPixels(int index, const QColor& colour) {
        auto* view = static_cast<QAbstractScrollArea*>(window->lbnopos());
        const QImage image = view->viewport()->grab().toImage();
        int n = 0;
        for (int y = index * 11; y < (index + 1) * 11 && y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (Near(image.pixelColor(x, y), colour)) ++n;
        return n;
    }
    void Key(Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(window->lbnopos(), &press);
    }

    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    NoPositionListState state;
    ColourTable colours;
    RadarDisplayState radar1, radar2;
    std::unique_ptr<NoPositionWindow> window;
    std::vector<int> keys;
    int hiddenByKey = 0, closed = 0;
};

TEST_F(NoPositionWindowTest, ListsATargetWithoutPositionAndSortsOnAButton) {
    const QColor climbing(255, 0, 0);
    colours[kColClimbing] = RgbFromBytes(255, 0, 0);
    window->SetListColours(colours[kColNoPosBackground], colours[kColNoPosFont]);
    Add("BAW9", "F100");
    const int dlh = Add("DLH4AB", "F350");
    table->flights[static_cast<std::size_t>(dlh)].vratecode = "+12";
    Rebuild();
    window->show();
    ASSERT_TRUE(testing::WaitForEvents(
        [&] { return window->isVisible() && window->lbnopos()->isVisible(); }));
    EXPECT_EQ(window->size(), QSize(299, 474));
    EXPECT_EQ(window->windowTitle(), "2 flights");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"BAW9", "DLH4AB"}));
    // The climbing flight's row is drawn in the climbing colour, the other one not.
    EXPECT_GT(RowPixels(1, climbing), 20);
    EXPECT_EQ(RowPixels(0, climbing), 0);

    window->button("spbsortalt")->click();
    EXPECT_TRUE(state.spbsortalt);
    EXPECT_FALSE(state.spbsortid);
    EXPECT_FALSE(window->button("spbsortid")->isChecked());
    EXPECT_EQ(Labels(), (std::vector<std::string>{"DLH4AB", "BAW9"}));
    EXPECT_GT(RowPixels(0, climbing), 20);

    // Releasing the button that is down leaves the group all up: newest slot first.
    window->button("spbsortalt")->click();
    EXPECT_EQ(SortOf(state), NoPositionSort::kNone);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"DLH4AB", "BAW9"}));

    // "Pos" up: only targets without position, counted in the caption.
    table->flights[static_cast<std::size_t>(dlh)].nopos = false;
    window->button("spbnopos")->click();
    EXPECT_EQ(Labels(), (std::vector<std::string>{"BAW9"}));
    EXPECT_EQ(window->windowTitle(), "1 no position flights");
}

TEST_F(NoPositionWindowTest, FilterButtonNamesTheOtherWindowWhenReleased) {
    QToolButton* filter = window->button("sbfilter");
    EXPECT_EQ(filter->text(), "Fi1");
    filter->click();
    EXPECT_TRUE(state.sbfilter);
    EXPECT_EQ(filter->text(), "Fi1");
    filter->click();
    EXPECT_FALSE(state.sbfilter);
    EXPECT_EQ(filter->text(), "Fi2");
    EXPECT_EQ(state.sbfilterCaption, "Fi2");
}

TEST_F(NoPositionWindowTest, KeysGoToTheRadarWindowsButNHidesTheList) {
    for (int i = 0; i < 60; ++i) Add("X", "F100");
    Rebuild();
    window->show();
    ASSERT_TRUE(testing::WaitForEvents([&] { return window->isVisible(); }));
    auto* view = static_cast<QAbstractScrollArea*>(window->lbnopos());
    view->verticalScrollBar()->setValue(10);
    Rebuild();
    EXPECT_EQ(window->topIndex(), 10) << "a rebuild keeps the scroll position";

    Key(Qt::Key_Down, "");
    Key(Qt::Key_Q, "q");
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Down, Qt::Key_Q}));
    EXPECT_EQ(window->topIndex(), 10) << "the arrows do not move the list";

    Key(Qt::Key_Space, " ");
    EXPECT_FALSE(state.panelVisible);
    EXPECT_FALSE(window->panel()->isVisible());
    EXPECT_EQ(keys.back(), Qt::Key_Space);
    Key(Qt::Key_Space, " ");
    EXPECT_TRUE(window->panel()->isVisible());

    Key(Qt::Key_N, "n");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(hiddenByKey, 1);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(keys.back(), Qt::Key_Space) << "N is not passed on";

    window->show();
    window->close();
    EXPECT_EQ(closed, 1);
}

TEST_F(NoPositionWindowTest, CaptionBarAndTopMostFollowTheirButtons) {
    window->show();
    ASSERT_TRUE(testing::WaitForEvents([&] { return window->isVisible(); }));
    window->button("spbtop")->click();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    window->button("spbcap")->click();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->isVisible());
    window->button("spbcap")->click();
    window->button("spbtop")->click();
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(state.spbtop || state.spbcap);
    window->resize(600, 300);
    EXPECT_LE(window->width(), 408);
}

}  // namespace
}  // namespace aerova
