#include "app/station_services.h"

#include <QTimer>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "database/identify_target.h"
#include "platform/udp_drops.h"
#include "radar/colour_list.h"
#include "radar/radar_view.h"
#include "receiver/udp_intake.h"
#include "sim/traffic_simulator.h"
#include "tools/atc_console.h"

namespace aerova {

// The desktop's host when there is one; otherwise a station without windows, whose messages
// go to the error log.
class StationServices::AlertHost : public AlertManagerHost {
  public:
    explicit AlertHost(Station& station) : station_(station) {}
    AlertManagerHost* desk = nullptr;

    bool HasRadarWindows() const override { return desk && desk->HasRadarWindows(); }
    bool RadarVisible(int tag) const override { return desk && desk->RadarVisible(tag); }
    void ResizeRadar2(int width, int height) override {
        if (desk) desk->ResizeRadar2(width, height);
    }
    std::optional<std::string> CaptureJpeg(int tag) override {
        return desk ? desk->CaptureJpeg(tag) : std::nullopt;
    }
    void Message(const std::string& text, const std::string& title) override {
        if (desk)
            desk->Message(text, title);
        else
            station_.WriteErrorLog(text);
    }
    void SetIndicator(UploadIndicator indicator) override {
        if (desk) desk->SetIndicator(indicator);
    }
    void SetCaption(const std::string& caption) override {
        if (desk) desk->SetCaption(caption);
    }
    void SetProgress(const std::string& text) override {
        if (desk) desk->SetProgress(text);
    }
    void WriteErrorLog(const std::string& text) override { station_.WriteErrorLog(text); }

