// Decoding alone: DecodeExtendedSquitter over a realistic mix of identification (TC 4),
// airborne position (TC 11) and velocity (TC 19) frames, position texts included. Uses the
// recorded pyModeS sample when the shared data is present, simulated frames otherwise.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/testing/recordings.h"
#include "receiver/mode_s_decoder.h"
#include "sim/mode_s_frames.h"

namespace {

std::vector<std::uint8_t> FromHex(const std::string& hex) {
    std::vector<std::uint8_t> b;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2)
        b.push_back(static_cast<std::uint8_t>(std::strtoul(hex.substr(k, 2).c_str(), nullptr, 16)));
    return b;
}

struct Mix {
    std::vector<std::vector<std::uint8_t>> frames;
    double homelat, homelon;
};

Mix LoadMix() {
    Mix mix{{}, 51.5, 0.0};
    std::ifstream in(aerova::testing::RecordingsDir() + "/pymodes/sample_data_adsb.frames");
    std::string line;
    while (std::getline(in, line))
        if (line.size() == 30) mix.frames.push_back(FromHex(line.substr(1, 28)));
    if (!mix.frames.empty()) return mix;
    // One aircraft flying east: identification, then alternating positions and velocities.
    using namespace aerova::sim;
    for (int k = 0; k < 2000; ++k) {
        double lon = -0.5 + k * 0.0005;
        Me me = k % 20 == 0 ? IdentificationMe(4, 3, "EZY85MH")
                : k % 2     ? GroundVelocityMe(450, 90, 0)
                            : AirbornePositionMe(11, 36000, (k / 2) & 1,
                                                 EncodeCpr(51.6, lon, (k / 2) & 1, false));
        mix.frames.push_back(ExtendedSquitter(0x406B90, 5, me));
    }
    return mix;
}

void BM_DecodeExtendedSquitterMix(benchmark::State& state) {
    static const Mix mix = LoadMix();
    aerova::DecoderReference ref;
    aerova::SetDecoderHome(ref, mix.homelat, mix.homelon);
    aerova::TSBSFlight target{};
    target.cprstate = 1;
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& b = mix.frames[k];
        aerova::DecodeExtendedSquitter(target, b[0], std::span(b).subspan(4, 7), ref);
        benchmark::DoNotOptimize(target);
        if (++k == mix.frames.size()) k = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeExtendedSquitterMix);

}  // namespace

BENCHMARK_MAIN();
