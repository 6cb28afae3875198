#pragma once
// The ATC console's plain state and rules: the station's home airport (its code and its
// position from six lists), the three flight lists, "ONG" with the blacklist of addresses
// that never get an on-ground departure route, and the one saved view that "Restore last
// view before center" brings back. The radar windows are reached through AtcRadarWindows.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight.h"
#include "core/flight_table.h"
#include "radar/radar_view.h"

namespace aerova {

constexpr std::size_t kAirportCodeLength = 3;    // edroute
constexpr std::size_t kConsoleSquawkLength = 4;  // edsq1 ... edsq4
constexpr int kAtcConsoleMaxWidth = 524;
constexpr const char* kBlacklistFileName = "blacklist.txt";
constexpr const char* kInitialBlacklist = "blacklist";
// A blacklist file beyond this size is read up to its last whole line within it: the text is
// searched for every new target on the ground.
constexpr std::size_t kMaxBlacklistBytes = 64 * 1024;

// The six drop-down lists of the airport position, in the order of their controls.
enum class AtcPositionList { cblat0, cblat1, cblat2, cblong0, cblong1, cblong2 };
constexpr int kAtcPositionLists = 6;

struct AtcConsoleState {
    // Panel1
    std::string edroute = "HAM";  // home airport code as typed (at most 3 characters)
    std::array<int, kAtcPositionLists> position{0, 53, 64, 0, 10, 0};  // item indexes
    bool spbONG = false;    // "ONG": on-ground flights get departure routes
    bool spbfilsq = false;  // "Filter"
    bool sbarrs = true;     // "Arr"
    bool sbdeps = true;     // "Dep"
    bool sbsq = false;      // "SQ"
    std::array<std::string, 4> edsq{"7000", "631", "464", "00"};
    bool panel = true;  // Panel1 shown
    // Heights of the arrivals list and of the local list below it; the departures list
    // takes the rest.
    int arrsheight = 363;
    int localheight = 60;
    // "D e p a r t u r e s", "A r r i v a l s", "L o c a l": sorted, emptied by every tick.
    std::vector<std::string> lblocal, lbarrs, lbsq;
    // The main window's hidden blacklist text.
    std::string blacklist = kInitialBlacklist;
    // The view slot of "Restore last view before center", shared by both radar windows.
    SavedView savedView;
};

// The items of one position list: "N"/"S", "00".."89", "00".."99", "E"/"W", "000".."179",
// "00".."99".
const std::vector<std::string>& AtcListItems(AtcPositionList list);
int AtcListDefault(AtcPositionList list);
// Stores an item index of a list; an index outside the list is refused (false) and the
// list keeps its item.
bool SetAtcIndex(AtcConsoleState& state, AtcPositionList list, int index);

struct AirportPosition {
    double lat = 0;
    double lon = 0;
};
// Whole degrees + hundredths / 100 of the selected items, negative for "S" and "W".
AirportPosition AirportPositionOf(const AtcConsoleState& state);

// `Button4`'s caption: the airport code upper-cased.
std::string AirportButtonCaption(std::string_view edroute);
// A typed code cut to the field's 3 characters.
std::string AirportCodeField(std::string_view typed);

// Whether `modes` occurs in the blacklist, letters compared without case.
bool BlacklistHolds(std::string_view blacklist, std::string_view modes);
// The route a target on the ground gets while "ONG" is down: the airport text and "-", for
// a target without a route whose altitude label is "G---" and whose address is not in the
// blacklist; otherwise empty.
std::string OnGroundDepartureRoute(const Tflight& flight, bool spbONG, std::string_view airport,
                                   std::string_view blacklist);

// "blacklist.txt" in the station directory: its text (cut back to the last whole line
// within kMaxBlacklistBytes), or nothing when it is missing or unreadable.
std::optional<std::string> ReadBlacklistFile(const std::string& stationDir);
// Replaces the blacklist with the file's text; a missing file leaves it unchanged.
bool LoadBlacklist(std::string& blacklist, const std::string& stationDir);
// The click handler of "ONG" and "Filter": with "ONG" down the blacklist is loaded.
void OngClick(AtcConsoleState& state, const std::string& stationDir);
// A settings load: with "ONG" stored down the blacklist comes from its file at once, as it
// would after a click.
void AtcSettingsLoaded(AtcConsoleState& state, const std::string& stationDir);

// The main cycle's tick empties the three lists.
void ClearAtcLists(AtcConsoleState& state);

// The radar windows as the console's view buttons move them. Tags are 1 and 2.
class AtcRadarWindows {
  public:
    virtual ~AtcRadarWindows() = default;
    virtual bool Shown(int tag) = 0;
    virtual RadarView& View(int tag) = 0;
    virtual WindowTargetMarks& Marks(int tag) = 0;
    virtual void Redraw(int tag) = 0;
};

// The window the buttons act on: radar window 2 when it is shown, else radar window 1.
int AtcRadarTag(AtcRadarWindows& radars);
// "Restore airport as center": the window's view goes into the saved-view slot (unless it
// looks at the airport already, so a second press keeps the view from before), then current
// and target view move to the airport at the same distance. Returns the tag moved.
int CentreOnAirport(AtcConsoleState& state, AtcRadarWindows& radars);
// "Restore last view before center": the saved view, if any, into the window; it redraws
// either way. Returns whether the view changed.
bool RestoreLastView(const AtcConsoleState& state, AtcRadarWindows& radars);

}  // namespace aerova
