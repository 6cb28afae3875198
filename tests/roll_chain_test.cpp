// A register 5,0 reply from the frame to the label: the decoder's roll and turn codes, the
// report datagram that carries them to this station and its peers, and the indications
// report ingest shows.

#include <gtest/gtest.h>

#include <span>

#include "core/report_codec.h"
#include "receiver/mode_s_decoder.h"
#include "receiver/test_frames.h"
#include "station/ingest_test_support.h"

namespace aerova {
namespace {

class RollChain : public testing::IngestFixture {};

TEST_F(RollChain, LeftRollsAndTurnsShowAsTheyWereFlown) {
    struct Case {
        const char* frame;  // DF 20 replies; the first is a pyModeS test vector
        const char *roll, *turn;
    } cases[] = {
        {"A0001691FFD263377FFCE02B2BF9", "=", "="},    // roll -0.35, rate -0.03: level
        {"A0001691F1D263377FFCE02B2BF9", "<20", "="},  // roll -20: field 398
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = testing::HexBytes(c.frame);
        TSBSFlight t = testing::Aircraft("4CA1FA");
        t.gspeed = "442";  // the squitters' ground speed: the reply agrees with them
        DecodeShortOrCommB(t, bytes[0], std::span(bytes).subspan(1));
        ASSERT_EQ(t.block50, 1) << c.frame;
        Tick();
        SendKind5(t);
        const int slot = table->FindFlight("4CA1FA");
        ASSERT_GE(slot, 0);
        EXPECT_EQ(F(slot).roll, c.roll) << c.frame;
        EXPECT_EQ(F(slot).turn, c.turn) << c.frame;
    }
}

}  // namespace
}  // namespace aerova
