#include "base/ini_file.h"

#include <fstream>
#include <sstream>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    Parse(buffer.str());
}

void IniFile::Parse(std::string_view content) {
    preamble_.clear();
    sections_.clear();
    std::vector<Line>* target = &preamble_;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string raw(content.substr(start, end - start));
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = Trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
            sections_.push_back(Section{Trim(line.substr(1, line.find(']') - 1)), {}});
            target = &sections_.back().lines;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '#' || eq == std::string::npos ||
            eq == 0) {
            target->push_back(Line{"", raw});
            continue;
        }
        std::string value = Trim(line.substr(eq + 1));
        // Windows strips one pair of matching quotes around a value.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        target->push_back(Line{Trim(line.substr(0, eq)), value});
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section& IniFile::SectionFor(std::string_view name) {
    for (auto& s : sections_)
        if (SameText(s.name, name)) return s;
    sections_.push_back(Section{std::string(name), {}});
    return sections_.back();
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const auto& l : s->lines)
        if (!l.key.empty() && SameText(l.key, key)) return &l;
    return nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Line* l = FindLine(section, key);
    return l ? l->value : std::string(fallback);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const Line* l = FindLine(section, key);
    if (!l) return fallback;
    return IntOr(l->value, fallback);
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double fallback) const {
    const Line* l = FindLine(section, key);
    if (!l) return fallback;
    return RealOr(l->value, fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionFor(section);
    for (auto& l : s.lines) {
        if (!l.key.empty() && SameText(l.key, key)) {
            l.value = std::string(value);
            return;
        }
    }
    // New keys go after the last key of the section, before trailing blank lines.
    std::size_t at = s.lines.size();
    while (at > 0 && s.lines[at - 1].key.empty() && Trim(s.lines[at - 1].value).empty()) --at;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Line{std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, RealToText(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindLine(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const auto& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const auto& l : s->lines)
            if (!l.key.empty()) keys.push_back(l.key);
    return keys;
}

void IniFile::EraseSection(std::string_view section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (SameText(it->name, section)) {
            sections_.erase(it);
            return;
        }
    }
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    for (auto& s : sections_) {
        if (!SameText(s.name, section)) continue;
        for (auto it = s.lines.begin(); it != s.lines.end(); ++it) {
            if (!it->key.empty() && SameText(it->key, key)) {
                s.lines.erase(it);
                return;
            }
        }
    }
}

std::string IniFile::ToText() const {
    std::string out;
    auto put = [&out](const Line& l) {
        out += l.key.empty() ? l.value : l.key + "=" + l.value;
        out += "\r\n";
    };
    for (const auto& l : preamble_) put(l);
    for (const auto& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& l : s.lines) put(l);
    }
    return out;
}

bool IniFile::UpdateFile() const {
    return WriteFileReplacing(path_, ToText());
}

bool IniFile::UpdateFile(const ReplaceOptions& options) const {
    return WriteFileReplacing(path_, ToText(), options);
}

}  // namespace aerova
