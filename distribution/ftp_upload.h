#pragma once
// The picture job's FTP step: log in to the station's web host, change to the remote
// directory, store the picture under its remote name, log out. Synchronous; the caller runs it
// on a worker thread, and the time-outs and the cancel flag keep it from hanging there.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace aerova {

struct FtpUploadSettings {
    std::string host;  // name or address, optionally ":port" (default 21)
    std::string user, password;
    std::string remoteDir;   // changed to before the store ("a/b" one step each, "/a" from the
                             // root); empty: the login directory
    std::string remoteFile;  // the name the picture is stored under: one file name, no path
    bool passive = true;     // false: active mode (the server connects back, PORT/EPRT)
    long connectTimeoutMs = 15000;  // connection, greeting and login
    long totalTimeoutMs = 60000;    // the whole session
};

struct FtpUploadResult {
    bool ok = false;
    std::string text;  // "Upload complete", or what went wrong
};

// Stores the local file under remoteDir/remoteFile in binary mode. `progress` gets the bytes
// sent so far; `cancel` (may be null) ends the session within about a second.
FtpUploadResult UploadByFtp(const FtpUploadSettings& settings, const std::string& localPath,
                            const std::function<void(std::uint64_t sent)>& progress = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace aerova
