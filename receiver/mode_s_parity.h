#pragma once
// Mode-S parity (ICAO Annex 10, generator polynomial 0x1FFF409) and the 16-bit check of a
// receiver frame (CRC-16/XMODEM).

#include <cstddef>
#include <cstdint>
#include <string>

namespace aerova {

// 24-bit parity of the first 4 bytes (56-bit frame) or 11 bytes (112-bit frame); any
// other length gives 0. Table-driven, equal to the bit-serial definition.
std::uint32_t ModeSParityValue(const std::uint8_t* bytes, std::size_t count);
// The same as six upper-case hexadecimal digits.
std::string ModeSParity(const std::uint8_t* bytes, std::size_t count);

// CRC-16/XMODEM: polynomial 0x1021, initial 0, most significant bit first, no final XOR.
std::uint16_t FrameCrc16(const std::uint8_t* bytes, std::size_t count);

}  // namespace aerova
