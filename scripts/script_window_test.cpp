// The script window on a display: a script loaded from aerova-scripts/ with a fault is
// checked, the error list names its line and a double click puts the cursor there; the
// mended script is saved before its check and then runs; files outside the folder are
// refused; the settings' script is loaded and checked again at start.

#include "scripts/script_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextBlock>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/test_widgets_app.h"

namespace aerova {
namespace {

constexpr const char* kFaulty =
    "{ watch the police }\n"
    "ONFLIGHT POLICE1 DOPOPUP \"Police\"\n"
    "ONALTITUDE 0 100 DOALERT\n";

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ScriptWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("aerova-script-window-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "aerova-scripts");
        scripts = (dir / "aerova-scripts").string();
        std::ofstream(dir / "aerova-scripts" / "alert.aqs", std::ios::binary) << kFaulty;
        std::ofstream(dir / "outside.aqs", std::ios::binary) << "ONNOPOS DOALERT\n";
        dialogs.open = [this](const std::string& d) {
            openedIn = d;
            return openPath;
        };
        dialogs.save = [this](const std::string& d, const std::string& name) {
            savedIn = d + "|" + name;
            return savePath;
        };
        dialogs.message = [this](const std::string& text) { messages.push_back(text); };
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    std::string scripts;
    ScriptState state;
    ScriptWindowDialogs dialogs;
    std::optional<std::string> openPath, savePath;
    std::string openedIn, savedIn;
    std::vector<std::string> messages;
};

TEST_F(ScriptWindowTest, AFaultIsNamedFoundMendedSavedAndRun) {
    REQUIRE_WIDGETS_DISPLAY();
    ScriptWindow w(state, scripts, dialogs);
    w.show();
    openPath = scripts + "/alert.aqs";
    w.LoadCommand();
    EXPECT_EQ(openedIn, scripts);
    EXPECT_EQ(w.editor().toPlainText().toStdString(), kFaulty);
    EXPECT_EQ(w.fileName().text(), "alert.aqs");
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(state.filename, "alert.aqs");

    w.runButton().click();
    EXPECT_FALSE(w.runButton().isChecked());  // pops back up
    ASSERT_EQ(w.errorList().count(), 2);
    EXPECT_EQ(w.errorList().item(0)->text(), "\"ONALTITUDE 0 100 DOALERT\"");
    EXPECT_EQ(w.errorList().item(1)->text(), "E300 Unspecified statement in line 020");
    EXPECT_FALSE(w.editor().isReadOnly());
    Q_EMIT w.errorList().itemDoubleClicked(w.errorList().item(1));
    EXPECT_EQ(w.editor().textCursor().blockNumber(), 2);
    Q_EMIT w.errorList().itemDoubleClicked(w.errorList().item(0));
    EXPECT_EQ(w.editor().textCursor().blockNumber(), 2);

    // Mended: the field turns light red, and "Run" saves before it checks.
    QTextCursor cursor = w.editor().textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText("ONMODES 3C6586 ");
    EXPECT_TRUE(w.modified());
    EXPECT_NE(w.fileName().styleSheet().indexOf("206"), -1);
    w.executeSlider().setValue(4);
    savePath = scripts + "/alert.aqs";
    w.runButton().click();
    EXPECT_EQ(savedIn, scripts + "|alert.aqs");
    EXPECT_TRUE(w.runButton().isChecked());
    ASSERT_EQ(w.errorList().count(), 1);
    EXPECT_EQ(w.errorList().item(0)->text(), "No errors.");
    EXPECT_TRUE(w.editor().isReadOnly());
    EXPECT_TRUE(state.active);
    EXPECT_EQ(state.execute, 120);
    EXPECT_EQ(w.checked().program,
              " 010 ONFLIGHT POLICE1 DOPOPUP \"Police\"\n 020 ONMODES 3C6586 ONALTITUDE 0 100 "
              "DOALERT");
    EXPECT_EQ(ReadFile(dir / "aerova-scripts" / "alert.aqs"),
              w.editor().toPlainText().toStdString());
    w.runButton().click();  // released
    EXPECT_FALSE(w.editor().isReadOnly());
    EXPECT_FALSE(state.active);
}

TEST_F(ScriptWindowTest, FilesOutsideTheScriptsFolderAndEmptyScriptsAreRefused) {
    REQUIRE_WIDGETS_DISPLAY();
    ScriptWindow w(state, scripts, dialogs);
    w.editor().setPlainText("ONNOPOS DOCHIME");
    for (const std::string& path :
         {(dir / "outside.aqs").string(), scripts + "/../outside.aqs", scripts + "/missing.aqs"}) {
        SCOPED_TRACE(path);
        openPath = path;
        w.LoadCommand();
        EXPECT_EQ(w.editor().toPlainText(), "ONNOPOS DOCHIME");  // unchanged
        EXPECT_TRUE(w.fileName().text().isEmpty());
    }
    EXPECT_EQ(messages.size(), 3u);
    savePath = (dir / "outside.aqs").string();
    EXPECT_FALSE(w.SaveCommand());
    EXPECT_EQ(ReadFile(dir / "outside.aqs"), "ONNOPOS DOALERT\n");

    // An unknown statement: the cursor goes to it on its line.
    w.editor().setPlainText("ONNOPOS DOCHIME\nONFLIGHT  DLH123 DOBEEP DOCHIME\n");
    w.runButton().click();
    ASSERT_EQ(w.errorList().count(), 2);
    EXPECT_EQ(w.errorList().item(0)->text(), "\"DOBEEP DOCHIME\"");
    EXPECT_EQ(w.errorList().item(1)->text(), "E100 Unknown statement in line 020");
    w.GoToError(1);
    EXPECT_EQ(w.editor().textCursor().blockNumber(), 1);
    EXPECT_EQ(w.editor().textCursor().positionInBlock(), 17);

    // An include fault leads to its include line.
    w.editor().setPlainText("ONNOPOS DOCHIME\n$missing.aqs$\n");
    w.runButton().click();
    ASSERT_EQ(w.errorList().count(), 1);
    EXPECT_EQ(w.errorList().item(0)->text().toStdString(),
              "E500 Include file not found: " + scripts + "/missing.aqs");
    w.GoToError(0);
    EXPECT_EQ(w.editor().textCursor().blockNumber(), 1);

    // An empty script never runs: nothing happens, the last list stays.
    w.editor().setPlainText("   \n ");
    w.runButton().click();
    EXPECT_FALSE(w.runButton().isChecked());
    EXPECT_EQ(w.errorList().count(), 1);
}

TEST_F(ScriptWindowTest, TheSettingsScriptIsLoadedAndCheckedAgainAtStart) {
    REQUIRE_WIDGETS_DISPLAY();
    std::ofstream(dir / "aerova-scripts" / "good.aqs", std::ios::binary)
        << "ONNOPOS DOPOPUP \"no position\"\n";
    state.filename = "good.aqs";
    state.active = true;
    state.execute = 300;
    ScriptWindow w(state, scripts, dialogs);
    w.Start();
    EXPECT_EQ(w.fileName().text(), "good.aqs");
    EXPECT_TRUE(w.runButton().isChecked());
    EXPECT_EQ(w.errorList().item(0)->text(), "No errors.");
    EXPECT_EQ(w.executeSlider().value(), 10);

    // A name from the settings that is no plain file name loads nothing.
    ScriptState other;
    other.filename = "../outside.aqs";
    ScriptWindow refused(other, scripts, dialogs);
    refused.Start();
    EXPECT_TRUE(refused.editor().toPlainText().isEmpty());
}

}  // namespace
}  // namespace aerova
