#include "store/SQLiteDB.h"
#include "StoreTestSupport.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace keyloft {
namespace {

using testing::TempDir;

constexpr int kCreateFlags = kSqliteOpenReadWrite | kSqliteOpenCreate | kSqliteOpenFullMutex;

int QueryInt(SQLiteDB& db, const char* sql) {
    SQLiteStatement statement;
    if (db.Prepare(statement, sql) != kSqliteOk || statement.Step() != kSqliteRow) return -1;
    return statement.ColumnInt(0);
}

TEST(SQLiteWrapper, WithoutConnectionOrStatementEveryCallRefuses) {
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Exec("SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), kSqliteMisuse);
    EXPECT_FALSE(statement.IsPrepared());
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_EQ(db.Changes(), 0);
    EXPECT_TRUE(db.Close());

    EXPECT_EQ(statement.BindInt(1, 5), kSqliteMisuse);
    EXPECT_EQ(statement.BindText(1, "x", 1), kSqliteMisuse);
    EXPECT_EQ(statement.Step(), kSqliteMisuse);
    EXPECT_EQ(statement.Reset(), kSqliteMisuse);
    EXPECT_EQ(statement.ColumnInt(0), 0);
    EXPECT_EQ(statement.ColumnText(0), nullptr);

    TempDir dir;
    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    EXPECT_EQ(db.Exec(nullptr), kSqliteMisuse);
    EXPECT_EQ(db.Prepare(statement, nullptr), kSqliteMisuse);
}

TEST(SQLiteWrapper, OpenFailsSoftlyAndTurnsSynchronousWritesOff) {
    TempDir dir;
    SQLiteDB db;
    EXPECT_FALSE(db.Open(nullptr, kCreateFlags));
    // No create flag: a missing file is an error, and no handle is kept.
    EXPECT_FALSE(db.Open((dir.path() + "/missing.db").c_str(), kSqliteOpenReadWrite));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/missing.db"));

    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    EXPECT_EQ(QueryInt(db, "PRAGMA synchronous"), 0);
    // Opening again replaces the connection; the old one is closed, not leaked.
    ASSERT_TRUE(db.Open((dir.path() + "/other.db").c_str(), kCreateFlags));
    EXPECT_EQ(db.Exec("CREATE TABLE t(x)"), kSqliteOk);
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteWrapper, PreparingAgainFinalizesThePreviousStatement) {
    TempDir dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    ASSERT_EQ(db.Exec("CREATE TABLE t(x); INSERT INTO t VALUES (1), (2);"), kSqliteOk);
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT x FROM t"), kSqliteOk);
    ASSERT_EQ(statement.Step(), kSqliteRow);  // a read left half-way
    ASSERT_EQ(db.Prepare(statement, "SELECT count(*) FROM t"), kSqliteOk);
    ASSERT_EQ(statement.Step(), kSqliteRow);
    EXPECT_EQ(statement.ColumnInt(0), 2);
    // Preparing into a statement on a closed connection drops its old handle too.
    SQLiteDB closed;
    EXPECT_EQ(closed.Prepare(statement, "SELECT 1"), kSqliteMisuse);
    EXPECT_FALSE(statement.IsPrepared());
    // sqlite3_close refuses while any statement is left unfinalized.
    EXPECT_TRUE(db.Close());
}

TEST(SQLiteWrapper, CloseFailsWhileAStatementIsPreparedAndKeepsTheHandle) {
    TempDir dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    {
        SQLiteStatement statement;
        ASSERT_EQ(db.Prepare(statement, "SELECT 1"), kSqliteOk);
        EXPECT_FALSE(db.Close());
        EXPECT_TRUE(db.IsOpen());
    }
    EXPECT_TRUE(db.Close());
}

TEST(SQLiteWrapper, PrepareTakesTheGivenLengthOrTheWholeText) {
    TempDir dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    struct Case {
        const char* sql;
        int length;
        int rc;
    };
    const Case cases[] = {
        {"SELECT 7", -1, kSqliteOk},
        {"SELECT 7 trailing garbage", 8, kSqliteOk},  // only "SELECT 7" is compiled
        {"SELECT 7 trailing garbage", -1, SQLITE_ERROR},
    };
    for (const Case& c : cases) {
        SQLiteStatement statement;
        EXPECT_EQ(db.Prepare(statement, c.sql, c.length), c.rc) << c.sql << " / " << c.length;
        if (c.rc == kSqliteOk) {
            ASSERT_EQ(statement.Step(), kSqliteRow);
            EXPECT_EQ(statement.ColumnInt(0), 7);
        }
    }
}

TEST(SQLiteWrapper, BoundTextKeepsItsLengthAndNullReadsAsNull) {
    TempDir dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open((dir.path() + "/w.db").c_str(), kCreateFlags));
    ASSERT_EQ(db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY AUTOINCREMENT, s TEXT)"), kSqliteOk);
    SQLiteStatement insert;
    ASSERT_EQ(db.Prepare(insert, "INSERT INTO t(s) VALUES (?)"), kSqliteOk);
    const std::string text = "abcdef";
    ASSERT_EQ(insert.BindText(1, text.data(), 3), kSqliteOk);
    EXPECT_EQ(insert.Step(), kSqliteDone);
    EXPECT_EQ(db.LastInsertRowId(), 1);
    EXPECT_EQ(db.Changes(), 1);
    ASSERT_EQ(db.Exec("INSERT INTO t(s) VALUES (NULL)"), kSqliteOk);

    SQLiteStatement select;
    ASSERT_EQ(db.Prepare(select, "SELECT s FROM t ORDER BY id"), kSqliteOk);
    ASSERT_EQ(select.Step(), kSqliteRow);
    EXPECT_STREQ(select.ColumnText(0), "abc");
    EXPECT_EQ(select.ColumnBytes(0), 3);
    ASSERT_EQ(select.Step(), kSqliteRow);
    EXPECT_EQ(select.ColumnText(0), nullptr);
    EXPECT_EQ(select.Step(), kSqliteDone);
}

class AutoTransaction : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.path() + "/tx.db";
        ASSERT_TRUE(db.Open(path.c_str(), kCreateFlags));
        ASSERT_EQ(db.Exec("CREATE TABLE t(x)"), kSqliteOk);
    }
    // What another connection sees: only committed rows.
    int CommittedRows() {
        SQLiteDB other;
        if (!other.Open(path.c_str(), kSqliteOpenReadWrite)) return -1;
        return QueryInt(other, "SELECT count(*) FROM t");
    }
    TempDir dir;
    std::string path;
    SQLiteDB db;
};

