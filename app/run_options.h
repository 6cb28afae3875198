#pragma once
// Command-line options of aerovamini.

#include <optional>
#include <string>
#include <vector>

#include "receiver/net_input_source.h"

namespace aerova {

struct RunOptions {
    bool headless = false;
    bool demo = false;
    bool nosrv = false;  // first argument "nosrv": the UDP sockets stay closed
    bool poll = false;   // poll a remote station's data server (active set of `mini`)
    std::string stationDir;
    int portOffset = 0;
    double runSeconds = 0;    // > 0: shut down by itself after this long (for tests)
    std::string checkScript;  // an alert script to check and print, instead of running
    // `--net-input HOST:PORT[,raw|beast]`, repeatable: receivers to connect to, besides the
    // settings file's.
    std::vector<NetInputSource> netInputs;
};

// Parses the arguments after the program name; an error text on a bad option.
std::optional<RunOptions> ParseRunOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace aerova
