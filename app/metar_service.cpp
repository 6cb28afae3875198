#include "app/metar_service.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "base/strings.h"

namespace aerova {

namespace {

std::string_view KindOf(WeatherTextField field) {
    switch (field) {
        case WeatherTextField::kMetar:
            return "METAR";
        case WeatherTextField::kShortTaf:
            return "SHORTTAF";
        case WeatherTextField::kTaf:
            return "TAF";
    }
    return "METAR";
}

}  // namespace

MetarService::MetarService(ReceiverSettings& receiver, WeatherTextSource source)
    : receiver_(receiver), source_(std::move(source)), worker_(this) {
    timer_.setObjectName("Timer2");
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { TimerFired(); });
}

MetarService::~MetarService() {
    timer_.stop();
    queue_.clear();
}

void MetarService::Reload() {
    TimerFired();
}

void MetarService::AutoTicked() {
    RestartTimer(kMetarFirstRunMs);
}

void MetarService::AirportLeft(int window) {
    timer_.stop();
    std::vector<Job> jobs;
    if (window == 0) LoadWindow(0, true, jobs);
    LoadWindow(1, true, jobs);
    Queue(std::move(jobs));
    RestartTimer(std::max(1, settings.interval) * 60000);
}

void MetarService::SetAutoQnh(bool on) {
    receiver_.cbqnh = on;
    if (!on) {
        autoQnh_ = AutoQnhState{};
        if (autoQnhChanged) autoQnhChanged(autoQnh_);
        return;
    }
    std::vector<Job> jobs;
    AddAutoQnh(jobs);
    Queue(std::move(jobs));
    // The report is fetched again at every run of the cycle, also without an "Auto" window.
    if (!timer_.isActive()) RestartTimer(std::max(1, settings.interval) * 60000);
}

void MetarService::Start() {
    if (AnyAuto() || receiver_.cbqnh) RestartTimer(kMetarFirstRunMs);
}

void MetarService::Stop() {
    timer_.stop();
    queue_.clear();
}

bool MetarService::AnyAuto() const {
    if (!readWindow) return false;
    for (int w = 0; w < 2; ++w) {
        const auto window = readWindow(w);
        if (window && window->autoOn) return true;
    }
    return false;
}

void MetarService::TimerFired() {
    timer_.stop();
    std::vector<Job> jobs;
    if (readWindow) {
        for (int w = 0; w < 2; ++w) {
            const auto window = readWindow(w);
            if (window && window->autoOn) LoadWindow(w, run_ == 0, jobs);
        }
    }
    if (receiver_.cbqnh) AddAutoQnh(jobs);
    Queue(std::move(jobs));
    run_ = (run_ + 1) % kMetarRuns;
    if (shuttingDown && shuttingDown()) return;
    // A reload interval of 0 or less would fetch without pause.
    RestartTimer(std::max(1, settings.interval) * 60000);
}

void MetarService::LoadWindow(int window, bool withTaf, std::vector<Job>& jobs) {
    if (!readWindow) return;
    const auto w = readWindow(window);
    if (!w || w->code.empty()) return;
    const std::string code = UpperCase(w->code);
    jobs.push_back({window, WeatherTextField::kMetar, code});
    if (!withTaf || !w->tafOn) return;
    jobs.push_back({window, WeatherTextField::kShortTaf, code});
    jobs.push_back({window, WeatherTextField::kTaf, code});
}

void MetarService::AddAutoQnh(std::vector<Job>& jobs) {
    receiver_.edicao = UpperCase(receiver_.edicao);
    autoQnh_ = AutoQnhState{"Auto QNH", AutoQnhLook::kWaiting};
    if (autoQnhChanged) autoQnhChanged(autoQnh_);
    jobs.push_back({-1, WeatherTextField::kMetar, receiver_.edicao});
}

void MetarService::Queue(std::vector<Job> jobs) {
    if (jobs.empty()) return;
    queue_.push_back(std::move(jobs));
    StartNext();
}

void MetarService::StartNext() {
    if (worker_.busy() || queue_.empty()) return;
    std::vector<Job> jobs = std::move(queue_.front());
    queue_.erase(queue_.begin());
    // The windows show that they wait before the first request goes out.
    for (const Job& job : jobs) {
        if (job.window < 0) continue;
        const bool metar = job.field == WeatherTextField::kMetar;
        if (status) status(Concat({metar ? "Loading METAR... " : "Loading TAF... ", job.code}));
        if (setText) setText(job.window, job.field, metar ? "Loading METAR..." : "Loading TAF...");
    }
    auto results = std::make_shared<std::vector<std::string>>(jobs.size());
    const WeatherTextSource source = CurrentSource();
    const bool shortSymbols = settings.showshortwxsymbols;
    worker_.Run(
        [jobs, results, source, shortSymbols] {
            for (std::size_t i = 0; i < jobs.size(); ++i)
                (*results)[i] =
                    FetchWeatherText(source, KindOf(jobs[i].field), jobs[i].code, shortSymbols);
        },
        [this, jobs, results] {
            for (std::size_t i = 0; i < jobs.size(); ++i) Apply(jobs[i], (*results)[i]);
            StartNext();
        });
}

WeatherTextSource MetarService::CurrentSource() const {
    WeatherTextSource source = source_;
    source.server = settings.server;
    return source;
}

void MetarService::Apply(const Job& job, const std::string& text) {
    if (job.window >= 0) {
        if (setText) setText(job.window, job.field, text);
        return;
    }
    if (!receiver_.cbqnh) return;  // unticked while the report was on its way
    if (text.empty()) {
        autoQnh_ = AutoQnhState{"Auto QNH", AutoQnhLook::kFailed};
    } else {
        const AutoQnhResult r = ApplyMetarQnh(receiver_, text);
        autoQnh_ = r.found ? AutoQnhState{r.caption, AutoQnhLook::kFound}
                           : AutoQnhState{"Auto QNH", AutoQnhLook::kFailed};
    }
    if (autoQnhChanged) autoQnhChanged(autoQnh_);
}

void MetarService::RestartTimer(int ms) {
    timer_.start(ms);
}

}  // namespace aerova
