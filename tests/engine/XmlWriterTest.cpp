#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CFinGaiXML.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "Cp932.h"
#include "FakeHost.h"
#include "CHostObjects.h"
#include "ProgramResources.h"
#include "WinMessageBox.h"

namespace {

tag_DATA Data(const char* szTag, BYTE nKubun, std::vector<std::pair<int, double>> slots = {}) {
  tag_DATA d{};
  d.nKubun = nKubun;
  std::strcpy(d.szTag, szTag);
  for (const auto& [k, v] : slots) d.dAmount[k] = v;
  return d;
}

// Runs each test in a folder of its own, where SUPPORT.INF is looked for.
class XmlWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterProgramResources();
    fake::Reset();
    g_pJetAccess = &m_jet;
    g_pKaikei = &m_kaikei;
    m_prevHandler = SetMessageBoxHandler([this](HWND, const CString& text, const CString&, UINT) {
      m_arMessage.push_back(text);
      return IDOK;
    });
    m_dir = std::filesystem::temp_directory_path() /
            ("xmlwriter-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir);
    m_oldDir = std::filesystem::current_path();
    std::filesystem::current_path(m_dir);
    WriteSupport("");
    std::strcpy(m_cond.szOutPath, (m_dir / "out.xml").c_str());
    m_cond.nKikanFrom = 4;
    m_cond.nKikanTo = 3;
  }
  void TearDown() override {
    std::filesystem::current_path(m_oldDir);
    std::filesystem::remove_all(m_dir);
    SetMessageBoxHandler(m_prevHandler);
  }

  void WriteSupport(const std::string& strBytes) {
    std::ofstream(m_dir / "SUPPORT.INF", std::ios::binary) << strBytes;
  }
  // The recorded lines whose tag starts with the prefix.
  std::vector<std::string> Lines(const std::string& strPrefix) {
    std::vector<std::string> out;
    for (const fake::XmlCall& c : fake::State().arXml) {
      if (c.cKind == 'L' && c.strTag.starts_with(strPrefix))
        out.push_back(c.strTag + "=" + c.strText);
    }
    return out;
  }
  std::string Text(const std::string& strTag) {
    for (const fake::XmlCall& c : fake::State().arXml) {
      if (c.cKind == 'L' && c.strTag == strTag) return c.strText;
    }
    return "<absent>";
  }

  CJetAccess m_jet;
  CKaikei m_kaikei{nullptr, nullptr, nullptr};
  MessageBoxHandler m_prevHandler;
  std::vector<CString> m_arMessage;
  std::filesystem::path m_dir, m_oldDir;
  _SG_CONDITION m_cond{};
};

