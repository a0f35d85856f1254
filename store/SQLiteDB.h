// A thin object layer over one SQLite connection (serialized mode is chosen by
// the caller's open flags). It adds no policy of its own: every call returns the
// SQLite result code (or a boolean where noted), and a call on a closed
// connection returns SQLITE_MISUSE (21) instead of touching SQLite.
//
// Ownership: the object owns its connection handle and closes it in its
// destructor. Threads: SQLite serialises calls on a FULLMUTEX connection, but
// Open and Close change the handle and must not run while another thread uses
// the object; ProfileStore's lock keeps them apart.
#pragma once

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace keyloft {

// The SQLite result codes this layer and its callers look at.
inline constexpr int kSqliteOk = 0;
inline constexpr int kSqliteMisuse = 21;
inline constexpr int kSqliteRow = 100;
inline constexpr int kSqliteDone = 101;

// Open flags (SQLITE_OPEN_*), so that callers need not include sqlite3.h.
inline constexpr int kSqliteOpenReadWrite = 0x00000002;
inline constexpr int kSqliteOpenCreate = 0x00000004;
inline constexpr int kSqliteOpenFullMutex = 0x00010000;

class SQLiteStatement;

class SQLiteDB {
public:
    // The callback type of sqlite3_exec.
    using ExecCallback = int (*)(void* argument, int columns, char** values, char** names);

    SQLiteDB() = default;
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Closes a held connection first (interrupting whatever runs on it), then
    // opens `utf8Path` with `flags` and turns synchronous writes off. False when
    // the path is null or SQLite refuses; no handle is held afterwards then.
    bool Open(const char* utf8Path, int flags);
    // True when nothing is held or the close succeeded; on failure (a statement
    // still prepared) the handle stays and false is returned.
    bool Close();
    bool IsOpen() const { return db_ != nullptr; }

    // sqlite3_exec without an error-message text.
    int Exec(const char* sql, ExecCallback callback = nullptr, void* argument = nullptr);
    // Finalizes the statement's previous handle, then prepares `sql` into it.
    // A negative length measures the text and includes its terminating NUL.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    // Row id of the last insert on this connection; -1 when closed.
    std::int64_t LastInsertRowId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE; 0 when closed.
    int Changes() const;
    // Makes a running statement stop at its next opportunity.
    void Interrupt();

private:
    sqlite3* db_ = nullptr;
};

// One prepared statement. Reused by preparing new SQL into it, which finalizes
// the previous handle first. Every call returns 21 when nothing is prepared,
// except the column readers, which return 0 or null.
class SQLiteStatement {
public:
    SQLiteStatement() = default;
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    bool IsPrepared() const { return stmt_ != nullptr; }

    // 1-based parameter index.
    int BindInt(int index, int value);
    // The text is not copied: the caller keeps `utf8` alive until the statement
    // has been stepped (or reset). A negative length reads up to the NUL.
    int BindText(int index, const char* utf8, int byteLength);
    // 100 per row, 101 at the end, an error code otherwise.
    int Step();
    // Rewinds the statement so it can be stepped again; bindings are kept
    // until they are bound anew.
    int Reset();
    // Finalizes the handle; the statement is empty afterwards.
    int Finalize();

    // 0-based columns of the current row.
    int ColumnInt(int column) const;
    // UTF-8, valid until the next step; null for NULL or without a statement.
    const char* ColumnText(int column) const;
    // Byte length of ColumnText's value.
    int ColumnBytes(int column) const;

private:
    friend class SQLiteDB;
    sqlite3_stmt* stmt_ = nullptr;
};

// Brackets a group of statements with BEGIN and END. The layer never rolls
// back: END commits whatever succeeded, on every path out of the scope.
class SQLiteAutoTransaction {
public:
    // Records `db`; when it is non-null, executes BEGIN if a connection is held
    // and counts the transaction as active either way.
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // False without a database object or when already active; with no
    // connection it becomes active but reports false.
    bool Begin();
    // Executes END and reports whether it succeeded; false without a database
    // object or connection.
    bool Commit();
    bool IsActive() const { return active_; }

private:
    SQLiteDB* db_;
    bool active_ = false;
};

}  // namespace keyloft
