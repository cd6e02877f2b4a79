// Reading an intermediate file back: the element texts by name, whatever
// the layout, and a clear refusal of what is not such a file.

#include <gtest/gtest.h>

#include "CReportFile.h"

namespace {

TEST(ReportFile, ElementTextsWhateverTheLayout) {
  const std::string strXml =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!-- <REPORT> in a comment -->\r\n"
      "<REPORT>\r\n  <BASIC>\r\n    <KOMONSAKINAME>表&amp;裏 &lt;株&gt;</KOMONSAKINAME>\r\n"
      "    <URIAGE/>\r\n    <GENKA kind=\"1\">\r\n   -1234\r\n</GENKA>\r\n  </BASIC>\r\n"
      "</REPORT>\r\n";
  std::map<CString, CString> mapText;
  ASSERT_TRUE(CReportFile::Parse(strXml, "REPORT", mapText));
  EXPECT_EQ(mapText.at("KOMONSAKINAME"), "表&裏 <株>");
  EXPECT_EQ(mapText.at("URIAGE"), "");
  EXPECT_EQ(mapText.at("GENKA"), "-1234");
}

TEST(ReportFile, WhatIsNoIntermediateFile) {
  const char* const arXml[] = {
      "",
      "[=製品名=]ハルモア",
      "<OTHER><A>1</A></OTHER>",
      "<REPORT><A>1</B></REPORT>",
      "<REPORT><A>1</A>",
      "<REPORT/><REPORT/>",
      "<REPORT><A>1</A></REPORT><B/>",
      "<REPORT><A>1",
      "<REPORT><!-- open",
  };
  for (const char* pszXml : arXml) {
    std::map<CString, CString> mapText;
    EXPECT_FALSE(CReportFile::Parse(pszXml, "REPORT", mapText)) << pszXml;
  }
}

}  // namespace
