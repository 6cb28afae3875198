#include "receiver/sbs_device_library.h"

namespace aerova {

SbsDeviceLibrary::~SbsDeviceLibrary() {
    Unload();
}

bool SbsDeviceLibrary::Load(const std::string& name) {
    Unload();
    library = DynamicLibrary::Open(name);
    if (!library) return false;
    void** entries[8] = {&init_sbs,         &close_sbs,        &read_queue,
                         &read_next_flight, &read_versiondata, &read_bandwidthdata,
                         &read_dllversion,  &restartSBS};
    for (int i = 0; i < 8; ++i) *entries[i] = library->Address(kExports[i]);
    return true;
}

void SbsDeviceLibrary::Unload() {
    library.reset();
    init_sbs = close_sbs = read_queue = read_next_flight = nullptr;
    read_versiondata = read_bandwidthdata = read_dllversion = restartSBS = nullptr;
}

}  // namespace aerova
