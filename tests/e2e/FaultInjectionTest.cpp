// Faults injected into the real programs after the wizard: each run must say
// what failed, answer the host with an error and lose nothing that existed.

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

  // argv run under strace -f with the extra options (faults to inject).
  RunResult Traced(const std::vector<std::string>& arOption, const std::vector<std::string>& arArgv,
                   const std::string& strOutput = "/dev/null") {
    std::vector<std::string> arAll = {"/usr/bin/strace", "-f", "-qq", "-o", strOutput};
    arAll.insert(arAll.end(), arOption.begin(), arOption.end());
    arAll.insert(arAll.end(), arArgv.begin(), arArgv.end());
    return RunProgram(arAll, m_strRoot);
  }
  // argv traced with file names for the calls named ("fsync,rename"); the
  // trace's lines.
  std::vector<std::string> TraceOf(const std::string& strCalls,
                                   const std::vector<std::string>& arArgv) {
    Traced({"-y", "-e", "trace=" + strCalls}, arArgv, Dir("trace.txt"));
    return Lines(Dir("trace.txt"));
  }
  static std::vector<std::string> Lines(const std::string& strPath) {
    std::vector<std::string> arLine;
    std::istringstream in(ReadFile(strPath));
    for (std::string strLine; std::getline(in, strLine);) arLine.push_back(strLine);
    return arLine;
  }
  // Which call of its kind, counted in its process as strace's "when"
  // counts, the line at nAt is; 0 when there is no such line.
  static int Occurrence(const std::vector<std::string>& arLine, int nAt) {
    if (nAt < 0) return 0;
    const std::string& strAt = arLine[static_cast<std::size_t>(nAt)];
    const std::string strPid = strAt.substr(0, strAt.find(' ') + 1);
    const std::string strCall = strAt.substr(strPid.size(), strAt.find('(') - strPid.size() + 1);
    int n = 0;
    for (int i = 0; i <= nAt; ++i)
      n += arLine[static_cast<std::size_t>(i)].starts_with(strPid + strCall);
    return n;
  }
  // The line of the first (or last) call that holds every piece, from nFrom on; -1 when none.
  static int Find(const std::vector<std::string>& arLine, const std::vector<std::string>& arPiece,
                  int nFrom = 0, bool bLast = false) {
    int nFound = -1;
    for (int i = nFrom; i < static_cast<int>(arLine.size()); ++i) {
      bool bAll = true;
      for (const std::string& p : arPiece)
        bAll = bAll && arLine[static_cast<std::size_t>(i)].find(p) != std::string::npos;
      if (bAll && !bLast) return i;
      if (bAll) nFound = i;
    }
    return nFound;
  }
  // Hidden entries of a folder: temporary files left behind.
  static std::vector<std::string> Hidden(const std::string& strFolder) {
    std::vector<std::string> arName;
    for (const auto& entry : fs::directory_iterator(strFolder)) {
      const std::string strName = entry.path().filename().string();
      if (strName.starts_with(".")) arName.push_back(strName);
    }
    return arName;
  }
  std::vector<std::string> Component(const std::vector<std::string>& arArg) const {
    std::vector<std::string> arArgv = {ProgramDir() + "/QT10ToRX16_G"};
    arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
    return arArgv;
  }
  std::vector<std::string> HostCommand(const std::vector<std::string>& arArg) const {
    std::vector<std::string> arArgv = {ProgramDir() + "/QT10.EXE"};
    arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
    return arArgv;
  }
  // The sample books under data ID 00000099, ready for add-books.
  std::string NewBooks() {
    fs::copy(fs::path(RX16_SOURCE_DIR) / "data/books/yamada", Dir("new"));
    std::string strCompany = ReadFile(Dir("new/company.csv"));
    strCompany.replace(strCompany.find("00000004"), 8, "00000099");
    std::ofstream(Dir("new/company.csv"), std::ios::binary | std::ios::trunc) << strCompany;
    return Dir("new");
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
  const std::vector<std::string> arLine =
      TraceOf("fsync,fdatasync,rename,renameat,renameat2",
              {RX16_HOST_EXE, "add-books", ProgramDir(), NewBooks()});
  const std::string strBooks = ProgramDir() + "/books";
  const int nRename =
      Find(arLine, {"rename", strBooks + "/.00000099.tmp-", "\"" + strBooks + "/00000099\""});
  ASSERT_GE(nRename, 0) << ReadFile(Dir("trace.txt"));
  const int nBooksFile = Find(arLine, {"sync(", "/books.db>"});
  const int nWorkFolder = Find(arLine, {"sync(", strBooks + "/.00000099.tmp-"});
  const int nParent = Find(arLine, {"sync(", "<" + strBooks + ">"}, nRename);
  const int nListed = Find(arLine, {"sync(", "kanri.db"}, nRename);
  EXPECT_GE(nBooksFile, 0);
  EXPECT_LT(nBooksFile, nRename);
  EXPECT_GE(nWorkFolder, 0);
  EXPECT_LT(nWorkFolder, nRename);
  EXPECT_GT(nParent, nRename);
  EXPECT_GT(nListed, nParent);
}

