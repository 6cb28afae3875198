#pragma once
// Command-line options of aerovamini.

#include <optional>
#include <string>
#include <vector>

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
};

// Parses the arguments after the program name; an error text on a bad option.
std::optional<RunOptions> ParseRunOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace aerova
