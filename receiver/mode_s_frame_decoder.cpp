#include "receiver/mode_s_frame_decoder.h"

#include <span>

#include "receiver/mode_s_decoder.h"

namespace aerova {

void ModeSFrameDecoder::SetDecoderHome(double lat, double lon) {
    aerova::SetDecoderHome(reference_, lat, lon);
}

void ModeSFrameDecoder::DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t first,
                                               const std::uint8_t* me, std::size_t count) {
    aerova::DecodeExtendedSquitter(target, first, std::span<const std::uint8_t>(me, count),
                                   reference_);
}

void ModeSFrameDecoder::DecodeShortOrCommB(TSBSFlight& target, std::uint8_t first,
                                           const std::uint8_t* rest, std::size_t count) {
    aerova::DecodeShortOrCommB(target, first, std::span<const std::uint8_t>(rest, count));
}

}  // namespace aerova
