// aerovadecode FILE [--lat DEG --lon DEG] [--station-dir DIR] [--tcas] [--global-cpr]
// Decodes a recorded log of frame texts through the station's receiver path and prints one
// JSON line per decoded frame; the counts go to standard error at the end.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "base/numbers.h"
#include "platform/station_dir.h"
#include "receiver/frame_log_decoder.h"
#include "receiver/receiver_settings.h"

int main(int argc, char** argv) {
    std::string file, stationDir;
    std::optional<double> lat, lon;
    bool tcas = false, tcasGiven = false, globalCpr = false;
    for (int k = 1; k < argc; ++k) {
        std::string_view arg = argv[k];
        bool ok = true;
        if ((arg == "--lat" || arg == "--lon") && k + 1 < argc) {
            auto v = aerova::TryParseReal(argv[++k]);
            ok = v && *v >= (arg == "--lat" ? -90 : -180) && *v <= (arg == "--lat" ? 90 : 180);
            (arg == "--lat" ? lat : lon) = v;
        } else if (arg == "--station-dir" && k + 1 < argc) {
            stationDir = argv[++k];
        } else if (arg == "--tcas") {
            tcas = tcasGiven = true;
        } else if (arg == "--global-cpr") {
            globalCpr = true;
        } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
            file = arg;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr,
                         "usage: aerovadecode FILE [--lat DEG --lon DEG] [--station-dir DIR] "
                         "[--tcas] [--global-cpr]\n");
            return 2;
        }
    }
    if (file.empty() || lat.has_value() != lon.has_value()) {
        std::fprintf(stderr,
                     "usage: aerovadecode FILE [--lat DEG --lon DEG] [--station-dir DIR] [--tcas] "
                     "[--global-cpr]\n");
        return 2;
    }
    std::ifstream in(file);
    if (!in) {
        std::perror(file.c_str());
        return 1;
    }

    // Without --lat/--lon the home position (and the "TCAS" switch) come from the receiver
    // settings of the station directory.
    aerova::ReceiverSettings settings = aerova::LoadReceiverSettings(
        aerova::ReceiverSettingsFileToLoad(aerova::ResolveStationDir(stationDir)));
    aerova::FrameLogOptions options;
    options.homelat = lat ? *lat : aerova::ReceiverLatitude(settings);
    options.homelon = lon ? *lon : aerova::ReceiverLongitude(settings);
    options.tcas = tcasGiven ? tcas : settings.cbtcas;
    options.globalCpr = globalCpr;

    std::ios::sync_with_stdio(false);
    aerova::FrameLogSummary s = aerova::DecodeFrameLog(in, std::cout, options);
    std::cout.flush();
    std::fprintf(
        stderr,
        "aerovadecode: %llu lines, %llu frames decoded, %llu malformed lines, %llu frames not "
        "queued, "
        "%llu frames of unknown addresses\n",
        static_cast<unsigned long long>(s.lines), static_cast<unsigned long long>(s.decoded),
        static_cast<unsigned long long>(s.malformed), static_cast<unsigned long long>(s.rejected),
        static_cast<unsigned long long>(s.unknown));
    return 0;
}
