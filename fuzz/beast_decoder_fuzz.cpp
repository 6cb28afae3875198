// libFuzzer target: a receiver's TCP stream, Beast binary or raw frame texts, cut into the
// pieces the first byte chooses, with every frame handed on taken by the frame text handler.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "receiver/beast_decoder.h"
#include "receiver/frame_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static aerova::FrameInput input;  // one queue allocation for the whole run
    if (size == 0) return 0;
    input.queue().clear();
    const auto text = [](std::string_view t) {
        // Only whole frame texts of a short or long Mode-S frame leave the decoders.
        if ((t.size() != 16 && t.size() != 30) || t.front() != '*' || t.back() != ';')
            __builtin_trap();
        input.ComDataPacket1Packet(aerova::FrameSender::Network, t);
    };
    aerova::BeastDecoder beast([&text](std::span<const std::uint8_t> frame) {
        if (frame.size() != 7 && frame.size() != 14) __builtin_trap();
        char out[2 * 14 + 2];
        text(std::string_view(out, aerova::FrameText(frame, out)));
    });
    aerova::RawFrameSplitter raw(text);
    const std::size_t piece = (data[0] >> 1) + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        const std::string_view chunk = stream.substr(at, piece);
        if (data[0] & 1) {
            beast.Feed(chunk);
        } else {
            raw.Feed(chunk);
        }
    }
    return 0;
}
