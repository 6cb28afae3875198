// The "BST control" window: the button runs the list files' handler and shows the panel
// colour it leaves, a cancelled dialog releases the button, and the switches reach their
// fields.

#include "tools/bst_control_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QToolButton>

#include "platform/test_widgets_app.h"

namespace aerova {
namespace {

struct Fields {
    bool spbbstfile = false, cbsavenopos = false, cbselectedflight = false, cbrestartBST1 = false;
    std::uint32_t pnbstColour = 0xF0F0F0;
    bool cbsavexml = false, cbcreatesql = true, cbcreatetextlog = true, cbmarklabel = true;
    BstControlFields bind() {
        return {spbbstfile, cbsavenopos, cbselectedflight, cbrestartBST1, pnbstColour,
                cbsavexml,  cbcreatesql, cbcreatetextlog,  cbmarklabel};
    }
};

TEST(BstControlWindow, TheButtonOpensTheFilesAndThePanelTurnsGreen) {
    REQUIRE_WIDGETS_DISPLAY();
    Fields f;
    bool cancel = false;
    int clicks = 0;
    BstControlWindowHooks hooks;
    // The station's handler: the dialog chooses a file, or the user cancels.
    hooks.spbbstfileClick = [&] {
        ++clicks;
        if (f.spbbstfile && cancel) f.spbbstfile = false;
        f.pnbstColour = f.spbbstfile ? 0x00FF00 : 0xF0F0F0;
    };
    BstControlWindow window(f.bind(), hooks);
    EXPECT_EQ(window.windowTitle(), "BST control");
    window.spbbstfile()->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(window.spbbstfile()->isChecked());
    EXPECT_EQ(window.pnbst()->palette().color(QPalette::Window), QColor(0, 255, 0));
    window.spbbstfile()->click();
    EXPECT_FALSE(f.spbbstfile);
    EXPECT_NE(window.pnbst()->palette().color(QPalette::Window), QColor(0, 255, 0));

    cancel = true;
    window.spbbstfile()->click();
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(window.spbbstfile()->isChecked());  // released again
    EXPECT_FALSE(f.spbbstfile);
}

TEST(BstControlWindow, SwitchesShowAndWriteTheirFields) {
    REQUIRE_WIDGETS_DISPLAY();
    Fields f;
    f.cbrestartBST1 = true;
    std::vector<std::string> changed;
    BstControlWindowHooks hooks;
    hooks.changed = [&](const std::string& c) { changed.push_back(c); };
    BstControlWindow window(f.bind(), hooks);
    EXPECT_TRUE(window.check("cbrestartBST1")->isChecked());
    EXPECT_TRUE(window.check("cbmarklabel")->isChecked());
    EXPECT_FALSE(window.check("cbsavexml")->isChecked());
    window.check("cbsavexml")->click();
    window.check("cbmarklabel")->click();
    window.check("cbsavenopos")->click();
    window.check("cbcreatesql")->click();
    EXPECT_TRUE(f.cbsavexml);
    EXPECT_FALSE(f.cbmarklabel);
    EXPECT_TRUE(f.cbsavenopos);
    EXPECT_FALSE(f.cbcreatesql);
    EXPECT_EQ(changed,
              (std::vector<std::string>{"cbsavexml", "cbmarklabel", "cbsavenopos", "cbcreatesql"}));
    // Settings loaded elsewhere show after a refresh, without reporting a change.
    f.cbselectedflight = true;
    window.Refresh();
    EXPECT_TRUE(window.check("cbselectedflight")->isChecked());
    EXPECT_EQ(changed.size(), 4u);
}

}  // namespace
}  // namespace aerova
