#include "receiver/receiver_engine.h"

#include <cstring>
#include <utility>

namespace aerova {

ReceiverEngine::ReceiverEngine(FrameDecoder& decoder, UtcSource utcNow)
    : decoder_(decoder), utcNow_(std::move(utcNow)), table_(decoder) {}

int ReceiverEngine::StartReceiverEngine(double lat, double lon) {
    decoder_.SetDecoderHome(lat, lon);
    started_ = true;
    return 0;
}

int ReceiverEngine::ParseReceiverQueue() {
    return parser_.ParseReceiverQueue(input_.queue(), table_, utcNow_(), &rawLog_);
}

int ReceiverEngine::ReadQueue(int& count) {
    table_.AgeTargets(utcNow_());
    ParseReceiverQueue();
    count = table_.CountUpdated();
    table_.pendingCount = count;
    return 0;
}

int ReceiverEngine::ReadNextFlight(std::uint8_t* buffer192) {
    TSBSFlight record;
    const bool had = table_.CountUpdated() > 0;
    const int pending = table_.ReadNextFlight(record);
    if (had) std::memcpy(buffer192, &record, sizeof record);
    return pending;
}

int ReceiverEngine::Poll(const ReportSink& emit) {
    int emitted = 0;
    int count = 0;
    if (ReadQueue(count) == 0) {
        TSBSFlight record;
        while (count > 0) {
            count = table_.ReadNextFlight(record);
            if (count >= 0) {
                if (emit) emit(record);
                ++emitted;
            }
        }
    }
    input_.indicator.on = false;
    input_.trayReceiving = false;
    return emitted;
}

bool ReceiverEngine::StartRawLog(const std::string& stationDir) {
    return rawLog_.Start(stationDir, utcNow_());
}

}  // namespace aerova
