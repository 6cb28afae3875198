#pragma once
// Byte-stream decoders of the two frame formats that dump1090 and readsb publish over TCP:
// Beast binary (port 30005) and raw frame texts (port 30002). Both take the stream in
// whatever pieces the socket delivers, keep an unfinished frame for the next piece, drop
// what does not parse and find the next frame again. Neither allocates after construction.
//
// A Beast frame; every 0x1A byte after the leading one is sent doubled:
//
//   1A | type | 6-byte timestamp (12 MHz) | signal | frame
//        '1'                                          2 bytes  Mode-A/C reply (skipped)
//        '2'                                          7 bytes  short Mode-S
//        '3'                                          14 bytes long Mode-S

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace aerova {

class BeastDecoder {
  public:
    // One Mode-S frame of 7 or 14 bytes, valid only during the call.
    using FrameHandler = std::function<void(std::span<const std::uint8_t> frame)>;

    explicit BeastDecoder(FrameHandler handler);

    void Feed(std::string_view bytes);
    // Forgets a frame begun on an earlier connection.
    void Reset();

    std::uint64_t frames = 0;        // Mode-S frames handed on
    std::uint64_t modeAcFrames = 0;  // type '1' frames, skipped
    std::uint64_t dropped = 0;       // frames cut short, unknown types, stray bytes between frames

  private:
    enum class State { kSeekEscape, kType, kBody, kBodyEscape };
    void StartFrame(std::uint8_t type);
    void BodyByte(std::uint8_t byte);

    FrameHandler handler_;
    State state_ = State::kSeekEscape;
    std::uint8_t type_ = 0;
    std::size_t need_ = 0;  // timestamp, signal and frame bytes of this type
    std::size_t have_ = 0;
    std::array<std::uint8_t, 6 + 1 + 14> body_{};
    bool strayCounted_ = false;  // one drop per run of stray bytes, not one per byte
};

// Splits a stream of frame texts into single frames: "*" + hex digits + ";" (dump1090's
// raw output) or "@" + 12 timestamp digits + hex digits + ";" (its variant with the
// receiver's clock). Lines end in CR, LF or both; a text cut short by a line end or by the
// start of the next text, or longer than any frame, is dropped.
class RawFrameSplitter {
  public:
    // "*HEX;" with the timestamp of an "@" text removed, valid only during the call.
    using TextHandler = std::function<void(std::string_view text)>;

    explicit RawFrameSplitter(TextHandler handler);

    void Feed(std::string_view bytes);
    void Reset();

    std::uint64_t frames = 0;   // texts handed on
    std::uint64_t dropped = 0;  // texts cut short or too long

  private:
    void Finish();

    TextHandler handler_;
    // "@" + 12 timestamp digits + 28 frame digits + ";" is the longest text.
    std::array<char, 1 + 12 + 28 + 1> text_{};
    std::size_t length_ = 0;
    bool inText_ = false;
    bool overlong_ = false;
};

// "*" + two upper-case hexadecimal digits per byte + ";" into `out`; returns its length.
// `out` holds at least 2 * frame.size() + 2 characters.
std::size_t FrameText(std::span<const std::uint8_t> frame, char* out);

}  // namespace aerova
