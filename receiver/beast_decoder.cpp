#include "receiver/beast_decoder.h"

#include <utility>

#include "base/strings.h"

namespace aerova {

namespace {

constexpr std::uint8_t kEscape = 0x1A;
constexpr std::size_t kStampAndSignal = 6 + 1;
constexpr std::size_t kTimestampDigits = 12;

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

BeastDecoder::BeastDecoder(FrameHandler handler) : handler_(std::move(handler)) {}

void BeastDecoder::Reset() {
    state_ = State::kSeekEscape;
    have_ = need_ = 0;
    strayCounted_ = false;
}

void BeastDecoder::StartFrame(std::uint8_t type) {
    std::size_t frameBytes = 0;
    switch (type) {
        case '1':
            frameBytes = 2;
            break;
        case '2':
            frameBytes = 7;
            break;
        case '3':
            frameBytes = 14;
            break;
        case kEscape:
            // A doubled 0x1A outside a frame is a data byte of a frame we joined midway.
            state_ = State::kSeekEscape;
            return;
        default:
            // Receiver status and other frame types: their bodies are skipped as stray bytes.
            ++dropped;
            strayCounted_ = true;
            state_ = State::kSeekEscape;
            return;
    }
    type_ = type;
    need_ = kStampAndSignal + frameBytes;
    have_ = 0;
    state_ = State::kBody;
}

void BeastDecoder::BodyByte(std::uint8_t byte) {
    body_[have_++] = byte;
    if (have_ < need_) return;
    state_ = State::kSeekEscape;
    strayCounted_ = false;
    if (type_ == '1') {
        ++modeAcFrames;
        return;
    }
    ++frames;
    handler_(
        std::span<const std::uint8_t>(body_.data() + kStampAndSignal, need_ - kStampAndSignal));
}

void BeastDecoder::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        switch (state_) {
            case State::kSeekEscape:
                if (byte == kEscape) {
                    state_ = State::kType;
                } else if (!strayCounted_) {
                    ++dropped;
                    strayCounted_ = true;
                }
                break;
            case State::kType:
                StartFrame(byte);
                break;
            case State::kBody:
                if (byte == kEscape) {
                    state_ = State::kBodyEscape;
                } else {
                    BodyByte(byte);
                }
                break;
            case State::kBodyEscape:
                if (byte == kEscape) {
                    state_ = State::kBody;
                    BodyByte(byte);
                } else {
                    // A single 0x1A starts the next frame: this one was cut short.
                    ++dropped;
                    StartFrame(byte);
                }
                break;
        }
    }
}

RawFrameSplitter::RawFrameSplitter(TextHandler handler) : handler_(std::move(handler)) {}

void RawFrameSplitter::Reset() {
    inText_ = false;
    length_ = 0;
}

void RawFrameSplitter::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '*' || c == '@') {
            if (inText_) ++dropped;
            text_[0] = c;
            length_ = 1;
            inText_ = true;
        } else if (!inText_) {
            // Line ends, blank lines and whatever else lies between texts.
        } else if (c == ';') {
            text_[length_++] = c;
            inText_ = false;
            Finish();
        } else if (c == '\r' || c == '\n' || length_ + 1 >= text_.size()) {
            // Cut short, or longer than any frame: the ";" must still fit.
            ++dropped;
            inText_ = false;
        } else {
            text_[length_++] = c;
        }
    }
}

void RawFrameSplitter::Finish() {
    std::size_t begin = 0;
    if (text_[0] == '@') {
        // The receiver's clock is not used: the station stamps frames as they arrive.
        begin = kTimestampDigits;
        if (length_ < begin + 2) {
            ++dropped;
            return;
        }
        for (std::size_t i = 1; i <= kTimestampDigits; ++i) {
            if (!IsHexDigit(text_[i])) {
                ++dropped;
                return;
            }
        }
        text_[begin] = '*';
    }
    const std::string_view text(text_.data() + begin, length_ - begin);
    const std::size_t digits = text.size() - 2;
    if (digits != 14 && digits != 28) {
        // Mode-A/C texts ("*7700;") are no Mode-S frames; anything else is damaged.
        if (digits != 4) ++dropped;
        return;
    }
    for (std::size_t i = 1; i <= digits; ++i) {
        if (!IsHexDigit(text[i])) {
            ++dropped;
            return;
        }
    }
    ++frames;
    handler_(text);
}

std::size_t FrameText(std::span<const std::uint8_t> frame, char* out) {
    std::size_t n = 0;
    out[n++] = '*';
    for (const std::uint8_t byte : frame) {
        out[n++] = kHexDigits[byte >> 4];
        out[n++] = kHexDigits[byte & 0x0F];
    }
    out[n++] = ';';
    return n;
}

}  // namespace aerova