  private:
    Station& station_;
};

StationServices::StationServices(Station& station, FlightTable& table, const RunOptions& options)
    : station_(station),
      table_(table),
      options_(options),
      dataServer1_(table, station.tableMutex, udp_),
      dataServer2_(table, station.tableMutex, udp_),
      kml_(table, station.tableMutex),
      poller_(udp_, [this]() -> std::optional<PollView> {
          // Without radar windows the view is the receiver position seen from radar
          // window 1's starting distance.
          return PollView{ReceiverLatitude(receiverSettings), ReceiverLongitude(receiverSettings),
                          MakeRadarView(1).cameraDistance};
      }) {
    const std::string& dir = station_.stationDir();
    ingestSettings.stationdir = dir;
    networkSettings.portoffset = options_.portOffset;
    networkSettings.stationdir = dir;
    networkSettings.version = AEROVA_VERSION;

    IngestHooks hooks;
    hooks.identifyAircraft = [this](Tflight& f) {
        return IdentifyNewTarget(database_, countries_, f, station_.clock().UtcNow());
    };
    hooks.lookupRoute = [this](Tflight& f, std::string_view callsign) {
        return routes_ ? routes_->LookupRoute(callsign, f, ingestSettings.atcairport,
                                              station_.clock().LocalNow())
                       : std::string();
    };
    hooks.peerStatus = [this](const PeerStatusMessage& m, std::string_view ip, int port) {
        network_->HandlePeerStatus(m, ip, port);
    };
    hooks.chat = [this](const TChat& c, std::string_view, int) { network_->HandleChat(c); };
    hooks.networkFlight = [this](const NetworkFlightReport& r, std::string_view ip, int port) {
        network_->HandleNetworkFlightReport(r, ip, port);
    };
    hooks.serverLine = [this](const ServerLine& l, std::string_view, int) {
        network_->HandleServerLine(l);
    };
    hooks.sendUdp = [this](const std::string& host, int port, std::string_view d) {
        udp_.Send(host, port, d);
    };
    hooks.logError = [this](std::string_view line) { station_.WriteErrorLog(std::string(line)); };
    hooks.updateTarget = [this](int slot) {
        if (onTargetUpdated) onTargetUpdated(slot);
    };
    hooks.redrawRadar = [this] {
        if (onRedrawRadar) onRedrawRadar();
    };
    ingest_ = std::make_unique<ReportIngest>(table_, station_.queue, station_.clock(),
                                             ingestSettings, alerts, std::move(hooks));

    aisLists.namesPath = AisNamesPath(dir);
    AisHooks aisHooks;
    aisHooks.updateTarget = [this](int slot) {
        if (onTargetUpdated) onTargetUpdated(slot);
    };
    aisHooks.reprojectTarget = aisHooks.updateTarget;
    ais_ = std::make_unique<AisVessels>(table_, station_.clock(), aisLists, std::move(aisHooks));
    ingest_->SetAisHandler(ais_.get());

    NetworkHooks netHooks;
    netHooks.lookupRoute = [this](Tflight& f, std::string_view callsign) {
        return routes_ ? routes_->LookupRoute(callsign, f, ingestSettings.atcairport,
                                              station_.clock().LocalNow())
                       : std::string();
    };
    netHooks.countryOfAddress = [this](std::string_view modes) {
        return countries_.CountryOfAddress(modes);
    };
    netHooks.alertMatch = [this](int slot) { ingest_->AlertMatch(slot); };
    netHooks.setAlertText = [this](std::string_view text) { alerts.alerttext = std::string(text); };
    netHooks.targetAdded = [this](int slot) {
        if (onTargetUpdated) onTargetUpdated(slot);
    };
    netHooks.targetUpdated = [this](int slot) {
        if (onTargetUpdated) onTargetUpdated(slot);
    };
    network_ = std::make_unique<StationNetwork>(table_, station_.clock(), udp_, networkSettings,
                                                nullptr, std::move(netHooks));

    alertHost_ = std::make_unique<AlertHost>(station_);
    PictureJobPlace place;
    place.stationDir = dir;
    place.panorama.port = kPanoramaPort + options_.portOffset;
    place.panorama.imgDir = JoinPath(dir, "aerova-img");
    place.panorama.errorLogPath = JoinPath(dir, kErrorLogName);
    place.panorama.mailLogPath = JoinPath(dir, kMailLogName);
    pictureJob_ = std::make_unique<PictureJob>(table_, station_.tableMutex, station_.clock(),
                                               *alertHost_, published_, std::move(place));
    mail_ = std::make_unique<MailAlerts>(table_, station_.tableMutex, station_.clock(), *alertHost_,
                                         *pictureJob_, dir);

    receiverSettings = LoadReceiverSettings(ReceiverSettingsFileToLoad(dir));
    ReceiverLink::Options link;
    link.stationDir = dir;
    link.portOffset = options_.portOffset;
    link.nosrv = options_.nosrv;
    link.utcNow = [this] { return station_.clock().UtcNow(); };
    receiver_ = std::make_unique<ReceiverLink>(link, receiverSettings);
    receiver_->SetLocalListener([this](std::string_view d) { DeliverOwnReport(d); });
    // Frames from receivers on the network take the same frame text handler as UDP 7933.
    netInputs_ = std::make_unique<NetInputs>(
        [this](std::string_view text) {
            receiver_->engine().input().ComDataPacket1Packet(FrameSender::Network, text);
        },
        [this](const std::string& line) { station_.WriteErrorLog(line); });
    metar_ = std::make_unique<MetarService>(receiverSettings, WeatherTextSource{});
    metar_->shuttingDown = [this] { return station_.shutdownBegun(); };

    BindHooks();
    BindSettings();
}

void StationServices::BindSettings() {
    Settings& s = station_.settingsFile;
    s.Bind("socket", "port", feedBasePort);
    s.Bind("server", "ip", listenerBasePort);
    s.Bind("server", "remoteip", networkSettings.remoteip);
    s.Bind("mini", "serverpwd", serverOptions.serverpwd);
    s.Bind("mini", "cb7988", serverUpdatesOnly[0]);
    s.Bind("mini", "cb7989", serverUpdatesOnly[1]);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        PollSet& set = pollSettings.sets[i];
        s.Bind("mini", "url" + n, set.url);
        s.Bind("mini", "port" + n, set.port);
        s.Bind("mini", "serial" + n, set.serial);
        s.Bind("mini", "pwd" + n, set.pwd);
        s.Bind("mini", "nopos" + n, set.nopos);
        s.Bind("mini", "area" + n, set.area);
        s.Bind("mini", "compress" + n, set.compress);
        s.Bind("mini", "interval" + n, set.interval);
        s.Bind("mini", "proxy" + n, set.proxy);
        s.Bind("mini", "proxyport" + n, set.proxyport);
        s.Bind("mini", "user" + n, set.user);
        s.Bind("mini", "proxypwd" + n, set.proxypwd);
        s.Bind("mini", "set" + n, pollSettings.names[i]);
    }
    s.Bind("mini", "activeset", pollSettings.activeset);
    s.Bind("daisychain", "master", ingestSettings.cbmaster);
    s.Bind("daisychain", "slave", ingestSettings.cbslave);
    s.Bind("daisychain", "slaveip", ingestSettings.edmasterip);
    s.Bind("daisychain", "slaveport", ingestSettings.edmasterport);
    s.Bind("daisychain", "skip", ingestSettings.cbskip);
    s.Bind("daisychain", "exceptlocal", ingestSettings.cbexceptlocal);
    s.Bind("atcconsole", "ong", ingestSettings.spbONG);
    s.Bind("atcconsole", "route", ingestSettings.atcairport);
    s.Bind("database", "createxml", networkSettings.cbsavexml);
    s.Bind("database", "createsql", databaseOptions.createsql);
    s.Bind("database", "createtextlog", databaseOptions.createtextlog);
    s.Bind("sql", "regnohyphen", databaseOptions.regnohyphen);
    s.Bind("main", "chatsound", networkSettings.chatsound);
    s.Bind("metar", "interval", metar_->settings.interval);
    s.Bind("metar", "showshortwxsymbols", metar_->settings.showshortwxsymbols);
    s.Bind("metar", "server", metar_->settings.server);
    // The receiver settings window shows these two switches as well.
    s.Bind("datasource", "rawlog", receiverSettings.cbrawlog);
    s.Bind("datasource", "tcas", receiverSettings.cbtcas);
    s.Bind("netinput", "count", netInputSettings.count);
    for (int i = 0; i < kMaxNetInputs; ++i) {
        const std::string n = std::to_string(i + 1);
        s.Bind("netinput", "host" + n, netInputSettings.entries[i].host);
        s.Bind("netinput", "port" + n, netInputSettings.entries[i].port);
        s.Bind("netinput", "protocol" + n, netInputSettings.entries[i].protocol);
    }
    KmlOptions& kml = kmlOptions;
    s.Bind("google", "cockpitport", kml.cockpitport);
    s.Bind("google", "aircraftport", kml.aircraftport);
    s.Bind("google", "cockpit", kml.cockpit);
    s.Bind("google", "aircraft", kml.aircraft);
    s.Bind("google", "iconscale", kml.iconscale);
    s.Bind("google", "flightid", kml.flightid);
    s.Bind("google", "altitude", kml.altitude);
    s.Bind("google", "usealtitude", kml.usealtitude);
    s.Bind("google", "track", kml.track);
    s.Bind("google", "gs", kml.gs);
    s.Bind("google", "vrate", kml.vrate);
    s.Bind("google", "dynamickml", kml.dynamickml);
    s.Bind("google", "icaotype", kml.icaotype);
    s.Bind("google", "reg", kml.reg);
    s.Bind("google", "trails", kml.trails);
    s.Bind("google", "peers", kml.peers);
    s.Bind("google", "route", kml.route);
    // Whether the picture job ran at shut-down; its fields themselves are not stored.
    s.Bind(
        "ftp", "active", [this] { return std::string(pictureJob_->active() ? "1" : "0"); },
        [](const std::string&) {});
    station_.hooks.settingsLoaded = [this] { ApplySettings(); };
}

