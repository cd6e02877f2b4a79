#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BooksCsvImporter.h"
#include "BooksData.h"
#include "BooksFolderReader.h"
#include "CFinGaiSum.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CManagementDb.h"
#include "CSetGaiFile.h"
#include "Cp932.h"
#include "CHostObjects.h"
#include "MAXDATACOUNT.h"
#include "ProgramResources.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;

namespace {

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
    std::filesystem::current_path(m_root);
    // An empty SUPPORT.INF: the built-in name and version.
    std::ofstream(m_root + "/SUPPORT.INF");
    m_strOut = m_root + "/out.xml";
  }
  void TearDown() override {
    m_jet.Term();
    g_pJetAccess = nullptr;
    g_pKaikei = nullptr;
    std::filesystem::current_path(m_oldDir);
    ::unsetenv(CInstallation::ENV_PROGRAM_DIR);
    std::filesystem::remove_all(m_root);
  }

  // A scratch installation holding the books of that folder as its data set.
  void Import(const std::string& strFolder) {
    ASSERT_TRUE(CInstallation::WriteSettings(m_root, 0, "kanri.db", "ハルモア１０"));
    ASSERT_TRUE(CManagementDb::Create(m_root + "/kanri.db", 0));
    CInstallation installation;
    ASSERT_TRUE(installation.Load());
    BooksCsvImporter importer;
    ASSERT_TRUE(importer.Import(installation, strFolder))
        << (importer.m_arError.empty() ? "" : importer.m_arError.front());
    MAXDATACOUNT limits{};
    ASSERT_EQ(0, m_jet.MasterInit(&limits, &limits));
    ASSERT_EQ(0, m_jet.Init("TOKA", 0, 0, nullptr));
    ASSERT_EQ(0, m_jet.SelectDataSet(0));
    g_pJetAccess = &m_jet;
    g_pKaikei = &m_kaikei;
  }

  // The file at m_strOut, checked to start with the declaration and to be
  // CP932, as "path=text" lines.
  std::vector<std::string> ReadBack() {
    std::ifstream in(m_strOut, std::ios::binary);
    const std::string strRaw((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    const std::string strDecl = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
    EXPECT_EQ(strRaw.substr(0, strDecl.size()), strDecl);
    std::string strUtf8;
    EXPECT_TRUE(cp932::ToUtf8(strRaw, strUtf8)) << "not CP932";
    std::vector<std::string> lines;
    xmlDoc* pDoc = xmlReadMemory(strUtf8.data(), static_cast<int>(strUtf8.size()), "out.xml",
                                 "UTF-8", XML_PARSE_NONET);
    EXPECT_NE(pDoc, nullptr);
    if (pDoc != nullptr) {
      Flatten(xmlDocGetRootElement(pDoc), "", lines);
      xmlFreeDoc(pDoc);
    }
    return lines;
  }

  std::string m_root;
  std::string m_strOut;
  std::filesystem::path m_oldDir;
  CJetAccess m_jet;
  CKaikei m_kaikei{&m_jet, nullptr, nullptr};
};

// The figure of the element with that tag in the main block, as a number.
long long MainFigure(const std::vector<std::string>& lines, const std::string& strTag) {
  const std::string strKey = "REPORT/DATA/SYUYOUKAMOKU/" + strTag + "=";
  for (const std::string& line : lines) {
    if (line.starts_with(strKey)) return std::atoll(line.c_str() + strKey.size());
  }
  ADD_FAILURE() << strTag << " missing";
  return -1;
}

class SampleBooksTest : public ExampleFileTest,
                        public ::testing::WithParamInterface<const char*> {};

// The shipped item definitions over the sample books of every kind of
// fiscal year: sales are the year's sales, total assets the closing balance.
TEST_P(SampleBooksTest, SalesAndAssetsMatchTheJournal) {
  const std::string strFolder = RX16_SOURCE_DIR "/data/books/" + std::string(GetParam());
  Import(strFolder);
  BooksData books;
  BooksFolderReader reader;
  ASSERT_TRUE(reader.Read(strFolder, books));
  long long llSales = 0, llAssets = 0;
  auto account = [&](short nCode) {
    for (const auto& a : books.m_arAccount) {
      if (a.m_nCode == nCode) return a;
    }
    return BooksData::Account{};
  };
  auto classOf = [&](short nCode) { return account(nCode).m_strClass; };
  // Opening balances are on the account's own side (accumulated depreciation
  // is an asset account on the credit side).
  for (const auto& o : books.m_arOpening) {
    const BooksData::Account a = account(o.m_nCode);
    if (a.m_strClass == "assets") llAssets += a.m_bCredit ? -o.m_nBalance : o.m_nBalance;
  }
  for (const auto& e : books.m_arEntry) {
    llSales += (classOf(e.m_nCredit) == "sales") * e.m_nAmount;
    llSales -= (classOf(e.m_nDebit) == "sales") * e.m_nAmount;
    llAssets += (classOf(e.m_nDebit) == "assets") * e.m_nAmount;
    llAssets -= (classOf(e.m_nCredit) == "assets") * e.m_nAmount;
  }

  _SG_CONDITION cond{};
  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arBody;
  CSetGaiFile files(nullptr, FALSE);
  files.m_strInitFolder = RX16_SOURCE_DIR "/data/";
  ASSERT_TRUE(files.LoadSettings(m_jet.GetSelectedDataPath(), cond, arMatch, arBody));
  ASSERT_GE(arBody.size(), 20u);
  ASSERT_STREQ(arBody[0].szKeisan, "URIAGE");
  ASSERT_STREQ(arBody[19].szKeisan, "SHISAN");
  cond.nKikanFrom = m_kaikei.GatudoGet(static_cast<short>(books.m_start.m_nMonth),
                                       static_cast<short>(books.m_start.m_nDay));
  cond.nKikanTo = m_kaikei.GatudoGet(static_cast<short>(books.m_end.m_nMonth),
                                     static_cast<short>(books.m_end.m_nDay));
  std::strcpy(cond.szOutPath, m_strOut.c_str());
  CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku;
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(sum.Init(cond, &arKamoku, &arMatch, &arBody, 1));
  ASSERT_TRUE(sum.Run(nullptr));

  const std::vector<std::string> lines = ReadBack();
  EXPECT_EQ(MainFigure(lines, arBody[0].szTag), llSales / 1000);
  EXPECT_EQ(MainFigure(lines, arBody[19].szTag), llAssets / 1000);
}

INSTANTIATE_TEST_SUITE_P(FiscalYears, SampleBooksTest,
                         ::testing::Values("midori", "hatake", "sakura", "aozora"));

}  // namespace
