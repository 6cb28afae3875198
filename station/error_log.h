#pragma once
// The station-wide error log "aerova-logs/aerova-error.log": one line per entry, opened,
// appended and closed for every line.

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace aerova {

constexpr const char* kErrorLogName = "aerova-logs/aerova-error.log";

class ErrorLog {
  public:
    ErrorLog(std::string stationDir, const StationClock& clock);
    const std::string& path() const { return path_; }
    // "<UTC date> <UTC time> - aerovas.exe - <message>"
    std::string FormatLine(std::string_view message) const;
    bool Write(std::string_view message) const;

  private:
    std::string path_;
    const StationClock* clock_;
};

}  // namespace aerova
