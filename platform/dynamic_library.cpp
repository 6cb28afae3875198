#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

namespace aerova {

std::optional<DynamicLibrary> DynamicLibrary::Open(const std::string& name) {
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
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
