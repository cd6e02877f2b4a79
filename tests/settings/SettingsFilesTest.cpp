// Environment file and common initial-data file, on real files.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "LocalClock.h"
#include "SettingsFixture.h"

namespace {

const char ENV_TEXT[] = "\"00012345\",4,3,1,0,\"/data/out.xml\"\n1,811,1\n1,812,1\n";
// Where the sheet asks whether to start over from the defaults.
const CString ASK = "(start over?)";

class SettingsFiles : public SettingsFixture {
 protected:
  CString Env() const { return m_strDir + "QT10ToRX16_G.env"; }
  // A private copy of the shipped initial-data file with one line replaced.
  void UseInitFile(const std::string& data) {
    m_strInitDir = m_strDir + "init/";
    std::filesystem::create_directory(m_strInitDir);
    WriteFile(m_strInitDir + "QT10ToRX16_G_common_init.dat", data);
  }
  std::string ShippedInit() const {
    return ReadFile(m_strShipped + "QT10ToRX16_G_common_init.dat");
  }
  CSetGaiFile MyFiles() {
    CSetGaiFile files = Files();
    if (!m_strInitDir.empty()) files.m_strInitFolder = m_strInitDir;
    return files;
  }
  // Loads as the sheet does, recording what it shows: what failed, ASK when
  // the environment file is damaged, and on yes what starting over failed on.
  int Load() {
    const CSetGaiFile files = MyFiles();
    BOOL bDamaged = FALSE;
    if (files.LoadSettings(m_strDir, m_cond, m_arMatch, m_arInitBody, &bDamaged)) return 1;
    Record(files.GetFailure());
    if (!bDamaged) return 0;
    m_arMessages.push_back(ASK);
    if (m_nAnswer != IDYES) return 0;
    if (files.StartOver(m_strDir, m_cond, m_arMatch, m_arInitBody)) return 1;
    Record(files.GetFailure());
    return 0;
  }
  void Record(const CFailure& failure) {
    m_arMessages.insert(m_arMessages.end(), failure.Texts().begin(), failure.Texts().end());
  }
  int Save(const CString& strSavedOut = "", BOOL bFixedOut = FALSE) {
    return MyFiles().SaveSettings(m_strDir, "QT10ToRX16_G.env", m_cond, bFixedOut, strSavedOut,
                                  m_arMatch);
  }

  CString m_strInitDir;
};

TEST_F(SettingsFiles, FirstRunWritesTheDefaultConditionAndMatches) {
  ASSERT_EQ(Load(), 1);
  const std::string env = ReadFile(Env());
  EXPECT_EQ(env.substr(0, env.find('\n') + 1), "\"00012345\",0,0,1,0,\"\"\n");
  EXPECT_EQ(m_cond.nZeiShori, 1);
  // The defaults are the initial-data file's lines up to its terminator, without CR.
  std::string init = ShippedInit();
  init = init.substr(0, init.find("-1,0,0"));
  std::erase(init, '\r');
  EXPECT_EQ(env.substr(env.find('\n') + 1), init);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"QT10ToRX16_G.env"}));
}

