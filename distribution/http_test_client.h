#pragma once
// A real HTTP client for the server tests (libcurl), one request per call.

#include <curl/curl.h>

#include <string>

namespace aerova::testing {

struct HttpReply {
    long status = 0;
    std::string body;
    std::string contenttype;
    bool ok = false;  // the transfer completed
};

inline HttpReply HttpGet(const std::string& url, long timeoutms = 3000) {
    HttpReply reply;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutms);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* out) {
            static_cast<std::string*>(out)->append(data, size * count);
            return size * count;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    reply.ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    if (type) reply.contenttype = type;
    curl_easy_cleanup(curl);
    return reply;
}

}  // namespace aerova::testing
