#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BooksCsvImporter.h"
#include "CFinGaiSum.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CManagementDb.h"
#include "Cp932.h"
#include "FinGaiGlobals.h"
#include "MAXDATACOUNT.h"
#include "ProgramResources.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;

namespace {

_SG_INIT_BODY Item(short nNo, BYTE nKubun, const char* szTag) {
  _SG_INIT_BODY body{};
  body.nGaiNo = nNo;
  body.nTaisyaku = 2;
  body.nKubun = nKubun;
  std::strcpy(body.szSeikaku, "ALL");
  std::strcpy(body.szTag, szTag);
  return body;
}

// "path=text" for every element of the document, in document order; the
// text only for elements without element children.
void Flatten(xmlNode* pNode, const std::string& strParent, std::vector<std::string>& out) {
  for (xmlNode* p = pNode; p != nullptr; p = p->next) {
    if (p->type != XML_ELEMENT_NODE) continue;
    const std::string strPath = strParent + reinterpret_cast<const char*>(p->name);
    bool bLeaf = true;
    for (xmlNode* c = p->children; c != nullptr; c = c->next) bLeaf &= c->type != XML_ELEMENT_NODE;
    std::string strText;
    if (bLeaf) {
      xmlChar* pText = xmlNodeGetContent(p);
      strText = reinterpret_cast<const char*>(pText);
      xmlFree(pText);
    }
    out.push_back(strPath + "=" + strText);
    Flatten(p->children, strPath + "/", out);
  }
}

class ExampleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterProgramResources();
    std::string pattern = (std::filesystem::temp_directory_path() / "rx16-xmlout-XXXXXX").string();
    m_root = ::mkdtemp(pattern.data());
    ::setenv(CInstallation::ENV_PROGRAM_DIR, m_root.c_str(), 1);
    m_oldDir = std::filesystem::current_path();
    std::filesystem::current_path(m_root);  // no SUPPORT.INF here
  }
  void TearDown() override {
    std::filesystem::current_path(m_oldDir);
    ::unsetenv(CInstallation::ENV_PROGRAM_DIR);
    std::filesystem::remove_all(m_root);
  }

  std::string m_root;
  std::filesystem::path m_oldDir;
};

TEST_F(ExampleFileTest, WorkedExampleThroughTheBooks) {
  ASSERT_TRUE(CInstallation::WriteSettings(m_root, 0, "kanri.db", "ハルモア１０"));
  ASSERT_TRUE(CManagementDb::Create(m_root + "/kanri.db", 0));
  CInstallation installation;
  ASSERT_TRUE(installation.Load());
  BooksCsvImporter importer;
  ASSERT_TRUE(importer.Import(installation, RX16_TEST_DATA_DIR "/xmlout/example"))
      << (importer.m_arError.empty() ? "" : importer.m_arError.front());

  CJetAccess jet;
  MAXDATACOUNT limits{};
  ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
  ASSERT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);
  g_pJetAccess = &jet;
  g_pKaikei = &kaikei;

  _SG_CONDITION cond{};
  cond.nKikanFrom = 4;
  cond.nKikanTo = 3;
  const std::string strOut = m_root + "/out.xml";
  std::strcpy(cond.szOutPath, strOut.c_str());
  CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> arMatch = {{1, 401, 2}, {3, 402, 2}, {}};
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arBody = {
      Item(1, 1, "A01"), Item(2, 1, "A02"), Item(3, 12, "U"), {}};
  {
    CFinGaiSum sum(nullptr);
    ASSERT_TRUE(sum.Init(cond, &arKamoku, &arMatch, &arBody, 2));
    ASSERT_TRUE(sum.Run(nullptr));
  }
  jet.Term();
  g_pJetAccess = nullptr;
  g_pKaikei = nullptr;

  std::ifstream in(strOut, std::ios::binary);
  const std::string strRaw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string strDecl = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
  ASSERT_EQ(strRaw.substr(0, strDecl.size()), strDecl);
  std::string strUtf8;
  ASSERT_TRUE(cp932::ToUtf8(strRaw, strUtf8)) << "not CP932";

  xmlDoc* pDoc = xmlReadMemory(strUtf8.data(), static_cast<int>(strUtf8.size()), "out.xml", "UTF-8",
                               XML_PARSE_NONET);
  ASSERT_NE(pDoc, nullptr);
  std::vector<std::string> actual;
  Flatten(xmlDocGetRootElement(pDoc), "", actual);
  xmlFreeDoc(pDoc);

  // Expected texts in UTF-8, as the parser gives them.
  std::vector<std::string> expected = {
      "REPORT=",
      "REPORT/SYSTEM=",
      "REPORT/SYSTEM/GYOUMUPREFIX=RX16",
      "REPORT/SYSTEM/VERSION=1",
      "REPORT/SYSTEM/FUNCTIONID=2",
      "REPORT/SYSTEM/CONNECTEDPROGRAMVER=10.00.00",
      reinterpret_cast<const char*>(u8"REPORT/SYSTEM/PROGRAMNAME=ハルモア１０"),
      "REPORT/SYSTEM/PROGRAMVER=10.00.00",
      "REPORT/BASIC=",
      reinterpret_cast<const char*>(u8"REPORT/BASIC/KOMONSAKINAME=みどり農産"),
      "REPORT/BASIC/JIGYOUNENDOFROM=20160401",
      "REPORT/BASIC/JIGYOUNENDOTO=20170331",
      "REPORT/DATA=",
      "REPORT/DATA/SYUYOUKAMOKU=",
      "REPORT/DATA/SYUYOUKAMOKU/A01=12345678",
      "REPORT/DATA/SYUYOUKAMOKU/A02=",
      "REPORT/DATA/TUKIBETUURIAGEDAKA="};
  const char* months[] = {"4", "5", "6", "7", "8", "9", "10", "11", "12", "1", "2", "3"};
  for (int i = 0; i < 12; ++i) {
    const std::string nn = (i < 9 ? "0" : "") + std::to_string(i + 1);
    const std::string strBlock = "REPORT/DATA/TUKIBETUURIAGEDAKA/";
    expected.push_back(strBlock + "TUKIBETU_" + nn + "=" + months[i]);
    expected.push_back(strBlock + "U" + nn + "=" + (i == 0 ? "1000000" : i == 11 ? "250000" : ""));
  }
  EXPECT_EQ(actual, expected);
}

}  // namespace
