#include "receiver/packet_recognizer.h"

#include <utility>

namespace aerova {

PacketRecognizer::PacketRecognizer(std::string start, std::string stop, Handler handler)
    : start_(std::move(start)), stop_(std::move(stop)), handler_(std::move(handler)) {}

PacketRecognizer::PacketRecognizer(std::string start, std::size_t size, Handler handler)
    : start_(std::move(start)), size_(size), handler_(std::move(handler)) {}

void PacketRecognizer::Feed(std::string_view bytes) {
    buffer_.append(bytes);
    for (;;) {
        if (start_.empty()) {
            buffer_.clear();
            return;
        }
        const std::size_t begin = buffer_.find(start_);
        if (begin == std::string::npos) {
            // Keep only what could still be the beginning of a start string.
            const std::size_t keep = start_.size() - 1;
            if (buffer_.size() > keep) buffer_.erase(0, buffer_.size() - keep);
            return;
        }
        buffer_.erase(0, begin);
        std::size_t end;
        if (size_ > 0) {
            if (buffer_.size() < size_) break;
            end = size_;
        } else {
            const std::size_t stop = buffer_.find(stop_, start_.size());
            if (stop == std::string::npos) break;
            end = stop + stop_.size();
        }
        const std::string packet = buffer_.substr(0, end);
        buffer_.erase(0, end);
        handler_(packet);
    }
    if (buffer_.size() > kMaxPending) buffer_.clear();
}

}  // namespace aerova
