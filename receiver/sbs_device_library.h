#pragma once
// The SBS-1 device library binding: "libdirectsbs.so" is loaded by name when reception
// starts and its eight exports are resolved in a fixed order. None of them is called; a
// missing library or export leaves its entry empty, and nothing is reported.

#include <optional>
#include <string>

#include "platform/dynamic_library.h"

namespace aerova {

struct SbsDeviceLibrary {
    // Export names, in the order they are resolved.
    static constexpr const char* kExports[8] = {
        "init_sbs",         "close_sbs",          "read_queue",      "read_next_flight",
        "read_versiondata", "read_bandwidthdata", "read_dllversion", "restartSBS"};
    static constexpr const char* kDefaultName = "libdirectsbs.so";

    SbsDeviceLibrary() = default;
    SbsDeviceLibrary(const SbsDeviceLibrary&) = delete;
    SbsDeviceLibrary& operator=(const SbsDeviceLibrary&) = delete;
    ~SbsDeviceLibrary();

    // Loads the library (a bare name goes through the loader's search path) and resolves
    // the exports. True when the library itself was found.
    bool Load(const std::string& name = kDefaultName);
    void Unload();

    bool loaded() const { return library.has_value(); }

    std::optional<DynamicLibrary> library;
    void* init_sbs = nullptr;
    void* close_sbs = nullptr;
    void* read_queue = nullptr;
    void* read_next_flight = nullptr;
    void* read_versiondata = nullptr;
    void* read_bandwidthdata = nullptr;
    void* read_dllversion = nullptr;
    void* restartSBS = nullptr;
};

}  // namespace aerova
