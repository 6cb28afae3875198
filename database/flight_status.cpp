#include "database/flight_status.h"

#include <curl/curl.h>

#include <array>
#include <memory>
#include <vector>

#include "base/strings.h"

namespace aerova {
namespace {

constexpr std::string_view kServiceTexts[] = {
    "The airline code is invalid", "The flight number is invalid",
    "Flight not found on selected date", "multi-segment flight"};

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;
using CurlHeaders = std::unique_ptr<curl_slist, CurlCleanup>;

void InitCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// The reply body, cut off (and the transfer failed) beyond the size limit.
std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto* body = static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    if (body->size() + bytes > kMaxFlightStatusReply) return 0;
    body->append(data, bytes);
    return bytes;
}

std::string DecodeEntities(std::string_view s) {
    static constexpr std::array<std::pair<std::string_view, char>, 7> kEntities{{{"&amp;", '&'},
                                                                                 {"&lt;", '<'},
                                                                                 {"&gt;", '>'},
                                                                                 {"&quot;", '"'},
                                                                                 {"&#39;", '\''},
                                                                                 {"&apos;", '\''},
                                                                                 {"&nbsp;", ' '}}};
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        bool replaced = false;
        if (s[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (s.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += s[i++];
    }
    return out;
}

// The texts of the page's table cells in page order, tags removed, blanks collapsed.
std::vector<std::string> CellTexts(std::string_view page) {
    std::vector<std::string> cells;
    const std::string lower = LowerCase(page);
    std::size_t at = 0;
    for (;;) {
        std::size_t open = lower.find("<td", at);
        const std::size_t header = lower.find("<th", at);
        if (header < open) open = header;
        if (open == std::string::npos) break;
        const std::size_t contentStart = lower.find('>', open);
        if (contentStart == std::string::npos) break;  // a page cut inside a tag
        std::size_t end = lower.find("</t", contentStart);
        const std::size_t nextCell =
            std::min(lower.find("<td", contentStart + 1), lower.find("<th", contentStart + 1));
        if (nextCell < end) end = nextCell;  // a cell left open
        if (end == std::string::npos) end = page.size();
        std::string text;
        bool inTag = false;
        for (std::size_t i = contentStart + 1; i < end; ++i) {
            const char c = page[i];
            if (c == '<')
                inTag = true;
            else if (c == '>')
                inTag = false;
            else if (!inTag)
                text += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
        }
        std::string collapsed;
        for (const char c : DecodeEntities(text))
            if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) collapsed += c;
        cells.push_back(Trim(collapsed));
        at = end;
    }
    return cells;
}

// "07:05" and "0705 CEST" both read as "0705"; anything without four digits as empty.
std::string HourMinute(std::string_view time) {
    std::string digits;
    for (const char c : time) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (!digits.empty() && c != ':')
            break;
        if (digits.size() == 4) return digits;
    }
    return {};
}

// "Hamburg (HAM)" or "HAM" give "HAM".
std::string AirportCode(std::string_view text) {
    const std::size_t open = text.rfind('(');
    const std::size_t close = text.rfind(')');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open)
        return UpperCase(Trim(text.substr(open + 1, close - open - 1)));
    return UpperCase(Trim(text));
}

struct SideTimes {
    std::string scheduled, actual, estimated;
    std::string Marked() const {
        if (!actual.empty()) return actual + " A";
        if (!estimated.empty()) return estimated + " E";
        if (!scheduled.empty()) return scheduled + " S";
        return {};
    }
};

