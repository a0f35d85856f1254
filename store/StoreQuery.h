// Internal to the store: one statement being built and run by a store
// operation. It binds parameters in the order of their question marks, keeps
// the UTF-8 form of every bound text alive until the statement is done (the
// wrapper binds texts without copying them), and converts text columns back to
// wide strings. On a closed connection nothing is prepared, every step returns
// 21 and the operation falls through to its failure result.
#pragma once

#include "base/WideString.h"
#include "store/SQLiteDB.h"

#include <cstdint>
#include <deque>
#include <string>

namespace keyloft {

// Writes count 0 (OK), 100 (ROW) and 101 (DONE) from their last step as success.
inline bool IsWriteSuccess(int rc) { return rc == kSqliteOk || rc == kSqliteRow || rc == kSqliteDone; }

class StoreQuery {
public:
    StoreQuery(SQLiteDB& db, const char* sql) { db.Prepare(statement_, sql); }

    StoreQuery& Int(int value) {
        statement_.BindInt(next_++, value);
        return *this;
    }
    StoreQuery& Text(const std::wstring& value) {
        // A deque never moves its elements, so earlier bound buffers stay valid.
        const std::string& utf8 = texts_.emplace_back(WideToUtf8(value));
        statement_.BindText(next_++, utf8.data(), static_cast<int>(utf8.size()));
        return *this;
    }

    int Step() { return statement_.Step(); }
    // Runs a write to its end.
    bool Run() { return IsWriteSuccess(Step()); }
    // Steps a read; true while there is a row.
    bool Next() { return Step() == kSqliteRow; }
    // Rewinds for the next set of parameters, which must all be bound again.
    void Rewind() {
        statement_.Reset();
        next_ = 1;
        texts_.clear();
    }

    int ColInt(int column) const { return statement_.ColumnInt(column); }
    // A NULL text reads as empty.
    std::wstring ColText(int column) const {
        const char* text = statement_.ColumnText(column);
        if (text == nullptr) return {};
        return Utf8ToWide(std::string_view(text, static_cast<std::size_t>(statement_.ColumnBytes(column))));
    }

private:
    // Declared before the statement so that the bound texts outlive it: the
    // statement is finalized first when the query goes out of scope.
    std::deque<std::string> texts_;
    SQLiteStatement statement_;
    int next_ = 1;
};

// The id an insert returns: the new row id's low 32 bits, or 0 when it failed.
inline int InsertedId(SQLiteDB& db, bool succeeded) {
    if (!succeeded) return 0;
    return static_cast<int>(static_cast<std::uint32_t>(db.LastInsertRowId()));
}

}  // namespace keyloft
