#include "base/strings.h"

namespace aerova {

std::string Copy(std::string_view s, long index, long count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return {};
    return std::string(
        s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from) {
    if (sub.empty() || from < 1 || from > s.size()) return 0;
    const std::size_t p = s.find(sub, from - 1);
    return p == std::string_view::npos ? 0 : p + 1;
}

void Delete(std::string& s, long index, long count) {
    if (index < 1 || count <= 0 || static_cast<std::size_t>(index) > s.size()) return;
    s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

namespace {
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
}  // namespace

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && IsTrimmed(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && IsTrimmed(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

bool StartsText(std::string_view prefix, std::string_view s) {
    return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

std::string PadRight(std::string_view s, std::size_t width, char fill) {
    std::string r(s.substr(0, width));
    r.append(width - r.size(), fill);
    return r;
}

std::string PadLeft(std::string_view s, std::size_t width, char fill) {
    if (s.size() >= width) return std::string(s);
    return std::string(width - s.size(), fill) + std::string(s);
}

std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(separator, start);
        if (p == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, p - start));
        start = p + 1;
    }
}

std::string Printable(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F) out += c;
    }
    return out;
}

void AppendField(std::string& out, std::string_view field, char separator) {
    for (const char c : field) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F && c != separator) out += c;
    }
}

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view p : parts) size += p.size();
    std::string joined;
    joined.reserve(size);
    for (const std::string_view p : parts) joined.append(p);
    return joined;
}

std::string_view FieldReader::Next() {
    if (done_) return {};
    const std::size_t end = text_.find(separator_, pos_);
    if (end == std::string_view::npos) {
        done_ = true;
        return text_.substr(pos_);
    }
    const std::string_view field = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return field;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(from, start);
        if (p == std::string_view::npos) break;
        r.append(s.substr(start, p - start));
        r.append(to);
        start = p + from.size();
    }
    r.append(s.substr(start));
    return r;
}

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            b == '-' || b == '.' || b == '_' || b == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

}  // namespace aerova
