#pragma once
// Decoding a recorded log of frame texts through the station's own receiver path: each
// line's frame text goes through the text handler, the receiver queue, the parse step, the
// decoder target table and the decoder, and every frame that reached a target is reported
// as one JSON line holding that target's decoder record. This is how a recorded log is
// checked and how the decoder is compared with other decoders (aerovadecode).

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "core/sbs_flight.h"

namespace aerova {

struct FrameLogOptions {
    double homelat = 53.53333;
    double homelon = 10.16667;
    bool tcas = false;       // also decode DF 0 (the receiver settings' "TCAS")
    bool globalCpr = false;  // radar window 1's "Use global CPR decoding"
};

struct FrameLogSummary {
    std::uint64_t lines = 0;
    std::uint64_t decoded = 0;    // frames that reached a target's record
    std::uint64_t malformed = 0;  // lines that hold no frame text
    std::uint64_t rejected = 0;   // frame texts the receiver did not queue (parity, DF, length)
    std::uint64_t unknown = 0;    // queued frames for an address no DF 11/17 has announced
};

// One line: a frame text "*HEX;" (or ":HEX;", "@...;"), optionally after other fields of
// which the first, if numeric, is the UNIX time in seconds.
FrameLogSummary DecodeFrameLog(std::istream& in, std::ostream& out, const FrameLogOptions& options);

// {"idx":N,"icao":"...",...}: the record's texts, CPR state, ground flag and block flags.
std::string RecordJson(std::uint64_t index, const TSBSFlight& record);

}  // namespace aerova
