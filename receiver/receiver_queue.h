#pragma once
// The parse side of the receiver queue: the DLE frame scanner, the parse step that checks
// each frame and hands it on, and the raw log of accepted frames.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/day_time.h"

namespace aerova {

// A byte string of at most 64 bytes: the scanner's accumulator drops anything beyond.
struct FrameBytes {
    static constexpr std::size_t kCapacity = 64;
    std::uint8_t size = 0;
    std::array<std::uint8_t, kCapacity> bytes{};

    void clear() { size = 0; }
    void push(std::uint8_t b) {
        if (size < kCapacity) bytes[size++] = b;
    }
    const std::uint8_t* data() const { return bytes.data(); }
    std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
    std::string_view view() const {
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), size);
    }
};

// One parsed receiver frame. The payload is the time stamp (4 bytes) followed by the Mode-S
// frame, with the DLE stuffing removed.
struct TSBSMsg {
    std::uint8_t type = 0;
    std::uint8_t firstByte = 0;  // first byte of the Mode-S frame, once the payload is known
    std::uint32_t address = 0;   // the 24-bit address the frame is filed under; 0 when none
    FrameBytes payload;
    FrameBytes check;
};

// Scanner results.
constexpr int kFrameBeforeNext = 0;     // frame complete, `position` at the next DLE STX
constexpr int kFrameAtEnd = 1;          // frame complete at the end of the buffer
constexpr int kFrameNoStart = -1;       // no DLE STX in the rest of the buffer
constexpr int kFrameEndsAfterDle = -2;  // buffer ends right after a DLE while searching
constexpr int kFrameNoType = -3;        // buffer ends right after DLE STX
constexpr int kFrameCutAtDle = -4;      // buffer ends in a DLE before the payload was complete
constexpr int kFrameCut = -5;           // buffer ends before the payload was complete

// Scans one receiver frame from `position` up to `count` and advances `position`.
int NextReceiverFrame(const std::uint8_t* buffer, std::size_t count, std::size_t& position,
                      TSBSMsg& msg);

// The 24-bit address a frame is filed under: type 1 from payload bytes 5-7, type 5 from
// 15-17 (the resolved address field), type 7 DF 0/4/5 from 8-10 and DF 11 from 5-7 (its
// announced address). -1 for any other type, DF or payload length.
std::int32_t FrameAddress(const TSBSMsg& frame);

// Receives the frames that pass the parse step.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual void DispatchFrame(const TSBSMsg& frame, DayTime utcNow) = 0;
};

// "hhnnss.zzz = SSSSSSSS = HH HHHHHH HHHHHH[ HHHHHHHH HHHHHHHHHH]" for an accepted frame.
std::string RawLogLine(DayTime utcNow, const TSBSMsg& frame);

// The raw receiver log: "aerova-logs/raw-yyyymmdd-hhnnss.log" in the station directory.
class RawLog {
  public:
    // Creates (or replaces) the file with its title line; false when it cannot be written.
    bool Start(const std::string& stationDir, DayTime utcNow);
    void Stop() { active_ = false; }
    bool active() const { return active_; }
    const std::string& path() const { return path_; }
    void Append(std::string_view line) const;

  private:
    std::string path_;
    bool active_ = false;
};

class ReceiverQueueParser {
  public:
    static constexpr std::size_t kParseBufferSize = 131071;
    ReceiverQueueParser();

    // Takes the whole queue (at most kParseBufferSize bytes of it) and hands every accepted
    // frame to `sink`; `rawLog` may be null. Returns 0.
    int ParseReceiverQueue(std::string& queue, FrameSink& sink, DayTime utcNow,
                           const RawLog* rawLog);

    std::uint64_t framesAccepted = 0;
    std::uint64_t checkFailures = 0;

  private:
    std::unique_ptr<std::uint8_t[]> buffer_;
};

}  // namespace aerova
