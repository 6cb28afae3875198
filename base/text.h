#pragma once
// Bounded text: a field of at most N bytes that keeps its own length. Assigning a
// longer value keeps its first N bytes, exactly like the fixed-size string fields of
// the station's records. Comparisons are exact and case-sensitive.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace aerova {

template <std::size_t N>
class Text {
    static_assert(N > 0 && N < 256, "bounded texts hold at most 255 bytes");

  public:
    Text() = default;
    Text(std::string_view s) { assign(s); }  // NOLINT: implicit like a string field
    Text(const char* s) { assign(s ? std::string_view(s) : std::string_view()); }
    Text(const std::string& s) { assign(std::string_view(s)); }

    Text& operator=(std::string_view s) { return assign(s); }
    Text& operator=(const char* s) { return assign(s ? std::string_view(s) : std::string_view()); }
    Text& operator=(const std::string& s) { return assign(std::string_view(s)); }

    Text& assign(std::string_view s) {
        len_ = static_cast<std::uint8_t>(s.size() < N ? s.size() : N);
        if (len_ > 0) std::memcpy(buf_.data(), s.data(), len_);
        return *this;
    }

    static constexpr std::size_t capacity() { return N; }
    std::size_t size() const { return len_; }
    std::size_t length() const { return len_; }
    bool empty() const { return len_ == 0; }
    void clear() { len_ = 0; }
    char operator[](std::size_t i) const { return buf_[i]; }

    std::string_view view() const { return std::string_view(buf_.data(), len_); }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }  // NOLINT

    friend bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }
    friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const Text& a, const char* b) { return a.view() == std::string_view(b); }
    friend bool operator==(const Text& a, const std::string& b) { return a.view() == b; }
    friend std::string operator+(const Text& a, std::string_view b) {
        std::string r(a.view());
        r += b;
        return r;
    }
    friend std::string operator+(std::string_view a, const Text& b) {
        std::string r(a);
        r += b.view();
        return r;
    }
    friend std::ostream& operator<<(std::ostream& os, const Text& t) { return os << t.view(); }

  private:
    std::array<char, N> buf_{};
    std::uint8_t len_ = 0;
};

}  // namespace aerova
