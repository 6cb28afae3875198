#include "database/flight_status.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace aerova {
namespace {

// A reply page in the layout the station reads: label cells followed by value cells, the
// departure airport's block before the arrival airport's.
constexpr const char* kRecordedPage = R"(<html><head><title>Flight Status</title></head>
<body><table class="flight">
<tr><td class="label">Flight:</td><td><b>LH 123</b> Frankfurt to Hamburg</td></tr>
<tr><td class="label">Date:</td><td>Monday, June 3, 2024</td></tr>
<tr><td class="label">Status:</td><td>Landed &amp; at gate</td></tr>
<tr><td class="label">Duration:</td><td>1 hr 10 min</td></tr>
<tr><td class="label">Equipment:</td><td>Airbus A321</td></tr>
</table>
<table class="leg"><thead><tr><th>Departure</th><th></th></tr></thead>
<tr><td>Airport:</td><td>Frankfurt International (FRA)</td></tr>
<tr><td>City:</td><td>Frankfurt,&nbsp;DE</td></tr>
<tr><td>Scheduled:</td><td>07:00</td></tr>
<tr><td>Actual:</td><td>07:12</td></tr>
</table>
<table class="leg"><thead><tr><th>Arrival</th><th></th></tr></thead>
<tr><td>Airport:</td><td>HAM</td></tr>
<tr><td>City:</td><td>Hamburg, DE</td></tr>
<tr><td>Scheduled:</td><td>08:10</td></tr>
<tr><td>Estimated:</td><td>08:16</td></tr>
</table>
<table><tr><td>Ontime:</td><td>87%</td><td>Ave Delay:</td><td>9 min</td></tr></table>
</body></html>)";

TEST(FlightStatusPageTest, RecordedPageFillsTheStats) {
    TFlightStats stats;
    ASSERT_TRUE(ReadFlightStatusPage(kRecordedPage, stats));
    EXPECT_EQ(stats.title, "LH 123 Frankfurt to Hamburg");
    EXPECT_EQ(stats.date, "Monday, June 3, 2024");
    EXPECT_EQ(stats.status, "Landed & at gate");
    EXPECT_EQ(stats.duration, "1 hr 10 min");
    EXPECT_EQ(stats.equipment, "Airbus A321");
    EXPECT_EQ(stats.origin, "FRA");
    EXPECT_EQ(stats.origincity, "Frankfurt, DE");
    EXPECT_EQ(stats.deptime, "0700");
    EXPECT_EQ(stats.deptimemark, "0712 A");
    EXPECT_EQ(stats.destination, "HAM");
    EXPECT_EQ(stats.destinationcity, "Hamburg, DE");
    EXPECT_EQ(stats.arrtime, "0810");
    EXPECT_EQ(stats.arrtimemark, "0816 E");
    EXPECT_EQ(stats.ontime, "87%");
    EXPECT_EQ(stats.delay, "9 min");
    EXPECT_EQ(stats.route, "FRA 0700-0810 HAM");
    EXPECT_EQ(stats.message, "");
}

TEST(FlightStatusPageTest, ServiceTextsAndIncompletePages) {
    const std::string page(kRecordedPage);
    const struct {
        std::string page;
        const char* message;
    } cases[] = {
        {"<p>Sorry. The airline code is invalid.</p>", "The airline code is invalid"},
        {"<p>The flight number is invalid</p>", "The flight number is invalid"},
        {"<p>Flight not found on selected date</p>" + page, "Flight not found on selected date"},
        {"This is a multi-segment flight, choose a leg", "multi-segment flight"},
        {"<html><body>Internal Server Error</body></html>", "Invalid response"},
        {"", "Invalid response"},
        // Cut inside the arrival block, and inside a tag.
        {page.substr(0, page.find("<tr><td>Scheduled:</td><td>08:10")), "Invalid response"},
        {page.substr(0, page.find("Scheduled:</td><td>07:00") + 5), "Invalid response"},
        {"<td>Airport:", "Invalid response"},
    };
    for (const auto& c : cases) {
        TFlightStats stats;
        EXPECT_FALSE(ReadFlightStatusPage(c.page, stats)) << c.page.substr(0, 60);
        EXPECT_EQ(stats.message, c.message) << c.page.substr(0, 60);
        EXPECT_EQ(stats.route, "");
    }
}

TEST(FlightStatusPageTest, ScheduledOnlyIsMarkedS) {
    TFlightStats stats;
    ASSERT_TRUE(ReadFlightStatusPage(
        "<td>Airport:</td><td>ber</td><td>Scheduled:</td><td>6:05</td><td>Scheduled:</td>"
        "<td>0605 CEST</td><TD>Airport:</TD><TD>HAM</TD><td>Scheduled:</td><td>07:15</td>",
        stats));
    EXPECT_EQ(stats.route, "BER 0605-0715 HAM");  // "6:05" has no four digits: the later one
    EXPECT_EQ(stats.deptimemark, "0605 S");
    EXPECT_EQ(stats.arrtimemark, "0715 S");
}

TEST(FlightStatusTargetTest, PathAndEncodedQuery) {
    EXPECT_EQ(FlightStatusTarget("LH", "123", "2024-06-03"),
              "/go/FlightStatus/flightStatusByFlight.do?airline=LH&flightNumber=123"
              "&departureDate=2024-06-03&x=14&y=10");
    EXPECT_EQ(FlightStatusTarget("A&B", "1 2", "2024-06-03"),
              "/go/FlightStatus/flightStatusByFlight.do?airline=A%26B&flightNumber=1%202"
              "&departureDate=2024-06-03&x=14&y=10");
}

