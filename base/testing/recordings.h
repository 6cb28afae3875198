#pragma once
// Where the recorded Mode-S frames and a peer decoder's results for them are kept: the
// AEROVA_DATA_DIR environment variable, else the folder the build was configured with
// (CMake cache AEROVA_DATA_DIR). Tests and benchmarks read them from there, never from
// copies in the repository.

#include <cstdlib>
#include <string>

namespace aerova::testing {

inline std::string RecordingsDir() {
    if (const char* env = std::getenv("AEROVA_DATA_DIR")) return env;
    return AEROVA_DATA_DIR;
}

}  // namespace aerova::testing
