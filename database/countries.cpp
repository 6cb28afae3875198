#include "database/countries.h"

#include <algorithm>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {
namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Case-insensitive ordering of the entry texts, by byte after ASCII upper-casing.
bool LessText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(Upper(a[i]));
        const auto y = static_cast<unsigned char>(Upper(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

// The entry key from the first 16 pattern bits: a block of fewer than 256 addresses does
// not exist in the allocation table, so 16 bits always name a block's first address.
bool BlockKey(std::string_view pattern, std::string& key) {
    if (pattern.size() < 16) return false;
    unsigned value = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = pattern[i];
        if (c != '0' && c != '1' && c != 'x' && c != 'X') return false;
        value = value << 1 | (c == '1' ? 1u : 0u);
    }
    key = IntToHex(value, 4) + "00";
    return true;
}

}  // namespace

void CountryTable::LoadCountries(const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) content.clear();
    Parse(content);
}

void CountryTable::Parse(std::string_view content) {
    entries_.clear();
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        const std::string_view line = content.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view pattern = line.substr(eq + 1);
        pattern = pattern.substr(0, pattern.find(','));
        std::string key;
        if (!BlockKey(Trim(pattern), key)) continue;
        entries_.push_back(key + " " + Trim(line.substr(0, eq)));
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const std::string& a, const std::string& b) { return LessText(a, b); });
}

std::string CountryTable::CountryOfAddress(std::string_view modes) const {
    if (modes == "000000") return "Unknown";
    if (modes == "FS2004") return {};
    if (entries_.empty()) return {};
    // Where the address would be inserted: before every entry that is not less than it,
    // so "3C0000" lands before "3C0000 Germany".
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), modes,
                                     [](const std::string& entry, std::string_view address) {
                                         return LessText(entry, address);
                                     });
    if (at == entries_.begin()) return "Unknown";
    return std::prev(at)->substr(std::min<std::size_t>(7, std::prev(at)->size()));
}

}  // namespace aerova
