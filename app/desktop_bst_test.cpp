// The window "BST control" in the running desktop station: the BST buttons show it, "Save
// to bst file" asks for the list file and opens it with its no-position companion (panel
// green), a cancelled dialog releases the button, and the switches reach the list files,
// the database options and the XML files.

#include "app/desktop_bst.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "base/files.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "tools/bst_control_window.h"

namespace aerova {
namespace {

// Answers the next save dialog with `file`, or cancels it when `file` is empty.
void AnswerDialog(const QString& file, QString* asked) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, file, asked] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        *asked = dialog->directory().absolutePath() + "|" + dialog->defaultSuffix() + "|" +
                 dialog->selectedFiles().value(0);
        if (file.isEmpty()) {
            dialog->reject();
        } else {
            // Typed into the dialog's name box, as the user would.
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(file);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    timer->start(50);
}

TEST(Gui, BstControlOpensTheListFilesAndBindsItsSwitches) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-bst-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(38);
    {
        DesktopStation station(options);
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        DesktopBst& bst = station.bst();
        ASSERT_TRUE(station.Start());
        QToolButton* main = station.mainWindow().button("spbdb");
        ASSERT_TRUE(main->isEnabled());
        main->click();
        BstControlWindow& window = bst.window();
        ASSERT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "BST control");
        EXPECT_TRUE(station.radar(1).controls().button("spbdb")->isChecked());

        QString asked;
        AnswerDialog("", &asked);
        window.spbbstfile()->click();
        EXPECT_FALSE(window.spbbstfile()->isChecked());
        EXPECT_FALSE(station.station().listFiles.open);
        // The proposed name is the local date and time in the list-file folder.
        EXPECT_TRUE(asked.startsWith(dir.filePath("aerova-bst") + "|")) << asked.toStdString();
        EXPECT_TRUE(asked.endsWith(".bst")) << asked.toStdString();

        const QString list = dir.filePath("aerova-bst/today.bst");
        AnswerDialog(list, &asked);
        window.spbbstfile()->click();
        ASSERT_TRUE(station.station().listFiles.open);
        EXPECT_EQ(station.station().listFiles.listPath, list.toStdString());
        EXPECT_TRUE(window.spbbstfile()->isChecked());
        EXPECT_EQ(window.pnbst()->palette().color(QPalette::Window), QColor(0, 255, 0));
        EXPECT_TRUE(FileExists(list.toStdString()));
        EXPECT_TRUE(FileExists(dir.filePath("aerova-bst/nopos/np-today.bst").toStdString()));
        window.spbbstfile()->click();
        EXPECT_FALSE(station.station().listFiles.open);
        EXPECT_NE(window.pnbst()->palette().color(QPalette::Window), QColor(0, 255, 0));

        window.check("cbsavexml")->click();
        window.check("cbcreatesql")->click();
        window.check("cbrestartBST1")->click();
        window.check("cbmarklabel")->click();
        EXPECT_TRUE(station.services().networkSettings.cbsavexml);
        EXPECT_FALSE(station.services().databaseOptions.createsql);
        EXPECT_TRUE(station.station().bst.cbrestartBST1);
        EXPECT_FALSE(bst.markLabel());

        window.close();
        EXPECT_FALSE(main->isChecked());
        EXPECT_FALSE(station.radar(1).controls().button("spbdb")->isChecked());
        station.radar(1).hide();
        station.radar(2).hide();
    }
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
