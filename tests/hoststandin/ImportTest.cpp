// Books folders through the import into a scratch installation, read back by
// the data access and the monthly table, and out again through the export.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "BooksCsvExporter.h"
#include "BooksCsvImporter.h"
#include "BooksDbReader.h"
#include "BooksFolderReader.h"
#include "CFiscalYear.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CManagementDb.h"
#include "CSqlite.h"
#include "Cp932.h"
#include "MAXDATACOUNT.h"
#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "SmallBooks.h"
#include "TUKIKAN.h"
#include "TempFolder.h"

namespace {

// A scratch installation that the data access finds through QT10_PROGRAM_DIR.
class Installation {
 public:
  explicit Installation(const TempFolder& tmp, const std::string& name, short nEdition = 0)
      : m_dir((tmp.Path() / name).string()) {
    std::filesystem::create_directories(m_dir + "/books");
    EXPECT_TRUE(CInstallation::WriteSettings(m_dir, nEdition, "books/kanri.db", "ハルモア１０"));
    EXPECT_TRUE(CManagementDb::Create(m_dir + "/books/kanri.db", nEdition));
    EXPECT_TRUE(m_installation.Load(m_dir));
  }
  const CInstallation& Get() const { return m_installation; }
  const std::string& Dir() const { return m_dir; }

  // Every file below the installation with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir)) {
      std::ifstream in(e.path(), std::ios::binary);
      files[e.path().string()] = e.is_directory() ? "<dir>"
                                                  : std::string(std::istreambuf_iterator<char>(in),
                                                                std::istreambuf_iterator<char>());
    }
    return files;
  }

 private:
  std::string m_dir;
  CInstallation m_installation;
};

// The monthly table of data set nIndex as the engine builds and fills it.
std::vector<TUKIKAN> MonthlyTable(const Installation& inst, short nIndex) {
  ::setenv(CInstallation::ENV_PROGRAM_DIR, inst.Dir().c_str(), 1);
  std::vector<TUKIKAN> table;
  CJetAccess jet;
  MAXDATACOUNT limits{};
  EXPECT_EQ(0, jet.MasterInit(&limits, &limits));
  EXPECT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  EXPECT_EQ(0, jet.SelectDataSet(nIndex));
  short count = 0, read = 0;
  EXPECT_EQ(0, jet.GetKanKamokuCount(&count));
  std::vector<S_KANKAMOKU> titles(static_cast<std::size_t>(count));
  EXPECT_EQ(0, jet.ReadKanKamoku(titles.data(), 0, count, &read, 0));
  table.resize(static_cast<std::size_t>(read) + 1);
  std::memset(table.data(), 0, table.size() * sizeof(TUKIKAN));
  for (short i = 0; i < read; ++i) {
    table[i].nKamokuCode = titles[i].nKamokuCode;
    table[i].nKamokuNo = titles[i].nKamokuNo;
  }
  CKaikei kaikei(&jet, nullptr, nullptr);
  EXPECT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr));
  jet.Term();
  ::unsetenv(CInstallation::ENV_PROGRAM_DIR);
  return table;
}

const TUKIKAN& Entry(const std::vector<TUKIKAN>& table, short code) {
  for (const auto& e : table) {
    if (e.nKamokuCode == code) return e;
  }
  static const TUKIKAN none{};
  ADD_FAILURE() << "no entry for account " << code;
  return none;
}

// One amount by value: the packed doubles must not be bound to references.
double Amount(const std::vector<TUKIKAN>& table, short code, int i) {
  return Entry(table, code).dKingaku[i];
}

// Sum of elements 1-13: in a twelve-month year, the period total or the
// closing balance.
double YearTotal(const std::vector<TUKIKAN>& table, short code) {
  double sum = 0;
  for (int i = 1; i <= 13; ++i) sum += Amount(table, code, i);
  return sum;
}

}  // namespace

