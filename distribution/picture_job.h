#pragma once
// The alert manager's picture job ("Window#2 image upload/archive"): at its interval it
// captures radar window 2 (and window 1 for the panorama server) as JPEG pictures, writes the
// flight and peer status pages, keeps an archive of pictures and uploads the picture by FTP.
// The capture and the pages run on the UI thread; the upload runs on a worker with time-outs,
// and a run that finds the last upload still going is skipped.

#include <QObject>
#include <QTimer>
#include <array>
#include <mutex>
#include <optional>
#include <string>

#include "core/flight_table.h"
#include "distribution/alert_manager_host.h"
#include "distribution/ftp_upload.h"
#include "distribution/panorama_server.h"
#include "distribution/published_files.h"
#include "distribution/transfer_worker.h"
#include "platform/clock.h"

namespace aerova {

// The choices of the window: minutes between runs and the size of radar window 2.
constexpr std::array<int, 6> kPictureIntervals{1, 2, 5, 10, 30, 60};
struct PictureSize {
    int width = 0, height = 0;  // 0: the window's current size
    const char* name = "";
};
constexpr std::array<PictureSize, 5> kPictureSizes{{{640, 480, "640x480"},
                                                    {800, 600, "800x600"},
                                                    {1024, 768, "1024x768"},
                                                    {1280, 960, "1280x960"},
                                                    {0, 0, "current"}}};

// The job's settings: fields of the alert manager window, not stored.
struct PictureJobSettings {
    FtpUploadSettings ftp;
    int interval = 0;  // index into kPictureIntervals
    int size = 0;      // index into kPictureSizes
    bool ftpUpload = false;
    bool fileArchive = false;
    bool httpServer = false;
    bool saveJpeg = true;
};

struct PictureJobPlace {
    std::string stationDir;
    PanoramaServerSettings panorama;  // port already shifted by the offset
    int firstRunDelayMs = 3000;
};

class PictureJob : public QObject {
  public:
    enum class StartResult { kStarted, kWindowHidden, kFtpIncomplete, kPanoramaFailed };

    PictureJob(FlightTable& table, std::mutex& tableMutex, const StationClock& clock,
               AlertManagerHost& host, PublishedFiles& files, PictureJobPlace place,
               QObject* parent = nullptr);
    ~PictureJob() override;

    // The window's fields; a running job uses them from its next run.
    void SetSettings(const PictureJobSettings& settings);
    const PictureJobSettings& settings() const { return settings_; }

    // "Start" with its checks and messages; kWindowHidden also switches "FTP upload" off.
    StartResult Start();
    // "Stop": the job and the panorama server end; the indicator returns to normal.
    void Stop();
    bool active() const { return active_; }
    // One run now (the timer's tick); false when skipped because the last upload still runs.
    bool Run();

    // A mail session holds the job's timer while it runs.
    void Suspend();
    void Resume();

    // A picture taken now for a mail ("~temp.jpg" written and copied to "~~temp.jpg"); its
    // path, or nothing (and no stale copy left) when "Save JPEG" is off or window 2 hidden.
    std::optional<std::string> CapturePictureForMail();

    PanoramaServer& panorama() { return panorama_; }
    bool uploading() const { return worker_.busy(); }
    int runs() const { return runs_; }
    int skipped() const { return skipped_; }
    const std::string& lastUploadText() const { return lastUploadText_; }

    std::string imgPath(const char* name) const;
    // "yyyymmdd-hhnnss" + "UTC.jpg" by the station clock.
    static std::string ArchiveName(DayTime utc);

  private:
    void WritePages();
    void Upload();

    FlightTable& table_;
    std::mutex& tableMutex_;
    const StationClock& clock_;
    AlertManagerHost& host_;
    PublishedFiles& files_;
    PictureJobPlace place_;
    PictureJobSettings settings_;
    PanoramaServer panorama_;
    TransferWorker worker_;
    QTimer timer_;
    bool active_ = false;
    bool suspended_ = false;
    int runs_ = 0;
    int skipped_ = 0;
    std::string lastUploadText_;
};

}  // namespace aerova
