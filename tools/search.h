#pragma once
// The search window's state and rules (`Tfosearch`): a piece of text finds flights of the
// flight table or waypoints of the map overlays, one find moves the chosen radar window to
// it, and every view a search produced goes into a short history the user can step
// through. The radar windows are reached through SearchDisplays, so the rules run without
// a window or a graphics context.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "core/flight_table.h"
#include "radar/map_files.h"

namespace aerova {

constexpr int kSearchHistorySize = 10;
constexpr const char* kSearchCaption = "Search";
// Between the columns of a result line and the index it names.
constexpr std::string_view kResultIndexMark = "           @";

// Where a radar window looks (`centreLat`, `centreLon`, `cameraDistance`).
struct SearchView {
    float lat = 0, lon = 0, distance = 0;
};

struct SearchHistoryEntry {
    SearchView view;
    Text<8> name;
};

enum class SearchMode { kFlights, kWaypoints };
enum class HistoryStep { kOlder, kNewer };  // "<<<", ">>>"

struct SearchState {
    // The views of radar windows 1 and 2 when the window was shown ("Entry screen").
    std::array<SearchView, 2> entryViews{};
    std::array<SearchHistoryEntry, kSearchHistorySize> history{};
    int last = -1;                           // newest entry, -1 while the history is empty
    int current = -1;                        // entry shown
    SearchMode mode = SearchMode::kFlights;  // how a double click on a result is read
    std::string caption = kSearchCaption;
    std::string oldCaption = kSearchCaption;  // back when a search finds not exactly one
    std::string Edit1;
    std::vector<std::string> ListBox1;
    bool Button3 = false;  // "<<<" enabled
    bool Button6 = false;  // ">>>" enabled
    bool search1 = false;  // "Display #1"
    bool search2 = true;   // "Display #2"
    bool follow = false;   // "Follow"
};

// The radar windows as a search moves them; `tag` is 1 or 2.
class SearchDisplays {
  public:
    virtual ~SearchDisplays() = default;
    virtual bool Visible(int tag) const = 0;
    virtual SearchView View(int tag) const = 0;
    // Current and target view take `view`; the window redraws.
    virtual void MoveTo(int tag, const SearchView& view) = 0;
    // "Ctr GPS" unticked: the window no longer centres on the GPS position.
    virtual void UntickCentreGps(int tag) = 0;
    // One wheel notch over the search window zooms as the radar window's own wheel does.
    virtual void Zoom(int tag, int wheelDelta) = 0;
};

// The radio buttons are exclusive: "Display #1" when ticked, otherwise "Display #2" (a
// settings file may hold both or neither).
void NormaliseDisplayChoice(SearchState& state);
// The window a search acts on: chosen and visible.
bool SearchActsOn(const SearchState& state, const SearchDisplays& displays, int tag);

// Result lines: fixed columns, then kResultIndexMark and the slot or waypoint index.
std::string FlightResultLine(const Tflight& flight, int slot);
std::string WaypointResultLine(const WaypointName& waypoint, int index);
// The index after the `@` of a result line; nothing when the line carries none.
std::optional<int> ResultIndex(std::string_view line);
// A waypoint's name as text (at most five bytes, NUL-terminated in the table).
std::string_view WaypointNameText(const WaypointName& waypoint);

// The window is shown: entry views of both windows stored, history and list emptied,
// caption "Search", the current view of each chosen visible window pushed as "Search".
void ShowSearch(SearchState& state, const SearchDisplays& displays);
// Adds a history entry: newer entries are dropped, beyond ten the oldest is lost.
void PushView(SearchState& state, std::string_view name, const SearchView& view);
// "<<<" / ">>>": the list is cleared and the chosen visible window shows the entry.
void StepHistory(SearchState& state, HistoryStep step, SearchDisplays& displays);
// "Entry screen": the chosen visible window gets its entry view back.
void RestoreEntryView(SearchState& state, SearchDisplays& displays);

// Enter / "Flights" and Shift / "Waypoints": `Edit1` upper-cased and trimmed becomes the
// caption and the text field is emptied; the matching lines are listed and with exactly
// one the chosen visible window moves to it. Returns the number of lines.
int SearchFlights(SearchState& state, FlightTable& table, SearchDisplays& displays);
int SearchWaypoints(SearchState& state, const std::vector<WaypointName>& waypoints,
                    SearchDisplays& displays);
// A double click on a result line. The index is checked against the table as it is now
// (the waypoints are rebuilt by "Apply files", flights end); false when it names nothing.
bool OpenResult(SearchState& state, std::string_view line, FlightTable& table,
                const std::vector<WaypointName>& waypoints, SearchDisplays& displays);

// Shift alone starts a waypoint search: pressed and released with no other key between,
// so that typing a capital letter does not.
class ShiftTap {
  public:
    void KeyDown(bool isShift) { armed_ = isShift; }
    // True when this release ends a lone Shift.
    bool KeyUp(bool isShift) {
        if (!isShift) return false;
        const bool tap = armed_;
        armed_ = false;
        return tap;
    }

  private:
    bool armed_ = false;
};

}  // namespace aerova
