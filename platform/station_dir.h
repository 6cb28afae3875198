#pragma once
// The station directory: every file and sub-directory the station uses lives below it.

#include <string>

namespace aerova {

// Directory of the running executable (from /proc/self/exe); "." when it cannot be read.
std::string ExecutableDirectory();
// `requested` when given (made absolute), else the executable's directory.
std::string ResolveStationDir(const std::string& requested);

}  // namespace aerova
