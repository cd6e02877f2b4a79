// The real host program binary, run in temporary folders.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "BooksData.h"
#include "BooksFolderReader.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CManagementDb.h"
#include "MAXDATACOUNT.h"
#include "ProgramVersion.h"
#include "S_KANRI.h"
#include "TempFolder.h"

namespace {

struct Result {
  int nExit = -1;
  std::string strOutput;  // stdout and stderr together
};

Result RunHost(const std::string& strArgs, const std::string& strExe = RX16_HOST_EXE) {
  Result r;
  const std::string cmd = "'" + strExe + "' " + strArgs + " 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.strOutput.append(buf, n);
  const int status = ::pclose(p);
  r.nExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path DataDir() { return std::filesystem::path(RX16_SOURCE_DIR) / "data"; }

std::vector<LEDGER_DATASET> DataSets(const std::filesystem::path& dir) {
  CInstallation inst;
  CManagementDb db;
  std::vector<LEDGER_DATASET> rows;
  EXPECT_TRUE(inst.Load(dir.string()));
  EXPECT_TRUE(db.Open(inst.GetManagementDb(), false) && db.List(rows));
  return rows;
}

}  // namespace

TEST(HostProgram, InitBuildsARegularInstallation) {
  TempFolder tmp;
  const auto dir = tmp.Path() / "inst";
  tmp.Write("fake/QT10ToRX16_G", "component");
  const Result r = RunHost("init " + dir.string() + " --component " +
                           (tmp.Path() / "fake/QT10ToRX16_G").string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_NE(r.strOutput.find("with 5 data sets"), std::string::npos) << r.strOutput;

  // The programs are links to the ones installed, so an upgrade reaches them.
  const auto component = std::filesystem::canonical(tmp.Path() / "fake/QT10ToRX16_G");
  for (const auto& [name, target] :
       {std::pair{"QT10.EXE", std::filesystem::canonical(RX16_HOST_EXE)},
        std::pair{"KP10.EXE", std::filesystem::canonical(RX16_HOST_EXE)},
        std::pair{"QT10ToRX16_G", component}}) {
    ASSERT_TRUE(std::filesystem::is_symlink(dir / name)) << name << " must be a link, not a copy";
    EXPECT_EQ(std::filesystem::read_symlink(dir / name), target) << name;
  }
  EXPECT_EQ(ReadFile(dir / "SUPPORT.INF"),
            "[=製品名=]ハルモア１０\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]10.02.00\r\n[=製品ｺｰﾄﾞ=]QT10\r\n");
  EXPECT_EQ(ReadFile(dir / "MirabellDef.ini"), "[ProgramLevel]\r\nRX16_G=1\r\n");
  EXPECT_EQ(ReadFile(dir / "QT10ToRX16_G_common_init.dat"),
            ReadFile(DataDir() / "QT10ToRX16_G_common_init.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir / "KP10ToRX16_G_common_init.dat"));

  CInstallation inst;
  ASSERT_TRUE(inst.Load(dir.string()));
  EXPECT_LT(inst.GetEdition(), 10);
  EXPECT_EQ(inst.GetProductName(), "ハルモア１０");
  const auto rows = DataSets(dir);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_STREQ(rows[0].szName, "みどり農産株式会社");
  EXPECT_EQ(std::string(rows[0].szDataPath), (dir / "books/00000001/").string());
}

TEST(HostProgram, InitCooperativeEditionWithMembers) {
  TempFolder tmp;
  const auto dir = tmp.Path() / "kp";
  const Result r = RunHost("init " + dir.string() + " --edition cooperative");
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_NE(r.strOutput.find("with 3 members"), std::string::npos) << r.strOutput;
  EXPECT_EQ(ReadFile(dir / "KP10ToRX16_G_common_init.dat"),
            ReadFile(DataDir() / "KP10ToRX16_G_common_init.dat"));
  CInstallation inst;
  ASSERT_TRUE(inst.Load(dir.string()));
  EXPECT_GE(inst.GetEdition(), 10);
  EXPECT_EQ(DataSets(dir).size(), 3u);
}

TEST(HostProgram, InitIsDeterministic) {
  TempFolder tmp;
  const auto dir = tmp.Path() / "inst";
  ASSERT_EQ(RunHost("init " + dir.string()).nExit, 0);
  std::map<std::string, std::string> first;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) first[e.path().string()] = ReadFile(e.path());
  }
  std::filesystem::remove_all(dir);
  ASSERT_EQ(RunHost("init " + dir.string()).nExit, 0);
  std::size_t n = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    ++n;
    EXPECT_EQ(ReadFile(e.path()), first[e.path().string()]) << e.path();
  }
  EXPECT_EQ(n, first.size());
}

TEST(HostProgram, InitRefusesAndCleansUp) {
  TempFolder tmp;
  tmp.Write("full/keep.txt", "mine");
  Result r = RunHost("init " + (tmp.Path() / "full").string());
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("exists and is not an empty folder"), std::string::npos);
  EXPECT_EQ(ReadFile(tmp.Path() / "full/keep.txt"), "mine");

