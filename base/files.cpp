#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace aerova {

namespace fs = std::filesystem;

bool AppendLine(const std::string& path, std::string_view line) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.write("\r\n", 2);
    return static_cast<bool>(out.flush());
}

bool WriteFileReplacing(const std::string& path, std::string_view content) {
    return WriteFileReplacing(path, content, ReplaceOptions{});
}

bool WriteFileReplacing(const std::string& path, std::string_view content,
                        const ReplaceOptions& options) {
    if (path.empty()) return false;
    const std::string temporary = path + ".tmp";
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    std::remove(temporary.c_str());  // a leftover of a crash keeps no permissions of its own
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                          static_cast<mode_t>(options.newMode));
    if (fd < 0) return false;
    // A replaced file keeps its permissions; a new one gets `newMode` less the umask.
    bool ok = !replacing || ::fchmod(fd, existing.st_mode & 07777) == 0;
    for (std::size_t done = 0; ok && done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    if (ok && options.sync) ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && options.beforeRename) options.beforeRename(temporary);
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

bool CreateEmptyFile(const std::string& path) {
    return WriteFileReplacing(path, {});
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool ForceDirectories(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return true;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

bool DeleteFileAt(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec);
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string content;
    if (!ReadWholeFile(path, content)) return lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string JoinPath(std::string_view dir, std::string_view relative) {
    std::string rel(relative);
    for (char& c : rel)
        if (c == '\\') c = '/';
    while (!rel.empty() && rel.front() == '/') rel.erase(0, 1);
    std::string out(dir);
    if (out.empty()) return rel;
    if (out.back() != '/') out += '/';
    return out + rel;
}

std::string ExtractFileDir(std::string_view path) {
    const std::size_t p = path.find_last_of("/\\");
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p));
}

std::string ExtractFileName(std::string_view path) {
    const std::size_t p = path.find_last_of("/\\");
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

}  // namespace aerova
