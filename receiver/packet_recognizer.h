#pragma once
// Packet recognisers on the serial byte stream. Each sees the whole stream and delivers
// every packet it finds including its start and stop strings: `ComDataPacket1` ("*" .. ";"),
// `ComDataPacket2` (":" .. ";"), `ComDataPacket3` ("@" .. ";") and the PlaneGadget
// recogniser (byte 0xFF, fixed size 15).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace aerova {

class PacketRecognizer {
  public:
    using Handler = std::function<void(std::string_view packet)>;

    // Start and stop strings.
    PacketRecognizer(std::string start, std::string stop, Handler handler);
    // Start string and fixed packet size.
    PacketRecognizer(std::string start, std::size_t size, Handler handler);

    void SetStart(std::string start) { start_ = std::move(start); }
    void Feed(std::string_view bytes);
    void Reset() { buffer_.clear(); }

    // Bytes waiting for the end of a packet are dropped beyond this (no frame text or
    // packet of the receiver comes near it).
    static constexpr std::size_t kMaxPending = 1024;

  private:
    std::string start_;
    std::string stop_;
    std::size_t size_ = 0;
    Handler handler_;
    std::string buffer_;
};

}  // namespace aerova
