#pragma once
// The decoder's own target table: one TSBSFlight per Mode-S address heard on the receiver
// link, with a bookkeeping record beside it. Index 0 is never used and the last element is
// always free; both arrays start with two elements and grow by one whenever the last free
// element is taken.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/day_time.h"
#include "core/sbs_flight.h"
#include "receiver/frame_decoder.h"
#include "receiver/receiver_queue.h"

namespace aerova {

//  0 reserved | 1 updated | 2..7 reserved | 8..15 lastseen f64 | 16..19 cleared | 20..23
struct TSBSBookkeeping {
    std::uint8_t reserved0;
    std::uint8_t updated;  // 1 = changed since it was last reported
    std::uint8_t reserved2[6];
    double lastseen;  // UTC day number of the last decoded frame
    std::uint32_t cleared;
    std::uint8_t reserved20[4];
};
static_assert(sizeof(TSBSBookkeeping) == 24);
static_assert(offsetof(TSBSBookkeeping, updated) == 1);
static_assert(offsetof(TSBSBookkeeping, lastseen) == 8);
static_assert(offsetof(TSBSBookkeeping, cleared) == 16);

// A record with the values a slot gets when it is taken, and the given address text
// (empty for a freed slot).
void InitialSbsFlight(TSBSFlight& record, std::uint32_t address, bool withAddress);

class DecoderTable final : public FrameSink {
  public:
    // A table larger than this is not grown further: frames that would need a new target
    // are dropped. Far above what a receiver hears in 10 minutes, it bounds the memory a
    // flood of made-up addresses on UDP 7933 can take.
    static constexpr std::size_t kMaxLength = 65536;
    static constexpr DayTime kFreeAfter = 10.0 / 1440.0;
    static constexpr DayTime kPositionClearAfter = 2.0 / 1440.0;

    explicit DecoderTable(FrameDecoder& decoder, std::size_t maxLength = kMaxLength);

    // Index of the target with this address among 1 .. length-2, or -1.
    int FindTarget(std::uint32_t address) const;
    // Takes the first free slot for the address; -1 when the table is at kMaxLength.
    int AddTarget(std::uint32_t address);
    void DispatchFrame(const TSBSMsg& frame, DayTime utcNow) override;
    // Frees targets unheard for 10 minutes, clears positions older than 2 minutes.
    void AgeTargets(DayTime utcNow);
    int CountUpdated() const;
    // Copies the lowest changed target into `out` and marks it reported; returns the
    // pending count after it (negative when nothing was pending).
    int ReadNextFlight(TSBSFlight& out);

    int pendingCount = 0;

    std::size_t length() const { return flights_.size(); }
    const TSBSFlight& flight(std::size_t index) const { return flights_[index]; }
    TSBSFlight& flight(std::size_t index) { return flights_[index]; }
    const TSBSBookkeeping& bookkeeping(std::size_t index) const { return books_[index]; }

  private:
    void Decode(int index, const TSBSMsg& frame, DayTime utcNow);
    int LinearFind(std::uint32_t address) const;

    FrameDecoder& decoder_;
    std::size_t maxLength_;
    std::vector<TSBSFlight> flights_;
    std::vector<TSBSBookkeeping> books_;
    // Address -> index, kept beside the table to avoid the linear search; every answer is
    // checked against the record's `icao` before it is used.
    std::unordered_map<std::uint32_t, int> index_;
    // Slots freed by the ageing, lowest first: a new target takes the lowest free slot
    // without a scan of the whole table.
    std::priority_queue<int, std::vector<int>, std::greater<int>> freeSlots_;
    // No target below this index has `updated` set (speeds up ReadNextFlight).
    std::size_t firstUpdated_ = 1;
    // Frames of one parse share their time, so most reports of a poll share `emittime`.
    double lastEmitSeen_ = -1.0;
    std::string lastEmitText_;
};

}  // namespace aerova
