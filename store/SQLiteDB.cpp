#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

namespace keyloft {

static_assert(kSqliteOk == SQLITE_OK && kSqliteMisuse == SQLITE_MISUSE &&
              kSqliteRow == SQLITE_ROW && kSqliteDone == SQLITE_DONE);
static_assert(kSqliteOpenReadWrite == SQLITE_OPEN_READWRITE &&
              kSqliteOpenCreate == SQLITE_OPEN_CREATE &&
              kSqliteOpenFullMutex == SQLITE_OPEN_FULLMUTEX);

SQLiteDB::~SQLiteDB() {
    if (db_ != nullptr) {
        sqlite3_interrupt(db_);
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

bool SQLiteDB::Open(const char* utf8Path, int flags) {
    if (db_ != nullptr) {
        sqlite3_interrupt(db_);
        if (sqlite3_close(db_) == SQLITE_OK) db_ = nullptr;
    }
    if (utf8Path == nullptr) return false;
    // A connection that could not be closed is dropped rather than leaked into
    // the new one's place; SQLite keeps it as a zombie until its statements end.
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(utf8Path, &handle, flags, nullptr) != SQLITE_OK) {
        // SQLite hands out a handle even on failure, only to carry the error.
        if (handle != nullptr) sqlite3_close(handle);
        return false;
    }
    db_ = handle;
    // Settings are small and rewritten often; waiting for the disk on every
    // change would make the interface stutter.
    Exec("PRAGMA synchronous = OFF; ");
    return true;
}

bool SQLiteDB::Close() {
    if (db_ == nullptr) return true;
    if (sqlite3_close(db_) != SQLITE_OK) return false;
    db_ = nullptr;
    return true;
}

int SQLiteDB::Exec(const char* sql, ExecCallback callback, void* argument) {
    if (db_ == nullptr || sql == nullptr) return SQLITE_MISUSE;
    return sqlite3_exec(db_, sql, callback, argument, nullptr);
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    // sqlite3_finalize releases the handle even when it reports the error of
    // the last step, so the handle is dropped whatever it returns.
    statement.Finalize();
    if (db_ == nullptr || sql == nullptr) return SQLITE_MISUSE;
    // Passing the length with the terminating NUL lets SQLite skip copying the text.
    if (length < 0) length = static_cast<int>(std::strlen(sql)) + 1;
    return sqlite3_prepare_v2(db_, sql, length, &statement.stmt_, nullptr);
}

std::int64_t SQLiteDB::LastInsertRowId() const {
    if (db_ == nullptr) return -1;
    return sqlite3_last_insert_rowid(db_);
}

int SQLiteDB::Changes() const {
    if (db_ == nullptr) return 0;
    return sqlite3_changes(db_);
}

void SQLiteDB::Interrupt() {
    if (db_ != nullptr) sqlite3_interrupt(db_);
}

SQLiteStatement::~SQLiteStatement() { Finalize(); }

int SQLiteStatement::BindInt(int index, int value) {
    if (stmt_ == nullptr) return SQLITE_MISUSE;
    return sqlite3_bind_int(stmt_, index, value);
}

int SQLiteStatement::BindText(int index, const char* utf8, int byteLength) {
    if (stmt_ == nullptr) return SQLITE_MISUSE;
    return sqlite3_bind_text(stmt_, index, utf8, byteLength, SQLITE_STATIC);
}

int SQLiteStatement::Step() {
    if (stmt_ == nullptr) return SQLITE_MISUSE;
    return sqlite3_step(stmt_);
}

int SQLiteStatement::Reset() {
    if (stmt_ == nullptr) return SQLITE_MISUSE;
    return sqlite3_reset(stmt_);
}

int SQLiteStatement::Finalize() {
    if (stmt_ == nullptr) return SQLITE_MISUSE;
    const int rc = sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    return rc;
}

int SQLiteStatement::ColumnInt(int column) const {
    if (stmt_ == nullptr) return 0;
    return sqlite3_column_int(stmt_, column);
}

const char* SQLiteStatement::ColumnText(int column) const {
    if (stmt_ == nullptr) return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
}

int SQLiteStatement::ColumnBytes(int column) const {
    if (stmt_ == nullptr) return 0;
    return sqlite3_column_bytes(stmt_, column);
}

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : db_(db) {
    if (db_ != nullptr) {
        if (db_->IsOpen()) db_->Exec("BEGIN");
        active_ = true;
    }
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (active_ && db_ != nullptr && db_->IsOpen()) {
        db_->Exec("END");
        active_ = false;
    }
}

bool SQLiteAutoTransaction::Begin() {
    if (db_ == nullptr || active_) return false;
    active_ = true;
    if (!db_->IsOpen()) return false;
    return db_->Exec("BEGIN") == SQLITE_OK;
}

bool SQLiteAutoTransaction::Commit() {
    if (db_ == nullptr) return false;
    active_ = false;
    if (!db_->IsOpen()) return false;
    return db_->Exec("END") == SQLITE_OK;
}

}  // namespace keyloft