void StationServices::ApplySettings() {
    database_.SetOptions(databaseOptions);
    // The slave switch filters what ingest accepts and silences the announcements.
    networkSettings.cbslave = ingestSettings.cbslave;
    // With "ONG" stored down the departures on the ground are matched against the
    // blacklist from the start.
    if (ingestSettings.spbONG) LoadBlacklist(ingestSettings.blacklist, station_.stationDir());
    if (!station_.receptionStarted()) return;
    StartNetInputs();
    // A loaded set takes effect at once: the feed moves to its port, the poll to its set,
    // and the windows on "Auto" reload their weather.
    metar_->Start();
    if (feed_.serverPort() != feedPort()) OpenFeed();
    ApplyMiniSettings();
    // The KML options and colours of the loaded set; servers switched on or off, or moved
    // to other ports, restart.
    ApplyKmlOptions();
    if (!KmlServersAsSet()) StartKml();
}

std::uint16_t StationServices::feedPort() const {
    return static_cast<std::uint16_t>(feedBasePort + options_.portOffset);
}

void StationServices::OpenFeed() {
    FeedSettings feed;
    feed.port = feedPort();
    if (!feed_.Open(feed))
        PortFailure("Cannot open the feed socket on TCP port " + std::to_string(feed.port));
}

StationServices::~StationServices() {
    if (demoTimer_) demoTimer_->stop();
    dataServer1_.Stop();
    dataServer2_.Stop();
    kml_.Stop();
    if (pictureJob_) pictureJob_->Stop();
    if (metar_) metar_->Stop();
}