TEST_F(SettingsFiles, LoadSaveKeepsTheFileByteForByte) {
  WriteFile(Env(), ENV_TEXT);
  ASSERT_EQ(Load(), 1);
  ASSERT_EQ(m_arMatch.size(), 3u);
  EXPECT_STREQ(m_cond.szOutPath, "/data/out.xml");
  std::filesystem::permissions(Env(), std::filesystem::perms(0640));
  ASSERT_EQ(Save("/data/out.xml"), 1);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
  EXPECT_EQ(std::filesystem::status(Env()).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(Listing(), (std::vector<std::string>{"QT10ToRX16_G.env"}));
}

TEST_F(SettingsFiles, ForeignDataIdAndLauncherPath) {
  WriteFile(Env(), "\"99999999\",4,3,1,0,\"/data/out.xml\"\n");
  ASSERT_EQ(Load(), 1);
  EXPECT_STREQ(m_cond.szDataId, "00012345");
  EXPECT_EQ(m_arMatch.size(), 1u);  // the sentinel only
  std::strcpy(m_cond.szOutPath, "/launcher/given.xml");
  ASSERT_EQ(Save("/data/out.xml", TRUE), 1);
  EXPECT_EQ(ReadFile(Env()), "\"00012345\",4,3,1,0,\"/data/out.xml\"\n");
}

TEST_F(SettingsFiles, PathThatCannotBeReadBackKeepsTheSavedOne) {
  EXPECT_TRUE(CSetGaiFile::IsStorableText("/a b/c,d.xml"));
  EXPECT_FALSE(CSetGaiFile::IsStorableText("/a\"b.xml"));
  EXPECT_FALSE(CSetGaiFile::IsStorableText("/a\nb.xml"));
  WriteFile(Env(), ENV_TEXT);
  ASSERT_EQ(Load(), 1);
  std::strcpy(m_cond.szOutPath, "/data/\"quoted\".xml");
  ASSERT_EQ(Save("/data/out.xml"), 1);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
  std::strcpy(m_cond.szDataId, "1\"2");
  EXPECT_EQ(Save("/data/out.xml"), 0);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
}

TEST_F(SettingsFiles, TakesOverTheAlternativeFolderFile) {
  std::filesystem::create_directory(m_strDir + "alt");
  WriteFile(m_strDir + "alt/QT10ToRX16_G.env", ENV_TEXT);
  ASSERT_EQ(Load(), 1);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);

  // An empty folder text means the current directory.
  const CString strData = m_strDir + "data/";
  std::filesystem::create_directory(strData);
  const auto oldCwd = std::filesystem::current_path();
  std::filesystem::current_path(m_strDir);
  CSetGaiFile files = MyFiles();
  files.m_strAltFolder.clear();
  EXPECT_EQ(files.LoadSettings(strData, m_cond, m_arMatch, m_arInitBody), 1);
  std::filesystem::current_path(oldCwd);
  EXPECT_EQ(ReadFile(strData + "QT10ToRX16_G.env"), ENV_TEXT);
}

// Each failure row: the messages, in order, and what is left on disk.
struct LoadFailure {
  const char* pszName;
  std::string env;   // environment file; empty: none
  std::string init;  // initial-data file; empty: the shipped one
  std::vector<CString> messages;
};

class LoadFailures : public SettingsFiles, public ::testing::WithParamInterface<LoadFailure> {};

TEST_P(LoadFailures, ReportsAndLeavesTheFilesAlone) {
  const LoadFailure& row = GetParam();
  std::string init = ShippedInit();
  const std::size_t nTerminator = init.find("-1,0,0");
  const std::size_t nItems = init.find('\n', nTerminator) + 1;
  std::string text = row.init;
  // "-": no initial-data file. Placeholders: MATCHES the default lines, ITEMS the definitions.
  for (auto [key, value] :
       {std::pair<std::string, std::string>{"MATCHES", init.substr(0, nTerminator)},
        {"ITEMS", init.substr(nItems)}}) {
    for (std::size_t n; (n = text.find(key)) != std::string::npos;)
      text.replace(n, key.size(), value);
  }
  if (text == "-") {
    UseInitFile("");
    std::filesystem::remove(m_strInitDir + "QT10ToRX16_G_common_init.dat");
  } else if (!text.empty()) {
    UseInitFile(text);
  }
  if (!row.env.empty()) WriteFile(Env(), row.env);

  EXPECT_EQ(Load(), 0);
  std::vector<CString> expected = row.messages;
  // The line after the default matches (their terminator), and of item 44.
  const std::size_t nMatches = static_cast<std::size_t>(
      std::count(init.begin(), init.begin() + static_cast<std::ptrdiff_t>(nTerminator), '\n'));
  for (CString& m : expected) {
    for (auto [key, value] : {std::pair<CString, CString>{"INITFILE", m_strInitDir +
                                                                          "QT10ToRX16_G_common_init.dat"},
                              {"ENVFILE", Env()},
                              {"NEND", std::to_string(nMatches + 1)},
                              {"NITEM44", std::to_string(nMatches + 1 + 44)}}) {
      if (const std::size_t n = m.find(key); n != CString::npos) m.replace(n, key.size(), value);
    }
  }
  EXPECT_EQ(m_arMessages, expected);
  EXPECT_EQ(ReadFile(Env()), row.env);  // left as it was, or still missing
  for (const std::string& strName : Listing())
    EXPECT_NE(strName[0], '.') << strName;  // no temporary
}

