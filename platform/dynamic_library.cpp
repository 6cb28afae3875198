#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <utility>

#include "platform/station_dir.h"

namespace aerova {

std::optional<DynamicLibrary> DynamicLibrary::Open(const std::string& name) {
    void* handle = nullptr;
    // The program's own folder first, by path: the loader would look there through the
    // program's RUNPATH only when the program itself calls dlopen, and an interposed dlopen
    // (the sanitizers') makes the interposer the caller.
    if (name.find('/') == std::string::npos) {
        const std::string beside = ExecutableDirectory() + "/" + name;
        if (::access(beside.c_str(), F_OK) == 0)
            handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (handle == nullptr) handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        dlerror();  // the library is optional: forget the failure
        return std::nullopt;
    }
    return DynamicLibrary(handle);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* DynamicLibrary::Address(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    void* address = dlsym(handle_, name);
    if (address == nullptr) dlerror();
    return address;
}

}  // namespace aerova
