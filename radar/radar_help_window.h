#pragma once
// The help window (`Form7`, "Aerova Help"): the keyboard and mouse commands of the radar
// windows, the program version and "Full help", which opens the manual with the desktop's
// default viewer. Its key presses go to a radar window; a click on its text hides it.
// The print window ("Print radar window") shows a print picture and prints it.

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

class QLabel;

namespace aerova {

class RadarHelpWindow : public QWidget {
  public:
    RadarHelpWindow(std::string version, std::string manualPath, QWidget* parent = nullptr);
    // "Full help": false when the manual is missing (the message says so) or no viewer opens.
    bool OpenManual();
    std::function<void(const std::string& text, const std::string& title)> message;
    std::function<void(bool visible)> onVisibilityChanged;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    std::string manualPath_;
};

// The text of the help window.
QString RadarHelpText(const std::string& version);

class PrintWindow : public QWidget {
  public:
    explicit PrintWindow(QWidget* parent = nullptr);
    void SetPicture(const QImage& image);
    const QImage& picture() const { return picture_; }
    // Prints the picture on one page, scaled to fit: to the default printer, or to a PDF
    // file when `pdfPath` is given or no printer exists. False when nothing was printed.
    bool Print(const QString& pdfPath = {});
    // Where a print without a printer went.
    std::function<QString()> pdfPathWithoutPrinter;
    std::function<void(const std::string& text, const std::string& title)> message;

  private:
    QImage picture_;
    QLabel* view_ = nullptr;
};

}  // namespace aerova
