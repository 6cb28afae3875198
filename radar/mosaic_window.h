#pragma once
// The mosaic image manager (`Tfosat`, "Mosaic image manager") and its calibration window
// (`Tfocal`, "Calibration window").
//
// "Mosaic": the list of calibrated pictures in the mosaic folder, their order and which ones
// are shown; every change rewrites "mosaic.ini" at once. "Apply" hands over to the owner,
// who rebuilds the textures. "Download": fetches the area a radar window shows from a web map
// server and calibrates it automatically. "Calibration": fastens any picture of the folder to
// the globe by its four corners.
//
// The window keeps no logic of its own: the files are radar/mosaic_files.h, the transfer is
// radar/mosaic_download.h. Questions and messages go through the hooks; without them every
// question is answered "yes" and messages are dropped.

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "radar/mosaic_files.h"
#include "radar/mosaic_state.h"
#include "radar/radar_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace aerova {

class MosaicDownload;
struct MosaicDownloadResult;

// The map server's GetMap endpoint and the page describing its layers.
inline constexpr const char* kDefaultMosaicServer =
    "https://gibs.earthdata.nasa.gov/wms/epsg4326/best/wms.cgi?SERVICE=WMS&VERSION=1.1.1&";
inline constexpr const char* kMosaicInfoPage =
    "https://nasa-gibs.github.io/gibs-api-docs/access-basics/";

// The picture being calibrated, at its own size; the caption follows the mouse.
class MosaicCalibrationWindow : public QWidget {
  public:
    explicit MosaicCalibrationWindow(QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    QSize pictureSize() const { return picture_.size(); }
    // "x:" x " y:" y " [Max: x:" width " y:" height "]"
    static QString Caption(int x, int y, QSize picture);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QImage picture_;
    QLabel* view_ = nullptr;
};

class MosaicManagerWindow : public QWidget {
  public:
    MosaicManagerWindow(std::string mosaicDir, MosaicDisplayState& state,
                        QWidget* parent = nullptr);
    ~MosaicManagerWindow() override;

    // "Apply": the owner deletes and rebuilds the mosaic textures.
    std::function<void()> onApply;
    // A switch or the tint changed: the owner redraws the radar windows.
    std::function<void()> onDisplayChanged;
    // The window was hidden (closed): the owner releases its button.
    std::function<void()> onHidden;
    // The view and panel size of radar window `tag` (1, 2); nullopt when it is not visible.
    std::function<std::optional<std::pair<RadarView, QSize>>(int tag)> viewOf;
    std::function<bool(const std::string& question, const std::string& title)> ask;
    std::function<void(const std::string& text, const std::string& title)> message;
    std::string serverUrl = kDefaultMosaicServer;  // ends with "?" or "&"
    int downloadTimeoutMs = 60000;

    // Reads the folder and "mosaic.ini" into the list ("Mosaic changed" and the list saved
    // when calibrations were found that it did not name yet) and the picture list.
    void ReloadList();
    // Puts the state's values into the controls (after the settings were read).
    void LoadState();
    // "Download": the checks and questions, then the transfer; false when it did not start.
    bool StartDownload();
    bool downloading() const { return download_ != nullptr; }
    QString status() const;
    // The status line ("Creating mosaic... name" while the owner applies).
    void SetStatus(const std::string& text);

    const std::vector<MosaicEntry>& entries() const { return entries_; }
    const std::string& mosaicDir() const { return mosaicDir_; }

    // Manual calibration, for the owner and tests.
    // Shows picture `fileName` of the mosaic folder; false when it cannot be read.
    bool SelectPicture(const QString& fileName);
    // Stores the typed position with corner `corner` (0 up left, 1 up right, 2 down left,
    // 3 down right); false (and the message) when the input is incomplete.
    bool StoreCorner(int corner);
    // "Save": false when nothing was written.
    bool SaveCalibration();
    // The vertex list as shown: "?" or "lat,lon,x,y".
    QStringList vertexTexts() const;
    MosaicCalibrationWindow& calibrationWindow() { return *calibration_; }

  protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* BuildMosaicTab();
    QWidget* BuildDownloadTab();
    QWidget* BuildCalibrationTab();
    void FillList();
    void SaveList();
    void MoveEntry(int delta);
    void Apply();
    void FillStyles();
    void FillPictures();
    void DownloadFinished(unsigned generation, const MosaicDownloadResult& result);
    void ShowVertices();
    void ClearVertices();
    void ClearVertex();
    bool Ask(const std::string& question, const std::string& title) const;
    void Message(const std::string& text, const std::string& title) const;
    void DisplayChanged();

    std::string mosaicDir_;
    MosaicDisplayState& state_;
    std::vector<MosaicEntry> entries_;
    std::unique_ptr<MosaicDownload> download_;
    unsigned generation_ = 0;
    std::string downloadName_;
    QImage picture_;  // the picture of the calibration tab
    QString pictureName_;
    std::array<std::optional<CalibrationPoint>, 4> vertices_;

    QTabWidget* tabs_ = nullptr;
    // Mosaic
    QListWidget* clbmosaic_ = nullptr;
    QLabel* stinfo_ = nullptr;
    QCheckBox* cbradar1_ = nullptr;
    QCheckBox* cbradar2_ = nullptr;
    QSlider* red_ = nullptr;
    QSlider* green_ = nullptr;
    QSlider* blue_ = nullptr;
    // Download
    QRadioButton* rbradar1_ = nullptr;
    QRadioButton* rbradar2_ = nullptr;
    QLabel* north_ = nullptr;
    QLabel* south_ = nullptr;
    QLabel* west_ = nullptr;
    QLabel* east_ = nullptr;
    QLabel* height_ = nullptr;
    QLabel* width_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QComboBox* cbformat_ = nullptr;
    QComboBox* cbstyle_ = nullptr;
    QComboBox* cbquality_ = nullptr;
    QPushButton* budownload_ = nullptr;
    QLabel* downloaded_ = nullptr;
    QPlainTextEdit* memessage_ = nullptr;
    // Calibration
    QListWidget* fileListBox1_ = nullptr;
    QLabel* image1_ = nullptr;
    QLineEdit* melatdeg_ = nullptr;
    QLineEdit* melatmin_ = nullptr;
    QComboBox* cblat_ = nullptr;
    QLineEdit* melongdeg_ = nullptr;
    QLineEdit* melongmin_ = nullptr;
    QComboBox* cblong_ = nullptr;
    QListWidget* vertexList_ = nullptr;
    MosaicCalibrationWindow* calibration_ = nullptr;
};

}  // namespace aerova
