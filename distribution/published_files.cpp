#include "distribution/published_files.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/files.h"

namespace aerova {

bool PublishedFiles::Write(const std::string& path, std::string_view bytes) {
    std::scoped_lock lock(mutex_);
    return WriteFileReplacing(path, bytes);
}

std::optional<std::string> PublishedFiles::Read(const std::string& path) const {
    std::scoped_lock lock(mutex_);
    if (!FileExists(path)) return std::nullopt;
    std::string content;
    if (!ReadWholeFile(path, content)) return std::nullopt;
    return content;
}

bool PublishedFiles::Exists(const std::string& path) const {
    std::scoped_lock lock(mutex_);
    return FileExists(path);
}

bool PublishedFiles::Clear(const std::string& path) {
    std::scoped_lock lock(mutex_);
    if (!FileExists(path)) return false;
    // Truncated, not replaced: a writer holding the log open goes on writing to it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    return ::close(fd) == 0;
}

bool PublishedFiles::Remove(const std::string& path) {
    std::scoped_lock lock(mutex_);
    return DeleteFileAt(path);
}

}  // namespace aerova
