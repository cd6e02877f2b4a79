#include <filesystem>
#include <fstream>

#include "E2eFixture.h"
#include "NamedGuard.h"

namespace e2e {
namespace {

// The one message a stopped start-up shows, and nothing else.
void ExpectOnlyWarning(const std::vector<Event>& arEvent, const std::string& strText) {
  const std::vector<Event> expected = {{"msgbox", "warning", kCaption, strText, "ok", "ok"}};
  EXPECT_EQ(arEvent, expected);
}

const std::string kDoubleStart = U8(u8"２重起動はできません。");
const std::string kHostRunning = U8(u8"ハルモアを終了させてから再起動してください。");

TEST_F(E2e, SecondCopyStartedWhileOneRunsIsRefused) {
  Install();
  // The first copy starts the second while its selection dialog is open.
  Script({"exec RX16_UI_SCRIPT=/dev/null RX16_UI_TRANSCRIPT=" + Dir("second.txt") + " " +
              ProgramDir() + "/QT10ToRX16_G",
          "cancel"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(ReadFile(Dir("second.txt")),
            "msgbox\twarning\t" + kCaption + "\t" + kDoubleStart + "\tok\tok\n");
  // The first copy went on undisturbed.
  const std::vector<Event> expected = {
      {"open", "select", U8(u8"データ選択")},
      {"close", "select", "cancel"},
      {"msgbox", "warning", kCaption, kStopped, "ok", "ok"},
  };
  EXPECT_EQ(Transcript(), expected);
}

TEST_F(E2e, GuardHeldByAnotherCopyStopsALaunchWithAnError) {
  Install();
  NamedGuard other;
  ASSERT_TRUE(other.Create("RoderoZerozUvo"));
  const RunResult r = Launch({"--function", "4"});
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  EXPECT_NE(r.strOutput.find("result: error (function 4)"), std::string::npos) << r.strOutput;
  std::vector<Event> arEvent = Transcript();
  ASSERT_EQ(arEvent.size(), 2u);
  arEvent.pop_back();  // the post
  ExpectOnlyWarning(arEvent, kDoubleStart);
  EXPECT_TRUE(NamedGuard::IsHeld("RoderoZerozUvo"));
}

TEST_F(E2e, RunningHostStopsTheComponent) {
  Install();
  NamedGuard host;
  ASSERT_TRUE(host.Create("QuillmossQT10"));
  ASSERT_EQ(RunComponent().nExit, 0);
  ExpectOnlyWarning(Transcript(), kHostRunning);
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));

  ClearTranscript();
  const RunResult r = Launch();
  EXPECT_EQ(r.nExit, 2);
  EXPECT_NE(r.strOutput.find("note: another host program holds the host guard"), std::string::npos);
  EXPECT_NE(r.strOutput.find("result: error (function 2)"), std::string::npos) << r.strOutput;
}

TEST_F(E2e, MissingHostExecutableStopsTheComponent) {
  Install();
  std::filesystem::remove(ProgramDir() + "/QT10.EXE");
  ASSERT_EQ(RunComponent().nExit, 0);
  ExpectOnlyWarning(Transcript(),
                    U8(u8"ハルモア１０アプリケーションが存在しません。\n動作環境が不正です。"));

  ClearTranscript();
  const RunResult r = Host({"launch", ProgramDir()});
  EXPECT_EQ(r.nExit, 2);
  EXPECT_NE(r.strOutput.find("result: error (function 2)"), std::string::npos) << r.strOutput;
}

TEST_F(E2e, ProgramLevelDecidesWhetherTheComponentMayRun) {
  Install();
  const std::string strIni = ProgramDir() + "/MirabellDef.ini";
  const std::string strNoIni =
      U8(u8"動作環境が不正です。\nハルモア１０が正しくインストールされているか確認してください。");
  const std::string strHostOld =
      U8(u8"ご利用の連動コンポーネントは、インストールされているハルモア１０では使用できません。\n"
         u8"ハルモア１０の最新版を入手してインストールしてからご利用ください。");
  const std::string strComponentOld =
      U8(u8"ご利用の連動コンポーネントは、インストールされているハルモア１０では使用できません。\n"
         u8"連動コンポーネントの最新版を入手してインストールしてからご利用ください。");
  const struct {
    const char* pszIni;  // null: no file
    std::string strMessage;
  } arCase[] = {
      {nullptr, strNoIni},
      {"[ProgramLevel]\r\nRX16_G=0\r\n", strHostOld},
      {"[ProgramLevel]\r\nRX16_G=2\r\n", strComponentOld},
      {"[ProgramLevel]\r\nRX16_G=\r\n", strNoIni},
  };
  for (const auto& c : arCase) {
    SCOPED_TRACE(c.pszIni ? c.pszIni : "(no file)");
    std::filesystem::remove(strIni);
    if (c.pszIni) std::ofstream(strIni, std::ios::binary) << c.pszIni;
    ClearTranscript();
    ASSERT_EQ(RunComponent().nExit, 0);
    ExpectOnlyWarning(Transcript(), c.strMessage);
  }

  // An empty file names no level: the default passes and the selection opens.
  std::ofstream(strIni, std::ios::trunc).flush();
  Script({"cancel"});
  ClearTranscript();
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::vector<Event> arEvent = Transcript();
  ASSERT_FALSE(arEvent.empty());
  EXPECT_EQ(arEvent[0], (Event{"open", "select", U8(u8"データ選択")}));
}

}  // namespace
}  // namespace e2e
