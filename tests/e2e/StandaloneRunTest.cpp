#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "E2eFixture.h"
#include "NamedGuard.h"

namespace e2e {
namespace {

const std::vector<Event> kFinishedRun = {
    {"open", "select", U8(u8"データ選択")},
    {"close", "select", "ok"},
    {"open", "sheet", U8(u8"事業概況書 - 集計条件")},
    {"page", "4938"},
    {"close", "sheet", "ok"},
    {"progress", "title", U8(u8"集計中")},
    {"progress", "message", U8(u8"集計中です。お待ちください....")},
    {"progress", "scale", "30"},
    {"progress", "scale", "50"},
    {"progress", "scale", "100"},
    {"progress", "close"},
    {"msgbox", "information", kCaption, kCompleted, "ok", "ok"},
};

// Figures of the report that must agree with one another whatever the books.
void ExpectConsistentFigures(const XmlReport& xml) {
  long nMonthlySales = 0;
  for (int i = 1; i <= 12; ++i) {
    char szTag[32];
    std::snprintf(szTag, sizeof szTag, "TUKI_URIAGE%02d", i);
    nMonthlySales += xml.Figure(szTag);
  }
  // Monthly sales are in yen, the main items in thousands (cut toward zero).
  EXPECT_EQ(nMonthlySales / 1000, xml.Figure("URIAGE"));
  EXPECT_GT(xml.Figure("URIAGE"), 0);
  EXPECT_LE(std::labs(xml.Figure("SHISAN") - xml.Figure("FUSAI") - xml.Figure("JUNSHISAN")), 1);
}

TEST_F(E2e, TheDesktopsDocumentsFolderIsProposedAndAMissingOneIsNot) {
  Install();
  SetEnv("XDG_DOCUMENTS_DIR", std::nullopt);
  const std::string strDocuments = Dir(U8(u8"home/ドキュメント"));
  const std::string strName = U8(u8"/内訳概況書(概況書用)_みどり農産株式会社_2024.xml");
  std::ofstream(Dir("config/user-dirs.dirs"))
      << "XDG_DOCUMENTS_DIR=\"$HOME/" << U8(u8"ドキュメント") << "\"\n";
  std::filesystem::create_directories(strDocuments);
  Script({"choose 0", "expect page 4938", "key F8"});
  ASSERT_EQ(RunComponent().nExit, 0);
  EXPECT_EQ(Transcript(), kFinishedRun);
  EXPECT_TRUE(std::filesystem::is_regular_file(strDocuments + strName));

  // Without the folder the first run proposes the temporary folder, as for
  // a documents folder the system cannot tell.
  std::filesystem::remove_all(strDocuments);
  std::filesystem::remove(ProgramDir() + "/books/00000001/QT10ToRX16_G.env");
  ClearTranscript();
  ASSERT_EQ(RunComponent().nExit, 0);
  EXPECT_EQ(Transcript(), kFinishedRun);
  EXPECT_TRUE(std::filesystem::is_regular_file(Dir("tmp") + strName));
}

TEST_F(E2e, StandaloneRunWritesTheReportAndKeepsTheSettings) {
  Install();
  Script({"choose 0", "expect page 4938", "key F8"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(Transcript(), kFinishedRun);

  const std::string strXml = DocumentsXml();
  ASSERT_FALSE(strXml.empty());
  EXPECT_EQ(std::filesystem::path(strXml).filename().string(),
            U8(u8"内訳概況書(概況書用)_みどり農産株式会社_2024.xml"));
  const XmlReport xml = ReadXml(strXml);
  ASSERT_TRUE(xml.bParsed);
  EXPECT_EQ(xml.strDeclaredEncoding, "Shift_JIS");
  EXPECT_EQ(xml.strRoot, "REPORT");
  EXPECT_EQ(xml.mapValue.at("FUNCTIONID"), "2");
  EXPECT_EQ(xml.mapValue.at("KOMONSAKINAME"), U8(u8"みどり農産株式会社"));
  EXPECT_EQ(xml.mapValue.at("JIGYOUNENDOFROM"), "20240401");
  EXPECT_EQ(xml.mapValue.at("JIGYOUNENDOTO"), "20250331");
  // The fiscal year starts in April: the first monthly slot is April.
  EXPECT_EQ(xml.mapValue.at("TUKIBETU_01"), "4");
  EXPECT_EQ(xml.mapValue.at("TUKIBETU_12"), "3");
  ExpectConsistentFigures(xml);
  // No balance-sheet account feeds a monthly item by default: withholding
  // tax stays for the user to map.
  for (int i = 1; i <= 12; ++i) {
    char szTag[32];
    std::snprintf(szTag, sizeof szTag, "TUKI_GENSEN%02d", i);
    EXPECT_EQ(xml.mapValue.at(szTag), "") << szTag;
  }

  // The settings of the data set: its data ID and where the file went.
  const std::string strEnv = ReadCp932File(ProgramDir() + "/books/00000001/QT10ToRX16_G.env");
  const std::string strFirst = strEnv.substr(0, strEnv.find('\n'));
  EXPECT_EQ(strFirst.rfind("\"00000001\"", 0), 0u) << strFirst;
  EXPECT_NE(strFirst.find(strXml), std::string::npos) << strFirst;

  // Nothing is held once the program has ended.
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
  EXPECT_FALSE(NamedGuard::IsHeld("QuillmossQT10"));
}

TEST_F(E2e, RunOverAnExistingFileGivesTheDocumentedTranscript) {
  Install();
  Script({"choose 0", "expect page 4938", "key F8"});
  ASSERT_EQ(RunComponent().nExit, 0);
  ClearTranscript();

  Script({"choose 0", "expect page 4938", "key F8", U8(u8"answer yes 上書き")});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  std::vector<Event> expected = kFinishedRun;
  expected.insert(
      expected.begin() + 4,
      {"msgbox", "exclamation", kCaption,
       U8(u8"同名のファイルが存在します。 上書きしてもよろしいですか？"), "yesno", "yes"});
  // Event for event what the documentation shows, focus changes included.
  EXPECT_EQ(Transcript(true), expected);
  EXPECT_TRUE(EventsNamed("post").empty());
}

TEST_F(E2e, CancelledSelectionStopsBeforeTheBooksAreRead) {
  Install();
  Script({"cancel"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  const std::vector<Event> expected = {
      {"open", "select", U8(u8"データ選択")},
      {"close", "select", "cancel"},
      {"msgbox", "warning", kCaption, kStopped, "ok", "ok"},
  };
  EXPECT_EQ(Transcript(), expected);
  EXPECT_TRUE(DocumentsXml().empty());
  EXPECT_FALSE(std::filesystem::exists(ProgramDir() + "/books/00000001/QT10ToRX16_G.env"));
}

TEST_F(E2e, IndividualBusinessIsRefusedEveryTimeAndTheChoiceOffered) {
  Install();
  Script({U8(u8"choose 山田"), U8(u8"choose 山田"), U8(u8"choose 山田"), "dump",
          U8(u8"choose みどり"), "expect page 4938", "key F8"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;

  const std::string strRefusal =
      U8(u8"選択されたデータは、経営形態が『個人』です。\n\n『個人』データは選択できません。");
  int nSelect = 0;
  int nRefusal = 0;
  int nRows = 0;
  for (const Event& e : Transcript()) {
    if (e[0] == "open" && e[1] == "select") ++nSelect;
    if (e[0] == "msgbox" && e[3] == strRefusal) {
      ++nRefusal;
      EXPECT_EQ(e[1], "warning");
      EXPECT_EQ(nRefusal, nSelect);  // one refusal after each individual choice
    }
    // The fourth dialog lists every data set: the data access was opened again.
    if (e[0] == "row") ++nRows;
  }
  EXPECT_EQ(nSelect, 4);
  EXPECT_EQ(nRefusal, 3);
  EXPECT_EQ(nRows, 5);
  const std::vector<Event> arMsg = EventsNamed("msgbox");
  ASSERT_FALSE(arMsg.empty());
  EXPECT_EQ(arMsg.back()[3], kCompleted);
  EXPECT_EQ(ReadXml(DocumentsXml()).mapValue["KOMONSAKINAME"], U8(u8"みどり農産株式会社"));
  EXPECT_FALSE(std::filesystem::exists(ProgramDir() + "/books/00000004/QT10ToRX16_G.env"));
}

}  // namespace
}  // namespace e2e
