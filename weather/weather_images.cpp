#include "weather/weather_images.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/strings.h"

namespace aerova {
namespace {

constexpr std::int64_t kMsPerDayInt = 86400000;
constexpr int kMinNextRunMs = 1000;
constexpr DayTime kRetryDelay = 5.0 / 1440.0;  // the retry time shown after an error

std::string TwoDigits(int n) {
    std::string text = std::to_string(n);
    return text.size() < 2 ? Concat({"0", text}) : text;
}

std::string TimeText(DayTime t) {
    return FormatDateTime(kLongTimeFormat, t);
}

// The clock value split into its day and the millisecond of that day. Rounding to whole
// milliseconds first keeps a clock that stands exactly on a slot boundary in the slot that
// starts there, where the product of a day fraction and the slot count may fall a hair short.
void SplitDay(DayTime clock, std::int64_t& day, std::int64_t& msOfDay) {
    const double whole = std::floor(clock);
    day = static_cast<std::int64_t>(whole);
    msOfDay = std::llround((clock - whole) * kMsPerDay);
    if (msOfDay >= kMsPerDayInt) {
        ++day;
        msOfDay -= kMsPerDayInt;
    }
}

std::int64_t SlotMs(const WeatherSource& source) {
    return std::int64_t{source.slotMinutes} * 60000;
}

}  // namespace

GeoFrame CellArea(const WeatherSource& source, int x, int y) {
    const GeoFrame& f = source.frame;
    if (source.gridColumns <= 0 || source.gridRows <= 0) return {};
    const double columnWidth = (f.east - f.west) / source.gridColumns;
    const double rowHeight = (f.north - f.south) / source.gridRows;
    return {f.north - y * rowHeight, f.north - (y + 1) * rowHeight, f.west + x * columnWidth,
            f.west + (x + 1) * columnWidth};
}

std::array<std::string, kWeatherSourceCount> ReadWeatherAddresses(const std::string& stationDir) {
    const IniFile file(JoinPath(stationDir, kWeatherAddressFile));
    std::array<std::string, kWeatherSourceCount> addresses;
    for (int i = 0; i < kWeatherSourceCount; ++i)
        addresses[i] = file.ReadString("wxradar", kWeatherSources[i].addressKey, "");
    return addresses;
}

WeatherSlot SlotAt(const WeatherSource& source, DayTime clock) {
    std::int64_t day = 0, ms = 0;
    SplitDay(clock, day, ms);
    const std::int64_t step = SlotMs(source);
    // The picture of the slot now running is not published yet: ask for the one before.
    const std::int64_t slotMs = ms / step * step - step;
    const int nextSteps = source.cadence == WeatherCadence::kNextBoundary ? 2 : 1;
    const DayTime slot = static_cast<double>(day) + static_cast<double>(slotMs) / kMsPerDay;
    return {slot, slot + static_cast<double>(nextSteps * step) / kMsPerDay};
}

std::string RequestAddress(const WeatherSource& source, std::string_view base, DayTime slot) {
    DateParts d;
    TimeParts t;
    DecodeDateTime(slot, d, t);
    const std::string year = std::to_string(d.year);
    const std::string month = TwoDigits(d.month);
    const std::string day = TwoDigits(d.day);
    const std::string hour = TwoDigits(t.hour);
    const std::string minute = TwoDigits(t.minute);
    switch (source.addressForm) {
        case WeatherAddressForm::kDatePath:
            return Concat({base, year, "/", month, "/", day, "/", hour, minute, ".gif?1&LANG=de"});
        case WeatherAddressForm::kShortQuery:
            return Concat({base, "&j=", year, "&m=", month, "&d=", day, "&mi=", minute,
                           "&uhr=", hour, "&bliksem=0&voor=&srt=bild"});
        case WeatherAddressForm::kLongQuery:
            return Concat({base, "?bliksem=0&voor=&srt=&jaar=", year, "&maand=", month,
                           "&dag=", day, "&minuut=", minute, "&uur=", hour});
    }
    return std::string(base);
}

std::string AddressBoxText(const WeatherSource& source, std::string_view address) {
    if (source.shortAddressBox && address.size() > 26)
        return Concat({"..", Copy(address, 27, 255)});
    return std::string(address);
}

int NextRunMs(const WeatherSource& source, DayTime next, DayTime stationNow) {
    const std::int64_t step = SlotMs(source);
    if (source.cadence == WeatherCadence::kFixedStep) return static_cast<int>(step);
    if (!std::isfinite(next) || !std::isfinite(stationNow)) return static_cast<int>(step);
    // Both times as whole milliseconds first: the difference of two day numbers near 45000
    // carries rounding noise that would cut 480000 ms to 479999.
    const std::int64_t ms = std::llround(next * kMsPerDay) - std::llround(stationNow * kMsPerDay);
    return static_cast<int>(std::clamp<std::int64_t>(ms, kMinNextRunMs, step));
}

std::string WeatherColourKey(int entry) {
    return Concat({"blitz", std::to_string(entry)});
}

std::string IntensityBoxKey(int intensityClass) {
    return Concat({"prepcb", std::to_string(intensityClass + 1)});
}

WeatherCycle::WeatherCycle(std::array<std::string, kWeatherSourceCount> baseAddresses) {
    for (int i = 0; i < kWeatherSourceCount; ++i) {
        SourceState& s = sources_[i];
        s.base = std::move(baseAddresses[i]);
        const WeatherSource& source = kWeatherSources[i];
        if (source.scheme != WeatherScheme::kNone)
            s.grid.emplace(source.gridColumns, source.gridRows);
    }
}

void WeatherCycle::SetDownloadBox(int source, bool checked, bool receptionRunning) {
    if (!Valid(source) || sources_[source].boxes.download == checked) return;
    sources_[source].boxes.download = checked;
    BoxChanged(receptionRunning);
}

void WeatherCycle::SetDisplayBox(int source, int radarWindow, bool checked, bool receptionRunning) {
    if (!Valid(source) || radarWindow < 0 || radarWindow > 1) return;
    bool& box = sources_[source].boxes.display[radarWindow];
    if (box == checked) return;
    box = checked;
    if (source == kWxRadar1) BoxChanged(receptionRunning);
}

void WeatherCycle::BoxChanged(bool receptionRunning) {
    if (!receptionRunning) return;
    if (running_) {
        restartAsked_ = true;
        return;
    }
    timer_ = {true, kWeatherStartDelayMs};
}

void WeatherCycle::ReceptionStarted() {
    const bool anyChecked = std::any_of(sources_.begin(), sources_.end(),
                                        [](const SourceState& s) { return s.boxes.download; });
    if (anyChecked) BoxChanged(true);
}

std::optional<WeatherFetch> WeatherCycle::TimerFired(const WeatherClocks& now) {
    if (running_) return std::nullopt;
    const bool anyChecked = std::any_of(sources_.begin(), sources_.end(),
                                        [](const SourceState& s) { return s.boxes.download; });
    if (!anyChecked) return std::nullopt;
    timer_.enabled = false;
    running_ = true;
    restartAsked_ = false;
    waits_.fill(kWeatherUncheckedMs);
    return StartFrom(0, now);
}

std::optional<WeatherFetch> WeatherCycle::FetchEnded(WeatherFetchStatus status,
                                                     std::string_view reply,
                                                     const WeatherClocks& now) {
    if (!running_ || !Valid(current_)) return std::nullopt;
    const int source = current_;
    const WeatherSource& info = kWeatherSources[source];
    int wait = kWeatherRetryMs;
    switch (status) {
        case WeatherFetchStatus::kFileError:
            wait = Fail(source, "File error (001): retry at ", kWeatherRetryMs, now);
            break;
        case WeatherFetchStatus::kRequestFailed:
            wait = Fail(source, "Download error (002): retry at ", info.requestRetryMs, now);
            break;
        case WeatherFetchStatus::kReceived: {
            WeatherGifResult decoded = DecodeWeatherGif(reply);
            wait = decoded.picture
                       ? Succeed(source, std::move(*decoded.picture), now)
                       : Fail(source, "Format error (003): retry at ", kWeatherRetryMs, now);
            break;
        }
    }
    waits_[source] = wait;
    return StartFrom(source + 1, now);
}

std::optional<WeatherFetch> WeatherCycle::StartFrom(int source, const WeatherClocks& now) {
    for (int i = source; i < kWeatherSourceCount; ++i) {
        if (!sources_[i].boxes.download) {
            waits_[i] = kWeatherUncheckedMs;
        } else if (sources_[i].base.empty()) {
            waits_[i] = 0;  // not configured: not an error, but it stops the timer
        } else {
            return Begin(i, now);
        }
    }
    EndCycle();
    return std::nullopt;
}

WeatherFetch WeatherCycle::Begin(int source, const WeatherClocks& now) {
    const WeatherSource& info = kWeatherSources[source];
    SourceState& s = sources_[source];
    // A redraw while the picture arrives must not draw a grid that is half old, half new.
    s.readyBefore = s.layerReady;
    s.layerReady = false;
    s.tab.nextLine.clear();
    s.tab.currentLine = "Downloading...";
    s.slot = SlotAt(info, info.clock == WeatherClockKind::kStation ? now.utc : now.local);
    WeatherFetch fetch{source, RequestAddress(info, s.base, s.slot.slot)};
    s.tab.address = AddressBoxText(info, fetch.address);
    current_ = source;
    return fetch;
}

int WeatherCycle::Succeed(int source, WeatherPicture&& picture, const WeatherClocks& now) {
    const WeatherSource& info = kWeatherSources[source];
    SourceState& s = sources_[source];
    if (s.grid) s.grid->Write(picture, info.scheme);
    s.picture = std::move(picture);
    s.layerReady = true;
    s.tab.nextLine = Concat({"Next download: ", TimeText(s.slot.next), " UTC"});
    s.tab.currentLine = Concat({"Current download: ", TimeText(s.slot.slot), " UTC"});
    return NextRunMs(info, s.slot.next, now.utc);
}

int WeatherCycle::Fail(int source, std::string_view message, int waitMs, const WeatherClocks& now) {
    SourceState& s = sources_[source];
    s.layerReady = s.readyBefore;
    s.tab.currentLine = "Current download: void";
    s.tab.nextLine = Concat({message, TimeText(now.utc + kRetryDelay)});
    return waitMs;
}

void WeatherCycle::EndCycle() {
    int interval = *std::min_element(waits_.begin(), waits_.end());
    if (restartAsked_ && interval > kWeatherStartDelayMs) interval = kWeatherStartDelayMs;
    timer_ = {true, interval};
    running_ = false;
    current_ = -1;
    restartAsked_ = false;
}

const WeatherTab& WeatherCycle::tab(int source) const {
    return sources_[Valid(source) ? source : 0].tab;
}

const WeatherSourceBoxes& WeatherCycle::boxes(int source) const {
    return sources_[Valid(source) ? source : 0].boxes;
}

bool WeatherCycle::layerReady(int source) const {
    return Valid(source) && sources_[source].layerReady;
}

const WeatherGrid* WeatherCycle::grid(int source) const {
    if (!Valid(source) || !sources_[source].grid) return nullptr;
    return &*sources_[source].grid;
}

const WeatherPicture* WeatherCycle::picture(int source) const {
    if (!Valid(source) || !sources_[source].picture) return nullptr;
    return &*sources_[source].picture;
}

bool WeatherCycle::DrawsLayer(int source, int radarWindow) const {
    if (!Valid(source) || radarWindow < 0 || radarWindow > 1) return false;
    const SourceState& s = sources_[source];
    return s.grid && s.layerReady && s.boxes.download && s.boxes.display[radarWindow];
}

}  // namespace aerova
