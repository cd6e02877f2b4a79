#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

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

// Rows of summary.csv, the header left out, by the first field.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& strCsv) {
  std::map<std::string, std::vector<std::string>> mapRow;
  std::istringstream in(strCsv);
  std::string strLine;
  std::getline(in, strLine);
  while (std::getline(in, strLine)) {
    std::vector<std::string> arField;
    std::istringstream fields(strLine);
    for (std::string strField; std::getline(fields, strField, ',');) arField.push_back(strField);
    mapRow[arField.at(0)] = arField;
  }
  return mapRow;
}

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

  const auto mapRow = SummaryRows(mapOne["summary.csv"]);
  ASSERT_EQ(mapRow.size(), 6u) << mapOne["summary.csv"];
  const auto& midori = mapRow.at("00000001");
  EXPECT_EQ(midori.at(1), U8(u8"みどり農産株式会社"));
  EXPECT_EQ(midori.at(2), "2024/04/01-2025/03/31");
  EXPECT_EQ(midori.at(3), "4-12");
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
  const RunResult usage = RunBatch({"--jobs", "0", Dir("out")});
  EXPECT_EQ(usage.nExit, 2);
  EXPECT_NE(usage.strOutput.find("--batch OUTDIR"), std::string::npos) << usage.strOutput;
}

TEST_F(Batch, WritesTheNamedDataSetsAndReportsOnesThatAreMissing) {
  Install();
  const RunResult r = RunBatch({"out", "00000002", "00000099", "00000002"});
  EXPECT_EQ(r.nExit, 1) << r.strOutput;
  // A relative folder is the caller's, not the program's.
  const auto mapFile = Files(Dir("out"));
  ASSERT_EQ(mapFile.size(), 2u);
  EXPECT_TRUE(mapFile.count(U8(u8"内訳概況書(概況書用)_有限会社あおぞらファーム_2024.xml")));
  const auto mapRow = SummaryRows(mapFile.at("summary.csv"));
  ASSERT_EQ(mapRow.size(), 2u);
  EXPECT_EQ(mapRow.at("00000002").back(), "written");
  EXPECT_EQ(mapRow.at("00000099").back().rfind("failed: ", 0), 0u);
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
