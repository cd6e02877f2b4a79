// Data-set folders in the management database: stored relative to it where
// they lie below it, so that an installation can move.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "CManagementDb.h"
#include "TempFolder.h"

namespace {

std::vector<std::string> Folders(const std::string& strDb) {
  CManagementDb db;
  std::vector<LEDGER_DATASET> rows;
  EXPECT_TRUE(db.Open(strDb, false) && db.List(rows));
  std::vector<std::string> folders;
  for (const auto& row : rows) folders.emplace_back(row.szDataPath);
  return folders;
}

}  // namespace

TEST(ManagementDb, FoldersBelowItAreStoredRelative) {
  TempFolder tmp;
  const std::string dir = (tmp.Path() / "inst/books").string();
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(CManagementDb::Create(dir + "/kanri.db", 0));
  CManagementDb db;
  ASSERT_TRUE(db.Open(dir + "/kanri.db", true));
  EXPECT_EQ(db.StoredFolder(dir + "/A1"), "A1");
  EXPECT_EQ(db.StoredFolder(dir + "/./x/../B2/"), "B2");
  EXPECT_EQ(db.StoredFolder(dir + "/sub/表示"), "sub/表示");  // trail byte 0x5C
  EXPECT_EQ(db.StoredFolder(dir), dir);
  EXPECT_EQ(db.StoredFolder(dir + "x/C3"), dir + "x/C3");  // a sibling sharing the prefix
  EXPECT_EQ(db.StoredFolder("/srv/other"), "/srv/other");
  EXPECT_EQ(db.StoredFolder("rel/D4"), "rel/D4");

  int n = 0;
  ASSERT_TRUE(db.Insert(0, "a", dir + "/A1", n));
  ASSERT_TRUE(db.Insert(0, "b", "/srv/other", n));
  std::string stored;
  ASSERT_TRUE(db.Db().QueryText(
      "SELECT group_concat(folder, '|') FROM (SELECT folder FROM dataset ORDER BY seq)", stored));
  EXPECT_EQ(stored, "A1|/srv/other");
  db.Close();
  EXPECT_EQ(Folders(dir + "/kanri.db"), (std::vector<std::string>{dir + "/A1/", "/srv/other/"}));

  // Copied elsewhere, the folder below follows and the other stays.
  const std::string moved = (tmp.Path() / "moved").string();
  std::filesystem::copy(dir, moved, std::filesystem::copy_options::recursive);
  EXPECT_EQ(Folders(moved + "/kanri.db"),
            (std::vector<std::string>{moved + "/A1/", "/srv/other/"}));
}

TEST(ManagementDb, RelativePathGivesAbsoluteFolders) {
  TempFolder tmp;
  std::filesystem::create_directories(tmp.Path() / "inst");
  const std::string dir = (tmp.Path() / "inst").string();
  ASSERT_TRUE(CManagementDb::Create(dir + "/kanri.db", 0));
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(tmp.Path());
  CManagementDb db;
  const bool bOpen = db.Open("inst/kanri.db", true);
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(bOpen);
  int n = 0;
  // Stored relative even when given absolute against a database opened relative.
  ASSERT_TRUE(db.Insert(0, "a", dir + "/A1", n));
  std::vector<LEDGER_DATASET> rows;
  ASSERT_TRUE(db.List(rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::string(rows[0].szDataPath), dir + "/A1/");
}
