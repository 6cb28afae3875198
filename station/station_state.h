#pragma once
// Plain state that windows own and the main cycle reads: the "BST control" window, the
// parts of the radar windows that steer the cycle, and the ageing time-outs. The windows
// bind their controls to these structs; settings load and save them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace aerova {

// Colours are red + 256 green + 65536 blue.
constexpr std::uint32_t kButtonFaceColour = 0xF0F0F0;
constexpr std::uint32_t kGreenColour = 0x00FF00;

// The window "BST control" (class Tfodb).
struct BstControlState {
    bool spbbstfile = false;        // "Save to bst file" is down
    bool cbselectedflight = false;  // "Save user color flights only"
    bool cbsavenopos = false;       // "Save no-pos flights"
    bool cbrestartBST1 = false;     // "Restart BST at midnight"
    std::uint32_t pnbstColour = kButtonFaceColour;
    std::string initialDir;  // the save dialog's initial directory
};

// What each radar window contributes to the main cycle.
struct RadarCycleState {
    bool visible = true;
    bool cbfreeze = false;     // "Freeze": stop trail recording
    bool sbcenterpos = false;  // "Center receiver location"
};

// The ageing choices of the radar windows' lists.
constexpr std::array<int, 12> kInactiveChoicesSec = {1, 2, 3, 4, 5, 6, 10, 15, 20, 30, 45, 60};
constexpr std::array<double, 6> kDeleteChoicesMin = {0.5, 1, 2, 3, 4, 5};

struct TimeoutChoices {
    int cbflightinactive = 5;  // 6 s
    int cbflightdelete = 0;    // 0.5 min
    int cbpeerinactive = 5;    // 6 s
    int cbpeerdelete = 0;      // 0.5 min
};

struct Timeouts {
    // Values in force before the first choice is applied.
    int flightInactiveSec = 5;
    double flightDeleteMin = 1;
    int peerInactiveSec = 10;
    double peerDeleteMin = 1;
    double deletedTimeoutMin = 15;  // a deleted slot becomes free after this
};

// Applies the list positions (out-of-range positions keep the current value). Returns true
// when the flight inactive time-out was raised: the caller then resets every history.
bool ApplyTimeoutChoices(const TimeoutChoices& choices, Timeouts& timeouts);

}  // namespace aerova
