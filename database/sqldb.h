#pragma once
// The aircraft database: one BaseStation-format SQLite file whose table `aircraft` holds
// one row per Mode-S address. The station looks up every new address, and may enter an
// unknown one as an almost empty row so that it gets a database id of its own.
//
// One connection, two statements (lookup and insert), used from the UI thread only. Values
// are always bound as statement parameters: addresses arrive from the network.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// The insert is tried this often in all while SQLite answers busy.
constexpr int kInsertAttempts = 10;

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

    // Finds `modes` or, when `createsql` allows, inserts it with both date-time columns set to
    // `timestamp` (a DatabaseTimestamp text) and `country` as its block's country. True when
    // the aircraft is known afterwards. `identity` is written in every outcome except a failed
    // insert; `newAircraftMark` is set when an insert was tried and `createtextlog` is on.
    bool IdentifyAircraft(std::string_view modes, std::string_view timestamp,
                          std::string_view country, TSQLIdentity& identity, bool& newAircraftMark);

    // Reads the full row of `modes` into `row`; returns `row.found`.
    bool ReadAircraftRow(std::string_view modes, TSQLAircraft& row);

    // Executions of the insert statement in the last IdentifyAircraft (0 when none ran).
    int lastInsertAttempts() const { return lastInsertAttempts_; }
    // Called after each busy answer of the insert, before the next attempt, with the number
    // of attempts made so far. Lets tests release a lock part-way through the retries.
    void SetBusyHook(std::function<void(int)> hook) { busyHook_ = std::move(hook); }

  private:
    sqlite3_stmt* Statement(sqlite3_stmt*& slot, const char* sql);
    void FinalizeStatements();

    TSQLOptions options_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* lookup_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    TSQLAircraft rowBuffer_;
    int lastInsertAttempts_ = 0;
    std::function<void(int)> busyHook_;
};

}  // namespace aerova
