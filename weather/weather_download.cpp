#include "weather/weather_download.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>

#include "base/strings.h"

namespace aerova {
namespace {

// libcurl's global state is set up once and left to the end of the process: other threads of
// the station may be using it at any time.
void InitCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct EasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What the libcurl callbacks of one transfer share.
struct Transfer {
    std::FILE* file = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    std::string reply;
    bool tooLarge = false;
    bool writeFailed = false;

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
        auto* t = static_cast<Transfer*>(user);
        const std::size_t n = size * count;
        if (t->reply.size() + n > kMaxWeatherGifBytes) {
            t->tooLarge = true;
            return 0;
        }
        t->reply.append(data, n);
        if (std::fwrite(data, 1, n, t->file) != n) {
            t->writeFailed = true;
            return 0;
        }
        return n;
    }
    // Called at least once a second, also while a silent server keeps the transfer waiting.
    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        const auto* t = static_cast<const Transfer*>(user);
        return t->cancel != nullptr && t->cancel->load() ? 1 : 0;
    }
};

WeatherDownload Failed(WeatherFetchStatus status, std::string reply, std::string error) {
    return {status, std::move(reply), std::move(error)};
}

}  // namespace

WeatherDownload DownloadWeatherPicture(const std::string& url, const std::string& pictureFile,
                                       const std::atomic<bool>* cancel, long connectTimeoutMs,
                                       long totalTimeoutMs) {
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(pictureFile.c_str(), "wb"));
    if (!file)
        return Failed(WeatherFetchStatus::kFileError, {}, Concat({"Cannot create ", pictureFile}));
    if (cancel != nullptr && cancel->load())
        return Failed(WeatherFetchStatus::kRequestFailed, {}, "Cancelled");

    InitCurlOnce();
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    curl_slist* headers = curl_slist_append(nullptr, "Accept: text/html, */*");
    std::unique_ptr<curl_slist, ListFree> headerList(headers);
    if (!easy || !headers)
        return Failed(WeatherFetchStatus::kRequestFailed, {}, "Cannot start a transfer");

    Transfer transfer;
    transfer.file = file.get();
    transfer.cancel = cancel;
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Mozilla/3.0");
    // An error page is no picture: the transfer ends at the status line.
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);

    const CURLcode rc = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    const bool closed = std::fclose(file.release()) == 0;

    if (transfer.writeFailed || (rc == CURLE_OK && !closed))
        return Failed(WeatherFetchStatus::kFileError, std::move(transfer.reply),
                      Concat({"Cannot write ", pictureFile}));
    if (transfer.tooLarge)
        return Failed(WeatherFetchStatus::kRequestFailed, std::move(transfer.reply),
                      "The reply is too large for a radar picture");
    if (rc == CURLE_ABORTED_BY_CALLBACK)
        return Failed(WeatherFetchStatus::kRequestFailed, std::move(transfer.reply), "Cancelled");
    if (status >= 400)
        return Failed(WeatherFetchStatus::kRequestFailed, std::move(transfer.reply),
                      Concat({"HTTP status ", std::to_string(status)}));
    if (rc != CURLE_OK)
        return Failed(WeatherFetchStatus::kRequestFailed, std::move(transfer.reply),
                      error[0] != '\0' ? std::string(error) : std::string(curl_easy_strerror(rc)));
    return {WeatherFetchStatus::kReceived, std::move(transfer.reply), {}};
}

}  // namespace aerova
