#pragma once
// The transfer of one weather radar picture: an HTTP GET straight into the source's picture
// file. It blocks until the reply is in, the server failed or a time-out passed, so the caller
// runs it on a worker thread and hands the result to WeatherCycle::FetchEnded on its UI
// thread.

#include <atomic>
#include <string>

#include "weather/weather_images.h"

namespace aerova {

struct WeatherDownload {
    WeatherFetchStatus status = WeatherFetchStatus::kRequestFailed;
    std::string reply;  // what arrived, also on a failure
    std::string error;  // why it failed, empty on kReceived
};

// Creates (or empties) `pictureFile` first; when that fails the result is kFileError and no
// request is made. Then GETs `url` (http or https only, also on the at most 3 redirects
// followed, no proxy from the environment) and writes the reply into the file as it arrives.
// kRequestFailed: no connection, an HTTP status of 400 or above, a time-out, `cancel` set
// (looked at while the transfer waits, too), or a reply above kMaxWeatherGifBytes; the file
// keeps what had arrived. A write to the file that fails gives kFileError.
WeatherDownload DownloadWeatherPicture(const std::string& url, const std::string& pictureFile,
                                       const std::atomic<bool>* cancel,
                                       long connectTimeoutMs = 10000, long totalTimeoutMs = 20000);

}  // namespace aerova
