// The data access: records filled at their offsets, and every kind of bad
// books answered with a failure, never a crash or a half-filled record.

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "CConv.h"
#include "CKaikei.h"
#include "LedgerFixture.h"
#include "LedgerSel.h"
#include "S_JETVERSION.h"
#include "TUKIKAN.h"

using namespace ledgertest;

namespace {

const std::vector<CBooksDatabase::Journal> kNoLines;

std::int16_t I16(const void* rec, std::size_t offset) {
  std::int16_t v;
  std::memcpy(&v, static_cast<const char*>(rec) + offset, sizeof v);
  return v;
}

std::int32_t I32(const void* rec, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, static_cast<const char*>(rec) + offset, sizeof v);
  return v;
}

const char* Text(const void* rec, std::size_t offset) {
  return static_cast<const char*>(rec) + offset;
}

bool AllZero(const void* rec, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(rec);
  for (std::size_t i = 0; i < size; ++i)
    if (p[i] != 0) return false;
  return true;
}

class JetAccessTest : public LedgerFixture {};

}  // namespace

TEST_F(JetAccessTest, VersionAndFileChecks) {
  CJetAccess jet;
  S_JETVERSION v{};
  ASSERT_EQ(0, jet.GetVersion(&v));
  EXPECT_EQ(6, I16(&v, 0));
  EXPECT_EQ(15, I16(&v, 2));
  EXPECT_EQ('N', *Text(&v, 4));

  std::ofstream(m_root + "/QT10.EXE") << "x";
  std::ofstream(m_root + "/SUPPORT.INF") << "x";
  EXPECT_EQ(0, jet.CheckFile("QT10.EXE"));
  EXPECT_EQ(0, jet.CheckFile("SUPPORT.INF"));
  EXPECT_NE(0, jet.CheckFile("KP10.EXE"));
  EXPECT_EQ(0, jet.CheckFile((m_root + "/kanri.db").c_str()));
  EXPECT_NE(0, jet.CheckFile((m_root + "/none.db").c_str()));
  EXPECT_NE(0, jet.CheckFile(m_root.c_str()));  // a folder is not a file
  EXPECT_NE(0, jet.CheckFile(""));
  EXPECT_NE(0, jet.CheckFile(nullptr));
}

TEST_F(JetAccessTest, InitWantsTheOrderAndTheAccessString) {
  CJetAccess jet;
  EXPECT_NE(0, jet.Init("TOKA", 0, 0, nullptr));  // before MasterInit
  MAXDATACOUNT limits{};
  EXPECT_NE(0, jet.MasterInit(nullptr, &limits));
  ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
  EXPECT_NE(0, jet.Init("toka", 0, 0, nullptr));
  EXPECT_NE(0, jet.Init("TOKA", 1, 0, nullptr));
  EXPECT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  EXPECT_EQ(0, jet.Term());
  EXPECT_EQ(0, jet.Init("TOKA", 0, 0, ""));
}

