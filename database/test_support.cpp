#include "database/test_support.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/files.h"

namespace aerova::testing {

bool CreateDatabaseFromSchema(const std::string& path) {
    std::string schema;
    if (!ReadWholeFile(std::string(AEROVA_DATABASE_DIR) + "/basestation.sql", schema)) return false;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr) == SQLITE_OK &&
              sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    return ok;
}

Connection::Connection(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path);
}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

int Connection::Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

std::string Connection::Scalar(const std::string& sql, const std::vector<std::string>& params) {
    sqlite3_stmt* stmt = nullptr;
    std::string result = "<none>";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return "<error>";
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        result = text ? reinterpret_cast<const char*>(text) : "<null>";
    }
    sqlite3_finalize(stmt);
    return result;
}

long long Connection::AddAircraft(const std::string& modes, const std::string& registration,
                                  const std::string& icaotype) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(
        db_, "INSERT INTO aircraft (modes, registration, icaotypecode) VALUES (?1, ?2, ?3)", -1,
        &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, modes.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, registration.c_str(), -1, SQLITE_TRANSIENT);
    if (!icaotype.empty()) sqlite3_bind_text(stmt, 3, icaotype.c_str(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) throw std::runtime_error("cannot add aircraft " + modes);
    return sqlite3_last_insert_rowid(db_);
}

}  // namespace aerova::testing
