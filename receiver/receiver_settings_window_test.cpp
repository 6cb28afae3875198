// The "Configuration" window on a display: the lists show the receiver settings and write
// them back, the screen centre becomes the receiver position to the hundredth, and "Save
// and close" applies, saves and lets go of the buttons.

#include "receiver/receiver_settings_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/test_widgets_app.h"

namespace aerova {
namespace {

struct Network {
    std::string pw, ip, port;
    bool master = false, slave = false;
    ReceiverNetworkFields fields() { return {pw, master, ip, port, slave}; }
};

class ConfigurationWindowTest : public ::testing::Test {
  protected:
    void Make() {
        hooks.applyPosition = [this] { ++applied; };
        hooks.save = [this] {
            ++saved;
            return true;
        };
        hooks.closed = [this] { ++closed; };
        hooks.screenCentre = [this] { return centre; };
        hooks.autoQnh = [this](bool on) { autoQnh.push_back(on); };
        hooks.networkChanged = [this](const std::string& c) { changed.push_back(c); };
        window = std::make_unique<ReceiverSettingsWindow>(settings, net.fields(), hooks);
    }
    std::string Text(const char* combo) const {
        return window->combo(combo)->currentText().toStdString();
    }

    ReceiverSettings settings;
    Network net;
    ReceiverSettingsWindowHooks hooks;
    std::optional<ScreenCentre> centre;
    int applied = 0, saved = 0, closed = 0;
    std::vector<bool> autoQnh;
    std::vector<std::string> changed;
    std::unique_ptr<ReceiverSettingsWindow> window;
};

TEST_F(ConfigurationWindowTest, ShowsTheDefaultsAndCouplesTheQnhLists) {
    REQUIRE_WIDGETS_DISPLAY();
    Make();
    EXPECT_EQ(window->windowTitle(), "Configuration");
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Text("cblat0") + Text("cblat1") + "." + Text("cblat2"), "N52.52");
    EXPECT_EQ(Text("cblong0") + Text("cblong1") + "." + Text("cblong2"), "E001.16");
    EXPECT_EQ(Text("cbhpa"), "1013");
    EXPECT_EQ(Text("cbin"), "2988");
    EXPECT_EQ(Text("cbta"), "5500");
    EXPECT_EQ(window->field("edicao")->text(), "EGLL");
    EXPECT_TRUE(window->check("cb7933")->isChecked());
    EXPECT_FALSE(window->check("cb7933")->isEnabled());

    window->combo("cbin")->setCurrentText("2992");
    EXPECT_EQ(Text("cbhpa"), "1013");
    EXPECT_EQ(HpaOf(settings), 1013);
    window->combo("cbhpa")->setCurrentText("998");
    EXPECT_EQ(InchOf(settings), 2948);
    EXPECT_EQ(Text("cbin"), "2948");
    window->combo("cbta")->setCurrentText("3000");
    EXPECT_EQ(TransitionAltitudeOf(settings), 3000);
    window->combo("cblat0")->setCurrentIndex(1);
    EXPECT_DOUBLE_EQ(ReceiverLatitude(settings), -52.52);
}

TEST_F(ConfigurationWindowTest, StateIndexesOutsideTheListsSelectTheNearestEntry) {
    REQUIRE_WIDGETS_DISPLAY();
    settings.cblat1 = 400;
    settings.cbhpa = -7;
    Make();
    EXPECT_EQ(Text("cblat1"), "89");
    EXPECT_EQ(Text("cbhpa"), "1060");
}

TEST_F(ConfigurationWindowTest, FromScreenCenterTakesTheCentreToTheHundredth) {
    REQUIRE_WIDGETS_DISPLAY();
    struct Case {
        double lat, lon;
        const char* shown;  // lat list texts, lon list texts
    };
    const Case cases[] = {
        {48.35, 9.1, "N48.35 E009.10"},
        {51.996, -0.004, "N52.00 W000.00"},  // never 51 degrees and 100 hundredths
        {-33.95, 151.18, "S33.95 E151.18"},
        {53.5349, 10.0051, "N53.53 E010.01"},
    };
    settings.gps = true;
    Make();
    for (const Case& c : cases) {
        centre = ScreenCentre{c.lat, c.lon};
        const int before = applied;
        window->pushButton("buscreen1")->click();
        EXPECT_EQ(Text("cblat0") + Text("cblat1") + "." + Text("cblat2") + " " + Text("cblong0") +
                      Text("cblong1") + "." + Text("cblong2"),
                  c.shown);
        EXPECT_EQ(applied, before + 1);
    }
    EXPECT_FALSE(settings.gps);
    EXPECT_FALSE(window->check("cbgps")->isChecked());
    // Radar window 1 hidden: nothing changes and nothing is applied.
    centre.reset();
    window->pushButton("buscreen1")->click();
    EXPECT_DOUBLE_EQ(ReceiverLatitude(settings), 53.53);
    EXPECT_EQ(applied, 4);
}

TEST_F(ConfigurationWindowTest, SaveAndCloseAppliesSavesAndReleasesTheButtons) {
    REQUIRE_WIDGETS_DISPLAY();
    Make();
    window->show();
    window->pushButton("Button1")->click();
    EXPECT_TRUE(settings.sbs);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ConfigurationWindowTest, SwitchesAndNetworkFieldsReachTheirState) {
    REQUIRE_WIDGETS_DISPLAY();
    net.ip = "10.0.0.2";
    net.slave = true;
    Make();
    EXPECT_EQ(window->field("edmasterip")->text(), "10.0.0.2");
    EXPECT_TRUE(window->check("cbslave")->isChecked());
    window->check("cbqnh")->click();
    window->check("cbslave")->click();
    window->check("cbmaster")->click();
    window->field("edmasterport")->setText("7000");
    Q_EMIT window->field("edmasterport")->textEdited("7000");
    window->field("edicao")->setText("eddh");
    Q_EMIT window->field("edicao")->textEdited("eddh");
    EXPECT_EQ(autoQnh, std::vector<bool>{true});
    EXPECT_TRUE(settings.cbqnh);
    EXPECT_FALSE(net.slave);
    EXPECT_TRUE(net.master);
    EXPECT_EQ(net.port, "7000");
    EXPECT_EQ(settings.edicao, "EDDH");
    ASSERT_GE(changed.size(), 3u);
    EXPECT_EQ(changed[0], "cbslave");
    EXPECT_EQ(changed[1], "cbmaster");
    EXPECT_EQ(changed.back(), "edmasterport");
}

}  // namespace
}  // namespace aerova