TEST_F(JetAccessTest, RecordsCarryTheBooksAtTheirOffsets) {
  auto company = Company("ﾐﾄﾞﾘ農産株式会社", 2016, 4, 1, 2017, 3, 31);
  company.strAltFolder = "/srv/共有/env/";
  company.bNetAssets = true;
  company.strDataID = "MIDORI-2016";
  const std::string path = AddDataSet("midori", company, kNoLines);
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataPath(path.c_str()));
  EXPECT_EQ(path, jet.GetSelectedDataPath());

  std::vector<unsigned char> kanri(1585, 0xEE);
  ASSERT_EQ(0, jet.ReadKanri(reinterpret_cast<S_KANRI*>(kanri.data())));
  EXPECT_STREQ("ﾐﾄﾞﾘ農産株式会社", Text(kanri.data(), 9));
  EXPECT_EQ(2016, I16(kanri.data(), 178));
  EXPECT_EQ(4, I16(kanri.data(), 180));
  EXPECT_EQ(1, I16(kanri.data(), 182));
  EXPECT_EQ(2017, I16(kanri.data(), 184));
  EXPECT_EQ(3, I16(kanri.data(), 186));
  EXPECT_EQ(31, I16(kanri.data(), 188));
  EXPECT_EQ(1, I16(kanri.data(), 493));
  EXPECT_STREQ("/srv/共有/env/", Text(kanri.data(), 1435));
  EXPECT_EQ(1, kanri[1556]);

  std::vector<unsigned char> kanri2(2902, 0xEE);
  ASSERT_EQ(0, jet.ReadKanri2(reinterpret_cast<S_KANRI2*>(kanri2.data())));
  EXPECT_STREQ("MIDORI-2016", Text(kanri2.data(), 785));
  EXPECT_EQ(0, kanri2[0]);

  S_ENV env;
  ASSERT_EQ(0, jet.ReadEnv(&env));
  EXPECT_EQ(1, +env.nDataNo);  // packed: compare values, not references
  EXPECT_EQ(path, env.szDataPath);

  short count = 0;
  ASSERT_EQ(0, jet.GetKanKamokuCount(&count));
  EXPECT_EQ(17 + 8, count);  // the chart and the eight totals
  std::vector<S_KANKAMOKU> titles(static_cast<std::size_t>(count) + 1);
  short read = -1;
  ASSERT_EQ(0, jet.ReadKanKamoku(titles.data(), 0, count, &read, 0));
  EXPECT_EQ(count, read);
  const auto* first = reinterpret_cast<const unsigned char*>(&titles[0]);
  EXPECT_EQ(GENKIN, I16(first, 0));
  EXPECT_STREQ("現金", Text(first, 25));
  EXPECT_EQ(1000, I32(first, 42));
  EXPECT_EQ(0, first[67]);
  EXPECT_EQ(KAMOKU_KARIKATA, first[72]);
  EXPECT_STREQ("現金", Text(first, 105));
  const auto* last = reinterpret_cast<const unsigned char*>(&titles[count - 1]);
  EXPECT_EQ(CKaikei::CODE_ZEIBIKIMAE, I16(last, 0));
  EXPECT_EQ(1, last[67]);  // totals are hidden
  EXPECT_EQ(KAMOKU_KASIKATA, last[72]);
  const auto* capital = reinterpret_cast<const unsigned char*>(&titles[count - 6]);
  EXPECT_EQ(CKaikei::CODE_SHIHON, I16(capital, 0));
  EXPECT_STREQ("純資産合計", Text(capital, 25));

  // A window of the list.
  S_KANKAMOKU two[2];
  ASSERT_EQ(0, jet.ReadKanKamoku(two, 3, 2, &read, 0));
  EXPECT_EQ(2, read);
  EXPECT_EQ(KARIIRE, +two[0].nKamokuCode);
  ASSERT_EQ(0, jet.ReadKanKamoku(two, count - 1, 2, &read, 0));
  EXPECT_EQ(1, read);
  EXPECT_TRUE(AllZero(&two[1], sizeof two[1]));
}

TEST_F(JetAccessTest, SelectionListsAndSwitchesDataSets) {
  AddDataSet("a", Company("Ａ農園", 2016, 4, 1, 2017, 3, 31), kNoLines);
  auto individual = Company("個人農家", 2016, 1, 1, 2016, 12, 31);
  individual.nKeiei = 2;
  AddDataSet("b", individual, kNoLines);
  CJetAccess jet;
  S_KANRI kanri;
  EXPECT_NE(0, jet.ReadKanri(&kanri));  // not open
  Open(jet);
  short n = 0;
  ASSERT_EQ(0, jet.GetDataSetCount(&n));
  EXPECT_EQ(2, n);
  LEDGER_DATASET row;
  ASSERT_EQ(0, jet.GetDataSetInfo(1, &row));
  EXPECT_STREQ("個人農家", row.szName);
  EXPECT_EQ(2, row.nDataNo);
  EXPECT_EQ(m_root + "/b/", row.szDataPath);
  EXPECT_NE(0, jet.GetDataSetInfo(2, &row));
  EXPECT_NE(0, jet.ReadKanri(&kanri));  // nothing chosen

  ASSERT_EQ(0, jet.SelectDataSet(1));
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  EXPECT_EQ(2, +kanri.nKeiei);
  // A refused choice: Term and Init keep the data access usable.
  jet.Term();
  EXPECT_NE(0, jet.ReadKanri(&kanri));
  ASSERT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  ASSERT_EQ(0, jet.SelectDataPath((m_root + "/a").c_str()));
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  EXPECT_STREQ("Ａ農園", kanri.szJigyoName);
  // A failed choice drops the old one rather than reading it on.
  EXPECT_NE(0, jet.SelectDataPath((m_root + "/c/").c_str()));
  EXPECT_NE(0, jet.ReadKanri(&kanri));
  EXPECT_NE(0, jet.SelectDataSet(-1));

  CConv conv;
  EXPECT_FALSE(LedgerSel_InitClass(nullptr, &conv));
  EXPECT_TRUE(LedgerSel_InitClass(&jet, &conv));
  EXPECT_EQ(&jet, LedgerSel_GetJetAccess());
  EXPECT_EQ(&conv, LedgerSel_GetConv());
}

