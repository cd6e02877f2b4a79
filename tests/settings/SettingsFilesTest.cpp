// Environment file and common initial-data file, on real files.

#include <unistd.h>

#include "SettingsFixture.h"

namespace {

const char ENV_TEXT[] = "\"00012345\",4,3,1,0,\"/data/out.xml\"\n1,811,1\n1,812,1\n";

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
  int Load() { return MyFiles().LoadSettings(m_strDir, m_cond, m_arMatch, m_arInitBody); }
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
  ASSERT_EQ(Save("/data/out.xml"), 1);
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
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
  EXPECT_EQ(m_arMessages, row.messages);
  EXPECT_EQ(ReadFile(Env()), row.env);  // left as it was, or still missing
  EXPECT_FALSE(std::filesystem::exists(Env() + ".tmp"));
}

const std::string GOOD = "MATCHES-1,0,0\r\nITEMS";
const CString REF = "MakeRefDataエラー";

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadFailures,
    ::testing::Values(
        LoadFailure{"InitMissingWhenCreating", "", "-", {}},
        LoadFailure{"NoTerminatorWhenCreating", "", "MATCHES", {"エラーmakeinit"}},
        LoadFailure{"TerminatorMissingAFieldWhenCreating",
                    "",
                    "1,811,1\r\n-1,0,\r\nITEMS",
                    {"エラーmakeinit"}},
        LoadFailure{"EmptyEnvironmentFile", "\n", "", {"エラーCon", REF}},
        LoadFailure{"ConditionMalformed", "\"1\",4,3\n", "", {"エラーCon", REF}},
        LoadFailure{"FirstMatchMalformed",
                    "\"1\",4,3,1,0,\"\"\n1,x y,1\n1,812,1\n",
                    "",
                    {"エラーmatch", REF}},
        LoadFailure{
            "LastMatchMalformed", "\"1\",4,3,1,0,\"\"\n1,811,1\n1,812\n", "", {"エラーmatch", REF}},
        LoadFailure{"InitMissingWhenLoading", ENV_TEXT, "-", {REF}},
        LoadFailure{"NoTerminatorWhenLoading", ENV_TEXT, "MATCHES", {"エラーinit", REF}},
        LoadFailure{"MatchMalformedBeforeTerminator",
                    ENV_TEXT,
                    "1,2,3,4\r\n-1,0,0\r\nITEMS",
                    {"エラーinit", REF}},
        LoadFailure{"FirstItemMalformed",
                    ENV_TEXT,
                    "-1,0,0\r\n1,\"a,1,0,,URIAGE,X\r\nITEMS",
                    {"エラーInit", REF}},
        LoadFailure{"LastItemMalformed", ENV_TEXT, GOOD + "44,a,1,0\r\n", {"エラーInit", REF}},
        LoadFailure{
            "ItemMissing", ENV_TEXT, "-1,0,0\r\n1,a,1,0,,URIAGE,X\r\n", {"エラーInit", REF}}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(SettingsFiles, EnvironmentFileThatCannotBeMadeOrOpened) {
  // The data folder is a regular file: nothing can be created, no message.
  WriteFile(m_strDir + "plain", "x");
  EXPECT_EQ(MyFiles().LoadSettings(m_strDir + "plain/", m_cond, m_arMatch, m_arInitBody), 0);
  EXPECT_TRUE(m_arMessages.empty());
  // The file to take over cannot be copied, so there is none to open.
  std::filesystem::create_directories(m_strDir + "alt/QT10ToRX16_G.env");
  EXPECT_EQ(Load(), 0);
  EXPECT_EQ(m_arMessages, std::vector<CString>{"MakeRefDataエラー"});
  EXPECT_FALSE(std::filesystem::exists(Env()));
}

TEST_F(SettingsFiles, InitFileMissingLeavesNoEnvironmentFile) {
  UseInitFile("");
  std::filesystem::remove(m_strInitDir + "QT10ToRX16_G_common_init.dat");
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(m_arMessages.empty());
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

  // The folder is a regular file.
  WriteFile(m_strDir + "plain", "x");
  EXPECT_EQ(
      MyFiles().SaveSettings(m_strDir + "plain/", "QT10ToRX16_G.env", m_cond, FALSE, "", m_arMatch),
      0);
  // The data folder vanished.
  EXPECT_EQ(
      MyFiles().SaveSettings(m_strDir + "gone/", "QT10ToRX16_G.env", m_cond, FALSE, "", m_arMatch),
      0);
  // A file name that leaves no room for the temporary file's suffix.
  const CString strLong(252, 'e');
  WriteFile(m_strDir + strLong, "old");
  EXPECT_EQ(MyFiles().SaveSettings(m_strDir, strLong, m_cond, FALSE, "", m_arMatch), 0);
  EXPECT_EQ(ReadFile(m_strDir + strLong), "old");
  // The target is a folder: the rename fails after the whole file was written.
  std::filesystem::create_directories(m_strDir + "dir.env/keep");
  EXPECT_EQ(MyFiles().SaveSettings(m_strDir, "dir.env", m_cond, FALSE, "", m_arMatch), 0);

  EXPECT_TRUE(m_arMessages.empty());
  EXPECT_EQ(ReadFile(Env()), ENV_TEXT);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"QT10ToRX16_G.env", "dir.env",
                                                 std::string(strLong), "plain"}));
}

}  // namespace
