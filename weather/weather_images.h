#pragma once
// The weather window's radar pictures: four web sources fetched on a fixed cadence, each on its
// own tab, three of them turned into class grids that the radar windows draw over the map.
// Everything here is plain state driven by explicit calls: the window runs the timer and the
// HTTP transfer and reports back, so the cadence, the status lines and the retry rules are
// testable without a clock, a network or a display.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/day_time.h"
#include "weather/weather_grid.h"

namespace aerova {

// Which clock a source's picture times follow.
enum class WeatherClockKind {
    kStation,  // the station clock (UtcNow)
    kLocal,    // the computer's local clock
};

// How a source's request address carries the picture time.
enum class WeatherAddressForm {
    kDatePath,    // base YYYY/MM/DD/hhmm.gif?1&LANG=de
    kShortQuery,  // base &j=YYYY&m=MM&d=DD&mi=mm&uhr=hh&bliksem=0&voor=&srt=bild
    kLongQuery,   // base ?bliksem=0&voor=&srt=&jaar=YYYY&maand=MM&dag=DD&minuut=mm&uur=hh
};

// When a source wants to run again after a good picture.
enum class WeatherCadence {
    kNextBoundary,  // at the next slot boundary of its clock
    kFixedStep,     // one slot step later
};

// Degrees; south and west negative.
struct GeoFrame {
    double north = 0, south = 0, west = 0, east = 0;
};

struct WeatherSource {
    std::string_view tab;
    std::string_view downloadBox;
    std::array<std::string_view, 2> displayBoxes;  // radar window 1, 2
    std::string_view downloadKey;                  // settings, section "wxform"
    std::array<std::string_view, 2> displayKeys;
    std::string_view addressKey;   // the base address in wxradar.ini, section "wxradar"
    std::string_view pictureFile;  // below the station directory
    WeatherClockKind clock;
    int slotMinutes;
    WeatherCadence cadence;
    int requestRetryMs;  // the wait after a failed request
    WeatherAddressForm addressForm;
    bool shortAddressBox;  // the address box shows ".." and the address from its 27th byte
    WeatherScheme scheme;
    int gridColumns, gridRows;  // 0 without a grid
    GeoFrame frame;             // the area the grid covers
    std::string_view frameKey;  // settings prefix the frame is saved under ("" when it is not)
};

constexpr int kWeatherSourceCount = 4;
constexpr int kWxRadar1 = 0, kWxRadar2 = 1, kWxRadar3 = 2, kWxRadar4 = 3;

inline constexpr std::array<WeatherSource, kWeatherSourceCount> kWeatherSources = {{
    {"WX radar 1",
     "cbwx",
     {"cbwxdisp1", "cbwxdisp2"},
     "prepceur",
     {"prepwx1", "prepwx2"},
     "2",
     "aerova-img/wxradar.gif",
     WeatherClockKind::kStation,
     15,
     WeatherCadence::kNextBoundary,
     120000,
     WeatherAddressForm::kDatePath,
     true,
     WeatherScheme::kA,
     445,
     450,
     {55.06, 47.07, 4.6, 16.2},
     "ceur"},
    {"WX radar 2",
     "cbnr1",
     {"cbdispnr11", "cbdispnr12"},
     "prepnr1",
     {"prepnr11", "prepnr12"},
     "1",
     "aerova-img/nr1radar.gif",
     WeatherClockKind::kLocal,
     5,
     WeatherCadence::kFixedStep,
     300000,
     WeatherAddressForm::kShortQuery,
     false,
     WeatherScheme::kB,
     520,
     520,
     {52.24, 50.5, 5.46, 8.5},
     "nr1"},
    {"WX radar 3",
     "cbnr11",
     {"cb11disp1", "cb11disp2"},
     "prepnr111",
     {"prepnr1111", "prepnr1112"},
     "3",
     "aerova-img/nr11radar.gif",
     WeatherClockKind::kLocal,
     5,
     WeatherCadence::kFixedStep,
     300000,
     WeatherAddressForm::kShortQuery,
     false,
     WeatherScheme::kB,
     520,
     520,
     {50.95, 49.23, 5.13, 7.87},
     ""},
    {"WX radar 4",
     "cbbe",
     {"cbbedisp1", "cbbedisp2"},
     "prepbe",
     {"prepbe1", "prepbe2"},
     "4",
     "aerova-img/beradar.gif",
     WeatherClockKind::kLocal,
     5,
     WeatherCadence::kFixedStep,
     300000,
     WeatherAddressForm::kLongQuery,
     true,
     WeatherScheme::kNone,
     0,
     0,
     {},
     ""},
}};

// The block of WX radar 1 cells that WX radar 2 covers; a radar window that shows WX radar 2
// leaves these WX radar 1 cells out.
struct GridBlock {
    int firstColumn, lastColumn, firstRow, lastRow;
};
constexpr GridBlock kWxRadar2InWxRadar1{33, 148, 164, 244};

// The area of grid cell (x, y): column x spans west + x * (east - west) / columns to the next
// column, row y spans north - (y + 1) * (north - south) / rows up to north - y * ... .
GeoFrame CellArea(const WeatherSource& source, int x, int y);

// The base addresses, keys "1" to "4" of section "wxradar" of wxradar.ini in the station
// directory, in source order. A missing file or key gives "": the source is not configured.
// The station never writes this file.
inline constexpr std::string_view kWeatherAddressFile = "wxradar.ini";
std::array<std::string, kWeatherSourceCount> ReadWeatherAddresses(const std::string& stationDir);

// The picture a download asks for: `slot` is the slot before the one running at the clock
// value, `next` the time the source is due again (the next slot boundary for kNextBoundary,
// the running slot's start for kFixedStep).
struct WeatherSlot {
    DayTime slot = 0;
    DayTime next = 0;
};
WeatherSlot SlotAt(const WeatherSource& source, DayTime clock);

// The request address of the picture of `slot`: `base` followed by the source's form, with a
// decimal year and two-digit month, day, hour and minute.
std::string RequestAddress(const WeatherSource& source, std::string_view base, DayTime slot);
// What the tab's read-only address box shows.
std::string AddressBoxText(const WeatherSource& source, std::string_view address);

// Milliseconds until a source runs again after a good picture. kNextBoundary: the whole
// milliseconds from `stationNow` to `next`, kept between 1000 and one slot step, so that a
// download that ended past the boundary, or a clock step either way, never stops the cycle or
// parks it for hours. kFixedStep: one slot step.
int NextRunMs(const WeatherSource& source, DayTime next, DayTime stationNow);

// The weather colour table: red + 256 * green + 65536 * blue each, section "colors", keys
// "blitz0" to "blitz11". Entries 0 to 5 are the lightning age colours (0-10 to 50-60 minutes
// since the strike), entries 6 to 11 the intensity classes 0 (severe) to 5 (light).
constexpr int kWeatherColourCount = 12;
constexpr int kLightningColourFirst = 0;
constexpr int kIntensityColourFirst = 6;
constexpr int kIntensityClassCount = 6;
constexpr int WeatherColour(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}
inline constexpr std::array<int, kWeatherColourCount> kDefaultWeatherColours = {
    WeatherColour(223, 28, 208), WeatherColour(149, 5, 160),  WeatherColour(138, 94, 232),
    WeatherColour(38, 52, 217),  WeatherColour(29, 11, 244),  WeatherColour(15, 7, 152),
    WeatherColour(179, 0, 0),    WeatherColour(126, 36, 149), WeatherColour(24, 34, 152),
    WeatherColour(47, 71, 240),  WeatherColour(39, 98, 156),  WeatherColour(69, 97, 86),
};
inline constexpr std::string_view kWeatherColourSection = "colors";
std::string WeatherColourKey(int entry);  // "blitz<entry>"

// The weather window's options besides the source boxes, section "wxform" (colours: above).
struct WxformOptions {
    bool cbblitz = false;  // "blitz": lightning shown, "Show new data every"
    int clbblitz = 3;      // "intervalblitz": index of 1, 2, 5, 10 minutes
    // CheckBox1 to CheckBox6 ("prepcb1" to "prepcb6"): intensity class c is drawn while
    // intensityBoxes[c] is set, for all drawn sources.
    std::array<bool, kIntensityClassCount> intensityBoxes{};
    std::array<int, kWeatherColourCount> colours = kDefaultWeatherColours;
};
std::string IntensityBoxKey(int intensityClass);  // "prepcb<class + 1>"

// Both clocks, read by the caller at the moment of a call.
struct WeatherClocks {
    DayTime utc = 0;    // the station clock, UtcNow
    DayTime local = 0;  // the local clock
};

// A download the caller is to run: GET `address` into the source's picture file.
struct WeatherFetch {
    int source = 0;
    std::string address;
};

enum class WeatherFetchStatus {
    kReceived,       // the reply is in the picture file and handed over whole
    kFileError,      // the picture file could not be created
    kRequestFailed,  // no connection, an HTTP error status, a time-out, an oversized reply
};

// The window's cycle timer `wxtimer`. An interval of 0 stops it although it is enabled.
struct WeatherTimer {
    bool enabled = false;
    int intervalMs = 5000;
    bool Runs() const { return enabled && intervalMs > 0; }
};

// The read-only address box and the two status lines of a source's tab.
struct WeatherTab {
    std::string address;
    std::string currentLine;
    std::string nextLine;
};

struct WeatherSourceBoxes {
    bool download = false;
    std::array<bool, 2> display{};  // radar window 1, 2
};

constexpr int kWeatherStartDelayMs = 5000;
constexpr int kWeatherUncheckedMs = 999999999;  // what an unchecked source adds to the minimum
constexpr int kWeatherRetryMs = 300000;

// The download cycle of the weather window (wxtimerTimer and the four source downloads).
// One download runs at a time, in source order; the timer is disabled while a cycle runs and
// re-armed at its end with the smallest wait any checked source asked for. A source whose
// download box is checked but whose base address is empty asks for 0, which stops the timer
// until a box handler arms it again.
//
// The caller: binds `timer()` to its timer after every call; when it fires, calls
// TimerFired(); runs every WeatherFetch it gets (creating the picture file, GET into it) and
// reports with FetchEnded(), which may hand out the next download of the same cycle.
class WeatherCycle {
  public:
    explicit WeatherCycle(std::array<std::string, kWeatherSourceCount> baseAddresses);

