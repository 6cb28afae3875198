#include "station/error_log.h"

#include "base/files.h"

namespace aerova {

ErrorLog::ErrorLog(std::string stationDir, const StationClock& clock)
    : path_(JoinPath(stationDir, kErrorLogName)), clock_(&clock) {}

std::string ErrorLog::FormatLine(std::string_view message) const {
    const DayTime now = clock_->UtcNow();
    std::string line = FormatDateTime(kShortDateFormat, now);
    line += ' ';
    line += FormatDateTime(kLongTimeFormat, now);
    line += " - aerovas.exe - ";
    line += message;
    return line;
}

bool ErrorLog::Write(std::string_view message) const {
    return AppendLine(path_, FormatLine(message));
}

}  // namespace aerova
