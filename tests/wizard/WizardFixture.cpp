#include "WizardFixture.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "BooksCsvImporter.h"
#include "CHeadlessScript.h"
#include "CHostObjects.h"
#include "CInstallation.h"
#include "CManagementDb.h"
#include "CSetGaiSht.h"
#include "Cp932.h"
#include "MAXDATACOUNT.h"
#include "ProgramResources.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;
CConv* g_pConv = nullptr;

namespace wizardtest {

std::string Utf8(const CString& str) {
  std::string out;
  EXPECT_TRUE(cp932::ToUtf8(str, out)) << str;
  return out;
}

void WizardFixture::SetUp() {
  std::string strPattern = (std::filesystem::temp_directory_path() / "rx16-wizard-XXXXXX").string();
  ASSERT_NE(nullptr, ::mkdtemp(strPattern.data()));
  m_strRoot = strPattern;
  m_strDocs = m_strRoot + "/docs";
  std::filesystem::create_directories(m_strDocs);
  std::filesystem::create_directories(m_strRoot + "/books");
  m_envProgram.emplace(CInstallation::ENV_PROGRAM_DIR, m_strRoot);
  m_envDocs.emplace("XDG_DOCUMENTS_DIR", m_strDocs);
  m_envConfig.emplace("XDG_CONFIG_HOME", m_strRoot + "/config");

  const short nEdition =
      m_bCooperative ? CInstallation::EDITION_COOPERATIVE : CInstallation::EDITION_REGULAR;
  ASSERT_TRUE(CInstallation::WriteSettings(m_strRoot, nEdition, "books/kanri.db", "ハルモア１０"));
  ASSERT_TRUE(CManagementDb::Create(m_strRoot + "/books/kanri.db", nEdition));
  CInstallation installation;
  ASSERT_TRUE(installation.Load(m_strRoot));
  const std::filesystem::path data = std::filesystem::path(RX16_SOURCE_DIR) / "data";
  const auto books = m_bCooperative ? std::vector<const char*>{"kp-tanaka"}
                                    : std::vector<const char*>{"midori", "hatake"};
  for (const char* pszBooks : books) {
    BooksCsvImporter importer;
    ASSERT_TRUE(importer.Import(installation, data / "books" / pszBooks)) << pszBooks;
  }
  // The program finds the common initial-data file in its current folder.
  const std::string strInit = Prefix() + "ToRX16_G_common_init.dat";
  std::filesystem::copy_file(data / strInit, m_strRoot + "/" + strInit);
  m_oldCwd = std::filesystem::current_path();
  std::filesystem::current_path(m_strRoot);

  RegisterProgramResources();
  m_backend.Transcript().UseBuffer();
  m_pOldBackend = SetUiBackend(&m_backend);
}

void WizardFixture::TearDown() {
  SetUiBackend(m_pOldBackend);
  g_pJetAccess = nullptr;
  g_pKaikei = nullptr;
  g_pConv = nullptr;
  if (m_pJet) m_pJet->Term();
  std::filesystem::current_path(m_oldCwd);
  std::error_code ec;
  std::filesystem::remove_all(m_strRoot, ec);
}

void WizardFixture::OpenBooks(const char* pszDataId) {
  m_pJet = std::make_unique<CJetAccess>();
  MAXDATACOUNT limits{};
  ASSERT_EQ(0, m_pJet->MasterInit(&limits, &limits));
  ASSERT_EQ(0, m_pJet->Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr));
  short nCount = 0;
  ASSERT_EQ(0, m_pJet->GetDataSetCount(&nCount));
  BOOL bFound = FALSE;
  for (short i = 0; i < nCount && !bFound; ++i) {
    ASSERT_EQ(0, m_pJet->SelectDataSet(i));
    S_KANRI2 kanri2{};
    ASSERT_EQ(0, m_pJet->ReadKanri2(&kanri2));
    bFound = CString(kanri2.szDataID) == pszDataId;
  }
  ASSERT_TRUE(bFound) << pszDataId;
  m_strDataPath = m_pJet->GetSelectedDataPath();

  short nTitles = 0;
  ASSERT_EQ(0, m_pJet->GetKanKamokuCount(&nTitles));
  m_arKamoku.assign(static_cast<std::size_t>(nTitles), S_KANKAMOKU{});
  short nRead = 0;
  ASSERT_EQ(0, m_pJet->ReadKanKamoku(m_arKamoku.data(), 0, nTitles, &nRead, 0));
  m_arKamoku.resize(static_cast<std::size_t>(nRead));

  m_pYmd = std::make_unique<CYmd>();
  m_pKumiSen = std::make_unique<CKumiSen>(m_pJet.get(), 0);
  m_pKaikei = std::make_unique<CKaikei>(m_pJet.get(), m_pYmd.get(), m_pKumiSen.get());
  m_pConv = std::make_unique<CConv>();
  g_pJetAccess = m_pJet.get();
  g_pKaikei = m_pKaikei.get();
  g_pConv = m_pConv.get();
}

void WizardFixture::SetScript(const std::string& strScript) {
  CHeadlessScript script;
  CString strError;
  ASSERT_TRUE(script.Parse(strScript, strError)) << strError;
  m_backend.SetScript(script.Steps());
}

int WizardFixture::RunSheet(const std::string& strScript, const CString& strLinkParam) {
  SetScript(strScript);
  m_arMatch.clear();
  m_arInitBody.clear();
  CSetGaiSht sheet(&m_arKamoku, &m_arMatch, &m_arInitBody);
  sheet.m_strDataPath = m_strDataPath;
  sheet.m_strLinkParam = strLinkParam;
  const int nResult = sheet.DispSheet(nullptr);
  m_cond = sheet.m_cond;
  return nResult;
}

std::string WizardFixture::EnvPath() const { return m_strDataPath + Prefix() + "ToRX16_G.env"; }

std::string WizardFixture::ReadEnv() const {
  std::ifstream in(EnvPath(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WizardFixture::WriteEnv(const std::string& strText) const {
  std::ofstream out(EnvPath(), std::ios::binary | std::ios::trunc);
  out << strText;
}

std::string WizardFixture::Event(std::initializer_list<std::string> fields) {
  std::string strLine;
  for (const std::string& f : fields) strLine += (strLine.empty() ? "" : "\t") + f;
  return strLine + "\n";
}

std::string WizardFixture::Warning(const std::string& strText) {
  return Event({"msgbox", "warning", U8(u8"内訳概況書のミラベル（概況書）"), strText, "ok", "ok"});
}

}  // namespace wizardtest
