// The settings sheet end to end on the sample books, through page 1: the
// first run, the month and output-path checks with their focus moves, the
// overwrite question, saving on cancel and the launcher's fixed path.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Cp932.h"
#include "WizardFixture.h"

namespace wizardtest {
namespace {

class ConditionsPageTest : public WizardFixture {
 protected:
  std::string FirstLine() {
    const std::string strEnv = ReadEnv();
    std::string strLine = strEnv.substr(0, strEnv.find('\n'));
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    return strLine;
  }
  std::size_t LineCount() {
    const std::string strEnv = ReadEnv();
    return static_cast<std::size_t>(std::count(strEnv.begin(), strEnv.end(), '\n'));
  }
  static std::string Focus(int nID) { return Event({"focus", std::to_string(nID)}); }
  void Touch(const std::string& strPath) { std::ofstream(strPath) << "old"; }
};

TEST_F(ConditionsPageTest, FirstRunCreatesTheEnvironmentFileAndFinishingSavesTheChoices) {
  OpenBooks("00000001");  // fiscal year 2024/04/01 to 2025/03/31
  ASSERT_FALSE(std::filesystem::exists(EnvPath()));

  EXPECT_EQ(1, RunSheet("expect page 4938\nkey F8\n"));

  EXPECT_EQ(4, int{m_cond.nKikanFrom});
  EXPECT_EQ(3, int{m_cond.nKikanTo});
  EXPECT_EQ(1, int{m_cond.nZeiShori});
  const std::string strOut = m_cond.szOutPath;
  EXPECT_EQ(m_strDocs + "/", strOut.substr(0, m_strDocs.size() + 1));
  EXPECT_EQ(".xml", strOut.substr(strOut.size() - 4));
  EXPECT_EQ("\"00000001\",4,3,1,0,\"" + strOut + "\"", FirstLine());
  // The default match list, stored without its sentinel; the definitions.
  ASSERT_FALSE(m_arMatch.empty());
  EXPECT_EQ(m_arMatch.size(), LineCount());
  EXPECT_EQ(0, int{m_arMatch.back().nGaiNo});
  EXPECT_EQ(44u, m_arInitBody.size());

  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Event({"open", "sheet", U8(u8"事業概況書 - 集計条件")})));
  EXPECT_NE(std::string::npos, t.find(Event({"close", "sheet", "ok"})));
  EXPECT_EQ(std::string::npos, t.find("msgbox")) << t;
}

TEST_F(ConditionsPageTest, MonthChecksAgainstATwelveMonthYear) {
  OpenBooks("00000001");
  // Checked whichever page is showing; the refusal brings page 1 back.
  EXPECT_EQ(1, RunSheet("set 1007 13\nkey F6\nkey F6\nkey F8\nexpect page 4938\n"
                        "set 1007 0\nkey F8\n"
                        "set 1007 12\nkey F8\n"));
  EXPECT_EQ(12, int{m_cond.nKikanTo});
  const std::string strRefused = Warning(U8(u8"月度の入力に誤りがあります｡"));
  const std::string& t = Transcript();
  const std::size_t nFirst = t.find(strRefused + Event({"page", "4938"}) + Focus(1007));
  ASSERT_NE(std::string::npos, nFirst) << t;
  EXPECT_NE(std::string::npos, t.find(strRefused + Focus(1007), nFirst + 1)) << t;
  EXPECT_EQ(std::string::npos, t.find(U8(u8"会計期間内")));
}

TEST_F(ConditionsPageTest, SpanOutsideAnIrregularYearIsRefusedWithTheFocusOnTheFromMonth) {
  OpenBooks("00000003");  // fiscal year 2024/04/01 to 2024/12/31
  EXPECT_EQ(1, RunSheet("dump\nset 1007 3\nkey F8\nset 1007 12\nkey F8\n"));
  const std::string& t = Transcript();
  // The to-month starts at the month period of the fiscal end date.
  EXPECT_NE(std::string::npos, t.find(Event({"control", "1007", "edit", "1", "1", "0", "12"})));
  EXPECT_NE(std::string::npos, t.find(Event({"control", "1010", "edit", "0", "1", "0", "4"})));
  EXPECT_NE(std::string::npos,
            t.find(Warning(U8(u8"設定された月度は会計期間内に存在しません。")) + Focus(1010)))
      << t;
  EXPECT_EQ(12, int{m_cond.nKikanTo});
}

TEST_F(ConditionsPageTest, OutputPathChecksRefuseAndKeepTheSheetOpen) {
  OpenBooks("00000001");
  const std::string r = m_strRoot;
  std::filesystem::create_directories(r + "/.hidden");
  const std::string strScript =
      "set 1008 \nkey F8\n"
      "set 1008    \nkey F8\n"
      "set 1008 " +
      r +
      "/missing/out.xml\nkey F8\n"
      "set 1008 " +
      r +
      "/noext\nkey F8\n"
      "set 1008 " +
      r +
      "/a*b.xml\nkey F8\n"
      "set 1008 " +
      r +
      "/a\"b.xml\nkey F8\n"
      "set 1008 " +
      r +
      "/.hidden/b.xml\nkey F8\n"
      "set 1008 out.xml\nkey F8\n"
      "expect page 4938\nkey ESC\nanswer no\n";
  EXPECT_EQ(0, RunSheet(strScript));

  const std::string strEmpty = Warning(U8(u8"ﾌｧｲﾙ名を指定してください。")) + Focus(1008);
  const std::string strMissing = Warning(U8(u8"存在しないﾌｫﾙﾀﾞｰが指定されました。")) + Focus(1008);
  const std::string strName = Warning(U8(u8"ファイル名を指定して下さい。")) + Focus(1008);
  const std::string strFolder = Warning(U8(u8"ﾌｫﾙﾀﾞｰの入力に誤りがあります。")) + Focus(1008);
  const std::string& t = Transcript();
  std::size_t nAt = 0;
  for (const std::string* p :
       {&strEmpty, &strEmpty, &strMissing, &strName, &strName, &strName, &strName, &strFolder}) {
    nAt = t.find(*p, nAt);
    ASSERT_NE(std::string::npos, nAt) << *p << "\n" << t;
    ++nAt;
  }
  EXPECT_EQ(std::string::npos, t.find("close\tsheet\tok"));
  // Cancelled without saving: the environment file stays as first created.
  EXPECT_EQ("\"00000001\",0,0,1,0,\"\"", FirstLine());
}

