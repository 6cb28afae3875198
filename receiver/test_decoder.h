#pragma once
// A stand-in decoder for the table tests: it writes recognisable values for the kinds of
// frame the table must keep apart, nothing of the real decoding.

#include <cstring>

#include "receiver/frame_decoder.h"

namespace aerova::testing {

class FakeDecoder final : public FrameDecoder {
  public:
    double homeLat = 0, homeLon = 0;
    int extended = 0, shortOrCommB = 0;

    void SetDecoderHome(double lat, double lon) override {
        homeLat = lat;
        homeLon = lon;
    }
    // TC 1-4 identification, TC 9-18 position and altitude, TC 19 velocity.
    void DecodeExtendedSquitter(TSBSFlight& t, std::uint8_t first, const std::uint8_t* me,
                                std::size_t) override {
        ++extended;
        t.df = static_cast<std::uint8_t>(first >> 3);
        const int tc = me[0] >> 3;
        if (tc >= 1 && tc <= 4) {
            t.callsign = "TEST1234";
            t.kind |= 0x40;
        } else if (tc >= 9 && tc <= 18) {
            t.altitude = "35000";
            t.lat = "52.12345";
            t.lon = "1.23456";
            t.blockalt = 1;
        } else if (tc == 19) {
            t.gspeed = "450";
            t.kind |= 0x20;
        }
        t.blockident = 1;
    }
    void DecodeShortOrCommB(TSBSFlight& t, std::uint8_t first, const std::uint8_t*,
                            std::size_t count) override {
        ++shortOrCommB;
        t.df = static_cast<std::uint8_t>(first >> 3);
        t.squawk = count == 6 ? "1234" : "7000";
        t.blockalt = 1;
    }
};

}  // namespace aerova::testing