TEST_F(FaultInjection, PdfIsReplacedWholeOrNotAtAll) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  Install();
  fs::create_directories(Dir("out"));
  // A relative path is the caller's.
  const std::vector<std::string> arReport =
      Component({"--report", "00000001", "--pdf", "out/report.pdf"});
  const RunResult first = RunProgram(arReport, m_strRoot);
  ASSERT_EQ(first.nExit, 0) << first.strOutput;
  fs::permissions(Dir("out/report.pdf"), fs::perms(0640));
  const std::string strEarlier = ReadFile(Dir("out/report.pdf"));
  const auto ExpectKept = [&](const RunResult& r, const std::string& strReason) {
    EXPECT_EQ(r.nExit, 2) << r.strOutput;
    EXPECT_NE(r.strOutput.find(Dir("out/report.pdf") + ": " + strReason), std::string::npos)
        << r.strOutput;
    EXPECT_EQ(ReadFile(Dir("out/report.pdf")), strEarlier);
    EXPECT_EQ(fs::status(Dir("out/report.pdf")).permissions(), fs::perms(0640));
    EXPECT_TRUE(Hidden(Dir("out")).empty());
  };
  // The last chunk of the file fails. Qt's threads make a varying number of
  // other writes, so the count is taken again until a trial hits the file.
  bool bHit = false;
  for (int nTry = 0; nTry < 5 && !bHit; ++nTry) {
    const std::vector<std::string> arLine = TraceOf("write", arReport);
    const int nLast = Occurrence(arLine, Find(arLine, {"write(", Dir("out/")}, 0, true));
    ASSERT_GT(nLast, 0) << ReadFile(Dir("trace.txt"));
    std::ofstream(Dir("out/report.pdf"), std::ios::binary | std::ios::trunc) << strEarlier;
    const RunResult r = Traced({"-y", "-e", "trace=write", "-e",
                                "inject=write:error=ENOSPC:when=" + std::to_string(nLast)},
                               arReport, Dir("trial.txt"));
    bHit = Find(Lines(Dir("trial.txt")), {"write(", Dir("out/"), "(INJECTED)"}) >= 0;
    if (bHit) ExpectKept(r, U8(u8"ディスクの空き領域が不足しています。"));
  }
  EXPECT_TRUE(bHit);
  ExpectKept(
      Traced({"-e", "trace=fsync,fdatasync", "-e", "inject=fsync,fdatasync:error=EIO"}, arReport),
      U8(u8"入出力エラーが発生しました。"));

  // A target that is not a regular file that may be written stays as it is.
  ::mkfifo(Dir("out/fifo.pdf").c_str(), 0644);
  fs::create_directory(Dir("out/folder.pdf"));
  std::ofstream(Dir("out/read-only.pdf")) << "kept";
  fs::permissions(Dir("out/read-only.pdf"), fs::perms(0444));
  struct Case {
    std::string strName, strReason;
  };
  std::vector<Case> arCase = {
      {"fifo.pdf", U8(u8"同じ名前でファイルではないもの（デバイスなど）があります。")},
      {"folder.pdf", U8(u8"同じ名前のフォルダーがあります。")},
      {"read-only.pdf", U8(u8"アクセスが拒否されました。")},
      {"none/x.pdf", U8(u8"指定されたパスが見つかりません。")}};
  // As root: a device node of its own, the null device's.
  if (::mknod(Dir("out/device.pdf").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
    arCase.push_back({"device.pdf", arCase[0].strReason});
  for (const Case& c : arCase) {
    const std::string strTarget = Dir("out/" + c.strName);
    const auto type = fs::symlink_status(strTarget).type();
    const RunResult r =
        RunProgram(Component({"--report", "00000001", "--pdf", strTarget}), m_strRoot);
    EXPECT_EQ(r.nExit, 2) << c.strName << r.strOutput;
    EXPECT_NE(r.strOutput.find(strTarget + ": " + c.strReason), std::string::npos) << r.strOutput;
    EXPECT_EQ(fs::symlink_status(strTarget).type(), type) << c.strName;
  }
  EXPECT_EQ(ReadFile(Dir("out/read-only.pdf")), "kept");
  EXPECT_TRUE(Hidden(Dir("out")).empty());
}

TEST_F(FaultInjection, AddBooksKilledBeforeTheListingIsRetried) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  Install();
  const std::vector<std::string> arAdd = HostCommand({"add-books", ProgramDir(), NewBooks()});
  const std::vector<std::string> arLine = TraceOf("fdatasync,renameat2", arAdd);
  // The first sync of the management database's commit, after the folder
  // took its name.
  const int nRename = Find(arLine, {"renameat2(", "/books/00000099\""});
  const int nCommit = Occurrence(arLine, Find(arLine, {"fdatasync("}, nRename));
  ASSERT_GT(nCommit, 0) << ReadFile(Dir("trace.txt"));
  fs::remove_all(ProgramDir());
  Install();
  const RunResult killed = Traced({"-e", "trace=fdatasync", "-e",
                                   "inject=fdatasync:signal=KILL:when=" + std::to_string(nCommit)},
                                  arAdd);
  EXPECT_EQ(killed.nExit, 128 + SIGKILL) << killed.strOutput;
  ASSERT_TRUE(fs::is_directory(ProgramDir() + "/books/00000099"));
  EXPECT_EQ(Host({"list", ProgramDir()}).strOutput.find("00000099"), std::string::npos);

  // The retry keeps the unlisted folder aside and adds the books.
  const RunResult again = RunProgram(arAdd, m_strRoot);
  ASSERT_EQ(again.nExit, 0) << again.strOutput;
  EXPECT_NE(again.strOutput.find("moved aside to " + ProgramDir() + "/books/00000099.orphan-"),
            std::string::npos)
      << again.strOutput;
  EXPECT_NE(Host({"list", ProgramDir()}).strOutput.find("00000099"), std::string::npos);
  int nOrphans = 0;
  for (const auto& entry : fs::directory_iterator(ProgramDir() + "/books"))
    nOrphans += entry.path().filename().string().starts_with("00000099.orphan-");
  EXPECT_EQ(nOrphans, 1);
  EXPECT_TRUE(Hidden(ProgramDir() + "/books").empty());
}

