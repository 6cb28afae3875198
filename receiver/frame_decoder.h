#pragma once
// What the decoder target table needs from the Mode-S/ADS-B decoder. The station uses the
// real decoder; tests and benchmarks may put a trivial one in its place.

#include <cstddef>
#include <cstdint>

#include "core/sbs_flight.h"

namespace aerova {

class FrameDecoder {
  public:
    virtual ~FrameDecoder() = default;
    // The receiver's home position, the reference for local position decoding.
    virtual void SetDecoderHome(double lat, double lon) = 0;
    // DF 17-19: `first` is the DF/CA byte, `me` the 7 bytes of the ME field.
    virtual void DecodeExtendedSquitter(TSBSFlight& target, std::uint8_t first,
                                        const std::uint8_t* me, std::size_t count) = 0;
    // DF 0, 4, 5, 11, 20, 21: `first` is the DF byte, `rest` the frame bytes after it
    // (6 for a short frame, 13 for a long one).
    virtual void DecodeShortOrCommB(TSBSFlight& target, std::uint8_t first,
                                    const std::uint8_t* rest, std::size_t count) = 0;
};

}  // namespace aerova
