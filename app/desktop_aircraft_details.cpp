#include "app/desktop_aircraft_details.h"

#include <mutex>

#include "app/desktop_station.h"
#include "app/station_services.h"
#include "base/files.h"
#include "config/settings.h"
#include "distribution/transfer_worker.h"
#include "tools/aircraft_details_window.h"

namespace aerova {

namespace {

// The service has this long to answer; the worker is waited for at shut-down.
constexpr long kLookupTimeoutMs = 10000;

}  // namespace

DesktopAircraftDetails::DesktopAircraftDetails(DesktopStation& desk)
    : desk_(desk), worker_(std::make_unique<TransferWorker>()) {
    const std::string routesDir = JoinPath(desk_.station().stationDir(), "aerova-routes");
    routes_ = std::make_unique<RouteFiles>(routesDir);
    auto acars = std::make_shared<AcarsTable>();
    acars->Load(JoinPath(routesDir, "alphaid.txt"));
    acars_ = std::move(acars);
    service_.timeoutMs = kLookupTimeoutMs;

    AircraftDetailsHooks hooks;
    hooks.lookup = [this](const std::string& callSign, bool yesterday) {
        Lookup(callSign, yesterday);
    };
    hooks.label = [this] { Label(); };
    hooks.fileAndLabel = [this] { FileAndLabel(); };
    window_ = std::make_unique<AircraftDetailsWindow>(state_, std::move(hooks));
}

DesktopAircraftDetails::~DesktopAircraftDetails() {
    // The worker's thread ends before the state its result would go into.
    worker_.reset();
}

bool DesktopAircraftDetails::busy() const {
    return worker_->busy();
}

void DesktopAircraftDetails::ShowFlight(int slot) {
    if (slot < 0 || slot >= kMaxFlights) return;
    // The UI thread is the table's only writer: reading needs no lock.
    aerova::ShowFlight(state_, desk_.table().flights[static_cast<std::size_t>(slot)], slot);
    window_->Refresh();
    window_->show();
    window_->raise();
}

void DesktopAircraftDetails::Tick() {
    if (!window_->isVisible() || state_.slot < 0) return;
    if (RefreshFlight(state_, desk_.table())) window_->Refresh();
}

void DesktopAircraftDetails::Lookup(const std::string& callSign, bool yesterday) {
    struct Result {
        std::string route;
        TFlightStats stats;
    };
    auto result = std::make_shared<Result>();
    const FlightStatusService service = service_;
    const DayTime today = desk_.station().clock().LocalNow();
    std::shared_ptr<const AcarsTable> acars = acars_;
    const bool started = worker_->Run(
        [result, callSign, yesterday, service, today, acars] {
            result->route = LookupFlightStatus(callSign, yesterday, result->stats, service, today,
                                               acars->loaded() ? acars.get() : nullptr);
        },
        [this, result] {
            ApplyFlightStatus(state_, std::move(result->route), std::move(result->stats), *routes_);
            window_->Refresh();
        });
    if (!started) {
        TFlightStats stats;
        stats.message = "A lookup is running";
        ApplyFlightStatus(state_, "NIL", std::move(stats), *routes_);
        window_->Refresh();
    }
}

void DesktopAircraftDetails::Label() {
    std::scoped_lock lock(desk_.station().tableMutex);
    CopyRouteToFlight(state_, desk_.table(), desk_.services().ingestSettings.atcairport);
}

void DesktopAircraftDetails::FileAndLabel() {
    const DayTime today = desk_.station().clock().LocalNow();
    std::scoped_lock lock(desk_.station().tableMutex);
    StoreRouteForFlight(state_, desk_.table(), *routes_, desk_.services().ingestSettings.atcairport,
                        today);
}

void DesktopAircraftDetails::BindSettings(Settings& s) {
    s.Bind("Google", "imagesearch", state_.imagesearch);
}

}  // namespace aerova
