// The XML line builder: CP932 lines with CR LF, escaped texts, empty
// elements, and default file names that the file system takes.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "CXMLEdit.h"
#include "Cp932.h"

namespace {

class XMLEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "rx16-xml-XXXXXX").string();
    m_dir = ::mkdtemp(pattern.data());
    m_path = m_dir + "/out.xml";
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::string Read() const {
    std::ifstream in(m_path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::string m_dir, m_path;
  char m_work[256] = {};
};

}  // namespace

TEST_F(XMLEditTest, WritesIndentedEscapedLines) {
  CXMLEdit xml;
  ASSERT_EQ(0, xml.Init(nullptr, m_path.c_str()));
  ASSERT_NE(0, xml.FileWrite("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"));
  ASSERT_NE(0, xml.TopMakeRoot(m_work, "REPORT", 0, nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(0, xml.LineMakeTag(m_work, "KOMONSAKINAME", "A&B農園<\"表\">", 2, nullptr, nullptr,
                               nullptr, nullptr));
  ASSERT_NE(0, xml.LineMakeTag(m_work, "A02", "", 4, nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(0, xml.LineMakeTag(m_work, "A03", nullptr, 1, "k", "a\"b", nullptr, nullptr));
  // A product name read up to a lone LF keeps it: white space XML carries.
  ASSERT_NE(0, xml.LineMakeTag(m_work, "P", "a\nb\tc", 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(0, xml.EndMakeRoot(m_work, "REPORT", 0));
  EXPECT_EQ(0, xml.Finish());
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
      "<REPORT>\r\n"
      "    <KOMONSAKINAME>A&amp;B農園&lt;&quot;表&quot;&gt;</KOMONSAKINAME>\r\n"
      "        <A02/>\r\n"
      "  <A03 k=\"a&quot;b\"/>\r\n"
      "  <P>a\nb\tc</P>\r\n"
      "</REPORT>\r\n",
      Read());
  // The written name decodes from CP932 unchanged: 表 (0x95 0x5C) kept whole.
  std::string utf8;
  EXPECT_TRUE(cp932::ToUtf8(Read(), utf8));
}

TEST_F(XMLEditTest, RefusesWhatWouldBreakTheFile) {
  CXMLEdit xml;
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A", "1", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_NE(0, xml.Init(nullptr, (m_dir + "/none/out.xml").c_str()));
  ASSERT_EQ(0, xml.Init(nullptr, m_path.c_str()));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "", "1", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A B", "1", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A<", "1", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A", "bell\a", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A", "\x82", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.TopMakeRoot(m_work, "A", -1, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.EndMakeRoot(m_work, nullptr, 0));
  EXPECT_EQ(0, xml.FileWrite(nullptr));
  EXPECT_EQ(0, xml.Finish());
  EXPECT_EQ("", Read());
  EXPECT_NE(0, xml.Finish());
}

TEST_F(XMLEditTest, FailedWriteIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CXMLEdit xml;
  ASSERT_EQ(0, xml.Init(nullptr, "/dev/full"));
  EXPECT_EQ(0, xml.LineMakeTag(m_work, "A", "1", 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, xml.EndMakeRoot(m_work, "A", 0));  // nothing more after a failure
  EXPECT_NE(0, xml.Finish());
}

TEST(MakeInitFNameTest, NameCarriesFormBusinessAndYear) {
  CXMLEdit xml;
  char out[CXMLEdit::MAX_INIT_FNAME + 8];
  std::memset(out, 'X', sizeof out);
  xml.MakeInitFName("内訳概況書(概況書用)", "みどり農産株式会社", 2016, out);
  EXPECT_STREQ("内訳概況書(概況書用)_みどり農産株式会社_2016.xml", out);

  xml.MakeInitFName("内訳概況書(概況書用)", "A/B:C*農園", 2017, out);
  EXPECT_STREQ("内訳概況書(概況書用)_A_B_C_農園_2017.xml", out);

  // 表 ends in 0x5C and ソ in 0x5C: kept whole, not taken for "\".
  xml.MakeInitFName("form", "表ソ\\", 2018, out);
  EXPECT_STREQ("form_表ソ__2018.xml", out);

  // A long business name is cut on a character boundary.
  std::string longName;
  for (int i = 0; i < 80; ++i) longName += "農";
  xml.MakeInitFName("内訳概況書(概況書用)", longName.c_str(), 2016, out);
  const std::string name = out;
  EXPECT_LT(name.size(), static_cast<std::size_t>(CXMLEdit::MAX_INIT_FNAME));
  EXPECT_EQ(".xml", name.substr(name.size() - 4));
  EXPECT_NE(std::string::npos, name.find("_2016.xml"));
  std::string utf8;
  EXPECT_TRUE(cp932::ToUtf8(name, utf8));
}