TEST(BooksImport, SmallFolderGivesKnownMonthlyTableAndTotals) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "small");
  Installation inst(tmp, "inst");
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(inst.Get(), tmp.Path() / "small")) << importer.m_arError.front();
  EXPECT_EQ(importer.m_nDataNo, 1);

  const auto table = MonthlyTable(inst, 0);
  // Sales: April, March and the settlement period.
  EXPECT_EQ(static_cast<int>(Entry(table, 5).nKamokuNo), 4000);
  EXPECT_EQ(Amount(table, 5, 0), 0);
  EXPECT_EQ(Amount(table, 5, 1), 100000);
  EXPECT_EQ(Amount(table, 5, 12), 150000);
  EXPECT_EQ(Amount(table, 5, 13), 50000);
  // Cash: carried forward in 0 and, in a twelve-month year, in 1 as well.
  EXPECT_EQ(Amount(table, 1, 0), 500000);
  EXPECT_EQ(Amount(table, 1, 1), 500000);
  EXPECT_EQ(Amount(table, 1, 3), 100000);
  EXPECT_EQ(Amount(table, 1, 9), -20000);
  EXPECT_EQ(Amount(table, 2, 1), 300000);

  EXPECT_EQ(YearTotal(table, CKaikei::CODE_URIAGE), 300000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_GENKA), 80000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_URISOURIEKI), 220000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_EIGYOSONEKI), 200000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_ZEIBIKIMAE), 200000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_SHISAN), 980000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_HUSAI), 180000);
  EXPECT_EQ(YearTotal(table, CKaikei::CODE_SHIHON), 800000);
}

TEST(BooksImport, ManagementRecordAndTitlesInCp932) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "small");
  Installation inst(tmp, "inst");
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(inst.Get(), tmp.Path() / "small"));

  ::setenv(CInstallation::ENV_PROGRAM_DIR, inst.Dir().c_str(), 1);
  CJetAccess jet;
  MAXDATACOUNT limits{};
  ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
  ASSERT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  ASSERT_EQ(0, jet.SelectDataSet(0));
  S_KANRI kanri{};
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  EXPECT_STREQ(kanri.szJigyoName, "テスト農園, 株式会社");
  EXPECT_EQ(static_cast<int>(kanri.nStartMonth), 4);
  EXPECT_EQ(static_cast<int>(kanri.nEndYear), 2025);
  EXPECT_EQ(static_cast<int>(kanri.byJunShisan), 1);
  EXPECT_STREQ(kanri.szAltFolder, "/srv/旧データ/");
  S_KANKAMOKU titles[20]{};
  short read = 0;
  ASSERT_EQ(0, jet.ReadKanKamoku(titles, 0, 20, &read, 0));
  ASSERT_GE(read, 7);
  EXPECT_STREQ(titles[2].szKamokuName, "買掛金");
  EXPECT_EQ(static_cast<int>(titles[2].byTaisyaku), KAMOKU_KASIKATA);
  EXPECT_EQ(static_cast<int>(titles[6].byHide), 1);
  jet.Term();
  ::unsetenv(CInstallation::ENV_PROGRAM_DIR);
}

TEST(BooksImport, RejectedImportLeavesTheInstallationUnchanged) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "small");
  Installation inst(tmp, "inst");
  const auto before = inst.Snapshot();

  // A bad last line: nothing of the lines before it may arrive.
  tmp.Write("small/journal.csv", smallbooks::Journal() + "2025-03-31,2,5,12x,1,\n");
  BooksCsvImporter importer;
  EXPECT_FALSE(importer.Import(inst.Get(), tmp.Path() / "small"));
  ASSERT_EQ(importer.m_arError.size(), 1u);
  EXPECT_EQ(importer.m_arError[0],
            "journal.csv line 8, field amount: \"12x\" is not an amount in whole yen");
  EXPECT_EQ(inst.Snapshot(), before);

  // The same data ID twice: the second is refused and the first stays.
  smallbooks::WriteFolder(tmp, "small");
  ASSERT_TRUE(importer.Import(inst.Get(), tmp.Path() / "small"));
  const auto once = inst.Snapshot();
  EXPECT_FALSE(importer.Import(inst.Get(), tmp.Path() / "small"));
  EXPECT_NE(importer.m_arError.at(0).find("company.csv, field data_id: the installation has data "
                                          "ID T001 already"),
            std::string::npos);
  EXPECT_EQ(inst.Snapshot(), once);
}

