#include "base/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace aerova {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::optional<std::int64_t> ParseInteger(std::string_view s, std::int64_t lo, std::int64_t hi) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const char* first = s.data() + i;
    const char* last = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    if (base == 16 && !negative && magnitude <= 0xFFFFFFFFull &&
        hi == std::numeric_limits<std::int32_t>::max()) {
        // "$FFFFFFFF" is -1 for a 32-bit integer, as hexadecimal constants are bit patterns.
        return static_cast<std::int64_t>(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude)));
    }
    if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    const auto value =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int32_t> TryParseInt(std::string_view text) {
    auto v = ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max());
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::int64_t> TryParseInt64(std::string_view text) {
    return ParseInteger(text, std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max());
}

std::optional<double> TryParseReal(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    if (b < e && s[b] == '+') ++b;
    if (b >= e) return std::nullopt;
    // Only digits, sign, point and exponent: no "inf", "nan" or hexadecimal floats.
    const char c0 = s[b] == '-' && b + 1 < e ? s[b + 1] : s[b];
    if (!((c0 >= '0' && c0 <= '9') || c0 == '.')) return std::nullopt;
    double value = 0;
    auto [ptr, ec] = std::from_chars(s.data() + b, s.data() + e, value, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + e) return std::nullopt;
    return value;
}

std::int32_t IntOf(std::string_view text) {
    return IntOr(text, 1);
}
double RealOf(std::string_view text) {
    return RealOr(text, 1.0);
}

std::int32_t IntOr(std::string_view text, std::int32_t fallback) {
    auto v = TryParseInt(text);
    return v ? *v : fallback;
}

double RealOr(std::string_view text, double fallback) {
    auto v = TryParseReal(text);
    return v ? *v : fallback;
}

std::string RealToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);  // d.dddddddddddddde±xx: 15 digits
    std::string text(buf);
    const std::size_t epos = text.find('e');
    const int exponent = std::atoi(text.c_str() + epos + 1);
    std::string mantissa = text.substr(0, epos);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out += '.' + digits.substr(1);
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + '.' + digits.substr(intDigits);
        }
    }
    return out;
}

std::string RealToShortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string RealToFixed(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : decimals, value);
    return buf;
}

std::string IntToHex(std::uint64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits < 1 ? 1 : digits,
                  static_cast<unsigned long long>(value));
    return buf;
}

}  // namespace aerova
