#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>

#include "E2eFixture.h"
#include "NamedGuard.h"
#include "ScopedEnv.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kMidoriName = U8(u8"内訳概況書(概況書用)_みどり農産株式会社_2024");

class Batch : public E2e {
 protected:
  RunResult RunBatch(std::vector<std::string> arArg) {
    arArg.insert(arArg.begin(), "--batch");
    return RunComponent(arArg);
  }

  // The file a wizard run writes into the documents folder with the chosen
  // data set's settings changed by arStep; taken out of the folder.
  std::string WizardFile(const std::string& strChoose, const std::vector<std::string>& arStep) {
    std::vector<std::string> arScript = {"choose " + strChoose, "expect page 4938"};
    arScript.insert(arScript.end(), arStep.begin(), arStep.end());
    arScript.push_back("key F8");
    Script(arScript);
    const RunResult r = RunComponent();
    EXPECT_EQ(r.nExit, 0) << r.strOutput;
    const std::string strXml = DocumentsXml();
    EXPECT_FALSE(strXml.empty()) << strChoose;
    const std::string strBytes = ReadFile(strXml);
    fs::remove(strXml);
    return strBytes;
  }

  // Every file of a folder, by name.
  static std::map<std::string, std::string> Files(const std::string& strDir) {
    std::map<std::string, std::string> mapFile;
    for (const auto& entry : fs::directory_iterator(strDir))
      mapFile[entry.path().filename().string()] = ReadFile(entry.path().string());
    return mapFile;
  }

  std::map<std::string, std::string> Settings() const {
    std::map<std::string, std::string> mapFile;
    for (const auto& entry : fs::recursive_directory_iterator(ProgramDir() + "/books"))
      if (entry.path().extension() == ".env")
        mapFile[entry.path().string()] = ReadFile(entry.path());
    return mapFile;
  }

  // The sample corporation again under another data ID: its proposed file
  // name is the same as the original's.
  void AddMidoriCopy(const std::string& strDataId) {
    const std::string strFolder = Dir("midori-" + strDataId);
    fs::copy(fs::path(RX16_SOURCE_DIR) / "data/books/midori", strFolder);
    std::string strText = ReadFile(strFolder + "/company.csv");
    strText.replace(strText.find("00000001"), 8, strDataId);
    std::ofstream(strFolder + "/company.csv", std::ios::binary | std::ios::trunc) << strText;
    const RunResult r = Host({"add-books", ProgramDir(), strFolder});
    ASSERT_EQ(r.nExit, 0) << r.strOutput;
  }
};

// summary.csv read as a spreadsheet reads it (Python's csv module).
struct Summary {
  bool bBom = false;
  std::vector<std::vector<std::string>> arRow;  // the header first
};

Summary ReadSummary(const std::string& strPath, const std::string& strFallback = "cp932") {
  const RunResult r = RunProgram(
      {"/usr/bin/env", "python3", RX16_TEST_DATA_DIR "/batch/read_summary.py", strPath, strFallback}, "/");
  Summary summary;
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  if (r.nExit != 0) return summary;
  const auto j = nlohmann::json::parse(r.strOutput);
  summary.bBom = j.at("bom").get<bool>();
  summary.arRow = j.at("rows").get<std::vector<std::vector<std::string>>>();
  return summary;
}

// The cell a spreadsheet shows for ="TEXT": TEXT.
std::string Shown(const std::string& strCell) {
  if (strCell.size() < 3 || strCell.rfind("=\"", 0) != 0 || strCell.back() != '"') return strCell;
  std::string strText;
  for (std::size_t i = 2; i + 1 < strCell.size(); ++i) {
    strText += strCell[i];
    if (strCell[i] == '"') ++i;
  }
  return strText;
}

// Rows of summary.csv, the header left out, by the data ID shown.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& strPath) {
  std::map<std::string, std::vector<std::string>> mapRow;
  const Summary summary = ReadSummary(strPath);
  for (std::size_t i = 1; i < summary.arRow.size(); ++i) {
    EXPECT_EQ(mapRow.count(Shown(summary.arRow[i].at(0))), 0u) << "one line per data set";
    mapRow[Shown(summary.arRow[i].at(0))] = summary.arRow[i];
  }
  return mapRow;
}

