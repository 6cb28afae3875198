#pragma once
// The WX window: the METAR and the TAF of any airport as the weather server keeps them. The
// fetch runs on a worker thread; the window keeps answering meanwhile, and a second request
// while one runs waits for it.

#include <QWidget>
#include <functional>
#include <string>

#include "distribution/transfer_worker.h"
#include "weather/weather_text.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace aerova {

class WxReportsWindow : public QWidget {
  public:
    explicit WxReportsWindow(QWidget* parent = nullptr);

    // The library and the server the fetch goes through (the station's weather settings).
    std::function<WeatherTextSource()> source;
    // Keys the window does not use go on to a radar window.
    std::function<void()> onClosed;

    // "Get WX": a code of other than four characters only returns the focus to the field.
    void GetWx();
    bool busy() const { return worker_.busy(); }
    QLineEdit& icao() { return *icao_; }
    QString reports() const;

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    QLineEdit* icao_;
    QPushButton* get_;
    QPlainTextEdit* text_;
    TransferWorker worker_;
};

}  // namespace aerova
