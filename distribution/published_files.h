#pragma once
// The files the station publishes to others (the pictures and status pages of aerova-img,
// the logs): written whole to a temporary name and renamed into place, read whole into
// memory, both under one mutex, so a reader never meets half a picture or a mix of two.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace aerova {

class PublishedFiles {
  public:
    // Replaces the whole file; false (and the old file untouched) when it cannot be written.
    bool Write(const std::string& path, std::string_view bytes);
    // The whole file; nothing when it is missing or cannot be read.
    std::optional<std::string> Read(const std::string& path) const;
    bool Exists(const std::string& path) const;
    // Empties an existing file in place: a log others keep appending to stays the same
    // file. False when it is missing or cannot be emptied.
    bool Clear(const std::string& path);
    bool Remove(const std::string& path);

  private:
    mutable std::mutex mutex_;
};

}  // namespace aerova
