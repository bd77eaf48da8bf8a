#include "library/sqlite_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "library/blob_codec.h"
#include "results/scratch_dir.h"

namespace tmx {
namespace {

class SqliteTest : public ::testing::Test {
 protected:
  testing::ScratchDir dir;
  SqliteError error;
  std::unique_ptr<SqliteDatabase> db = SqliteDatabase::open(dir / "t.sqlite", SqliteOpen::ReadWriteCreate, error);
  void SetUp() override {
    ASSERT_TRUE(db) << error.message;
    ASSERT_TRUE(db->exec("CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT, c REAL, d BLOB)"));
  }
  int64_t rows() { return *db->queryInteger("SELECT count(*) FROM t"); }
};

TEST_F(SqliteTest, BindsAndReadsEveryTypeAndNull) {
  auto st = db->prepare("INSERT INTO t VALUES (?1, ?2, ?3, ?4)");
  ASSERT_TRUE(st);
  const std::vector<uint8_t> bytes = {0, 1, 0xFF};
  st->bind(1, int64_t{0x123456789});
  st->bind(2, std::string("x\0y", 3));
  st->bind(3, std::optional<double>());
  st->bind(4, std::span<const uint8_t>(bytes));
  ASSERT_EQ(st->step(), SqliteStep::Done);
  auto q = db->prepare("SELECT a, b, c, d FROM t");
  ASSERT_EQ(q->step(), SqliteStep::Row);
  EXPECT_EQ(q->integer(0), 0x123456789);
  EXPECT_EQ(q->text(1), std::string("x\0y", 3));
  EXPECT_FALSE(q->optionalReal(2));
  EXPECT_EQ(q->blob(3), bytes);
  EXPECT_EQ(q->step(), SqliteStep::Done);
}

TEST_F(SqliteTest, ErrorsCarryTheExtendedCodeAndMessage) {
  ASSERT_TRUE(db->exec("INSERT INTO t(a) VALUES (1)"));
  EXPECT_FALSE(db->exec("INSERT INTO t(a) VALUES (1)"));
  EXPECT_EQ(db->lastError().code, SQLITE_CONSTRAINT_PRIMARYKEY);
  EXPECT_EQ(db->lastError().message, "UNIQUE constraint failed: t.a");
  EXPECT_FALSE(db->prepare("SELEC 1"));
  EXPECT_EQ(db->lastError().code, SQLITE_ERROR);
}

TEST_F(SqliteTest, TransactionRollsBackUnlessCommitted) {
  {
    SqliteTransaction tx(*db);
    ASSERT_TRUE(tx.begun());
    db->exec("INSERT INTO t(a) VALUES (1)");
  }
  EXPECT_EQ(rows(), 0);
  {
    SqliteTransaction tx(*db);
    db->exec("INSERT INTO t(a) VALUES (2)");
    EXPECT_TRUE(tx.commit());
    EXPECT_FALSE(tx.commit());
  }
  EXPECT_EQ(rows(), 1);
}

TEST_F(SqliteTest, OpeningAMissingFileWithoutCreateFails) {
  SqliteError missing;
  EXPECT_FALSE(SqliteDatabase::open(dir / "none.sqlite", SqliteOpen::ReadWrite, missing));
  EXPECT_EQ(missing.code, SQLITE_CANTOPEN);
  EXPECT_EQ(missing.message, "unable to open database file");
}

TEST(BlobCodec, LittleEndianTwosComplementOfTheExactLength) {
  const std::vector<int32_t> values = {1, -1, 0x12345678};
  const auto bytes = encodeInts<int32_t>(values);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}));
  std::array<int32_t, 3> back{};
  ASSERT_TRUE(decodeInts<int32_t>(bytes, back));
  EXPECT_EQ(std::vector<int32_t>(back.begin(), back.end()), values);
  std::array<int32_t, 2> shorter{7, 7};
  EXPECT_FALSE(decodeInts<int32_t>(bytes, shorter));
  EXPECT_EQ(shorter[0], 7);
  const std::vector<int8_t> small = {-1, 6};
  EXPECT_EQ(encodeInts<int8_t>(small), (std::vector<uint8_t>{0xFF, 6}));
  const std::vector<int64_t> wide = {-2};
  EXPECT_EQ(encodeInts<int64_t>(wide), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace tmx