// A flight-status service on 127.0.0.1 that answers by flight number.
class StatusServer {
  public:
    StatusServer() {
        server_.Get("/go/FlightStatus/flightStatusByFlight.do", [this](const httplib::Request& req,
                                                                       httplib::Response& res) {
            {
                std::scoped_lock lock(mutex_);
                ++requests_;
                lastTarget_ = req.target;
                lastConnection_ = req.get_header_value("Connection");
                lastDate_ = req.get_param_value("departureDate");
            }
            const std::string number = req.get_param_value("flightNumber");
            if (number == "500") {
                res.status = 500;
                res.set_content("<html><body>Internal Server Error</body></html>", "text/html");
            } else if (number == "404") {
                res.set_content("<p>Flight not found on selected date</p>", "text/html");
            } else if (number == "777") {
                res.set_content(std::string(kMaxFlightStatusReply + 1, 'x'), "text/html");
            } else if (number == "999") {
                const std::string page(kRecordedPage);
                res.set_content(page.substr(0, page.size() / 2), "text/html");
            } else {
                res.set_content(kRecordedPage, "text/html");
            }
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only reaches a server that already runs.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(server_.is_running()) << "the test server did not start within 10 s";
    }
    ~StatusServer() {
        server_.stop();
        thread_.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    int requests() {
        std::scoped_lock lock(mutex_);
        return requests_;
    }
    std::string lastTarget() {
        std::scoped_lock lock(mutex_);
        return lastTarget_;
    }
    std::string lastConnection() {
        std::scoped_lock lock(mutex_);
        return lastConnection_;
    }
    std::string lastDate() {
        std::scoped_lock lock(mutex_);
        return lastDate_;
    }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    int requests_ = 0;
    std::string lastTarget_, lastConnection_, lastDate_;
};

class FlightStatusLookupTest : public ::testing::Test {
  protected:
    std::string Lookup(std::string_view id, bool yesterday = false) {
        return LookupFlightStatus(id, yesterday, stats, service, today);
    }
    StatusServer server;
    FlightStatusService service{server.base(), 5000};
    DayTime today = EncodeDateTime(2024, 6, 3, 23, 30, 0, 0);
    TFlightStats stats;
};

TEST_F(FlightStatusLookupTest, FoundFlightGivesItsRoute) {
    EXPECT_EQ(Lookup("DLH0123"), "FRA 0700-0810 HAM");
    EXPECT_EQ(server.lastTarget(),
              "/go/FlightStatus/flightStatusByFlight.do?airline=DLH&flightNumber=123"
              "&departureDate=2024-06-03&x=14&y=10");
    EXPECT_EQ(server.lastConnection(), "Keep-Alive");
    EXPECT_EQ(stats.airline, "DLH");
    EXPECT_EQ(stats.flightnumber, "123");
    EXPECT_EQ(stats.datetext, "2024-06-03");
    EXPECT_EQ(stats.message, "");
    EXPECT_EQ(stats.arrtimemark, "0816 E");

    EXPECT_EQ(Lookup("DLH0123", true), "FRA 0700-0810 HAM");
    EXPECT_EQ(server.lastDate(), "2024-06-02");
}

TEST_F(FlightStatusLookupTest, FailuresGiveNilAndTheMessage) {
    const struct {
        const char* id;
        const char* message;
    } cases[] = {
        {"DLH500", "Invalid response"},
        {"DLH404", "Flight not found on selected date"},
        {"DLH999", "Invalid response"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lookup(c.id), "NIL") << c.id;
        EXPECT_EQ(stats.message, c.message) << c.id;
        EXPECT_EQ(stats.route, "") << c.id;
    }
    EXPECT_EQ(Lookup("DLH777"), "NIL");
    EXPECT_EQ(stats.message.rfind("No reply from the flight status service: ", 0), 0u)
        << stats.message;
    EXPECT_EQ(server.requests(), 4);
}

TEST_F(FlightStatusLookupTest, NoRequestForIdsThatAreNoFlights) {
    EXPECT_EQ(Lookup("&DAIBD"), "NIL");
    EXPECT_EQ(stats.message, "This is a registration, not a flight id");
    EXPECT_EQ(server.requests(), 0);
    service.baseAddress = "";
    EXPECT_EQ(Lookup("DLH123"), "NIL");
    EXPECT_EQ(stats.message, "No flight status service set");
    EXPECT_EQ(server.requests(), 0);
}

TEST(FlightStatusUnreachableTest, ClosedPortGivesNil) {
    // A port that was free a moment ago and has nobody listening now.
    int port = 0;
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
        port = ntohs(address.sin_port);
        ::close(fd);
    }
    TFlightStats stats;
    const FlightStatusService service{"http://127.0.0.1:" + std::to_string(port), 2000};
    EXPECT_EQ(LookupFlightStatus("DLH123", false, stats, service, EncodeDate(2024, 6, 3)), "NIL");
    EXPECT_EQ(stats.message.rfind("No reply from the flight status service: ", 0), 0u)
        << stats.message;
}

}  // namespace
}  // namespace aerova
