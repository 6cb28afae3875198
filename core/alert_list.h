#pragma once
// The alert manager's list of followed flights and its switches: the window edits it, report
// ingest matches every new or updated target against it.

#include <array>
#include <string>
#include <vector>

namespace aerova {

struct AlertEntry {
    bool checked = true;
    std::string text;  // key, optionally ":" and the alert text
};

// The alert manager's list and switches, and what a match writes back.
struct AlertListState {
    bool sendmail = false;   // "Send alert mail on Mode-S/FlightNo/Reg"
    bool firstonly = false;  // "Alert on first occurence only"
    bool exact = false;      // "Exact syntax"
    std::vector<AlertEntry> entries;
    std::string alerttext;                   // station-wide alert text for the mail alerts
    std::array<int, 2> alerttarget{-1, -1};  // each radar window's alert target
};

}  // namespace aerova
