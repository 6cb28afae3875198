#include "radar/label_layout.h"

#include "base/ini_file.h"

namespace aerova {
namespace {

std::string SlotKey(int page, int line, int slot) {
    return std::to_string(page) + "-" + std::to_string(line) + "-" + std::to_string(slot);
}

// The thirteen format keys of section `demo` and their fields.
struct FormatKey {
    const char* key;
    int LabelFormats::*field;
};
constexpr FormatKey kFormatKeys[] = {
    {"flightid", &LabelFormats::flightid}, {"squawk", &LabelFormats::squawk},
    {"altitude", &LabelFormats::altitude}, {"vrate", &LabelFormats::vrate},
    {"heading", &LabelFormats::heading},   {"gndspeed", &LabelFormats::gndspeed},
    {"tas", &LabelFormats::tas},           {"ias", &LabelFormats::ias},
    {"mach", &LabelFormats::mach},         {"qnh", &LabelFormats::qnh},
    {"reg", &LabelFormats::reg},           {"peer", &LabelFormats::peer},
    {"ttrack", &LabelFormats::ttrack},
};

LabelLayout FromIni(const IniFile& ini) {
    LabelLayout layout;
    layout.windowTop = ini.ReadInteger("window", "top", layout.windowTop);
    layout.windowLeft = ini.ReadInteger("window", "left", layout.windowLeft);
    layout.activeTab = ini.ReadInteger("labelidx", "activetab", layout.activeTab);
    for (int page = 0; page < kLabelPages; ++page) {
        for (int line = 0; line < kLabelLines; ++line) {
            for (int slot = 0; slot < kLabelSlots; ++slot) {
                auto& kind = layout.kinds[page][line][slot];
                kind = ini.ReadInteger("labelidx", SlotKey(page, line, slot), kind);
            }
        }
    }
    for (const auto& f : kFormatKeys) {
        layout.formats.*f.field = ini.ReadInteger("demo", f.key, 0);
    }
    return layout;
}

}  // namespace

LabelLayout::LabelLayout() {
    for (auto& page : kinds) {
        for (int line = 0; line < kLabelLines; ++line) {
            for (int slot = 0; slot < kLabelSlots; ++slot) page[line][slot] = 4 * line + slot;
        }
    }
}

LabelLayout LoadLabelLayout(const std::string& path) {
    return FromIni(IniFile(path));
}

LabelLayout ParseLabelLayout(std::string_view iniText) {
    IniFile ini;
    ini.Parse(iniText);
    return FromIni(ini);
}

bool SaveLabelLayout(const LabelLayout& layout, const std::string& path) {
    IniFile ini(path);
    ini.WriteInteger("labelidx", "activetab", layout.activeTab);
    for (int page = 0; page < kLabelPages; ++page) {
        for (int line = 0; line < kLabelLines; ++line) {
            for (int slot = 0; slot < kLabelSlots; ++slot) {
                ini.WriteInteger("labelidx", SlotKey(page, line, slot),
                                 layout.kinds[page][line][slot]);
            }
        }
    }
    ini.WriteInteger("window", "top", layout.windowTop);
    ini.WriteInteger("window", "left", layout.windowLeft);
    for (const auto& f : kFormatKeys) ini.WriteInteger("demo", f.key, layout.formats.*f.field);
    return ini.UpdateFile();
}

}  // namespace aerova
