#include "temporary_folder.h"

#include "base/sqlite_database.h"
#include "base/sqlite_error.h"

#include <gtest/gtest.h>

namespace {

using Database = handset::SqliteDatabase;
using Statement = handset::SqliteStatement;

class PooledStatementTest : public ::testing::Test {
  protected:
    PooledStatementTest() : m_database(path(), Database::Mode::create) {
        m_database.execute("CREATE TABLE numbers (value INTEGER UNIQUE)");
        for (int value : {1, 2, 3}) {
            m_database.prepare("INSERT INTO numbers VALUES (?)").bind(1, value).run();
        }
    }

    std::vector<int64_t> values_above(int64_t floor) {
        Statement rows = m_database.prepare("SELECT value FROM numbers WHERE value > ? ORDER BY 1");
        rows.bind(1, floor);
        std::vector<int64_t> values;
        while (rows.step()) {
            values.push_back(rows.integer(0));
        }
        return values;
    }

    std::filesystem::path path() const { return m_folder.path() / "numbers.db"; }

    TemporaryFolder m_folder;
    Database m_database;
};

} // namespace

// A reused statement starts from its first row with nothing bound, even when it was given back
// half-read.
TEST_F(PooledStatementTest, AStatementUsedAgainStartsAtItsFirstRowWithNothingBound) {
    {
        Statement half_read = m_database.prepare("SELECT value FROM numbers ORDER BY 1");
        ASSERT_TRUE(half_read.step());
    }
    Statement again = m_database.prepare("SELECT value FROM numbers ORDER BY 1");
    ASSERT_TRUE(again.step());
    EXPECT_EQ(again.integer(0), 1);

    EXPECT_EQ(values_above(1), (std::vector<int64_t>{2, 3}));
    Statement unbound = m_database.prepare("SELECT value FROM numbers WHERE value > ? ORDER BY 1");
    EXPECT_FALSE(unbound.step()) << "a NULL floor matches nothing";
}

TEST_F(PooledStatementTest, TheSameQueryOpenTwiceIsTwoIndependentStatements) {
    Statement outer = m_database.prepare("SELECT value FROM numbers ORDER BY 1");
    ASSERT_TRUE(outer.step());
    EXPECT_EQ(values_above(0), (std::vector<int64_t>{1, 2, 3}));
    ASSERT_TRUE(outer.step());
    EXPECT_EQ(outer.integer(0), 2);
}

TEST_F(PooledStatementTest, AStatementThatFailedCanRunAgain) {
    Statement duplicate = m_database.prepare("INSERT INTO numbers VALUES (?)");
    duplicate.bind(1, 2);
    EXPECT_THROW(duplicate.run(), handset::SqliteError);
    { Statement moved = std::move(duplicate); }
    m_database.prepare("INSERT INTO numbers VALUES (?)").bind(1, 4).run();
    EXPECT_EQ(values_above(3), (std::vector<int64_t>{4}));
}

// SQLite refuses to close a connection with statements left, and only a closed last connection
// removes its write-ahead log.
TEST_F(PooledStatementTest, TheConnectionClosesWithItsPooledStatements) {
    EXPECT_EQ(values_above(0).size(), 3u);
    {
        Database moved = std::move(m_database);
        Statement count = moved.prepare("SELECT count(*) FROM numbers");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.integer(0), 3);
    }
    std::filesystem::path log = path();
    log += "-wal";
    EXPECT_FALSE(std::filesystem::exists(log));
}
