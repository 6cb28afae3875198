#include "metar/metar_library.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "base/station_code.h"

// The library is unloaded after every fetch while the program goes on using libcurl
// elsewhere, so it never calls curl_global_init or curl_global_cleanup: curl_easy_init
// initialises libcurl once per process on its own, and a cleanup here would pull libcurl's
// global state from under the program's other transfers.

namespace aerova {
namespace {

constexpr const char* kDefaultServer = "https://tgftp.nws.noaa.gov";
constexpr const char* kServerVariable = "AEROVA_METAR_URL";
constexpr long kDefaultConnectMs = 10000;
constexpr long kDefaultTotalMs = 20000;
constexpr std::size_t kTextCapacity = 255;  // what the length byte can count
// A station file is a few hundred bytes; a server that sends far more is not a weather text
// server, and the transfer ends there.
constexpr std::size_t kReplyLimit = 64 * 1024;

struct Settings {
    std::string server;
    long connectMs = kDefaultConnectMs;
    long totalMs = kDefaultTotalMs;
};

// Two threads may fetch through the same loaded library at once.
std::mutex settingsMutex;
Settings settings;

Settings CurrentSettings() {
    std::scoped_lock lock(settingsMutex);
    return settings;
}

// The environment's server, else the station's, else NOAA's; without a trailing "/".
std::string ServerBase(const std::string& configured) {
    const char* fromEnvironment = std::getenv(kServerVariable);
    std::string base = kDefaultServer;
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') {
        base = fromEnvironment;
    } else if (!configured.empty()) {
        base = configured;
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

struct Reply {
    std::string text;  // the first kTextCapacity bytes of the body
    std::size_t received = 0;
    bool overLimit = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* reply = static_cast<Reply*>(user);
    const std::size_t bytes = size * count;
    reply->text.append(data, std::min(bytes, kTextCapacity - reply->text.size()));
    reply->received += bytes;
    if (reply->received > kReplyLimit) {
        reply->overLimit = true;
        return 0;  // ends the transfer
    }
    return bytes;
}

struct CurlEasyCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// The body of the file at `url`, or empty when it could not be fetched whole with status 200.
// A body over the limit still gives what came before it.
std::string FetchFile(const std::string& url, const Settings& options) {
    const std::unique_ptr<CURL, CurlEasyCleanup> curl(curl_easy_init());
    if (!curl) return {};
    Reply reply;
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, options.connectMs);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, options.totalMs);
    // No signals: a SIGALRM for a resolver time-out could land in any thread of the station.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // Like the station's other clients: no proxy taken from the environment.
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Aerova-METAR/1.0");
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &reply);
    const CURLcode rc = curl_easy_perform(handle);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && reply.overLimit)) return {};
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) return {};
    return reply.text;
}

void WriteText(unsigned char* result, std::string_view text) {
    const std::size_t length = std::min(text.size(), kTextCapacity);
    result[0] = static_cast<unsigned char>(length);
    std::memcpy(result + 1, text.data(), length);
}

void FetchStationFile(unsigned char* result, const char* station, std::string_view folder) {
    if (result == nullptr) return;
    result[0] = 0;
    if (station == nullptr) return;
    // The code is part of the path on the server: nothing but letters and digits goes there.
    const std::string code = CleanStationCode(station);
    if (code.empty()) return;
    // The caller is C: nothing thrown (an allocation failing) may leave the library.
    try {
        const Settings options = CurrentSettings();
        std::string url = ServerBase(options.server);
        url.append(folder).append(code).append(".TXT");
        WriteText(result, FetchFile(url, options));
    } catch (...) {
        result[0] = 0;
    }
}

}  // namespace
}  // namespace aerova

extern "C" {

void GetMETAR(unsigned char* result, const char* station) {
    aerova::FetchStationFile(result, station, "/data/observations/metar/stations/");
}

void GetShortTAF(unsigned char* result, const char* station) {
    aerova::FetchStationFile(result, station, "/data/forecasts/shorttaf/stations/");
}

void GetTAF(unsigned char* result, const char* station) {
    aerova::FetchStationFile(result, station, "/data/forecasts/taf/stations/");
}

void SetMETARServer(const char* baseUrl) {
    std::scoped_lock lock(aerova::settingsMutex);
    try {
        aerova::settings.server = baseUrl != nullptr ? baseUrl : "";
    } catch (...) {
        aerova::settings.server.clear();
    }
}

void SetMETARTimeouts(long connectMs, long totalMs) {
    std::scoped_lock lock(aerova::settingsMutex);
    aerova::settings.connectMs = connectMs > 0 ? connectMs : aerova::kDefaultConnectMs;
    aerova::settings.totalMs = totalMs > 0 ? totalMs : aerova::kDefaultTotalMs;
}

}  // extern "C"
