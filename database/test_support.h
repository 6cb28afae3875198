#pragma once
// Helpers shared by the database tests and benchmarks: a scratch directory that removes
// itself, and aircraft databases made from the shipped schema.

#include <string>
#include <string_view>
#include <vector>

#include "base/testing/temp_dir.h"

struct sqlite3;

namespace aerova::testing {

// Creates `path` from database/basestation.sql; false when the schema cannot be applied.
bool CreateDatabaseFromSchema(const std::string& path);

// A second connection to the same file, as another program would hold it.
class Connection {
  public:
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    // Runs `sql`; returns the SQLite result code.
    int Exec(const std::string& sql);
    // The first column of the first row of `sql` with `params` bound as ?1, ?2 ..., or
    // "<none>" when there is no row ("<null>" for NULL).
    std::string Scalar(const std::string& sql, const std::vector<std::string>& params = {});
    // Adds a row with the given address, registration and ICAO type code; returns its id.
    long long AddAircraft(const std::string& modes, const std::string& registration,
                          const std::string& icaotype);
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace aerova::testing
