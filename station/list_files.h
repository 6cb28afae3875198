#pragma once
// The BaseStation list files: the list file with one line per fresh position of a target,
// and its companion "nopos/np-<name>" for targets without a position. Lines are
// comma-separated double-quoted fields.

#include <string>

#include "base/day_time.h"
#include "core/flight.h"

namespace aerova {

std::string PositionLine(const Tflight& f, DayTime utc);
std::string NoPositionLine(const Tflight& f, DayTime utc);

struct ListFiles {
    bool open = false;
    std::string listPath;
    std::string noposPath;
};

// "<dir of list>/nopos/np-<list file name>"
std::string CompanionPath(const std::string& listPath);

}  // namespace aerova
