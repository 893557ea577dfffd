#include <gtest/gtest.h>

#include "platform/sqlite/Connection.h"
#include "platform/sqlite/SqliteError.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"
#include "support/TempDir.h"

namespace {

using sqlite::Connection;
using sqlite::Statement;

class SqliteTest : public ::testing::Test {
 protected:
  testing_support::TempDir folder;
  Connection db{folder / "t.db", Connection::Mode::ReadWriteCreate};

  std::int64_t Count() {
    Statement count(db, "SELECT count(*) FROM t");
    count.Step();
    return count.Int(0);
  }
};

TEST_F(SqliteTest, AnEmptyTextBindsAsEmptyTextNotNull) {
  db.Execute("CREATE TABLE t (v TEXT)");
  Statement insert(db, "INSERT INTO t VALUES (?1)");
  insert.Bind(1, std::string_view()).Run();
  Statement query(db, "SELECT v IS NULL, v = '' FROM t");
  ASSERT_TRUE(query.Step());
  EXPECT_EQ(query.Int(0), 0);
  EXPECT_EQ(query.Int(1), 1);
}

TEST_F(SqliteTest, AnEmptyBlobBindsAsEmptyBlobNotNull) {
  db.Execute("CREATE TABLE t (v BLOB)");
  Statement insert(db, "INSERT INTO t VALUES (?1)");
  insert.BindBlob(1, {}).Run();
  Statement query(db, "SELECT v IS NULL, length(v) FROM t");
  ASSERT_TRUE(query.Step());
  EXPECT_EQ(query.Int(0), 0);
  EXPECT_EQ(query.Int(1), 0);
}

TEST_F(SqliteTest, TextWithNulBytesRoundTrips) {
  db.Execute("CREATE TABLE t (v TEXT)");
  const std::string text("a\0b", 3);
  Statement insert(db, "INSERT INTO t VALUES (?1)");
  insert.Bind(1, text).Run();
  Statement query(db, "SELECT v FROM t");
  ASSERT_TRUE(query.Step());
  EXPECT_EQ(query.Text(0), text);
}

TEST_F(SqliteTest, SeveralStatementsInOnePrepareAreRefused) {
  db.Execute("CREATE TABLE t (v)");
  EXPECT_THROW(Statement(db, "INSERT INTO t VALUES (1); DROP TABLE t"), sqlite::SqliteError);
  EXPECT_NO_THROW(Statement(db, "INSERT INTO t VALUES (1);  "));
}

TEST_F(SqliteTest, ATransactionRollsBackUnlessCommitted) {
  db.Execute("CREATE TABLE t (v)");
  {
    sqlite::Transaction transaction(db);
    db.Execute("INSERT INTO t VALUES (1)");
  }
  EXPECT_EQ(Count(), 0);
  {
    sqlite::Transaction transaction(db, sqlite::Transaction::Kind::Immediate);
    db.Execute("INSERT INTO t VALUES (1)");
    transaction.Commit();
  }
  EXPECT_EQ(Count(), 1);
}

TEST_F(SqliteTest, AFailureCarriesSqlitesCode) {
  try {
    db.Execute("INSERT INTO missing VALUES (1)");
    FAIL() << "no error";
  } catch (const sqlite::SqliteError& error) {
    EXPECT_EQ(error.Code(), 1);  // SQLITE_ERROR
    EXPECT_NE(std::string(error.what()).find("missing"), std::string::npos);
  }
}

TEST(SqliteOpenTest, OpeningAMissingFileWithoutCreateFails) {
  testing_support::TempDir folder;
  EXPECT_THROW(Connection(folder / "none.db", Connection::Mode::ReadWrite), sqlite::SqliteError);
  EXPECT_FALSE(std::filesystem::exists(folder / "none.db"));
}

}  // namespace
