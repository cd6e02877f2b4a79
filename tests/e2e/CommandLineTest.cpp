// The component's command line from outside: what it tells, and that a
// wrong one starts no run.

#include <filesystem>
#include <optional>

#include "E2eFixture.h"
#include "ProgramVersion.h"

namespace e2e {
namespace {

TEST_F(E2e, CommandLineTellsWhatItIsAndRefusesMistakesBeforeAnyRun) {
  Install();
  SetEnv("LC_ALL", std::nullopt);
  SetEnv("LC_MESSAGES", std::nullopt);
  // A run that started would record its selection dialog.
  Script({"expect select", "cancel"});
  const std::string strVersion = std::string("QT10ToRX16_G ") + kProgramVersion + "\n";
  const struct {
    std::vector<std::string> arArg;
    const char* pszLang;
    int nExit;
    std::string strOut;  // standard output contains it; empty: standard output is empty
    std::string strErr;  // the same for standard error
  } arCase[] = {
      {{"--help"},
       "C.UTF-8",
       0,
       "QT10ToRX16_G HWND,MSG,FUNCTION,PATH\n      the host's launch",
       ""},
      {{"-h"}, "ja_JP.UTF-8", 0, U8(u8"手動での実行"), ""},
      {{"--version"}, "ja_JP.UTF-8", 0, strVersion, ""},
      {{"-V"}, "C", 0, strVersion, ""},
      {{"--reprot", "00000001"}, "C", 2, "", "QT10ToRX16_G: unknown option: --reprot\nusage:\n"},
      {{"--rep", "00000001"}, "C", 2, "", "unknown option: --rep\n"},
      {{"-x"}, "ja_JP.UTF-8", 2, "", U8(u8"不明なオプションです: -x\n使い方:\n")},
      {{"reprot"}, "C", 2, "", "neither an option nor the host's launch line: reprot\n"},
      {{"--help", "me"}, "C", 2, "", "unexpected argument: me\n"},
  };
  for (const auto& c : arCase) {
    SCOPED_TRACE(c.arArg[0]);
    SetEnv("LANG", c.pszLang);
    std::string strCommand = "exec '" + ProgramDir() + "/QT10ToRX16_G'";
    for (const std::string& strArg : c.arArg) strCommand += " '" + strArg + "'";
    strCommand += " >'" + Dir("out.txt") + "' 2>'" + Dir("err.txt") + "'";
    EXPECT_EQ(RunProgram({"/bin/sh", "-c", strCommand}, m_strRoot).nExit, c.nExit);
    for (const auto& [strFile, strWant] :
         {std::pair{Dir("out.txt"), c.strOut}, std::pair{Dir("err.txt"), c.strErr}}) {
      const std::string strGot = ReadFile(strFile);
      if (strWant.empty()) {
        EXPECT_EQ(strGot, "") << strFile;
      } else {
        EXPECT_NE(strGot.find(strWant), std::string::npos) << strGot;
      }
    }
    if (c.nExit == 2) {
      EXPECT_NE(ReadFile(Dir("err.txt")).find("--batch OUTDIR"), std::string::npos);
    }
    // No run: no dialog, message or guard, so nothing in the transcript.
    EXPECT_FALSE(std::filesystem::exists(Dir("transcript.txt")));
  }
  // Every form and variable is in the help, in either language.
  for (const char* pszLang : {"C", "ja_JP.UTF-8"}) {
    SetEnv("LANG", pszLang);
    const RunResult r = RunProgram({ProgramDir() + "/QT10ToRX16_G", "--help"}, m_strRoot);
    for (const char* pszWord : {"--report DATA_ID", "--report-file", "--batch OUTDIR", "--version",
                                "RX16_UI ", "RX16_UI_SCRIPT", "RX16_UI_TRANSCRIPT"}) {
      EXPECT_NE(r.strOutput.find(pszWord), std::string::npos) << pszLang << " " << pszWord;
    }
  }
}

}  // namespace
}  // namespace e2e