  r = RunHost("init " + (tmp.Path() / "x").string() + " --edition deluxe");
  EXPECT_EQ(r.nExit, 2);
  EXPECT_NE(r.strOutput.find("--edition takes regular or cooperative, not deluxe"),
            std::string::npos);
  EXPECT_NE(r.strOutput.find("usage:"), std::string::npos);
  r = RunHost("init '" + (tmp.Path() / "\xF0\x9F\x98\x80").string() + "'");
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("the path has a character with no Shift_JIS (CP932) form"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(tmp.Path() / "\xF0\x9F\x98\x80"));
  EXPECT_EQ(RunHost("init").nExit, 2);
  EXPECT_EQ(RunHost("").nExit, 2);
  EXPECT_EQ(RunHost("frobnicate").nExit, 2);

  // A broken sample book: init fails with its message and leaves no folder.
  std::filesystem::copy(DataDir(), tmp.Path() / "data", std::filesystem::copy_options::recursive);
  tmp.Write("data/books/aozora/journal.csv",
            "date,debit,credit,amount,settlement\n2024-01-05,101,999,5,0\n");
  const auto dir = tmp.Path() / "broken";
  r = RunHost("init " + dir.string() + " --data " + (tmp.Path() / "data").string());
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("sample books aozora:\n  journal.csv line 2, field credit: unknown "
                             "account code 999"),
            std::string::npos)
      << r.strOutput;
  EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(HostProgram, InitTakesTheDataBesideTheProgramWhereverItIsInstalled) {
  // An installed tree: the program in bin, its data in share/qt10torx16-g.
  TempFolder tmp;
  namespace fs = std::filesystem;
  const fs::path exe = tmp.Path() / "usr/bin/QT10.EXE";
  fs::create_directories(exe.parent_path());
  fs::copy_file(RX16_HOST_EXE, exe);
  const fs::path data = tmp.Path() / "usr/share/qt10torx16-g";
  fs::create_directories(data);
  fs::copy(DataDir(), data, fs::copy_options::recursive);
  tmp.Write("usr/share/qt10torx16-g/SUPPORT.INF", "installed\r\n");

  EXPECT_EQ(RunHost("--version", exe.string()).strOutput,
            std::string("QT10.EXE ") + kProgramVersion + "\n");
  Result r = RunHost("init " + (tmp.Path() / "inst").string(), exe.string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(ReadFile(tmp.Path() / "inst/SUPPORT.INF"), "installed\r\n");
  EXPECT_EQ(fs::read_symlink(tmp.Path() / "inst/QT10.EXE"), fs::canonical(exe));

  // Without its data folder the program says where it looked.
  fs::remove_all(data);
  r = RunHost("init " + (tmp.Path() / "other").string(), exe.string());
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find(data.string()), std::string::npos) << r.strOutput;
  EXPECT_FALSE(fs::exists(tmp.Path() / "other"));
}

