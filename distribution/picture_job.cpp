#include "distribution/picture_job.h"

#include <algorithm>
#include <memory>

#include "base/day_time.h"
#include "base/files.h"
#include "base/strings.h"
#include "distribution/status_pages.h"

namespace aerova {

namespace {

constexpr const char* kTitle = "Aerova";
constexpr const char* kMailPicture = "~~temp.jpg";

std::string PageTime(const StationClock& clock) {
    return FormatDateTime(Concat({kShortDateFormat, " ", kLongTimeFormat}), clock.UtcNow());
}

}  // namespace

PictureJob::PictureJob(FlightTable& table, std::mutex& tableMutex, const StationClock& clock,
                       AlertManagerHost& host, PublishedFiles& files, PictureJobPlace place,
                       QObject* parent)
    : QObject(parent),
      table_(table),
      tableMutex_(tableMutex),
      clock_(clock),
      host_(host),
      files_(files),
      place_(std::move(place)),
      panorama_(files) {
    timer_.setSingleShot(false);
    connect(&timer_, &QTimer::timeout, this, [this] { Run(); });
}

PictureJob::~PictureJob() {
    panorama_.Stop();
}

std::string PictureJob::imgPath(const char* name) const {
    return JoinPath(JoinPath(place_.stationDir, "aerova-img"), name);
}

std::string PictureJob::ArchiveName(DayTime utc) {
    return FormatDateTime("yyyymmdd-hhnnss", utc) + "UTC.jpg";
}

void PictureJob::SetSettings(const PictureJobSettings& settings) {
    settings_ = settings;
    settings_.interval = std::clamp(settings_.interval, 0, int(kPictureIntervals.size()) - 1);
    settings_.size = std::clamp(settings_.size, 0, int(kPictureSizes.size()) - 1);
    panorama_.SetSaveJpeg(settings_.saveJpeg && host_.HasRadarWindows());
}

PictureJob::StartResult PictureJob::Start() {
    const bool windows = host_.HasRadarWindows();
    if (windows && settings_.saveJpeg && !host_.RadarVisible(2)) {
        host_.Message("Window #2 must be visible", kTitle);
        settings_.ftpUpload = false;
        return StartResult::kWindowHidden;
    }
    if (settings_.ftpUpload && (settings_.ftp.host.empty() || settings_.ftp.password.empty() ||
                                settings_.ftp.remoteFile.empty())) {
        host_.Message("FTP client/server data incomplete", kTitle);
        return StartResult::kFtpIncomplete;
    }
    const PictureSize& size = kPictureSizes[static_cast<std::size_t>(settings_.size)];
    if (windows && size.width > 0) host_.ResizeRadar2(size.width, size.height);
    if (settings_.httpServer) {
        panorama_.SetSaveJpeg(settings_.saveJpeg && windows);
        if (!panorama_.running() && !panorama_.Start(place_.panorama)) {
            host_.WriteErrorLog("Cannot open the panorama server on TCP port " +
                                std::to_string(place_.panorama.port));
            return StartResult::kPanoramaFailed;
        }
    }
    active_ = true;
    host_.SetIndicator(UploadIndicator::kYellow);
    timer_.start(place_.firstRunDelayMs);
    return StartResult::kStarted;
}

void PictureJob::Stop() {
    timer_.stop();
    active_ = false;
    suspended_ = false;
    panorama_.Stop();
    host_.SetIndicator(UploadIndicator::kNormal);
}

void PictureJob::Suspend() {
    if (!timer_.isActive()) return;
    timer_.stop();
    suspended_ = true;
}

void PictureJob::Resume() {
    if (!suspended_) return;
    suspended_ = false;
    if (active_) timer_.start();
}

bool PictureJob::Run() {
    if (worker_.busy()) {
        ++skipped_;
        return false;
    }
    ++runs_;
    timer_.setInterval(kPictureIntervals[static_cast<std::size_t>(settings_.interval)] * 60000);
    const PictureJobSettings s = settings_;
    if (!s.ftpUpload && !s.fileArchive && !s.httpServer) {
        host_.SetIndicator(UploadIndicator::kGrey);
        return true;
    }
    const bool windows = host_.HasRadarWindows();
    if (windows && !host_.RadarVisible(2)) return true;

    std::optional<std::string> picture;
    if (windows && s.saveJpeg) {
        picture = host_.CaptureJpeg(2);
        if (s.httpServer && host_.RadarVisible(1)) {
            if (const auto first = host_.CaptureJpeg(1))
                files_.Write(imgPath(kRadar1Picture), *first);
        }
    }
    host_.SetIndicator(UploadIndicator::kYellow);
    if (s.httpServer) WritePages();
    if (!windows || !s.saveJpeg) {
        host_.SetIndicator(UploadIndicator::kGreen);
        return true;
    }
    if (!picture) {
        host_.WriteErrorLog("Cannot capture radar window #2");
        host_.SetIndicator(UploadIndicator::kRed);
        return true;
    }
    bool failed = false;
    if ((s.ftpUpload || s.httpServer) && !files_.Write(imgPath(kRadar2Picture), *picture)) {
        host_.WriteErrorLog(Concat({"Cannot write ", imgPath(kRadar2Picture)}));
        failed = true;
    }
    if (s.fileArchive) {
        const std::string archive = imgPath(ArchiveName(clock_.UtcNow()).c_str());
        if (!WriteFileReplacing(archive, *picture)) {
            host_.WriteErrorLog(Concat({"Cannot write ", archive}));
            failed = true;
        }
    }
    if (s.ftpUpload && !failed) {
        Upload();
        return true;
    }
    host_.SetIndicator(failed ? UploadIndicator::kRed : UploadIndicator::kGreen);
    return true;
}

void PictureJob::WritePages() {
    const std::string time = PageTime(clock_);
    std::string flights, peers;
    {
        std::scoped_lock guard(tableMutex_);
        flights = FlightStatusPage(table_, time);
        peers = PeerStatusPage(table_, time);
    }
    // A page that cannot be written leaves the previous one served.
    if (!files_.Write(imgPath(kFlightPage), flights))
        host_.WriteErrorLog("Exception on file creation aerova-img\\~temp.htm");
    if (!files_.Write(imgPath(kPeerPage), peers))
        host_.WriteErrorLog("Exception on file creation aerova-img\\~tempp.htm");
}

void PictureJob::Upload() {
    const FtpUploadSettings ftp = settings_.ftp;
    const std::string local = imgPath(kRadar2Picture);
    auto result = std::make_shared<FtpUploadResult>();
    const std::atomic<bool>* cancel = worker_.cancelFlag();
    worker_.Run(
        [ftp, local, result, cancel] { *result = UploadByFtp(ftp, local, {}, cancel); },
        [this, result] {
            lastUploadText_ = result->text;
            if (!result->ok) host_.WriteErrorLog("FTP upload failed: " + result->text);
            host_.SetIndicator(result->ok ? UploadIndicator::kGreen : UploadIndicator::kRed);
        });
}

std::optional<std::string> PictureJob::CapturePictureForMail() {
    const std::string copy = imgPath(kMailPicture);
    DeleteFileAt(copy);  // never a picture of an earlier mail
    if (!host_.HasRadarWindows() || !settings_.saveJpeg || !host_.RadarVisible(2))
        return std::nullopt;
    const auto picture = host_.CaptureJpeg(2);
    if (!picture) return std::nullopt;
    files_.Write(imgPath(kRadar2Picture), *picture);
    if (!WriteFileReplacing(copy, *picture)) return std::nullopt;
    return copy;
}

}  // namespace aerova
