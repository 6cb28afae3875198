#pragma once
// The Mode-S/ADS-B decoder behind the decoder target table's FrameDecoder interface: it
// holds the reference values (home position, tolerances, global-CPR choice) and passes
// every frame to the pure decoding functions.

#include "receiver/frame_decoder.h"
#include "receiver/mode_s_decoder.h"

namespace aerova {

class ModeSFrameDecoder final : public FrameDecoder {
  public:
    void SetDecoderHome(double lat, double lon) override { aerova::SetDecoderHome(ref_, lat, lon); }
    // Radar window 1's "Use global CPR decoding" button (`sbcpr`).
    void SetGlobalCpr(bool down) { ref_.sbcpr = down; }

    void DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t first, const std::uint8_t* me,
                                std::size_t count) override {
        aerova::DecodeExtendedSquitter(target, first, std::span(me, count), ref_);
    }
    void DecodeShortOrCommB(TSBSFlight& target, std::uint8_t first, const std::uint8_t* rest,
                            std::size_t count) override {
        aerova::DecodeShortOrCommB(target, first, std::span(rest, count));
    }

    const DecoderReference& reference() const { return ref_; }

  private:
    DecoderReference ref_;
};

}  // namespace aerova
