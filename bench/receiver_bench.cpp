// Hot paths of the receiver link: frame texts through the receiver queue, the parse step and
// the dispatch into the decoder table; and a poll that reports 2000 changed targets.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/report_codec.h"
#include "receiver/decoder_table.h"
#include "receiver/packet_recognizer.h"
#include "receiver/receiver_engine.h"
#include "receiver/report_emitter.h"
#include "receiver/test_frames.h"

namespace aerova {
namespace {

// Decodes nothing but touches the record, as the cheapest possible decoder would.
class TrivialDecoder final : public FrameDecoder {
  public:
    void SetDecoderHome(double, double) override {}
    void DecodeExtendedSquitter(TSBSFlight& t, std::uint8_t first, const std::uint8_t* me,
                                std::size_t) override {
        t.df = static_cast<std::uint8_t>(first >> 3);
        t.velsubtype = me[0];
        t.blockident = 1;
    }
    void DecodeShortOrCommB(TSBSFlight& t, std::uint8_t first, const std::uint8_t*,
                            std::size_t) override {
        t.df = static_cast<std::uint8_t>(first >> 3);
    }
};

std::vector<std::string> Df17Texts(int addresses) {
    std::vector<std::string> texts;
    for (int i = 0; i < addresses; ++i) {
        const std::uint32_t address = 0x400000u + static_cast<std::uint32_t>(i) * 37u;
        texts.push_back(testing::StarText(testing::Df17(
            address, {0x99, 0x45, 0xDE, 0x10, 0x00, 0x04, static_cast<std::uint8_t>(i)})));
    }
    return texts;
}

void BM_FrameTextToDispatch(benchmark::State& state) {
    TrivialDecoder decoder;
    DayTime now = 46143.5;
    ReceiverEngine engine(decoder, [&] { return now; });
    const auto texts = Df17Texts(2000);
    // Batches that fit the parse buffer (25 bytes per queued DF 17 frame).
    constexpr std::size_t kBatch = 5000;
    std::size_t next = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kBatch; ++i) {
            engine.input().ComDataPacket1Packet(FrameSender::Network, texts[next]);
            if (++next == texts.size()) next = 0;
        }
        engine.ParseReceiverQueue();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kBatch));
    if (engine.table().length() != 2002) state.SkipWithError("table not filled");
}
BENCHMARK(BM_FrameTextToDispatch)->Unit(benchmark::kMillisecond);

// A 128 KB chunk of the serial byte stream (about 4400 frame texts) through the "*" .. ";"
// recogniser, as a busy receiver's driver hands it over.
void BM_RecogniserLargeChunk(benchmark::State& state) {
    std::string chunk;
    for (const std::string& text : Df17Texts(2000)) chunk += text + "\r\n";
    while (chunk.size() < 128 * 1024) chunk += chunk.substr(0, 30 * 32);
    chunk.resize(128 * 1024);
    std::size_t packets = 0;
    PacketRecognizer recogniser("*", ";", [&](std::string_view) { ++packets; });
    for (auto _ : state) recogniser.Feed(chunk);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
    if (packets == 0) state.SkipWithError("no packets");
}
BENCHMARK(BM_RecogniserLargeChunk)->Unit(benchmark::kMicrosecond);

// 20000 new addresses into the decoder table, as a flood of all-call replies would bring.
void BM_DecoderTableFill(benchmark::State& state) {
    TrivialDecoder decoder;
    for (auto _ : state) {
        DecoderTable table(decoder);
        for (std::uint32_t a = 1; a <= 20000; ++a) benchmark::DoNotOptimize(table.AddTarget(a));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * 20000));
}
BENCHMARK(BM_DecoderTableFill)->Unit(benchmark::kMillisecond);

// A poll reporting 2000 changed targets; `range(0)` = 1 sends each report by UDP to a
// loopback listener, 0 only encodes it, 2 only reads the records out of the table.
void BM_PollEmits2000(benchmark::State& state) {
    TrivialDecoder decoder;
    DayTime now = 46143.5;
    ReceiverEngine engine(decoder, [&] { return now; });
    const auto texts = Df17Texts(2000);

    const int rx = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len);
    ReportEmitter emitter(ntohs(addr.sin_port));
    const bool send = state.range(0) == 1;
    const bool encode = state.range(0) != 2;
    std::size_t bytes = 0;

    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& t : texts) engine.input().ComDataPacket1Packet(FrameSender::Network, t);
        engine.ParseReceiverQueue();
        char drain[600];
        while (::recv(rx, drain, sizeof drain, MSG_DONTWAIT) > 0) {
        }
        state.ResumeTiming();
        const int reports = engine.Poll([&](const TSBSFlight& r) {
            if (send) {
                emitter.Queue(r);
            } else if (encode) {
                bytes += EncodeSbsReport(r, "1013", "5500").size();
            } else {
                bytes += r.emittime.len;
            }
        });
        if (send) emitter.Flush();
        if (reports != 2000) state.SkipWithError("not every target reported");
    }
    benchmark::DoNotOptimize(bytes);
    ::close(rx);
}
BENCHMARK(BM_PollEmits2000)->Arg(2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace aerova

BENCHMARK_MAIN();
