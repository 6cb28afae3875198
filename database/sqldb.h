#pragma once
// The aircraft database: one BaseStation-format SQLite file whose table `aircraft` holds
// one row per Mode-S address. The station looks up every new address, and may enter an
// unknown one as an almost empty row so that it gets a database id of its own.
//
// One connection, two statements (lookup and insert), used from the UI thread only. Values
// are always bound as statement parameters: addresses arrive from the network. New aircraft
// are not written one transaction each while a report is applied: they wait in a queue that
// the main cycle commits once per tick, without holding the table lock. A busy database
// makes SQLite wait a few milliseconds (its busy time-out), never longer.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/day_time.h"
#include "base/text.h"
#include "core/flight.h"

struct sqlite3;
struct sqlite3_stmt;

namespace aerova {

// The result of identifying an address.
struct TSQLIdentity {
    bool found = false;
    std::int64_t aircraftid = -1;
    Text<20> registration;
    Text<10> icaotype;
};

// Settings `sql`/`regnohyphen`, `database`/`createsql` and `database`/`createtextlog`.
struct TSQLOptions {
    bool regnohyphen = true;    // hyphens are removed from registrations read
    bool createsql = true;      // unknown aircraft are inserted
    bool createtextlog = true;  // an inserted aircraft is marked for the new-aircraft log
};

// How long a statement waits for another connection's lock before it gives up (busy).
constexpr int kBusyTimeoutMs = 20;

// How an address was identified.
enum class Identification {
    kKnown,    // found: the identity holds its id, registration and type
    kQueued,   // not found and queued for entering: the id comes with CommitNewAircraft
    kUnknown,  // not found, and unknown aircraft are not entered
    kFailed,   // the lookup failed (the database busy, no table): nothing is known
};

// An aircraft entered by CommitNewAircraft.
struct EnteredAircraft {
    std::string modes;
    std::int64_t aircraftid = -1;
};

// "yyyy-mm-dd hh:nn:ss.zzz" of `stationClock` (the station's UtcNow) between two
// double-quote characters.
std::string DatabaseTimestamp(DayTime stationClock);

class AircraftDatabase {
  public:
    explicit AircraftDatabase(TSQLOptions options = {});
    ~AircraftDatabase();
    AircraftDatabase(const AircraftDatabase&) = delete;
    AircraftDatabase& operator=(const AircraftDatabase&) = delete;

    void SetOptions(const TSQLOptions& options) { options_ = options; }
    const TSQLOptions& options() const { return options_; }

    // Opens an existing file read-write (never creates one). True on success; the result is
    // the station's database-open flag. An open connection is closed first.
    bool OpenAircraftDatabase(const std::string& path);
    // Closes the connection; true when it closed cleanly or none was open.
    bool CloseAircraftDatabase();
    bool isOpen() const { return db_ != nullptr; }

    // Finds `modes` or, when `createsql` allows, queues it for entering with both date-time
    // columns set to `timestamp` (a DatabaseTimestamp text) and `country` as its block's
    // country. `identity` is written unless the lookup failed; `newAircraftMark` is set when
    // the aircraft is queued and `createtextlog` is on.
    Identification IdentifyAircraft(std::string_view modes, std::string_view timestamp,
                                    std::string_view country, TSQLIdentity& identity,
                                    bool& newAircraftMark);
    // Enters the queued aircraft in one transaction and returns the ids they got. While the
    // database is busy nothing is entered and the queue is kept for the next call.
    std::vector<EnteredAircraft> CommitNewAircraft();
    std::size_t queuedAircraft() const { return queued_.size(); }

    // Reads the full row of `modes` into `row`; returns `row.found`.
    bool ReadAircraftRow(std::string_view modes, TSQLAircraft& row);

  private:
    sqlite3_stmt* Statement(sqlite3_stmt*& slot, const char* sql);
    void FinalizeStatements();

    TSQLOptions options_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* lookup_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    TSQLAircraft rowBuffer_;
    struct QueuedAircraft {
        std::string modes, timestamp, country;
    };
    std::vector<QueuedAircraft> queued_;
};

}  // namespace aerova
