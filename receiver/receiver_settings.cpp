#include "receiver/receiver_settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/metar_pressure.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr char kFileName[] = "aerovas.sbs.ini";
constexpr char kConfigDir[] = "aerova-config";
constexpr char kSetSuffix[] = ".sbs.ini";

int ReadIndex(const IniFile& ini, std::string_view key, int items, int fallback) {
    const int v = ini.ReadInteger("default", key, fallback);
    return v >= 0 && v < items ? v : fallback;
}

}  // namespace

int HpaOf(const ReceiverSettings& s) {
    return 1060 - s.cbhpa;
}
int InchOf(const ReceiverSettings& s) {
    return 3131 - s.cbin;
}
int TransitionAltitudeOf(const ReceiverSettings& s) {
    return 24500 - 500 * s.cbta;
}

double ReceiverLatitude(const ReceiverSettings& s) {
    const double v = s.cblat1 + s.cblat2 / 100.0;
    return s.cblat0 == 1 ? -v : v;
}

double ReceiverLongitude(const ReceiverSettings& s) {
    const double v = s.cblong1 + s.cblong2 / 100.0;
    return s.cblong0 == 1 ? -v : v;
}

void SelectHpaIndex(ReceiverSettings& s, int index) {
    s.cbhpa = std::clamp(index, 0, kHpaItems - 1);
    const long inch = std::lround(HpaOf(s) * 2.953);
    s.cbin = std::clamp(static_cast<int>(3130 - inch), 0, kInchItems - 1);
}

void SelectInchIndex(ReceiverSettings& s, int index) {
    s.cbin = std::clamp(index, 0, kInchItems - 1);
    const long hpa = std::lround(InchOf(s) / 2.953);
    s.cbhpa = std::clamp(static_cast<int>(1060 - hpa), 0, kHpaItems - 1);
}

void SetReceiverPosition(ReceiverSettings& s, double lat, double lon) {
    if (!std::isfinite(lat) || !std::isfinite(lon)) return;
    // Whole hundredths first, so that 52.52 does not become 52 degrees and 51 hundredths
    // through the binary fraction.
    auto split = [](double v, int maxDegrees, int& degrees, int& hundredths) {
        const long total = std::lround(std::min(std::fabs(v), maxDegrees + 0.99) * 100.0);
        degrees = static_cast<int>(total / 100);
        hundredths = static_cast<int>(total % 100);
    };
    s.cblat0 = lat < 0 ? 1 : 0;
    split(lat, kLatDegreeItems - 1, s.cblat1, s.cblat2);
    s.cblong0 = lon < 0 ? 1 : 0;
    split(lon, kLongDegreeItems - 1, s.cblong1, s.cblong2);
}

ReceiverSettings LoadReceiverSettings(const std::string& path) {
    const IniFile ini(path);
    ReceiverSettings s;
    const ReceiverSettings d;
    s.cblat0 = ReadIndex(ini, "lat0", 2, d.cblat0);
    s.cblat1 = ReadIndex(ini, "lat1", kLatDegreeItems, d.cblat1);
    s.cblat2 = ReadIndex(ini, "lat2", kHundredthItems, d.cblat2);
    s.cblong0 = ReadIndex(ini, "long0", 2, d.cblong0);
    s.cblong1 = ReadIndex(ini, "long1", kLongDegreeItems, d.cblong1);
    s.cblong2 = ReadIndex(ini, "long2", kHundredthItems, d.cblong2);
    s.cbhpa = ReadIndex(ini, "hpa", kHpaItems, d.cbhpa);
    s.cbin = ReadIndex(ini, "inch", kInchItems, d.cbin);
    s.cbta = ReadIndex(ini, "trans", kTransitionItems, d.cbta);
    s.edicao = UpperCase(Copy(ini.ReadString("default", "icao", d.edicao), 1, 4));
    s.cbqnh = ini.ReadBool("default", "auto", false);
    s.gps = ini.ReadBool("init", "gps", false);
    s.sbs = ini.ReadBool("init", "sbs", false);
    s.sbsconfig = ini.ReadString("LastIniFile", "sbsconfig", "");
    return s;
}

bool SaveReceiverSettings(const std::string& path, const ReceiverSettings& s) {
    IniFile ini(path);
    ini.WriteInteger("default", "lat0", s.cblat0);
    ini.WriteInteger("default", "lat1", s.cblat1);
    ini.WriteInteger("default", "lat2", s.cblat2);
    ini.WriteInteger("default", "long0", s.cblong0);
    ini.WriteInteger("default", "long1", s.cblong1);
    ini.WriteInteger("default", "long2", s.cblong2);
    ini.WriteInteger("default", "hpa", s.cbhpa);
    ini.WriteInteger("default", "inch", s.cbin);
    ini.WriteInteger("default", "trans", s.cbta);
    if (!s.edicao.empty()) ini.WriteString("default", "icao", UpperCase(s.edicao));
    ini.WriteBool("default", "auto", s.cbqnh);
    ini.WriteBool("init", "sbs", s.sbs);
    ini.WriteBool("init", "gps", s.gps);
    // This window always writes the default set's name.
    ini.WriteString("LastIniFile", "sbsconfig", "aerovas");
    return ini.UpdateFile(kSettingsFileOptions);
}

std::string ReceiverSettingsPath(const std::string& stationDir) {
    return JoinPath(stationDir, kFileName);
}

std::vector<std::string> KnownReceiverSettingSets(const std::string& stationDir) {
    std::vector<std::string> names;
    std::error_code ec;
    const std::filesystem::path dir = JoinPath(stationDir, kConfigDir);
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string file = entry.path().filename().string();
        const std::size_t suffix = sizeof kSetSuffix - 1;
        if (file.size() > suffix && SameText(file.substr(file.size() - suffix), kSetSuffix)) {
            names.push_back(file.substr(0, file.size() - suffix));
        }
    }
    std::sort(names.begin(), names.end());
    names.emplace_back("aerovas");
    return names;
}

std::string ReceiverSettingsFileToLoad(const std::string& stationDir) {
    const std::string main = ReceiverSettingsPath(stationDir);
    const std::string name = IniFile(main).ReadString("LastIniFile", "sbsconfig", "");
    if (name.empty()) return main;
    const auto known = KnownReceiverSettingSets(stationDir);
    const bool isKnown = std::any_of(known.begin(), known.end(),
                                     [&](const std::string& k) { return SameText(k, name); });
    if (!isKnown || name.find('/') != std::string::npos) return main;
    const std::string set = JoinPath(stationDir, std::string(kConfigDir) + "/" + name + kSetSuffix);
    return FileExists(set) ? set : main;
}

AutoQnhResult ApplyMetarQnh(ReceiverSettings& s, std::string_view metar) {
    AutoQnhResult result;
    const auto group = FindMetarPressure(metar);
    if (!group) return result;
    if (group->unit == 'A') {
        if (group->value < 3131 - (kInchItems - 1) || group->value > 3131) return result;
        SelectInchIndex(s, 3131 - group->value);
    } else {
        if (group->value < 1060 - (kHpaItems - 1) || group->value > 1060) return result;
        SelectHpaIndex(s, 1060 - group->value);
    }
    result.found = true;
    if (metar.size() >= 16 && metar[13] == ':') result.caption = Copy(metar, 12, 5) + " UTC";
    return result;
}

}  // namespace aerova
