// Installations, settings and command lines that are wrong in ways the
// program cannot mend: each is one clear message and an error for the host,
// never a crash and never a file written where it does not belong.

#include <filesystem>
#include <fstream>

#include "E2eFixture.h"
#include "HostWindowListener.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kFinish = {"choose 0", "expect page 4938", "key F8"};

TEST_F(E2e, FolderWhereAFileBelongsIsAMissingFile) {
  const std::string strNoIni =
      U8(u8"動作環境が不正です。\nハルモア１０が正しくインストールされているか確認してください。");
  const std::string strNoFolder = U8(u8"\n原因：同じ名前のフォルダーがあります。");
  const struct {
    const char* pszFile;  // made a folder, in the program folder
    std::string strText;  // the one message the run stops with
  } arCase[] = {
      {"MirabellDef.ini", strNoIni},
      {"QT10.EXE", U8(u8"ハルモア１０アプリケーションが存在しません。\n動作環境が不正です。")},
      {"SUPPORT.INF", U8(u8"起動に必要なﾌﾟﾛｸﾞﾗﾑﾌｧｲﾙが存在しません。")},
      {"LedgerHost.ini", U8(u8"管理DBファイルのパスが取得できませんでした。")},
      {"QT10ToRX16_G_common_init.dat",
       U8(u8"共通初期データファイルを読み込めません。\nファイル：") + ProgramDir() +
           "/QT10ToRX16_G_common_init.dat" + strNoFolder},
      {"books/00000001/QT10ToRX16_G.env",
       U8(u8"集計条件ファイルの作成に失敗しました。\nファイル：") + ProgramDir() +
           "/books/00000001/QT10ToRX16_G.env" + strNoFolder},
  };
  for (const auto& c : arCase) {
    SCOPED_TRACE(c.pszFile);
    fs::remove_all(Dir("inst"));
    Install();
    const fs::path file = fs::path(ProgramDir()) / c.pszFile;
    fs::remove(file);
    fs::create_directories(file / "inside");
    ClearTranscript();
    Script(kFinish);
    const RunResult r = RunComponent();
    EXPECT_EQ(r.nExit, 0) << r.strOutput;  // no crash
    const std::vector<Event> arMsg = EventsNamed("msgbox");
    ASSERT_FALSE(arMsg.empty());
    EXPECT_EQ(arMsg[0][3], c.strText);
    EXPECT_TRUE(DocumentsXml().empty());
  }
}

TEST_F(E2e, OnlyTheOneDataAccessReleaseIsAccepted) {
  Install();
  for (const char* pszVersion : {"6.15M", "6.16N", "6.14N"}) {
    SCOPED_TRACE(pszVersion);
    SetEnv("QT10_LEDGER_VERSION", pszVersion);
    ClearTranscript();
    const RunResult r = Launch();
    EXPECT_EQ(r.nExit, 2) << r.strOutput;
    const std::vector<Event> arMsg = EventsNamed("msgbox");
    ASSERT_EQ(arMsg.size(), 1u);
    EXPECT_EQ(arMsg[0][3], U8(u8"現在のﾊﾟｿｺﾝの設定では起動できません。\n"));
  }
  SetEnv("QT10_LEDGER_VERSION", "6.15N");
  Script({"cancel"});
  ClearTranscript();
  EXPECT_EQ(Launch().nExit, 1);
}

TEST_F(E2e, CommandLineWithNoCp932FormIsShownAndAnsweredAsAnError) {
  Install();
  const std::string strText =
      U8(u8"起動パラメータに使用できない文字が含まれているため、起動できません。");
  HostWindowListener host;
  ASSERT_TRUE(host.Open(4321));
  // A launch: the host hears an error for its function.
  RunResult r = RunComponent({U8(u8"4321,32784,7,/tmp/\U0001F600.xml")});
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(Transcript(), (std::vector<Event>{
                              {"msgbox", "warning", kCaption, strText, "ok", "ok"},
                              {"post", "4321", "32784", "7", "2"},
                          }));
  std::vector<std::string> arLine;
  for (std::string strLine; host.Receive(strLine, 200);) arLine.push_back(strLine);
  ASSERT_FALSE(arLine.empty());
  EXPECT_EQ(arLine.back(), "post 32784 7 2");

  // Not a launch: the message alone.
  ClearTranscript();
  r = RunComponent({U8(u8"12caf\u00e9")});
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  EXPECT_EQ(Transcript(),
            (std::vector<Event>{{"msgbox", "warning", kCaption, strText, "ok", "ok"}}));
}