TEST(BooksImport, ExportThenImportGivesTheSameBooks) {
  TempFolder tmp;
  Installation first(tmp, "first", 10);
  Installation second(tmp, "second", 10);
  const std::filesystem::path midori = std::filesystem::path(RX16_SOURCE_DIR) / "data/books/midori";
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(first.Get(), midori));

  BooksCsvExporter exporter;
  ASSERT_TRUE(exporter.Export(first.Get(), "00000001", tmp.Path() / "out")) << exporter.m_strError;
  EXPECT_FALSE(exporter.Export(first.Get(), "00000001", tmp.Path() / "out"));
  EXPECT_NE(exporter.m_strError.find("exists and is not an empty folder"), std::string::npos);
  ASSERT_TRUE(importer.Import(second.Get(), tmp.Path() / "out")) << importer.m_arError.front();

  // The same books, descriptions included, as read from the shipped folder.
  BooksFolderReader reader;
  BooksData shipped, again;
  ASSERT_TRUE(reader.Read(midori, shipped));
  CManagementDb db;
  std::vector<LEDGER_DATASET> rows;
  ASSERT_TRUE(db.Open(second.Get().GetManagementDb(), false) && db.List(rows));
  ASSERT_EQ(rows.size(), 1u);
  BooksDbReader dbReader;
  ASSERT_TRUE(dbReader.Read(rows[0].szDataPath, again)) << dbReader.m_strError;
  EXPECT_EQ(again, shipped);

  // And the same report figures.
  const auto a = MonthlyTable(first, 0);
  const auto b = MonthlyTable(second, 0);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(TUKIKAN)));

  // The data set can also be named by its number in the list.
  CString strFolder;
  EXPECT_TRUE(exporter.Find(second.Get(), "1", strFolder));
  EXPECT_EQ(strFolder, rows[0].szDataPath);
  EXPECT_FALSE(exporter.Find(second.Get(), "2", strFolder));
}

TEST(BooksImport, QuotedTextsAndCp932FilesSurviveTheRoundTrip) {
  TempFolder tmp;
  Installation first(tmp, "first");
  Installation second(tmp, "second");
  // The small folder in CP932, as a Windows program would write it.
  for (const auto& [name, text] : {std::pair{"company.csv", smallbooks::Company()},
                                   {"accounts.csv", smallbooks::Accounts()},
                                   {"opening.csv", smallbooks::Opening()},
                                   {"journal.csv", smallbooks::Journal()}}) {
    std::string cp932;
    ASSERT_TRUE(cp932::FromUtf8(text, cp932));
    tmp.Write(std::string("sjis/") + name, cp932);
  }
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(first.Get(), tmp.Path() / "sjis")) << importer.m_arError.front();
  BooksCsvExporter exporter;
  // An existing empty folder is filled.
  std::filesystem::create_directories(tmp.Path() / "out");
  ASSERT_TRUE(exporter.Export(first.Get(), "T001", tmp.Path() / "out/")) << exporter.m_strError;
  EXPECT_EQ(tmp.Read("out/company.csv"), smallbooks::Company());
  // Descriptions come back with their Japanese text, commas and quotes.
  EXPECT_EQ(tmp.Read("out/journal.csv"), smallbooks::Journal());
  ASSERT_TRUE(importer.Import(second.Get(), tmp.Path() / "out")) << importer.m_arError.front();
  const auto a = MonthlyTable(first, 0);
  const auto b = MonthlyTable(second, 0);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(TUKIKAN)));
}

