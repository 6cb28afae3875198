#pragma once
// The BaseStation socket format lines the station feeds to one client program: "AIR" for a
// new target, "ID" for a changed call sign, "SEL" for a target picked in a radar window and
// one "MSG,3" line per updated target, written in batches of 50 targets.

#include <functional>
#include <string>
#include <string_view>

#include "base/day_time.h"
#include "core/flight_table.h"

namespace aerova {

constexpr int kFeedTargetsPerWrite = 50;

struct FeedContext {
    std::string session;        // settings counter, or "-1" while the aircraft database is open
    bool databaseopen = false;  // aircraft id is then `dbid`, otherwise the slot number
    DayTime utcnow = 0;
};

struct FeedResult {
    int targets = 0;      // targets whose lines were built
    int writes = 0;       // batches handed to the writer
    bool failed = false;  // a write failed: the scan stopped there
};

// Writes one batch of lines; false when the client cannot take it.
using FeedWriter = std::function<bool(std::string_view batch)>;

// The generated/logged date-time pair as it appears twice in every line: "2024/03/05,07:08:09".
std::string FeedDateTime(DayTime utc);

// Scans every slot once, appends the lines of each qualifying target, clears its marks and
// hands the text to `write` every 50 targets and once at the end. A failed write drops that
// batch and stops the scan: the targets not reached keep their marks for the next client.
FeedResult SendFeed(FlightTable& table, const FeedContext& context, const FeedWriter& write);

}  // namespace aerova
