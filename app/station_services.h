#pragma once
// The station's subsystems put together: report ingest with the AIS vessels, the aircraft
// database and route files, the receiver link, the BaseStation-format feed, the data
// servers, the KML servers and the station network. Both the headless and the desktop
// program use it; it fills the Station's hooks and owns the report listener socket.

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/metar_service.h"
#include "app/run_options.h"
#include "database/countries.h"
#include "database/routes.h"
#include "database/sqldb.h"
#include "distribution/data_poller.h"
#include "distribution/data_server.h"
#include "distribution/feed_server.h"
#include "distribution/kml_server.h"
#include "distribution/mail_alerts.h"
#include "distribution/picture_job.h"
#include "distribution/published_files.h"
#include "distribution/station_network.h"
#include "platform/udp_sender.h"
#include "receiver/net_input.h"
#include "receiver/receiver_link.h"
#include "receiver/receiver_settings.h"
#include "receiver/sbs_device_library.h"
#include "station/ais.h"
#include "station/report_ingest.h"
#include "station/station.h"

class QTimer;

namespace aerova {

namespace sim {
class TrafficSimulator;
}
class UdpIntake;

constexpr int kDataServer1Port = 7988;
constexpr int kDataServer2Port = 7989;
constexpr int kFeedPort = 30014;

class StationServices : public QObject {
  public:
    StationServices(Station& station, FlightTable& table, const RunOptions& options);
    ~StationServices() override;

    // Report listener events: one datagram with its sender.
    void OnDatagram(std::string_view bytes, std::string_view ip, int port);

    ReportIngest& ingest() { return *ingest_; }
    ReceiverLink& receiver() { return *receiver_; }
    // Receivers on the network (settings section "netinput" and `--net-input`).
    NetInputs& netInputs() { return *netInputs_; }
    FeedServer& feed() { return feed_; }
    StationNetwork& network() { return *network_; }
    AircraftDatabase& database() { return database_; }
    DataServer& dataServer(int n) { return n == 1 ? dataServer1_ : dataServer2_; }
    KmlServer& kml() { return kml_; }
    DataPoller& poller() { return poller_; }
    PictureJob& pictureJob() { return *pictureJob_; }
    MailAlerts& mail() { return *mail_; }
    // The weather texts of the radar windows and Auto QNH (metar/...).
    MetarService& metar() { return *metar_; }
    PublishedFiles& publishedFiles() { return published_; }
    // The desktop's radar windows, indicator and dialogs for the picture job and the mail
    // sessions; without it (headless) the job only writes the status pages that the
    // panorama server serves, and messages go to the error log.
    void SetAlertDesk(AlertManagerHost* desk);
    // The MiniView fields changed: the polling client and both data servers take them.
    void ApplyMiniSettings();
    // The polling client on or off (MiniView's start/stop, `--poll`).
    void SetPolling(bool on);
    std::uint16_t listenerPort() const;
    std::uint16_t feedPort() const;
    bool listening() const { return listener_ != nullptr; }

    // The radar windows, where there are any: a target changed (symbol orientation,
    // distance, bearing and label position), and a redraw for a new receiver status.
    std::function<void(int slot)> onTargetUpdated;
    // A port that could not be opened (also written to the error log).
    std::function<void(const std::string& text)> onPortFailure;
    // Neither the report listener nor the receiver input could be opened (with the sockets
    // meant to be open): the station receives nothing.
    bool NoInputOpened() const;
    // Datagrams the kernel dropped at the report listener and the receiver input because
    // their socket buffers were full.
    std::uint64_t UdpDrops() const;
    // What the station lost because its receiver ran faster than it reads: datagrams the
    // kernel dropped at the station's UDP sockets, and good frames dropped because the
    // receiver queue was full when they came.
    struct DropCounts {
        std::uint64_t udpKernel = 0;
        std::uint64_t receiverBuffer = 0;
    };
    DropCounts Drops() const;
    std::function<void()> onRedrawRadar;

    IngestSettings ingestSettings;
    AlertListState alerts;
    AisLists aisLists;
    ReceiverSettings receiverSettings;
    NetworkSettings networkSettings;
    NetInputSettings netInputSettings;  // netinput/...
    // Bound to the settings file; applied when reception starts and after every load.
    int feedBasePort = kFeedPort;                       // socket/port
    int listenerBasePort = kReportListenerPort;         // server/ip
    PollSettings pollSettings;                          // mini
    DataServerOptions serverOptions;                    // mini/serverpwd
    std::array<bool, 2> serverUpdatesOnly{true, true};  // mini/cb7988, mini/cb7989
    TSQLOptions databaseOptions;                        // database/createsql ...
    KmlOptions kmlOptions;                              // google/...

    // The label editor's "Reload" (and the start of reception): stops both KML servers,
    // loads the template files of aerova-scripts (a missing one turns template mode off)
    // and starts the servers `kmlOptions` switches on.
    void ReloadKmlTemplates();
    // `kmlOptions` or the target colours changed: the KML servers use them from their next
    // request.
    void ApplyKmlOptions();

  private:
    void BindHooks();
    void BindSettings();
    void ApplySettings();
    void OpenFeed();
    void StartKml();
    bool KmlServersAsSet() const;
    void StartOfReception();
    void OpenSockets();
    void CloseSockets();
    void StartNetInputs();
    void DeliverOwnReport(std::string_view datagram);
    void PortFailure(const std::string& text);
    void StartDemo();
    void FeedDemoFrames();

    class AlertHost;
    void StartPictureJob();

    Station& station_;
    FlightTable& table_;
    RunOptions options_;
    CountryTable countries_;
    AircraftDatabase database_;
    std::unique_ptr<RouteFiles> routes_;
    UdpDatagramSender udp_;
    std::unique_ptr<ReportIngest> ingest_;
    std::unique_ptr<AisVessels> ais_;
    std::unique_ptr<ReceiverLink> receiver_;
    std::unique_ptr<NetInputs> netInputs_;  // feeds receiver_: destroyed before it
    SbsDeviceLibrary deviceLibrary_;
    FeedServer feed_;
    DataServer dataServer1_, dataServer2_;
    KmlServer kml_;
    DataPoller poller_;
    std::unique_ptr<StationNetwork> network_;
    PublishedFiles published_;
    std::unique_ptr<AlertHost> alertHost_;
    std::unique_ptr<PictureJob> pictureJob_;
    std::unique_ptr<MailAlerts> mail_;
    std::unique_ptr<MetarService> metar_;
    UdpIntake* listener_ = nullptr;
    // The receiver's own reports that arrived during a tick (a few polls' worth at most).
    static constexpr std::size_t kMaxOwnReportsPerTick = 20000;
    std::vector<std::string> ownReports_;
    std::unique_ptr<sim::TrafficSimulator> demo_;
    QTimer* demoTimer_ = nullptr;
};

}  // namespace aerova
