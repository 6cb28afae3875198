#include "radar/mosaic_download.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "base/files.h"
#include "base/strings.h"
#include "radar/radar_picture.h"

namespace aerova {
namespace {

void InitCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

struct EasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

MosaicDownloadResult Failed(std::string text) {
    return {MosaicDownloadResult::kFailed, std::move(text), 0};
}

std::string Kilobytes(std::size_t bytes) {
    return std::to_string(bytes / 1024);
}

// A name that stays inside the mosaic folder.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

}  // namespace

// What the libcurl callbacks of one transfer share with the download.
struct MosaicDownload::Transfer {
    MosaicDownload* owner = nullptr;
    std::string body;
    std::size_t reportedKb = 0;
    bool connected = false;
    bool tooLarge = false;

    bool Stopped() const { return owner->cancelled_.load(); }
    void Report(const std::string& status) const {
        if (owner->progress_ && !owner->destroying_.load()) owner->progress_(status);
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
        auto* t = static_cast<Transfer*>(user);
        const std::size_t n = size * count;
        if (t->Stopped()) return 0;
        if (t->body.size() + n > kMaxMosaicBytes) {
            t->tooLarge = true;
            return 0;
        }
        t->body.append(data, n);
        if (t->body.size() / 1024 != t->reportedKb) {
            t->reportedKb = t->body.size() / 1024;
            t->Report(Concat({"Downloading... ", Kilobytes(t->body.size()), " kB"}));
        }
        return n;
    }
    static std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
        auto* t = static_cast<Transfer*>(user);
        if (t->Stopped()) return 0;
        if (!t->connected) {
            t->connected = true;
            t->Report("Connected to server");
        }
        return size * count;
    }
    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<Transfer*>(user)->Stopped() ? 1 : 0;
    }
};

MosaicDownload::MosaicDownload(MosaicRequest request, ProgressCallback progress, DoneCallback done)
    : request_(std::move(request)), progress_(std::move(progress)), done_(std::move(done)) {
    InitCurlOnce();
    multi_ = curl_multi_init();
    worker_ = std::thread([this] { Run(); });
}

MosaicDownload::~MosaicDownload() {
    destroying_ = true;
    Cancel();
    if (worker_.joinable()) worker_.join();
    if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void MosaicDownload::Cancel() {
    cancelled_ = true;
    if (multi_) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void MosaicDownload::Run() {
    const MosaicDownloadResult result = Fetch();
    if (done_ && !destroying_.load()) done_(result);
    finished_ = true;
}

MosaicDownloadResult MosaicDownload::Fetch() {
    if (!IsPlainName(request_.name)) return Failed("Enter an image name");
    if (!AreaIsOnGlobe(request_.area)) return Failed("Error reading screen extents");
    if (request_.quality < 1 || request_.quality > 8) return Failed("Calibration file error");
    auto* multi = static_cast<CURLM*>(multi_);
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    if (!multi || !easy) return Failed("Download failed");

    Transfer transfer;
    transfer.owner = this;
    transfer.Report("Downloading...");
    const std::string url =
        GetMapRequest(request_.serverUrl, request_.area, request_.layer, request_.style);
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request_.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, request_.totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    if (curl_multi_add_handle(multi, c) != CURLM_OK) return Failed("Download failed");

    // curl_multi_poll wakes for the socket, for libcurl's own time-outs, and for Cancel().
    CURLcode rc = CURLE_OK;
    bool done = false;
    while (!done && !cancelled_.load()) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            rc = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                rc = message->data.result;
                done = true;
            }
        }
        if (!done && !cancelled_.load()) curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi, c);

    if (cancelled_.load()) return Failed("Download cancelled");
    if (transfer.tooLarge) return Failed("Download failed: the answer is too large");
    if (rc != CURLE_OK) {
        return Failed(
            Concat({"Download failed: ", error[0] != '\0' ? error : curl_easy_strerror(rc)}));
    }
    if (status != 200)
        return Failed(Concat({"Download failed: HTTP status ", std::to_string(status)}));
    const std::string& body = transfer.body;
    if (body.empty()) return Failed("Download failed: the server sent nothing");
    if (body.size() > kMosaicMessageBytes && DecodeJpeg(body)) return Store(body);
    return {MosaicDownloadResult::kTextMessage, body.substr(0, kMosaicMessageShown), body.size()};
}

// Both files are written beside their final names first, so that a failure leaves the folder
// as it was, then renamed into place.
MosaicDownloadResult MosaicDownload::Store(const std::string& body) const {
    const std::string picture = JoinPath(request_.mosaicDir, Concat({request_.name, ".jpg"}));
    const std::string calibration = JoinPath(request_.mosaicDir, Concat({request_.name, ".clb"}));
    const std::string pictureTemporary = Concat({picture, ".part"});
    const std::string calibrationTemporary = Concat({calibration, ".part"});
    const MosaicArea& a = request_.area;
    const std::string points = CalibrationText(
        AutoCalibration(a.north, a.south, a.west, a.east, a.width, a.height, request_.quality));

    if (!ForceDirectories(request_.mosaicDir) || !WriteFileReplacing(pictureTemporary, body)) {
        return Failed(Concat({"Download failed: cannot write ", picture}));
    }
    if (!WriteFileReplacing(calibrationTemporary, points)) {
        std::remove(pictureTemporary.c_str());
        return Failed("Calibration file error");
    }
    if (std::rename(pictureTemporary.c_str(), picture.c_str()) != 0) {
        std::remove(pictureTemporary.c_str());
        std::remove(calibrationTemporary.c_str());
        return Failed(Concat({"Download failed: cannot write ", picture}));
    }
    if (std::rename(calibrationTemporary.c_str(), calibration.c_str()) != 0) {
        std::remove(calibrationTemporary.c_str());
        return Failed("Calibration file error");
    }
    return {MosaicDownloadResult::kPicture,
            Concat({"Download complete: ", Kilobytes(body.size()), " kB"}), body.size()};
}

}  // namespace aerova
