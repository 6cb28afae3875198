#include "receiver/sbs_device_library.h"

#include <dlfcn.h>

namespace aerova {

SbsDeviceLibrary::~SbsDeviceLibrary() {
    Unload();
}

bool SbsDeviceLibrary::Load(const std::string& name) {
    Unload();
    handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        dlerror();  // the library is optional: forget the failure
        return false;
    }
    void** entries[8] = {&init_sbs,         &close_sbs,        &read_queue,
                         &read_next_flight, &read_versiondata, &read_bandwidthdata,
                         &read_dllversion,  &restartSBS};
    for (int i = 0; i < 8; ++i) *entries[i] = dlsym(handle, kExports[i]);
    dlerror();
    return true;
}

void SbsDeviceLibrary::Unload() {
    if (handle) dlclose(handle);
    handle = nullptr;
    init_sbs = close_sbs = read_queue = read_next_flight = nullptr;
    read_versiondata = read_bandwidthdata = read_dllversion = restartSBS = nullptr;
}

}  // namespace aerova
