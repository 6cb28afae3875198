#include "receiver/mode_s_parity.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace aerova {
namespace {

// The bit-serial definition: a 32-bit register loaded with the first four bytes; each step
// XORs 0xFFFA0480 when the top bit is set, then shifts in the next message bit.
std::uint32_t BitSerialParity(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t reg = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                        (std::uint32_t{bytes[2]} << 8) | bytes[3];
    const std::size_t steps = count == 4 ? 32 : 88;
    for (std::size_t step = 0; step < steps; ++step) {
        if (reg & 0x80000000u) reg ^= 0xFFFA0480u;
        const std::size_t bit = 32 + step;
        std::uint32_t next = 0;
        if (bit < count * 8) next = (bytes[bit / 8] >> (7 - bit % 8)) & 1u;
        reg = (reg << 1) | next;
    }
    return reg >> 8;
}

std::vector<std::uint8_t> Bytes(const char* hex) {
    std::vector<std::uint8_t> out;
    for (const char* p = hex; p[0] && p[1]; p += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
    }
    return out;
}

TEST(ModeSParityTest, TableEqualsBitSerialDefinition) {
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::uint8_t b[11];
        for (auto& v : b) v = static_cast<std::uint8_t>(rng());
        ASSERT_EQ(ModeSParityValue(b, 11), BitSerialParity(b, 11)) << i;
        ASSERT_EQ(ModeSParityValue(b, 4), BitSerialParity(b, 4)) << i;
    }
}

TEST(ModeSParityTest, UndamagedFramesCarryTheirParity) {
    struct Case {
        const char* frame;
        const char* parity;
    } cases[] = {
        {"8D406B902015A678D4D220AA4BDA", "AA4BDA"},  // DF 17 identification
        {"8D4840D6202CC371C32CE0576098", "576098"},
    };
    for (const auto& c : cases) {
        const auto b = Bytes(c.frame);
        EXPECT_EQ(ModeSParity(b.data(), b.size() - 3), c.parity) << c.frame;
    }
    const std::uint8_t zeros[11] = {};
    EXPECT_EQ(ModeSParity(zeros, 11), "000000");
    EXPECT_EQ(ModeSParityValue(zeros, 7), 0u);  // only 4 and 11 bytes have a parity
}

TEST(FrameCrc16Test, IsCrc16Xmodem) {
    const std::string check = "123456789";
    EXPECT_EQ(FrameCrc16(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()),
              0x31C3);
    EXPECT_EQ(FrameCrc16(nullptr, 0), 0);
    const std::uint8_t one[] = {0x01};
    EXPECT_EQ(FrameCrc16(one, 1), 0x1021);
}

}  // namespace
}  // namespace aerova