const std::string GOOD = "MATCHES-1,0,0\r\nITEMS";
const CString REF = "MakeRefDataエラー\nファイル：ENVFILE";
// A line of a settings file that is not in its format.
CString Line(const char* pszWhat, const char* pszFile, const char* pszLine) {
  return CString(pszWhat) + "\nファイル：" + pszFile + "\n" + pszLine +
         "行目を読めません。形式が正しくないか、ファイルがそこで終わっています。";
}
const CString NO_INIT =
    "共通初期データファイルを読み込めません。\nファイル：INITFILE\n原因：指定されたパスが見つかりま"
    "せん。";

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadFailures,
    ::testing::Values(
        LoadFailure{"InitMissingWhenCreating", "", "-", {NO_INIT}},
        LoadFailure{"NoTerminatorWhenCreating", "", "MATCHES", {Line("エラーmakeinit", "INITFILE", "NEND")}},
        LoadFailure{"TerminatorMissingAFieldWhenCreating",
                    "",
                    "1,811,1\r\n-1,0,\r\nITEMS",
                    {Line("エラーmakeinit", "INITFILE", "2")}},
        LoadFailure{"EmptyEnvironmentFile", "\n", "", {Line("エラーCon", "ENVFILE", "1"), REF, ASK}},
        LoadFailure{"ConditionMalformed", "\"1\",4,3\n", "",
                    {Line("エラーCon", "ENVFILE", "1"), REF, ASK}},
        LoadFailure{"FirstMatchMalformed",
                    "\"1\",4,3,1,0,\"\"\n1,x y,1\n1,812,1\n",
                    "",
                    {Line("エラーmatch", "ENVFILE", "2"), REF, ASK}},
        LoadFailure{"LastMatchMalformed",
                    "\"1\",4,3,1,0,\"\"\n1,811,1\n1,812\n",
                    "",
                    {Line("エラーmatch", "ENVFILE", "3"), REF, ASK}},
        LoadFailure{"InitMissingWhenLoading", ENV_TEXT, "-", {REF}},
        LoadFailure{"NoTerminatorWhenLoading", ENV_TEXT, "MATCHES",
                    {Line("エラーinit", "INITFILE", "NEND"), REF}},
        LoadFailure{"MatchMalformedBeforeTerminator",
                    ENV_TEXT,
                    "1,2,3,4\r\n-1,0,0\r\nITEMS",
                    {Line("エラーinit", "INITFILE", "1"), REF}},
        LoadFailure{"FirstItemMalformed",
                    ENV_TEXT,
                    "-1,0,0\r\n1,\"a,1,0,,URIAGE,X\r\nITEMS",
                    {Line("エラーInit", "INITFILE", "2"), REF}},
        LoadFailure{"LastItemMalformed", ENV_TEXT, GOOD + "44,a,1,0\r\n",
                    {Line("エラーInit", "INITFILE", "NITEM44"), REF}},
        LoadFailure{
            "ItemMissing", ENV_TEXT, "-1,0,0\r\n1,a,1,0,,URIAGE,X\r\n",
            {"エラーInit\nファイル：INITFILE\n項目の定義が1から43まで順にそろっていません。", REF}}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(SettingsFiles, EnvironmentFileThatCannotBeMade) {
  // The data folder is a regular file: nothing can be created.
  WriteFile(m_strDir + "plain", "x");
  const CSetGaiFile files = MyFiles();
  EXPECT_EQ(files.LoadSettings(m_strDir + "plain/", m_cond, m_arMatch, m_arInitBody), 0);
  EXPECT_EQ(files.GetFailure().Error(), ENOTDIR);
  EXPECT_EQ(files.GetFailure().File(), m_strDir + "plain/QT10ToRX16_G.env");
  EXPECT_EQ(files.GetFailure().Texts(),
            std::vector<CString>{"集計条件ファイルの作成に失敗しました。\nファイル：" + m_strDir +
                                 "plain/QT10ToRX16_G.env\n原因：パスの途中にフォル"
                                 "ダーではないものがあります。"});
  // A folder where the file to take over belongs counts as no file.
  std::filesystem::create_directories(m_strDir + "alt/QT10ToRX16_G.env");
  EXPECT_EQ(Load(), 1);
  EXPECT_TRUE(m_arMessages.empty());
  EXPECT_EQ(ReadFile(Env()).substr(0, 22), "\"00012345\",0,0,1,0,\"\"\n");
}

TEST_F(SettingsFiles, DamagedFileAnsweredYesIsKeptAsideAndStartsOver) {
  WriteFile(Env(), "\xEF\xBB\xBF" + std::string(ENV_TEXT));  // a byte-order mark
  platform::SetLocalTimeSource([](std::tm& now) {
    now = std::tm{};
    now.tm_year = 2026 - 1900;
    now.tm_mon = 0;
    now.tm_mday = 2;
    now.tm_hour = 3;
    now.tm_min = 4;
    now.tm_sec = 5;
    return true;
  });
  m_nAnswer = IDYES;
  const int nLoaded = Load();
  platform::SetLocalTimeSource({});
  ASSERT_EQ(nLoaded, 1);
  const CString strFile = "ファイル：" + Env();
  EXPECT_EQ(m_arMessages,
            (std::vector<CString>{Line("エラーCon", strFile.c_str() + std::strlen("ファイル："), "1"),
                                  "MakeRefDataエラー\n" + strFile, ASK}));
  EXPECT_EQ(ReadFile(Env() + ".damaged-20260102-030405"), "\xEF\xBB\xBF" + std::string(ENV_TEXT));
  // Loaded as on a first run.
  EXPECT_STREQ(m_cond.szOutPath, "");
  EXPECT_EQ(m_cond.nZeiShori, 1);
  EXPECT_EQ(ReadFile(Env()).substr(0, 22), "\"00012345\",0,0,1,0,\"\"\n");
  EXPECT_EQ(m_arInitBody.size(), 44u);
}

TEST_F(SettingsFiles, InitFileMissingLeavesNoEnvironmentFile) {
  UseInitFile("");
  std::filesystem::remove(m_strInitDir + "QT10ToRX16_G_common_init.dat");
  EXPECT_EQ(Load(), 0);
  EXPECT_EQ(m_arMessages.size(), 1u);
  EXPECT_TRUE(Listing() == (std::vector<std::string>{"init"}));
  // Once the file is back the next run creates the environment file.
  m_strInitDir.clear();
  EXPECT_EQ(Load(), 1);
}

TEST_F(SettingsFiles, MakeInitOverAnExistingFileIsAllOrNothing) {
  WriteFile(Env(), ENV_TEXT);
  UseInitFile("1,811,1\r\n");
  _SG_CONDITION cond{};
  EXPECT_EQ(MyFiles().MakeInit(Env(), cond), 0);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
}

TEST_F(SettingsFiles, FailedSavesLeaveThePreviousFile) {
  WriteFile(Env(), ENV_TEXT);
  ASSERT_EQ(Load(), 1);
  m_cond.nKikanTo = 12;

  const CSetGaiFile files = MyFiles();
  const auto Save = [&](const CString& strFolder, const CString& strFile) {
    return files.SaveSettings(strFolder, strFile, m_cond, FALSE, "", m_arMatch);
  };
  const CString strLong(252, 'e');  // leaves no room for the temporary file's name
  WriteFile(m_strDir + strLong, "old");
  std::filesystem::create_directories(m_strDir + "dir.env/keep");
  WriteFile(m_strDir + "plain", "x");
  const struct {
    CString strFolder, strFile, strReason;
  } cases[] = {
      {m_strDir + "plain/", "QT10ToRX16_G.env", "パスの途中にフォルダーではないものがあります。"},
      {m_strDir + "gone/", "QT10ToRX16_G.env", "指定されたパスが見つかりません。"},
      {m_strDir, strLong, "ファイル名が長すぎます。"},
      {m_strDir, "dir.env", "同じ名前のフォルダーがあります。"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Save(c.strFolder, c.strFile), 0);
    EXPECT_EQ(files.GetFailure().Texts(),
              std::vector<CString>{"集計条件ファイルの保存に失敗しました。\nファイル：" +
                                   c.strFolder + c.strFile + "\n原因：" + c.strReason});
  }
  // The library shows nothing itself.
  EXPECT_TRUE(m_arMessages.empty());
  EXPECT_EQ(ReadFile(m_strDir + strLong), "old");
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"QT10ToRX16_G.env", "dir.env",
                                                 std::string(strLong), "plain"}));
}

}  // namespace
