#pragma once
// The desktop's side of the Aircraft Details window: the flight-status lookup on a worker
// thread with a time-out (the UI thread never waits on the service), the route copied to
// the flight or also stored in the route files, and the image-search pattern of the
// settings (`Google`/`imagesearch`).

#include <QObject>
#include <memory>
#include <string>

#include "database/flight_status.h"
#include "tools/aircraft_details.h"

namespace aerova {

class AircraftDetailsWindow;
class DesktopStation;
class Settings;
class TransferWorker;

class DesktopAircraftDetails : public QObject {
  public:
    explicit DesktopAircraftDetails(DesktopStation& desk);
    ~DesktopAircraftDetails() override;

    AircraftDetailsWindow& window() { return *window_; }
    AircraftDetailsState& state() { return state_; }
    // The flight-status service: its address (none built in) and the lookup's time-out.
    FlightStatusService& service() { return service_; }

    // Shows the window with the flight in `slot` (a live target).
    void ShowFlight(int slot);
    // The main cycle's tick: the fields follow the flight while the window shows.
    void Tick();
    void BindSettings(Settings& s);
    // A lookup runs.
    bool busy() const;

  private:
    void Lookup(const std::string& callSign, bool yesterday);
    void Label();
    void FileAndLabel();

    DesktopStation& desk_;
    AircraftDetailsState state_;
    FlightStatusService service_;
    std::unique_ptr<RouteFiles> routes_;
    std::shared_ptr<const AcarsTable> acars_;
    std::unique_ptr<TransferWorker> worker_;
    std::unique_ptr<AircraftDetailsWindow> window_;
};

}  // namespace aerova
