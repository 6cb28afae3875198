#include "receiver/frame_input.h"

#include <cstring>

#include "core/report_codec.h"
#include "receiver/mode_s_parity.h"

namespace aerova {

namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::size_t kStampPrefixLength = 9;  // "#" + 8 characters

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Converts exactly 2*count hexadecimal digits; false on any other character.
bool HexToBytes(const char* digits, std::size_t count, std::uint8_t* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const int hi = HexValue(digits[2 * i]);
        const int lo = HexValue(digits[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<std::uint8_t>((hi << 4) | lo);
    }
    return true;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

FrameInput::FrameInput() {
    queue_.reserve(kReceiverQueueLimit);
}

void FrameInput::ComDataPacket1Packet(FrameSender sender, std::string_view text) {
    if (options.planeGadget && sender == FrameSender::TextRecogniser) return;
    if (text.size() < 7) return;
    // Texts without the time-stamp prefix count as if "#00000000" stood in front.
    const bool stamped = text.front() == '#';
    const std::size_t prefixed = stamped ? text.size() : text.size() + kStampPrefixLength;
    if (prefixed != 25 && prefixed != 39) return;
    const std::string_view body = stamped ? text.substr(kStampPrefixLength) : text;
    // body: start character, 14 or 28 digits, and the stop character.
    const char start = body.front();
    if (start != '*' && start != ':') return;

    indicator.color = ActivityIndicator::kGreen;
    indicator.on = true;
    trayReceiving = true;

    const std::size_t length = prefixed == 25 ? 7 : 14;
    std::uint8_t b[14];
    if (!HexToBytes(body.data() + 1, length, b)) return;

    // The parity field becomes the address (DF 0, 4, 5, 20, 21) or the remainder, which is
    // zero for an undamaged DF 11 or DF 17-19 frame. ":" texts carry it already resolved.
    if (start != ':') {
        const std::uint32_t parity = ModeSParityValue(b, length - 3);
        b[length - 3] ^= static_cast<std::uint8_t>(parity >> 16);
        b[length - 2] ^= static_cast<std::uint8_t>(parity >> 8);
        b[length - 1] ^= static_cast<std::uint8_t>(parity);
    }

    const int df = b[0] >> 3;
    if (df == 16 || df > 21) return;
    if (df == 0 && !options.tcas) return;
    const bool shortDf = df == 0 || df == 4 || df == 5 || df == 11;
    const bool longDf = df >= 17 && df <= 21;
    if (!shortDf && !longDf) return;  // DF 1-3, 6-10, 12-15 are not queued
    if (length != (shortDf ? 7u : 14u)) return;

    std::uint8_t type;
    if (shortDf) {
        // DF 11: the last byte holds the interrogator code, the two before must be clear.
        if (df == 11 && (b[4] != 0 || b[5] != 0)) {
            indicator.color = ActivityIndicator::kRed;
            indicator.on = true;
            ++parityRejects;
            return;
        }
        type = kFrameShortModeS;
    } else if (df <= 19) {
        if (b[11] != 0 || b[12] != 0 || b[13] != 0) {
            indicator.color = ActivityIndicator::kRed;
            indicator.on = true;
            ++parityRejects;
            return;
        }
        type = kFrameExtendedSquitter;
    } else {
        type = kFrameLongModeS;
    }

    std::uint8_t frame[2 + 1 + 4 + 28 + 4];
    std::size_t n = 0;
    frame[n++] = kDle;
    frame[n++] = kStx;
    frame[n++] = type;
    for (int i = 0; i < 4; ++i) frame[n++] = 0;
    for (std::size_t i = 0; i < length; ++i) {
        frame[n++] = b[i];
        if (b[i] == kDle) frame[n++] = kDle;
    }
    frame[n++] = kDle;
    frame[n++] = kEtx;
    frame[n++] = 0;
    frame[n++] = 0;
    if (queue_.size() + n > kReceiverQueueLimit) {
        ++queueFullDrops;
        return;
    }
    queue_.append(reinterpret_cast<const char*>(frame), n);
    ++framesQueued;
    indicator.on = true;
}

void FrameInput::ComDataPacket3Packet(FrameSender sender, std::string_view text) {
    if (text.size() < 13) return;
    std::string s = "*";
    s.append(text.substr(13));
    ComDataPacket1Packet(sender, s);
}

void FrameInput::ComDataPacketPGRPacket(FrameSender sender, std::string_view packet) {
    if (!options.planeGadget) return;
    if (packet.size() != 15 || static_cast<std::uint8_t>(packet[0]) != 0xFF) return;
    char text[1 + 28 + 1];
    std::size_t n = 0;
    text[n++] = '*';
    // A first byte below 0x80 is DF 0-15: a 56-bit frame in the first 7 of the 14 bytes.
    const std::size_t bytes = static_cast<std::uint8_t>(packet[1]) < 0x80 ? 7 : 14;
    for (std::size_t i = 1; i <= bytes; ++i) {
        const auto v = static_cast<std::uint8_t>(packet[i]);
        text[n++] = kHexDigits[v >> 4];
        text[n++] = kHexDigits[v & 0x0F];
    }
    text[n++] = ';';
    ComDataPacket1Packet(sender, std::string_view(text, n));
}

void FrameInput::udpadsbUDPRead(const char* data, std::size_t size) {
    if (size > kMaxDatagram) size = kMaxDatagram;
    if (size < 5) return;
    std::string_view s(data, size);
    const std::size_t zero = s.find('\0');
    if (zero != std::string_view::npos) s = s.substr(0, zero);
    constexpr std::size_t kKeep = 100;
    if (!s.empty() && s.front() == '%' && s.size() > 10) {
        s = s.substr(9, kKeep);
    } else if (!s.empty() && (s.front() == '#' || s.front() == '$') && s.size() > 7) {
        s = s.substr(6, kKeep);
    }
    if (!s.empty() && s.front() == '@' && s.size() > 14) {
        char text[1 + kKeep];
        const std::string_view rest = s.substr(13, kKeep);
        text[0] = '*';
        std::memcpy(text + 1, rest.data(), rest.size());
        ComDataPacket1Packet(FrameSender::Network, std::string_view(text, rest.size() + 1));
        return;
    }
    if (!s.empty() && (s.front() == '*' || s.front() == ':')) {
        ComDataPacket1Packet(FrameSender::Network, s);
    }
}

}  // namespace aerova