std::uint16_t StationServices::listenerPort() const {
    return static_cast<std::uint16_t>(listenerBasePort + options_.portOffset);
}

void StationServices::BindHooks() {
    StationHooks& h = station_.hooks;
    const std::string dir = station_.stationDir();
    // A missing SBS-1 device library leaves its entries empty, silently.
    h.bindDeviceLibrary = [this] { deviceLibrary_.Load(); };
    // The receiver has gone away (a serial write failed): close the port.
    h.receiverGone = [this](bool) { receiver_->ClosePort(); };
    h.loadCountries = [this, dir] {
        countries_.LoadCountries(JoinPath(dir, "countries.dat"));
        routes_ = std::make_unique<RouteFiles>(JoinPath(dir, "aerova-routes"));
        aisLists.logPath = AisLogPath(dir, station_.clock().UtcNow());
        aisLists.lbaisname = LoadAisNames(aisLists.namesPath);
        aisLists.namesFileLines = aisLists.lbaisname.size() * 2;  // rewritten at the first change
    };
    h.openDatabase = [this](const std::string& path) {
        return database_.OpenAircraftDatabase(path);
    };
    h.closeDatabase = [this] { database_.CloseAircraftDatabase(); };
    h.commitDatabase = [this] {
        // SQLite works without the table lock; only the ids are applied under it.
        const std::vector<EnteredAircraft> entered = database_.CommitNewAircraft();
        if (entered.empty()) return;
        std::vector<TSQLAircraft> rows(entered.size());
        for (std::size_t i = 0; i < entered.size(); ++i)
            database_.ReadAircraftRow(entered[i].modes, rows[i]);
        std::scoped_lock lock(station_.tableMutex);
        ApplyEnteredAircraft(table_, entered, rows);
    };
    h.startReceiver = [this] { StartOfReception(); };
    h.openSockets = [this] { OpenSockets(); };
    h.closeSockets = [this] { CloseSockets(); };
    h.raiseAlertMails = [this] { mail_->RaiseAlertMails(alerts.alerttext); };
    h.saveReceiverSettings = [this, dir] {
        receiver_->Stop();
        SaveReceiverSettings(ReceiverSettingsPath(dir), receiverSettings);
    };
    h.updateKickListAndAnnounce = [this](int) {
        network_->UpdateKickList();
        network_->AnnounceToPeers();
    };
    h.feedConnected = [this] { return feed_.hasClient(); };
    h.sendFeed = [this] {
        FeedContext context;
        context.databaseopen = station_.databaseOpen();
        context.session = std::to_string(station_.session());
        context.utcnow = station_.clock().UtcNow();
        feed_.SendFeed(table_, context);
    };
    h.listenerActive = [this] { return listener_ != nullptr; };
    // The drain runs inside the tick, which already holds the table lock.
    h.drainQueue = [this] {
        ingest_->DrainQueue();
        for (const std::string& d : ownReports_) ingest_->UDPRead(d, "127.0.0.1", 0, false);
        ownReports_.clear();
    };
}

void StationServices::StartOfReception() {
    OpenFeed();
    for (int n = 1; n <= 2; ++n) {
        DataServerSettings s;
        s.options = serverOptions;
        s.options.server = n;
        s.options.updatesonly = serverUpdatesOnly[static_cast<std::size_t>(n - 1)];
        s.port = (n == 1 ? kDataServer1Port : kDataServer2Port) + options_.portOffset;
        s.listenerport = listenerPort();
        if (!dataServer(n).Start(s))
            PortFailure("Cannot open the data server on TCP port " + std::to_string(s.port));
    }
    ReloadKmlTemplates();
    if (!receiver_->Start())
        PortFailure("Cannot open the receiver input on UDP port " +
                    std::to_string(kReceiverInputPort + options_.portOffset));
    StartNetInputs();
    if (options_.demo) StartDemo();
    if (options_.poll) SetPolling(true);
    StartPictureJob();
    // Auto QNH from the receiver settings and the windows on "Auto" (also headless).
    metar_->Start();
}

