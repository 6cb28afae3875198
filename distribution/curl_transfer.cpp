#include "distribution/curl_transfer.h"

namespace aerova {
namespace {

void InitCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

}  // namespace

bool IsServerAddress(std::string_view host) {
    return !host.empty() && host.find_first_not_of(
                                "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                "0123456789.-_:[]") == std::string_view::npos;
}

CurlTransfer::CurlTransfer(long connectTimeoutMs, long totalTimeoutMs,
                           const std::function<void(std::uint64_t sent)>& progress,
                           const std::atomic<bool>* cancel)
    : progress_(progress), cancel_(cancel) {
    InitCurlOnce();
    curl_ = curl_easy_init();
    if (curl_ == nullptr) return;
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
    // One session per call: the connection (and its QUIT) ends inside Perform.
    curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::OnProgress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
}

CurlTransfer::~CurlTransfer() {
    if (curl_ != nullptr) curl_easy_cleanup(curl_);
}

std::string CurlTransfer::Perform() {
    if (curl_ == nullptr) return "Cannot start a transfer";
    if (cancel_ != nullptr && cancel_->load()) return "Cancelled";
    error_[0] = '\0';
    const CURLcode rc = curl_easy_perform(curl_);
    if (rc == CURLE_OK) return {};
    if (rc == CURLE_ABORTED_BY_CALLBACK) return "Cancelled";
    return error_[0] != '\0' ? std::string(error_) : std::string(curl_easy_strerror(rc));
}

int CurlTransfer::OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow) {
    auto* self = static_cast<CurlTransfer*>(user);
    if (self->cancel_ != nullptr && self->cancel_->load()) return 1;
    const auto sent = static_cast<std::uint64_t>(ulnow);
    if (sent != self->reported_ && self->progress_) self->progress_(sent);
    self->reported_ = sent;
    return 0;
}

}  // namespace aerova
