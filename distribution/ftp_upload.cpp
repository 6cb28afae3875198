#include "distribution/ftp_upload.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string_view>

#include "base/strings.h"
#include "distribution/curl_transfer.h"

namespace aerova {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool HasControlBytes(std::string_view text) {
    return Printable(text).size() != text.size();
}

// The stored name must stay in the remote directory: no separator of either kind of
// server, no step up, and no line break that could end the STOR command.
bool IsSingleFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos && !HasControlBytes(name);
}

// ftp://host/dir/file: every name percent-encoded, so blanks, "%", "#" or "?" in a name
// reach the server as they are. A leading "/" of the directory becomes "%2F", which libcurl
// sends as a change to the root before the other steps.
std::string UploadUrl(const FtpUploadSettings& settings) {
    std::string url = Concat({"ftp://", settings.host, "/"});
    if (!settings.remoteDir.empty() && settings.remoteDir.front() == '/') url += "%2F";
    for (const std::string& step : Split(settings.remoteDir, '/')) {
        if (step.empty()) continue;
        url += PercentEncoded(step);
        url += '/';
    }
    url += PercentEncoded(settings.remoteFile);
    return url;
}

std::size_t ReadFromFile(char* buffer, std::size_t size, std::size_t count, void* file) {
    return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

}  // namespace

FtpUploadResult UploadByFtp(const FtpUploadSettings& settings, const std::string& localPath,
                            const std::function<void(std::uint64_t sent)>& progress,
                            const std::atomic<bool>* cancel) {
    if (!IsServerAddress(settings.host))
        return {false, Concat({"Invalid FTP host: ", Printable(settings.host)})};
    if (!IsSingleFileName(settings.remoteFile))
        return {false, Concat({"Remote file name must be a single file name: ",
                               Printable(settings.remoteFile)})};
    if (HasControlBytes(settings.remoteDir) || HasControlBytes(settings.user) ||
        HasControlBytes(settings.password))
        return {false, "Control characters in the FTP directory, user or password"};

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(localPath.c_str(), "rb"));
    struct stat info {};
    if (!file || ::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        return {false, Concat({"Cannot read ", localPath})};

    CurlTransfer transfer(settings.connectTimeoutMs, settings.totalTimeoutMs, progress, cancel);
    CURL* curl = transfer.handle();
    if (curl == nullptr) return {false, "Cannot start a transfer"};
    const std::string url = UploadUrl(settings);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl, CURLOPT_USERNAME, settings.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, settings.password.c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &ReadFromFile);
    curl_easy_setopt(curl, CURLOPT_READDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(info.st_size));
    // Active mode: the server connects back to the address of the control connection, and
    // must do so within the connect time-out.
    curl_easy_setopt(curl, CURLOPT_FTPPORT, settings.passive ? nullptr : "-");
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, settings.connectTimeoutMs);

    const std::string failure = transfer.Perform();
    if (!failure.empty()) return {false, failure};
    return {true, "Upload complete"};
}

}  // namespace aerova
