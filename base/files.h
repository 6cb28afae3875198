#pragma once
// File helpers. The station opens, appends and closes a file for every line it writes
// to a log or list file, so a crash never loses more than the line being written.

#include <string>
#include <string_view>
#include <vector>

namespace aerova {

// Appends `line` and CR LF, creating the file when missing. False when it cannot be written.
bool AppendLine(const std::string& path, std::string_view line);
// Replaces the whole file with `content`: written to a temporary file beside it and renamed
// into place, so a reader or a crash of the program never sees half a file. There is no
// fsync: lists are rewritten on the event-loop thread as vessel reports arrive. False (and
// the old file untouched) when it cannot be written.
bool WriteFileReplacing(const std::string& path, std::string_view content);

// How a file that must survive a crash or a power cut is replaced.
struct ReplaceOptions {
    bool sync = false;        // flush the temporary file to the disk before the rename
    unsigned newMode = 0644;  // permissions of a file that does not exist yet; an existing
                              // file keeps its own
    // Runs between the written temporary file and the rename (tests stop the process
    // there to show that the old file survives).
    void (*beforeRename)(const std::string& temporary) = nullptr;
};
bool WriteFileReplacing(const std::string& path, std::string_view content,
                        const ReplaceOptions& options);
// Settings files: flushed before the rename, and a new one readable by its owner only (they
// hold passwords).
constexpr ReplaceOptions kSettingsFileOptions{true, 0600, nullptr};
// Creates an empty file, or empties an existing one.
bool CreateEmptyFile(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the directory and its parents where missing.
bool ForceDirectories(const std::string& path);
bool DeleteFileAt(const std::string& path);
// The whole file, or nothing when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);
// Lines without their CR/LF endings.
std::vector<std::string> ReadLines(const std::string& path);
// Joins a directory and a relative name written with "\" or "/" separators.
std::string JoinPath(std::string_view dir, std::string_view relative);
std::string ExtractFileDir(std::string_view path);
std::string ExtractFileName(std::string_view path);

}  // namespace aerova
