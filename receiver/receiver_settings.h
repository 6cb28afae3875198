#pragma once
// Receiver settings (`TForm11`, "Configuration"): home position, QNH, transition altitude,
// METAR airport and the "Raw log" / "TCAS" switches, kept in "aerovas.sbs.ini". The lists
// store their index, as the file does.

#include <string>
#include <string_view>
#include <vector>

namespace aerova {

struct ReceiverSettings {
    int cblat0 = 0;    // N, S
    int cblat1 = 52;   // degrees "00" .. "89"
    int cblat2 = 52;   // hundredths "00" .. "99"
    int cblong0 = 0;   // E, W
    int cblong1 = 1;   // degrees "000" .. "179"
    int cblong2 = 16;  // hundredths "00" .. "99"
    int cbhpa = 47;    // 1060 down to 948 hPa
    int cbin = 143;    // 3131 down to 2799 hundredths of an inch
    int cbta = 38;     // 24500 down to 3000 ft, step 500
    std::string edicao = "EGLL";
    bool cbqnh = false;     // "Auto QNH"
    bool cbrawlog = false;  // "Raw log"
    bool cbtcas = false;    // "TCAS"
    bool gps = false;       // init/gps: the position follows the GPS fix
    bool sbs = false;       // init/sbs: "Save and close" has been used
    std::string sbsconfig;  // LastIniFile/sbsconfig
};

// List sizes.
constexpr int kLatDegreeItems = 90;
constexpr int kLongDegreeItems = 180;
constexpr int kHundredthItems = 100;
constexpr int kHpaItems = 113;
constexpr int kInchItems = 333;
constexpr int kTransitionItems = 44;

// Values behind the list indexes.
int HpaOf(const ReceiverSettings& s);                 // 1060 - cbhpa
int InchOf(const ReceiverSettings& s);                // 3131 - cbin
int TransitionAltitudeOf(const ReceiverSettings& s);  // 24500 - 500 * cbta
double ReceiverLatitude(const ReceiverSettings& s);
double ReceiverLongitude(const ReceiverSettings& s);

// The hPa/inch coupling: selecting one list selects the matching entry of the other.
void SelectHpaIndex(ReceiverSettings& s, int index);
void SelectInchIndex(ReceiverSettings& s, int index);

// A position (GPS fix, screen centre) into the six position lists, to the hundredth.
void SetReceiverPosition(ReceiverSettings& s, double lat, double lon);
// The GPS handler's entry point.
inline void setsbsposition(ReceiverSettings& s, double lon, double lat) {
    SetReceiverPosition(s, lat, lon);
}

// Missing keys (and a missing file) give the defaults; out-of-range indexes too.
ReceiverSettings LoadReceiverSettings(const std::string& path);
// Writes every key, keeping whatever else the file holds. False when it cannot be written.
bool SaveReceiverSettings(const std::string& path, const ReceiverSettings& s);

// The file a station loads at window creation: "aerova-config/<name>.sbs.ini" when
// LastIniFile/sbsconfig of "aerovas.sbs.ini" names a known set whose file exists, else
// "aerovas.sbs.ini".
std::string ReceiverSettingsFileToLoad(const std::string& stationDir);
// "aerovas" and the names of the "aerova-config/*.sbs.ini" files.
std::vector<std::string> KnownReceiverSettingSets(const std::string& stationDir);
std::string ReceiverSettingsPath(const std::string& stationDir);  // always "aerovas.sbs.ini"

// QNH from a METAR text: its "Q" group (hPa), else its "A" group (hundredths of an inch),
// each only as a whole group ("AUTO" is none). The group selects its own list and the other
// follows. Returns false and changes nothing when there is no group inside the lists.
struct AutoQnhResult {
    bool found = false;
    std::string caption = "Auto QNH";  // report time + " UTC" when the METAR gives one
};
AutoQnhResult ApplyMetarQnh(ReceiverSettings& s, std::string_view metar);

}  // namespace aerova
