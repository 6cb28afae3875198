// libFuzzer target: arbitrary receiver queue contents through the parse step into a decoder
// table with a stand-in decoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "receiver/decoder_table.h"
#include "receiver/receiver_queue.h"
#include "receiver/test_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static aerova::ReceiverQueueParser parser;
    aerova::testing::FakeDecoder decoder;
    aerova::DecoderTable table(decoder, 64);
    std::string queue(reinterpret_cast<const char*>(data), size);
    parser.ParseReceiverQueue(queue, table, 46000.5, nullptr);
    if (!queue.empty()) __builtin_trap();
    table.AgeTargets(46000.6);
    aerova::TSBSFlight record;
    table.pendingCount = table.CountUpdated();
    while (table.ReadNextFlight(record) > 0) {
    }
    return 0;
}