TEST_F(ConditionsPageTest, OverwriteAnsweredNoKeepsTheSheetOpen) {
  OpenBooks("00000001");
  const std::string strOut = m_strRoot + "/out.xml";
  Touch(strOut);
  EXPECT_EQ(1, RunSheet("set 1008 " + strOut + "\nkey F8\nanswer no " + U8(u8"上書き") +
                        "\nexpect page 4938\nkey F8\nanswer yes\n"));
  const std::string strQuestion =
      Event({"msgbox", "exclamation", U8(u8"内訳概況書のミラベル（概況書）"),
             U8(u8"同名のファイルが存在します。 上書きしてもよろしいですか？"), "yesno", "no"});
  EXPECT_NE(std::string::npos, Transcript().find(strQuestion + Focus(1008))) << Transcript();
  EXPECT_EQ(strOut, m_cond.szOutPath);
}

TEST_F(ConditionsPageTest, CancelWithYesSavesTheValuesUnchecked) {
  OpenBooks("00000001");
  const std::string strOut = m_strRoot + "/x.xml";
  EXPECT_EQ(0, RunSheet("set 1007 15\nset 1008 " + strOut + "\nkey ESC\nanswer yes " +
                        U8(u8"保存") + "\n"));
  EXPECT_EQ("\"00000001\",4,15,1,0,\"" + strOut + "\"", FirstLine());
  EXPECT_EQ(m_arMatch.size(), LineCount());
  // A path that cannot stand in the settings line keeps the one saved before.
  EXPECT_EQ(0, RunSheet("set 1008 " + m_strRoot + "/q\"x.xml\nkey ESC\nanswer yes\n"));
  EXPECT_EQ("\"00000001\",4,15,1,0,\"" + strOut + "\"", FirstLine());
}

TEST_F(ConditionsPageTest, LauncherFixedPathIsUsedButNeverStored) {
  OpenBooks("00000001");
  const std::string strSaved = m_strRoot + "/saved.xml";
  const std::string strFixed = m_strRoot + "/fixed.xml";
  WriteEnv("\"00000001\",4,3,1,0,\"" + strSaved + "\"\n2,402,2\n");
  Touch(strFixed);  // no overwrite question for a path the launcher fixed

  EXPECT_EQ(1, RunSheet("dump\nkey F8\n", strFixed));
  EXPECT_EQ(strFixed, m_cond.szOutPath);
  EXPECT_EQ("\"00000001\",4,3,1,0,\"" + strSaved + "\"", FirstLine());
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Event({"control", "1008", "edit", "0", "1", "0", strFixed})));
  EXPECT_EQ(std::string::npos, t.find("msgbox")) << t;

  EXPECT_EQ(0, RunSheet("set 1007 2\nkey ESC\nanswer yes\n", strFixed));
  EXPECT_EQ("\"00000001\",4,2,1,0,\"" + strSaved + "\"", FirstLine());
}

TEST_F(ConditionsPageTest, FunctionKeysMoveOnlyWhereAButtonLeads) {
  OpenBooks("00000001");
  EXPECT_EQ(0, RunSheet("key ENTER\nkey F1\nkey F5\nexpect page 4938\n"
                        "key F6\nexpect page 4939\nkey F6\nexpect page 4941\n"
                        "key F6\nexpect page 4941\nkey F5\nexpect page 4939\n"
                        "key F5\nexpect page 4938\nkey ESC\nanswer no\n"));
  // Page 2's cancel asks nothing.
  EXPECT_EQ(0, RunSheet("key F6\nexpect page 4939\nkey ESC\n"));
  EXPECT_NE(std::string::npos, Transcript().rfind(Event({"close", "sheet", "cancel"})));
}

class CooperativeSheetTest : public ConditionsPageTest {
 protected:
  void SetUp() override {
    m_bCooperative = TRUE;
    ConditionsPageTest::SetUp();
  }
};

TEST_F(CooperativeSheetTest, ConditionsLiveInTheMemberFileWhoseFolderIsCreated) {
  OpenBooks("10000001");
  const std::string strFolder = m_strRoot + "/config/qt10/";
  ASSERT_FALSE(std::filesystem::exists(strFolder));
  const std::string strOut = m_strRoot + "/kp.xml";
  EXPECT_EQ(1, RunSheet("set 1007 2\nset 1008 " + strOut + "\nkey F8\n"));
  EXPECT_TRUE(std::filesystem::exists(EnvPath()));
  std::ifstream in(strFolder + "KP10ToRX16_G.env", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  // A member without a line starts with tax 0, which the page keeps.
  EXPECT_EQ("10000001:4/2/0/0/" + strOut + "\n", text.str());
}

}  // namespace
}  // namespace wizardtest