TEST_F(FaultInjection, SettingsNotSavedOnCancelIsAnError) {
  GoodRun();
  // A settings file made read-only is not replaced.
  fs::permissions(Env(), fs::perms(0444));
  const std::string strSettings = ReadFile(Env());
  Script({"choose 0", "expect page 4938", "set 1007 9", "click 2", "answer yes"});
  const RunResult r = Launch({"--out", Report()});
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  EXPECT_NE(r.strOutput.find("result: error (function 2)"), std::string::npos) << r.strOutput;
  const std::vector<Event> arMsg = EventsNamed("msgbox");
  ASSERT_EQ(arMsg.size(), 2u);
  EXPECT_NE(arMsg[1][3].find(Env() + U8(u8"\n原因：アクセスが拒否されました。")), std::string::npos)
      << arMsg[1][3];
  EXPECT_EQ(ReadFile(Env()), strSettings);
}

TEST_F(FaultInjection, FailedListingLeavesTheBooksReadable) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  Install();
  // The management database's journal cannot be removed at the commit.
  const std::vector<std::string> arAdd = HostCommand({"add-books", ProgramDir(), NewBooks()});
  const RunResult r = Traced({"-e", "trace=unlink", "-e", "inject=unlink:error=EIO"}, arAdd);
  EXPECT_EQ(r.nExit, 1) << r.strOutput;
  const RunResult list = Host({"list", ProgramDir()});
  EXPECT_EQ(list.nExit, 0) << list.strOutput;
  EXPECT_EQ(list.strOutput.find("00000099"), std::string::npos) << list.strOutput;
  const RunResult again = RunProgram(arAdd, m_strRoot);
  EXPECT_EQ(again.nExit, 0) << again.strOutput;
}

