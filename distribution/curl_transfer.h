#pragma once
// One libcurl transfer of the store-and-forward clients (FTP upload, mail session), set up so
// that a worker thread never hangs on it: a connect time-out (connection and the server's
// greeting and login), a total time-out, a cancel flag looked at from the progress callback
// (at least once a second, also while a silent server keeps the client waiting), plain
// connections only and no proxy from the environment.

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace aerova {

// A host name, IPv4 or bracketed IPv6 address with an optional ":port", and nothing that
// could carry a user, a path or another part into the URL it is put in.
bool IsServerAddress(std::string_view host);

class CurlTransfer {
  public:
    CurlTransfer(long connectTimeoutMs, long totalTimeoutMs,
                 const std::function<void(std::uint64_t sent)>& progress,
                 const std::atomic<bool>* cancel);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Null when libcurl could not make a handle; the caller adds the protocol's options.
    CURL* handle() const { return curl_; }
    // Runs the transfer: empty on success, else what went wrong (libcurl's message, or
    // "Cancelled" when the cancel flag ended it).
    std::string Perform();

  private:
    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow);

    CURL* curl_ = nullptr;
    const std::function<void(std::uint64_t)>& progress_;
    const std::atomic<bool>* cancel_;
    std::uint64_t reported_ = 0;
    char error_[CURL_ERROR_SIZE] = {};
};

}  // namespace aerova
