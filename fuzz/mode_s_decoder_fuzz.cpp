// libFuzzer target: random 7- and 14-byte frames into both decoder entry points, one after
// the other on the same record so that the CPR state machine runs through its states, with
// a home position and the global-CPR choice taken from the input.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "receiver/mode_s_decoder.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// No NaN, infinity or exponent text, nothing past the field, latitudes on the globe.
void CheckRecord(const aerova::TSBSFlight& t) {
    Check(t.lat.len <= 9 && t.lon.len <= 10 && t.altitude.len <= 5 && t.vrate.len <= 6);
    for (std::string_view v : {t.lat.view(), t.lon.view()})
        for (char c : v) Check((c >= '0' && c <= '9') || c == '.' || c == '-');
    if (!t.lat.empty()) {
        double lat = std::strtod(std::string(t.lat.view()).c_str(), nullptr);
        Check(std::fabs(lat) <= 90.0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    aerova::DecoderReference ref;
    // Home latitude -89 .. 89 and longitude -180 .. 179 from the first two bytes.
    aerova::SetDecoderHome(ref, (data[0] % 179) - 89.0 + (data[1] & 7) * 0.1,
                           (data[1] * 360.0 / 256.0) - 180.0);
    ref.sbcpr = (data[2] & 1) != 0;
    aerova::TSBSFlight t{};
    t.cprstate = 1;
    std::size_t k = 3;
    while (k < size) {
        const bool longFrame = (data[k] & 0x80) != 0;  // DF 16 and above are long
        const std::size_t n = longFrame ? 14 : 7;
        if (k + n > size) {
            // A truncated tail still goes in, to both entry points.
            std::span<const std::uint8_t> rest(data + k + 1, size - k - 1);
            aerova::DecodeShortOrCommB(t, data[k], rest);
            aerova::DecodeExtendedSquitter(t, data[k], rest, ref);
            CheckRecord(t);
            break;
        }
        std::span<const std::uint8_t> frame(data + k, n);
        if (longFrame && (data[k] >> 3) >= 17 && (data[k] >> 3) <= 19)
            aerova::DecodeExtendedSquitter(t, frame[0], frame.subspan(4, 7), ref);
        else
            aerova::DecodeShortOrCommB(t, frame[0], frame.subspan(1));
        CheckRecord(t);
        k += n;
    }
    return 0;
}
