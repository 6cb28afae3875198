// The label editor on a real display: the preview follows the slot and format boxes, "Cancel"
// undoes and writes nothing, "OK" writes the label file, and the KML pane's files and options.

#include "radar/label_editor_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "radar/gui_test_support.h"

namespace aerova {
namespace {

template <class T>
T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Click(QWidget& window, const char* name) {
    if (auto* button = Find<QPushButton>(window, name)) button->click();
}

const QString kDeg(QChar(0xB0));

TEST(Gui, LabelEditorPreviewFollowsTheBoxes) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    LabelEditorWindow editor(dir.path());
    LabelLayout live;
    editor.onLayoutChanged = [&](const LabelLayout& layout) { live = layout; };
    editor.show();

    // The sample aircraft on the default airborne page.
    EXPECT_EQ(editor.previewLines().value(0), kDeg + "DLH4AB 3C6444 1000 F350>360");
    Find<QComboBox>(editor, "cbslot01")->setCurrentIndex(24);  // ++ BLANK ++
    Find<QComboBox>(editor, "cbslot00")->setCurrentIndex(18);  // A/C reg. (all)
    EXPECT_EQ(editor.previewLines().value(0), "DAIPA 1000 F350>360");
    Find<QComboBox>(editor, "cbaltitude")->setCurrentIndex(1);  // Flightdeck
    Find<QComboBox>(editor, "cbreg")->setCurrentIndex(2);       // Short
    EXPECT_EQ(editor.previewLines().value(0), "PA 1000 FL350>360");
    EXPECT_EQ(live.kinds[0][0][0], 18);
    EXPECT_EQ(live.formats.altitude, 1);

    editor.SetMarkLabel(false);
    Find<QComboBox>(editor, "cbslot00")->setCurrentIndex(0);
    EXPECT_EQ(editor.previewLines().value(0), "DLH4AB 1000 FL350>360");
    editor.close();
}

TEST(Gui, LabelEditorCancelRestoresAndWritesNothing) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    LabelEditorWindow editor(dir.path());
    int closed = 0;
    editor.onClosed = [&] { ++closed; };
    editor.show();
    const QStringList opened = editor.previewLines();
    QComboBox* slot = Find<QComboBox>(editor, "cbslot10");
    slot->setCurrentIndex(20);
    Find<QComboBox>(editor, "cbmach")->setCurrentIndex(3);
    ASSERT_NE(editor.previewLines(), opened);

    Click(editor, "bucancel");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(slot->currentIndex(), 4);
    EXPECT_EQ(Find<QComboBox>(editor, "cbmach")->currentIndex(), 0);
    EXPECT_EQ(editor.layout().kinds, LabelLayout().kinds);
    EXPECT_EQ(editor.previewLines(), opened);
    EXPECT_FALSE(FileExists(dir.File(kLabelFileName)));

    // Closing after "Cancel" does not write either.
    editor.show();
    slot->setCurrentIndex(21);
    editor.close();
    EXPECT_EQ(closed, 2);
    EXPECT_FALSE(FileExists(dir.File(kLabelFileName)));
}

TEST(Gui, LabelEditorOkWritesTheFileKeepingKindsTheBoxesCannotList) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    dir.Write(kLabelFileName, "[labelidx]\nactivetab=2\n2-0-2=30\n[demo]\nmach=9\n");
    LabelEditorWindow editor(dir.path());
    int accepted = 0;
    editor.onLayoutAccepted = [&](const LabelLayout&) { ++accepted; };
    editor.show();
    QComboBox* database = Find<QComboBox>(editor, "cbslot02");
    EXPECT_EQ(database->count(), 26);
    EXPECT_EQ(database->currentText(), "DB: Country");
    EXPECT_EQ(Find<QComboBox>(editor, "cbmach")->currentIndex(), 0);

    Find<QComboBox>(editor, "cbslot33")->setCurrentIndex(22);
    Find<QComboBox>(editor, "cbqnh")->setCurrentIndex(2);
    Click(editor, "buok");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(accepted, 1);
    const LabelLayout written = LoadLabelLayout(dir.File(kLabelFileName));
    EXPECT_EQ(written.kinds[2][0][2], 30);
    EXPECT_EQ(written.kinds[2][3][3], 22);
    EXPECT_EQ(written.kinds[0][3][3], 15);
    EXPECT_EQ(written.formats.qnh, 2);
    EXPECT_EQ(written.formats.mach, 0);
    EXPECT_EQ(written.activeTab, 2);

    // A database kind replaced by the user loses its extra item.
    editor.show();
    database->setCurrentIndex(5);
    EXPECT_EQ(database->count(), 25);
    EXPECT_EQ(editor.layout().kinds[2][0][2], 5);
}

TEST(Gui, LabelEditorKmlPaneFilesAndOptions) {
    REQUIRE_DISPLAY();
    testing::TempDir dir;
    dir.Write("aerova-scripts/aircraft.kml.gss", "[%init%]\n<kml>\n");
    dir.Write("aerova-scripts/aircraft.kml", "<NetworkLink/>");
    LabelEditorWindow editor(dir.path());
    std::vector<std::string> opened, messages;
    editor.open = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    editor.message = [&](const std::string& text, const std::string&) { messages.push_back(text); };
    KmlEditorOptions changed;
    editor.onKmlOptionsChanged = [&](const KmlEditorOptions& o) { changed = o; };
    int reloads = 0;
    editor.onReload = [&] { ++reloads; };

    EXPECT_EQ(editor.templateText(), "[%init%]\n<kml>\n");
    Find<QPlainTextEdit>(editor, "metemplate")->setPlainText("[%init%]\n<kml>\n[%exit%]\n");
    Click(editor, "busavetemplate");
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(dir.File("aerova-scripts/aircraft.kml.gss"), saved));
    EXPECT_EQ(saved, "[%init%]\n<kml>\n[%exit%]\n");

    Click(editor, "burunaircraft");
    Click(editor, "buruncockpit");  // the user supplied no cockpit link
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], dir.File("aerova-scripts/aircraft.kml"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("cockpit.kml"), std::string::npos);
    Click(editor, "bureload");
    EXPECT_EQ(reloads, 1);

    KmlEditorOptions stored;
    stored.iconscale = 9;
    stored.trails = true;
    editor.SetKmlOptions(stored);
    EXPECT_EQ(Find<QComboBox>(editor, "cbiconscale")->currentText(), "0.8");
    EXPECT_TRUE(Find<QCheckBox>(editor, "cbtrails")->isChecked());
    Find<QCheckBox>(editor, "cbusealtitude")->setChecked(false);
    EXPECT_FALSE(changed.usealtitude);
    EXPECT_TRUE(changed.trails);
    Find<QComboBox>(editor, "cbiconscale")->setCurrentIndex(6);
    EXPECT_EQ(changed.iconscale, 6);
    EXPECT_EQ(editor.kmlOptions().iconscale, 6);
}

}  // namespace
}  // namespace aerova
