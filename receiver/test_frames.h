#pragma once
// Helpers for the receiver link tests: hex texts, valid frames with their parity, and the
// DLE receiver frame the input is expected to queue.

#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "base/strings.h"
#include "receiver/mode_s_parity.h"

namespace aerova::testing {

inline std::vector<std::uint8_t> HexBytes(const std::string& hex) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

inline std::string HexText(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (auto b : bytes) out += IntToHex(b, 2);
    return out;
}

// The frame with its parity field set so that it checks: for DF 11 and 17-19 the field is
// the parity itself (XOR `overlay`), for address/parity frames parity XOR address.
inline std::vector<std::uint8_t> WithParity(std::vector<std::uint8_t> frame,
                                            std::uint32_t overlay = 0) {
    const std::size_t n = frame.size();
    const std::uint32_t p = ModeSParityValue(frame.data(), n - 3) ^ overlay;
    frame[n - 3] = static_cast<std::uint8_t>(p >> 16);
    frame[n - 2] = static_cast<std::uint8_t>(p >> 8);
    frame[n - 1] = static_cast<std::uint8_t>(p);
    return frame;
}

inline std::string StarText(const std::vector<std::uint8_t>& frame) {
    return Concat({"*", HexText(frame), ";"});
}

// DF 17 airborne-velocity or identification frames for a 24-bit address, with parity.
inline std::vector<std::uint8_t> Df17(std::uint32_t address, std::vector<std::uint8_t> me) {
    std::vector<std::uint8_t> f = {0x8D, static_cast<std::uint8_t>(address >> 16),
                                   static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address)};
    f.insert(f.end(), me.begin(), me.end());
    f.resize(11);
    f.insert(f.end(), {0, 0, 0});
    return WithParity(f);
}

// A short reply (DF 0, 4, 5) whose parity field carries the address.
inline std::vector<std::uint8_t> ShortReply(int df, std::uint32_t address, std::uint8_t b1 = 0,
                                            std::uint8_t b2 = 0, std::uint8_t b3 = 0) {
    std::vector<std::uint8_t> f = {static_cast<std::uint8_t>(df << 3), b1, b2, b3, 0, 0, 0};
    return WithParity(f, address);
}

// A DF 11 all-call reply announcing `address` with interrogator code `ic` in its last byte.
inline std::vector<std::uint8_t> AllCall(std::uint32_t address, std::uint8_t ic = 0) {
    std::vector<std::uint8_t> f = {0x5D,
                                   static_cast<std::uint8_t>(address >> 16),
                                   static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address),
                                   0,
                                   0,
                                   0};
    return WithParity(f, ic);
}

// The receiver frame the input appends for `frame` (parity already resolved in `resolved`).
inline std::string QueuedFrame(std::uint8_t type, const std::vector<std::uint8_t>& resolved) {
    std::string q = {'\x10', '\x02', static_cast<char>(type), 0, 0, 0, 0};
    for (auto b : resolved) {
        q += static_cast<char>(b);
        if (b == 0x10) q += '\x10';
    }
    q += std::string{'\x10', '\x03', 0, 0};
    return q;
}

}  // namespace aerova::testing
