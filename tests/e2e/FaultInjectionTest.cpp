// Faults injected into the real programs after the wizard: each run must say
// what failed, answer the host with an error and lose nothing that existed.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "E2eFixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kWriteFailed = U8(u8"中間ファイルの出力に失敗しました。");

class FaultInjection : public E2e {
 protected:
  // Whether strace can trace here; the programs it starts then run without
  // the leak checker, which cannot work under ptrace.
  bool CanTrace() {
    if (RunProgram({"/usr/bin/strace", "-o", "/dev/null", "/bin/true"}, m_strRoot).nExit != 0)
      return false;
    SetEnv("ASAN_OPTIONS", "detect_leaks=0");
    return true;
  }

  // A launched run with the defaults over Dir("out/report.xml"), which it
  // leaves with mode 0640; the report's bytes.
  std::string GoodRun() {
    Install();
    fs::create_directories(Dir("out"));
    Script({"choose 0", "expect page 4938", "key F8"});
    const RunResult r = Launch({"--out", Report()});
    EXPECT_EQ(r.nExit, 0) << r.strOutput;
    fs::permissions(Report(), fs::perms(0640));
    ClearTranscript();
    return ReadFile(Report());
  }
  std::string Report() const { return Dir("out/report.xml"); }
  std::string Env() const { return ProgramDir() + "/books/00000001/QT10ToRX16_G.env"; }

  // The earlier report is there byte for byte with its mode, alone.
  void ExpectReportKept(const std::string& strEarlier) {
    EXPECT_EQ(ReadFile(Report()), strEarlier);
    EXPECT_EQ(fs::status(Report()).permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir("out")), {}), 1);
  }
  // The only message is text, shown to the host, and the host got an error.
  void ExpectErrorWith(const RunResult& r, const std::string& strText) {
    EXPECT_EQ(r.nExit, 2) << r.strOutput;
    EXPECT_NE(r.strOutput.find("result: error (function 2)"), std::string::npos) << r.strOutput;
    const std::vector<Event> arMsg = EventsNamed("msgbox");
    ASSERT_EQ(arMsg.size(), 1u);
    EXPECT_EQ(arMsg[0], (Event{"msgbox", "warning", kCaption, strText, "ok", "ok"}));
  }
};

TEST_F(FaultInjection, FullDiskKeepsTheEarlierReport) {
  const std::string strEarlier = GoodRun();
  // Room for the settings and the transcript, not for a report.
  m_nFileSizeLimit = static_cast<long long>(strEarlier.size() / 2);
  ASSERT_LT(fs::file_size(Env()), static_cast<std::uintmax_t>(m_nFileSizeLimit));
  Script({"choose 0", "expect page 4938", "key F8"});
  const RunResult r = Launch({"--out", Report()});
  ExpectErrorWith(
      r, kWriteFailed + U8(u8"\nファイル：") + Report() + U8(u8"\n原因：ファイルが大きすぎます。"));
  ExpectReportKept(strEarlier);
}

TEST_F(FaultInjection, BooksUnreadableAfterTheWizardKeepTheEarlierReport) {
  const std::string strEarlier = GoodRun();
  // The journal goes once the wizard has closed: the run's set-up still
  // reads the books, the balances cannot be computed.
  Script({"choose 0", "expect page 4938", "key F8",
          "exec sqlite3 " + ProgramDir() + "/books/00000001/books.db 'DROP TABLE siwake'"});
  const RunResult r = Launch({"--out", Report()});
  ExpectErrorWith(r, U8(u8"科目残高の集計失敗"));
  EXPECT_GE(static_cast<int>(EventsNamed("progress").size()), 4);  // the run had started
  ExpectReportKept(strEarlier);
}

TEST_F(FaultInjection, OutputFolderRemovedAfterTheWizard) {
  const std::string strEarlier = GoodRun();
  const std::string strSettings = ReadFile(Env());
  Script({"choose 0", "expect page 4938", "key F8", "exec rm -r " + Dir("out")});
  const RunResult r = Launch({"--out", Report()});
  ExpectErrorWith(r, kWriteFailed + U8(u8"\nファイル：") + Report() +
                         U8(u8"\n原因：指定されたパスが見つかりません。"));
  // The settings saved on finishing are the ones the run used.
  EXPECT_EQ(ReadFile(Env()), strSettings);
  EXPECT_FALSE(fs::exists(Dir("out")));
}