TEST_F(FaultInjection, UnreadableSupportFileFailsTheRun) {
  const std::string strEarlier = GoodRun();
  const std::string strSupport = ProgramDir() + "/SUPPORT.INF";
  Script({"choose 0", "expect page 4938", "key F8",
          "exec rm " + strSupport + " && mkdir " + strSupport});
  const RunResult r = Launch({"--out", Report()});
  ExpectErrorWith(r, U8(u8"サポート情報ファイルを読み込めません。\nファイル：SUPPORT.INF\n原因："
                        u8"同じ名前のフォルダーがあります。"));
  ExpectReportKept(strEarlier);
}

TEST_F(FaultInjection, FilesAreOnTheDiskBeforeTheirNames) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  Install();
  const std::string strCalls = "fsync,fdatasync,syncfs,rename,renameat,renameat2,linkat";
  // Each file of the batch is synced under its temporary name before it
  // takes its own; the folder is synced after.
  const std::vector<std::string> arBatch = TraceOf(strCalls, Component({"--batch", Dir("out")}));
  int nRenames = 0;
  for (int i = 0; i < static_cast<int>(arBatch.size()); ++i) {
    const std::string& strLine = arBatch[static_cast<std::size_t>(i)];
    if (strLine.find("rename") == std::string::npos ||
        strLine.find(".part\"") == std::string::npos || strLine.find(".xml\"") == std::string::npos)
      continue;
    ++nRenames;
    const std::string strPart =
        strLine.substr(strLine.find('"') + 1, strLine.find(".part\"") + 5 - strLine.find('"') - 1);
    const int nSync = Find(arBatch, {"sync(", "<" + strPart + ">"});
    EXPECT_TRUE(nSync >= 0 && nSync < i) << strLine;
  }
  EXPECT_GE(nRenames, 3) << ReadFile(Dir("trace.txt"));
  EXPECT_GE(Find(arBatch, {"fsync(", "<" + Dir("out") + ">"},
                 Find(arBatch, {"rename", ".xml\""}, 0, true)),
            0);

  // The PDF's folder is synced after the file took its name.
  const std::vector<std::string> arPdf =
      TraceOf(strCalls, Component({"--report", "00000001", "--pdf", Dir("out/report.pdf")}));
  const int nPlaced = Find(arPdf, {Dir("out/report.pdf")});
  ASSERT_GE(nPlaced, 0) << ReadFile(Dir("trace.txt"));
  EXPECT_GE(Find(arPdf, {"fsync(", "<" + Dir("out") + ">"}, nPlaced), 0)
      << ReadFile(Dir("trace.txt"));
}

