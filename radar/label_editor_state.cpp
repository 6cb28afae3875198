#include "radar/label_editor_state.h"

#include <algorithm>
#include <iterator>

#include "base/files.h"
#include "base/strings.h"
#include "core/flight.h"
#include "radar/label_composer.h"

namespace aerova {
namespace {

// The columns of the aircraft database row, as the extra slot item names them.
constexpr const auto& kDatabaseColumns = kAircraftColumnNames;
static_assert(std::size(kDatabaseColumns) == kLastLabelKind - kFirstDatabaseKind + 1);

int Clamped(int index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count ? index : 0;
}

}  // namespace

std::string_view LabelEditorTabCaption(int tab) {
    static constexpr std::string_view kTabs[] = {"Airborne", "Filtered", "On ground", "Extended"};
    return tab >= 0 && tab < kLabelEditorTabs ? kTabs[tab] : std::string_view();
}

const std::vector<LabelFormatChoice>& LabelFormatChoices() {
    static const std::vector<LabelFormatChoice> kChoices = {
        {"flightid",
         "Flight ID",
         &LabelFormats::flightid,
         {"Normal (BAW1234)", "Text   (British Airways 1234)", "IATA   (BA1234)",
          "Call   (Speedbird 1234)"}},
        {"squawk", "Squawk", &LabelFormats::squawk, {"Normal   (1234)", "SQ+Octal (SQ1234)"}},
        {"altitude",
         "Altitude/MCP",
         &LabelFormats::altitude,
         {"Normal  (F170/A040/G---)", "Flightdeck (FL170/ALT040/GND)",
          "Normal+feet (F170/A040ft/GND)", "Flightdeck+feet (FL170/ALT040ft/GND)"}},
        {"vrate",
         "Vertical Rate",
         &LabelFormats::vrate,
         {"Normal (+25)", "V+rate (V+25)", "Full   (V+2500ft/min)"}},
        {"ttrack",
         "True Track",
         &LabelFormats::ttrack,
         {"Normal   (234\xB0)", "TT+degrees   (TT234\xB0)", "TT only  (TT234)"}},
        {"heading",
         "Mag. Heading",
         &LabelFormats::heading,
         {"Normal   (H205)", "Degrees  (H205\xB0)", "Magnetic  (MH205)",
          "Mag+degrees (MH205\xB0)"}},
        {"gndspeed",
         "Ground Spd",
         &LabelFormats::gndspeed,
         {"Normal  (475)", "knots   (475kt)", "GS\t(GS475)", "GS+kts  (GS475kt)"}},
        {"tas",
         "True Air Spd",
         &LabelFormats::tas,
         {"Normal  (t475)", "knots   (t475kt)", "TAS\t(TAS475)", "TAS+kts (TAS475kt)"}},
        {"mach",
         "Mach number",
         &LabelFormats::mach,
         {"Normal (M854)", "Normal2 (M85)", "Dot2 (.85)", "Dot3  (.854)", "Full2  (M.85)",
          "Full3  (M.854)"}},
        {"ias",
         "Indicated Air Spd",
         &LabelFormats::ias,
         {"Normal  (i275)", "knots   (i275kt)", "IAS\t(IAS275)", "IAS+kts (IAS275kt)"}},
        {"qnh",
         "Altimeter setting",
         &LabelFormats::qnh,
         {"Normal   (Q1013)", "hPa   (Q1013hPa)", "Full     (QNH1013)", "Full+hpa (QNH1013hPa)"}},
        {"reg",
         "A/C registration",
         &LabelFormats::reg,
         {"Normal   (GABCD)", "Hyphen   (G-ABCD)", "Short    (CD)"}},
        {"peer", "Raw altitude", &LabelFormats::peer, {"Normal   (*0101)", "Decoded  (*ABC)"}},
    };
    return kChoices;
}

LabelSlotBox LabelSlotBoxFor(std::int32_t kind) {
    LabelSlotBox box;
    for (int k = 0; k < kLabelBoxKinds; ++k) box.items.emplace_back(LabelKindCaption(k));
    if (kind >= 0 && kind < kLabelBoxKinds) {
        box.index = kind;
    } else {
        box.items.push_back(LabelExtraKindCaption(kind));
        box.index = kLabelBoxKinds;
    }
    return box;
}

std::string LabelExtraKindCaption(std::int32_t kind) {
    if (kind >= kFirstDatabaseKind && kind <= kLastLabelKind)
        return Concat({"DB: ", kDatabaseColumns[kind - kFirstDatabaseKind]});
    return Concat({"Kind ", std::to_string(kind)});
}

std::int32_t LabelKindOfBoxIndex(std::int32_t kind, int index) {
    return index >= 0 && index < kLabelBoxKinds ? index : kind;
}

LabelLayout NormaliseLabelIndexes(LabelLayout layout) {
    layout.activeTab = Clamped(layout.activeTab, kLabelEditorTabs);
    for (const LabelFormatChoice& choice : LabelFormatChoices()) {
        int& index = layout.formats.*choice.field;
        index = Clamped(index, choice.items.size());
    }
    return layout;
}

LabelEditorState LoadLabelEditor(const std::string& path) {
    LabelEditorState state;
    state.path = path;
    state.layout = NormaliseLabelIndexes(LoadLabelLayout(path));
    state.accepted = state.layout;
    state.tab = state.layout.activeTab;
    return state;
}

void OpenLabelEditor(LabelEditorState& state) {
    state.accepted = state.layout;
}

void SelectLabelTab(LabelEditorState& state, int tab) {
    state.tab = Clamped(tab, kLabelEditorTabs);
}

bool ChooseLabelSlot(LabelEditorState& state, int line, int slot, int index) {
    if (line < 0 || line >= kLabelLines || slot < 0 || slot >= kLabelSlots) return false;
    std::int32_t& kind = state.layout.kinds[state.tab][line][slot];
    const std::int32_t chosen = LabelKindOfBoxIndex(kind, index);
    if (chosen == kind) return false;
    kind = chosen;
    return true;
}

void ChooseLabelFormat(LabelEditorState& state, int choice, int index) {
    const auto& choices = LabelFormatChoices();
    if (choice < 0 || static_cast<std::size_t>(choice) >= choices.size()) return;
    const LabelFormatChoice& c = choices[static_cast<std::size_t>(choice)];
    state.layout.formats.*c.field = Clamped(index, c.items.size());
}

bool CanCopyPreviousLabelPage(const LabelEditorState& state) {
    return state.tab > 0;
}

void CopyPreviousLabelPage(LabelEditorState& state) {
    if (!CanCopyPreviousLabelPage(state)) return;
    state.layout.kinds[state.tab] = state.layout.kinds[state.tab - 1];
}

bool AcceptLabelEdits(LabelEditorState& state, int windowLeft, int windowTop) {
    state.layout.activeTab = state.tab;
    state.layout.windowLeft = windowLeft;
    state.layout.windowTop = windowTop;
    state.accepted = state.layout;
    return SaveLabelLayout(state.layout, state.path);
}

void CancelLabelEdits(LabelEditorState& state) {
    state.layout.kinds = state.accepted.kinds;
    state.layout.formats = state.accepted.formats;
    state.cancelled = true;
}

bool CloseLabelEditor(LabelEditorState& state, int windowLeft, int windowTop) {
    if (state.cancelled) return false;
    return AcceptLabelEdits(state, windowLeft, windowTop);
}

EditorPoint PlaceEditorWindow(EditorPoint stored, int width, int height,
                              const std::vector<EditorScreen>& screens) {
    if (screens.empty()) return stored;
    width = std::max(width, 1);
    height = std::max(height, 1);
    for (const EditorScreen& s : screens) {
        if (stored.left < s.left + s.width && stored.left + width > s.left &&
            stored.top < s.top + s.height && stored.top + height > s.top)
            return stored;
    }
    const auto primary = std::find_if(screens.begin(), screens.end(),
                                      [](const EditorScreen& s) { return s.primary; });
    const EditorScreen& s = primary != screens.end() ? *primary : screens.front();
    return {s.left + std::max(0, (s.width - width) / 2),
            s.top + std::max(0, (s.height - height) / 2)};
}

int KmlEditorIconScaleIndex(int iconscale) {
    return iconscale >= 0 && static_cast<std::size_t>(iconscale) < std::size(kKmlEditorIconScales)
               ? iconscale
               : kKmlEditorDefaultIconScale;
}

std::string LabelEditorScriptPath(const std::string& stationDir, std::string_view fileName) {
    return JoinPath(stationDir, Concat({"aerova-scripts/", fileName}));
}

}  // namespace aerova
