#pragma once
// INI files with the semantics the station's settings rely on: sections and keys are
// matched without regard to case, a missing key gives the caller's default, and saving
// writes back every section, key, comment and blank line that was read, in its order,
// with only the touched values changed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/files.h"

namespace aerova {

class IniFile {
  public:
    IniFile() = default;
    // Reads the file when it exists; a missing or unreadable file is an empty one.
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }
    void Parse(std::string_view content);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // "$1F" and "0x1F" are hexadecimal; an unreadable value gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    double ReadFloat(std::string_view section, std::string_view key, double fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
    void WriteFloat(std::string_view section, std::string_view key, double value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(std::string_view section) const;  // key names
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    std::string ToText() const;
    // Writes the whole file to `path()`; false when it cannot be written.
    bool UpdateFile() const;
    bool UpdateFile(const ReplaceOptions& options) const;

  private:
    struct Line {
        std::string key;    // empty for comments and blank lines
        std::string value;  // the value, or the raw line of a comment
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };
    const Section* FindSection(std::string_view name) const;
    Section& SectionFor(std::string_view name);
    const Line* FindLine(std::string_view section, std::string_view key) const;

    std::string path_;
    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};

}  // namespace aerova