TEST_F(FaultInjection, FailedFolderSyncIsAFailure) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  const std::string strEarlier = GoodRun();
  // The run by hand: the report's folder cannot be synced after the rename.
  Script({"choose 0", "expect page 4938", "key F8"});
  const std::vector<std::string> arLaunch =
      HostCommand({"launch", ProgramDir(), "--out", Report()});
  std::vector<std::string> arLine = TraceOf("fsync", arLaunch);
  int nFolder = Occurrence(arLine, Find(arLine, {"fsync(", "<" + Dir("out") + ">"}));
  ASSERT_GT(nFolder, 0) << ReadFile(Dir("trace.txt"));
  ClearTranscript();
  const RunResult r =
      Traced({"-e", "trace=fsync", "-e", "inject=fsync:error=EIO:when=" + std::to_string(nFolder)},
             arLaunch);
  ExpectErrorWith(r, kWriteFailed + U8(u8"\nファイル：") + Report() +
                         U8(u8"\n原因：入出力エラーが発生しました。"));
  ExpectReportKept(strEarlier);  // new and earlier are the same figures

  // The batch: its rows are not written.
  const std::vector<std::string> arBatch = Component({"--batch", Dir("batch")});
  arLine = TraceOf("fsync", arBatch);
  nFolder = Occurrence(arLine, Find(arLine, {"fsync(", "<" + Dir("batch") + ">"}));
  ASSERT_GT(nFolder, 0) << ReadFile(Dir("trace.txt"));
  const RunResult batch =
      Traced({"-e", "trace=fsync", "-e", "inject=fsync:error=EIO:when=" + std::to_string(nFolder)},
             arBatch);
  EXPECT_EQ(batch.nExit, 1) << batch.strOutput;
  EXPECT_NE(batch.strOutput.find(U8(u8"ファイルをディスクに書き込めません")), std::string::npos)
      << batch.strOutput;
}

TEST_F(FaultInjection, LeftoversOfAKilledRunAreRemovedByTheNext) {
  if (!CanTrace()) GTEST_SKIP() << "strace cannot trace here";
  GoodRun();
  const std::string strSet = ProgramDir() + "/books/00000001";
  const std::vector<std::string> arKill = {"-e", "trace=rename,renameat,renameat2", "-e",
                                           "inject=rename,renameat,renameat2:signal=KILL"};
  // Each path dies at its first rename and leaves its temporary file, which
  // the next run of the same path removes.
  struct Case {
    std::string strName, strFolder;
    std::vector<std::string> arArgv;
  };
  const Case arCase[] = {
      {"settings", strSet, HostCommand({"launch", ProgramDir(), "--out", Report()})},
      {"report", Dir("out"), Component({"--report", "00000001", "--pdf", Dir("out/report.pdf")})},
      {"batch", Dir("batch"), Component({"--batch", Dir("batch")})},
      {"books", ProgramDir() + "/books", HostCommand({"add-books", ProgramDir(), NewBooks()})}};
  for (const Case& c : arCase) {
    Script({"choose 0", "expect page 4938", "set 1007 9", "key F8"});
    Traced(arKill, c.arArgv);
    EXPECT_FALSE(Hidden(c.strFolder).empty()) << c.strName;
    const RunResult again = RunProgram(c.arArgv, m_strRoot);
    // (1 for the batch: the sample books hold one it passes over.)
    EXPECT_LE(again.nExit, 1) << c.strName << again.strOutput;
    EXPECT_EQ(Hidden(c.strFolder), std::vector<std::string>()) << c.strName;
  }
}

TEST_F(FaultInjection, UnwritableTranscriptEndsTheRun) {
  Install();
  SetEnv("RX16_UI_TRANSCRIPT", "/dev/full");
  Script({"choose 0", "expect page 4938", "key F8"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 3) << r.strOutput;
  EXPECT_NE(r.strOutput.find("headless transcript error"), std::string::npos) << r.strOutput;
  EXPECT_EQ(DocumentsXml(), "");
}

}  // namespace
}  // namespace e2e
