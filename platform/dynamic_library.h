#pragma once
// A shared library loaded with dlopen and closed when the object goes: the station's
// companion libraries (the SBS-1 device library, the METAR library) are optional, so a
// library or export that is missing is an empty result, never an error that stops anything.

#include <optional>
#include <string>

namespace aerova {

class DynamicLibrary {
  public:
    // Loads `name` with every symbol bound at once. A bare name is looked for in the
    // program's folder first, as Windows does, then through the loader's search order
    // (LD_LIBRARY_PATH, the program's RUNPATH, the system's folders); a name with "/" is a
    // path. Nothing when the library cannot be loaded.
    static std::optional<DynamicLibrary> Open(const std::string& name);

    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    ~DynamicLibrary();

    // The address of the export `name`, or null when the library has none by that name.
    void* Address(const char* name) const;
    // The export `name` as a function of type T (Symbol<int(int)>("f")), or null.
    template <typename T>
    T* Symbol(const char* name) const {
        return reinterpret_cast<T*>(Address(name));
    }

  private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}

    void* handle_ = nullptr;
};

}  // namespace aerova