TEST_F(XmlWriterTest, WritesTheReportSkeletonInOrder) {
  const std::vector<tag_DATA> items = {Data("A01", 1, {{0, 12'000'000'000.0}, {5, 345'678'900.0}}),
                                       Data("A02", 1),
                                       Data("U", 12, {{0, 1'000'000}, {12, 250'000}})};
  CFinGaiXML xml(nullptr);
  ASSERT_TRUE(xml.Write(m_cond, items, 2));
  // The builder writes a hidden file beside the target.
  const std::vector<std::string> lines = fake::XmlLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines[0].starts_with("I 0 =" + (m_dir / ".out.xml.").string())) << lines[0];
  std::vector<std::string> expected = {lines[0],
                                       "W 0 =<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n",
                                       "O 0 REPORT=",
                                       "O 1 SYSTEM=",
                                       "L 2 GYOUMUPREFIX=RX16",
                                       "L 2 VERSION=1",
                                       "L 2 FUNCTIONID=2",
                                       "L 2 CONNECTEDPROGRAMVER=10.00.00",
                                       "L 2 PROGRAMNAME=ハルモア１０",
                                       "L 2 PROGRAMVER=10.00.00",
                                       "C 1 SYSTEM=",
                                       "O 1 BASIC=",
                                       "L 2 KOMONSAKINAME=みどり農産",
                                       "L 2 JIGYOUNENDOFROM=20160401",
                                       "L 2 JIGYOUNENDOTO=20170331",
                                       "C 1 BASIC=",
                                       "O 1 DATA=",
                                       "O 3 SYUYOUKAMOKU=",
                                       "L 4 A01=12345678",
                                       "L 4 A02=",
                                       "C 3 SYUYOUKAMOKU=",
                                       "O 3 TUKIBETUURIAGEDAKA="};
  const char* months[] = {"4", "5", "6", "7", "8", "9", "10", "11", "12", "1", "2", "3"};
  for (int i = 0; i < 12; ++i) {
    const std::string nn = (i < 9 ? "0" : "") + std::to_string(i + 1);
    expected.push_back("L 4 TUKIBETU_" + nn + "=" + months[i]);
    expected.push_back("L 4 U" + nn + "=" + (i == 0 ? "1000000" : i == 11 ? "250000" : ""));
  }
  for (const char* s : {"C 3 TUKIBETUURIAGEDAKA=", "C 1 DATA=", "C 0 REPORT=", "F 0 ="}) {
    expected.push_back(s);
  }
  EXPECT_EQ(lines, expected);
  EXPECT_TRUE(m_arMessage.empty());
}

TEST_F(XmlWriterTest, FiguresAndTheEndOfTheMainBlock) {
  m_cond.nKikanFrom = 10;
  const std::vector<tag_DATA> items = {
      Data("NEG", 1, {{3, -1'500'000}}), Data("ZERO", 1, {{0, 999}}), Data("", 1, {{0, 5000}}),
      Data("M", 12, {{0, 0.4}, {11, -2000}, {12, 500}}), Data("AFTER", 1, {{0, 7000}})};
  CFinGaiXML xml(nullptr);
  ASSERT_TRUE(xml.Write(m_cond, items, 2));
  EXPECT_EQ(Lines("NEG"), std::vector<std::string>{"NEG=-1500"});
  EXPECT_EQ(Text("ZERO"), "");           // below a thousand yen is 0 after conversion
  EXPECT_EQ(Text("AFTER"), "<absent>");  // behind a monthly item: in neither block
  EXPECT_EQ(Text("M01"), "0");
  EXPECT_EQ(Text("M12"), "-1500");
  EXPECT_EQ(Lines("TUKIBETU_"),
            (std::vector<std::string>{"TUKIBETU_01=10", "TUKIBETU_02=11", "TUKIBETU_03=12",
                                      "TUKIBETU_04=1", "TUKIBETU_05=2", "TUKIBETU_06=3",
                                      "TUKIBETU_07=4", "TUKIBETU_08=5", "TUKIBETU_09=6",
                                      "TUKIBETU_10=7", "TUKIBETU_11=8", "TUKIBETU_12=9"}));
}

TEST_F(XmlWriterTest, MonthlyColumnsBeyondTheTextOrTheTableAreLeftOut) {
  std::vector<tag_DATA> items;
  const std::string strLong(49, 'L');  // no room left for the month digits
  items.push_back(Data(strLong.c_str(), 12, {{0, 1}}));
  const std::string strFit(48, 'F');
  items.push_back(Data(strFit.c_str(), 12, {{0, 2}}));
  for (char c = 'a'; c <= 'h'; ++c) items.push_back(Data(std::string(1, c).c_str(), 13, {{0, 3}}));
  CFinGaiXML xml(nullptr);
  ASSERT_TRUE(xml.Write(m_cond, items, 2));
  EXPECT_EQ(Text(strFit + "01"), "2");
  EXPECT_EQ(Text("g01"), "3");
  EXPECT_EQ(Text("h01"), "<absent>");  // the ninth column
  EXPECT_TRUE(Lines("L").empty());
  EXPECT_EQ(Lines("g").size(), 12u);
}

TEST_F(XmlWriterTest, BusinessNameIsFullWidthAndCutAtACharacterBoundary) {
  struct Case {
    std::string strName, strExpected;
  };
  std::string strKanji20, strKanji16;
  for (int i = 0; i < 20; ++i) strKanji20 += "農";
  for (int i = 0; i < 16; ++i) strKanji16 += "農";
  const Case cases[] = {{"ABCDEFGHIJKLMNOPQ", "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ"},
                        {strKanji20, strKanji16},
                        {"ｶﾞｰﾃﾞﾝ 1", "ガーデン　１"},
                        {"A" + strKanji20, "Ａ" + strKanji16.substr(0, 30)},
                        // Too long for the mapped text: still its first 32 bytes in full width.
                        {std::string(60, '7') + "X", "７７７７７７７７７７７７７７７７"}};
  for (const Case& c : cases) {
    fake::State().arXml.clear();
    std::memset(fake::State().kanri.szJigyoName, 0, sizeof fake::State().kanri.szJigyoName);
    std::memcpy(fake::State().kanri.szJigyoName, c.strName.data(), c.strName.size());
    CFinGaiXML xml(nullptr);
    ASSERT_TRUE(xml.Write(m_cond, {}, 2));
    EXPECT_EQ(Text("KOMONSAKINAME"), c.strExpected) << c.strName;
  }
}

TEST_F(XmlWriterTest, SupportFileGivesNameAndVersion) {
  struct Case {
    std::string strFile, strName, strVer;
  };
  const std::string strLongVer = std::string(254, 'v') + "版x";
  const Case cases[] = {
      {"[=製品名=]ハルモア１０ Pro\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]10.02.00\r\n\x1A", "ハルモア１０ Pro",
       "10.02.00"},
      {"[=製品名=]\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]\r\n", "ハルモア１０", "10.00.00"},
      {"[=製品名=]first\r\n[=製品名=]second\r\n", "first", "10.00.00"},
      {"[=製品名=]A\nB\r\nC", "A\nB", "10.00.00"},
      {"[=製品ﾊﾞｰｼﾞｮﾝ=]9.9", "ハルモア１０", "9.9"},  // last line without a line end
      {"[=製品ﾊﾞｰｼﾞｮﾝ=]" + strLongVer + "\r\n", "ハルモア１０", std::string(254, 'v')},
      // Values the file cannot carry: a control byte, a byte that is no CP932.
      {"[=製品名=]A\x01B\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]10\xFF\r\n", "ハルモア１０", "10.00.00"},
      {"", "ハルモア１０", "10.00.00"}};
  for (const Case& c : cases) {
    WriteSupport(c.strFile);
    fake::State().arXml.clear();
    CFinGaiXML xml(nullptr);
    ASSERT_TRUE(xml.Write(m_cond, {}, 2));
    EXPECT_EQ(Text("PROGRAMNAME"), c.strName) << c.strFile;
    EXPECT_EQ(Text("PROGRAMVER"), c.strVer) << c.strFile;
  }
}

TEST_F(XmlWriterTest, SupportBufferEndsAtItsSize) {
  // The key sits at the end of a file longer than the buffer: only the
  // buffer's bytes are searched, and the value ends with them.
  WriteSupport(std::string(CFinGaiXML::SUPPORT_SIZE - 13, '.') + "[=製品名=]ABCDEF\r\n");
  CFinGaiXML xml(nullptr);
  EXPECT_STREQ(xml.GetSupportInfo(0), "ABC");
  EXPECT_STREQ(xml.GetSupportInfo(1), "");
  EXPECT_STREQ(xml.GetSupportInfo(2), "");
}

TEST_F(XmlWriterTest, FailuresAreReturnedAndKeepTheEarlierReport) {
  const std::filesystem::path out = m_dir / "out.xml";
  std::ofstream(out, std::ios::binary) << "earlier";
  std::filesystem::permissions(out, std::filesystem::perms(0640));
  const auto Earlier = [&] {
    std::ifstream in(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {}) == "earlier" &&
           std::distance(std::filesystem::directory_iterator(m_dir), {}) == 2;  // and SUPPORT.INF
  };
  const CString strFile = CString("\nファイル：") + out.c_str();

  fake::State().nFailXmlCall = 6;  // FUNCTIONID, refused without a system error
  CFinGaiXML xml(nullptr);
  EXPECT_FALSE(xml.Write(m_cond, {}, 2));
  EXPECT_EQ(fake::XmlLines().back(), "F 0 =");
  EXPECT_EQ(xml.GetFailure().Texts(),
            std::vector<CString>{"中間ファイルの出力に失敗しました。\nFUNCTIONID"
                                 "の値に出力できない文字が含まれています。" +
                                 strFile});
  EXPECT_TRUE(Earlier());

  // The builder writes to a file beside the target, which replaces it whole
  // with the target's mode.
  fake::Reset();
  EXPECT_TRUE(xml.Write(m_cond, {}, 2));
  EXPECT_FALSE(xml.GetFailure().Failed());
  const std::string strTemp = fake::State().arXml.front().strText;
  EXPECT_EQ(std::filesystem::path(strTemp).parent_path(), m_dir);
  EXPECT_NE(strTemp, out.string());
  EXPECT_TRUE(std::filesystem::is_empty(out));
  EXPECT_EQ(std::filesystem::status(out).permissions(), std::filesystem::perms(0640));

  fake::Reset();
  std::strcpy(m_cond.szOutPath, (m_dir / "gone" / "out.xml").c_str());
  EXPECT_FALSE(xml.Write(m_cond, {}, 2));
  EXPECT_TRUE(fake::State().arXml.empty());
  EXPECT_EQ(xml.GetFailure().Texts(),
            std::vector<CString>{CString("中間ファイルの出力に失敗しました。\nファイル：") +
                                 (m_dir / "gone" / "out.xml").c_str() +
                                 "\n原因：指定されたパスが見つかりません。"});
  EXPECT_EQ(xml.GetFailure().File(), (m_dir / "gone" / "out.xml").string());
  EXPECT_EQ(xml.GetFailure().Error(), ENOENT);

  fake::Reset();
  fake::State().bFailReadKanri = true;
  EXPECT_FALSE(xml.Write(m_cond, {}, 2));
  EXPECT_TRUE(fake::State().arXml.empty());
  EXPECT_EQ(xml.GetFailure().Texts(), std::vector<CString>{"管理ﾌｧｲﾙの読み込みに失敗しました。"});
  // The writer shows nothing itself: its caller shows what it returned.
  EXPECT_TRUE(m_arMessage.empty());
}

}  // namespace
