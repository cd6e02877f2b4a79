// A books file the host holds locked for a moment is waited for.

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "CSqlite.h"
#include "LedgerFixture.h"

using namespace ledgertest;

TEST_F(LedgerFixture, ReaderWaitsForAWriterThatFinishesSoon) {
  const CString strPath = m_root + "/locked.db";
  CSqlite writer;
  ASSERT_TRUE(writer.Open(strPath, CSqlite::OPEN_CREATE));
  ASSERT_TRUE(writer.Exec("CREATE TABLE t(x); INSERT INTO t VALUES(7); BEGIN EXCLUSIVE;"));
  std::thread release([&writer] {
    ::usleep(300'000);
    writer.Exec("COMMIT");
  });
  CSqlite reader;
  const bool bOpened = reader.Open(strPath, CSqlite::OPEN_READ);
  long long nValue = 0;
  const bool bRead = bOpened && reader.QueryInt("SELECT x FROM t", nValue);
  release.join();
  EXPECT_TRUE(bOpened);
  EXPECT_TRUE(bRead);
  EXPECT_EQ(nValue, 7);
}
