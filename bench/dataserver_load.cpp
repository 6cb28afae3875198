// Load run of a data server: 2000 targets, "Transmit updates only" off, on 127.0.0.1. A
// stand-in main cycle changes the table under the station mutex once per 1000 ms tick and
// reports how far each tick strayed from its schedule. Drive it with an HTTP load tool.
//
//   aerova_dataserver_load <port> <seconds>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "base/numbers.h"
#include "distribution/data_server.h"
#include "distribution/test_flights.h"

int main(int argc, char** argv) {
    using namespace aerova;
    const int port = argc > 1 ? std::atoi(argv[1]) : 17988;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    auto table = testing::NewTable();
    for (int i = 0; i < kMaxFlights; ++i) {
        Tflight& f =
            testing::PlaceTarget(*table, i, IntToHex(0x3C0000u + static_cast<unsigned>(i), 6));
        f.flightid = "DLH" + std::to_string(i);
        f.lat = "53.55123";
        f.lon = "9.99321";
        f.altlabel = "F350";
        f.track3 = "271";
        f.gs4 = " 450";
        f.squawk = "1000";
        f.box = "0000";
    }
    std::mutex stationmutex;
    UdpDatagramSender sender;
    DataServer server(*table, stationmutex, sender);
    DataServerSettings settings;
    settings.address = "127.0.0.1";
    settings.port = port;
    settings.options = {1, false, ""};
    if (!server.Start(settings)) {
        std::fprintf(stderr, "cannot bind port %d\n", port);
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    double worstms = 0;
    for (int tick = 1; tick <= seconds; ++tick) {
        std::this_thread::sleep_until(start + std::chrono::seconds(tick));
        const double lateness = std::chrono::duration<double, std::milli>(
                                    Clock::now() - (start + std::chrono::seconds(tick)))
                                    .count();
        {
            std::scoped_lock lock(stationmutex);
            for (auto& f : table->flights) {
                f.fresh = true;
                f.freshhttp1 = true;
            }
        }
        worstms = std::max(worstms, lateness);
    }
    std::printf("ticks %d, worst tick lateness %.2f ms\n", seconds, worstms);
    server.Stop();
    return 0;
}
