#include "CJetAccess.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CInstallation.h"
#include "CLedgerSession.h"
#include "FolderOps.h"

namespace {

constexpr short kOk = 0;
constexpr short kFailed = 1;

// The release of the data access this stand-in plays.
constexpr short kVersionMajor = 6;
constexpr short kVersionMinor = 15;
constexpr char kVersionLetter = 'N';

template <std::size_t N>
void CopyField(const CString& text, char (&field)[N]) {
  // Callers have checked the length against the field.
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N - 1);
}

// Clears the host's record, then reads the management record it is filled from.
template <class Record>
bool ReadKanriFor(Record* pRecord, CLedgerSession* pSession, CLedgerSession::Kanri& kanri) {
  if (pRecord == nullptr) return false;
  std::memset(pRecord, 0, sizeof *pRecord);
  return pSession->ReadKanri(kanri);
}

}  // namespace

CJetAccess::CJetAccess() { m_pSession = new CLedgerSession(); }

CJetAccess::~CJetAccess() {
  delete m_pSession;
  m_pSession = nullptr;
}

short CJetAccess::MasterInit(const MAXDATACOUNT* pFirst, const MAXDATACOUNT* pSecond) {
  if (pFirst == nullptr || pSecond == nullptr) return kFailed;
  m_pSession->m_first = *pFirst;
  m_pSession->m_second = *pSecond;
  m_pSession->m_bMasterInit = true;
  return kOk;
}

short CJetAccess::Init(LPCSTR szAccess, WORD wMode, short nOption, LPCSTR szExtra) {
  if (!m_pSession->m_bMasterInit || szAccess == nullptr ||
      std::strcmp(szAccess, ACCESS_STRING) != 0 || wMode != 0 || nOption != 0 ||
      (szExtra != nullptr && *szExtra != '\0'))
    return kFailed;
  return m_pSession->Open() ? kOk : kFailed;
}

short CJetAccess::Term() {
  m_pSession->Close();
  return kOk;
}

short CJetAccess::GetDataSetCount(short* pnCount) {
  const std::vector<LEDGER_DATASET>* pRows = m_pSession->Rows();
  if (pnCount == nullptr || pRows == nullptr || pRows->size() > 32767) return kFailed;
  *pnCount = static_cast<short>(pRows->size());
  return kOk;
}

short CJetAccess::GetDataSetInfo(short nIndex, LEDGER_DATASET* pInfo) {
  if (pInfo == nullptr) return kFailed;
  *pInfo = LEDGER_DATASET{};
  const std::vector<LEDGER_DATASET>* pRows = m_pSession->Rows();
  if (nIndex < 0 || pRows == nullptr || static_cast<std::size_t>(nIndex) >= pRows->size())
    return kFailed;
  *pInfo = (*pRows)[static_cast<std::size_t>(nIndex)];
  return kOk;
}

short CJetAccess::SelectDataSet(short nIndex) {
  LEDGER_DATASET row;
  m_pSession->ClearSelection();
  if (GetDataSetInfo(nIndex, &row) != kOk) return kFailed;
  return m_pSession->Select(row) ? kOk : kFailed;
}

short CJetAccess::SelectDataPath(LPCSTR szDataPath) {
  m_pSession->ClearSelection();
  const std::vector<LEDGER_DATASET>* pRows = m_pSession->Rows();
  if (szDataPath == nullptr || *szDataPath == '\0' || pRows == nullptr) return kFailed;
  CString strPath = szDataPath;
  if (strPath.back() != '/') strPath += '/';
  for (const auto& row : *pRows)
    if (strPath == row.szDataPath) return m_pSession->Select(row) ? kOk : kFailed;
  return kFailed;
}

short CJetAccess::SelectDataID(LPCSTR szDataID) {
  m_pSession->ClearSelection();
  const std::vector<LEDGER_DATASET>* pRows = m_pSession->Rows();
  if (szDataID == nullptr || *szDataID == '\0' || pRows == nullptr) return kFailed;
  // Copied: reading the books may read the list again.
  const std::vector<LEDGER_DATASET> arRow = *pRows;
  const auto hasId = [&](const LEDGER_DATASET& row) {
    CLedgerSession::Kanri kanri;
    return m_pSession->Select(row) && m_pSession->ReadKanri(kanri) && kanri.strDataID == szDataID;
  };
  // The data ID names the folder of a data set added by the host, so that
  // one is tried first; any other folder may hold the books too.
  const CString strFolderEnd = CString("/") + szDataID + "/";
  for (const auto& row : arRow) {
    const CString strPath = row.szDataPath;
    if (strPath.size() >= strFolderEnd.size() &&
        strPath.compare(strPath.size() - strFolderEnd.size(), strFolderEnd.size(), strFolderEnd) == 0 &&
        hasId(row))
      return kOk;
  }
  for (const auto& row : arRow)
    if (hasId(row)) return kOk;
  m_pSession->ClearSelection();
  return kFailed;
}

short CJetAccess::GetReadFault() const {
  switch (m_pSession->LastFault()) {
    case CLedgerSession::Fault::None:
      return READ_FAULT_NONE;
    case CLedgerSession::Fault::Missing:
      return READ_FAULT_MISSING;
    case CLedgerSession::Fault::InUse:
      return READ_FAULT_IN_USE;
    case CLedgerSession::Fault::Damaged:
      break;
  }
  return READ_FAULT_DAMAGED;
}