TEST_F(JetAccessTest, BadBooksFailEveryRead) {
  const std::string path = AddDataSet("a", Company("Ａ農園", 2016, 4, 1, 2017, 3, 31), kNoLines);
  const std::string books = path + CBooksDatabase::BOOKS_FILE;
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);

  const auto expectAllFail = [&](const char* what) {
    std::vector<unsigned char> kanri(1585, 0xEE), kanri2(2902, 0xEE), env(2977, 0xEE);
    EXPECT_NE(0, jet.ReadKanri(reinterpret_cast<S_KANRI*>(kanri.data()))) << what;
    EXPECT_TRUE(AllZero(kanri.data(), kanri.size())) << what;
    EXPECT_NE(0, jet.ReadKanri2(reinterpret_cast<S_KANRI2*>(kanri2.data()))) << what;
    EXPECT_TRUE(AllZero(kanri2.data(), kanri2.size())) << what;
    EXPECT_NE(0, jet.ReadEnv(reinterpret_cast<S_ENV*>(env.data()))) << what;
    short count = 7;
    EXPECT_NE(0, jet.GetKanKamokuCount(&count)) << what;
    S_KANKAMOKU titles[3];
    std::memset(titles, 0xEE, sizeof titles);
    short read = 7;
    EXPECT_NE(0, jet.ReadKanKamoku(titles, 0, 3, &read, 0)) << what;
    EXPECT_EQ(0, read) << what;
    EXPECT_TRUE(AllZero(titles, sizeof titles)) << what;
    TUKIKAN table[2] = {};
    table[0].nKamokuCode = URIAGE;
    table[0].nKamokuNo = 4000;
    EXPECT_NE(0, kaikei.TukiKanZanCal(1, 0, 0, table, nullptr)) << what;
  };

  // Locked by a writer holding an exclusive lock.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(books.c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                      "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                                      " UPDATE kanri SET keiei = keiei;",
                                      nullptr, nullptr, nullptr));
    expectAllFail("locked");
    sqlite3_close(db);
  }
  // The folder vanished.
  std::filesystem::rename(path, m_root + "/moved");
  expectAllFail("vanished");
  std::filesystem::rename(m_root + "/moved", path);
  S_KANRI kanri;
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  // Corrupt: not a database at all, then a database without the books.
  std::filesystem::copy_file(books, m_root + "/saved.db");
  std::ofstream(books, std::ios::trunc) << "this is not a database";
  expectAllFail("garbage");
  {
    sqlite3* db = nullptr;
    std::filesystem::remove(books);
    ASSERT_EQ(SQLITE_OK, sqlite3_open(books.c_str(), &db));
    sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  expectAllFail("other database");
  std::filesystem::copy_file(m_root + "/saved.db", books,
                             std::filesystem::copy_options::overwrite_existing);
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  // A row that the record cannot hold.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(books.c_str(), &db));
    sqlite3_exec(db, "UPDATE kanri SET name = printf('%.100c', 'x')", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  EXPECT_NE(0, jet.ReadKanri(&kanri));
  std::filesystem::copy_file(m_root + "/saved.db", books,
                             std::filesystem::copy_options::overwrite_existing);
  // The management database no longer lists the data set.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open((m_root + "/kanri.db").c_str(), &db));
    sqlite3_exec(db, "DELETE FROM dataset", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  expectAllFail("unlisted");
}

TEST_F(JetAccessTest, MissingSettingsOrManagementDatabaseFailInit) {
  CJetAccess jet;
  MAXDATACOUNT limits{};
  ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
  std::filesystem::remove(m_root + "/kanri.db");
  EXPECT_NE(0, jet.Init("TOKA", 0, 0, nullptr));
  std::ofstream(m_root + "/kanri.db") << "not a database";
  EXPECT_NE(0, jet.Init("TOKA", 0, 0, nullptr));
  std::filesystem::remove(m_root + "/" + CInstallation::SETTINGS_FILE);
  EXPECT_NE(0, jet.Init("TOKA", 0, 0, nullptr));
}
