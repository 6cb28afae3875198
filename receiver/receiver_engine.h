#pragma once
// The receiver engine: frame input, receiver queue, parse step and decoder target table
// behind the three operations of the SBS-1 device library's shape (start with a home
// position, read the queue, read the next flight record), and the 1053 ms poll that turns
// every changed target into one report.

#include <cstdint>
#include <functional>
#include <string>

#include "base/day_time.h"
#include "core/sbs_flight.h"
#include "receiver/decoder_table.h"
#include "receiver/frame_decoder.h"
#include "receiver/frame_input.h"
#include "receiver/receiver_queue.h"

namespace aerova {

class ReceiverEngine {
  public:
    using UtcSource = std::function<DayTime()>;
    // Sends one changed record as a report (EmitReport).
    using ReportSink = std::function<void(const TSBSFlight&)>;

    ReceiverEngine(FrameDecoder& decoder, UtcSource utcNow);

    FrameInput& input() { return input_; }
    const FrameInput& input() const { return input_; }
    DecoderTable& table() { return table_; }
    const DecoderTable& table() const { return table_; }
    ReceiverQueueParser& parser() { return parser_; }

    // Applies a receiver position to the decoder and marks the engine started. The caller
    // runs ParseReceiverQueue once, 1000 ms later. Returns 0.
    int StartReceiverEngine(double lat, double lon);
    bool started() const { return started_; }

    int ParseReceiverQueue();
    // Ages the table, parses the queue; `count` = targets waiting to be reported. Returns 0.
    int ReadQueue(int& count);
    // Copies the next changed target; returns the pending count after it.
    int ReadNextFlight(TSBSFlight& record) { return table_.ReadNextFlight(record); }
    int ReadNextFlight(std::uint8_t* buffer192);

    // One tick of the poll: read the queue, emit every changed target, turn the activity
    // indicators off and the tray icon back to idle. Returns the number of reports.
    int Poll(const ReportSink& emit);

    // "Raw log": ticking starts a new file, unticking stops the logging.
    bool StartRawLog(const std::string& stationDir);
    void StopRawLog() { rawLog_.Stop(); }
    const RawLog& rawLog() const { return rawLog_; }

  private:
    FrameDecoder& decoder_;
    UtcSource utcNow_;
    FrameInput input_;
    ReceiverQueueParser parser_;
    DecoderTable table_;
    RawLog rawLog_;
    bool started_ = false;
};

}  // namespace aerova
