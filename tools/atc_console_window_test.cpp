// The ATC console on a display: the airport field and its button caption, the panel switch,
// and the list heights from the state.

#include "tools/atc_console_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/test_widgets_app.h"

namespace aerova {
namespace {

void Type(QWidget* to, const char* text) {
    for (const char* c = text; *c; ++c) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_A + (*c - 'a'), Qt::NoModifier, QString(QChar(*c)));
            QApplication::sendEvent(to, &event);
        }
    }
}

// Shown and laid out, with a deadline.
bool Exposed(QWidget& w) {
    QElapsedTimer t;
    t.start();
    while (!w.isVisible() || w.height() == 0) {
        if (t.elapsed() > 5000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QApplication::processEvents();
    return true;
}

TEST(AtcConsoleWindow, TypedAirportGoesUpperCasedIntoTheCentreButtonOnly) {
    REQUIRE_WIDGETS_DISPLAY();
    AtcConsoleState state;
    int changes = 0;
    AtcConsoleHooks hooks;
    hooks.changed = [&] { ++changes; };
    AtcConsoleWindow w(state, hooks);
    auto* field = qobject_cast<QLineEdit*>(w.control("edroute"));
    field->clear();
    Type(field, "fram");  // the field takes three characters
    EXPECT_EQ(field->text(), "fra");
    EXPECT_EQ(state.edroute, "fra");
    EXPECT_EQ(qobject_cast<QPushButton*>(w.control("Button4"))->text(), "FRA");
    EXPECT_EQ(changes, 3);
}

TEST(AtcConsoleWindow, HidingAndShowingThePanelGivesTheHeightBack) {
    REQUIRE_WIDGETS_DISPLAY();
    AtcConsoleState state;
    AtcConsoleWindow w(state, {});
    w.show();
    ASSERT_TRUE(Exposed(w));
    const int height = w.height();
    auto* toggle = qobject_cast<QPushButton*>(w.control("Button1"));
    toggle->click();
    EXPECT_FALSE(state.panel);
    EXPECT_FALSE(w.control("Panel1")->isVisible());
    EXPECT_LT(w.height(), height);
    toggle->click();
    EXPECT_TRUE(state.panel);
    EXPECT_EQ(w.height(), height);
}

TEST(AtcConsoleWindow, EachListTakesItsOwnStoredHeight) {
    REQUIRE_WIDGETS_DISPLAY();
    AtcConsoleState state;
    state.arrsheight = 120;
    state.localheight = 90;
    AtcConsoleWindow w(state, {});
    w.Refresh();  // a hidden window keeps the stored heights
    EXPECT_EQ(state.localheight, 90);
    w.show();
    ASSERT_TRUE(Exposed(w));
    EXPECT_EQ(w.control("lbarrs")->parentWidget()->height(), 120);
    EXPECT_EQ(w.control("lbsq")->parentWidget()->height(), 90);
    w.close();
    EXPECT_EQ(state.arrsheight, 120);
    EXPECT_EQ(state.localheight, 90);
}

}  // namespace
}  // namespace aerova