TEST_F(E2e, DamagedSettingsAreRestartedOnlyWhenTheUserSaysSo) {
  Install();
  const std::string strEnv = ProgramDir() + "/books/00000001/QT10ToRX16_G.env";
  const std::string strDamaged = "\"00000001\",4,3,1,0,\"\"\n\n1,811,1\n";  // a blank line
  std::ofstream(strEnv, std::ios::binary) << strDamaged;
  const std::string strAsk = U8(u8"集計条件を初期データからやり直しますか？");

  Script({"choose 0", "answer no " + strAsk});
  RunResult r = Launch();
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  EXPECT_EQ(ReadFile(strEnv), strDamaged);

  ClearTranscript();
  Script({"choose 0", "answer yes " + strAsk, "expect page 4938", "key F8"});
  r = Launch();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  const std::vector<Event> arMsg = EventsNamed("msgbox");
  ASSERT_EQ(arMsg.size(), 3u);
  // Each message names the file, the first also its line.
  EXPECT_TRUE(arMsg[0][3].starts_with(U8(u8"エラーmatch"))) << arMsg[0][3];
  EXPECT_NE(arMsg[0][3].find(strEnv), std::string::npos) << arMsg[0][3];
  EXPECT_NE(arMsg[0][3].find(U8(u8"2行目")), std::string::npos) << arMsg[0][3];
  EXPECT_TRUE(arMsg[1][3].starts_with(U8(u8"MakeRefDataエラー"))) << arMsg[1][3];
  EXPECT_NE(arMsg[1][3].find(strEnv), std::string::npos) << arMsg[1][3];
  EXPECT_EQ(arMsg[2][1], "question");
  // The damaged file stays beside the new one under a dated name.
  int nKept = 0;
  for (const auto& entry : fs::directory_iterator(ProgramDir() + "/books/00000001")) {
    const std::string strName = entry.path().filename().string();
    if (strName.starts_with("QT10ToRX16_G.env.damaged-")) {
      EXPECT_EQ(strName.size(), std::string("QT10ToRX16_G.env.damaged-YYYYMMDD-HHMMSS").size());
      EXPECT_EQ(ReadFile(entry.path().string()), strDamaged);
      ++nKept;
    }
  }
  EXPECT_EQ(nKept, 1);
  EXPECT_EQ(ReadFile(strEnv).rfind("\"00000001\",", 0), 0u);
}

TEST_F(E2e, MemberSettingsNeedTheHostSettingsFolder) {
  Install(true);
  // A home folder with no CP932 form and no other settings folder named.
  SetEnv("XDG_CONFIG_HOME", std::nullopt);
  SetEnv("HOME", Dir(U8(u8"Jos\u00e9")));
  fs::create_directories(Dir(U8(u8"Jos\u00e9")));
  Script(kFinish);
  const RunResult r = Launch();
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  const std::vector<Event> arMsg = EventsNamed("msgbox");
  ASSERT_EQ(arMsg.size(), 1u);
  EXPECT_EQ(arMsg[0][3].rfind(U8(u8"組合員別の集計条件を保存するフォルダーが取得できません。"), 0),
            0u);
  // Never the bare name in the program folder, where loading would find it.
  EXPECT_FALSE(fs::exists(ProgramDir() + "/KP10ToRX16_G.env"));
}

TEST_F(E2e, OutputPathNamingAFolderIsNoFileName) {
  Install();
  fs::create_directories(Dir("out/report.xml"));
  fs::create_directories(Dir("out/my.dir"));
  const std::string strNoName = U8(u8"ファイル名を指定して下さい。");
  Script({"choose 0", "expect page 4938", "set 1008 " + Dir("out/report.xml"), "key F8",
          "answer ok " + strNoName, "set 1008 " + Dir("out/my.dir/"), "key F8",
          "answer ok " + strNoName, "key ESC", "answer no"});
  ASSERT_EQ(RunComponent().nExit, 0);
  std::vector<Event> arFocus;
  for (const Event& e : Transcript(true)) {
    if (e[0] == "focus") arFocus.push_back(e);
  }
  EXPECT_EQ(arFocus, (std::vector<Event>{{"focus", "1008"}, {"focus", "1008"}}));
  // Never asked whether to overwrite the folder.
  for (const Event& e : EventsNamed("msgbox")) EXPECT_NE(e[1], "exclamation");
}

}  // namespace
}  // namespace e2e