void StationServices::ApplyMiniSettings() {
    PollSettings poll = pollSettings;
    poll.listenerport = listenerPort();
    poller_.SetSettings(poll);
    for (int n = 1; n <= 2; ++n) {
        DataServerOptions o = serverOptions;
        o.server = n;
        o.updatesonly = serverUpdatesOnly[static_cast<std::size_t>(n - 1)];
        dataServer(n).SetOptions(o);
    }
}

void StationServices::SetPolling(bool on) {
    if (!on) {
        poller_.Stop();
        return;
    }
    ApplyMiniSettings();
    poller_.Start();
}

void StationServices::SetAlertDesk(AlertManagerHost* desk) {
    alertHost_->desk = desk;
}

void StationServices::StartPictureJob() {
    // Without radar windows there is no picture to take: the job keeps the status pages of
    // the panorama server fresh, every minute.
    if (alertHost_->desk) return;
    PictureJobSettings pages;
    pages.httpServer = true;
    pages.saveJpeg = false;
    pictureJob_->SetSettings(pages);
    if (pictureJob_->Start() != PictureJob::StartResult::kStarted)
        PortFailure("Cannot open the panorama server on TCP port " +
                    std::to_string(kPanoramaPort + options_.portOffset));
}

void StationServices::ApplyKmlOptions() {
    // The colours in force: the desktop binds them to its colour list, a headless station
    // keeps the values of its settings file.
    const auto colour = [this](const char* section, const char* key) {
        const Rgb c = RgbFromColourInt(IntOr(station_.settingsFile.Value(section, key), 0));
        return KmlRgb{c.r, c.g, c.b};
    };
    KmlStyle style;
    style.active = colour("colors", "active");
    style.inactive = colour("colors", "inactive");
    style.onground = colour("colors", "onground");
    style.vehicle = colour("colors", "vehicle");
    style.climbing = colour("usercolors", "color3");
    style.descending = colour("usercolors", "color4");
    style.iconDir = JoinPath(station_.stationDir(), "aerova-scripts");
    kml_.SetOptions(kmlOptions, style);
}

void StationServices::ReloadKmlTemplates() {
    kml_.Stop();
    std::optional<KmlTemplates> templates =
        LoadKmlTemplates(JoinPath(station_.stationDir(), "aerova-scripts"));
    if (!templates) kmlOptions.dynamickml = false;
    kml_.SetTemplates(std::move(templates));
    ApplyKmlOptions();
    StartKml();
}

namespace {

// A KML server's port from the settings, shifted by the offset; 0 when that is no port.
int KmlPort(int port, int offset) {
    const long shifted = static_cast<long>(port) + offset;
    return port > 0 && shifted > 0 && shifted <= 65535 ? static_cast<int>(shifted) : 0;
}

}  // namespace

bool StationServices::KmlServersAsSet() const {
    const int aircraft = KmlPort(kmlOptions.aircraftport, options_.portOffset);
    const int cockpit = KmlPort(kmlOptions.cockpitport, options_.portOffset);
    return kml_.aircraftRunning() == kmlOptions.aircraft &&
           kml_.cockpitRunning() == kmlOptions.cockpit &&
           (!kmlOptions.aircraft || kml_.aircraftPort() == aircraft) &&
           (!kmlOptions.cockpit || kml_.cockpitPort() == cockpit);
}

void StationServices::StartKml() {
    KmlServerSettings s;
    s.aircraftport = KmlPort(kmlOptions.aircraftport, options_.portOffset);
    s.cockpitport = KmlPort(kmlOptions.cockpitport, options_.portOffset);
    // A port setting that is no port (0 would bind any free one) counts as a failure.
    s.aircraft = kmlOptions.aircraft && s.aircraftport != 0;
    s.cockpit = kmlOptions.cockpit && s.cockpitport != 0;
    const KmlServerFailures failed = kml_.Start(s);
    if (kmlOptions.aircraft && (failed.aircraft || !s.aircraft))
        PortFailure(Concat({"Cannot open the KML aircraft server on TCP port ",
                            std::to_string(kmlOptions.aircraftport + options_.portOffset)}));
    if (kmlOptions.cockpit && (failed.cockpit || !s.cockpit))
        PortFailure(Concat({"Cannot open the KML cockpit server on TCP port ",
                            std::to_string(kmlOptions.cockpitport + options_.portOffset)}));
}

