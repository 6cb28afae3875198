#pragma once
// String helpers with the 1-based positions of the station's text rules. Strings hold
// bytes; case folding is ASCII only.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

// Station texts are Latin-1: the degree sign is one byte, and column widths count bytes.
constexpr char kDegreeSign = '\xB0';

// Up to `count` bytes from 1-based `index`; an index below 1 counts as 1, past the end
// gives an empty text.
std::string Copy(std::string_view s, long index, long count);
// 1-based position of the first `sub` in `s` at or after `from`; 0 when absent or `sub` empty.
std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from = 1);
// Removes `count` bytes from 1-based `index` in place.
void Delete(std::string& s, long index, long count);

// Trim removes control characters and blanks (bytes up to 0x20) at either end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view s);

// Cuts or pads with blanks on the right to exactly `width`.
std::string PadRight(std::string_view s, std::size_t width, char fill = ' ');
std::string PadLeft(std::string_view s, std::size_t width, char fill = ' ');

std::vector<std::string> Split(std::string_view s, char separator);

// The text without control bytes (below 0x20, and 0x7F): what a text from outside keeps
// before the station stores it. Latin-1 letters stay.
std::string Printable(std::string_view s);
// Appends a field of a line-based output (feed, data server, list files): control bytes and
// the output's own `separator` are left out, so a field can never end a line or start
// another field.
void AppendField(std::string& out, std::string_view field, char separator);

// Joins texts by appending them to one string. Used instead of "text" + std::string, which
// GCC 12 at -O3 flags with a false -Wrestrict (GCC bug 105329).
std::string Concat(std::initializer_list<std::string_view> parts);

// Reads separated fields one by one without copying; a field past the end reads as empty.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text, char separator = ':')
        : text_(text), separator_(separator) {}
    std::string_view Next();
    // Everything not yet read.
    std::string_view Rest() const { return done_ ? std::string_view() : text_.substr(pos_); }

  private:
    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    bool done_ = false;
};

inline bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The byte at `i` as an unsigned value (datagrams are 8-bit text).
inline unsigned char ByteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// A text as a URL query value: letters, digits and "-._~" stay, every other byte becomes
// "%XX".
std::string PercentEncoded(std::string_view text);

}  // namespace aerova