TEST(HostProgram, AddExportAndListBooks) {
  TempFolder tmp;
  const auto a = tmp.Path() / "a", b = tmp.Path() / "b";
  ASSERT_EQ(RunHost("init " + a.string()).nExit, 0);
  ASSERT_EQ(RunHost("init " + b.string() + " --edition cooperative").nExit, 0);

  Result r = RunHost("export-books " + a.string() + " 00000003 " + (tmp.Path() / "out").string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  r = RunHost("add-books " + b.string() + " " + (tmp.Path() / "out").string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_NE(r.strOutput.find("as member 4"), std::string::npos) << r.strOutput;
  r = RunHost("list " + b.string());
  EXPECT_EQ(r.nExit, 0);
  EXPECT_NE(r.strOutput.find("4\t00000003\t2024-04-01..2024-12-31\t"), std::string::npos)
      << r.strOutput;

  // A rejected folder: exit 1, every problem listed, the installation as it was.
  const std::string before = ReadFile(b / "books/kanri.db");
  tmp.Write("bad/company.csv",
            "name,fiscal_start,fiscal_end,management_form,net_assets,data_id\n"
            "X,2024-04-01,2025-05-31,corporation,0,NEW1\n");
  tmp.Write("bad/accounts.csv", "code,number,name,side,class\n1,1000,a,debit,assets\n");
  tmp.Write("bad/journal.csv", "date,debit,credit,amount,settlement\n");
  r = RunHost("add-books " + b.string() + " " + (tmp.Path() / "bad").string());
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("company.csv line 2, field fiscal_end: the fiscal year is longer "
                             "than twelve months"),
            std::string::npos)
      << r.strOutput;
  EXPECT_EQ(ReadFile(b / "books/kanri.db"), before);
  EXPECT_FALSE(std::filesystem::exists(b / "books/NEW1"));

  r = RunHost("export-books " + b.string() + " 77 " + (tmp.Path() / "o2").string());
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("no data set with the data ID or number 77"), std::string::npos);
  r = RunHost("add-books " + (tmp.Path() / "nowhere").string() + " x");
  EXPECT_EQ(r.nExit, 1);
  EXPECT_NE(r.strOutput.find("not an installation"), std::string::npos);
  EXPECT_EQ(RunHost("export-books " + a.string() + " 1").nExit, 2);
}

TEST(HostProgram, ACopiedInstallationFindsItsBooks) {
  TempFolder tmp;
  const auto original = tmp.Path() / "original", copy = tmp.Path() / "elsewhere/copy";
  ASSERT_EQ(RunHost("init " + original.string()).nExit, 0);
  std::filesystem::create_directories(copy.parent_path());
  std::filesystem::copy(original, copy, std::filesystem::copy_options::recursive);
  std::filesystem::remove_all(original);

  const auto rows = DataSets(copy);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(std::string(rows[1].szDataPath), (copy / "books/00000002/").string());
  Result r = RunHost("list " + copy.string());
  EXPECT_EQ(r.nExit, 0);
  EXPECT_EQ(r.strOutput.find("\t?\t"), std::string::npos) << r.strOutput;
  EXPECT_NE(r.strOutput.find("2\t00000002\t2024-01-01..2024-12-31\t"), std::string::npos)
      << r.strOutput;

  // The books come out as the sample folder they were loaded from.
  r = RunHost("export-books " + copy.string() + " 00000002 " + (tmp.Path() / "out").string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  BooksFolderReader reader;
  BooksData shipped, exported;
  ASSERT_TRUE(reader.Read(DataDir() / "books/aozora", shipped));
  ASSERT_TRUE(reader.Read(tmp.Path() / "out", exported));
  EXPECT_EQ(exported, shipped);

  // The data access selects a data set there and reads its management record.
  ::setenv(CInstallation::ENV_PROGRAM_DIR, copy.c_str(), 1);
  CJetAccess jet;
  MAXDATACOUNT limits{};
  ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
  ASSERT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  ASSERT_EQ(0, jet.SelectDataSet(1));
  S_KANRI kanri{};
  ASSERT_EQ(0, jet.ReadKanri(&kanri));
  EXPECT_STREQ(kanri.szJigyoName, "有限会社あおぞらファーム");
  EXPECT_EQ(kanri.nEndMonth, 12);
  jet.Term();
  ::unsetenv(CInstallation::ENV_PROGRAM_DIR);

  // Data sets added to the copy are recorded relative as well.
  std::string company = ReadFile(tmp.Path() / "out/company.csv");
  ASSERT_NE(company.find(",00000002"), std::string::npos);
  company.replace(company.find(",00000002"), 9, ",ADDED-1");
  tmp.Write("out/company.csv", company);
  r = RunHost("add-books " + copy.string() + " " + (tmp.Path() / "out").string());
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  CInstallation inst;
  ASSERT_TRUE(inst.Load(copy.string()));
  CManagementDb db;
  ASSERT_TRUE(db.Open(inst.GetManagementDb(), false));
  long long nAbsolute = -1;
  ASSERT_TRUE(db.Db().QueryInt("SELECT count(*) FROM dataset WHERE folder LIKE '/%'", nAbsolute));
  EXPECT_EQ(nAbsolute, 0);
  EXPECT_EQ(DataSets(copy).back().szDataPath, (copy / "books/ADDED-1/").string());
}
