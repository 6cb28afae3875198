#include "database/sqldb.h"

#include <sqlite3.h>

#include <algorithm>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {
namespace {

// The design's statements, with the pasted values replaced by parameters.
constexpr const char* kLookupSql = "SELECT * from aircraft WHERE modes=?1;";
constexpr const char* kInsertSql =
    "INSERT INTO aircraft (aircraftid,firstcreated,lastmodified,modes,modescountry) "
    "VALUES (NULL,?1,?1,?2,?3);";

// Opening and closing accept OK, ROW and DONE; the statements only OK (DONE after stepping).
bool OpenCloseSucceeded(int rc) {
    return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE;
}

std::string ColumnText(sqlite3_stmt* stmt, int index) {
    if (index >= sqlite3_column_count(stmt)) return {};
    const unsigned char* text = sqlite3_column_text(stmt, index);
    if (text == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt, index)));
}

bool BindText(sqlite3_stmt* stmt, int index, std::string_view value) {
    return sqlite3_bind_text(stmt, index, value.data(), static_cast<int>(value.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

// The timestamp carries its own double quotes because the design pasted it into SQL;
// the stored value is the text between them, as SQLite read the quoted literal.
std::string_view Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string RemoveHyphens(std::string_view s) {
    return ReplaceAll(s, "-", "");
}

// The row callback of the lookup: registration and type from columns 6 and 13, where a
// registration may carry its type in parentheses, "D-ABCD (A320)".
void TakeIdentityRow(sqlite3_stmt* stmt, bool regnohyphen, TSQLIdentity& identity) {
    identity.found = true;
    identity.icaotype = ColumnText(stmt, 13);
    identity.aircraftid = TryParseInt64(ColumnText(stmt, 0)).value_or(1);
    const std::string reg = ColumnText(stmt, 6);
    const std::size_t open = Pos("(", reg);
    if (open > 0) {
        std::string registration = Copy(reg, 1, static_cast<long>(open) - 1).substr(0, 20);
        if (regnohyphen) registration = Trim(RemoveHyphens(registration));
        identity.registration = registration;
        if (identity.icaotype.empty()) {
            const std::string after = Copy(reg, static_cast<long>(open) + 1, 32);
            const std::size_t close = Pos(")", after);
            if (close > 0)
                identity.icaotype = UpperCase(Trim(Copy(after, 1, static_cast<long>(close) - 1)));
        }
    } else {
        identity.registration = regnohyphen ? Trim(RemoveHyphens(reg)) : reg;
    }
}

}  // namespace

std::string DatabaseTimestamp(DayTime stationClock) {
    return Concat({"\"", FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", stationClock), "\""});
}

AircraftDatabase::AircraftDatabase(TSQLOptions options) : options_(options) {}

AircraftDatabase::~AircraftDatabase() {
    CloseAircraftDatabase();
}

bool AircraftDatabase::OpenAircraftDatabase(const std::string& path) {
    CloseAircraftDatabase();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (!OpenCloseSucceeded(rc)) {
        sqlite3_close(db);  // a handle is returned even on failure; null is harmless
        return false;
    }
    db_ = db;
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Lookups land anywhere in a file of hundreds of thousands of aircraft: reading it
    // through a memory map spares a system call per page that is not in SQLite's cache.
    sqlite3_exec(db_, "PRAGMA mmap_size=268435456;", nullptr, nullptr, nullptr);
    return true;
}

bool AircraftDatabase::CloseAircraftDatabase() {
    if (db_ == nullptr) return true;
    CommitNewAircraft();  // the aircraft still queued are entered before the connection ends
    queued_.clear();
    FinalizeStatements();
    const int rc = sqlite3_close(db_);
    if (!OpenCloseSucceeded(rc)) {
        // Nothing of ours can keep it busy once the statements are finalised; hand the
        // handle to SQLite to release whenever it can rather than leak it.
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
    return OpenCloseSucceeded(rc);
}

void AircraftDatabase::FinalizeStatements() {
    sqlite3_finalize(lookup_);
    sqlite3_finalize(insert_);
    lookup_ = nullptr;
    insert_ = nullptr;
}

sqlite3_stmt* AircraftDatabase::Statement(sqlite3_stmt*& slot, const char* sql) {
    if (db_ == nullptr) return nullptr;
    if (slot == nullptr) {
        // Prepared on first use: a file that is not (yet) a database, or a table that is
        // missing, fails the statement and is tried again on the next call.
        if (sqlite3_prepare_v2(db_, sql, -1, &slot, nullptr) != SQLITE_OK) {
            sqlite3_finalize(slot);
            slot = nullptr;
        }
    }
    return slot;
}

Identification AircraftDatabase::IdentifyAircraft(std::string_view modes,
                                                  std::string_view timestamp,
                                                  std::string_view country, TSQLIdentity& identity,
                                                  bool& newAircraftMark) {
    TSQLIdentity working;
    newAircraftMark = false;

    bool lookupOk = false;
    if (sqlite3_stmt* lookup = Statement(lookup_, kLookupSql)) {
        if (BindText(lookup, 1, modes)) {
            int rc;
            while ((rc = sqlite3_step(lookup)) == SQLITE_ROW)
                TakeIdentityRow(lookup, options_.regnohyphen, working);  // a later row wins
            lookupOk = rc == SQLITE_DONE;
        }
        sqlite3_reset(lookup);
        sqlite3_clear_bindings(lookup);
    }
    if (!lookupOk) return Identification::kFailed;
    identity = working;
    if (working.found) return Identification::kKnown;
    if (!options_.createsql) return Identification::kUnknown;
    const bool alreadyQueued =
        std::any_of(queued_.begin(), queued_.end(),
                    [modes](const QueuedAircraft& q) { return q.modes == modes; });
    if (!alreadyQueued)
        queued_.push_back(
            {std::string(modes), std::string(Unquoted(timestamp)), std::string(country)});
    if (options_.createtextlog) newAircraftMark = true;
    return Identification::kQueued;
}

std::vector<EnteredAircraft> AircraftDatabase::CommitNewAircraft() {
    std::vector<EnteredAircraft> entered;
    if (queued_.empty() || db_ == nullptr) return entered;
    sqlite3_stmt* insert = Statement(insert_, kInsertSql);
    if (insert == nullptr) return entered;
    // One transaction for the tick's new aircraft: one commit instead of one per aircraft.
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return entered;  // busy: kept for the next tick
    for (const QueuedAircraft& q : queued_) {
        const bool bound = BindText(insert, 1, q.timestamp) && BindText(insert, 2, q.modes) &&
                           BindText(insert, 3, q.country);
        const int rc = bound ? sqlite3_step(insert) : SQLITE_ERROR;
        sqlite3_reset(insert);
        sqlite3_clear_bindings(insert);
        if (rc == SQLITE_DONE) entered.push_back({q.modes, sqlite3_last_insert_rowid(db_)});
    }
    if (sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
        return {};
    }
    queued_.clear();
    return entered;
}

bool AircraftDatabase::ReadAircraftRow(std::string_view modes, TSQLAircraft& row) {
    // The whole buffer is cleared, not only the flag: a table with fewer than 49 columns
    // must not show the previous aircraft's remaining columns.
    rowBuffer_ = TSQLAircraft{};
    if (sqlite3_stmt* lookup = Statement(lookup_, kLookupSql)) {
        if (BindText(lookup, 1, modes)) {
            while (sqlite3_step(lookup) == SQLITE_ROW) {
                rowBuffer_.found = true;
                const int columns = std::min(sqlite3_column_count(lookup), kAircraftColumns);
                for (int i = 0; i < columns; ++i)
                    rowBuffer_.columns[static_cast<std::size_t>(i)] = ColumnText(lookup, i);
            }
        }
        sqlite3_reset(lookup);
        sqlite3_clear_bindings(lookup);
    }
    row = rowBuffer_;
    return row.found;
}

}  // namespace aerova
