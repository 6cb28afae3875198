#include "distribution/xml_text.h"

#include <cstdint>

#include "base/strings.h"

namespace aerova {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A character XML 1.0 allows in a document (tab and line ends are left to the callers:
// the texts here are single lines).
bool XmlChar(std::uint32_t c) {
    if (c < 0x20) return c == '\t';
    if (c == 0x7F) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

void AppendEscaped(std::string& out, std::uint32_t c) {
    switch (c) {
        case '&':
            out += "&amp;";
            return;
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '"':
            out += "&quot;";
            return;
        case '\'':
            out += "&apos;";
            return;
        default:
            if (XmlChar(c))
                AppendUtf8(out, c);
            else
                out += kReplacement;
    }
}

// Decodes UTF-8, calling `emit` with each character; a byte that starts no well-formed
// sequence (overlong, surrogate, beyond U+10FFFF, cut short) gives U+FFFD and decoding
// goes on at the next byte.
template <typename Emit>
void DecodeUtf8(std::string_view s, Emit emit) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = ByteAt(s, i);
        std::size_t n = 0;
        std::uint32_t c = 0, min = 0;
        if (b < 0x80) {
            emit(b);
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            n = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            n = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            n = 3, c = b & 0x07, min = 0x10000;
        }
        bool ok = n > 0;
        for (std::size_t k = 1; ok && k <= n; ++k) {
            if (i + k >= s.size() || (ByteAt(s, i + k) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (ByteAt(s, i + k) & 0x3F);
        }
        if (ok && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF)) {
            emit(c);
            i += n + 1;
        } else {
            emit(0xFFFD);
            ++i;
        }
    }
}

}  // namespace

std::string XmlText(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (std::size_t i = 0; i < latin1.size(); ++i) AppendEscaped(out, ByteAt(latin1, i));
    return out;
}

// A UTF-8 text as XML character data.
std::string XmlTextFromUtf8(std::string_view utf8) {
    std::string out;
    DecodeUtf8(utf8, [&](std::uint32_t c) { AppendEscaped(out, c); });
    return out;
}

// A template line: markup stays as it is, but the document stays valid UTF-8.
std::string CleanUtf8(std::string_view utf8) {
    std::string out;
    DecodeUtf8(utf8, [&](std::uint32_t c) {
        if (XmlChar(c))
            AppendUtf8(out, c);
        else
            out += kReplacement;
    });
    return out;
}

}  // namespace aerova
