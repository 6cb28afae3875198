#include "receiver/mode_s_parity.h"

#include <array>

#include "base/numbers.h"

namespace aerova {

namespace {

// One byte of message through the 24-bit division at a time: entry i is the remainder
// that byte i leaves when it reaches the top of the register.
constexpr std::array<std::uint32_t, 256> MakeParityTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i << 16;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x800000u) ? ((crc << 1) ^ 0xFFF409u) : (crc << 1);
        }
        table[i] = crc & 0xFFFFFFu;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> MakeCrc16Table() {
    std::array<std::uint16_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i << 8;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000u) ? ((crc << 1) ^ 0x1021u) : (crc << 1);
        }
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr auto kParityTable = MakeParityTable();
constexpr auto kCrc16Table = MakeCrc16Table();

}  // namespace

std::uint32_t ModeSParityValue(const std::uint8_t* bytes, std::size_t count) {
    if (count != 4 && count != 11) return 0;
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc = ((crc << 8) ^ kParityTable[((crc >> 16) ^ bytes[i]) & 0xFFu]) & 0xFFFFFFu;
    }
    return crc;
}

std::string ModeSParity(const std::uint8_t* bytes, std::size_t count) {
    return IntToHex(ModeSParityValue(bytes, count), 6);
}

std::uint16_t FrameCrc16(const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc16Table[((crc >> 8) ^ bytes[i]) & 0xFFu]);
    }
    return crc;
}

}  // namespace aerova
