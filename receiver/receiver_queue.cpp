#include "receiver/receiver_queue.h"

#include <algorithm>
#include <cstring>

#include "base/files.h"
#include "receiver/mode_s_parity.h"

namespace aerova {

namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr char kHexDigits[] = "0123456789ABCDEF";

std::int32_t Address24(const FrameBytes& p, std::size_t first) {
    return static_cast<std::int32_t>((p[first] << 16) | (p[first + 1] << 8) | p[first + 2]);
}

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 0x0F];
    }
}

}  // namespace

int NextReceiverFrame(const std::uint8_t* buffer, std::size_t count, std::size_t& position,
                      TSBSMsg& msg) {
    msg.type = 0;
    msg.firstByte = 0;
    msg.address = 0;
    msg.payload.clear();
    msg.check.clear();

    std::size_t pos = position;
    // Search DLE STX; a DLE followed by anything else is skipped together with that byte.
    for (;;) {
        if (pos >= count) {
            position = count;
            return kFrameNoStart;
        }
        if (buffer[pos] != kDle) {
            ++pos;
            continue;
        }
        if (pos + 1 >= count) {
            position = count;
            return kFrameEndsAfterDle;
        }
        const std::uint8_t next = buffer[pos + 1];
        pos += 2;
        if (next == kStx) break;
    }
    if (pos >= count) {
        position = count;
        return kFrameNoType;
    }
    msg.type = buffer[pos++];

    FrameBytes accumulator;
    bool payloadComplete = false;
    while (pos < count) {
        const std::uint8_t b = buffer[pos];
        if (b != kDle) {
            accumulator.push(b);
            ++pos;
            continue;
        }
        if (pos + 1 >= count) {
            position = count;
            if (!payloadComplete) return kFrameCutAtDle;
            msg.check = accumulator;
            return kFrameAtEnd;
        }
        const std::uint8_t next = buffer[pos + 1];
        if (next == kStx) {
            msg.check = accumulator;
            position = pos;
            return kFrameBeforeNext;
        }
        if (next == kDle) {
            accumulator.push(kDle);
        } else if (next == kEtx) {
            msg.payload = accumulator;
            payloadComplete = true;
            accumulator.clear();
        }
        pos += 2;
    }
    position = count;
    if (!payloadComplete) return kFrameCut;
    msg.check = accumulator;
    return kFrameAtEnd;
}

std::int32_t FrameAddress(const TSBSMsg& frame) {
    const FrameBytes& p = frame.payload;
    switch (frame.type) {
        case 1:
            return p.size == 18 ? Address24(p, 5) : -1;
        case 5:
            return p.size == 18 ? Address24(p, 15) : -1;
        case 7: {
            if (p.size != 11) return -1;
            const int df = p[4] >> 3;
            if (df == 0 || df == 4 || df == 5) return Address24(p, 8);
            if (df == 11) return Address24(p, 5);
            return -1;
        }
        default:
            return -1;
    }
}

std::string RawLogLine(DayTime utcNow, const TSBSMsg& frame) {
    std::string line = FormatDateTime("hhnnss.zzz", utcNow);
    line += " = ";
    const FrameBytes& p = frame.payload;
    const std::size_t stampBytes = std::min<std::size_t>(p.size, 4);
    AppendHex(line, p.data(), stampBytes);
    line += " = ";
    std::string h;
    if (p.size > 4) AppendHex(h, p.data() + 4, p.size - 4U);
    // Groups of the Mode-S frame: DF/CA byte, three bytes, three bytes, then for long frames
    // four bytes and three bytes.
    const std::size_t groups[][2] = {{0, 2}, {2, 6}, {8, 6}, {14, 8}, {22, 6}};
    const std::size_t groupCount = h.size() > 14 ? 5 : 3;
    for (std::size_t g = 0; g < groupCount; ++g) {
        if (g > 0) line += ' ';
        if (groups[g][0] < h.size()) line.append(h, groups[g][0], groups[g][1]);
    }
    return line;
}

bool RawLog::Start(const std::string& stationDir, DayTime utcNow) {
    const std::string dir = JoinPath(stationDir, "aerova-logs");
    ForceDirectories(dir);
    path_ = JoinPath(dir, "raw-" + FormatDateTime("yyyymmdd-hhnnss", utcNow) + ".log");
    active_ = CreateEmptyFile(path_) && AppendLine(path_, "Raw data log file - times are in UTC");
    return active_;
}

void RawLog::Append(std::string_view line) const {
    if (active_) AppendLine(path_, line);
}

ReceiverQueueParser::ReceiverQueueParser()
    : buffer_(std::make_unique<std::uint8_t[]>(kParseBufferSize)) {}

int ReceiverQueueParser::ParseReceiverQueue(std::string& queue, FrameSink& sink, DayTime utcNow,
                                            const RawLog* rawLog) {
    if (queue.empty()) return 0;
    const std::size_t count = std::min(queue.size(), kParseBufferSize);
    std::memcpy(buffer_.get(), queue.data(), count);
    queue.clear();

    std::size_t position = 0;
    int result = kFrameBeforeNext;
    TSBSMsg msg;
    while (result == kFrameBeforeNext && count - position >= 18) {
        result = NextReceiverFrame(buffer_.get(), count, position, msg);
        if (result < 0) break;
        const bool longType = msg.type == 1 || msg.type == 5;
        if (!(longType && msg.payload.size >= 18) && !(msg.type == 7 && msg.payload.size >= 11)) {
            continue;
        }
        const bool unchecked = msg.check.size == 2 && msg.check[0] == 0 && msg.check[1] == 0;
        if (!unchecked) {
            std::uint8_t covered[1 + FrameBytes::kCapacity];
            covered[0] = msg.type;
            std::memcpy(covered + 1, msg.payload.data(), msg.payload.size);
            const std::uint16_t crc = FrameCrc16(covered, msg.payload.size + 1U);
            if (msg.check.size != 2 || msg.check[0] != (crc >> 8) || msg.check[1] != (crc & 0xFF)) {
                ++checkFailures;
                continue;
            }
        }
        msg.firstByte = msg.payload[4];
        const std::int32_t address = FrameAddress(msg);
        msg.address = address < 0 ? 0 : static_cast<std::uint32_t>(address);
        if (rawLog && rawLog->active()) rawLog->Append(RawLogLine(utcNow, msg));
        ++framesAccepted;
        sink.DispatchFrame(msg, utcNow);
    }
    return 0;
}

}  // namespace aerova
