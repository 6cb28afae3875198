#pragma once
// The station's frame decoder: the Mode-S/ADS-B decoder against the receiver's reference.

#include "receiver/cpr.h"
#include "receiver/frame_decoder.h"

namespace aerova {

class ModeSFrameDecoder final : public FrameDecoder {
public:
    void SetDecoderHome(double lat, double lon) override;
    void DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t first, const std::uint8_t* me,
                                std::size_t count) override;
    void DecodeShortOrCommB(TSBSFlight& target, std::uint8_t first, const std::uint8_t* rest,
                            std::size_t count) override;

    // "Use global CPR decoding" (`sbcpr` of radar window 1).
    void SetGlobalCprOnly(bool on) { reference_.sbcpr = on; }
    const DecoderReference& reference() const { return reference_; }

private:
    DecoderReference reference_;
};

}  // namespace aerova
