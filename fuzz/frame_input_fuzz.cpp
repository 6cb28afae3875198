// libFuzzer target: frame texts of every sender, PlaneGadget packets and UDP 7933 datagrams,
// followed by a parse of whatever was queued.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "receiver/frame_input.h"
#include "receiver/receiver_queue.h"

namespace {

struct CheckingSink final : aerova::FrameSink {
    void DispatchFrame(const aerova::TSBSMsg& frame, aerova::DayTime) override {
        // The parse step hands on only frames of the accepted types and sizes.
        if (frame.payload.size < 11 || (frame.type != 1 && frame.type != 5 && frame.type != 7)) {
            __builtin_trap();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static aerova::ReceiverQueueParser parser;
    static aerova::FrameInput input;  // one queue allocation for the whole run
    if (size == 0) return 0;
    input.queue().clear();
    input.options.planeGadget = (data[0] & 1) != 0;
    input.options.tcas = (data[0] & 2) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch ((data[0] >> 2) % 5) {
        case 0:
            input.ComDataPacket1Packet(aerova::FrameSender::TextRecogniser, text);
            break;
        case 1:
            input.ComDataPacket3Packet(aerova::FrameSender::TextRecogniser, text);
            break;
        case 2:
            input.ComDataPacketPGRPacket(aerova::FrameSender::PlaneGadget, text);
            break;
        case 3:
            input.ComDataPacket1Packet(aerova::FrameSender::Network, text);
            break;
        default:
            input.udpadsbUDPRead(text.data(), text.size());
            break;
    }
    CheckingSink sink;
    parser.ParseReceiverQueue(input.queue(), sink, 46000.5, nullptr);
    return 0;
}