CString CJetAccess::GetBooksFile() const { return m_pSession->BooksFile(); }

CString CJetAccess::GetSelectedDataPath() const { return m_pSession->SelectedPath(); }

short CJetAccessFile::GetVersion(S_JETVERSION* pVersion) {
  if (pVersion == nullptr) return kFailed;
  pVersion->nMajor = kVersionMajor;
  pVersion->nMinor = kVersionMinor;
  pVersion->cLetter = kVersionLetter;
  // Tests stand the library in for another release: "MAJOR.MINORLETTER".
  const char* pszOther = std::getenv(CInstallation::ENV_LEDGER_VERSION);
  if (pszOther != nullptr && *pszOther != '\0') {
    int nMajor = 0;
    int nMinor = 0;
    char cLetter = 0;
    if (std::sscanf(pszOther, "%d.%d%c", &nMajor, &nMinor, &cLetter) != 3) return kFailed;
    pVersion->nMajor = static_cast<short>(nMajor);
    pVersion->nMinor = static_cast<short>(nMinor);
    pVersion->cLetter = cLetter;
  }
  return kOk;
}

short CJetAccessCheck::CheckFile(LPCSTR szName) {
  if (szName == nullptr || *szName == '\0') return kFailed;
  CString strPath = szName;
  if (strPath.find('/') == CString::npos) {
    CString strFolder;
    if (!CInstallation::GetProgramFolder(strFolder)) return kFailed;
    strPath = (strFolder == "/" ? strFolder : strFolder + "/") + strPath;
  }
  return platform::FileExists(strPath) ? kOk : kFailed;
}

short CJetAccessCount::GetKanKamokuCount(short* pnCount) {
  if (pnCount == nullptr) return kFailed;
  CSqlite db;
  long long nCount = 0;
  if (!m_pSession->OpenBooks(db) || !db.QueryInt("SELECT count(*) FROM kamoku", nCount) ||
      nCount > 32767)
    return kFailed;
  *pnCount = static_cast<short>(nCount);
  return kOk;
}

short CJetAccessRead::ReadKanri(S_KANRI* pKanri) {
  CLedgerSession::Kanri kanri;
  if (!ReadKanriFor(pKanri, m_pSession, kanri)) return kFailed;
  CopyField(kanri.strName, pKanri->szJigyoName);
  pKanri->nStartYear = static_cast<std::int16_t>(kanri.nStart[0]);
  pKanri->nStartMonth = static_cast<std::int16_t>(kanri.nStart[1]);
  pKanri->nStartDay = static_cast<std::int16_t>(kanri.nStart[2]);
  pKanri->nEndYear = static_cast<std::int16_t>(kanri.nEnd[0]);
  pKanri->nEndMonth = static_cast<std::int16_t>(kanri.nEnd[1]);
  pKanri->nEndDay = static_cast<std::int16_t>(kanri.nEnd[2]);
  pKanri->nKeiei = kanri.nKeiei;
  CopyField(kanri.strAltFolder, pKanri->szAltFolder);
  pKanri->byJunShisan = kanri.bNetAssets ? 1 : 0;
  return kOk;
}

short CJetAccessRead::ReadKanri2(S_KANRI2* pKanri2) {
  CLedgerSession::Kanri kanri;
  if (!ReadKanriFor(pKanri2, m_pSession, kanri)) return kFailed;
  CopyField(kanri.strDataID, pKanri2->szDataID);
  return kOk;
}

short CJetAccessRead::ReadEnv(S_ENV* pEnv) {
  if (pEnv == nullptr) return kFailed;
  std::memset(pEnv, 0, sizeof *pEnv);
  CLedgerSession::Kanri kanri;
  const CString& strPath = m_pSession->SelectedPath();
  if (!m_pSession->ReadKanri(kanri) || strPath.size() >= sizeof pEnv->szDataPath) return kFailed;
  pEnv->nDataNo = m_pSession->SelectedNo();
  CopyField(strPath, pEnv->szDataPath);
  return kOk;
}

short CJetAccessRead::ReadKanKamoku(S_KANKAMOKU* pKamoku, short nStart, short nMax, short* pnRead,
                                    short nOption) {
  if (pnRead != nullptr) *pnRead = 0;
  if (nMax < 0 || (nMax > 0 && pKamoku == nullptr)) return kFailed;
  if (nMax > 0) std::memset(pKamoku, 0, sizeof(S_KANKAMOKU) * static_cast<std::size_t>(nMax));
  if (pnRead == nullptr || nStart < 0 || nOption != 0) return kFailed;
  CSqlite db;
  std::vector<CLedgerSession::Kamoku> arKamoku;
  if (!m_pSession->OpenBooks(db) || !m_pSession->ReadKamoku(db, arKamoku)) return kFailed;
  short nRead = 0;
  for (std::size_t i = static_cast<std::size_t>(nStart); i < arKamoku.size() && nRead < nMax;
       ++i, ++nRead) {
    const auto& k = arKamoku[i];
    S_KANKAMOKU& rec = pKamoku[nRead];
    rec.nKamokuCode = k.nCode;
    CopyField(k.strName, rec.szKamokuName);
    rec.nKamokuNo = k.nNo;
    rec.byHide = k.bHide ? 1 : 0;
    rec.byTaisyaku = k.bySide;
    rec.byClass = k.byClass;
    CopyField(k.strDispName, rec.szDispName);
  }
  *pnRead = nRead;
  return kOk;
}
