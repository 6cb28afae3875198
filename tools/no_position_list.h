#pragma once
// The no-position list (`TForm10`, "No position data flights"): targets that report no
// position, or every live target on request, as fixed-column text lines in the colours the
// radar windows give them, sorted by a key of the user's choice. Plain state and rules; the
// window only draws the rows.
//
// Lines are 8-bit station texts: the degree sign is the byte 0xB0 and widths count bytes.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/flight.h"
#include "core/flight_table.h"
#include "radar/colour_list.h"
#include "radar/display_state.h"

namespace aerova {

// The controls of the button panel `Panel1`, the panel itself and the window's visibility.
struct NoPositionListState {
    // The sort group: at most one down, all may be up.
    bool spbsortid = true;    // "ID": label
    bool spbsortalt = false;  // "Alt": altitude, highest first
    bool spbsortreg = false;  // "Reg": registration
    bool spbsortsq = false;   // "SSR": squawk
    bool sbfilter = false;    // altitude filter on
    // Names the radar window whose filter bounds apply: "Fi2" window 2, anything else 1.
    std::string sbfilterCaption = "Fi1";
    bool buuconly = false;  // user-coloured flights only
    bool spbtop = false;    // top-most window
    bool spbnopos = true;   // every live flight, not only those without position
    bool spbcap = false;    // caption bar hidden
    bool panelVisible = true;
    bool visible = false;
};

enum class NoPositionSort { kNone, kId, kAlt, kReg, kSquawk };

// The sort button that is down (the first of them, should several be).
NoPositionSort SortOf(const NoPositionListState& s);
// Puts `sort` down and every other sort button up; kNone leaves all up.
void SetSort(NoPositionListState& s, NoPositionSort sort);
// `sbfilter` released: its caption moves from "Fi1" to "Fi2" and from anything else to "Fi1".
void ReleaseFilter(NoPositionListState& s);
// After a settings load: one sort button at most, a filter caption the window knows.
void NormaliseLoaded(NoPositionListState& s);

// The radar window whose altitude filter bounds the list: 1 or 2.
int FilterWindow(const NoPositionListState& s);

// The columns of one line, without the sort key (columns 9 onward): label, state mark,
// slot, altitude label, selected level, vertical rate, registration, type, squawk, speed,
// direction, "#" and route.
std::string NoPositionColumns(const Tflight& f, int slot);
// The eight-character sort key in front of the columns.
std::string NoPositionSortKey(const Tflight& f, int slot, NoPositionSort sort);
// The label column's text: `labeltext` trimmed, or "~" and the address for a registration
// label ("&...").
std::string NoPositionLabel(const Tflight& f);
// Speed column: ground speed, else "i" + IAS, "t" + TAS, "m" + Mach: the first known one.
std::string NoPositionSpeed(const Tflight& f);
// Direction column: track and degree sign, else "H" + heading, else empty.
std::string NoPositionDirection(const Tflight& f);

// The flight level in characters 2 to 4 of a four-character altitude label; none for any
// other label, a ground label ("G...") or one without a number there.
std::optional<int> LabelLevelOf(std::string_view altlabel);

// Both radar windows' display state: their colour-list check marks and user captions, and
// their altitude filter lists `cblower` and `cbupper`. Index 0 is radar window 1.
using NoPositionRadars = std::array<const RadarDisplayState*, 2>;

// Sets the list's colours of slot `slot` in the table's window marks: radar window 2's
// colour and user mark (inactive, active, climbing, descending, user items), then radar
// window 1's user colour and mark.
void SetNoPositionColours(FlightTable& table, int slot, const ColourTable& colours,
                          const NoPositionRadars& radar);

// One drawn row: the parts of its display text and their colours, x in pixels from the
// row's left edge.
struct NoPositionSegment {
    int x = 0;
    std::string text;  // Latin-1
    Rgb colour;
};
struct NoPositionRow {
    std::string line;  // the list's text: sort key and columns
    int slot = -1;
    bool italic = false;  // no altitude label heard recently (not for vessels)
    int frame = 0;        // 0 none, 1 solid, 2 dotted (the route's state)
    std::array<NoPositionSegment, 4> segments;
};

struct NoPositionList {
    std::vector<NoPositionRow> rows;  // in list order
    std::string caption;              // "3 flights", "1 no position flights"
};

// One rebuild: every live slot without position (or every live slot while `spbnopos` is
// down) gets its colours, passes the altitude and user-colour filters and becomes a row;
// rows sorted by line text. Writes the table's window colours and user marks: call it where
// the main cycle writes the table.
NoPositionList BuildNoPositionList(FlightTable& table, const NoPositionListState& state,
                                   const ColourTable& colours, const NoPositionRadars& radar);

// The row of a listed slot as drawn, from its line and the colours set for it.
NoPositionRow DrawnRow(const FlightTable& table, int slot, std::string line,
                       const ColourTable& colours);

}  // namespace aerova
