#pragma once
// The weather window `wxform` ("Aerova Weather Display Manager"): a tab per radar picture
// source with its picture, its boxes, its address and its two status lines, the colours and
// boxes of the precipitation intensity classes on the first tab, and the lightning options.
//
// The window keeps no state of its own: it shows a WeatherCycle and writes the options it is
// bound to. A box of a source goes to the hooks, whose owner changes the cycle and calls
// Refresh(); the options (colours, intensity boxes, lightning) are written in place and
// reported through `optionsChanged`.

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "weather/weather_images.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace aerova {

struct WeatherWindowHooks {
    std::function<void(int source, bool checked)> downloadBox;
    std::function<void(int source, int radarWindow, bool checked)> displayBox;  // window 0, 1
    std::function<void()> optionsChanged;  // colours, intensity boxes, lightning options
    std::function<void(QKeyEvent*)> key;   // keys go on to a radar window
    std::function<void()> closed;          // the main window releases its button
    // A colour (red + 256 green + 65536 blue) chosen by the user starting from `colour`;
    // nothing when cancelled. Default: the colour dialog.
    std::function<std::optional<int>(int colour)> pickColour;
    // The radar background colour, behind the colour legends; default black.
    std::function<int()> backgroundColour;
};

class WeatherWindow : public QWidget {
  public:
    WeatherWindow(const WeatherCycle& cycle, WxformOptions& options, WeatherWindowHooks hooks,
                  QWidget* parent = nullptr);
    ~WeatherWindow() override;
    WeatherWindow(const WeatherWindow&) = delete;
    WeatherWindow& operator=(const WeatherWindow&) = delete;

    // Shows the cycle and the options again: status lines, addresses, pictures, boxes,
    // colours. No hook runs for what it sets.
    void Refresh();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    struct SourceTab {
        QCheckBox* download = nullptr;
        std::array<QCheckBox*, 2> display{};
        QLineEdit* address = nullptr;
        QLabel* currentLine = nullptr;
        QLabel* nextLine = nullptr;
        QLabel* picture = nullptr;
        std::optional<WeatherPicture> shown;  // what `picture` shows
    };

    QWidget* BuildSourceTab(int source);
    QWidget* BuildLightningTab();
    // A legend panel: the colour fields of entries first .. first + 5, `below` under them when
    // given, then `scale` and `caption`.
    QFrame* BuildLegend(int first, const char* scale, const char* caption, QWidget* below);
    void PickColour(int entry);
    void ShowColour(int entry);
    void ShowPicture(SourceTab& tab, const WeatherPicture* picture);
    void PaintLegends();

    const WeatherCycle& cycle_;
    WxformOptions& options_;
    WeatherWindowHooks hooks_;
    std::array<SourceTab, kWeatherSourceCount> tabs_;
    std::array<QWidget*, kWeatherColourCount> colourFields_{};
    std::array<QCheckBox*, kIntensityClassCount> intensityBoxes_{};
    std::array<QFrame*, 2> legends_{};
    QCheckBox* cbblitz_ = nullptr;
    QComboBox* clbblitz_ = nullptr;
};

}  // namespace aerova