    // The box handlers (cbwxClick, cbnr1Click, cbnr11Click, cbbeClick). They act on a change
    // only, whether by the user or by the settings being applied: when reception is running,
    // the timer is armed to start a cycle kWeatherStartDelayMs later. WX radar 1's display
    // boxes share its handler; the other display boxes only record their state. A change
    // while a cycle runs is kept and shortens the wait the cycle ends with.
    void SetDownloadBox(int source, bool checked, bool receptionRunning);
    void SetDisplayBox(int source, int radarWindow, bool checked, bool receptionRunning);

    // Reception has started: download boxes that the settings checked before it (after a
    // restart) arm the timer as a change of a box would.
    void ReceptionStarted();

    // wxtimerTimer. Nothing when no download box is checked (the timer stays as it is) or
    // when a cycle is already running (a second cycle never starts inside the first).
    std::optional<WeatherFetch> TimerFired(const WeatherClocks& now);
    // The download handed out last has ended; `reply` is the received picture (kReceived).
    // Gives the next download of the cycle, or nothing when the cycle has ended.
    std::optional<WeatherFetch> FetchEnded(WeatherFetchStatus status, std::string_view reply,
                                           const WeatherClocks& now);

    const WeatherTimer& timer() const { return timer_; }
    bool running() const { return running_; }
    const WeatherTab& tab(int source) const;
    const WeatherSourceBoxes& boxes(int source) const;
    // Set after a good picture, cleared while the source downloads, restored after a failure.
    bool layerReady(int source) const;
    // The class grid of WX radar 1 to 3 (nullptr for WX radar 4 or a bad index).
    const WeatherGrid* grid(int source) const;
    // The last good picture, shown on the source's tab (nullptr before the first).
    const WeatherPicture* picture(int source) const;
    // Whether radar window `radarWindow` (0 or 1) draws the source's grid now.
    bool DrawsLayer(int source, int radarWindow) const;

  private:
    struct SourceState {
        std::string base;
        WeatherSourceBoxes boxes;
        WeatherTab tab;
        bool layerReady = false;
        bool readyBefore = false;  // the flag before the running download cleared it
        std::optional<WeatherGrid> grid;
        std::optional<WeatherPicture> picture;
        WeatherSlot slot;  // of the running download
    };

    static bool Valid(int source) { return source >= 0 && source < kWeatherSourceCount; }
    void BoxChanged(bool receptionRunning);
    std::optional<WeatherFetch> StartFrom(int source, const WeatherClocks& now);
    WeatherFetch Begin(int source, const WeatherClocks& now);
    int Succeed(int source, WeatherPicture&& picture, const WeatherClocks& now);
    int Fail(int source, std::string_view message, int waitMs, const WeatherClocks& now);
    void EndCycle();

    std::array<SourceState, kWeatherSourceCount> sources_;
    std::array<int, kWeatherSourceCount> waits_{};  // each source's wait in the running cycle
    WeatherTimer timer_;
    bool running_ = false;
    int current_ = -1;  // the source whose download runs
    bool restartAsked_ = false;
};

}  // namespace aerova