// Another connection holds the books of a data set with BEGIN EXCLUSIVE.
class BooksLock {
 public:
  explicit BooksLock(const std::string& strBooks) {
    EXPECT_EQ(sqlite3_open(strBooks.c_str(), &m_pDb), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(m_pDb, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  ~BooksLock() { sqlite3_close_v2(m_pDb); }
  BooksLock(const BooksLock&) = delete;
  BooksLock& operator=(const BooksLock&) = delete;

 private:
  sqlite3* m_pDb = nullptr;
};

TEST_F(Batch, WritesEveryDataSetAsTheWizardWouldWhateverTheNumberOfJobs) {
  Install();
  AddMidoriCopy("00000011");
  // Saved settings that differ from the defaults: the span ends in December.
  const std::string strMidori = WizardFile("0", {"set 1007 12"});
  std::ofstream(ProgramDir() + "/books/00000005/QT10ToRX16_G.env", std::ios::trunc)
      << "\"00000005\",4,3,1,0,\"\"\n1\n";
  const auto mapSettings = Settings();
  ClearTranscript();

  const RunResult one = RunBatch({Dir("out1"), "--jobs", "1"});
  const RunResult two = RunBatch({Dir("out2"), "--jobs", "2"});
  EXPECT_EQ(one.nExit, 1) << one.strOutput;
  EXPECT_EQ(two.nExit, 1) << two.strOutput;
  auto mapOne = Files(Dir("out1"));
  EXPECT_EQ(mapOne, Files(Dir("out2")));
  // Nothing in the settings was made or changed, and no dialog was shown.
  EXPECT_EQ(Settings(), mapSettings);
  EXPECT_FALSE(fs::exists(ProgramDir() + "/books/00000003/QT10ToRX16_G.env"));
  EXPECT_EQ(ReadFile(Dir("transcript.txt")), "");

  const std::string strAozora = U8(u8"内訳概況書(概況書用)_有限会社あおぞらファーム_2024.xml");
  const std::string strHatake = U8(u8"内訳概況書(概況書用)_株式会社はたけ_2024.xml");
  std::vector<std::string> arName;
  for (const auto& [strName, strBytes] : mapOne) arName.push_back(strName);
  std::vector<std::string> arExpected = {"summary.csv", strAozora, strHatake,
                                         kMidoriName + "_00000001.xml",
                                         kMidoriName + "_00000011.xml"};
  std::sort(arExpected.begin(), arExpected.end());
  EXPECT_EQ(arName, arExpected);

  // Byte for byte what the wizard writes with the same settings; the data
  // sets without settings are run by hand only now, after the batch.
  EXPECT_EQ(mapOne[kMidoriName + "_00000001.xml"], strMidori);
  EXPECT_EQ(mapOne[kMidoriName + "_00000011.xml"], WizardFile("5", {}));
  EXPECT_EQ(mapOne[strHatake], WizardFile(U8(u8"はたけ"), {}));
  EXPECT_EQ(mapOne[strAozora], WizardFile(U8(u8"あおぞら"), {}));

  const auto mapRow = SummaryRows(Dir("out1/summary.csv"));
  ASSERT_EQ(mapRow.size(), 6u) << mapOne["summary.csv"];
  const auto& midori = mapRow.at("00000001");
  EXPECT_EQ(midori.at(1), U8(u8"みどり農産株式会社"));
  // What a spreadsheet would read as a number or a date is kept as text.
  EXPECT_EQ(midori.at(0), "=\"00000001\"");
  EXPECT_EQ(midori.at(2), "=\"2024/04/01-2025/03/31\"");
  EXPECT_EQ(midori.at(3), "=\"4-12\"");
  const XmlReport xml = ReadXml(Dir("out1/" + kMidoriName + "_00000001.xml"));
  EXPECT_EQ(std::stol(midori.at(4)), xml.Figure("URIAGE"));
  EXPECT_EQ(std::stol(midori.at(7)), xml.Figure("SHISAN"));
  EXPECT_EQ(midori.at(8), kMidoriName + "_00000001.xml");
  EXPECT_EQ(midori.back(), "written");
  EXPECT_EQ(mapRow.at("00000004").back().rfind("skipped: ", 0), 0u);
  EXPECT_EQ(mapRow.at("00000005").back().rfind("failed: ", 0), 0u);
  EXPECT_NE(one.strOutput.find(U8(u8"データID")), std::string::npos) << one.strOutput;
}

TEST_F(Batch, RefusesToStartWhenItCannotRun) {
  Install();
  fs::create_directories(Dir("file"));
  std::ofstream(Dir("file/plain")) << "x";
  struct Case {
    const char* pszGuard;
    std::string strOutDir;
    std::string strMessage;
  } arCase[] = {
      {"RoderoZerozUvo", Dir("out"), U8(u8"２重起動はできません。")},
      {"QuillmossQT10", Dir("out"), U8(u8"ハルモアを終了させてから再起動してください。")},
      {nullptr, Dir("file/plain/out"), U8(u8"出力フォルダを作れません")},
  };
  for (const Case& c : arCase) {
    NamedGuard guard;
    if (c.pszGuard) {
      ASSERT_TRUE(guard.Create(c.pszGuard));
    }
    const RunResult r = RunBatch({c.strOutDir});
    EXPECT_EQ(r.nExit, 2) << r.strOutput;
    EXPECT_NE(r.strOutput.find(c.strMessage), std::string::npos) << r.strOutput;
    EXPECT_FALSE(fs::exists(Dir("out")));
  }
  {
    // Books kept by another release of the host's data access are not read.
    testsupport::ScopedEnv version("QT10_LEDGER_VERSION", "6.16N");
    const RunResult r = RunBatch({Dir("out")});
    EXPECT_EQ(r.nExit, 2) << r.strOutput;
    EXPECT_NE(r.strOutput.find(U8(u8"現在のﾊﾟｿｺﾝの設定では起動できません。")), std::string::npos)
        << r.strOutput;
  }
  // Arguments that do not fit: the reason, then the usage.
  const std::vector<std::pair<std::vector<std::string>, std::string>> arUsage = {
      {{"--jobs", "0", Dir("out")}, U8(u8"--jobs の値が正しくありません: 0 (1 から 256 までの整数)")},
      {{Dir("out"), "--jobs"}, U8(u8"--jobs の後に作業プロセスの数を指定してください。")},
      {{"--jobs", "2"}, U8(u8"出力フォルダ (OUTDIR) を指定してください。")},
      {{Dir("out"), "--summary-encoding", "latin1"},
       U8(u8"--summary-encoding の値が正しくありません: latin1 (utf-8 か cp932)")},
      {{Dir("out"), "--quick"}, U8(u8"--batch には使えないオプションです: --quick")},
  };
  for (const auto& [arArg, strReason] : arUsage) {
    const RunResult usage = RunBatch(arArg);
    EXPECT_EQ(usage.nExit, 2);
    EXPECT_NE(usage.strOutput.find("QT10ToRX16_G: " + strReason + "\n"), std::string::npos)
        << usage.strOutput;
    EXPECT_NE(usage.strOutput.find("--batch OUTDIR"), std::string::npos) << usage.strOutput;
  }
  EXPECT_FALSE(fs::exists(Dir("out")));
}

TEST_F(Batch, WritesTheNamedDataSetsByIdOrNumberAndMergesTheSummary) {
  Install();
  const RunResult all = RunBatch({"out"});
  // Only the sample individual business is skipped: that is no failure.
  EXPECT_EQ(all.nExit, 0) << all.strOutput;
  EXPECT_NE(all.strOutput.find("written 4, skipped 1, failed 0\n"), std::string::npos)
      << all.strOutput;
  // Data set 3 as the host lists it, and a data ID that no data set has.
  const RunResult r = RunBatch({"out", "00000002", "3", "00000099", "00000002"});
  EXPECT_EQ(r.nExit, 1) << r.strOutput;
  EXPECT_NE(r.strOutput.find("written 2, skipped 0, failed 1\n"), std::string::npos)
      << r.strOutput;
  // A relative folder is the caller's, not the program's.
  const auto mapFile = Files(Dir("out"));
  ASSERT_EQ(mapFile.size(), 5u);
  EXPECT_TRUE(mapFile.count(U8(u8"内訳概況書(概況書用)_有限会社あおぞらファーム_2024.xml")));
  EXPECT_TRUE(mapFile.count(U8(u8"内訳概況書(概況書用)_株式会社はたけ_2024.xml")));
  // The lines of the data sets outside the second run stay.
  const auto mapRow = SummaryRows(Dir("out/summary.csv"));
  ASSERT_EQ(mapRow.size(), 6u);
  for (const char* pszId : {"00000001", "00000002", "00000003", "00000005"})
    EXPECT_EQ(mapRow.at(pszId).back(), "written") << pszId;
  EXPECT_EQ(mapRow.at("00000004").back().rfind("skipped: ", 0), 0u);
  EXPECT_EQ(mapRow.at("00000099").back(),
            U8(u8"failed: データID（またはデータ番号） 00000099 のデータがありません。"));

  // For older spreadsheets: CP932 without a byte-order mark.
  EXPECT_EQ(RunBatch({"cp932", "--summary-encoding", "cp932", "1"}).nExit, 0);
  const Summary cp932 = ReadSummary(Dir("cp932/summary.csv"), "cp932");
  EXPECT_FALSE(cp932.bBom);
  ASSERT_EQ(cp932.arRow.size(), 2u);
  EXPECT_EQ(cp932.arRow[1].at(1), U8(u8"みどり農産株式会社"));
}

TEST_F(Batch, LockedAndDamagedBooksAreReportedUnderTheirOwnDataId) {
  Install();
  const std::string strLocked = ProgramDir() + "/books/00000002/books.db";
  const std::string strDamaged = ProgramDir() + "/books/00000003/books.db";
  std::ofstream(strDamaged, std::ios::binary | std::ios::trunc) << std::string(4096, 'x');
  const BooksLock lock(strLocked);
  std::string strSummary;
  for (const char* pszJobs : {"1", "2"}) {
    const std::string strOut = Dir(std::string("out") + pszJobs);
    const RunResult r = RunBatch({strOut, "--jobs", pszJobs});
    EXPECT_EQ(r.nExit, 1) << r.strOutput;
    EXPECT_NE(r.strOutput.find("written 2, skipped 1, failed 2\n"), std::string::npos)
        << r.strOutput;
    // The same summary whatever the number of workers.
    if (strSummary.empty()) strSummary = ReadFile(strOut + "/summary.csv");
    EXPECT_EQ(ReadFile(strOut + "/summary.csv"), strSummary);

    const Summary summary = ReadSummary(strOut + "/summary.csv");
    EXPECT_TRUE(summary.bBom);
    ASSERT_EQ(summary.arRow.size(), 6u);
    EXPECT_EQ(summary.arRow[0].at(0), U8(u8"データID"));
    const auto mapRow = SummaryRows(strOut + "/summary.csv");
    ASSERT_EQ(mapRow.size(), 5u);
    EXPECT_EQ(mapRow.at("00000002").at(1), U8(u8"有限会社あおぞらファーム"));
    EXPECT_EQ(mapRow.at("00000002").back(),
              U8(u8"failed: 帳簿が他のプログラムで使用中のため読めません: ") + strLocked);
    EXPECT_EQ(mapRow.at("00000003").at(1), U8(u8"株式会社はたけ"));
    EXPECT_EQ(mapRow.at("00000003").back(), U8(u8"failed: 帳簿ファイルが壊れています: ") + strDamaged);
    // Figures stay numbers.
    EXPECT_EQ(mapRow.at("00000001").at(4), "57678");
  }
}

TEST_F(Batch, SameNamedDataSetsRunOneAtATimeNeverReplaceEachOthersFiles) {
  Install();
  // Written while the sample corporation's name is its own.
  EXPECT_EQ(RunBatch({Dir("plain"), "00000001"}).nExit, 0);
  const std::string strPlain = ReadFile(Dir("plain/" + kMidoriName + ".xml"));
  ASSERT_FALSE(strPlain.empty());

  // A copy under another data ID: each run on its own keeps the other's file.
  AddMidoriCopy("00000011");
  EXPECT_EQ(RunBatch({Dir("out"), "00000011"}).nExit, 0);
  EXPECT_EQ(RunBatch({Dir("out"), "00000001"}).nExit, 0);
  auto mapFile = Files(Dir("out"));
  EXPECT_EQ(mapFile.size(), 3u);
  EXPECT_TRUE(mapFile.count(kMidoriName + "_00000001.xml"));
  EXPECT_TRUE(mapFile.count(kMidoriName + "_00000011.xml"));

  // The original renamed, the copy's name is its own again; the file an
  // earlier batch wrote for the original under that name still stays.
  const RunResult r = RunProgram({"/usr/bin/env", "sqlite3",
                                  ProgramDir() + "/books/00000001/books.db",
                                  "UPDATE kanri SET name = name || 'X'"},
                                 "/");
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(RunBatch({Dir("plain"), "00000011"}).nExit, 0);
  EXPECT_EQ(ReadFile(Dir("plain/" + kMidoriName + ".xml")), strPlain);
  EXPECT_TRUE(fs::exists(Dir("plain/" + kMidoriName + "_00000011.xml")));
  const auto mapRow = SummaryRows(Dir("plain/summary.csv"));
  EXPECT_EQ(mapRow.at("00000001").at(8), kMidoriName + ".xml");
  EXPECT_EQ(mapRow.at("00000011").at(8), kMidoriName + "_00000011.xml");
}

// The batch started with one job; once a line of progress for nDone data
// sets has come, the signal goes to it. Its standard error, its exit code.
RunResult Interrupted(const std::string& strProgram, const std::string& strOut, int nDone,
                      const char* pszSignal, const std::string& strErr) {
  const char* const pszScript =
      "\"$1\" --batch \"$2\" --jobs 1 2>\"$3\" & pid=$!\n"
      "n=0; until grep -q \"^$4/\" \"$3\" || [ $n -gt 600 ]; do sleep 0.05; n=$((n+1)); done\n"
      "kill -$5 $pid; wait $pid; echo \"exit $?\"\n";
  RunResult r = RunProgram({"/bin/sh", "-c", pszScript, "sh", strProgram, strOut, strErr,
                            std::to_string(nDone), pszSignal},
                           "/");
  r.strOutput += ReadFile(strErr);
  return r;
}

std::vector<std::string> TemporaryFiles(const std::string& strDir) {
  std::vector<std::string> arName;
  for (const auto& entry : fs::directory_iterator(strDir))
    if (entry.path().filename().string()[0] == '.') arName.push_back(entry.path().filename());
  return arName;
}

TEST_F(Batch, AnInterruptedRunCleansUpAndTheNextRemovesTheLeftoversOfAKilledOne) {
  Install();
  for (const char* pszId : {"00000011", "00000012", "00000013"}) AddMidoriCopy(pszId);
  // The last two data sets are locked: the run waits on them, with the files
  // of the others written under their temporary names.
  std::optional<BooksLock> lock(std::in_place, ProgramDir() + "/books/00000012/books.db");
  std::optional<BooksLock> lock2(std::in_place, ProgramDir() + "/books/00000013/books.db");
  const std::string strProgram = ProgramDir() + "/QT10ToRX16_G";

  const RunResult term = Interrupted(strProgram, Dir("out"), 6, "TERM", Dir("term.err"));
  EXPECT_NE(term.strOutput.find("exit 1\n"), std::string::npos) << term.strOutput;
  EXPECT_NE(term.strOutput.find(U8(u8"中断しました。書き込んだファイルは 0 件、書き込まなかったデータは 7 件です。")),
            std::string::npos)
      << term.strOutput;
  EXPECT_NE(term.strOutput.find("written 0, skipped 1, failed 7\n"), std::string::npos)
      << term.strOutput;
  EXPECT_EQ(TemporaryFiles(Dir("out")), std::vector<std::string>{});
  EXPECT_EQ(SummaryRows(Dir("out/summary.csv")).at("00000002").back(),
            U8(u8"failed: 中断されました。"));

  const RunResult kill = Interrupted(strProgram, Dir("out"), 6, "KILL", Dir("kill.err"));
  EXPECT_NE(kill.strOutput.find("exit 137\n"), std::string::npos) << kill.strOutput;
  EXPECT_EQ(TemporaryFiles(Dir("out")).size(), 5u) << "the five files written so far";

  lock.reset();
  lock2.reset();
  const RunResult again = RunBatch({Dir("out")});
  EXPECT_EQ(again.nExit, 0) << again.strOutput;
  EXPECT_EQ(TemporaryFiles(Dir("out")), std::vector<std::string>{});
  EXPECT_EQ(Files(Dir("out")).size(), 8u);
}

TEST_F(Batch, CooperativeMembersAreWrittenWithTheirOwnLineOfTheMemberFile) {
  Install(true);
  // Two members with settings that differ from the defaults and from each
  // other; the third has none.
  const std::string strFirst = WizardFile("0", {"set 1007 12"});
  const std::string strSecond = WizardFile("1", {"set 1007 9"});
  const RunResult r = RunBatch({Dir("out")});
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  auto mapFile = Files(Dir("out"));
  ASSERT_EQ(mapFile.size(), 4u) << r.strOutput;
  mapFile.erase("summary.csv");
  std::vector<std::string> arWizard = {strFirst, strSecond, WizardFile("2", {})};
  std::vector<std::string> arBatch;
  for (const auto& [strName, strBytes] : mapFile) arBatch.push_back(strBytes);
  std::sort(arWizard.begin(), arWizard.end());
  std::sort(arBatch.begin(), arBatch.end());
  EXPECT_EQ(arBatch, arWizard);
}

}  // namespace
}  // namespace e2e