TEST_F(AutoTransaction, LeavingTheScopeWithoutCommitStillEndsWithEnd) {
    {
        SQLiteAutoTransaction transaction(&db);
        EXPECT_TRUE(transaction.IsActive());
        ASSERT_EQ(db.Exec("INSERT INTO t VALUES (1)"), kSqliteOk);
        EXPECT_EQ(CommittedRows(), 0);
    }
    EXPECT_EQ(CommittedRows(), 1);
    // No transaction is left open: a new one can begin.
    EXPECT_EQ(db.Exec("BEGIN"), kSqliteOk);
    EXPECT_EQ(db.Exec("END"), kSqliteOk);
}

TEST_F(AutoTransaction, CommitEndsItAndBeginStartsAnother) {
    SQLiteAutoTransaction transaction(&db);
    EXPECT_FALSE(transaction.Begin());  // already active
    ASSERT_EQ(db.Exec("INSERT INTO t VALUES (1)"), kSqliteOk);
    EXPECT_TRUE(transaction.Commit());
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_EQ(CommittedRows(), 1);
    EXPECT_TRUE(transaction.Begin());
    ASSERT_EQ(db.Exec("INSERT INTO t VALUES (2)"), kSqliteOk);
    EXPECT_TRUE(transaction.Commit());
    EXPECT_EQ(CommittedRows(), 2);
}

TEST(SQLiteAutoTransactionWithoutDatabase, ReportsFalseButTracksActive) {
    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.IsActive());
    EXPECT_FALSE(none.Begin());
    EXPECT_FALSE(none.Commit());

    SQLiteDB closed;
    SQLiteAutoTransaction onClosed(&closed);
    EXPECT_TRUE(onClosed.IsActive());
    EXPECT_FALSE(onClosed.Commit());
    EXPECT_FALSE(onClosed.IsActive());
    EXPECT_FALSE(onClosed.Begin());
    EXPECT_TRUE(onClosed.IsActive());
}

}  // namespace
}  // namespace keyloft