void StationServices::StartDemo() {
    // Simulated aircraft around the receiver's position enter through the same frame text
    // handler as a receiver's frames, so they take the whole receiver path.
    sim::SimOptions demo;
    demo.homelat = ReceiverLatitude(receiverSettings);
    demo.homelon = ReceiverLongitude(receiverSettings);
    demo_ = std::make_unique<sim::TrafficSimulator>(demo);
    demoTimer_ = new QTimer(this);
    demoTimer_->setInterval(200);
    connect(demoTimer_, &QTimer::timeout, this, &StationServices::FeedDemoFrames);
    demoTimer_->start();
}

void StationServices::FeedDemoFrames() {
    for (const std::string& text : demo_->FramesDue(station_.clock().UtcNow()))
        receiver_->engine().input().ComDataPacket1Packet(FrameSender::Network, text);
}

void StationServices::OpenSockets() {
    if (listener_) return;
    // Larger datagrams are cut to the bytes the listener reads.
    listener_ = new UdpIntake(
        kMaxDatagram, true,
        [this](const ReceivedDatagram& d) { OnDatagram(d.bytes, d.senderIp, d.senderPort); }, this);
    if (!listener_->Open(UdpBindAddress::kAnyIPv4, listenerPort())) {
        PortFailure("Cannot open the report listener on UDP port " +
                    std::to_string(listenerPort()));
        delete listener_;
        listener_ = nullptr;
    }
}

void StationServices::PortFailure(const std::string& text) {
    station_.WriteErrorLog(text);
    if (onPortFailure) onPortFailure(text);
}

bool StationServices::NoInputOpened() const {
    // Every report, the receiver's own too, reaches the table through the listener; the
    // receiver input takes frame texts from programs on the network.
    return !options_.nosrv && listener_ == nullptr && receiver_->udpPort() == 0;
}

std::uint64_t StationServices::UdpDrops() const {
    std::uint64_t drops = 0;
    if (listener_) drops += UdpSocketDrops(listenerPort()).value_or(0);
    if (const std::uint16_t input = receiver_->udpPort())
        drops += UdpSocketDrops(input).value_or(0);
    return drops;
}

StationServices::DropCounts StationServices::Drops() const {
    DropCounts counts;
    counts.udpKernel = UdpDrops();
    counts.receiverBuffer = receiver_->engine().input().queueFullDrops;
    return counts;
}

void StationServices::StartNetInputs() {
    std::vector<std::string> problems;
    std::vector<NetInputSource> sources = SourcesOf(netInputSettings, problems);
    for (const std::string& line : problems) station_.WriteErrorLog(line);
    sources.insert(sources.end(), options_.netInputs.begin(), options_.netInputs.end());
    netInputs_->SetSources(std::move(sources));
    netInputs_->Start();
}

void StationServices::CloseSockets() {
    netInputs_->Stop();
    metar_->Stop();
    if (listener_) {
        listener_->Close();
        listener_->deleteLater();
        listener_ = nullptr;
    }
    poller_.Stop();
    feed_.Close();
    dataServer1_.Stop();
    dataServer2_.Stop();
    kml_.Stop();
    pictureJob_->panorama().Stop();
}

void StationServices::DeliverOwnReport(std::string_view datagram) {
    // As if sent to the listener: nothing arrives while it is closed ("nosrv", shut-down).
    if (!listener_) return;
    // During a tick the reports wait for its end, all of them: a poll of 2000 changed
    // targets would overrun the tick's 1000-entry queue of network datagrams.
    if (station_.queue.queueing) {
        if (ownReports_.size() < kMaxOwnReportsPerTick) ownReports_.emplace_back(datagram);
        return;
    }
    OnDatagram(datagram, "127.0.0.1", 0);
}

void StationServices::OnDatagram(std::string_view bytes, std::string_view ip, int port) {
    // Ingest catches and logs what a datagram throws; the lock keeps the data servers'
    // threads from reading a half-applied report.
    std::scoped_lock guard(station_.tableMutex);
    ingest_->UDPRead(bytes, ip, port, false);
}

}  // namespace aerova
