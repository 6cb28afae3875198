#pragma once
// Frame texts from the receiver link: the serial recognisers' texts, PlaneGadget packets and
// UDP 7933 datagrams are checked, their parity field resolved, and each accepted frame is
// appended to the receiver queue as one DLE-framed receiver frame:
//
//   10 02 | type | 00 00 00 00 | Mode-S frame, every 10 doubled | 10 03 | 00 00
//   DLE STX  1/5/7  time stamp     7 or 14 bytes                   DLE ETX  check bytes
//
// Type 1 = extended squitter (DF 17-19), 5 = long Mode-S (DF 20, 21), 7 = short Mode-S
// (DF 0, 4, 5, 11).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace aerova {

// Where a frame text came from: the text recognisers (`ComDataPacket1` to `3`), the
// PlaneGadget recogniser, or the network (no sender).
enum class FrameSender { Network, TextRecogniser, PlaneGadget };

// The data-traffic indicator (`ALed1`) of both radar windows, which mirror each other.
struct ActivityIndicator {
    static constexpr std::uint32_t kGreen = 0x00FF00;
    static constexpr std::uint32_t kRed = 0x0000FF;
    std::uint32_t color = kGreen;
    bool on = false;
};

struct FrameInputOptions {
    bool planeGadget = false;  // `sbpgr` of radar window 1
    bool tcas = false;         // "TCAS" on the receiver settings window: queue DF 0
};

// Receiver frame types.
constexpr std::uint8_t kFrameExtendedSquitter = 1;
constexpr std::uint8_t kFrameLongModeS = 5;
constexpr std::uint8_t kFrameShortModeS = 7;

// The receiver queue never holds more than the parse step can take: bytes beyond this are
// discarded at parse time anyway, so a frame that would not fit is not appended.
constexpr std::size_t kReceiverQueueLimit = 131071;

class FrameInput {
  public:
    FrameInput();

    // One frame text, with or without the "#" + 8 character time-stamp prefix.
    void ComDataPacket1Packet(FrameSender sender, std::string_view text);
    void ComDataPacket2Packet(FrameSender sender, std::string_view text) {
        ComDataPacket1Packet(sender, text);
    }
    // "@" + 12 time-stamp digits + frame digits + ";".
    void ComDataPacket3Packet(FrameSender sender, std::string_view text);
    // 0xFF + 14 frame bytes, only in PlaneGadget mode.
    void ComDataPacketPGRPacket(FrameSender sender, std::string_view packet);
    // One UDP 7933 datagram.
    void udpadsbUDPRead(const char* data, std::size_t size);

    FrameInputOptions options;
    ActivityIndicator indicator;
    bool trayReceiving = false;  // the tray icon shows its receiving image

    std::string& queue() { return queue_; }
    const std::string& queue() const { return queue_; }

    // Counters for the status line and tests.
    std::uint64_t framesQueued = 0;
    std::uint64_t parityRejects = 0;
    // Good frames dropped because the receiver queue was full (a receiver faster than the
    // poll that empties the queue).
    std::uint64_t queueFullDrops = 0;

  private:
    std::string queue_;
};

}  // namespace aerova
