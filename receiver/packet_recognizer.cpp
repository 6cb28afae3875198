#include "receiver/packet_recognizer.h"

#include <algorithm>
#include <utility>

namespace aerova {

PacketRecognizer::PacketRecognizer(std::string start, std::string stop, Handler handler)
    : start_(std::move(start)), stop_(std::move(stop)), handler_(std::move(handler)) {}

PacketRecognizer::PacketRecognizer(std::string start, std::size_t size, Handler handler)
    : start_(std::move(start)), size_(size), handler_(std::move(handler)) {}

void PacketRecognizer::Feed(std::string_view bytes) {
    if (start_.empty()) {
        buffer_.clear();
        return;
    }
    buffer_.append(bytes);
    // Packets are taken from a moving position and the consumed bytes are dropped once at
    // the end: erasing from the front per packet made a large chunk cost quadratic time.
    std::size_t pos = 0;
    for (;;) {
        const std::size_t begin = buffer_.find(start_, pos);
        if (begin == std::string::npos) {
            // Keep only what could still be the beginning of a start string.
            const std::size_t keep = start_.size() - 1;
            if (buffer_.size() > keep) pos = std::max(pos, buffer_.size() - keep);
            break;
        }
        pos = begin;
        std::size_t end;
        if (size_ > 0) {
            if (buffer_.size() - pos < size_) break;
            end = pos + size_;
        } else {
            const std::size_t stop = buffer_.find(stop_, pos + start_.size());
            if (stop == std::string::npos) break;
            end = stop + stop_.size();
        }
        const std::string packet = buffer_.substr(pos, end - pos);
        pos = end;
        handler_(packet);
    }
    buffer_.erase(0, std::min(pos, buffer_.size()));
    if (buffer_.size() > kMaxPending) buffer_.clear();
}

}  // namespace aerova
