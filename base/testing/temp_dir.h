#pragma once
// A scratch directory of its own for one test, below the system's temporary directory, and
// removed with everything in it at the end. Tests run in parallel processes, so a fixed
// name would let one test delete another's files.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/files.h"

namespace aerova::testing {

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "aerova-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(std::string_view name) const { return JoinPath(path_, name); }
    // Writes `content` to `name` below the directory, creating sub-directories.
    void Write(std::string_view name, std::string_view content) const {
        const std::filesystem::path file(File(name));
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << content;
    }

  private:
    std::string path_;
};

}  // namespace aerova::testing
