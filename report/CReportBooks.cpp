#include "CReportBooks.h"

#include <cstring>

#include "CDenModify.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CSetGaiFile.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "CYmd.h"
#include "FinGaiGlobals.h"
#include "FolderOps.h"
#include "InitJetAccessDLL.h"
#include "InitWinLibDLL.h"
#include "MaxDataCounts.h"
#include "WinFile.h"

namespace {

const char* const kProductName = "ハルモア１０";
constexpr int kCooperativeEdition = 10;

}  // namespace

CReportBooks::CReportBooks() = default;

CReportBooks::~CReportBooks() {
  if (m_bOpen) m_pJetAccess->Term();
  if (g_pJetAccess == m_pJetAccess.get()) g_pJetAccess = nullptr;
  if (g_pKaikei == m_pKaikei.get()) g_pKaikei = nullptr;
}

bool CReportBooks::Fail(const CString& strError) {
  m_strError = strError;
  return false;
}

bool CReportBooks::OpenInstallation() {
  CValueMgr::Instance()->Set(kProductName, 0);
  if (!platform::GetProgramFolder(m_strProgramFolder) ||
      !SetCurrentDirectoryA(m_strProgramFolder.c_str())) {
    return Fail("プログラムのフォルダを開けません。");
  }
  InitJetAccessDLL();
  InitWinLibDLL();
  m_bCooperative = CValueMgr::Instance()->GetNo() >= kCooperativeEdition;

  m_pJetAccess = std::make_unique<CJetAccess>();
  const char* arFiles[] = {m_bCooperative ? "KP10.EXE" : "QT10.EXE", "SUPPORT.INF",
                           CSetGaiFile::InitFileName(m_bCooperative)};
  for (const char* pszFile : arFiles) {
    if (m_pJetAccess->CheckFile(pszFile) != 0) {
      return Fail(CString("起動に必要なﾌﾟﾛｸﾞﾗﾑﾌｧｲﾙが存在しません: ") + m_strProgramFolder + "/" +
                  pszFile);
    }
  }
  return true;
}

bool CReportBooks::Open() {
  if (!OpenInstallation()) return false;
  m_pJetAccess->MasterInit(&MAX_DATA_COUNT_FIRST, &MAX_DATA_COUNT_SECOND);

  CUtyFile uty;
  char szKanriDb[MAX_PATH] = {};
  if (uty.GetFilePath(CUtyFile::FILE_KANRIDB, szKanriDb, MAX_PATH, 4) == 0) {
    return Fail("管理DBファイルのパスが取得できませんでした。");
  }
  if (m_pJetAccess->CheckFile(szKanriDb) != 0) {
    return Fail(CString("システムファイルが存在しません: ") + szKanriDb);
  }
  if (m_pJetAccess->Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr) != 0) {
    return Fail(CString("管理DBファイルを開けません: ") + szKanriDb);
  }
  m_bOpen = true;

  m_pYmd = std::make_unique<CYmd>();
  m_pKumiSen = std::make_unique<CKumiSen>(m_pJetAccess.get(), 0);
  m_pKaikei = std::make_unique<CKaikei>(m_pJetAccess.get(), m_pYmd.get(), m_pKumiSen.get());
  m_pDenModify = std::make_unique<CDenModify>(m_pJetAccess.get(), m_pKaikei.get());
  m_pKaikei->SetDenModClass(m_pDenModify.get());
  g_pJetAccess = m_pJetAccess.get();
  g_pKaikei = m_pKaikei.get();
  return true;
}

bool CReportBooks::ListDataSets(std::vector<LEDGER_DATASET>& arRows) {
  arRows.clear();
  short nCount = 0;
  if (!m_bOpen || m_pJetAccess->GetDataSetCount(&nCount) != 0) {
    return Fail("管理DBファイルのデータ一覧を読めません。");
  }
  for (short i = 0; i < nCount; ++i) {
    LEDGER_DATASET row{};
    if (m_pJetAccess->GetDataSetInfo(i, &row) != 0) {
      return Fail("管理DBファイルのデータ一覧を読めません。");
    }
    arRows.push_back(row);
  }
  return true;
}

bool CReportBooks::SelectIndex(short nIndex) {
  if (!m_bOpen || m_pJetAccess->SelectDataSet(nIndex) != 0) {
    return Fail("データを選択できません。");
  }
  m_strDataPath = m_pJetAccess->GetSelectedDataPath();
  return true;
}

bool CReportBooks::SelectDataID(const CString& strDataID) {
  if (!m_bOpen || m_pJetAccess->SelectDataID(strDataID.c_str()) != 0) {
    return Fail("データID " + strDataID + " のデータがないか、その帳簿を読めません。");
  }
  m_strDataPath = m_pJetAccess->GetSelectedDataPath();
  return true;
}

bool CReportBooks::ReadRecords() {
  m_arKamoku.clear();
  // Nothing of the data set read before stays when these books cannot be read.
  m_kanri = S_KANRI{};
  m_kanri2 = S_KANRI2{};
  if (m_pJetAccess->ReadKanri(&m_kanri) != 0 || m_pJetAccess->ReadKanri2(&m_kanri2) != 0) {
    switch (m_pJetAccess->GetReadFault()) {
      case CJetAccess::READ_FAULT_IN_USE:
        return Fail("帳簿が他のプログラムで使用中のため読めません: " + m_pJetAccess->GetBooksFile());
      case CJetAccess::READ_FAULT_DAMAGED:
        return Fail("帳簿ファイルが壊れています: " + m_pJetAccess->GetBooksFile());
      case CJetAccess::READ_FAULT_MISSING:
        return Fail("帳簿ファイルがありません: " + m_pJetAccess->GetBooksFile());
      default:
        return Fail("管理ﾌｧｲﾙの読み込みに失敗しました: " + m_strDataPath);
    }
  }
  return true;
}

bool CReportBooks::ReadBooks() { return ReadRecords() && ReadAccounts(); }

bool CReportBooks::ReadAccounts() {
  m_arKamoku.clear();
  if (m_kanri.nKeiei == KEIEI_KOJIN) {
    return Fail(CString(m_bCooperative ? "組合員" : "データ") +
                "の経営形態が個人のため、事業概況書は作成できません: " + m_kanri.szJigyoName);
  }
  short nCount = 0;
  if (m_pJetAccess->GetKanKamokuCount(&nCount) != 0 || nCount < 0) {
    return Fail("勘定科目数の取得に失敗しました: " + m_strDataPath);
  }
  m_arKamoku.resize(static_cast<std::size_t>(nCount));
  short nRead = 0;
  if (m_pJetAccess->ReadKanKamoku(m_arKamoku.data(), 0, nCount, &nRead, 0) != 0) {
    m_arKamoku.clear();
    return Fail("勘定科目の読み込みに失敗しました: " + m_strDataPath);
  }
  m_arKamoku.resize(static_cast<std::size_t>(nRead));
  return true;
}
