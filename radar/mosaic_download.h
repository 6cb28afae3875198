#pragma once
// Fetching a mosaic from the map server: one HTTP GET of the GetMap request on a thread of its
// own, so that the manager window stays responsive. A picture is stored only when the server
// really sent one; whatever else comes back never replaces a mosaic already on disk.

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

#include "radar/mosaic_files.h"

namespace aerova {

struct MosaicRequest {
    std::string serverUrl;  // ends with "?" or "&": see GetMapRequest
    std::string layer;
    std::string style;  // empty when the layer has none
    MosaicArea area;
    int quality = 4;  // of the automatic calibration: 1, 2, 4 or 8
    std::string mosaicDir;
    std::string name;  // the mosaic's name: "<name>.jpg" and "<name>.clb" in mosaicDir
    long connectTimeoutMs = 10000;
    long totalTimeoutMs = 60000;
};

struct MosaicDownloadResult {
    enum Kind {
        kPicture,      // "<name>.jpg" and "<name>.clb" were written
        kTextMessage,  // the server answered with something that is not a map picture
        kFailed,       // no answer, an HTTP error, a cancel, or the files could not be written
    } kind = kFailed;
    // kPicture: "Download complete: N kB"; kTextMessage: the first 255 bytes of the server's
    // answer; kFailed: "Download failed" or another text saying what went wrong.
    std::string text;
    std::size_t bytes = 0;  // the size of the server's answer
};

// Answers of up to this size are the server's messages, never pictures.
constexpr std::size_t kMosaicMessageBytes = 2048;
constexpr std::size_t kMosaicMessageShown = 255;
// No map picture is this large; a bigger answer is dropped.
constexpr std::size_t kMaxMosaicBytes = 64u << 20;

// The download starts at construction. Both callbacks run on the download's own thread: the
// caller marshals them to its UI thread (for Qt: QMetaObject::invokeMethod with a queued
// connection) and must not destroy the MosaicDownload from inside them.
//
// `progress` gets "Downloading...", "Connected to server" once the server answers, and
// "Downloading... N kB" whenever another kilobyte has arrived. `done` runs exactly once with
// the result, also after Cancel(), unless the MosaicDownload is destroyed first.
//
// A picture is stored only when the server answers with HTTP status 200, more than 2048 bytes,
// and a JPEG that decodes: written to a temporary file beside "<name>.jpg" and renamed onto
// it, and the automatic calibration of the request's area and quality likewise as
// "<name>.clb". Anything else leaves the folder as it was.
class MosaicDownload {
  public:
    using ProgressCallback = std::function<void(const std::string& status)>;
    using DoneCallback = std::function<void(const MosaicDownloadResult& result)>;

    MosaicDownload(MosaicRequest request, ProgressCallback progress, DoneCallback done);
    // Cancels and waits for the thread; the transfer notices the cancel at once, a callback
    // that is already running is waited for. No callback runs once this returns.
    ~MosaicDownload();
    MosaicDownload(const MosaicDownload&) = delete;
    MosaicDownload& operator=(const MosaicDownload&) = delete;

    // Ends the transfer early; `done` then reports kFailed "Download cancelled".
    void Cancel();
    // True once `done` has returned.
    bool finished() const { return finished_.load(); }

  private:
    struct Transfer;
    void Run();
    MosaicDownloadResult Fetch();
    MosaicDownloadResult Store(const std::string& body) const;

    MosaicRequest request_;
    ProgressCallback progress_;
    DoneCallback done_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> destroying_{false};
    std::atomic<bool> finished_{false};
    void* multi_ = nullptr;  // the libcurl multi handle, so that Cancel() can wake the transfer
    std::thread worker_;
};

}  // namespace aerova