TEST(BooksImport, BooksWithoutDescriptionsStillRead) {
  TempFolder tmp;
  Installation inst(tmp, "inst");
  smallbooks::WriteFolder(tmp, "small");
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(inst.Get(), tmp.Path() / "small"));
  const std::string strBooks = inst.Dir() + "/books/T001";
  BooksDbReader reader;
  BooksData stored;
  ASSERT_TRUE(reader.Read(strBooks, stored)) << reader.m_strError;
  EXPECT_EQ(stored.m_arEntry.at(0).m_strDescription, smallbooks::U8(u8"四月出荷"));

  // Books written before descriptions were kept: the same, descriptions empty.
  CSqlite db;
  ASSERT_TRUE(db.Open(strBooks + "/books.db", CSqlite::OPEN_WRITE));
  ASSERT_TRUE(db.Exec("ALTER TABLE siwake DROP COLUMN description"));
  db.Close();
  BooksData old;
  ASSERT_TRUE(reader.Read(strBooks, old)) << reader.m_strError;
  for (auto& e : stored.m_arEntry) e.m_strDescription.clear();
  EXPECT_EQ(old, stored);
}

// Every shipped sample book: each account's figure for the whole year, as
// the engine adds up the slots, equals what its journal says, and the totals
// follow the classes.
TEST(BooksImport, SampleBooksGiveTheirJournalsFigures) {
  for (const char* list : {"regular.list", "cooperative.list"}) {
    TempFolder tmp;
    Installation inst(tmp, "inst");
    const auto books = std::filesystem::path(RX16_SOURCE_DIR) / "data/books";
    std::ifstream in(books / list);
    std::string folder;
    for (short nIndex = 0; std::getline(in, folder); ++nIndex) {
      SCOPED_TRACE(folder);
      BooksFolderReader reader;
      BooksData data;
      ASSERT_TRUE(reader.Read(books / folder, data));
      BooksCsvImporter importer;
      ASSERT_TRUE(importer.Import(inst.Get(), books / folder));
      const auto table = MonthlyTable(inst, nIndex);

      std::map<short, long long> expected;
      std::map<short, const BooksData::Account*> accounts;
      for (const auto& a : data.m_arAccount) accounts[a.m_nCode] = &a;
      for (const auto& o : data.m_arOpening) expected[o.m_nCode] += o.m_nBalance;
      for (const auto& e : data.m_arEntry) {
        expected[e.m_nDebit] += accounts[e.m_nDebit]->m_bCredit ? -e.m_nAmount : e.m_nAmount;
        expected[e.m_nCredit] += accounts[e.m_nCredit]->m_bCredit ? e.m_nAmount : -e.m_nAmount;
      }
      const CFiscalYear year(data.m_start.m_nYear, data.m_start.m_nMonth, data.m_start.m_nDay,
                             data.m_end.m_nYear, data.m_end.m_nMonth, data.m_end.m_nDay);
      auto figure = [&](short code) {
        return YearTotal(table, code) + (year.IsTwelveMonth() ? 0 : Amount(table, code, 0));
      };
      long long sales = 0, profit = 0;
      for (const auto& a : data.m_arAccount) {
        EXPECT_EQ(figure(a.m_nCode), expected[a.m_nCode]) << a.m_nCode;
        if (BooksFolderReader::IsBalanceSheetClass(a.m_strClass)) continue;
        const long long credit = a.m_bCredit ? expected[a.m_nCode] : -expected[a.m_nCode];
        if (a.m_strClass == "sales") sales += credit;
        if (a.m_strClass != "income_tax") profit += credit;
      }
      EXPECT_GT(sales, 0);
      EXPECT_EQ(figure(CKaikei::CODE_URIAGE), sales);
      EXPECT_EQ(figure(CKaikei::CODE_ZEIBIKIMAE), profit);
      EXPECT_EQ(figure(CKaikei::CODE_SHISAN),
                figure(CKaikei::CODE_HUSAI) + figure(CKaikei::CODE_SHIHON));
    }
  }
}
