#pragma once
// The label editor ("Aerova Label Editor") as plain state and rules; the window binds its
// widgets to them.
//
// The editor changes the label layout the radar windows draw at once: a slot box or a format
// box writes into `layout`, and the windows use it from their next frame. "Accept" writes the
// whole label file; "OK" accepts and closes; "Cancel" returns the layout and the formats to
// what they were at the last opening or "Accept", writes nothing and closes. Closing the
// window any other way writes the file, unless "Cancel" was used before in this run.
//
// The editor also holds the options of the KML servers (`KmlEditorOptions`, kept in section
// `google` of the main settings) and the paths of the user's KML script files.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/kml_options.h"
#include "radar/label_layout.h"

namespace aerova {

// The tabs "Airborne", "Filtered", "On ground", "Extended" edit pages 0 to 3.
constexpr int kLabelEditorTabs = 4;
// The slot boxes list kinds 0 to 24 ("Flight ID" ... "++ BLANK ++").
constexpr int kLabelBoxKinds = 25;

std::string_view LabelEditorTabCaption(int tab);

// One format box: its key in section `demo`, the caption beside it, the field it sets and
// its items (index: caption).
struct LabelFormatChoice {
    std::string_view key;
    std::string_view caption;
    int LabelFormats::*field;
    std::vector<std::string_view> items;
};
// The thirteen format boxes in the order of their kinds.
const std::vector<LabelFormatChoice>& LabelFormatChoices();

// What a slot box shows for a kind: the captions of kinds 0 to 24, then, for a kind they do
// not hold (a database column set in the file, or a kind without meaning), one extra item
// naming it, so it is shown and kept instead of being lost to the first item.
struct LabelSlotBox {
    std::vector<std::string> items;
    int index = 0;
};
LabelSlotBox LabelSlotBoxFor(std::int32_t kind);
// The extra item's text: "DB: Registration" for kind 31 (database column 6), "Kind 99".
std::string LabelExtraKindCaption(std::int32_t kind);
// The kind a slot holds after its box chose `index`: kinds 0 to 24 by their index; the
// extra item keeps `kind`.
std::int32_t LabelKindOfBoxIndex(std::int32_t kind, int index);

// A layout as the editor can show it: an active tab or a format index outside its box gives
// 0. Item kinds are kept as they are.
LabelLayout NormaliseLabelIndexes(LabelLayout layout);

struct LabelEditorState {
    std::string path;        // the label file
    LabelLayout layout;      // being edited: what the radar windows draw
    LabelLayout accepted;    // at the last opening or "Accept": what "Cancel" returns to
    int tab = 0;             // the page shown, 0 to 3
    bool cancelled = false;  // "Cancel" was used in this run: closing no longer writes
};

// Reads the label file (a missing one gives the defaults) with its indexes normalised; the
// tab shown is the stored active tab.
LabelEditorState LoadLabelEditor(const std::string& path);
// The window opens: "Cancel" from now on returns to the layout as it is.
void OpenLabelEditor(LabelEditorState& state);
// A tab outside 0 to 3 gives 0.
void SelectLabelTab(LabelEditorState& state, int tab);
// Slot box (`line`, `slot`) of the page shown chose `index`; true when the kind changed.
bool ChooseLabelSlot(LabelEditorState& state, int line, int slot, int index);
// Format box `choice` (index into LabelFormatChoices) chose `index`; an index outside the
// box gives 0.
void ChooseLabelFormat(LabelEditorState& state, int choice, int index);
// "Copy from prev page" is offered from the second tab on; the previous page's sixteen
// slots are copied over the page shown.
bool CanCopyPreviousLabelPage(const LabelEditorState& state);
void CopyPreviousLabelPage(LabelEditorState& state);

// "Accept" (also the first half of "OK"): the layout with the tab shown and the window's
// place is written to the file and becomes what "Cancel" returns to. False when the file
// could not be written (the layout is accepted in memory all the same).
bool AcceptLabelEdits(LabelEditorState& state, int windowLeft, int windowTop);
// "Cancel": the layout and formats as at the last opening or "Accept"; nothing is written.
void CancelLabelEdits(LabelEditorState& state);
// The window closes by other means than "OK" or "Cancel": accepts unless "Cancel" was used
// in this run. True when the file was written.
bool CloseLabelEditor(LabelEditorState& state, int windowLeft, int windowTop);

// A monitor for placing the window.
struct EditorScreen {
    int left = 0, top = 0, width = 0, height = 0;
    bool primary = false;
};
struct EditorPoint {
    int left = 0, top = 0;
};
// Where a window of the given size opens: at its stored place when that meets a screen,
// centred on the primary screen (the first one when none is marked) when it meets none.
EditorPoint PlaceEditorWindow(EditorPoint stored, int width, int height,
                              const std::vector<EditorScreen>& screens);

// The icon size factors of the KML options.
inline constexpr double kKmlEditorIconScales[] = {0.33, 0.5, 0.66, 0.75, 0.8, 0.9, 1.0};
inline constexpr int kKmlEditorDefaultIconScale = 4;

// The KML options the editor shows are the servers' own (section `google`).
using KmlEditorOptions = KmlOptions;
// The index the icon size box shows. Unlike the label file's indexes, an index outside the
// list gives the default (0.8): the settings and the KML servers read it so.
int KmlEditorIconScaleIndex(int iconscale);

// The user's KML files in "aerova-scripts" under the station directory.
inline constexpr const char* kEditorAircraftTemplate = "aircraft.kml.gss";
inline constexpr const char* kEditorAircraftLink = "aircraft.kml";
inline constexpr const char* kEditorCockpitLink = "cockpit.kml";
std::string LabelEditorScriptPath(const std::string& stationDir, std::string_view fileName);

}  // namespace aerova