TEST_F(FaultInjection, KilledWhileSavingTheSettingsLosesNothing) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  const std::string strEarlier = GoodRun();
  const std::string strSettings = ReadFile(Env());
  // The component dies at the rename that would put the new settings in place.
  Script({"choose 0", "expect page 4938", "set 1007 9", "key F8"});
  const RunResult r = RunProgram(
      {"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=rename,renameat,renameat2",
       "-e", "inject=rename,renameat,renameat2:signal=KILL", ProgramDir() + "/QT10.EXE", "launch",
       ProgramDir(), "--out", Report()},
      m_strRoot);
  EXPECT_NE(r.strOutput.find("result: error: the component posted no result"), std::string::npos)
      << r.strOutput;
  EXPECT_EQ(ReadFile(Env()), strSettings);
  ExpectReportKept(strEarlier);

  // The next run reads the settings as they were and completes.
  ClearTranscript();
  Script({"choose 0", "expect page 4938", "dump", "key F8"});
  const RunResult again = Launch({"--out", Report()});
  EXPECT_EQ(again.nExit, 0) << again.strOutput;
  EXPECT_TRUE(EventsNamed("msgbox").empty());
  bool bToMonthShown = false;
  for (const Event& e : EventsNamed("control")) {
    if (e[1] == "1007") bToMonthShown = e.back() == "3";
  }
  EXPECT_TRUE(bToMonthShown);
}

TEST_F(FaultInjection, AddedBooksAreOnTheDiskBeforeTheyAreListed) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  Install();
  fs::copy(fs::path(RX16_SOURCE_DIR) / "data/books/yamada", Dir("new"));
  std::string strCompany = ReadFile(Dir("new/company.csv"));
  strCompany.replace(strCompany.find("00000004"), 8, "00000099");
  std::ofstream(Dir("new/company.csv"), std::ios::binary | std::ios::trunc) << strCompany;
  const RunResult r = RunProgram({"/usr/bin/strace", "-f", "-qq", "-y", "-o", Dir("trace.txt"),
                                  "-e", "trace=fsync,fdatasync,rename,renameat,renameat2",
                                  RX16_HOST_EXE, "add-books", ProgramDir(), Dir("new")},
                                 m_strRoot);
  ASSERT_EQ(r.nExit, 0) << r.strOutput;

  // Line numbers of the first traced call that holds every piece, after from.
  std::vector<std::string> arLine;
  std::istringstream trace(ReadFile(Dir("trace.txt")));
  for (std::string strLine; std::getline(trace, strLine);) arLine.push_back(strLine);
  const auto At = [&](std::vector<std::string> arPiece, int nFrom = 0) {
    for (int i = nFrom; i < static_cast<int>(arLine.size()); ++i) {
      bool bAll = true;
      for (const std::string& p : arPiece) bAll = bAll && arLine[i].find(p) != std::string::npos;
      if (bAll) return i;
    }
    return -1;
  };
  const std::string strBooks = ProgramDir() + "/books";
  const int nRename = At({"rename", strBooks + "/.00000099.tmp-", "\"" + strBooks + "/00000099\""});
  ASSERT_GE(nRename, 0) << ReadFile(Dir("trace.txt"));
  const int nBooksFile = At({"sync(", "/books.db>"});
  const int nWorkFolder = At({"sync(", strBooks + "/.00000099.tmp-"});
  const int nParent = At({"sync(", "<" + strBooks + ">"}, nRename);
  const int nListed = At({"sync(", "kanri.db"}, nRename);
  EXPECT_GE(nBooksFile, 0);
  EXPECT_LT(nBooksFile, nRename);
  EXPECT_GE(nWorkFolder, 0);
  EXPECT_LT(nWorkFolder, nRename);
  EXPECT_GT(nParent, nRename);
  EXPECT_GT(nListed, nParent);
}

}  // namespace
}  // namespace e2e