// The first of the service's own failure texts that the page holds.
bool FindServiceText(std::string_view page, TFlightStats& stats) {
    for (std::string_view text : kServiceTexts) {
        if (page.find(text) != std::string_view::npos) {
            stats.message = std::string(text);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string FlightStatusTarget(std::string_view airline, std::string_view number,
                               std::string_view date) {
    return "/go/FlightStatus/flightStatusByFlight.do?airline=" + PercentEncoded(airline) +
           "&flightNumber=" + PercentEncoded(number) + "&departureDate=" + PercentEncoded(date) +
           "&x=14&y=10";
}

bool ReadFlightStatusPage(std::string_view page, TFlightStats& stats) {
    if (FindServiceText(page, stats)) return false;
    const std::vector<std::string> cells = CellTexts(page);
    int airports = 0, cities = 0;
    std::string origin, destination;
    SideTimes departure, arrival;
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
        const std::string& label = cells[i];
        const std::string& value = cells[i + 1];
        SideTimes& side = airports >= 2 ? arrival : departure;
        if (label == "Flight:")
            stats.title = value;
        else if (label == "Date:")
            stats.date = value;
        else if (label == "Status:")
            stats.status = value;
        else if (label == "Duration:")
            stats.duration = value;
        else if (label == "Equipment:")
            stats.equipment = value;
        else if (label == "Ontime:")
            stats.ontime = value;
        else if (label == "Ave Delay:")
            stats.delay = value;
        else if (label == "Airport:") {
            if (airports == 0)
                origin = AirportCode(value);
            else if (airports == 1)
                destination = AirportCode(value);
            ++airports;
        } else if (label == "City:") {
            if (cities == 0)
                stats.origincity = value;
            else if (cities == 1)
                stats.destinationcity = value;
            ++cities;
        } else if (label == "Scheduled:")
            side.scheduled = HourMinute(value);
        else if (label == "Actual:")
            side.actual = HourMinute(value);
        else if (label == "Estimated:")
            side.estimated = HourMinute(value);
        else
            continue;
        ++i;  // the value cell is no label
    }
    if (origin.empty() || destination.empty() || departure.scheduled.empty() ||
        arrival.scheduled.empty()) {
        stats.message = "Invalid response";
        return false;
    }
    stats.origin = origin;
    stats.destination = destination;
    stats.deptime = departure.scheduled;
    stats.deptimemark = departure.Marked();
    stats.arrtime = arrival.scheduled;
    stats.arrtimemark = arrival.Marked();
    stats.route = origin.substr(0, 3) + " " + stats.deptime + "-" + stats.arrtime + " " +
                  destination.substr(0, 3);
    return true;
}

std::string LookupFlightStatus(std::string_view flightId, bool yesterday, TFlightStats& stats,
                               const FlightStatusService& service, DayTime today,
                               const AcarsTable* acars) {
    static const std::string kNil = "NIL";
    stats = TFlightStats{};
    if (!NormaliseFlightId(flightId, stats, acars)) return kNil;
    stats.datetext = FormatDateTime("yyyy-mm-dd", yesterday ? today - 1 : today);

    std::string base = Trim(service.baseAddress);
    while (!base.empty() && base.back() == '/') base.pop_back();
    if (base.empty()) {
        stats.message = "No flight status service set";
        return kNil;
    }
    const std::string url =
        base + FlightStatusTarget(stats.airline.view(), stats.flightnumber, stats.datetext);

    InitCurlOnce();
    CurlHandle curl(curl_easy_init());
    CurlHeaders headers(curl_slist_append(nullptr, "Connection: Keep-Alive"));
    if (!curl || !headers) {
        stats.message = "Invalid response";
        return kNil;
    }
    std::string body;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, service.timeoutMs);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    const CURLcode rc = curl_easy_perform(curl.get());
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (rc != CURLE_OK) {
        stats.message = std::string("No reply from the flight status service: ") +
                        (error[0] != '\0' ? error : curl_easy_strerror(rc));
        return kNil;
    }
    if (status != 200) {
        // An error page may still carry one of the service's texts.
        if (!FindServiceText(body, stats)) stats.message = "Invalid response";
        return kNil;
    }
    if (!ReadFlightStatusPage(body, stats)) return kNil;
    return stats.route;
}

}  // namespace aerova
